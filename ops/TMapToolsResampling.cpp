// Resampling: the bilinear formula, resampling a map with it, new frames,
// subdivision, and buffers around blocks of cells.
#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <vector>

#include "grid/TAxisLookup.h"
#include "grid/TGridSize.h"
#include "ops/TMapKernel.h"
#include "ops/TMapTools.h"

namespace {

// The number of new cells of size DblNew in DblCells cells of size DblOld. A
// quotient within a few units in the last place of a whole number is that
// number: 2 cells of 0.3 hold 6 cells of 0.1, though 0.6 / 0.1 is 5.999...
// The count is left as a double, to be checked before it becomes a dimension.
double WholeCells(double DblOld, long LngCells, double DblNew)
{
    const double DblQuotient = DblOld * static_cast<double>(LngCells) / DblNew;
    const double DblNearest = std::nearbyint(DblQuotient);
    const double DblUlp = std::nextafter(DblNearest, INFINITY) - DblNearest;
    if (std::fabs(DblQuotient - DblNearest) <= 4 * DblUlp)
        return DblNearest;
    return std::trunc(DblQuotient);
}

// A new axis of LngCount points, the first DblFirst and each following one
// DblStep further, in the component ChrAxis; DblFixed in the other.
std::unique_ptr<TAxis> SteppedAxis(double DblResolution, long LngCount, double DblFirst,
                                   double DblStep, char ChrAxis, double DblFixed)
{
    return std::unique_ptr<TAxis>(TAxisTools::AxisOfValues(
        DblResolution, TAxisTools::SteppedValues(DblFirst, DblStep, LngCount), ChrAxis, DblFixed));
}

// The frame of Downscale: an empty map of the new cell size over the map's
// extent from its west and north edges, whole new cells only, each cell and
// the no-data value DblNoData. StgWhere names the operation in the messages.
std::unique_ptr<TMap> Frame(const TMap& Map, double DblResolution, double DblNoData,
                            const char* StgWhere)
{
    const double DblOld = Map.GetResolution();
    const auto [LngXDim, LngYDim] =
        TGridSize::FromQuotients(WholeCells(DblOld, Map.GetXDim(), DblResolution),
                                 WholeCells(DblOld, Map.GetYDim(), DblResolution), StgWhere);
    const double DblWest = Map.GetXAxisInterval()->GetFilledPoint(0).GetX();
    const double DblNorth = Map.GetYAxisInterval()->GetFilledPoint(0).GetY();
    const double DblHalf = DblResolution * 0.5;
    const double DblDown = Map.IsSouthUp() ? 1.0 : -1.0;
    auto PtrFrame = std::make_unique<TMap>(DblResolution);
    PtrFrame->Init(DblResolution, LngXDim, LngYDim, DblNoData);
    PtrFrame->SetXAxis(SteppedAxis(DblResolution, LngXDim, DblWest + DblHalf, DblResolution, 'X',
                                   DblNorth).get());
    PtrFrame->SetYAxis(SteppedAxis(DblResolution, LngYDim, DblNorth + DblDown * DblHalf,
                                   DblDown * DblResolution, 'Y', DblWest).get());
    return PtrFrame;
}

// The edges of a map subdivided by LngK in one direction: between each pair
// of the map's own edges, LngK - 1 more, DblFine apart by repeated addition,
// rising in X and running in the map's direction in Y. The map's edges stay
// exactly where they were, so the result covers exactly the map's extent.
std::unique_ptr<TAxis> FineEdges(const TMap& Map, char ChrAxis, long LngK, double DblFine)
{
    const TAxis& Edges = ChrAxis == 'X' ? *Map.GetXAxisInterval() : *Map.GetYAxisInterval();
    const double DblStep = ChrAxis == 'X' || Map.IsSouthUp() ? DblFine : -DblFine;
    // The other component: the north edge for X edges, the west edge for Y.
    const double DblFixed = ChrAxis == 'X' ? Map.GetYAxisInterval()->GetFilledPoint(0).GetY()
                                           : Map.GetXAxisInterval()->GetFilledPoint(0).GetX();
    const std::vector<double> VecCoarse = Edges.GetValues(ChrAxis);
    std::vector<double> VecFine;
    VecFine.reserve(TGridSize::Cells(LngK, Edges.GetSize() - 1) + 1);
    for (std::size_t LngCoarse = 0; LngCoarse + 1 < VecCoarse.size(); ++LngCoarse) {
        const std::vector<double> VecCell = TAxisTools::SteppedValues(VecCoarse[LngCoarse], DblStep, LngK);
        VecFine.insert(VecFine.end(), VecCell.begin(), VecCell.end());
    }
    VecFine.push_back(VecCoarse.back());
    return std::unique_ptr<TAxis>(TAxisTools::AxisOfValues(DblFine, VecFine, ChrAxis, DblFixed));
}


// The bilinear formula from the distances to the corner centres: Near from
// the first corner (x - x1), Far to the second (x2 - x), Span between them
// (x2 - x1), likewise in Y. Each value is divided by the area first.
inline double Bilinear(double DblQ11, double DblQ21, double DblQ12, double DblQ22, double DblXNear,
                       double DblXFar, double DblXSpan, double DblYNear, double DblYFar,
                       double DblYSpan)
{
    const double DblW = DblXSpan * DblYSpan;
    return DblQ11 / DblW * DblXFar * DblYFar + DblQ21 / DblW * DblXNear * DblYFar
        + DblQ12 / DblW * DblXFar * DblYNear + DblQ22 / DblW * DblXNear * DblYNear;
}

// The samples of the resampling along one direction: each position, the
// result cell and the input cell that hold it, and the input cells on either
// side whose centres it lies between. Samples combine one X and one Y entry,
// so each lookup is made once per column and per row of samples.
struct TSampleLine {
    std::vector<double> VecPos;
    std::vector<long> VecOut, VecIn, VecLow, VecHigh;  // negative where missing
    std::vector<double> VecNear, VecFar, VecSpan;  // of the neighbours' centres
    long LngFirstFailure = -1;

    bool Fails(std::size_t LngI) const
    {
        return VecOut[LngI] < 0 || VecIn[LngI] < 0 || VecLow[LngI] < 0 || VecHigh[LngI] < 0;
    }
};

// Positions from DblFirst by DblStep (repeated addition) while Within holds;
// with BlnAtLeastOne the first is taken untested. Coordinates so large that
// the step no longer moves them end the positions.
template <class TWithin>
std::vector<double> Positions(double DblFirst, double DblStep, bool BlnAtLeastOne, TWithin Within)
{
    std::vector<double> VecPos;
    for (double DblPos = DblFirst; (BlnAtLeastOne && VecPos.empty()) || Within(DblPos);
         DblPos += DblStep) {
        if (!VecPos.empty() && DblPos == VecPos.back())
            break;
        VecPos.push_back(DblPos);
    }
    return VecPos;
}

// The lookup of a map's edges in one direction.
TAxisLookup EdgeLookup(const TMap& Map, char ChrAxis)
{
    return TAxisLookup(ChrAxis == 'X' ? *Map.GetXAxisInterval() : *Map.GetYAxisInterval(), ChrAxis);
}

// Looks each position up in the result's and the input's edges, then picks
// the input's neighbours: the cell itself and the one toward lower values
// when the position lies at or below its centre (BlnLowFirst), else toward
// higher ones; LngLowStep is the index step toward lower values.
TSampleLine SampleLine(std::vector<double> VecPos, const TMap& Result, const TMap& Map,
                       char ChrAxis, long LngLowStep)
{
    TSampleLine Line;
    const long LngDim = ChrAxis == 'X' ? Map.GetXDim() : Map.GetYDim();
    const std::vector<double> VecCentres =
        (ChrAxis == 'X' ? Map.GetXAxis() : Map.GetYAxis())->GetValues(ChrAxis);
    const TAxisLookup OutLookup = EdgeLookup(Result, ChrAxis);
    const TAxisLookup InLookup = EdgeLookup(Map, ChrAxis);
    for (std::size_t LngI = 0; LngI < VecPos.size(); ++LngI) {
        const long LngOut = OutLookup.Find(VecPos[LngI]);
        const long LngIn = InLookup.Find(VecPos[LngI]);
        long LngLow = -1, LngHigh = -1;
        if (LngIn >= 0) {
            const bool BlnAtOrBelow = VecPos[LngI] <= VecCentres[static_cast<std::size_t>(LngIn)];
            const long LngOther = LngIn + (BlnAtOrBelow ? LngLowStep : -LngLowStep);
            // Neighbours in index order: the lower index is the first corner.
            LngLow = std::min(LngIn, LngOther);
            LngHigh = std::max(LngIn, LngOther);
            LngLow = LngLow < LngDim ? LngLow : -1;
            LngHigh = LngHigh < LngDim ? LngHigh : -1;
        }
        Line.VecOut.push_back(LngOut);
        Line.VecIn.push_back(LngIn);
        Line.VecLow.push_back(LngLow);
        Line.VecHigh.push_back(LngHigh);
        if (Line.LngFirstFailure < 0 && Line.Fails(LngI))
            Line.LngFirstFailure = static_cast<long>(LngI);
        const double DblLow = LngLow < 0 ? 0.0 : VecCentres[static_cast<std::size_t>(LngLow)];
        const double DblHigh = LngHigh < 0 ? 0.0 : VecCentres[static_cast<std::size_t>(LngHigh)];
        Line.VecNear.push_back(VecPos[LngI] - DblLow);
        Line.VecFar.push_back(DblHigh - VecPos[LngI]);
        Line.VecSpan.push_back(DblHigh - DblLow);
    }
    Line.VecPos = std::move(VecPos);
    return Line;
}

// Throws what the sample (LngI, LngJ) meets first: the lookups in the
// result, then in the input (as reading the position there reports them),
// then the four neighbours.
void ThrowSampleFailure(const TMap& Result, const TMap& Map, const TSampleLine& X, std::size_t LngI,
                        const TSampleLine& Y, std::size_t LngJ)
{
    const TPoint Sample(X.VecPos[LngI], Y.VecPos[LngJ]);
    std::unique_ptr<TMapPoint>(Result.GetPoint(&Sample));
    std::unique_ptr<TMapPoint>(Map.GetPoint(&Sample));
    const struct {
        bool BlnFails;
        const char* StgMessage;
    } ArrChecks[] = {
        {X.VecLow[LngI] < 0, "LngGetX1 is out of range in TMapTools::BilinearInterpolate"},
        {X.VecHigh[LngI] < 0, "LngGetX2 is out of range in TMapTools::BilinearInterpolate"},
        {Y.VecLow[LngJ] < 0, "LngGetY1 is out of range in TMapTools::BilinearInterpolate"},
        {Y.VecHigh[LngJ] < 0, "LngGetY2 is out of range in TMapTools::BilinearInterpolate"},
    };
    for (const auto& Check : ArrChecks)
        if (Check.BlnFails)
            throw TError(Check.StgMessage);
}


// Resamples the rows LngFirst to LngLast of samples into the result. The
// corners of a row are gathered first, so the arithmetic runs over plain
// arrays.
void SampleRows(const TMap& Map, const TSampleLine& X, const TSampleLine& Y, std::size_t LngFirst,
                std::size_t LngLast, TMap& Result)
{
    const double DblNoData = Map.GetNoDataValue();
    const long LngInCols = Map.GetXDim();
    const std::size_t LngSamples = X.VecPos.size();
    std::vector<double> VecQ11(LngSamples), VecQ21(LngSamples), VecQ12(LngSamples),
        VecQ22(LngSamples), VecValues(LngSamples);
    const double *PtrQ11 = VecQ11.data(), *PtrQ21 = VecQ21.data();
    const double *PtrQ12 = VecQ12.data(), *PtrQ22 = VecQ22.data();
    const double *PtrNear = X.VecNear.data(), *PtrFar = X.VecFar.data();
    const double* PtrSpan = X.VecSpan.data();
    double* PtrValues = VecValues.data();
    for (std::size_t LngJ = LngFirst; LngJ < LngLast; ++LngJ) {
        const double* PtrLowRow = Map.GetCells() + Y.VecLow[LngJ] * LngInCols;
        const double* PtrHighRow = Map.GetCells() + Y.VecHigh[LngJ] * LngInCols;
        for (std::size_t LngI = 0; LngI < LngSamples; ++LngI) {
            VecQ11[LngI] = PtrLowRow[X.VecLow[LngI]];
            VecQ21[LngI] = PtrLowRow[X.VecHigh[LngI]];
            VecQ12[LngI] = PtrHighRow[X.VecLow[LngI]];
            VecQ22[LngI] = PtrHighRow[X.VecHigh[LngI]];
        }
        const double DblYNear = Y.VecNear[LngJ], DblYFar = Y.VecFar[LngJ], DblYSpan = Y.VecSpan[LngJ];
        for (std::size_t LngI = 0; LngI < LngSamples; ++LngI) {
            // A corner without data gives no value, rather than one mixed
            // with the no-data marker.
            const bool BlnNoData = (PtrQ11[LngI] == DblNoData) | (PtrQ21[LngI] == DblNoData)
                | (PtrQ12[LngI] == DblNoData) | (PtrQ22[LngI] == DblNoData);
            const double DblValue = Bilinear(PtrQ11[LngI], PtrQ21[LngI], PtrQ12[LngI], PtrQ22[LngI],
                                             PtrNear[LngI], PtrFar[LngI], PtrSpan[LngI], DblYNear,
                                             DblYFar, DblYSpan);
            PtrValues[LngI] = BlnNoData ? DblNoData : DblValue;
        }
        double* PtrOutRow = Result.GetCells() + Y.VecOut[LngJ] * Result.GetXDim();
        for (std::size_t LngI = 0; LngI < LngSamples; ++LngI)
            PtrOutRow[X.VecOut[LngI]] = VecValues[LngI];
    }
}

// LngIndex moved LngBuffer cells toward higher indices (BlnUp) or lower
// ones, then kept within 0 and LngLast; any buffer is safe, LONG_MIN too.
long Widened(long LngIndex, long LngBuffer, bool BlnUp, long LngLast)
{
    long LngMoved = 0;
    const bool BlnOverflow = BlnUp ? __builtin_add_overflow(LngIndex, LngBuffer, &LngMoved)
                                   : __builtin_sub_overflow(LngIndex, LngBuffer, &LngMoved);
    if (BlnOverflow)
        LngMoved = BlnUp == (LngBuffer > 0) ? LONG_MAX : LONG_MIN;
    return std::max(0L, std::min(LngMoved, LngLast));
}

}  // namespace

double TMapTools::BilinearInterpolate(double DblQ11, double DblQ21, double DblQ12, double DblQ22,
                                      double DblX, double DblX1, double DblX2, double DblY,
                                      double DblY1, double DblY2)
{
    return Bilinear(DblQ11, DblQ21, DblQ12, DblQ22, DblX - DblX1, DblX2 - DblX, DblX2 - DblX1,
                    DblY - DblY1, DblY2 - DblY, DblY2 - DblY1);
}

void TMapTools::BilinearInterpolate(const TMapPoint* PtrQ11, const TMapPoint* PtrQ21,
                                    const TMapPoint* PtrQ12, const TMapPoint* PtrQ22,
                                    TMapPoint* PtrTarget)
{
    PtrTarget->SetValue(BilinearInterpolate(
        PtrQ11->GetValue(), PtrQ21->GetValue(), PtrQ12->GetValue(), PtrQ22->GetValue(),
        PtrTarget->GetX(), PtrQ11->GetX(), PtrQ21->GetX(), PtrTarget->GetY(), PtrQ11->GetY(),
        PtrQ12->GetY()));
}

TMap* TMapTools::BilinearInterpolate(const TMap* PtrMap, double DblResolution)
{
    if (!(DblResolution > 0.0))
        throw TError("New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate");
    PtrMap->RequireAxes("TMapTools::BilinearInterpolate");
    std::unique_ptr<TMap> PtrResult =
        Frame(*PtrMap, DblResolution, PtrMap->GetNoDataValue(), "TMapTools::BilinearInterpolate");

    // Samples start one input cell inside the frame's west and north edges
    // and stay one input cell (and one new cell in X and north) inside the
    // others; the first row of each column is taken untested.
    const double DblR = PtrMap->GetResolution();
    const double DblS = DblResolution;
    const std::vector<double> VecXEdges = PtrResult->GetXAxisInterval()->GetValues('X');
    const std::vector<double> VecYEdges = PtrResult->GetYAxisInterval()->GetValues('Y');
    const double DblX1 = VecXEdges.front(), DblX2 = VecXEdges.back();
    const double DblY1 = VecYEdges.front(), DblY2 = VecYEdges.back();
    const bool BlnFalling = DblY1 > DblY2;
    std::vector<double> VecXPos =
        Positions(DblX1 + DblR, DblS, false, [&](double DblX) { return DblX <= DblX2 - DblR - DblS; });
    std::vector<double> VecYPos = BlnFalling
        ? Positions(DblY1 - DblR - DblS, -DblS, true, [&](double DblY) { return DblY >= DblY2 + DblR; })
        : Positions(DblY1 + DblR, DblS, true, [&](double DblY) { return DblY <= DblY2 - DblR; });
    if (VecXPos.empty())
        return PtrResult.release();

    const TSampleLine X = SampleLine(std::move(VecXPos), *PtrResult, *PtrMap, 'X', -1);
    const TSampleLine Y = SampleLine(std::move(VecYPos), *PtrResult, *PtrMap, 'Y', BlnFalling ? 1 : -1);
    // The first failing sample, columns outer: column 0 when any row fails.
    if (Y.LngFirstFailure >= 0)
        ThrowSampleFailure(*PtrResult, *PtrMap, X, 0, Y,
                           X.Fails(0) ? 0 : static_cast<std::size_t>(Y.LngFirstFailure));
    if (X.LngFirstFailure >= 0)
        ThrowSampleFailure(*PtrResult, *PtrMap, X, static_cast<std::size_t>(X.LngFirstFailure), Y, 0);

    // Every sample lies in its own result cell, whichever order they are
    // visited in; rows outer keeps to memory order and lets the cores share
    // the rows.
    TSlices::Run(Y.VecPos.size(), TSlices::MinCells / X.VecPos.size() + 1,
                 [&](std::size_t LngFirst, std::size_t LngLast) {
                     SampleRows(*PtrMap, X, Y, LngFirst, LngLast, *PtrResult);
                 });
    return PtrResult.release();
}

TMap* TMapTools::Downscale(const TMap* PtrMap, double DblResolution)
{
    return Downscale(PtrMap, DblResolution, -9999.0);
}

TMap* TMapTools::Downscale(const TMap* PtrMap, double DblResolution, double DblNoData)
{
    if (!(DblResolution > 0.0))
        throw TError("New resolution cannot be <= 0.0 in TMapTools::Downscale");
    PtrMap->RequireAxes("TMapTools::Downscale");
    return Frame(*PtrMap, DblResolution, DblNoData, "TMapTools::Downscale").release();
}

TMap* TMapTools::Subdivide(const TMap* PtrMap, int LngFactor)
{
    if (LngFactor < 1)
        throw TError("Subdivision factor must be >= 1 in TMapTools::Subdivide");
    PtrMap->RequireAxes("TMapTools::Subdivide");
    const long LngK = LngFactor;
    const long LngXDim = PtrMap->GetXDim();
    const long LngYDim = PtrMap->GetYDim();
    const double DblFine = PtrMap->GetResolution() / LngK;
    auto PtrResult = std::make_unique<TMap>(DblFine, TGridSize::Dimension(LngK, LngXDim),
                                            TGridSize::Dimension(LngK, LngYDim));
    // The cells are the input's, no-data cells included, so they keep its
    // no-data value: under another one they would pass for data.
    PtrResult->SetNoDataValue(PtrMap->GetNoDataValue());
    const double* PtrIn = PtrMap->GetCells();
    double* PtrOut = PtrResult->GetCells();
    TMapKernel::ForRows(*PtrMap, [=](std::size_t LngFirst, std::size_t LngLast) {
        for (std::size_t LngY = LngFirst; LngY < LngLast; ++LngY) {
            double* PtrFirstRow = PtrOut + LngY * LngK * LngK * LngXDim;
            for (long LngX = 0; LngX < LngXDim; ++LngX)
                std::fill(PtrFirstRow + LngX * LngK, PtrFirstRow + (LngX + 1) * LngK,
                          PtrIn[LngY * LngXDim + LngX]);
            for (long LngCopy = 1; LngCopy < LngK; ++LngCopy)
                std::copy(PtrFirstRow, PtrFirstRow + LngK * LngXDim,
                          PtrFirstRow + LngCopy * LngK * LngXDim);
        }
    });
    PtrResult->SetXAxisInterval(FineEdges(*PtrMap, 'X', LngK, DblFine).get());
    PtrResult->SetYAxisInterval(FineEdges(*PtrMap, 'Y', LngK, DblFine).get());
    return PtrResult.release();
}

void TMapTools::BufferIndices(const TMap* PtrMap, long LngBuffer, long& LngNorth, long& LngSouth,
                              long& LngWest, long& LngEast)
{
    const long LngXLast = PtrMap->GetXDim() - 1;
    const long LngYLast = PtrMap->GetYDim() - 1;
    LngWest = Widened(LngWest, LngBuffer, false, LngXLast);
    LngEast = Widened(LngEast, LngBuffer, true, LngXLast);
    LngNorth = Widened(LngNorth, LngBuffer, false, LngYLast);
    LngSouth = Widened(LngSouth, LngBuffer, true, LngYLast);
}
