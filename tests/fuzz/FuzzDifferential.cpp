// For any bytes, the toolkit path on one thread and the command's streaming
// path on several agree: the same output text, or the same message.
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "support/TOverlayPaths.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* PtrData, std::size_t LngSize)
{
    const TFuzzRun Run = DecodeRun(PtrData, LngSize);
    if (NeedsMuchMemory(Run.StgText))
        return -1;
    ShareAmong(1);
    const std::string StgToolkit = ThroughToolkit(Run.StgText, Run.ChrOperation, Run.DblScalar);
    ShareAmong(Run.LngThreads);
    const std::string StgStreamed =
        Streamed(Run.StgText, Run.ChrOperation, Run.DblScalar);
    if (StgToolkit != StgStreamed) {
        std::fprintf(stderr, "toolkit:\n%s\nstreamed:\n%s\n", StgToolkit.c_str(),
                     StgStreamed.c_str());
        std::abort();
    }
    return 0;
}
