// The cell functions over runs of cells, against plain loops of the tests'
// own, under the commands' marker and under the toolkit's per-input values.
#include "ops/TCellOps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <random>
#include <vector>

#include "util/TNoData.h"

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

bool SameBits(double DblA, double DblB) { return std::memcmp(&DblA, &DblB, sizeof DblA) == 0; }

// LngInputs runs of LngCells cells, about a fifth of them no data: input k
// marks it with VecNoData[k]; values include zeros, NaN and repeats.
struct TRuns {
    std::vector<std::vector<double>> VecCells;
    std::vector<const double*> VecInputs;

    TRuns(std::size_t LngInputs, std::size_t LngCells, const std::vector<double>& VecNoData,
          std::uint64_t LngSeed)
    {
        std::mt19937_64 Random(LngSeed);
        for (std::size_t k = 0; k < LngInputs; ++k) {
            std::vector<double> VecRun;
            for (std::size_t i = 0; i < LngCells; ++i) {
                const int LngKind = static_cast<int>(Random() % 40);
                VecRun.push_back(LngKind < 8 ? VecNoData[k] : LngKind == 8 ? NaN : LngKind == 9 ? 0.0
                                 : static_cast<double>(static_cast<long>(Random() % 20001) - 10000) / 8);
            }
            VecCells.push_back(VecRun);
        }
        for (const std::vector<double>& VecRun : VecCells)
            VecInputs.push_back(VecRun.data());
    }
};

// The two ways the functions are called: the marker for every input, and
// the toolkit's value per input (one of them NaN, which marks nothing).
struct TMarking {
    std::vector<double> VecNoData;
    bool BlnMarker;
    bool IsNoData(std::size_t k, double DblValue) const
    {
        return BlnMarker ? TNoData::IsMarker(DblValue) : DblValue == VecNoData[k];
    }
};

}  // namespace

// Sums, means, counts and slopes of 1 to 9 inputs over 2500 cells (several
// blocks, groups of inputs cut anywhere).
TEST(TCellOps, RunsOfSeveralInputsMatchPlainLoops)
{
    const std::size_t LngCells = 2500;
    for (std::size_t LngInputs = 1; LngInputs <= 9; ++LngInputs)
        for (bool BlnMarker : {true, false}) {
            SCOPED_TRACE(std::to_string(LngInputs) + (BlnMarker ? " inputs, marker" : " inputs, values"));
            TMarking Marking{{}, BlnMarker};
            for (std::size_t k = 0; k < LngInputs; ++k)
                Marking.VecNoData.push_back(BlnMarker ? TNoData::Marker() : k == 2 ? NaN : -1.0 - k);
            const TRuns Runs(LngInputs, LngCells, Marking.VecNoData, 100 + LngInputs);
            const double DblOut = BlnMarker ? TNoData::Marker() : -7.5;
            std::vector<double> VecSum(LngCells), VecMean(LngCells), VecCount(LngCells), VecSlope(LngCells);
            const auto Run = [&](auto IsNoData) {
                TCellOps::SumCells(Runs.VecInputs.data(), LngInputs, LngCells, IsNoData, DblOut, VecSum.data());
                TCellOps::MeanCells(Runs.VecInputs.data(), LngInputs, LngCells, IsNoData, DblOut, VecMean.data());
                TCellOps::DataCountCells(Runs.VecInputs.data(), LngInputs, LngCells, IsNoData, VecCount.data());
                TCellOps::SlopeCells(Runs.VecInputs.data(), LngInputs, LngCells, IsNoData, DblOut, VecSlope.data());
            };
            if (BlnMarker)
                Run(TNoData::IsMarker);
            else
                Run(TCellOps::TEqualsNoData{Marking.VecNoData.data()});
            for (std::size_t i = 0; i < LngCells; ++i) {
                double DblSum = 0.0;
                std::vector<double> VecK, VecY;
                for (std::size_t k = 0; k < LngInputs; ++k) {
                    const double DblValue = Runs.VecCells[k][i];
                    DblSum += DblValue;
                    if (!Marking.IsNoData(k, DblValue)) {
                        VecK.push_back(static_cast<double>(k));
                        VecY.push_back(DblValue);
                    }
                }
                const bool BlnAll = VecK.size() == LngInputs;
                EXPECT_TRUE(SameBits(VecSum[i], BlnAll ? DblSum : DblOut)) << i;
                const bool BlnMean = BlnAll && DblSum != DblOut;
                EXPECT_TRUE(SameBits(VecMean[i], BlnMean ? DblSum / static_cast<double>(LngInputs) : DblOut)) << i;
                EXPECT_EQ(VecCount[i], static_cast<double>(VecK.size())) << i;
                // The textbook slope in long double, from the raw sums.
                long double LdbN = VecK.size(), LdbK = 0, LdbY = 0, LdbKK = 0, LdbKY = 0;
                for (std::size_t j = 0; j < VecK.size(); ++j) {
                    LdbK += VecK[j];
                    LdbY += VecY[j];
                    LdbKK += static_cast<long double>(VecK[j]) * VecK[j];
                    LdbKY += static_cast<long double>(VecK[j]) * VecY[j];
                }
                if (VecK.size() < 2)
                    EXPECT_TRUE(SameBits(VecSlope[i], DblOut)) << i;
                else if (std::isnan(static_cast<double>(LdbY)))
                    EXPECT_TRUE(std::isnan(VecSlope[i]) && !TNoData::IsMarker(VecSlope[i])) << i;
                else
                    EXPECT_NEAR(VecSlope[i],
                                static_cast<double>((LdbN * LdbKY - LdbK * LdbY) / (LdbN * LdbKK - LdbK * LdbK)),
                                1e-9 * (1 + std::fabs(VecSlope[i])))
                        << i;
            }
        }
}

TEST(TCellOps, SlopeKeepsTheDigitsOfLargeValues)
{
    // 4e6 + 0.001 k: the raw sums lose the slope; the means keep it.
    std::vector<std::vector<double>> VecCells;
    std::vector<const double*> VecInputs;
    for (int k = 0; k < 6; ++k)
        VecCells.push_back({4e6 + 0.001 * k, k == 3 ? Inf : 7.0});
    for (const auto& VecRun : VecCells)
        VecInputs.push_back(VecRun.data());
    double ArrSlope[2];
    TCellOps::SlopeCells(VecInputs.data(), 6, 2, TCellOps::TNoneIsNoData(), -1.0, ArrSlope);
    EXPECT_NEAR(ArrSlope[0], 0.001, 1e-9);
    EXPECT_TRUE(std::isnan(ArrSlope[1]));  // an infinite value
}

// Data cells go through the operation, no-data cells become the output's
// value; in place as well.
TEST(TCellOps, CellValueOperationsSeeDataCellsOnly)
{
    const double DblMarker = TNoData::Marker();
    std::vector<double> VecIn = {DblMarker, 2.5, -2.5, 0.5, -0.5, 1000, NaN, Inf, -0.0, 0.49999999999999994,
                                 4503599627370495.5, -4503599627370497.0, 1e300, -1e-300, DblMarker};
    std::mt19937_64 Random(5);
    for (int i = 0; i < 5000; ++i)
        VecIn.push_back(static_cast<double>(static_cast<long>(Random() % 4000001) - 2000000) / 1024);
    const std::map<double, double> MapTable = {{2.5, 25}, {1000, -1}};
    const TCellOps::TRecode Recode(MapTable);
    const struct {
        std::function<double(double)> Op;
        std::function<double(double)> Expected;
    } ArrCases[] = {
        {TCellOps::TThreshold{0.5}, [](double v) { return v < 0.5 || std::isnan(v) ? 0.0 : v; }},
        {TCellOps::TThresholdReplace{0.5, 9}, [](double v) { return !(v < 0.5) && !std::isnan(v) ? 9.0 : v; }},
        {TCellOps::TRoundHalfAway(), [](double v) { return std::round(v); }},
        {[&Recode](double v) { return Recode(v, -3); },
         [&MapTable](double v) { return !std::isnan(v) && MapTable.count(v) ? MapTable.at(v) : -3.0; }},
    };
    for (const auto& Case : ArrCases) {
        std::vector<double> VecOut(VecIn.size()), VecInPlace = VecIn;
        TCellOps::DataCells(VecIn.data(), VecIn.size(), Case.Op, TNoData::IsMarker, -1.0, VecOut.data());
        TCellOps::DataCells(VecInPlace.data(), VecInPlace.size(), Case.Op, TNoData::IsMarker, -1.0,
                            VecInPlace.data());
        for (std::size_t i = 0; i < VecIn.size(); ++i) {
            const double DblExpected = TNoData::IsMarker(VecIn[i]) ? -1.0 : Case.Expected(VecIn[i]);
            EXPECT_TRUE(SameBits(VecOut[i], DblExpected) || (std::isnan(VecOut[i]) && std::isnan(DblExpected)))
                << VecIn[i] << " gives " << VecOut[i];
            EXPECT_TRUE(SameBits(VecInPlace[i], VecOut[i])) << VecIn[i];
        }
    }
    // The mask: the first cell, no data where either is.
    const std::vector<double> VecFirst = {1, DblMarker, 3, NaN}, VecSecond = {DblMarker, 2, 0, 4};
    std::vector<double> VecMasked(4);
    TCellOps::MaskCells(VecFirst.data(), VecSecond.data(), 4, TNoData::IsMarker, -1.0, VecMasked.data());
    EXPECT_EQ(VecMasked[0], -1.0);
    EXPECT_EQ(VecMasked[1], -1.0);
    EXPECT_EQ(VecMasked[2], 3.0);
    EXPECT_TRUE(std::isnan(VecMasked[3]));
}
