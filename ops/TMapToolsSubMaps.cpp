#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "ops/TCellLookup.h"
#include "ops/TMapKernel.h"
#include "ops/TMapTools.h"
#include "util/TPointTools.h"

using TMapKernel::ForRows;

namespace {

// A map's edges as its edge axes give them.
struct TEdges {
    double DblWest;
    double DblEast;
    double DblNorth;
    double DblSouth;
};

TEdges EdgesOf(const TMap& Map, const char* StgWhere)
{
    Map.RequireAxes(StgWhere);
    const TAxis& XEdges = *Map.GetXAxisInterval();
    const TAxis& YEdges = *Map.GetYAxisInterval();
    return {XEdges.GetFilledPoint(0).GetX(), XEdges.GetFilledPoint(Map.GetXDim()).GetX(),
            YEdges.GetFilledPoint(0).GetY(), YEdges.GetFilledPoint(Map.GetYDim()).GetY()};
}

// A new map of the block of the map's columns LngX1 to LngX2 and rows LngY1
// to LngY2, both inclusive, on segments of its axes, with its cells.
TMap* CopyBlock(const TMap& Map, long LngX1, long LngY1, long LngX2, long LngY2)
{
    std::unique_ptr<TMap> PtrBlock(TMap::OnBlockOf(&Map, LngX1, LngY1, LngX2, LngY2));
    const std::size_t LngRowBytes = sizeof(double) * static_cast<std::size_t>(LngX2 - LngX1 + 1);
    ForRows(*PtrBlock, [&](std::size_t LngFirst, std::size_t LngLast) {
        for (std::size_t LngRow = LngFirst; LngRow < LngLast; ++LngRow)
            std::memcpy(PtrBlock->GetCells() + LngRow * PtrBlock->GetXDim(),
                        Map.GetCells() + (LngY1 + LngRow) * Map.GetXDim() + LngX1, LngRowBytes);
    });
    return PtrBlock.release();
}

// A cell that reaches past the area by less than this share of its size
// still lies inside it: edges reached on two grids by repeated addition
// differ in their last digits, and must not decide.
constexpr double DblEdgeTolerance = 1.0 / 1024;

struct TSpan {
    long LngFirst;
    long LngLast;
};

// The cells of the map along one direction that lie wholly between DblLow
// and DblHigh; where none does (cells wider than the range), the one holding
// its middle.
TSpan CellsInside(const TMap& Map, char ChrAxis, double DblLow, double DblHigh)
{
    const TAxis& Edges = ChrAxis == 'X' ? *Map.GetXAxisInterval() : *Map.GetYAxisInterval();
    const std::vector<double> VecEdges = Edges.GetValues(ChrAxis);
    const double DblTolerance = std::fabs(Map.GetResolution()) * DblEdgeTolerance;
    TSpan Span{-1, -1};
    for (std::size_t LngCell = 0; LngCell + 1 < VecEdges.size(); ++LngCell) {
        const auto [DblFrom, DblTo] = std::minmax(VecEdges[LngCell], VecEdges[LngCell + 1]);
        if (DblFrom >= DblLow - DblTolerance && DblTo <= DblHigh + DblTolerance) {
            Span.LngFirst = Span.LngFirst < 0 ? static_cast<long>(LngCell) : Span.LngFirst;
            Span.LngLast = static_cast<long>(LngCell);
        }
    }
    if (Span.LngFirst < 0) {
        const long LngMiddle = Map.GetIndex(DblLow / 2 + DblHigh / 2, ChrAxis);
        Span = {LngMiddle, LngMiddle};
    }
    return Span;
}

// The part of the map inside the area from Low (south-west) to High
// (north-east).
TMap* PartInside(const TMap& Map, const TPoint& Low, const TPoint& High)
{
    const TSpan Cols = CellsInside(Map, 'X', Low.GetX(), High.GetX());
    const TSpan Rows = CellsInside(Map, 'Y', Low.GetY(), High.GetY());
    return CopyBlock(Map, Cols.LngFirst, Rows.LngFirst, Cols.LngLast, Rows.LngLast);
}

}  // namespace

void TMapTools::Insert(TMap* PtrDestination, const TMap* PtrInsert)
{
    const TEdges Outer = EdgesOf(*PtrDestination, "TMapTools::Insert");
    const TEdges Inner = EdgesOf(*PtrInsert, "TMapTools::Insert");
    if (Inner.DblWest < Outer.DblWest || Inner.DblNorth > Outer.DblNorth)
        throw TError("Insert map's NW corner is outside of the destination map in "
                     "TMapTools::Insert");
    if (Inner.DblEast > Outer.DblEast || Inner.DblSouth < Outer.DblSouth)
        throw TError("Insert map's SE corner is outside of the destination map in "
                     "TMapTools::Insert");
    if (PtrInsert->GetXDim() == 0 || PtrInsert->GetYDim() == 0)
        return;

    // Every target is found before the first write, so a centre in no
    // destination cell leaves the destination as it was.
    const TPartnerCells Targets = TPartnerCells::Of(*PtrInsert, *PtrDestination);
    const double* PtrFrom = PtrInsert->GetCells();
    double* PtrTo = PtrDestination->GetCells();
    const long LngToXDim = PtrDestination->GetXDim();
    const long LngFromXDim = PtrInsert->GetXDim();
    // Rows go to distinct destination rows unless the insert map's cells are
    // the smaller, and then the last write must win: only then one thread.
    const auto CopyRows = [&](std::size_t LngFirst, std::size_t LngLast) {
        for (std::size_t LngY = LngFirst; LngY < LngLast; ++LngY) {
            double* PtrToRow = PtrTo + Targets.VecRows[LngY] * LngToXDim;
            const double* PtrFromRow = PtrFrom + LngY * LngFromXDim;
            for (long LngX = 0; LngX < LngFromXDim; ++LngX)
                PtrToRow[Targets.VecCols[LngX]] = PtrFromRow[LngX];
        }
    };
    std::vector<long> VecRows = Targets.VecRows;
    std::sort(VecRows.begin(), VecRows.end());
    if (std::adjacent_find(VecRows.begin(), VecRows.end()) == VecRows.end())
        ForRows(*PtrInsert, CopyRows);
    else
        CopyRows(0, static_cast<std::size_t>(PtrInsert->GetYDim()));
}

TMap* TMapTools::Extract(const TMap* PtrMap, const TPoint* PtrFirst, const TPoint* PtrSecond)
{
    long LngX1 = PtrMap->GetIndex(PtrFirst->GetX(), 'X');
    long LngY1 = PtrMap->GetIndex(PtrFirst->GetY(), 'Y');
    long LngX2 = PtrMap->GetIndex(PtrSecond->GetX(), 'X');
    long LngY2 = PtrMap->GetIndex(PtrSecond->GetY(), 'Y');
    if (LngX1 > LngX2)
        std::swap(LngX1, LngX2);
    if (LngY1 > LngY2)
        std::swap(LngY1, LngY2);
    return CopyBlock(*PtrMap, LngX1, LngY1, LngX2, LngY2);
}

// The block's cells as Extract copies them, then those that are no data in
// the map marked with DblNoData.
TMap* TMapTools::Extract(const TMap* PtrMap, const TPoint* PtrFirst, const TPoint* PtrSecond,
                         double DblNoData)
{
    std::unique_ptr<TMap> PtrBlock(Extract(PtrMap, PtrFirst, PtrSecond));
    PtrBlock->SetNoDataValue(DblNoData);
    TMapKernel::Transform(*PtrBlock, *PtrBlock, [](double DblValue) { return DblValue; },
                          TMapKernel::NoDataIn(*PtrMap));
    return PtrBlock.release();
}

void TMapTools::Intersection(const TMap* PtrFirst, const TMap* PtrSecond, TMap*& PtrFirstPart,
                             TMap*& PtrSecondPart)
{
    const TEdges First = EdgesOf(*PtrFirst, "TMapTools::Intersection");
    const TEdges Second = EdgesOf(*PtrSecond, "TMapTools::Intersection");
    const double DblFirstCell = PtrFirst->GetResolution();
    const double DblSecondCell = PtrSecond->GetResolution();
    if (Second.DblSouth + DblSecondCell > First.DblNorth ||
        Second.DblWest + DblSecondCell > First.DblEast ||
        First.DblSouth + DblFirstCell > Second.DblNorth ||
        First.DblWest + DblFirstCell > Second.DblEast)
        throw TError("Maps do not intersect in TMapTools::Intersection");

    const TPoint FirstLow(First.DblWest, First.DblSouth);
    const TPoint SecondLow(Second.DblWest, Second.DblSouth);
    const TPoint FirstHigh(First.DblEast, First.DblNorth);
    const TPoint SecondHigh(Second.DblEast, Second.DblNorth);
    const std::unique_ptr<TPoint> PtrLow(TPointTools::Max(&FirstLow, &SecondLow));
    const std::unique_ptr<TPoint> PtrHigh(TPointTools::Min(&FirstHigh, &SecondHigh));
    std::unique_ptr<TMap> PtrFirstInside(PartInside(*PtrFirst, *PtrLow, *PtrHigh));
    std::unique_ptr<TMap> PtrSecondInside(PartInside(*PtrSecond, *PtrLow, *PtrHigh));
    PtrFirstPart = PtrFirstInside.release();
    PtrSecondPart = PtrSecondInside.release();
}

void TMapTools::FindPatchExtent(const TMap* PtrMap, double DblValue, long& LngMinY,
                                long& LngMaxY, long& LngMinX, long& LngMaxX)
{
    const long LngXDim = PtrMap->GetXDim();
    const long LngYDim = PtrMap->GetYDim();
    const double* PtrCell = PtrMap->GetCells();
    long LngTop = LngYDim;
    long LngBottom = -1;
    long LngLeft = LngXDim;
    long LngRight = -1;
    for (long LngY = 0; LngY < LngYDim; ++LngY)
        for (long LngX = 0; LngX < LngXDim; ++LngX)
            if (*PtrCell++ == DblValue) {
                LngTop = std::min(LngTop, LngY);
                LngBottom = LngY;
                LngLeft = std::min(LngLeft, LngX);
                LngRight = std::max(LngRight, LngX);
            }
    const bool BlnFound = LngBottom >= 0;
    LngMinY = BlnFound ? LngTop : 0;
    LngMaxY = BlnFound ? LngBottom : 0;
    LngMinX = BlnFound ? LngLeft : 0;
    LngMaxX = BlnFound ? LngRight : 0;
}

double TMapTools::FindNonzeroNeighbourVal(const TMap* PtrMap, long LngX, long LngY)
{
    const long LngXDim = PtrMap->GetXDim();
    const long LngYDim = PtrMap->GetYDim();
    if (LngX < 0 || LngX >= LngXDim)
        throw TError("X-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal");
    if (LngY < 0 || LngY >= LngYDim)
        throw TError("Y-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal");
    const long LngNorth = std::max(LngY - 1, 0L);
    const long LngSouth = std::min(LngY + 1, LngYDim - 1);
    const double* PtrCells = PtrMap->GetCells();
    // The easternmost column holding a nonzero cell decides, so the columns
    // are searched from the east and the first find is the answer.
    for (long LngCol = std::min(LngX + 1, LngXDim - 1); LngCol >= std::max(LngX - 1, 0L); --LngCol)
        for (long LngRow = LngNorth; LngRow <= LngSouth; ++LngRow) {
            const double DblValue = PtrCells[LngRow * LngXDim + LngCol];
            if (DblValue != 0.0)
                return DblValue;
        }
    return 0.0;
}
