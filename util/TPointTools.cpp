#include "util/TPointTools.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>

namespace {

// Theta of the offset (DblDX, DblDY) from one point to another.
double PseudoAngle(double DblDX, double DblDY)
{
    const double DblT =
        DblDX == 0.0 && DblDY == 0.0 ? 0.0 : DblDY / (std::fabs(DblDX) + std::fabs(DblDY));
    if (DblDX < 0.0)
        return (2.0 - DblT) * 90.0;
    if (DblDY < 0.0)
        return (DblT + 4.0) * 90.0;
    return DblT * 90.0;
}

// A point of the hull with its coordinates beside it, so that the sort and
// the chains read contiguous memory.
struct TSlot {
    double DblX;
    double DblY;
    const TPoint* PtrPoint;
};

// West to east, then south to north.
bool IsWestOf(const TSlot& SlotA, const TSlot& SlotB)
{
    return SlotA.DblX < SlotB.DblX || (SlotA.DblX == SlotB.DblX && SlotA.DblY < SlotB.DblY);
}

bool IsAt(const TSlot& SlotA, const TSlot& SlotB)
{
    return SlotA.DblX == SlotB.DblX && SlotA.DblY == SlotB.DblY;
}

// Twice the signed area of A, B, C: positive when C lies left of A -> B. In
// extended precision, so that no finite coordinates overflow or underflow it.
long double Turn(const TSlot& SlotA, const TSlot& SlotB, const TSlot& SlotC)
{
    using TWide = long double;
    return (TWide(SlotB.DblX) - SlotA.DblX) * (TWide(SlotC.DblY) - SlotA.DblY) -
           (TWide(SlotB.DblY) - SlotA.DblY) * (TWide(SlotC.DblX) - SlotA.DblX);
}

// The points without a NaN or infinite coordinate, in input order.
std::vector<TSlot> FiniteSlots(const std::vector<TPoint*>& VecPoints)
{
    std::vector<TSlot> VecSlots;
    VecSlots.reserve(VecPoints.size());
    for (const TPoint* PtrPoint : VecPoints)
        if (std::isfinite(PtrPoint->GetX()) && std::isfinite(PtrPoint->GetY()))
            VecSlots.push_back({PtrPoint->GetX(), PtrPoint->GetY(), PtrPoint});
    return VecSlots;
}

// The coordinates where the hull starts: those of the lowest slot, the
// earliest of equals, unless it lies inside the bottom edge, whose west end
// then starts the hull.
TSlot FindStart(const std::vector<TSlot>& VecSlots)
{
    const TSlot* PtrLowest = &VecSlots.front();
    double DblWest = PtrLowest->DblX;
    double DblEast = PtrLowest->DblX;
    for (const TSlot& Slot : VecSlots) {
        if (Slot.DblY < PtrLowest->DblY) {
            PtrLowest = &Slot;
            DblWest = DblEast = Slot.DblX;
        } else if (Slot.DblY == PtrLowest->DblY) {
            DblWest = std::min(DblWest, Slot.DblX);
            DblEast = std::max(DblEast, Slot.DblX);
        }
    }
    const bool BlnInsideEdge = DblWest < PtrLowest->DblX && PtrLowest->DblX < DblEast;
    return {BlnInsideEdge ? DblWest : PtrLowest->DblX, PtrLowest->DblY, nullptr};
}

// The hull vertices of distinct slots sorted west to east, counterclockwise
// from the first: Andrew's monotone chain, a turn that is not strictly left
// dropping the middle point. The lower chain is pinned at the start, which
// the turns' rounding then cannot drop, and a slot of the lower chain is
// never taken again into the upper one, so no point is listed twice.
std::vector<std::size_t> MonotoneChain(const std::vector<TSlot>& VecSorted, const TSlot& Start)
{
    const std::size_t LngCount = VecSorted.size();
    std::vector<std::size_t> VecHull;
    VecHull.reserve(LngCount + 1);
    const auto Extend = [&](std::size_t LngSlot, std::size_t LngKeep) {
        while (VecHull.size() > LngKeep &&
               !(Turn(VecSorted[VecHull[VecHull.size() - 2]], VecSorted[VecHull.back()],
                      VecSorted[LngSlot]) > 0))
            VecHull.pop_back();
        VecHull.push_back(LngSlot);
    };
    std::size_t LngKeep = 1;
    for (std::size_t LngSlot = 0; LngSlot < LngCount; ++LngSlot) {
        Extend(LngSlot, LngKeep);
        if (IsAt(VecSorted[LngSlot], Start))
            LngKeep = VecHull.size();
    }
    std::vector<bool> VecInLower(LngCount, false);
    for (std::size_t LngSlot : VecHull)
        VecInLower[LngSlot] = true;
    const std::size_t LngLower = VecHull.size();
    for (std::size_t LngSlot = LngCount - 1; LngSlot-- > 0;)
        if (LngSlot == 0 || !VecInLower[LngSlot])
            Extend(LngSlot, LngLower);
    VecHull.pop_back();  // the first slot again
    return VecHull;
}

// Clones of the points, in order.
std::vector<TPoint*> ClonePoints(const std::vector<const TPoint*>& VecFrom)
{
    std::vector<std::unique_ptr<TPoint>> VecOwned;
    VecOwned.reserve(VecFrom.size());
    for (const TPoint* PtrPoint : VecFrom)
        VecOwned.emplace_back(PtrPoint->Clone());
    std::vector<TPoint*> VecPoints;
    VecPoints.reserve(VecFrom.size());
    for (std::unique_ptr<TPoint>& PtrOwned : VecOwned)
        VecPoints.push_back(PtrOwned.release());
    return VecPoints;
}

}  // namespace

TPoint* TPointTools::Max(const TPoint* PtrA, const TPoint* PtrB)
{
    return new TPoint(PtrB->GetX() > PtrA->GetX() ? PtrB->GetX() : PtrA->GetX(),
                      PtrB->GetY() > PtrA->GetY() ? PtrB->GetY() : PtrA->GetY());
}

TPoint* TPointTools::Min(const TPoint* PtrA, const TPoint* PtrB)
{
    return new TPoint(PtrA->GetX() > PtrB->GetX() ? PtrB->GetX() : PtrA->GetX(),
                      PtrA->GetY() > PtrB->GetY() ? PtrB->GetY() : PtrA->GetY());
}

TPoint* TPointTools::FindCentroid(const std::vector<TPoint*>& VecPoints)
{
    double DblSumX = 0.0;
    double DblSumY = 0.0;
    for (const TPoint* PtrPoint : VecPoints) {
        DblSumX += PtrPoint->GetX();
        DblSumY += PtrPoint->GetY();
    }
    const double DblCount = static_cast<double>(VecPoints.size());
    return new TPoint(DblSumX / DblCount, DblSumY / DblCount);
}

double TPointTools::Theta(const TPoint* PtrTo, const TPoint* PtrFrom)
{
    return PseudoAngle(PtrTo->GetX() - PtrFrom->GetX(), PtrTo->GetY() - PtrFrom->GetY());
}

double TPointTools::Heron(const TPoint* PtrA, const TPoint* PtrB, const TPoint* PtrC)
{
    const double DblD1 = PtrA->Distance(PtrB);
    const double DblD2 = PtrA->Distance(PtrC);
    const double DblD3 = PtrB->Distance(PtrC);
    const double DblS = (DblD1 + DblD2 + DblD3) * 0.5;
    return std::sqrt(DblS * (DblS - DblD1) * (DblS - DblD2) * (DblS - DblD3));
}

double TPointTools::FindConvexPolygonArea(const std::vector<TPoint*>& VecPoints)
{
    const std::unique_ptr<TPoint> PtrCentroid(FindCentroid(VecPoints));
    double DblArea = 0.0;
    for (std::size_t LngIndex = 1; LngIndex < VecPoints.size(); ++LngIndex)
        DblArea += Heron(VecPoints[LngIndex], VecPoints[LngIndex - 1], PtrCentroid.get());
    return DblArea;
}

std::vector<TPoint*> TPointTools::FindConvexHull(const std::vector<TPoint*>& VecPoints)
{
    if (VecPoints.empty())
        return {};
    std::vector<TSlot> VecSlots = FiniteSlots(VecPoints);
    if (VecSlots.empty())
        return ClonePoints({VecPoints.front()});
    const TSlot Start = FindStart(VecSlots);
    // Stable, so that of equal points the earliest is kept.
    std::stable_sort(VecSlots.begin(), VecSlots.end(), IsWestOf);
    VecSlots.erase(std::unique(VecSlots.begin(), VecSlots.end(), IsAt), VecSlots.end());
    const std::vector<std::size_t> VecHull =
        VecSlots.size() == 1 ? std::vector<std::size_t>{0} : MonotoneChain(VecSlots, Start);
    const std::size_t LngFirst = static_cast<std::size_t>(
        std::find_if(VecHull.begin(), VecHull.end(),
                     [&](std::size_t LngSlot) { return IsAt(VecSlots[LngSlot], Start); }) -
        VecHull.begin());
    std::vector<const TPoint*> VecVertices;
    VecVertices.reserve(VecHull.size());
    for (std::size_t LngStep = 0; LngStep < VecHull.size(); ++LngStep)
        VecVertices.push_back(VecSlots[VecHull[(LngFirst + LngStep) % VecHull.size()]].PtrPoint);
    return ClonePoints(VecVertices);
}
