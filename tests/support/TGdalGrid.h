#pragma once
// GDAL's reading of an ASCII grid, through its command-line tools, for
// tests that compare the toolkit's reading with it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "support/TCommand.h"
#include "support/TGdalJson.h"
#include "support/TGridText.h"
#include "support/TTempDir.h"

// Whether gdal_translate and gdalinfo are installed. Without them a test
// skips, unless PVX_REQUIRE_GDAL=1 (as in CI) makes that a failure, which
// this records.
inline bool GdalToolsInstalled()
{
    if (RunShell("command -v gdal_translate && command -v gdalinfo").LngStatus == 0)
        return true;
    const char* PtrRequire = std::getenv("PVX_REQUIRE_GDAL");
    if (PtrRequire && std::string(PtrRequire) == "1")
        ADD_FAILURE() << "PVX_REQUIRE_GDAL=1 but gdal_translate or gdalinfo is not installed";
    return false;
}

// gdalinfo's size, geotransform and no-data value, and the cells as raw
// Float64 (ENVI); BlnRead false when GDAL refuses the file.
struct TGdalGrid {
    bool BlnRead = false;
    std::vector<double> VecSize, VecTransform, VecNoData, VecCells;
};

inline TGdalGrid ReadWithGdal(const std::string& StgFile, const TTempDir& Scratch)
{
    TGdalGrid Grid;
    const std::string StgOpen = " -oo DATATYPE=Float64 " + ShellQuoted(StgFile);
    const std::string StgRaw = Scratch / "cells.raw";
    const TCommandResult Info = RunShell("gdalinfo -json" + StgOpen);
    if (Info.LngStatus != 0
        || RunShell("gdal_translate -q -ot Float64 -of ENVI" + StgOpen + " " + ShellQuoted(StgRaw))
               .LngStatus != 0)
        return Grid;
    Grid.BlnRead = true;
    Grid.VecSize = JsonNumbers(Info.StgOut, "size");
    Grid.VecTransform = JsonNumbers(Info.StgOut, "geoTransform");
    Grid.VecNoData = JsonNumbers(Info.StgOut, "noDataValue");
    const std::string StgBytes = ReadText(StgRaw);
    Grid.VecCells.resize(StgBytes.size() / sizeof(double));
    std::memcpy(Grid.VecCells.data(), StgBytes.data(), Grid.VecCells.size() * sizeof(double));
    return Grid;
}

// Runs a GDAL tool whose output name is left for the end, into StgOutput as
// a Float64 ASCII grid of 17 digits, and reads it back.
inline std::optional<TGridText> GdalGrid(const std::string& StgCommand, const std::string& StgOutput)
{
    const TCommandResult Result = RunShell(StgCommand + " -q -ot Float64 -of AAIGrid -co SIGNIFICANT_DIGITS=17 "
                                           + ShellQuoted(StgOutput));
    if (Result.LngStatus != 0) {
        ADD_FAILURE() << StgCommand << ": " << Result.StgErr;
        return std::nullopt;
    }
    return ParseGridText(ReadText(StgOutput));
}

// The cells of a raster's first band (or of what StgOptions selects, such as
// "-b mask") as GDAL reads them as Float64, in the file's row order: a raw
// dump through a scratch file StgScratch.
inline std::vector<double> GdalCells(const std::string& StgRaster, const std::string& StgScratch,
                                     const std::string& StgOptions = "")
{
    const TCommandResult Result = RunShell("gdal_translate -q -ot Float64 -of ENVI " + StgOptions + " "
                                           + ShellQuoted(StgRaster) + " " + ShellQuoted(StgScratch));
    EXPECT_EQ(Result.LngStatus, 0) << StgRaster << ": " << Result.StgErr;
    const std::string StgBytes = ReadText(StgScratch);
    std::vector<double> VecCells(StgBytes.size() / sizeof(double));
    std::memcpy(VecCells.data(), StgBytes.data(), VecCells.size() * sizeof(double));
    return VecCells;
}

// The coordinate system GDAL reads for a file, as one line of WKT1; empty
// for none.
inline std::string GdalWkt1(const std::string& StgFile)
{
    const TCommandResult Result = RunShell("gdalsrsinfo -o wkt1 --single-line " + ShellQuoted(StgFile));
    const std::size_t LngEnd = Result.StgOut.find_last_not_of("\n");
    return Result.LngStatus == 0 && LngEnd != std::string::npos ? Result.StgOut.substr(0, LngEnd + 1) : "";
}
