#pragma once
// A block of one input's cells, as it is: columns LngCol..LngCol+Cols-1 of
// rows LngRow..LngRow+Rows-1 of the output's frame.

#include "app/engine/TRowJob.h"

class TBlockJob : public TRowJob {
public:
    TBlockJob(long LngRow, long LngCol, long LngCols) : MbrLngRow(LngRow), MbrLngCol(LngCol), MbrLngCols(LngCols) {}

    TRowSpan Needs(std::size_t, long LngFirst, long LngLast) const override
    {
        return {LngFirst + MbrLngRow, LngLast + MbrLngRow};
    }
    void Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                 double* const* PtrPlanes) const override;

private:
    long MbrLngRow;
    long MbrLngCol;
    long MbrLngCols;
};
