#include "util/TPointTools.h"

#include <cmath>
#include <cstddef>
#include <memory>
#include <utility>

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

// A point of the hull walk with its coordinates beside it, so that the scans
// read contiguous memory.
struct TSlot {
    double DblX;
    double DblY;
    const TPoint* PtrPoint;
};

constexpr std::size_t NoSlot = static_cast<std::size_t>(-1);

// The slot of the lowest point, the earliest of equals, among the points
// without a NaN coordinate; slot 0 when there is none.
std::size_t FindStart(const std::vector<TSlot>& VecSlots)
{
    std::size_t LngStart = NoSlot;
    for (std::size_t LngSlot = 0; LngSlot < VecSlots.size(); ++LngSlot) {
        const TSlot& Slot = VecSlots[LngSlot];
        if (std::isnan(Slot.DblX) || std::isnan(Slot.DblY))
            continue;
        if (LngStart == NoSlot || Slot.DblY < VecSlots[LngStart].DblY)
            LngStart = LngSlot;
    }
    return LngStart == NoSlot ? 0 : LngStart;
}

// The slot after LngHull whose angle from the hull point in LngHull is the
// smallest above DblThreshold (the earliest of equals), which then becomes
// the threshold; NoSlot when no angle is above it. NaN angles never qualify.
std::size_t FindNextHullSlot(const std::vector<TSlot>& VecSlots, std::size_t LngHull,
                             double& DblThreshold)
{
    const TSlot& Hull = VecSlots[LngHull];
    std::size_t LngNext = NoSlot;
    double DblBest = 360.0;
    for (std::size_t LngSlot = LngHull + 1; LngSlot < VecSlots.size(); ++LngSlot) {
        const double DblAngle =
            PseudoAngle(VecSlots[LngSlot].DblX - Hull.DblX, VecSlots[LngSlot].DblY - Hull.DblY);
        if (DblAngle > DblThreshold && DblAngle < DblBest) {
            DblBest = DblAngle;
            LngNext = LngSlot;
        }
    }
    if (LngNext != NoSlot)
        DblThreshold = DblBest;
    return LngNext;
}

// Clones of the points in the first LngCount slots, in order.
std::vector<TPoint*> CloneSlots(const std::vector<TSlot>& VecSlots, std::size_t LngCount)
{
    std::vector<std::unique_ptr<TPoint>> VecOwned;
    VecOwned.reserve(LngCount);
    for (std::size_t LngSlot = 0; LngSlot < LngCount; ++LngSlot)
        VecOwned.emplace_back(VecSlots[LngSlot].PtrPoint->Clone());
    std::vector<TPoint*> VecPoints;
    VecPoints.reserve(LngCount);
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
    const std::size_t LngCount = VecPoints.size();
    if (LngCount == 0)
        return {};
    // Slots 0 .. n-1 hold the points; hull points are swapped forward into
    // slots 0, 1, ... as the walk takes them. Slot n repeats the start so that
    // the walk can close on it, and it is scanned last.
    std::vector<TSlot> VecSlots;
    VecSlots.reserve(LngCount + 1);
    for (const TPoint* PtrPoint : VecPoints)
        VecSlots.push_back({PtrPoint->GetX(), PtrPoint->GetY(), PtrPoint});
    std::size_t LngChosen = FindStart(VecSlots);
    VecSlots.push_back(VecSlots[LngChosen]);

    // Each turn takes a new slot, so the walk ends after at most n turns.
    double DblThreshold = 0.0;
    std::size_t LngHull = 0;
    for (;;) {
        std::swap(VecSlots[LngHull], VecSlots[LngChosen]);
        if (LngHull == LngCount - 1)
            break;
        LngChosen = FindNextHullSlot(VecSlots, LngHull, DblThreshold);
        if (LngChosen == NoSlot || LngChosen == LngCount)
            break;
        ++LngHull;
    }
    return CloneSlots(VecSlots, LngHull + 1);
}
