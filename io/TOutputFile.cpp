#include "io/TOutputFile.h"

#include <filesystem>
#include <random>
#include <system_error>

#include "grid/TError.h"

namespace fs = std::filesystem;

namespace {

// The file a name stands for: a symbolic link is replaced through, not over.
std::string ResolveLinks(const std::string& StgName)
{
    std::error_code Err;
    if (!fs::is_symlink(fs::symlink_status(StgName, Err)))
        return StgName;
    const fs::path PthTarget = fs::weakly_canonical(StgName, Err);
    return Err ? StgName : PthTarget.string();
}

// A hidden name beside the target that no file has yet.
std::string FreeNameBeside(const std::string& StgTarget)
{
    static thread_local std::mt19937_64 Random{std::random_device{}()};
    const fs::path PthTarget(StgTarget);
    for (;;) {
        const fs::path PthCandidate = PthTarget.parent_path()
            / ("." + PthTarget.filename().string() + ".pvx-" + std::to_string(Random()));
        std::error_code Err;
        if (!fs::exists(fs::symlink_status(PthCandidate, Err)))
            return PthCandidate.string();
    }
}

}  // namespace

TOutputFile::TOutputFile(const std::string& StgName)
    : MbrStgName(StgName), MbrStgTarget(ResolveLinks(StgName))
{
    std::error_code Err;
    const fs::file_status Status = fs::status(MbrStgTarget, Err);
    MbrBlnDirect = fs::exists(Status) && !fs::is_regular_file(Status);
    // A name with no file part ("", "dir/") names nothing that could be created.
    if (!MbrBlnDirect && !fs::path(MbrStgTarget).has_filename())
        throw TFileError("Unable to open file " + MbrStgName);
    MbrStgWorkingName = MbrBlnDirect ? MbrStgTarget : FreeNameBeside(MbrStgTarget);

    MbrStream.open(MbrStgWorkingName, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!MbrStream)
        throw TFileError("Unable to open file " + MbrStgName);
    if (!MbrBlnDirect && fs::exists(Status))
        fs::permissions(MbrStgWorkingName, Status.permissions(), Err);
}

TOutputFile::~TOutputFile()
{
    if (!MbrBlnDone)
        Discard();
}

void TOutputFile::Commit()
{
    MbrStream.flush();
    MbrStream.close();
    std::error_code Err;
    if (!MbrStream.fail() && !MbrBlnDirect)
        fs::rename(MbrStgWorkingName, MbrStgTarget, Err);
    if (MbrStream.fail() || Err) {
        Discard();
        throw TFileError("Unable to write file " + MbrStgName);
    }
    MbrBlnDone = true;
}

void TOutputFile::Discard() noexcept
{
    MbrBlnDone = true;
    if (MbrStream.is_open())
        MbrStream.close();
    if (!MbrBlnDirect) {
        std::error_code Err;
        fs::remove(MbrStgWorkingName, Err);
    }
}
