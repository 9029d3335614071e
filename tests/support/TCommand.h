#pragma once
// Runs the built pvxOverlay binary and captures its exit status and output.

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/TTempDir.h"

struct TCommandResult {
    int LngStatus = -1;
    std::string StgOut;
    std::string StgErr;
};

inline std::string ShellQuoted(const std::string& StgText)
{
    std::string StgQuoted = "'";
    for (char ChrValue : StgText)
        StgQuoted += ChrValue == '\'' ? std::string("'\\''") : std::string(1, ChrValue);
    return StgQuoted + "'";
}

// Runs a command line through /bin/sh and captures its exit status (128 +
// the signal number when a signal ended it) and what it printed.
inline TCommandResult RunShell(const std::string& StgCommand)
{
    TTempDir Scratch;
    const int LngWait = std::system(("{ " + StgCommand + "\n} >" + ShellQuoted(Scratch / "out")
                                     + " 2>" + ShellQuoted(Scratch / "err"))
                                        .c_str());
    return {WIFEXITED(LngWait) ? WEXITSTATUS(LngWait) : 128 + WTERMSIG(LngWait),
            ReadText(Scratch / "out"), ReadText(Scratch / "err")};
}

// The pvxOverlay command line for the arguments, each quoted for the shell.
inline std::string OverlayCommandLine(const std::vector<std::string>& VecArgs)
{
    std::string StgCommand = ShellQuoted(PVX_OVERLAY_BINARY);
    for (const std::string& StgArg : VecArgs)
        StgCommand += " " + ShellQuoted(StgArg);
    return StgCommand;
}

// Runs pvxOverlay with the arguments; StgPrefix goes before the command
// (environment settings, ulimit).
inline TCommandResult RunOverlay(const std::vector<std::string>& VecArgs,
                                 const std::string& StgPrefix = "")
{
    return RunShell(StgPrefix + " " + OverlayCommandLine(VecArgs));
}

// Runs pvxMap with the arguments; StgPrefix goes before the command
// (environment settings, redirections of standard input).
inline TCommandResult RunMap(const std::vector<std::string>& VecArgs, const std::string& StgPrefix = "")
{
    std::string StgCommand = ShellQuoted(PVX_MAP_BINARY);
    for (const std::string& StgArg : VecArgs)
        StgCommand += " " + ShellQuoted(StgArg);
    return RunShell(StgPrefix + " " + StgCommand);
}
