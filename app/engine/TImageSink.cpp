#include "app/engine/TImageSink.h"

#include <algorithm>

#include "ops/TShadeBlend.h"

namespace {

TTerrainOptions HillshadeOptions()
{
    TTerrainOptions Options;
    Options.Product = TTerrainOptions::TProduct::Hillshade;
    Options.BlnComputeEdges = true;
    return Options;
}

}  // namespace

TImageSink::TImageSink(std::ostream& Output, const TGridFrame& Frame, const TColourRamp& Ramp, const TLook& Look)
    : MbrRamp(Ramp), MbrLngCols(Frame.LngCols), MbrMeans(Frame.LngCols, Frame.LngRows, Look.LngWidth),
      MbrLegend(Look.BlnLegend ? std::optional<TLegend>(std::in_place, Ramp, Look.DblMin, Look.DblMax, MbrMeans.Width())
                               : std::nullopt),
      MbrPng(Output, MbrLegend ? MbrLegend->Width() : MbrMeans.Width(),
             MbrMeans.Height() + (MbrLegend ? MbrLegend->Height() : 0)),
      MbrVecShade(static_cast<std::size_t>(MbrMeans.Width())),
      MbrVecRgba(4 * static_cast<std::size_t>(MbrPng.Width()), 0)
{
    if (Look.BlnHillshade) {
        // The shade of the pixels, each as wide as the cells it spans.
        const double DblPixel = Frame.DblCellSize * static_cast<double>(Frame.LngCols) / static_cast<double>(MbrMeans.Width());
        MbrShade.emplace(HillshadeOptions(), TGridFrame{MbrMeans.Width(), MbrMeans.Height(), 0, 0, DblPixel});
    }
}

void TImageSink::Take(double* const* PtrPlanes, std::uint64_t, std::size_t LngCells)
{
    const double* PtrCells = PtrPlanes[0];
    const auto LngCols = static_cast<std::size_t>(MbrLngCols);
    while (LngCells > 0) {
        const std::size_t LngTake = std::min(LngCells, LngCols - MbrVecRow.size());
        MbrVecRow.insert(MbrVecRow.end(), PtrCells, PtrCells + LngTake);
        PtrCells += LngTake;
        LngCells -= LngTake;
        if (MbrVecRow.size() == LngCols) {
            MbrMeans.Add(MbrVecRow.data(), [this](const double* PtrPixels) { AddPixels(PtrPixels); });
            MbrVecRow.clear();
        }
    }
}

void TImageSink::AddPixels(const double* PtrPixels)
{
    const std::vector<double> VecRow(PtrPixels, PtrPixels + MbrMeans.Width());
    if (!MbrShade) {
        WritePixelRow(nullptr, VecRow.data(), nullptr);
        return;
    }
    // A row is shaded once the row south of it has come.
    MbrVecPixels.push_back(VecRow);
    if (MbrVecPixels.size() == 2)
        WritePixelRow(nullptr, MbrVecPixels[0].data(), MbrVecPixels[1].data());
    else if (MbrVecPixels.size() == 3) {
        WritePixelRow(MbrVecPixels[0].data(), MbrVecPixels[1].data(), MbrVecPixels[2].data());
        MbrVecPixels.erase(MbrVecPixels.begin());
    }
}

void TImageSink::WritePixelRow(const double* PtrNorth, const double* PtrCentre, const double* PtrSouth)
{
    const auto LngWidth = static_cast<std::size_t>(MbrMeans.Width());
    MbrRamp.Colours(PtrCentre, LngWidth, MbrVecRgba.data());
    if (MbrShade) {
        MbrShade->Row(PtrNorth, PtrCentre, PtrSouth, MbrVecShade.data());
        TShadeBlend::Multiply(MbrVecRgba.data(), MbrVecShade.data(), LngWidth);
    }
    MbrPng.WriteRow(MbrVecRgba.data());
}

void TImageSink::Finish()
{
    if (MbrShade && !MbrVecPixels.empty()) {
        const std::size_t LngHeld = MbrVecPixels.size();
        WritePixelRow(LngHeld > 1 ? MbrVecPixels[LngHeld - 2].data() : nullptr, MbrVecPixels.back().data(), nullptr);
    }
    if (MbrLegend)
        for (long LngRow = 0; LngRow < MbrLegend->Height(); ++LngRow)
            MbrPng.WriteRow(MbrLegend->Row(LngRow));
    MbrPng.Finish();
}
