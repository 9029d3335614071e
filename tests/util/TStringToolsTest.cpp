#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "grid/GridTestSupport.h"
#include "util/TStringTools.h"

namespace {
using TStrings = std::vector<std::string>;
}  // namespace

TEST(TStringTools, OnlyOneAndZeroAreBooleans)
{
    EXPECT_TRUE(TStringTools::StgToBool("1"));
    EXPECT_FALSE(TStringTools::StgToBool("0"));
    for (const char* StgText : {"true", "", "1 ", "01"})
        EXPECT_TERROR(TStringTools::StgToBool(StgText),
                      "Invalid boolean string in TStringTools::HasSubstring");
}

TEST(TStringTools, SearchAndUpperCaseWorkByteByByte)
{
    EXPECT_TRUE(TStringTools::HasSubstring("abc", "bc"));
    EXPECT_FALSE(TStringTools::HasSubstring("abc", "ABC"));
    EXPECT_TRUE(TStringTools::HasSubstring("", ""));
    std::string StgText = "x1-y\xe9";
    TStringTools::ToUpper(StgText);
    EXPECT_EQ(StgText, "X1-Y\xe9");
}

TEST(TStringTools, TrimRemovesOnlySpaces)
{
    const struct { std::string StgIn, StgOut; } Cases[] = {
        {"  ab cd  ", "ab cd"}, {"    ", ""}, {"", ""}, {"\tab \n ", "\tab \n"},
    };
    for (const auto& Case : Cases) {
        std::string StgText = Case.StgIn;
        TStringTools::Trim(StgText);
        EXPECT_EQ(StgText, Case.StgOut);
    }
}

TEST(TStringTools, ReplacementsRunLeftToRightAndAreNotSearchedAgain)
{
    const struct { std::string StgSource, StgSought, StgReplacement, StgResult; } Cases[] = {
        {"aaa", "a", "aa", "aaaaaa"},
        {"abcabc", "bc", "X", "aXaX"},
        {"aaaa", "aa", "b", "bb"},
        {"abc", "x", "y", "abc"},
        {"abc", "", "X", "abc"},
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
        {2.5, "2.5"}, {100, "100"}, {3.14159265, "3.14159"},
        {1234567, "1.23457e+06"}, {0.00001, "1e-05"}, {1e20, "1e+20"},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(TStringTools::ToString(Case.DblValue), Case.StgText);
}

TEST(TStringTools, TokensAreTheRunsBetweenAnyDelimiters)
{
    const struct { std::string StgText, StgDelimiters; TStrings VecTokens; } Cases[] = {
        {"a,,b,", ",", {"a", "b"}},
        {"a, b c", ", ", {"a", "b", "c"}},
        {",a\xe9z", "\xe9,", {"a", "z"}},
        {"", ",", {}},
        {",,", ",", {}},
        {"a b", "", {"a b"}},
        {"", "", {}},
    };
    for (const auto& Case : Cases) {
        TStrings VecTokens{"old"};
        TStringTools::Tokenize(Case.StgText, VecTokens, Case.StgDelimiters);
        EXPECT_EQ(VecTokens, Case.VecTokens);
    }
}
