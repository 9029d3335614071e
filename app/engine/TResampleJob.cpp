#include "app/engine/TResampleJob.h"

void TResampleJob::Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                           double* const* PtrPlanes) const
{
    const TRowWindow& Source = VecInputs[0];
    std::vector<const double*> VecRows;
    for (long LngRow = Source.First(); LngRow < Source.Last(); ++LngRow)
        VecRows.push_back(Source.Row(LngRow));
    double* PtrOut = PtrPlanes[0];
    for (long LngRow = LngFirst; LngRow < LngLast; ++LngRow, PtrOut += MbrLngTargetCols)
        MbrResampler.Row(LngRow, VecRows.data(), Source.First(), PtrOut);
}
