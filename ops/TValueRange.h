#pragma once
// The least and the greatest finite data cell of a grid seen a row at a
// time: the range a colour ramp spans by default, and the one a colour
// file's percentages are taken of (as gdaldem takes them of the data's
// minimum and maximum). No-data, NaN and infinite cells do not count.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

class TValueRange {
public:
    void Add(const double* PtrCells, std::size_t LngCount)
    {
        for (std::size_t LngCell = 0; LngCell < LngCount; ++LngCell)
            if (std::isfinite(PtrCells[LngCell])) {
                MbrDblMin = std::min(MbrDblMin, PtrCells[LngCell]);
                MbrDblMax = std::max(MbrDblMax, PtrCells[LngCell]);
            }
    }

    // True until a finite data cell was seen.
    bool Empty() const { return MbrDblMin > MbrDblMax; }
    double Min() const { return MbrDblMin; }
    double Max() const { return MbrDblMax; }

private:
    double MbrDblMin = std::numeric_limits<double>::infinity();
    double MbrDblMax = -std::numeric_limits<double>::infinity();
};
