// Work shared among the cores: every index once, failures passed on.
#include <atomic>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "util/TSlices.h"

TEST(TSlices, CoversEveryIndexOnceAndRethrowsAFailure)
{
    for (std::size_t LngCount : {0UL, 1UL, 7UL, 1000003UL}) {
        std::vector<std::atomic<int>> VecSeen(LngCount);
        TSlices::Run(LngCount, 10, [&](std::size_t LngFirst, std::size_t LngLast) {
            for (std::size_t LngI = LngFirst; LngI < LngLast; ++LngI)
                ++VecSeen[LngI];
        });
        for (std::size_t LngI = 0; LngI < LngCount; ++LngI)
            ASSERT_EQ(VecSeen[LngI].load(), 1) << LngI << " of " << LngCount;
    }
    // Slices as short as one index when a harness asks for them.
    TSlices::SetThreads(3, true);
    std::atomic<int> LngSlices{0};
    std::vector<std::atomic<int>> VecSeen(7);
    TSlices::Run(7, TSlices::MinCells, [&](std::size_t LngFirst, std::size_t LngLast) {
        ++LngSlices;
        for (std::size_t LngI = LngFirst; LngI < LngLast; ++LngI)
            ++VecSeen[LngI];
    });
    TSlices::SetThreads(0);
    EXPECT_EQ(LngSlices.load(), 3);
    for (const std::atomic<int>& LngSeen : VecSeen)
        EXPECT_EQ(LngSeen.load(), 1);
    // From the last slice, which runs on another thread when there are two.
    EXPECT_THROW(TSlices::Run(1000000, 10,
                              [](std::size_t, std::size_t LngLast) {
                                  if (LngLast == 1000000)
                                      throw std::runtime_error("last slice");
                              }),
                 std::runtime_error);
}
