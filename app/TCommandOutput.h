#pragma once
// One output of a command: a TOutputFile guarded against interrupts while
// its temporary file exists, with the input grid's .prj sidecar beside it
// (see TSidecar), or standard output for the name "-" where the command
// reads it so.

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "app/TInterruptCleanup.h"
#include "app/TSidecar.h"
#include "io/TOutputFile.h"

class TCommandOutput {
public:
    // Crs is the coordinate system whose .prj the output gets beside it
    // (none when empty). Throws TFileError("Unable to open file " + StgName)
    // and the sidecar's failures.
    TCommandOutput(const std::string& StgName, bool BlnDashIsStandardOutput, const TGridCrs& Crs);
    TCommandOutput(const TCommandOutput&) = delete;
    TCommandOutput& operator=(const TCommandOutput&) = delete;

    std::ostream& Stream();
    // The file written: the temporary one, or the target itself; empty for
    // standard output.
    std::string WorkingName() const;
    // Whether the target is written as it is (standard output, a pipe, a
    // device), not replaced once complete.
    bool WritesDirectly() const;
    // Flushes and closes, with the write failures of Commit: outputs that go
    // together are all finished before any is committed.
    void Finish();
    // Puts the output and its sidecar in place (flushes standard output).
    // Throws TFileError("Unable to write file " + name) when a write failed.
    void Commit();

private:
    std::string MbrStgName;
    // Declared first so that it outlives the file it guards.
    std::optional<TInterruptCleanup> MbrCleanup;
    std::unique_ptr<TOutputFile> MbrPtrFile;
    std::optional<TSidecar> MbrSidecar;
};
