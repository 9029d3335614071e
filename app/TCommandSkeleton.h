#pragma once
// What every command does around its own work: the exit status rules and the
// reporting of the failure that ended a run.
//   0  success;
//   2  a usage error, reported before any file is opened;
//   1  any other failure.

#include <functional>
#include <ostream>
#include <string>

#include "util/TError.h"

// A command line the command cannot run. StgHint, when not empty, is a
// second line telling where the usage is described.
class TUsageError : public TError {
public:
    explicit TUsageError(const std::string& StgMessage, std::string StgHint = "")
        : TError(StgMessage), MbrStgHint(std::move(StgHint)) {}
    const std::string& Hint() const { return MbrStgHint; }

private:
    std::string MbrStgHint;
};

class TCommandSkeleton {
public:
    // Where a command's messages go, and what goes before each.
    struct TReporting {
        std::ostream& Out;
        std::string StgPrefix;
    };

    // Runs Body and returns the exit status. A failure's message goes to
    // Out as one line after the prefix (a usage error's hint on a line of
    // its own). Write failures that signals would report come back as
    // failed writes.
    static int Run(const TReporting& Reporting, const std::function<void()>& Body);
};
