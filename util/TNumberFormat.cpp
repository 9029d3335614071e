#include "util/TNumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <type_traits>

#include "util/TError.h"

namespace {

// The significant digits of a number (LngCount of them, the last not '0'),
// followed by '0' padding, and the decimal exponent of the first digit.
struct TDecimal {
    char Digits[32];
    int LngCount;
    int LngExponent;
};

// The most digits the fast path rounds to: below 2^50, so that its scaled
// values carry halves exactly.
constexpr int MaxFastDigits = 15;

// Powers of ten that doubles hold exactly.
constexpr double Pow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int MaxPow10 = 22;
constexpr std::int64_t Pow10Int[] = {
    1,           10,           100,           1000,           10000,           100000,
    1000000,     10000000,     100000000,     1000000000,     10000000000,     100000000000,
    1000000000000, 10000000000000, 100000000000000, 1000000000000000};

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
// carry padding past the end of the text, but stays within MaxLength. Blocks
// of LngBlock = 16 serve up to 16 digits (at worst "-", 15 digits, the point
// and a block of 15 end at byte 32), blocks of 17 serve 17 digits (at worst
// "-", 16 digits, the point and a block of 16 end at byte 34); 17 digits in
// exponent form fit either.
// Inlined, as are the steps of the fast path, into the code for the usual
// digit count and into that for any other, as if written there.
template <int LngBlock>
inline __attribute__((always_inline)) char* Layout(const TDecimal& Dec, char* PtrOut)
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
        std::memcpy(PtrOut, PtrDigits, LngBlock);
        return PtrOut + LngCount;
    }
    const int LngIntegerDigits = LngExponent + 1;
    std::memcpy(PtrOut, PtrDigits, LngBlock);  // padding gives the zeros of 2.5e5
    if (LngCount <= LngIntegerDigits)
        return PtrOut + LngIntegerDigits;
    PtrOut[LngIntegerDigits] = '.';
    std::memcpy(PtrOut + LngIntegerDigits + 1, PtrDigits + LngIntegerDigits, LngBlock - 1);
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
inline __attribute__((always_inline)) void SetDigits15(std::int64_t LngValue, TDecimal& Dec)
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

// Fast path for positive DblValue from about 1e-8 to 1e36 (1e-22 to 1e22 for
// one digit) and LngDigits = N up to 15: the digits correctly rounded to N
// significant digits, or false when that cannot be decided cheaply.
// LngDigits is an int, or a compile-time constant for code of its own.
//
// Why this is the whole rule there: such values are normal, and distinct
// decimals of at most 15 digits read as distinct normal doubles (DBL_DIG),
// the more so at N < 15 digits. If the shortest round-trip digits S have at
// most N, then the N-digit rounding R, at least as close to the value as S,
// also reads back as it, hence R = S. Otherwise the rule takes R. R never
// overflows here.
//
// How R is computed: with X the decimal exponent of the value, x = value *
// 10^(N-1-X) is exact in the reals, and P = fl(x) is what one multiplication
// (or division) by the exact power 10^|N-1-X| gives. P < 10^15 < 2^50, so its
// ulp u is at most 1/8, and integers and half-integers are multiples of u.
// With M = floor(P + 0.5) (P + 0.5 is exact) and D = P - M (exact), either D
// is -1/2 (P halfway: we give up) or |D| <= 1/2 - u, and since |x - P| <= u/2,
// |x - M| < 1/2: M is x rounded to the nearest integer, i.e. R's digits.
//
// X comes from the binary exponent, exact or one too small; one too small
// shows as P >= 10^N and is fixed by scaling once more. (If x is then just
// below 10^N, both scalings round to 10^N and agree.)
template <class TCount>
inline __attribute__((always_inline)) bool RoundFast(double DblValue, TCount LngDigits,
                                                    TDecimal& Dec)
{
    std::uint64_t LngBits;
    std::memcpy(&LngBits, &DblValue, sizeof LngBits);
    const int LngBinaryExponent = static_cast<int>(LngBits >> 52) - 1023;
    // floor(LngBinaryExponent * log10(2)) for the exponents that matter
    // (division truncates, hence one less below zero).
    int LngExponent = LngBinaryExponent * 78913 / 262144 - (LngBinaryExponent < 0);
    // Both scalings below must use exact powers of ten.
    const int LngLast = LngDigits - 1;
    if (LngExponent < LngLast - MaxPow10 || LngExponent >= LngLast + MaxPow10)
        return false;
    auto Scale = [DblValue](int LngPower) {
        return LngPower >= 0 ? DblValue * Pow10[LngPower] : DblValue / Pow10[-LngPower];
    };
    double DblScaled = Scale(LngLast - LngExponent);
    if (DblScaled >= Pow10[LngDigits])
        DblScaled = Scale(LngLast - ++LngExponent);
    auto LngRounded = static_cast<std::int64_t>(DblScaled + 0.5);
    if (DblScaled - static_cast<double>(LngRounded) == -0.5)
        return false;
    if (LngRounded == Pow10Int[LngDigits]) {
        LngRounded = Pow10Int[LngLast];
        ++LngExponent;
    }
    SetDigits15(LngRounded * Pow10Int[MaxFastDigits - LngDigits], Dec);
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
// round-trip digits when they are at most LngDigits, else the rounding to
// LngDigits unless that overflows.
inline __attribute__((always_inline)) void DigitsByRule(double DblValue, int LngDigits,
                                                       TDecimal& Dec)
{
    char Text[40];
    char* PtrEnd = std::to_chars(Text, Text + sizeof Text, DblValue,
                                 std::chars_format::scientific).ptr;
    ParseScientific(Text, PtrEnd, Dec);
    if (Dec.LngCount <= LngDigits)
        return;
    PtrEnd = std::to_chars(Text, Text + sizeof Text, DblValue, std::chars_format::scientific,
                           LngDigits - 1).ptr;
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

// The digits of positive finite DblValue with LngDigits significant digits
// at most (an int, or a compile-time constant for code of its own); true
// when the fast path gave them, at most 15, false for the rule's, up to 17.
template <class TCount>
inline __attribute__((always_inline)) bool DecimalOf(double DblValue, TCount LngDigits,
                                                    TDecimal& Dec)
{
    if (LngDigits <= MaxFastDigits && RoundFast(DblValue, LngDigits, Dec))
        return true;
    DigitsByRule(DblValue, LngDigits, Dec);
    return false;
}

void CheckDigits(int LngDigits)
{
    if (LngDigits < TNumberFormat::MinDigits || LngDigits > TNumberFormat::MaxDigits)
        throw TError("Significant digits must be from 1 to 17");
}

// The text of DblValue in the layout of %g.
template <class TCount>
char* WriteNumber(double DblValue, char* PtrOut, TCount LngDigits)
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
    return DecimalOf(DblAbs, LngDigits, Dec) ? Layout<16>(Dec, PtrOut) : Layout<17>(Dec, PtrOut);
}

// Plain decimal: the integer digits, zeros up to the point, the point and
// the fraction digits, or "0.", zeros and the digits. At most 21 digits
// before the point and 6 zeros after it.
char* LayoutPlain(const TDecimal& Dec, char* PtrOut)
{
    const int LngCount = Dec.LngCount;
    const int LngExponent = Dec.LngExponent;
    if (LngExponent < 0) {
        PtrOut = WriteText("0.000000", static_cast<std::size_t>(1 - LngExponent), PtrOut);
        return WriteText(Dec.Digits, static_cast<std::size_t>(LngCount), PtrOut);
    }
    const int LngIntegerDigits = LngExponent + 1;
    PtrOut = WriteText(Dec.Digits, static_cast<std::size_t>(LngIntegerDigits), PtrOut);
    if (LngCount <= LngIntegerDigits)
        return PtrOut;
    *PtrOut++ = '.';
    return WriteText(Dec.Digits + LngIntegerDigits,
                     static_cast<std::size_t>(LngCount - LngIntegerDigits), PtrOut);
}

}  // namespace

char* TNumberFormat::Write(double DblValue, char* PtrOut)
{
    return WriteNumber(DblValue, PtrOut, std::integral_constant<int, DefaultDigits>());
}

char* TNumberFormat::Write(double DblValue, char* PtrOut, int LngDigits)
{
    if (LngDigits == DefaultDigits)
        return Write(DblValue, PtrOut);
    CheckDigits(LngDigits);
    return WriteNumber(DblValue, PtrOut, LngDigits);
}

char* TNumberFormat::WritePlain(double DblValue, char* PtrOut, int LngDigits)
{
    CheckDigits(LngDigits);
    if (!std::isfinite(DblValue) || DblValue == 0)
        return Write(DblValue, PtrOut, LngDigits);
    if (std::signbit(DblValue))
        *PtrOut++ = '-';
    TDecimal Dec;
    DecimalOf(std::fabs(DblValue), LngDigits, Dec);
    // JavaScript's bounds of plain decimal: from 1e-7 up to below 1e21.
    if (Dec.LngExponent < -7 || Dec.LngExponent > 20)
        return Layout<17>(Dec, PtrOut);
    return LayoutPlain(Dec, PtrOut);
}

char* TNumberFormat::WriteInteger(long LngValue, char* PtrOut)
{
    return std::to_chars(PtrOut, PtrOut + MaxLength, LngValue).ptr;
}

std::string TNumberFormat::ToString(double DblValue, int LngDigits)
{
    char Text[MaxLength];
    return std::string(Text, Write(DblValue, Text, LngDigits));
}
