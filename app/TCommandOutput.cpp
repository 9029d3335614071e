#include "app/TCommandOutput.h"

#include <iostream>

#include "util/TError.h"

TCommandOutput::TCommandOutput(const std::string& StgName, bool BlnDashIsStandardOutput,
                               const TGridCrs& Crs)
    : MbrStgName(StgName)
{
    if (BlnDashIsStandardOutput && StgName == "-")
        return;
    {
        const TInterruptCleanup::THold Hold;
        MbrPtrFile = std::make_unique<TOutputFile>(StgName);
        if (!MbrPtrFile->WritesDirectly())
            MbrCleanup.emplace(MbrPtrFile->WorkingName());
    }
    if (!Crs.Empty())
        MbrSidecar.emplace(Crs, StgName);
}

std::string TCommandOutput::WorkingName() const
{
    return MbrPtrFile ? MbrPtrFile->WorkingName() : std::string();
}

bool TCommandOutput::WritesDirectly() const
{
    return !MbrPtrFile || MbrPtrFile->WritesDirectly();
}

std::ostream& TCommandOutput::Stream()
{
    return MbrPtrFile ? MbrPtrFile->Stream() : std::cout;
}

void TCommandOutput::Finish()
{
    if (MbrPtrFile)
        MbrPtrFile->Finish();
}

void TCommandOutput::Commit()
{
    if (MbrSidecar) {
        MbrSidecar->CommitWith(*MbrPtrFile);
        return;
    }
    if (MbrPtrFile) {
        MbrPtrFile->Commit();
        return;
    }
    if (!std::cout.flush())
        throw TFileError("Unable to write file " + MbrStgName);
}
