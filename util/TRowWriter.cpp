#include "util/TRowWriter.h"

#include <algorithm>

#include "util/TBodyWriter.h"

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
    if (LngCols == 0) {
        TTextWriter Text;
        TRowWriter Rows(Text, 0, LngRows, ChrSeparator);
        Stream.write(Text.Text().data(), static_cast<std::streamsize>(Text.Text().size()));
    }
    TBodyWriter Body(Stream, LngCols, ChrSeparator, LngDigits);
    // BlnLastRowFirst takes the rows from the other end.
    Body.PutRows(LngCols == 0 ? 0 : LngRows, [&](std::size_t LngRow) {
        return PtrCells + (BlnLastRowFirst ? LngRows - 1 - LngRow : LngRow) * LngCols;
    });
    Stream.flush();
}
