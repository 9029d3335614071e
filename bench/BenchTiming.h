#pragma once
// The timing every benchmark shares: the median of several runs, which a
// busy host's occasional slow run does not move; for work on one thread, its
// CPU time beside the wall time, which other work on a shared host does not
// inflate.

#include <time.h>

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

struct TTimes {
    double DblWall;
    double DblCpu;
};

inline double ClockSeconds(clockid_t Clock)
{
    timespec Time;
    clock_gettime(Clock, &Time);
    return static_cast<double>(Time.tv_sec) + 1e-9 * static_cast<double>(Time.tv_nsec);
}

// The median wall time and the median CPU time of the calling thread over
// LngRuns runs.
inline TTimes MedianTimes(int LngRuns, const std::function<void()>& Work)
{
    std::vector<double> VecWall, VecCpu;
    for (int LngRun = 0; LngRun < LngRuns; ++LngRun) {
        const double DblWall = ClockSeconds(CLOCK_MONOTONIC);
        const double DblCpu = ClockSeconds(CLOCK_THREAD_CPUTIME_ID);
        Work();
        VecWall.push_back(ClockSeconds(CLOCK_MONOTONIC) - DblWall);
        VecCpu.push_back(ClockSeconds(CLOCK_THREAD_CPUTIME_ID) - DblCpu);
    }
    std::sort(VecWall.begin(), VecWall.end());
    std::sort(VecCpu.begin(), VecCpu.end());
    return {VecWall[VecWall.size() / 2], VecCpu[VecCpu.size() / 2]};
}
