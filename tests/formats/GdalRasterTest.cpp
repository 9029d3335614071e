// Rasters GDAL's tools write, read through the formats layer as GDAL reads
// them: every data type, with and without a no-data value and a coordinate
// system, tiled and striped, north-up and south-up, read a few rows at a
// time; the frame, no-data cells, WKT and the .prj GDAL writes beside an
// ASCII grid, byte for byte. Rasters no grid stands for are refused, and GDAL
// prints nothing of its own.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "formats/TGdalRaster.h"
#include "support/TGdalJson.h"
#include "support/TGdalGrid.h"
#include "support/TGridText.h"
#include "support/TTempDir.h"
#include "util/TError.h"

namespace {

constexpr long Cols = 21;
constexpr long Rows = 50;

// Values for every type: fractions, negatives, beyond 8 and 16 bits, the
// no-data values of the cases below, NaN.
TGridText SourceGrid()
{
    const double ArrValues[] = {0,     1,      2.5,    -3.75,       255,   300,
                                65535, -32768, 1e6,    123.456,     -9999, -9999.1,
                                7,     1e-3,   4.25e9, -2147483648, 42,    NAN};
    TGridText Grid{Cols, Rows, 500000, 4100000, 30, -1.5e300, {}};
    for (long LngCell = 0; LngCell < Cols * Rows; ++LngCell)
        Grid.VecCells.push_back(ArrValues[(LngCell * 7 + LngCell / Cols) % std::size(ArrValues)]);
    return Grid;
}

struct TRasterCase {
    const char* StgName;
    // gdal_translate's options making the raster from the Float64 source.
    std::string StgOptions;
};

const TRasterCase ArrCases[] = {
    {"Byte, tiled, UTM",
     "-ot Byte -a_nodata none -a_srs EPSG:32633 -co TILED=YES -co BLOCKXSIZE=16 -co BLOCKYSIZE=16"},
    {"Int16, no-data, striped", "-ot Int16 -a_nodata -9999 -co BLOCKYSIZE=7"},
    {"UInt16, no-data, geographic",
     "-ot UInt16 -a_nodata 65535 -a_srs EPSG:4326 -a_ullr -10 60 -4.75 47.5"},
    {"Int32, no-data, tiled",
     "-ot Int32 -a_nodata -2147483648 -co TILED=YES -co BLOCKXSIZE=32 -co BLOCKYSIZE=32"},
    {"UInt32, no-data 0", "-ot UInt32 -a_nodata 0 -co COMPRESS=DEFLATE"},
    {"Float32, no-data no float holds", "-ot Float32 -a_nodata -9999.1 -a_srs EPSG:3857"},
    {"Float32, NaN no-data",
     "-ot Float32 -a_nodata nan -co TILED=YES -co BLOCKXSIZE=16 -co BLOCKYSIZE=16"},
    {"Float64, no-data, tiled",
     "-ot Float64 -a_nodata -9999 -co TILED=YES -co BLOCKXSIZE=16 -co BLOCKYSIZE=16"},
    {"Float64, no no-data", "-ot Float64 -a_nodata none -a_srs EPSG:32633"},
    {"Float64, south-up, tiled",
     "-ot Float64 -a_ullr 500000 4100000 500630 4101500 -co TILED=YES "
     "-co BLOCKXSIZE=16 -co BLOCKYSIZE=16"},
    {"Int16, south-up, striped", "-ot Int16 -a_nodata 7 -a_ullr 0 0 21 50 -co BLOCKYSIZE=3"},
};

bool Same(double DblA, double DblB)
{
    return DblA == DblB || (std::isnan(DblA) && std::isnan(DblB));
}

// All rows through ReadRows, in pieces of 1, 2, 3, ... rows.
std::vector<double> ReadInPieces(TGdalRaster& Raster)
{
    const long LngCols = Raster.Frame().LngCols;
    std::vector<double> VecCells(static_cast<std::size_t>(LngCols * Raster.Frame().LngRows));
    for (long LngPiece = 1; Raster.RowsRead() < Raster.Frame().LngRows; ++LngPiece)
        Raster.ReadRows(VecCells.data() + Raster.RowsRead() * LngCols,
                        std::min(LngPiece, Raster.Frame().LngRows - Raster.RowsRead()));
    return VecCells;
}

std::vector<double> NorthRowFirst(std::vector<double> VecCells, long LngCols, bool BlnSouthUp)
{
    const long LngRows = static_cast<long>(VecCells.size()) / LngCols;
    for (long LngRow = 0; BlnSouthUp && LngRow < LngRows / 2; ++LngRow)
        std::swap_ranges(VecCells.begin() + LngRow * LngCols,
                         VecCells.begin() + (LngRow + 1) * LngCols,
                         VecCells.begin() + (LngRows - 1 - LngRow) * LngCols);
    return VecCells;
}

class GdalRaster : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!GdalToolsInstalled())
            GTEST_SKIP() << "GDAL's tools are not installed";
    }

    // gdal_translate with the options on the Float64 source.
    std::string Made(const std::string& StgOptions, const std::string& StgName)
    {
        if (ReadText(MbrDir / "source.asc").empty())
            WriteText(MbrDir / "source.asc", GridFileText(SourceGrid()));
        const std::string StgRaster = MbrDir / StgName;
        const TCommandResult Result =
            RunShell("gdal_translate -q -oo DATATYPE=Float64 " + StgOptions + " "
                     + ShellQuoted(MbrDir / "source.asc") + " " + ShellQuoted(StgRaster));
        EXPECT_EQ(Result.LngStatus, 0) << Result.StgErr;
        return StgRaster;
    }

    // A VRT of a 3 x 2 grid with the geotransform given (none when empty).
    std::string Vrt(const std::string& StgName, const std::string& StgTransform)
    {
        WriteText(MbrDir / "small.asc",
                  "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
                  "NODATA_value -9999\n1 2 3\n4 5 6\n");
        WriteText(MbrDir / StgName,
                  "<VRTDataset rasterXSize='3' rasterYSize='2'>"
                      + (StgTransform.empty() ? "" : "<GeoTransform>" + StgTransform + "</GeoTransform>")
                      + "<VRTRasterBand dataType='Float64' band='1'><NoDataValue>-9999</NoDataValue>"
                        "<SimpleSource><SourceFilename relativeToVRT='1'>small.asc</SourceFilename>"
                        "<SourceBand>1</SourceBand></SimpleSource></VRTRasterBand></VRTDataset>");
        return MbrDir / StgName;
    }

    TTempDir MbrDir;
};

}  // namespace

TEST_F(GdalRaster, ReadsWhatGdalReads)
{
    for (const TRasterCase& Case : ArrCases) {
        SCOPED_TRACE(Case.StgName);
        const std::string StgRaster = Made(Case.StgOptions, "case.tif");
        const std::string StgJson = RunShell("gdalinfo -json " + ShellQuoted(StgRaster)).StgOut;
        const std::vector<double> VecTransform = JsonNumbers(StgJson, "geoTransform");
        ASSERT_EQ(VecTransform.size(), 6u);
        const bool BlnSouthUp = VecTransform[5] > 0;

        TGdalRaster Raster(StgRaster);
        const TGridFrame& Frame = Raster.Frame();
        EXPECT_EQ(Frame.LngCols, Cols);
        EXPECT_EQ(Frame.LngRows, Rows);
        EXPECT_EQ(Frame.DblXllCorner, VecTransform[0]);
        EXPECT_EQ(Frame.DblYllCorner,
                  std::min(VecTransform[3], VecTransform[3] + Rows * VecTransform[5]));
        EXPECT_EQ(Frame.DblCellSize, VecTransform[1]);

        const std::vector<double> VecCells = ReadInPieces(Raster);
        const std::vector<double> VecGdal =
            NorthRowFirst(GdalCells(StgRaster, MbrDir / "cells.raw"), Cols, BlnSouthUp);
        const std::vector<double> VecMask =
            NorthRowFirst(GdalCells(StgRaster, MbrDir / "mask.raw", "-b mask"), Cols, BlnSouthUp);
        ASSERT_EQ(VecCells.size(), VecGdal.size());
        ASSERT_EQ(VecMask.size(), VecGdal.size());
        const std::vector<double> VecNoData = JsonNumbers(StgJson, "noDataValue");
        EXPECT_EQ(Raster.NoData().Given(), !VecNoData.empty());
        for (std::size_t LngCell = 0; LngCell < VecCells.size(); ++LngCell) {
            EXPECT_TRUE(Same(VecCells[LngCell], VecGdal[LngCell])) << "cell " << LngCell;
            EXPECT_EQ(Raster.NoData().Matches(VecCells[LngCell]), VecMask[LngCell] == 0)
                << "cell " << LngCell;
        }

        EXPECT_EQ(Raster.Wkt(), GdalWkt1(StgRaster));
        ASSERT_EQ(RunShell("gdal_translate -q -of AAIGrid " + ShellQuoted(StgRaster) + " "
                           + ShellQuoted(MbrDir / "case.asc"))
                      .LngStatus,
                  0);
        EXPECT_EQ(Raster.EsriWkt(), ReadText(MbrDir / "case.prj"));
        std::remove((MbrDir / "case.prj").c_str());
    }
}

// Frames as GDAL's ASCII grid writer gives them: cells square within its
// tolerance, and no geotransform at all (GDAL's default one, south-up).
TEST_F(GdalRaster, FrameIsAsGdalWritesItInAnAsciiGrid)
{
    for (const std::string StgTransform :
         {"100, 0.5, 0, 200, 0, -0.50000004", "1e5, 0.1, 0, 3e6, 0, -0.1", ""}) {
        SCOPED_TRACE(StgTransform);
        const std::optional<TGridText> Gdal =
            GdalGrid("gdal_translate " + ShellQuoted(Vrt("frame.vrt", StgTransform)),
                     MbrDir / "frame.asc");
        ASSERT_TRUE(Gdal);
        TGdalRaster Raster(MbrDir / "frame.vrt");
        // GDAL writes the corners with 12 decimals.
        EXPECT_NEAR(Raster.Frame().DblXllCorner, Gdal->DblXllCorner,
                    1e-12 * std::fabs(Gdal->DblXllCorner) + 1e-12);
        EXPECT_NEAR(Raster.Frame().DblYllCorner, Gdal->DblYllCorner,
                    1e-12 * std::fabs(Gdal->DblYllCorner) + 1e-12);
        EXPECT_NEAR(Raster.Frame().DblCellSize, Gdal->DblCellSize, 1e-12);
        std::vector<double> VecCells(6);
        Raster.ReadRows(VecCells.data(), 2);
        EXPECT_EQ(VecCells, Gdal->VecCells);
    }
}

TEST_F(GdalRaster, RefusesWhatNoGridStandsFor)
{
    ASSERT_EQ(RunShell("gdal_translate -q -b 1 -b 1 "
                       + ShellQuoted(Vrt("one.vrt", "0, 1, 0, 2, 0, -1")) + " "
                       + ShellQuoted(MbrDir / "two.tif"))
                  .LngStatus,
              0);
    WriteText(MbrDir / "text.tif", "not a raster\n");
    const struct {
        std::string StgName;
        int LngBand;
        std::string StgMessage;
    } ArrCases[] = {
        {Vrt("rotated.vrt", "0, 1, 0.25, 10, 0, -1"), 1,
         "rotated.vrt is rotated: resample it first (gdalwarp)"},
        {Vrt("sheared.vrt", "0, 1, 0, 10, 0.5, -1"), 1,
         "sheared.vrt is rotated: resample it first (gdalwarp)"},
        {Vrt("oblong.vrt", "0, 1, 0, 10, 0, -2"), 1,
         "oblong.vrt has cells of 1 x 2: resample it to square cells first (gdalwarp -tr)"},
        {Vrt("mirrored.vrt", "10, -1, 0, 10, 0, -1"), 1,
         "mirrored.vrt is mirrored: resample it first (gdalwarp)"},
        {MbrDir / "two.tif", 3, "two.tif has 2 bands: there is no band 3"},
        {MbrDir / "two.tif", 0, "two.tif has 2 bands: there is no band 0"},
        {MbrDir / "text.tif", 1, "Unable to open file text.tif"},
        {MbrDir / "missing.tif", 1, "Unable to open file missing.tif"},
    };
    for (const auto& Case : ArrCases) {
        ::testing::internal::CaptureStderr();
        try {
            TGdalRaster Raster(Case.StgName, Case.LngBand);
            ADD_FAILURE() << Case.StgName << " was read";
        } catch (const TError& Error) {
            // Messages name the file as given: here the whole path.
            std::string StgMessage = Error.what();
            const std::string StgDir = MbrDir.Path().string() + "/";
            for (std::size_t LngAt; (LngAt = StgMessage.find(StgDir)) != std::string::npos;)
                StgMessage.erase(LngAt, StgDir.size());
            EXPECT_EQ(StgMessage.substr(0, Case.StgMessage.size()), Case.StgMessage);
        }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << Case.StgName;
    }
}
