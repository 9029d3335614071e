#include <cmath>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "util/TPointTools.h"

namespace {
using TXY = std::pair<double, double>;
using TXYs = std::vector<TXY>;
const double NaN = std::nan("");

// The coordinates of points handed over by the toolkit, which are freed.
TXYs TakeXY(const std::vector<TPoint*>& VecPoints)
{
    TXYs VecXY;
    for (TPoint* PtrPoint : VecPoints) {
        VecXY.emplace_back(PtrPoint->GetX(), PtrPoint->GetY());
        delete PtrPoint;
    }
    return VecXY;
}

// Operation run on a list of points at the coordinates.
template <class TOperation>
auto OnPoints(const TXYs& VecXY, TOperation Operation)
{
    std::vector<TPoint> VecPoints;
    for (const auto& [DblX, DblY] : VecXY)
        VecPoints.emplace_back(DblX, DblY);
    std::vector<TPoint*> VecPointers;
    for (TPoint& Point : VecPoints)
        VecPointers.push_back(&Point);
    return Operation(VecPointers);
}
TXYs Hull(const TXYs& VecXY) { return TakeXY(OnPoints(VecXY, TPointTools::FindConvexHull)); }
double Area(const TXYs& VecXY) { return OnPoints(VecXY, TPointTools::FindConvexPolygonArea); }

// Twice the signed area of A, B, P: positive when P lies left of A -> B.
double Cross(const TXY& A, const TXY& B, const TXY& P)
{
    return (B.first - A.first) * (P.second - A.second) -
           (B.second - A.second) * (P.first - A.first);
}
}  // namespace

TEST(TPointTools, ExtremesAngleAndAreas)
{
    const TPoint PointA(1, 5), PointB(3, 2), PointNaN(NaN, 0);
    EXPECT_EQ(TakeXY({TPointTools::Max(&PointA, &PointB)}), (TXYs{{3, 5}}));
    // The first point's component wins when a comparison fails on NaN.
    EXPECT_EQ(TakeXY({TPointTools::Min(&PointA, &PointNaN)}), (TXYs{{1, 0}}));
    EXPECT_TRUE(std::isnan(TakeXY({TPointTools::Max(&PointNaN, &PointA)})[0].first));
    const struct { double DblDX, DblDY, DblTheta; } Cases[] = {
        {1, 0, 0}, {1, 1, 45}, {0, 1, 90}, {-1, 1, 135}, {-1, 0, 180}, {-1, -1, 225},
        {0, -1, 270}, {1, -1, 315}, {1, 2, 60}, {0, 0, 0}};
    for (const auto& Case : Cases) {
        const TPoint To(PointA.GetX() + Case.DblDX, PointA.GetY() + Case.DblDY);
        EXPECT_DOUBLE_EQ(TPointTools::Theta(&To, &PointA), Case.DblTheta) << Case.DblTheta;
    }
    const TPoint Origin(0, 0), East(4, 0), North(0, 3);
    EXPECT_EQ(TPointTools::Heron(&Origin, &East, &North), 6.0);
    // The fan around the mean misses the closing edge of an open ring.
    EXPECT_NEAR(Area({{0, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 0}}), 4.0, 1e-12);
    EXPECT_NEAR(Area({{0, 0}, {2, 0}, {2, 2}, {0, 2}}), 3.0, 1e-12);
    EXPECT_EQ(Area({{1, 1}}) + Area({}), 0.0);
}

TEST(TPointTools, HullWalksCounterclockwiseFromTheLowestPointOnStrictlyRisingAngles)
{
    const struct { TXYs VecIn, VecHull; } Cases[] = {
        // (1, 0), level with the start and east of it, never opens the hull.
        {{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5, 0.5}}, {{0, 0}, {1, 1}, {0, 1}}},
        {{{2, 0}, {0, 0}, {2, 2}, {0, 2}}, {{2, 0}, {2, 2}, {0, 2}, {0, 0}}},
        {{{0, 0}, {1, 1}, {2, 2}}, {{0, 0}, {1, 1}}},
        // Swapping the start forward puts (2, 2) behind (1, 1) in the working order.
        {{{2, 2}, {1, 1}, {0, 0}}, {{0, 0}, {1, 1}}},
        {{{5, 7}}, {{5, 7}}},
        {{{3, 4}, {1, 1}}, {{1, 1}, {3, 4}}},
        // The second copy of the start closes the walk.
        {{{0, 0}, {0, 0}, {1, 1}, {1, 0.2}}, {{0, 0}, {1, 0.2}, {1, 1}, {0, 0}}},
        {{}, {}},
        // Points with a NaN coordinate take no part, even as the lowest.
        {{{NaN, -5}, {0, 0}, {1, 1}, {NaN, NaN}, {0, 1}}, {{0, 0}, {1, 1}, {0, 1}}},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Hull(Case.VecIn), Case.VecHull);
    EXPECT_EQ(Hull({{NaN, 1}, {2, NaN}}).size(), 1u);
    TMapPoint PointA(0, 0, 7), PointB(1, 1, 8);
    for (TPoint* PtrPoint : TPointTools::FindConvexHull({&PointB, &PointA})) {
        const std::unique_ptr<TPoint> PtrOwned(PtrPoint);
        const auto* PtrMapPoint = dynamic_cast<const TMapPoint*>(PtrPoint);
        EXPECT_TRUE(PtrMapPoint && PtrMapPoint->GetValue() == PtrPoint->GetX() + 7);
    }
}

TEST(TPointTools, RandomHullIsConvexCounterclockwiseAndHoldsEveryPoint)
{
    std::mt19937_64 Random(7);
    std::uniform_real_distribution<double> Coordinate(-1.0, 1.0);
    for (int LngRun = 0; LngRun < 20; ++LngRun) {
        TXYs VecXY(300);
        for (TXY& XY : VecXY)
            XY = {Coordinate(Random), Coordinate(Random)};
        const TXYs VecHull = Hull(VecXY);
        const std::size_t LngSize = VecHull.size();
        ASSERT_GE(LngSize, 3u);
        for (std::size_t LngIndex = 0; LngIndex < LngSize; ++LngIndex) {
            const TXY& A = VecHull[LngIndex];
            const TXY& B = VecHull[(LngIndex + 1) % LngSize];
            EXPECT_GT(Cross(A, B, VecHull[(LngIndex + 2) % LngSize]), 0.0);
            for (const TXY& XY : VecXY)
                EXPECT_TRUE(Cross(A, B, XY) >= -1e-12 && VecHull[0].second <= XY.second);
        }
    }
}
