#include "app/map/TMapMain.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/TCommandSkeleton.h"
#include "app/map/TMapArguments.h"
#include "app/map/TMapCommand.h"

namespace {

const char* const StgCommonOptions = "[--strict] [-q|--quiet]";

void PrintCommands(std::ostream& Out)
{
    Out << "Usage: pvxMap COMMAND ARGUMENT... [OPTION...]\n"
           "Every command also takes --strict (read headers as pvxOverlay does) and\n"
           "-q/--quiet (no progress line); 'pvxMap COMMAND --help' shows one.\n\nCommands:\n";
    for (const TMapCommand* PtrCommand = TMapCommandTable::Begin();
         PtrCommand != TMapCommandTable::End(); ++PtrCommand) {
        char ArrLine[256];
        std::snprintf(ArrLine, sizeof ArrLine, "  %-15s %s\n", PtrCommand->StgName,
                      PtrCommand->StgSummary);
        Out << ArrLine;
    }
}

void PrintCommand(std::ostream& Out, const TMapCommand& Command)
{
    Out << "Usage: pvxMap " << Command.StgName << ' ' << Command.StgUsage << ' '
        << StgCommonOptions << "\n" << Command.StgSummary << ".\nExample: " << Command.StgExample
        << "\n";
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
        std::cout << "pvxMap " << PVX_VERSION << "\n";
        return;
    }
    const TMapCommand* PtrCommand = TMapCommandTable::Find(VecArgs[0].c_str());
    if (!PtrCommand)
        throw TUsageError("unknown command " + VecArgs[0], TMapArguments::Hint(nullptr));
    const TMapArguments Args(*PtrCommand,
                             std::vector<std::string>(VecArgs.begin() + 1, VecArgs.end()));
    if (Args.WantsHelp())
        PrintCommand(std::cout, *PtrCommand);
    else
        PtrCommand->Handler(Args);
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
