#include "app/engine/TPartnerJob.h"

#include <algorithm>
#include <cmath>

#include "util/TNoData.h"

namespace {

double Apply(TPartnerJob::TOp Op, double DblA, double DblB)
{
    switch (Op) {
    case TPartnerJob::TOp::Add:
        return DblA + DblB;
    case TPartnerJob::TOp::Subtract:
        return DblA - DblB;
    case TPartnerJob::TOp::Multiply:
        return DblA * DblB;
    case TPartnerJob::TOp::Divide:
        break;
    }
    return DblA / DblB;
}

// A cell index from its real value, which may lie far outside any grid:
// -1 for anything before the first cell.
long Index(double DblIndex)
{
    constexpr double DblFar = 1e18;
    return !(DblIndex >= 0.0) ? -1 : static_cast<long>(std::min(DblIndex, DblFar));
}

}  // namespace

TPartnerJob::TPartnerJob(const TGridFrame& First, const TGridFrame& Second, bool BlnSecondDrives,
                         TOp Op)
    : MbrDriver(BlnSecondDrives ? Second : First), MbrOther(BlnSecondDrives ? First : Second),
      MbrBlnSecondDrives(BlnSecondDrives), MbrOp(Op),
      MbrVecColumns(static_cast<std::size_t>(MbrDriver.LngCols))
{
    for (long LngCol = 0; LngCol < MbrDriver.LngCols; ++LngCol) {
        // Columns hold their west edge.
        const long LngOther =
            Index(std::floor((MbrDriver.ColumnCentre(LngCol) - MbrOther.West()) / MbrOther.DblCellSize));
        MbrVecColumns[static_cast<std::size_t>(LngCol)] =
            LngOther >= 0 && LngOther < MbrOther.LngCols ? LngOther : -1;
    }
}

long TPartnerJob::OtherRow(long LngRow) const
{
    // Rows hold their south edge: the index counts whole cells down from the
    // north edge, an exact multiple belonging to the row above it.
    const double DblDown = (MbrOther.North() - MbrDriver.RowCentre(LngRow)) / MbrOther.DblCellSize;
    return Index(std::ceil(DblDown) - 1.0);
}

TRowSpan TPartnerJob::Needs(std::size_t LngInput, long LngFirst, long LngLast) const
{
    if ((LngInput == 1) != MbrBlnSecondDrives)
        return {std::clamp(OtherRow(LngFirst), 0L, MbrOther.LngRows),
                std::clamp(OtherRow(LngLast - 1) + 1, 0L, MbrOther.LngRows)};
    return {LngFirst, LngLast};
}

void TPartnerJob::Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                          double* const* PtrPlanes) const
{
    const TRowWindow& Driver = VecInputs[MbrBlnSecondDrives ? 1 : 0];
    const TRowWindow& Other = VecInputs[MbrBlnSecondDrives ? 0 : 1];
    const auto LngCols = static_cast<std::size_t>(MbrDriver.LngCols);
    double* PtrOut = PtrPlanes[0];
    for (long LngRow = LngFirst; LngRow < LngLast; ++LngRow, PtrOut += LngCols) {
        const double* PtrDriver = Driver.Row(LngRow);
        const long LngOtherRow = OtherRow(LngRow);
        const double* PtrOther =
            LngOtherRow >= 0 && LngOtherRow < MbrOther.LngRows ? Other.Row(LngOtherRow) : nullptr;
        for (std::size_t LngCol = 0; LngCol < LngCols; ++LngCol) {
            const long LngOtherCol = MbrVecColumns[LngCol];
            const double DblOther = PtrOther && LngOtherCol >= 0 ? PtrOther[LngOtherCol] : TNoData::Marker();
            const double DblA = MbrBlnSecondDrives ? DblOther : PtrDriver[LngCol];
            const double DblB = MbrBlnSecondDrives ? PtrDriver[LngCol] : DblOther;
            PtrOut[LngCol] = TNoData::IsMarker(DblA) || TNoData::IsMarker(DblB)
                ? TNoData::Marker()
                : Apply(MbrOp, DblA, DblB);
        }
    }
}
