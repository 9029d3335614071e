#pragma once
// The one number formatter of the toolkit: every number written into a grid
// file or dump goes through it.
//
// With N significant digits (1 to 17, 15 unless said), a finite number is
// written as the shortest digit string that reads back as the same double
// when that has at most N digits; a longer one is correctly rounded to N
// significant digits, unless that form would read back as infinity. N = 17
// always gives the shortest round-trip digits. The digits are laid out as
// printf's %g lays them out with precision max(6, number of digits): exponent
// form ("2.5e+06", "1e-05") when the decimal exponent is below -4 or at least
// that precision, no trailing zeros. Non-finite values are "inf", "-inf",
// "nan" and "-nan".

#include <cstddef>
#include <string>

class TNumberFormat {
public:
    // Room a call of Write or WriteInteger may use.
    static constexpr std::size_t MaxLength = 40;
    // The range of N, and the N of every caller that names none.
    static constexpr int MinDigits = 1;
    static constexpr int MaxDigits = 17;
    static constexpr int DefaultDigits = 15;

    // Writes the text of DblValue with LngDigits significant digits at most
    // at PtrOut and returns the end of it. Throws "Significant digits must be
    // from 1 to 17" for other LngDigits. The form without LngDigits, the
    // default count, has code of its own: the usual one costs no more than
    // it did before counts could be chosen.
    static char* Write(double DblValue, char* PtrOut);
    static char* Write(double DblValue, char* PtrOut, int LngDigits);
    // The same digits in plain decimal, without exponent ("4100000",
    // "0.0000001"), for magnitudes from 1e-7 up to below 1e21; outside those,
    // where JavaScript's number-to-text also turns to it, the exponent form
    // of Write.
    static char* WritePlain(double DblValue, char* PtrOut, int LngDigits);
    // Writes a whole number in plain decimal and returns the end of it.
    static char* WriteInteger(long LngValue, char* PtrOut);
    static std::string ToString(double DblValue, int LngDigits = DefaultDigits);
};
