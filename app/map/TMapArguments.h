#pragma once
// The command line of one pvxMap command, checked against its entry in the
// table: arguments and options in any order after the command, "--" ending
// the options, and anything that reads as a number (negative ones and -inf
// included) taken as an argument. Every failure is a TUsageError naming
// "pvxMap COMMAND --help", thrown before any file is opened.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/engine/TGridOutput.h"
#include "app/map/TMapCommand.h"

class TMapArguments {
public:
    TMapArguments(const TMapCommandEntry& Command, const std::vector<std::string>& VecArgs);

    const TMapCommandEntry& Command() const { return MbrCommand; }
    // True when --help was given: nothing else is checked.
    bool WantsHelp() const { return MbrBlnHelp; }

    const std::vector<std::string>& Arguments() const { return MbrVecArguments; }
    const std::string& Argument(std::size_t LngIndex) const { return MbrVecArguments.at(LngIndex); }
    bool Has(const std::string& StgOption) const;
    // The value of an option given with one (the command's table entry
    // makes sure a required one is there); the values of an option of two.
    const std::string& Value(const std::string& StgOption) const;
    std::pair<std::string, std::string> Values(const std::string& StgOption) const;
    bool Quiet() const { return Has("--quiet"); }
    bool Strict() const { return Has("--strict"); }

    // The output name (-o), and for a pattern the names it stands for: "{}"
    // replaced by 1 to LngCount.
    const std::string& Output() const { return Value("-o"); }
    std::vector<std::string> Outputs(std::size_t LngCount) const;
    // --nodata, when given; --digits, --format, --level and --type as the
    // outputs take them; --band (1 unless given).
    std::optional<double> NoData() const { return MbrNoData; }
    const TGridOutput::TSettings& OutputSettings() const { return MbrOutputSettings; }
    int Band() const { return MbrLngBand; }

    [[noreturn]] void Fail(const std::string& StgMessage) const;
    // The text as a number, as a cell of a grid file reads; StgWhat names
    // it in the message.
    double Number(const std::string& StgText, const std::string& StgWhat) const;
    // A whole number from LngMin to LngMax.
    long Whole(const std::string& StgText, const std::string& StgWhat, long LngMin, long LngMax) const;

    // Text of the hint line for a command (null: any).
    static std::string Hint(const char* StgCommand);

private:
    void ParseOption(const std::vector<std::string>& VecArgs, std::size_t& LngAt);
    bool TakesValue(const std::string& StgName) const;
    bool IsFlag(const std::string& StgName) const;
    void CheckCounts() const;
    void ReadOutputOptions();

    const TMapCommandEntry& MbrCommand;
    bool MbrBlnHelp = false;
    std::vector<std::string> MbrVecArguments;
    std::map<std::string, std::string> MbrMapOptions;
    std::map<std::string, std::pair<std::string, std::string>> MbrMapPairs;
    std::optional<double> MbrNoData;
    TGridOutput::TSettings MbrOutputSettings;
    int MbrLngBand = 1;
};
