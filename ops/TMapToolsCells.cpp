// Operations on the values of one map, cell by cell.
#include <utility>

#include "ops/TCellOps.h"
#include "ops/TDistinctValues.h"
#include "ops/TMapKernel.h"
#include "ops/TMapTools.h"

using namespace TMapKernel;

namespace {

// A new map on the input's geometry, no-data value -9999, holding Op of
// each input cell, no data included.
template <class TOp>
TMap* MapCells(const TMap* PtrMap, TOp Op)
{
    std::unique_ptr<TMap> PtrResult = ResultOn(*PtrMap);
    Transform(*PtrMap, *PtrResult, Op);
    return PtrResult.release();
}

// The same with the no-data value DblNoData, which the input's no-data
// cells become; the others go through Op.
template <class TOp>
TMap* MapDataCells(const TMap* PtrMap, TOp Op, double DblNoData)
{
    std::unique_ptr<TMap> PtrResult = ResultOn(*PtrMap, DblNoData);
    Transform(*PtrMap, *PtrResult, Op, NoDataIn(*PtrMap));
    return PtrResult.release();
}

void CheckRange(long LngIndex, long LngDim, const char* StgMessage)
{
    if (LngIndex < 0 || LngIndex >= LngDim)
        throw TError(StgMessage);
}

}  // namespace

void TMapTools::FillBlock(TMap* PtrMap, double DblValue, long LngNorth, long LngSouth,
                          long LngWest, long LngEast)
{
    if (LngNorth > LngSouth)
        throw TError("Northern edge must be less than southern edge in TMapTools::FillBlock");
    if (LngWest > LngEast)
        throw TError("Western edge must be less than eastern edge in TMapTools::FillBlock");
    const long LngYDim = PtrMap->GetYDim();
    const long LngXDim = PtrMap->GetXDim();
    CheckRange(LngNorth, LngYDim, "Northern ordinate is out of range in TMapTools::FillBlock");
    CheckRange(LngSouth, LngYDim, "Southern ordinate is out of range in TMapTools::FillBlock");
    CheckRange(LngWest, LngXDim, "Western ordinate is out of range in TMapTools::FillBlock");
    CheckRange(LngEast, LngXDim, "Eastern ordinate is out of range in TMapTools::FillBlock");
    for (long LngY = LngNorth; LngY <= LngSouth; ++LngY) {
        double* PtrRow = PtrMap->GetCells() + LngY * LngXDim;
        std::fill(PtrRow + LngWest, PtrRow + LngEast + 1, DblValue);
    }
}

TMap* TMapTools::ReplaceValue(const TMap* PtrMap, std::map<double, double> MapTable,
                              double DblDefault)
{
    const TCellOps::TRecode Recode(MapTable);
    return MapCells(PtrMap, [&](double DblValue) { return Recode(DblValue, DblDefault); });
}

TMap* TMapTools::ReplaceValue(const TMap* PtrMap, std::map<double, double> MapTable,
                              double DblDefault, double DblNoData)
{
    const TCellOps::TRecode Recode(MapTable);
    return MapDataCells(PtrMap, [&](double DblValue) { return Recode(DblValue, DblDefault); },
                        DblNoData);
}

TMap* TMapTools::ThresholdReplace(const TMap* PtrMap, double DblThreshold, double DblReplacement)
{
    return MapCells(PtrMap, TCellOps::TThresholdReplace{DblThreshold, DblReplacement});
}

TMap* TMapTools::ThresholdReplace(const TMap* PtrMap, double DblThreshold, double DblReplacement,
                                  double DblNoData)
{
    return MapDataCells(PtrMap, TCellOps::TThresholdReplace{DblThreshold, DblReplacement},
                        DblNoData);
}

TMap* TMapTools::Threshold(const TMap* PtrMap, double DblThreshold)
{
    return MapCells(PtrMap, TCellOps::TThreshold{DblThreshold});
}

TMap* TMapTools::Threshold(const TMap* PtrMap, double DblThreshold, double DblNoData)
{
    return MapDataCells(PtrMap, TCellOps::TThreshold{DblThreshold}, DblNoData);
}

std::vector<TMap*> TMapTools::Threshold(std::vector<TMap*> VecMaps, double DblThreshold)
{
    std::vector<std::unique_ptr<TMap>> VecResults;
    for (const TMap* PtrMap : VecMaps)
        VecResults.emplace_back(Threshold(PtrMap, DblThreshold));
    return ReleaseAll(VecResults);
}

std::map<double, long> TMapTools::CountValues(const TMap* PtrMap)
{
    return TDistinctValues::Count(*PtrMap);
}

long TMapTools::CountValues(const TMap* PtrMap, double DblValue)
{
    const double* PtrCells = PtrMap->GetCells();
    const std::size_t LngCells = CellCount(*PtrMap);
    long LngCount = 0;
    for (std::size_t LngCell = 0; LngCell < LngCells; ++LngCell)
        LngCount += PtrCells[LngCell] == DblValue;
    return LngCount;
}

TMap* TMapTools::Mask(const TMap* PtrFirst, const TMap* PtrSecond, double DblMatch,
                      double DblReplacement)
{
    if (!SameXDim(*PtrFirst, *PtrSecond))
        throw TError("X dimensions do not match in TMapTools::Mask");
    if (!SameYDim(*PtrFirst, *PtrSecond))
        throw TError("Y dimensions do not match in TMapTools::Mask");
    std::unique_ptr<TMap> PtrResult = ResultOn(*PtrFirst);
    Transform(*PtrSecond, *PtrResult, [DblMatch, DblReplacement](double DblValue) {
        return DblValue == DblMatch ? DblReplacement : DblValue;
    });
    return PtrResult.release();
}

TMap* TMapTools::RoundContents(const TMap* PtrMap)
{
    return MapCells(PtrMap, TCellOps::TRound());
}

TMap* TMapTools::RoundContents(const TMap* PtrMap, double DblNoData)
{
    return MapDataCells(PtrMap, TCellOps::TRound(), DblNoData);
}
