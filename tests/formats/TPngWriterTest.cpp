// PNG images written row by row and read back with libpng's reader: the
// pixels as written; and a quick-look map as the render command makes one
// (pixel means, a ramp over the data's range, the hillshade multiplied in, a
// legend below): its size, the colours of its cells, no data transparent,
// NaN distinct, the legend's bar and numbers.
#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <cmath>
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

std::string Text(TRgba Colour)
{
    return std::to_string(Colour.R) + " " + std::to_string(Colour.G) + " " + std::to_string(Colour.B) + " "
           + std::to_string(Colour.A);
}

}  // namespace

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

TEST(TPngWriter, AMapHasItsCellsColoursNoDataClearAndItsLegend)
{
    // A cone with a hole, a NaN cell and a corner of no data; one pixel a
    // cell plain, and 7 pixels wide shaded (narrower than its legend).
    const long LngCols = 24;
    const long LngRows = 18;
    std::vector<double> VecCells;
    for (long LngCell = 0; LngCell < LngCols * LngRows; ++LngCell)
        VecCells.push_back(300 - 10 * std::hypot(LngCell % LngCols - 9.5, LngCell / LngCols - 7.0));
    VecCells[5 * LngCols + 5] = TNoData::Marker();
    VecCells[3 * LngCols + 10] = std::nan("");
    for (long LngRow = 15; LngRow < LngRows; ++LngRow)
        std::fill_n(&VecCells[LngRow * LngCols], 4, TNoData::Marker());
    for (const bool BlnShade : {false, true}) {
        const long LngWidth = BlnShade ? 7 : LngCols;
        // The map as the render command draws it.
        TPixelMeans Means(LngCols, LngRows, LngWidth);
        std::vector<std::vector<double>> VecPixels;
        TValueRange Range;
        for (long LngRow = 0; LngRow < LngRows; ++LngRow)
            Means.Add(&VecCells[LngRow * LngCols], [&](const double* PtrPixels) {
                VecPixels.emplace_back(PtrPixels, PtrPixels + LngWidth);
                Range.Add(PtrPixels, LngWidth);
            });
        const long LngHeight = Means.Height();
        TTerrainOptions ShadeOptions;
        ShadeOptions.Product = TTerrainOptions::TProduct::Hillshade;
        ShadeOptions.BlnComputeEdges = true;
        const TTerrain Terrain(ShadeOptions, {LngWidth, LngHeight, 0, 0, 10.0 * LngCols / LngWidth});
        std::vector<std::vector<double>> VecShades(LngHeight, std::vector<double>(LngWidth));
        const TColourRamp Ramp(TColourTable::Named("viridis"), Range.Min(), Range.Max());
        const TLegend Legend(Ramp, Range.Min(), Range.Max(), LngWidth);
        std::ostringstream Stream;
        TPngWriter Writer(Stream, Legend.Width(), LngHeight + Legend.Height());
        std::vector<std::uint8_t> VecRow(4 * static_cast<std::size_t>(Legend.Width()), 0);
        for (long LngY = 0; LngY < LngHeight; ++LngY) {
            Terrain.Row(LngY > 0 ? VecPixels[LngY - 1].data() : nullptr, VecPixels[LngY].data(),
                        LngY + 1 < LngHeight ? VecPixels[LngY + 1].data() : nullptr, VecShades[LngY].data());
            Ramp.Colours(VecPixels[LngY].data(), static_cast<std::size_t>(LngWidth), VecRow.data());
            if (BlnShade)
                TShadeBlend::Multiply(VecRow.data(), VecShades[LngY].data(),
                                      static_cast<std::size_t>(LngWidth));
            Writer.WriteRow(VecRow.data());
        }
        for (long LngY = 0; LngY < Legend.Height(); ++LngY)
            Writer.WriteRow(Legend.Row(LngY));
        Writer.Finish();

        const TImage Image = Decoded(Stream.str());
        ASSERT_EQ(Image.LngWidth, std::max(LngWidth, Legend.Width()));
        ASSERT_EQ(Image.LngHeight, LngHeight + Legend.Height());
        EXPECT_EQ(Image.At(0, LngHeight - 1).A, 0) << "no data";
        EXPECT_TRUE(BlnShade || Image.At(10, 3) == TColourTable::NaNDefault) << "NaN";
        for (long LngY = 0; LngY < LngHeight; ++LngY)
            for (long LngX = 0; LngX < Image.LngWidth; ++LngX) {
                TRgba Expected = LngX < LngWidth ? Ramp.Colour(VecPixels[LngY][LngX]) : TRgba{};
                const double DblShade = LngX < LngWidth && BlnShade ? VecShades[LngY][LngX] : std::nan("");
                for (std::uint8_t* PtrChannel : {&Expected.R, &Expected.G, &Expected.B})
                    if (!std::isnan(DblShade))
                        *PtrChannel = static_cast<std::uint8_t>(std::lround(*PtrChannel * DblShade / 255));
                EXPECT_TRUE(Image.At(LngX, LngY) == Expected)
                    << LngX << ", " << LngY << ": " << Text(Image.At(LngX, LngY)) << " for "
                    << Text(Expected);
            }
        // The legend: a bar whose colours run from the minimum's to the
        // maximum's, and under it black numbers in each third of the width.
        long LngBarRows = 0;
        std::vector<long> VecInk(3, 0);
        for (long LngY = LngHeight; LngY < Image.LngHeight; ++LngY) {
            std::vector<TRgba> VecColoured;
            for (long LngX = 0; LngX < Image.LngWidth; ++LngX) {
                const TRgba Pixel = Image.At(LngX, LngY);
                if (Pixel == TRgba{0, 0, 0, 255})
                    VecInk[static_cast<std::size_t>(3 * LngX / Image.LngWidth)] += LngBarRows > 0;
                else if (!(Pixel.R == Pixel.G && Pixel.G == Pixel.B && (Pixel.R == 128 || Pixel.R == 255)))
                    VecColoured.push_back(Pixel);
            }
            if (VecColoured.empty())
                continue;
            ++LngBarRows;
            EXPECT_TRUE(VecColoured.front() == Ramp.Colour(Range.Min())) << Text(VecColoured.front());
            EXPECT_TRUE(VecColoured.back() == Ramp.Colour(Range.Max())) << Text(VecColoured.back());
        }
        EXPECT_GT(LngBarRows, 5);
        for (long LngInk : VecInk)
            EXPECT_GT(LngInk, 12) << "a number in each third under the bar";
    }
}
