#include "app/map/TMapArguments.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <climits>
#include <cstring>

#include "app/TCommandSkeleton.h"
#include "io/TTokenizer.h"

namespace {

const char* const ArrCommonFlags[] = {"--strict", "-q", "--quiet", "--help"};
const char* const ArrCommonOptions[] = {"--band"};
const char* const ArrOutputOptions[] = {"-o", "--nodata", "--digits", "--format", "--level", "--type"};
// The cell types of a GeoTIFF output, as GDAL names them.
const char* const ArrTypes[] = {"Byte", "Int16", "UInt16", "Int32", "UInt32", "Float32", "Float64"};

template <class TList>
bool Listed(const TList& List, const std::string& StgName)
{
    return std::any_of(std::begin(List), std::end(List),
                       [&](const char* StgEntry) { return StgName == StgEntry; });
}

bool ReadsAsNumber(const std::string& StgText)
{
    double DblValue = 0.0;
    return TTokenizer::ParseCell(StgText, DblValue) == TTokenizer::TCell::Ok;
}

// A dash and a name of letters, digits and dashes (a value may follow an
// equals sign); a negative number, and anything else that starts with a
// dash (an expression such as "-a ^ 2"), is an argument.
bool LooksLikeOption(const std::string& StgText)
{
    const std::string StgName = StgText.substr(0, StgText.find('='));
    const bool BlnName = StgName.size() > 1 && StgName[0] == '-'
        && std::all_of(StgName.begin() + 1, StgName.end(), [](char ChrValue) {
               return std::isalnum(static_cast<unsigned char>(ChrValue)) || ChrValue == '-';
           });
    return BlnName && !ReadsAsNumber(StgText);
}

}  // namespace

TMapArguments::TMapArguments(const TMapCommandEntry& Command, const std::vector<std::string>& VecArgs)
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
    ReadOutputOptions();
}

bool TMapArguments::TakesValue(const std::string& StgName) const
{
    return Listed(MbrCommand.VecValueOptions, StgName) || Listed(ArrCommonOptions, StgName)
        || (MbrCommand.Output != TMapOutput::None && Listed(ArrOutputOptions, StgName));
}

bool TMapArguments::IsFlag(const std::string& StgName) const
{
    return Listed(MbrCommand.VecFlags, StgName) || Listed(ArrCommonFlags, StgName);
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
    if (Listed(MbrCommand.VecPairOptions, StgName) && !BlnJoined) {
        if (LngAt + 2 >= VecArgs.size())
            Fail("option " + StgName + " needs two values");
        if (MbrMapPairs.count(StgName))
            Fail("option " + StgName + " given twice");
        MbrMapPairs[StgName] = {VecArgs[LngAt + 1], VecArgs[LngAt + 2]};
        MbrMapOptions[StgName] = VecArgs[LngAt + 1];
        LngAt += 2;
        return;
    }
    const bool BlnTakesValue = TakesValue(StgName);
    if (!BlnTakesValue && !IsFlag(StgName))
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
    if (MbrCommand.Output != TMapOutput::None && !Has("-o"))
        Fail("option -o is required");
    for (const char* StgOption : MbrCommand.VecRequired)
        if (!Has(StgOption))
            Fail(std::string("option ") + StgOption + " is required");
    if (MbrCommand.Output == TMapOutput::Pattern && Output().find("{}") == std::string::npos)
        Fail("the output pattern " + Output() + " has no {}");
    for (const char* StgPlace : {"{row}", "{col}"})
        if (MbrCommand.Output == TMapOutput::Tiles && Output().find(StgPlace) == std::string::npos)
            Fail("the output pattern " + Output() + " has no " + StgPlace);
    if (std::count(MbrVecArguments.begin(), MbrVecArguments.end(), "-") > 1)
        Fail("standard input (-) can be read only once");
}

void TMapArguments::ReadOutputOptions()
{
    if (Has("--band"))
        MbrLngBand = static_cast<int>(Whole(Value("--band"), "--band", 1, INT_MAX));
    if (MbrCommand.Output == TMapOutput::None)
        return;
    if (Has("--nodata"))
        MbrNoData = Number(Value("--nodata"), "--nodata");
    TGridOutput::TSettings& Settings = MbrOutputSettings;
    if (Has("--digits"))
        Settings.LngDigits = static_cast<int>(Whole(Value("--digits"), "--digits", 1, 17));
    if (Has("--format")) {
        Settings.Format = TGridOutput::FormatNamed(Value("--format"));
        if (!Settings.Format)
            Fail("--format must be asc, asc.gz or tif, not " + Value("--format"));
    }
    const TGridOutput::TFormat Format = TGridOutput::FormatOf(Output(), Settings.Format);
    if (Has("--level")) {
        Settings.LngLevel = static_cast<int>(Whole(Value("--level"), "--level", 1, 9));
        if (Format != TGridOutput::TFormat::AsciiGzip)
            Fail("--level is for a gzip-compressed output (*.gz, or --format asc.gz)");
    }
    if (Has("--type")) {
        Settings.StgType = Value("--type");
        if (!Listed(ArrTypes, Settings.StgType))
            Fail("--type must be one of Byte, Int16, UInt16, Int32, UInt32, Float32, Float64, not " + Settings.StgType);
        if (Format != TGridOutput::TFormat::GeoTiff)
            Fail("--type is for a GeoTIFF output (*.tif, or --format tif)");
    }
}

bool TMapArguments::Has(const std::string& StgOption) const
{
    return MbrMapOptions.count(StgOption) > 0;
}

const std::string& TMapArguments::Value(const std::string& StgOption) const
{
    return MbrMapOptions.at(StgOption);
}

std::pair<std::string, std::string> TMapArguments::Values(const std::string& StgOption) const
{
    return MbrMapPairs.at(StgOption);
}

std::vector<std::string> TMapArguments::Outputs(std::size_t LngCount) const
{
    std::vector<std::string> VecNames;
    for (std::size_t LngNumber = 1; LngNumber <= LngCount; ++LngNumber) {
        std::string StgName = Output();
        for (std::size_t LngAt; (LngAt = StgName.find("{}")) != std::string::npos;)
            StgName.replace(LngAt, 2, std::to_string(LngNumber));
        VecNames.push_back(StgName);
    }
    return VecNames;
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

long TMapArguments::Whole(const std::string& StgText, const std::string& StgWhat, long LngMin,
                          long LngMax) const
{
    const double DblValue = Number(StgText, StgWhat);
    if (std::floor(DblValue) != DblValue)
        Fail(StgWhat + " is not a whole number: " + StgText);
    if (!(DblValue >= static_cast<double>(LngMin) && DblValue <= static_cast<double>(LngMax)))
        Fail(StgWhat + " must be from " + std::to_string(LngMin) + " to " + std::to_string(LngMax)
             + ", not " + StgText);
    return static_cast<long>(DblValue);
}

std::string TMapArguments::Hint(const char* StgCommand)
{
    return std::string("Try 'pvxMap ") + (StgCommand ? StgCommand : "COMMAND") + " --help'.";
}
