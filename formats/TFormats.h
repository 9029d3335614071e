#pragma once
// The grid formats this build reads and writes beyond the ASCII grid: gzip
// where zlib was found (PVX_WITH_GZIP), GeoTIFF and the other rasters GDAL
// reads where GDAL was found (PVX_WITH_GDAL).

#include <string>

class TFormats {
public:
    static bool Gzip();
    static bool Gdal();
    // One line for --version, with the libraries' versions as loaded, e.g.
    // "ASCII grid, gzip (zlib 1.2.13), GeoTIFF and other GDAL rasters (GDAL
    // 3.6.2)".
    static std::string Describe();
};
