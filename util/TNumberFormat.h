#pragma once
// The one number formatter of the toolkit: every number written into a grid
// file or dump goes through it.
//
// A finite number is written as the shortest digit string that reads back as
// the same double; a longer one is correctly rounded to 15 significant digits,
// unless that form would read back as infinity. The digits are laid out as
// printf's %g lays them out with precision max(6, number of digits): exponent
// form ("2.5e+06", "1e-05") when the decimal exponent is below -4 or at least
// that precision, no trailing zeros. Non-finite values are "inf", "-inf",
// "nan" and "-nan".

#include <cstddef>
#include <string>

class TNumberFormat {
public:
    // Room a call of Write or WriteInteger may use.
    static constexpr std::size_t MaxLength = 32;

    // Writes the text of DblValue at PtrOut and returns the end of it.
    static char* Write(double DblValue, char* PtrOut);
    // Writes a whole number in plain decimal and returns the end of it.
    static char* WriteInteger(long LngValue, char* PtrOut);
    static std::string ToString(double DblValue);
};
