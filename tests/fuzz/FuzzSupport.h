#pragma once
// Shared by the fuzz harnesses: the grid text of an input, and the inputs
// left out because they legitimately need much memory.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "grid/TError.h"
#include "io/TGridReader.h"

// Declared grids whose rows and axes alone would take more than this are
// left out: loading them is meant to take that memory, which the fuzzer
// would report. Refusing grids beyond the machine is tested on its own.
inline bool NeedsMuchMemory(const std::string& StgText)
{
    constexpr double DblLimit = 64.0 * 1024 * 1024;
    try {
        std::istringstream Stream(StgText);
        TGridReader Reader(Stream);
        return Reader.Header().IndexBytes() > DblLimit;
    } catch (const TError&) {
        return false;
    }
}

inline std::string TextOf(const std::uint8_t* PtrData, std::size_t LngSize)
{
    return std::string(reinterpret_cast<const char*>(PtrData), LngSize);
}
