#include "app/engine/TTileSplit.h"

#include <algorithm>

TTileSplit::TTileSplit(const TTileLayout& Layout, long LngCols, TTargets& Targets)
    : MbrLayout(Layout), MbrLngCols(LngCols), MbrTargets(Targets)
{
}

void TTileSplit::Take(double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells)
{
    const auto LngCols = static_cast<std::uint64_t>(MbrLngCols);
    const auto LngFirstRow = static_cast<long>(LngFirst / LngCols);
    const long LngLastRow = LngFirstRow + static_cast<long>(LngCells / LngCols);
    // Bands start and end in order: those from the first not yet closed on
    // that start before the block ends.
    for (long LngBand = MbrLngBand;
         LngBand < MbrLayout.TileRows() && MbrLayout.Rows(LngBand).LngFirst < LngLastRow; ++LngBand)
        TakeBand(LngBand, PtrPlanes[0], LngFirstRow, LngLastRow);
    while (MbrLngBand < MbrLayout.TileRows() && MbrLayout.Rows(MbrLngBand).LngLast <= LngLastRow)
        ++MbrLngBand;
}

void TTileSplit::TakeBand(long LngBand, const double* PtrBlock, long LngBlockFirst, long LngBlockLast)
{
    const TTileLayout::TSpan Rows = MbrLayout.Rows(LngBand);
    const long LngFirst = std::max(LngBlockFirst, Rows.LngFirst);
    const long LngLast = std::min(LngBlockLast, Rows.LngLast);
    std::vector<TRowConsumer*>& VecTiles = MbrMapOpen[LngBand];
    if (LngFirst == Rows.LngFirst)
        for (long LngTile = 0; LngTile < MbrLayout.TileCols(); ++LngTile)
            VecTiles.push_back(&MbrTargets.Open(LngBand, LngTile));
    for (long LngTile = 0; LngTile < MbrLayout.TileCols(); ++LngTile) {
        const TTileLayout::TSpan Cols = MbrLayout.Cols(LngTile);
        const long LngWidth = Cols.LngLast - Cols.LngFirst;
        MbrVecCells.resize(static_cast<std::size_t>(LngWidth * (LngLast - LngFirst)));
        // A copy of its own: a tile's writer changes the cells it is given,
        // which its neighbours share.
        for (long LngRow = LngFirst; LngRow < LngLast; ++LngRow) {
            const double* PtrFrom = PtrBlock + (LngRow - LngBlockFirst) * MbrLngCols + Cols.LngFirst;
            std::copy(PtrFrom, PtrFrom + LngWidth, MbrVecCells.data() + (LngRow - LngFirst) * LngWidth);
        }
        double* PtrCells = MbrVecCells.data();
        VecTiles[static_cast<std::size_t>(LngTile)]->Take(
            &PtrCells, static_cast<std::uint64_t>((LngFirst - Rows.LngFirst) * LngWidth), MbrVecCells.size());
    }
    if (LngLast == Rows.LngLast) {
        for (long LngTile = 0; LngTile < MbrLayout.TileCols(); ++LngTile)
            MbrTargets.Close(LngBand, LngTile);
        MbrMapOpen.erase(LngBand);
    }
}
