#include "app/TCommandOutput.h"

#include <iostream>

#include "grid/TError.h"

TCommandOutput::TCommandOutput(const std::string& StgName, bool BlnDashIsStandardOutput)
    : MbrStgName(StgName)
{
    if (BlnDashIsStandardOutput && StgName == "-")
        return;
    const TInterruptCleanup::THold Hold;
    MbrPtrFile = std::make_unique<TOutputFile>(StgName);
    if (!MbrPtrFile->WritesDirectly())
        MbrCleanup.emplace(MbrPtrFile->WorkingName());
}

std::ostream& TCommandOutput::Stream()
{
    return MbrPtrFile ? MbrPtrFile->Stream() : std::cout;
}

void TCommandOutput::Commit()
{
    if (MbrPtrFile) {
        MbrPtrFile->Commit();
        return;
    }
    if (!std::cout.flush())
        throw TFileError("Unable to write file " + MbrStgName);
}
