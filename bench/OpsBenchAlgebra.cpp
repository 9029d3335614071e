// Cases of the cell-value, arithmetic and resampling operations.
#include <memory>

#include "bench/OpsBench.h"
#include "ops/TMapTools.h"

namespace {

// Times the making of a map and its release together, as a caller pays both.
template <class TMake>
std::function<void()> Making(TMake Make)
{
    return [Make] { const std::unique_ptr<TMap> PtrResult(Make()); };
}

}  // namespace

std::vector<TOpsCase> MapAlgebraCases(const TBenchMaps& Maps)
{
    const TMap* PtrA = Maps.PtrA.get();
    const double DblCells = static_cast<double>(Maps.LngSide) * static_cast<double>(Maps.LngSide);
    return {
        {"Multiply by a scalar", DblCells, Making([=] { return TMapTools::Multiply(PtrA, 2.0); }),
         "np.where(a == -9999, -9999, a * 2.0)"},
    };
}
