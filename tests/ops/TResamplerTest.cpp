// TResampler against gdalwarp (GDAL 3.6, -ot Float64, the grid's no-data
// value for -srcnodata and -dstnodata) on the same grids: generated ones at
// cell-size factors from 1/3 to 7.3 and on frames given whole, and the
// real-world corpus. Every cell within 1e-9 of gdalwarp's, the same cells no
// data, the same frame to 15 digits; a frame gdalwarp refuses is refused.
// Skipped without GDAL's tools, unless PVX_REQUIRE_GDAL=1 makes that a
// failure. Without GDAL: the same frame gives the grid back, a plane stays
// the plane, frames keep the corner, and what cannot be resampled is refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "io/TARCGISFileTools.h"
#include "io/TGridHeader.h"
#include "ops/OpsTestSupport.h"
#include "ops/TResampler.h"
#include "support/TCaseCount.h"
#include "support/TCommand.h"
#include "support/TGridText.h"
#include "support/TTempDir.h"
#include "util/TNoData.h"
#include "util/TSlices.h"

namespace {

using TMethod = TResampler::TMethod;

TCaseCount& SameAsGdal = RegisterCaseCount("resamplings agreeing with gdalwarp");
TCaseCount& UnreadableForGdal = RegisterCaseCount("resamplings of grids GDAL cannot read, skipped");

// A grid as the commands carry it: frame, no-data value, cells marked.
struct TMarkedGrid {
    TGridFrame Frame;
    double DblNoData;
    std::vector<double> VecCells;
};

TMarkedGrid Load(const std::string& StgFile)
{
    const std::unique_ptr<TMap> PtrMap(TARCGISFileTools::LoadARCGISFile(StgFile, TGridDialect::Tolerant));
    const TGridHeader Header = TGridHeader::OfMap(PtrMap.get());
    const TNoData NoData(Header.DblNoDataValue);
    TMarkedGrid Grid{{Header.LngCols, Header.LngRows, Header.DblXllCorner, Header.DblYllCorner,
                      Header.DblCellSize},
                     Header.DblNoDataValue,
                     {}};
    const double* PtrCells = PtrMap->GetCells();
    for (long LngCell = 0; LngCell < Header.LngCols * Header.LngRows; ++LngCell)
        Grid.VecCells.push_back(NoData.Mark(PtrCells[LngCell]));
    return Grid;
}

// The kernel driven as the streaming engine drives it: each target row from
// the source rows it asks for alone, each in an allocation of its own (a
// read past them fails under AddressSanitizer), rows on several threads.
std::vector<double> Resample(const TMarkedGrid& Grid, const TGridFrame& Target, TMethod Method)
{
    const TResampler Resampler(Grid.Frame, Target, Method);
    std::pair<long, long> Previous = Resampler.SourceRows(0, 1);
    for (long LngRow = 1; LngRow < Target.LngRows; ++LngRow) {
        const std::pair<long, long> Span = Resampler.SourceRows(LngRow, LngRow + 1);
        EXPECT_TRUE(Span.first >= Previous.first && Span.second >= Previous.second) << LngRow;
        Previous = Span;
    }
    const std::size_t LngCols = static_cast<std::size_t>(Target.LngCols);
    std::vector<double> VecOut(LngCols * static_cast<std::size_t>(Target.LngRows));
    TSlices::Run(static_cast<std::size_t>(Target.LngRows), 1, [&](std::size_t LngFirst, std::size_t LngLast) {
        for (std::size_t LngRow = LngFirst; LngRow < LngLast; ++LngRow) {
            const long LngAt = static_cast<long>(LngRow);
            const auto [LngLow, LngHigh] = Resampler.SourceRows(LngAt, LngAt + 1);
            std::vector<std::vector<double>> VecRows;
            std::vector<const double*> VecPointers;
            for (long LngSource = LngLow; LngSource < LngHigh; ++LngSource) {
                const auto ItRow = Grid.VecCells.begin() + LngSource * Grid.Frame.LngCols;
                VecRows.emplace_back(ItRow, ItRow + Grid.Frame.LngCols);
            }
            for (const std::vector<double>& VecRow : VecRows)
                VecPointers.push_back(VecRow.data());
            Resampler.Row(LngAt, VecPointers.data(), LngLow, VecOut.data() + LngRow * LngCols);
        }
    });
    return VecOut;
}

std::string NumberText(double DblValue)
{
    return std::isnan(DblValue) ? std::string("nan") : ShortestText(DblValue);
}

// One resampling of a grid: the method, and -tr alone or the frame whole.
struct TRun {
    TMethod Method;
    double DblCellSize;
    std::optional<TGridFrame> Frame;
};

// gdalwarp's result: columns, rows, west, north and cell size as its ENVI
// header gives them (to 15 digits), the cells as raw Float64. Empty when
// gdalwarp refuses, BlnUnreadable when GDAL cannot even read the grid (it
// cannot read one that starts with NaN).
struct TGdalGrid {
    std::vector<double> VecGeometry, VecCells;
    bool BlnUnreadable = false;
};

// The numbers on the line of Key in an ENVI header ("lines   = 3",
// "map info = {...}").
std::vector<double> HeaderNumbers(const std::string& StgHeader, const std::string& StgKey)
{
    std::vector<double> VecNumbers;
    const std::size_t LngAt = StgHeader.find("\n" + StgKey);
    if (LngAt == std::string::npos)
        return VecNumbers;
    const std::size_t LngEquals = StgHeader.find('=', LngAt);
    std::string StgLine = StgHeader.substr(LngEquals + 1, StgHeader.find('\n', LngEquals) - LngEquals - 1);
    for (char& ChrValue : StgLine)
        ChrValue = ChrValue == ',' || ChrValue == '{' ? ' ' : ChrValue;
    std::istringstream Stream(StgLine);
    for (std::string StgToken; Stream >> StgToken;) {
        char* PtrEnd = nullptr;
        const double DblValue = std::strtod(StgToken.c_str(), &PtrEnd);
        if (*PtrEnd == '\0')
            VecNumbers.push_back(DblValue);
    }
    return VecNumbers;
}

// Nothing when gdalwarp refuses.
std::optional<TGdalGrid> Gdalwarp(const std::string& StgFile, double DblNoData, const TRun& Run)
{
    const TTempDir Scratch;
    const std::string StgRaw = Scratch / "out.raw";
    const std::string StgSize = NumberText(Run.DblCellSize);
    std::string StgCommand = "gdalwarp -q -oo DATATYPE=Float64 -ot Float64 -of ENVI -r "
        + std::string(Run.Method == TMethod::Bilinear ? "bilinear" : "near") + " -srcnodata "
        + NumberText(DblNoData) + " -dstnodata " + NumberText(DblNoData) + " -tr " + StgSize + " "
        + StgSize;
    if (Run.Frame)
        StgCommand += " -te " + NumberText(Run.Frame->West()) + " " + NumberText(Run.Frame->South())
            + " " + NumberText(Run.Frame->East()) + " " + NumberText(Run.Frame->North());
    if (RunShell(StgCommand + " " + ShellQuoted(StgFile) + " " + ShellQuoted(StgRaw)).LngStatus != 0) {
        if (RunShell("gdal_translate -q -oo DATATYPE=Float64 -of ENVI " + ShellQuoted(StgFile) + " "
                     + ShellQuoted(StgRaw))
                .LngStatus == 0)
            return std::nullopt;
        TGdalGrid Unreadable;
        Unreadable.BlnUnreadable = true;
        return Unreadable;
    }
    const std::string StgHeader = ReadText(Scratch / "out.hdr");
    TGdalGrid Gdal{HeaderNumbers(StgHeader, "samples"), {}};
    for (const char* PtrKey : {"lines", "map info"})
        for (double DblValue : HeaderNumbers(StgHeader, PtrKey))
            Gdal.VecGeometry.push_back(DblValue);
    const std::string StgBytes = ReadText(StgRaw);
    Gdal.VecCells.resize(StgBytes.size() / sizeof(double));
    std::memcpy(Gdal.VecCells.data(), StgBytes.data(), Gdal.VecCells.size() * sizeof(double));
    return Gdal;
}

bool Agree15(double DblA, double DblB)
{
    return std::fabs(DblA - DblB) <= 1e-14 * std::max(std::fabs(DblA), std::fabs(DblB));
}

// Our resampling against gdalwarp's, the cells as a written file holds them
// (no data as the no-data value).
void ExpectSameAsGdal(const TMarkedGrid& Grid, const TRun& Run, const std::optional<TGdalGrid>& Gdal)
{
    std::optional<TGridFrame> Target = Run.Frame;
    try {
        if (!Target)
            Target = TResampler::FrameForCellSize(Grid.Frame, Run.DblCellSize);
    } catch (const TError&) {
    }
    ASSERT_EQ(Target.has_value(), Gdal.has_value()) << "refused by one of the two only";
    if (!Target)
        return;
    // samples, lines, then map info: pixel and line 1, 1 at west, north, cell sizes.
    ASSERT_EQ(Gdal->VecGeometry.size(), 9u);
    EXPECT_EQ(Gdal->VecGeometry[0], Target->LngCols);
    EXPECT_EQ(Gdal->VecGeometry[1], Target->LngRows);
    EXPECT_TRUE(Agree15(Target->West(), Gdal->VecGeometry[4]) && Agree15(Target->North(), Gdal->VecGeometry[5])
                && Agree15(Target->DblCellSize, Gdal->VecGeometry[6]));
    const std::vector<double> VecOurs = Resample(Grid, *Target, Run.Method);
    ASSERT_EQ(VecOurs.size(), Gdal->VecCells.size());
    const double DblNoData = Grid.DblNoData;
    const auto NoData = [&](double DblValue) {
        return DblValue == DblNoData || (std::isnan(DblValue) && std::isnan(DblNoData));
    };
    std::size_t LngWrong = 0;
    for (std::size_t LngCell = 0; LngCell < VecOurs.size(); ++LngCell) {
        const double DblOurs = TNoData::IsMarker(VecOurs[LngCell]) ? DblNoData : VecOurs[LngCell];
        const double DblGdal = Gdal->VecCells[LngCell];
        const bool BlnAgree = NoData(DblOurs) || NoData(DblGdal)
            ? NoData(DblOurs) == NoData(DblGdal)
            : SameValue(DblOurs, DblGdal)
                || std::fabs(DblOurs - DblGdal) <= 1e-9 * std::max(std::fabs(DblOurs), std::fabs(DblGdal));
        if (!BlnAgree && ++LngWrong <= 3)
            ADD_FAILURE() << "cell " << LngCell << ": " << DblOurs << " against gdalwarp's " << DblGdal;
    }
    EXPECT_EQ(LngWrong, 0u);
}

// LngCols x LngRows cells from (DblWest, DblSouth), each Value(column, row).
template <class TValue>
TGridText MakeGrid(long LngCols, long LngRows, double DblWest, double DblSouth, double DblCell,
                   TValue Value)
{
    TGridText Grid{LngCols, LngRows, DblWest, DblSouth, DblCell, -9999.0, {}};
    for (long LngRow = 0; LngRow < LngRows; ++LngRow)
        for (long LngCol = 0; LngCol < LngCols; ++LngCol)
            Grid.VecCells.push_back(Value(LngCol, LngRow));
    return Grid;
}

// Random values in [-100, 100], a share of them no data and another NaN;
// never the first cell, as GDAL cannot read a grid that starts with NaN.
std::function<double(long, long)> RandomValues(unsigned LngSeed, double DblNoData, double DblNan)
{
    const auto PtrRandom = std::make_shared<std::mt19937_64>(LngSeed);
    return [=](long LngCol, long LngRow) {
        std::uniform_real_distribution<double> Share(0, 1), Value(-100, 100);
        const double DblDraw = Share(*PtrRandom);
        const double DblValue = Value(*PtrRandom);
        if (LngCol + LngRow == 0 || DblDraw >= DblNoData + DblNan)
            return DblValue;
        return DblDraw < DblNoData ? -9999.0 : std::nan("");
    };
}

// A ring of no data LngWidth cells wide around the grid.
TGridText WithBorder(TGridText Grid, long LngWidth)
{
    for (long LngRow = 0; LngRow < Grid.LngRows; ++LngRow)
        for (long LngCol = 0; LngCol < Grid.LngCols; ++LngCol)
            if (std::min({LngRow, LngCol, Grid.LngRows - 1 - LngRow, Grid.LngCols - 1 - LngCol}) < LngWidth)
                Grid.VecCells[static_cast<std::size_t>(LngRow * Grid.LngCols + LngCol)] = -9999.0;
    return Grid;
}

struct TGridCase {
    const char* StgName;
    TGridText Grid;
};

const std::vector<TGridCase>& GridCases()
{
    static const std::vector<TGridCase> VecCases = {
        {"ramp", MakeGrid(23, 17, 0, 0, 10, [](long LngCol, long LngRow) { return 3.0 * LngCol - 2.0 * LngRow + 7; })},
        {"plane at a UTM corner", MakeGrid(31, 19, 512345.5, 4512345.5, 0.3, [](long LngCol, long LngRow) {
             return 0.37 * (512345.5 + 0.3 * (LngCol + 0.5)) - 0.11 * (4512351.2 - 0.3 * (LngRow + 0.5));
         })},
        {"random values", MakeGrid(26, 22, 100.25, -50.5, 1, RandomValues(1, 0, 0))},
        {"no-data holes and NaN cells", MakeGrid(25, 21, -3.1, 4.1, 2.5, RandomValues(2, 0.15, 0.08))},
        {"no-data border", WithBorder(MakeGrid(18, 14, 0.1, 0.2, 0.1, RandomValues(3, 0, 0)), 2)},
        {"one row", MakeGrid(40, 1, 0.1, 0.2, 0.3, RandomValues(4, 0.1, 0.05))},
        {"one column", MakeGrid(1, 35, 0, 0, 30, RandomValues(5, 0.1, 0.05))},
    };
    return VecCases;
}

class ResamplerAgainstGdal : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (RunShell("command -v gdalwarp").LngStatus == 0)
            return;
        const char* PtrRequire = std::getenv("PVX_REQUIRE_GDAL");
        if (PtrRequire && std::string(PtrRequire) == "1")
            FAIL() << "PVX_REQUIRE_GDAL=1 but gdalwarp is not installed";
        GTEST_SKIP() << "gdalwarp is not installed";
    }

    // The runs of one grid, gdalwarp's in parallel.
    void CheckAll(const std::string& StgFile, const TMarkedGrid& Grid, const std::vector<TRun>& VecRuns)
    {
        std::vector<std::optional<TGdalGrid>> VecGdal(VecRuns.size());
        TSlices::Run(VecRuns.size(), 1, [&](std::size_t LngFirst, std::size_t LngLast) {
            for (std::size_t LngRun = LngFirst; LngRun < LngLast; ++LngRun)
                VecGdal[LngRun] = Gdalwarp(StgFile, Grid.DblNoData, VecRuns[LngRun]);
        });
        const auto Failures = [] {
            return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
        };
        for (std::size_t LngRun = 0; LngRun < VecRuns.size(); ++LngRun) {
            const TRun& Run = VecRuns[LngRun];
            SCOPED_TRACE((Run.Method == TMethod::Bilinear ? "bilinear, cell size " : "nearest, cell size ")
                         + NumberText(Run.DblCellSize) + (Run.Frame ? ", frame given" : ""));
            if (VecGdal[LngRun] && VecGdal[LngRun]->BlnUnreadable) {
                UnreadableForGdal.Add();
                continue;
            }
            const int LngFailures = Failures();
            ExpectSameAsGdal(Grid, Run, VecGdal[LngRun]);
            if (Failures() == LngFailures)
                SameAsGdal.Add();
        }
    }

    TTempDir Dir;
};

}  // namespace

TEST_F(ResamplerAgainstGdal, GeneratedGridsAtEveryFactor)
{
    // 0: one new cell as wide as the grid's longer side.
    const std::vector<double> VecFactors = {1, 2, 3, 0.5, 1.0 / 3, 0.7, 1.3, 2.5, 7.3, 0};
    for (const TGridCase& Case : GridCases()) {
        SCOPED_TRACE(Case.StgName);
        const std::string StgFile = Dir / "grid.asc";
        WriteText(StgFile, GridFileText(Case.Grid));
        const TMarkedGrid Grid = Load(StgFile);
        const double R = Grid.Frame.DblCellSize;
        std::vector<TRun> VecRuns;
        for (double DblFactor : VecFactors) {
            const double DblCell = DblFactor > 0 ? DblFactor * R : std::max(Grid.Frame.LngCols, Grid.Frame.LngRows) * R;
            for (TMethod Method : {TMethod::Bilinear, TMethod::Nearest})
                VecRuns.push_back({Method, DblCell, std::nullopt});
        }
        CheckAll(StgFile, Grid, VecRuns);
    }
}

TEST_F(ResamplerAgainstGdal, FramesGivenWhole)
{
    const std::string StgFile = Dir / "grid.asc";
    WriteText(StgFile, GridFileText(GridCases()[3].Grid));
    const TMarkedGrid Grid = Load(StgFile);
    const TGridFrame& Source = Grid.Frame;
    const double R = Source.DblCellSize;
    // Columns, rows; west and south in source cells from the source's; cell
    // size in source cells.
    const struct {
        long LngCols, LngRows;
        double DblWest, DblSouth, DblCell;
    } ArrFrames[] = {
        {34, 27, -3, -2, 1},      // moved by whole cells, reaching beyond
        {20, 12, 0.37, 1.61, 1},  // moved by parts of a cell
        {15, 10, -7, -4.5, 2.5},  // coarser, half outside
        {50, 40, 2.2, 3.1, 0.4},  // finer, inside
        {6, 5, 40, 3, 1.3},       // beside the source
    };
    std::vector<TRun> VecRuns;
    for (const auto& Frame : ArrFrames) {
        const TGridFrame Target{Frame.LngCols, Frame.LngRows, Source.West() + Frame.DblWest * R,
                                Source.South() + Frame.DblSouth * R, Frame.DblCell * R};
        for (TMethod Method : {TMethod::Bilinear, TMethod::Nearest})
            VecRuns.push_back({Method, Target.DblCellSize, Target});
    }
    CheckAll(StgFile, Grid, VecRuns);
}

TEST_F(ResamplerAgainstGdal, RealWorldGrids)
{
    const char* PtrCorpus = std::getenv("PVX_GRID_CORPUS");
    const std::string StgCorpus = PtrCorpus ? PtrCorpus : PVX_SOURCE_DIR "/../shared/realworld-grids/files";
    std::error_code Err;
    if (!std::filesystem::is_directory(StgCorpus, Err))
        GTEST_SKIP() << "no grid corpus at " << StgCorpus;
    for (const auto& Entry : std::filesystem::directory_iterator(StgCorpus)) {
        const std::string StgFile = Entry.path().string();
        SCOPED_TRACE(StgFile);
        std::optional<TMarkedGrid> Grid;
        try {
            Grid = Load(StgFile);
        } catch (const TError&) {
            continue;  // what the loader refuses is GdalCorpusTest's
        }
        const double R = Grid->Frame.DblCellSize;
        CheckAll(StgFile, *Grid, {{TMethod::Bilinear, 0.5 * R, std::nullopt},
                                  {TMethod::Bilinear, 2.5 * R, std::nullopt},
                                  {TMethod::Bilinear, 3 * R, std::nullopt},
                                  {TMethod::Nearest, 0.7 * R, std::nullopt}});
    }
}

TEST(TResampler, TheSameFrameGivesTheGridBack)
{
    const TGridText Text = MakeGrid(13, 9, 512345.5, 4512345.5, 0.3, RandomValues(6, 0.2, 0.1));
    TMarkedGrid Grid{{Text.LngCols, Text.LngRows, Text.DblXllCorner, Text.DblYllCorner, Text.DblCellSize},
                     Text.DblNoData, {}};
    for (double DblCell : Text.VecCells)
        Grid.VecCells.push_back(TNoData(Text.DblNoData).Mark(DblCell));
    for (TMethod Method : {TMethod::Bilinear, TMethod::Nearest}) {
        const std::vector<double> VecOut = Resample(Grid, Grid.Frame, Method);
        ASSERT_EQ(VecOut.size(), Grid.VecCells.size());
        EXPECT_EQ(std::memcmp(VecOut.data(), Grid.VecCells.data(), VecOut.size() * sizeof(double)), 0);
    }
}

// Bilinear weights reproduce a plane wherever the kernel finds all its cells:
// between the outermost centres for finer cells, and a whole number of
// cells in from the edges for cells that many times coarser.
TEST(TResampler, APlaneStaysThePlaneInsideTheGrid)
{
    const auto Plane = [](double DblX, double DblY) { return 0.3 * DblX - 0.7 * DblY + 5; };
    const TGridFrame Source{24, 18, 100, 200, 10};
    TMarkedGrid Grid{Source, -9999.0, {}};
    for (long LngRow = 0; LngRow < Source.LngRows; ++LngRow)
        for (long LngCol = 0; LngCol < Source.LngCols; ++LngCol)
            Grid.VecCells.push_back(Plane(Source.ColumnCentre(LngCol), Source.RowCentre(LngRow)));
    for (double DblFactor : {1.0, 0.5, 0.7, 1.0 / 3, 2.0, 3.0}) {
        SCOPED_TRACE(DblFactor);
        const TGridFrame Target = TResampler::FrameForCellSize(Source, DblFactor * Source.DblCellSize);
        const std::vector<double> VecOut = Resample(Grid, Target, TMethod::Bilinear);
        const double DblReach = std::max(0.5, DblFactor) * Source.DblCellSize;
        long LngChecked = 0;
        for (long LngRow = 0; LngRow < Target.LngRows; ++LngRow)
            for (long LngCol = 0; LngCol < Target.LngCols; ++LngCol) {
                const double DblX = Target.ColumnCentre(LngCol), DblY = Target.RowCentre(LngRow);
                if (DblX - DblReach < Source.West() || DblX + DblReach > Source.East()
                    || DblY - DblReach < Source.South() || DblY + DblReach > Source.North())
                    continue;
                EXPECT_NEAR(VecOut[static_cast<std::size_t>(LngRow * Target.LngCols + LngCol)],
                            Plane(DblX, DblY), 1e-9 * std::fabs(Plane(DblX, DblY)))
                    << LngCol << ", " << LngRow;
                ++LngChecked;
            }
        EXPECT_GT(LngChecked, 0);
    }
}

// The north-west corner stays; the extent moves by less than half a new
// cell each way.
TEST(TResampler, FramesKeepTheCornerAndRoundTheExtent)
{
    const TGridFrame Source{23, 17, 512345.5, 4512345.5, 0.3};
    for (double DblCell : {0.3, 0.6, 0.9, 0.21, 1.3, 6.9, 0.1, 1e-3}) {
        const TGridFrame Target = TResampler::FrameForCellSize(Source, DblCell);
        EXPECT_EQ(Target.West(), Source.West());
        EXPECT_NEAR(Target.North(), Source.North(), 1e-9);
        EXPECT_LE(std::fabs(Target.East() - Source.East()), DblCell / 2 + 1e-9) << DblCell;
        EXPECT_LE(std::fabs(Target.South() - Source.South()), DblCell / 2 + 1e-9) << DblCell;
    }
}

TEST(TResampler, RefusesWhatCannotBeResampled)
{
    const TGridFrame Source{10, 10, 0, 0, 1};
    const std::string StgCellSize = "Cell size must be finite and greater than 0 in TResampler::FrameForCellSize";
    for (double DblCell : {0.0, -1.0, std::nan(""), HUGE_VAL})
        EXPECT_TERROR(TResampler::FrameForCellSize(Source, DblCell), StgCellSize);
    EXPECT_TERROR(TResampler::FrameForCellSize(Source, 21),
                  "Cell size is too large for the map in TResampler::FrameForCellSize");
    EXPECT_TERROR(TResampler::FrameForCellSize({1L << 40, 1L << 40, 0, 0, 1}, 1e-9),
                  "Map dimensions are too large to represent in TResampler::FrameForCellSize");
    const struct {
        TGridFrame Frame;
        const char* StgMessage;
    } ArrFrames[] = {
        {{0, 10, 0, 0, 1}, "frame has no cells in TResampler"},
        {{10, 10, 0, 0, std::nan("")}, "frame cell size must be finite and greater than 0 in TResampler"},
        {{10, 10, 0, 0, -1}, "frame cell size must be finite and greater than 0 in TResampler"},
        {{10, 10, HUGE_VAL, 0, 1}, "frame extent is out of range in TResampler"},
        {{10, 10, 0, 1.7e308, 1e307}, "frame extent is out of range in TResampler"},
    };
    for (const auto& Bad : ArrFrames) {
        EXPECT_TERROR(TResampler(Bad.Frame, Source, TMethod::Bilinear), std::string("Source ") + Bad.StgMessage);
        EXPECT_TERROR(TResampler(Source, Bad.Frame, TMethod::Nearest), std::string("Target ") + Bad.StgMessage);
    }
}
