#include "io/TTokenizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "io/TTextSource.h"

namespace {

using TCell = TTokenizer::TCell;

// A source together with its tokenizer.
struct TTokens {
    explicit TTokens(std::string StgText, std::size_t LngChunk = 4096)
        : Source(std::move(StgText), LngChunk), Tokens(Source) {}
    // What no read has consumed: the tokenizer's part, then the source's.
    std::string Unread() const { return std::string(Tokens.Pending()) + Source.Rest(); }

    TTextSource Source;
    TTokenizer Tokens;
};

std::vector<std::string> AllTokens(TTokenizer& Tokens)
{
    std::vector<std::string> VecTokens;
    for (std::string_view Token = Tokens.NextToken(); !Token.empty(); Token = Tokens.NextToken())
        VecTokens.emplace_back(Token);
    return VecTokens;
}

// The same value, down to the sign of a zero or a NaN.
bool Same(double DblA, double DblB)
{
    if (std::isnan(DblA) || std::isnan(DblB))
        return std::isnan(DblA) && std::isnan(DblB) && std::signbit(DblA) == std::signbit(DblB);
    return std::memcmp(&DblA, &DblB, sizeof DblA) == 0;
}

// A header read of one text: the value it gives and the token that follows,
// or, with StgRest null, a refusal that leaves value and input untouched.
struct TPrefixCase {
    const char* StgText;
    double DblValue;
    const char* StgRest;
};
constexpr const char* Refused = nullptr;

template <class TValue>
void ExpectPrefixReads(bool (TTokenizer::*Read)(TValue&), std::initializer_list<TPrefixCase> Cases)
{
    for (const TPrefixCase& Case : Cases) {
        TTokens Input(Case.StgText);
        TValue Value = 42;
        const bool BlnRead = (Input.Tokens.*Read)(Value);
        EXPECT_EQ(BlnRead, Case.StgRest != Refused) << Case.StgText;
        EXPECT_TRUE(Same(static_cast<double>(Value), BlnRead ? Case.DblValue : 42.0)) << Case.StgText;
        EXPECT_EQ(Input.Tokens.NextToken(), BlnRead ? Case.StgRest : Case.StgText) << Case.StgText;
    }
}

constexpr std::size_t MoreThanTheBuffer = 100000;

}  // namespace

TEST(TTokenizer, SplitsOnEverySortOfWhiteSpace)
{
    TTokens Input(" a\tb\nc\vd\fe\r\nf  g\n");
    EXPECT_EQ(AllTokens(Input.Tokens), (std::vector<std::string>{"a", "b", "c", "d", "e", "f", "g"}));
}

TEST(TTokenizer, TokenLongerThanTheBufferIsOneJunkTokenThatEndsTheInput)
{
    const std::string StgLong(MoreThanTheBuffer, '1');

    TTokens Cells(StgLong + " 7 ", 5000);
    double DblValue = 0.0;
    EXPECT_EQ(Cells.Tokens.ReadCell(DblValue), TCell::NotANumber);
    EXPECT_EQ(Cells.Tokens.ReadCell(DblValue), TCell::End);
    // Nothing past 64 KiB is read: a token may never end (/dev/zero).
    EXPECT_EQ(Cells.Source.Rest(), StgLong.substr(64 * 1024) + " 7 ");

    // Would read 0 from a prefix if the token were split.
    TTokens Integer(std::string(MoreThanTheBuffer, '0') + " 5");
    long LngValue = -1;
    EXPECT_FALSE(Integer.Tokens.ReadInteger(LngValue));
    EXPECT_FALSE(Integer.Tokens.ReadNumber(DblValue));

    TTokens AtEnd("ncols " + StgLong, 1000);
    EXPECT_EQ(AtEnd.Tokens.NextToken(), "ncols");
    EXPECT_EQ(AllTokens(AtEnd.Tokens).size(), 1u);
    EXPECT_EQ(AtEnd.Tokens.ReadCell(DblValue), TCell::End);
}

TEST(TTokenizer, ReadIntegerTakesTheLongestThirtyTwoBitPrefix)
{
    ExpectPrefixReads(&TTokenizer::ReadInteger,
                      {{"3.0", 3, ".0"}, {"+7", 7, ""}, {"-2147483648", -2147483648.0, ""},
                       {"2147483647", 2147483647.0, ""}, {"2147483648", 0, Refused},
                       {"-2147483649", 0, Refused}, {"+-5", 0, Refused}, {"-+5", 0, Refused},
                       {"+", 0, Refused}, {"-", 0, Refused}, {"abc", 0, Refused}, {".5", 0, Refused},
                       {"", 0, Refused}});
}

TEST(TTokenizer, ReadNumberTakesTheLongestFiniteNumberPrefix)
{
    ExpectPrefixReads(&TTokenizer::ReadNumber,
                      {{"1,5", 1.0, ",5"}, {"-.5e+2x", -50.0, "x"}, {"5.", 5.0, ""}, {"+2.5E-1", 0.25, ""},
                       {"12abc", 12.0, "abc"}, {"1.5.3", 1.5, ".3"}, {"1e-400", 0.0, ""}, {"-0", -0.0, ""},
                       {"007", 7.0, ""},
                       // Too small for a normal double: strtod's subnormal, not zero.
                       {"3e-324", std::strtod("3e-324", nullptr), ""},
                       {"1e", 0, Refused}, {"1e+", 0, Refused}, {"2Ex", 0, Refused}, {"1e400", 0, Refused},
                       {"-1e400", 0, Refused}, {".", 0, Refused}, {"-.e5", 0, Refused}, {"+-5", 0, Refused},
                       {"inf", 0, Refused}, {"nan", 0, Refused}, {"abc", 0, Refused}, {"", 0, Refused}});
}

TEST(TTokenizer, ReadCellTakesWholeNumberTokensAndTheWritersNonFiniteTexts)
{
    struct {
        const char* StgText;
        TCell Cell;
        double DblValue;
    } const Cases[] = {
        {"+5", TCell::Ok, 5.0},          {"-0", TCell::Ok, -0.0},        {".5", TCell::Ok, 0.5},
        {"5.", TCell::Ok, 5.0},          {"-1.25e+3", TCell::Ok, -1250}, {"1E2", TCell::Ok, 100.0},
        {"1e-400", TCell::Ok, 0.0},      {"inf", TCell::Ok, HUGE_VAL},   {"-inf", TCell::Ok, -HUGE_VAL},
        {"nan", TCell::Ok, std::nan("")}, {"-nan", TCell::Ok, -std::nan("")},
        {"1e400", TCell::OutOfRange, 0}, {"-1e400", TCell::OutOfRange, 0},
        {"", TCell::End, 0},             {" \r\n", TCell::End, 0},
    };
    for (const auto& Case : Cases) {
        TTokens Input(Case.StgText);
        double DblValue = 42.0;
        ASSERT_EQ(Input.Tokens.ReadCell(DblValue), Case.Cell) << Case.StgText;
        EXPECT_TRUE(Case.Cell != TCell::Ok || Same(DblValue, Case.DblValue)) << Case.StgText;
        // A text on its own reads the same, with white space around it.
        DblValue = 42.0;
        const std::string StgPadded = "\t " + std::string(Case.StgText) + "\n";
        ASSERT_EQ(TTokenizer::ParseCell(StgPadded, DblValue),
                  Case.Cell == TCell::End ? TCell::NotANumber : Case.Cell) << Case.StgText;
        EXPECT_TRUE(Case.Cell != TCell::Ok || Same(DblValue, Case.DblValue)) << Case.StgText;
    }
    // Anything else is junk, and consumed: the next cell follows it.
    for (const char* StgJunk : {"abc", "1,5", "1.5x", "+-5", "-+5", "+", ".", "1e", "1e+", "INF", "Inf",
                                "infinity", "+inf", "+nan", "NaN", "nan(1)", "-nan(1)", "0x10"}) {
        TTokens Input(std::string(StgJunk) + " 2");
        double DblValue = 0.0;
        EXPECT_EQ(Input.Tokens.ReadCell(DblValue), TCell::NotANumber) << StgJunk;
        EXPECT_EQ(Input.Tokens.ReadCell(DblValue), TCell::Ok) << StgJunk;
        EXPECT_EQ(DblValue, 2.0) << StgJunk;
        EXPECT_EQ(TTokenizer::ParseCell(StgJunk, DblValue), TCell::NotANumber) << StgJunk;
    }
}

// Plain decimals take a shortcut; it must give what a correctly rounding
// parser gives, bit for bit, at every length. The odd chunk sizes make tokens
// straddle every refill at every offset.
TEST(TTokenizer, ReadCellReadsDecimalsAsStrtodAcrossRefills)
{
    std::mt19937_64 Random(7);
    std::vector<std::string> VecTokens;
    std::string StgText;
    for (int LngI = 0; LngI < 200000; ++LngI) {
        const int LngDigits = 1 + static_cast<int>(Random() % 22);
        std::string StgToken = Random() % 3 == 0 ? "-" : "";
        const int LngPoint = static_cast<int>(Random() % (LngDigits + 2)) - 1;
        for (int LngD = 0; LngD < LngDigits; ++LngD) {
            if (LngD == LngPoint)
                StgToken += '.';
            StgToken += static_cast<char>('0' + Random() % 10);
        }
        if (LngPoint == LngDigits)
            StgToken += '.';
        VecTokens.push_back(StgToken);
        StgText += StgToken + (Random() % 2 ? " " : "\r\n");
    }
    for (std::size_t LngChunk : {std::size_t(1), std::size_t(7), std::size_t(4093), std::size_t(1) << 20}) {
        TTokens Input(StgText, LngChunk);
        double DblValue = 0.0;
        for (const std::string& StgToken : VecTokens) {
            ASSERT_EQ(Input.Tokens.ReadCell(DblValue), TCell::Ok) << StgToken;
            ASSERT_TRUE(Same(DblValue, std::strtod(StgToken.c_str(), nullptr)))
                << StgToken << " chunk " << LngChunk;
        }
        EXPECT_EQ(Input.Tokens.ReadCell(DblValue), TCell::End);
    }
}

TEST(TTokenizer, PendingHoldsWhatNoReadConsumed)
{
    for (std::size_t LngChunk : {std::size_t(1), std::size_t(4), std::size_t(4096)}) {
        TTokens Input("ncols 3.0 rest\n", LngChunk);
        EXPECT_EQ(Input.Tokens.NextToken(), "ncols");
        EXPECT_EQ(Input.Unread(), " 3.0 rest\n");
        long LngValue = 0;
        ASSERT_TRUE(Input.Tokens.ReadInteger(LngValue));
        EXPECT_EQ(Input.Unread(), ".0 rest\n");
        EXPECT_EQ(Input.Tokens.NextToken(), ".0");
        EXPECT_EQ(Input.Tokens.NextToken(), "rest");
        EXPECT_EQ(Input.Unread(), "\n");
        // A whole token is in hand once read, never more than one ahead.
        EXPECT_LE(Input.Tokens.Pending().size(), std::max<std::size_t>(LngChunk, 1));
    }
}
