#pragma once
// GDAL's command-line tools as a peer in tests: whether they are installed
// (without them a test is skipped, unless PVX_REQUIRE_GDAL=1, as in CI,
// makes that a failure), a grid a GDAL command writes as an ASCII grid
// with every digit, read with the tests' own reader, the cells of a raster
// as GDAL reads them, and its coordinate system.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "support/TCommand.h"
#include "support/TGridText.h"

inline bool GdalInstalled()
{
    return RunShell("command -v gdalwarp && command -v gdal_translate").LngStatus == 0;
}

// In a test body: skips (or fails, when required) without GDAL.
#define PVX_REQUIRE_GDAL_OR_SKIP()                                                              \
    do {                                                                                        \
        if (!GdalInstalled()) {                                                                 \
            const char* PtrRequire = std::getenv("PVX_REQUIRE_GDAL");                           \
            if (PtrRequire && std::string(PtrRequire) == "1")                                   \
                FAIL() << "PVX_REQUIRE_GDAL=1 but GDAL's tools are not installed";              \
            GTEST_SKIP() << "GDAL's tools are not installed";                                   \
        }                                                                                       \
    } while (false)

// Runs a GDAL tool whose last argument is left for the output, into
// StgOutput as a Float64 ASCII grid of 17 digits, and reads it back.
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
