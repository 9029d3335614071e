// The no-data rule cell by cell and over blocks: MarkCells, the loop the
// readers run, gives the bits Mark gives for every rule and every kind of
// cell, in place or not.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "util/TNoData.h"

namespace {

std::uint64_t Bits(double DblValue)
{
    std::uint64_t LngBits;
    std::memcpy(&LngBits, &DblValue, sizeof LngBits);
    return LngBits;
}

}  // namespace

TEST(NoData, MarkCellsGivesWhatMarkGives)
{
    const TNoData ArrRules[] = {TNoData(),        TNoData(-9999),         TNoData(NAN), TNoData(0),
                                TNoData::Exact(NAN), TNoData::Exact(-9999), TNoData(INFINITY)};
    const std::vector<double> VecCells = {-9999, NAN, -NAN, TNoData::Marker(), 0.0, -0.0, INFINITY, -INFINITY, 1.5,
                                          -9999.000000000002};
    for (std::size_t LngRule = 0; LngRule < std::size(ArrRules); ++LngRule) {
        const TNoData& Rule = ArrRules[LngRule];
        std::vector<double> VecOut(VecCells.size()), VecInPlace(VecCells);
        Rule.MarkCells(VecCells.data(), VecCells.size(), VecOut.data());
        Rule.MarkCells(VecInPlace.data(), VecInPlace.size(), VecInPlace.data());
        for (std::size_t LngCell = 0; LngCell < VecCells.size(); ++LngCell) {
            const double DblExpected = Rule.Mark(VecCells[LngCell]);
            EXPECT_EQ(Bits(VecOut[LngCell]), Bits(DblExpected)) << "rule " << LngRule << ", cell " << LngCell;
            EXPECT_EQ(Bits(VecInPlace[LngCell]), Bits(DblExpected)) << "rule " << LngRule << ", cell " << LngCell;
        }
    }
}
