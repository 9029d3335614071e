#pragma once
// One axis of gdalwarp's (GDAL 3.6) kernel over the source block it reads
// (TWarpWindow): for a sample at a source coordinate, whether the block
// holds it, the cell holding it, and the cells the kernel reads along the
// axis with their weights. Coordinates and indices are the source's, not
// the block's. Internal to the operations; not installed.

#include <cstddef>
#include <vector>

// How the kernel reads along the axis: the cell holding the sample only;
// the two cells whose centres enclose it (bilinear, at scales from 0.95 up);
// or every cell within the kernel's reach, weighted by a tent stretched by
// the inverse scale (bilinear at coarser scales).
enum class TKernelShape { Nearest, Pair, Wide };

// The cells the kernel reads for one sample along one axis: LngCount cells
// from LngFirst on, whose weights start at LngWeights in the weight list
// they were added to.
struct TAxisTaps {
    long LngCell = 0;  // the cell holding the sample
    long LngFirst = 0;
    long LngCount = 0;
    std::size_t LngWeights = 0;
};

class TResampleAxis {
public:
    // The block's cells LngOffset..LngOffset + LngSize - 1; DblScale is the
    // kernel's scale along the axis (TWarpWindow).
    TResampleAxis(long LngOffset, long LngSize, double DblScale, TKernelShape Shape);

    // Whether the block holds a sample at DblCoord.
    bool Holds(double DblCoord) const;
    // Whether a sample the block does not hold lies within a cell of its
    // edge, where gdalwarp transforms it again, exactly, before giving up.
    bool Borders(double DblCoord) const;
    // The taps of a sample the block holds; their weights are appended to
    // VecWeights.
    TAxisTaps Taps(double DblCoord, std::vector<double>& VecWeights) const;

private:
    void AddPair(double DblCoord, TAxisTaps& Taps, std::vector<double>& VecWeights) const;
    void AddWide(double DblCoord, TAxisTaps& Taps, std::vector<double>& VecWeights) const;

    long MbrLngOffset;
    long MbrLngSize;
    double MbrDblScale;
    long MbrLngRadius;  // the widest reach of the Wide kernel, in cells
    TKernelShape MbrShape;
};
