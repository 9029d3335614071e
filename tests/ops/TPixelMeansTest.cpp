// Grids averaged into narrower (and wider) images, row by row, against the
// pixels' blocks worked out plainly: each pixel the mean of the data cells
// of its block, emitted as soon as the block's last row is in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "ops/TPixelMeans.h"
#include "util/TError.h"
#include "util/TNoData.h"

namespace {

// The start of block LngPixel, blocks being LngCols / LngWidth cells wide.
long Start(long LngPixel, long LngCols, long LngWidth)
{
    return std::lround(static_cast<double>(LngPixel) * LngCols / LngWidth);
}

// [start, end) of block LngPixel among LngCells cells: at least one cell.
std::pair<long, long> Block(long LngPixel, long LngCells, long LngCols, long LngWidth)
{
    const long LngStart = Start(LngPixel, LngCols, LngWidth);
    return {LngStart, std::min(LngCells, std::max(Start(LngPixel + 1, LngCols, LngWidth), LngStart + 1))};
}

}  // namespace

TEST(TPixelMeans, EachPixelIsTheMeanOfTheDataCellsOfItsBlock)
{
    const struct {
        long LngCols, LngRows, LngWidth;
    } ArrShapes[] = {{10, 10, 3}, {10, 11, 3}, {7, 5, 7}, {9, 4, 2},  {5, 3, 12},
                     {1, 1, 1},   {1, 6, 1},   {6, 1, 4}, {13, 29, 5}};
    std::mt19937_64 Random(7);
    for (const auto& Shape : ArrShapes) {
        SCOPED_TRACE(testing::Message()
                     << Shape.LngCols << " x " << Shape.LngRows << " to " << Shape.LngWidth);
        std::vector<double> VecCells;
        for (long LngCell = 0; LngCell < Shape.LngCols * Shape.LngRows; ++LngCell)
            VecCells.push_back(Random() % 5 == 0 ? TNoData::Marker()
                                                 : static_cast<double>(Random() % 1000) / 8);
        VecCells[VecCells.size() / 2] = std::nan("");

        TPixelMeans Means(Shape.LngCols, Shape.LngRows, Shape.LngWidth);
        ASSERT_EQ(Means.Width(), Shape.LngWidth);
        std::vector<std::vector<double>> VecEmitted;
        for (long LngRow = 0; LngRow < Shape.LngRows; ++LngRow) {
            Means.Add(&VecCells[LngRow * Shape.LngCols], [&](const double* PtrPixels) {
                VecEmitted.emplace_back(PtrPixels, PtrPixels + Shape.LngWidth);
            });
            long LngComplete = 0;
            while (Start(LngComplete, Shape.LngCols, Shape.LngWidth) < Shape.LngRows
                   && Block(LngComplete, Shape.LngRows, Shape.LngCols, Shape.LngWidth).second <= LngRow + 1)
                ++LngComplete;
            EXPECT_EQ(static_cast<long>(VecEmitted.size()), LngComplete) << "after row " << LngRow;
        }
        ASSERT_EQ(static_cast<long>(VecEmitted.size()), Means.Height());
        for (long LngY = 0; LngY < Means.Height(); ++LngY)
            for (long LngX = 0; LngX < Shape.LngWidth; ++LngX) {
                const auto [LngTop, LngBottom] = Block(LngY, Shape.LngRows, Shape.LngCols, Shape.LngWidth);
                const auto [LngLeft, LngRight] = Block(LngX, Shape.LngCols, Shape.LngCols, Shape.LngWidth);
                double DblSum = 0;
                long LngCount = 0;
                for (long LngRow = LngTop; LngRow < LngBottom; ++LngRow)
                    for (long LngCol = LngLeft; LngCol < LngRight; ++LngCol)
                        if (!TNoData::IsMarker(VecCells[LngRow * Shape.LngCols + LngCol])) {
                            DblSum += VecCells[LngRow * Shape.LngCols + LngCol];
                            ++LngCount;
                        }
                const double DblGot = VecEmitted[LngY][LngX];
                if (LngCount == 0)
                    EXPECT_TRUE(TNoData::IsMarker(DblGot)) << LngX << ", " << LngY;
                else if (std::isnan(DblSum))
                    EXPECT_TRUE(std::isnan(DblGot) && !TNoData::IsMarker(DblGot)) << LngX << ", " << LngY;
                else
                    EXPECT_DOUBLE_EQ(DblGot, DblSum / LngCount) << LngX << ", " << LngY;
            }
    }
}

TEST(TPixelMeans, RefusesAnEmptyGridOrImage)
{
    EXPECT_THROW(TPixelMeans(0, 5, 1), TError);
    EXPECT_THROW(TPixelMeans(5, 0, 1), TError);
    EXPECT_THROW(TPixelMeans(5, 5, 0), TError);
}
