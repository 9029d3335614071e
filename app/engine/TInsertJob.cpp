#include "app/engine/TInsertJob.h"

#include <algorithm>

#include "util/TNoData.h"

TRowSpan TInsertJob::Needs(std::size_t LngInput, long LngFirst, long LngLast) const
{
    if (LngInput == 0)
        return {LngFirst, LngLast};
    return {std::clamp(LngFirst - MbrLngRow, 0L, MbrLngPieceRows),
            std::clamp(LngLast - MbrLngRow, 0L, MbrLngPieceRows)};
}

void TInsertJob::Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                         double* const* PtrPlanes) const
{
    const long LngCols = VecInputs[0].Cols();
    double* PtrOut = PtrPlanes[0];
    for (long LngRow = LngFirst; LngRow < LngLast; ++LngRow, PtrOut += LngCols) {
        const double* PtrDestination = VecInputs[0].Row(LngRow);
        std::copy(PtrDestination, PtrDestination + LngCols, PtrOut);
        const long LngPieceRow = LngRow - MbrLngRow;
        if (LngPieceRow < 0 || LngPieceRow >= MbrLngPieceRows)
            continue;
        const double* PtrPiece = VecInputs[1].Row(LngPieceRow);
        for (long LngCol = 0; LngCol < MbrLngPieceCols; ++LngCol)
            if (!TNoData::IsMarker(PtrPiece[LngCol]))
                PtrOut[MbrLngCol + LngCol] = PtrPiece[LngCol];
    }
}
