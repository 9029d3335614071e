#include "util/TBodyWriter.h"

#include <algorithm>

#include "util/TRowWriter.h"
#include "util/TSlices.h"

namespace {

// Cells a thread lays out at a time: half a MiB of text or so.
constexpr std::size_t WindowCells = std::size_t{1} << 16;

}  // namespace

TBodyWriter::TBodyWriter(std::ostream& Stream, std::size_t LngCols, char ChrSeparator, int LngDigits)
    : MbrStream(Stream), MbrLngCols(LngCols), MbrChrSeparator(ChrSeparator), MbrLngDigits(LngDigits),
      MbrVecTexts(TSlices::Threads())
{
}

void TBodyWriter::Put(const double* PtrCells, std::size_t LngCount)
{
    LayOut(LngCount, [PtrCells](std::size_t LngCell) { return PtrCells + LngCell; });
}

void TBodyWriter::PutRows(std::size_t LngRows, const std::function<const double*(std::size_t)>& RowCells)
{
    const std::size_t LngCols = MbrLngCols;
    LayOut(LngRows * LngCols, [&RowCells, LngCols](std::size_t LngCell) {
        return RowCells(LngCell / LngCols) + LngCell % LngCols;
    });
}

void TBodyWriter::LayOut(std::size_t LngCount, const std::function<const double*(std::size_t)>& CellsAt)
{
    const std::size_t LngStart = MbrLngColumn;
    const auto LayOutChunk = [&](TTextWriter& Text, std::size_t LngFirst, std::size_t LngLast) {
        Text.Clear();
        TRowWriter Rows(Text, MbrLngCols, 0, MbrChrSeparator, (LngStart + LngFirst) % MbrLngCols, MbrLngDigits);
        while (LngFirst < LngLast) {
            const std::size_t LngTake =
                std::min(LngLast - LngFirst, MbrLngCols - (LngStart + LngFirst) % MbrLngCols);
            Rows.Put(CellsAt(LngFirst), LngTake);
            LngFirst += LngTake;
        }
    };
    const std::size_t LngWindow = MbrVecTexts.size() * WindowCells;
    for (std::size_t LngFirst = 0; LngFirst < LngCount; LngFirst += LngWindow) {
        const std::size_t LngPart = std::min(LngWindow, LngCount - LngFirst);
        const std::size_t LngChunks =
            std::min(MbrVecTexts.size(), TSlices::SliceCount(LngPart, TSlices::MinCells / 4));
        TSlices::Run(LngChunks, 1, [&](std::size_t LngChunk, std::size_t LngEnd) {
            for (; LngChunk < LngEnd; ++LngChunk)
                LayOutChunk(MbrVecTexts[LngChunk], LngFirst + LngPart * LngChunk / LngChunks,
                            LngFirst + LngPart * (LngChunk + 1) / LngChunks);
        });
        for (std::size_t LngChunk = 0; LngChunk < LngChunks; ++LngChunk) {
            const std::string_view StgText = MbrVecTexts[LngChunk].Text();
            MbrStream.write(StgText.data(), static_cast<std::streamsize>(StgText.size()));
        }
    }
    if (MbrLngCols > 0)
        MbrLngColumn = (LngStart + LngCount) % MbrLngCols;
}
