#pragma once
// The map operations benchmark: seeded maps, the cases timed on them, and
// the numpy or SciPy expression each case is set beside.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/TMap.h"

// Maps like the grids users feed the toolkit: Side x Side cells of 2-decimal
// values with 5% no-data cells scattered at random.
struct TBenchMaps {
    long LngSide = 0;
    std::unique_ptr<TMap> PtrA;                // cell size 30
    std::unique_ptr<TMap> PtrB;                // as A, other values
    std::unique_ptr<TMap> PtrHalf;             // half the cells each way, cell size 60
    std::unique_ptr<TMap> PtrClasses;          // 1000 distinct whole values, no no-data
    std::vector<std::unique_ptr<TMap>> VecStack;  // 8 maps like A
    std::vector<TMap*> Stack() const;
};

// A Side x Side map like A, cell size DblCellSize, from the seed.
std::unique_ptr<TMap> RandomMap(long LngSide, double DblCellSize, std::uint64_t LngSeed);

// One timed operation. StgNumpy is a Python expression over the arrays a, b,
// h (Half), k (Classes) and s (the stack, 8 x Side x Side), with np and, for
// zoom, scipy.ndimage imported; empty when no peer does the same work.
struct TOpsCase {
    std::string StgName;
    double DblOutputCells;
    std::function<void()> Run;
    std::string StgNumpy;
};

std::vector<TOpsCase> MapAlgebraCases(const TBenchMaps& Maps);
std::vector<TOpsCase> SeriesCases(const TBenchMaps& Maps);
std::vector<TOpsCase> CellFunctionCases(const TBenchMaps& Maps);
