#include "util/TNumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace {

// The significant digits of a number (LngCount of them, the last not '0'),
// followed by '0' padding, and the decimal exponent of the first digit.
struct TDecimal {
    char Digits[32];
    int LngCount;
    int LngExponent;
};

constexpr int MaxDigits = 15;

// Powers of ten that doubles hold exactly.
constexpr double Pow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int MaxPow10 = 22;

constexpr char DigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

char* WriteText(const char* PtrText, std::size_t LngLength, char* PtrOut)
{
    std::memcpy(PtrOut, PtrText, LngLength);
    return PtrOut + LngLength;
}

// "e", the sign and at least two digits, as printf writes exponents.
char* WriteExponent(int LngExponent, char* PtrOut)
{
    *PtrOut++ = 'e';
    *PtrOut++ = LngExponent < 0 ? '-' : '+';
    unsigned LngAbs = static_cast<unsigned>(LngExponent < 0 ? -LngExponent : LngExponent);
    if (LngAbs >= 100) {
        *PtrOut++ = static_cast<char>('0' + LngAbs / 100);
        LngAbs %= 100;
    }
    return WriteText(DigitPairs + 2 * LngAbs, 2, PtrOut);
}

// printf's %g layout with precision max(6, number of digits). Digits are
// copied in blocks of fixed size, cheaper than exact lengths: a block may
// carry padding past the end of the text, but stays within MaxLength (at
// worst "-", 14 digits, the point and a block of 15 end at byte 31; the fixed
// layout never has more than 15 digits).
char* Layout(const TDecimal& Dec, char* PtrOut)
{
    const char* PtrDigits = Dec.Digits;
    const int LngCount = Dec.LngCount;
    const int LngExponent = Dec.LngExponent;
    if (LngExponent < -4 || LngExponent >= std::max(6, LngCount)) {
        PtrOut[0] = PtrDigits[0];
        PtrOut[1] = '.';
        std::memcpy(PtrOut + 2, PtrDigits + 1, 16);
        PtrOut += LngCount > 1 ? LngCount + 1 : 1;
        return WriteExponent(LngExponent, PtrOut);
    }
    if (LngExponent < 0) {
        std::memcpy(PtrOut, "0.000", 5);
        PtrOut += 1 - LngExponent;
        std::memcpy(PtrOut, PtrDigits, 16);
        return PtrOut + LngCount;
    }
    const int LngIntegerDigits = LngExponent + 1;
    std::memcpy(PtrOut, PtrDigits, 16);  // padding gives the zeros of 2.5e5
    if (LngCount <= LngIntegerDigits)
        return PtrOut + LngIntegerDigits;
    PtrOut[LngIntegerDigits] = '.';
    std::memcpy(PtrOut + LngIntegerDigits + 1, PtrDigits + LngIntegerDigits, 15);
    return PtrOut + LngCount + 1;
}

// Writes the last 2 * LngPairs digits of LngValue, ending at PtrEnd.
void WritePairs(std::uint32_t LngValue, int LngPairs, char* PtrEnd)
{
    for (int i = 0; i < LngPairs; ++i, LngValue /= 100)
        std::memcpy(PtrEnd -= 2, DigitPairs + 2 * (LngValue % 100), 2);
}

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "SignificantOf8 reads digits as a word");

// How many of the 8 digits at PtrDigits are left without trailing zeros (the
// first is not '0'). Read as one word with '0' made 0, trailing zeros are its
// high zero bytes: cheaper than a loop whose length varies from value to value.
int SignificantOf8(const char* PtrDigits)
{
    std::uint64_t LngWord;
    std::memcpy(&LngWord, PtrDigits, sizeof LngWord);
    return 8 - __builtin_clzll(LngWord ^ 0x3030303030303030) / 8;
}

// The digits of 10^14 <= LngValue < 10^15.
void SetDigits15(std::int64_t LngValue, TDecimal& Dec)
{
    std::memset(Dec.Digits, '0', sizeof Dec.Digits);
    const auto LngHigh = static_cast<std::uint32_t>(LngValue / 100000000);  // 7 digits
    const auto LngLow = static_cast<std::uint32_t>(LngValue % 100000000);   // 8 digits
    Dec.Digits[0] = static_cast<char>('0' + LngHigh / 1000000);
    WritePairs(LngHigh, 3, Dec.Digits + 7);
    if (LngLow == 0) {  // most grid values
        Dec.LngCount = SignificantOf8(Dec.Digits);
        return;
    }
    WritePairs(LngLow, 4, Dec.Digits + 15);
    Dec.LngCount = 7 + SignificantOf8(Dec.Digits + 7);
}

// Fast path for positive DblValue from about 1e-8 to 1e36: the digits
// correctly rounded to 15 significant digits, or false when that cannot be
// decided cheaply.
//
// Why this is the whole rule there: such values are normal, and distinct
// decimals of at most 15 digits read as distinct normal doubles (DBL_DIG).
// If the shortest round-trip digits S have at most 15, then the 15-digit
// rounding R, at least as close to the value as S, also reads back as it,
// hence R = S. Otherwise the rule takes R. R never overflows here.
//
// How R is computed: with X the decimal exponent of the value, x = value *
// 10^(14-X) is exact in the reals, and P = fl(x) is what one multiplication
// (or division) by the exact power 10^|14-X| gives. P < 2^50, so its ulp u
// is at most 1/8, and integers and half-integers are multiples of u. With
// M = floor(P + 0.5) (P + 0.5 is exact) and D = P - M (exact), either D is
// -1/2 (P halfway: we give up) or |D| <= 1/2 - u, and since |x - P| <= u/2,
// |x - M| < 1/2: M is x rounded to the nearest integer, i.e. R's digits.
//
// X comes from the binary exponent, exact or one too small; one too small
// shows as P >= 10^15 and is fixed by scaling once more. (If x is then just
// below 10^15, both scalings round to 10^15 and agree.)
bool RoundTo15Fast(double DblValue, TDecimal& Dec)
{
    std::uint64_t LngBits;
    std::memcpy(&LngBits, &DblValue, sizeof LngBits);
    const int LngBinaryExponent = static_cast<int>(LngBits >> 52) - 1023;
    // floor(LngBinaryExponent * log10(2)) for the exponents that matter
    // (division truncates, hence one less below zero).
    int LngExponent = LngBinaryExponent * 78913 / 262144 - (LngBinaryExponent < 0);
    // Both scalings below must use exact powers of ten.
    if (LngExponent < MaxDigits - 1 - MaxPow10 || LngExponent >= MaxDigits - 1 + MaxPow10)
        return false;
    auto Scale = [DblValue](int LngPower) {
        return LngPower >= 0 ? DblValue * Pow10[LngPower] : DblValue / Pow10[-LngPower];
    };
    double DblScaled = Scale(MaxDigits - 1 - LngExponent);
    if (DblScaled >= 1e15)
        DblScaled = Scale(MaxDigits - 1 - ++LngExponent);
    auto LngRounded = static_cast<std::int64_t>(DblScaled + 0.5);
    if (DblScaled - static_cast<double>(LngRounded) == -0.5)
        return false;
    if (LngRounded == 1000000000000000) {
        LngRounded = 100000000000000;
        ++LngExponent;
    }
    SetDigits15(LngRounded, Dec);
    Dec.LngExponent = LngExponent;
    return true;
}

// Reads to_chars' scientific text "d.ddde+XX" of a positive number.
void ParseScientific(const char* PtrText, const char* PtrEnd, TDecimal& Dec)
{
    std::memset(Dec.Digits, '0', sizeof Dec.Digits);
    Dec.LngCount = 0;
    for (; *PtrText != 'e'; ++PtrText)
        if (*PtrText != '.')
            Dec.Digits[Dec.LngCount++] = *PtrText;
    ++PtrText;
    if (*PtrText == '+')
        ++PtrText;
    std::from_chars(PtrText, PtrEnd, Dec.LngExponent);
    while (Dec.LngCount > 1 && Dec.Digits[Dec.LngCount - 1] == '0')
        --Dec.LngCount;
}

bool ReadsAsInfinity(const char* PtrText, const char* PtrEnd)
{
    double DblValue;
    return std::from_chars(PtrText, PtrEnd, DblValue).ec == std::errc::result_out_of_range;
}

// The rule as written, for any positive finite DblValue: the shortest
// round-trip digits when they are at most 15, else the 15-digit rounding
// unless that overflows.
void DigitsByRule(double DblValue, TDecimal& Dec)
{
    char Text[40];
    char* PtrEnd = std::to_chars(Text, Text + sizeof Text, DblValue,
                                 std::chars_format::scientific).ptr;
    ParseScientific(Text, PtrEnd, Dec);
    if (Dec.LngCount <= MaxDigits)
        return;
    PtrEnd = std::to_chars(Text, Text + sizeof Text, DblValue, std::chars_format::scientific,
                           MaxDigits - 1).ptr;
    // Only numbers next to the largest double can round up past it.
    if (Dec.LngExponent == 308 && ReadsAsInfinity(Text, PtrEnd))
        return;
    ParseScientific(Text, PtrEnd, Dec);
}

char* WriteNonFinite(double DblValue, char* PtrOut)
{
    if (std::signbit(DblValue))
        *PtrOut++ = '-';
    return WriteText(std::isnan(DblValue) ? "nan" : "inf", 3, PtrOut);
}

}  // namespace

char* TNumberFormat::Write(double DblValue, char* PtrOut)
{
    if (!std::isfinite(DblValue))
        return WriteNonFinite(DblValue, PtrOut);
    if (std::signbit(DblValue))
        *PtrOut++ = '-';
    const double DblAbs = std::fabs(DblValue);
    if (DblAbs == 0) {
        *PtrOut++ = '0';
        return PtrOut;
    }
    TDecimal Dec;
    if (!RoundTo15Fast(DblAbs, Dec))
        DigitsByRule(DblAbs, Dec);
    return Layout(Dec, PtrOut);
}

char* TNumberFormat::WriteInteger(long LngValue, char* PtrOut)
{
    return std::to_chars(PtrOut, PtrOut + MaxLength, LngValue).ptr;
}

std::string TNumberFormat::ToString(double DblValue)
{
    char Text[MaxLength];
    return std::string(Text, Write(DblValue, Text));
}
