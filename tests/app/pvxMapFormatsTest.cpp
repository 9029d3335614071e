// pvxMap reading and writing the grids users hold, end to end beside GDAL's
// tools: GeoTIFFs of several types in and out with their no-data value and
// coordinate system, gzip-compressed grids by content, and the refusals.
// Skipped without GDAL's tools unless PVX_REQUIRE_GDAL=1.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "support/TCommand.h"
#include "support/TGdalGrid.h"
#include "support/TGridText.h"
#include "support/TTempDir.h"

namespace fs = std::filesystem;

namespace {

const char* const StgPrj =
    "PROJCS[\"WGS_1984_UTM_Zone_33N\",GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID[\"WGS_1984\","
    "6378137.0,298.257223563]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]],"
    "PROJECTION[\"Transverse_Mercator\"],PARAMETER[\"False_Easting\",500000.0],PARAMETER[\"False_Northing\",0.0],"
    "PARAMETER[\"Central_Meridian\",15.0],PARAMETER[\"Scale_Factor\",0.9996],PARAMETER[\"Latitude_Of_Origin\",0.0],"
    "UNIT[\"Meter\",1.0]]";

class MapFormats : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!GdalToolsInstalled())
            GTEST_SKIP() << "GDAL's tools are not installed";
        std::mt19937 Random(3);
        for (int LngCell = 0; LngCell < 7 * 5; ++LngCell)
            Dem.VecCells.push_back(LngCell % 11 == 4 ? -9999 : static_cast<double>(Random() % 20000) / 8 - 200);
        WriteText(Dir / "dem.asc", GridFileText(Dem));
        WriteText(Dir / "dem.prj", StgPrj);
    }
    TCommandResult Map(const std::vector<std::string>& VecArgs, const std::string& StgPrefix = "")
    {
        return RunMap(VecArgs, "cd " + ShellQuoted(Dir.Path().string()) + " && " + StgPrefix);
    }
    void Runs(const std::vector<std::string>& VecArgs)
    {
        const TCommandResult Result = Map(VecArgs);
        ASSERT_EQ(Result.LngStatus, 0) << VecArgs[0] << ": " << Result.StgErr;
    }
    TCommandResult Shell(const std::string& StgCommand) { return RunShell("cd " + ShellQuoted(Dir.Path().string()) + " && " + StgCommand); }

    TTempDir Dir;
    TGridText Dem{7, 5, 500000, 4100000, 30, -9999, {}};
};

}  // namespace

// Every GeoTIFF pvxMap writes reads in GDAL to the cells, geometry, no-data
// value and coordinate system it was given; what GDAL writes, pvxMap reads
// as GDAL does, the coordinate system carried to an ASCII output's .prj as
// GDAL writes it.
TEST_F(MapFormats, GeoTiffBothWays)
{
    Runs({"convert", "dem.asc", "-o", "dem.tif"});
    const TGdalGrid Ours = ReadWithGdal(Dir / "dem.tif", Dir);
    ASSERT_TRUE(Ours.BlnRead);
    EXPECT_EQ(Ours.VecCells, Dem.VecCells);
    EXPECT_EQ(Ours.VecTransform, (std::vector<double>{500000, 30, 0, 4100150, 0, -30}));
    EXPECT_EQ(Ours.VecNoData, std::vector<double>{-9999});
    ASSERT_EQ(Shell("gdal_translate -q dem.asc gdal-from-prj.tif").LngStatus, 0);
    EXPECT_EQ(GdalWkt1(Dir / "dem.tif"), GdalWkt1(Dir / "gdal-from-prj.tif"));
    EXPECT_NE(Shell("gdalinfo dem.tif").StgOut.find("COMPRESSION=DEFLATE"), std::string::npos);

    for (const std::string StgType : {"Byte", "Int16", "UInt16", "Int32", "UInt32", "Float32", "Float64"}) {
        SCOPED_TRACE(StgType);
        const std::string StgNoData = StgType == "Byte" || StgType.rfind("UInt", 0) == 0 ? "0" : "-9999";
        ASSERT_EQ(Shell("gdal_translate -q -oo DATATYPE=Float64 -ot " + StgType + " -a_nodata " + StgNoData
                        + " -scale -200 2300 1 250 dem.asc gdal.tif").LngStatus, 0);
        Runs({"convert", "gdal.tif", "-o", "back.asc", "--digits", "17"});
        const TGdalGrid Gdal = ReadWithGdal(Dir / "gdal.tif", Dir);
        const std::optional<TGridText> Back = ParseGridText(ReadText(Dir / "back.asc"));
        ASSERT_TRUE(Back && Gdal.BlnRead);
        EXPECT_EQ(Back->VecCells, Gdal.VecCells);
        EXPECT_EQ(Back->DblNoData, Gdal.VecNoData.at(0));
        // The .prj beside the ASCII grid is the one GDAL writes there.
        ASSERT_EQ(Shell("gdal_translate -q -of AAIGrid gdal.tif gdalback.asc").LngStatus, 0);
        EXPECT_EQ(ReadText(Dir / "back.prj"), ReadText(Dir / "gdalback.prj"));
    }
    // Types convert as gdal_translate -ot converts, the changes counted.
    const TCommandResult Typed = Map({"scale", "dem.asc", "x", "0.1", "-o", "small.tif", "--type", "Int16"});
    EXPECT_EQ(Typed.LngStatus, 0);
    EXPECT_NE(Typed.StgErr.find("data cells changed value in the conversion to Int16"), std::string::npos) << Typed.StgErr;
    ASSERT_EQ(Shell("gdal_translate -q -oo DATATYPE=Float64 -ot Float64 dem.asc dem64.tif && gdal_calc.py --quiet -A dem64.tif "
                    "--calc='A*0.1' --NoDataValue=-9999 --type=Int16 --outfile=gdalsmall.tif").LngStatus, 0);
    EXPECT_EQ(ReadWithGdal(Dir / "small.tif", Dir).VecCells, ReadWithGdal(Dir / "gdalsmall.tif", Dir).VecCells);
}

// gzip by content, whatever the name, from a file or standard input; written
// by name or --format, read by gunzip; damaged data fails with nothing left.
TEST_F(MapFormats, GzipByContentAndByName)
{
    Runs({"convert", "dem.asc", "-o", "canonical.asc"});
    const std::string StgCanonical = ReadText(Dir / "canonical.asc");
    Runs({"convert", "dem.asc", "-o", "dem.asc.gz", "--level", "9"});
    EXPECT_EQ(Shell("gunzip -c dem.asc.gz").StgOut, StgCanonical);
    Runs({"convert", "dem.asc", "-o", "hidden.asc", "--format", "asc.gz"});
    Runs({"convert", "hidden.asc", "-o", "plain.asc"});
    EXPECT_EQ(ReadText(Dir / "plain.asc"), StgCanonical);
    EXPECT_EQ(Map({"convert", "-", "-o", "-"}, "gzip -c dem.asc |").StgOut, StgCanonical);
    // Several members, as cat makes them.
    ASSERT_EQ(Shell("head -c 200 dem.asc | gzip > two.gz && tail -c +201 dem.asc | gzip >> two.gz").LngStatus, 0);
    Runs({"convert", "two.gz", "-o", "plain.asc"});
    EXPECT_EQ(ReadText(Dir / "plain.asc"), StgCanonical);

    // Cut in the cells, cut in the checksum after them, a byte changed.
    const auto LngSize = fs::file_size(Dir / "dem.asc.gz");
    for (const std::string& StgDamage : std::vector<std::string>{"head -c 100 dem.asc.gz", "head -c " + std::to_string(LngSize - 4) + " dem.asc.gz",
                                         "{ head -c " + std::to_string(LngSize - 6) + " dem.asc.gz; printf x; tail -c 5 dem.asc.gz; }"}) {
        ASSERT_EQ(Shell(StgDamage + " > damaged.gz").LngStatus, 0);
        const TCommandResult Damaged = Map({"convert", "damaged.gz", "-o", "out.asc"});
        EXPECT_EQ(Damaged.LngStatus, 1) << StgDamage;
        EXPECT_EQ(Damaged.StgErr.rfind("pvxMap: Unable to read file damaged.gz: the gzip data ", 0), 0U) << Damaged.StgErr;
        EXPECT_FALSE(fs::exists(Dir / "out.asc")) << StgDamage;
    }
}

// What cannot be read or written is refused, saying so; usage first.
TEST_F(MapFormats, Refusals)
{
    ASSERT_EQ(Shell("gdal_translate -q -oo DATATYPE=Float64 dem.asc flat.tif && cp flat.tif rotated.tif && "
                    "gdal_edit.py -a_ullr 0 0 1 1 rotated.tif && python3 -c \"from osgeo import gdal; "
                    "d = gdal.Open('rotated.tif', 1); d.SetGeoTransform([0, 30, 5, 0, 5, -30])\" 2>/dev/null "
                    "|| /usr/bin/python3 -c \"from osgeo import gdal; d = gdal.Open('rotated.tif', 1); "
                    "d.SetGeoTransform([0, 30, 5, 0, 5, -30])\"").LngStatus, 0);
    const struct {
        std::vector<std::string> VecArgs;
        int LngStatus;
        std::string StgError;
    } ArrCases[] = {
        {{"convert", "rotated.tif", "-o", "out.asc"}, 1, "pvxMap: rotated.tif is rotated: resample it first (gdalwarp)\n"},
        {{"convert", "flat.tif", "--band", "2", "-o", "out.asc"}, 1, "pvxMap: flat.tif has 1 band: there is no band 2\n"},
        {{"convert", "dem.asc", "--band", "2", "-o", "out.asc"}, 1, "pvxMap: dem.asc is an ASCII grid: it has no band 2\n"},
        {{"convert", "dem.asc", "-o", "out.tif", "--type", "Byte"}, 1, "pvxMap: the no-data value -9999 cannot be held in Byte\n"},
        {{"convert", "dem.asc", "-o", "-", "--format", "tif"}, 1,
         "pvxMap: -: a GeoTIFF is written to a file, not to standard output, a pipe or a device\n"},
        {{"convert", "dem.asc", "-o", "out.asc", "--type", "Int16"}, 2,
         "pvxMap: --type is for a GeoTIFF output (*.tif, or --format tif)\nTry 'pvxMap convert --help'.\n"},
        {{"convert", "dem.asc", "-o", "out.tif", "--level", "3"}, 2,
         "pvxMap: --level is for a gzip-compressed output (*.gz, or --format asc.gz)\nTry 'pvxMap convert --help'.\n"},
        {{"convert", "dem.asc", "-o", "out.asc", "--format", "png"}, 2,
         "pvxMap: --format must be asc, asc.gz or tif, not png\nTry 'pvxMap convert --help'.\n"},
    };
    for (const auto& Case : ArrCases) {
        const TCommandResult Result = Map(Case.VecArgs);
        EXPECT_EQ(Result.LngStatus, Case.LngStatus) << Case.VecArgs[1];
        EXPECT_EQ(Result.StgErr, Case.StgError);
        EXPECT_FALSE(fs::exists(Dir / "out.asc") || fs::exists(Dir / "out.tif"));
    }
}

// GDAL is loaded only for a raster it reads or a GeoTIFF written: a copy of
// pvxMap without the module beside it does all its work on ASCII and gzip
// grids, and says what is missing for a GeoTIFF, writing nothing.
TEST_F(MapFormats, GdalIsLoadedOnlyForItsFormats)
{
    Runs({"convert", "dem.asc", "-o", "dem.tif"});
    fs::copy_file(PVX_MAP_BINARY, Dir / "pvxMap-alone");
    const struct {
        std::vector<std::string> VecArgs;
        int LngStatus;
        std::string StgError;
    } ArrCases[] = {
        {{"scale", "dem.asc", "x", "2", "-o", "out.asc"}, 0, ""},
        {{"convert", "dem.asc", "-o", "out.asc.gz"}, 0, ""},
        {{"info", "dem.tif"}, 1, "pvxMap: GDAL's formats are not available: libpvxGdal.so is neither beside"},
        {{"convert", "dem.asc", "-o", "out.tif"}, 1, "pvxMap: GDAL's formats are not available: libpvxGdal.so is neither beside"},
    };
    for (const auto& Case : ArrCases) {
        std::string StgCommand = "./pvxMap-alone";
        for (const std::string& StgArg : Case.VecArgs)
            StgCommand += " " + ShellQuoted(StgArg);
        const TCommandResult Result = Shell(StgCommand);
        EXPECT_EQ(Result.LngStatus, Case.LngStatus) << StgCommand << ": " << Result.StgErr;
        EXPECT_EQ(Result.StgErr.substr(0, Case.StgError.size()), Case.StgError) << StgCommand;
    }
    EXPECT_FALSE(fs::exists(Dir / "out.tif"));
}
