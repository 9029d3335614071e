#pragma once
// GDAL's command-line tools as a peer in tests: whether they are installed
// (without them a test is skipped, unless PVX_REQUIRE_GDAL=1, as in CI,
// makes that a failure), and a grid a GDAL command writes as an ASCII grid
// with every digit, read with the tests' own reader.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

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
