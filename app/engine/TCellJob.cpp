#include "app/engine/TCellJob.h"

#include <algorithm>
#include <vector>

TCellJob TCellJob::Copy(std::size_t LngInputs)
{
    return TCellJob(LngInputs, [LngInputs](const double* const* PtrInputs, std::size_t LngCells,
                                           double* const* PtrPlanes) {
        for (std::size_t LngInput = 0; LngInput < LngInputs; ++LngInput)
            std::copy(PtrInputs[LngInput], PtrInputs[LngInput] + LngCells, PtrPlanes[LngInput]);
    });
}

void TCellJob::Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                       double* const* PtrPlanes) const
{
    const auto LngCols = static_cast<std::size_t>(VecInputs.at(0).Cols());
    std::vector<const double*> VecRows(MbrLngInputs);
    for (std::size_t LngInput = 0; LngInput < MbrLngInputs; ++LngInput)
        VecRows[LngInput] = VecInputs[LngInput].Row(LngFirst);
    MbrFunction(VecRows.data(), LngCols * static_cast<std::size_t>(LngLast - LngFirst), PtrPlanes);
}
