#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "grid/GridTestSupport.h"
#include "util/TStringTools.h"

TEST(TStringTools, FlagsAreExactlyOneOrZero)
{
    EXPECT_TRUE(TStringTools::StgToBool("1") && !TStringTools::StgToBool("0"));
    for (const char* StgText : {"true", "", "1 ", "01"})
        EXPECT_TERROR(TStringTools::StgToBool(StgText),
                      "Invalid boolean string in TStringTools::HasSubstring");
}

TEST(TStringTools, TrimRemovesOnlySpaces)
{
    const struct { std::string StgIn, StgOut; } Cases[] = {
        {"  ab cd  ", "ab cd"}, {"    ", ""}, {"", ""}, {"\tab\t \n\t ", "\tab\t \n\t"},
    };
    for (const auto& Case : Cases) {
        std::string StgText = Case.StgIn;
        TStringTools::Trim(StgText);
        EXPECT_EQ(StgText, Case.StgOut);
    }
}

TEST(TStringTools, ReplacementsRunLeftToRightAndAreNotSearchedAgain)
{
    const struct { const char *StgSource, *StgSought, *StgReplacement, *StgResult; } Cases[] = {
        {"aaa", "a", "aa", "aaaaaa"}, {"abcabc", "bc", "X", "aXaX"}, {"aaaa", "aa", "b", "bb"},
        {"abc", "x", "y", "abc"},     {"abc", "", "X", "abc"},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(TStringTools::FindAndReplace(Case.StgSource, Case.StgSought, Case.StgReplacement),
                  Case.StgResult);
}

TEST(TStringTools, NumbersAreWrittenAsTheStreamDoes)
{
    EXPECT_EQ(TStringTools::ToString(-42L), "-42");
    EXPECT_EQ(TStringTools::ToString(1234567), "1234567");
    const struct { double DblValue; const char* StgText; } Cases[] = {
        {100, "100"}, {3.14159265, "3.14159"}, {0.00001, "1e-05"}, {1234567, "1.23457e+06"}};
    for (const auto& Case : Cases)
        EXPECT_EQ(TStringTools::ToString(Case.DblValue), Case.StgText);
}

TEST(TStringTools, TokensAreTheRunsBetweenAnyDelimiters)
{
    using TTokens = std::vector<std::string>;
    const struct { std::string StgText, StgDelimiters; TTokens VecTokens; } Cases[] = {
        {"a,,b,", ",", {"a", "b"}}, {"a, b c", ", ", {"a", "b", "c"}}, {"", ",", {}},
        {",a\xe9z", "\xe9,", {"a", "z"}}, {",,", ",", {}}, {"a b", "", {"a b"}},
    };
    for (const auto& Case : Cases) {
        TTokens VecTokens{"old"};
        TStringTools::Tokenize(Case.StgText, VecTokens, Case.StgDelimiters);
        EXPECT_EQ(VecTokens, Case.VecTokens);
    }
}
