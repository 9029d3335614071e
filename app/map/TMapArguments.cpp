#include "app/map/TMapArguments.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "app/TCommandSkeleton.h"
#include "io/TTokenizer.h"

namespace {

const char* const StgCommonFlags = "--strict -q --quiet --help ";

// Whether the name is in a list of names each followed by a space.
bool Listed(const char* StgList, const std::string& StgName)
{
    return (" " + std::string(StgList)).find(" " + StgName + " ") != std::string::npos;
}

bool ReadsAsNumber(const std::string& StgText)
{
    double DblValue = 0.0;
    return TTokenizer::ParseCell(StgText, DblValue) == TTokenizer::TCell::Ok;
}

bool LooksLikeOption(const std::string& StgText)
{
    return StgText.size() > 1 && StgText[0] == '-' && !ReadsAsNumber(StgText);
}

}  // namespace

TMapArguments::TMapArguments(const TMapCommand& Command, const std::vector<std::string>& VecArgs)
    : MbrCommand(Command)
{
    for (const std::string& StgArg : VecArgs) {
        if (StgArg == "--")
            break;
        if (StgArg == "--help")
            MbrBlnHelp = true;
    }
    if (MbrBlnHelp)
        return;
    bool BlnOptionsEnded = false;
    for (std::size_t LngAt = 0; LngAt < VecArgs.size(); ++LngAt) {
        if (!BlnOptionsEnded && VecArgs[LngAt] == "--")
            BlnOptionsEnded = true;
        else if (!BlnOptionsEnded && LooksLikeOption(VecArgs[LngAt]))
            ParseOption(VecArgs, LngAt);
        else
            MbrVecArguments.push_back(VecArgs[LngAt]);
    }
    CheckCounts();
}

void TMapArguments::ParseOption(const std::vector<std::string>& VecArgs, std::size_t& LngAt)
{
    std::string StgName = VecArgs[LngAt];
    std::string StgValue;
    const std::size_t LngEquals = StgName.find('=');
    const bool BlnJoined = StgName.compare(0, 2, "--") == 0 && LngEquals != std::string::npos;
    if (BlnJoined) {
        StgValue = StgName.substr(LngEquals + 1);
        StgName.erase(LngEquals);
    }
    const bool BlnTakesValue = Listed(MbrCommand.StgValueOptions, StgName);
    if (!BlnTakesValue && !Listed(MbrCommand.StgFlags, StgName) && !Listed(StgCommonFlags, StgName))
        Fail("unknown option " + StgName);
    if (BlnTakesValue && !BlnJoined) {
        if (++LngAt == VecArgs.size())
            Fail("option " + StgName + " needs a value");
        StgValue = VecArgs[LngAt];
    } else if (!BlnTakesValue && BlnJoined) {
        Fail("option " + StgName + " takes no value");
    }
    if (StgName == "-q")
        StgName = "--quiet";
    if (BlnTakesValue && MbrMapOptions.count(StgName))
        Fail("option " + StgName + " given twice");
    MbrMapOptions[StgName] = StgValue;
}

void TMapArguments::CheckCounts() const
{
    const std::size_t LngCount = MbrVecArguments.size();
    if (LngCount < MbrCommand.LngMinArguments)
        Fail(LngCount == 0 ? std::string("arguments missing") : "too few arguments");
    if (LngCount > MbrCommand.LngMaxArguments)
        Fail("too many arguments");
    if (std::strstr(MbrCommand.StgUsage, "-o ") && !Has("-o"))
        Fail("option -o is required");
    if (std::strstr(MbrCommand.StgUsage, "--window N") && !Has("--window"))
        Fail("option --window is required");
    if (std::strstr(MbrCommand.StgUsage, "-o PATTERN")
        && MbrMapOptions.at("-o").find("{}") == std::string::npos)
        Fail("the output pattern " + MbrMapOptions.at("-o") + " has no {}");
    std::size_t LngStandardInputs = 0;
    for (const std::string& StgArg : MbrVecArguments)
        LngStandardInputs += StgArg == "-";
    if (LngStandardInputs > 1)
        Fail("standard input (-) can be read only once");
}

bool TMapArguments::Has(const std::string& StgOption) const
{
    return MbrMapOptions.count(StgOption) > 0;
}

const std::string& TMapArguments::Required(const std::string& StgOption) const
{
    const auto It = MbrMapOptions.find(StgOption);
    if (It == MbrMapOptions.end())
        Fail("option " + StgOption + " is required");
    return It->second;
}

void TMapArguments::Fail(const std::string& StgMessage) const
{
    throw TUsageError(StgMessage, Hint(MbrCommand.StgName));
}

double TMapArguments::Number(const std::string& StgText, const std::string& StgWhat) const
{
    double DblValue = 0.0;
    if (TTokenizer::ParseCell(StgText, DblValue) != TTokenizer::TCell::Ok)
        Fail(StgWhat + " is not a number: " + StgText);
    return DblValue;
}

int TMapArguments::Whole(const std::string& StgText, const std::string& StgWhat) const
{
    const double DblValue = Number(StgText, StgWhat);
    if (!(std::floor(DblValue) == DblValue && DblValue >= INT_MIN && DblValue <= INT_MAX))
        Fail(StgWhat + " is not a whole number: " + StgText);
    return static_cast<int>(DblValue);
}

std::vector<std::string> TMapArguments::Pattern(const std::string& StgOption,
                                                std::size_t LngCount) const
{
    const std::string& StgPattern = Required(StgOption);
    std::vector<std::string> VecNames;
    for (std::size_t LngNumber = 1; LngNumber <= LngCount; ++LngNumber) {
        std::string StgName = StgPattern;
        for (std::size_t LngAt; (LngAt = StgName.find("{}")) != std::string::npos;)
            StgName.replace(LngAt, 2, std::to_string(LngNumber));
        VecNames.push_back(StgName);
    }
    return VecNames;
}

std::string TMapArguments::Hint(const char* StgCommand)
{
    return std::string("Try 'pvxMap ") + (StgCommand ? StgCommand : "COMMAND") + " --help'.";
}
