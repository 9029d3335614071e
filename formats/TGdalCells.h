#pragma once
// Cells of doubles converted to the data type of a raster as gdal_translate
// -ot converts them: by GDAL's own GDALCopyWords (integers rounded to the
// nearest and held within the type's range, NaN as 0), counting the cells
// whose value changed. Internal to the formats.

#include <gdal.h>

#include <cstddef>
#include <cstdint>
#include <string>

class TGdalCells {
public:
    // The type of this name (GDAL's: "Byte", "Int16", ...) among those a
    // GeoTIFF is written in: the real types and the integers up to 32 bits
    // (and Int8 where GDAL has it). Throws TError("unknown data type NAME:
    // one of ...") for another.
    static GDALDataType WritableType(const std::string& StgName);

    // The LngCount cells into PtrOut, of Type; returns how many of them
    // read back as another value (NaN reading back as NaN is unchanged).
    static std::uint64_t Convert(const double* PtrCells, std::size_t LngCount, GDALDataType Type,
                                 void* PtrOut);
    // Whether the value reads back unchanged from Type.
    static bool Holds(GDALDataType Type, double DblValue);
};
