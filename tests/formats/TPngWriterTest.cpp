// PNG images written row by row and read back with libpng's reader: the
// pixels as written; and a quick-look map as the render command makes one
// (pixel means, a ramp over the data's range, the hillshade multiplied in, a
// legend below): its size, the colours of known cells, no data transparent,
// NaN distinct, the legend's bar and numbers.
#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "formats/TPngWriter.h"
#include "ops/TColourRamp.h"
#include "ops/TLegend.h"
#include "ops/TPixelMeans.h"
#include "ops/TShadeBlend.h"
#include "ops/TTerrain.h"
#include "ops/TValueRange.h"
#include "util/TError.h"
#include "util/TNoData.h"

namespace {

struct TImage {
    long LngWidth = 0;
    long LngHeight = 0;
    std::vector<std::uint8_t> VecRgba;

    TRgba At(long LngX, long LngY) const
    {
        const std::uint8_t* PtrPixel = &VecRgba[4 * static_cast<std::size_t>(LngY * LngWidth + LngX)];
        return {PtrPixel[0], PtrPixel[1], PtrPixel[2], PtrPixel[3]};
    }
};

TImage Decoded(const std::string& StgPng)
{
    png_image Png{};
    Png.version = PNG_IMAGE_VERSION;
    TImage Image;
    if (!png_image_begin_read_from_memory(&Png, StgPng.data(), StgPng.size())) {
        ADD_FAILURE() << Png.message;
        return Image;
    }
    Png.format = PNG_FORMAT_RGBA;
    Image.VecRgba.resize(PNG_IMAGE_SIZE(Png));
    if (!png_image_finish_read(&Png, nullptr, Image.VecRgba.data(), 0, nullptr))
        ADD_FAILURE() << Png.message;
    Image.LngWidth = Png.width;
    Image.LngHeight = Png.height;
    return Image;
}

std::string Written(long LngWidth, long LngHeight, const std::vector<std::uint8_t>& VecRgba)
{
    std::ostringstream Stream;
    TPngWriter Writer(Stream, LngWidth, LngHeight);
    for (long LngRow = 0; LngRow < LngHeight; ++LngRow)
        Writer.WriteRow(&VecRgba[4 * static_cast<std::size_t>(LngRow * LngWidth)]);
    Writer.Finish();
    return Stream.str();
}

std::string Text(TRgba Colour)
{
    return std::to_string(Colour.R) + " " + std::to_string(Colour.G) + " " + std::to_string(Colour.B) + " "
           + std::to_string(Colour.A);
}

} // namespace

TEST(TPngWriter, RowsReadBackAsWritten)
{
    std::mt19937 Random(3);
    const struct {
        long LngWidth, LngHeight;
    } ArrSizes[] = {{1, 1}, {7, 5}, {300, 2}, {2, 300}};
    for (const auto [LngWidth, LngHeight] : ArrSizes) {
        std::vector<std::uint8_t> VecRgba(4 * static_cast<std::size_t>(LngWidth * LngHeight));
        for (std::uint8_t& ChrByte : VecRgba)
            ChrByte = static_cast<std::uint8_t>(Random());
        const TImage Image = Decoded(Written(LngWidth, LngHeight, VecRgba));
        EXPECT_EQ(Image.LngWidth, LngWidth);
        EXPECT_EQ(Image.LngHeight, LngHeight);
        EXPECT_TRUE(Image.VecRgba == VecRgba) << LngWidth << " x " << LngHeight;
    }
}

TEST(TPngWriter, RefusesAnEmptyImageAndRowsTooManyOrTooFew)
{
    std::ostringstream Stream;
    EXPECT_THROW(TPngWriter(Stream, 0, 5), TError);
    const std::vector<std::uint8_t> VecRow(8, 0);
    TPngWriter Writer(Stream, 2, 2);
    Writer.WriteRow(VecRow.data());
    EXPECT_THROW(Writer.Finish(), TError);
    Writer.WriteRow(VecRow.data());
    EXPECT_THROW(Writer.WriteRow(VecRow.data()), TError);
    EXPECT_NO_THROW(Writer.Finish());
}

namespace {

// A cone with a no-data hole and a NaN cell, rows from the north.
struct TGrid {
    long LngCols = 24;
    long LngRows = 18;
    double DblCell = 10;
    std::vector<double> VecCells;

    TGrid()
    {
        for (long LngRow = 0; LngRow < LngRows; ++LngRow)
            for (long LngCol = 0; LngCol < LngCols; ++LngCol)
                VecCells.push_back(300 - 10 * std::hypot(LngCol - 9.5, LngRow - 7.0));
        VecCells[5 * LngCols + 5] = TNoData::Marker();
        VecCells[3 * LngCols + 10] = std::nan("");
    }
};

struct TRender {
    long LngWidth; // pixels; the grid's columns for one pixel a cell
    bool BlnShade;
    bool BlnLegend;
};

// The map as the render command draws it: the pixels, their ramp, and the
// PNG written row by row.
struct TRendered {
    std::vector<std::vector<double>> VecPixels;
    std::vector<std::vector<double>> VecShades;
    TValueRange Range;
    std::string StgPng;
};

TRendered Render(const TGrid& Grid, const TRender& Options, const TColourTable& Table)
{
    TRendered Map;
    TPixelMeans Means(Grid.LngCols, Grid.LngRows, Options.LngWidth);
    for (long LngRow = 0; LngRow < Grid.LngRows; ++LngRow)
        Means.Add(&Grid.VecCells[LngRow * Grid.LngCols], [&](const double* PtrPixels) {
            Map.VecPixels.emplace_back(PtrPixels, PtrPixels + Means.Width());
            Map.Range.Add(PtrPixels, Means.Width());
        });
    const long LngWidth = Means.Width();
    const long LngHeight = Means.Height();
    TTerrainOptions Shade;
    Shade.Product = TTerrainOptions::TProduct::Hillshade;
    Shade.BlnComputeEdges = true;
    const TTerrain Terrain(Shade, {LngWidth, LngHeight, 0, 0, Grid.DblCell * Grid.LngCols / LngWidth});
    for (long LngY = 0; LngY < LngHeight; ++LngY) {
        Map.VecShades.emplace_back(LngWidth);
        Terrain.Row(LngY > 0 ? Map.VecPixels[LngY - 1].data() : nullptr, Map.VecPixels[LngY].data(),
                    LngY + 1 < LngHeight ? Map.VecPixels[LngY + 1].data() : nullptr,
                    Map.VecShades[LngY].data());
    }

    const TColourRamp Ramp(Table, Map.Range.Min(), Map.Range.Max());
    const TLegend Legend(Ramp, Map.Range.Min(), Map.Range.Max(), LngWidth);
    const long LngImageWidth = Options.BlnLegend ? Legend.Width() : LngWidth;
    std::ostringstream Stream;
    TPngWriter Writer(Stream, LngImageWidth, LngHeight + (Options.BlnLegend ? Legend.Height() : 0));
    std::vector<std::uint8_t> VecRow(4 * static_cast<std::size_t>(LngImageWidth), 0);
    for (long LngY = 0; LngY < LngHeight; ++LngY) {
        Ramp.Colours(Map.VecPixels[LngY].data(), static_cast<std::size_t>(LngWidth), VecRow.data());
        if (Options.BlnShade)
            TShadeBlend::Multiply(VecRow.data(), Map.VecShades[LngY].data(),
                                  static_cast<std::size_t>(LngWidth));
        Writer.WriteRow(VecRow.data());
    }
    for (long LngY = 0; Options.BlnLegend && LngY < Legend.Height(); ++LngY)
        Writer.WriteRow(Legend.Row(LngY));
    Writer.Finish();
    Map.StgPng = Stream.str();
    return Map;
}

} // namespace

TEST(TPngWriter, AMapHasItsCellsColoursNoDataClearAndItsLegend)
{
    const TGrid Grid;
    const TColourTable Viridis = TColourTable::Named("viridis");
    const TRender ArrRenders[] = {{24, false, false}, {24, true, true}, {7, true, true}, {60, false, true}};
    for (const TRender& Options : ArrRenders) {
        SCOPED_TRACE(testing::Message() << "width " << Options.LngWidth << ", shade " << Options.BlnShade);
        const TRendered Map = Render(Grid, Options, Viridis);
        const TImage Image = Decoded(Map.StgPng);
        const long LngMapHeight = static_cast<long>(Map.VecPixels.size());
        const TColourRamp Ramp(Viridis, Map.Range.Min(), Map.Range.Max());
        const TLegend Legend(Ramp, Map.Range.Min(), Map.Range.Max(), Options.LngWidth);
        ASSERT_EQ(Image.LngWidth,
                  Options.BlnLegend ? std::max(Options.LngWidth, Legend.Width()) : Options.LngWidth);
        ASSERT_EQ(Image.LngHeight, LngMapHeight + (Options.BlnLegend ? Legend.Height() : 0));
        if (Options.LngWidth == Grid.LngCols) {
            EXPECT_EQ(Image.At(5, 5).A, 0) << "no data";
            EXPECT_TRUE(Options.BlnShade || Image.At(10, 3) == TColourTable::NaNDefault) << "NaN";
        }
        for (long LngY = 0; LngY < LngMapHeight; ++LngY)
            for (long LngX = 0; LngX < Image.LngWidth; ++LngX) {
                TRgba Expected = LngX < Options.LngWidth ? Ramp.Colour(Map.VecPixels[LngY][LngX]) : TRgba{};
                const double DblShade = LngX < Options.LngWidth ? Map.VecShades[LngY][LngX] : std::nan("");
                if (Options.BlnShade && !std::isnan(DblShade))
                    for (std::uint8_t* PtrChannel : {&Expected.R, &Expected.G, &Expected.B})
                        *PtrChannel = static_cast<std::uint8_t>(std::lround(*PtrChannel * DblShade / 255));
                EXPECT_TRUE(Image.At(LngX, LngY) == Expected)
                    << LngX << ", " << LngY << ": " << Text(Image.At(LngX, LngY)) << " for "
                    << Text(Expected);
            }
        if (!Options.BlnLegend)
            continue;
        // The bar: rows whose coloured pixels run from the minimum's colour
        // to the maximum's; under it, the three numbers in black.
        long LngBarRows = 0;
        long LngFirstBelow = Image.LngHeight;
        std::vector<long> VecInk(3, 0);
        for (long LngY = LngMapHeight; LngY < Image.LngHeight; ++LngY) {
            std::vector<TRgba> VecColoured;
            for (long LngX = 0; LngX < Image.LngWidth; ++LngX) {
                const TRgba Pixel = Image.At(LngX, LngY);
                const bool BlnGrey =
                    Pixel.R == Pixel.G && Pixel.G == Pixel.B && (Pixel.R == 128 || Pixel.R == 255);
                if (Pixel == TRgba{0, 0, 0, 255} && LngY > LngFirstBelow)
                    ++VecInk[static_cast<std::size_t>(3 * LngX / Image.LngWidth)];
                else if (!BlnGrey && !(Pixel == TRgba{0, 0, 0, 255}))
                    VecColoured.push_back(Pixel);
            }
            if (VecColoured.empty())
                continue;
            ++LngBarRows;
            LngFirstBelow = LngY;
            EXPECT_TRUE(VecColoured.front() == Ramp.Colour(Map.Range.Min())) << Text(VecColoured.front());
            EXPECT_TRUE(VecColoured.back() == Ramp.Colour(Map.Range.Max())) << Text(VecColoured.back());
        }
        EXPECT_GT(LngBarRows, 5);
        for (long LngInk : VecInk)
            EXPECT_GT(LngInk, 10) << "a number in each third under the bar";
    }
}

TEST(TLegend, NumbersTellApartTheValuesThatDiffer)
{
    const TColourRamp Gray(TColourTable::Named("gray"), 0, 1);
    const struct {
        double DblMin, DblMax;
    } ArrRanges[] = {{0, 100}, {0.1, 0.1001}, {-2.5e7, 3.5e9}, {1234.5, 1234.5}, {-1e-9, 1e-9}};
    for (const auto& Range : ArrRanges) {
        const std::vector<std::string> VecLabels = TLegend(Gray, Range.DblMin, Range.DblMax, 100).Labels();
        const double ArrValues[] = {Range.DblMin, Range.DblMin / 2 + Range.DblMax / 2, Range.DblMax};
        for (int LngLabel = 0; LngLabel < 3; ++LngLabel) {
            const double DblRead = std::strtod(VecLabels[LngLabel].c_str(), nullptr);
            EXPECT_LE(std::fabs(DblRead - ArrValues[LngLabel]), 5e-3 * std::fabs(ArrValues[LngLabel]))
                << VecLabels[LngLabel];
            for (int LngOther = 0; LngOther < LngLabel; ++LngOther)
                EXPECT_EQ(VecLabels[LngLabel] == VecLabels[LngOther],
                          ArrValues[LngLabel] == ArrValues[LngOther])
                    << VecLabels[LngLabel] << " beside " << VecLabels[LngOther];
        }
    }
    EXPECT_THROW(TLegend(Gray, 0, std::numeric_limits<double>::infinity(), 100), TError);
}
