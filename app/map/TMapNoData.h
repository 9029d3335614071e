#pragma once
// The command's no-data rule laid over toolkit results that mark no data
// with -9999 whatever their inputs' no-data value, or that carry no-data
// cells through as values: a cell that is no data in its input is no data in
// the output, under the output's NODATA_value.

#include <cstddef>
#include <vector>

#include "grid/TMap.h"

class TMapNoData {
public:
    // Cells no data in any of the inputs (of the result's dimensions) become
    // DblNoData, the result's no-data value; the others keep their value.
    static void WhereAny(TMap& Result, const std::vector<TMap*>& VecInputs, double DblNoData);
    // Cells where fewer than LngData inputs hold data, and those the toolkit
    // marked with -9999, become DblNoData, the result's no-data value.
    static void WhereFewer(TMap& Result, const std::vector<TMap*>& VecInputs, std::size_t LngData,
                           double DblNoData);
    // The cells as they are, now read under DblNoData: for results whose
    // cells are copies of an input's, no-data cells included.
    static void Declare(TMap& Result, double DblNoData) { Result.SetNoDataValue(DblNoData); }
    // The no-data cells of Map rewritten as DblNoData, in place.
    static void Recode(TMap& Map, double DblNoData);
};
