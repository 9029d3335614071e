#pragma once
// Stateless operations on maps. Every map returned is new and the caller's;
// arguments are never changed.

#include <ostream>

#include "grid/TMap.h"

class TMapTools {
public:
    // --- Scalar operations ---
    // A map on copies of the input's axes and no-data value whose data cells
    // are the input's times (Multiply) or divided by (Divide) the scalar;
    // no-data cells stay no data. IEEE arithmetic: dividing by zero gives
    // infinities and NaN.
    static TMap* Multiply(const TMap* PtrMap, double DblScalar);
    static TMap* Divide(const TMap* PtrMap, double DblScalar);

    // --- Text dumps ---
    // The cells row by row, north row first, each value followed by
    // ChrSeparator, a line end after each row.
    static void WriteFlatFile(const TMap* PtrMap, std::ostream& Stream, char ChrSeparator);
    // One line "x,y,value" per cell at the cell centre, column by column.
    static void WriteCSVFile(const TMap* PtrMap, std::ostream& Stream);
};
