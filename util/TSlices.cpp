#include "util/TSlices.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr unsigned MaxThreads = 64;

std::atomic<unsigned> LngThreadsSet{0};
std::atomic<bool> BlnSlicesSmall{false};

// The processors this process may run on: its affinity mask, cut to the
// CPU quota of its control group (cgroup v2 "quota period", or "max").
unsigned AvailableProcessors()
{
    unsigned LngProcessors = std::max(1U, std::thread::hardware_concurrency());
    cpu_set_t Set;
    CPU_ZERO(&Set);
    if (sched_getaffinity(0, sizeof Set, &Set) == 0)
        LngProcessors = std::max(1, CPU_COUNT(&Set));
    std::ifstream Quota("/sys/fs/cgroup/cpu.max");
    std::string StgQuota;
    double DblPeriod = 0;
    if (Quota >> StgQuota >> DblPeriod && StgQuota != "max" && DblPeriod > 0) {
        const double DblCores = std::ceil(std::strtod(StgQuota.c_str(), nullptr) / DblPeriod);
        if (DblCores >= 1 && DblCores < LngProcessors)
            LngProcessors = static_cast<unsigned>(DblCores);
    }
    return LngProcessors;
}

unsigned Cores()
{
    static const unsigned LngCores = [] {
        const char* PtrSetting = std::getenv("PVX_THREADS");
        const unsigned long LngWanted = PtrSetting ? std::strtoul(PtrSetting, nullptr, 10) : 0;
        return LngWanted > 0 ? static_cast<unsigned>(std::min<unsigned long>(LngWanted, MaxThreads))
                             : std::min(MaxThreads, AvailableProcessors());
    }();
    const unsigned LngSet = LngThreadsSet.load(std::memory_order_relaxed);
    return LngSet > 0 ? LngSet : LngCores;
}

// Joins every thread started, however the scope is left.
class TJoinAll {
public:
    explicit TJoinAll(std::vector<std::thread>& VecThreads) : MbrVecThreads(VecThreads) {}
    ~TJoinAll()
    {
        for (std::thread& Thread : MbrVecThreads)
            Thread.join();
    }
    TJoinAll(const TJoinAll&) = delete;
    TJoinAll& operator=(const TJoinAll&) = delete;

private:
    std::vector<std::thread>& MbrVecThreads;
};

}  // namespace

void TSlices::SetThreads(unsigned LngThreads, bool BlnSliceSmall)
{
    LngThreadsSet.store(std::min(LngThreads, MaxThreads), std::memory_order_relaxed);
    BlnSlicesSmall.store(BlnSliceSmall, std::memory_order_relaxed);
}

unsigned TSlices::Threads()
{
    return Cores();
}

std::size_t TSlices::SliceCount(std::size_t LngCount, std::size_t LngMinSlice)
{
    const std::size_t LngLeast =
        BlnSlicesSmall.load(std::memory_order_relaxed) ? 1 : std::max<std::size_t>(1, LngMinSlice);
    return std::max<std::size_t>(1, std::min<std::size_t>(Cores(), LngCount / LngLeast));
}

void TSlices::Run(std::size_t LngCount, std::size_t LngMinSlice,
                  const std::function<void(std::size_t, std::size_t)>& Work)
{
    const std::size_t LngSlices = SliceCount(LngCount, LngMinSlice);
    const auto Bound = [&](std::size_t LngSlice) { return LngCount * LngSlice / LngSlices; };
    // Everything that allocates comes before the first thread starts, so a
    // failure here leaves nothing running.
    std::vector<std::exception_ptr> VecFailures(LngSlices);
    std::vector<std::thread> VecThreads;
    VecThreads.reserve(LngSlices - 1);
    const auto RunSlice = [&](std::size_t LngSlice) {
        try {
            Work(Bound(LngSlice), Bound(LngSlice + 1));
        } catch (...) {
            VecFailures[LngSlice] = std::current_exception();
        }
    };
    std::size_t LngStarted = 1;
    {
        const TJoinAll Joiner(VecThreads);
        try {
            for (; LngStarted < LngSlices; ++LngStarted)
                VecThreads.emplace_back(RunSlice, LngStarted);
        } catch (...) {
            // No thread to be had (std::system_error) or no memory for one
            // (std::bad_alloc): the slices not started run here.
        }
        RunSlice(0);
        for (std::size_t LngSlice = LngStarted; LngSlice < LngSlices; ++LngSlice)
            RunSlice(LngSlice);
    }
    for (const std::exception_ptr& Failure : VecFailures)
        if (Failure)
            std::rethrow_exception(Failure);
}
