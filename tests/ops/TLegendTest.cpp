// The legend's numbers: each near its value, and apart from the others
// where the values differ.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "ops/TLegend.h"
#include "util/TError.h"

TEST(TLegend, NumbersTellApartTheValuesThatDiffer)
{
    const TColourRamp Gray(TColourTable::Named("gray"), 0, 1);
    const struct {
        double DblMin, DblMax;
    } ArrRanges[] = {{0, 100}, {0.1, 0.1001}, {-2.5e7, 3.5e9}, {1234.5, 1234.5}, {-1e-9, 1e-9}};
    for (const auto& Range : ArrRanges) {
        const std::vector<std::string> VecLabels = TLegend(Gray, Range.DblMin, Range.DblMax, 100).Labels();
        const double ArrValues[] = {Range.DblMin, Range.DblMin / 2 + Range.DblMax / 2, Range.DblMax};
        for (int LngLabel = 0; LngLabel < 3; ++LngLabel) {
            const double DblRead = std::strtod(VecLabels[LngLabel].c_str(), nullptr);
            EXPECT_LE(std::fabs(DblRead - ArrValues[LngLabel]), 5e-3 * std::fabs(ArrValues[LngLabel]))
                << VecLabels[LngLabel];
            for (int LngOther = 0; LngOther < LngLabel; ++LngOther)
                EXPECT_EQ(VecLabels[LngLabel] == VecLabels[LngOther],
                          ArrValues[LngLabel] == ArrValues[LngOther])
                    << VecLabels[LngLabel] << " beside " << VecLabels[LngOther];
        }
    }
    EXPECT_THROW(TLegend(Gray, 0, std::numeric_limits<double>::infinity(), 100), TError);
}
