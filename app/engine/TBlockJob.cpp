#include "app/engine/TBlockJob.h"

#include <algorithm>

void TBlockJob::Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                        double* const* PtrPlanes) const
{
    double* PtrOut = PtrPlanes[0];
    for (long LngRow = LngFirst; LngRow < LngLast; ++LngRow, PtrOut += MbrLngCols) {
        const double* PtrIn = VecInputs[0].Row(LngRow + MbrLngRow) + MbrLngCol;
        std::copy(PtrIn, PtrIn + MbrLngCols, PtrOut);
    }
}
