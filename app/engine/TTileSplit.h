#pragma once
// The rows of one grid handed on to its tiles (see TTileLayout) as they
// stream past, each tile's cells a copy of its own. A tile is opened when the
// rows reach its first row and closed after its last, so that only the tiles
// of the bands of tile rows the current rows cross are open: two bands while
// the overlap is at most half the tile size. Takes whole rows (a row job's
// blocks), in order.

#include <map>
#include <vector>

#include "app/engine/TRowJob.h"
#include "app/engine/TTileLayout.h"

class TTileSplit : public TRowConsumer {
public:
    // Where the tiles go; tiles counted from 0, row-major.
    class TTargets {
    public:
        virtual ~TTargets() = default;
        // The consumer of tile (row, column), whose cells follow in order.
        virtual TRowConsumer& Open(long LngTileRow, long LngTileCol) = 0;
        // Every cell of the tile was given.
        virtual void Close(long LngTileRow, long LngTileCol) = 0;
    };

    TTileSplit(const TTileLayout& Layout, long LngCols, TTargets& Targets);

    void Take(double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells) override;

private:
    // The rows of a band of tile rows within the block of rows
    // LngBlockFirst..LngBlockLast-1 at PtrBlock.
    void TakeBand(long LngBand, const double* PtrBlock, long LngBlockFirst, long LngBlockLast);

    const TTileLayout& MbrLayout;
    long MbrLngCols;
    TTargets& MbrTargets;
    // The open bands: the consumers of their tiles.
    std::map<long, std::vector<TRowConsumer*>> MbrMapOpen;
    // The first band not yet closed.
    long MbrLngBand = 0;
    std::vector<double> MbrVecCells;
};
