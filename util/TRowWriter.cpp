#include "util/TRowWriter.h"

#include <algorithm>

TRowWriter::TRowWriter(TTextWriter& Text, std::size_t LngCols, std::size_t LngRows,
                       char ChrSeparator)
    : MbrText(Text), MbrLngCols(LngCols), MbrChrSeparator(ChrSeparator)
{
    if (LngCols == 0)
        for (std::size_t LngRow = 0; LngRow < LngRows; ++LngRow)
            MbrText.EndLine();
}

void TRowWriter::Put(const double* PtrCells, std::size_t LngCount)
{
    while (LngCount > 0) {
        const std::size_t LngTake = std::min(LngCount, MbrLngCols - MbrLngColumn);
        MbrText.PutCells(PtrCells, LngTake, MbrChrSeparator);
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
                           std::size_t LngRows, char ChrSeparator, bool BlnLastRowFirst)
{
    TTextWriter Text(Stream);
    TRowWriter Rows(Text, LngCols, LngRows, ChrSeparator);
    if (!BlnLastRowFirst)
        Rows.Put(PtrCells, LngCols * LngRows);
    else
        for (std::size_t LngRow = LngRows; LngRow-- > 0;)
            Rows.Put(PtrCells + LngRow * LngCols, LngCols);
    Text.Flush();
}
