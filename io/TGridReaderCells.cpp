// The reader's parallel path: the body in windows, each cut into chunks.
#include <algorithm>
#include <atomic>
#include <vector>

#include "util/TSlices.h"
#include "io/TGridReader.h"

namespace {

// Per thread: large enough that starting the threads of a window costs
// little beside parsing it, small enough to stay in the caches.
constexpr std::size_t DefaultWindowBytes = std::size_t{512} << 10;
// From a pipe, whose bytes may come slowly: what arrives is passed on soon.
constexpr std::size_t PipeWindowBytes = std::size_t{64} << 10;
// A chunk worth a thread of its own.
constexpr std::size_t MinChunkBytes = std::size_t{64} << 10;

std::atomic<std::size_t> LngWindowBytesSet{0};

// One chunk of a window: its bytes, then what parsing them gave.
struct TChunk {
    const char* PtrFirst = nullptr;
    const char* PtrLast = nullptr;
    std::vector<double> VecCells;
    std::size_t LngCount = 0;
    TTokenizer::TCell Stop = TTokenizer::TCell::Ok;
    const char* PtrEnd = nullptr;
    std::uint64_t LngFirstCell = 0;
};

// Where chunk LngChunk of LngChunks begins: at the white space after an
// even share of the window, so that no token is cut.
const char* ChunkStart(std::string_view StgWindow, std::size_t LngChunk, std::size_t LngChunks)
{
    const char* PtrLast = StgWindow.data() + StgWindow.size();
    if (LngChunk == 0 || LngChunk == LngChunks)
        return LngChunk == 0 ? StgWindow.data() : PtrLast;
    const char* Ptr = StgWindow.data() + StgWindow.size() * LngChunk / LngChunks;
    while (Ptr != PtrLast && !TTokenizer::IsSpace(*Ptr))
        ++Ptr;
    return Ptr;
}

void ParseChunk(TChunk& Chunk, std::uint64_t LngWanted, bool BlnDecimalComma)
{
    // Every cell takes a byte and a separator.
    const auto LngRoom = static_cast<std::size_t>(std::min<std::uint64_t>(
        LngWanted, static_cast<std::size_t>(Chunk.PtrLast - Chunk.PtrFirst) / 2 + 1));
    if (Chunk.VecCells.size() < LngRoom)
        Chunk.VecCells.resize(LngRoom);
    Chunk.LngCount = TTokenizer::ReadCells(Chunk.PtrFirst, Chunk.PtrLast, BlnDecimalComma,
                                           Chunk.VecCells.data(), LngRoom, Chunk.Stop, Chunk.PtrEnd);
}

// The end of the LngCount-th token from PtrFirst.
const char* EndOfTokens(const char* Ptr, std::size_t LngCount)
{
    for (; LngCount > 0; --LngCount) {
        while (TTokenizer::IsSpace(*Ptr))
            ++Ptr;
        while (!TTokenizer::IsSpace(*Ptr))
            ++Ptr;
    }
    return Ptr;
}

}  // namespace

void TGridReader::SetWindowBytes(std::size_t LngBytes)
{
    LngWindowBytesSet.store(LngBytes, std::memory_order_relaxed);
}

void TGridReader::ReadCells(TCellSink& Sink, std::size_t LngThreadsWanted)
{
    const std::size_t LngSet = LngWindowBytesSet.load(std::memory_order_relaxed);
    const std::size_t LngThreads = LngThreadsWanted > 0 ? LngThreadsWanted : TSlices::Threads();
    const std::size_t LngDefault = MbrBlnSeekable ? DefaultWindowBytes : PipeWindowBytes;
    const std::size_t LngWindowBytes = LngThreads * (LngSet > 0 ? LngSet : LngDefault);
    const std::size_t LngMinChunk = LngSet > 0 ? std::min(LngSet, MinChunkBytes) : MinChunkBytes;
    const bool BlnDecimalComma = MbrTokens.AcceptsDecimalComma();
    std::vector<TChunk> VecChunks(LngThreads);
    while (MbrLngCellsRead < MbrLngCellCount) {
        const std::string_view StgWindow = MbrTokens.NextTokens(LngWindowBytes);
        if (StgWindow.empty())
            ThrowCellError(TTokenizer::TCell::End);
        const std::uint64_t LngWanted = MbrLngCellCount - MbrLngCellsRead;
        std::size_t LngChunks =
            std::min(LngThreads, TSlices::SliceCount(StgWindow.size(), LngMinChunk));
        for (std::size_t LngChunk = 0; LngChunk < LngChunks; ++LngChunk) {
            VecChunks[LngChunk].PtrFirst = ChunkStart(StgWindow, LngChunk, LngChunks);
            VecChunks[LngChunk].PtrLast = ChunkStart(StgWindow, LngChunk + 1, LngChunks);
        }
        TSlices::Run(LngChunks, 1, [&](std::size_t LngFirst, std::size_t LngLast) {
            for (std::size_t LngChunk = LngFirst; LngChunk < LngLast; ++LngChunk)
                ParseChunk(VecChunks[LngChunk], LngWanted, BlnDecimalComma);
        });
        // In file order: each chunk's cells follow those of the chunks before
        // it; the first failure before the last cell is the one to report.
        std::uint64_t LngRead = MbrLngCellsRead;
        const char* PtrUsed = StgWindow.data() + StgWindow.size();
        for (std::size_t LngChunk = 0; LngChunk < LngChunks; ++LngChunk) {
            TChunk& Chunk = VecChunks[LngChunk];
            Chunk.LngFirstCell = LngRead;
            if (Chunk.LngCount >= MbrLngCellCount - LngRead) {
                Chunk.LngCount = static_cast<std::size_t>(MbrLngCellCount - LngRead);
                PtrUsed = EndOfTokens(Chunk.PtrFirst, Chunk.LngCount);
                LngRead = MbrLngCellCount;
                LngChunks = LngChunk + 1;
                break;
            }
            LngRead += Chunk.LngCount;
            if (Chunk.Stop != TTokenizer::TCell::Ok) {
                // Left just past the bad token, as reading one by one leaves it.
                MbrTokens.Consume(static_cast<std::size_t>(EndOfTokens(Chunk.PtrEnd, 1) - StgWindow.data()));
                MbrLngCellsRead = LngRead;
                ThrowCellError(Chunk.Stop);
            }
        }
        Sink.BeginWindow(LngRead, LngChunks);
        TSlices::Run(LngChunks, 1, [&](std::size_t LngFirst, std::size_t LngLast) {
            for (std::size_t LngChunk = LngFirst; LngChunk < LngLast; ++LngChunk) {
                TChunk& Chunk = VecChunks[LngChunk];
                Sink.Take(LngChunk, Chunk.VecCells.data(), Chunk.LngCount, Chunk.LngFirstCell);
            }
        });
        Sink.EndWindow();
        MbrLngCellsRead = LngRead;
        MbrTokens.Consume(static_cast<std::size_t>(PtrUsed - StgWindow.data()));
    }
}
