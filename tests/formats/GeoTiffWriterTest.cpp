// GeoTIFFs written through the formats layer, read back by GDAL's tools:
// every data type, with and without a no-data value, the cells as
// gdal_translate -ot converts them (those that changed counted), the
// geometry, no-data value and coordinate system given (also from a .prj, as
// GDAL reads one beside an ASCII grid), the creation options gdalinfo shows;
// the same bytes on any number of threads; written under a temporary name
// and renamed, nothing left beside it. No-data values a type cannot hold
// and unknown types are refused.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/TCoordinateSystem.h"
#include "formats/TGeoTiffWriter.h"
#include "io/TOutputFile.h"
#include "support/TGdalJson.h"
#include "support/TGdalGrid.h"
#include "support/TGridText.h"
#include "support/TTempDir.h"
#include "util/TError.h"
#include "util/TSlices.h"

namespace {

const TGridFrame Frame{300, 270, 512345.5, 4512345.5, 30};

// Cells that test every conversion: fractions (ties too), negatives, beyond
// each integer type, beyond Float32, NaN, infinities; every 11th the no-data
// value.
std::vector<double> SourceCells(double DblNoData)
{
    const double ArrValues[] = {0,       1,        2.5,       -2.5, -3.75,  255,     256,
                                300,     65535,    65536,     -1,   -32768, -32769,  1e6,
                                123.456, 4.25e9,   -3e9,      1e-3, 1e40,   -1e40,   1e-50,
                                NAN,     INFINITY, -INFINITY, -0.0, 0.1,    16777217};
    std::vector<double> VecCells;
    for (long LngCell = 0; LngCell < Frame.LngCols * Frame.LngRows; ++LngCell)
        VecCells.push_back(LngCell % 11 == 4
                               ? DblNoData
                               : ArrValues[(LngCell * 5 + LngCell / 7) % std::size(ArrValues)]);
    return VecCells;
}

bool Same(double DblA, double DblB)
{
    return DblA == DblB || (std::isnan(DblA) && std::isnan(DblB));
}

// Writes the cells in pieces of 1, 2, 3, ... rows; returns the changed count.
std::uint64_t WriteTiff(const std::string& StgName, const std::vector<double>& VecCells,
                        const TGeoTiffWriter::TSettings& Settings)
{
    TGeoTiffWriter Writer(StgName, Frame, Settings);
    long LngRow = 0;
    for (long LngPiece = 1; LngRow < Frame.LngRows; ++LngPiece) {
        const long LngRows = std::min(LngPiece, Frame.LngRows - LngRow);
        Writer.WriteRows(VecCells.data() + LngRow * Frame.LngCols, LngRows);
        LngRow += LngRows;
    }
    Writer.Finish();
    return Writer.ChangedCells();
}

bool JsonHas(const std::string& StgJson, const std::string& StgKey, const std::string& StgValue)
{
    return StgJson.find("\"" + StgKey + "\":\"" + StgValue + "\"") != std::string::npos;
}

class GeoTiffWriter : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!GdalToolsInstalled())
            GTEST_SKIP() << "GDAL's tools are not installed";
    }

    TTempDir MbrDir;
};

}  // namespace

TEST_F(GeoTiffWriter, GdalReadsWhatWasWritten)
{
    const std::string StgUtm = GdalWkt1("EPSG:32633");
    ASSERT_FALSE(StgUtm.empty());
    const struct {
        const char* StgType;
        double DblNoData;
        bool BlnNoData;
        std::string StgWkt;
    } ArrCases[] = {
        {"Byte", 255, true, StgUtm},        {"Byte", 0, false, ""},
        {"Int16", -9999, true, ""},         {"UInt16", 0, true, StgUtm},
        {"Int32", -2147483648.0, true, ""}, {"UInt32", 4294967295.0, false, StgUtm},
        {"Float32", -9999, true, StgUtm},   {"Float32", NAN, true, ""},
        {"Float64", -1e300, true, StgUtm},  {"Float64", 0, false, ""},
    };
    for (const auto& Case : ArrCases) {
        SCOPED_TRACE(std::string(Case.StgType) + (Case.BlnNoData ? " with no-data" : ""));
        const std::vector<double> VecSource = SourceCells(Case.BlnNoData ? Case.DblNoData : 0.5);

        // What gdal_translate -ot makes of the same cells.
        WriteText(MbrDir / "source.asc",
                  GridFileText({Frame.LngCols, Frame.LngRows, Frame.DblXllCorner,
                                Frame.DblYllCorner, Frame.DblCellSize, -1.5e300, VecSource}));
        const std::string StgNoData = Case.BlnNoData ? ShortestText(Case.DblNoData) : "none";
        ASSERT_EQ(RunShell("gdal_translate -q -oo DATATYPE=Float64 -ot " + std::string(Case.StgType)
                           + " -a_nodata " + StgNoData + " " + ShellQuoted(MbrDir / "source.asc")
                           + " " + ShellQuoted(MbrDir / "expected.tif"))
                      .LngStatus,
                  0);
        const std::vector<double> VecExpected =
            GdalCells(MbrDir / "expected.tif", MbrDir / "expected.raw");

        TGeoTiffWriter::TSettings Settings;
        Settings.StgType = Case.StgType;
        Settings.NoData = Case.BlnNoData ? TNoData(Case.DblNoData) : TNoData();
        Settings.StgWkt = Case.StgWkt;
        const std::uint64_t LngChanged = WriteTiff(MbrDir / "out.tif", VecSource, Settings);

        const std::vector<double> VecWritten = GdalCells(MbrDir / "out.tif", MbrDir / "out.raw");
        ASSERT_EQ(VecWritten.size(), VecExpected.size());
        std::uint64_t LngDiffering = 0;
        for (std::size_t LngCell = 0; LngCell < VecExpected.size(); ++LngCell) {
            EXPECT_TRUE(Same(VecWritten[LngCell], VecExpected[LngCell])) << "cell " << LngCell;
            LngDiffering += Same(VecSource[LngCell], VecExpected[LngCell]) ? 0 : 1;
        }
        EXPECT_EQ(LngChanged, LngDiffering);

        const std::string StgJson =
            RunShell("gdalinfo -json " + ShellQuoted(MbrDir / "out.tif")).StgOut;
        EXPECT_TRUE(JsonHas(StgJson, "type", Case.StgType));
        EXPECT_EQ(JsonNumbers(StgJson, "block"), (std::vector<double>{256, 256}));
        EXPECT_TRUE(JsonHas(StgJson, "COMPRESSION", "DEFLATE"));
        EXPECT_TRUE(JsonHas(StgJson, "PREDICTOR",
                            std::string(Case.StgType).rfind("Float", 0) == 0 ? "3" : "2"));
        EXPECT_EQ(JsonNumbers(StgJson, "geoTransform"),
                  (std::vector<double>{Frame.DblXllCorner, Frame.DblCellSize, 0,
                                       Frame.DblYllCorner + Frame.LngRows * Frame.DblCellSize, 0,
                                       -Frame.DblCellSize}));
        const std::vector<double> VecNoData = JsonNumbers(StgJson, "noDataValue");
        ASSERT_EQ(VecNoData.size(), Case.BlnNoData ? 1u : 0u);
        if (Case.BlnNoData) {
            EXPECT_TRUE(Same(VecNoData[0], Case.DblNoData));
        }
        EXPECT_EQ(GdalWkt1(MbrDir / "out.tif"), Case.StgWkt);
        EXPECT_FALSE(std::filesystem::exists(MbrDir / "out.tif.aux.xml"));
    }
}

TEST_F(GeoTiffWriter, SameBytesOnAnyNumberOfThreads)
{
    const std::vector<double> VecCells = SourceCells(-9999);
    TGeoTiffWriter::TSettings Settings;
    Settings.StgType = "Float32";
    TSlices::SetThreads(1);
    WriteTiff(MbrDir / "one.tif", VecCells, Settings);
    TSlices::SetThreads(3);
    WriteTiff(MbrDir / "three.tif", VecCells, Settings);
    TSlices::SetThreads(0);
    EXPECT_TRUE(ReadText(MbrDir / "one.tif") == ReadText(MbrDir / "three.tif"));
}

// As the commands write: a temporary file beside the target, renamed over it
// once complete, keeping the target's permission bits.
TEST_F(GeoTiffWriter, WritesUnderATemporaryNameAndRenames)
{
    const std::string StgTarget = MbrDir / "dem.tif";
    WriteText(StgTarget, "old");
    ASSERT_EQ(chmod(StgTarget.c_str(), 0640), 0);
    {
        TOutputFile Output(StgTarget);
        WriteTiff(Output.WorkingName(), SourceCells(-9999), {});
        Output.Commit();
    }
    EXPECT_EQ(MbrDir.EntryCount(), 1u);
    struct stat Status = {};
    ASSERT_EQ(stat(StgTarget.c_str(), &Status), 0);
    EXPECT_EQ(Status.st_mode & 07777, 0640u);
    EXPECT_EQ(JsonNumbers(RunShell("gdalinfo -json " + ShellQuoted(StgTarget)).StgOut, "size"),
              (std::vector<double>{300, 270}));
}

// A .prj read as GDAL reads it beside an ASCII grid, into a GeoTIFF as
// gdal_translate puts it there; text GDAL does not read is refused.
TEST_F(GeoTiffWriter, CoordinateSystemFromAPrjAsGdalReadsIt)
{
    const std::string ArrPrjs[] = {
        RunShell("gdalsrsinfo -o wkt_esri --single-line EPSG:32633").StgOut,
        RunShell("gdalsrsinfo -o wkt1 --single-line EPSG:4326").StgOut,
        RunShell("gdalsrsinfo -o wkt1 EPSG:3857").StgOut,
        "Projection    UTM\nZone          33\nDatum         WGS84\nSpheroid      WGS84\nUnits      "
        "   METERS\n"
        "Zunits        NO\nXshift        0.0\nYshift        0.0\nParameters\n",
        "no system\n",
    };
    WriteText(MbrDir / "grid.asc", "ncols 1\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\n7\n");
    int LngRead = 0;
    for (const std::string& StgPrj : ArrPrjs) {
        SCOPED_TRACE(StgPrj);
        WriteText(MbrDir / "grid.prj", StgPrj);
        if (GdalWkt1(MbrDir / "grid.asc").empty()) {
            EXPECT_THROW(TCoordinateSystem::WktFromPrj(StgPrj, "grid.prj"), TError);
            continue;
        }
        ++LngRead;
        TGeoTiffWriter::TSettings Settings;
        Settings.StgWkt = TCoordinateSystem::WktFromPrj(StgPrj, "grid.prj");
        WriteTiff(MbrDir / "out.tif", SourceCells(-9999), Settings);
        ASSERT_EQ(RunShell("gdal_translate -q " + ShellQuoted(MbrDir / "grid.asc") + " "
                           + ShellQuoted(MbrDir / "gdal.tif"))
                      .LngStatus,
                  0);
        EXPECT_EQ(GdalWkt1(MbrDir / "out.tif"), GdalWkt1(MbrDir / "gdal.tif"));
    }
    EXPECT_EQ(LngRead, 3);
}

TEST_F(GeoTiffWriter, RefusesNoDataTheTypeCannotHoldAndUnknownTypes)
{
    const struct {
        const char* StgType;
        double DblNoData;
        const char* StgMessage;
    } ArrCases[] = {
        {"Int16", -99999, "the no-data value -99999 cannot be held in Int16"},
        {"Byte", -1, "the no-data value -1 cannot be held in Byte"},
        {"UInt16", 0.5, "the no-data value 0.5 cannot be held in UInt16"},
        {"Int32", NAN, "the no-data value nan cannot be held in Int32"},
        {"Float32", 1e300, "the no-data value 1e+300 cannot be held in Float32"},
        {"Float32", 0.1, "the no-data value 0.1 cannot be held in Float32"},
        // The list ends with the types the GDAL in use has (Int8 from 3.7 on).
        {"CFloat32", 0, "unknown data type CFloat32: one of Byte, "},
        {"float64", 0, "unknown data type float64: one of Byte, "},
    };
    for (const auto& Case : ArrCases) {
        TGeoTiffWriter::TSettings Settings;
        Settings.StgType = Case.StgType;
        Settings.NoData = TNoData(Case.DblNoData);
        try {
            TGeoTiffWriter Writer(MbrDir / "refused.tif", Frame, Settings);
            ADD_FAILURE() << Case.StgMessage << ": written";
        } catch (const TError& Error) {
            EXPECT_EQ(std::string(Error.what()).substr(0, std::strlen(Case.StgMessage)),
                      Case.StgMessage);
        }
    }
    EXPECT_EQ(MbrDir.EntryCount(), 0u);
}
