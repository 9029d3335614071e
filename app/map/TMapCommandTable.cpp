// The commands of pvxMap.
#include <cstring>
#include <iterator>

#include "app/map/TMapCommand.h"
#include "app/map/TMapHandlers.h"

namespace {

constexpr std::size_t Many = TMapCommand::Unbounded;

const TMapCommand ArrCommands[] = {
    {"info", "GRID [--json]", "the header as read and statistics of the data cells",
     "pvxMap info dem.asc --json", "", "--json ", 1, 1, TMapHandlers::Info},
    {"convert", "IN -o OUT", "reads any dialect, writes the canonical form",
     "pvxMap convert qgis-export.asc -o dem.asc", "-o ", "", 1, 1, TMapHandlers::Convert},
    {"scale", "IN OP SCALAR -o OUT", "x multiplies, / divides every data cell by SCALAR",
     "pvxMap scale dem.asc x 3.28084 -o dem-feet.asc", "-o ", "", 3, 3, TMapHandlers::Scale},
    {"add", "A B -o OUT", "A + B, matched by coordinates", "pvxMap add dem.asc uplift.asc -o new.asc",
     "-o ", "", 2, 2, TMapHandlers::Add},
    {"subtract", "A B -o OUT", "A - B, cell by cell",
     "pvxMap subtract dem-2024.asc dem-2014.asc -o change.asc", "-o ", "", 2, 2,
     TMapHandlers::Subtract},
    {"multiply", "A B -o OUT", "A x B, matched by coordinates",
     "pvxMap multiply rain.asc runoff-share.asc -o runoff.asc", "-o ", "", 2, 2,
     TMapHandlers::Multiply},
    {"divide", "A B -o OUT", "A / B, B of equal or coarser cells",
     "pvxMap divide biomass.asc area.asc -o density.asc", "-o ", "", 2, 2, TMapHandlers::Divide},
    {"sum", "IN IN... -o OUT", "the sum of two maps or more",
     "pvxMap sum jan.asc feb.asc mar.asc -o q1.asc", "-o ", "", 2, Many, TMapHandlers::Sum},
    {"average", "IN IN... -o OUT", "the mean of two maps or more",
     "pvxMap average t-*.asc -o t-mean.asc", "-o ", "", 2, Many, TMapHandlers::Average},
    {"count", "IN... -o OUT", "per cell, how many inputs hold data",
     "pvxMap count survey-*.asc -o coverage.asc", "-o ", "", 1, Many, TMapHandlers::Count},
    {"moving-average", "IN... --window N -o PATTERN", "the mean of each run of N maps",
     "pvxMap moving-average t-*.asc --window 3 -o t-mean-{}.asc", "-o --window ", "", 1, Many,
     TMapHandlers::MovingAverage},
    {"gradients", "IN... --window N -o PATTERN", "per cell, the slope over each run of N+1 maps",
     "pvxMap gradients ndvi-*.asc --window 4 -o trend-{}.asc", "-o --window ", "", 1, Many,
     TMapHandlers::Gradients},
    {"threshold", "IN T -o OUT [--replace V]",
     "cells below T become 0; with --replace, cells at or above T become V",
     "pvxMap threshold dem.asc -5 -o out.asc", "-o --replace ", "", 2, 2, TMapHandlers::Threshold},
    {"reclass", "IN TABLE -o OUT [--default V]",
     "recodes values by a CSV table of from,to lines (unmatched: kept, or V)",
     "pvxMap reclass landcover.asc classes.csv -o merged.asc --default 0", "-o --default ", "", 2,
     2, TMapHandlers::Reclass},
    {"round", "IN -o OUT", "rounds positive values half up, truncates negative ones",
     "pvxMap round dem.asc -o dem-whole.asc", "-o ", "", 1, 1, TMapHandlers::Round},
    {"mask", "IN MASK -o OUT", "IN made no data wherever MASK is no data",
     "pvxMap mask dem.asc catchment.asc -o dem-catchment.asc", "-o ", "", 2, 2, TMapHandlers::Mask},
    {"values", "IN", "CSV of each value and its number of cells, ascending",
     "pvxMap values landcover.asc", "", "", 1, 1, TMapHandlers::Values},
    {"zonal", "VALUES ZONES", "CSV of the statistics of VALUES in each zone of ZONES",
     "pvxMap zonal dem.asc parcels.asc", "", "", 2, 2, TMapHandlers::Zonal},
    {"resample", "IN CELLSIZE -o OUT", "bilinear resampling to a new cell size",
     "pvxMap resample dem-10m.asc 5 -o dem-5m.asc", "-o ", "", 2, 2, TMapHandlers::Resample},
    {"subdivide", "IN FACTOR -o OUT", "each cell split into FACTOR x FACTOR cells",
     "pvxMap subdivide landcover.asc 4 -o landcover-fine.asc", "-o ", "", 2, 2,
     TMapHandlers::Subdivide},
    {"extract", "IN X1 Y1 X2 Y2 -o OUT", "the block between the cells holding two positions",
     "pvxMap extract dem.asc 500000 4100000 510000 4110000 -o study.asc", "-o ", "", 5, 5,
     TMapHandlers::Extract},
    {"insert", "DEST PIECE -o OUT", "PIECE written into a copy of DEST",
     "pvxMap insert dem.asc patched-tile.asc -o dem-patched.asc", "-o ", "", 2, 2,
     TMapHandlers::Insert},
    {"intersect", "A B -o PATTERN", "the parts of A and B inside the area both cover",
     "pvxMap intersect dem.asc rain.asc -o common-{}.asc", "-o ", "", 2, 2,
     TMapHandlers::Intersect},
    {"sample", "POINTS GRID...", "CSV of each grid's value at each x,y point of POINTS",
     "pvxMap sample wells.csv dem.asc rain.asc", "", "", 2, Many, TMapHandlers::Sample},
    {"dump", "IN [--csv] [--separator C]", "the cells as text rows, or as x,y,value CSV lines",
     "pvxMap dump dem.asc --separator ,", "--separator ", "--csv ", 1, 1, TMapHandlers::Dump},
};

}  // namespace

const TMapCommand* TMapCommandTable::Begin()
{
    return std::begin(ArrCommands);
}

const TMapCommand* TMapCommandTable::End()
{
    return std::end(ArrCommands);
}

const TMapCommand* TMapCommandTable::Find(const char* StgName)
{
    for (const TMapCommand& Command : ArrCommands)
        if (std::strcmp(Command.StgName, StgName) == 0)
            return &Command;
    return nullptr;
}
