// Tiles end to end through the built binary, one table per family: a grid
// cut into tiles and put back is the same bytes for every size and overlap,
// in every format; a windowed command on tiles cut with an overlap gives the
// whole grid's bytes; mosaics place tiles on their lattice, trim overlaps and
// take the first tile holding data; tiles off the lattice are refused;
// hundreds of tiles go through lists with few files open at once; the
// command line is checked before any file. Expected values are computed here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <sstream>

#include "support/TMapFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr double NoData = -9999;

// Quarters (written exactly in a few digits), a tenth no data.
TGridText RandomGrid(long LngCols, long LngRows, unsigned LngSeed)
{
    std::mt19937 Random(LngSeed);
    TGridText Grid{LngCols, LngRows, 500000.5, 4100000.25, 10, NoData, {}};
    for (long LngCell = 0; LngCell < LngCols * LngRows; ++LngCell)
        Grid.VecCells.push_back(Random() % 10 == 0 ? NoData : static_cast<double>(Random() % 200000) / 4 - 500);
    return Grid;
}

// Hills with a no-data hole and a little noise, for windowed commands.
TGridText Dem(long LngCols, long LngRows)
{
    std::mt19937 Random(5);
    TGridText Grid{LngCols, LngRows, 300000, 5000000, 25, NoData, {}};
    for (long LngRow = 0; LngRow < LngRows; ++LngRow)
        for (long LngCol = 0; LngCol < LngCols; ++LngCol)
            Grid.VecCells.push_back(std::hypot(LngRow - 9, LngCol - 13) < 2.5
                                        ? NoData
                                        : std::round(100 * (500 + 80 * std::sin(LngCol / 6.0) * std::cos(LngRow / 5.0)
                                                            + static_cast<double>(Random() % 100) / 50)) / 100);
    return Grid;
}

std::vector<std::string> Lines(const std::string& StgText)
{
    std::istringstream Stream(StgText);
    std::vector<std::string> VecLines;
    for (std::string StgLine; std::getline(Stream, StgLine);)
        VecLines.push_back(StgLine);
    return VecLines;
}

// The cells First..Last-1 of tile K of Size along a direction of Count
// cells, Overlap more either side as far as the grid goes.
std::pair<long, long> Covered(long LngTile, long LngSize, long LngOverlap, long LngCount)
{
    return {std::max(0L, LngTile * LngSize - LngOverlap), std::min(LngCount, (LngTile + 1) * LngSize + LngOverlap)};
}

std::string Padded(long LngNumber, long LngLargest)
{
    std::string StgNumber = std::to_string(LngNumber);
    return std::string(std::to_string(LngLargest).size() - StgNumber.size(), '0') + StgNumber;
}

class Tiles : public TMapFolder {
protected:
    // Runs and expects success with nothing on standard error; what it
    // printed.
    std::string Runs(const std::vector<std::string>& VecArgs, const std::string& StgPrefix = "")
    {
        const TCommandResult Result = Map(VecArgs, StgPrefix);
        EXPECT_EQ(Result.LngStatus, 0) << VecArgs[0] << " " << VecArgs[1] << ": " << Result.StgErr;
        EXPECT_EQ(Result.StgErr, "");
        return Result.StgOut;
    }
    // Each tile of a list processed by a command, "{in}" and "{out}" in its
    // arguments standing for the tile and its result; the results' list.
    void EachTile(const std::string& StgList, const std::vector<std::string>& VecCommand, const std::string& StgResults)
    {
        std::string StgResultNames;
        for (const std::string& StgTile : Lines(ReadText(Dir / StgList))) {
            const std::string StgOut = StgTile.substr(0, StgTile.size() - 4) + "-out.asc";
            std::vector<std::string> VecArgs;
            for (const std::string& StgArg : VecCommand)
                VecArgs.push_back(Replaced(Replaced(StgArg, "{in}", StgTile), "{out}", StgOut));
            Runs(VecArgs);
            StgResultNames += StgOut + "\n";
        }
        WriteText(Dir / StgResults, StgResultNames);
    }

private:
    static std::string Replaced(std::string StgText, const std::string& StgFrom, const std::string& StgTo)
    {
        const std::size_t LngAt = StgText.find(StgFrom);
        return LngAt == std::string::npos ? StgText : StgText.replace(LngAt, StgFrom.size(), StgTo);
    }
};

}  // namespace

// Every size (one cell, larger than the grid) and overlap (none, larger
// than a tile), thin grids included: each tile holds its own cells and the
// overlap's as far as the grid goes, the names come in row-major order,
// numbered from 1 and zero-padded, and the mosaic is the grid's bytes.
TEST_F(Tiles, CutAndPutBackGiveTheGridBack)
{
    const struct {
        long LngCols;
        long LngRows;
    } ArrShapes[] = {{7, 5}, {1, 9}, {9, 1}, {1, 1}, {23, 12}};
    for (const auto& Shape : ArrShapes) {
        const TGridText Grid = RandomGrid(Shape.LngCols, Shape.LngRows, static_cast<unsigned>(Shape.LngCols));
        Put("g.asc", Grid);
        Runs({"convert", "g.asc", "-o", "whole.asc"});
        for (const long LngSize : {1L, 3L, 100L})
            for (const long LngOverlap : {0L, 1L, 7L}) {
                const std::string StgCase = std::to_string(Shape.LngCols) + "x" + std::to_string(Shape.LngRows) + " size "
                    + std::to_string(LngSize) + " overlap " + std::to_string(LngOverlap);
                fs::remove_all(Dir / "t");
                fs::create_directory(Dir / "t");
                const std::vector<std::string> VecNames = Lines(Runs(
                    {"tile", "g.asc", "--size", std::to_string(LngSize), "--overlap", std::to_string(LngOverlap), "-o", "t/g-{row}-{col}.asc"}));
                const long LngTileRows = (Shape.LngRows + LngSize - 1) / LngSize;
                const long LngTileCols = (Shape.LngCols + LngSize - 1) / LngSize;
                ASSERT_EQ(VecNames.size(), static_cast<std::size_t>(LngTileRows * LngTileCols)) << StgCase;
                for (long LngTile = 0; LngTile < LngTileRows * LngTileCols; ++LngTile) {
                    const long LngRow = LngTile / LngTileCols, LngCol = LngTile % LngTileCols;
                    const std::string StgName = "t/g-" + Padded(LngRow + 1, LngTileRows) + "-" + Padded(LngCol + 1, LngTileCols) + ".asc";
                    ASSERT_EQ(VecNames[static_cast<std::size_t>(LngTile)], StgName) << StgCase;
                    const auto [LngTop, LngBottom] = Covered(LngRow, LngSize, LngOverlap, Shape.LngRows);
                    const auto [LngWest, LngEast] = Covered(LngCol, LngSize, LngOverlap, Shape.LngCols);
                    const TGridText Tile = Read(StgName);
                    EXPECT_EQ(Tile.LngCols, LngEast - LngWest) << StgCase << " " << StgName;
                    EXPECT_EQ(Tile.LngRows, LngBottom - LngTop) << StgCase << " " << StgName;
                    EXPECT_DOUBLE_EQ(Tile.DblXllCorner, Grid.DblXllCorner + static_cast<double>(LngWest) * Grid.DblCellSize);
                    EXPECT_DOUBLE_EQ(Tile.DblYllCorner, Grid.DblYllCorner + static_cast<double>(Shape.LngRows - LngBottom) * Grid.DblCellSize);
                    std::vector<double> VecExpected;
                    for (long LngY = LngTop; LngY < LngBottom; ++LngY)
                        for (long LngX = LngWest; LngX < LngEast; ++LngX)
                            VecExpected.push_back(Grid.VecCells[static_cast<std::size_t>(LngY * Shape.LngCols + LngX)]);
                    EXPECT_EQ(Tile.VecCells, VecExpected) << StgCase << " " << StgName;
                }
                std::string StgList;
                for (const std::string& StgName : VecNames)
                    StgList += StgName + "\n";
                WriteText(Dir / "list.txt", StgList);
                Runs({"mosaic", "--from", "list.txt", "--overlap", std::to_string(LngOverlap), "-o", "m.asc"});
                EXPECT_EQ(ReadText(Dir / "m.asc"), ReadText(Dir / "whole.asc")) << StgCase;
            }
    }
    // Tiles in the other formats, and their coordinate system beside each.
    WriteText(Dir / "g.prj", "PROJCS[\"UTM 33N\"]");
    std::vector<std::string> VecFormats = {".asc"};
#ifdef PVX_WITH_GZIP
    VecFormats.push_back(".asc.gz");
#endif
#ifdef PVX_WITH_GDAL
    VecFormats.push_back(".tif");
#endif
    for (const std::string& StgFormat : VecFormats) {
        if (StgFormat == ".tif")
            fs::remove(Dir / "g.prj");  // GDAL would have to read it
        WriteText(Dir / "list.txt", Runs({"tile", "g.asc", "--size", "5", "--overlap", "2", "-o", "f{row}-{col}" + StgFormat}));
        Runs({"mosaic", "--from", "list.txt", "--overlap", "2", "-o", "m.asc"});
        EXPECT_EQ(ReadText(Dir / "m.asc"), ReadText(Dir / "whole.asc")) << StgFormat;
        if (StgFormat == ".asc") {
            EXPECT_EQ(ReadText(Dir / "f3-5.prj"), "PROJCS[\"UTM 33N\"]");
            EXPECT_EQ(ReadText(Dir / "m.prj"), "PROJCS[\"UTM 33N\"]");
        }
    }
}

// A command over a window of cells, run on tiles cut with an overlap at
// least the window's reach and mosaicked with it, gives the whole grid's
// bytes: the cells a tile computes without their neighbours are trimmed.
TEST_F(Tiles, WindowedCommandsOnTilesGiveTheWholeGridsBytes)
{
    Put("dem.asc", Dem(37, 29));
    const struct {
        std::vector<std::string> VecCommand;
        long LngOverlap;
    } ArrCases[] = {
        {{"slope", "{in}", "-o", "{out}"}, 1},
        {{"hillshade", "{in}", "--compute-edges", "-o", "{out}"}, 1},
        {{"aspect", "{in}", "-o", "{out}"}, 3},
        {{"calc", "d[-2,0] + d[0,2] * d[1,-1] - d", "d={in}", "-o", "{out}"}, 2},
    };
    for (const auto& Case : ArrCases)
        for (const long LngSize : {10L, 40L}) {
            std::vector<std::string> VecWhole;
            for (const std::string& StgArg : Case.VecCommand)
                VecWhole.push_back(StgArg == "{in}" ? "dem.asc" : StgArg == "d={in}" ? "d=dem.asc" : StgArg == "{out}" ? "whole.asc" : StgArg);
            Runs(VecWhole);
            const std::string StgOverlap = std::to_string(Case.LngOverlap);
            WriteText(Dir / "tiles.txt", Runs({"tile", "dem.asc", "--size", std::to_string(LngSize), "--overlap", StgOverlap, "-o", "d-{row}-{col}.asc"}));
            EachTile("tiles.txt", Case.VecCommand, "results.txt");
            Runs({"mosaic", "--from", "results.txt", "--overlap", StgOverlap, "-o", "mosaic.asc"});
            EXPECT_EQ(ReadText(Dir / "mosaic.asc"), ReadText(Dir / "whole.asc")) << Case.VecCommand[0] << " size " << LngSize;
        }
}

// Tiles are placed on the first one's lattice over their union, no data
// where none lies; --overlap trims each side another tile reaches across,
// and where tiles still overlap, the first holding data gives the cell.
// Each tile's no-data cells are no data, whatever its NODATA_value.
TEST_F(Tiles, MosaicsPlaceTrimAndTakeTheFirstTileHoldingData)
{
    const double N = NoData;
    const struct {
        const char* StgCase;
        std::vector<TGridText> VecTiles;
        std::vector<std::string> VecOptions;
        TGridText Expected;
    } ArrCases[] = {
        // A 2 x 2 tile and a 2 x 1 tile two cells east and a row north of it.
        {"gap",
         {{2, 2, 0, 0, 10, N, {1, 2, 3, 4}}, {2, 1, 40, 20, 10, N, {5, 6}}},
         {},
         {6, 3, 0, 0, 10, N, {N, N, N, N, 5, 6, 1, 2, N, N, N, N, 3, 4, N, N, N, N}}},
        // Overlapping by two cells: the first tile's data, then the second's.
        {"first holding data", {{3, 1, 0, 0, 10, N, {1, N, 3}}, {3, 1, 10, 0, 10, N, {10, 20, 30}}}, {}, {4, 1, 0, 0, 10, N, {1, 10, 3, 30}}},
        {"first holding data, the other order", {{3, 1, 10, 0, 10, N, {10, 20, 30}}, {3, 1, 0, 0, 10, N, {1, N, 3}}}, {}, {4, 1, 0, 0, 10, N, {1, 10, 20, 30}}},
        // Two cells of overlap, one trimmed from each: the first tile gives
        // its cells up to the middle, the second its cells after it.
        {"trimmed east and west",
         {{4, 1, 0, 0, 10, N, {1, 2, 3, 4}}, {4, 1, 20, 0, 10, N, {13, 14, 15, 16}}},
         {"--overlap", "1"},
         {6, 1, 0, 0, 10, N, {1, 2, 3, 14, 15, 16}}},
        {"trimmed north and south",
         {{1, 4, 0, 20, 10, N, {1, 2, 3, 4}}, {1, 4, 0, 0, 10, N, {13, 14, 15, 16}}},
         {"--overlap", "1"},
         {1, 6, 0, 0, 10, N, {1, 2, 3, 14, 15, 16}}},
        // A tile inside another is reached across every side: trimmed away.
        {"inside another",
         {{3, 3, 0, 0, 10, N, {1, 2, 3, 4, N, 6, 7, 8, 9}}, {1, 1, 10, 10, 10, N, {50}}},
         {"--overlap", "1"},
         {3, 3, 0, 0, 10, N, {1, 2, 3, 4, N, 6, 7, 8, 9}}},
        // The output's NODATA_value is the first tile's; -9999 under -1 is data.
        {"no-data values", {{2, 1, 0, 0, 10, -1, {N, -1}}, {2, 1, 20, 0, 10, N, {7, N}}}, {}, {4, 1, 0, 0, 10, -1, {N, -1, 7, -1}}},
        {"--nodata", {{2, 1, 0, 0, 10, -1, {N, -1}}, {2, 1, 20, 0, 10, N, {7, N}}}, {"--nodata", "-5"}, {4, 1, 0, 0, 10, -5, {N, -5, 7, -5}}},
        // Corners a 2048th of a cell off lie on the lattice; the output takes
        // the westernmost and southernmost tiles' own corners.
        {"within the tolerance", {{1, 1, 10.0 / 2048, 0, 10, N, {1}}, {1, 1, 10, 10.0 / 2048, 10, N, {2}}}, {}, {2, 1, 10.0 / 2048, 0, 10, N, {1, 2}}},
    };
    for (const auto& Case : ArrCases) {
        std::vector<std::string> VecArgs = {"mosaic"};
        for (std::size_t LngTile = 0; LngTile < Case.VecTiles.size(); ++LngTile) {
            VecArgs.push_back("tile" + std::to_string(LngTile) + ".asc");
            Put(VecArgs.back(), Case.VecTiles[LngTile]);
        }
        VecArgs.insert(VecArgs.end(), Case.VecOptions.begin(), Case.VecOptions.end());
        VecArgs.insert(VecArgs.end(), {"-o", "out.asc", "--digits", "17"});
        Runs(VecArgs);
        const TGridText Out = Read("out.asc");
        EXPECT_EQ(Out.LngCols, Case.Expected.LngCols) << Case.StgCase;
        EXPECT_EQ(Out.LngRows, Case.Expected.LngRows) << Case.StgCase;
        EXPECT_EQ(Out.DblXllCorner, Case.Expected.DblXllCorner) << Case.StgCase;
        EXPECT_EQ(Out.DblYllCorner, Case.Expected.DblYllCorner) << Case.StgCase;
        EXPECT_EQ(Out.DblNoData, Case.Expected.DblNoData) << Case.StgCase;
        EXPECT_EQ(Out.VecCells, Case.Expected.VecCells) << Case.StgCase;
    }
}

// Tiles of another cell size or off the first tile's cells are refused,
// naming the tile and what differs, and nothing is written.
TEST_F(Tiles, MosaicsRefuseTilesOffTheLattice)
{
    Put("a.asc", {2, 2, 0, 0, 10, NoData, {1, 2, 3, 4}});
    const struct {
        double DblXll;
        double DblYll;
        double DblCellSize;
        std::string StgError;
    } ArrCases[] = {
        {20, 0, 5, "pvxMap: b.asc does not lie on the cells of a.asc: cellsize 5 and 10\n"},
        {20, 0, 10.01, "pvxMap: b.asc does not lie on the cells of a.asc: cellsize 10.01 and 10\n"},
        {12.5, 0, 10, "pvxMap: b.asc does not lie on the cells of a.asc: xllcorner 12.5 lies 0.25 of a cell off\n"},
        {20, -7, 10, "pvxMap: b.asc does not lie on the cells of a.asc: yllcorner -7 lies 0.3 of a cell off\n"},
    };
    for (const auto& Case : ArrCases) {
        Put("b.asc", {2, 2, Case.DblXll, Case.DblYll, Case.DblCellSize, NoData, {1, 2, 3, 4}});
        const TCommandResult Result = Map({"mosaic", "a.asc", "b.asc", "-o", "out.asc"});
        EXPECT_EQ(Result.LngStatus, 1);
        EXPECT_EQ(Result.StgErr, Case.StgError);
        EXPECT_FALSE(fs::exists(Dir / "out.asc"));
    }
}

// Hundreds of tiles: tile opens only the tiles of the bands of tile rows it
// is writing and lets finished ones go, mosaic opens a tile when the rows
// reach it, so both run in few file descriptors. Lists skip blank lines and
// take Windows line ends, from a file or standard input, after the tiles
// given as arguments.
TEST_F(Tiles, HundredsOfTilesInFewFiles)
{
    Put("wide.asc", RandomGrid(2000, 230, 9));
    WriteText(Dir / "wide.prj", "GEOGCS[\"WGS 84\"]");
    Runs({"convert", "wide.asc", "-o", "whole.asc"});
    fs::create_directory(Dir / "t");
    // 20 tiles a band, 3 bands: an open tile takes a descriptor, a finished one none.
    const std::string StgList = Runs({"tile", "wide.asc", "--size", "100", "--overlap", "1", "-o", "t/{row}-{col}.asc"}, "ulimit -n 56 && ");
    std::vector<std::string> VecNames = Lines(StgList);
    ASSERT_EQ(VecNames.size(), 60U);
    ASSERT_EQ(VecNames[21], "t/2-02.asc");
    std::string StgWindows;
    for (std::size_t LngTile = 3; LngTile < VecNames.size(); ++LngTile)
        StgWindows += VecNames[LngTile] + (LngTile % 7 == 0 ? "\r\n\n  \r\n" : "\r\n");
    WriteText(Dir / "list.txt", StgWindows);
    const std::string StgFirst = VecNames[0], StgSecond = VecNames[1], StgThird = VecNames[2];
    Runs({"mosaic", StgFirst, StgSecond, StgThird, "--from", "list.txt", "--overlap", "1", "-o", "m.asc"}, "ulimit -n 48 && ");
    EXPECT_EQ(ReadText(Dir / "m.asc"), ReadText(Dir / "whole.asc"));
    EXPECT_EQ(ReadText(Dir / "m.prj"), "GEOGCS[\"WGS 84\"]");
    fs::remove(Dir / "m.asc");
    Runs({"mosaic", "--from", "-", "--overlap", "1", "-o", "m.asc"}, "printf '%s' " + ShellQuoted(StgList) + " | ");
    EXPECT_EQ(ReadText(Dir / "m.asc"), ReadText(Dir / "whole.asc"));

    const struct {
        std::vector<std::string> VecArgs;
        std::string StgError;
    } ArrFailures[] = {
        {{"mosaic", "--from", "missing.txt", "-o", "m.asc"}, "pvxMap: Unable to open file missing.txt\n"},
        {{"mosaic", "--from", "empty.txt", "-o", "m.asc"}, "pvxMap: empty.txt lists no tiles\n"},
        {{"mosaic", "--from", "dash.txt", "-o", "m.asc"}, "pvxMap: dash.txt: a tile cannot be standard input (-): each tile is read twice\n"},
        {{"mosaic", "t/1-01.asc", "t/missing.asc", "-o", "m.asc"}, "pvxMap: Unable to open file t/missing.asc\n"},
    };
    WriteText(Dir / "empty.txt", "\n \n");
    WriteText(Dir / "dash.txt", "t/1-01.asc\n-\n");
    for (const auto& Case : ArrFailures) {
        const TCommandResult Result = Map(Case.VecArgs);
        EXPECT_EQ(Result.LngStatus, 1) << Case.VecArgs[2];
        EXPECT_EQ(Result.StgErr, Case.StgError);
    }
}

// Every argument and option is checked before any file is opened: each
// case names a grid that does not exist, so only a usage error can answer.
TEST_F(Tiles, UsageIsCheckedBeforeAnyFile)
{
    const std::vector<std::string> ArrCases[] = {
        {"tile", "missing.asc", "-o", "t{row}{col}.asc"},
        {"tile", "missing.asc", "--size", "0", "-o", "t{row}{col}.asc"},
        {"tile", "missing.asc", "--size", "2.5", "-o", "t{row}{col}.asc"},
        {"tile", "missing.asc", "--size", "x", "-o", "t{row}{col}.asc"},
        {"tile", "missing.asc", "--size", "4", "--overlap", "-1", "-o", "t{row}{col}.asc"},
        {"tile", "missing.asc", "--size", "4", "--overlap", "0.5", "-o", "t{row}{col}.asc"},
        {"tile", "missing.asc", "--size", "4", "-o", "t{row}.asc"},
        {"tile", "missing.asc", "--size", "4", "-o", "t{col}.asc"},
        {"tile", "missing.asc", "--size", "4"},
        {"mosaic", "-o", "out.asc"},
        {"mosaic", "missing.asc", "-", "-o", "out.asc"},
        {"mosaic", "missing.asc", "--overlap", "-2", "-o", "out.asc"},
        {"mosaic", "missing.asc", "--from"},
    };
    for (const std::vector<std::string>& VecArgs : ArrCases) {
        const TCommandResult Result = Map(VecArgs);
        EXPECT_EQ(Result.LngStatus, 2) << VecArgs[0] << " " << VecArgs.back() << ": " << Result.StgErr;
        EXPECT_EQ(Result.StgErr.find("Unable to open"), std::string::npos) << Result.StgErr;
    }
}

// Runs started together on one output, as a batch may start them: a reader
// sees no output or a whole one, never half of one; the last to finish
// stands; no temporary file is left behind; each run's status is its own.
TEST_F(Tiles, ManyRunsAtOnceOnOneOutput)
{
    Put("g.asc", RandomGrid(400, 300, 4));
    std::vector<std::string> VecWhole;
    for (int LngRun = 1; LngRun <= 8; ++LngRun) {
        Runs({"scale", "g.asc", "x", std::to_string(LngRun), "-o", "e.asc"});
        VecWhole.push_back(ReadText(Dir / "e.asc"));
    }
    fs::remove(Dir / "e.asc");
    WriteText(Dir / "runs.sh",
              "for k in 1 2 3 4 5 6 7 8; do \"$1\" scale g.asc x $k -o out.asc & done\n"
              "\"$1\" scale missing.asc x 9 -o out.asc 2>/dev/null & failed=$!\n"
              "i=0\n"
              "while [ \"$(jobs -r | wc -l)\" -gt 0 ]; do\n"
              "    if [ -f out.asc ]; then cp out.asc seen-$i.txt; i=$((i + 1)); fi\n"
              "done\n"
              "wait $failed; echo \"failed $?\"\n"
              "wait\n");
    const TCommandResult Result = Shell("bash runs.sh " + ShellQuoted(PVX_MAP_BINARY));
    EXPECT_EQ(Result.StgOut, "failed 1\n");
    const auto Whole = [&](const fs::path& PthFile) {
        return std::find(VecWhole.begin(), VecWhole.end(), ReadText(PthFile)) != VecWhole.end();
    };
    EXPECT_TRUE(Whole(Dir / "out.asc"));
    for (const auto& Entry : fs::directory_iterator(Dir.Path())) {
        const std::string StgName = Entry.path().filename().string();
        EXPECT_NE(StgName.rfind(".pvx-", 0), 0U) << StgName << " left behind";
        if (StgName.rfind("seen-", 0) == 0) {
            EXPECT_TRUE(Whole(Entry.path())) << StgName << " is not a whole output";
        }
    }
}
