#pragma once
// Work over many cells shared among the machine's cores. The range is cut
// into one slice per core, the calling thread taking the first; a range too
// small to pay for a thread stays whole. Slices must be independent of one
// another, so the outcome is the same however the range is cut.
// PVX_THREADS=1 in the environment keeps all work on the calling thread.
// Internal to the toolkit; not installed.

#include <cstddef>
#include <functional>

class TSlices {
public:
    // Calls Work(first, last) for slices covering [0, LngCount), each at
    // least LngMinSlice long. A thread that cannot be started leaves its
    // slice to the calling thread; an exception from any slice is rethrown
    // once all have ended.
    static void Run(std::size_t LngCount, std::size_t LngMinSlice,
                    const std::function<void(std::size_t, std::size_t)>& Work);

    // Cells worth a slice of their own: about a tenth of a millisecond of
    // plain arithmetic, against some tens of microseconds to start a thread.
    static constexpr std::size_t MinCells = std::size_t{1} << 16;
};
