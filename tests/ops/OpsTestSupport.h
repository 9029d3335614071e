#pragma once
// Small north-up maps for the operation tests.

#include <memory>
#include <vector>

#include "grid/GridTestSupport.h"
#include "ops/TMapTools.h"

using TValues = std::vector<double>;

// LngCols x LngRows cells of size DblCell, west edge DblWest and north edge
// DblNorth, holding VecCells row by row, north row first (no-data -9999
// everywhere if VecCells is empty). Edges by repeated addition, as a loaded
// map has them.
inline std::unique_ptr<TMap> MakeMap(long LngCols, long LngRows, double DblCell, double DblWest,
                                     double DblNorth, const TValues& VecCells = {},
                                     double DblNoData = -9999.0)
{
    auto PtrMap = std::make_unique<TMap>(DblCell, LngCols, LngRows);
    TValues VecX{DblWest}, VecY{DblNorth};
    for (long LngI = 0; LngI < LngCols; ++LngI)
        VecX.push_back(VecX.back() + DblCell);
    for (long LngI = 0; LngI < LngRows; ++LngI)
        VecY.push_back(VecY.back() - DblCell);
    PtrMap->SetXAxisInterval(MakeAxis(DblCell, VecX, 'X', DblNorth).get());
    PtrMap->SetYAxisInterval(MakeAxis(DblCell, VecY, 'Y', DblWest).get());
    PtrMap->SetNoDataValue(DblNoData);
    std::copy(VecCells.begin(), VecCells.end(), PtrMap->GetCells());
    return PtrMap;
}

// The cells of the map, row by row, north row first.
inline TValues Cells(const TMap& Map)
{
    return TValues(Map.GetCells(), Map.GetCells() + Map.GetXDim() * Map.GetYDim());
}

// Takes ownership of a returned map.
inline std::unique_ptr<TMap> Own(TMap* PtrMap) { return std::unique_ptr<TMap>(PtrMap); }
