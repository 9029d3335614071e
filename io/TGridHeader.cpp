#include "io/TGridHeader.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iterator>
#include <string_view>
#include <vector>

#include "util/TError.h"
#include "io/TGridHeaderMessages.h"
#include "util/TTextWriter.h"

// A grid must lie on the map: a positive cell size, finite corners, and far
// edges (corner + cells x cellsize) that do not overflow.
void TGridHeader::CheckGeometry() const
{
    if (!(std::isfinite(DblCellSize) && DblCellSize > 0.0))
        throw TError(TGridHeaderMessages::CellSizeNotPositive);
    // In halves, so that cells x cellsize cannot overflow where the sum would
    // not (a corner far west of a wide grid).
    const auto FitsFrom = [this](double DblCorner, long LngCells) {
        const double DblHalfFar =
            DblCorner / 2 + static_cast<double>(LngCells) * (DblCellSize / 2);
        return std::isfinite(DblCorner) && std::fabs(DblHalfFar) <= DBL_MAX / 2;
    };
    if (!FitsFrom(DblXllCorner, LngCols)
        || !FitsFrom(DblYllCorner, LngRows))
        throw TError(TGridHeaderMessages::ExtentOutOfRange);
}

const double TGridHeader::TUnusedNoData::ArrCandidates[14] = {
    -9999.0,          -99999.0,          -999999.0,          -9999999.0, -99999999.0,
    -999999999.0,     -9999999999.0,     -99999999999.0,     -999999999999.0,
    -9999999999999.0, -99999999999999.0, -999999999999999.0, -DBL_MAX,   -HUGE_VAL};

void TGridHeader::TUnusedNoData::Add(const double* PtrCells, std::size_t LngCount)
{
    for (std::size_t LngCell = 0; LngCell < LngCount; ++LngCell) {
        if (!(PtrCells[LngCell] <= ArrCandidates[0]))
            continue;
        for (std::size_t LngAt = 0; LngAt < std::size(ArrCandidates); ++LngAt)
            MbrArrBlnHeld[LngAt] = MbrArrBlnHeld[LngAt] || PtrCells[LngCell] == ArrCandidates[LngAt];
    }
}

double TGridHeader::TUnusedNoData::Value() const
{
    for (std::size_t LngAt = 0; LngAt < std::size(ArrCandidates); ++LngAt)
        if (!MbrArrBlnHeld[LngAt])
            return ArrCandidates[LngAt];
    return std::nan("");
}

double TGridHeader::UnusedNoDataValue(const double* PtrCells, std::size_t LngCount)
{
    TUnusedNoData Unused;
    Unused.Add(PtrCells, LngCount);
    return Unused.Value();
}

TGridHeader TGridHeader::OfMap(const TMap* PtrMap)
{
    PtrMap->RequireAxes("TARCGISFileTools::WriteARCGISFile");
    const TAxis* PtrXEdges = PtrMap->GetXAxisInterval();
    const TAxis* PtrYEdges = PtrMap->GetYAxisInterval();
    TGridHeader Header;
    Header.LngCols = PtrMap->GetXDim();
    Header.LngRows = PtrMap->GetYDim();
    Header.DblXllCorner = PtrXEdges->GetPoint(0)->GetX();
    // Y edges fall on north-up maps and rise on south-up ones.
    Header.DblYllCorner =
        std::min(PtrYEdges->GetPoint(0)->GetY(), PtrYEdges->GetPoint(Header.LngRows)->GetY());
    Header.DblCellSize = PtrMap->GetResolution();
    Header.DblNoDataValue = PtrMap->GetNoDataValue();
    return Header;
}

// Repeated addition from the lower-left corner, never corner + k * cellsize:
// edges land exactly where the reader has always put them.
std::pair<std::unique_ptr<TAxis>, std::unique_ptr<TAxis>> TGridHeader::EdgeAxes() const
{
    std::vector<double> VecY = TAxisTools::SteppedValues(DblYllCorner, DblCellSize, LngRows + 1);
    const double DblNorth = VecY.back();
    std::reverse(VecY.begin(), VecY.end());
    std::unique_ptr<TAxis> PtrYEdges(TAxisTools::AxisOfValues(DblCellSize, VecY, 'Y', DblXllCorner));
    std::unique_ptr<TAxis> PtrXEdges(TAxisTools::AxisOfValues(
        DblCellSize, TAxisTools::SteppedValues(DblXllCorner, DblCellSize, LngCols + 1), 'X', DblNorth));
    return {std::move(PtrXEdges), std::move(PtrYEdges)};
}

std::string TGridHeader::Text(int LngDigits) const
{
    constexpr std::size_t CornerWidth = 8;
    // Coordinates keep at least the usual digits, whatever the cells get:
    // a corner is never rounded to the cells' precision.
    const int LngPlaceDigits = std::max(TNumberFormat::DefaultDigits, LngDigits);
    TTextWriter Text;
    Text.Put("ncols ");
    Text.PutInteger(LngCols);
    Text.EndLine();
    Text.Put("nrows ");
    Text.PutInteger(LngRows);
    Text.EndLine();
    Text.Put("xllcorner ");
    Text.PutPlainNumber(DblXllCorner, CornerWidth, LngPlaceDigits);
    Text.EndLine();
    Text.Put("yllcorner ");
    Text.PutPlainNumber(DblYllCorner, CornerWidth, LngPlaceDigits);
    Text.EndLine();
    Text.Put("cellsize ");
    Text.PutPlainNumber(DblCellSize, 0, LngPlaceDigits);
    Text.EndLine();
    Text.Put("NODATA_value ");
    Text.PutNumber(DblNoDataValue, LngDigits);
    Text.EndLine();
    return std::string(Text.Text());
}

// Per axis point: the point's allocation and its slot; each direction has an
// edge axis and a centre axis, plus the edges the reader builds first.
double TGridHeader::MapBytes() const
{
    constexpr double DblPerAxisPoint = 3 * 40.0;
    const double DblPoints = static_cast<double>(LngCols) + static_cast<double>(LngRows) + 2.0;
    return DblPerAxisPoint * DblPoints
        + 8.0 * static_cast<double>(LngCols) * static_cast<double>(LngRows);
}

void TGridHeader::ThrowTooLarge()
{
    throw TError("Grid is too large for memory in TARCGISFileTools::LoadARCGISFile");
}
