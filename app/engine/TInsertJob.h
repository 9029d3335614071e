#pragma once
// A piece written into a copy of a destination grid: input 0 is the
// destination, which gives the output's frame, input 1 the piece, whose
// row 0 and column 0 fall on the destination's row LngRow and column
// LngCol (the piece lies inside). The piece's data cells replace the
// destination's; its no-data cells leave them as they are.

#include "app/engine/TRowJob.h"

class TInsertJob : public TRowJob {
public:
    TInsertJob(long LngRow, long LngCol, long LngPieceRows, long LngPieceCols)
        : MbrLngRow(LngRow), MbrLngCol(LngCol), MbrLngPieceRows(LngPieceRows), MbrLngPieceCols(LngPieceCols)
    {
    }

    TRowSpan Needs(std::size_t LngInput, long LngFirst, long LngLast) const override;
    void Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                 double* const* PtrPlanes) const override;

private:
    long MbrLngRow;
    long MbrLngCol;
    long MbrLngPieceRows;
    long MbrLngPieceCols;
};
