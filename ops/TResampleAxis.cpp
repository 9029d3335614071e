#include "ops/TResampleAxis.h"

#include <cmath>

namespace {

// gdalwarp's slack for a sample on a cell's far edge, in cells.
constexpr double DblEdgeSlack = 1e-10;

// The bilinear kernel: a tent one cell wide on either side.
double Tent(double DblDistance)
{
    const double DblAbs = std::fabs(DblDistance);
    return DblAbs <= 1.0 ? 1 - DblAbs : 0.0;
}

}  // namespace

TResampleAxis::TResampleAxis(long LngOffset, long LngSize, double DblScale, TKernelShape Shape)
    : MbrLngOffset(LngOffset),
      MbrLngSize(LngSize),
      MbrDblScale(DblScale),
      MbrLngRadius(DblScale < 1.0 ? static_cast<long>(std::ceil(1.0 / DblScale)) : 1),
      MbrShape(Shape)
{
}

bool TResampleAxis::Holds(double DblCoord) const
{
    return !(DblCoord < static_cast<double>(MbrLngOffset))
        && !(DblCoord + DblEdgeSlack > static_cast<double>(MbrLngSize + MbrLngOffset));
}

bool TResampleAxis::Borders(double DblCoord) const
{
    const long LngEnd = MbrLngSize + MbrLngOffset;
    return (DblCoord < static_cast<double>(MbrLngOffset)
            && DblCoord > static_cast<double>(MbrLngOffset - 1))
        || (DblCoord + DblEdgeSlack > static_cast<double>(LngEnd)
            && DblCoord < static_cast<double>(LngEnd + 1));
}

TAxisTaps TResampleAxis::Taps(double DblCoord, std::vector<double>& VecWeights) const
{
    TAxisTaps Taps;
    long LngCell = static_cast<long>(DblCoord + DblEdgeSlack) - MbrLngOffset;
    if (LngCell == MbrLngSize)
        --LngCell;
    Taps.LngCell = MbrLngOffset + LngCell;
    Taps.LngWeights = VecWeights.size();
    if (MbrShape == TKernelShape::Pair) {
        AddPair(DblCoord - MbrLngOffset, Taps, VecWeights);
    } else if (MbrShape == TKernelShape::Wide) {
        AddWide(DblCoord - MbrLngOffset, Taps, VecWeights);
    } else {
        Taps.LngFirst = Taps.LngCell;
        Taps.LngCount = 1;
    }
    return Taps;
}

// The two cells around the sample, the first weighted by its nearness; a
// sample before the first centre takes the first cell whole (and the second
// at weight 0), one past the last centre the last cell alone.
void TResampleAxis::AddPair(double DblAt, TAxisTaps& Taps, std::vector<double>& VecWeights) const
{
    long LngLow = static_cast<long>(std::floor(DblAt - 0.5));
    double DblRatio = 1.5 - (DblAt - static_cast<double>(LngLow));
    if (LngLow == -1) {
        LngLow = 0;
        DblRatio = 1;
    }
    Taps.LngFirst = MbrLngOffset + LngLow;
    Taps.LngCount = LngLow + 1 < MbrLngSize ? 2 : 1;
    VecWeights.push_back(DblRatio);
    if (Taps.LngCount == 2)
        VecWeights.push_back(1.0 - DblRatio);
}

// Every cell within the radius of the cell before the sample, clipped to
// the block, weighted by the tent at its distance times the scale.
void TResampleAxis::AddWide(double DblAt, TAxisTaps& Taps, std::vector<double>& VecWeights) const
{
    const long LngBase = static_cast<long>(std::floor(DblAt - 0.5));
    const double DblDelta = DblAt - 0.5 - static_cast<double>(LngBase);
    long LngMin = -MbrLngRadius;
    long LngMax = MbrLngRadius;
    if (LngBase + LngMin < 0)
        LngMin = -LngBase;
    if (LngBase + LngMax >= MbrLngSize)
        LngMax = MbrLngSize - LngBase - 1;
    Taps.LngFirst = MbrLngOffset + LngBase + LngMin;
    Taps.LngCount = LngMax - LngMin + 1;
    for (long LngI = LngMin; LngI <= LngMax; ++LngI) {
        const double DblDistance = static_cast<double>(LngI) - DblDelta;
        VecWeights.push_back(Tent(MbrDblScale < 1.0 ? DblDistance * MbrDblScale : DblDistance));
    }
}
