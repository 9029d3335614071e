// Times compiled expressions of map algebra on seeded 4000 x 4000 grids, one
// thread, beside one plain copy of the same cells: wall time and the
// thread's CPU time, which other work on a shared host does not inflate.
// Prints figures; passes or fails nothing.
//
//   CalcBench [--side N] [--runs N]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "ops/TExpression.h"
#include "util/TNoData.h"

namespace {

// Side x Side cells of 2-decimal values, 5% of them no data.
std::vector<double> RandomGrid(long LngSide, std::uint64_t LngSeed)
{
    std::mt19937_64 Random(LngSeed);
    std::uniform_int_distribution<long> Centi(-50000, 400000);
    std::bernoulli_distribution NoData(0.05);
    std::vector<double> VecCells(static_cast<std::size_t>(LngSide * LngSide));
    for (double& DblCell : VecCells)
        DblCell = NoData(Random) ? TNoData::Marker() : static_cast<double>(Centi(Random)) / 100;
    return VecCells;
}

// Every row of the result, as the engine hands them over.
void EvaluateAll(const TExpression& Expression, const std::vector<const std::vector<double>*>& VecGrids,
                 long LngSide, double* PtrOut)
{
    const TGridFrame Frame{LngSide, LngSide, 500000.0, 4500000.0, 30.0};
    const long LngReach = Expression.RowReach();
    std::vector<const double*> VecRows;
    for (long LngRow = 0; LngRow < LngSide; ++LngRow) {
        VecRows.clear();
        for (const std::vector<double>* PtrGrid : VecGrids)
            for (long LngAt = LngRow - LngReach; LngAt <= LngRow + LngReach; ++LngAt)
                VecRows.push_back(LngAt >= 0 && LngAt < LngSide ? PtrGrid->data() + LngAt * LngSide
                                                                 : nullptr);
        Expression.EvaluateRow(VecRows.data(), Frame, LngRow, PtrOut + LngRow * LngSide);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    long LngSide = 4000;
    int LngRuns = 5;
    for (int LngI = 1; LngI < argc; ++LngI) {
        const std::string StgArg = argv[LngI];
        if (StgArg == "--side" && LngI + 1 < argc)
            LngSide = std::max(2L, std::atol(argv[++LngI]));
        else if (StgArg == "--runs" && LngI + 1 < argc)
            LngRuns = std::max(1, std::atoi(argv[++LngI]));
        else {
            std::printf("usage: CalcBench [--side N] [--runs N]\n");
            return 2;
        }
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::vector<double> VecA = RandomGrid(LngSide, 1), VecB = RandomGrid(LngSide, 2);
    std::vector<double> VecOut(VecA.size());
    const double DblCells = static_cast<double>(VecA.size());
    const char* ArrExpressions[] = {
        "a + b",
        "a * (b > 0)",
        "(a[-1,-1] + a[-1,0] + a[-1,1] + a[0,-1] + a + a[0,1] + a[1,-1] + a[1,0] + a[1,1]) / 9",
        "if(a > 1000, if(b > 0, a, b), if(isnull(b), 0, a - b))",
        "sqrt(a * a + b * b)",
    };

    std::printf("%ld x %ld grids, one thread, median of %d runs, ns / cell\n", LngSide, LngSide, LngRuns);
    std::printf("%-90s %7s %7s %7s\n", "expression", "wall", "CPU", "x copy");
    const TTimes Copy = MedianTimes(LngRuns, [&] {
        for (long LngRow = 0; LngRow < LngSide; ++LngRow)
            std::memcpy(VecOut.data() + LngRow * LngSide, VecA.data() + LngRow * LngSide,
                        sizeof(double) * static_cast<std::size_t>(LngSide));
    });
    const auto Print = [&](const char* StgName, const TTimes& Times) {
        std::printf("%-90s %7.2f %7.2f %7.2f\n", StgName, Times.DblWall * 1e9 / DblCells,
                    Times.DblCpu * 1e9 / DblCells, Times.DblCpu / Copy.DblCpu);
    };
    Print("(a plain copy of the cells)", Copy);
    for (const char* StgText : ArrExpressions) {
        const TExpression Expression(StgText, {"a", "b"});
        Print(StgText, MedianTimes(LngRuns, [&] {
                  EvaluateAll(Expression, {&VecA, &VecB}, LngSide, VecOut.data());
              }));
    }
    return 0;
}
