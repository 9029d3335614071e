#include "app/TThreads.h"

#include <cstdlib>
#include <thread>

unsigned TThreads::FromEnvironment()
{
    const char* PtrValue = std::getenv("PVX_THREADS");
    return PtrValue ? static_cast<unsigned>(std::strtoul(PtrValue, nullptr, 10)) : 0U;
}

bool TThreads::UseSecondThread(unsigned LngThreads)
{
    return LngThreads == 0 ? std::thread::hardware_concurrency() > 1 : LngThreads > 1;
}
