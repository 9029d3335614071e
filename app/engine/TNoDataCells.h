#pragma once
// An output's no-data cells: the marker written as its NODATA_value over a
// block of cells, and, when asked, a data cell refused that a reader would
// take for no data: equal to the value, or written with so few digits that
// it reads back as it. "the result holds V, the no-data value, at column C,
// row R: choose another with --nodata".

#include <cstddef>
#include <cstdint>

#include "util/TNoData.h"

class TNoDataCells {
public:
    // LngDigits: the significant digits the output writes its cells with
    // (17 keeps every double); LngCols: its columns, for the message.
    TNoDataCells(double DblNoData, int LngDigits, bool BlnRefuse, std::uint64_t LngCols);

    // Cells LngFirst.. of the output (counted row after row), on all cores;
    // throws for the earliest data cell refused.
    void Write(double* PtrCells, std::size_t LngCells, std::uint64_t LngFirst) const;

private:
    // The first data cell of the run that reads back as no data, or the run's
    // length.
    std::size_t WriteRun(double* PtrCells, std::size_t LngCells) const;

    TNoData MbrNoData;
    int MbrLngDigits;
    bool MbrBlnRefuse;
    std::uint64_t MbrLngCols;
    // The no-data value as it reads back, and how near a data value must be
    // for its text to be compared.
    TNoData MbrWritten;
    double MbrDblNear;
};
