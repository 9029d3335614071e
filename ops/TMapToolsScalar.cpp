#include "ops/TMapKernel.h"
#include "ops/TMapTools.h"
#include "ops/TScalarOp.h"

namespace {

// The input's geometry and no-data value, every cell scaled by Op's rule.
TMap* Scale(const TMap* PtrMap, TScalarOp::TKind Kind, double DblScalar)
{
    const double DblNoData = PtrMap->GetNoDataValue();
    std::unique_ptr<TMap> PtrResult = TMapKernel::ResultOn(*PtrMap, DblNoData);
    TMapKernel::Transform(*PtrMap, *PtrResult, TScalarOp(Kind, DblScalar, DblNoData));
    return PtrResult.release();
}

}  // namespace

TMap* TMapTools::Multiply(const TMap* PtrMap, double DblScalar)
{
    return Scale(PtrMap, TScalarOp::TKind::Multiply, DblScalar);
}

TMap* TMapTools::Divide(const TMap* PtrMap, double DblScalar)
{
    return Scale(PtrMap, TScalarOp::TKind::Divide, DblScalar);
}
