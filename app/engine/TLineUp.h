#pragma once
// Grids that line up cell for cell: the same columns, rows and cell size,
// and corners that differ by less than 1/1024 of a cell, so that pairing
// cells by index pairs the cells that cover the same ground. (Cell sizes
// count as the same when, over the whole grid, the difference adds up to
// less than 1/1024 of a cell.) Grids on one lattice of cells (tiles) have
// the same cell size and corners whole cells apart, by the same tolerance.

#include <string>

#include "app/engine/TRowSource.h"

namespace TLineUp {

// Throws TError("A and B do not line up: WHAT"), WHAT naming the first
// entry that differs and both values ("xllcorner 10 and 510").
void Require(const TRowSource& First, const TRowSource& Other);

// Whether two frames line up.
bool Holds(const TGridFrame& First, const TGridFrame& Other);

// Where Other lies on First's lattice of cells: how many of First's cells
// its lower-left corner lies east and north of First's. It must have
// First's cell size (over its own extent, as above) and corners a whole
// number of cells from First's, within 1/1024 of a cell; otherwise throws
// TError("OTHER does not lie on the cells of FIRST: WHAT"), WHAT naming the
// entry ("cellsize 5 and 10", "xllcorner 12.5 lies 0.25 of a cell off").
struct TCellOffset {
    long LngEast;
    long LngNorth;
};
TCellOffset OnLattice(const std::string& StgFirst, const TGridFrame& First, const std::string& StgOther,
                      const TGridFrame& Other);

}  // namespace TLineUp
