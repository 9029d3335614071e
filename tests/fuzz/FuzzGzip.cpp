// The gzip reader under the toolkit's grid reader on damaged gzip data: any
// bytes, and real compressed grids with bytes changed, cut, or members glued
// (the seed corpus, and what libFuzzer's mutations and crossovers make of
// it). Loading gives a grid or a TError, never anything else, and the same
// outcome as loading the text the reader decompresses, read apart in small
// pieces: all of it, or, where the data is damaged, what came before the
// damage (unless the load fails on it).
#include <memory>
#include <sstream>

#include "formats/TGzipReadBuffer.h"
#include "fuzz/FuzzSupport.h"
#include "io/TARCGISFileTools.h"

namespace {

// The grid written back, or the message.
std::string Outcome(std::istream& Stream)
{
    try {
        const std::unique_ptr<TMap> PtrMap(
            TARCGISFileTools::LoadARCGISFile(Stream, TGridDialect::Tolerant));
        std::ostringstream Written;
        TARCGISFileTools::WriteARCGISFile(PtrMap.get(), Written);
        return Written.str();
    } catch (const TError& Error) {
        return std::string("failure: ") + Error.what();
    }
}

// The text decompressed a few bytes at a time, up to the failure if any.
std::string Decompressed(const std::string& StgGzip, bool& BlnFailed)
{
    std::istringstream Source(StgGzip);
    TGzipReadBuffer Buffer(*Source.rdbuf(), "fuzz.gz");
    std::string StgText;
    char ArrPiece[7];
    BlnFailed = false;
    try {
        for (std::streamsize LngRead; (LngRead = Buffer.sgetn(ArrPiece, sizeof ArrPiece)) > 0;)
            StgText.append(ArrPiece, static_cast<std::size_t>(LngRead));
    } catch (const TGzipError&) {
        BlnFailed = true;
    }
    return StgText;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* PtrData, std::size_t LngSize)
{
    const std::string StgGzip = TextOf(PtrData, LngSize);
    bool BlnFailed = false;
    const std::string StgText = Decompressed(StgGzip, BlnFailed);
    if (NeedsMuchMemory(StgText))
        return -1;
    std::istringstream Source(StgGzip);
    TGzipReadBuffer Buffer(*Source.rdbuf(), "fuzz.gz");
    std::istream Compressed(&Buffer);
    const std::string StgOutcome = Outcome(Compressed);
    std::istringstream Plain(StgText);
    const std::string StgPlain = Outcome(Plain);
    if (StgOutcome != StgPlain && !(BlnFailed && StgOutcome.rfind("failure: ", 0) == 0))
        std::abort();
    return 0;
}
