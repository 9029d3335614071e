#include "app/TSidecar.h"

#include <filesystem>
#include <fstream>
#include <ios>
#include <iterator>
#include <system_error>

#include "util/TError.h"

namespace fs = std::filesystem;

namespace {

bool IsStandardStream(const std::string& StgGrid) { return StgGrid == "-"; }

std::string WithExtension(const std::string& StgGrid, const char* StgExtension)
{
    return fs::path(StgGrid).replace_extension(StgExtension).string();
}

bool IsRegularFile(const std::string& StgName)
{
    std::error_code Err;
    return fs::is_regular_file(StgName, Err);
}

// Whether the folder the name lies in, links followed, is /dev or /proc or
// below them. A folder that cannot be resolved is none of them (the grid's
// own output then fails first).
bool InSystemFolder(const std::string& StgName)
{
    const fs::path PthName = StgName;
    std::error_code Err;
    const fs::path PthDir =
        fs::canonical(PthName.has_parent_path() ? PthName.parent_path() : ".", Err);
    if (Err)
        return false;
    auto It = PthDir.begin();
    if (It == PthDir.end() || ++It == PthDir.end())
        return false;
    return *It == "dev" || *It == "proc";
}

// A .prj file is small: read whole, so that it may also be the output's.
std::string ReadWhole(const std::string& StgName)
{
    std::ifstream File(StgName, std::ios::in | std::ios::binary);
    if (!File.is_open())
        throw TFileError("Unable to open file " + StgName);
    try {
        std::string StgText{std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>()};
        if (File.bad())
            throw TFileError("Unable to read file " + StgName);
        return StgText;
    } catch (const std::ios_base::failure&) {
        throw TFileError("Unable to read file " + StgName);
    }
}

}  // namespace

std::string TSidecar::OfInput(const std::string& StgGrid)
{
    if (IsStandardStream(StgGrid))
        return {};
    for (const char* StgExtension : {".prj", ".PRJ"}) {
        const std::string StgName = WithExtension(StgGrid, StgExtension);
        if (IsRegularFile(StgName))
            return StgName;
    }
    return {};
}

std::string TSidecar::OfOutput(const std::string& StgGrid)
{
    if (IsStandardStream(StgGrid) || InSystemFolder(StgGrid))
        return {};
    return WithExtension(StgGrid, ".prj");
}

TGridCrs TSidecar::OfGrid(const std::string& StgGrid)
{
    return {OfInput(StgGrid), "", ""};
}

std::string TSidecar::Text(const TGridCrs& Crs)
{
    return Crs.StgPrjFile.empty() ? Crs.StgEsriWkt : ReadWhole(Crs.StgPrjFile);
}

TSidecar::TSidecar(const TGridCrs& Crs, const std::string& StgOutputGrid)
{
    const std::string StgTarget = OfOutput(StgOutputGrid);
    if (Crs.Empty() || StgTarget.empty())
        return;
    const std::string StgText = Text(Crs);
    const TInterruptCleanup::THold Hold;
    MbrPtrFile = std::make_unique<TOutputFile>(StgTarget);
    if (!MbrPtrFile->WritesDirectly())
        MbrCleanup.emplace(MbrPtrFile->WorkingName());
    MbrPtrFile->Stream().write(StgText.data(), static_cast<std::streamsize>(StgText.size()));
    // Complete at once: a run writing many grids holds no descriptor for it.
    MbrPtrFile->Finish();
}

TSidecar::~TSidecar() = default;

void TSidecar::CommitWith(TOutputFile& Grid)
{
    Grid.Finish();
    Grid.Commit();
    if (MbrPtrFile)
        MbrPtrFile->Commit();
}
