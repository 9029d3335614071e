// Colour ramps: the built-in ones against matplotlib's colour maps (where
// python3 has matplotlib), a colour file of every form gdaldem reads against
// gdaldem color-relief on the same grid, and the colour file's mistakes
// named with their lines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "ops/TColourRamp.h"
#include "ops/TColourTable.h"
#include "ops/TValueRange.h"
#include "support/TCommand.h"
#include "support/TGdalGrid.h"
#include "support/TGridText.h"
#include "support/TTempDir.h"
#include "util/TNoData.h"

namespace {

TColourTable Parsed(const std::string& StgText)
{
    std::istringstream Stream(StgText);
    return TColourTable::Parse(Stream, "colours.txt");
}

// matplotlib's bytes (R, G, B, A) of its colour maps at its 256 samples,
// map after map; nothing when no python3 at hand has matplotlib.
std::vector<int> Matplotlib(const std::vector<std::string>& VecMaps)
{
    std::string StgScript = "import matplotlib, numpy\n";
    for (const std::string& StgMap : VecMaps)
        StgScript +=
            "print(*matplotlib.colormaps['" + StgMap + "'](numpy.arange(256) / 255, bytes=True).flatten())\n";
    const TCommandResult Result = RunShell("for Python in python3 /usr/bin/python3; do "
                                           "$Python -c 'import matplotlib' 2>/dev/null && exec $Python -c "
                                           + ShellQuoted(StgScript) + "; done; exit 3");
    std::vector<int> VecBytes;
    std::istringstream Stream(Result.StgOut);
    for (int LngByte; Stream >> LngByte;)
        VecBytes.push_back(LngByte);
    return Result.LngStatus == 0 ? VecBytes : std::vector<int>();
}

}  // namespace

TEST(TColourRamp, BuiltInRampsAreMatplotlibs)
{
    // At matplotlib's 256 samples: viridis exactly; terrain and gray, whose
    // samples matplotlib truncates to bytes where a ramp rounds, within one.
    const struct {
        const char* StgName;
        int LngTolerance;
    } ArrRamps[] = {{"viridis", 0}, {"terrain", 1}, {"gray", 1}};
    const std::vector<int> VecExpected = Matplotlib({"viridis", "terrain", "gray"});
    if (VecExpected.empty())
        GTEST_SKIP() << "no python3 with matplotlib";
    ASSERT_EQ(VecExpected.size(), 3u * 256 * 4);
    const double DblMin = -40;
    const double DblMax = 2600;
    const int* PtrExpected = VecExpected.data();
    for (const auto& Ramp : ArrRamps) {
        const TColourRamp Colours(TColourTable::Named(Ramp.StgName), DblMin, DblMax);
        for (int LngSample = 0; LngSample < 256; ++LngSample, PtrExpected += 4) {
            const TRgba Got = Colours.Colour(DblMin + LngSample / 255.0 * (DblMax - DblMin));
            const int ArrGot[] = {Got.R, Got.G, Got.B, Got.A};
            for (std::size_t LngChannel = 0; LngChannel < 4; ++LngChannel)
                EXPECT_NEAR(ArrGot[LngChannel], PtrExpected[LngChannel], Ramp.LngTolerance)
                    << Ramp.StgName << " at " << LngSample << ", channel " << LngChannel;
        }
    }
    EXPECT_THROW(TColourTable::Named("jet"), TError);
}

TEST(TColourRamp, ColourFilesColourAsGdaldemColorRelief)
{
    if (!GdalToolsInstalled())
        GTEST_SKIP() << "GDAL's tools are not installed";
    // Comments, blank lines, every separator, names with and without alpha,
    // percentages, no data; and a GMT palette.
    const char* const ArrFiles[] = {"# elevation colours\n"
                                    "/ another comment\n"
                                    "\n"
                                    "0 0 0 255\n"
                                    "10% red\n"
                                    "  250,0:255\t0 128\n"
                                    "500 brown 200\n"
                                    "75% 12 34 56\n"
                                    "1000 White\n"
                                    "nv 1 2 3 4\n",
                                    "# COLOR_MODEL = RGB\n"
                                    "-100 0 0 0 300 100 150 200\n"
                                    "300 100 150 200 900 250 0 0\n"
                                    "B 1 1 1\nF 2 2 2\nN 3 3 3\n"};
    // Values below, at, between and beyond the entries; no data.
    TGridText Grid{9, 7, 0, 0, 1, -9999, {}};
    for (int LngCell = 0; LngCell < 63; ++LngCell)
        Grid.VecCells.push_back(LngCell % 11 == 4 ? -9999 : -60 + 17.25 * LngCell);
    Grid.VecCells[5] = 250;
    Grid.VecCells[6] = 1000;
    std::vector<double> VecCells;
    for (double DblCell : Grid.VecCells)
        VecCells.push_back(DblCell == -9999 ? TNoData::Marker() : DblCell);
    TValueRange Range;
    Range.Add(VecCells.data(), VecCells.size());
    const TTempDir Scratch;
    WriteText(Scratch / "grid.asc", GridFileText(Grid));
    for (const char* StgColours : ArrFiles) {
        WriteText(Scratch / "colours.txt", StgColours);
        const TCommandResult Result =
            RunShell("gdaldem color-relief -q -alpha -of ENVI " + ShellQuoted(Scratch / "grid.asc") + " "
                     + ShellQuoted(Scratch / "colours.txt") + " " + ShellQuoted(Scratch / "rgba.raw"));
        ASSERT_EQ(Result.LngStatus, 0) << Result.StgErr;
        const std::string StgBands = ReadText(Scratch / "rgba.raw");  // R plane, G, B, A
        ASSERT_EQ(StgBands.size(), 4 * VecCells.size());
        const TColourRamp Ramp(Parsed(StgColours), Range.Min(), Range.Max());
        std::vector<std::uint8_t> VecRgba(4 * VecCells.size());
        Ramp.Colours(VecCells.data(), VecCells.size(), VecRgba.data());
        for (std::size_t LngCell = 0; LngCell < VecCells.size(); ++LngCell)
            for (std::size_t LngBand = 0; LngBand < 4; ++LngBand)
                EXPECT_EQ(VecRgba[4 * LngCell + LngBand],
                          static_cast<std::uint8_t>(StgBands[LngBand * VecCells.size() + LngCell]))
                    << "cell " << Grid.VecCells[LngCell] << ", band " << LngBand << " of\n"
                    << StgColours;
    }
}

TEST(TColourRamp, NaNInfinitiesAndAReversedRange)
{
    // gdaldem colours neither NaN nor infinities; a range may run backwards.
    const TColourRamp Own(Parsed("0 10 20 30\n100 50 60 70 80\nnan 9 8 7\n"), 0, 0);
    const TColourRamp Reversed(TColourTable::Named("gray"), 10, 0);
    const double Inf = std::numeric_limits<double>::infinity();
    const struct {
        const TColourRamp& Ramp;
        double DblValue;
        TRgba Expected;
    } ArrCases[] = {{Own, std::nan(""), {9, 8, 7, 255}},
                    {Own, -Inf, {10, 20, 30, 255}},
                    {Own, Inf, {50, 60, 70, 80}},
                    {Reversed, 10, {0, 0, 0, 255}},
                    {Reversed, 0, {255, 255, 255, 255}}};
    for (const auto& Case : ArrCases)
        EXPECT_TRUE(Case.Ramp.Colour(Case.DblValue) == Case.Expected) << Case.DblValue;
}

TEST(TColourRamp, ColourFileMistakesAreNamedWithTheirLine)
{
    const struct {
        const char* StgText;
        const char* StgMessage;
    } ArrCases[] = {
        {"0 0 0 0\n12x 1 2 3\n", "Value '12x' is not a number at line 2 of colours.txt"},
        {"0 0 0 256\n",
         "Colour component '256' is not a whole number from 0 to 255 at line 1 of colours.txt"},
        {"# x\n0 1.5 0 0\n",
         "Colour component '1.5' is not a whole number from 0 to 255 at line 2 of colours.txt"},
        {"101% red\n", "Percentage '101%' is not from 0 to 100 at line 1 of colours.txt"},
        {"0 red\n1 puce\n", "Unknown colour 'puce' at line 2 of colours.txt"},
        {"\n\n5\n", "A value needs a colour at line 3 of colours.txt"},
        {"0 1 2 3 4 5\n", "Too many fields at line 1 of colours.txt"},
        {"# only a comment\nnv 0 0 0\n", "No colour entries in colours.txt"},
        {"# COLOR_MODEL = HSV\n", "Only COLOR_MODEL = RGB is supported at line 1 of colours.txt"},
        {"# COLOR_MODEL = RGB\n0 0 0 0\n",
         "A palette line has 8 fields (or 4 for B, F and N), not 4 at line 2 of colours.txt"},
    };
    for (const auto& Case : ArrCases) {
        try {
            Parsed(Case.StgText);
            ADD_FAILURE() << "no error for " << Case.StgText;
        } catch (const TColourFileError& Error) {
            EXPECT_STREQ(Error.what(), Case.StgMessage);
        }
    }
}
