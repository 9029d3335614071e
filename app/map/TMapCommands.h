#pragma once
// The commands of pvxMap, by family: each makes its command's class from
// the command line (checking it whole) for the table to run.

#include <memory>

#include "app/map/TMapCommand.h"

namespace TMapCommands {

using TMaker = std::unique_ptr<TMapCommand>(const TMapArguments& Args);

// One grid in, cell by cell.
TMaker Info, Convert, Scale, Threshold, Reclass, Round;
// Between grids.
TMaker Add, Subtract, Multiply, Divide, Sum, Average, Count, Mask, MovingAverage, Gradients;
// Resampling and sub-grids.
TMaker Resample, Subdivide, Extract, Insert, Intersect;
// Tiles cut from a grid and put back.
TMaker Tile, Mosaic;
// Map algebra by expression.
TMaker Calc;
// Terrain, as gdaldem computes it.
TMaker Slope, Aspect, Hillshade;
// Quick-look images.
TMaker Render;
// Tables and text on standard output.
TMaker Values, Zonal, Sample, Dump;

}  // namespace TMapCommands
