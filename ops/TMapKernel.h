#pragma once
// The shape every map operation shares, written once: making a result that
// keeps an input's geometry, and visiting cells in memory order without a
// range check per cell. Internal to the operations; not installed.

#include <cstddef>
#include <memory>

#include "grid/TMap.h"

namespace TMapKernel {

inline std::size_t CellCount(const TMap& Map)
{
    return static_cast<std::size_t>(Map.GetXDim()) * static_cast<std::size_t>(Map.GetYDim());
}

// A new map on the source's geometry (its four axes exactly) whose no-data
// value and every cell are DblNoData.
inline std::unique_ptr<TMap> ResultOn(const TMap& Source, double DblNoData = -9999.0)
{
    std::unique_ptr<TMap> PtrResult(TMap::OnGeometryOf(&Source));
    PtrResult->SetNoDataValue(DblNoData);
    if (!(DblNoData == -9999.0))
        PtrResult->InitValues(DblNoData);
    return PtrResult;
}

// Result cell = Op(source cell), for every cell; the maps share dimensions.
template <class TOp>
void Transform(const TMap& Source, TMap& Result, TOp Op)
{
    const double* PtrIn = Source.GetCells();
    double* PtrOut = Result.GetCells();
    const std::size_t LngCells = CellCount(Source);
    for (std::size_t LngCell = 0; LngCell < LngCells; ++LngCell)
        PtrOut[LngCell] = Op(PtrIn[LngCell]);
}

}  // namespace TMapKernel
