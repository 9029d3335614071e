#include <memory>

#include "ops/TMapTools.h"
#include "ops/TScalarOp.h"

namespace {

// A map on copies of the input's axes holding Op of every input cell.
TMap* ApplyToCells(const TMap* PtrMap, TScalarOp::TKind Kind, double DblScalar)
{
    auto PtrResult = std::make_unique<TMap>(PtrMap->GetXAxis(), PtrMap->GetYAxis());
    const double DblNoData = PtrMap->GetNoDataValue();
    PtrResult->SetNoDataValue(DblNoData);
    const TScalarOp Op(Kind, DblScalar, DblNoData);
    for (long LngY = 0; LngY < PtrMap->GetYDim(); ++LngY)
        for (long LngX = 0; LngX < PtrMap->GetXDim(); ++LngX)
            PtrResult->SetPoint(LngX, LngY, Op(PtrMap->GetPointVal(LngX, LngY)));
    return PtrResult.release();
}

}  // namespace

TMap* TMapTools::Multiply(const TMap* PtrMap, double DblScalar)
{
    return ApplyToCells(PtrMap, TScalarOp::TKind::Multiply, DblScalar);
}

TMap* TMapTools::Divide(const TMap* PtrMap, double DblScalar)
{
    return ApplyToCells(PtrMap, TScalarOp::TKind::Divide, DblScalar);
}
