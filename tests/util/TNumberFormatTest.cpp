#include "util/TNumberFormat.h"
#include "util/TError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Format(double DblValue, int LngDigits = 15)
{
    return TNumberFormat::ToString(DblValue, LngDigits);
}

double Read(const std::string& StgText) { return std::strtod(StgText.c_str(), nullptr); }

template <class TTo, class TFrom>
TTo BitCast(TFrom From)
{
    static_assert(sizeof(TTo) == sizeof(TFrom), "same size");
    TTo To;
    std::memcpy(&To, &From, sizeof To);
    return To;
}

std::uint64_t Bits(double DblValue) { return BitCast<std::uint64_t>(DblValue); }
double FromBits(std::uint64_t LngBits) { return BitCast<double>(LngBits); }

// ---------------------------------------------------------------------------
// The slow reference: the writer's rule built from printf and strtod alone.

// Significant digits without trailing zeros; the exponent of the first.
struct TRefDigits {
    std::string StgDigits;
    int LngExponent;
};

void TrimZeros(std::string& StgDigits)
{
    while (StgDigits.size() > 1 && StgDigits.back() == '0')
        StgDigits.pop_back();
}

std::string Scientific(const TRefDigits& Ref)
{
    return Ref.StgDigits.substr(0, 1) + "." + Ref.StgDigits.substr(1) + "e" + std::to_string(Ref.LngExponent);
}

// Positive DblValue correctly rounded to LngPrecision significant digits.
TRefDigits RoundedByPrintf(double DblValue, int LngPrecision)
{
    char Text[64];
    std::snprintf(Text, sizeof Text, "%.*e", LngPrecision - 1, DblValue);
    const std::string StgText = Text;
    const std::size_t LngE = StgText.find('e');
    TRefDigits Ref{StgText.substr(0, 1) + StgText.substr(2, LngE > 2 ? LngE - 2 : 0),
                   std::atoi(StgText.c_str() + LngE + 1)};
    TrimZeros(Ref.StgDigits);
    return Ref;
}

// printf's %g layout with precision max(6, number of digits).
std::string GLayout(const TRefDigits& Ref)
{
    const std::string& StgDigits = Ref.StgDigits;
    const int LngCount = static_cast<int>(StgDigits.size());
    const int LngExponent = Ref.LngExponent;
    if (LngExponent < -4 || LngExponent >= std::max(6, LngCount)) {
        char Exponent[8];
        std::snprintf(Exponent, sizeof Exponent, "e%+03d", LngExponent);
        return StgDigits.substr(0, 1) + (LngCount > 1 ? "." + StgDigits.substr(1) : "") + Exponent;
    }
    if (LngExponent < 0)
        return "0." + std::string(-LngExponent - 1, '0') + StgDigits;
    if (LngCount <= LngExponent + 1)
        return StgDigits + std::string(LngExponent + 1 - LngCount, '0');
    return std::string(StgDigits).insert(LngExponent + 1, ".");
}

// The shortest digits that read back as DblAbs (the nearest such, where
// several are as short), as std::to_chars gives them.
TRefDigits Shortest(double DblAbs)
{
    char Text[64];
    char* PtrEnd = std::to_chars(Text, Text + sizeof Text, DblAbs, std::chars_format::scientific).ptr;
    const std::string StgText(Text, PtrEnd);
    const std::size_t LngE = StgText.find('e');
    TRefDigits Ref{StgText.substr(0, 1) + (LngE > 1 ? StgText.substr(2, LngE - 2) : ""),
                   std::atoi(StgText.c_str() + LngE + 1)};
    TrimZeros(Ref.StgDigits);
    return Ref;
}

// The rule as its words say, for positive finite DblAbs: the shortest digits
// when they are at most LngDigits, else the rounding to LngDigits by printf,
// unless that reads back as infinity.
TRefDigits ReferenceDigits(double DblAbs, int LngDigits)
{
    const TRefDigits Short = Shortest(DblAbs);
    if (Read(Scientific(Short)) != DblAbs)
        ADD_FAILURE() << "to_chars does not read back for " << DblAbs;
    const TRefDigits Rounded = RoundedByPrintf(DblAbs, LngDigits);
    if (static_cast<int>(Short.StgDigits.size()) <= LngDigits || std::isinf(Read(Scientific(Rounded))))
        return Short;
    return Rounded;
}

// Plain decimal from 1e-7 up to below 1e21, %g's layout beyond.
std::string PlainLayout(const TRefDigits& Ref)
{
    const std::string& StgDigits = Ref.StgDigits;
    const int LngPoint = Ref.LngExponent + 1;  // digits before the point
    if (Ref.LngExponent < -7 || Ref.LngExponent > 20)
        return GLayout(Ref);
    if (LngPoint <= 0)
        return "0." + std::string(-LngPoint, '0') + StgDigits;
    const std::string StgPadded = StgDigits + std::string(std::max(0, LngPoint - static_cast<int>(StgDigits.size())), '0');
    const std::string StgFraction = StgPadded.substr(LngPoint);
    return StgPadded.substr(0, LngPoint) + (StgFraction.empty() ? "" : "." + StgFraction);
}

std::string ReferenceFormat(double DblValue, int LngDigits = 15,
                            std::string (*Layout)(const TRefDigits&) = GLayout)
{
    const std::string StgSign = std::signbit(DblValue) ? "-" : "";
    if (!std::isfinite(DblValue))
        return StgSign + (std::isnan(DblValue) ? "nan" : "inf");
    if (DblValue == 0)
        return StgSign + "0";
    return StgSign + Layout(ReferenceDigits(std::fabs(DblValue), LngDigits));
}

std::string FormatPlain(double DblValue, int LngDigits)
{
    char Text[TNumberFormat::MaxLength];
    return std::string(Text, TNumberFormat::WritePlain(DblValue, Text, LngDigits));
}

// ---------------------------------------------------------------------------
// Samples for the randomized comparison.

class TSampler {
public:
    explicit TSampler(std::uint64_t LngSeed) : MbrRandom(LngSeed) {}

    double Next(std::uint64_t LngIndex)
    {
        switch (LngIndex % 10) {
        case 0: return FromBits(MbrRandom());
        case 1: return Signed(FromBits(MbrRandom() & 0x000FFFFFFFFFFFFF));  // subnormal
        case 2: return DecimalText(Uniform(1, 17), Uniform(-30, 30));
        case 3: return DecimalText(Uniform(1, 17), Uniform(-324, 308));
        case 4: return GridValue();
        case 5: return GridValue() * Scalars[Uniform(0, 9)];
        case 6: return Halfway();
        case 7: return NearPowerOfTen();
        case 8: return FromBits(Bits(DBL_MAX) - Uniform(0, 2000)) * Sign();
        default: return Uniform(0, 1000) == 0 ? -0.0 : DecimalText(Uniform(1, 7), Uniform(-6, 9));
        }
    }

    int Uniform(int LngLow, int LngHigh)
    {
        return std::uniform_int_distribution<int>(LngLow, LngHigh)(MbrRandom);
    }

    // LngCount random digits, the first not '0'.
    std::string RandomDigits(int LngCount)
    {
        std::string StgDigits(1, static_cast<char>('1' + Uniform(0, 8)));
        while (static_cast<int>(StgDigits.size()) < LngCount)
            StgDigits += static_cast<char>('0' + Uniform(0, 9));
        return StgDigits;
    }

private:
    static constexpr double Scalars[] = {1.1, 0.3, 2, 3, 1 / 3.0, 0.01, 1.0001, 7.3, 1e-3, 1e7};

    double Sign() { return Uniform(0, 1) ? -1.0 : 1.0; }
    double Signed(double DblValue) { return DblValue * Sign(); }
    double DecimalText(int LngCount, int LngExponent)
    {
        return Signed(Read(Scientific({RandomDigits(LngCount), LngExponent})));
    }

    // What real grids hold: integers, no-data, 1 to 6 decimals.
    double GridValue()
    {
        switch (Uniform(0, 3)) {
        case 0: return -9999;
        case 1: return Uniform(-100000, 100000);
        case 2: return Uniform(-9999999, 9999999) / 100.0;
        default: return Read(std::to_string(Uniform(-99999999, 99999999)) + "e-" +
                             std::to_string(Uniform(1, 6)));
        }
    }

    // A 15-digit decimal and a half unit in the 16th digit: at any exponent,
    // or as a 16-digit integer (an exact tie below 2^53).
    double Halfway()
    {
        const std::string StgDigits = RandomDigits(15) + "5";
        return Signed(Read(Uniform(0, 1) ? StgDigits : Scientific({StgDigits, Uniform(-300, 300)})));
    }

    double NearPowerOfTen()
    {
        const double DblPower = Read("1e" + std::to_string(Uniform(-323, 308)));
        return Signed(FromBits(Bits(DblPower) + Uniform(-3, 3)));
    }

    std::mt19937_64 MbrRandom;
};

std::uint64_t SampleCount()
{
    const char* PtrText = std::getenv("PVX_FORMAT_SAMPLES");
    return PtrText ? std::strtoull(PtrText, nullptr, 10) : 2000000;
}

}  // namespace

// The layout of the documented examples, and of the edges of each rule.
TEST(NumberFormat, DocumentedExamples)
{
    const struct {
        double DblValue;
        const char* StgText;
    } Cases[] = {
        {HUGE_VAL, "inf"}, {-HUGE_VAL, "-inf"}, {std::nan(""), "nan"}, {-std::nan(""), "-nan"}, {0.0, "0"},
        {-0.0, "-0"}, {-9999, "-9999"}, {100000, "100000"}, {1e6, "1e+06"}, {1234567, "1234567"},
        {0.25, "0.25"}, {0.1, "0.1"}, {2.5e6, "2.5e+06"}, {-2.5e6, "-2.5e+06"}, {1e-05, "1e-05"},
        {0.0001, "0.0001"}, {0.000123456789, "0.000123456789"}, {1e100, "1e+100"}, {1.5e-300, "1.5e-300"},
        {12345678e10, "1.2345678e+17"}, {123456789012345, "123456789012345"},
        // Fifteen significant digits at most, correctly rounded, ties to even.
        {1234.5678, "1234.5678"}, {4512345.5, "4512345.5"}, {1.0 / 3, "0.333333333333333"},
        {-2.0 / 3, "-0.666666666666667"}, {2615.17 * 1.1, "2876.687"},  // 2876.6870000000004
        {0.1 + 0.2, "0.3"}, {999999999999999.9, "1e+15"}, {1234567890123456, "1.23456789012346e+15"},
        {1234567890123455, "1.23456789012346e+15"}, {1234567890123445, "1.23456789012344e+15"},
        {-1000000000000005, "-1e+15"},
        // The ends of the range; next to the largest double, 15 digits would
        // read back as infinity.
        {5e-324, "5e-324"}, {-5e-324, "-5e-324"}, {DBL_MIN, "2.2250738585072e-308"},
        {DBL_MAX, "1.7976931348623157e+308"}, {-std::nextafter(DBL_MAX, 0), "-1.7976931348623155e+308"},
        {1.79769313486231e308, "1.79769313486231e+308"},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Format(Case.DblValue), Case.StgText);
}

TEST(NumberFormat, StaysWithinMaxLength)
{
    for (double DblValue : {-DBL_MAX, -12345678901234.5, -123456789012345.0, -0.000123456789012345,
                            -1.23456789012345e-300, -2.5e5, -5e-324, -1234567890123456.8,
                            -0.00012345678901234567, -12345678901234567.0, -1.2345678901234567,
                            -1.2345678901234567e20, -1.2345678901234567e-7})
        for (int LngDigits = TNumberFormat::MinDigits; LngDigits <= TNumberFormat::MaxDigits; ++LngDigits) {
            char Text[TNumberFormat::MaxLength + 8];
            std::memset(Text, '#', sizeof Text);
            char* PtrEnd = TNumberFormat::Write(DblValue, Text, LngDigits);
            EXPECT_EQ(std::string(Text, PtrEnd), ReferenceFormat(DblValue, LngDigits));
            PtrEnd = TNumberFormat::WritePlain(DblValue, Text, LngDigits);
            EXPECT_EQ(std::string(Text, PtrEnd), ReferenceFormat(DblValue, LngDigits, PlainLayout));
            EXPECT_EQ(std::string(Text + TNumberFormat::MaxLength, 8), "########") << DblValue;
        }
}

TEST(NumberFormat, WriteIntegerIsPlainDecimal)
{
    for (long LngValue : {0L, -1L, 1000000L, LONG_MAX, LONG_MIN}) {
        char Text[TNumberFormat::MaxLength];
        EXPECT_EQ(std::string(Text, TNumberFormat::WriteInteger(LngValue, Text)), std::to_string(LngValue));
    }
}

TEST(NumberFormat, MatchesSlowReferenceOnRandomValues)
{
    const std::uint64_t LngSamples = SampleCount();
    std::cout << "[          ] comparing " << LngSamples
              << " values (PVX_FORMAT_SAMPLES sets the count)\n";
    TSampler Sampler(20240611);
    std::uint64_t LngMismatches = 0;
    std::string StgExamples;
    for (std::uint64_t i = 0; i < LngSamples; ++i) {
        const double DblValue = Sampler.Next(i);
        const std::string StgExpected = ReferenceFormat(DblValue);
        const std::string StgActual = Format(DblValue);
        if (StgActual != StgExpected && ++LngMismatches <= 10) {
            char Hex[40];
            std::snprintf(Hex, sizeof Hex, "%a", DblValue);
            StgExamples += std::string(Hex) + ": " + StgActual + " instead of " + StgExpected + "\n";
        }
    }
    EXPECT_EQ(LngMismatches, 0u) << StgExamples;
}

TEST(NumberFormatRoundTrip, FifteenDigitTextComesBackCanonical)
{
    TSampler Random(7);
    for (int i = 0; i < 200000; ++i) {
        TRefDigits Ref{Random.RandomDigits(Random.Uniform(1, 15)), Random.Uniform(-307, 307)};
        TrimZeros(Ref.StgDigits);
        const std::string StgCanonical = GLayout(Ref);
        ASSERT_EQ(Format(Read(StgCanonical)), StgCanonical);
    }
}

TEST(NumberFormatRoundTrip, RewritingWhatWasReadChangesNothing)
{
    std::mt19937_64 Random(11);
    for (int i = 0; i < 200000; ++i) {
        const double DblValue = FromBits(Random());
        if (!std::isfinite(DblValue))
            continue;
        const std::string StgText = Format(DblValue);
        const double DblBack = Read(StgText);
        if (std::isnormal(DblValue)) {
            ASSERT_EQ(Format(DblBack), StgText);
            // Half a unit in the 15th digit, plus the rounding of the read.
            ASSERT_LE(std::fabs(DblBack - DblValue), (5e-15 + DBL_EPSILON) * std::fabs(DblValue))
                << StgText;
        } else {
            // Subnormals carry fewer digits: the value, not the text, is stable.
            ASSERT_EQ(Bits(Read(Format(DblBack))), Bits(DblBack)) << StgText;
        }
    }
}

// Values where rounding to N digits is awkward, at every N: ties (exact in
// binary), sums that miss their decimal, subnormals, the ends of the range,
// roundings that carry into the next decade, signed zero and non-finite values.
TEST(NumberFormatDigits, AwkwardValuesAtEveryDigitCount)
{
    const std::vector<double> VecValues = {
        0.5, 2.5, 0.125, 1.25, 3.5, 1234567890123455, 1234567890123445, 4512345.5, 0.1 + 0.2,
        2615.17 * 1.1, 1.0 / 3, 2.0 / 3, 0.15, 1e-310, 1.2345678912345e-310, 5e-324, 2.2250738585072014e-308,
        DBL_MAX, std::nextafter(DBL_MAX, 0), 1.5e308, 9.5e307, 9.9999999999999999, 0.99999999999999989, 9.5,
        99.95, 999999.5, 9999999999999998, 1e21, 1e22, 1e23, 123456789012345678.0, 0x1p-1074, 0x1p-1022,
        0x1p60, 0x1p-60, 0x1p100, 5e-5, 0.0001, 100000, 1e6, 4100000, 1e-7, 9.99999999999999e-8,
        9.9999999999999999e-8, 1.2345678901234567e-7, 9.999999999999999e20, 1e20, 123456789012345678901.0,
        -0.0, 0.0, -9999, std::nan(""),
        -std::nan(""), HUGE_VAL, -HUGE_VAL};
    for (double DblBase : VecValues)
        for (double DblValue : {DblBase, -DblBase})
            for (int LngDigits = TNumberFormat::MinDigits; LngDigits <= TNumberFormat::MaxDigits;
                 ++LngDigits) {
                const std::string StgText = Format(DblValue, LngDigits);
                EXPECT_EQ(StgText, ReferenceFormat(DblValue, LngDigits))
                    << std::hexfloat << DblValue << " at " << LngDigits << " digits";
                EXPECT_EQ(FormatPlain(DblValue, LngDigits), ReferenceFormat(DblValue, LngDigits, PlainLayout))
                    << std::hexfloat << DblValue << " at " << LngDigits << " digits, plain";
                if (LngDigits == TNumberFormat::MaxDigits && std::isfinite(DblValue)) {
                    EXPECT_EQ(Bits(Read(StgText)), Bits(DblValue)) << StgText;
                }
            }
}

// Every other value in plain decimal.
TEST(NumberFormatDigits, MatchesSlowReferenceOnRandomValuesAtEveryDigitCount)
{
    const std::uint64_t LngSamples = SampleCount() / 8;
    TSampler Sampler(20240612);
    std::uint64_t LngMismatches = 0;
    std::string StgExamples;
    for (std::uint64_t i = 0; i < LngSamples; ++i) {
        const double DblValue = Sampler.Next(i);
        const int LngDigits = Sampler.Uniform(TNumberFormat::MinDigits, TNumberFormat::MaxDigits);
        const bool BlnPlain = i % 2 == 1;
        const std::string StgExpected =
            BlnPlain ? ReferenceFormat(DblValue, LngDigits, PlainLayout) : ReferenceFormat(DblValue, LngDigits);
        const std::string StgActual = BlnPlain ? FormatPlain(DblValue, LngDigits) : Format(DblValue, LngDigits);
        if (StgActual != StgExpected && ++LngMismatches <= 10) {
            char Hex[40];
            std::snprintf(Hex, sizeof Hex, "%a", DblValue);
            StgExamples += std::string(Hex) + " at " + std::to_string(LngDigits) + ": " + StgActual
                + " instead of " + StgExpected + "\n";
        }
    }
    EXPECT_EQ(LngMismatches, 0u) << StgExamples;
}

TEST(NumberFormatDigits, DigitCountsOutsideTheRangeAreRefused)
{
    char Text[TNumberFormat::MaxLength];
    for (int LngDigits : {0, -1, 18}) {
        EXPECT_THROW(TNumberFormat::Write(1.5, Text, LngDigits), TError);
        EXPECT_THROW(TNumberFormat::WritePlain(1.5, Text, LngDigits), TError);
    }
}
