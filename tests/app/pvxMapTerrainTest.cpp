// Terrain and quick-look images end to end: slope, aspect and hillshade
// beside gdaldem on a generated DEM, with and without --compute-edges; the
// PNG decoded in the test (size, colours of known cells, no data, legend),
// and a colour file with no data and percentages beside gdaldem
// color-relief. Skipped without GDAL's tools unless PVX_REQUIRE_GDAL=1.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "support/TCommand.h"
#include "support/TGdalGrid.h"
#include "support/TGridText.h"
#include "support/TTempDir.h"

namespace {

// Decodes an 8-bit RGB or RGBA PNG with Python's zlib and prints
// "width height" then one line per pixel "r g b a".
const char* const StgDecode = R"(
import sys, zlib, struct
data = open(sys.argv[1], 'rb').read()
pos, idat, width, height, kind = 8, b'', 0, 0, 0
while pos < len(data):
    size, tag = struct.unpack('>I4s', data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + size]
    if tag == b'IHDR':
        width, height, depth, kind = struct.unpack('>IIBB', body[:10])
    elif tag == b'IDAT':
        idat += body
    pos += 12 + size
channels = 4 if kind == 6 else 3
raw, stride, rows, prev = zlib.decompress(idat), width * channels, [], bytearray(width * channels)
for r in range(height):
    line = raw[r * (stride + 1):(r + 1) * (stride + 1)]
    f, row = line[0], bytearray(line[1:])
    for i in range(stride):
        a = row[i - channels] if i >= channels else 0
        b = prev[i]
        c = prev[i - channels] if i >= channels else 0
        p = a + b - c
        pred = [0, a, b, (a + b) // 2, a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else (b if abs(p - b) <= abs(p - c) else c)][f]
        row[i] = (row[i] + pred) & 255
    rows.append(row)
    prev = row
print(width, height)
for row in rows:
    for x in range(width):
        px = list(row[x * channels:(x + 1) * channels]) + ([255] if channels == 3 else [])
        print(*px)
)";

struct TImage {
    long LngWidth = 0;
    long LngHeight = 0;
    std::vector<std::vector<int>> VecPixels;  // row after row, RGBA
    const std::vector<int>& At(long LngX, long LngY) const { return VecPixels[static_cast<std::size_t>(LngY * LngWidth + LngX)]; }
};

class MapTerrain : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!GdalToolsInstalled())
            GTEST_SKIP() << "GDAL's tools are not installed";
        // Hills and a hole of no data.
        for (long LngRow = 0; LngRow < 23; ++LngRow)
            for (long LngCol = 0; LngCol < 31; ++LngCol)
                Dem.VecCells.push_back((LngRow == 9 && LngCol > 10 && LngCol < 14) ? -9999
                                       : 300 + 40 * std::sin(LngCol / 4.0) * std::cos(LngRow / 5.0) + 1.5 * LngRow);
        WriteText(Dir / "dem.asc", GridFileText(Dem));
        WriteText(Dir / "decode.py", StgDecode);
    }
    TCommandResult Shell(const std::string& StgCommand) { return RunShell("cd " + ShellQuoted(Dir.Path().string()) + " && " + StgCommand); }
    void Map(const std::vector<std::string>& VecArgs)
    {
        const TCommandResult Result = RunMap(VecArgs, "cd " + ShellQuoted(Dir.Path().string()) + " && ");
        ASSERT_EQ(Result.LngStatus, 0) << VecArgs[0] << ": " << Result.StgErr;
    }
    TImage Decode(const std::string& StgPng)
    {
        const TCommandResult Result = Shell("python3 decode.py " + StgPng);
        TImage Image;
        std::istringstream Text(Result.StgOut);
        Text >> Image.LngWidth >> Image.LngHeight;
        for (std::vector<int> VecPixel(4); Text >> VecPixel[0] >> VecPixel[1] >> VecPixel[2] >> VecPixel[3];)
            Image.VecPixels.push_back(VecPixel);
        EXPECT_EQ(Image.VecPixels.size(), static_cast<std::size_t>(Image.LngWidth * Image.LngHeight)) << Result.StgErr;
        return Image;
    }

    TTempDir Dir;
    TGridText Dem{31, 23, 1000, 2000, 10, -9999, {}};
};

}  // namespace

TEST_F(MapTerrain, AsGdaldemComputesIt)
{
    const struct {
        std::vector<std::string> VecArgs;
        std::string StgGdaldem;
    } ArrCases[] = {
        {{"slope"}, "slope"},
        {{"slope", "--percent", "--scale", "2"}, "slope -p -s 2"},
        {{"aspect"}, "aspect"},
        {{"hillshade"}, "hillshade"},
        {{"hillshade", "--azimuth", "200", "--altitude", "30", "--z", "3"}, "hillshade -az 200 -alt 30 -z 3"},
        {{"hillshade", "--multidirectional"}, "hillshade -multidirectional"},
    };
    for (const auto& Case : ArrCases)
        for (const bool BlnEdges : {false, true}) {
            std::vector<std::string> VecArgs = Case.VecArgs;
            VecArgs.insert(VecArgs.begin() + 1, "dem.asc");
            VecArgs.insert(VecArgs.end(), {"-o", "ours.asc", "--digits", "17"});
            if (BlnEdges)
                VecArgs.push_back("--compute-edges");
            Map(VecArgs);
            const std::string StgGdaldem = "gdaldem " + Case.StgGdaldem + (BlnEdges ? " -compute_edges" : "") + " -q dem.asc gdaldem.tif";
            const std::optional<TGridText> Gdal =
                GdalGrid("cd " + ShellQuoted(Dir.Path().string()) + " && " + StgGdaldem + " && gdal_translate gdaldem.tif", Dir / "gdal.asc");
            const std::optional<TGridText> Ours = ParseGridText(ReadText(Dir / "ours.asc"));
            ASSERT_TRUE(Gdal && Ours);
            ASSERT_EQ(Ours->VecCells.size(), Gdal->VecCells.size());
            const bool BlnShade = Case.VecArgs[0] == "hillshade";
            for (std::size_t LngCell = 0; LngCell < Ours->VecCells.size(); ++LngCell) {
                const double DblOurs = Ours->VecCells[LngCell];
                const double DblGdal = Gdal->VecCells[LngCell];
                const bool BlnGdalNoData = DblGdal == Gdal->DblNoData;
                ASSERT_EQ(DblOurs == -9999, BlnGdalNoData) << StgGdaldem << " cell " << LngCell;
                const double DblTolerance = BlnShade ? 1.0 : std::max(1e-4, 1e-5 * std::fabs(DblGdal));
                ASSERT_TRUE(BlnGdalNoData || std::fabs(DblOurs - DblGdal) <= DblTolerance)
                    << StgGdaldem << " cell " << LngCell << ": " << DblOurs << " against " << DblGdal;
            }
        }
}

TEST_F(MapTerrain, RenderedImages)
{
    // Gray over a given range: black at its bottom, white at its top, no
    // data transparent; a legend below makes the image taller.
    Map({"render", "dem.asc", "-o", "gray.png", "--ramp", "gray", "--range", "200", "400"});
    const TImage Gray = Decode("gray.png");
    ASSERT_EQ(Gray.LngWidth, 31);
    ASSERT_EQ(Gray.LngHeight, 23);
    for (long LngRow = 0; LngRow < 23; ++LngRow)
        for (long LngCol = 0; LngCol < 31; ++LngCol) {
            const double DblCell = Dem.VecCells[static_cast<std::size_t>(LngRow * 31 + LngCol)];
            const std::vector<int>& Pixel = Gray.At(LngCol, LngRow);
            if (DblCell == -9999) {
                EXPECT_EQ(Pixel[3], 0) << LngCol << "," << LngRow;
                continue;
            }
            EXPECT_NEAR(Pixel[0], (DblCell - 200) / 200 * 255, 1.0) << LngCol << "," << LngRow;
            EXPECT_EQ(Pixel[0], Pixel[1]);
            EXPECT_EQ(Pixel[3], 255);
        }
    Map({"render", "dem.asc", "-o", "legend.png", "--legend", "--hillshade", "--width", "15"});
    const TImage Legend = Decode("legend.png");
    EXPECT_GE(Legend.LngWidth, 15);
    EXPECT_GT(Legend.LngHeight, 12);

    // A colour file with no data and percentages, beside gdaldem color-relief.
    WriteText(Dir / "colours.txt", "nv 0 0 255\n0% 255 0 0\n50% 255 255 0\n100% 0 128 0\n");
    Map({"render", "dem.asc", "-o", "relief.png", "--ramp", "colours.txt"});
    ASSERT_EQ(Shell("gdaldem color-relief -q -alpha -of PNG dem.asc colours.txt gdal.png").LngStatus, 0);
    const TImage Ours = Decode("relief.png");
    const TImage Gdal = Decode("gdal.png");
    ASSERT_EQ(Ours.VecPixels.size(), Gdal.VecPixels.size());
    for (std::size_t LngPixel = 0; LngPixel < Ours.VecPixels.size(); ++LngPixel) {
        const std::vector<int> VecExpected =
            Dem.VecCells[LngPixel] != -9999 ? Gdal.VecPixels[LngPixel] : std::vector<int>{0, 0, 255, 255};
        EXPECT_EQ(Ours.VecPixels[LngPixel], VecExpected) << "pixel " << LngPixel;
    }
}
