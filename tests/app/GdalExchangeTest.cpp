// pvxOverlay and GDAL exchanging ASCII grid files: every grid the command
// writes reads in GDAL (as Float64) to the geometry and values computed here,
// and every grid GDAL writes from a Float64 source with a no-data value reads
// in the command to the same values. What GDAL writes that the command
// refuses, and the reverse, is pinned down with its message.
//
// GDAL's command-line tools are needed; without them the tests are skipped,
// unless PVX_REQUIRE_GDAL=1 (as in CI) makes that a failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "support/TCaseCount.h"
#include "support/TCommand.h"
#include "support/TGdalGrid.h"
#include "support/TGdalJson.h"
#include "support/TGridText.h"
#include "support/TTempDir.h"

namespace {

TCaseCount& RoundTrips = RegisterCaseCount("GDAL round trips without a difference");

// True when the two agree to 15 significant digits: equal, both NaN, or
// apart by little more than half a unit of the 15th digit. (The command
// rounds a value's shortest form to 15 digits, so a tie there can round the
// other way than the exact value would.)
::testing::AssertionResult Agree15(double DblActual, double DblExpected)
{
    if (DblActual == DblExpected || (std::isnan(DblActual) && std::isnan(DblExpected)))
        return ::testing::AssertionSuccess();
    const double DblLarger = std::max(std::fabs(DblActual), std::fabs(DblExpected));
    const double DblUnit = std::pow(10.0, std::floor(std::log10(DblLarger)) - 14);
    if (std::isfinite(DblLarger) && std::fabs(DblActual - DblExpected) <= 0.6 * DblUnit)
        return ::testing::AssertionSuccess();
    char ArrText[80];
    std::snprintf(ArrText, sizeof ArrText, "%.17g differs from %.17g", DblActual, DblExpected);
    return ::testing::AssertionFailure() << ArrText;
}

// Reals of every magnitude from 1e-6 to 1e9 with all 17 digits in use, and
// a no-data cell now and then.
std::vector<double> ScatteredReals(std::size_t LngCount, double DblNoData)
{
    std::mt19937_64 Random(20240611);
    std::uniform_real_distribution<double> Mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> Exponent(-6, 9);
    std::vector<double> VecCells;
    for (std::size_t LngCell = 0; LngCell < LngCount; ++LngCell) {
        const double DblSign = LngCell % 3 == 0 ? -1.0 : 1.0;
        VecCells.push_back(LngCell % 13 == 5
                               ? DblNoData
                               : DblSign * Mantissa(Random) * std::pow(10.0, Exponent(Random)));
    }
    return VecCells;
}

// The grids exchanged: integer and real values, negative values, no-data
// cells, one row, one column, corners at large UTM coordinates, values that
// need 15 digits, tiny and huge magnitudes.
const std::vector<std::pair<std::string, TGridText>>& GridCases()
{
    const double N = -9999.0;
    const double DblFloat32Min = -3.4028234663852886e+38;
    static const std::vector<std::pair<std::string, TGridText>> VecCases = {
        {"integers", {4, 3, 0, 0, 1, N, {3, -7, 0, 12, N, 100, 255, -1, 42, N, 7, 1000000}}},
        {"reals", {5, 2, 100.25, -50.5, 2.5, N,
                   {0.1, -2.75, 1234.5678, N, 0.3, -0.001, 99.99, 7.125, -1e-05, 2.5e+06}}},
        {"one row, another no-data value", {6, 1, 10, 20, 5, -1, {1.5, -1, 2.25, -3.125, -1, 1e6}}},
        {"one column", {1, 5, -180, -90, 0.25, N, {N, 0.5, -0.5, 123.456, 7}}},
        {"UTM corner", {4, 3, 512345.5, 4512345.5, 0.5, N,
                        {1234.567, 1234.692, N, 1235.017, 1233.5, 1233.625, 1233.75, 1233.875, N,
                         1240.25, 1241, -12.5}}},
        {"15 digits", {3, 2, 612345.123456789, 4812345.98765432, 0.1, DblFloat32Min,
                       {1234567.89012345, 0.333333333333333, -98765.4321098765, 123456789012345,
                        9.87654321098765e-05, DblFloat32Min}}},
        {"tiny and huge", {3, 2, 0, 0, 1, N, {1e-300, -2.5e-310, 5e-324, 1.5e+300, -8e+307, N}}},
        {"scattered reals", {40, 25, 512345.5, 4512345.5, 25, N, ScatteredReals(1000, N)}},
    };
    return VecCases;
}

// One grid against another: geometry and no-data value to 15 digits, each
// cell no-data where the expected one is, else to 15 digits.
void ExpectSameGrid(const TGridText& Actual, const TGridText& Expected)
{
    EXPECT_EQ(Actual.LngCols, Expected.LngCols);
    EXPECT_EQ(Actual.LngRows, Expected.LngRows);
    EXPECT_TRUE(Agree15(Actual.DblXllCorner, Expected.DblXllCorner)) << "xllcorner";
    EXPECT_TRUE(Agree15(Actual.DblYllCorner, Expected.DblYllCorner)) << "yllcorner";
    EXPECT_TRUE(Agree15(Actual.DblCellSize, Expected.DblCellSize)) << "cellsize";
    EXPECT_TRUE(Agree15(Actual.DblNoData, Expected.DblNoData)) << "NODATA_value";
    ASSERT_EQ(Actual.VecCells.size(), Expected.VecCells.size());
    for (std::size_t LngCell = 0; LngCell < Expected.VecCells.size(); ++LngCell) {
        if (Expected.VecCells[LngCell] == Expected.DblNoData)
            EXPECT_EQ(Actual.VecCells[LngCell], Actual.DblNoData) << "no-data cell " << LngCell;
        else
            EXPECT_TRUE(Agree15(Actual.VecCells[LngCell], Expected.VecCells[LngCell]))
                << "cell " << LngCell;
    }
}

class GdalExchange : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!GdalToolsInstalled())
            GTEST_SKIP() << "gdal_translate or gdalinfo is not installed";
    }

    // Runs a GDAL tool's command line; a failure stops the test.
    void RunGdal(const std::string& StgCommand)
    {
        const TCommandResult Result = RunShell(StgCommand);
        ASSERT_EQ(Result.LngStatus, 0) << StgCommand << "\n" << Result.StgOut << Result.StgErr;
    }

    // The grid GDAL reads from the ASCII grid file: size, geometry and
    // no-data value from gdalinfo, the cells converted to raw Float64 (ENVI).
    void ReadWithGdal(const std::string& StgFile, TGridText& Grid)
    {
        const std::string StgOpen = " -oo DATATYPE=Float64 " + ShellQuoted(StgFile);
        const TCommandResult Info = RunShell("gdalinfo -json" + StgOpen);
        ASSERT_EQ(Info.LngStatus, 0) << Info.StgOut << Info.StgErr;
        const std::vector<double> Size = JsonNumbers(Info.StgOut, "size");
        const std::vector<double> Gt = JsonNumbers(Info.StgOut, "geoTransform");
        const std::vector<double> NoData = JsonNumbers(Info.StgOut, "noDataValue");
        ASSERT_TRUE(Size.size() == 2 && Gt.size() == 6 && NoData.size() == 1) << Info.StgOut;
        EXPECT_NE(Info.StgOut.find("\"type\":\"Float64\""), std::string::npos) << Info.StgOut;
        EXPECT_EQ(Gt[2], 0.0);
        EXPECT_EQ(Gt[4], 0.0);
        EXPECT_EQ(Gt[5], -Gt[1]) << "square cells";
        Grid = {static_cast<long>(Size[0]), static_cast<long>(Size[1]), Gt[0],
                Gt[3] + Size[1] * Gt[5], Gt[1], NoData[0], {}};

        const std::string StgRaw = Dir / "gdal-cells.raw";
        ASSERT_NO_FATAL_FAILURE(RunGdal("gdal_translate -q -ot Float64 -of ENVI" + StgOpen + " "
                                        + ShellQuoted(StgRaw)));
        const std::string StgBytes = ReadText(StgRaw);
        ASSERT_EQ(StgBytes.size(), static_cast<std::size_t>(Size[0] * Size[1]) * sizeof(double));
        Grid.VecCells.resize(StgBytes.size() / sizeof(double));
        std::memcpy(Grid.VecCells.data(), StgBytes.data(), StgBytes.size());
    }

    // Writes the grid, has GDAL store it as a Float64 GeoTIFF with the
    // no-data value StgNoData, then write that as an ASCII grid with the
    // creation options; returns the ASCII grid's name.
    std::string GdalWritesAsciiGrid(const TGridText& Grid, const std::string& StgNoData,
                                    const std::string& StgOptions)
    {
        WriteText(Dir / "source.asc", GridFileText(Grid));
        std::filesystem::remove(Dir / "source.tif");
        RunGdal("gdal_translate -q -oo DATATYPE=Float64 -ot Float64 -a_nodata " + StgNoData + " "
                + ShellQuoted(Dir / "source.asc") + " " + ShellQuoted(Dir / "source.tif"));
        RunGdal("gdal_translate -q -of AAIGrid " + StgOptions + " "
                + ShellQuoted(Dir / "source.tif") + " " + ShellQuoted(Dir / "gdal.asc"));
        return Dir / "gdal.asc";
    }

    // The command's output for the input, parsed; a failure stops the test.
    void RunOverlayAndParse(const std::string& StgIn, const std::string& StgOperation,
                            const std::string& StgScalar, TGridText& Grid)
    {
        const TCommandResult Result = RunOverlay({StgIn, Out, StgOperation, StgScalar});
        ASSERT_EQ(Result.LngStatus, 0) << Result.StgOut;
        const std::optional<TGridText> Parsed = ParseGridText(ReadText(Out));
        ASSERT_TRUE(Parsed) << ReadText(Out);
        Grid = *Parsed;
    }

    TTempDir Dir;
    std::string Out = Dir / "out.asc";
};

}  // namespace

TEST_F(GdalExchange, GdalReadsEveryGridTheCommandWrites)
{
    const std::string StgIn = Dir / "in.asc";
    for (const auto& [StgName, Grid] : GridCases()) {
        WriteText(StgIn, GridFileText(Grid));
        for (const std::string StgOperation : {"x 1", "x 2", "/ 3", "x -0.1"}) {
            SCOPED_TRACE(StgName + ": " + StgOperation);
            const double DblScalar = std::stod(StgOperation.substr(2));
            ASSERT_EQ(RunOverlay({StgIn, Out, StgOperation.substr(0, 1), StgOperation.substr(2)})
                          .LngStatus,
                      0);
            TGridText Expected = Grid;
            for (double& DblCell : Expected.VecCells)
                if (DblCell != Grid.DblNoData)
                    DblCell = StgOperation[0] == 'x' ? DblCell * DblScalar : DblCell / DblScalar;
            TGridText Theirs;
            ASSERT_NO_FATAL_FAILURE(ReadWithGdal(Out, Theirs));
            ExpectSameGrid(Theirs, Expected);
            if (!HasFailure())
                RoundTrips.Add();
        }
    }
}

TEST_F(GdalExchange, CommandReadsWhatGdalWritesFromFloat64)
{
    // GDAL's own layout (padded header, a leading space on each row, %.20g
    // digit strings) on every case, and on a few the creation options that
    // change what it writes. DECIMAL_PRECISION writes huge values as
    // hundreds of digits (and rounds the others).
    for (const auto& [StgName, Grid] : GridCases()) {
        const bool BlnAllOptions =
            StgName == "15 digits" || StgName == "tiny and huge" || StgName == "one column";
        for (const std::string StgOptions : {"", "-co FORCE_CELLSIZE=YES",
                                             "-co SIGNIFICANT_DIGITS=17", "-co DECIMAL_PRECISION=4"}) {
            if (!StgOptions.empty() && !BlnAllOptions)
                continue;
            SCOPED_TRACE(StgName + ": AAIGrid " + StgOptions);
            const std::string StgGdal =
                GdalWritesAsciiGrid(Grid, ShortestText(Grid.DblNoData), StgOptions);
            ASSERT_FALSE(HasFatalFailure());
            const std::optional<TGridText> Theirs = ParseGridText(ReadText(StgGdal));
            ASSERT_TRUE(Theirs) << ReadText(StgGdal);
            TGridText Ours;
            ASSERT_NO_FATAL_FAILURE(RunOverlayAndParse(StgGdal, "x", "1", Ours));
            ExpectSameGrid(Ours, *Theirs);
            if (StgOptions.find("DECIMAL_PRECISION") == std::string::npos)
                ExpectSameGrid(Ours, Grid);
            if (!HasFailure())
                RoundTrips.Add();
        }
    }
}

TEST_F(GdalExchange, CommandTakesGdalNaNNoDataAndRefusesNoneOrNonSquareCells)
{
    // GDAL writes a NaN no-data value as "NODATA_value  nan"; the command
    // takes it (no cell equals NaN, so every cell is scaled).
    TGridText Expected = GridCases().front().second;
    std::string StgGdal = GdalWritesAsciiGrid(Expected, "nan", "");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_NE(ReadText(StgGdal).find("NODATA_value  nan\n"), std::string::npos);
    TGridText Ours;
    ASSERT_NO_FATAL_FAILURE(RunOverlayAndParse(StgGdal, "x", "2", Ours));
    Expected.DblNoData = std::nan("");
    for (double& DblCell : Expected.VecCells)
        DblCell *= 2;
    ExpectSameGrid(Ours, Expected);
    if (!HasFailure())
        RoundTrips.Add();

    // A source without a no-data value: GDAL leaves out the NODATA_value
    // line, and the first cell stands where the tag should be.
    std::filesystem::remove(Out);
    StgGdal = GdalWritesAsciiGrid(GridCases().front().second, "none", "");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(ReadText(StgGdal).find("NODATA_value"), std::string::npos);
    TCommandResult Result = RunOverlay({StgGdal, Out, "x", "1"});
    EXPECT_EQ(Result.LngStatus, 1);
    EXPECT_EQ(Result.StgOut, "File format error: expected to find NODATA_value tag\n");

    // Cells that are not square: GDAL writes dx and dy in place of cellsize.
    const std::string StgStretched = ShellQuoted(Dir / "stretched.tif");
    ASSERT_NO_FATAL_FAILURE(RunGdal("gdal_translate -q -a_ullr 0 6 12 0 "
                                    + ShellQuoted(Dir / "source.tif") + " " + StgStretched));
    ASSERT_NO_FATAL_FAILURE(RunGdal("gdal_translate -q -of AAIGrid " + StgStretched + " "
                                    + ShellQuoted(StgGdal) + " 2>/dev/null"));
    ASSERT_NE(ReadText(StgGdal).find("\ndx "), std::string::npos);
    Result = RunOverlay({StgGdal, Out, "x", "1"});
    EXPECT_EQ(Result.LngStatus, 1);
    EXPECT_EQ(Result.StgOut, "File format error: expected to find cellsize tag\n");
    EXPECT_FALSE(std::filesystem::exists(Out));
}

TEST_F(GdalExchange, GdalRefusesTheNonFiniteCellsOfADivisionByZero)
{
    // The command writes inf, -inf and -nan for x / 0; GDAL's ASCII grid
    // reader takes no such token, so such a grid does not open in GDAL.
    const std::string StgIn = Dir / "in.asc";
    WriteText(StgIn, GridFileText({3, 1, 0, 0, 1, -9999, {2, -3, 0}}));
    ASSERT_EQ(RunOverlay({StgIn, Out, "/", "0"}).LngStatus, 0);
    ASSERT_NE(ReadText(Out).find("inf -inf -nan \n"), std::string::npos);
    const TCommandResult Info = RunShell("gdalinfo -oo DATATYPE=Float64 " + ShellQuoted(Out));
    EXPECT_NE(Info.LngStatus, 0);
    EXPECT_NE(Info.StgErr.find("Couldn't find data values"), std::string::npos) << Info.StgErr;
}
