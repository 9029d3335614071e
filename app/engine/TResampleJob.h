#pragma once
// One input resampled onto the output's frame, row by row (see TResampler).

#include "app/engine/TRowJob.h"
#include "ops/TResampler.h"

class TResampleJob : public TRowJob {
public:
    TResampleJob(const TResampler& Resampler, long LngTargetCols)
        : MbrResampler(Resampler), MbrLngTargetCols(LngTargetCols)
    {
    }

    TRowSpan Needs(std::size_t, long LngFirst, long LngLast) const override
    {
        const std::pair<long, long> Rows = MbrResampler.SourceRows(LngFirst, LngLast);
        return {Rows.first, Rows.second};
    }
    void Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                 double* const* PtrPlanes) const override;

private:
    const TResampler& MbrResampler;
    long MbrLngTargetCols;
};
