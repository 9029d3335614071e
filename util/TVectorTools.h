#pragma once
// Small operations on vectors of numbers and strings. Vectors are taken and
// returned by value, so the caller's never change. Values compare exactly;
// sums run from index 0 upward, starting from 0.0.

#include <cstddef>
#include <string>
#include <vector>

class TVectorTools {
public:
    // The sum of the elements; 0.0 for an empty vector.
    static double SumVector(std::vector<double> VecValues);
    // The sum over the number of elements; NaN for an empty vector.
    static double VectorMean(std::vector<double> VecValues);
    // The sum of VecValues[i] * VecWeights[i] over the number of elements, not
    // over the sum of the weights. Throws "Length of value and weight vectors
    // do not match in TVectorTools::WeightedMean" for different lengths.
    static double VectorWeightedMean(std::vector<double> VecValues,
                                     std::vector<double> VecWeights);

    // Whether an element equals the value: NaN is never found, -0.0 equals 0.0.
    static bool HasValue(std::vector<double> VecValues, double DblValue);
    static bool HasValue(std::vector<int> VecValues, int LngValue);

    // Each element converted, in order. Strings convert as atoi and atof do:
    // leading white space skipped, the longest numeric prefix taken, 0 when
    // there is none; no string is an error.
    static std::vector<int> StringToInt(std::vector<std::string> VecStrings);
    static std::vector<double> StringToDouble(std::vector<std::string> VecStrings);
    static std::vector<double> IntToDouble(std::vector<int> VecValues);

    // DblStart, then each element the previous plus DblStep, while not above
    // DblEnd; rounding of the sums can leave DblEnd out (0 to 0.3 by 0.1 gives
    // 0, 0.1, 0.2). Empty when the start is above the end or either is NaN.
    // Otherwise, before building anything, throws "Step must be > 0.0 in
    // TVectorTools::VectorSeries" for a step not above 0 (NaN included), "End
    // of the series is infinite in TVectorTools::VectorSeries", and "Series
    // is too long to hold in TVectorTools::VectorSeries" when its elements
    // would take more than half the machine's memory; and "Step does not
    // advance the series in TVectorTools::VectorSeries" once adding the step
    // leaves an element unchanged (a step too small for the elements' size,
    // checked at the start first).
    static std::vector<double> VectorSeries(double DblStart, double DblEnd, double DblStep);

    // The element-wise products VecA[i] * VecB[i]. Throws "Length of vectors
    // does not match in TVectorTools::VectorProduct" for different lengths.
    static std::vector<double> VectorProduct(std::vector<double> VecA, std::vector<double> VecB);

    // The least-squares slope of VecY on VecX, (Sxy n - Sx Sy) / (n Sxx - Sx Sx)
    // with n the length of VecY. Unguarded: NaN for fewer than two points or
    // equal whole-number positions. Throws the VectorProduct message for
    // different lengths.
    static double Gradient(std::vector<double> VecX, std::vector<double> VecY);
    // The same slope of LngCount values over as many positions held in
    // arrays, bit for bit, without copying them (for callers that fit many
    // slopes in a loop).
    static double Gradient(const double* PtrX, const double* PtrY, std::size_t LngCount);
};
