#pragma once
// One output of a command: a TOutputFile guarded against interrupts while
// its temporary file exists, or standard output for the name "-" where the
// command reads it so.

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "app/TInterruptCleanup.h"
#include "io/TOutputFile.h"

class TCommandOutput {
public:
    // Throws TFileError("Unable to open file " + StgName).
    TCommandOutput(const std::string& StgName, bool BlnDashIsStandardOutput);
    TCommandOutput(const TCommandOutput&) = delete;
    TCommandOutput& operator=(const TCommandOutput&) = delete;

    std::ostream& Stream();
    // Puts the output in place (flushes standard output). Throws
    // TFileError("Unable to write file " + name) when a write failed.
    void Commit();

private:
    std::string MbrStgName;
    // Declared first so that it outlives the file it guards.
    std::optional<TInterruptCleanup> MbrCleanup;
    std::unique_ptr<TOutputFile> MbrPtrFile;
};
