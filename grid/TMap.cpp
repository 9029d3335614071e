#include "grid/TMap.h"

#include "grid/TAxisLookup.h"
#include "grid/TGridSize.h"

#include <cassert>
#include <cstddef>
#include <new>
#include <string>
#include <utility>

namespace {

// Reports a column, then a row, outside the map in the words of StgOperation.
void CheckCell(const TMap& Map, long LngX, long LngY, const char* StgOperation)
{
    if (LngX < 0 || LngX >= Map.GetXDim())
        throw TError(std::string("LngX is out of range in ") + StgOperation);
    if (LngY < 0 || LngY >= Map.GetYDim())
        throw TError(std::string("LngY is out of range in ") + StgOperation);
}

// The centre of the cell, checked against the centre axes themselves.
TPoint CellCentre(const TMap& Map, long LngX, long LngY)
{
    Map.RequireAxes("TMap::GetCoordinates");
    const TAxis& XAxis = *Map.GetXAxis();
    const TAxis& YAxis = *Map.GetYAxis();
    if (LngX < 0 || LngX >= XAxis.GetSize())
        throw TError("LngX is out of range for the X-axis in TMap::GetCoordinates");
    if (LngY < 0 || LngY >= YAxis.GetSize())
        throw TError("LngY is out of range for the Y-axis in TMap::GetCoordinates");
    return TPoint(XAxis.GetFilledPoint(LngX).GetX(), YAxis.GetFilledPoint(LngY).GetY());
}

std::unique_ptr<const TAxisLookup> LookupOf(const TAxis* PtrEdges, char ChrAxis)
{
    return PtrEdges ? std::make_unique<const TAxisLookup>(*PtrEdges, ChrAxis) : nullptr;
}

} // namespace

TMap::TMap(double DblResolution) : MbrDblResolution(DblResolution) {}

TMap::TMap(double DblResolution, long LngXDim, long LngYDim) : MbrDblResolution(DblResolution)
{
    Init(DblResolution, LngXDim, LngYDim, -9999.0);
}

TMap::TMap(double DblResolution, long LngXDim, long LngYDim, TCellBlock Cells)
    : MbrDblResolution(DblResolution), MbrLngXDim(LngXDim), MbrLngYDim(LngYDim),
      MbrCells(std::move(Cells))
{
    if (LngXDim < 0 || LngYDim < 0
        || MbrCells.Size() != TGridSize::Cells(LngXDim, LngYDim))
        throw TError("Cells do not match the dimensions in TMap::TMap");
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
    MbrPtrColumns = LookupOf(MbrPtrXAxisInterval.get(), 'X');
    MbrPtrRows = LookupOf(MbrPtrYAxisInterval.get(), 'Y');
}

TMap* TMap::OnGeometryOf(const TMap* PtrSource, double DblNoDataValue)
{
    PtrSource->RequireAxes("TMap::OnGeometryOf");
    return new TMap(PtrSource->GetResolution(), *PtrSource->GetXAxis(),
                    *PtrSource->GetXAxisInterval(), *PtrSource->GetYAxis(),
                    *PtrSource->GetYAxisInterval(), DblNoDataValue);
}

TMap* TMap::OnBlockOf(const TMap* PtrSource, long LngX1, long LngY1, long LngX2, long LngY2)
{
    PtrSource->RequireAxes("TMap::OnBlockOf");
    // The centre segments first: their checks give the messages for indices
    // outside the map.
    const std::unique_ptr<TAxis> PtrXAxis(PtrSource->GetXAxis()->GetSegment(LngX1, LngX2));
    const std::unique_ptr<TAxis> PtrYAxis(PtrSource->GetYAxis()->GetSegment(LngY1, LngY2));
    const std::unique_ptr<TAxis> PtrXEdges(
        PtrSource->GetXAxisInterval()->GetSegment(LngX1, LngX2 + 1));
    const std::unique_ptr<TAxis> PtrYEdges(
        PtrSource->GetYAxisInterval()->GetSegment(LngY1, LngY2 + 1));
    return new TMap(PtrSource->GetResolution(), *PtrXAxis, *PtrXEdges, *PtrYAxis, *PtrYEdges,
                    -9999.0);
}

TMap::~TMap() = default;

void TMap::Init(double DblResolution, long LngXDim, long LngYDim, double DblNoDataValue)
{
    if (LngXDim < 0 || LngYDim < 0)
        throw TError("Dimensions must not be negative in TMap::Init");
    MbrCells = TCellBlock(TGridSize::Cells(LngXDim, LngYDim), DblNoDataValue);
    MbrPtrXAxis.reset();
    MbrPtrYAxis.reset();
    MbrPtrXAxisInterval.reset();
    MbrPtrYAxisInterval.reset();
    MbrPtrColumns.reset();
    MbrPtrRows.reset();
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
    CheckCell(*this, LngX, LngY, "TMap::GetPoint (long,long)");
    const TPoint Centre = CellCentre(*this, LngX, LngY);
    return new TMapPoint(Centre.GetX(), Centre.GetY(), GetPointVal(LngX, LngY));
}

void TMap::RequireAxes(const char* StgWhere) const
{
    if (!HasAxes())
        throw TError(std::string("Axes are not set in ") + StgWhere);
}

bool TMap::IsSouthUp() const
{
    if (!HasAxes())
        return false;
    const TAxis& YEdges = *MbrPtrYAxisInterval;
    return YEdges.GetFilledPoint(MbrLngYDim).GetY() > YEdges.GetFilledPoint(0).GetY();
}

long TMap::GetIndex(double DblValue, char ChrAxis) const
{
    RequireAxes("TMap::GetIndex");
    return ChrAxis == 'X' ? MbrPtrColumns->Index(DblValue) : MbrPtrRows->Index(DblValue);
}

// Both lookups first, then the checks, so a position on the east or north
// edge (lookup -1) is reported.
std::pair<long, long> TMap::CellAt(const TPoint* PtrPosition, const char* StgOperation) const
{
    RequireAxes(StgOperation);
    const std::pair<long, long> Cell(MbrPtrColumns->Index(PtrPosition->GetX()),
                                     MbrPtrRows->Index(PtrPosition->GetY()));
    CheckCell(*this, Cell.first, Cell.second, StgOperation);
    return Cell;
}

double TMap::GetPointVal(const TPoint* PtrPosition) const
{
    const std::pair<long, long> Cell = CellAt(PtrPosition, "TMap::GetPointVal");
    return MbrCells.Data()[Cell.second * MbrLngXDim + Cell.first];
}

TMapPoint* TMap::GetPoint(const TPoint* PtrPosition) const
{
    const std::pair<long, long> Cell = CellAt(PtrPosition, "TMap::GetPoint (TPoint*)");
    return new TMapPoint(PtrPosition->GetX(), PtrPosition->GetY(),
                         MbrCells.Data()[Cell.second * MbrLngXDim + Cell.first]);
}

void TMap::SetPoint(const TPoint* PtrPosition, double DblValue)
{
    const std::pair<long, long> Cell = CellAt(PtrPosition, "TMap::SetPoint (TPoint*)");
    MbrCells.Data()[Cell.second * MbrLngXDim + Cell.first] = DblValue;
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
    if (MbrPtrXAxis || MbrPtrYAxis)
        throw TError("Rows cannot be added to a map that has axes in TMap::AddRow");
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
    // Every slot filled, so that no later read meets an empty one.
    PtrAxis->GetValues(ChrAxis);

    // Everything new is built before anything old goes: a failed conversion
    // (an empty axis) leaves the map as it was, and PtrAxis may be one of the
    // map's own axes.
    std::unique_ptr<TAxis> PtrCopy(PtrAxis->Clone());
    std::unique_ptr<TAxis> PtrDerived(BlnEdges ? TAxisTools::IntervalsToPoints(PtrAxis, ChrAxis)
                                               : TAxisTools::PointsToIntervals(PtrAxis, ChrAxis));
    std::unique_ptr<const TAxisLookup> PtrLookup =
        LookupOf(BlnEdges ? PtrCopy.get() : PtrDerived.get(), ChrAxis);
    std::unique_ptr<TAxis>& PtrCentres = BlnX ? MbrPtrXAxis : MbrPtrYAxis;
    std::unique_ptr<TAxis>& PtrEdges = BlnX ? MbrPtrXAxisInterval : MbrPtrYAxisInterval;
    PtrCentres = std::move(BlnEdges ? PtrDerived : PtrCopy);
    PtrEdges = std::move(BlnEdges ? PtrCopy : PtrDerived);
    (BlnX ? MbrPtrColumns : MbrPtrRows) = std::move(PtrLookup);

    if (BlnX) {
        assert (MbrPtrXAxis -> GetSize () == MbrLngXDim);
        assert (MbrPtrXAxisInterval -> GetSize () == MbrLngXDim + 1);
    } else {
        assert (MbrPtrYAxis -> GetSize () == MbrLngYDim);
        assert (MbrPtrYAxisInterval -> GetSize () == MbrLngYDim + 1);
    }
}
