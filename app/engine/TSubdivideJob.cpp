#include "app/engine/TSubdivideJob.h"

#include <algorithm>

void TSubdivideJob::Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                            double* const* PtrPlanes) const
{
    double* PtrOut = PtrPlanes[0];
    for (long LngRow = LngFirst; LngRow < LngLast; ++LngRow) {
        const double* PtrIn = VecInputs[0].Row(LngRow / MbrLngFactor);
        for (long LngCol = 0; LngCol < MbrLngInputCols; ++LngCol, PtrOut += MbrLngFactor)
            std::fill(PtrOut, PtrOut + MbrLngFactor, PtrIn[LngCol]);
    }
}
