#pragma once
// GDAL as the formats use it, internal to them: set up once (its drivers
// registered, a block cache of 8 MiB unless GDAL_CACHEMAX says
// otherwise, nothing printed by GDAL itself), datasets closed by their
// owners, and what GDAL reports during a call collected for messages.

#include <gdal.h>

#include <memory>
#include <string>
#include <type_traits>

class TGdalLibrary {
public:
    // Sets GDAL up; once in the process, from any thread.
    static void Start();
};

struct TGdalCloser {
    void operator()(GDALDatasetH PtrDataset) const { GDALClose(PtrDataset); }
};
using TGdalDataset = std::unique_ptr<std::remove_pointer_t<GDALDatasetH>, TGdalCloser>;

// The failures GDAL reports on this thread while it lives.
class TGdalErrors {
public:
    TGdalErrors();
    ~TGdalErrors();
    TGdalErrors(const TGdalErrors&) = delete;
    TGdalErrors& operator=(const TGdalErrors&) = delete;

    bool Failed() const { return !MbrStgFirst.empty(); }
    // ": " and the first failure's message, or nothing.
    std::string Detail() const { return Failed() ? ": " + MbrStgFirst : std::string(); }

private:
    static void CPL_STDCALL Collect(CPLErr Class, CPLErrorNum LngNumber, const char* PtrMessage);

    std::string MbrStgFirst;
};
