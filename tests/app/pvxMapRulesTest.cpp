// pvxMap's rules for a GIS user, end to end through the built binary, one
// table per family: no data carried from the inputs (NaN included) and never
// inferred from a value, grids that must line up, GDAL's geometry for
// resampling and cut-outs, least-squares gradients, CSV input, usage checked
// before any file, pipes, messages, text output, digits and rounding. Every
// expected value is computed here or by GDAL.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>

#include "support/TCommand.h"
#include "support/TGdalGrid.h"
#include <algorithm>
#include "support/TGridText.h"
#include "support/TMapFolder.h"
#include "support/TTempDir.h"

namespace fs = std::filesystem;

namespace {

const double NaN = std::nan("");

bool SameCell(double DblA, double DblB)
{
    return (std::isnan(DblA) && std::isnan(DblB)) || DblA == DblB;
}

class MapRules : public TMapFolder {
protected:
    // Runs and expects success, silently.
    void Runs(const std::vector<std::string>& VecArgs)
    {
        const TCommandResult Result = Map(VecArgs);
        EXPECT_EQ(Result.LngStatus, 0) << VecArgs[0] << ": " << Result.StgErr;
        EXPECT_EQ(Result.StgErr, "") << VecArgs[0];
        MbrStgOut = Result.StgOut;
    }
    // The cells of a grid file, the no-data ones as NoData.
    void ExpectCells(const std::string& StgName, double DblNoData, const std::vector<double>& VecCells)
    {
        const TGridText Grid = Read(StgName);
        EXPECT_TRUE(SameCell(Grid.DblNoData, DblNoData)) << StgName;
        ASSERT_EQ(Grid.VecCells.size(), VecCells.size()) << StgName;
        for (std::size_t LngCell = 0; LngCell < VecCells.size(); ++LngCell)
            EXPECT_TRUE(SameCell(Grid.VecCells[LngCell], VecCells[LngCell]))
                << StgName << " cell " << LngCell << ": " << Grid.VecCells[LngCell] << " expected " << VecCells[LngCell];
    }

    std::string MbrStgOut;
};

TGridText Row(std::vector<double> VecCells, double DblNoData, double DblXll = 0, double DblCellSize = 10)
{
    return {static_cast<long>(VecCells.size()), 1, DblXll, 0, DblCellSize, DblNoData, std::move(VecCells)};
}

}  // namespace

// A NaN cell is no data under a NaN NODATA_value, in every command; under any
// other value it is data.
TEST_F(MapRules, NaNIsNoDataUnderANaNNoDataValue)
{
    Put("nan.asc", Row({1, NaN, -2.5, 0, NaN}, NaN));
    WriteText(Dir / "rules.csv", "1,10\n");
    const struct {
        std::vector<std::string> VecArgs;
        std::vector<double> VecCells;
    } ArrCases[] = {
        {{"threshold", "nan.asc", "0", "-o", "out.asc"}, {1, NaN, 0, 0, NaN}},
        {{"reclass", "nan.asc", "rules.csv", "--default", "7", "-o", "out.asc"}, {10, NaN, 7, 7, NaN}},
        {{"count", "nan.asc", "nan.asc", "-o", "out.asc", "--nodata", "-1"}, {2, 0, 2, 2, 0}},
        {{"mask", "nan.asc", "nan.asc", "-o", "out.asc"}, {1, NaN, -2.5, 0, NaN}},
        {{"round", "nan.asc", "-o", "out.asc", "--nodata", "-1"}, {1, -1, -3, 0, -1}},
    };
    for (const auto& Case : ArrCases) {
        Runs(Case.VecArgs);
        ExpectCells("out.asc", Case.VecArgs[0] == "count" || Case.VecArgs[0] == "round" ? -1 : NaN, Case.VecCells);
    }
    Runs({"values", "nan.asc"});
    EXPECT_EQ(MbrStgOut, "value,count\n-2.5,1\n0,1\n1,1\n");
    Runs({"info", "nan.asc"});
    EXPECT_NE(MbrStgOut.find("data_cells 3\nnodata_cells 2\nnan_cells 0\n"), std::string::npos) << MbrStgOut;
    // Under another no-data value, NaN cells are data: values lists them.
    Put("nandata.asc", Row({1, NaN, NaN, -9999}, -9999));
    Runs({"values", "nandata.asc"});
    EXPECT_EQ(MbrStgOut, "value,count\n1,1\nnan,2\n");
    Runs({"info", "nandata.asc"});
    EXPECT_NE(MbrStgOut.find("data_cells 3\nnodata_cells 1\nnan_cells 2\n"), std::string::npos) << MbrStgOut;
}

// A data result equal to the output's no-data value fails the run, writing
// nothing; --nodata picks another. A data value equal to some other grid's
// no-data value stays data.
TEST_F(MapRules, ResultsEqualToTheNoDataValueFailAndRealValuesStay)
{
    Put("zero.asc", Row({-1, 0.5, 3, 0, 2}, 0));
    WriteText(Dir / "out.asc", "kept");
    const TCommandResult Failed = Map({"threshold", "zero.asc", "1", "-o", "out.asc"});
    EXPECT_EQ(Failed.LngStatus, 1);
    EXPECT_EQ(Failed.StgErr, "pvxMap: the result holds 0, the no-data value, at column 1, row 1: choose another with --nodata\n");
    EXPECT_EQ(ReadText(Dir / "out.asc"), "kept");
    Runs({"threshold", "zero.asc", "1", "--nodata", "-1", "-o", "out.asc"});
    ExpectCells("out.asc", -1, {0, 0, 3, -1, 2});

    // Two grids of -4999.5 under no data -1 average, sum and trend to -9999,
    // a value like any other.
    Put("half.asc", Row({-4999.5, -1, -4999.5}, -1));
    Put("whole.asc", Row({-4999.5, 7, -14998.5}, -1));
    Runs({"average", "half.asc", "half.asc", "-o", "out.asc"});
    ExpectCells("out.asc", -1, {-4999.5, -1, -4999.5});
    Runs({"sum", "half.asc", "half.asc", "-o", "out.asc"});
    ExpectCells("out.asc", -1, {-9999, -1, -9999});
    Runs({"moving-average", "half.asc", "whole.asc", "half.asc", "--window", "2", "-o", "m{}.asc"});
    ExpectCells("m1.asc", -1, {-4999.5, -1, -9999});
    Runs({"gradients", "half.asc", "whole.asc", "--window", "1", "-o", "g{}.asc"});
    ExpectCells("g1.asc", -1, {0, -1, -9999});
    const TCommandResult Sum = Map({"sum", "half.asc", "half.asc", "--nodata", "-9999", "-o", "out.asc"});
    EXPECT_EQ(Sum.StgErr, "pvxMap: the result holds -9999, the no-data value, at column 1, row 1: choose another with --nodata\n");
}

// Cell by cell needs grids that line up; matching by coordinates covers
// what the partner covers and leaves the rest no data.
TEST_F(MapRules, GridsMustLineUpOrBeMatchedByCoordinates)
{
    Put("a.asc", Row({1, 2, 3, 4}, -9999));
    Put("far.asc", Row({1, 2, 3, 4}, -9999, 500));
    Put("near.asc", Row({1, 2, 3, 4}, -9999, 10.0 / 2048));
    Put("wide.asc", Row({1, 2, 3, 4, 5}, -9999));
    Put("fine.asc", Row({1, 2, 3, 4}, -9999, 0, 10.0 + 1.0 / 256));
    const struct {
        std::vector<std::string> VecArgs;
        std::string StgError;
    } ArrRefused[] = {
        {{"subtract", "a.asc", "far.asc", "-o", "o.asc"}, "pvxMap: a.asc and far.asc do not line up: xllcorner 0 and 500\n"},
        {{"sum", "a.asc", "a.asc", "wide.asc", "-o", "o.asc"}, "pvxMap: a.asc and wide.asc do not line up: ncols 4 and 5\n"},
        {{"average", "a.asc", "fine.asc", "-o", "o.asc"}, "pvxMap: a.asc and fine.asc do not line up: cellsize 10 and 10.00390625\n"},
        {{"count", "a.asc", "far.asc", "-o", "o.asc"}, "pvxMap: a.asc and far.asc do not line up: xllcorner 0 and 500\n"},
        {{"mask", "a.asc", "far.asc", "-o", "o.asc"}, "pvxMap: a.asc and far.asc do not line up: xllcorner 0 and 500\n"},
        {{"moving-average", "a.asc", "far.asc", "--window", "2", "-o", "o{}.asc"}, "pvxMap: a.asc and far.asc do not line up: xllcorner 0 and 500\n"},
        {{"gradients", "a.asc", "far.asc", "--window", "1", "-o", "o{}.asc"}, "pvxMap: a.asc and far.asc do not line up: xllcorner 0 and 500\n"},
        {{"zonal", "a.asc", "far.asc"}, "pvxMap: a.asc and far.asc do not line up: xllcorner 0 and 500\n"},
    };
    for (const auto& Case : ArrRefused) {
        const TCommandResult Result = Map(Case.VecArgs);
        EXPECT_EQ(Result.LngStatus, 1) << Case.VecArgs[0];
        EXPECT_EQ(Result.StgErr, Case.StgError);
        EXPECT_FALSE(fs::exists(Dir / "o.asc"));
    }
    Runs({"subtract", "a.asc", "near.asc", "-o", "o.asc"});
    ExpectCells("o.asc", -9999, {0, 0, 0, 0});
    // Matched by coordinates, far.asc covers none of a.asc's centres, and a
    // coarser grid half of them.
    Runs({"add", "a.asc", "far.asc", "-o", "o.asc"});
    ExpectCells("o.asc", -9999, {-9999, -9999, -9999, -9999});
    Put("coarse.asc", Row({100, 200}, -9999, 0, 15));
    Runs({"multiply", "a.asc", "coarse.asc", "-o", "o.asc"});
    ExpectCells("o.asc", -9999, {100, 400, 600, -9999});
    Runs({"add", "coarse.asc", "a.asc", "-o", "o.asc"});
    ExpectCells("o.asc", -9999, {101, 202, 203, -9999});
}

// The slope is numpy.polyfit's of the window's data values against their
// place in the list; zeros are values, fewer than two values no data.
TEST_F(MapRules, GradientsAreLeastSquaresSlopes)
{
    const std::vector<std::vector<double>> VecSeries = {{0, 1, 1, 9, 5, -9999}, {1, 0, 2, 9, -9999, -9999},
                                                        {2, 3, 3, 9, -9999, 4}, {3, 4, 1, 9, 6, -9999}};
    std::vector<std::string> VecArgs = {"gradients"};
    for (std::size_t LngMap = 0; LngMap < VecSeries.size(); ++LngMap) {
        Put("s" + std::to_string(LngMap) + ".asc", Row(VecSeries[LngMap], -9999));
        VecArgs.push_back("s" + std::to_string(LngMap) + ".asc");
    }
    VecArgs.insert(VecArgs.end(), {"--window", "3", "-o", "g{}.asc"});
    Runs(VecArgs);
    // The slope from the sums, for the places holding data.
    std::vector<double> VecExpected;
    for (std::size_t LngCell = 0; LngCell < 6; ++LngCell) {
        double DblN = 0, DblSx = 0, DblSy = 0, DblSxx = 0, DblSxy = 0;
        for (std::size_t LngMap = 0; LngMap < 4; ++LngMap) {
            const double DblY = VecSeries[LngMap][LngCell];
            if (DblY == -9999)
                continue;
            const double DblX = static_cast<double>(LngMap);
            DblN += 1, DblSx += DblX, DblSy += DblY, DblSxx += DblX * DblX, DblSxy += DblX * DblY;
        }
        VecExpected.push_back(DblN < 2 ? -9999 : (DblN * DblSxy - DblSx * DblSy) / (DblN * DblSxx - DblSx * DblSx));
    }
    const TGridText Slopes = Read("g1.asc");
    ASSERT_EQ(Slopes.VecCells.size(), 6U);
    for (std::size_t LngCell = 0; LngCell < 6; ++LngCell)
        EXPECT_NEAR(Slopes.VecCells[LngCell], VecExpected[LngCell], 1e-12) << LngCell;
    EXPECT_FALSE(fs::exists(Dir / "g2.asc"));
}

// Resampling and cut-outs give GDAL's geometry and cells.
TEST_F(MapRules, ResampleAndExtractAsGdalDoes)
{
    if (!GdalToolsInstalled())
        GTEST_SKIP() << "GDAL's tools are not installed";
    TGridText Dem{13, 9, 500000, 4100000, 10, -9999, {}};
    std::mt19937 Random(7);
    for (long LngCell = 0; LngCell < 13 * 9; ++LngCell)
        Dem.VecCells.push_back(LngCell % 17 == 3 ? -9999 : 100 + LngCell * 1.5 + static_cast<double>(Random() % 100) / 10);
    Put("dem.asc", Dem);
    // A template of other cells over part of the grid and beyond it.
    Put("like.asc", TGridText{9, 6, 500013, 4100004, 7, -1, std::vector<double>(54, 0)});
    const struct {
        std::vector<std::string> VecArgs;
        std::string StgGdal;
    } ArrCases[] = {
        {{"resample", "dem.asc", "10", "-o", "out.asc"}, "gdalwarp -oo DATATYPE=Float64 -r bilinear -tr 10 10 -srcnodata -9999 -dstnodata -9999 dem.asc"},
        {{"resample", "dem.asc", "4", "-o", "out.asc"}, "gdalwarp -oo DATATYPE=Float64 -r bilinear -tr 4 4 -srcnodata -9999 -dstnodata -9999 dem.asc"},
        {{"resample", "dem.asc", "25", "-o", "out.asc"}, "gdalwarp -oo DATATYPE=Float64 -r bilinear -tr 25 25 -srcnodata -9999 -dstnodata -9999 dem.asc"},
        {{"resample", "dem.asc", "7", "--method", "nearest", "-o", "out.asc"}, "gdalwarp -oo DATATYPE=Float64 -r near -tr 7 7 -srcnodata -9999 -dstnodata -9999 dem.asc"},
        {{"resample", "dem.asc", "--like", "like.asc", "-o", "out.asc"},
         "gdalwarp -oo DATATYPE=Float64 -r bilinear -te 500013 4100004 500076 4100046 -ts 9 6 -srcnodata -9999 -dstnodata -9999 dem.asc"},
        {{"extract", "dem.asc", "500020", "4100010", "500070", "4100060", "-o", "out.asc"},
         "gdal_translate -oo DATATYPE=Float64 -projwin 500020 4100060 500070 4100010 dem.asc"},
        {{"extract", "dem.asc", "500070", "4100060", "500020", "4100010", "-o", "out.asc"},
         "gdal_translate -oo DATATYPE=Float64 -projwin 500020 4100060 500070 4100010 dem.asc"},
    };
    for (const auto& Case : ArrCases) {
        Runs(Case.VecArgs);
        fs::remove(Dir / "gdal.asc");
        const std::optional<TGridText> Gdal = GdalGrid("cd " + ShellQuoted(Dir.Path().string()) + " && " + Case.StgGdal, Dir / "gdal.asc");
        ASSERT_TRUE(Gdal);
        const TGridText Ours = Read("out.asc");
        EXPECT_EQ(Ours.LngCols, Gdal->LngCols) << Case.StgGdal;
        EXPECT_EQ(Ours.LngRows, Gdal->LngRows) << Case.StgGdal;
        EXPECT_NEAR(Ours.DblXllCorner, Gdal->DblXllCorner, 1e-9) << Case.StgGdal;
        EXPECT_NEAR(Ours.DblYllCorner, Gdal->DblYllCorner, 1e-9) << Case.StgGdal;
        EXPECT_EQ(Ours.DblCellSize, Gdal->DblCellSize) << Case.StgGdal;
        ASSERT_EQ(Ours.VecCells.size(), Gdal->VecCells.size()) << Case.StgGdal;
        for (std::size_t LngCell = 0; LngCell < Ours.VecCells.size(); ++LngCell) {
            const double DblOurs = Ours.VecCells[LngCell];
            const double DblGdal = Gdal->VecCells[LngCell];
            EXPECT_EQ(DblOurs == -9999, DblGdal == -9999) << Case.StgGdal << " cell " << LngCell;
            EXPECT_NEAR(DblOurs, DblGdal, 1e-9 * std::fabs(DblGdal)) << Case.StgGdal << " cell " << LngCell;
        }
    }
    const TCommandResult Outside = Map({"extract", "dem.asc", "0", "0", "10", "10", "-o", "out.asc"});
    EXPECT_EQ(Outside.StgErr, "pvxMap: the box 0 0 10 10 overlaps no cell of dem.asc\n");
}

// The piece's data cells go into the destination; its no-data cells leave
// it as it is; a piece on other cells is refused.
TEST_F(MapRules, InsertKeepsTheDestinationUnderNoDataAndRefusesOtherCells)
{
    Put("dest.asc", TGridText{4, 2, 0, 0, 10, -9999, {1, 2, 3, 4, 5, 6, 7, 8}});
    Put("piece.asc", TGridText{2, 1, 10, 0, 10, -1, {-1, 60}});
    Runs({"insert", "dest.asc", "piece.asc", "-o", "out.asc"});
    ExpectCells("out.asc", -9999, {1, 2, 3, 4, 5, 6, 60, 8});
    Put("fine.asc", TGridText{2, 2, 10, 0, 5, -1, {1, 2, 3, 4}});
    Put("shifted.asc", TGridText{2, 1, 12.5, 0, 10, -1, {1, 2}});
    EXPECT_EQ(Map({"insert", "dest.asc", "fine.asc", "-o", "out.asc"}).StgErr,
              "pvxMap: fine.asc does not line up with dest.asc: cellsize 5 and 10\n");
    EXPECT_EQ(Map({"insert", "dest.asc", "shifted.asc", "-o", "out.asc"}).StgErr,
              "pvxMap: shifted.asc does not line up with dest.asc: its cells lie 0.25 of a cell off\n");
}

// CSV tables as users write them.
TEST_F(MapRules, CsvTablesAsUsersWriteThem)
{
    Put("g.asc", Row({1, 2, 3, NaN}, -9999));
    const struct {
        std::string StgTable;
        std::vector<double> VecCells;
    } ArrTables[] = {
        {"\xEF\xBB\xBF" "1,10\n2,20\n", {10, 20, 3, NaN}},
        {"\"1\",\"10\"\r\n\"2\",20\r\n", {10, 20, 3, NaN}},
        {"1,10,first class\n2,20,second\n", {10, 20, 3, NaN}},
        {"from,to\n\n1,10\n\n2,20\n", {10, 20, 3, NaN}},
        {"nan,0\n3,30\n", {1, 2, 30, 0}},
    };
    for (const auto& Case : ArrTables) {
        WriteText(Dir / "t.csv", Case.StgTable);
        Runs({"reclass", "g.asc", "t.csv", "-o", "out.asc"});
        ExpectCells("out.asc", -9999, Case.VecCells);
    }
    const struct {
        std::string StgTable;
        std::string StgError;
    } ArrRefused[] = {
        {"from,to\n\n1,10\n\n2,x\n", "pvxMap: Invalid line 5 of t.csv: 2,x\n"},
        {"1,10\n1,11\n", "pvxMap: Line 2 of t.csv gives 1 a second rule\n"},
        {"from,to\n", "pvxMap: t.csv holds no rules\n"},
        {"1\n", "pvxMap: Invalid line 1 of t.csv: 1\n"},
    };
    for (const auto& Case : ArrRefused) {
        WriteText(Dir / "t.csv", Case.StgTable);
        EXPECT_EQ(Map({"reclass", "g.asc", "t.csv", "-o", "out.asc"}).StgErr, Case.StgError) << Case.StgTable;
    }
    WriteText(Dir / "p.csv", "\xEF\xBB\xBF" "\"5\",\"0\",well one\n25,5,\"well, two\"\n");
    Runs({"sample", "p.csv", "g.asc"});
    EXPECT_EQ(MbrStgOut, "x,y,g.asc\n5,0,1\n25,5,3\n");
}

// Every argument and option is checked before any file is opened: each
// case names a grid that does not exist, so only a usage error can answer.
TEST_F(MapRules, UsageIsCheckedBeforeAnyFile)
{
    const std::vector<std::string> ArrCases[] = {
        {"resample", "missing.asc", "0", "-o", "out.asc"},
        {"resample", "missing.asc", "-5", "-o", "out.asc"},
        {"resample", "missing.asc", "inf", "-o", "out.asc"},
        {"resample", "missing.asc", "5", "--method", "cubic", "-o", "out.asc"},
        {"resample", "missing.asc", "5", "--like", "t.asc", "-o", "out.asc"},
        {"subdivide", "missing.asc", "0", "-o", "out.asc"},
        {"subdivide", "missing.asc", "1.5", "-o", "out.asc"},
        {"moving-average", "missing.asc", "missing.asc", "--window", "0", "-o", "m{}.asc"},
        {"moving-average", "missing.asc", "missing.asc", "--window", "3", "-o", "m{}.asc"},
        {"gradients", "missing.asc", "missing.asc", "--window", "2", "-o", "m{}.asc"},
        {"gradients", "missing.asc", "missing.asc", "--window", "-1", "-o", "m{}.asc"},
        {"sum", "missing.asc", "-o", "out.asc"},
        {"convert", "missing.asc", "-o", "out.asc", "--digits", "18"},
        {"convert", "missing.asc", "-o", "out.asc", "--digits", "0"},
        {"convert", "missing.asc", "-o", "out.asc", "--nodata", "x"},
        {"extract", "missing.asc", "1", "2", "3", "y", "-o", "out.asc"},
        {"dump", "missing.asc", "--separator", "::"},
        {"values", "missing.asc", "--nodata", "1"},
    };
    for (const std::vector<std::string>& VecArgs : ArrCases) {
        const TCommandResult Result = Map(VecArgs);
        EXPECT_EQ(Result.LngStatus, 2) << VecArgs[0] << " " << VecArgs[2] << ": " << Result.StgErr;
        EXPECT_EQ(Result.StgErr.find("Unable to open"), std::string::npos) << Result.StgErr;
    }
}

// Inputs that can be read once (FIFOs, process substitution) need no second
// reading, even without a NODATA_value line; a reader that goes away ends the
// command quietly, as cat ends.
TEST_F(MapRules, PipesInAndOut)
{
    WriteText(Dir / "bare.asc", "ncols 2\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\n-9999 2.5\n");
    const TCommandResult Fifo = RunShell("cd " + ShellQuoted(Dir.Path().string()) + " && mkfifo f && (cat bare.asc > f &) && "
                                         + ShellQuoted(PVX_MAP_BINARY) + " round f -o out.asc");
    EXPECT_EQ(Fifo.LngStatus, 0) << Fifo.StgErr;
    ExpectCells("out.asc", -99999, {-9999, 3});
    const TCommandResult Substituted = RunShell("cd " + ShellQuoted(Dir.Path().string()) + " && bash -c "
                                                + ShellQuoted(ShellQuoted(PVX_MAP_BINARY) + " round <(cat bare.asc) -o out.asc"));
    EXPECT_EQ(Substituted.LngStatus, 0) << Substituted.StgErr;
    ExpectCells("out.asc", -99999, {-9999, 3});

    TGridText Big{1000, 200, 0, 0, 1, -9999, std::vector<double>(200000, 1.25)};
    Put("big.asc", Big);
    const std::string StgMap = ShellQuoted(PVX_MAP_BINARY);
    const std::string StgOverlay = ShellQuoted(PVX_OVERLAY_BINARY);
    for (const std::string& StgCommand : {StgMap + " dump big.asc", StgMap + " convert big.asc -o -",
                                          StgOverlay + " big.asc - x 2", StgOverlay + " big.asc /dev/stdout x 2"}) {
        const TCommandResult Result = RunShell("cd " + ShellQuoted(Dir.Path().string()) + " && bash -c "
                                               + ShellQuoted(StgCommand + " | head -c 10 >/dev/null; echo ${PIPESTATUS[0]}"));
        EXPECT_EQ(Result.StgOut, "141\n") << StgCommand;
        EXPECT_EQ(Result.StgErr, "") << StgCommand;
    }
    const TCommandResult Dash = RunOverlay({Dir / "big.asc", "-", "x", "2"}, "cd " + ShellQuoted(Dir.Path().string()) + " && ");
    EXPECT_EQ(Dash.LngStatus, 0);
    EXPECT_EQ(Dash.StgOut.rfind("ncols 1000\n", 0), 0U) << Dash.StgOut.substr(0, 100);
    EXPECT_FALSE(fs::exists(Dir / "-"));
}

// Messages name the input they concern, and say what is required.
TEST_F(MapRules, MessagesNameTheirInput)
{
    WriteText(Dir / "short.asc", "ncols 2\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n1 2 3\n");
    Put("a.asc", Row({1, 2}, -9999));
    EXPECT_EQ(Map({"add", "a.asc", "short.asc", "-o", "out.asc"}).StgErr,
              "pvxMap: short.asc: Unexpected end of file found in TARCGISFileTools::LoadARCGISFile\n");
    EXPECT_EQ(Map({"info", "-"}, "echo ncols x |").StgErr,
              "pvxMap: standard input: File format error: expectd to find nrows tag\n");
    EXPECT_EQ(Map({"sum", "a.asc", "-o", "out.asc"}).StgErr,
              "pvxMap: needs 2 grids or more\nTry 'pvxMap sum --help'.\n");
}

// Text output: separators between values only, CSV names quoted, header
// coordinates in plain decimal, and as many digits as asked for.
TEST_F(MapRules, TextOutputAndDigits)
{
    Put("a.asc", TGridText{3, 1, 500000, 4100000, 10, -9999, {1, -9999, 0.1 + 0.2}});
    Runs({"dump", "a.asc", "--separator", ","});
    EXPECT_EQ(MbrStgOut, "1,-9999,0.3\n");
    WriteText(Dir / "a,\"b\".asc", ReadText(Dir / "a.asc"));
    WriteText(Dir / "p.csv", "500005,4100005\n");
    Runs({"sample", "p.csv", "a,\"b\".asc"});
    EXPECT_EQ(MbrStgOut, "x,y,\"a,\"\"b\"\".asc\"\n500005,4100005,1\n");
    Runs({"convert", "a.asc", "-o", "out.asc"});
    const std::string StgHeader = ReadText(Dir / "out.asc").substr(0, 60);
    EXPECT_NE(StgHeader.find(" 500000\nyllcorner  4100000\n"), std::string::npos) << StgHeader;

    // Random doubles kept bit for bit with 17 digits, rounded with 3.
    std::mt19937_64 Random(17);
    TGridText Reals{50, 1, 0, 0, 1, -9999, {}};
    for (int LngCell = 0; LngCell < 50; ++LngCell) {
        const std::uint64_t LngBits = (Random() & 0x000FFFFFFFFFFFFF) | (static_cast<std::uint64_t>(1000 + LngCell) << 52);
        double DblValue;
        std::memcpy(&DblValue, &LngBits, sizeof DblValue);
        Reals.VecCells.push_back(DblValue);
    }
    Put("reals.asc", Reals);
    Runs({"convert", "reals.asc", "--digits", "17", "-o", "out.asc"});
    ExpectCells("out.asc", -9999, Reals.VecCells);
    Runs({"convert", "reals.asc", "--digits", "3", "-o", "out.asc"});
    std::vector<double> VecRounded;
    for (double DblValue : Reals.VecCells) {
        char ArrText[32];
        std::snprintf(ArrText, sizeof ArrText, "%.3g", DblValue);
        VecRounded.push_back(std::strtod(ArrText, nullptr));
    }
    ExpectCells("out.asc", -10000, VecRounded);
    // Written with 3 digits, -9999.4 would read back as the no-data value.
    Put("near.asc", Row({1, -9999.4}, -9999));
    EXPECT_EQ(Map({"convert", "near.asc", "--digits", "3", "-o", "out.asc"}).StgErr,
              "pvxMap: the result holds -9999, the no-data value, at column 2, row 1: choose another with --nodata\n");
}

// Rounding halves away from zero, as numpy, GDAL and spreadsheets do.
TEST_F(MapRules, RoundHalvesAwayFromZero)
{
    const std::vector<double> VecValues = {-2.7, -2.5, -2.4, -0.5, -0.4, 0.4, 0.5, 2.5, 2.7, 1e300, -4503599627370495.5};
    Put("r.asc", Row(VecValues, -9999));
    Runs({"round", "r.asc", "-o", "out.asc", "--digits", "17"});
    std::vector<double> VecExpected;
    for (double DblValue : VecValues)
        VecExpected.push_back(DblValue < 0 ? -std::floor(-DblValue + 0.5) : std::floor(DblValue + 0.5));
    ExpectCells("out.asc", -9999, VecExpected);
}

// The real grids that showed the faults: a 10 m DEM resampled at its own
// cell size is gdalwarp's grid, a grid whose NODATA_value is 0 cannot hold
// a threshold's zeros as data, and NaN cells under a NaN value are no data.
TEST_F(MapRules, RealGridsThatShowedTheFaults)
{
    const std::string StgFiles = PVX_SOURCE_DIR "/../shared/realworld-grids/files/";
    const std::string StgDem = StgFiles + "madanksuwal__Landslide__elevation.asc";
    const std::string StgZero = StgFiles + "BlasBenito__PalaeoFireModeling__data_correct_t_minimum_average.asc";
    const std::string StgNaN = StgFiles + "OSGeo__gdal__autotest_gdrivers_data_aaigrid_nodata_nan.asc";
    if (!fs::exists(StgDem) || !fs::exists(StgZero) || !fs::exists(StgNaN))
        GTEST_SKIP() << "the real grids are not beside the project";
    if (!GdalToolsInstalled())
        GTEST_SKIP() << "GDAL's tools are not installed";

    Runs({"resample", StgDem, "10", "-o", "out.asc", "--digits", "17"});
    const std::optional<TGridText> Gdal = GdalGrid("gdalwarp -oo DATATYPE=Float64 -r bilinear -tr 10 10 -srcnodata -9999 "
                                                   "-dstnodata -9999 " + ShellQuoted(StgDem), Dir / "gdal.asc");
    ASSERT_TRUE(Gdal);
    const TGridText Ours = Read("out.asc");
    ASSERT_EQ(Ours.VecCells.size(), Gdal->VecCells.size());
    long LngData = 0;
    for (std::size_t LngCell = 0; LngCell < Ours.VecCells.size(); ++LngCell) {
        ASSERT_EQ(Ours.VecCells[LngCell] == -9999, Gdal->VecCells[LngCell] == -9999) << LngCell;
        ASSERT_NEAR(Ours.VecCells[LngCell], Gdal->VecCells[LngCell], 1e-9 * std::fabs(Gdal->VecCells[LngCell])) << LngCell;
        LngData += Ours.VecCells[LngCell] != -9999;
    }
    EXPECT_GT(LngData, 60000);

    EXPECT_EQ(Map({"threshold", StgZero, "0", "-o", "out.asc"}).StgErr.rfind("pvxMap: the result holds 0, the no-data value", 0), 0U);
    Runs({"threshold", StgZero, "0", "--nodata", "-9999", "-o", "out.asc"});
    const TGdalGrid Input = ReadWithGdal(StgZero, Dir);
    const TGridText Thresholded = Read("out.asc");
    ASSERT_EQ(Input.VecCells.size(), Thresholded.VecCells.size());
    for (std::size_t LngCell = 0; LngCell < Input.VecCells.size(); ++LngCell) {
        const double DblIn = Input.VecCells[LngCell];
        EXPECT_EQ(Thresholded.VecCells[LngCell], DblIn == 0 ? -9999 : DblIn >= 0 ? DblIn : 0) << LngCell;
    }

    // GDAL refuses this one, whose body begins with nan: the tests' reader counts.
    Runs({"info", StgNaN});
    const std::optional<TGridText> NaNGrid = ParseGridText(ReadText(StgNaN));
    ASSERT_TRUE(NaNGrid && std::isnan(NaNGrid->DblNoData));
    const auto LngNaN = std::count_if(NaNGrid->VecCells.begin(), NaNGrid->VecCells.end(), [](double DblCell) { return std::isnan(DblCell); });
    EXPECT_NE(MbrStgOut.find("\nnodata_cells " + std::to_string(LngNaN) + "\n"), std::string::npos) << MbrStgOut;
    EXPECT_GT(LngNaN, 0);
}
