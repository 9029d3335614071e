// The streaming engine against plain loops over the whole grid: every job on
// 1, 2, 3 and 7 threads, blocks of every size from one row (one cell) up,
// and reader windows of a few bytes, gives the cells of the plain loop.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <sstream>

#include "app/engine/TAsciiSource.h"
#include "app/engine/TBlockJob.h"
#include "app/engine/TCellJob.h"
#include "app/engine/TInsertJob.h"
#include "app/engine/TPartnerJob.h"
#include "app/engine/TRowEngine.h"
#include "app/engine/TSubdivideJob.h"
#include "io/TGridReader.h"
#include "support/TGridText.h"
#include "util/TNoData.h"
#include "util/TSlices.h"

namespace {

constexpr double NoData = -9999;

// A grid of random values, a tenth no data, with a NaN or two.
TGridText RandomGrid(long LngCols, long LngRows, double DblXll, double DblYll, double DblCellSize,
                     unsigned LngSeed)
{
    std::mt19937 Random(LngSeed);
    std::uniform_real_distribution<double> Value(-100, 100);
    TGridText Grid{LngCols, LngRows, DblXll, DblYll, DblCellSize, NoData, {}};
    for (long LngCell = 0; LngCell < LngCols * LngRows; ++LngCell)
        Grid.VecCells.push_back(Random() % 10 == 0 ? NoData : Random() % 37 == 0 ? std::nan("") : Value(Random));
    return Grid;
}

// Every cell the consumer is given, in order; markers shown as NoData.
class TCollect : public TRowConsumer {
public:
    void Take(double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells) override
    {
        EXPECT_EQ(LngFirst, VecCells.size());
        for (std::size_t LngCell = 0; LngCell < LngCells; ++LngCell)
            VecCells.push_back(TNoData::IsMarker(PtrPlanes[0][LngCell]) ? NoData : PtrPlanes[0][LngCell]);
    }
    std::vector<double> VecCells;
};

struct TCase {
    const char* StgName;
    std::vector<TGridText> VecInputs;
    long LngCols;
    long LngRows;
    std::function<std::unique_ptr<TRowJob>()> MakeJob;
    // The expected output cell (column, row).
    std::function<double(long, long)> Expected;
};

bool Same(double DblA, double DblB)
{
    return (std::isnan(DblA) && std::isnan(DblB)) || DblA == DblB;
}

double At(const TGridText& Grid, long LngCol, long LngRow)
{
    return Grid.VecCells[static_cast<std::size_t>(LngRow * Grid.LngCols + LngCol)];
}

void ExpectCase(const TCase& Case)
{
    for (unsigned LngThreads : {1U, 2U, 3U, 7U})
        for (long LngBlock : {1L, 2L, 3L, 5L, 0L}) {
            TSlices::SetThreads(LngThreads, true);
            TGridReader::SetWindowBytes(LngThreads > 1 ? 5 : 0);
            TRowEngine::SetBlock(LngBlock);
            std::vector<std::unique_ptr<std::istringstream>> VecTexts;
            std::vector<std::unique_ptr<TAsciiSource>> VecSources;
            std::vector<TRowSource*> VecRaw;
            for (const TGridText& Input : Case.VecInputs) {
                VecTexts.push_back(std::make_unique<std::istringstream>(GridFileText(Input)));
                VecSources.push_back(std::make_unique<TAsciiSource>(*VecTexts.back(), "", TAsciiSource::TRules{}));
                VecRaw.push_back(VecSources.back().get());
            }
            TCollect Collect;
            TRowEngine::Run(VecRaw, {Case.LngCols, Case.LngRows}, *Case.MakeJob(), Collect, nullptr);
            ASSERT_EQ(Collect.VecCells.size(), static_cast<std::size_t>(Case.LngCols * Case.LngRows)) << Case.StgName;
            for (long LngCell = 0; LngCell < Case.LngCols * Case.LngRows; ++LngCell) {
                const double DblExpected = Case.Expected(LngCell % Case.LngCols, LngCell / Case.LngCols);
                ASSERT_TRUE(Same(Collect.VecCells[static_cast<std::size_t>(LngCell)], DblExpected))
                    << Case.StgName << " cell " << LngCell << ": " << Collect.VecCells[static_cast<std::size_t>(LngCell)]
                    << " expected " << DblExpected << ", threads " << LngThreads << ", block " << LngBlock;
            }
        }
    TSlices::SetThreads(0);
    TGridReader::SetWindowBytes(0);
    TRowEngine::SetBlock(0);
}

}  // namespace

TEST(RowEngine, JobsGiveThePlainLoopsCellsOnAnyThreadsAndBlocks)
{
    const TGridText A = RandomGrid(7, 9, 100, 200, 10, 1);
    const TGridText B = RandomGrid(7, 9, 100, 200, 10, 2);
    const TGridText Coarse = RandomGrid(3, 4, 90, 190, 30, 3);
    const TGridText Piece = RandomGrid(3, 2, 120, 240, 10, 4);
    const TGridText Thin = RandomGrid(1, 23, 0, 0, 1, 5);
    const TGridText Flat = RandomGrid(29, 1, 0, 0, 1, 6);
    const auto Sum = [](const double* const* PtrIn, std::size_t LngCells, double* const* PtrOut) {
        for (std::size_t LngCell = 0; LngCell < LngCells; ++LngCell)
            PtrOut[0][LngCell] = TNoData::IsMarker(PtrIn[0][LngCell]) || TNoData::IsMarker(PtrIn[1][LngCell])
                ? TNoData::Marker()
                : PtrIn[0][LngCell] + PtrIn[1][LngCell];
    };
    const auto SumOf = [](const TGridText& First, const TGridText& Second) {
        return [&First, &Second](long LngCol, long LngRow) {
            const double DblA = At(First, LngCol, LngRow);
            const double DblB = At(Second, LngCol, LngRow);
            return DblA == NoData || DblB == NoData ? NoData : DblA + DblB;
        };
    };
    const TCase ArrCases[] = {
        {"cellwise", {A, B}, 7, 9, [&] { return std::make_unique<TCellJob>(2, Sum); }, SumOf(A, B)},
        {"cellwise, one column", {Thin, Thin}, 1, 23, [&] { return std::make_unique<TCellJob>(2, Sum); }, SumOf(Thin, Thin)},
        {"cellwise, one row", {Flat, Flat}, 29, 1, [&] { return std::make_unique<TCellJob>(2, Sum); }, SumOf(Flat, Flat)},
        // The coarse grid, 10 west and 20 north of A, holds the centres of
        // A's columns 3 j - 1 .. 3 j + 1 in its column j, of its rows 3 k - 2 .. 3 k in its row k.
        {"coarser partner", {A, Coarse}, 7, 9,
         [&] { return std::make_unique<TPartnerJob>(TGridFrame{7, 9, 100, 200, 10}, TGridFrame{3, 4, 90, 190, 30}, false, TPartnerJob::TOp::Add); },
         [&](long LngCol, long LngRow) {
             const double DblA = At(A, LngCol, LngRow);
             const double DblB = At(Coarse, (LngCol + 1) / 3, (LngRow + 2) / 3);
             return DblA == NoData || DblB == NoData ? NoData : DblA + DblB;
         }},
        {"subdivided", {Coarse}, 6, 8, [] { return std::make_unique<TSubdivideJob>(2, 3); },
         [&](long LngCol, long LngRow) { return At(Coarse, LngCol / 2, LngRow / 2); }},
        {"block", {A}, 4, 5, [] { return std::make_unique<TBlockJob>(3, 2, 4); },
         [&](long LngCol, long LngRow) { return At(A, LngCol + 2, LngRow + 3); }},
        {"inserted", {A, Piece}, 7, 9, [] { return std::make_unique<TInsertJob>(3, 2, 2, 3); },
         [&](long LngCol, long LngRow) {
             const bool BlnInside = LngRow >= 3 && LngRow < 5 && LngCol >= 2 && LngCol < 5;
             const double DblPiece = BlnInside ? At(Piece, LngCol - 2, LngRow - 3) : NoData;
             return DblPiece != NoData ? DblPiece : At(A, LngCol, LngRow);
         }},
    };
    for (const TCase& Case : ArrCases)
        ExpectCase(Case);
}
