#pragma once
// The cell arithmetic of the map operations, one definition shared by
// TMapTools and the commands' streaming engine so the two agree bit for bit:
// the cell-value operations one cell at a time, and functions over runs of
// cells of one input or of several. Internal to the toolkit; not installed.
//
// No data: a run function takes a no-data test and the value DblNoDataOut
// its output marks no data with. The test is called as IsNoData(DblValue),
// or as IsNoData(LngInput, DblValue) where each input has its own (the
// toolkit's maps, each with its no-data value; TNoData::IsMarker serves
// every input of the engine). A cell that is no data takes no part in the
// arithmetic. Loops are written without a branch per cell, each result
// computed and then selected, so that they vectorise (the roundings where
// floating point does not trap, -fno-trapping-math, as the toolkit's layers
// are built); PtrOut may be an input run itself.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>
#include <type_traits>
#include <vector>

#include "ops/TValueIndex.h"

namespace TCellOps {

// --- The cell-value operations, one data cell at a time ---

// Cells at or above the threshold keep their value; others become 0.
struct TThreshold {
    double DblThreshold;
    double operator()(double DblValue) const { return DblValue >= DblThreshold ? DblValue : 0.0; }
};

// Cells at or above the threshold become the replacement.
struct TThresholdReplace {
    double DblThreshold;
    double DblReplacement;
    double operator()(double DblValue) const
    {
        return DblValue >= DblThreshold ? DblReplacement : DblValue;
    }
};

// The whole part of a magnitude below 2^52, and that part rounded half up.
// Adding and taking away 2^52 rounds to the nearest whole number, one too
// high half of the time; the differences are exact.
struct TWholeParts {
    // 2^52: every double from here on is whole.
    static constexpr double DblAllWhole = 4503599627370496.0;
    double DblWhole;
    double DblHalfUp;

    explicit TWholeParts(double DblMagnitude)
    {
        const double DblNearest = (DblMagnitude + DblAllWhole) - DblAllWhole;
        DblWhole = DblNearest - (DblNearest > DblMagnitude ? 1.0 : 0.0);
        DblHalfUp = DblWhole + (DblMagnitude - DblWhole >= 0.5 ? 1.0 : 0.0);
    }
};

// Positive values round half up, negative ones are truncated toward zero,
// at any magnitude; NaN and infinities stay as they are.
struct TRound {
    double operator()(double DblValue) const
    {
        const double DblMagnitude = std::fabs(DblValue);
        const TWholeParts Parts(DblMagnitude);
        // Negative values to +0 within 1 of zero, as an integer conversion gives.
        const double DblRounded = DblValue < 0.0 ? 0.0 - Parts.DblWhole : Parts.DblHalfUp;
        return DblMagnitude < TWholeParts::DblAllWhole ? DblRounded : DblValue;
    }
};

// Half away from zero, as std::round rounds (-0.4 gives -0); NaN and
// infinities stay as they are.
struct TRoundHalfAway {
    double operator()(double DblValue) const
    {
        const double DblMagnitude = std::fabs(DblValue);
        const double DblRounded = std::copysign(TWholeParts(DblMagnitude).DblHalfUp, DblValue);
        return DblMagnitude < TWholeParts::DblAllWhole ? DblRounded : DblValue;
    }
};

// A recoding table looked up by hashing.
class TRecode {
public:
    explicit TRecode(const std::map<double, double>& MapTable)
        : MbrKeys(KeysOf(MapTable)), MbrVecValues(ValuesOf(MapTable)) {}

    // The value the table gives the cell, DblUnmatched for a value that is
    // no key.
    double operator()(double DblValue, double DblUnmatched) const
    {
        const long LngPosition = MbrKeys.Find(DblValue);
        return LngPosition < 0 ? DblUnmatched : MbrVecValues[static_cast<std::size_t>(LngPosition)];
    }

private:
    static std::vector<double> KeysOf(const std::map<double, double>& MapTable)
    {
        std::vector<double> VecKeys;
        for (const auto& Entry : MapTable)
            VecKeys.push_back(Entry.first);
        return VecKeys;
    }
    static std::vector<double> ValuesOf(const std::map<double, double>& MapTable)
    {
        std::vector<double> VecValues;
        for (const auto& Entry : MapTable)
            VecValues.push_back(Entry.second);
        return VecValues;
    }

    TValueIndex MbrKeys;
    std::vector<double> MbrVecValues;
};

// --- No-data tests ---

// The test of cells among which none is no data.
struct TNoneIsNoData {
    bool operator()(double) const { return false; }
};

// The toolkit's test: a cell is no data when it equals its input's value
// (NaN equals nothing), one value per input.
struct TEqualsNoData {
    const double* PtrValues;
    bool operator()(std::size_t LngInput, double DblValue) const
    {
        return DblValue == PtrValues[LngInput];
    }
};

// IsNoData asked about a cell of input LngInput, in whichever form it takes.
template <class TIsNoData>
bool IsNoDataIn(const TIsNoData& IsNoData, std::size_t LngInput, double DblValue)
{
    if constexpr (std::is_invocable_v<const TIsNoData&, std::size_t, double>)
        return IsNoData(LngInput, DblValue);
    else
        return IsNoData(DblValue);
}

// --- Runs of cells ---

// Per cell i < LngCells: Op(PtrIn[i]), or DblNoDataOut where PtrIn[i] is no
// data by IsNoData (input 0). Op is one of the operations above, or any
// other, such as [&](double v) { return Recode(v, DblDefault); }.
template <class TOp, class TIsNoData>
void DataCells(const double* PtrIn, std::size_t LngCells, TOp Op, TIsNoData IsNoData,
               double DblNoDataOut, double* PtrOut)
{
    for (std::size_t i = 0; i < LngCells; ++i) {
        const double DblValue = PtrIn[i];
        const double DblResult = Op(DblValue);
        PtrOut[i] = IsNoDataIn(IsNoData, 0, DblValue) ? DblNoDataOut : DblResult;
    }
}

namespace Detail {

// Cells a block holds: its running values stay in the first-level cache
// while the inputs stream past.
constexpr std::size_t BlockCells = 1024;
// Inputs added in one sweep of a block, their running values in registers.
constexpr std::size_t GroupInputs = 4;

// The running values of a block: sums in input order from 0.0, data counts.
struct TSums {
    double ArrSums[BlockCells];
    double ArrCounts[BlockCells];
};

// Adds LngGroup inputs, from input LngFirstInput, to the running values of
// cells LngFirst to LngFirst + LngLength; BlnSums false leaves the sums.
template <std::size_t LngGroup, bool BlnSums, class TIsNoData>
void AddGroup(const double* const* PtrInputs, std::size_t LngFirstInput, std::size_t LngFirst,
              std::size_t LngLength, const TIsNoData& IsNoData, TSums& Sums)
{
    const double* ArrCells[LngGroup];
    for (std::size_t k = 0; k < LngGroup; ++k)
        ArrCells[k] = PtrInputs[LngFirstInput + k] + LngFirst;
    for (std::size_t i = 0; i < LngLength; ++i) {
        double DblSum = Sums.ArrSums[i];
        double DblCount = Sums.ArrCounts[i];
        for (std::size_t k = 0; k < LngGroup; ++k) {
            const double DblValue = ArrCells[k][i];
            // A cell without data adds to the sum, which is then no data.
            DblSum += DblValue;
            DblCount += IsNoDataIn(IsNoData, LngFirstInput + k, DblValue) ? 0.0 : 1.0;
        }
        if constexpr (BlnSums)
            Sums.ArrSums[i] = DblSum;
        Sums.ArrCounts[i] = DblCount;
    }
}

// For each block of cells, the sums and data counts of the inputs there,
// handed to Finish(first cell, cells, sums).
template <bool BlnSums, class TIsNoData, class TFinish>
void SumBlocks(const double* const* PtrInputs, std::size_t LngInputs, std::size_t LngCells,
               const TIsNoData& IsNoData, TFinish Finish)
{
    TSums Sums;
    for (std::size_t LngFirst = 0; LngFirst < LngCells; LngFirst += BlockCells) {
        const std::size_t LngLength = std::min(BlockCells, LngCells - LngFirst);
        std::fill(Sums.ArrSums, Sums.ArrSums + LngLength, 0.0);
        std::fill(Sums.ArrCounts, Sums.ArrCounts + LngLength, 0.0);
        for (std::size_t k = 0; k < LngInputs;) {
            const bool BlnGroup = LngInputs - k >= GroupInputs;
            if (BlnGroup)
                AddGroup<GroupInputs, BlnSums>(PtrInputs, k, LngFirst, LngLength, IsNoData, Sums);
            else
                AddGroup<1, BlnSums>(PtrInputs, k, LngFirst, LngLength, IsNoData, Sums);
            k += BlnGroup ? GroupInputs : 1;
        }
        Finish(LngFirst, LngLength, Sums);
    }
}

}  // namespace Detail

// Per cell i < LngCells: the sum of PtrInputs[k][i] over k < LngInputs,
// added in order of k from 0.0; DblNoDataOut where any input is no data.
template <class TIsNoData>
void SumCells(const double* const* PtrInputs, std::size_t LngInputs, std::size_t LngCells,
              TIsNoData IsNoData, double DblNoDataOut, double* PtrOut)
{
    const double DblInputs = static_cast<double>(LngInputs);
    const auto Finish = [=](std::size_t LngFirst, std::size_t LngLength,
                            const Detail::TSums& Sums) {
        for (std::size_t i = 0; i < LngLength; ++i)
            PtrOut[LngFirst + i] = Sums.ArrCounts[i] == DblInputs ? Sums.ArrSums[i] : DblNoDataOut;
    };
    Detail::SumBlocks<true>(PtrInputs, LngInputs, LngCells, IsNoData, Finish);
}

// SumCells divided by LngInputs: the mean where every input holds data,
// DblNoDataOut where SumCells gives it (an input without data, or a sum
// equal to DblNoDataOut, which no sum is when that is a NaN).
template <class TIsNoData>
void MeanCells(const double* const* PtrInputs, std::size_t LngInputs, std::size_t LngCells,
               TIsNoData IsNoData, double DblNoDataOut, double* PtrOut)
{
    const double DblInputs = static_cast<double>(LngInputs);
    const auto Finish = [=](std::size_t LngFirst, std::size_t LngLength,
                            const Detail::TSums& Sums) {
        for (std::size_t i = 0; i < LngLength; ++i) {
            const double DblSum = Sums.ArrSums[i];
            const bool BlnData = Sums.ArrCounts[i] == DblInputs && DblSum != DblNoDataOut;
            PtrOut[LngFirst + i] = BlnData ? DblSum / DblInputs : DblNoDataOut;
        }
    };
    Detail::SumBlocks<true>(PtrInputs, LngInputs, LngCells, IsNoData, Finish);
}

// Per cell, how many of the inputs hold data there; never no data.
template <class TIsNoData>
void DataCountCells(const double* const* PtrInputs, std::size_t LngInputs, std::size_t LngCells,
                    TIsNoData IsNoData, double* PtrOut)
{
    const auto Finish = [=](std::size_t LngFirst, std::size_t LngLength,
                            const Detail::TSums& Sums) {
        std::copy(Sums.ArrCounts, Sums.ArrCounts + LngLength, PtrOut + LngFirst);
    };
    Detail::SumBlocks<false>(PtrInputs, LngInputs, LngCells, IsNoData, Finish);
}

// Per cell, Op of the first input's cell (input 0) and the second's (input
// 1), DblNoDataOut where either is no data.
template <class TOp, class TIsNoData>
void PairCells(const double* PtrFirst, const double* PtrSecond, std::size_t LngCells, TOp Op,
               TIsNoData IsNoData, double DblNoDataOut, double* PtrOut)
{
    for (std::size_t i = 0; i < LngCells; ++i) {
        const bool BlnNoData = static_cast<int>(IsNoDataIn(IsNoData, 0, PtrFirst[i]))
            | static_cast<int>(IsNoDataIn(IsNoData, 1, PtrSecond[i]));
        PtrOut[i] = BlnNoData ? DblNoDataOut : Op(PtrFirst[i], PtrSecond[i]);
    }
}

// Per cell, the first input's cell (input 0), DblNoDataOut where either it
// or the second input's cell (input 1) is no data.
template <class TIsNoData>
void MaskCells(const double* PtrFirst, const double* PtrSecond, std::size_t LngCells,
               TIsNoData IsNoData, double DblNoDataOut, double* PtrOut)
{
    for (std::size_t i = 0; i < LngCells; ++i) {
        const double DblValue = PtrFirst[i];
        const bool BlnNoData = static_cast<int>(IsNoDataIn(IsNoData, 0, DblValue))
            | static_cast<int>(IsNoDataIn(IsNoData, 1, PtrSecond[i]));
        PtrOut[i] = BlnNoData ? DblNoDataOut : DblValue;
    }
}

// Per cell, the least-squares slope of the inputs' data values against
// their place k in the list (0, 1, 2, ...), cells without data left out:
// DblNoDataOut where fewer than two hold data. Zeros are values like any
// other; a NaN or infinite data value gives NaN. About the means, sum of
// (k - mean k)(value - mean value) over sum of (k - mean k)^2, so that
// large values with small changes keep their digits.
template <class TIsNoData>
void SlopeCells(const double* const* PtrInputs, std::size_t LngInputs, std::size_t LngCells,
                TIsNoData IsNoData, double DblNoDataOut, double* PtrOut)
{
    constexpr std::size_t LngBlock = Detail::BlockCells;
    double ArrCounts[LngBlock], ArrMeanK[LngBlock], ArrMeanValue[LngBlock];
    double ArrProducts[LngBlock], ArrSquares[LngBlock];
    for (std::size_t LngFirst = 0; LngFirst < LngCells; LngFirst += LngBlock) {
        const std::size_t LngLength = std::min(LngBlock, LngCells - LngFirst);
        std::fill(ArrCounts, ArrCounts + LngLength, 0.0);
        std::fill(ArrMeanK, ArrMeanK + LngLength, 0.0);
        std::fill(ArrMeanValue, ArrMeanValue + LngLength, 0.0);
        std::fill(ArrProducts, ArrProducts + LngLength, 0.0);
        std::fill(ArrSquares, ArrSquares + LngLength, 0.0);
        // Selects, not products with 0 or 1: a cell without data may hold a NaN.
        for (std::size_t k = 0; k < LngInputs; ++k) {
            const double* PtrCells = PtrInputs[k] + LngFirst;
            const double DblK = static_cast<double>(k);
            for (std::size_t i = 0; i < LngLength; ++i) {
                const double DblValue = PtrCells[i];
                const bool BlnData = !IsNoDataIn(IsNoData, k, DblValue);
                ArrCounts[i] += BlnData ? 1.0 : 0.0;
                ArrMeanK[i] += BlnData ? DblK : 0.0;
                ArrMeanValue[i] += BlnData ? DblValue : 0.0;
            }
        }
        for (std::size_t i = 0; i < LngLength; ++i) {
            ArrMeanK[i] /= ArrCounts[i];
            ArrMeanValue[i] /= ArrCounts[i];
        }
        for (std::size_t k = 0; k < LngInputs; ++k) {
            const double* PtrCells = PtrInputs[k] + LngFirst;
            const double DblK = static_cast<double>(k);
            for (std::size_t i = 0; i < LngLength; ++i) {
                const double DblValue = PtrCells[i];
                const bool BlnData = !IsNoDataIn(IsNoData, k, DblValue);
                const double DblDK = DblK - ArrMeanK[i];
                const double DblProduct = DblDK * (DblValue - ArrMeanValue[i]);
                const double DblSquare = DblDK * DblDK;
                ArrProducts[i] += BlnData ? DblProduct : 0.0;
                ArrSquares[i] += BlnData ? DblSquare : 0.0;
            }
        }
        for (std::size_t i = 0; i < LngLength; ++i)
            PtrOut[LngFirst + i] =
                ArrCounts[i] >= 2.0 ? ArrProducts[i] / ArrSquares[i] : DblNoDataOut;
    }
}

}  // namespace TCellOps
