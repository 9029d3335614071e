#include "app/engine/TCalcJob.h"

#include <algorithm>

TRowSpan TCalcJob::Needs(std::size_t LngInput, long LngFirst, long LngLast) const
{
    if (!MbrExpression.Uses(LngInput))
        return {0, 0};
    const long LngReach = MbrExpression.RowReach();
    return {std::max(0L, LngFirst - LngReach), std::min(MbrFrame.LngRows, LngLast + LngReach)};
}

void TCalcJob::Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                       double* const* PtrPlanes) const
{
    const long LngReach = MbrExpression.RowReach();
    const auto LngSpan = static_cast<std::size_t>(2 * LngReach + 1);
    std::vector<const double*> VecRows(MbrLngGrids * LngSpan);
    double* PtrOut = PtrPlanes[0];
    for (long LngRow = LngFirst; LngRow < LngLast; ++LngRow, PtrOut += MbrFrame.LngCols) {
        for (std::size_t LngGrid = 0; LngGrid < MbrLngGrids; ++LngGrid)
            for (long LngOffset = -LngReach; LngOffset <= LngReach; ++LngOffset)
                VecRows[LngGrid * LngSpan + static_cast<std::size_t>(LngOffset + LngReach)] =
                    MbrExpression.Uses(LngGrid) ? VecInputs[LngGrid].RowOrNull(LngRow + LngOffset) : nullptr;
        MbrExpression.EvaluateRow(VecRows.data(), MbrFrame, LngRow, PtrOut);
    }
}
