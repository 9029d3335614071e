#include "grid/TMap.h"

#include <cassert>
#include <cstddef>
#include <new>
#include <string>
#include <utility>

namespace {

// The axis an operation needs. A map built from a cell size has none until
// the caller sets them, and reports that rather than follow a null axis.
const TAxis& RequireAxis(const TAxis* PtrAxis, const char* StgOperation)
{
    if (!PtrAxis)
        throw TError(std::string("Axes are not set in TMap::") + StgOperation);
    return *PtrAxis;
}

// Reports a column, then a row, outside the map in the words of StgOperation.
void CheckCell(const TMap& Map, long LngX, long LngY, const char* StgOperation)
{
    if (LngX < 0 || LngX >= Map.GetXDim())
        throw TError(std::string("LngX is out of range in TMap::") + StgOperation);
    if (LngY < 0 || LngY >= Map.GetYDim())
        throw TError(std::string("LngY is out of range in TMap::") + StgOperation);
}

struct TCell {
    long LngX;
    long LngY;
};

// The cell that holds the position: both edge-axis lookups first, then the
// checks, so a position on the east or north edge (lookup -1) is reported.
TCell CellAt(const TMap& Map, const TPoint* PtrPosition, const char* StgOperation)
{
    const TCell Cell{
        RequireAxis(Map.GetXAxisInterval(), StgOperation).GetIndex(PtrPosition->GetX(), 'X'),
        RequireAxis(Map.GetYAxisInterval(), StgOperation).GetIndex(PtrPosition->GetY(), 'Y')};
    CheckCell(Map, Cell.LngX, Cell.LngY, StgOperation);
    return Cell;
}

// The centre of the cell, checked against the centre axes themselves.
TPoint CellCentre(const TMap& Map, long LngX, long LngY)
{
    const TAxis& XAxis = RequireAxis(Map.GetXAxis(), "GetCoordinates");
    const TAxis& YAxis = RequireAxis(Map.GetYAxis(), "GetCoordinates");
    if (LngX < 0 || LngX >= XAxis.GetSize())
        throw TError("LngX is out of range for the X-axis in TMap::GetCoordinates");
    if (LngY < 0 || LngY >= YAxis.GetSize())
        throw TError("LngY is out of range for the Y-axis in TMap::GetCoordinates");
    return TPoint(XAxis.GetFilledPoint(LngX).GetX(), YAxis.GetFilledPoint(LngY).GetY());
}

} // namespace

TMap::TMap(double DblResolution) : MbrDblResolution(DblResolution) {}

TMap::TMap(double DblResolution, long LngXDim, long LngYDim) : MbrDblResolution(DblResolution)
{
    Init(DblResolution, LngXDim, LngYDim, -9999.0);
}

TMap::TMap(const TAxis* PtrXAxis, const TAxis* PtrYAxis)
    : MbrDblResolution(PtrXAxis->GetResolution())
{
    if (PtrXAxis->GetResolution() != PtrYAxis->GetResolution())
        throw TError("Axes resolutions do not match in TMap::TMap");
    Init(PtrXAxis->GetResolution(), PtrXAxis->GetSize(), PtrYAxis->GetSize(), -9999.0);
    SetXAxis(PtrXAxis);
    SetYAxis(PtrYAxis);
}

TMap::TMap(double DblResolution, const TAxis& XAxis, const TAxis& XEdges, const TAxis& YAxis,
           const TAxis& YEdges, double DblNoDataValue)
    : MbrDblResolution(DblResolution)
{
    Init(DblResolution, XAxis.GetSize(), YAxis.GetSize(), DblNoDataValue);
    MbrPtrXAxis.reset(XAxis.Clone());
    MbrPtrXAxisInterval.reset(XEdges.Clone());
    MbrPtrYAxis.reset(YAxis.Clone());
    MbrPtrYAxisInterval.reset(YEdges.Clone());
    assert (MbrPtrXAxisInterval -> GetSize () == MbrLngXDim + 1);
    assert (MbrPtrYAxisInterval -> GetSize () == MbrLngYDim + 1);
}

TMap* TMap::OnGeometryOf(const TMap* PtrSource, double DblNoDataValue)
{
    const char* StgOperation = "OnGeometryOf";
    return new TMap(PtrSource->GetResolution(), RequireAxis(PtrSource->GetXAxis(), StgOperation),
                    RequireAxis(PtrSource->GetXAxisInterval(), StgOperation),
                    RequireAxis(PtrSource->GetYAxis(), StgOperation),
                    RequireAxis(PtrSource->GetYAxisInterval(), StgOperation), DblNoDataValue);
}

TMap* TMap::OnBlockOf(const TMap* PtrSource, long LngX1, long LngY1, long LngX2, long LngY2)
{
    const char* StgOperation = "OnBlockOf";
    // The centre segments first: their checks give the messages for indices
    // outside the map.
    const std::unique_ptr<TAxis> PtrXAxis(
        RequireAxis(PtrSource->GetXAxis(), StgOperation).GetSegment(LngX1, LngX2));
    const std::unique_ptr<TAxis> PtrYAxis(
        RequireAxis(PtrSource->GetYAxis(), StgOperation).GetSegment(LngY1, LngY2));
    const std::unique_ptr<TAxis> PtrXEdges(
        RequireAxis(PtrSource->GetXAxisInterval(), StgOperation).GetSegment(LngX1, LngX2 + 1));
    const std::unique_ptr<TAxis> PtrYEdges(
        RequireAxis(PtrSource->GetYAxisInterval(), StgOperation).GetSegment(LngY1, LngY2 + 1));
    return new TMap(PtrSource->GetResolution(), *PtrXAxis, *PtrXEdges, *PtrYAxis, *PtrYEdges,
                    -9999.0);
}

TMap::~TMap() = default;

void TMap::Init(double DblResolution, long LngXDim, long LngYDim, double DblNoDataValue)
{
    if (LngXDim < 0 || LngYDim < 0)
        throw TError("Dimensions must not be negative in TMap::Init");
    std::size_t LngCells = 0;
    if (__builtin_mul_overflow(static_cast<std::size_t>(LngXDim),
                               static_cast<std::size_t>(LngYDim), &LngCells))
        throw std::bad_alloc();
    MbrCells = TCellBlock(LngCells, DblNoDataValue);
    MbrPtrXAxis.reset();
    MbrPtrYAxis.reset();
    MbrPtrXAxisInterval.reset();
    MbrPtrYAxisInterval.reset();
    MbrDblResolution = DblResolution;
    MbrLngXDim = LngXDim;
    MbrLngYDim = LngYDim;
    MbrDblNoDataValue = DblNoDataValue;
}

void TMap::InitValues(double DblValue)
{
    MbrCells.Fill(DblValue);
}

TPoint* TMap::GetCoordinates(long LngX, long LngY) const
{
    return new TPoint(CellCentre(*this, LngX, LngY));
}

TMapPoint* TMap::GetPoint(long LngX, long LngY) const
{
    CheckCell(*this, LngX, LngY, "GetPoint (long,long)");
    const TPoint Centre = CellCentre(*this, LngX, LngY);
    return new TMapPoint(Centre.GetX(), Centre.GetY(), GetPointVal(LngX, LngY));
}

long TMap::GetIndex(double DblValue, char ChrAxis) const
{
    if (ChrAxis == 'X')
        return RequireAxis(GetXAxisInterval(), "GetIndex").GetIndex(DblValue, 'X');
    return RequireAxis(GetYAxisInterval(), "GetIndex").GetIndex(DblValue, ChrAxis);
}

double TMap::GetPointVal(const TPoint* PtrPosition) const
{
    const TCell Cell = CellAt(*this, PtrPosition, "GetPointVal");
    return GetPointVal(Cell.LngX, Cell.LngY);
}

TMapPoint* TMap::GetPoint(const TPoint* PtrPosition) const
{
    const TCell Cell = CellAt(*this, PtrPosition, "GetPoint (TPoint*)");
    return new TMapPoint(PtrPosition->GetX(), PtrPosition->GetY(),
                         GetPointVal(Cell.LngX, Cell.LngY));
}

void TMap::SetPoint(const TPoint* PtrPosition, double DblValue)
{
    const TCell Cell = CellAt(*this, PtrPosition, "SetPoint (TPoint*)");
    SetPoint(Cell.LngX, Cell.LngY, DblValue);
}

std::vector<double> TMap::GetPointValues(const std::vector<TPoint*>& VecPositions) const
{
    std::vector<double> VecValues;
    VecValues.reserve(VecPositions.size());
    for (const TPoint* PtrPosition : VecPositions)
        VecValues.push_back(GetPointVal(PtrPosition));
    return VecValues;
}

std::vector<double> TMap::GetRow(long LngY) const
{
    if (LngY < 0 || LngY >= MbrLngYDim)
        throw TError("Index is out of bounds in TMap::GetRow");
    const double* PtrRow = GetCells() + LngY * MbrLngXDim;
    return std::vector<double>(PtrRow, PtrRow + MbrLngXDim);
}

void TMap::AddRow(std::vector<double> VecValues)
{
    const long LngLength = static_cast<long>(VecValues.size());
    // A row of another length would leave cells that reads walk past.
    const bool BlnFirstRow = MbrLngXDim == 0 && MbrLngYDim == 0;
    if (!BlnFirstRow && LngLength != MbrLngXDim)
        throw TError("Length of new row does not match the X dimension of the map in TMap::AddRow");
    MbrCells.Append(VecValues.data(), VecValues.size());
    MbrLngXDim = LngLength;
    ++MbrLngYDim;
}

void TMap::SetXAxis(const TAxis* PtrAxis)
{
    ReplaceAxes(PtrAxis, 'X', TAxisKind::Centres,
                "Length of new X axis does not match the X dimension of the map");
}

void TMap::SetYAxis(const TAxis* PtrAxis)
{
    ReplaceAxes(PtrAxis, 'Y', TAxisKind::Centres,
                "Length of new Y axis does not match the Y dimension of the map");
}

void TMap::SetXAxisInterval(const TAxis* PtrAxis)
{
    ReplaceAxes(PtrAxis, 'X', TAxisKind::Edges,
                "Length of new X interval axis does not fit the X dimension of the map");
}

void TMap::SetYAxisInterval(const TAxis* PtrAxis)
{
    ReplaceAxes(PtrAxis, 'Y', TAxisKind::Edges,
                "Length of new Y interval axis does not fit the Y dimension of the map");
}

void TMap::ReplaceAxes(const TAxis* PtrAxis, char ChrAxis, TAxisKind Kind,
                       const char* StgSizeMismatch)
{
    const bool BlnX = ChrAxis == 'X';
    const bool BlnEdges = Kind == TAxisKind::Edges;
    const long LngDim = BlnX ? MbrLngXDim : MbrLngYDim;
    if (PtrAxis->GetSize() != (BlnEdges ? LngDim + 1 : LngDim))
        throw TError(StgSizeMismatch);

    // Both new axes are built before either old one goes: a failed conversion
    // (an empty axis) leaves the map as it was, and PtrAxis may be one of the
    // map's own axes.
    std::unique_ptr<TAxis> PtrCopy(PtrAxis->Clone());
    std::unique_ptr<TAxis> PtrDerived(BlnEdges ? TAxisTools::IntervalsToPoints(PtrAxis, ChrAxis)
                                               : TAxisTools::PointsToIntervals(PtrAxis, ChrAxis));
    std::unique_ptr<TAxis>& PtrCentres = BlnX ? MbrPtrXAxis : MbrPtrYAxis;
    std::unique_ptr<TAxis>& PtrEdges = BlnX ? MbrPtrXAxisInterval : MbrPtrYAxisInterval;
    PtrCentres = std::move(BlnEdges ? PtrDerived : PtrCopy);
    PtrEdges = std::move(BlnEdges ? PtrCopy : PtrDerived);

    if (BlnX) {
        assert (MbrPtrXAxis -> GetSize () == MbrLngXDim);
        assert (MbrPtrXAxisInterval -> GetSize () == MbrLngXDim + 1);
    } else {
        assert (MbrPtrYAxis -> GetSize () == MbrLngYDim);
        assert (MbrPtrYAxisInterval -> GetSize () == MbrLngYDim + 1);
    }
}
