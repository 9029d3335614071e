#include "io/TOutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <streambuf>
#include <system_error>

#include "util/TError.h"

namespace fs = std::filesystem;

// Text to a file descriptor: small pieces gathered, large ones passed on at
// once (the writers hand over large blocks).
class TOutputFile::TDescriptorBuffer : public std::streambuf {
public:
    TDescriptorBuffer() { setp(MbrArrBuffer, MbrArrBuffer + sizeof MbrArrBuffer); }
    void Attach(int LngDescriptor) { MbrLngDescriptor = LngDescriptor; }

protected:
    int_type overflow(int_type LngChar) override
    {
        if (!Drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(LngChar, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(LngChar);
            pbump(1);
        }
        return traits_type::not_eof(LngChar);
    }

    std::streamsize xsputn(const char* PtrText, std::streamsize LngCount) override
    {
        if (LngCount < epptr() - pptr()) {
            std::memcpy(pptr(), PtrText, static_cast<std::size_t>(LngCount));
            pbump(static_cast<int>(LngCount));
            return LngCount;
        }
        return Drain() && WriteAll(PtrText, static_cast<std::size_t>(LngCount)) ? LngCount : 0;
    }

    int sync() override { return Drain() ? 0 : -1; }

private:
    bool Drain()
    {
        const bool BlnWritten = WriteAll(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        setp(pbase(), epptr());
        return BlnWritten;
    }

    bool WriteAll(const char* PtrText, std::size_t LngCount)
    {
        while (LngCount > 0) {
            const ssize_t LngWritten = ::write(MbrLngDescriptor, PtrText, LngCount);
            if (LngWritten < 0 && errno == EINTR)
                continue;
            if (LngWritten <= 0)
                return false;
            PtrText += LngWritten;
            LngCount -= static_cast<std::size_t>(LngWritten);
        }
        return true;
    }

    int MbrLngDescriptor = -1;
    char MbrArrBuffer[4096];
};

namespace {

// Links followed on the way to a file at most, as the system allows.
constexpr int MaxLinks = 40;

[[noreturn]] void ThrowUnableToOpen(const std::string& StgName)
{
    throw TFileError("Unable to open file " + StgName);
}

// Where an output name leads.
struct TTarget {
    enum class TKind { Replace, Direct, Descriptor };
    TKind Kind;
    fs::path PthFile;
    int LngDescriptor = -1;  // for Descriptor
};

// The folder an absolute path starts with ("dev" for /dev/pts/0).
std::string TopFolder(const fs::path& PthDir)
{
    auto It = PthDir.begin();
    return It != PthDir.end() && ++It != PthDir.end() ? It->string() : std::string();
}

// The number of a descriptor of this process, named in /proc/<pid>/fd (where
// /dev/stdout, /dev/fd/N and /proc/self/fd/N lead), or -1.
int OwnDescriptor(const fs::path& PthDir, const fs::path& PthLeaf)
{
    const fs::path PthProcess = "/proc/" + std::to_string(getpid());
    const bool BlnOwn = PthDir == PthProcess / "fd"
        || (PthDir.filename() == "fd" && PthDir.parent_path().parent_path() == PthProcess / "task");
    const std::string StgNumber = PthLeaf.string();
    const char* PtrEnd = StgNumber.data() + StgNumber.size();
    int LngDescriptor = -1;
    const auto [Ptr, Ec] = std::from_chars(StgNumber.data(), PtrEnd, LngDescriptor);
    return BlnOwn && Ec == std::errc() && Ptr == PtrEnd ? LngDescriptor : -1;
}

// Follows the name one link at a time, as the system does, to the file to
// write. The links in /proc are the kernel's (a descriptor, a process's
// folder), not paths, and are not followed.
TTarget ResolveTarget(const std::string& StgName)
{
    fs::path PthName = StgName;
    for (int LngLinks = 0; LngLinks <= MaxLinks; ++LngLinks) {
        // A name with no file part ("", "dir/") names nothing to create.
        if (!PthName.has_filename())
            ThrowUnableToOpen(StgName);
        std::error_code Err;
        const fs::path PthDir =
            fs::canonical(PthName.has_parent_path() ? PthName.parent_path() : ".", Err);
        if (Err)
            ThrowUnableToOpen(StgName);
        const fs::path PthFile = PthDir / PthName.filename();
        const std::string StgTop = TopFolder(PthDir);
        if (StgTop == "proc") {
            const int LngDescriptor = OwnDescriptor(PthDir, PthName.filename());
            return {LngDescriptor >= 0 ? TTarget::TKind::Descriptor : TTarget::TKind::Direct,
                    PthFile, LngDescriptor};
        }
        const fs::file_status Status = fs::symlink_status(PthFile, Err);
        if (!fs::is_symlink(Status)) {
            // A regular file is replaced wherever it lies (/dev/shm too).
            const bool BlnDirect = fs::exists(Status) && !fs::is_regular_file(Status);
            return {BlnDirect ? TTarget::TKind::Direct : TTarget::TKind::Replace, PthFile};
        }
        const fs::path PthLink = fs::read_symlink(PthFile, Err);
        if (Err)
            ThrowUnableToOpen(StgName);
        PthName = PthDir / PthLink;  // an absolute link replaces the folder
    }
    ThrowUnableToOpen(StgName);  // a loop of links
}

// A copy of a descriptor of this process that is open for writing, sharing
// its position and its append mode; -1 if there is none.
int DuplicateForWriting(int LngDescriptor)
{
    const int LngFlags = fcntl(LngDescriptor, F_GETFL);
    if (LngFlags < 0 || (LngFlags & O_ACCMODE) == O_RDONLY)
        return -1;
    return fcntl(LngDescriptor, F_DUPFD_CLOEXEC, 0);
}

// Creates ".pvx-XXXXXX" in the folder, a name no other file has (O_EXCL), and
// returns its descriptor (its name in StgName), or -1. The name is short, so
// that it fits wherever the target's does.
int CreateTemporary(const fs::path& PthDir, std::string& StgName)
{
    static const char ArrChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static thread_local std::mt19937_64 Random{std::random_device{}()};
    for (int LngTry = 0; LngTry < 100; ++LngTry) {
        std::string StgLeaf = ".pvx-";
        for (int LngChar = 0; LngChar < 6; ++LngChar)
            StgLeaf += ArrChars[Random() % (sizeof ArrChars - 1)];
        StgName = (PthDir / StgLeaf).string();
        const int LngDescriptor =
            open(StgName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (LngDescriptor >= 0 || errno != EEXIST)
            return LngDescriptor;
    }
    return -1;
}

// Gives the file the owner and group of the file it replaces, or at least the
// group (a user may give a file only a group of their own); false when
// neither is permitted, and the file stays the user's, as a new one would.
bool TakeOwner(int LngDescriptor, const struct stat& Old)
{
    return fchown(LngDescriptor, Old.st_uid, Old.st_gid) == 0
        || fchown(LngDescriptor, static_cast<uid_t>(-1), Old.st_gid) == 0;
}

}  // namespace

TOutputFile::TOutputFile(const std::string& StgName)
    : MbrStgName(StgName), MbrPtrBuffer(std::make_unique<TDescriptorBuffer>()), MbrStream(nullptr)
{
    const TTarget Target = ResolveTarget(StgName);
    MbrStgTarget = Target.PthFile.string();
    MbrBlnDirect = Target.Kind != TTarget::TKind::Replace;
    if (Target.Kind == TTarget::TKind::Descriptor) {
        MbrStgWorkingName = MbrStgTarget;
        MbrLngDescriptor = DuplicateForWriting(Target.LngDescriptor);
    } else if (MbrBlnDirect) {
        MbrStgWorkingName = MbrStgTarget;
        MbrLngDescriptor =
            open(MbrStgTarget.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } else {
        // A file must be missing (too long a name is not) or one the user may
        // write, as for the shell.
        struct stat Old = {};
        const bool BlnExists = stat(MbrStgTarget.c_str(), &Old) == 0;
        if (BlnExists ? faccessat(AT_FDCWD, MbrStgTarget.c_str(), W_OK, AT_EACCESS) != 0
                      : errno != ENOENT)
            ThrowUnableToOpen(StgName);
        MbrLngDescriptor = CreateTemporary(Target.PthFile.parent_path(), MbrStgWorkingName);
        if (MbrLngDescriptor >= 0 && BlnExists) {
            // The owner first: a change of owner may clear set-user-ID bits.
            TakeOwner(MbrLngDescriptor, Old);
            fchmod(MbrLngDescriptor, Old.st_mode & 07777);
        }
    }
    if (MbrLngDescriptor < 0)
        ThrowUnableToOpen(StgName);
    MbrPtrBuffer->Attach(MbrLngDescriptor);
    MbrStream.rdbuf(MbrPtrBuffer.get());
}

TOutputFile::~TOutputFile()
{
    if (!MbrBlnDone)
        Discard();
}

void TOutputFile::Finish()
{
    if (MbrBlnFinished)
        return;
    MbrStream.flush();
    if (MbrStream.fail() || !Close())
        ThrowUnableToWrite();
    MbrBlnFinished = true;
    // A run may hold thousands of finished files until it commits them.
    MbrStream.rdbuf(nullptr);
    MbrPtrBuffer.reset();
}

void TOutputFile::Commit()
{
    Finish();
    if (!MbrBlnDirect && std::rename(MbrStgWorkingName.c_str(), MbrStgTarget.c_str()) != 0)
        ThrowUnableToWrite();
    MbrBlnDone = true;
}

void TOutputFile::ThrowUnableToWrite()
{
    Discard();
    throw TFileError("Unable to write file " + MbrStgName);
}

bool TOutputFile::Close() noexcept
{
    const int LngDescriptor = MbrLngDescriptor;
    MbrLngDescriptor = -1;
    return LngDescriptor < 0 || close(LngDescriptor) == 0;
}

void TOutputFile::Discard() noexcept
{
    MbrBlnDone = true;
    Close();
    if (!MbrBlnDirect)
        unlink(MbrStgWorkingName.c_str());
}
