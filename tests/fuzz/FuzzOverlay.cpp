// The command's input path on any bytes: it scales the grid or throws
// TError, never anything else.
#include <sstream>

#include "app/TScalarOverlay.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* PtrData, std::size_t LngSize)
{
    if (LngSize < 1)
        return 0;
    const std::string StgText = TextOf(PtrData + 1, LngSize - 1);
    if (NeedsMuchMemory(StgText))
        return -1;
    const char ChrOperation = "x/X"[PtrData[0] % 3];
    try {
        std::istringstream Input(StgText);
        std::ostringstream Output;
        TScalarOverlay::Run(Input, Output, ChrOperation, 1.5, 1 + PtrData[0] / 128U);
    } catch (const TError&) {
    }
    return 0;
}
