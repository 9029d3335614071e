#include "ops/TResampler.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "util/TError.h"
#include "util/TNoData.h"

namespace {

// How far gdalwarp's kernel reaches at scale 1, in cells: the margin of the
// block it reads. A whole-cell shift copies cells and needs none.
long RadiusOf(TResampler::TMethod Method, bool BlnShift)
{
    return Method == TResampler::TMethod::Bilinear && !BlnShift ? 1 : 0;
}

TKernelShape ShapeOf(TResampler::TMethod Method, bool BlnShift, const TWarpWindow& Window)
{
    if (Method == TResampler::TMethod::Nearest || BlnShift || Window.LngXSize == 1
        || Window.LngYSize == 1)
        return TKernelShape::Nearest;
    return Window.DblXScale >= 0.95 && Window.DblYScale >= 0.95 ? TKernelShape::Pair
                                                                : TKernelShape::Wide;
}

// The source rows handed to Row, by source row index.
struct TSourceRows {
    const double* const* PtrRows;
    long LngFirst;

    const double* At(long LngRow) const { return PtrRows[LngRow - LngFirst]; }
};

// The taps of one target cell: the rows' and the columns', with their weights.
struct TCellTaps {
    const TAxisTaps& Row;
    const double* PtrRowWeights;
    const TAxisTaps& Column;
    const double* PtrColumnWeights;
};

// GDAL's four-sample bilinear formula: each cell weighted by the product of
// its weights, no-data cells left out, the sum divided by the weights left
// unless they sum to exactly 1.
double PairValue(const TSourceRows& Rows, const TCellTaps& Taps)
{
    double DblDivisor = 0.0;
    double DblSum = 0.0;
    for (long LngJ = 0; LngJ < Taps.Row.LngCount; ++LngJ) {
        const double* PtrCells = Rows.At(Taps.Row.LngFirst + LngJ) + Taps.Column.LngFirst;
        for (long LngI = 0; LngI < Taps.Column.LngCount; ++LngI) {
            if (TNoData::IsMarker(PtrCells[LngI]))
                continue;
            const double DblWeight = Taps.PtrColumnWeights[LngI] * Taps.PtrRowWeights[LngJ];
            DblDivisor += DblWeight;
            DblSum += PtrCells[LngI] * DblWeight;
        }
    }
    if (DblDivisor == 1.0)
        return DblSum;
    return DblDivisor < 0.00001 ? TNoData::Marker() : DblSum / DblDivisor;
}

// GDAL's general kernel: each row's cells summed with their column weights,
// the row sums with the row weights; the sum divided by the weights only
// when they are more than 1e-5 away from 1.
double WideValue(const TSourceRows& Rows, const TCellTaps& Taps)
{
    double DblSum = 0.0;
    double DblWeight = 0.0;
    for (long LngJ = 0; LngJ < Taps.Row.LngCount; ++LngJ) {
        const double* PtrCells = Rows.At(Taps.Row.LngFirst + LngJ) + Taps.Column.LngFirst;
        double DblRowSum = 0.0;
        double DblRowWeight = 0.0;
        for (long LngI = 0; LngI < Taps.Column.LngCount; ++LngI) {
            if (TNoData::IsMarker(PtrCells[LngI]))
                continue;
            DblRowSum += PtrCells[LngI] * Taps.PtrColumnWeights[LngI];
            DblRowWeight += Taps.PtrColumnWeights[LngI];
        }
        DblSum += DblRowSum * Taps.PtrRowWeights[LngJ];
        DblWeight += DblRowWeight * Taps.PtrRowWeights[LngJ];
    }
    if (DblWeight < 0.000001)
        return TNoData::Marker();
    return DblWeight < 0.99999 || DblWeight > 1.00001 ? DblSum / DblWeight : DblSum;
}

}  // namespace

TResampler::TResampler(const TGridFrame& Source, const TGridFrame& Target, TMethod Method)
    : MbrSource(Checked(Source, "Source")),
      MbrTarget(Checked(Target, "Target")),
      MbrTransform(MbrSource, MbrTarget),
      MbrWindow(TWarpWindow::Of(MbrTransform, MbrSource, MbrTarget,
                                RadiusOf(Method, MbrTransform.ShiftsByWholeCells()))),
      MbrShape(ShapeOf(Method, MbrTransform.ShiftsByWholeCells(), MbrWindow)),
      MbrColumnAxis(MbrWindow.LngXOff, MbrWindow.LngXSize, MbrWindow.DblXScale, MbrShape),
      MbrRowAxis(MbrWindow.LngYOff, MbrWindow.LngYSize, MbrWindow.DblYScale, MbrShape)
{
    PlaceColumns();
    // Rows sample the source further south as they go, so those inside the
    // block are one run.
    for (long LngRow = 0; LngRow < MbrTarget.LngRows && !MbrWindow.Empty(); ++LngRow) {
        if (!MbrRowAxis.Holds(SourceLine(LngRow)))
            continue;
        if (MbrLngEndRow == 0)
            MbrLngFirstRow = LngRow;
        MbrLngEndRow = LngRow + 1;
    }
}

const TGridFrame& TResampler::Checked(const TGridFrame& Frame, const char* StgWhich)
{
    const std::string StgFrame = std::string(StgWhich) + " frame ";
    if (Frame.LngCols < 1 || Frame.LngRows < 1)
        throw TError(StgFrame + "has no cells in TResampler");
    if (!(std::isfinite(Frame.DblCellSize) && Frame.DblCellSize > 0.0))
        throw TError(StgFrame + "cell size must be finite and greater than 0 in TResampler");
    if (!(std::isfinite(Frame.West()) && std::isfinite(Frame.East())
          && std::isfinite(Frame.South()) && std::isfinite(Frame.North())))
        throw TError(StgFrame + "extent is out of range in TResampler");
    return Frame;
}

double TResampler::SourceLine(long LngRow) const
{
    return MbrTransform.SourceY(0.5, LngRow + 0.5);
}

void TResampler::PlaceColumns()
{
    const std::size_t LngCols = static_cast<std::size_t>(MbrTarget.LngCols);
    if (MbrWindow.Empty()) {
        MbrVecColumns.assign(LngCols, TAxisTaps{});
        return;
    }
    const std::vector<double> VecApproximate = MbrTransform.ApproximateColumns(MbrTarget.LngCols);
    MbrVecColumns.reserve(LngCols);
    for (std::size_t LngCol = 0; LngCol < LngCols; ++LngCol) {
        double DblX = VecApproximate[LngCol];
        // gdalwarp places a centre the interpolation puts just outside the
        // block again, exactly.
        if (!MbrColumnAxis.Holds(DblX) && MbrColumnAxis.Borders(DblX))
            DblX = MbrTransform.SourceX(static_cast<double>(LngCol) + 0.5, 0.5);
        MbrVecColumns.push_back(MbrColumnAxis.Holds(DblX)
                                    ? MbrColumnAxis.Taps(DblX, MbrVecColumnWeights)
                                    : TAxisTaps{});
    }
}

std::pair<long, long> TResampler::RowSpan(long LngRow) const
{
    std::vector<double> VecWeights;
    const TAxisTaps Taps = MbrRowAxis.Taps(SourceLine(LngRow), VecWeights);
    return {std::min(Taps.LngFirst, Taps.LngCell),
            std::max(Taps.LngFirst + Taps.LngCount, Taps.LngCell + 1)};
}

std::pair<long, long> TResampler::SourceRows(long LngFirst, long LngLast) const
{
    if (MbrLngFirstRow >= MbrLngEndRow)
        return {0, 0};
    const long LngLow = std::max(LngFirst, MbrLngFirstRow);
    const long LngHigh = std::min(LngLast, MbrLngEndRow);
    if (LngLow >= LngHigh) {
        const long LngAt = LngFirst < MbrLngFirstRow ? RowSpan(MbrLngFirstRow).first
                                                     : RowSpan(MbrLngEndRow - 1).second;
        return {LngAt, LngAt};
    }
    return {RowSpan(LngLow).first, RowSpan(LngHigh - 1).second};
}

template <class TValueOf>
void TResampler::EachColumn(const double* PtrHolding, double* PtrOut, TValueOf ValueOf) const
{
    for (std::size_t LngCol = 0; LngCol < MbrVecColumns.size(); ++LngCol) {
        const TAxisTaps& Column = MbrVecColumns[LngCol];
        // A centre outside the block, or in a no-data cell, is no data
        // whatever the cells around it hold.
        const bool BlnNoData = Column.LngCount == 0 || TNoData::IsMarker(PtrHolding[Column.LngCell]);
        PtrOut[LngCol] = BlnNoData ? TNoData::Marker() : ValueOf(Column);
    }
}

void TResampler::Row(long LngRow, const double* const* PtrSourceRows, long LngFirstSourceRow,
                     double* PtrOut) const
{
    if (LngRow < MbrLngFirstRow || LngRow >= MbrLngEndRow) {
        std::fill(PtrOut, PtrOut + MbrVecColumns.size(), TNoData::Marker());
        return;
    }
    std::vector<double> VecRowWeights;
    const TAxisTaps RowTaps = MbrRowAxis.Taps(SourceLine(LngRow), VecRowWeights);
    const TSourceRows Rows{PtrSourceRows, LngFirstSourceRow};
    const double* PtrHolding = Rows.At(RowTaps.LngCell);
    const auto TapsOf = [&](const TAxisTaps& Column) {
        return TCellTaps{RowTaps, VecRowWeights.data(), Column,
                         MbrVecColumnWeights.data() + Column.LngWeights};
    };
    switch (MbrShape) {
    case TKernelShape::Nearest:
        EachColumn(PtrHolding, PtrOut, [&](const TAxisTaps& Column) { return PtrHolding[Column.LngCell]; });
        break;
    case TKernelShape::Pair:
        EachColumn(PtrHolding, PtrOut, [&](const TAxisTaps& Column) { return PairValue(Rows, TapsOf(Column)); });
        break;
    case TKernelShape::Wide:
        EachColumn(PtrHolding, PtrOut, [&](const TAxisTaps& Column) { return WideValue(Rows, TapsOf(Column)); });
        break;
    }
}
