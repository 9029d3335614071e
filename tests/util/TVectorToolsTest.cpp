#include <cmath>
#include <limits>
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
    // A step lost in rounding; sums stuck at an infinite end.
    EXPECT_TERROR(TVectorTools::VectorSeries(1e20, 2e20, 1),
                  "Step does not advance the series in TVectorTools::VectorSeries");
    EXPECT_TERROR(TVectorTools::VectorSeries(0, std::numeric_limits<double>::infinity(), 1e308),
                  "Step does not advance the series in TVectorTools::VectorSeries");
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
