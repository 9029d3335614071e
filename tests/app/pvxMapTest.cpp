// pvxMap end to end: the built binary on small grids, each result checked
// against the tests' own grid reader and arithmetic, one table per family of
// commands, and the command conventions once each.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include "support/TCommand.h"
#include "support/TGridText.h"
#include "support/TTempDir.h"

namespace fs = std::filesystem;

namespace {

const double NaN = std::nan("");

TGridText Grid(long LngCols, long LngRows, double DblNoData, std::vector<double> VecCells,
               double DblXll = 10, double DblCellSize = 5)
{
    return {LngCols, LngRows, DblXll, 20, DblCellSize, DblNoData, std::move(VecCells)};
}

// Equal as cells are compared in a file: NaN matches NaN.
bool SameCell(double DblA, double DblB)
{
    return (std::isnan(DblA) && std::isnan(DblB)) || DblA == DblB;
}

void ExpectGrid(const std::string& StgFile, const TGridText& Expected)
{
    const std::optional<TGridText> Read = ParseGridText(ReadText(StgFile));
    ASSERT_TRUE(Read) << StgFile << ":\n" << ReadText(StgFile);
    EXPECT_EQ(Read->LngCols, Expected.LngCols) << StgFile;
    EXPECT_EQ(Read->LngRows, Expected.LngRows) << StgFile;
    EXPECT_EQ(Read->DblXllCorner, Expected.DblXllCorner) << StgFile;
    EXPECT_EQ(Read->DblYllCorner, Expected.DblYllCorner) << StgFile;
    EXPECT_EQ(Read->DblCellSize, Expected.DblCellSize) << StgFile;
    EXPECT_EQ(Read->DblNoData, Expected.DblNoData) << StgFile;
    ASSERT_EQ(Read->VecCells.size(), Expected.VecCells.size()) << StgFile;
    for (std::size_t LngCell = 0; LngCell < Expected.VecCells.size(); ++LngCell)
        EXPECT_TRUE(SameCell(Read->VecCells[LngCell], Expected.VecCells[LngCell]))
            << StgFile << " cell " << LngCell << ": " << Read->VecCells[LngCell] << " expected "
            << Expected.VecCells[LngCell];
}

// The grid with Op applied to each of its data cells.
TGridText OnData(TGridText Grid, const std::function<double(double)>& Op)
{
    for (double& DblCell : Grid.VecCells)
        if (DblCell != Grid.DblNoData)
            DblCell = Op(DblCell);
    return Grid;
}

class MapCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteText(A, GridFileText(GridA));
        WriteText(B, GridFileText(GridB));
        WriteText(Dir / "a.prj", "PROJCS[\"a\"]\n");
        WriteText(Dir / "b.prj", "PROJCS[\"b\"]\n");
    }

    // Runs pvxMap in the test's folder and expects success, silently.
    void ExpectRuns(const std::vector<std::string>& VecArgs)
    {
        const TCommandResult Result = RunMap(VecArgs, "cd " + ShellQuoted(Dir.Path().string()) + " &&");
        EXPECT_EQ(Result.LngStatus, 0) << VecArgs[0] << ": " << Result.StgErr;
        EXPECT_EQ(Result.StgErr, "") << VecArgs[0];
        MbrStgOut = Result.StgOut;
    }

    TTempDir Dir;
    std::string A = Dir / "a.asc";
    std::string B = Dir / "b.asc";
    std::string Out = Dir / "out.asc";
    // No data -1, with a NaN, halves and negative values.
    TGridText GridA = Grid(3, 2, -1, {1, -1, 3.5, -2.5, 0.5, NaN});
    TGridText GridB = Grid(3, 2, -9999, {10, 20, -9999, 40, 50.5, 60});
    std::string MbrStgOut;
};

}  // namespace

TEST_F(MapCommand, StreamedCellCommands)
{
    WriteText(Dir / "table.csv", "from,to\n1,10\n0.5,20\n");
    const struct {
        std::vector<std::string> VecArgs;
        std::function<double(double)> Op;
    } ArrCases[] = {
        {{"convert", "a.asc", "-o", "out.asc"}, [](double V) { return V; }},
        {{"scale", "a.asc", "x", "2", "-o", "out.asc"}, [](double V) { return V * 2; }},
        {{"scale", "-o", "out.asc", "a.asc", "/", "-4"}, [](double V) { return V / -4; }},
        {{"threshold", "a.asc", "1", "-o", "out.asc"}, [](double V) { return V >= 1 ? V : 0; }},
        {{"threshold", "a.asc", "-2", "--replace", "-7", "-o", "out.asc"},
         [](double V) { return V >= -2 ? -7 : V; }},
        {{"reclass", "a.asc", "table.csv", "-o", "out.asc"},
         [](double V) { return V == 1 ? 10 : V == 0.5 ? 20 : V; }},
        {{"reclass", "a.asc", "table.csv", "-o", "out.asc", "--default", "7"},
         [](double V) { return V == 1 ? 10 : V == 0.5 ? 20 : 7; }},
        {{"round", "a.asc", "-o", "out.asc"}, [](double V) { return V < 0 ? -std::floor(-V + 0.5) : std::floor(V + 0.5); }},
    };
    for (const auto& Case : ArrCases) {
        ExpectRuns(Case.VecArgs);
        ExpectGrid(Out, OnData(GridA, Case.Op));
    }
}

TEST_F(MapCommand, ArithmeticBetweenMaps)
{
    using TCells = std::vector<double>;
    // Per cell, the inputs' cells, or nothing where one is no data.
    const auto Combined = [this](const std::vector<TGridText>& VecGrids, double DblNoData,
                                 const std::function<double(const TCells&)>& Op) {
        TGridText Result = Grid(3, 2, DblNoData, {});
        for (std::size_t LngCell = 0; LngCell < 6; ++LngCell) {
            TCells VecValues;
            bool BlnData = true;
            for (const TGridText& Input : VecGrids) {
                BlnData = BlnData && Input.VecCells[LngCell] != Input.DblNoData;
                VecValues.push_back(Input.VecCells[LngCell]);
            }
            Result.VecCells.push_back(BlnData ? Op(VecValues) : DblNoData);
        }
        return Result;
    };
    const TGridText GridC = Grid(3, 2, -1, {1, 2, 3, 4, 5, 6});
    WriteText(Dir / "c.asc", GridFileText(GridC));
    const struct {
        std::vector<std::string> VecArgs;
        std::string StgOutput;
        TGridText Expected;
    } ArrCases[] = {
        {{"add", "c.asc", "b.asc", "-o", "out.asc"}, "out.asc",
         Combined({GridC, GridB}, -1, [](const TCells& V) { return V[0] + V[1]; })},
        {{"subtract", "c.asc", "b.asc", "-o", "out.asc"}, "out.asc",
         Combined({GridC, GridB}, -1, [](const TCells& V) { return V[0] - V[1]; })},
        {{"multiply", "c.asc", "b.asc", "-o", "out.asc"}, "out.asc",
         Combined({GridC, GridB}, -1, [](const TCells& V) { return V[0] * V[1]; })},
        {{"divide", "b.asc", "c.asc", "-o", "out.asc"}, "out.asc",
         Combined({GridB, GridC}, -9999, [](const TCells& V) { return V[0] / V[1]; })},
        {{"sum", "c.asc", "b.asc", "c.asc", "-o", "out.asc"}, "out.asc",
         Combined({GridC, GridB, GridC}, -1, [](const TCells& V) { return V[0] + V[1] + V[2]; })},
        {{"average", "c.asc", "b.asc", "-o", "out.asc"}, "out.asc",
         Combined({GridC, GridB}, -1, [](const TCells& V) { return (V[0] + V[1]) / 2; })},
        {{"count", "a.asc", "b.asc", "-o", "out.asc"}, "out.asc", Grid(3, 2, -1, {2, 1, 1, 2, 2, 2})},
        {{"mask", "c.asc", "b.asc", "-o", "out.asc"}, "out.asc",
         Combined({GridC, GridB}, -1, [](const TCells& V) { return V[0]; })},
        {{"moving-average", "b.asc", "c.asc", "b.asc", "--window", "2", "-o", "m{}.asc"}, "m2.asc",
         Combined({GridC, GridB}, -9999, [](const TCells& V) { return (V[0] + V[1]) / 2; })},
        {{"gradients", "c.asc", "b.asc", "--window", "1", "-o", "g{}.asc"}, "g1.asc",
         Combined({GridC, GridB}, -1, [](const TCells& V) { return V[1] - V[0]; })},
    };
    for (const auto& Case : ArrCases) {
        ExpectRuns(Case.VecArgs);
        ExpectGrid(Dir / Case.StgOutput, Case.Expected);
    }
}

TEST_F(MapCommand, ResamplingAndSubMaps)
{
    WriteText(Dir / "w.asc", GridFileText(Grid(4, 2, -9999, {1, 2, 3, 4, 5, 6, 7, 8})));
    WriteText(Dir / "piece.asc", GridFileText(Grid(2, 1, -1, {99, -1}, 15)));
    ExpectRuns({"subdivide", "a.asc", "2", "-o", "out.asc"});
    TGridText Fine = Grid(6, 4, -1, {}, 10, 2.5);
    for (long LngCell = 0; LngCell < 24; ++LngCell)
        Fine.VecCells.push_back(GridA.VecCells[static_cast<std::size_t>(LngCell / 12 * 3 + LngCell % 6 / 2)]);
    ExpectGrid(Out, Fine);
    ExpectRuns({"extract", "w.asc", "11", "21", "16", "26", "-o", "out.asc"});
    ExpectGrid(Out, Grid(2, 2, -9999, {1, 2, 5, 6}));
    ExpectRuns({"insert", "w.asc", "piece.asc", "-o", "out.asc"});
    ExpectGrid(Out, Grid(4, 2, -9999, {1, 2, 3, 4, 5, 99, 7, 8}));
    ExpectRuns({"intersect", "a.asc", "w.asc", "-o", "part{}.asc"});
    ExpectGrid(Dir / "part1.asc", GridA);
    ExpectGrid(Dir / "part2.asc", Grid(3, 2, -9999, {1, 2, 3, 5, 6, 7}));

    // Bilinear resampling of a plane gives the plane at every new centre
    // that lies between the old centres.
    TGridText Plane = Grid(10, 10, -9999, {}, 0, 1);
    for (long LngCell = 0; LngCell < 100; ++LngCell)
        Plane.VecCells.push_back((LngCell % 10 + 0.5) + 2 * (20 + 9.5 - LngCell / 10));
    WriteText(Dir / "plane.asc", GridFileText(Plane));
    ExpectRuns({"resample", "plane.asc", "0.5", "-o", "out.asc"});
    const std::optional<TGridText> Resampled = ParseGridText(ReadText(Out));
    ASSERT_TRUE(Resampled);
    EXPECT_EQ(Resampled->DblCellSize, 0.5);
    long LngSamples = 0;
    for (long LngCell = 0; LngCell < Resampled->LngCols * Resampled->LngRows; ++LngCell) {
        const double DblX = Resampled->DblXllCorner + (static_cast<double>(LngCell % Resampled->LngCols) + 0.5) * 0.5;
        const double DblY = Resampled->DblYllCorner
            + (static_cast<double>(Resampled->LngRows - 1 - LngCell / Resampled->LngCols) + 0.5) * 0.5;
        if (DblX < 0.5 || DblX > 9.5 || DblY < 20.5 || DblY > 29.5)
            continue;
        EXPECT_NEAR(Resampled->VecCells[static_cast<std::size_t>(LngCell)], DblX + 2 * DblY, 1e-9) << "cell " << LngCell;
        ++LngSamples;
    }
    EXPECT_EQ(LngSamples, 18 * 18);
}

TEST_F(MapCommand, TablesOnStandardOutput)
{
    WriteText(Dir / "zones.asc", GridFileText(Grid(3, 2, -9999, {1, 1, 2, 2, -9999, 7})));
    WriteText(Dir / "points.csv", "x,y\n12,22\n17,27\n100,100\n");
    const struct {
        std::vector<std::string> VecArgs;
        std::string StgExpected;
    } ArrCases[] = {
        {{"info", "a.asc"},
         "ncols 3\nnrows 2\nxllcorner 10\nyllcorner 20\ncellsize 5\nNODATA_value -1\ncells 6\n"
         "data_cells 5\nnodata_cells 1\nnan_cells 1\nmin -2.5\nmax 3.5\nmean 0.625\nsum 2.5\n"},
        {{"info", "a.asc", "--json"},
         "{\"ncols\": 3, \"nrows\": 2, \"xllcorner\": 10, \"yllcorner\": 20, \"cellsize\": 5, "
         "\"NODATA_value\": -1, \"cells\": 6, \"data_cells\": 5, \"nodata_cells\": 1, "
         "\"nan_cells\": 1, \"min\": -2.5, \"max\": 3.5, \"mean\": 0.625, \"sum\": 2.5}\n"},
        {{"values", "b.asc"}, "value,count\n10,1\n20,1\n40,1\n50.5,1\n60,1\n"},
        {{"zonal", "b.asc", "zones.asc"},
         "zone,count,sum,mean,min,max\n1,2,30,15,10,20\n2,1,40,40,40,40\n7,1,60,60,60,60\n"},
        {{"zonal", "zones.asc", "b.asc"},
         "zone,count,sum,mean,min,max\n10,1,1,1,1,1\n20,1,1,1,1,1\n40,1,2,2,2,2\n"
         "50.5,0,,,,\n60,1,7,7,7,7\n"},
        {{"sample", "points.csv", "a.asc", "b.asc"},
         "x,y,a.asc,b.asc\n12,22,-2.5,40\n17,27,,20\n100,100,,\n"},
        {{"dump", "a.asc", "--separator", ","}, "1,-1,3.5\n-2.5,0.5,nan\n"},
    };
    for (const auto& Case : ArrCases) {
        ExpectRuns(Case.VecArgs);
        EXPECT_EQ(MbrStgOut, Case.StgExpected) << Case.VecArgs[0];
    }
}

TEST_F(MapCommand, ReportsFailuresOnStandardErrorAndKeepsTheOutput)
{
    WriteText(Out, "kept");
    const TCommandResult Result = RunMap({"add", A, Dir / "missing.asc", "-o", Out});
    EXPECT_EQ(Result.LngStatus, 1);
    EXPECT_EQ(Result.StgOut, "");
    EXPECT_EQ(Result.StgErr, "pvxMap: Unable to open file " + Dir / "missing.asc" + "\n");
    EXPECT_EQ(ReadText(Out), "kept");
    EXPECT_EQ(Dir.EntryCount(), 5U);  // the two grids, their sidecars, the output
}

TEST_F(MapCommand, UsageErrorsComeBeforeAnyFile)
{
    const TCommandResult Result = RunMap({"threshold", A, "1O", "-o", Out});
    EXPECT_EQ(Result.LngStatus, 2);
    EXPECT_EQ(Result.StgOut, "");
    EXPECT_EQ(Result.StgErr, "pvxMap: T is not a number: 1O\nTry 'pvxMap threshold --help'.\n");
    EXPECT_FALSE(fs::exists(Out));

    // Each with a missing input, so that only the usage check can answer
    // before the file is looked for.
    const std::vector<std::string> ArrUsageErrors[] = {
        {"sum", "missing.asc", "-o", "out.asc"},
        {"average", "missing.asc", "-o", "out.asc"},
        {"moving-average", "--window", "2", "-o", "m{}.asc"},
        {"moving-average", "missing.asc", "--window", "2", "-o", "m.asc"},
        {"moving-average", "missing.asc", "-o", "m{}.asc"},
        {"convert", "missing.asc"},
        {"scale", "missing.asc", "+", "2", "-o", "out.asc"},
        {"scale", "missing.asc", "x", "0x10", "-o", "out.asc"},
        {"resample", "missing.asc", "fine", "-o", "out.asc"},
        {"convert", "missing.asc", "-o", "out.asc", "--frobnicate"},
        {"convert", "-", "-", "-o", "out.asc"},
    };
    for (const std::vector<std::string>& VecArgs : ArrUsageErrors) {
        const TCommandResult Usage = RunMap(VecArgs, "cd " + ShellQuoted(Dir.Path().string()) + " &&");
        EXPECT_EQ(Usage.LngStatus, 2) << VecArgs[0] << " " << VecArgs[1];
        EXPECT_NE(Usage.StgErr.find("\nTry 'pvxMap " + VecArgs[0] + " --help'.\n"), std::string::npos)
            << Usage.StgErr;
    }
}

TEST_F(MapCommand, NegativeNumbersAreValuesAndDoubleDashEndsOptions)
{
    ExpectRuns({"threshold", "a.asc", "-2", "-o", "out.asc"});
    ExpectGrid(Out, OnData(GridA, [](double V) { return V >= -2 ? V : 0; }));
    WriteText(Dir / "-q.asc", GridFileText(GridB));
    ExpectRuns({"scale", "-o", "out.asc", "--", "-q.asc", "x", "-1e-3"});
    ExpectGrid(Out, OnData(GridB, [](double V) { return V * -1e-3; }));
}

TEST_F(MapCommand, GridWithoutNoDataValueStreamsAsItLoads)
{
    // Cells holding -9999: the no-data value written is one no cell holds,
    // streamed or in memory, from a file or standard input.
    WriteText(Dir / "bare.asc", "NCOLS 3\nNROWS 1\nXLLCENTER 12.5\nYLLCENTER 22.5\nCELLSIZE 5\n"
                                "-9999 1,5 -99998\n");
    ExpectRuns({"subdivide", "bare.asc", "1", "-o", "memory.asc"});
    ExpectGrid(Dir / "memory.asc", Grid(3, 1, -99999, {-9999, 1.5, -99998}));
    for (const std::string StgInput : {"bare.asc", "-"}) {
        const TCommandResult Result = RunMap({"convert", StgInput, "-o", "out.asc"},
                                             "cd " + ShellQuoted(Dir.Path().string()) + " && <bare.asc");
        EXPECT_EQ(Result.LngStatus, 0) << Result.StgErr;
        EXPECT_EQ(ReadText(Out), ReadText(Dir / "memory.asc")) << StgInput;
    }
    ExpectRuns({"scale", "bare.asc", "x", "2", "-o", "out.asc"});
    ExpectGrid(Out, Grid(3, 1, -99999, {-19998, 3, -199996}));
}

TEST_F(MapCommand, HelpOnStandardOutput)
{
    ExpectRuns({"--help"});
    EXPECT_EQ(MbrStgOut.rfind("Usage: pvxMap COMMAND", 0), 0U);
    EXPECT_NE(MbrStgOut.find("\n  moving-average  "), std::string::npos);
    ExpectRuns({"round", "--help"});
    EXPECT_NE(MbrStgOut.find("\nExample: pvxMap round "), std::string::npos);
}

TEST_F(MapCommand, DashReadsStandardInputAndWritesStandardOutput)
{
    const TCommandResult Result =
        RunMap({"scale", "-", "x", "-inf", "-o", "-"}, "cat " + ShellQuoted(A) + " |");
    EXPECT_EQ(Result.LngStatus, 0);
    const std::optional<TGridText> Read = ParseGridText(Result.StgOut);
    ASSERT_TRUE(Read);
    EXPECT_TRUE(SameCell(Read->VecCells[0], -INFINITY));
    EXPECT_EQ(Read->VecCells[1], -1);
}

TEST_F(MapCommand, EveryGridOutputGetsItsInputsSidecar)
{
    ExpectRuns({"intersect", "b.asc", "a.asc", "-o", "part{}"});
    EXPECT_EQ(ReadText(Dir / "part1.prj"), ReadText(Dir / "b.prj"));
    EXPECT_EQ(ReadText(Dir / "part2.prj"), ReadText(Dir / "a.prj"));
    ExpectRuns({"sum", "a.asc", "b.asc", "-o", "sum.grid.asc"});
    EXPECT_EQ(ReadText(Dir / "sum.grid.prj"), ReadText(Dir / "a.prj"));
}

TEST_F(MapCommand, ProgressOnlyOnATerminal)
{
    // A grid whose body arrives after more than a second.
    const std::string StgSlow = "{ head -c 60 " + ShellQuoted(A) + "; sleep 1.3; tail -c +61 "
        + ShellQuoted(A) + "; } | " + ShellQuoted(PVX_MAP_BINARY) + " convert - -o "
        + ShellQuoted(Out);
    const TCommandResult OnTerminal =
        RunShell("script -qec " + ShellQuoted("sh -c " + ShellQuoted(StgSlow)) + " /dev/null");
    EXPECT_EQ(OnTerminal.LngStatus, 0);
    EXPECT_NE(OnTerminal.StgOut.find("writing " + Out + ": 100%"), std::string::npos)
        << OnTerminal.StgOut;
    ExpectGrid(Out, GridA);
    const TCommandResult Quiet = RunShell("script -qec " + ShellQuoted("sh -c " + ShellQuoted(StgSlow + " -q")) + " /dev/null");
    EXPECT_EQ(Quiet.StgOut.find("writing"), std::string::npos) << Quiet.StgOut;
    const TCommandResult Piped = RunShell(StgSlow);
    EXPECT_EQ(Piped.StgErr, "");
}
