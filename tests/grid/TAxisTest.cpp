#include <algorithm>
#include <initializer_list>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "GridTestSupport.h"
#include "grid/TAxisLookup.h"

namespace {
using TValues = std::vector<double>;

// Expects each value to lie in the interval paired with it.
void ExpectIndices(const TAxis& Axis, char ChrAxis,
                   std::initializer_list<std::pair<double, long>> Cases)
{
    for (const auto& [DblValue, LngIndex] : Cases)
        EXPECT_EQ(Axis.GetIndex(DblValue, ChrAxis), LngIndex) << "value " << DblValue;
}

// The interval lookup as a plain scan: the range check on the end points,
// then the first interval that holds the value.
std::string ScannedIndex(const TValues& VecPoints, double DblValue)
{
    if (VecPoints.empty())
        return "-1";
    const auto [DblLow, DblHigh] = std::minmax(VecPoints.front(), VecPoints.back());
    if (DblValue < DblLow || DblValue > DblHigh)
        return "Ordinate is out of range in TAxis::GetIndex";
    for (std::size_t LngI = 0; LngI + 1 < VecPoints.size(); ++LngI)
        if (std::min(VecPoints[LngI], VecPoints[LngI + 1]) <= DblValue
            && DblValue < std::max(VecPoints[LngI], VecPoints[LngI + 1]))
            return std::to_string(LngI);
    return "-1";
}

std::string LookedUpIndex(const TAxis& Axis, double DblValue)
{
    try {
        return std::to_string(Axis.GetIndex(DblValue, 'Y'));
    } catch (const TError& Error) {
        return Error.what();
    }
}
} // namespace

TEST(TAxisIndex, BisectionGivesWhatAScanOfTheIntervalsGives)
{
    std::mt19937_64 Random(5);
    const std::vector<TValues> VecAxes = {
        {0, 1, 2, 3},       {3, 2, 1, 0},          {0, 1, 1, 2},   {2, 1, 1, 0},
        {0, 0.1, 0.2, 0.30000000000000004},        {5},            {1, 1},
        {0, 2, 1, 3},       {-1e300, 0, 1e300},    {7, 7, 7},      {},
    };
    for (const TValues& VecPoints : VecAxes) {
        const auto PtrAxis = MakeAxis(1, VecPoints, 'Y');
        TValues VecProbes = {std::numeric_limits<double>::quiet_NaN(), -1e308, 1e308};
        for (double DblPoint : VecPoints)
            for (double DblStep : {-0.5, -1e-9, 0.0, 1e-9, 0.5})
                VecProbes.push_back(DblPoint + DblStep);
        for (int LngI = 0; LngI < 20; ++LngI)
            VecProbes.push_back(std::uniform_real_distribution<double>(-2, 5)(Random));
        // The lookup that throws, and the one that answers instead.
        const TAxisLookup Lookup(*PtrAxis, 'Y');
        for (double DblProbe : VecProbes) {
            const std::string StgScanned = ScannedIndex(VecPoints, DblProbe);
            EXPECT_EQ(LookedUpIndex(*PtrAxis, DblProbe), StgScanned)
                << "axis of " << VecPoints.size() << " points, value " << DblProbe;
            const long LngFound = Lookup.Find(DblProbe);
            EXPECT_EQ(LngFound == TAxisLookup::OutOfRange ? "Ordinate is out of range in TAxis::GetIndex"
                                                          : std::to_string(LngFound),
                      StgScanned)
                << "axis of " << VecPoints.size() << " points, value " << DblProbe;
        }
    }
}

TEST(TAxisPoints, SlotsHoldWhatIsSetWithinTheAxis)
{
    // The replaced point is freed (the leak checker would report it) and
    // storing the held point again keeps it alive.
    TAxis Axis(2.0, 3);
    Axis.SetPoint(1, new TPoint(1.0, 2.0));
    Axis.SetPoint(1, new TPoint(5.0, 6.0));
    Axis.SetPoint(1, Axis.GetPoint(1));
    EXPECT_EQ(Axis.GetPoint(1)->GetX(), 5.0);

    TPoint Point(0.0, 0.0);
    EXPECT_TERROR(Axis.SetPoint(-1, &Point), "Index is out of range in TAxis::SetPoint");
    EXPECT_TERROR(Axis.SetPoint(3, &Point), "Index is out of range in TAxis::SetPoint");
    EXPECT_TERROR(Axis.GetPoint(-1), "Index is out of range in TAxis::GetPoint");
    EXPECT_TERROR(Axis.GetPoint(3), "Index is out of range in TAxis::GetPoint");
}

TEST(TAxisGetIndex, IntervalsHoldTheirLowerEdgeNotTheirUpper)
{
    // X components 0, 1, 2 and Y components 10, 20, 30; any letter but X reads Y.
    TAxis Rising(1.0, 3);
    for (long LngIndex = 0; LngIndex < 3; ++LngIndex)
        Rising.SetPoint(LngIndex, new TPoint(LngIndex, 10.0 * (LngIndex + 1)));
    ExpectIndices(Rising, 'X', {{0.0, 0}, {0.5, 0}, {1.0, 1}, {1.99, 1}, {2.0, -1}});
    ExpectIndices(Rising, 'Y', {{15.0, 0}});
    ExpectIndices(Rising, 'Z', {{20.0, 1}});
    EXPECT_TERROR(Rising.GetIndex(-0.1, 'X'), "Ordinate is out of range in TAxis::GetIndex");
    EXPECT_TERROR(Rising.GetIndex(2.1, 'X'), "Ordinate is out of range in TAxis::GetIndex");

    const auto PtrFalling = MakeAxis(1.0, {2.0, 1.0, 0.0}, 'Y');
    ExpectIndices(*PtrFalling, 'Y', {{2.0, -1}, {1.99, 0}, {1.0, 0}, {0.5, 1}, {0.0, 1}});
    EXPECT_TERROR(PtrFalling->GetIndex(2.5, 'Y'), "Ordinate is out of range in TAxis::GetIndex");
}

TEST(TAxisGetIndex, NoIntervalGivesMinusOneAndEmptySlotIsReported)
{
    ExpectIndices(TAxis(1.0), 'X', {{0.0, -1}});
    ExpectIndices(*MakeAxis(1.0, {5.0}, 'X'), 'X', {{5.0, -1}});
    ExpectIndices(*MakeAxis(1.0, {0.0, 1.0}, 'X'),
                  'X', {{std::numeric_limits<double>::quiet_NaN(), -1}});

    TAxis Gapped(1.0, 3);
    Gapped.SetPoint(0, new TPoint(0.0, 0.0));
    Gapped.SetPoint(2, new TPoint(2.0, 0.0));
    EXPECT_TERROR(Gapped.GetIndex(1.5, 'X'), "Point is not set in TAxis::GetPoint");
}

TEST(TAxisGetSegment, ClonesTheInclusiveRange)
{
    const auto PtrAxis = MakeAxis(0.5, {0.0, 0.5, 1.0, 1.5}, 'X', 9.0);
    const std::unique_ptr<TAxis> PtrInner(PtrAxis->GetSegment(1, 3));
    EXPECT_EQ(Components(*PtrInner, 'X'), TValues({0.5, 1.0, 1.5}));
    EXPECT_EQ(Components(*PtrInner, 'Y'), TValues({9.0, 9.0, 9.0}));
    EXPECT_EQ(PtrInner->GetResolution(), 0.5);
    EXPECT_EQ(Components(*std::unique_ptr<TAxis>(PtrAxis->GetSegment(1, 1)), 'X'), TValues{0.5});

    // Start, then end, then their order.
    EXPECT_TERROR(PtrAxis->GetSegment(-1, 5), "Start index is out of range in TAxis::GetSegment");
    EXPECT_TERROR(PtrAxis->GetSegment(4, 0), "Start index is out of range in TAxis::GetSegment");
    EXPECT_TERROR(PtrAxis->GetSegment(0, 4), "End index is out of range in TAxis::GetSegment");
    EXPECT_TERROR(PtrAxis->GetSegment(2, -1), "End index is out of range in TAxis::GetSegment");
    EXPECT_TERROR(PtrAxis->GetSegment(2, 1),
                  "Start index is greater than end index in TAxis::GetSegment");
}

TEST(TAxisGetSegment, ByPointsUsesTheIntervalsThatHoldThem)
{
    // The segment between points holding the values in the component ChrAxis names.
    const auto Segment = [](const TAxis& Axis, double DblStart, double DblEnd, char ChrAxis) {
        const TPoint Start = ChrAxis == 'X' ? TPoint(DblStart, 100.0) : TPoint(100.0, DblStart);
        const TPoint End = ChrAxis == 'X' ? TPoint(DblEnd, 100.0) : TPoint(100.0, DblEnd);
        return std::unique_ptr<TAxis>(Axis.GetSegment(&Start, &End, ChrAxis));
    };
    const auto PtrRising = MakeAxis(1.0, {0.0, 1.0, 2.0, 3.0}, 'X');
    EXPECT_EQ(Components(*Segment(*PtrRising, 0.5, 1.0, 'X'), 'X'), TValues({0.0, 1.0}));
    // A point in no interval fails the index checks.
    EXPECT_TERROR(Segment(*PtrRising, 0.5, 3.0, 'X'),
                  "End index is out of range in TAxis::GetSegment");
    // On a falling axis the greater value comes first.
    const auto PtrFalling = MakeAxis(1.0, {2.0, 1.0, 0.0}, 'Y');
    EXPECT_EQ(Components(*Segment(*PtrFalling, 1.5, 0.5, 'Y'), 'Y'), TValues({2.0, 1.0}));
}

TEST(TAxisClone, IsDeepAndKeepsPointKinds)
{
    TAxis Source(2.0, 3);
    Source.SetPoint(0, new TMapPoint(1.0, 2.0, 7.5));
    Source.SetPoint(2, new TPoint(3.0, 4.0));
    const std::unique_ptr<TAxis> PtrCopy(Source.Clone());
    EXPECT_EQ(PtrCopy->GetResolution(), 2.0);
    auto* PtrMapPoint = dynamic_cast<TMapPoint*>(PtrCopy->GetPoint(0));
    ASSERT_NE(PtrMapPoint, nullptr);
    EXPECT_EQ(PtrMapPoint->GetValue(), 7.5);
    EXPECT_EQ(PtrCopy->GetPoint(1), nullptr);
    EXPECT_EQ(dynamic_cast<TMapPoint*>(PtrCopy->GetPoint(2)), nullptr);
    PtrMapPoint->SetValue(-1.0);
    EXPECT_EQ(static_cast<TMapPoint*>(Source.GetPoint(0))->GetValue(), 7.5);
    EXPECT_EQ(std::unique_ptr<TAxis>(TAxis(1.0).Clone())->GetSize(), 0);
}
