// Operations on the values of one map.
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <string>

#include "ops/OpsTestSupport.h"

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

// 3 x 2 cells of size 0.1 from (0.1, 0.3): edges that a round trip through
// the centres would move.
std::unique_ptr<TMap> SmallMap(const TValues& VecCells, double DblNoData = -9999.0)
{
    return MakeMap(3, 2, 0.1, 0.1, 0.1 + 0.1 + 0.1, VecCells, DblNoData);
}

void ExpectSameAxes(const TMap& Result, const TMap& Source)
{
    EXPECT_EQ(Components(*Result.GetXAxisInterval(), 'X'), Components(*Source.GetXAxisInterval(), 'X'));
    EXPECT_EQ(Components(*Result.GetYAxisInterval(), 'Y'), Components(*Source.GetYAxisInterval(), 'Y'));
    EXPECT_EQ(Components(*Result.GetXAxis(), 'X'), Components(*Source.GetXAxis(), 'X'));
    EXPECT_EQ(Components(*Result.GetYAxis(), 'Y'), Components(*Source.GetYAxis(), 'Y'));
}

}  // namespace

TEST(TMapToolsCells, FillBlockChecksEverythingBeforeWritingAnything)
{
    const struct {
        long LngNorth, LngSouth, LngWest, LngEast;
        const char* StgMessage;
    } ArrCases[] = {
        {5, 4, 0, 0, "Northern edge must be less than southern edge in TMapTools::FillBlock"},
        {0, 1, 2, 1, "Western edge must be less than eastern edge in TMapTools::FillBlock"},
        {-1, 1, 0, 0, "Northern ordinate is out of range in TMapTools::FillBlock"},
        {0, 2, 0, 0, "Southern ordinate is out of range in TMapTools::FillBlock"},
        {0, 1, -1, 0, "Western ordinate is out of range in TMapTools::FillBlock"},
        {0, 1, 0, 3, "Eastern ordinate is out of range in TMapTools::FillBlock"},
    };
    const auto PtrMap = SmallMap({1, 2, 3, 4, 5, 6});
    for (const auto& Case : ArrCases)
        EXPECT_TERROR(TMapTools::FillBlock(PtrMap.get(), 9, Case.LngNorth, Case.LngSouth,
                                           Case.LngWest, Case.LngEast),
                      Case.StgMessage);
    EXPECT_EQ(Cells(*PtrMap), TValues({1, 2, 3, 4, 5, 6}));
    TMapTools::FillBlock(PtrMap.get(), 9, 1, 1, 2, 2);
    TMapTools::FillBlock(PtrMap.get(), 7, 0, 1, 0, 1);
    EXPECT_EQ(Cells(*PtrMap), TValues({7, 7, 3, 7, 7, 9}));
}

TEST(TMapToolsCells, RecodingAndThresholdsTreatEveryValueAlike)
{
    const auto PtrMap = SmallMap({-9999, 2, 0.0, NaN, 5, -1}, -1);
    const auto Check = [&](TMap* PtrResult, const TValues& VecExpected) {
        const std::unique_ptr<TMap> PtrOwned(PtrResult);
        const TValues VecCells = Cells(*PtrOwned);
        for (std::size_t LngI = 0; LngI < VecExpected.size(); ++LngI)
            EXPECT_TRUE(VecCells[LngI] == VecExpected[LngI]
                        || (std::isnan(VecCells[LngI]) && std::isnan(VecExpected[LngI])))
                << "cell " << LngI << ": " << VecCells[LngI];
        // The result keeps the geometry, not the no-data value.
        EXPECT_EQ(PtrOwned->GetNoDataValue(), -9999.0);
        ExpectSameAxes(*PtrOwned, *PtrMap);
    };
    // A value that is no key takes the default; -0.0 finds 0.0; NaN finds nothing.
    Check(TMapTools::ReplaceValue(PtrMap.get(), {{-9999, 1}, {-0.0, 8}, {5, 50}}, 3),
          {1, 3, 8, 3, 50, 3});
    Check(TMapTools::ReplaceValue(PtrMap.get(), {}, 4), TValues(6, 4));
    // The threshold itself counts as above it.
    Check(TMapTools::Threshold(PtrMap.get(), 2), {0, 2, 0, 0, 5, 0});
    Check(TMapTools::ThresholdReplace(PtrMap.get(), 2, 7), {-9999, 7, 0, NaN, 7, -1});
    // Mask: the second map's values, whatever its cell size and position.
    Check(TMapTools::Mask(PtrMap.get(), MakeMap(3, 2, 5, 100, 100, {1, 2, 3, 2, 2, 0}).get(), 2, -5),
          {1, -5, 3, -5, -5, 0});

    std::vector<TMap*> VecThresholded = TMapTools::Threshold({PtrMap.get(), PtrMap.get()}, 5);
    ASSERT_EQ(VecThresholded.size(), 2u);
    for (TMap* PtrResult : VecThresholded)
        Check(PtrResult, {0, 0, 0, 0, 5, 0});
    EXPECT_TRUE(TMapTools::Threshold(std::vector<TMap*>{}, 5).empty());
}

TEST(TMapToolsCells, MaskComparesDimensionsOnly)
{
    const auto PtrFirst = SmallMap({});
    EXPECT_TERROR(TMapTools::Mask(PtrFirst.get(), MakeMap(2, 3, 0.1, 0, 0).get(), 0, 0),
                  "X dimensions do not match in TMapTools::Mask");
    EXPECT_TERROR(TMapTools::Mask(PtrFirst.get(), MakeMap(3, 3, 0.1, 0, 0).get(), 0, 0),
                  "Y dimensions do not match in TMapTools::Mask");
}

TEST(TMapToolsCells, CountValuesKeysEachValueOnce)
{
    // Columns outer: cell (0, 1), holding -0.0, comes before cell (1, 0).
    const auto PtrMap = SmallMap({-9999, 0.0, NaN, -0.0, -9999, 2.5});
    const std::map<double, long> MapCounts = TMapTools::CountValues(PtrMap.get());
    EXPECT_EQ(MapCounts, (std::map<double, long>{{-9999, 2}, {0.0, 2}, {2.5, 1}}));
    EXPECT_TRUE(std::signbit(MapCounts.find(0.0)->first));
    const std::map<double, long> MapZeros =
        TMapTools::CountValues(MakeMap(2, 1, 1, 0, 1, {0.0, -0.0}).get());
    EXPECT_EQ(MapZeros, (std::map<double, long>{{0.0, 2}}));
    EXPECT_FALSE(std::signbit(MapZeros.begin()->first));

    EXPECT_EQ(TMapTools::CountValues(PtrMap.get(), 0.0), 2);
    EXPECT_EQ(TMapTools::CountValues(PtrMap.get(), NaN), 0);
    EXPECT_EQ(TMapTools::CountValues(PtrMap.get(), 7), 0);
    const TMap Empty(1.0);
    EXPECT_TRUE(TMapTools::CountValues(&Empty).empty());
    EXPECT_EQ(TMapTools::CountValues(&Empty, -9999), 0);
}

TEST(TMapToolsCells, RoundContentsRoundsPositivesHalfUpAndTruncatesNegatives)
{
    const struct {
        double DblIn, DblOut;
    } ArrCases[] = {
        {2.5, 3},         {2.4999, 2},       {-2.5, -2},    {-2.7, -2},
        {-9999, -9999},   {0.49999999999999994, 0},         {4.5e15 + 0.5, 4.5e15 + 1},
        {3e9 + 0.5, 3e9 + 1}, {-3e9 - 0.75, -3e9},          {9007199254740993.0, 9007199254740993.0},
        {Inf, Inf},       {-Inf, -Inf},      {1e300, 1e300}, {-1e300, -1e300},
    };
    for (const auto& Case : ArrCases) {
        const auto PtrResult = Own(TMapTools::RoundContents(SmallMap({Case.DblIn}).get()));
        EXPECT_EQ(PtrResult->GetPointVal(0, 0), Case.DblOut) << Case.DblIn;
    }
    // Within 1 of zero a negative value gives +0, as an integer conversion
    // does; NaN stays NaN, sign and all.
    const auto PtrResult = Own(TMapTools::RoundContents(SmallMap({-0.7, -0.0, -NaN}).get()));
    EXPECT_FALSE(std::signbit(PtrResult->GetPointVal(0, 0)));
    EXPECT_FALSE(std::signbit(PtrResult->GetPointVal(1, 0)));
    EXPECT_TRUE(std::isnan(PtrResult->GetPointVal(2, 0)) && std::signbit(PtrResult->GetPointVal(2, 0)));
}

// The forms taking the output's no-data value: the input's no-data cells
// (-1 here, or NaN, which marks nothing) become it and take no part; the
// others as the documented forms give them, computed here by the tests' own
// rules.
TEST(TMapToolsCells, FormsWithTheOutputsNoDataValue)
{
    const TValues VecIn = {-1, 2.5, -2.5, NaN, 7, -9999};
    const std::map<double, double> MapTable = {{2.5, 25}, {-1, 10}};
    const struct {
        const char* StgName;
        std::function<TMap*(const TMap*, double)> Form;
        std::function<double(double)> Rule;
    } ArrCases[] = {
        {"Threshold", [](const TMap* PtrMap, double DblOut) { return TMapTools::Threshold(PtrMap, 2.5, DblOut); },
         [](double v) { return v < 2.5 || std::isnan(v) ? 0.0 : v; }},
        {"ThresholdReplace",
         [](const TMap* PtrMap, double DblOut) { return TMapTools::ThresholdReplace(PtrMap, 2.5, 8, DblOut); },
         [](double v) { return v >= 2.5 ? 8.0 : v; }},
        {"ReplaceValue",
         [&](const TMap* PtrMap, double DblOut) { return TMapTools::ReplaceValue(PtrMap, MapTable, 3, DblOut); },
         [](double v) { return v == 2.5 ? 25.0 : v == -1 ? 10.0 : 3.0; }},
        {"RoundContents", [](const TMap* PtrMap, double DblOut) { return TMapTools::RoundContents(PtrMap, DblOut); },
         [](double v) { return v < 0 ? -std::floor(-v) + 0.0 : std::floor(v + 0.5); }},
    };
    for (const auto& Case : ArrCases)
        for (double DblIn : {-1.0, NaN})
            for (double DblOut : {-5.0, NaN}) {
                SCOPED_TRACE(std::string(Case.StgName) + " " + std::to_string(DblIn) + " to " + std::to_string(DblOut));
                const auto PtrMap = SmallMap(VecIn, DblIn);
                const auto PtrResult = Own(Case.Form(PtrMap.get(), DblOut));
                EXPECT_TRUE(SameValue(PtrResult->GetNoDataValue(), DblOut));
                ExpectSameAxes(*PtrResult, *PtrMap);
                for (std::size_t LngI = 0; LngI < VecIn.size(); ++LngI) {
                    const bool BlnNoData = VecIn[LngI] == DblIn;
                    EXPECT_TRUE(SameValue(PtrResult->GetCells()[LngI], BlnNoData ? DblOut : Case.Rule(VecIn[LngI])))
                        << "cell " << LngI << ": " << PtrResult->GetCells()[LngI];
                }
            }
}
