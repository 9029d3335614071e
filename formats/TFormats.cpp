#include "formats/TFormats.h"

#ifdef PVX_WITH_GZIP
#include <zlib.h>
#endif
#ifdef PVX_WITH_GDAL
#include "formats/TGdalModule.h"
#include "util/TError.h"
#endif
#ifdef PVX_WITH_PNG
#include <png.h>
#endif

bool TFormats::Gzip()
{
#ifdef PVX_WITH_GZIP
    return true;
#else
    return false;
#endif
}

bool TFormats::Gdal()
{
#ifdef PVX_WITH_GDAL
    return true;
#else
    return false;
#endif
}

std::string TFormats::Describe()
{
    std::string StgFormats = "ASCII grid";
#ifdef PVX_WITH_GZIP
    StgFormats += std::string(", gzip (zlib ") + zlibVersion() + ")";
#endif
#ifdef PVX_WITH_GDAL
    std::string StgGdal;
    try {
        StgGdal = "GDAL " + TGdalModule::Version();
    } catch (const TError& Error) {
        StgGdal = Error.what();
    }
    StgFormats += ", GeoTIFF and other GDAL rasters (" + StgGdal + ")";
#endif
#ifdef PVX_WITH_PNG
    StgFormats += std::string(", PNG images (libpng ") + png_get_libpng_ver(nullptr) + ")";
#endif
    return StgFormats;
}
