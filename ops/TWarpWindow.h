#pragma once
// The block of source cells gdalwarp (GDAL 3.6) reads for a whole target in
// one piece, and the scales its kernel takes from it. The block is all the
// kernel sees: a sample outside it is no data, and its edges are the edges
// the kernel treats as the source's. The scales (target cells per source
// cell, along each axis) are taken from the block's size rather than from
// the cell sizes, as gdalwarp takes them, and they decide how far the
// bilinear kernel reaches. Internal to the operations; not installed.

#include "grid/TGridFrame.h"
#include "ops/TWarpTransform.h"

struct TWarpWindow {
    long LngXOff = 0;
    long LngYOff = 0;
    long LngXSize = 0;  // 0 (either size): the target misses the source
    long LngYSize = 0;
    double DblXScale = 1.0;
    double DblYScale = 1.0;

    // The block for the target, with a margin of LngRadius cells (the
    // kernel's reach at scale 1: 1 bilinear, 0 nearest) where the source has
    // them.
    static TWarpWindow Of(const TWarpTransform& Transform, const TGridFrame& Source,
                          const TGridFrame& Target, long LngRadius);

    bool Empty() const { return LngXSize == 0 || LngYSize == 0; }
};
