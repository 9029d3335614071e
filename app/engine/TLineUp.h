#pragma once
// Grids that line up cell for cell: the same columns, rows and cell size,
// and corners that differ by less than 1/1024 of a cell, so that pairing
// cells by index pairs the cells that cover the same ground. (Cell sizes
// count as the same when, over the whole grid, the difference adds up to
// less than 1/1024 of a cell.)

#include <string>

#include "app/engine/TRowSource.h"

namespace TLineUp {

// Throws TError("A and B do not line up: WHAT"), WHAT naming the first
// entry that differs and both values ("xllcorner 10 and 510").
void Require(const TRowSource& First, const TRowSource& Other);

// Whether two frames line up.
bool Holds(const TGridFrame& First, const TGridFrame& Other);

}  // namespace TLineUp
