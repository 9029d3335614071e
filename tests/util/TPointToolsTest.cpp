#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <set>
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

TEST(TPointTools, HullIsItsVerticesCounterclockwiseFromTheLowestPoint)
{
    const double Inf = std::numeric_limits<double>::infinity();
    const struct { TXYs VecIn, VecHull; } Cases[] = {
        // Points level with the start are vertices too.
        {{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5, 0.5}}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
        {{{2, 0}, {0, 0}, {2, 2}, {0, 2}}, {{2, 0}, {2, 2}, {0, 2}, {0, 0}}},
        // A lowest point inside the bottom edge gives way to its west end.
        {{{1, 0}, {2, 0}, {1, 1}, {0, 0}}, {{0, 0}, {2, 0}, {1, 1}}},
        {{{0, 0}, {1, 1}, {2, 2}}, {{0, 0}, {2, 2}}},
        {{{2, 2}, {1, 1}, {0, 0}}, {{0, 0}, {2, 2}}},
        {{{1, 3}, {0, 3}, {2, 3}}, {{0, 3}, {2, 3}}},
        {{{5, 7}}, {{5, 7}}},
        {{{5, 7}, {5, 7}}, {{5, 7}}},
        {{{3, 4}, {1, 1}}, {{1, 1}, {3, 4}}},
        {{{0, 0}, {0, 0}, {1, 1}, {1, 0.2}}, {{0, 0}, {1, 0.2}, {1, 1}}},
        // Midpoints of edges are left out, on every side.
        {{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}},
         {{0, 0}, {2, 0}, {2, 2}, {0, 2}}},
        // Turns of coordinates near the doubles' limits do not overflow.
        {{{-1e308, 3}, {5, 7}, {7, -1e308}, {100, 1}, {-2.5, 7}, {6, 1}},
         {{7, -1e308}, {100, 1}, {5, 7}, {-2.5, 7}, {-1e308, 3}}},
        {{}, {}},
        // Points with a coordinate that is not finite take no part.
        {{{NaN, -5}, {0, 0}, {1, 1}, {NaN, NaN}, {0, 1}, {Inf, 0}, {0, -Inf}},
         {{0, 0}, {1, 1}, {0, 1}}},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Hull(Case.VecIn), Case.VecHull);
    EXPECT_EQ(Hull({{NaN, 1}, {2, NaN}}).size(), 1u);
    EXPECT_NEAR(Area([] {
                    TXYs VecRing = Hull({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
                    VecRing.push_back(VecRing.front());
                    return VecRing;
                }()),
                1.0, 1e-12);
    // Clones keep their class and value; of equal points the first is kept.
    TMapPoint PointA(0, 0, 7), PointB(1, 1, 8), PointC(0, 0, 9), PointD(1, 1, 10);
    for (TPoint* PtrPoint : TPointTools::FindConvexHull({&PointB, &PointA, &PointC, &PointD})) {
        const std::unique_ptr<TPoint> PtrOwned(PtrPoint);
        const auto* PtrMapPoint = dynamic_cast<const TMapPoint*>(PtrPoint);
        EXPECT_TRUE(PtrMapPoint && PtrMapPoint->GetValue() == PtrPoint->GetX() + 7);
    }
}

namespace {

// The hull by brute force: A -> B is a counterclockwise hull edge when every
// other point lies left of it, or on it strictly between A and B.
std::set<std::pair<TXY, TXY>> ReferenceEdges(const TXYs& VecXY)
{
    const std::set<TXY> SetPoints(VecXY.begin(), VecXY.end());
    std::set<std::pair<TXY, TXY>> SetEdges;
    for (const TXY& A : SetPoints)
        for (const TXY& B : SetPoints) {
            bool BlnEdge = A != B;
            for (const TXY& P : SetPoints) {
                const double DblCross = Cross(A, B, P);
                const double DblAlong = (P.first - A.first) * (B.first - A.first) +
                                        (P.second - A.second) * (B.second - A.second);
                const double DblLength = (B.first - A.first) * (B.first - A.first) +
                                         (B.second - A.second) * (B.second - A.second);
                BlnEdge = BlnEdge && (DblCross > 0 || (DblCross == 0 && DblAlong >= 0 &&
                                                       DblAlong <= DblLength));
            }
            if (BlnEdge)
                SetEdges.insert({A, B});
        }
    return SetEdges;
}

}  // namespace

TEST(TPointTools, HullMatchesBruteForceOnRandomGridCollinearAndRepeatedPoints)
{
    std::mt19937_64 Random(7);
    std::uniform_real_distribution<double> Real(-1.0, 1.0);
    std::uniform_int_distribution<int> Small(0, 4);
    const std::function<TXY()> Makers[] = {
        [&] { return TXY{Real(Random), Real(Random)}; },
        [&] { return TXY{Small(Random), Small(Random)}; },
        [&] {
            const double DblT = Small(Random) - 2;
            return TXY{3 * DblT + 1, -2 * DblT};
        },
        [&] { return TXY{Small(Random) % 2 * 0.5, 1}; },
    };
    for (int LngRun = 0; LngRun < 400; ++LngRun) {
        TXYs VecXY(1 + LngRun % 40);
        for (TXY& XY : VecXY)
            XY = Makers[LngRun % 4]();
        const TXYs VecHull = Hull(VecXY);
        const std::set<std::pair<TXY, TXY>> SetEdges = ReferenceEdges(VecXY);
        std::set<TXY> SetVertices;
        for (const auto& Edge : SetEdges)
            SetVertices.insert(Edge.first);
        ASSERT_EQ(VecHull.size(), std::max<std::size_t>(1, SetVertices.size())) << LngRun;
        for (std::size_t LngIndex = 0; VecHull.size() > 1 && LngIndex < VecHull.size(); ++LngIndex)
            ASSERT_EQ(SetEdges.count({VecHull[LngIndex], VecHull[(LngIndex + 1) % VecHull.size()]}),
                      1u) << LngRun;
        // The start: lowest, then the earliest, unless inside the bottom edge.
        const auto Below = [](TXY A, TXY B) { return A.second < B.second; };
        const auto BelowOrWest = [](TXY A, TXY B) { return A.second < B.second ||
                                                           (A.second == B.second && A.first < B.first); };
        const TXY Lowest = *std::min_element(VecXY.begin(), VecXY.end(), Below);
        const bool BlnCorner = SetVertices.empty() || SetVertices.count(Lowest) > 0;
        EXPECT_EQ(VecHull[0],
                  BlnCorner ? Lowest : *std::min_element(VecXY.begin(), VecXY.end(), BelowOrWest))
            << LngRun;
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
