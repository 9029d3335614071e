#include "formats/TGdalLibrary.h"

#include <cpl_conv.h>
#include <cpl_error.h>

#include <mutex>

namespace {

// The reader and the writer move whole rows of blocks in one call, each
// block once, so the cache need hold little; GDAL's default (5% of the
// memory) would make a small process large.
constexpr GIntBig CacheBytes = GIntBig{8} << 20;

}  // namespace

void TGdalLibrary::Start()
{
    static std::once_flag Once;
    std::call_once(Once, [] {
        CPLSetErrorHandler(CPLQuietErrorHandler);
        GDALAllRegister();
        if (!CPLGetConfigOption("GDAL_CACHEMAX", nullptr))
            GDALSetCacheMax64(CacheBytes);
    });
}

TGdalErrors::TGdalErrors()
{
    CPLPushErrorHandlerEx(Collect, this);
}

TGdalErrors::~TGdalErrors()
{
    CPLPopErrorHandler();
}

void CPL_STDCALL TGdalErrors::Collect(CPLErr Class, CPLErrorNum, const char* PtrMessage)
{
    auto* PtrErrors = static_cast<TGdalErrors*>(CPLGetErrorHandlerUserData());
    if ((Class == CE_Failure || Class == CE_Fatal) && PtrErrors->MbrStgFirst.empty())
        PtrErrors->MbrStgFirst = PtrMessage && *PtrMessage ? PtrMessage : "GDAL failed";
}
