// Shared work whose threads cannot all be started for want of memory: every
// allocation in turn is made to fail. The work then either fails cleanly
// with std::bad_alloc before any of it ran, or is done whole, every started
// thread joined. Its own executable: it replaces the global operator new.
#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include <gtest/gtest.h>

#include "app/TCellPipeline.h"
#include "grid/TSlices.h"

namespace {

// Allocations left before the next one fails; negative: no limit.
std::atomic<long> LngAllocationsLeft{-1};

// Runs Work with LngAllowed allocations granted; whether the grant was used up.
template <class TWork>
bool WithAllocations(long LngAllowed, TWork Work)
{
    LngAllocationsLeft = LngAllowed;
    Work();
    const bool BlnUsedUp = LngAllocationsLeft.exchange(-1) == 0;
    return BlnUsedUp;
}

}  // namespace

void* operator new(std::size_t LngBytes)
{
    for (long LngLeft = LngAllocationsLeft.load(); LngLeft >= 0;) {
        if (LngLeft == 0)
            throw std::bad_alloc();
        if (LngAllocationsLeft.compare_exchange_weak(LngLeft, LngLeft - 1))
            break;
    }
    if (void* PtrMemory = std::malloc(LngBytes > 0 ? LngBytes : 1))
        return PtrMemory;
    throw std::bad_alloc();
}

void operator delete(void* PtrMemory) noexcept
{
    std::free(PtrMemory);
}

void operator delete(void* PtrMemory, std::size_t) noexcept
{
    std::free(PtrMemory);
}

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
