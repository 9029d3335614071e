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

// Points at the given coordinates, owned here.
struct TPoints {
    explicit TPoints(const TXYs& VecXY)
    {
        for (const auto& [DblX, DblY] : VecXY) {
            VecOwned.push_back(std::make_unique<TPoint>(DblX, DblY));
            VecRaw.push_back(VecOwned.back().get());
        }
    }
    std::vector<std::unique_ptr<TPoint>> VecOwned;
    std::vector<TPoint*> VecRaw;
};

// The coordinates of points handed over by the toolkit, which are freed.
TXYs TakeXY(const std::vector<TPoint*>& VecPoints)
{
    TXYs VecXY;
    for (TPoint* PtrPoint : VecPoints) {
        const std::unique_ptr<TPoint> PtrOwned(PtrPoint);
        VecXY.emplace_back(PtrPoint->GetX(), PtrPoint->GetY());
    }
    return VecXY;
}
TXY TakeXY(TPoint* PtrPoint) { return TakeXY(std::vector<TPoint*>{PtrPoint}).front(); }

TXYs Hull(const TXYs& VecXY) { return TakeXY(TPointTools::FindConvexHull(TPoints(VecXY).VecRaw)); }

double Area(const TXYs& VecXY) { return TPointTools::FindConvexPolygonArea(TPoints(VecXY).VecRaw); }

// Twice the signed area of A, B, P: positive when P lies left of A -> B.
double Cross(const TXY& A, const TXY& B, const TXY& P)
{
    return (B.first - A.first) * (P.second - A.second) -
           (B.second - A.second) * (P.first - A.first);
}
}  // namespace

TEST(TPointTools, MaxAndMinKeepTheFirstPointsComponentOnTiesAndNaN)
{
    const TPoint PointA(1.0, 5.0), PointB(3.0, 2.0), PointNaN(NaN, 0.0);
    EXPECT_EQ(TakeXY(TPointTools::Max(&PointA, &PointB)), TXY(3.0, 5.0));
    EXPECT_EQ(TakeXY(TPointTools::Min(&PointA, &PointB)), TXY(1.0, 2.0));
    EXPECT_EQ(TakeXY(TPointTools::Max(&PointA, &PointNaN)), TXY(1.0, 5.0));
    EXPECT_EQ(TakeXY(TPointTools::Min(&PointA, &PointNaN)), TXY(1.0, 0.0));
    EXPECT_TRUE(std::isnan(TakeXY(TPointTools::Max(&PointNaN, &PointA)).first));
    EXPECT_TRUE(std::isnan(TakeXY(TPointTools::Min(&PointNaN, &PointA)).first));
}

TEST(TPointTools, ThetaIsExactAtCompassPointsAndMeasuresFromTheSecondPoint)
{
    const TPoint From(10.0, 20.0);
    const struct { double DblDX, DblDY, DblTheta; } Cases[] = {
        {1, 0, 0},   {1, 1, 45},   {0, 1, 90},   {-1, 1, 135}, {-1, 0, 180},
        {-1, -1, 225}, {0, -1, 270}, {1, -1, 315}, {1, 2, 60},   {0, 0, 0},
    };
    for (const auto& Case : Cases) {
        const TPoint To(From.GetX() + Case.DblDX, From.GetY() + Case.DblDY);
        EXPECT_DOUBLE_EQ(TPointTools::Theta(&To, &From), Case.DblTheta) << Case.DblDX << ","
                                                                        << Case.DblDY;
    }
}

TEST(TPointTools, TriangleAndPolygonAreas)
{
    const TPoints Triangle({{0, 0}, {4, 0}, {0, 3}});
    EXPECT_EQ(TPointTools::Heron(Triangle.VecRaw[0], Triangle.VecRaw[1], Triangle.VecRaw[2]), 6.0);
    // The fan around the mean misses the closing edge of an open ring.
    EXPECT_NEAR(Area({{0, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 0}}), 4.0, 1e-12);
    EXPECT_NEAR(Area({{0, 0}, {2, 0}, {2, 2}, {0, 2}}), 3.0, 1e-12);
    EXPECT_EQ(Area({{1, 1}}), 0.0);
    EXPECT_EQ(Area({}), 0.0);
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
        {{{1, 3}, {0, -2}, {0, 0}, {-3, -1}, {3, 0}, {-2, 2}},
         {{0, -2}, {3, 0}, {1, 3}, {-2, 2}, {-3, -1}}},
        {{}, {}},
        // Points with a NaN coordinate take no part, even as the lowest.
        {{{NaN, -5}, {0, 0}, {1, 1}, {NaN, NaN}, {0, 1}}, {{0, 0}, {1, 1}, {0, 1}}},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Hull(Case.VecIn), Case.VecHull);
    EXPECT_EQ(Hull({{NaN, 1}, {2, NaN}}).size(), 1u);
}

TEST(TPointTools, HullOfMapPointsIsOfMapPointsWithTheirValues)
{
    TMapPoint PointA(0.0, 0.0, 7.0), PointB(1.0, 1.0, 8.0);
    const std::vector<TPoint*> VecHull = TPointTools::FindConvexHull({&PointB, &PointA});
    ASSERT_EQ(VecHull.size(), 2u);
    for (TPoint* PtrPoint : VecHull) {
        const std::unique_ptr<TPoint> PtrOwned(PtrPoint);
        const auto* PtrMapPoint = dynamic_cast<const TMapPoint*>(PtrPoint);
        ASSERT_NE(PtrMapPoint, nullptr);
        EXPECT_EQ(PtrMapPoint->GetValue(), PtrMapPoint->GetX() + 7.0);
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
        ASSERT_GE(VecHull.size(), 3u);
        for (const TXY& XY : VecXY)
            EXPECT_LE(VecHull.front().second, XY.second);
        for (std::size_t LngIndex = 0; LngIndex < VecHull.size(); ++LngIndex) {
            const TXY& A = VecHull[LngIndex];
            const TXY& B = VecHull[(LngIndex + 1) % VecHull.size()];
            EXPECT_GT(Cross(A, B, VecHull[(LngIndex + 2) % VecHull.size()]), 0.0);
            for (const TXY& XY : VecXY)
                EXPECT_GE(Cross(A, B, XY), -1e-12);
        }
    }
}
