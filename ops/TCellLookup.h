#pragma once
// For every cell of a driving map, the cell of another map that holds its
// centre: one lookup per column and per row, not per cell.
// Internal to the operations; not installed.

#include <vector>

#include "grid/TMap.h"

struct TPartnerCells {
    std::vector<long> VecCols;  // partner column of each driving column
    std::vector<long> VecRows;  // partner row of each driving row

    // Throws what TMap::GetPointVal(TPoint*) on Partner throws at the first
    // driving cell, rows outer and columns inner, whose centre lies outside
    // the partner or in none of its cells. A driving map without cells has
    // no partner cells.
    static TPartnerCells Of(const TMap& Driving, const TMap& Partner);
};
