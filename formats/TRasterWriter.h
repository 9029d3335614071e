#pragma once
// A grid written as a raster file, rows in order, north row first: what the
// commands use of a GeoTIFF written through GDAL (TGeoTiffWriter), through
// TGdalModule, so that GDAL is loaded only when such a file is written.

#include <cstdint>
#include <string>

#include "util/TNoData.h"

class TRasterWriter {
public:
    struct TSettings {
        // GDAL's name of the type: Byte, Int16, UInt16, Int32, UInt32,
        // Float32, Float64 (and Int8 where GDAL has it).
        std::string StgType = "Float64";
        // The band's no-data value, when given.
        TNoData NoData;
        // The coordinate system as WKT; none when empty.
        std::string StgWkt;
    };

    virtual ~TRasterWriter() = default;

    // The next LngRows rows; no-data cells hold the no-data value.
    virtual void WriteRows(const double* PtrCells, long LngRows) = 0;
    // The cells written so far whose value the type changed.
    virtual std::uint64_t ChangedCells() const = 0;
    // Writes what is held and closes the file, complete.
    virtual void Finish() = 0;
};
