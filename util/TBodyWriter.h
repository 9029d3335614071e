#pragma once
// The body of a grid written piece after piece: cells of rows LngCols wide,
// each piece laid out on all cores (see TSlices) by TRowWriter and written
// in order, its texts kept from piece to piece. Pieces streamed one after
// another give the bytes the whole body gives at once, on any number of
// threads.

#include <cstddef>
#include <functional>
#include <ostream>
#include <vector>

#include "util/TTextWriter.h"

class TBodyWriter {
public:
    TBodyWriter(std::ostream& Stream, std::size_t LngCols, char ChrSeparator, int LngDigits);

    // The next LngCount cells.
    void Put(const double* PtrCells, std::size_t LngCount);
    // The next LngRows whole rows, row i's cells from RowCells(i): rows
    // written in another order than they lie in memory.
    void PutRows(std::size_t LngRows, const std::function<const double*(std::size_t)>& RowCells);

private:
    // LngCount cells laid out from CellsAt(i), which gives the cells from
    // the piece's cell i to the end of its row.
    void LayOut(std::size_t LngCount, const std::function<const double*(std::size_t)>& CellsAt);

    std::ostream& MbrStream;
    std::size_t MbrLngCols;
    char MbrChrSeparator;
    int MbrLngDigits;
    std::size_t MbrLngColumn = 0;
    std::vector<TTextWriter> MbrVecTexts;
};
