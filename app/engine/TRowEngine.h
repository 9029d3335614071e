#pragma once
// The one streaming engine of the commands. It reads any number of inputs
// in lock-step windows of rows, has a job compute blocks of output rows on
// all cores, and hands each block to a consumer in order. It holds a block
// of each plane and, of each input, the rows the block needs: memory grows
// with the width of the grids, never with their height.

#include <cstddef>
#include <vector>

#include "app/engine/TRowJob.h"
#include "app/engine/TRowSource.h"

class TProgress;

class TRowEngine {
public:
    // The output: its columns and rows, and how many planes of them.
    struct TOutputShape {
        long LngCols;
        long LngRows;
        std::size_t LngPlanes = 1;
    };

    // Reads the inputs from where they stand (each from its first row for a
    // run that begins there), computes every output row with Job and hands
    // them to Consumer. Progress, when given, counts output rows.
    static void Run(const std::vector<TRowSource*>& VecInputs, const TOutputShape& Shape,
                    const TRowJob& Job, TRowConsumer& Consumer, TProgress* PtrProgress);

    // The output rows of a block: a few MiB of cells over the planes and
    // inputs, at least one row.
    static long BlockRows(const std::vector<TRowSource*>& VecInputs, const TOutputShape& Shape);
    // For tests that cut grids everywhere: blocks of LngSize rows, or cells
    // for a cellwise job, from now on (0: the default).
    static void SetBlock(long LngSize);
};
