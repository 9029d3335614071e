#include "io/TNonFiniteSpellings.h"

#include <cctype>
#include <cmath>
#include <limits>

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

char Lower(char ChrValue)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(ChrValue)));
}

bool StartsWith(std::string_view StgText, std::string_view StgPrefix, bool BlnAnyCase)
{
    if (StgText.size() < StgPrefix.size())
        return false;
    for (std::size_t LngAt = 0; LngAt < StgPrefix.size(); ++LngAt) {
        const char ChrText = BlnAnyCase ? Lower(StgText[LngAt]) : StgText[LngAt];
        if (ChrText != StgPrefix[LngAt])
            return false;
    }
    return true;
}

bool SameIgnoringCase(std::string_view StgText, std::string_view StgLower)
{
    return StgText.size() == StgLower.size() && StartsWith(StgText, StgLower, true);
}

// Nothing, or "(" letters, digits and underscores ")", as strtod takes after
// nan.
bool IsNanSuffix(std::string_view StgText)
{
    if (StgText.empty())
        return true;
    if (StgText.size() < 2 || StgText.front() != '(' || StgText.back() != ')')
        return false;
    for (const char ChrValue : StgText.substr(1, StgText.size() - 2))
        if (!std::isalnum(static_cast<unsigned char>(ChrValue)) && ChrValue != '_')
            return false;
    return true;
}

bool ReadWindowsForm(std::string_view StgToken, double& DblValue)
{
    const double DblNaN = std::numeric_limits<double>::quiet_NaN();
    const struct {
        std::string_view StgPrefix;
        bool BlnAnyCase;
        double DblValue;
    } Forms[] = {{"1.#inf", true, Infinity},    {"-1.#inf", true, -Infinity},
                 {"1.#QNAN", false, DblNaN},    {"1.#SNAN", false, DblNaN},
                 {"-1.#QNAN", false, DblNaN},   {"-1.#IND", false, DblNaN}};
    for (const auto& Form : Forms) {
        if (StartsWith(StgToken, Form.StgPrefix, Form.BlnAnyCase)) {
            DblValue = Form.DblValue;
            return true;
        }
    }
    return false;
}

}  // namespace

bool TNonFiniteSpellings::Read(std::string_view StgToken, double& DblValue)
{
    if (ReadWindowsForm(StgToken, DblValue))
        return true;
    const bool BlnSigned = !StgToken.empty() && (StgToken.front() == '-' || StgToken.front() == '+');
    const double DblSign = BlnSigned && StgToken.front() == '-' ? -1.0 : 1.0;
    const std::string_view StgWord = StgToken.substr(BlnSigned);
    if (SameIgnoringCase(StgWord, "inf") || SameIgnoringCase(StgWord, "infinity")) {
        DblValue = DblSign * Infinity;
        return true;
    }
    if (StartsWith(StgWord, "nan", true) && IsNanSuffix(StgWord.substr(3))) {
        DblValue = std::copysign(std::numeric_limits<double>::quiet_NaN(), DblSign);
        return true;
    }
    return false;
}
