#pragma once
// GDAL's part of the formats lives in a module of its own, libpvxGdal.so,
// loaded the first time a raster GDAL reads is opened or a GeoTIFF written:
// GDAL's library and the hundred it needs take a tenth of a second and 30
// MiB to load, which a command on ASCII grids should not pay. The module is
// found beside the build's programs, or in lib/pvx beside an installed one.
// Each call throws TError("GDAL's formats are not available: ...") when the
// module cannot be loaded, and what the call itself throws otherwise.

#include <memory>
#include <string>

#include "formats/TRasterReader.h"
#include "formats/TRasterWriter.h"

class TGdalModule {
public:
    // Band LngBand of the raster named, as TGdalRaster opens it.
    static std::unique_ptr<TRasterReader> OpenRaster(const std::string& StgName, int LngBand);
    // A GeoTIFF created as TGeoTiffWriter creates it.
    static std::unique_ptr<TRasterWriter> CreateGeoTiff(const std::string& StgName, const TGridFrame& Frame,
                                                        const TRasterWriter::TSettings& Settings);
    // TCoordinateSystem::WktFromPrj.
    static std::string WktFromPrj(const std::string& StgText, const std::string& StgName);
    // GDAL's release name, as loaded ("3.6.2").
    static std::string Version();

    // What the module gives, by the C function pvxGdalEntries.
    struct TEntries {
        TRasterReader* (*OpenRaster)(const std::string& StgName, int LngBand);
        TRasterWriter* (*CreateGeoTiff)(const std::string& StgName, const TGridFrame& Frame,
                                        const TRasterWriter::TSettings& Settings);
        std::string (*WktFromPrj)(const std::string& StgText, const std::string& StgName);
        std::string (*Version)();
    };

private:
    static const TEntries& Entries();
};
