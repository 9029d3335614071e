// Shared work whose threads cannot all be started for want of memory: every
// allocation in turn is made to fail. The work then either fails cleanly
// with std::bad_alloc before any of it ran, or is done whole, every started
// thread joined. Its own executable: it replaces the global operator new.
#include <atomic>
#include <new>
#include <vector>

#include <gtest/gtest.h>

#include "app/TCellPipeline.h"
#include "grid/TSlices.h"
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

TEST(ThreadStartFaults, PipelineConsumesAPrefixInOrderOrEverything)
{
    bool BlnUsedUp = true;
    for (long LngAllowed = 0; BlnUsedUp; ++LngAllowed) {
        std::vector<double> VecConsumed;
        VecConsumed.reserve(64);
        bool BlnFailed = false;
        BlnUsedUp = WithAllocations(LngAllowed, [&] {
            try {
                TCellPipeline Pipeline(
                    [&](const TCellPipeline::TBlock& Block) {
                        VecConsumed.insert(VecConsumed.end(), Block.begin(), Block.end());
                    },
                    true);
                for (int LngBlock = 0; LngBlock < 16; ++LngBlock) {
                    TCellPipeline::TBlock Block = Pipeline.TakeEmpty();
                    Block.push_back(LngBlock);
                    Pipeline.Push(std::move(Block));
                }
                Pipeline.Finish();
            } catch (const std::bad_alloc&) {
                BlnFailed = true;
            }
        });
        ASSERT_TRUE(BlnFailed || VecConsumed.size() == 16) << LngAllowed;
        for (std::size_t LngI = 0; LngI < VecConsumed.size(); ++LngI)
            ASSERT_EQ(VecConsumed[LngI], static_cast<double>(LngI)) << LngAllowed;
    }
}
