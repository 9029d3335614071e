#pragma once
// The cell-value operations, one cell at a time: the single definition of
// their arithmetic, shared by TMapTools and the streaming commands so the two
// agree bit for bit. Internal to the toolkit; not installed.

#include <cmath>
#include <cstddef>
#include <map>
#include <vector>

#include "ops/TValueIndex.h"

namespace TCellOps {

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

// Positive values round half up, negative ones are truncated toward zero,
// at any magnitude; NaN and infinities stay as they are.
struct TRound {
    double operator()(double DblValue) const
    {
        // From 2^52 on every double is whole; NaN and infinities stay too.
        constexpr double DblAllWhole = 4503599627370496.0;
        const double DblMagnitude = std::fabs(DblValue);
        // The whole part of the magnitude: adding and taking away 2^52 rounds
        // to the nearest whole number, one too high half of the time.
        const double DblNearest = (DblMagnitude + DblAllWhole) - DblAllWhole;
        const double DblWhole = DblNearest - (DblNearest > DblMagnitude ? 1.0 : 0.0);
        // Positive values round half up; negative ones are truncated, to +0
        // within 1 of zero, as an integer conversion gives.
        const double DblUp = DblWhole + (DblMagnitude - DblWhole >= 0.5 ? 1.0 : 0.0);
        const double DblRounded = DblValue < 0.0 ? 0.0 - DblWhole : DblUp;
        return DblMagnitude < DblAllWhole ? DblRounded : DblValue;
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

}  // namespace TCellOps
