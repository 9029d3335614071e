#pragma once
// A grid cut into tiles of Size x Size cells, counted from the north-west
// corner, the last row and column of tiles smaller. Each tile takes Overlap
// cells more on every side where the grid has them, so that an operation
// over a window of up to Overlap cells gives on the tile's own cells what it
// gives on the whole grid.

class TTileLayout {
public:
    // Cells LngFirst..LngLast-1 along one direction of the grid.
    struct TSpan {
        long LngFirst;
        long LngLast;
    };

    // LngSize at least 1, LngOverlap at least 0.
    TTileLayout(long LngRows, long LngCols, long LngSize, long LngOverlap);

    long TileRows() const { return Count(MbrLngRows); }
    long TileCols() const { return Count(MbrLngCols); }
    // The grid rows of tile row k, and the grid columns of tile column k,
    // overlap included.
    TSpan Rows(long LngTileRow) const { return Covered(LngTileRow, MbrLngRows); }
    TSpan Cols(long LngTileCol) const { return Covered(LngTileCol, MbrLngCols); }

private:
    long Count(long LngCells) const { return LngCells / MbrLngSize + (LngCells % MbrLngSize != 0); }
    TSpan Covered(long LngTile, long LngCells) const;

    long MbrLngRows;
    long MbrLngCols;
    long MbrLngSize;
    long MbrLngOverlap;
};
