#include "ops/TCellLookup.h"

#include <algorithm>
#include <functional>
#include <memory>

#include "grid/TError.h"

std::vector<double> AxisValues(const TAxis& Axis, char ChrAxis)
{
    std::vector<double> VecValues;
    VecValues.reserve(static_cast<std::size_t>(Axis.GetSize()));
    for (long LngIndex = 0; LngIndex < Axis.GetSize(); ++LngIndex) {
        const TPoint& Point = Axis.GetFilledPoint(LngIndex);
        VecValues.push_back(ChrAxis == 'X' ? Point.GetX() : Point.GetY());
    }
    return VecValues;
}

TEdgeLookup::TEdgeLookup(const TAxis& Edges, char ChrAxis) : MbrVecEdges(AxisValues(Edges, ChrAxis))
{
    if (std::is_sorted(MbrVecEdges.begin(), MbrVecEdges.end()))
        MbrOrder = TOrder::Rising;
    else if (std::is_sorted(MbrVecEdges.begin(), MbrVecEdges.end(), std::greater<double>()))
        MbrOrder = TOrder::Falling;
}

long TEdgeLookup::Index(double DblValue) const
{
    if (MbrVecEdges.empty())
        return -1;
    const double DblFirst = MbrVecEdges.front();
    const double DblLast = MbrVecEdges.back();
    if (DblValue < std::min(DblFirst, DblLast) || DblValue > std::max(DblFirst, DblLast))
        throw TError("Ordinate is out of range in TAxis::GetIndex");
    const auto ItBegin = MbrVecEdges.begin();
    const auto ItEnd = MbrVecEdges.end();
    // On a monotone axis the first interval that holds the value ends at the
    // first edge beyond it: above it on a rising axis, at or below it on a
    // falling one. A NaN, or the greatest end value, finds no such interval.
    if (MbrOrder != TOrder::Unordered) {
        const auto ItAfter = MbrOrder == TOrder::Rising
            ? std::upper_bound(ItBegin, ItEnd, DblValue)
            : std::lower_bound(ItBegin, ItEnd, DblValue, std::greater<double>());
        return ItAfter == ItBegin || ItAfter == ItEnd ? -1 : (ItAfter - ItBegin) - 1;
    }
    for (std::size_t LngIndex = 0; LngIndex + 1 < MbrVecEdges.size(); ++LngIndex) {
        const double DblA = MbrVecEdges[LngIndex];
        const double DblB = MbrVecEdges[LngIndex + 1];
        if (std::min(DblA, DblB) <= DblValue && DblValue < std::max(DblA, DblB))
            return static_cast<long>(LngIndex);
    }
    return -1;
}

namespace {

// Each centre's index, or -1 for a centre outside the axis or in no interval.
std::vector<long> Indices(const TEdgeLookup& Lookup, const TAxis& Centres, char ChrAxis,
                          long& LngFirstFailure)
{
    std::vector<long> VecIndices;
    VecIndices.reserve(static_cast<std::size_t>(Centres.GetSize()));
    LngFirstFailure = -1;
    for (double DblCentre : AxisValues(Centres, ChrAxis)) {
        long LngFound = -1;
        try {
            LngFound = Lookup.Index(DblCentre);
        } catch (const TError&) {
        }
        if (LngFound < 0 && LngFirstFailure < 0)
            LngFirstFailure = static_cast<long>(VecIndices.size());
        VecIndices.push_back(LngFound);
    }
    return VecIndices;
}

}  // namespace

TPartnerCells TPartnerCells::Of(const TMap& Driving, const TMap& Partner)
{
    if (Driving.GetXDim() == 0 || Driving.GetYDim() == 0)
        return {};
    const TAxis* PtrXEdges = Partner.GetXAxisInterval();
    const TAxis* PtrYEdges = Partner.GetYAxisInterval();
    long LngBadCol = 0;
    long LngBadRow = 0;
    TPartnerCells Cells;
    if (PtrXEdges && PtrYEdges)
        Cells = {Indices(TEdgeLookup(*PtrXEdges, 'X'), *Driving.GetXAxis(), 'X', LngBadCol),
                 Indices(TEdgeLookup(*PtrYEdges, 'Y'), *Driving.GetYAxis(), 'Y', LngBadRow)};
    if (LngBadCol < 0 && LngBadRow < 0)
        return Cells;
    // The first failing cell, rows outer: row 0 when any column fails, and
    // column 0 of a failing row. Reading it the ordinary way throws what that
    // cell throws (a partner without axes fails at the first cell).
    const long LngY = LngBadCol >= 0 || LngBadRow == 0 ? 0 : LngBadRow;
    const long LngX = LngBadRow == LngY ? 0 : LngBadCol;
    const std::unique_ptr<TPoint> PtrCentre(Driving.GetCoordinates(LngX, LngY));
    Partner.GetPointVal(PtrCentre.get());
    throw TError("Ordinate is out of range in TAxis::GetIndex");  // GetPointVal threw already
}
