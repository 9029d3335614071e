#pragma once
// Where tiles go in a mosaic, planned from their headers alone. The tiles
// must lie on the first one's lattice of cells (see TLineUp::OnLattice); the
// mosaic covers their union, on the first tile's cell size. Where tiles
// overlap, each gives up LngOverlap cells on every side across which another
// tile reaches into it (a tile whose extent holds its edge and goes beyond
// it), so that tiles cut with that overlap give back their own cells; where
// what is left still overlaps, the first tile in the list that holds data
// at a cell gives it.

#include <string>
#include <vector>

#include "grid/TGridFrame.h"

class TMosaicPlan {
public:
    struct TTile {
        // Where its north-west cell lies in the mosaic, and its size.
        long LngRow;
        long LngCol;
        long LngRows;
        long LngCols;
        // The part of its own cells it gives: rows LngFirstRow..LngLastRow-1
        // and columns LngFirstCol..LngLastCol-1 (none when first >= last).
        long LngFirstRow;
        long LngLastRow;
        long LngFirstCol;
        long LngLastCol;

        bool Gives() const { return LngFirstRow < LngLastRow && LngFirstCol < LngLastCol; }
    };

    // The tiles' names (for messages) and frames, in order. Throws TLineUp's
    // failure for a tile off the lattice, and TError when the mosaic would
    // be larger than an ASCII grid holds.
    TMosaicPlan(const std::vector<std::string>& VecNames, const std::vector<TGridFrame>& VecFrames,
                long LngOverlap);

    const TGridFrame& Frame() const { return MbrFrame; }
    const std::vector<TTile>& Tiles() const { return MbrVecTiles; }

private:
    void Place(const std::vector<std::string>& VecNames, const std::vector<TGridFrame>& VecFrames);
    // Trims each tile where another reaches into it.
    void Trim(long LngOverlap);

    TGridFrame MbrFrame;
    std::vector<TTile> MbrVecTiles;
};
