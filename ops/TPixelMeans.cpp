#include "ops/TPixelMeans.h"

#include <algorithm>

#include "util/TError.h"
#include "util/TNoData.h"

TPixelMeans::TPixelMeans(long LngCols, long LngRows, long LngWidth)
    : MbrLngCols(LngCols), MbrLngRows(LngRows), MbrLngWidth(LngWidth)
{
    if (LngCols < 1 || LngRows < 1)
        throw TError("A grid without cells has no pixels");
    if (LngWidth < 1)
        throw TError("The width must be at least 1 pixel");
    // The pixel rows that begin within the grid: the least H with
    // round(H * Cols / Width) >= Rows.
    MbrLngHeight = (LngWidth * (2 * LngRows - 1) + 2 * LngCols - 1) / (2 * LngCols);
    MbrVecSums.assign(static_cast<std::size_t>(LngWidth), 0.0);
    MbrVecCounts.assign(static_cast<std::size_t>(LngWidth), 0);
    MbrVecMeans.resize(static_cast<std::size_t>(LngWidth));
}

long TPixelMeans::Edge(long LngPixel, long LngCells) const
{
    return std::min(LngCells, (2 * LngPixel * MbrLngCols + MbrLngWidth) / (2 * MbrLngWidth));
}

long TPixelMeans::End(long LngPixel, long LngCells) const
{
    return std::min(LngCells, std::max(Edge(LngPixel + 1, LngCells), Edge(LngPixel, LngCells) + 1));
}

void TPixelMeans::Add(const double* PtrRow, const std::function<void(const double*)>& Emit)
{
    for (long LngPixel = 0; LngPixel < MbrLngWidth; ++LngPixel) {
        double& DblSum = MbrVecSums[static_cast<std::size_t>(LngPixel)];
        long& LngCount = MbrVecCounts[static_cast<std::size_t>(LngPixel)];
        for (long LngCol = Edge(LngPixel, MbrLngCols); LngCol < End(LngPixel, MbrLngCols); ++LngCol)
            if (!TNoData::IsMarker(PtrRow[LngCol])) {
                DblSum += PtrRow[LngCol];
                ++LngCount;
            }
    }
    const long LngRow = MbrLngRow++;
    // Every pixel row that ends with this row; one taller than a cell
    // begins again on the same sums.
    while (MbrLngPixelRow < MbrLngHeight && End(MbrLngPixelRow, MbrLngRows) == LngRow + 1) {
        for (std::size_t LngPixel = 0; LngPixel < MbrVecMeans.size(); ++LngPixel)
            MbrVecMeans[LngPixel] = MbrVecCounts[LngPixel] > 0
                                        ? MbrVecSums[LngPixel] / static_cast<double>(MbrVecCounts[LngPixel])
                                        : TNoData::Marker();
        Emit(MbrVecMeans.data());
        ++MbrLngPixelRow;
        if (MbrLngPixelRow < MbrLngHeight && Edge(MbrLngPixelRow, MbrLngRows) > LngRow) {
            std::fill(MbrVecSums.begin(), MbrVecSums.end(), 0.0);
            std::fill(MbrVecCounts.begin(), MbrVecCounts.end(), 0);
        }
    }
}
