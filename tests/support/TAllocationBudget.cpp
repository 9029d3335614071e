#include "support/TAllocationBudget.h"

#include <cstdlib>
#include <new>

std::atomic<long> AllocationsLeft{-1};

void* operator new(std::size_t LngBytes)
{
    for (long LngLeft = AllocationsLeft.load(); LngLeft >= 0;) {
        if (LngLeft == 0)
            throw std::bad_alloc();
        if (AllocationsLeft.compare_exchange_weak(LngLeft, LngLeft - 1))
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
