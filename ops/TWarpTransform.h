#pragma once
// Where a target cell samples the source, in the source's pixel coordinates
// (columns from the west edge, rows from the north edge, cell centres at
// .5), computed as gdalwarp (GDAL 3.6) computes it without reprojection: the
// target's geotransform, then the inverse of the source's, term by term, and
// along a row the linear interpolation of its approximate transformer. A
// sample on a cell edge then falls on the side it falls on in gdalwarp.
// Internal to the operations; not installed.

#include <vector>

#include "grid/TGridFrame.h"

class TWarpTransform {
public:
    TWarpTransform(const TGridFrame& Source, const TGridFrame& Target);

    // The source column (SourceX) and row (SourceY) of target pixel
    // coordinates (DblPixel, DblLine), transformed exactly.
    double SourceX(double DblPixel, double DblLine) const;
    double SourceY(double DblPixel, double DblLine) const;

    // The source columns of the centres of LngCols target columns as the
    // approximate transformer gives them for one row: from six columns on,
    // interpolated between the first and the last centre. An affine map
    // never exceeds its error threshold, so no row is ever split.
    std::vector<double> ApproximateColumns(long LngCols) const;

    // Whether the target is the source shifted by whole cells (to 1e-6 of a
    // cell), in which case gdalwarp copies the nearest cell whatever the
    // method.
    bool ShiftsByWholeCells() const;

private:
    double MbrArrTarget[6];         // target pixel to map coordinates
    double MbrArrSourceInverse[6];  // map to source pixel coordinates
    bool MbrBlnSameCellSize;
};
