#pragma once
// Maps on chosen edges, and their cells as rows, for the operation tests.

#include <cmath>
#include <memory>
#include <vector>

#include "grid/GridTestSupport.h"

using TValues = std::vector<double>;
using TRows = std::vector<TValues>;

// A map on the given X edges (west to east) and Y edges (north to south)
// whose rows, north first, are VecRows (no data where none are given).
inline std::unique_ptr<TMap> MakeMap(double DblCell, const TValues& VecXEdges,
                                     const TValues& VecYEdges, const TRows& VecRows = {})
{
    auto PtrMap = std::make_unique<TMap>(DblCell, VecXEdges.size() - 1, VecYEdges.size() - 1);
    PtrMap->SetXAxisInterval(MakeAxis(DblCell, VecXEdges, 'X').get());
    PtrMap->SetYAxisInterval(MakeAxis(DblCell, VecYEdges, 'Y').get());
    for (std::size_t LngY = 0; LngY < VecRows.size(); ++LngY)
        for (std::size_t LngX = 0; LngX < VecRows[LngY].size(); ++LngX)
            PtrMap->SetPoint(LngX, LngY, VecRows[LngY][LngX]);
    return PtrMap;
}

inline TRows Rows(const TMap& Map)
{
    TRows VecRows;
    for (long LngY = 0; LngY < Map.GetYDim(); ++LngY)
        VecRows.push_back(Map.GetRow(LngY));
    return VecRows;
}

// Equal, or both NaN.
inline bool SameValue(double DblA, double DblB)
{
    return DblA == DblB || (std::isnan(DblA) && std::isnan(DblB));
}
