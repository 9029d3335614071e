// The command's input path on any bytes: it scales the grid or throws
// TError, never anything else.
#include <sstream>

#include "app/TScalarOverlay.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* PtrData, std::size_t LngSize)
{
    const TFuzzRun Run = DecodeRun(PtrData, LngSize);
    if (NeedsMuchMemory(Run.StgText))
        return -1;
    ShareAmong(Run.LngThreads);
    try {
        std::istringstream Input(Run.StgText);
        std::ostringstream Output;
        TScalarOverlay::Run(Input, Output, Run.ChrOperation, Run.DblScalar);
    } catch (const TError&) {
    }
    return 0;
}
