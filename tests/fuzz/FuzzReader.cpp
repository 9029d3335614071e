// The toolkit reader on any bytes, in both dialects: it loads a grid or
// throws TError, never anything else; a grid it loads has a positive cell
// size (a header with any other is refused) and writes back to text that
// loads, in the strict dialect too, to the same. Read on three threads in
// tiny windows, it gives what one thread gives: the text or the message.
#include <cstdlib>
#include <memory>
#include <sstream>

#include "fuzz/FuzzSupport.h"
#include "io/TARCGISFileTools.h"

namespace {

std::string Written(const TMap* PtrMap)
{
    std::ostringstream Stream;
    TARCGISFileTools::WriteARCGISFile(PtrMap, Stream);
    return Stream.str();
}

// The text written, or the message.
std::string Outcome(const std::string& StgText, TGridDialect Dialect)
{
    try {
        std::istringstream Stream(StgText);
        const std::unique_ptr<TMap> PtrMap(TARCGISFileTools::LoadARCGISFile(Stream, Dialect));
        return Written(PtrMap.get());
    } catch (const TError& Error) {
        return std::string("failure: ") + Error.what();
    }
}

void ReadAndWrite(const std::string& StgText, TGridDialect Dialect)
{
    ShareAmong(3);
    const std::string StgShared = Outcome(StgText, Dialect);
    ShareAmong(1);
    if (Outcome(StgText, Dialect) != StgShared)
        std::abort();
    std::unique_ptr<TMap> PtrMap;
    try {
        std::istringstream Stream(StgText);
        PtrMap.reset(TARCGISFileTools::LoadARCGISFile(Stream, Dialect));
    } catch (const TError&) {
        return;
    }
    if (!(PtrMap->GetResolution() > 0))
        std::abort();
    const std::string StgFirst = Written(PtrMap.get());
    for (TGridDialect AgainIn : {TGridDialect::Strict, Dialect}) {
        std::istringstream Again(StgFirst);
        const std::unique_ptr<TMap> PtrAgain(TARCGISFileTools::LoadARCGISFile(Again, AgainIn));
        if (Written(PtrAgain.get()) != StgFirst)
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* PtrData, std::size_t LngSize)
{
    const std::string StgText = TextOf(PtrData, LngSize);
    if (NeedsMuchMemory(StgText))
        return -1;
    for (TGridDialect Dialect : {TGridDialect::Strict, TGridDialect::Tolerant})
        ReadAndWrite(StgText, Dialect);
    return 0;
}
