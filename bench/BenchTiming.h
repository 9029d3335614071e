#pragma once
// The timing every benchmark shares: the median of several runs, which a
// busy host's occasional slow run does not move.

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

inline double MedianSeconds(int LngRuns, const std::function<void()>& Work)
{
    std::vector<double> VecSeconds;
    for (int LngRun = 0; LngRun < LngRuns; ++LngRun) {
        const auto Start = std::chrono::steady_clock::now();
        Work();
        VecSeconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count());
    }
    std::sort(VecSeconds.begin(), VecSeconds.end());
    return VecSeconds[VecSeconds.size() / 2];
}
