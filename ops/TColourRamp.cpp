#include "ops/TColourRamp.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "util/TNoData.h"

namespace {

void Components(const TRgba& Colour, double* PtrOut)
{
    PtrOut[0] = Colour.R;
    PtrOut[1] = Colour.G;
    PtrOut[2] = Colour.B;
    PtrOut[3] = Colour.A;
}

}  // namespace

TColourRamp::TColourRamp(const TColourTable& Table, double DblMin, double DblMax)
    : MbrNoData(Table.NoData()), MbrNaN(Table.NaN())
{
    const std::vector<TColourEntry>& VecEntries = Table.Entries();
    std::vector<double> VecPlaced;
    for (const TColourEntry& Entry : VecEntries)
        VecPlaced.push_back(Entry.BlnShare ? DblMin + Entry.DblValue * (DblMax - DblMin) : Entry.DblValue);
    std::vector<std::size_t> VecOrder(VecEntries.size());
    std::iota(VecOrder.begin(), VecOrder.end(), 0);
    std::stable_sort(VecOrder.begin(), VecOrder.end(),
                     [&](std::size_t LngA, std::size_t LngB) { return VecPlaced[LngA] < VecPlaced[LngB]; });
    for (std::size_t LngAt : VecOrder) {
        MbrVecValues.push_back(VecPlaced[LngAt]);
        MbrVecColours.push_back(VecEntries[LngAt].Colour);
    }
    for (std::size_t LngAt = 0; LngAt + 1 < MbrVecColours.size(); ++LngAt) {
        double ArrBelow[4], ArrAbove[4];
        Components(MbrVecColours[LngAt], ArrBelow);
        Components(MbrVecColours[LngAt + 1], ArrAbove);
        for (int LngChannel = 0; LngChannel < 4; ++LngChannel) {
            MbrVecBases.push_back(0.45 + ArrBelow[LngChannel]);
            MbrVecRises.push_back(ArrAbove[LngChannel] - ArrBelow[LngChannel]);
        }
    }

    const std::size_t LngBuckets = 4 * MbrVecValues.size() + 1;
    const double DblLow = MbrVecValues.front();
    const double DblSpan = MbrVecValues.back() - DblLow;
    if (DblSpan > 0 && std::isfinite(DblSpan))
        MbrDblBucketsPerUnit = static_cast<double>(LngBuckets) / DblSpan;
    for (std::size_t LngBucket = 0; LngBucket < LngBuckets; ++LngBucket) {
        const double DblStart = DblLow + DblSpan * (static_cast<double>(LngBucket) / LngBuckets);
        MbrVecBuckets.push_back(static_cast<std::size_t>(
            std::lower_bound(MbrVecValues.begin(), MbrVecValues.end(), DblStart) - MbrVecValues.begin()));
    }
}

std::size_t TColourRamp::FirstNotBelow(double DblValue) const
{
    const double DblBucket = (DblValue - MbrVecValues.front()) * MbrDblBucketsPerUnit;
    const std::size_t LngLast = MbrVecBuckets.size() - 1;
    // NaN (an infinite value over a span of 0) counts as the first bucket.
    std::size_t LngAt =
        MbrVecBuckets[!(DblBucket > 0)                            ? 0
                      : DblBucket >= static_cast<double>(LngLast) ? LngLast
                                                                  : static_cast<std::size_t>(DblBucket)];
    while (LngAt > 0 && MbrVecValues[LngAt - 1] >= DblValue)
        --LngAt;
    while (LngAt < MbrVecValues.size() && MbrVecValues[LngAt] < DblValue)
        ++LngAt;
    return LngAt;
}

TRgba TColourRamp::Colour(double DblValue) const
{
    if (std::isnan(DblValue))
        return TNoData::IsMarker(DblValue) ? MbrNoData : MbrNaN;
    const std::size_t LngAt = FirstNotBelow(DblValue);
    if (LngAt == 0)
        return MbrVecColours.front();
    if (LngAt == MbrVecValues.size())
        return MbrVecColours.back();
    // gdaldem's interpolation, rounded up from .55 as GDAL 3.6 rounds; at an
    // entry's own value (a ratio of 1) the entry's colour.
    const double DblBelow = MbrVecValues[LngAt - 1];
    const double DblRatio = (DblValue - DblBelow) / (MbrVecValues[LngAt] - DblBelow);
    const double* PtrBase = &MbrVecBases[4 * (LngAt - 1)];
    const double* PtrRise = &MbrVecRises[4 * (LngAt - 1)];
    const auto Component = [&](int LngChannel) {
        return static_cast<std::uint8_t>(
            std::clamp(static_cast<int>(PtrBase[LngChannel] + DblRatio * PtrRise[LngChannel]), 0, 255));
    };
    return {Component(0), Component(1), Component(2), Component(3)};
}

void TColourRamp::Colours(const double* PtrCells, std::size_t LngCount, std::uint8_t* PtrRgba) const
{
    for (std::size_t LngCell = 0; LngCell < LngCount; ++LngCell, PtrRgba += 4) {
        const TRgba Rgba = Colour(PtrCells[LngCell]);
        PtrRgba[0] = Rgba.R;
        PtrRgba[1] = Rgba.G;
        PtrRgba[2] = Rgba.B;
        PtrRgba[3] = Rgba.A;
    }
}
