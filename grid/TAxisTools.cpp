#include <cmath>

#include "grid/TAxis.h"

namespace {

// A new axis of LngSize points, PointAt(0), PointAt(1), ... in that order.
template <class TPointAt>
TAxis* BuildAxis(double DblResolution, long LngSize, TPointAt PointAt)
{
    auto PtrAxis = std::make_unique<TAxis>(DblResolution, LngSize);
    for (long LngIndex = 0; LngIndex < LngSize; ++LngIndex)
        PtrAxis->SetPoint(LngIndex, new TPoint(PointAt(LngIndex)));
    return PtrAxis.release();
}

} // namespace

TAxis* TAxisTools::PointsToIntervals(const TAxis* PtrAxis, char ChrAxis)
{
    const TPoint& First = PtrAxis->GetFilledPoint(0);
    const TPoint& Last = PtrAxis->GetFilledPoint(PtrAxis->GetSize() - 1);
    const double DblResolution = PtrAxis->GetResolution();
    const double DblHalf = DblResolution * 0.5;
    // X edges always rise; Y edges fall only when the centres do.
    const bool BlnFalling = First.GetY() > Last.GetY();
    const double DblStep = (ChrAxis == 'Y' && BlnFalling) ? -DblResolution : DblResolution;

    double DblX = First.GetX() - DblHalf;
    double DblY = BlnFalling ? First.GetY() + DblHalf : First.GetY() - DblHalf;
    double& DblMoving = ChrAxis == 'X' ? DblX : DblY;
    // Edges are reached by repeated addition, not as LngIndex * DblStep; the
    // two differ in the last bits, and the grid's edges are defined by the first.
    return BuildAxis(DblResolution, PtrAxis->GetSize() + 1, [&](long LngIndex) {
        if (LngIndex > 0)
            DblMoving += DblStep;
        return TPoint(DblX, DblY);
    });
}

TAxis* TAxisTools::IntervalsToPoints(const TAxis* PtrAxis, char /*ChrAxis*/)
{
    // Fetching the ends first reports an empty axis, which has no edges to pair.
    PtrAxis->GetFilledPoint(0);
    PtrAxis->GetFilledPoint(PtrAxis->GetSize() - 1);
    return BuildAxis(PtrAxis->GetResolution(), PtrAxis->GetSize() - 1, [PtrAxis](long LngIndex) {
        const TPoint& A = PtrAxis->GetFilledPoint(LngIndex);
        const TPoint& B = PtrAxis->GetFilledPoint(LngIndex + 1);
        return TPoint(A.GetX() + std::fabs(B.GetX() - A.GetX()) * 0.5,
                      A.GetY() - std::fabs(B.GetY() - A.GetY()) * 0.5);
    });
}
