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
      MbrVecRgba(4 * static_cast<std::size_t>(MbrPng.Width()), 0)
{
    if (Look.BlnHillshade) {
        MbrShade.emplace(HillshadeOptions(), Frame);
        MbrShadeMeans.emplace(Frame.LngCols, Frame.LngRows, Look.LngWidth);
        MbrVecShade.resize(static_cast<std::size_t>(Frame.LngCols));
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
            AddRow(std::move(MbrVecRow));
            MbrVecRow.clear();
        }
    }
}

void TImageSink::AddRow(std::vector<double> VecRow)
{
    if (!MbrShade) {
        MbrMeans.Add(VecRow.data(), [this](const double* PtrPixels) { WritePixels(PtrPixels); });
        return;
    }
    // A row is shaded once the row south of it has come.
    MbrDqRows.push_back(std::move(VecRow));
    if (MbrDqRows.size() == 2)
        AddShaded(nullptr, MbrDqRows[0].data(), MbrDqRows[1].data());
    else if (MbrDqRows.size() == 3) {
        AddShaded(MbrDqRows[0].data(), MbrDqRows[1].data(), MbrDqRows[2].data());
        MbrDqRows.pop_front();
    }
}

void TImageSink::AddShaded(const double* PtrNorth, const double* PtrCentre, const double* PtrSouth)
{
    MbrShade->Row(PtrNorth, PtrCentre, PtrSouth, MbrVecShade.data());
    MbrShadeMeans->Add(MbrVecShade.data(), [this](const double* PtrShades) {
        MbrDqShades.emplace_back(PtrShades, PtrShades + MbrMeans.Width());
    });
    MbrMeans.Add(PtrCentre, [this](const double* PtrPixels) { WritePixels(PtrPixels); });
}

void TImageSink::WritePixels(const double* PtrPixels)
{
    const auto LngWidth = static_cast<std::size_t>(MbrMeans.Width());
    MbrRamp.Colours(PtrPixels, LngWidth, MbrVecRgba.data());
    if (MbrShade) {
        TShadeBlend::Multiply(MbrVecRgba.data(), MbrDqShades.front().data(), LngWidth);
        MbrDqShades.pop_front();
    }
    MbrPng.WriteRow(MbrVecRgba.data());
}

void TImageSink::Finish()
{
    if (MbrShade && !MbrDqRows.empty()) {
        const std::size_t LngHeld = MbrDqRows.size();
        AddShaded(LngHeld > 1 ? MbrDqRows[LngHeld - 2].data() : nullptr, MbrDqRows.back().data(), nullptr);
    }
    if (MbrLegend)
        for (long LngRow = 0; LngRow < MbrLegend->Height(); ++LngRow)
            MbrPng.WriteRow(MbrLegend->Row(LngRow));
    MbrPng.Finish();
}
