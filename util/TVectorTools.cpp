#include "util/TVectorTools.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <utility>

#include "util/TError.h"
#include "util/TMemoryLimit.h"

namespace {

const char* const StgProductLengths =
    "Length of vectors does not match in TVectorTools::VectorProduct";
const char* const StgNoAdvance = "Step does not advance the series in TVectorTools::VectorSeries";

void RequireSameLength(const std::vector<double>& VecA, const std::vector<double>& VecB,
                       const char* StgMessage)
{
    if (VecA.size() != VecB.size())
        throw TError(StgMessage);
}

double Sum(const std::vector<double>& VecValues)
{
    double DblSum = 0.0;
    for (double DblValue : VecValues)
        DblSum += DblValue;
    return DblSum;
}

// The sum of the element-wise products, without building them.
double SumOfProducts(const std::vector<double>& VecA, const std::vector<double>& VecB,
                     const char* StgMessage)
{
    RequireSameLength(VecA, VecB, StgMessage);
    double DblSum = 0.0;
    for (std::size_t LngIndex = 0; LngIndex < VecA.size(); ++LngIndex)
        DblSum += VecA[LngIndex] * VecB[LngIndex];
    return DblSum;
}

template <class TTo, class TFrom, class TConvert>
std::vector<TTo> ConvertEach(const std::vector<TFrom>& VecFrom, TConvert Convert)
{
    std::vector<TTo> VecTo;
    VecTo.reserve(VecFrom.size());
    for (const TFrom& From : VecFrom)
        VecTo.push_back(static_cast<TTo>(Convert(From)));
    return VecTo;
}

}  // namespace

double TVectorTools::SumVector(std::vector<double> VecValues)
{
    return Sum(VecValues);
}

double TVectorTools::VectorMean(std::vector<double> VecValues)
{
    return Sum(VecValues) / static_cast<double>(VecValues.size());
}

double TVectorTools::VectorWeightedMean(std::vector<double> VecValues,
                                        std::vector<double> VecWeights)
{
    return SumOfProducts(VecValues, VecWeights,
                         "Length of value and weight vectors do not match in "
                         "TVectorTools::WeightedMean") /
           static_cast<double>(VecValues.size());
}

bool TVectorTools::HasValue(std::vector<double> VecValues, double DblValue)
{
    return std::find(VecValues.begin(), VecValues.end(), DblValue) != VecValues.end();
}

bool TVectorTools::HasValue(std::vector<int> VecValues, int LngValue)
{
    return std::find(VecValues.begin(), VecValues.end(), LngValue) != VecValues.end();
}

std::vector<int> TVectorTools::StringToInt(std::vector<std::string> VecStrings)
{
    return ConvertEach<int>(VecStrings,
                            [](const std::string& Stg) { return std::atoi(Stg.c_str()); });
}

std::vector<double> TVectorTools::StringToDouble(std::vector<std::string> VecStrings)
{
    return ConvertEach<double>(VecStrings,
                               [](const std::string& Stg) { return std::atof(Stg.c_str()); });
}

std::vector<double> TVectorTools::IntToDouble(std::vector<int> VecValues)
{
    return ConvertEach<double>(VecValues, [](int LngValue) { return LngValue; });
}

std::vector<double> TVectorTools::VectorSeries(double DblStart, double DblEnd, double DblStep)
{
    std::vector<double> VecSeries;
    if (!(DblStart <= DblEnd))
        return VecSeries;
    if (!(DblStep > 0.0))
        throw TError("Step must be > 0.0 in TVectorTools::VectorSeries");
    if (DblEnd == std::numeric_limits<double>::infinity())
        throw TError("End of the series is infinite in TVectorTools::VectorSeries");
    if (DblStart + DblStep == DblStart)
        throw TError(StgNoAdvance);
    // The elements that exact steps would give, less one; halving first keeps
    // the span finite. Rounding of the sums below moves the true count only
    // slightly, which the reservation absorbs.
    const double DblSteps = (DblEnd * 0.5 - DblStart * 0.5) / DblStep * 2.0;
    if (!TMemoryLimit::Fits((DblSteps + 1.0) * sizeof(double)))
        throw TError("Series is too long to hold in TVectorTools::VectorSeries");
    VecSeries.reserve(static_cast<std::size_t>(DblSteps) + 1);
    // The next element is the previous plus the step, not start + k * step.
    for (double DblValue = DblStart; DblValue <= DblEnd;) {
        VecSeries.push_back(DblValue);
        const double DblNext = DblValue + DblStep;
        if (DblNext == DblValue)
            throw TError(StgNoAdvance);
        DblValue = DblNext;
    }
    return VecSeries;
}

std::vector<double> TVectorTools::VectorProduct(std::vector<double> VecA, std::vector<double> VecB)
{
    RequireSameLength(VecA, VecB, StgProductLengths);
    // The products replace VecA's elements: the copy already made is the result.
    for (std::size_t LngIndex = 0; LngIndex < VecA.size(); ++LngIndex)
        VecA[LngIndex] *= VecB[LngIndex];
    return VecA;
}

double TVectorTools::Gradient(std::vector<double> VecX, std::vector<double> VecY)
{
    RequireSameLength(VecX, VecY, StgProductLengths);
    return Gradient(VecX.data(), VecY.data(), VecY.size());
}

double TVectorTools::Gradient(const double* PtrX, const double* PtrY, std::size_t LngCount)
{
    // Each sum runs from index 0 upward, starting from 0.0, as SumVector does.
    double DblSumX = 0.0;
    double DblSumY = 0.0;
    double DblSumXX = 0.0;
    double DblSumXY = 0.0;
    for (std::size_t LngIndex = 0; LngIndex < LngCount; ++LngIndex) {
        DblSumX += PtrX[LngIndex];
        DblSumY += PtrY[LngIndex];
        DblSumXX += PtrX[LngIndex] * PtrX[LngIndex];
        DblSumXY += PtrX[LngIndex] * PtrY[LngIndex];
    }
    const double DblCount = static_cast<double>(LngCount);
    return (DblSumXY * DblCount - DblSumX * DblSumY) /
           (DblCount * DblSumXX - DblSumX * DblSumX);
}
