#pragma once
// Work over many cells shared among the machine's cores. The range is cut
// into one slice per core, the calling thread taking the first; a range too
// small to pay for a thread stays whole. Slices must be independent of one
// another, so the outcome is the same however the range is cut.
// PVX_THREADS=N in the environment sets the number of threads (1 keeps all
// work on the calling thread); by default it is the number of processors the
// process may run on (its affinity mask and CPU quota). This is the
// toolkit's one reading of that setting.
// Internal to the toolkit; not installed.

#include <cstddef>
#include <functional>

class TSlices {
public:
    // Calls Work(first, last) for slices covering [0, LngCount), each at
    // least LngMinSlice long. When a thread cannot be started (for want of
    // threads or of memory), the calling thread runs its slice and every
    // later one; an exception from any slice is rethrown once all have
    // ended. Only a failure to set up, before any slice runs, propagates
    // from Run itself (std::bad_alloc).
    static void Run(std::size_t LngCount, std::size_t LngMinSlice,
                    const std::function<void(std::size_t, std::size_t)>& Work);

    // The number of threads work is shared among.
    static unsigned Threads();
    // How many slices Run cuts LngCount indices into: Bound(k) =
    // LngCount * k / SliceCount is where slice k begins.
    static std::size_t SliceCount(std::size_t LngCount, std::size_t LngMinSlice);

    // For tests and harnesses that compare thread counts: the number of
    // threads Run shares work among from now on, at most 64; 0 goes back to
    // PVX_THREADS or the machine's cores. BlnSliceSmall ignores the callers'
    // least slice lengths, so that a range of a few cells is shared too.
    static void SetThreads(unsigned LngThreads, bool BlnSliceSmall = false);

    // Cells worth a slice of their own: about a tenth of a millisecond of
    // plain arithmetic, against some tens of microseconds to start a thread.
    static constexpr std::size_t MinCells = std::size_t{1} << 16;
};
