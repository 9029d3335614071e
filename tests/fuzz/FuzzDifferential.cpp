// For any bytes, the toolkit path and the command's streaming path agree:
// the same output text, or the same message.
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "support/TOverlayPaths.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* PtrData, std::size_t LngSize)
{
    if (LngSize < 1)
        return 0;
    const std::string StgText = TextOf(PtrData + 1, LngSize - 1);
    if (NeedsMuchMemory(StgText))
        return -1;
    static const double ArrScalars[] = {2.0, 1.1, -0.5, 0.0, 3.0, 1e308, 1e-308, -0.0};
    const char ChrOperation = "x/X"[PtrData[0] % 3];
    const double DblScalar = ArrScalars[(PtrData[0] / 3) % 8];
    const std::string StgToolkit = ThroughToolkit(StgText, ChrOperation, DblScalar);
    const std::string StgStreamed = Streamed(StgText, ChrOperation, DblScalar, 1 + PtrData[0] / 128U);
    if (StgToolkit != StgStreamed) {
        std::fprintf(stderr, "toolkit:\n%s\nstreamed:\n%s\n", StgToolkit.c_str(), StgStreamed.c_str());
        std::abort();
    }
    return 0;
}
