#include "grid/TCellBlock.h"

#include "grid/TGridSize.h"
#include "util/TSlices.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace {

constexpr std::size_t HugePage = std::size_t{2} << 20;
// Below this a block is an ordinary allocation; huge pages would waste more
// than they save.
constexpr std::size_t HugePageThreshold = HugePage / 2;

double* Allocate(std::size_t LngCount)
{
    if (LngCount == 0)
        return nullptr;
    const std::size_t LngBytes = TGridSize::Bytes(LngCount, sizeof(double));
    if (LngBytes < HugePageThreshold) {
        void* PtrMemory = std::malloc(LngBytes);
        if (!PtrMemory)
            throw std::bad_alloc();
        return static_cast<double*>(PtrMemory);
    }
    const std::size_t LngRounded = TGridSize::Bytes(LngCount, HugePage);
    void* PtrMemory = nullptr;
    if (posix_memalign(&PtrMemory, HugePage, LngRounded) != 0)
        throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    madvise(PtrMemory, LngRounded, MADV_HUGEPAGE);  // advice only: failure changes nothing
#endif
    return static_cast<double*>(PtrMemory);
}

}  // namespace

TCellBlock::TCellBlock(std::size_t LngCount, double DblFill)
    : MbrPtrCells(Allocate(LngCount)), MbrLngSize(LngCount), MbrLngCapacity(LngCount)
{
    Fill(DblFill);
}

TCellBlock::~TCellBlock()
{
    std::free(MbrPtrCells);
}

TCellBlock::TCellBlock(TCellBlock&& Other) noexcept
    : MbrPtrCells(std::exchange(Other.MbrPtrCells, nullptr)),
      MbrLngSize(std::exchange(Other.MbrLngSize, 0)),
      MbrLngCapacity(std::exchange(Other.MbrLngCapacity, 0))
{
}

TCellBlock& TCellBlock::operator=(TCellBlock&& Other) noexcept
{
    if (this != &Other) {
        std::free(MbrPtrCells);
        MbrPtrCells = std::exchange(Other.MbrPtrCells, nullptr);
        MbrLngSize = std::exchange(Other.MbrLngSize, 0);
        MbrLngCapacity = std::exchange(Other.MbrLngCapacity, 0);
    }
    return *this;
}

void TCellBlock::Append(const double* PtrCells, std::size_t LngCount)
{
    if (LngCount > MbrLngCapacity - MbrLngSize) {
        std::size_t LngNeeded = 0;
        if (__builtin_add_overflow(MbrLngSize, LngCount, &LngNeeded))
            throw std::bad_alloc();
        Grow(std::max(LngNeeded, 2 * MbrLngCapacity));
    }
    if (LngCount > 0)
        std::memcpy(MbrPtrCells + MbrLngSize, PtrCells, LngCount * sizeof(double));
    MbrLngSize += LngCount;
}

void TCellBlock::Reserve(std::size_t LngCount)
{
    if (LngCount > MbrLngCapacity)
        Grow(LngCount);
}

void TCellBlock::Resize(std::size_t LngCount)
{
    if (LngCount > MbrLngCapacity)
        Grow(std::max(LngCount, 2 * MbrLngCapacity));
    MbrLngSize = LngCount;
}

void TCellBlock::Fill(double DblValue)
{
    // On all cores: a fresh block takes its page faults here.
    double* PtrCells = MbrPtrCells;
    TSlices::Run(MbrLngSize, TSlices::MinCells, [PtrCells, DblValue](std::size_t LngFirst, std::size_t LngLast) {
        std::fill(PtrCells + LngFirst, PtrCells + LngLast, DblValue);
    });
}

void TCellBlock::Grow(std::size_t LngMinCapacity)
{
    double* PtrCells = Allocate(LngMinCapacity);
    if (MbrLngSize > 0)
        std::memcpy(PtrCells, MbrPtrCells, MbrLngSize * sizeof(double));
    std::free(MbrPtrCells);
    MbrPtrCells = PtrCells;
    MbrLngCapacity = LngMinCapacity;
}
