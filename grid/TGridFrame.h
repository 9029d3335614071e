#pragma once
// Where a north-up grid lies: its columns and rows, lower-left corner and
// square cell size. Rows count from the north, columns from the west.

struct TGridFrame {
    long LngCols = 0;
    long LngRows = 0;
    double DblXllCorner = 0.0;
    double DblYllCorner = 0.0;
    double DblCellSize = 0.0;

    double West() const { return DblXllCorner; }
    double South() const { return DblYllCorner; }
    double East() const { return DblXllCorner + static_cast<double>(LngCols) * DblCellSize; }
    double North() const { return DblYllCorner + static_cast<double>(LngRows) * DblCellSize; }
    // The centre of column LngCol and of row LngRow.
    double ColumnCentre(long LngCol) const
    {
        return DblXllCorner + (static_cast<double>(LngCol) + 0.5) * DblCellSize;
    }
    double RowCentre(long LngRow) const
    {
        return DblYllCorner + (static_cast<double>(LngRows - LngRow) - 0.5) * DblCellSize;
    }
    // The block of rows LngFirstRow..LngLastRow-1 and columns
    // LngFirstCol..LngLastCol-1 of this frame.
    TGridFrame Block(long LngFirstRow, long LngLastRow, long LngFirstCol, long LngLastCol) const
    {
        return {LngLastCol - LngFirstCol, LngLastRow - LngFirstRow,
                DblXllCorner + static_cast<double>(LngFirstCol) * DblCellSize,
                DblYllCorner + static_cast<double>(LngRows - LngLastRow) * DblCellSize, DblCellSize};
    }
};
