#include "app/engine/TMosaic.h"

#include <algorithm>
#include <vector>

#include "app/TProgress.h"
#include "util/TError.h"
#include "util/TNoData.h"
#include "util/TSlices.h"

namespace {

// Cells of a block of the mosaic: a MiB, and as much again in the tiles'
// rows, so that many open tiles still hold little each.
constexpr std::size_t BlockCells = std::size_t{1} << 17;

}  // namespace

// A tile while the mosaic's rows cross the part it gives: its source, and
// its rows within the current block.
class TMosaic::TOpenTile {
public:
    TOpenTile(std::size_t LngIndex, const TMosaicPlan::TTile& Tile, std::unique_ptr<TRowSource> PtrSource)
        : MbrLngIndex(LngIndex), MbrTile(Tile), MbrPtrSource(std::move(PtrSource))
    {
        const TGridFrame& Frame = MbrPtrSource->Frame();
        if (Frame.LngCols != Tile.LngCols || Frame.LngRows != Tile.LngRows)
            throw TError(MbrPtrSource->Shown() + " changed while the mosaic was made");
    }

    std::size_t Index() const { return MbrLngIndex; }
    // Whether the part it gives ends before mosaic row LngRow.
    bool EndsBefore(long LngRow) const { return MbrTile.LngRow + MbrTile.LngLastRow <= LngRow; }

    // Reads its rows that mosaic rows LngFirst..LngLast-1 take from it, the
    // rows it does not give before them skipped.
    void Read(long LngFirst, long LngLast)
    {
        MbrLngFirst = std::max(MbrTile.LngFirstRow, LngFirst - MbrTile.LngRow);
        MbrLngLast = std::min(MbrTile.LngLastRow, LngLast - MbrTile.LngRow);
        MbrVecCells.resize(Cells(MbrLngLast - MbrLngFirst));
        for (long LngStep; (LngStep = std::min(MbrLngFirst - MbrLngRead, MbrLngLast - MbrLngFirst)) > 0;
             MbrLngRead += LngStep)
            MbrPtrSource->ReadCells(MbrVecCells.data(), Cells(LngStep));
        MbrPtrSource->ReadCells(MbrVecCells.data(), MbrVecCells.size());
        MbrLngRead = MbrLngLast;
    }

    // Its cells on mosaic row LngRow, where the row holds no data yet.
    void Fill(long LngRow, double* PtrRow) const
    {
        const long LngOwn = LngRow - MbrTile.LngRow;
        if (LngOwn < MbrLngFirst || LngOwn >= MbrLngLast)
            return;
        const double* PtrFrom = MbrVecCells.data() + Cells(LngOwn - MbrLngFirst) + MbrTile.LngFirstCol;
        double* PtrTo = PtrRow + MbrTile.LngCol + MbrTile.LngFirstCol;
        for (long LngCol = 0; LngCol < MbrTile.LngLastCol - MbrTile.LngFirstCol; ++LngCol)
            if (TNoData::IsMarker(PtrTo[LngCol]))
                PtrTo[LngCol] = PtrFrom[LngCol];
    }

private:
    std::size_t Cells(long LngRows) const { return static_cast<std::size_t>(LngRows * MbrTile.LngCols); }

    std::size_t MbrLngIndex;
    const TMosaicPlan::TTile& MbrTile;
    std::unique_ptr<TRowSource> MbrPtrSource;
    // Its rows read so far, and those held: LngFirst..LngLast-1.
    long MbrLngRead = 0;
    long MbrLngFirst = 0;
    long MbrLngLast = 0;
    std::vector<double> MbrVecCells;
};

TMosaic::TMosaic(const TMosaicPlan& Plan, TOpen Open, long LngBlockRows)
    : MbrPlan(Plan), MbrOpen(std::move(Open)), MbrLngBlockRows(LngBlockRows)
{
}

long TMosaic::DefaultBlockRows(long LngCols)
{
    return static_cast<long>(std::max<std::size_t>(1, BlockCells / static_cast<std::size_t>(std::max(1L, LngCols))));
}

void TMosaic::Run(TRowConsumer& Consumer, TProgress* PtrProgress)
{
    const std::vector<TMosaicPlan::TTile>& VecTiles = MbrPlan.Tiles();
    const auto Start = [&](std::size_t LngTile) { return VecTiles[LngTile].LngRow + VecTiles[LngTile].LngFirstRow; };
    // The tiles that give cells, by the first row they give.
    std::vector<std::size_t> VecWaiting;
    for (std::size_t LngTile = 0; LngTile < VecTiles.size(); ++LngTile)
        if (VecTiles[LngTile].Gives())
            VecWaiting.push_back(LngTile);
    std::stable_sort(VecWaiting.begin(), VecWaiting.end(),
                     [&](std::size_t LngA, std::size_t LngB) { return Start(LngA) < Start(LngB); });
    auto ItNext = VecWaiting.begin();

    const TGridFrame& Frame = MbrPlan.Frame();
    const auto LngCols = static_cast<std::size_t>(Frame.LngCols);
    const std::size_t LngMinRows = TSlices::MinCells / std::max<std::size_t>(1, LngCols) + 1;
    std::vector<double> VecBlock(LngCols * static_cast<std::size_t>(std::min(MbrLngBlockRows, Frame.LngRows)));
    // In the plan's order, the first tile holding data at a cell giving it.
    std::vector<std::unique_ptr<TOpenTile>> VecOpen;
    for (long LngFirst = 0; LngFirst < Frame.LngRows; LngFirst += MbrLngBlockRows) {
        const long LngLast = std::min(Frame.LngRows, LngFirst + MbrLngBlockRows);
        for (; ItNext != VecWaiting.end() && Start(*ItNext) < LngLast; ++ItNext) {
            const auto ItAt = std::upper_bound(VecOpen.begin(), VecOpen.end(), *ItNext,
                                               [](std::size_t LngTile, const auto& PtrOpen) { return LngTile < PtrOpen->Index(); });
            VecOpen.insert(ItAt, std::make_unique<TOpenTile>(*ItNext, VecTiles[*ItNext], MbrOpen(*ItNext)));
        }
        TSlices::Run(VecOpen.size(), 1, [&](std::size_t LngFrom, std::size_t LngTo) {
            for (std::size_t LngOpen = LngFrom; LngOpen < LngTo; ++LngOpen)
                VecOpen[LngOpen]->Read(LngFirst, LngLast);
        });
        const std::size_t LngCells = LngCols * static_cast<std::size_t>(LngLast - LngFirst);
        std::fill(VecBlock.begin(), VecBlock.begin() + static_cast<long>(LngCells), TNoData::Marker());
        TSlices::Run(static_cast<std::size_t>(LngLast - LngFirst), LngMinRows, [&](std::size_t LngFrom, std::size_t LngTo) {
            for (std::size_t LngRow = LngFrom; LngRow < LngTo; ++LngRow)
                for (const auto& PtrOpen : VecOpen)
                    PtrOpen->Fill(LngFirst + static_cast<long>(LngRow), VecBlock.data() + LngRow * LngCols);
        });
        double* PtrBlock = VecBlock.data();
        const std::uint64_t LngFirstCell = static_cast<std::uint64_t>(LngFirst) * LngCols;
        Consumer.Take(&PtrBlock, LngFirstCell, LngCells);
        if (PtrProgress)
            PtrProgress->Update(LngFirstCell + LngCells);
        VecOpen.erase(std::remove_if(VecOpen.begin(), VecOpen.end(),
                                     [&](const auto& PtrOpen) { return PtrOpen->EndsBefore(LngLast); }),
                      VecOpen.end());
    }
}
