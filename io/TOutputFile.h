#pragma once
// An output file that replaces its target only once it is complete.
//
// Text goes to a temporary file beside the target, which Commit renames over
// the target after everything was written, flushed and closed. A failure, or
// destruction without Commit, removes the temporary file and leaves an
// existing target untouched. A target that exists and is not a regular file
// (a device, a FIFO) is written directly. A symbolic link is followed, so the
// file it names is replaced and the link kept.

#include <fstream>
#include <string>

class TOutputFile {
public:
    // Throws TFileError("Unable to open file " + StgName) when the file cannot
    // be created.
    explicit TOutputFile(const std::string& StgName);
    // Removes the temporary file unless committed.
    ~TOutputFile();
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    std::ostream& Stream() { return MbrStream; }

    // Flushes, closes and puts the file in place. Throws
    // TFileError("Unable to write file " + name) when any write, the flush or
    // the close failed; the target is then untouched.
    void Commit();

    // The file being written (the temporary one, or the target itself).
    const std::string& WorkingName() const { return MbrStgWorkingName; }
    // True when the target itself is written (it is not a regular file).
    bool WritesDirectly() const { return MbrBlnDirect; }

private:
    void Discard() noexcept;

    std::string MbrStgName;         // as the caller gave it, for messages
    std::string MbrStgTarget;       // the file to replace (links followed)
    std::string MbrStgWorkingName;  // what is written
    bool MbrBlnDirect = false;
    bool MbrBlnDone = false;
    std::ofstream MbrStream;
};
