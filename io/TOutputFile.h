#pragma once
// An output file that replaces its target only once it is complete.
//
// The name is resolved as the shell resolves it for `>`: symbolic links are
// followed one at a time, so a dangling link leads to the file to create (the
// link is kept) and a loop of links cannot be opened. An existing target
// must be writable by the user, as the shell requires.
//
// A regular file is replaced, wherever it lies (/dev/shm included): text goes
// to a temporary file ".pvx-XXXXXX" beside the target, which Commit renames over the target after everything
// was written and closed; it takes the old file's permission bits, and its
// owner and group where the system permits. A failure, or destruction
// without Commit, removes the temporary file and leaves the target untouched.
//
// Written directly, as the shell set them up: a target that exists and is
// not a regular file (a FIFO, a terminal, /dev/null, a directory, which then
// fails to open), a name in /proc, and a descriptor of this process
// (/dev/stdout, /dev/fd/N, /proc/self/fd/N), written through as it is open:
// appending where it appends, never truncated anew.

#include <memory>
#include <ostream>
#include <string>

class TOutputFile {
public:
    // Throws TFileError("Unable to open file " + StgName) when the file cannot
    // be created or written.
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
    // The first half of Commit: flushes and closes, with its failure, and
    // lets go of the buffer (nothing is written after it). What is left,
    // putting the file in place, then rarely fails; so files that go
    // together are all finished before any of them is committed.
    void Finish();

    // The file being written (the temporary one, or the target itself).
    const std::string& WorkingName() const { return MbrStgWorkingName; }
    // True when the target itself is written.
    bool WritesDirectly() const { return MbrBlnDirect; }

private:
    class TDescriptorBuffer;

    // Closes the descriptor; false when the close reports a failed write.
    bool Close() noexcept;
    void Discard() noexcept;
    [[noreturn]] void ThrowUnableToWrite();

    std::string MbrStgName;         // as the caller gave it, for messages
    std::string MbrStgTarget;       // the file to replace (links followed)
    std::string MbrStgWorkingName;  // what is written
    bool MbrBlnDirect = false;
    bool MbrBlnDone = false;
    bool MbrBlnFinished = false;
    int MbrLngDescriptor = -1;
    std::unique_ptr<TDescriptorBuffer> MbrPtrBuffer;
    std::ostream MbrStream;
};
