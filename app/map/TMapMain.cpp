#include "app/map/TMapMain.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/TCommandSkeleton.h"
#include "app/engine/TGridSources.h"
#include "app/map/TMapArguments.h"
#include "app/map/TMapCommand.h"
#include "app/map/TMapRun.h"

namespace {

void PrintCommands(std::ostream& Out)
{
    Out << "Usage: pvxMap COMMAND ARGUMENT... [OPTION...]\n"
           "Every command also takes --strict (read headers as pvxOverlay does) and\n"
           "-q/--quiet (no progress line); one that writes grids takes --nodata V (the\n"
           "output's NODATA_value) and --digits N (significant digits, 1 to 17; 15 by\n"
           "default). 'pvxMap COMMAND --help' shows one.\n\nCommands:\n";
    for (const TMapCommandEntry& Command : TMapCommandTable::Entries()) {
        char ArrLine[256];
        std::snprintf(ArrLine, sizeof ArrLine, "  %-15s %s\n", Command.StgName, Command.StgSummary);
        Out << ArrLine;
    }
}

void PrintCommand(std::ostream& Out, const TMapCommandEntry& Command)
{
    const bool BlnGrids = Command.Output != TMapOutput::None;
    Out << "Usage: pvxMap " << Command.StgName << ' ' << Command.StgUsage
        << (BlnGrids ? " [--nodata V] [--digits N]" : "") << " [--strict] [-q|--quiet]\n"
        << Command.StgSummary << ".\nExample: " << Command.StgExample << "\n";
}

void Dispatch(const std::vector<std::string>& VecArgs)
{
    if (VecArgs.empty())
        throw TUsageError("no command given", TMapArguments::Hint(nullptr));
    if (VecArgs[0] == "--help") {
        PrintCommands(std::cout);
        return;
    }
    if (VecArgs[0] == "--version") {
        std::cout << "pvxMap " << PVX_VERSION << "\nformats: " << TGridSources::Formats() << "\n";
        return;
    }
    const TMapCommandEntry* PtrCommand = TMapCommandTable::Find(VecArgs[0]);
    if (!PtrCommand)
        throw TUsageError("unknown command " + VecArgs[0], TMapArguments::Hint(nullptr));
    const TMapArguments Args(*PtrCommand, std::vector<std::string>(VecArgs.begin() + 1, VecArgs.end()));
    if (Args.WantsHelp()) {
        PrintCommand(std::cout, *PtrCommand);
        return;
    }
    const std::unique_ptr<TMapCommand> PtrRun = PtrCommand->Make(Args);
    TMapRun Run(Args);
    PtrRun->Run(Run);
    Run.Commit();
}

}  // namespace

int TMapMain::Main(int argc, const char* const* argv)
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> VecArgs(argv + 1, argv + argc);
    return TCommandSkeleton::Run({std::cerr, "pvxMap: "}, [&] {
        Dispatch(VecArgs);
        if (!std::cout.flush())
            throw TFileError("Unable to write file -");
    });
}
