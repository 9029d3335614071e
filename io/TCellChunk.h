#pragma once
// One chunk of a window of a grid's body, parsed on a thread of its own:
// its bytes, then what parsing them gave. Kept by the reader from window to
// window, so that its cells' room is taken once.

#include <cstdint>
#include <vector>

#include "io/TTokenizer.h"

struct TCellChunk {
    const char* PtrFirst = nullptr;
    const char* PtrLast = nullptr;
    std::vector<double> VecCells;
    std::size_t LngCount = 0;
    TTokenizer::TCell Stop = TTokenizer::TCell::Ok;
    const char* PtrEnd = nullptr;
    std::uint64_t LngFirstCell = 0;
};
