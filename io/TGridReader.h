#pragma once
// Reads an ASCII grid in file order: the header, then the cells one by one.
// The one reading path of the toolkit's loader and of the streaming command,
// so both accept the same files and report the same messages.

#include <cstdint>
#include <fstream>
#include <istream>
#include <memory>
#include <string>

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

    // Opens a file to read; throws TFileError("Unable to open file " + name)
    // when it cannot be read, a directory included.
    static std::ifstream OpenFile(const std::string& StgName);

private:
    class TStreamSource;

    [[noreturn]] void ThrowCellError(TTokenizer::TCell Cell) const;

    std::unique_ptr<TStreamSource> MbrPtrSource;
    TTokenizer MbrTokens;
    TGridHeader MbrHeader;
    std::uint64_t MbrLngCellCount;
    std::uint64_t MbrLngCellsRead = 0;
};
