#include "ops/TTerrain.h"

#include <algorithm>
#include <cmath>

#include "ops/TTerrainFormulas.h"
#include "util/TError.h"
#include "util/TNoData.h"

namespace {

// gdaldem's cell beyond an edge: 2a - b in Float32 from the edge cell a and
// the one inside it b; no data when either is.
double Extrapolated(double DblEdge, double DblInside)
{
    if (TNoData::IsMarker(DblEdge) || TNoData::IsMarker(DblInside))
        return TNoData::Marker();
    return 2 * static_cast<float>(DblEdge) - static_cast<float>(DblInside);
}

bool Positive(double DblValue)
{
    return std::isfinite(DblValue) && DblValue > 0;
}

}  // namespace

TTerrain::TTerrain(const TTerrainOptions& Options, const TGridFrame& Frame)
    : MbrOptions(Options), MbrLngCols(Frame.LngCols), MbrDblCellSize(Frame.DblCellSize)
{
    if (!Positive(Options.DblScale))
        throw TError("The scale must be a positive number");
    if (!Positive(Frame.DblCellSize))
        throw TError("The cell size must be a positive number");
    if (!std::isfinite(Options.DblZ) || !std::isfinite(Options.DblAzimuth)
        || !std::isfinite(Options.DblAltitude))
        throw TError("Z, the azimuth and the altitude must be finite numbers");
}

void TTerrain::Row(const double* PtrNorth, const double* PtrCentre, const double* PtrSouth,
                   double* PtrOut) const
{
    using namespace TTerrainFormulas;
    using TProduct = TTerrainOptions::TProduct;
    using TShading = TTerrainOptions::TShading;
    const TTerrainOptions& Opt = MbrOptions;
    const double DblCell = MbrDblCellSize;
    if (Opt.Product == TProduct::Slope && Opt.BlnPercent)
        RowOf(TSlopePercent(DblCell, Opt.DblScale), PtrNorth, PtrCentre, PtrSouth, PtrOut);
    else if (Opt.Product == TProduct::Slope)
        RowOf(TSlopeDegrees(DblCell, Opt.DblScale), PtrNorth, PtrCentre, PtrSouth, PtrOut);
    else if (Opt.Product == TProduct::Aspect)
        RowOf(TAspect(), PtrNorth, PtrCentre, PtrSouth, PtrOut);
    else if (Opt.Shading == TShading::Multidirectional)
        RowOf(TMultidirectional(DblCell, Opt.DblScale, Opt.DblZ, Opt.DblAltitude), PtrNorth, PtrCentre,
              PtrSouth, PtrOut);
    else if (Opt.Shading == TShading::Combined)
        RowOf(TCombined(DblCell, Opt.DblScale, Opt.DblZ, Opt.DblAzimuth, Opt.DblAltitude), PtrNorth,
              PtrCentre, PtrSouth, PtrOut);
    else
        RowOf(THillshade(DblCell, Opt.DblScale, Opt.DblZ, Opt.DblAzimuth, Opt.DblAltitude), PtrNorth,
              PtrCentre, PtrSouth, PtrOut);
}

// The inner cells of a middle row go straight through the formula; NaN out
// of it, or at the centre, means no data or NaN somewhere in the window,
// and such cells are worked out again with the border's cells, window by
// window.
template <class TFormula>
void TTerrain::RowOf(const TFormula& Formula, const double* PtrNorth, const double* PtrCentre,
                     const double* PtrSouth, double* PtrOut) const
{
    const bool BlnMiddle = PtrNorth && PtrSouth;
    if (BlnMiddle)
        for (long LngCol = 1; LngCol + 1 < MbrLngCols; ++LngCol) {
            const float ArrWindow[9] = {
                static_cast<float>(PtrNorth[LngCol - 1]), static_cast<float>(PtrNorth[LngCol]),
                static_cast<float>(PtrNorth[LngCol + 1]), static_cast<float>(PtrCentre[LngCol - 1]),
                static_cast<float>(PtrCentre[LngCol]),    static_cast<float>(PtrCentre[LngCol + 1]),
                static_cast<float>(PtrSouth[LngCol - 1]), static_cast<float>(PtrSouth[LngCol]),
                static_cast<float>(PtrSouth[LngCol + 1])};
            PtrOut[LngCol] = Formula(ArrWindow);
        }
    for (long LngCol = 0; LngCol < MbrLngCols; ++LngCol) {
        const bool BlnInner = BlnMiddle && LngCol > 0 && LngCol + 1 < MbrLngCols;
        if (BlnInner && !std::isnan(PtrOut[LngCol]) && !std::isnan(PtrCentre[LngCol]))
            continue;
        float ArrWindow[9];
        PtrOut[LngCol] =
            Window(PtrNorth, PtrCentre, PtrSouth, LngCol, ArrWindow) ? Formula(ArrWindow) : TNoData::Marker();
    }
}

bool TTerrain::Window(const double* PtrNorth, const double* PtrCentre, const double* PtrSouth, long LngCol,
                      float* PtrWindow) const
{
    const double DblCentre = PtrCentre[LngCol];
    if (TNoData::IsMarker(DblCentre) || MbrLngCols < 2 || (!PtrNorth && !PtrSouth))
        return false;
    const long LngLast = MbrLngCols - 1;
    const bool BlnBorder = !PtrNorth || !PtrSouth || LngCol == 0 || LngCol == LngLast;
    if (BlnBorder && !MbrOptions.BlnComputeEdges)
        return false;

    double ArrCells[9];
    if (PtrNorth && PtrSouth) {
        // West and east of the grid, the column is extrapolated along the row.
        const double* ArrRows[3] = {PtrNorth, PtrCentre, PtrSouth};
        for (int LngRow = 0; LngRow < 3; ++LngRow) {
            const double* PtrRow = ArrRows[LngRow];
            ArrCells[3 * LngRow] = LngCol > 0 ? PtrRow[LngCol - 1] : Extrapolated(PtrRow[0], PtrRow[1]);
            ArrCells[3 * LngRow + 1] = PtrRow[LngCol];
            ArrCells[3 * LngRow + 2] =
                LngCol < LngLast ? PtrRow[LngCol + 1] : Extrapolated(PtrRow[LngLast], PtrRow[LngLast - 1]);
        }
    } else {
        // In the first and last row, the row beyond is extrapolated down the
        // columns, and the columns beyond the sides repeat the edge column.
        const double* PtrInside = PtrNorth ? PtrNorth : PtrSouth;
        const long ArrCols[3] = {std::max(LngCol - 1, 0L), LngCol, std::min(LngCol + 1, LngLast)};
        for (int LngK = 0; LngK < 3; ++LngK) {
            const long LngAt = ArrCols[LngK];
            const double DblBeyond = Extrapolated(PtrCentre[LngAt], PtrInside[LngAt]);
            ArrCells[LngK] = PtrNorth ? PtrNorth[LngAt] : DblBeyond;
            ArrCells[3 + LngK] = PtrCentre[LngAt];
            ArrCells[6 + LngK] = PtrSouth ? PtrSouth[LngAt] : DblBeyond;
        }
    }
    for (int LngK = 0; LngK < 9; ++LngK) {
        if (TNoData::IsMarker(ArrCells[LngK])) {
            if (!MbrOptions.BlnComputeEdges)
                return false;
            ArrCells[LngK] = DblCentre;
        }
        PtrWindow[LngK] = static_cast<float>(ArrCells[LngK]);
    }
    return true;
}
