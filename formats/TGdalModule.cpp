#include "formats/TGdalModule.h"

#include <dlfcn.h>

#include <mutex>

#include "util/TError.h"

const TGdalModule::TEntries& TGdalModule::Entries()
{
    static const TEntries* PtrEntries = nullptr;
    static std::string StgFailure;
    static std::once_flag Once;
    std::call_once(Once, [] {
        // Never closed: GDAL keeps threads and drivers for the process's life.
        void* PtrModule = dlopen("libpvxGdal.so", RTLD_NOW | RTLD_LOCAL);
        void* PtrSymbol = PtrModule ? dlsym(PtrModule, "pvxGdalEntries") : nullptr;
        if (PtrSymbol) {
            PtrEntries = reinterpret_cast<const TEntries* (*)()>(PtrSymbol)();
        } else {
            const char* PtrError = dlerror();
            StgFailure = PtrError ? PtrError : "libpvxGdal.so holds no pvxGdalEntries";
        }
    });
    if (!PtrEntries)
        throw TError("GDAL's formats are not available: " + StgFailure);
    return *PtrEntries;
}

std::unique_ptr<TRasterReader> TGdalModule::OpenRaster(const std::string& StgName, int LngBand)
{
    return std::unique_ptr<TRasterReader>(Entries().OpenRaster(StgName, LngBand));
}

std::unique_ptr<TRasterWriter> TGdalModule::CreateGeoTiff(const std::string& StgName, const TGridFrame& Frame,
                                                          const TRasterWriter::TSettings& Settings)
{
    return std::unique_ptr<TRasterWriter>(Entries().CreateGeoTiff(StgName, Frame, Settings));
}

std::string TGdalModule::WktFromPrj(const std::string& StgText, const std::string& StgName)
{
    return Entries().WktFromPrj(StgText, StgName);
}

std::string TGdalModule::Version()
{
    return Entries().Version();
}
