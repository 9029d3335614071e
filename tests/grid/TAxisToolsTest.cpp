#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "GridTestSupport.h"

namespace {
using TValues = std::vector<double>;

std::unique_ptr<TAxis> Edges(const TAxis& Centres, char ChrAxis)
{
    return std::unique_ptr<TAxis>(TAxisTools::PointsToIntervals(&Centres, ChrAxis));
}

std::unique_ptr<TAxis> Centres(const TAxis& Edges, char ChrAxis)
{
    return std::unique_ptr<TAxis>(TAxisTools::IntervalsToPoints(&Edges, ChrAxis));
}
} // namespace

TEST(TAxisToolsPointsToIntervals, XEdgesRiseFromHalfACellWest)
{
    const auto PtrCentres = MakeAxis(1.0, {0.5, 1.5, 2.5}, 'X', 7.0);
    const auto PtrEdges = Edges(*PtrCentres, 'X');
    EXPECT_EQ(Components(*PtrEdges, 'X'), TValues({0.0, 1.0, 2.0, 3.0}));
    // The fixed component lies half a cell south of the first centre.
    EXPECT_EQ(Components(*PtrEdges, 'Y'), TValues({6.5, 6.5, 6.5, 6.5}));
    EXPECT_EQ(PtrEdges->GetResolution(), 1.0);
    EXPECT_EQ(Components(*PtrCentres, 'X'), TValues({0.5, 1.5, 2.5}));

    EXPECT_EQ(Components(*Edges(*MakeAxis(2.0, {5.0}, 'X'), 'X'), 'X'), TValues({4.0, 6.0}));
}

TEST(TAxisToolsPointsToIntervals, YEdgesFollowTheCentresDirection)
{
    const auto PtrFalling = Edges(*MakeAxis(1.0, {1.5, 0.5}, 'Y', 3.0), 'Y');
    EXPECT_EQ(Components(*PtrFalling, 'Y'), TValues({2.0, 1.0, 0.0}));
    EXPECT_EQ(Components(*PtrFalling, 'X'), TValues({2.5, 2.5, 2.5}));

    const auto PtrRising = Edges(*MakeAxis(1.0, {0.5, 1.5}, 'Y'), 'Y');
    EXPECT_EQ(Components(*PtrRising, 'Y'), TValues({0.0, 1.0, 2.0}));

    // A single centre counts as rising.
    EXPECT_EQ(Components(*Edges(*MakeAxis(2.0, {7.0}, 'Y'), 'Y'), 'Y'), TValues({6.0, 8.0}));
}

TEST(TAxisToolsPointsToIntervals, EdgesAreReachedByRepeatedAddition)
{
    TValues VecCentres;
    for (int Index = 0; Index < 10; ++Index)
        VecCentres.push_back(0.05 + 0.1 * Index);
    const auto PtrEdges = Edges(*MakeAxis(0.1, VecCentres, 'X'), 'X');
    const TValues VecEdges = Components(*PtrEdges, 'X');
    ASSERT_EQ(VecEdges.size(), 11u);

    double DblExpected = 0.0;
    for (double DblEdge : VecEdges) {
        EXPECT_EQ(DblEdge, DblExpected);
        DblExpected += 0.1;
    }
    // Ten additions of 0.1 fall short of 1.0; a multiplication would not.
    EXPECT_NE(VecEdges.back(), 10 * 0.1);
}

TEST(TAxisToolsIntervalsToPoints, CentresLieBetweenTheEdges)
{
    const auto PtrX = Centres(*MakeAxis(1.0, {0.0, 1.0, 2.0, 3.0}, 'X', 4.0), 'X');
    EXPECT_EQ(Components(*PtrX, 'X'), TValues({0.5, 1.5, 2.5}));
    EXPECT_EQ(Components(*PtrX, 'Y'), TValues({4.0, 4.0, 4.0}));
    EXPECT_EQ(PtrX->GetResolution(), 1.0);

    EXPECT_EQ(Components(*Centres(*MakeAxis(1.0, {2.0, 1.0, 0.0}, 'Y'), 'Y'), 'Y'),
              TValues({1.5, 0.5}));
    // On rising Y edges the centre lies half a cell below the lower edge.
    EXPECT_EQ(Components(*Centres(*MakeAxis(2.0, {6.0, 8.0}, 'Y'), 'Y'), 'Y'), TValues({5.0}));

    EXPECT_EQ(Centres(*MakeAxis(1.0, {3.0}, 'X'), 'X')->GetSize(), 0);
}

TEST(TAxisToolsRoundTrip, CentresSurviveEdgesAndBack)
{
    const auto PtrX = MakeAxis(2.0, {11.0, 13.0, 15.0}, 'X', 1.0);
    const auto PtrY = MakeAxis(2.0, {9.0, 7.0, 5.0, 3.0}, 'Y', 10.0);
    EXPECT_EQ(Components(*Centres(*Edges(*PtrX, 'X'), 'X'), 'X'), Components(*PtrX, 'X'));
    EXPECT_EQ(Components(*Centres(*Edges(*PtrY, 'Y'), 'Y'), 'Y'), Components(*PtrY, 'Y'));
}

TEST(TAxisToolsErrors, EmptyOrUnfilledAxisIsRefused)
{
    const TAxis Empty(1.0);
    EXPECT_TERROR(TAxisTools::PointsToIntervals(&Empty, 'X'),
                  "Index is out of range in TAxis::GetPoint");
    EXPECT_TERROR(TAxisTools::IntervalsToPoints(&Empty, 'X'),
                  "Index is out of range in TAxis::GetPoint");

    const TAxis Unfilled(1.0, 2);
    EXPECT_TERROR(TAxisTools::PointsToIntervals(&Unfilled, 'Y'),
                  "Point is not set in TAxis::GetPoint");
    EXPECT_TERROR(TAxisTools::IntervalsToPoints(&Unfilled, 'Y'),
                  "Point is not set in TAxis::GetPoint");
}
