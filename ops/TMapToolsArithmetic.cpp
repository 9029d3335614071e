// Arithmetic between maps: pairs matched by coordinates or by index, and
// lists of maps of equal dimensions.
#include <algorithm>
#include <functional>

#include "ops/TCellLookup.h"
#include "ops/TMapKernel.h"
#include "ops/TMapTools.h"

using namespace TMapKernel;

namespace {

// Whether each index is its own position: the maps share their cells.
bool IsIdentity(const std::vector<long>& VecIndices)
{
    for (std::size_t LngI = 0; LngI < VecIndices.size(); ++LngI)
        if (VecIndices[LngI] != static_cast<long>(LngI))
            return false;
    return true;
}

// The driving map's geometry and no-data value; each driving cell combined
// with the other map's cell that holds its centre, under the no-data rule.
// Maps that share their cells are combined by index, in one sweep.
template <class TOp>
TMap* CombineByCoordinates(const TMap& Driving, const TMap& Other, TOp Op)
{
    const double DblNoData = Driving.GetNoDataValue();
    std::unique_ptr<TMap> PtrResult = ResultOn(Driving, DblNoData);
    if (CellCount(Driving) == 0)
        return PtrResult.release();
    const TPartnerCells Partner = TPartnerCells::Of(Driving, Other);
    const auto Rule = DataOnly(DblNoData, Other.GetNoDataValue(), DblNoData, Op);
    if (SameXDim(Driving, Other) && IsIdentity(Partner.VecCols) && IsIdentity(Partner.VecRows)) {
        Combine(Driving, Other, *PtrResult, Rule);
        return PtrResult.release();
    }
    const long LngXDim = Driving.GetXDim();
    const double* PtrDriving = Driving.GetCells();
    double* PtrOut = PtrResult->GetCells();
    ForRows(Driving, [&](std::size_t LngFirst, std::size_t LngLast) {
        for (std::size_t LngY = LngFirst; LngY < LngLast; ++LngY) {
            const double* PtrOtherRow = Other.GetCells() + Partner.VecRows[LngY] * Other.GetXDim();
            const std::size_t LngRow = LngY * static_cast<std::size_t>(LngXDim);
            for (long LngX = 0; LngX < LngXDim; ++LngX)
                PtrOut[LngRow + LngX] =
                    Rule(PtrDriving[LngRow + LngX], PtrOtherRow[Partner.VecCols[LngX]]);
        }
    });
    return PtrResult.release();
}

// The finer map drives, the first on a tie.
template <class TOp>
TMap* CombineFinerDriving(const TMap* PtrFirst, const TMap* PtrSecond, TOp Op)
{
    if (PtrSecond->GetResolution() < PtrFirst->GetResolution())
        return CombineByCoordinates(*PtrSecond, *PtrFirst, Op);
    return CombineByCoordinates(*PtrFirst, *PtrSecond, Op);
}

// Every map after the first must have the first's dimensions.
void CheckSameDimensions(const std::vector<TMap*>& VecMaps, const char* StgXMessage,
                         const char* StgYMessage)
{
    for (std::size_t LngI = 1; LngI < VecMaps.size(); ++LngI) {
        if (!SameXDim(*VecMaps[0], *VecMaps[LngI]))
            throw TError(StgXMessage);
        if (!SameYDim(*VecMaps[0], *VecMaps[LngI]))
            throw TError(StgYMessage);
    }
}

// Adds the cells of LngMaps maps (LngMaps fixed, so the compiler keeps the
// running values in registers across them) to the running sums and data
// counts of LngLength cells, map by map in list order.
template <int LngMaps>
void AddMaps(double* PtrSums, double* PtrCounts, const double* const* PtrCells,
             const double* PtrNoData, std::size_t LngLength)
{
    for (std::size_t LngI = 0; LngI < LngLength; ++LngI) {
        double DblSum = PtrSums[LngI];
        double DblCount = PtrCounts[LngI];
        for (int LngMap = 0; LngMap < LngMaps; ++LngMap) {
            const double DblValue = PtrCells[LngMap][LngI];
            DblSum += DblValue;
            DblCount += DblValue != PtrNoData[LngMap] ? 1.0 : 0.0;
        }
        PtrSums[LngI] = DblSum;
        PtrCounts[LngI] = DblCount;
    }
}

// For each cell of maps of equal dimensions: its values added in list order
// from 0.0, and how many maps hold data there; Finish(cell, sum, count) makes
// the result cell. Cells go in blocks, so the running values stay in cache
// while the maps stream past, and blocks are shared among the cores.
template <class TFinish>
void SumAndCount(const std::vector<TMap*>& VecMaps, TFinish Finish)
{
    constexpr std::size_t LngBlock = 2048;
    constexpr std::size_t LngGroup = 4;
    std::vector<double> VecNoData;
    for (const TMap* PtrMap : VecMaps)
        VecNoData.push_back(PtrMap->GetNoDataValue());
    TSlices::Run(CellCount(*VecMaps[0]), TSlices::MinCells, [&](std::size_t LngStart, std::size_t LngEnd) {
        double ArrSums[LngBlock];
        double ArrCounts[LngBlock];
        const double* ArrCells[LngGroup];
        for (std::size_t LngFirst = LngStart; LngFirst < LngEnd; LngFirst += LngBlock) {
            const std::size_t LngLength = std::min(LngBlock, LngEnd - LngFirst);
            std::fill(ArrSums, ArrSums + LngLength, 0.0);
            std::fill(ArrCounts, ArrCounts + LngLength, 0.0);
            for (std::size_t LngMap = 0; LngMap < VecMaps.size();) {
                const std::size_t LngTaken = VecMaps.size() - LngMap >= LngGroup ? LngGroup : 1;
                for (std::size_t LngI = 0; LngI < LngTaken; ++LngI)
                    ArrCells[LngI] = VecMaps[LngMap + LngI]->GetCells() + LngFirst;
                if (LngTaken == LngGroup)
                    AddMaps<LngGroup>(ArrSums, ArrCounts, ArrCells, &VecNoData[LngMap], LngLength);
                else
                    AddMaps<1>(ArrSums, ArrCounts, ArrCells, &VecNoData[LngMap], LngLength);
                LngMap += LngTaken;
            }
            for (std::size_t LngI = 0; LngI < LngLength; ++LngI)
                Finish(LngFirst + LngI, ArrSums[LngI], ArrCounts[LngI]);
        }
    });
}

// A map on the first map's geometry, no-data value -9999, each cell made by
// Finish from the sum and data count of the maps there.
template <class TFinish>
TMap* ReduceMaps(const std::vector<TMap*>& VecMaps, TFinish Finish)
{
    std::unique_ptr<TMap> PtrResult = ResultOn(*VecMaps[0]);
    double* PtrOut = PtrResult->GetCells();
    SumAndCount(VecMaps, [&](std::size_t LngCell, double DblSum, double DblCount) {
        PtrOut[LngCell] = Finish(DblSum, DblCount);
    });
    return PtrResult.release();
}

void CheckSumList(const std::vector<TMap*>& VecMaps)
{
    if (VecMaps.size() < 2)
        throw TError("Must have more than 2 maps to sum in TMapTools::Sum");
    CheckSameDimensions(VecMaps, "X-dimension of maps are inconsistent in TMapTools::Sum",
                        "Y-dimension of maps are inconsistent in TMapTools::Sum");
}

}  // namespace

TMap* TMapTools::Add(const TMap* PtrFirst, const TMap* PtrSecond)
{
    return CombineFinerDriving(PtrFirst, PtrSecond, std::plus<double>());
}

TMap* TMapTools::Multiply(const TMap* PtrFirst, const TMap* PtrSecond)
{
    return CombineFinerDriving(PtrFirst, PtrSecond, std::multiplies<double>());
}

TMap* TMapTools::Divide(const TMap* PtrDividend, const TMap* PtrDivisor)
{
    if (PtrDivisor->GetResolution() < PtrDividend->GetResolution())
        throw TError("Divisor must be of equal of coarser resolution than the dividend in "
                     "TMapTools::Divide");
    return CombineByCoordinates(*PtrDividend, *PtrDivisor, std::divides<double>());
}

TMap* TMapTools::Subtract(const TMap* PtrFirst, const TMap* PtrSecond)
{
    if (!SameXDim(*PtrFirst, *PtrSecond))
        throw TError("X dimensions do not match in TMapTools::Subtract");
    if (!SameYDim(*PtrFirst, *PtrSecond))
        throw TError("Y dimensions do not match in TMapTools::Subtract");
    const double DblNoData = PtrFirst->GetNoDataValue();
    std::unique_ptr<TMap> PtrResult = ResultOn(*PtrFirst, DblNoData);
    Combine(*PtrFirst, *PtrSecond, *PtrResult,
            DataOnly(DblNoData, PtrSecond->GetNoDataValue(), DblNoData, std::minus<double>()));
    return PtrResult.release();
}

TMap* TMapTools::Sum(std::vector<TMap*> VecMaps)
{
    CheckSumList(VecMaps);
    const double DblMaps = static_cast<double>(VecMaps.size());
    return ReduceMaps(VecMaps, [DblMaps](double DblSum, double DblCount) {
        return DblCount == DblMaps ? DblSum : -9999.0;
    });
}

TMap* TMapTools::DataCounts(std::vector<TMap*> VecMaps)
{
    if (VecMaps.empty())
        throw TError("Must have at least 1 map to count in TMapTools::DataCounts");
    CheckSameDimensions(VecMaps, "X-dimension of maps are inconsistent in TMapTools::DataCounts",
                        "Y-dimension of maps are inconsistent in TMapTools::DataCounts");
    return ReduceMaps(VecMaps, [](double, double DblCount) { return DblCount; });
}

// Sum divided by DataCounts in one pass: where Sum gives -9999, its no-data
// value (a map lacks data, or the data add up to it), the quotient is -9999.
TMap* TMapTools::Average(std::vector<TMap*> VecMaps)
{
    CheckSumList(VecMaps);
    const double DblMaps = static_cast<double>(VecMaps.size());
    return ReduceMaps(VecMaps, [DblMaps](double DblSum, double DblCount) {
        return DblCount == DblMaps && DblSum != -9999.0 ? DblSum / DblCount : -9999.0;
    });
}

std::vector<TMap*> TMapTools::MovingAverage(std::vector<TMap*> VecMaps, int LngWindow)
{
    std::vector<std::unique_ptr<TMap>> VecAverages;
    const long LngStarts = static_cast<long>(VecMaps.size()) - LngWindow;
    // A window below one takes no map, which Sum refuses.
    const long LngTaken = std::max(LngWindow, 0);
    for (long LngStart = 0; LngStart <= LngStarts; ++LngStart) {
        const auto ItFirst = VecMaps.begin() + LngStart;
        VecAverages.emplace_back(Average(std::vector<TMap*>(ItFirst, ItFirst + LngTaken)));
    }
    return ReleaseAll(VecAverages);
}
