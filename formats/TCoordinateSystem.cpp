#include "formats/TCoordinateSystem.h"

#include <cpl_conv.h>
#include <cpl_string.h>
#include <ogr_spatialref.h>

#include <memory>

#include "formats/TGdalLibrary.h"
#include "util/TError.h"

namespace {

struct TCplFree {
    void operator()(char* PtrText) const { CPLFree(PtrText); }
};
using TCplText = std::unique_ptr<char, TCplFree>;

struct TStringListFree {
    void operator()(char** PtrList) const { CSLDestroy(PtrList); }
};

// The text's lines as GDAL loads a .prj (CSLLoad): cut at each line end,
// carriage returns dropped.
std::unique_ptr<char*, TStringListFree> Lines(const std::string& StgText)
{
    CPLStringList Lines;
    std::string StgLine;
    for (char ChrValue : StgText) {
        if (ChrValue == '\n') {
            Lines.AddString(StgLine.c_str());
            StgLine.clear();
        } else if (ChrValue != '\r') {
            StgLine += ChrValue;
        }
    }
    if (!StgLine.empty())
        Lines.AddString(StgLine.c_str());
    return std::unique_ptr<char*, TStringListFree>(Lines.StealList());
}

std::string Exported(const OGRSpatialReference& Reference)
{
    char* PtrWkt = nullptr;
    const OGRErr Status = Reference.exportToWkt(&PtrWkt);
    const TCplText Wkt(PtrWkt);
    return Status == OGRERR_NONE && PtrWkt ? std::string(PtrWkt) : std::string();
}

}  // namespace

std::string TCoordinateSystem::WktFromPrj(const std::string& StgText, const std::string& StgName)
{
    TGdalLibrary::Start();
    const TGdalErrors Errors;
    const auto PtrLines = Lines(StgText);
    OGRSpatialReference Reference;
    std::string StgWkt;
    if (PtrLines && Reference.importFromESRI(PtrLines.get()) == OGRERR_NONE)
        StgWkt = Exported(Reference);
    if (StgWkt.empty())
        throw TError(StgName + " holds no coordinate system GDAL reads" + Errors.Detail());
    return StgWkt;
}

std::string TCoordinateSystem::EsriWkt(const std::string& StgWkt)
{
    TGdalLibrary::Start();
    const TGdalErrors Errors;
    OGRSpatialReference Reference;
    if (StgWkt.empty() || Reference.importFromWkt(StgWkt.c_str()) != OGRERR_NONE)
        return std::string();
    Reference.morphToESRI();
    return Exported(Reference);
}
