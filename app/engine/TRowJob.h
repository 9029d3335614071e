#pragma once
// What a command computes on the streaming engine: from windows of rows of
// its inputs, the rows of its output planes (a plane is one grid of the
// output frame). The engine asks which input rows a block of output rows
// needs, holds just those, and has the job compute the block, slices of it
// on several threads at once.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Rows LngFirst..LngLast-1 of one input, each LngCols cells.
class TRowWindow {
public:
    TRowWindow(const double* PtrCells, long LngFirst, long LngLast, long LngCols)
        : MbrPtrCells(PtrCells), MbrLngFirst(LngFirst), MbrLngLast(LngLast), MbrLngCols(LngCols)
    {
    }

    long First() const { return MbrLngFirst; }
    long Last() const { return MbrLngLast; }
    long Cols() const { return MbrLngCols; }
    // Row LngRow, which the window must hold.
    const double* Row(long LngRow) const
    {
        return MbrPtrCells + (LngRow - MbrLngFirst) * MbrLngCols;
    }
    // Row LngRow, or null where the window holds none (beyond the grid).
    const double* RowOrNull(long LngRow) const
    {
        return LngRow >= MbrLngFirst && LngRow < MbrLngLast ? Row(LngRow) : nullptr;
    }

private:
    const double* MbrPtrCells;
    long MbrLngFirst;
    long MbrLngLast;
    long MbrLngCols;
};

// Input rows [LngFirst, LngLast); empty when LngFirst >= LngLast.
struct TRowSpan {
    long LngFirst;
    long LngLast;
};

class TRowJob {
public:
    // A function of lined-up cells: LngCells cells of each input into as
    // many cells of each plane, no data the marker in and out.
    using TCellFunction = std::function<void(const double* const* PtrInputs, std::size_t LngCells,
                                             double* const* PtrPlanes)>;

    virtual ~TRowJob() = default;

    // For a job whose every output cell is a function of the same cell of
    // each input alone (inputs and output of one shape): that function, so
    // that the engine may cut the grids anywhere, not only between rows.
    // Null for the others.
    virtual const TCellFunction* Cellwise() const { return nullptr; }

    // The rows of input LngInput that output rows LngFirst..LngLast-1 read,
    // within the input's rows (an empty span when none). Neither end may go
    // back as the output rows advance.
    virtual TRowSpan Needs(std::size_t LngInput, long LngFirst, long LngLast) const = 0;
    // Output rows LngFirst..LngLast-1 of each plane: PtrPlanes[k] points at
    // row LngFirst of plane k, rows of the output's columns one after
    // another. No-data cells get the marker. Runs on several threads at once,
    // each on rows of its own.
    virtual void Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                         double* const* PtrPlanes) const = 0;
};

// Takes the output cells the engine computed, block after block in order,
// on the calling thread: a grid file, statistics, text. A block is whole
// rows, or, for a cellwise job, any run of cells.
class TRowConsumer {
public:
    virtual ~TRowConsumer() = default;
    // Cells LngFirst..LngFirst+LngCells-1 of each plane (counted row after
    // row from the north-west corner); it may change them.
    virtual void Take(double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells) = 0;
};
