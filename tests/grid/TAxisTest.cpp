#include <cmath>
#include <limits>
#include <memory>

#include <gtest/gtest.h>

#include "GridTestSupport.h"

namespace {
const double Nan = std::numeric_limits<double>::quiet_NaN();
}

TEST(TAxisPoints, SlotsStartEmptyAndHoldWhatIsSet)
{
    TAxis Axis(2.0, 3);
    EXPECT_EQ(Axis.GetSize(), 3);
    EXPECT_EQ(Axis.GetResolution(), 2.0);
    EXPECT_EQ(Axis.GetPoint(1), nullptr);
    EXPECT_EQ(TAxis(1.0).GetSize(), 0);

    auto* PtrPoint = new TMapPoint(1.0, 2.0, 3.0);
    Axis.SetPoint(1, PtrPoint);
    EXPECT_EQ(Axis.GetPoint(1), PtrPoint);
    EXPECT_EQ(&Axis.GetFilledPoint(1), PtrPoint);

    // The replaced point is freed (the leak checker would report it) and
    // storing the held point again keeps it alive.
    Axis.SetPoint(1, new TPoint(5.0, 6.0));
    Axis.SetPoint(1, Axis.GetPoint(1));
    EXPECT_EQ(Axis.GetPoint(1)->GetX(), 5.0);
}

TEST(TAxisPoints, IndexOutsideTheAxisIsRefused)
{
    TAxis Axis(1.0, 2);
    TPoint Point(0.0, 0.0);
    EXPECT_TERROR(Axis.SetPoint(-1, &Point), "Index is out of range in TAxis::SetPoint");
    EXPECT_TERROR(Axis.SetPoint(2, &Point), "Index is out of range in TAxis::SetPoint");
    EXPECT_TERROR(Axis.GetPoint(-1), "Index is out of range in TAxis::GetPoint");
    EXPECT_TERROR(Axis.GetPoint(2), "Index is out of range in TAxis::GetPoint");
    EXPECT_TERROR(Axis.GetFilledPoint(2), "Index is out of range in TAxis::GetPoint");
    EXPECT_TERROR(Axis.GetFilledPoint(0), "Point is not set in TAxis::GetPoint");
}

TEST(TAxisGetIndex, RisingAxisIncludesLowerEdgeExcludesUpper)
{
    const auto PtrAxis = MakeAxis(1.0, {0.0, 1.0, 2.0, 3.0}, 'X');
    EXPECT_EQ(PtrAxis->GetIndex(0.0, 'X'), 0);
    EXPECT_EQ(PtrAxis->GetIndex(0.5, 'X'), 0);
    EXPECT_EQ(PtrAxis->GetIndex(1.0, 'X'), 1);
    EXPECT_EQ(PtrAxis->GetIndex(2.99, 'X'), 2);
    EXPECT_EQ(PtrAxis->GetIndex(3.0, 'X'), -1);
    EXPECT_TERROR(PtrAxis->GetIndex(-0.1, 'X'), "Ordinate is out of range in TAxis::GetIndex");
    EXPECT_TERROR(PtrAxis->GetIndex(3.1, 'X'), "Ordinate is out of range in TAxis::GetIndex");
}

TEST(TAxisGetIndex, FallingAxisIncludesLowerEdgeExcludesUpper)
{
    const auto PtrAxis = MakeAxis(1.0, {2.0, 1.0, 0.0}, 'Y');
    EXPECT_EQ(PtrAxis->GetIndex(2.0, 'Y'), -1);
    EXPECT_EQ(PtrAxis->GetIndex(1.99, 'Y'), 0);
    EXPECT_EQ(PtrAxis->GetIndex(1.0, 'Y'), 0);
    EXPECT_EQ(PtrAxis->GetIndex(0.5, 'Y'), 1);
    EXPECT_EQ(PtrAxis->GetIndex(0.0, 'Y'), 1);
    EXPECT_TERROR(PtrAxis->GetIndex(2.5, 'Y'), "Ordinate is out of range in TAxis::GetIndex");
}

TEST(TAxisGetIndex, LetterChoosesTheComponent)
{
    TAxis Axis(1.0, 3);
    Axis.SetPoint(0, new TPoint(0.0, 10.0));
    Axis.SetPoint(1, new TPoint(1.0, 20.0));
    Axis.SetPoint(2, new TPoint(2.0, 30.0));
    EXPECT_EQ(Axis.GetIndex(1.5, 'X'), 1);
    EXPECT_EQ(Axis.GetIndex(15.0, 'Y'), 0);
    EXPECT_EQ(Axis.GetIndex(25.0, 'Z'), 1);
    EXPECT_TERROR(Axis.GetIndex(15.0, 'X'), "Ordinate is out of range in TAxis::GetIndex");
}

TEST(TAxisGetIndex, ValueInNoIntervalGivesMinusOne)
{
    EXPECT_EQ(TAxis(1.0).GetIndex(0.0, 'X'), -1);
    const auto PtrSingle = MakeAxis(1.0, {5.0}, 'X');
    EXPECT_EQ(PtrSingle->GetIndex(5.0, 'X'), -1);
    EXPECT_TERROR(PtrSingle->GetIndex(4.0, 'X'), "Ordinate is out of range in TAxis::GetIndex");
    EXPECT_EQ(MakeAxis(1.0, {0.0, 1.0}, 'X')->GetIndex(Nan, 'X'), -1);
}

TEST(TAxisGetIndex, EmptySlotIsReportedNotFollowed)
{
    TAxis Axis(1.0, 3);
    Axis.SetPoint(0, new TPoint(0.0, 0.0));
    Axis.SetPoint(2, new TPoint(2.0, 0.0));
    EXPECT_TERROR(Axis.GetIndex(1.5, 'X'), "Point is not set in TAxis::GetPoint");
}

TEST(TAxisGetSegment, ClonesTheInclusiveRange)
{
    const auto PtrAxis = MakeAxis(0.5, {0.0, 0.5, 1.0, 1.5}, 'X', 9.0);
    const std::unique_ptr<TAxis> PtrOne(PtrAxis->GetSegment(1, 1));
    EXPECT_EQ(Components(*PtrOne, 'X'), std::vector<double>({0.5}));
    EXPECT_EQ(PtrOne->GetResolution(), 0.5);
    EXPECT_NE(PtrOne->GetPoint(0), PtrAxis->GetPoint(1));

    const std::unique_ptr<TAxis> PtrInner(PtrAxis->GetSegment(1, 3));
    EXPECT_EQ(Components(*PtrInner, 'X'), std::vector<double>({0.5, 1.0, 1.5}));
    EXPECT_EQ(Components(*PtrInner, 'Y'), std::vector<double>({9.0, 9.0, 9.0}));
}

TEST(TAxisGetSegment, ChecksStartThenEndThenOrder)
{
    const auto PtrAxis = MakeAxis(1.0, {0.0, 1.0, 2.0}, 'X');
    EXPECT_TERROR(PtrAxis->GetSegment(-1, 5), "Start index is out of range in TAxis::GetSegment");
    EXPECT_TERROR(PtrAxis->GetSegment(3, 0), "Start index is out of range in TAxis::GetSegment");
    EXPECT_TERROR(PtrAxis->GetSegment(0, 3), "End index is out of range in TAxis::GetSegment");
    EXPECT_TERROR(PtrAxis->GetSegment(2, -1), "End index is out of range in TAxis::GetSegment");
    EXPECT_TERROR(PtrAxis->GetSegment(2, 1),
                  "Start index is greater than end index in TAxis::GetSegment");
}

TEST(TAxisGetSegment, ByPointsUsesTheIntervalsThatHoldThem)
{
    const auto PtrRising = MakeAxis(1.0, {0.0, 1.0, 2.0, 3.0}, 'X');
    const TPoint West(0.5, 100.0);
    const TPoint Middle(1.0, 100.0);
    const TPoint EastEdge(3.0, 100.0);
    const TPoint Outside(-1.0, 100.0);
    const std::unique_ptr<TAxis> PtrSegment(PtrRising->GetSegment(&West, &Middle, 'X'));
    EXPECT_EQ(Components(*PtrSegment, 'X'), std::vector<double>({0.0, 1.0}));

    // A point in no interval fails the index checks; an out-of-range one
    // fails its own lookup, the first point's lookup before the second's.
    EXPECT_TERROR(PtrRising->GetSegment(&West, &EastEdge, 'X'),
                  "End index is out of range in TAxis::GetSegment");
    EXPECT_TERROR(PtrRising->GetSegment(&EastEdge, &Outside, 'X'),
                  "Ordinate is out of range in TAxis::GetIndex");
    EXPECT_TERROR(PtrRising->GetSegment(&Middle, &West, 'X'),
                  "Start index is greater than end index in TAxis::GetSegment");

    // On a falling axis the greater value comes first.
    const auto PtrFalling = MakeAxis(1.0, {2.0, 1.0, 0.0}, 'Y');
    const TPoint North(100.0, 1.5);
    const TPoint South(100.0, 0.5);
    const std::unique_ptr<TAxis> PtrRows(PtrFalling->GetSegment(&North, &South, 'Y'));
    EXPECT_EQ(Components(*PtrRows, 'Y'), std::vector<double>({2.0, 1.0}));
}

TEST(TAxisClone, IsDeepAndKeepsPointKinds)
{
    TAxis Source(2.0, 3);
    Source.SetPoint(0, new TMapPoint(1.0, 2.0, 7.5));
    Source.SetPoint(2, new TPoint(3.0, 4.0));
    const std::unique_ptr<TAxis> PtrCopy(Source.Clone());

    ASSERT_EQ(PtrCopy->GetSize(), 3);
    EXPECT_EQ(PtrCopy->GetResolution(), 2.0);
    auto* PtrMapPoint = dynamic_cast<TMapPoint*>(PtrCopy->GetPoint(0));
    ASSERT_NE(PtrMapPoint, nullptr);
    EXPECT_EQ(PtrMapPoint->GetValue(), 7.5);
    EXPECT_EQ(PtrCopy->GetPoint(1), nullptr);
    EXPECT_EQ(dynamic_cast<TMapPoint*>(PtrCopy->GetPoint(2)), nullptr);
    EXPECT_EQ(PtrCopy->GetPoint(2)->GetY(), 4.0);

    PtrMapPoint->SetValue(-1.0);
    PtrCopy->SetPoint(2, new TPoint(30.0, 40.0));
    EXPECT_EQ(static_cast<TMapPoint*>(Source.GetPoint(0))->GetValue(), 7.5);
    EXPECT_EQ(Source.GetPoint(2)->GetX(), 3.0);

    EXPECT_EQ(std::unique_ptr<TAxis>(TAxis(1.0).Clone())->GetSize(), 0);
}
