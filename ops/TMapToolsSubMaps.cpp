#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

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

TEdges EdgesOf(const TMap& Map, const char* StgOperation)
{
    const TAxis* PtrX = Map.GetXAxisInterval();
    const TAxis* PtrY = Map.GetYAxisInterval();
    if (!PtrX || !PtrY)
        throw TError(std::string("Axes are not set in TMapTools::") + StgOperation);
    return {PtrX->GetFilledPoint(0).GetX(), PtrX->GetFilledPoint(Map.GetXDim()).GetX(),
            PtrY->GetFilledPoint(0).GetY(), PtrY->GetFilledPoint(Map.GetYDim()).GetY()};
}

// The cells of the map whose centres lie in the area from Low (south-west) to
// High (north-east), cut at corners half a cell in from the area's edges: on
// cells of the area's own size these are centres, so a last-digit difference
// between the two maps' edges cannot shift the block. Where the map's cells
// are wider than the area, both corners meet at its middle.
TMap* PartInside(const TMap& Map, const TPoint& Low, const TPoint& High)
{
    const double DblResolution = Map.GetResolution();
    const double DblInsetX = std::min(DblResolution, High.GetX() - Low.GetX()) * 0.5;
    const double DblInsetY = std::min(DblResolution, High.GetY() - Low.GetY()) * 0.5;
    const TPoint SouthWest(Low.GetX() + DblInsetX, Low.GetY() + DblInsetY);
    const TPoint NorthEast(High.GetX() - DblInsetX, High.GetY() - DblInsetY);
    return TMapTools::Extract(&Map, &SouthWest, &NorthEast);
}

}  // namespace

void TMapTools::Insert(TMap* PtrDestination, const TMap* PtrInsert)
{
    const TEdges Outer = EdgesOf(*PtrDestination, "Insert");
    const TEdges Inner = EdgesOf(*PtrInsert, "Insert");
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
    std::unique_ptr<TMap> PtrBlock(TMap::OnBlockOf(PtrMap, LngX1, LngY1, LngX2, LngY2));
    const std::size_t LngRowBytes = sizeof(double) * static_cast<std::size_t>(LngX2 - LngX1 + 1);
    ForRows(*PtrBlock, [&](std::size_t LngFirst, std::size_t LngLast) {
        for (std::size_t LngRow = LngFirst; LngRow < LngLast; ++LngRow)
            std::memcpy(PtrBlock->GetCells() + LngRow * PtrBlock->GetXDim(),
                        PtrMap->GetCells() + (LngY1 + LngRow) * PtrMap->GetXDim() + LngX1,
                        LngRowBytes);
    });
    return PtrBlock.release();
}

void TMapTools::Intersection(const TMap* PtrFirst, const TMap* PtrSecond, TMap*& PtrFirstPart,
                             TMap*& PtrSecondPart)
{
    const TEdges First = EdgesOf(*PtrFirst, "Intersection");
    const TEdges Second = EdgesOf(*PtrSecond, "Intersection");
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
