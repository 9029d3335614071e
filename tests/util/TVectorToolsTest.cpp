#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "grid/GridTestSupport.h"
#include "util/TVectorTools.h"

namespace {
using TValues = std::vector<double>;
const double NaN = std::nan("");
}  // namespace

TEST(TVectorTools, WeightedMeanDividesByTheCount)
{
    EXPECT_EQ(TVectorTools::VectorWeightedMean({2, 4}, {1, 3}), 7.0);
    EXPECT_TERROR(TVectorTools::VectorWeightedMean({1, 2}, {1, 2, 3}),
                  "Length of value and weight vectors do not match in TVectorTools::WeightedMean");
}

TEST(TVectorTools, SeriesAddsTheStepToThePreviousElement)
{
    const struct { double DblStart, DblEnd, DblStep; TValues VecSeries; } Cases[] = {
        {0, 1, 0.25, {0, 0.25, 0.5, 0.75, 1}},
        // 0.1 + 0.1 + 0.1 rounds above 0.3.
        {0, 0.3, 0.1, {0, 0.1, 0.2}},
        // Empty series, whatever the step.
        {3, 2, 1, {}}, {3, 2, 0, {}}, {3, 2, NaN, {}}, {NaN, 2, -1, {}}, {0, NaN, 0, {}},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(TVectorTools::VectorSeries(Case.DblStart, Case.DblEnd, Case.DblStep),
                  Case.VecSeries);
}

TEST(TVectorTools, SeriesThatWouldNeverEndIsRefused)
{
    for (double DblStep : {0.0, -1.0, NaN})
        EXPECT_TERROR(TVectorTools::VectorSeries(1, 1, DblStep),
                      "Step must be > 0.0 in TVectorTools::VectorSeries");
}

TEST(TVectorTools, SeriesIsCountedBeforeItIsBuilt)
{
    const double Inf = std::numeric_limits<double>::infinity();
    const std::string StgTooLong = "Series is too long to hold in TVectorTools::VectorSeries";
    const std::string StgStuck = "Step does not advance the series in TVectorTools::VectorSeries";
    const struct { double DblStart, DblEnd, DblStep; std::string StgMessage; } Cases[] = {
        {0, 1e18, 1, StgTooLong},
        {-1e308, 1e308, 1e295, StgTooLong},
        {0, 1e10, 1e-300, StgTooLong},
        {0, Inf, 1, "End of the series is infinite in TVectorTools::VectorSeries"},
        {0, Inf, 1e308, "End of the series is infinite in TVectorTools::VectorSeries"},
        // A step lost in rounding at the start, or only once the sums reach 2^53.
        {1e20, 2e20, 1, StgStuck},
        {-Inf, 0, 1, StgStuck},
        {9007199254740990.0, 9007199254740999.0, 1, StgStuck},
    };
    for (const auto& Case : Cases)
        EXPECT_TERROR(TVectorTools::VectorSeries(Case.DblStart, Case.DblEnd, Case.DblStep),
                      Case.StgMessage);
    // A span beyond the doubles' range, counted without overflowing.
    EXPECT_EQ(TVectorTools::VectorSeries(-1e308, 1e308, 1e308), (TValues{-1e308, 0, 1e308}));
    // Elements are sums of the step, not start + k * step, however long.
    const TValues VecSeries = TVectorTools::VectorSeries(0.1, 1000, 0.1);
    double DblSum = 0.1;
    for (double DblElement : VecSeries) {
        ASSERT_EQ(DblElement, DblSum);
        DblSum += 0.1;
    }
    EXPECT_GT(DblSum, 1000.0);
    EXPECT_LE(DblSum - 0.1, 1000.0);
}

TEST(TVectorTools, GradientIsTheUnguardedLeastSquaresSlope)
{
    EXPECT_EQ(TVectorTools::Gradient({0, 1, 2, 3}, {1, 1, 2, 2}), 0.4);
    for (const TValues& VecX : {TValues{1}, TValues{1, 1}, TValues{}})
        EXPECT_TRUE(std::isnan(TVectorTools::Gradient(VecX, TValues(VecX.size(), 2.0))));
    EXPECT_EQ(TVectorTools::VectorProduct({1, 2}, {3, 4}), (TValues{3, 8}));
    EXPECT_TERROR(TVectorTools::VectorProduct({1}, {}),
                  "Length of vectors does not match in TVectorTools::VectorProduct");
    EXPECT_TERROR(TVectorTools::Gradient({0, 1}, {1}),
                  "Length of vectors does not match in TVectorTools::VectorProduct");
}
