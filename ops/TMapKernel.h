#pragma once
// The shape every map operation shares, written once: making a result that
// keeps an input's geometry, visiting cells in memory order without a range
// check per cell, combining two maps of equal dimensions after one check, and
// the no-data rule of arithmetic. Internal to the operations; not installed.

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

#include "grid/TMap.h"
#include "ops/TCellOps.h"
#include "util/TSlices.h"

namespace TMapKernel {

inline std::size_t CellCount(const TMap& Map)
{
    return static_cast<std::size_t>(Map.GetXDim()) * static_cast<std::size_t>(Map.GetYDim());
}

// A new map on the source's geometry (its four axes exactly) whose no-data
// value and every cell are DblNoData.
inline std::unique_ptr<TMap> ResultOn(const TMap& Source, double DblNoData = -9999.0)
{
    return std::unique_ptr<TMap>(TMap::OnGeometryOf(&Source, DblNoData));
}

// Hands a list of maps built so far over to the caller, in order.
inline std::vector<TMap*> ReleaseAll(std::vector<std::unique_ptr<TMap>>& VecMaps)
{
    std::vector<TMap*> VecOut;
    VecOut.reserve(VecMaps.size());
    for (std::unique_ptr<TMap>& PtrMap : VecMaps)
        VecOut.push_back(PtrMap.release());
    return VecOut;
}

// Whether two maps have the same columns and rows; the caller throws its own
// message, X before Y.
inline bool SameXDim(const TMap& MapA, const TMap& MapB) { return MapA.GetXDim() == MapB.GetXDim(); }
inline bool SameYDim(const TMap& MapA, const TMap& MapB) { return MapA.GetYDim() == MapB.GetYDim(); }

// Calls Work(first, last) on slices of the map's rows, on all cores; rows
// are independent wherever this is used.
template <class TWork>
void ForRows(const TMap& Map, TWork Work)
{
    const std::size_t LngCols = std::max<std::size_t>(1, static_cast<std::size_t>(Map.GetXDim()));
    TSlices::Run(static_cast<std::size_t>(Map.GetYDim()), TSlices::MinCells / LngCols + 1, Work);
}

// Result cell = Op(source cell), or the result's no-data value where the
// source cell is no data by IsNoData (TCellOps::DataCells); the maps share
// dimensions.
template <class TOp, class TIsNoData = TCellOps::TNoneIsNoData>
void Transform(const TMap& Source, TMap& Result, TOp Op, TIsNoData IsNoData = {})
{
    const double* PtrIn = Source.GetCells();
    double* PtrOut = Result.GetCells();
    const double DblNoData = Result.GetNoDataValue();
    TSlices::Run(CellCount(Source), TSlices::MinCells, [=](std::size_t LngFirst, std::size_t LngLast) {
        TCellOps::DataCells(PtrIn + LngFirst, LngLast - LngFirst, Op, IsNoData, DblNoData,
                            PtrOut + LngFirst);
    });
}

// The test of cells that are no data in the map: equal to its no-data value.
inline auto NoDataIn(const TMap& Map)
{
    return [DblNoData = Map.GetNoDataValue()](double DblValue) { return DblValue == DblNoData; };
}

// Result cell = Op(cell of A, cell of B), cell by cell by index; the three
// maps share dimensions.
template <class TOp>
void Combine(const TMap& MapA, const TMap& MapB, TMap& Result, TOp Op)
{
    const double* PtrA = MapA.GetCells();
    const double* PtrB = MapB.GetCells();
    double* PtrOut = Result.GetCells();
    TSlices::Run(CellCount(MapA), TSlices::MinCells, [=](std::size_t LngFirst, std::size_t LngLast) {
        for (std::size_t LngCell = LngFirst; LngCell < LngLast; ++LngCell)
            PtrOut[LngCell] = Op(PtrA[LngCell], PtrB[LngCell]);
    });
}

// The no-data rule of arithmetic between two maps: where either value is no
// data in its own map (exact equality; NaN is data), the result is DblOut;
// elsewhere Op of the two.
template <class TOp>
struct TDataOnly {
    double DblNoDataA;
    double DblNoDataB;
    double DblOut;
    TOp Op;

    double operator()(double DblA, double DblB) const
    {
        const bool BlnNoData = (DblA == DblNoDataA) | (DblB == DblNoDataB);
        return BlnNoData ? DblOut : Op(DblA, DblB);
    }
};
template <class TOp>
TDataOnly<TOp> DataOnly(double DblNoDataA, double DblNoDataB, double DblOut, TOp Op)
{
    return {DblNoDataA, DblNoDataB, DblOut, Op};
}

}  // namespace TMapKernel
