#pragma once
// The coordinate system an output takes from its input: the .prj file
// beside an ASCII grid (its bytes copied), or a raster's own as GDAL gives
// it. Empty throughout for a grid without one.

#include <string>

struct TGridCrs {
    // An ASCII grid's .prj file, read when an output needs it.
    std::string StgPrjFile;
    // A raster's coordinate system: as WKT, and as the ESRI WKT GDAL writes
    // in the .prj beside an ASCII grid.
    std::string StgWkt;
    std::string StgEsriWkt;

    bool Empty() const { return StgPrjFile.empty() && StgWkt.empty(); }
};
