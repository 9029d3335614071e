// Arithmetic between maps: pairs matched by coordinates or by index, and
// lists of maps of equal dimensions.
#include <algorithm>
#include <functional>

#include "ops/TCellLookup.h"
#include "ops/TCellOps.h"
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

// A map on the first map's geometry, no-data value DblNoData, whose cells
// Reduce(inputs, no-data test, cells, out) makes from the maps' cells, on
// slices of the cells shared among the cores. A map's no-data cells are
// those equal to its no-data value.
template <class TReduce>
TMap* ReduceMaps(const std::vector<TMap*>& VecMaps, double DblNoData, TReduce Reduce)
{
    std::unique_ptr<TMap> PtrResult = ResultOn(*VecMaps[0], DblNoData);
    std::vector<double> VecNoData;
    for (const TMap* PtrMap : VecMaps)
        VecNoData.push_back(PtrMap->GetNoDataValue());
    const TCellOps::TEqualsNoData IsNoData{VecNoData.data()};
    double* PtrOut = PtrResult->GetCells();
    const auto ReduceSlice = [&](std::size_t LngFirst, std::size_t LngLast) {
        std::vector<const double*> VecInputs;
        for (const TMap* PtrMap : VecMaps)
            VecInputs.push_back(PtrMap->GetCells() + LngFirst);
        Reduce(VecInputs.data(), IsNoData, LngLast - LngFirst, PtrOut + LngFirst);
    };
    TSlices::Run(CellCount(*VecMaps[0]), TSlices::MinCells, ReduceSlice);
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
    return Sum(VecMaps, -9999.0);
}

TMap* TMapTools::Sum(std::vector<TMap*> VecMaps, double DblNoData)
{
    CheckSumList(VecMaps);
    return ReduceMaps(VecMaps, DblNoData, [&](const double* const* PtrInputs, const auto& IsNoData,
                                              std::size_t LngCells, double* PtrOut) {
        TCellOps::SumCells(PtrInputs, VecMaps.size(), LngCells, IsNoData, DblNoData, PtrOut);
    });
}

TMap* TMapTools::DataCounts(std::vector<TMap*> VecMaps)
{
    if (VecMaps.empty())
        throw TError("Must have at least 1 map to count in TMapTools::DataCounts");
    CheckSameDimensions(VecMaps, "X-dimension of maps are inconsistent in TMapTools::DataCounts",
                        "Y-dimension of maps are inconsistent in TMapTools::DataCounts");
    return ReduceMaps(VecMaps, -9999.0, [&](const double* const* PtrInputs, const auto& IsNoData,
                                            std::size_t LngCells, double* PtrOut) {
        TCellOps::DataCountCells(PtrInputs, VecMaps.size(), LngCells, IsNoData, PtrOut);
    });
}

TMap* TMapTools::Average(std::vector<TMap*> VecMaps)
{
    return Average(VecMaps, -9999.0);
}

// Sum divided by DataCounts in one pass: where Sum gives its no-data value
// (a map lacks data, or the data add up to it), so does the quotient.
TMap* TMapTools::Average(std::vector<TMap*> VecMaps, double DblNoData)
{
    CheckSumList(VecMaps);
    return ReduceMaps(VecMaps, DblNoData, [&](const double* const* PtrInputs, const auto& IsNoData,
                                              std::size_t LngCells, double* PtrOut) {
        TCellOps::MeanCells(PtrInputs, VecMaps.size(), LngCells, IsNoData, DblNoData, PtrOut);
    });
}

std::vector<TMap*> TMapTools::MovingAverage(std::vector<TMap*> VecMaps, int LngWindow)
{
    return MovingAverage(VecMaps, LngWindow, -9999.0);
}

std::vector<TMap*> TMapTools::MovingAverage(std::vector<TMap*> VecMaps, int LngWindow,
                                            double DblNoData)
{
    std::vector<std::unique_ptr<TMap>> VecAverages;
    const long LngStarts = static_cast<long>(VecMaps.size()) - LngWindow;
    // A window below one takes no map, which Sum refuses.
    const long LngTaken = std::max(LngWindow, 0);
    for (long LngStart = 0; LngStart <= LngStarts; ++LngStart) {
        const auto ItFirst = VecMaps.begin() + LngStart;
        const std::vector<TMap*> VecWindow(ItFirst, ItFirst + LngTaken);
        VecAverages.emplace_back(Average(VecWindow, DblNoData));
    }
    return ReleaseAll(VecAverages);
}
