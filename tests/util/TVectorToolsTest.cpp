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
const double Infinity = std::numeric_limits<double>::infinity();
}  // namespace

TEST(TVectorTools, MeansDivideByTheCount)
{
    EXPECT_EQ(TVectorTools::SumVector({1.5, 2.5}), 4.0);
    EXPECT_EQ(TVectorTools::VectorMean({1, 2, 3, 4}), 2.5);
    EXPECT_TRUE(std::isnan(TVectorTools::VectorMean({})));
    EXPECT_EQ(TVectorTools::VectorWeightedMean({2, 4}, {1, 3}), 7.0);
    EXPECT_TERROR(TVectorTools::VectorWeightedMean({1, 2}, {1, 2, 3}),
                  "Length of value and weight vectors do not match in TVectorTools::WeightedMean");
}

TEST(TVectorTools, MembershipAndConversions)
{
    EXPECT_FALSE(TVectorTools::HasValue(TValues{1.0, NaN}, NaN));
    EXPECT_TRUE(TVectorTools::HasValue(TValues{-0.0}, 0.0));
    EXPECT_TRUE(TVectorTools::HasValue(std::vector<int>{4, 5}, 5));
    EXPECT_EQ(TVectorTools::StringToInt({"12", " 7", "3.9", "abc", "-4x"}),
              (std::vector<int>{12, 7, 3, 0, -4}));
    EXPECT_EQ(TVectorTools::StringToDouble({"1.5", "2e3", "x"}), (TValues{1.5, 2000.0, 0.0}));
    EXPECT_EQ(TVectorTools::IntToDouble({-3, 2}), (TValues{-3.0, 2.0}));
}

TEST(TVectorTools, SeriesAddsTheStepToThePreviousElement)
{
    const struct { double DblStart, DblEnd, DblStep; TValues VecSeries; } Cases[] = {
        {0, 1, 0.25, {0, 0.25, 0.5, 0.75, 1}},
        {2, 4, 1, {2, 3, 4}},
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
    EXPECT_TERROR(TVectorTools::VectorSeries(1e20, 2e20, 1),
                  "Step does not advance the series in TVectorTools::VectorSeries");
    EXPECT_TERROR(TVectorTools::VectorSeries(0, Infinity, 1e308),
                  "Step does not advance the series in TVectorTools::VectorSeries");
}

TEST(TVectorTools, GradientIsTheUnguardedLeastSquaresSlope)
{
    EXPECT_EQ(TVectorTools::VectorProduct({1, 2}, {3, 4}), (TValues{3, 8}));
    EXPECT_EQ(TVectorTools::Gradient({0, 1, 2}, {1, 3, 5}), 2.0);
    EXPECT_EQ(TVectorTools::Gradient({0, 2}, {2, 6}), 2.0);
    EXPECT_EQ(TVectorTools::Gradient({0, 1, 2, 3}, {1, 1, 2, 2}), 0.4);
    for (const auto& [VecX, VecY] : {std::pair<TValues, TValues>{{1}, {5}}, {{1, 1}, {2, 3}}, {{}, {}}})
        EXPECT_TRUE(std::isnan(TVectorTools::Gradient(VecX, VecY)));
    for (const auto& [VecA, VecB] : {std::pair<TValues, TValues>{{0, 1}, {1}}, {{1}, {}}}) {
        EXPECT_TERROR(TVectorTools::VectorProduct(VecA, VecB),
                      "Length of vectors does not match in TVectorTools::VectorProduct");
        EXPECT_TERROR(TVectorTools::Gradient(VecA, VecB),
                      "Length of vectors does not match in TVectorTools::VectorProduct");
    }
}
