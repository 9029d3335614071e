#include "util/TRowWriter.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "util/TSlices.h"

namespace {

// Cells a thread lays out at a time: half a MiB of text or so.
constexpr std::size_t WindowCells = std::size_t{1} << 16;

void Write(std::ostream& Stream, std::string_view StgText)
{
    Stream.write(StgText.data(), static_cast<std::streamsize>(StgText.size()));
}

}  // namespace

TRowWriter::TRowWriter(TTextWriter& Text, std::size_t LngCols, std::size_t LngRows,
                       char ChrSeparator, std::size_t LngColumn, int LngDigits)
    : MbrText(Text), MbrLngCols(LngCols), MbrLngColumn(LngColumn), MbrChrSeparator(ChrSeparator),
      MbrLngDigits(LngDigits)
{
    if (LngCols == 0)
        for (std::size_t LngRow = 0; LngRow < LngRows; ++LngRow)
            MbrText.EndLine();
}

void TRowWriter::Put(const double* PtrCells, std::size_t LngCount)
{
    while (LngCount > 0) {
        const std::size_t LngTake = std::min(LngCount, MbrLngCols - MbrLngColumn);
        MbrText.PutCells(PtrCells, LngTake, MbrChrSeparator, MbrLngDigits);
        PtrCells += LngTake;
        LngCount -= LngTake;
        MbrLngColumn += LngTake;
        if (MbrLngColumn == MbrLngCols) {
            MbrText.EndLine();
            MbrLngColumn = 0;
        }
    }
}

void TRowWriter::WriteRows(std::ostream& Stream, const double* PtrCells, std::size_t LngCols,
                           std::size_t LngRows, char ChrSeparator, bool BlnLastRowFirst,
                           int LngDigits)
{
    const std::size_t LngCells = LngCols * LngRows;
    const std::size_t LngThreads = TSlices::Threads();
    std::vector<TTextWriter> VecTexts(LngThreads);
    if (LngCols == 0) {
        TRowWriter Rows(VecTexts[0], 0, LngRows, ChrSeparator);
        Write(Stream, VecTexts[0].Text());
    }
    // The cells of output row LngRow, which BlnLastRowFirst takes from the
    // other end.
    const auto RowCells = [&](std::size_t LngRow) {
        return PtrCells + (BlnLastRowFirst ? LngRows - 1 - LngRow : LngRow) * LngCols;
    };
    const auto LayOut = [&](TTextWriter& Text, std::size_t LngFirst, std::size_t LngLast) {
        Text.Clear();
        TRowWriter Rows(Text, LngCols, 0, ChrSeparator, LngFirst % LngCols, LngDigits);
        while (LngFirst < LngLast) {
            const std::size_t LngColumn = LngFirst % LngCols;
            const std::size_t LngTake = std::min(LngLast - LngFirst, LngCols - LngColumn);
            Rows.Put(RowCells(LngFirst / LngCols) + LngColumn, LngTake);
            LngFirst += LngTake;
        }
    };
    const std::size_t LngWindow = LngThreads * WindowCells;
    for (std::size_t LngFirst = 0; LngFirst < LngCells; LngFirst += LngWindow) {
        const std::size_t LngCount = std::min(LngWindow, LngCells - LngFirst);
        const std::size_t LngChunks = TSlices::SliceCount(LngCount, TSlices::MinCells / 4);
        TSlices::Run(LngChunks, 1, [&](std::size_t LngChunk, std::size_t LngEnd) {
            for (; LngChunk < LngEnd; ++LngChunk)
                LayOut(VecTexts[LngChunk], LngFirst + LngCount * LngChunk / LngChunks,
                       LngFirst + LngCount * (LngChunk + 1) / LngChunks);
        });
        for (std::size_t LngChunk = 0; LngChunk < LngChunks; ++LngChunk)
            Write(Stream, VecTexts[LngChunk].Text());
    }
    Stream.flush();
}
