// Operations on the values of one map, cell by cell.
#include <cmath>
#include <utility>

#include "ops/TDistinctValues.h"
#include "ops/TMapKernel.h"
#include "ops/TMapTools.h"
#include "ops/TValueIndex.h"

using namespace TMapKernel;

namespace {

// A new map on the input's geometry holding Op of each input cell.
template <class TOp>
TMap* MapCells(const TMap* PtrMap, TOp Op)
{
    std::unique_ptr<TMap> PtrResult = ResultOn(*PtrMap);
    Transform(*PtrMap, *PtrResult, Op);
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
    std::vector<double> VecKeys, VecValues;
    for (const auto& [DblKey, DblValue] : MapTable) {
        VecKeys.push_back(DblKey);
        VecValues.push_back(DblValue);
    }
    const TValueIndex Keys(VecKeys);
    return MapCells(PtrMap, [&](double DblValue) {
        const long LngPosition = Keys.Find(DblValue);
        return LngPosition < 0 ? DblDefault : VecValues[static_cast<std::size_t>(LngPosition)];
    });
}

TMap* TMapTools::ThresholdReplace(const TMap* PtrMap, double DblThreshold, double DblReplacement)
{
    return MapCells(PtrMap, [DblThreshold, DblReplacement](double DblValue) {
        return DblValue >= DblThreshold ? DblReplacement : DblValue;
    });
}

TMap* TMapTools::Threshold(const TMap* PtrMap, double DblThreshold)
{
    return MapCells(PtrMap, [DblThreshold](double DblValue) {
        return DblValue >= DblThreshold ? DblValue : 0.0;
    });
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
    // From 2^52 on every double is whole; NaN and infinities stay too.
    constexpr double DblAllWhole = 4503599627370496.0;
    return MapCells(PtrMap, [](double DblValue) {
        const double DblMagnitude = std::fabs(DblValue);
        // The whole part of the magnitude: adding and taking away 2^52 rounds
        // to the nearest whole number, one too high half of the time.
        const double DblNearest = (DblMagnitude + DblAllWhole) - DblAllWhole;
        const double DblWhole = DblNearest - (DblNearest > DblMagnitude ? 1.0 : 0.0);
        // Positive values round half up; negative ones are truncated, to +0
        // within 1 of zero, as an integer conversion gives.
        const double DblUp = DblWhole + (DblMagnitude - DblWhole >= 0.5 ? 1.0 : 0.0);
        const double DblRounded = DblValue < 0.0 ? 0.0 - DblWhole : DblUp;
        return DblMagnitude < DblAllWhole ? DblRounded : DblValue;
    });
}
