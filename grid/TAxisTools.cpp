#include <algorithm>
#include <memory>

#include "grid/TGridSize.h"

#include "grid/TAxis.h"

TAxis* TAxisTools::PointsToIntervals(const TAxis* PtrAxis, char ChrAxis)
{
    const TPoint& First = PtrAxis->GetFilledPoint(0);
    const TPoint& Last = PtrAxis->GetFilledPoint(PtrAxis->GetSize() - 1);
    const double DblResolution = PtrAxis->GetResolution();
    const double DblHalf = DblResolution * 0.5;
    const double DblWest = First.GetX() - DblHalf;
    const long LngCount = PtrAxis->GetSize() + 1;
    if (ChrAxis == 'X') {
        const double DblY = First.GetY() > Last.GetY() ? First.GetY() + DblHalf : First.GetY() - DblHalf;
        return AxisOfValues(DblResolution, SteppedValues(DblWest, DblResolution, LngCount), 'X', DblY);
    }
    const bool BlnRising = Last.GetY() > First.GetY();
    const double DblFirstEdge = BlnRising ? First.GetY() - DblHalf : First.GetY() + DblHalf;
    return AxisOfValues(DblResolution,
                        SteppedValues(DblFirstEdge, BlnRising ? DblResolution : -DblResolution, LngCount),
                        ChrAxis, DblWest);
}

TAxis* TAxisTools::IntervalsToPoints(const TAxis* PtrAxis, char /*ChrAxis*/)
{
    // Fetching the ends first reports an empty axis, which has no edges to pair.
    PtrAxis->GetFilledPoint(0);
    PtrAxis->GetFilledPoint(PtrAxis->GetSize() - 1);
    auto PtrCentres = std::make_unique<TAxis>(PtrAxis->GetResolution(), PtrAxis->GetSize() - 1);
    for (long LngIndex = 0; LngIndex + 1 < PtrAxis->GetSize(); ++LngIndex) {
        const TPoint& A = PtrAxis->GetFilledPoint(LngIndex);
        const TPoint& B = PtrAxis->GetFilledPoint(LngIndex + 1);
        PtrCentres->SetPoint(LngIndex, new TPoint(A.GetX() + (B.GetX() - A.GetX()) * 0.5,
                                                  A.GetY() + (B.GetY() - A.GetY()) * 0.5));
    }
    return PtrCentres.release();
}

std::vector<double> TAxisTools::SteppedValues(double DblFirst, double DblStep, long LngCount)
{
    std::vector<double> VecValues;
    VecValues.reserve(TGridSize::Cells(std::max(LngCount, 0L), 1));
    double DblValue = DblFirst;
    for (long LngIndex = 0; LngIndex < LngCount; ++LngIndex, DblValue += DblStep)
        VecValues.push_back(DblValue);
    return VecValues;
}

TAxis* TAxisTools::AxisOfValues(double DblResolution, const std::vector<double>& VecValues,
                                char ChrAxis, double DblFixed)
{
    auto PtrAxis = std::make_unique<TAxis>(DblResolution, static_cast<long>(VecValues.size()));
    for (std::size_t LngIndex = 0; LngIndex < VecValues.size(); ++LngIndex) {
        const double DblValue = VecValues[LngIndex];
        auto PtrPoint = ChrAxis == 'X' ? std::make_unique<TPoint>(DblValue, DblFixed)
                                       : std::make_unique<TPoint>(DblFixed, DblValue);
        PtrAxis->SetPoint(static_cast<long>(LngIndex), PtrPoint.get());
        PtrPoint.release();
    }
    return PtrAxis.release();
}
