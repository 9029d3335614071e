#include "app/map/TMapNoData.h"

#include <cstddef>

namespace {

std::size_t Cells(const TMap& Map)
{
    return static_cast<std::size_t>(Map.GetXDim()) * static_cast<std::size_t>(Map.GetYDim());
}

bool IsNoData(const TMap& Map, std::size_t LngCell)
{
    return Map.GetCells()[LngCell] == Map.GetNoDataValue();
}

}  // namespace

void TMapNoData::WhereAny(TMap& Result, const std::vector<TMap*>& VecInputs, double DblNoData)
{
    double* PtrCells = Result.GetCells();
    for (const TMap* PtrInput : VecInputs)
        for (std::size_t LngCell = 0; LngCell < Cells(Result); ++LngCell)
            if (IsNoData(*PtrInput, LngCell))
                PtrCells[LngCell] = DblNoData;
    Result.SetNoDataValue(DblNoData);
}

void TMapNoData::WhereFewer(TMap& Result, const std::vector<TMap*>& VecInputs,
                            std::size_t LngData, double DblNoData)
{
    double* PtrCells = Result.GetCells();
    for (std::size_t LngCell = 0; LngCell < Cells(Result); ++LngCell) {
        std::size_t LngHeld = 0;
        for (const TMap* PtrInput : VecInputs)
            LngHeld += !IsNoData(*PtrInput, LngCell);
        if (LngHeld < LngData || PtrCells[LngCell] == -9999.0)
            PtrCells[LngCell] = DblNoData;
    }
    Result.SetNoDataValue(DblNoData);
}

void TMapNoData::Recode(TMap& Map, double DblNoData)
{
    double* PtrCells = Map.GetCells();
    for (std::size_t LngCell = 0; LngCell < Cells(Map); ++LngCell)
        if (IsNoData(Map, LngCell))
            PtrCells[LngCell] = DblNoData;
    Map.SetNoDataValue(DblNoData);
}
