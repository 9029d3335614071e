#include <algorithm>
#include <cmath>
#include <memory>

#include "ops/TMapKernel.h"
#include "ops/TMapTools.h"
#include "ops/TValueIndex.h"
#include "util/TVectorTools.h"

namespace {

using TPositionTable = std::map<double, TMapPoint*>;
using TOwnedPositions = std::map<double, std::unique_ptr<TMapPoint>>;

// The first-value table of one map; its points stay owned until handed out.
TOwnedPositions FirstValues(const TMap& Map, const TValueIndex& Skip)
{
    TOwnedPositions Table;
    const long LngXDim = Map.GetXDim();
    const long LngYDim = Map.GetYDim();
    const double* PtrCells = Map.GetCells();
    // NaN equals no remembered value, so it ends a run of repeats (the
    // no-data cells opening the scan included) like any other value; it is
    // then passed over, as no ordered key can hold it.
    double DblRemembered = Map.GetNoDataValue();
    for (long LngX = 0; LngX < LngXDim; ++LngX)
        for (long LngY = 0; LngY < LngYDim; ++LngY) {
            const double DblValue = PtrCells[LngY * LngXDim + LngX];
            if (DblValue == DblRemembered)
                continue;
            DblRemembered = DblValue;
            if (std::isnan(DblValue) || Skip.Find(DblValue) >= 0)
                continue;
            const auto ItAt = Table.lower_bound(DblValue);
            if (ItAt == Table.end() || DblValue < ItAt->first)
                Table.emplace_hint(ItAt, DblValue,
                                   std::unique_ptr<TMapPoint>(Map.GetPoint(LngX, LngY)));
        }
    return Table;
}

// The tables with their points handed to the caller. Every table is built
// before any point is released, so a failure releases nothing twice.
std::vector<TPositionTable> HandOut(std::vector<TOwnedPositions>& VecOwned)
{
    std::vector<TPositionTable> VecTables;
    VecTables.reserve(VecOwned.size());
    for (const TOwnedPositions& Owned : VecOwned) {
        TPositionTable Table;
        for (const auto& Entry : Owned)
            Table.emplace_hint(Table.end(), Entry.first, nullptr);
        VecTables.push_back(std::move(Table));
    }
    for (std::size_t LngTable = 0; LngTable < VecOwned.size(); ++LngTable) {
        auto ItTo = VecTables[LngTable].begin();
        for (auto& Entry : VecOwned[LngTable])
            (ItTo++)->second = Entry.second.release();
    }
    return VecTables;
}

std::map<double, double> ValuesAt(const TMap& Map, const TPositionTable& Table)
{
    std::map<double, double> MapValues;
    for (const auto& Entry : Table)
        MapValues.emplace_hint(MapValues.end(), Entry.first, Map.GetPointVal(Entry.second));
    return MapValues;
}

// The slope map of the window of LngWindow + 1 maps starting at map LngFirst,
// no data marked with DblNoData. Positions and kept values go through two
// buffers sized once per window.
std::unique_ptr<TMap> GradientMap(const std::vector<TMap*>& VecMaps, long LngFirst, int LngWindow,
                                  double DblNoData)
{
    std::unique_ptr<TMap> PtrResult = TMapKernel::ResultOn(*VecMaps[0], DblNoData);
    std::vector<const double*> VecCells;
    std::vector<double> VecNoData;
    for (long LngMap = LngFirst; LngMap <= LngFirst + LngWindow; ++LngMap) {
        VecCells.push_back(VecMaps[LngMap]->GetCells());
        VecNoData.push_back(VecMaps[LngMap]->GetNoDataValue());
    }
    std::vector<double> VecX(VecCells.size());
    std::vector<double> VecY(VecCells.size());
    const long LngXDim = PtrResult->GetXDim();
    const long LngYDim = PtrResult->GetYDim();
    double* PtrOut = PtrResult->GetCells();
    for (long LngY = 0; LngY < LngYDim; ++LngY)
        for (long LngX = 0; LngX < LngXDim; ++LngX) {
            const long LngCell = LngY * LngXDim + LngX;
            if (VecCells[0][LngCell] == 0.0)
                continue;
            std::size_t LngKept = 0;
            for (int LngStep = 0; LngStep <= LngWindow; ++LngStep) {
                double DblValue = VecCells[LngStep][LngCell];
                if (DblValue == 0.0 && LngStep < LngWindow)
                    DblValue = TMapTools::FindNonzeroNeighbourVal(VecMaps[LngFirst + LngStep],
                                                                  LngX, LngY);
                if (DblValue != VecNoData[LngStep]) {
                    VecX[LngKept] = static_cast<double>(LngFirst + LngStep);
                    VecY[LngKept++] = DblValue;
                }
            }
            PtrOut[LngCell] = TVectorTools::Gradient(VecX.data(), VecY.data(), LngKept);
        }
    return PtrResult;
}

}  // namespace

std::map<double, TMapPoint*> TMapTools::GetFirstValues(const TMap* PtrMap,
                                                       std::vector<double> VecSkip)
{
    std::vector<TOwnedPositions> VecOwned;
    VecOwned.push_back(FirstValues(*PtrMap, TValueIndex(VecSkip)));
    return std::move(HandOut(VecOwned).front());
}

std::vector<std::map<double, TMapPoint*>> TMapTools::GetFirstValues(std::vector<TMap*> VecMaps,
                                                                    std::vector<double> VecSkip)
{
    const TValueIndex Skip(VecSkip);
    std::vector<TOwnedPositions> VecOwned;
    VecOwned.reserve(VecMaps.size());
    for (const TMap* PtrMap : VecMaps)
        VecOwned.push_back(FirstValues(*PtrMap, Skip));
    return HandOut(VecOwned);
}

std::map<double, double> TMapTools::FetchMapValues(const TMap* PtrMap,
                                                   std::map<double, TMapPoint*> MapPositions)
{
    return ValuesAt(*PtrMap, MapPositions);
}

std::vector<std::map<double, double>> TMapTools::FetchMapValues(
    std::vector<TMap*> VecMaps, std::vector<std::map<double, TMapPoint*>> VecPositions)
{
    if (VecPositions.size() < VecMaps.size())
        throw TError("Number of position tables does not match number of maps in "
                     "TMapTools::FetchMapValues");
    std::vector<std::map<double, double>> VecValues;
    VecValues.reserve(VecMaps.size());
    for (std::size_t LngMap = 0; LngMap < VecMaps.size(); ++LngMap)
        VecValues.push_back(ValuesAt(*VecMaps[LngMap], VecPositions[LngMap]));
    return VecValues;
}

std::map<double, std::vector<double>> TMapTools::GetValuesOverlay(const TMap* PtrValues,
                                                                  const TMap* PtrClasses,
                                                                  std::vector<double> VecSkip)
{
    if (!TMapKernel::SameXDim(*PtrValues, *PtrClasses))
        throw TError("Map X-dimensions do not match");
    if (!TMapKernel::SameYDim(*PtrValues, *PtrClasses))
        throw TError("Map Y-Dimensions do not match");
    const TValueIndex Skip(VecSkip);
    std::map<double, std::vector<double>> MapClasses;
    const long LngXDim = PtrClasses->GetXDim();
    const long LngYDim = PtrClasses->GetYDim();
    const double* PtrClassCells = PtrClasses->GetCells();
    const double* PtrValueCells = PtrValues->GetCells();
    // Classes come in runs: a repeat of the last class needs no search.
    std::vector<double>* PtrLastClass = nullptr;
    double DblLastClass = 0.0;
    for (long LngX = 0; LngX < LngXDim; ++LngX)
        for (long LngY = 0; LngY < LngYDim; ++LngY) {
            const long LngCell = LngY * LngXDim + LngX;
            const double DblClass = PtrClassCells[LngCell];
            if (!(PtrLastClass && DblClass == DblLastClass)) {
                if (std::isnan(DblClass) || Skip.Find(DblClass) >= 0)
                    continue;
                PtrLastClass = &MapClasses[DblClass];
                DblLastClass = DblClass;
            }
            PtrLastClass->push_back(PtrValueCells[LngCell]);
        }
    return MapClasses;
}

std::vector<double> TMapTools::GetValuesVector(std::vector<TMap*> VecMaps, long LngX, long LngY,
                                               int LngStart, int LngEnd)
{
    const auto OutOfList = [&](int LngMap) {
        return LngMap < 0 || static_cast<std::size_t>(LngMap) >= VecMaps.size();
    };
    if (OutOfList(LngStart))
        throw TError("Start map number is out of range in TMapTools::GetValuesVector");
    if (OutOfList(LngEnd))
        throw TError("End map number is out of range in TMapTools::GetValuesVector");
    if (LngStart >= LngEnd)
        throw TError("Stat map number must be less than end map number");
    std::vector<double> VecValues;
    VecValues.reserve(static_cast<std::size_t>(LngEnd - LngStart + 1));
    for (int LngMap = LngStart; LngMap <= LngEnd; ++LngMap)
        VecValues.push_back(VecMaps[LngMap]->GetPointVal(LngX, LngY));
    return VecValues;
}

std::vector<TMap*> TMapTools::ValueGradients(std::vector<TMap*> VecMaps, int LngWindow)
{
    return ValueGradients(VecMaps, LngWindow, -9999.0);
}

std::vector<TMap*> TMapTools::ValueGradients(std::vector<TMap*> VecMaps, int LngWindow,
                                             double DblNoData)
{
    const long LngMaps = static_cast<long>(VecMaps.size());
    if (LngWindow < 0 || LngWindow >= LngMaps)
        throw TError("Window size must be < number of maps in TMapTools::ValueGradients");
    for (long LngMap = 1; LngMap < LngMaps; ++LngMap)
        if (!TMapKernel::SameXDim(*VecMaps[LngMap], *VecMaps[0]) ||
            !TMapKernel::SameYDim(*VecMaps[LngMap], *VecMaps[0]))
            throw TError("Map dimensions do not match in TMapTools::ValueGradients");
    if (LngWindow == 0)
        throw TError("Stat map number must be less than end map number");

    std::vector<std::unique_ptr<TMap>> VecOwned;
    VecOwned.reserve(static_cast<std::size_t>(LngMaps - LngWindow));
    for (long LngFirst = 0; LngFirst < LngMaps - LngWindow; ++LngFirst)
        VecOwned.push_back(GradientMap(VecMaps, LngFirst, LngWindow, DblNoData));
    return TMapKernel::ReleaseAll(VecOwned);
}
