#pragma once
// The command line of one pvxMap command, checked against its entry in the
// table: arguments and options in any order after the command, "--" ending
// the options, and anything that reads as a number (negative ones and -inf
// included) taken as an argument. Every failure is a TUsageError naming
// "pvxMap COMMAND --help", thrown before any file is opened.

#include <map>
#include <string>
#include <vector>

#include "app/map/TMapCommand.h"

class TMapArguments {
public:
    TMapArguments(const TMapCommand& Command, const std::vector<std::string>& VecArgs);

    const TMapCommand& Command() const { return MbrCommand; }
    // True when --help was given: nothing else is checked.
    bool WantsHelp() const { return MbrBlnHelp; }

    const std::vector<std::string>& Arguments() const { return MbrVecArguments; }
    const std::string& Argument(std::size_t LngIndex) const { return MbrVecArguments.at(LngIndex); }
    bool Has(const std::string& StgOption) const;
    // The value of a required option.
    const std::string& Required(const std::string& StgOption) const;
    bool Quiet() const { return Has("--quiet"); }
    bool Strict() const { return Has("--strict"); }

    // The text as a number, as a cell of a grid file reads; StgWhat names
    // it in the message.
    [[noreturn]] void Fail(const std::string& StgMessage) const;
    double Number(const std::string& StgText, const std::string& StgWhat) const;
    // A whole number that an int holds.
    int Whole(const std::string& StgText, const std::string& StgWhat) const;
    // The names a PATTERN option stands for: "{}" replaced by 1 to LngCount.
    std::vector<std::string> Pattern(const std::string& StgOption, std::size_t LngCount) const;

    // Text of the hint line for this command.
    static std::string Hint(const char* StgCommand);

private:
    void ParseOption(const std::vector<std::string>& VecArgs, std::size_t& LngAt);
    void CheckCounts() const;

    const TMapCommand& MbrCommand;
    bool MbrBlnHelp = false;
    std::vector<std::string> MbrVecArguments;
    std::map<std::string, std::string> MbrMapOptions;
};
