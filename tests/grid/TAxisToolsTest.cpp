#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "GridTestSupport.h"

namespace {
using TValues = std::vector<double>;
using TConvert = TAxis* (*)(const TAxis*, char);
const TConvert Edges = &TAxisTools::PointsToIntervals;
const TConvert Centres = &TAxisTools::IntervalsToPoints;

std::unique_ptr<TAxis> Converted(TConvert Convert, const std::unique_ptr<TAxis>& PtrAxis,
                                 char ChrAxis)
{
    return std::unique_ptr<TAxis>(Convert(PtrAxis.get(), ChrAxis));
}
} // namespace

TEST(TAxisTools, ConversionsPlaceEdgesAroundCentres)
{
    // Moving components before and after, on an axis whose other component
    // is 7; edges take it half a cell south (X) or west (Y), centres keep it.
    const struct {
        TConvert Convert;
        char ChrAxis;
        double DblResolution;
        TValues VecFrom;
        TValues VecTo;
        double DblFixed;
    } Cases[] = {
        {Edges, 'X', 1.0, {0.5, 1.5, 2.5}, {0.0, 1.0, 2.0, 3.0}, 6.5},
        {Edges, 'X', 2.0, {5.0}, {4.0, 6.0}, 6.0},
        // Y edges follow the centres' direction; a single centre gets
        // north-first edges, as every north-up axis has.
        {Edges, 'Y', 1.0, {1.5, 0.5}, {2.0, 1.0, 0.0}, 6.5},
        {Edges, 'Y', 1.0, {0.5, 1.5}, {0.0, 1.0, 2.0}, 6.5},
        {Edges, 'Y', 2.0, {7.0}, {8.0, 6.0}, 6.0},
        {Centres, 'X', 1.0, {0.0, 1.0, 2.0, 3.0}, {0.5, 1.5, 2.5}, 7.0},
        {Centres, 'Y', 1.0, {2.0, 1.0, 0.0}, {1.5, 0.5}, 7.0},
        // Centres are midpoints in either direction.
        {Centres, 'Y', 2.0, {6.0, 8.0}, {7.0}, 7.0},
        {Centres, 'Y', 1.0, {0.0, 1.0, 2.0}, {0.5, 1.5}, 7.0},
        {Centres, 'X', 1.0, {3.0, 2.0}, {2.5}, 7.0},
        {Centres, 'X', 1.0, {3.0}, {}, 7.0},
    };
    for (const auto& Case : Cases) {
        const char ChrOther = Case.ChrAxis == 'X' ? 'Y' : 'X';
        const auto PtrFrom = MakeAxis(Case.DblResolution, Case.VecFrom, Case.ChrAxis, 7.0);
        const auto PtrTo = Converted(Case.Convert, PtrFrom, Case.ChrAxis);
        EXPECT_EQ(Components(*PtrTo, Case.ChrAxis), Case.VecTo);
        EXPECT_EQ(Components(*PtrTo, ChrOther), TValues(Case.VecTo.size(), Case.DblFixed));
        EXPECT_EQ(PtrTo->GetResolution(), Case.DblResolution);
    }
}

TEST(TAxisTools, EdgesAreReachedByRepeatedAddition)
{
    // Ten additions of 0.1 fall short of 1.0, which a multiplication gives.
    TValues VecCentres;
    TValues VecEdges{0.0};
    for (int Index = 0; Index < 10; ++Index) {
        VecCentres.push_back(0.05 + 0.1 * Index);
        VecEdges.push_back(VecEdges.back() + 0.1);
    }
    EXPECT_EQ(Components(*Converted(Edges, MakeAxis(0.1, VecCentres, 'X'), 'X'), 'X'), VecEdges);
}

TEST(TAxisTools, EmptyOrUnfilledAxisIsRefused)
{
    const TAxis Empty(1.0);
    const TAxis Unfilled(1.0, 2);
    for (TConvert Convert : {Edges, Centres}) {
        EXPECT_TERROR(Convert(&Empty, 'X'), "Index is out of range in TAxis::GetPoint");
        EXPECT_TERROR(Convert(&Unfilled, 'Y'), "Point is not set in TAxis::GetPoint");
    }
}
