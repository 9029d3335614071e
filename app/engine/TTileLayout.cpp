#include "app/engine/TTileLayout.h"

#include <algorithm>

TTileLayout::TTileLayout(long LngRows, long LngCols, long LngSize, long LngOverlap)
    : MbrLngRows(LngRows), MbrLngCols(LngCols), MbrLngSize(LngSize), MbrLngOverlap(LngOverlap)
{
}

// Sizes and overlaps up to LONG_MAX: every step stays within the grid.
TTileLayout::TSpan TTileLayout::Covered(long LngTile, long LngCells) const
{
    const long LngStart = LngTile * MbrLngSize;
    const long LngEnd = LngStart + std::min(MbrLngSize, LngCells - LngStart);
    return {LngStart - std::min(MbrLngOverlap, LngStart), LngEnd + std::min(MbrLngOverlap, LngCells - LngEnd)};
}
