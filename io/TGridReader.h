#pragma once
// Reads an ASCII grid in file order: the header, then the cells one by one.
// The one reading path of the toolkit's loader and of the streaming command,
// so both accept the same files and report the same messages.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "io/TCellChunk.h"
#include "io/TGridDialect.h"
#include "io/TGridHeader.h"
#include "io/TTokenizer.h"

class TGridReader {
public:
    // Reads the header in the dialect given; throws its format messages. A
    // read error of the stream (a failing device, /proc/self/mem) throws
    // TFileError("Unable to read file " + StgName), or "Unable to read the
    // input" for a stream without a name.
    explicit TGridReader(std::istream& Stream, TGridDialect Dialect = TGridDialect::Strict,
                         const std::string& StgName = std::string());
    // Hands the bytes read ahead but not used back to the stream, so that it
    // stands just after the last value read (by seeking where it can).
    ~TGridReader();
    TGridReader(const TGridReader&) = delete;
    TGridReader& operator=(const TGridReader&) = delete;

    const TGridHeader& Header() const { return MbrHeader; }
    std::uint64_t CellCount() const { return MbrLngCellCount; }

    // The next cell, west to east, north row first. Throws "Unexpected end of
    // file found in TARCGISFileTools::LoadARCGISFile" when the input ends, and
    // "File format error: cell at column C, row R is not a number" (or "is out
    // of range") for a token that is not a cell value.
    double NextCell()
    {
        double DblValue;
        const TTokenizer::TCell Cell = MbrTokens.ReadCell(DblValue);
        if (Cell != TTokenizer::TCell::Ok)
            ThrowCellError(Cell);
        ++MbrLngCellsRead;
        return DblValue;
    }

    // Reads the cells not read yet, only to check them.
    void SkipRemainingCells();

    // Where ReadCells hands the cells: a window of the input at a time, cut
    // into chunks. Take runs on as many threads as there are chunks, each
    // with its own chunk LngChunk (below the thread count): LngCount cells,
    // which it may change in place and which stay until EndWindow, the first
    // of them cell LngFirst of the grid. BeginWindow (LngCellsAfter: the
    // cells read once the window's LngChunks chunks are taken) and EndWindow
    // run on the calling thread around them.
    class TCellSink {
    public:
        virtual ~TCellSink() = default;
        virtual void BeginWindow(std::uint64_t LngCellsAfter, std::size_t LngChunks) = 0;
        virtual void Take(std::size_t LngChunk, double* PtrCells, std::size_t LngCount,
                          std::uint64_t LngFirst) = 0;
        virtual void EndWindow() = 0;
    };
    // Reads the cells not read yet on all cores: windows of whole tokens,
    // each cut at white space into chunks parsed in parallel, handed to Sink
    // window after window in file order. The same cells as NextCell gives,
    // and for the earliest bad cell the same failure; the position is then
    // just past the last cell. Memory: a window of input and the chunks'
    // cells, a few MiB per thread whatever the grid. LngThreads 0 takes the
    // toolkit's thread count (TSlices::Threads()).
    void ReadCells(TCellSink& Sink, std::size_t LngThreads = 0);
    // The same for at most LngMaxCells of the cells not read yet, leaving the
    // reader just past the last of them for the next read: calls that read
    // a grid piece by piece give the cells and the failure one call gives. A
    // failure past the last cell asked for is left for the read that reaches
    // it. Windows are sized to the cells asked for, by the bytes a cell has
    // taken so far.
    void ReadCells(TCellSink& Sink, std::size_t LngThreads, std::uint64_t LngMaxCells);
    std::uint64_t CellsRead() const { return MbrLngCellsRead; }
    // The bytes of a window for each thread (0: the default), for tests that
    // cut a small input at many places.
    static void SetWindowBytes(std::size_t LngBytes);

    // Opens a file to read; throws TFileError("Unable to open file " + name)
    // when it cannot be read, a directory included.
    static std::ifstream OpenFile(const std::string& StgName);

private:
    class TStreamSource;

    [[noreturn]] void ThrowCellError(TTokenizer::TCell Cell) const;
    // The bytes a window needs for LngWanted more cells, at most LngFull.
    std::size_t WindowFor(std::uint64_t LngWanted, std::size_t LngFull) const;

    std::unique_ptr<TStreamSource> MbrPtrSource;
    TTokenizer MbrTokens;
    TGridHeader MbrHeader;
    std::uint64_t MbrLngCellCount;
    std::uint64_t MbrLngCellsRead = 0;
    // What the windows read so far took, for sizing the next one.
    std::uint64_t MbrLngWindowBytes = 0;
    std::uint64_t MbrLngWindowCells = 0;
    bool MbrBlnSeekable;
    std::vector<TCellChunk> MbrVecChunks;
};
