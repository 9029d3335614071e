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

void ParseChunk(TCellChunk& Chunk, std::uint64_t LngWanted, bool BlnTolerant)
{
    // Every cell takes a byte and a separator.
    const auto LngRoom = static_cast<std::size_t>(std::min<std::uint64_t>(
        LngWanted, static_cast<std::size_t>(Chunk.PtrLast - Chunk.PtrFirst) / 2 + 1));
    if (Chunk.VecCells.size() < LngRoom)
        Chunk.VecCells.resize(LngRoom);
    Chunk.LngCount = TTokenizer::ReadCells(Chunk.PtrFirst, Chunk.PtrLast, BlnTolerant,
                                           Chunk.VecCells.data(), LngRoom, Chunk.Stop, Chunk.PtrEnd);
}

// The window cut into LngChunks chunks, each parsed on a thread of its own.
void ParseWindow(std::string_view StgWindow, std::vector<TCellChunk>& VecChunks, std::size_t LngChunks,
                 std::uint64_t LngWanted, bool BlnTolerant)
{
    for (std::size_t LngChunk = 0; LngChunk < LngChunks; ++LngChunk) {
        VecChunks[LngChunk].PtrFirst = ChunkStart(StgWindow, LngChunk, LngChunks);
        VecChunks[LngChunk].PtrLast = ChunkStart(StgWindow, LngChunk + 1, LngChunks);
    }
    TSlices::Run(LngChunks, 1, [&](std::size_t LngFirst, std::size_t LngLast) {
        for (std::size_t LngChunk = LngFirst; LngChunk < LngLast; ++LngChunk)
            ParseChunk(VecChunks[LngChunk], LngWanted, BlnTolerant);
    });
}

// The tokens of StgTokens up to the first white space from LngBytes on:
// at least one token, and white space follows in memory.
std::string_view CutAfter(std::string_view StgTokens, std::size_t LngBytes)
{
    if (StgTokens.size() <= LngBytes)
        return StgTokens;
    const char* Ptr = StgTokens.data() + std::max<std::size_t>(LngBytes, 1);
    while (!TTokenizer::IsSpace(*Ptr))
        ++Ptr;
    return StgTokens.substr(0, static_cast<std::size_t>(Ptr - StgTokens.data()));
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

void TGridReader::ReadCells(TCellSink& Sink, std::size_t LngThreads)
{
    ReadCells(Sink, LngThreads, MbrLngCellCount - MbrLngCellsRead);
}

// Bytes for the cells wanted at the bytes a cell has taken so far, rounded
// down: text beyond the cells wanted is parsed, thrown away, scanned again
// to find where they end and parsed again by the next read, so a window a
// little short, followed by a small one, costs far less than one too long.
// Before any, a cell is taken to be as long as a number of 17 digits with
// its sign, exponent and separators, or more: a few cells asked for first
// take a small window, which the tokenizer's buffer keeps (many grids read
// a few rows at a time each would otherwise hold a full window apiece).
std::size_t TGridReader::WindowFor(std::uint64_t LngWanted, std::size_t LngFull) const
{
    constexpr std::uint64_t FirstCellBytes = 32;
    if (LngWanted >= LngFull)
        return LngFull;
    const std::uint64_t LngCellBytes =
        MbrLngWindowCells == 0 ? FirstCellBytes : MbrLngWindowBytes / MbrLngWindowCells;
    const std::uint64_t LngBytes = LngWanted * LngCellBytes;
    return static_cast<std::size_t>(std::min<std::uint64_t>(LngFull, LngBytes));
}

void TGridReader::ReadCells(TCellSink& Sink, std::size_t LngThreadsWanted, std::uint64_t LngMaxCells)
{
    const std::size_t LngSet = LngWindowBytesSet.load(std::memory_order_relaxed);
    const std::size_t LngThreads = LngThreadsWanted > 0 ? LngThreadsWanted : TSlices::Threads();
    const std::size_t LngDefault = MbrBlnSeekable ? DefaultWindowBytes : PipeWindowBytes;
    const std::size_t LngWindowBytes = LngThreads * (LngSet > 0 ? LngSet : LngDefault);
    const std::size_t LngMinChunk = LngSet > 0 ? std::min(LngSet, MinChunkBytes) : MinChunkBytes;
    const bool BlnTolerant = MbrTokens.AcceptsTolerantCells();
    const std::uint64_t LngLast =
        MbrLngCellsRead + std::min(LngMaxCells, MbrLngCellCount - MbrLngCellsRead);
    std::vector<TCellChunk>& VecChunks = MbrVecChunks;
    if (VecChunks.size() < LngThreads)
        VecChunks.resize(LngThreads);
    while (MbrLngCellsRead < LngLast) {
        const std::uint64_t LngWanted = LngLast - MbrLngCellsRead;
        const std::size_t LngBytes = WindowFor(LngWanted, LngWindowBytes);
        const std::string_view StgWindow = CutAfter(MbrTokens.NextTokens(LngBytes), LngBytes);
        if (StgWindow.empty())
            ThrowCellError(TTokenizer::TCell::End);
        std::size_t LngChunks = std::min(LngThreads, TSlices::SliceCount(StgWindow.size(), LngMinChunk));
        ParseWindow(StgWindow, VecChunks, LngChunks, LngWanted, BlnTolerant);
        // In file order: each chunk's cells follow those of the chunks before
        // it; the first failure before the last cell is the one to report.
        std::uint64_t LngRead = MbrLngCellsRead;
        const char* PtrUsed = StgWindow.data() + StgWindow.size();
        for (std::size_t LngChunk = 0; LngChunk < LngChunks; ++LngChunk) {
            TCellChunk& Chunk = VecChunks[LngChunk];
            Chunk.LngFirstCell = LngRead;
            if (Chunk.LngCount >= LngLast - LngRead) {
                Chunk.LngCount = static_cast<std::size_t>(LngLast - LngRead);
                PtrUsed = EndOfTokens(Chunk.PtrFirst, Chunk.LngCount);
                LngRead = LngLast;
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
        TSlices::Run(LngChunks, 1, [&](std::size_t LngFirst, std::size_t LngEnd) {
            for (std::size_t LngChunk = LngFirst; LngChunk < LngEnd; ++LngChunk) {
                TCellChunk& Chunk = VecChunks[LngChunk];
                Sink.Take(LngChunk, Chunk.VecCells.data(), Chunk.LngCount, Chunk.LngFirstCell);
            }
        });
        Sink.EndWindow();
        // Tokens past the last cell taken stay for the next read.
        const auto LngUsed = static_cast<std::size_t>(PtrUsed - StgWindow.data());
        MbrLngWindowBytes += LngUsed;
        MbrLngWindowCells += LngRead - MbrLngCellsRead;
        MbrLngCellsRead = LngRead;
        MbrTokens.Consume(LngUsed);
    }
}
