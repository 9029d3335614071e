// The command line of a pvxMap command read against its table entry, and
// the CSV files the commands read, without going through the binary.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "app/TCommandSkeleton.h"
#include "app/map/TMapArguments.h"
#include "app/map/TMapCsv.h"

namespace {

const TMapCommandEntry& Entry(const char* StgName)
{
    const TMapCommandEntry* PtrEntry = TMapCommandTable::Find(StgName);
    EXPECT_NE(PtrEntry, nullptr) << StgName;
    return *PtrEntry;
}

// The usage message the command line gives, empty when it is accepted.
std::string UsageMessage(const char* StgCommand, const std::vector<std::string>& VecArgs)
{
    try {
        TMapArguments Args(Entry(StgCommand), VecArgs);
        return "";
    } catch (const TUsageError& Error) {
        return Error.what();
    }
}

}  // namespace

TEST(MapArguments, OptionsAnywhereNumbersAsArgumentsAndDoubleDash)
{
    const TMapArguments Args(Entry("threshold"), {"-o", "out.asc", "in.asc", "-inf", "--replace=-5", "--digits", "17"});
    EXPECT_EQ(Args.Arguments(), (std::vector<std::string>{"in.asc", "-inf"}));
    EXPECT_EQ(Args.Output(), "out.asc");
    EXPECT_EQ(Args.Value("--replace"), "-5");
    EXPECT_EQ(Args.OutputSettings().LngDigits, 17);
    EXPECT_FALSE(Args.NoData());
    const TMapArguments Dashed(Entry("convert"), {"--nodata", "nan", "-o", "-", "--", "-q.asc"});
    EXPECT_EQ(Dashed.Arguments(), (std::vector<std::string>{"-q.asc"}));
    EXPECT_TRUE(std::isnan(*Dashed.NoData()));
    EXPECT_FALSE(Dashed.Quiet());
    EXPECT_EQ(TMapArguments(Entry("dump"), {"in.asc", "--frobnicate", "--help"}).WantsHelp(), true);
}

TEST(MapArguments, UsageErrors)
{
    const struct {
        const char* StgCommand;
        std::vector<std::string> VecArgs;
        const char* StgMessage;
    } ArrCases[] = {
        {"convert", {"in.asc"}, "option -o is required"},
        {"convert", {"in.asc", "-o"}, "option -o needs a value"},
        {"convert", {"in.asc", "-o", "a", "-o", "b"}, "option -o given twice"},
        {"convert", {"in.asc", "-o", "a", "--json"}, "unknown option --json"},
        {"convert", {"in.asc", "-o", "a", "--quiet=yes"}, "option --quiet takes no value"},
        {"convert", {"in.asc", "more.asc", "-o", "a"}, "too many arguments"},
        {"convert", {"-o", "a"}, "arguments missing"},
        {"convert", {"in.asc", "-o", "a", "--digits", "2.5"}, "--digits is not a whole number: 2.5"},
        {"convert", {"in.asc", "-o", "a", "--digits", "18"}, "--digits must be from 1 to 17, not 18"},
        {"values", {"in.asc", "--nodata", "1"}, "unknown option --nodata"},
        {"moving-average", {"a", "b", "-o", "m{}.asc"}, "option --window is required"},
        {"moving-average", {"a", "b", "--window", "2", "-o", "m.asc"}, "the output pattern m.asc has no {}"},
        {"add", {"-", "-", "-o", "a"}, "standard input (-) can be read only once"},
    };
    for (const auto& Case : ArrCases)
        EXPECT_EQ(UsageMessage(Case.StgCommand, Case.VecArgs), Case.StgMessage) << Case.StgCommand;
}

TEST(MapCsv, RecordsKeepTheirLinesAndFields)
{
    std::istringstream Text("\xEF\xBB\xBFx,y\r\n\r\n\"1,5\",\"say \"\"hi\"\"\"\n2,\"two\nlines\",3\n\n4,5");
    const std::vector<TMapCsv::TRecord> VecRecords = TMapCsv::Read(Text);
    ASSERT_EQ(VecRecords.size(), 3U);
    EXPECT_EQ(VecRecords[0].LngLine, 3U);
    EXPECT_EQ(VecRecords[0].VecFields, (std::vector<std::string>{"1,5", "say \"hi\""}));
    EXPECT_EQ(VecRecords[1].LngLine, 4U);
    EXPECT_EQ(VecRecords[1].VecFields, (std::vector<std::string>{"2", "two\nlines", "3"}));
    EXPECT_EQ(VecRecords[2].LngLine, 7U);
    EXPECT_EQ(VecRecords[2].VecFields, (std::vector<std::string>{"4", "5"}));
    // A first line whose first field reads as a number is data.
    std::istringstream Numbers("-1e3,2\n");
    EXPECT_EQ(TMapCsv::Pairs(TMapCsv::Read(Numbers), "n.csv"), (std::vector<std::pair<double, double>>{{-1000, 2}}));
}
