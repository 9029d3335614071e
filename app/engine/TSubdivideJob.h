#pragma once
// Each cell of one input split into LngFactor x LngFactor cells of the same
// value.

#include "app/engine/TRowJob.h"

class TSubdivideJob : public TRowJob {
public:
    TSubdivideJob(long LngFactor, long LngInputCols) : MbrLngFactor(LngFactor), MbrLngInputCols(LngInputCols) {}

    TRowSpan Needs(std::size_t, long LngFirst, long LngLast) const override
    {
        return {LngFirst / MbrLngFactor, (LngLast - 1) / MbrLngFactor + 1};
    }
    void Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                 double* const* PtrPlanes) const override;

private:
    long MbrLngFactor;
    long MbrLngInputCols;
};
