#pragma once
// Maps on chosen edges, and their cells as rows, for the operation tests.

#include <memory>
#include <vector>

#include "grid/GridTestSupport.h"

using TValues = std::vector<double>;
using TRows = std::vector<TValues>;

// A map of cell size DblCell on the given X edges (west to east) and Y edges
// (north to south) whose rows, north first, are VecRows (no data if empty).
inline std::unique_ptr<TMap> MakeMap(double DblCell, const TValues& VecXEdges,
                                     const TValues& VecYEdges, const TRows& VecRows = {})
{
    const long LngXDim = static_cast<long>(VecXEdges.size()) - 1;
    const long LngYDim = static_cast<long>(VecYEdges.size()) - 1;
    auto PtrMap = std::make_unique<TMap>(DblCell, LngXDim, LngYDim);
    PtrMap->SetXAxisInterval(MakeAxis(DblCell, VecXEdges, 'X').get());
    PtrMap->SetYAxisInterval(MakeAxis(DblCell, VecYEdges, 'Y').get());
    for (long LngY = 0; LngY < static_cast<long>(VecRows.size()); ++LngY)
        for (long LngX = 0; LngX < LngXDim; ++LngX)
            PtrMap->SetPoint(LngX, LngY, VecRows[LngY][LngX]);
    return PtrMap;
}

// The map M of the examples: 4 columns, 3 rows, cell size 1, X edges 0..4,
// Y edges 3..0; cell (column c, row r) holds 10 * r + c.
inline std::unique_ptr<TMap> MakeM()
{
    return MakeMap(1.0, {0, 1, 2, 3, 4}, {3, 2, 1, 0},
                   {{0, 1, 2, 3}, {10, 11, 12, 13}, {20, 21, 22, 23}});
}

inline TRows Rows(const TMap& Map)
{
    TRows VecRows;
    for (long LngY = 0; LngY < Map.GetYDim(); ++LngY)
        VecRows.push_back(Map.GetRow(LngY));
    return VecRows;
}
