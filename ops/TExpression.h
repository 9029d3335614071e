#pragma once
// An expression of map algebra over named grids (pvxMap calc), compiled
// once into a flat program that evaluates a row in blocks of cells, one
// loop over the block per operation.
//
// The language: see TExpressionParser.h for the grammar. Comparisons and
// logic give 1 or 0 (NaN compares false; a condition is true when not 0,
// NaN included); % is fmod; IEEE results (inf, nan) are never errors.
// Functions: abs sqrt exp log log10 sin cos tan asin acos atan floor ceil
// round (half away from zero), atan2(y, x), min and max (two arguments or
// more; a NaN argument gives NaN), if(c, a, b), isnull(x), null(), x() and
// y() (the cell's centre), col() and row() (0-based, row 0 the north row).
// name[dr, dc] is the cell dr rows south and dc columns east, no data
// beyond the grid.
//
// No data is the marker of util/TNoData.h, in and out; any other value,
// NaN included, is data. An operand that is no data makes the result no
// data, except isnull(x) (never no data), if(c, a, b) and c ? a : b (no
// data where c is, otherwise as the branch taken), and null() (no data).

#include <cstddef>
#include <string>
#include <vector>

#include "grid/TGridFrame.h"
#include "ops/TExpressionProgram.h"

class TExpression {
public:
    // Compiles StgText over the grids VecNames (grid i is VecNames[i]).
    // Throws TExpressionError.
    TExpression(const std::string& StgText, const std::vector<std::string>& VecNames);

    // The largest |dr| and |dc| of any name[dr, dc] (0 when none): the rows
    // the caller keeps on either side of the current one.
    long RowReach() const { return MbrLngRowReach; }
    long ColumnReach() const { return MbrProgram.LngMargin; }
    // Whether grid LngName appears in the expression.
    bool Uses(std::size_t LngName) const;

    // Row LngRow of the result, Frame.LngCols cells, into PtrOut.
    // PtrRows[i * (2 * RowReach() + 1) + (dr + RowReach())] is row
    // LngRow + dr of grid i (Frame.LngCols cells), null beyond the grid.
    // Frame gives the cells' centres. Thread-safe: rows may be evaluated on
    // several threads at once.
    void EvaluateRow(const double* const* PtrRows, const TGridFrame& Frame, long LngRow,
                     double* PtrOut) const;

private:
    TExpressionProgram MbrProgram;
    long MbrLngRowReach = 0;
};
