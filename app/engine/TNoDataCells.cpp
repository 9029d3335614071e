#include "app/engine/TNoDataCells.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <string>

#include "util/TError.h"
#include "util/TNumberFormat.h"
#include "util/TSlices.h"

namespace {

// A value as a reader gets it back from its text of LngDigits digits.
double ReadBack(double DblValue, int LngDigits)
{
    return std::strtod(TNumberFormat::ToString(DblValue, LngDigits).c_str(), nullptr);
}

}  // namespace

TNoDataCells::TNoDataCells(double DblNoData, int LngDigits, bool BlnRefuse, std::uint64_t LngCols)
    : MbrNoData(DblNoData), MbrLngDigits(LngDigits), MbrBlnRefuse(BlnRefuse), MbrLngCols(LngCols),
      MbrWritten(ReadBack(DblNoData, LngDigits)),
      MbrDblNear(std::fabs(DblNoData) * std::pow(10.0, 2 - LngDigits))
{
}

std::size_t TNoDataCells::WriteRun(double* PtrCells, std::size_t LngCells) const
{
    std::size_t LngHeld = LngCells;
    for (std::size_t LngCell = 0; LngCell < LngCells; ++LngCell) {
        const double DblCell = PtrCells[LngCell];
        if (TNoData::IsMarker(DblCell))
            PtrCells[LngCell] = MbrNoData.Value();
        else if (MbrBlnRefuse && LngHeld == LngCells
                 && (MbrNoData.Matches(DblCell) || std::fabs(DblCell - MbrNoData.Value()) <= MbrDblNear)
                 && MbrWritten.Matches(ReadBack(DblCell, MbrLngDigits)))
            LngHeld = LngCell;
    }
    return LngHeld;
}

void TNoDataCells::Write(double* PtrCells, std::size_t LngCells, std::uint64_t LngFirst) const
{
    // The earliest such cell of the block, whichever slice finds it.
    std::atomic<std::size_t> LngFirstHeld{LngCells};
    TSlices::Run(LngCells, TSlices::MinCells, [&](std::size_t LngFrom, std::size_t LngTo) {
        const std::size_t LngHeld = LngFrom + WriteRun(PtrCells + LngFrom, LngTo - LngFrom);
        std::size_t LngSeen = LngFirstHeld.load();
        while (LngHeld < LngTo && LngHeld < LngSeen && !LngFirstHeld.compare_exchange_weak(LngSeen, LngHeld)) {
        }
    });
    const std::uint64_t LngHeld = LngFirst + LngFirstHeld.load();
    if (LngFirstHeld.load() < LngCells)
        throw TError("the result holds " + TNumberFormat::ToString(MbrNoData.Value()) + ", the no-data value, at column "
                     + std::to_string(LngHeld % MbrLngCols + 1) + ", row " + std::to_string(LngHeld / MbrLngCols + 1)
                     + ": choose another with --nodata");
}
