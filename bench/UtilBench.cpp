// Prints how long the convex hull of random points in a disc takes.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "bench/BenchTiming.h"
#include "util/TPointTools.h"

namespace {

constexpr int LngRuns = 5;
constexpr double DblPi = 3.14159265358979323846;

// LngCount points spread evenly over the unit disc, seeded.
std::vector<std::unique_ptr<TPoint>> PointsInDisc(std::size_t LngCount)
{
    std::mt19937_64 Random(42);
    std::uniform_real_distribution<double> Unit(0.0, 1.0);
    std::vector<std::unique_ptr<TPoint>> VecPoints;
    for (std::size_t LngIndex = 0; LngIndex < LngCount; ++LngIndex) {
        const double DblRadius = std::sqrt(Unit(Random));
        const double DblAngle = 2.0 * DblPi * Unit(Random);
        VecPoints.push_back(std::make_unique<TPoint>(DblRadius * std::cos(DblAngle),
                                                     DblRadius * std::sin(DblAngle)));
    }
    return VecPoints;
}

// Median milliseconds of FindConvexHull over several runs, and the hull size.
void TimeHull(std::size_t LngCount)
{
    const auto VecOwned = PointsInDisc(LngCount);
    std::vector<TPoint*> VecPoints;
    for (const auto& PtrPoint : VecOwned)
        VecPoints.push_back(PtrPoint.get());
    std::size_t LngHull = 0;
    const double DblSeconds = MedianSeconds(LngRuns, [&] {
        const std::vector<TPoint*> VecHull = TPointTools::FindConvexHull(VecPoints);
        LngHull = VecHull.size();
        for (TPoint* PtrPoint : VecHull)
            delete PtrPoint;
    });
    std::printf("%-30zu %10zu %10.2f\n", LngCount, LngHull, DblSeconds * 1e3);
}

}  // namespace

int main()
{
    std::printf("FindConvexHull, random points in a disc, median of %d runs\n", LngRuns);
    std::printf("%-30s %10s %10s\n", "points", "hull", "ms");
    for (std::size_t LngCount : {100000, 1000000})
        TimeHull(LngCount);
}
