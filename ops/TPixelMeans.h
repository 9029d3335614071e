#pragma once
// A grid's rows averaged into the pixels of a narrower image, a row at a
// time in the memory of a row. Pixel column i spans the grid's columns from
// round(i * Cols / Width) to round((i + 1) * Cols / Width); pixel rows span
// rows by the same factor, so pixels stay square (the last may span fewer
// rows). A pixel is the mean of the data cells it covers: no data (the
// marker of util/TNoData.h) where it covers none, NaN where one is NaN. For
// an image wider than the grid, a pixel spans at least the cell where it
// begins.

#include <cstddef>
#include <functional>
#include <vector>

class TPixelMeans {
public:
    // Throws TError unless the grid has cells and the width is at least 1.
    TPixelMeans(long LngCols, long LngRows, long LngWidth);

    long Width() const { return MbrLngWidth; }
    long Height() const { return MbrLngHeight; }

    // Takes the grid's next row (Cols cells) and hands each row of pixels it
    // completes (Width() means) to Emit, in order: none, one, or for an
    // image taller than the grid several.
    void Add(const double* PtrRow, const std::function<void(const double*)>& Emit);

private:
    // Where pixel LngPixel begins among LngCells cells: round(LngPixel * Cols / Width).
    long Edge(long LngPixel, long LngCells) const;
    // The end of the cells pixel LngPixel spans.
    long End(long LngPixel, long LngCells) const;

    long MbrLngCols;
    long MbrLngRows;
    long MbrLngWidth;
    long MbrLngHeight;
    long MbrLngRow = 0;       // the grid's next row
    long MbrLngPixelRow = 0;  // the pixel row being summed
    std::vector<double> MbrVecSums;
    std::vector<long> MbrVecCounts;
    std::vector<double> MbrVecMeans;
};
