#pragma once
// The cells of a map in one contiguous block, row by row.
//
// Large blocks are aligned to 2 MiB and advised to use transparent huge
// pages: the first touch of a fresh page is the dominant cost of making a new
// map, and a huge page takes one fault where small pages take 512.

#include <cstddef>

class TCellBlock {
public:
    TCellBlock() = default;
    // LngCount cells, each DblFill. Throws std::bad_alloc when it cannot be had.
    TCellBlock(std::size_t LngCount, double DblFill);
    ~TCellBlock();
    TCellBlock(TCellBlock&& Other) noexcept;
    TCellBlock& operator=(TCellBlock&& Other) noexcept;
    TCellBlock(const TCellBlock&) = delete;
    TCellBlock& operator=(const TCellBlock&) = delete;

    double* Data() { return MbrPtrCells; }
    const double* Data() const { return MbrPtrCells; }
    std::size_t Size() const { return MbrLngSize; }

    // Appends LngCount cells, growing the block geometrically.
    void Append(const double* PtrCells, std::size_t LngCount);
    // Room for LngCount cells in all, so that growing to them copies nothing.
    // Untouched room costs address space only.
    void Reserve(std::size_t LngCount);
    // LngCount cells, growing geometrically; cells past the old size are the
    // caller's to write.
    void Resize(std::size_t LngCount);
    void Fill(double DblValue);

private:
    void Grow(std::size_t LngMinCapacity);

    double* MbrPtrCells = nullptr;
    std::size_t MbrLngSize = 0;
    std::size_t MbrLngCapacity = 0;
};
