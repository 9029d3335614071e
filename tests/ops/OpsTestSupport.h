#pragma once
// Small maps for the operation tests: on chosen edges, or north-up with
// edges by repeated addition as a loaded map has them; their cells as rows.

#include <cmath>
#include <memory>
#include <vector>

#include "grid/GridTestSupport.h"
#include "ops/TMapTools.h"

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

// LngCols x LngRows cells of size DblCell from the west edge DblWest and the
// north edge DblNorth, holding VecCells row by row (no data after them).
inline std::unique_ptr<TMap> MakeMap(long LngCols, long LngRows, double DblCell, double DblWest,
                                     double DblNorth, const TValues& VecCells = {},
                                     double DblNoData = -9999.0)
{
    TValues VecX{DblWest}, VecY{DblNorth};
    for (long LngI = 0; LngI < LngCols; ++LngI)
        VecX.push_back(VecX.back() + DblCell);
    for (long LngI = 0; LngI < LngRows; ++LngI)
        VecY.push_back(VecY.back() - DblCell);
    std::unique_ptr<TMap> PtrMap = MakeMap(DblCell, VecX, VecY);
    PtrMap->SetNoDataValue(DblNoData);
    std::copy(VecCells.begin(), VecCells.end(), PtrMap->GetCells());
    return PtrMap;
}

inline TRows Rows(const TMap& Map)
{
    TRows VecRows;
    for (long LngY = 0; LngY < Map.GetYDim(); ++LngY)
        VecRows.push_back(Map.GetRow(LngY));
    return VecRows;
}

// The cells of the map, row by row, north row first.
inline TValues Cells(const TMap& Map)
{
    return TValues(Map.GetCells(), Map.GetCells() + Map.GetXDim() * Map.GetYDim());
}

// Equal, or both NaN.
inline bool SameValue(double DblA, double DblB)
{
    return DblA == DblB || (std::isnan(DblA) && std::isnan(DblB));
}

// Takes ownership of a returned map.
inline std::unique_ptr<TMap> Own(TMap* PtrMap) { return std::unique_ptr<TMap>(PtrMap); }
