#pragma once
// A grid read row by row, north row first, for the streaming engine: its
// frame, its no-data value as declared, and its rows with every no-data
// cell holding the marker (util/TNoData.h). Failures that concern the grid's
// content name it: "NAME: " before the reader's message.

#include <cstdint>
#include <string>

#include "app/TGridCrs.h"
#include "grid/TGridFrame.h"
#include "util/TNoData.h"

class TRowSource {
public:
    virtual ~TRowSource() = default;

    // The name as given ("-" for standard input) and as messages show it.
    virtual const std::string& Name() const = 0;
    virtual std::string Shown() const = 0;
    virtual const TGridFrame& Frame() const = 0;
    // As the grid declares it: none when it has no NODATA_value.
    virtual const TNoData& NoData() const = 0;
    // The coordinate system its outputs get.
    virtual TGridCrs Crs() const = 0;
    // True for what arrives as it is written (a pipe, a terminal): the engine
    // then passes on what came in small blocks.
    virtual bool Flowing() const = 0;

    // The next LngCells cells, row after row, into PtrCells.
    virtual void ReadCells(double* PtrCells, std::uint64_t LngCells) = 0;
    // The cells read so far.
    virtual std::uint64_t CellsRead() const = 0;
    // Back to the first row, for a run that reads the grid again.
    virtual void Restart() = 0;
    // The source will not be restarted: what a restart would need is let go.
    virtual void ReadOnce() = 0;
};
