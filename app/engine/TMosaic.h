#pragma once
// A mosaic's rows streamed from its tiles (see TMosaicPlan), block after
// block of rows: a tile is opened when the rows reach the part it gives and
// let go once they pass it, so that only the tiles the current rows cross
// are open, however many there are. The tiles of a block are read on all
// cores, a tile a thread, and merged in the plan's order; memory grows with
// the width of the mosaic, never with its height or the number of tiles.

#include <cstddef>
#include <functional>
#include <memory>

#include "app/engine/TMosaicPlan.h"
#include "app/engine/TRowJob.h"
#include "app/engine/TRowSource.h"

class TProgress;

class TMosaic {
public:
    // Opens tile k of the plan, from its first row.
    using TOpen = std::function<std::unique_ptr<TRowSource>(std::size_t LngTile)>;

    // LngBlockRows: the rows of a block (DefaultBlockRows, or fewer for
    // tests that cut mosaics everywhere).
    TMosaic(const TMosaicPlan& Plan, TOpen Open, long LngBlockRows);

    // A block of about a MiB of cells, at least a row.
    static long DefaultBlockRows(long LngCols);

    // Hands every row of the mosaic to Consumer, in order, no-data cells
    // the marker. Throws the tiles' failures, and TError("NAME changed
    // while the mosaic was made") for a tile whose size is not the planned.
    void Run(TRowConsumer& Consumer, TProgress* PtrProgress);

private:
    class TOpenTile;

    const TMosaicPlan& MbrPlan;
    TOpen MbrOpen;
    long MbrLngBlockRows;
};
