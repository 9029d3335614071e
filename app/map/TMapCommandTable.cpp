// The commands of pvxMap.
#include "app/map/TMapCommand.h"
#include "app/map/TMapCommands.h"

namespace {

constexpr std::size_t Many = TMapCommandEntry::Unbounded;
using TOut = TMapOutput;
namespace C = TMapCommands;

const std::vector<TMapCommandEntry> VecCommands = {
    {"info", "GRID [--json]", "the header as read and statistics of the data cells",
     "pvxMap info dem.asc --json", TOut::None, 1, 1, {}, {"--json"}, {}, C::Info},
    {"convert", "IN -o OUT", "reads any dialect, writes the canonical form",
     "pvxMap convert qgis-export.asc -o dem.asc", TOut::File, 1, 1, {}, {}, {}, C::Convert},
    {"scale", "IN OP SCALAR -o OUT", "x multiplies, / divides every data cell by SCALAR",
     "pvxMap scale dem.asc x 3.28084 -o dem-feet.asc", TOut::File, 3, 3, {}, {}, {}, C::Scale},
    {"add", "A B -o OUT", "A + B, matched by coordinates", "pvxMap add dem.asc uplift.asc -o new.asc",
     TOut::File, 2, 2, {}, {}, {}, C::Add},
    {"subtract", "A B -o OUT", "A - B, cell by cell",
     "pvxMap subtract dem-2024.asc dem-2014.asc -o change.asc", TOut::File, 2, 2, {}, {}, {},
     C::Subtract},
    {"multiply", "A B -o OUT", "A x B, matched by coordinates",
     "pvxMap multiply rain.asc runoff-share.asc -o runoff.asc", TOut::File, 2, 2, {}, {}, {},
     C::Multiply},
    {"divide", "A B -o OUT", "A / B, B of equal or coarser cells",
     "pvxMap divide biomass.asc area.asc -o density.asc", TOut::File, 2, 2, {}, {}, {}, C::Divide},
    {"sum", "IN IN... -o OUT", "the sum of two grids or more",
     "pvxMap sum jan.asc feb.asc mar.asc -o q1.asc", TOut::File, 1, Many, {}, {}, {}, C::Sum},
    {"average", "IN IN... -o OUT", "the mean of two grids or more",
     "pvxMap average t-2020.asc t-2021.asc t-2022.asc -o mean-t.asc", TOut::File, 1, Many, {}, {},
     {}, C::Average},
    {"count", "IN... -o OUT", "per cell, how many inputs hold data",
     "pvxMap count survey-*.asc -o coverage.asc", TOut::File, 1, Many, {}, {}, {}, C::Count},
    {"moving-average", "IN... --window N -o PATTERN", "the mean of each run of N grids",
     "pvxMap moving-average t-*.asc --window 3 -o mean-t-{}.asc", TOut::Pattern, 1, Many,
     {"--window"}, {}, {"--window"}, C::MovingAverage},
    {"gradients", "IN... --window N -o PATTERN",
     "per cell, the least-squares slope over each run of N+1 grids",
     "pvxMap gradients ndvi-*.asc --window 4 -o trend-{}.asc", TOut::Pattern, 1, Many, {"--window"},
     {}, {"--window"}, C::Gradients},
    {"threshold", "IN T -o OUT [--replace V]",
     "cells below T become 0; with --replace, cells at or above T become V",
     "pvxMap threshold dem.asc -5 -o out.asc", TOut::File, 2, 2, {"--replace"}, {}, {},
     C::Threshold},
    {"reclass", "IN TABLE -o OUT [--default V]",
     "recodes values by a CSV table of from,to lines (unmatched: kept, or V)",
     "pvxMap reclass landcover.asc classes.csv -o merged.asc --default 0", TOut::File, 2, 2,
     {"--default"}, {}, {}, C::Reclass},
    {"round", "IN -o OUT", "rounds to whole numbers, halves away from zero",
     "pvxMap round dem.asc -o dem-whole.asc", TOut::File, 1, 1, {}, {}, {}, C::Round},
    {"mask", "IN MASK -o OUT", "IN made no data wherever MASK is no data",
     "pvxMap mask dem.asc catchment.asc -o dem-catchment.asc", TOut::File, 2, 2, {}, {}, {},
     C::Mask},
    {"calc", "EXPRESSION NAME=GRID... -o OUT",
     "map algebra: the expression per cell, over grids that line up",
     "pvxMap calc 'dem * (slope > 5)' dem=dem.asc slope=slope.asc -o steep.asc", TOut::File, 2, Many,
     {}, {}, {}, C::Calc},
    {"slope", "IN -o OUT [--percent] [--scale S] [--compute-edges]",
     "the slope in degrees (or percent) by Horn's method, as gdaldem slope",
     "pvxMap slope dem.asc -o slope.asc", TOut::File, 1, 1, {"--scale"}, {"--percent", "--compute-edges"}, {},
     C::Slope},
    {"aspect", "IN -o OUT [--compute-edges]",
     "the aspect in degrees clockwise from north (flat cells no data), as gdaldem aspect",
     "pvxMap aspect dem.asc -o aspect.asc", TOut::File, 1, 1, {}, {"--compute-edges"}, {}, C::Aspect},
    {"hillshade",
     "IN -o OUT [--azimuth A] [--altitude H] [--z Z] [--scale S] [--multidirectional] [--compute-edges]",
     "shaded relief, 1 to 255, as gdaldem hillshade", "pvxMap hillshade dem.asc -o shade.tif", TOut::File, 1,
     1, {"--azimuth", "--altitude", "--z", "--scale"}, {"--multidirectional", "--compute-edges"}, {},
     C::Hillshade},
#ifdef PVX_WITH_PNG
    {"render", "IN -o OUT.png [--ramp viridis|terrain|gray|FILE] [--range MIN MAX] [--hillshade] [--width W] [--legend]",
     "a quick-look PNG image: colours from a ramp, no data transparent",
     "pvxMap render dem.asc -o dem.png --ramp terrain --hillshade --legend", TOut::None, 1, 1,
     {"--ramp", "--width", "-o"}, {"--hillshade", "--legend"}, {"-o"}, C::Render, {"--range"}},
#endif
    {"values", "IN", "CSV of each value and its number of cells, ascending",
     "pvxMap values landcover.asc", TOut::None, 1, 1, {}, {}, {}, C::Values},
    {"zonal", "VALUES ZONES", "CSV of the statistics of VALUES in each zone of ZONES",
     "pvxMap zonal dem.asc parcels.asc", TOut::None, 2, 2, {}, {}, {}, C::Zonal},
    {"resample", "IN CELLSIZE -o OUT [--method bilinear|nearest] | IN --like TEMPLATE -o OUT",
     "resampling to a new cell size, or onto a template's cells, as gdalwarp does",
     "pvxMap resample dem-10m.asc 5 -o dem-5m.asc", TOut::File, 1, 2, {"--method", "--like"}, {},
     {}, C::Resample},
    {"subdivide", "IN FACTOR -o OUT", "each cell split into FACTOR x FACTOR cells",
     "pvxMap subdivide landcover.asc 4 -o landcover-fine.asc", TOut::File, 2, 2, {}, {}, {},
     C::Subdivide},
    {"extract", "IN X1 Y1 X2 Y2 -o OUT", "the cells that overlap the box between two corners",
     "pvxMap extract dem.asc 500000 4100000 510000 4110000 -o study.asc", TOut::File, 5, 5, {}, {},
     {}, C::Extract},
    {"insert", "DEST PIECE -o OUT", "PIECE's data cells written into a copy of DEST",
     "pvxMap insert dem.asc patched-tile.asc -o dem-patched.asc", TOut::File, 2, 2, {}, {}, {},
     C::Insert},
    {"intersect", "A B -o PATTERN", "the parts of A and B inside the area both cover",
     "pvxMap intersect dem.asc rain.asc -o common-{}.asc", TOut::Pattern, 2, 2, {}, {}, {},
     C::Intersect},
    {"tile", "IN --size N [--overlap K] -o PATTERN",
     "tiles of N x N cells, K cells of overlap around each, named by {row} and {col}; prints their names",
     "pvxMap tile dem.asc --size 4000 --overlap 1 -o 'tiles/dem-{row}-{col}.asc'", TOut::Tiles, 1, 1,
     {"--size", "--overlap"}, {}, {"--size"}, C::Tile},
    {"mosaic", "TILE... -o OUT [--overlap K] [--from LIST]",
     "tiles on one grid, K cells trimmed where they overlap; LIST names tiles one a line",
     "pvxMap mosaic --from slope-tiles.txt --overlap 1 -o slope.asc", TOut::File, 0, Many,
     {"--overlap", "--from"}, {}, {}, C::Mosaic},
    {"sample", "POINTS GRID...", "CSV of each grid's value at each x,y point of POINTS",
     "pvxMap sample wells.csv dem.asc rain.asc", TOut::None, 2, Many, {}, {}, {}, C::Sample},
    {"dump", "IN [--csv] [--separator C]", "the cells as text rows, or as x,y,value CSV lines",
     "pvxMap dump dem.asc --separator ,", TOut::None, 1, 1, {"--separator"}, {"--csv"}, {},
     C::Dump},
};

}  // namespace

const std::vector<TMapCommandEntry>& TMapCommandTable::Entries()
{
    return VecCommands;
}

const TMapCommandEntry* TMapCommandTable::Find(const std::string& StgName)
{
    for (const TMapCommandEntry& Command : VecCommands)
        if (StgName == Command.StgName)
            return &Command;
    return nullptr;
}
