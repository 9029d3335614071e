#include "ops/TExpressionLexer.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ops/TExpressionError.h"

namespace {

bool IsDigit(char ChrAt) { return ChrAt >= '0' && ChrAt <= '9'; }
bool IsWordStart(char ChrAt)
{
    return (ChrAt >= 'a' && ChrAt <= 'z') || (ChrAt >= 'A' && ChrAt <= 'Z') || ChrAt == '_';
}
bool IsWordChar(char ChrAt) { return IsWordStart(ChrAt) || IsDigit(ChrAt); }
bool IsExponent(char ChrAt) { return ChrAt == 'e' || ChrAt == 'E'; }

std::size_t SkipDigits(std::string_view StgText, std::size_t LngAt)
{
    while (LngAt < StgText.size() && IsDigit(StgText[LngAt]))
        ++LngAt;
    return LngAt;
}

// The end of the number at LngAt by the grammar: digits, an optional point
// and digits, an optional exponent that has digits.
std::size_t NumberEnd(std::string_view StgText, std::size_t LngAt)
{
    LngAt = SkipDigits(StgText, LngAt);
    if (LngAt < StgText.size() && StgText[LngAt] == '.')
        LngAt = SkipDigits(StgText, LngAt + 1);
    if (LngAt < StgText.size() && IsExponent(StgText[LngAt])) {
        std::size_t LngDigits = LngAt + 1;
        if (LngDigits < StgText.size() && (StgText[LngDigits] == '+' || StgText[LngDigits] == '-'))
            ++LngDigits;
        if (LngDigits < StgText.size() && IsDigit(StgText[LngDigits]))
            LngAt = SkipDigits(StgText, LngDigits);
    }
    return LngAt;
}

// The end of the run a reader takes for one number: word characters,
// points, and signs right after an exponent letter. A number shorter than
// its run is malformed ("1e", "2x", "1.2.3").
std::size_t RunEnd(std::string_view StgText, std::size_t LngAt)
{
    const std::size_t LngStart = LngAt;
    for (; LngAt < StgText.size(); ++LngAt) {
        const char ChrAt = StgText[LngAt];
        const bool BlnSign = (ChrAt == '+' || ChrAt == '-') && LngAt > LngStart
                          && IsExponent(StgText[LngAt - 1]);
        if (!IsWordChar(ChrAt) && ChrAt != '.' && !BlnSign)
            break;
    }
    return LngAt;
}

// The value of a well-formed number; out of a double's range, the value
// strtod gives (infinity, or zero or a subnormal).
double NumberValue(std::string_view StgNumber)
{
    double DblValue = 0.0;
    const auto Result = std::from_chars(StgNumber.data(), StgNumber.data() + StgNumber.size(), DblValue);
    if (Result.ec == std::errc::result_out_of_range)
        return std::strtod(std::string(StgNumber).c_str(), nullptr);
    return DblValue;
}

// The symbols, two-character ones first so that "<=" is not read as "<".
constexpr std::string_view ArrSymbols[] = {"||", "&&", "==", "!=", "<=", ">=", "?", ":", "<", ">", "+",
                                           "-",  "*",  "/",  "%",  "!",  "^",  "(", ")", "[", "]", ","};

std::string Printable(char ChrAt)
{
    const unsigned char LngByte = static_cast<unsigned char>(ChrAt);
    if (LngByte >= 0x20 && LngByte < 0x7f)
        return std::string(1, ChrAt);
    char ArrEscape[8];
    std::snprintf(ArrEscape, sizeof ArrEscape, "\\x%02x", LngByte);
    return ArrEscape;
}

TExpressionToken NextToken(std::string_view StgText, std::size_t LngAt)
{
    TExpressionToken Token;
    Token.LngColumn = static_cast<long>(LngAt) + 1;
    const std::string_view StgRest = StgText.substr(LngAt);
    const char ChrFirst = StgRest[0];
    if (IsDigit(ChrFirst) || (ChrFirst == '.' && StgRest.size() > 1 && IsDigit(StgRest[1]))) {
        const std::size_t LngRun = RunEnd(StgText, LngAt) - LngAt;
        Token.StgText = StgRest.substr(0, LngRun);
        if (NumberEnd(StgText, LngAt) - LngAt != LngRun)
            throw TExpressionError("malformed number '" + std::string(Token.StgText) + "'", Token.LngColumn);
        Token.Kind = TExpressionToken::TKind::Number;
        Token.DblValue = NumberValue(Token.StgText);
        return Token;
    }
    if (IsWordStart(ChrFirst)) {
        std::size_t LngLength = 1;
        while (LngLength < StgRest.size() && IsWordChar(StgRest[LngLength]))
            ++LngLength;
        Token.Kind = TExpressionToken::TKind::Word;
        Token.StgText = StgRest.substr(0, LngLength);
        return Token;
    }
    for (std::string_view StgSymbol : ArrSymbols)
        if (StgRest.substr(0, StgSymbol.size()) == StgSymbol) {
            Token.Kind = TExpressionToken::TKind::Symbol;
            Token.StgText = StgRest.substr(0, StgSymbol.size());
            return Token;
        }
    throw TExpressionError("unexpected character '" + Printable(ChrFirst) + "'", Token.LngColumn);
}

bool IsSpace(char ChrAt)
{
    return ChrAt == ' ' || ChrAt == '\t' || ChrAt == '\n' || ChrAt == '\r' || ChrAt == '\f' || ChrAt == '\v';
}

}  // namespace

std::vector<TExpressionToken> TExpressionLexer::Split(std::string_view StgText)
{
    std::vector<TExpressionToken> VecTokens;
    std::size_t LngAt = 0;
    for (;;) {
        while (LngAt < StgText.size() && IsSpace(StgText[LngAt]))
            ++LngAt;
        if (LngAt == StgText.size())
            break;
        VecTokens.push_back(NextToken(StgText, LngAt));
        LngAt += VecTokens.back().StgText.size();
    }
    TExpressionToken End;
    End.LngColumn = static_cast<long>(StgText.size()) + 1;
    VecTokens.push_back(End);
    return VecTokens;
}
