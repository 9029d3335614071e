#pragma once
// Coordinate systems as text, converted as GDAL converts them beside an
// ASCII grid: the .prj it reads (ESRI's WKT, OGC's WKT or ESRI's older
// keyword form) and the .prj it writes (ESRI's WKT).

#include <string>

class TCoordinateSystem {
public:
    // The WKT of a .prj text, as GDAL reads the .prj beside an ASCII grid
    // (importFromESRI). Throws TError("NAME holds no coordinate system GDAL
    // reads") for text that is none; StgName names the .prj.
    static std::string WktFromPrj(const std::string& StgText, const std::string& StgName);
    // The ESRI WKT that gdal_translate -of AAIGrid writes as the .prj for a
    // raster of this WKT (morphToESRI); empty for an empty or unreadable WKT.
    static std::string EsriWkt(const std::string& StgWkt);
};
