// Expressions refused, with the message and the column of the offending
// token; nesting and length bounded.
#include <string>

#include <gtest/gtest.h>

#include "ops/TExpression.h"
#include "ops/TExpressionError.h"

namespace {

std::string Repeated(const std::string& StgText, std::size_t LngTimes)
{
    std::string StgOut;
    for (std::size_t LngTime = 0; LngTime < LngTimes; ++LngTime)
        StgOut += StgText;
    return StgOut;
}

}  // namespace

TEST(TExpressionError, EachFaultIsReportedAtItsColumn)
{
    const std::string StgTooDeep = "expression nested too deeply (more than 256 levels)";
    const struct {
        std::string StgText;
        std::string StgMessage;
        long LngColumn;
    } ArrCases[] = {
        {"dem * slop", "unknown name 'slop'", 7},
        {"foo(dem)", "unknown function 'foo'", 1},
        {"dem(1)", "unknown function 'dem'", 1},
        {"atan2(dem)", "'atan2' takes 2 arguments", 1},
        {"1 + abs(dem, 2)", "'abs' takes 1 argument", 5},
        {"if(dem, 1)", "'if' takes 3 arguments", 1},
        {"x(1)", "'x' takes no arguments", 1},
        {"min(dem)", "'min' takes 2 or more arguments", 1},
        {"(dem + 1", "expected ')'", 9},
        {"max(dem, 1 2)", "expected ')'", 12},
        {"dem ? 1", "expected ':'", 8},
        {"dem + 1 *", "unexpected end of the expression", 10},
        {"dem[9, 0]", "offset out of range (-8 to 8)", 5},
        {"dem[0, -9]", "offset out of range (-8 to 8)", 8},
        {"dem[1.5, 0]", "offset must be a whole number", 5},
        {"dem[slope, 0]", "unexpected 'slope'", 5},
        {"dem[1 0]", "expected ','", 7},
        {"dem[1, 0", "expected ']'", 9},
        {"", "empty expression", 1},
        {" \t\n", "empty expression", 1},
        {"dem slope", "unexpected 'slope'", 5},
        {"dem )", "unexpected ')'", 5},
        {"+dem", "unexpected '+'", 1},
        {"dem = 1", "unexpected character '='", 5},
        {"dem\x01", "unexpected character '\\x01'", 4},
        {"1e+ dem", "malformed number '1e+'", 1},
        {"2dem", "malformed number '2dem'", 1},
        {"1.2.3", "malformed number '1.2.3'", 1},
        {Repeated("(", 257) + "1" + Repeated(")", 257), StgTooDeep, 257},
        {Repeated("-", 300) + "1", StgTooDeep, 257},
        {Repeated("2^", 300) + "1", StgTooDeep, 514},
        {Repeated("dem + ", 2000) + "1", "expression too long (more than 10000 characters)", 10001},
    };
    for (const auto& Case : ArrCases) {
        try {
            TExpression(Case.StgText, {"dem", "slope"});
            ADD_FAILURE() << "compiled: " << Case.StgText;
        } catch (const TExpressionError& Error) {
            EXPECT_EQ(Error.what(), Case.StgMessage + " at column " + std::to_string(Case.LngColumn));
            EXPECT_EQ(Error.Column(), Case.LngColumn) << Case.StgText;
        }
    }
}

TEST(TExpressionError, NestingUpToTheLimitCompiles)
{
    for (const std::string& StgText :
         {Repeated("(", 256) + "dem" + Repeated(")", 256), Repeated("-", 256) + "dem",
          Repeated("2^", 256) + "dem", Repeated("dem ? 1 : ", 256) + "2",
          Repeated("max(1, ", 256) + "dem" + Repeated(")", 256)})
        EXPECT_NO_THROW(TExpression(StgText, {"dem"}));
}
