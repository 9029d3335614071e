#include "io/TTokenizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
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
    // The input no read has consumed: what the tokenizer holds, then what the
    // source has left.
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

TCell CellOf(const std::string& StgText, double& DblValue)
{
    TTokens Input(StgText);
    return Input.Tokens.ReadCell(DblValue);
}

TCell CellOf(const std::string& StgText)
{
    double DblValue = 0.0;
    return CellOf(StgText, DblValue);
}

constexpr std::size_t MoreThanTheBuffer = 100000;

}  // namespace

TEST(TTokenizer, SplitsOnEverySortOfWhiteSpace)
{
    TTokens Input(" a\tb\nc\vd\fe\r\nf  g\n");
    EXPECT_EQ(AllTokens(Input.Tokens),
              (std::vector<std::string>{"a", "b", "c", "d", "e", "f", "g"}));
    EXPECT_TRUE(Input.Tokens.NextToken().empty());

    TTokens Empty(" \r\n\t ");
    EXPECT_TRUE(Empty.Tokens.NextToken().empty());
}

TEST(TTokenizer, TokensAcrossRefillsStayWhole)
{
    // Long enough to refill the buffer several times; the odd chunk sizes make
    // tokens straddle every refill at every offset.
    std::string StgText;
    std::vector<double> VecExpected;
    for (int LngIndex = 0; LngIndex < 30000; ++LngIndex) {
        VecExpected.push_back(LngIndex + 0.25);
        StgText += std::to_string(LngIndex) + ".25" + (LngIndex % 7 == 0 ? "\r\n" : " ");
    }
    for (std::size_t LngChunk : {std::size_t(1), std::size_t(7), std::size_t(65536), std::size_t(1) << 20}) {
        TTokens Input(StgText, LngChunk);
        std::vector<double> VecRead;
        double DblValue;
        while (Input.Tokens.ReadCell(DblValue) == TCell::Ok)
            VecRead.push_back(DblValue);
        EXPECT_EQ(VecRead, VecExpected) << "chunk " << LngChunk;
    }
}

TEST(TTokenizer, TokenLongerThanTheBufferIsOneJunkToken)
{
    const std::string StgLong(MoreThanTheBuffer, '1');

    TTokens Cells(StgLong + " 7 ", 5000);
    double DblValue = 0.0;
    EXPECT_EQ(Cells.Tokens.ReadCell(DblValue), TCell::NotANumber);
    EXPECT_EQ(Cells.Unread(), " 7 ");
    EXPECT_EQ(Cells.Tokens.ReadCell(DblValue), TCell::Ok);
    EXPECT_EQ(DblValue, 7.0);

    // Would read 0 from a prefix if the token were split.
    TTokens Integer(std::string(MoreThanTheBuffer, '0') + " 5");
    long LngValue = -1;
    EXPECT_FALSE(Integer.Tokens.ReadInteger(LngValue));
    double DblNumber = -1.0;
    EXPECT_FALSE(Integer.Tokens.ReadNumber(DblNumber));

    TTokens AtEnd("ncols " + StgLong, 1000);
    EXPECT_EQ(AtEnd.Tokens.NextToken(), "ncols");
    EXPECT_EQ(AllTokens(AtEnd.Tokens).size(), 1u);
    EXPECT_EQ(AtEnd.Tokens.ReadCell(DblValue), TCell::End);
}

TEST(TTokenizer, ReadIntegerTakesTheLongestIntegerPrefix)
{
    TTokens Input("3.0 +7 -2147483648 2147483647");
    long LngValue = 0;
    ASSERT_TRUE(Input.Tokens.ReadInteger(LngValue));
    EXPECT_EQ(LngValue, 3);
    EXPECT_EQ(Input.Tokens.NextToken(), ".0");
    ASSERT_TRUE(Input.Tokens.ReadInteger(LngValue));
    EXPECT_EQ(LngValue, 7);
    ASSERT_TRUE(Input.Tokens.ReadInteger(LngValue));
    EXPECT_EQ(LngValue, -2147483648L);
    ASSERT_TRUE(Input.Tokens.ReadInteger(LngValue));
    EXPECT_EQ(LngValue, 2147483647L);
    EXPECT_FALSE(Input.Tokens.ReadInteger(LngValue));
}

TEST(TTokenizer, ReadIntegerRefusesWhatIsNoThirtyTwoBitInteger)
{
    for (const char* StgText : {"2147483648", "-2147483649", "+-5", "-+5", "+", "-", "abc", ".5", ""}) {
        TTokens Input(StgText);
        long LngValue = 42;
        EXPECT_FALSE(Input.Tokens.ReadInteger(LngValue)) << StgText;
        EXPECT_EQ(LngValue, 42) << StgText;
        EXPECT_EQ(Input.Tokens.NextToken(), StgText) << "a failed read consumes nothing";
    }
}

TEST(TTokenizer, ReadNumberTakesTheLongestNumberPrefix)
{
    struct {
        const char* StgText;
        double DblValue;
        const char* StgRest;
    } const Cases[] = {
        {"1,5", 1.0, ",5"},       {"-.5e+2x", -50.0, "x"},  {"5.", 5.0, ""},
        {"+2.5E-1", 0.25, ""},    {"12abc", 12.0, "abc"},   {"1.5.3", 1.5, ".3"},
        {"1e-400", 0.0, ""},      {"-0", -0.0, ""},         {"007", 7.0, ""},
    };
    for (const auto& Case : Cases) {
        TTokens Input(Case.StgText);
        double DblValue = 42.0;
        ASSERT_TRUE(Input.Tokens.ReadNumber(DblValue)) << Case.StgText;
        EXPECT_EQ(DblValue, Case.DblValue) << Case.StgText;
        EXPECT_EQ(std::signbit(DblValue), std::signbit(Case.DblValue)) << Case.StgText;
        EXPECT_EQ(Input.Tokens.NextToken(), Case.StgRest) << Case.StgText;
    }
    // Too small for a normal double: strtod's subnormal, not zero.
    TTokens Subnormal("3e-324");
    double DblValue = 0.0;
    ASSERT_TRUE(Subnormal.Tokens.ReadNumber(DblValue));
    EXPECT_EQ(DblValue, std::strtod("3e-324", nullptr));
    EXPECT_GT(DblValue, 0.0);
}

TEST(TTokenizer, ReadNumberRefusesWhatIsNoFiniteNumber)
{
    for (const char* StgText : {"1e", "1e+", "2Ex", "1e400", "-1e400", ".", "-.e5", "+-5", "inf",
                                "nan", "abc", ""}) {
        TTokens Input(StgText);
        double DblValue = 42.0;
        EXPECT_FALSE(Input.Tokens.ReadNumber(DblValue)) << StgText;
        EXPECT_EQ(DblValue, 42.0) << StgText;
        EXPECT_EQ(Input.Tokens.NextToken(), StgText) << "a failed read consumes nothing";
    }
}

TEST(TTokenizer, ReadCellTakesWholeNumberTokens)
{
    struct {
        const char* StgText;
        double DblValue;
    } const Cases[] = {{"+5", 5.0},          {"-0", -0.0},    {".5", 0.5},       {"5.", 5.0},
                       {"-1.25e+3", -1250.0}, {"1E2", 100.0}, {"1e-400", 0.0},   {"4512345.5", 4512345.5}};
    for (const auto& Case : Cases) {
        double DblValue = 42.0;
        ASSERT_EQ(CellOf(Case.StgText, DblValue), TCell::Ok) << Case.StgText;
        EXPECT_EQ(DblValue, Case.DblValue) << Case.StgText;
        EXPECT_EQ(std::signbit(DblValue), std::signbit(Case.DblValue)) << Case.StgText;
    }
}

// Plain decimals take a shortcut; it must give what a correctly rounding
// parser gives, bit for bit, at every length and across refills.
TEST(TTokenizer, ReadCellReadsDecimalsAsStrtod)
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
    TTokens Input(StgText, 4093);
    for (const std::string& StgToken : VecTokens) {
        double DblValue = 0.0;
        ASSERT_EQ(Input.Tokens.ReadCell(DblValue), TCell::Ok) << StgToken;
        const double DblExpected = std::strtod(StgToken.c_str(), nullptr);
        ASSERT_EQ(std::memcmp(&DblValue, &DblExpected, sizeof DblValue), 0) << StgToken;
    }
    double DblValue = 0.0;
    EXPECT_EQ(Input.Tokens.ReadCell(DblValue), TCell::End);
}

TEST(TTokenizer, ReadCellTakesTheWritersNonFiniteTexts)
{
    double DblValue = 0.0;
    ASSERT_EQ(CellOf("inf", DblValue), TCell::Ok);
    EXPECT_EQ(DblValue, HUGE_VAL);
    ASSERT_EQ(CellOf("-inf", DblValue), TCell::Ok);
    EXPECT_EQ(DblValue, -HUGE_VAL);
    ASSERT_EQ(CellOf("nan", DblValue), TCell::Ok);
    EXPECT_TRUE(std::isnan(DblValue));
    EXPECT_FALSE(std::signbit(DblValue));
    ASSERT_EQ(CellOf("-nan", DblValue), TCell::Ok);
    EXPECT_TRUE(std::isnan(DblValue));
    EXPECT_TRUE(std::signbit(DblValue));
}

TEST(TTokenizer, ReadCellRefusesEverythingElse)
{
    for (const char* StgText : {"abc", "1,5", "1.5x", "+-5", "-+5", "+", ".", "1e", "1e+", "INF",
                                "Inf", "infinity", "+inf", "+nan", "NaN", "nan(1)", "-nan(1)", "0x10"})
        EXPECT_EQ(CellOf(StgText), TCell::NotANumber) << StgText;
    EXPECT_EQ(CellOf("1e400"), TCell::OutOfRange);
    EXPECT_EQ(CellOf("-1e400"), TCell::OutOfRange);
    EXPECT_EQ(CellOf(""), TCell::End);
    EXPECT_EQ(CellOf(" \r\n"), TCell::End);

    // A refused token is consumed: the next cell follows it.
    TTokens Input("abc 2");
    double DblValue = 0.0;
    EXPECT_EQ(Input.Tokens.ReadCell(DblValue), TCell::NotANumber);
    EXPECT_EQ(Input.Tokens.ReadCell(DblValue), TCell::Ok);
    EXPECT_EQ(DblValue, 2.0);
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
