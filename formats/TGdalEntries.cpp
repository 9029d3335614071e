// The module's one symbol: the table of what it gives (TGdalModule).
#include <gdal.h>

#include "formats/TCoordinateSystem.h"
#include "formats/TGdalModule.h"
#include "formats/TGdalRaster.h"
#include "formats/TGeoTiffWriter.h"

namespace {

TRasterReader* OpenRaster(const std::string& StgName, int LngBand)
{
    return new TGdalRaster(StgName, LngBand);
}

TRasterWriter* CreateGeoTiff(const std::string& StgName, const TGridFrame& Frame,
                             const TRasterWriter::TSettings& Settings)
{
    return new TGeoTiffWriter(StgName, Frame, Settings);
}

std::string Version()
{
    return GDALVersionInfo("RELEASE_NAME");
}

const TGdalModule::TEntries Entries{OpenRaster, CreateGeoTiff, TCoordinateSystem::WktFromPrj, Version};

}  // namespace

extern "C" __attribute__((visibility("default"))) const TGdalModule::TEntries* pvxGdalEntries()
{
    return &Entries;
}
