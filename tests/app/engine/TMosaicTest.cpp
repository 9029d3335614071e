// The mosaic's streaming against the cells placed whole: tiles strewn over a
// lattice with gaps and overlaps, each with its own no-data value, give on
// 1, 2 and 3 threads, in blocks of every size from one row up, and in reader
// windows of a few bytes, the cells of each tile's part laid in the plan's
// order, the first holding data at a cell giving it.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "app/engine/TAsciiSource.h"
#include "app/engine/TMosaic.h"
#include "io/TGridReader.h"
#include "support/TGridText.h"
#include "util/TNoData.h"
#include "util/TSlices.h"

namespace {

constexpr double Marker = -1e300;  // no data, as collected

// Tiles of up to 6 x 6 cells anywhere over 16 x 16 cells of 10 units, a
// fifth of their cells no data, under NODATA_values of their own.
std::vector<TGridText> StrewnTiles(unsigned LngSeed)
{
    std::mt19937 Random(LngSeed);
    const auto Below = [&](long LngCount) { return static_cast<long>(Random() % static_cast<unsigned long>(LngCount)); };
    const double ArrNoData[] = {-9999, -1, 0};
    std::vector<TGridText> VecTiles;
    for (long LngTile = 0; LngTile < 14; ++LngTile) {
        TGridText Tile{1 + Below(6), 1 + Below(6), 1000.0 + 10.0 * Below(16), 2000.0 + 10.0 * Below(16), 10,
                       ArrNoData[Below(3)], {}};
        for (long LngCell = 0; LngCell < Tile.LngCols * Tile.LngRows; ++LngCell)
            Tile.VecCells.push_back(Below(5) == 0 ? Tile.DblNoData : static_cast<double>(1 + LngTile * 100 + LngCell));
        VecTiles.push_back(Tile);
    }
    return VecTiles;
}

std::vector<double> Placed(const TMosaicPlan& Plan, const std::vector<TGridText>& VecTiles)
{
    const TGridFrame& Frame = Plan.Frame();
    std::vector<double> VecCells(static_cast<std::size_t>(Frame.LngCols * Frame.LngRows), Marker);
    for (std::size_t LngTile = 0; LngTile < VecTiles.size(); ++LngTile) {
        const TMosaicPlan::TTile& Tile = Plan.Tiles()[LngTile];
        for (long LngRow = Tile.LngFirstRow; LngRow < Tile.LngLastRow; ++LngRow)
            for (long LngCol = Tile.LngFirstCol; LngCol < Tile.LngLastCol; ++LngCol) {
                double& DblOut = VecCells[static_cast<std::size_t>((Tile.LngRow + LngRow) * Frame.LngCols + Tile.LngCol + LngCol)];
                const double DblCell = VecTiles[LngTile].VecCells[static_cast<std::size_t>(LngRow * Tile.LngCols + LngCol)];
                if (DblOut == Marker && DblCell != VecTiles[LngTile].DblNoData)
                    DblOut = DblCell;
            }
    }
    return VecCells;
}

class TCollect : public TRowConsumer {
public:
    void Take(double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells) override
    {
        EXPECT_EQ(LngFirst, VecCells.size());
        for (std::size_t LngCell = 0; LngCell < LngCells; ++LngCell)
            VecCells.push_back(TNoData::IsMarker(PtrPlanes[0][LngCell]) ? Marker : PtrPlanes[0][LngCell]);
    }
    std::vector<double> VecCells;
};

}  // namespace

TEST(Mosaic, StreamsTheCellsPlacedWholeOnAnyThreadsAndBlocks)
{
    for (unsigned LngSeed = 1; LngSeed <= 6; ++LngSeed) {
        const std::vector<TGridText> VecTiles = StrewnTiles(LngSeed);
        std::vector<std::string> VecNames;
        std::vector<TGridFrame> VecFrames;
        for (const TGridText& Tile : VecTiles) {
            VecNames.push_back("tile" + std::to_string(VecNames.size()));
            VecFrames.push_back({Tile.LngCols, Tile.LngRows, Tile.DblXllCorner, Tile.DblYllCorner, Tile.DblCellSize});
        }
        const TMosaicPlan Plan(VecNames, VecFrames, LngSeed % 3);
        const std::vector<double> VecExpected = Placed(Plan, VecTiles);
        for (unsigned LngThreads : {1U, 2U, 3U})
            for (long LngBlock : {1L, 2L, 3L, 5L, TMosaic::DefaultBlockRows(Plan.Frame().LngCols)}) {
                TSlices::SetThreads(LngThreads, true);
                TGridReader::SetWindowBytes(LngThreads > 1 ? 5 : 0);
                std::vector<std::unique_ptr<std::istringstream>> VecTexts;
                const auto Open = [&](std::size_t LngTile) -> std::unique_ptr<TRowSource> {
                    VecTexts.push_back(std::make_unique<std::istringstream>(GridFileText(VecTiles[LngTile])));
                    return std::make_unique<TAsciiSource>(*VecTexts.back(), VecNames[LngTile], TAsciiSource::TRules{});
                };
                TCollect Collect;
                TMosaic(Plan, Open, LngBlock).Run(Collect, nullptr);
                EXPECT_EQ(Collect.VecCells, VecExpected) << "seed " << LngSeed << ", threads " << LngThreads << ", block " << LngBlock;
            }
    }
    TSlices::SetThreads(0);
    TGridReader::SetWindowBytes(0);
}
