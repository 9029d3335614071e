// Shared work whose threads cannot all be started for want of memory: every
// allocation in turn is made to fail. The work then either fails cleanly
// with std::bad_alloc before any of it ran, or is done whole, every started
// thread joined. Its own executable: it replaces the global operator new.
#include <atomic>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/engine/TAsciiSource.h"
#include "app/engine/TCellJob.h"
#include "app/engine/TRowEngine.h"
#include "util/TSlices.h"
#include "support/TAllocationBudget.h"

namespace {

// Runs Work with LngAllowed allocations granted; whether the grant was used up.
template <class TWork>
bool WithAllocations(long LngAllowed, TWork Work)
{
    AllocationsLeft = LngAllowed;
    Work();
    return AllocationsLeft.exchange(-1) == 0;
}

}  // namespace

TEST(ThreadStartFaults, SlicesRunWholeOrFailBeforeAnyWork)
{
    TSlices::SetThreads(4);
    constexpr std::size_t LngCount = 4000;
    bool BlnUsedUp = true;
    for (long LngAllowed = 0; BlnUsedUp; ++LngAllowed) {
        std::vector<std::atomic<int>> VecSeen(LngCount);
        bool BlnFailed = false;
        BlnUsedUp = WithAllocations(LngAllowed, [&] {
            try {
                TSlices::Run(LngCount, 10, [&](std::size_t LngFirst, std::size_t LngLast) {
                    for (std::size_t LngI = LngFirst; LngI < LngLast; ++LngI)
                        ++VecSeen[LngI];
                });
            } catch (const std::bad_alloc&) {
                BlnFailed = true;
            }
        });
        for (std::size_t LngI = 0; LngI < LngCount; ++LngI)
            ASSERT_EQ(VecSeen[LngI].load(), BlnFailed ? 0 : 1) << LngI << ", " << LngAllowed;
    }
    TSlices::SetThreads(0);
}

TEST(ThreadStartFaults, StreamConsumesAPrefixInOrderOrEverything)
{
    std::string StgGrid = "ncols 4 nrows 4 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -1\n";
    for (int LngCell = 0; LngCell < 16; ++LngCell)
        StgGrid += std::to_string(LngCell) + " ";
    TSlices::SetThreads(4, true);
    TGridReader::SetWindowBytes(4);
    TRowEngine::SetBlock(3);
    bool BlnUsedUp = true;
    for (long LngAllowed = 0; BlnUsedUp; ++LngAllowed) {
        std::istringstream Stream(StgGrid);
        TAsciiSource Source(Stream, "", TAsciiSource::TRules{});
        std::vector<double> VecConsumed;
        VecConsumed.reserve(64);
        struct TConsume : TRowConsumer {
            std::vector<double>& VecCells;
            explicit TConsume(std::vector<double>& VecInto) : VecCells(VecInto) {}
            void Take(double* const* PtrPlanes, std::uint64_t, std::size_t LngCells) override
            {
                VecCells.insert(VecCells.end(), PtrPlanes[0], PtrPlanes[0] + LngCells);
            }
        } Consume(VecConsumed);
        const TCellJob Copy = TCellJob::Copy();
        bool BlnFailed = false;
        BlnUsedUp = WithAllocations(LngAllowed, [&] {
            try {
                TRowEngine::Run({&Source}, {4, 4}, Copy, Consume, nullptr);
            } catch (const std::bad_alloc&) {
                BlnFailed = true;
            }
        });
        ASSERT_TRUE(BlnFailed || VecConsumed.size() == 16) << LngAllowed;
        for (std::size_t LngI = 0; LngI < VecConsumed.size(); ++LngI)
            ASSERT_EQ(VecConsumed[LngI], static_cast<double>(LngI)) << LngAllowed;
    }
    TGridReader::SetWindowBytes(0);
    TRowEngine::SetBlock(0);
    TSlices::SetThreads(0);
}
