#pragma once
// The one writer of grid bodies: cells of rows LngCols wide, each value
// followed by the separator and a line end after each row. Cells may arrive
// in pieces of any size, so a streamed grid of any shape is laid out as a
// whole one is.

#include <cstddef>
#include <ostream>

#include "util/TNumberFormat.h"
#include "util/TTextWriter.h"

class TRowWriter {
public:
    // A grid without columns has nothing to wait for: its LngRows empty
    // lines are written at once. The first cell put is at LngColumn of its
    // row, so that a piece of a grid may be laid out on its own. Cells get
    // LngDigits significant digits at most (see TNumberFormat).
    TRowWriter(TTextWriter& Text, std::size_t LngCols, std::size_t LngRows, char ChrSeparator,
               std::size_t LngColumn = 0, int LngDigits = TNumberFormat::DefaultDigits);

    // The next LngCount cells, continuing the row where the last piece ended.
    void Put(const double* PtrCells, std::size_t LngCount);

    // A whole grid of LngCols x LngRows cells to the stream, flushed; with
    // BlnLastRowFirst the rows go in reverse order. Pieces of the text are
    // laid out on all cores (see TSlices) and written in order.
    static void WriteRows(std::ostream& Stream, const double* PtrCells, std::size_t LngCols,
                          std::size_t LngRows, char ChrSeparator, bool BlnLastRowFirst = false,
                          int LngDigits = TNumberFormat::DefaultDigits);

private:
    TTextWriter& MbrText;
    std::size_t MbrLngCols;
    std::size_t MbrLngColumn = 0;
    char MbrChrSeparator;
    int MbrLngDigits;
};
