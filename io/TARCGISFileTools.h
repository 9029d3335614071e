#pragma once
// ASCII grid files (the ArcGIS text raster format): a header of six tagged
// values, "ncols", "nrows", "xllcorner", "yllcorner", "cellsize" and
// "NODATA_value", then the cells row by row, north row first.
//
// Failures throw TError; the two "Unable to open file " failures and write
// failures throw TFileError. Returned maps are new and the caller's.

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "grid/TMap.h"
#include "io/TGridDialect.h"

class TARCGISFileTools {
public:
    // Reads one grid from the stream's current position. On success the
    // stream is left just after the last cell value (on a stream that cannot
    // seek, bytes after it may have been consumed). Messages: the header
    // format errors, "Unexpected end of file found in
    // TARCGISFileTools::LoadARCGISFile" for a short body, and "File format
    // error: ..." naming column and row for a cell that is not a number.
    static TMap* LoadARCGISFile(std::istream& Stream);
    // Throws TFileError("Unable to open file " + StgName) if it cannot be read.
    static TMap* LoadARCGISFile(const std::string& StgName);
    // The same with the header read in the given dialect; the two forms
    // above read Strict.
    static TMap* LoadARCGISFile(std::istream& Stream, TGridDialect Dialect);
    static TMap* LoadARCGISFile(const std::string& StgName, TGridDialect Dialect);

    // Writes header and body; the map must have its axes. Numbers as
    // TNumberFormat writes them.
    static void WriteARCGISFile(const TMap* PtrMap, std::ostream& Stream);
    // Replaces the file atomically (see TOutputFile). Throws TFileError
    // "Unable to open file " or "Unable to write file " with the name.
    static void WriteARCGISFile(const TMap* PtrMap, const std::string& StgName);

    // Writes map i to file i. Throws "Size of map list and filename list do
    // not match in TARCGISFileTools::WriteFileList" before writing anything.
    static void WriteFileList(std::vector<TMap*> VecMaps, std::vector<std::string> VecNames);
    // Loads each file in order; on a failure no map is kept.
    static std::vector<TMap*> LoadFileList(std::vector<std::string> VecNames,
                                           TGridDialect Dialect = TGridDialect::Strict);
};
