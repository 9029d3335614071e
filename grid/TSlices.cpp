#include "grid/TSlices.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace {

unsigned Cores()
{
    static const unsigned LngCores = [] {
        const char* PtrSetting = std::getenv("PVX_THREADS");
        const unsigned long LngWanted = PtrSetting ? std::strtoul(PtrSetting, nullptr, 10) : 0;
        return LngWanted > 0 ? static_cast<unsigned>(std::min(LngWanted, 64UL))
                             : std::max(1U, std::thread::hardware_concurrency());
    }();
    return LngCores;
}

}  // namespace

void TSlices::Run(std::size_t LngCount, std::size_t LngMinSlice,
                  const std::function<void(std::size_t, std::size_t)>& Work)
{
    const std::size_t LngSlices =
        std::max<std::size_t>(1, std::min<std::size_t>(Cores(), LngCount / std::max<std::size_t>(1, LngMinSlice)));
    const auto Bound = [&](std::size_t LngSlice) { return LngCount * LngSlice / LngSlices; };
    std::vector<std::exception_ptr> VecFailures(LngSlices);
    const auto RunSlice = [&](std::size_t LngSlice) {
        try {
            Work(Bound(LngSlice), Bound(LngSlice + 1));
        } catch (...) {
            VecFailures[LngSlice] = std::current_exception();
        }
    };
    std::vector<std::thread> VecThreads;
    std::vector<std::size_t> VecLeftOver;
    for (std::size_t LngSlice = 1; LngSlice < LngSlices; ++LngSlice) {
        try {
            VecThreads.emplace_back(RunSlice, LngSlice);
        } catch (const std::system_error&) {
            VecLeftOver.push_back(LngSlice);
        }
    }
    RunSlice(0);
    for (std::size_t LngSlice : VecLeftOver)
        RunSlice(LngSlice);
    for (std::thread& Thread : VecThreads)
        Thread.join();
    for (const std::exception_ptr& Failure : VecFailures)
        if (Failure)
            std::rethrow_exception(Failure);
}
