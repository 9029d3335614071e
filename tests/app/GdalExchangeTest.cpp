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
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/TCaseCount.h"
#include "support/TCommand.h"
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

// The grids exchanged: integer and real values, negative values, no-data
// cells, one row, one column, corners at large UTM coordinates, values that
// need 15 digits, tiny and huge magnitudes.
struct TGridCase {
    std::string StgName;
    TGridText Grid;
};

TGridText MakeGrid(long LngCols, long LngRows, double DblXll, double DblYll, double DblCellSize,
                   double DblNoData, std::vector<double> VecCells)
{
    TGridText Grid;
    Grid.LngCols = LngCols;
    Grid.LngRows = LngRows;
    Grid.DblXllCorner = DblXll;
    Grid.DblYllCorner = DblYll;
    Grid.DblCellSize = DblCellSize;
    Grid.DblNoData = DblNoData;
    Grid.VecCells = std::move(VecCells);
    return Grid;
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

std::vector<TGridCase> GridCases()
{
    const double N = -9999.0;
    const double DblFloat32Min = -3.4028234663852886e+38;
    return {
        {"integers",
         MakeGrid(4, 3, 0, 0, 1, N, {3, -7, 0, 12, N, 100, 255, -1, 42, N, 7, 1000000})},
        {"reals", MakeGrid(5, 2, 100.25, -50.5, 2.5, N,
                           {0.1, -2.75, 1234.5678, N, 0.3, -0.001, 99.99, 7.125, -1e-05, 2.5e+06})},
        {"one row, another no-data value",
         MakeGrid(6, 1, 10, 20, 5, -1, {1.5, -1, 2.25, -3.125, -1, 1e6})},
        {"one column", MakeGrid(1, 5, -180, -90, 0.25, N, {N, 0.5, -0.5, 123.456, 7})},
        {"UTM corner", MakeGrid(4, 3, 512345.5, 4512345.5, 0.5, N,
                                {1234.567, 1234.692, N, 1235.017, 1233.5, 1233.625, 1233.75,
                                 1233.875, N, 1240.25, 1241, -12.5})},
        {"15 digits", MakeGrid(3, 2, 612345.123456789, 4812345.98765432, 0.1, DblFloat32Min,
                               {1234567.89012345, 0.333333333333333, -98765.4321098765,
                                123456789012345, 9.87654321098765e-05, DblFloat32Min})},
        {"tiny and huge", MakeGrid(3, 2, 0, 0, 1, N,
                                   {1e-300, -2.5e-310, 5e-324, 1.5e+300, -8e+307, N})},
        {"scattered reals", MakeGrid(40, 25, 512345.5, 4512345.5, 25, N, ScatteredReals(1000, N))},
    };
}

bool GdalInstalled()
{
    return RunShell("command -v gdal_translate && command -v gdalinfo").LngStatus == 0;
}

// The numbers that follow "Key": in GDAL's JSON, one number or an array.
std::vector<double> JsonNumbers(const std::string& StgJson, const std::string& StgKey)
{
    std::vector<double> VecNumbers;
    const std::string StgMark = "\"" + StgKey + "\":";
    const std::size_t LngAt = StgJson.find(StgMark);
    if (LngAt == std::string::npos)
        return VecNumbers;
    const char* Ptr = StgJson.c_str() + LngAt + StgMark.size();
    const bool BlnArray = *Ptr == '[';
    do {
        while (*Ptr == '[' || *Ptr == ',' || std::isspace(static_cast<unsigned char>(*Ptr)))
            ++Ptr;
        char* PtrEnd = nullptr;
        const double DblValue = std::strtod(Ptr, &PtrEnd);
        if (PtrEnd == Ptr)
            break;
        VecNumbers.push_back(DblValue);
        Ptr = PtrEnd;
    } while (BlnArray && *Ptr != ']');
    return VecNumbers;
}

// A grid file as GDAL reads it with every cell as Float64.
struct TGdalView {
    std::vector<double> VecSize;          // columns, rows
    std::vector<double> VecGeoTransform;  // west, x step, 0, north, 0, -y step
    std::vector<double> VecNoData;        // the one no-data value, if any
    std::string StgBandType;
    std::vector<double> VecCells;  // row by row, north row first
};

// The data type of the first band.
std::string BandType(const std::string& StgJson)
{
    const std::string StgMark = "\"type\":\"";
    const std::size_t LngAt = StgJson.find(StgMark, StgJson.find("\"bands\":"));
    if (LngAt == std::string::npos)
        return "";
    const std::size_t LngFrom = LngAt + StgMark.size();
    return StgJson.substr(LngFrom, StgJson.find('"', LngFrom) - LngFrom);
}

class GdalExchange : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (GdalInstalled())
            return;
        const char* PtrRequire = std::getenv("PVX_REQUIRE_GDAL");
        if (PtrRequire && std::string(PtrRequire) == "1")
            FAIL() << "PVX_REQUIRE_GDAL=1 but gdal_translate or gdalinfo is not installed";
        GTEST_SKIP() << "gdal_translate or gdalinfo is not installed";
    }

    // Runs a GDAL tool's command line; a failure stops the test.
    void RunGdal(const std::string& StgCommand)
    {
        const TCommandResult Result = RunShell(StgCommand);
        ASSERT_EQ(Result.LngStatus, 0) << StgCommand << "\n" << Result.StgOut << Result.StgErr;
    }

    // What GDAL reads from the ASCII grid file: size, geometry and no-data
    // value from gdalinfo, the cells converted to raw Float64 (ENVI).
    void ReadWithGdal(const std::string& StgFile, TGdalView& View)
    {
        const std::string StgOpen = " -oo DATATYPE=Float64 " + ShellQuoted(StgFile);
        const TCommandResult Info = RunShell("gdalinfo -json" + StgOpen);
        ASSERT_EQ(Info.LngStatus, 0) << Info.StgOut << Info.StgErr;
        View.VecSize = JsonNumbers(Info.StgOut, "size");
        View.VecGeoTransform = JsonNumbers(Info.StgOut, "geoTransform");
        View.VecNoData = JsonNumbers(Info.StgOut, "noDataValue");
        View.StgBandType = BandType(Info.StgOut);
        ASSERT_EQ(View.VecSize.size(), 2u) << Info.StgOut;
        ASSERT_EQ(View.VecGeoTransform.size(), 6u) << Info.StgOut;

        const std::string StgRaw = Dir / "gdal-cells.raw";
        ASSERT_NO_FATAL_FAILURE(
            RunGdal("gdal_translate -q -ot Float64 -of ENVI" + StgOpen + " "
                    + ShellQuoted(StgRaw)));
        const std::string StgBytes = ReadText(StgRaw);
        const std::size_t LngCells = static_cast<std::size_t>(View.VecSize[0] * View.VecSize[1]);
        ASSERT_EQ(StgBytes.size(), LngCells * sizeof(double));
        View.VecCells.resize(LngCells);
        std::memcpy(View.VecCells.data(), StgBytes.data(), StgBytes.size());
    }

    // Writes the grid, has GDAL store it as a Float64 GeoTIFF with the
    // no-data value StgNoData, then write that as an ASCII grid with the
    // creation options; returns the ASCII grid's name.
    std::string GdalWritesAsciiGrid(const TGridText& Grid, const std::string& StgNoData,
                                    const std::string& StgOptions)
    {
        const std::string StgSource = Dir / "source.asc";
        const std::string StgTiff = Dir / "source.tif";
        const std::string StgAscii = Dir / "gdal.asc";
        WriteText(StgSource, GridFileText(Grid));
        std::filesystem::remove(StgTiff);
        RunGdal("gdal_translate -q -oo DATATYPE=Float64 -ot Float64 -a_nodata " + StgNoData + " "
                + ShellQuoted(StgSource) + " " + ShellQuoted(StgTiff));
        RunGdal("gdal_translate -q -of AAIGrid " + StgOptions + " " + ShellQuoted(StgTiff) + " "
                + ShellQuoted(StgAscii));
        return StgAscii;
    }

    TTempDir Dir;
};

struct TOperation {
    std::string StgOperation;
    std::string StgScalar;

    double Apply(double DblValue) const
    {
        const double DblScalar = std::strtod(StgScalar.c_str(), nullptr);
        return StgOperation == "x" ? DblValue * DblScalar : DblValue / DblScalar;
    }
};

// The command's result for a grid, as GDAL reads it, against the geometry
// and cells computed here.
void ExpectGdalSees(const TGdalView& View, const TGridText& Grid, const TOperation& Operation)
{
    EXPECT_EQ(View.StgBandType, "Float64");
    EXPECT_EQ(View.VecSize[0], Grid.LngCols);
    EXPECT_EQ(View.VecSize[1], Grid.LngRows);
    const std::vector<double>& Gt = View.VecGeoTransform;
    EXPECT_TRUE(Agree15(Gt[0], Grid.DblXllCorner)) << "west edge";
    EXPECT_TRUE(Agree15(Gt[1], Grid.DblCellSize)) << "cell width";
    EXPECT_EQ(Gt[2], 0.0);
    EXPECT_TRUE(Agree15(Gt[3], Grid.DblYllCorner + Grid.LngRows * Grid.DblCellSize))
        << "north edge";
    EXPECT_EQ(Gt[4], 0.0);
    EXPECT_TRUE(Agree15(Gt[5], -Grid.DblCellSize)) << "cell height";
    ASSERT_EQ(View.VecNoData.size(), 1u);
    EXPECT_TRUE(Agree15(View.VecNoData[0], Grid.DblNoData)) << "no-data value";

    ASSERT_EQ(View.VecCells.size(), Grid.VecCells.size());
    for (std::size_t LngCell = 0; LngCell < Grid.VecCells.size(); ++LngCell) {
        const double DblInput = Grid.VecCells[LngCell];
        if (DblInput == Grid.DblNoData)
            EXPECT_EQ(View.VecCells[LngCell], View.VecNoData[0]) << "no-data cell " << LngCell;
        else
            EXPECT_TRUE(Agree15(View.VecCells[LngCell], Operation.Apply(DblInput)))
                << "cell " << LngCell;
    }
}

// The command's copy (x 1) of a grid GDAL wrote, against GDAL's text.
void ExpectSameGrid(const TGridText& Ours, const TGridText& Theirs)
{
    EXPECT_EQ(Ours.LngCols, Theirs.LngCols);
    EXPECT_EQ(Ours.LngRows, Theirs.LngRows);
    EXPECT_TRUE(Agree15(Ours.DblXllCorner, Theirs.DblXllCorner)) << "xllcorner";
    EXPECT_TRUE(Agree15(Ours.DblYllCorner, Theirs.DblYllCorner)) << "yllcorner";
    EXPECT_TRUE(Agree15(Ours.DblCellSize, Theirs.DblCellSize)) << "cellsize";
    EXPECT_TRUE(Agree15(Ours.DblNoData, Theirs.DblNoData)) << "NODATA_value";
    ASSERT_EQ(Ours.VecCells.size(), Theirs.VecCells.size());
    for (std::size_t LngCell = 0; LngCell < Theirs.VecCells.size(); ++LngCell) {
        if (Theirs.VecCells[LngCell] == Theirs.DblNoData)
            EXPECT_EQ(Ours.VecCells[LngCell], Ours.DblNoData) << "no-data cell " << LngCell;
        else
            EXPECT_TRUE(Agree15(Ours.VecCells[LngCell], Theirs.VecCells[LngCell]))
                << "cell " << LngCell;
    }
}

}  // namespace

TEST_F(GdalExchange, GdalReadsEveryGridTheCommandWrites)
{
    const std::string StgIn = Dir / "in.asc";
    const std::string StgOut = Dir / "out.asc";
    for (const TGridCase& Case : GridCases()) {
        WriteText(StgIn, GridFileText(Case.Grid));
        for (const TOperation& Operation : {TOperation{"x", "1"}, TOperation{"x", "2"},
                                            TOperation{"/", "3"}, TOperation{"x", "-0.1"}}) {
            SCOPED_TRACE(Case.StgName + ": " + Operation.StgOperation + " " + Operation.StgScalar);
            const TCommandResult Result =
                RunOverlay({StgIn, StgOut, Operation.StgOperation, Operation.StgScalar});
            ASSERT_EQ(Result.LngStatus, 0) << Result.StgOut;
            TGdalView View;
            ASSERT_NO_FATAL_FAILURE(ReadWithGdal(StgOut, View));
            ExpectGdalSees(View, Case.Grid, Operation);
            if (!HasFailure())
                RoundTrips.Add();
        }
    }
}

TEST_F(GdalExchange, CommandReadsWhatGdalWritesFromFloat64)
{
    // GDAL's own layout (padded header, a leading space on each row, %.20g
    // digit strings), and the creation options that change what it writes.
    // DECIMAL_PRECISION writes huge values as hundreds of digits.
    const std::vector<std::string> VecAllOptions = {"", "-co FORCE_CELLSIZE=YES",
                                                    "-co SIGNIFICANT_DIGITS=17",
                                                    "-co DECIMAL_PRECISION=4"};
    const std::string StgOut = Dir / "out.asc";
    for (const TGridCase& Case : GridCases()) {
        // Every case in GDAL's default layout; the options on a few.
        const bool BlnAllOptions = Case.StgName == "15 digits" || Case.StgName == "tiny and huge"
            || Case.StgName == "one column";
        for (const std::string& StgOptions : VecAllOptions) {
            if (!StgOptions.empty() && !BlnAllOptions)
                continue;
            SCOPED_TRACE(Case.StgName + ": AAIGrid " + StgOptions);
            const std::string StgGdal =
                GdalWritesAsciiGrid(Case.Grid, ShortestText(Case.Grid.DblNoData), StgOptions);
            ASSERT_FALSE(HasFatalFailure());
            const std::optional<TGridText> Theirs = ParseGridText(ReadText(StgGdal));
            ASSERT_TRUE(Theirs) << ReadText(StgGdal);

            const TCommandResult Result = RunOverlay({StgGdal, StgOut, "x", "1"});
            ASSERT_EQ(Result.LngStatus, 0) << Result.StgOut;
            const std::optional<TGridText> Ours = ParseGridText(ReadText(StgOut));
            ASSERT_TRUE(Ours) << ReadText(StgOut);
            ExpectSameGrid(*Ours, *Theirs);
            if (StgOptions.find("DECIMAL_PRECISION") == std::string::npos)
                ExpectSameGrid(*Ours, Case.Grid);
            if (!HasFailure())
                RoundTrips.Add();
        }
    }
}

TEST_F(GdalExchange, CommandReadsGdalNaNNoData)
{
    // GDAL writes a NaN no-data value as "NODATA_value  nan"; the command
    // takes it (no cell equals NaN, so every cell is scaled).
    const TGridText Grid = GridCases().front().Grid;
    const std::string StgGdal = GdalWritesAsciiGrid(Grid, "nan", "");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_NE(ReadText(StgGdal).find("NODATA_value  nan\n"), std::string::npos);

    const std::string StgOut = Dir / "out.asc";
    ASSERT_EQ(RunOverlay({StgGdal, StgOut, "x", "2"}).LngStatus, 0);
    const std::optional<TGridText> Ours = ParseGridText(ReadText(StgOut));
    ASSERT_TRUE(Ours);
    EXPECT_TRUE(std::isnan(Ours->DblNoData));
    ASSERT_EQ(Ours->VecCells.size(), Grid.VecCells.size());
    for (std::size_t LngCell = 0; LngCell < Grid.VecCells.size(); ++LngCell)
        EXPECT_EQ(Ours->VecCells[LngCell], 2 * Grid.VecCells[LngCell]) << "cell " << LngCell;
    if (!HasFailure())
        RoundTrips.Add();
}

TEST_F(GdalExchange, GridsGdalWritesThatTheCommandRefuses)
{
    const TGridText Grid = GridCases().front().Grid;
    const std::string StgOut = Dir / "out.asc";

    // A source without a no-data value: GDAL leaves out the NODATA_value
    // line, and the first cell stands where the tag should be.
    const std::string StgGdal = GdalWritesAsciiGrid(Grid, "none", "");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(ReadText(StgGdal).find("NODATA_value"), std::string::npos);
    TCommandResult Result = RunOverlay({StgGdal, StgOut, "x", "1"});
    EXPECT_EQ(Result.LngStatus, 1);
    EXPECT_EQ(Result.StgOut, "File format error: expected to find NODATA_value tag\n");

    // Cells that are not square: GDAL writes dx and dy in place of cellsize.
    const std::string StgStretched = Dir / "stretched.tif";
    ASSERT_NO_FATAL_FAILURE(RunGdal("gdal_translate -q -a_ullr 0 6 12 0 "
                                    + ShellQuoted(Dir / "source.tif") + " "
                                    + ShellQuoted(StgStretched)));
    ASSERT_NO_FATAL_FAILURE(RunGdal("gdal_translate -q -of AAIGrid " + ShellQuoted(StgStretched)
                                    + " " + ShellQuoted(StgGdal) + " 2>/dev/null"));
    ASSERT_NE(ReadText(StgGdal).find("\ndx "), std::string::npos);
    Result = RunOverlay({StgGdal, StgOut, "x", "1"});
    EXPECT_EQ(Result.LngStatus, 1);
    EXPECT_EQ(Result.StgOut, "File format error: expected to find cellsize tag\n");
    EXPECT_FALSE(std::filesystem::exists(StgOut));
}

TEST_F(GdalExchange, GdalRefusesTheNonFiniteCellsOfADivisionByZero)
{
    // The command writes inf, -inf and -nan for x / 0; GDAL's ASCII grid
    // reader takes no such token, so such a grid does not open in GDAL.
    const std::string StgIn = Dir / "in.asc";
    const std::string StgOut = Dir / "out.asc";
    WriteText(StgIn, GridFileText(MakeGrid(3, 1, 0, 0, 1, -9999, {2, -3, 0})));
    ASSERT_EQ(RunOverlay({StgIn, StgOut, "/", "0"}).LngStatus, 0);
    ASSERT_NE(ReadText(StgOut).find("inf -inf -nan \n"), std::string::npos);
    const TCommandResult Info = RunShell("gdalinfo -oo DATATYPE=Float64 " + ShellQuoted(StgOut));
    EXPECT_NE(Info.LngStatus, 0);
    EXPECT_NE(Info.StgErr.find("Couldn't find data values"), std::string::npos) << Info.StgErr;
}
