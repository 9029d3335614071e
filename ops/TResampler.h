#pragma once
// A grid resampled onto another frame as gdalwarp (GDAL 3.6) resamples it
// with -r bilinear or -r near, a source no-data value and a Float64 target,
// without reprojection; made one target row at a time from the source rows
// it needs, so that a streaming engine holds only those.
//
// Cells that are no data hold the TNoData marker, in the source and in the
// target; every other value, NaN included, is data. A target cell is no
// data where its centre lies outside the source cells gdalwarp reads or in
// a no-data cell. Otherwise:
//   Nearest:  the value of the cell holding the centre.
//   Bilinear: the bilinear interpolation at the centre between the centres
//             around it, no-data cells left out and the other weights
//             renormalised (no data when those left weigh less than 1e-5); a
//             centre beyond the first centre row or column takes that row or
//             column whole, one beyond the last takes the last alone. Where
//             target cells are coarser (fewer than 0.95 of them per source
//             cell, counted over the cells read) the kernel widens to a tent
//             over the source cells they cover, and the weights are
//             renormalised only when they sum to more than 1e-5 away from 1
//             (no data below 1e-6). A NaN within the kernel's reach makes the
//             value NaN, even at weight 0. A target that is the source moved
//             by whole cells, and a source one cell wide or high, take the
//             nearest cell.
// Samples, the cells read and the kernel's scales are computed as gdalwarp
// computes them, so cells agree with its output to 1e-9 and ties at cell
// edges fall the same way.
//
// Failures throw TError: a frame without cells, with a cell size that is
// not finite and greater than 0, or with edges beyond the range of a double
// ("Source frame has no cells in TResampler", "... cell size must be finite
// and greater than 0 ...", "... extent is out of range ..."; "Target frame"
// likewise).

#include <cstddef>
#include <utility>
#include <vector>

#include "grid/TGridFrame.h"
#include "ops/TResampleAxis.h"
#include "ops/TWarpTransform.h"
#include "ops/TWarpWindow.h"

class TResampler {
public:
    enum class TMethod { Bilinear, Nearest };

    TResampler(const TGridFrame& Source, const TGridFrame& Target, TMethod Method);

    // The frame gdalwarp -tr S S gives over Source: the source's west and
    // north edges, and as many columns and rows of the new cell size as
    // round its width and height (half up, the width and height taken from
    // the source's diagonal as gdalwarp takes them), so the south edge moves
    // where the height is no whole number of new cells. Throws "Cell size
    // must be finite and greater than 0 in TResampler::FrameForCellSize",
    // "Map dimensions are too large to represent in
    // TResampler::FrameForCellSize", and "Cell size is too large for the map
    // in TResampler::FrameForCellSize" where not one whole cell would fit;
    // and the source frame's messages.
    static TGridFrame FrameForCellSize(const TGridFrame& Source, double DblCellSize);

    // The source rows [first, last) that target rows LngFirst..LngLast-1
    // read; empty where they read none. Both ends never decrease as the
    // target rows move south.
    std::pair<long, long> SourceRows(long LngFirst, long LngLast) const;

    // Target row LngRow (Target.LngCols cells) into PtrOut, from the source
    // rows PtrSourceRows[k] = source row LngFirstSourceRow + k (Source.LngCols
    // cells each), which cover at least SourceRows(LngRow, LngRow + 1). Safe
    // to call on several threads at once.
    void Row(long LngRow, const double* const* PtrSourceRows, long LngFirstSourceRow,
             double* PtrOut) const;

private:
    // The frame, once checked; StgWhich is "Source" or "Target".
    static const TGridFrame& Checked(const TGridFrame& Frame, const char* StgWhich);
    // The source row a target row samples.
    double SourceLine(long LngRow) const;
    // The source rows target row LngRow reads, [first, last).
    std::pair<long, long> RowSpan(long LngRow) const;
    // Every column's taps, as gdalwarp places each column's centre.
    void PlaceColumns();

    template <class TValueOf>
    void EachColumn(const double* PtrHolding, double* PtrOut, TValueOf ValueOf) const;

    TGridFrame MbrSource;
    TGridFrame MbrTarget;
    TWarpTransform MbrTransform;
    TWarpWindow MbrWindow;
    TKernelShape MbrShape;
    TResampleAxis MbrColumnAxis;
    TResampleAxis MbrRowAxis;
    // Per target column: its taps (LngCount 0 where its centre falls outside
    // the cells read), their weights one after another.
    std::vector<TAxisTaps> MbrVecColumns;
    std::vector<double> MbrVecColumnWeights;
    // The target rows whose centres fall inside the cells read.
    long MbrLngFirstRow = 0;
    long MbrLngEndRow = 0;
};
