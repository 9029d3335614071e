#pragma once
// Shared by the fuzz harnesses: the grid text of an input, and the inputs
// left out because they legitimately need much memory.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "util/TError.h"
#include "util/TSlices.h"
#include "app/engine/TRowEngine.h"
#include "io/TGridReader.h"

// Declared grids whose axes alone would take more than this are left out:
// loading them is meant to take that memory (about 120 bytes an axis point),
// which the fuzzer would report. Refusing grids beyond the machine is tested
// on its own.
// Either dialect's header counts.
inline bool NeedsMuchMemory(const std::string& StgText)
{
    constexpr double DblLimit = 64.0 * 1024 * 1024;
    for (TGridDialect Dialect : {TGridDialect::Strict, TGridDialect::Tolerant}) {
        try {
            std::istringstream Stream(StgText);
            TGridReader Reader(Stream, Dialect);
            const TGridHeader& Header = Reader.Header();
            if (120.0 * (static_cast<double>(Header.LngCols) + static_cast<double>(Header.LngRows))
                > DblLimit)
                return true;
        } catch (const TError&) {
        }
    }
    return false;
}

inline std::string TextOf(const std::uint8_t* PtrData, std::size_t LngSize)
{
    return std::string(reinterpret_cast<const char*>(PtrData), LngSize);
}

// Work shared among LngThreads threads from now on, in windows of a few
// bytes, so that even a short input is cut into many chunks; 1 as the
// toolkit runs on one thread.
inline void ShareAmong(unsigned LngThreads)
{
    TSlices::SetThreads(LngThreads, LngThreads > 1);
    TGridReader::SetWindowBytes(LngThreads > 1 ? 3 : 0);
    TRowEngine::SetBlock(LngThreads > 1 ? 3 : 0);
}

// What the command harnesses run: their first byte picks the operation
// (including an unknown one), the scalar and the number of threads; the
// rest is the grid text.
struct TFuzzRun {
    char ChrOperation;
    double DblScalar;
    unsigned LngThreads;
    std::string StgText;
};

inline TFuzzRun DecodeRun(const std::uint8_t* PtrData, std::size_t LngSize)
{
    static const double ArrScalars[] = {2.0, 1.1, -0.5, 0.0, 3.0, 1e308, 1e-308, -0.0};
    const std::uint8_t LngFirst = LngSize > 0 ? PtrData[0] : 0;
    static const unsigned ArrThreads[] = {1, 2, 3, 7};
    return {"x/X"[LngFirst % 3], ArrScalars[(LngFirst / 3) % 8], ArrThreads[LngFirst / 64],
            LngSize > 0 ? TextOf(PtrData + 1, LngSize - 1) : std::string()};
}
