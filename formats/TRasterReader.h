#pragma once
// One band of a raster read as a grid, rows in order, north row first: what
// the commands use of a raster that GDAL reads (TGdalRaster), through
// TGdalModule, so that GDAL is loaded only when such a raster is read.

#include <string>

#include "grid/TGridFrame.h"
#include "util/TNoData.h"

class TRasterReader {
public:
    virtual ~TRasterReader() = default;

    virtual const TGridFrame& Frame() const = 0;
    virtual const TNoData& NoData() const = 0;
    // The coordinate system as OGC WKT, and as the ESRI WKT of a .prj; empty
    // for none.
    virtual const std::string& Wkt() const = 0;
    virtual std::string EsriWkt() const = 0;
    // The next LngRows rows into PtrCells, as Float64.
    virtual void ReadRows(double* PtrCells, long LngRows) = 0;
    // Back to the north row.
    virtual void Restart() = 0;
};
