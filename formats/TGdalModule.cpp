#include "formats/TGdalModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "util/TError.h"

namespace {

constexpr const char* ModuleName = "libpvxGdal.so";

// Where the module may be, by the program's own place, never the working
// folder: beside it (the build puts a copy beside each of its programs), or
// in lib/pvx beside its bin (installed).
std::vector<std::string> Places()
{
    std::error_code Error;
    const std::filesystem::path PthProgram = std::filesystem::read_symlink("/proc/self/exe", Error);
    if (Error)
        return {};
    const std::filesystem::path PthDir = PthProgram.parent_path();
    return {(PthDir / ModuleName).string(), (PthDir / ".." / PVX_INSTALL_LIBDIR / "pvx" / ModuleName).string()};
}

// The module's entries, or why there are none.
const TGdalModule::TEntries* Load(std::string& StgFailure)
{
    for (const std::string& StgPlace : Places()) {
        if (access(StgPlace.c_str(), F_OK) != 0)
            continue;
        // Never closed: GDAL keeps threads and drivers for the process's life.
        void* PtrModule = dlopen(StgPlace.c_str(), RTLD_NOW | RTLD_LOCAL);
        void* PtrSymbol = PtrModule ? dlsym(PtrModule, "pvxGdalEntries") : nullptr;
        if (PtrSymbol)
            return reinterpret_cast<const TGdalModule::TEntries* (*)()>(PtrSymbol)();
        const char* PtrError = dlerror();
        StgFailure = PtrError ? PtrError : StgPlace + " holds no pvxGdalEntries";
        return nullptr;
    }
    StgFailure = std::string(ModuleName) + " is neither beside the program nor in ../" + PVX_INSTALL_LIBDIR + "/pvx";
    return nullptr;
}

}  // namespace

const TGdalModule::TEntries& TGdalModule::Entries()
{
    static std::string StgFailure;
    static const TEntries* const PtrEntries = Load(StgFailure);
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
