// Cases of the cell-value, arithmetic and resampling operations.
#include <map>
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
    const TMap* PtrB = Maps.PtrB.get();
    const TMap* PtrHalf = Maps.PtrHalf.get();
    const TMap* PtrClasses = Maps.PtrClasses.get();
    const std::vector<TMap*> VecStack = Maps.Stack();
    std::map<double, double> MapRecode;
    for (int LngClass = 1; LngClass <= 1000; ++LngClass)
        MapRecode[LngClass] = LngClass % 7;
    const double N = static_cast<double>(Maps.LngSide) * static_cast<double>(Maps.LngSide);
    const std::string StgData = "np.where((a == -9999) | (b == -9999), -9999, ";
    return {
        {"Multiply by a scalar", N, Making([=] { return TMapTools::Multiply(PtrA, 2.0); }),
         "np.where(a == -9999, -9999, a * 2.0)"},
        {"Threshold", N, Making([=] { return TMapTools::Threshold(PtrA, 1000.0); }),
         "np.where(a >= 1000.0, a, 0.0)"},
        {"ReplaceValue, 1000 classes", N,
         Making([=] { return TMapTools::ReplaceValue(PtrClasses, MapRecode, -1.0); }),
         "(np.arange(1001) % 7.0)[k.astype(np.int64)]"},
        {"Mask", N, Making([=] { return TMapTools::Mask(PtrA, PtrB, -9999.0, 0.0); }),
         "np.where(b == -9999, 0.0, b)"},
        {"RoundContents", N, Making([=] { return TMapTools::RoundContents(PtrA); }),
         "(lambda t: np.where(a - t >= 0.5, t + 1.0, t))(np.trunc(a))"},
        {"CountValues", N, [=] { TMapTools::CountValues(PtrA); },
         "np.unique(a, return_counts=True)"},
        {"Add", N, Making([=] { return TMapTools::Add(PtrA, PtrB); }), StgData + "a + b)"},
        {"Subtract", N, Making([=] { return TMapTools::Subtract(PtrA, PtrB); }),
         StgData + "a - b)"},
        {"Add, half-resolution partner", N, Making([=] { return TMapTools::Add(PtrA, PtrHalf); }),
         "(lambda p: np.where((a == -9999) | (p == -9999), -9999, a + p))"
         "(h[(np.arange(a.shape[0]) // 2)[:, None], (np.arange(a.shape[1]) // 2)[None, :]])"},
        {"Sum of 8", N, Making([=] { return TMapTools::Sum(VecStack); }),
         "np.where((s == -9999).any(0), -9999, s.sum(0))"},
        {"DataCounts of 8", N, Making([=] { return TMapTools::DataCounts(VecStack); }),
         "(s != -9999).sum(0).astype(np.float64)"},
        {"Average of 8", N, Making([=] { return TMapTools::Average(VecStack); }),
         "(lambda m: np.where(m.any(0), -9999, s.sum(0) / (~m).sum(0)))(s == -9999)"},
        {"Subdivide by 2", 4 * N, Making([=] { return TMapTools::Subdivide(PtrA, 2); }),
         "np.repeat(np.repeat(a, 2, 0), 2, 1)"},
        {"Downscale to 3 cells", N / 9, Making([=] { return TMapTools::Downscale(PtrA, 90.0); }),
         ""},
        {"BilinearInterpolate to half the size", 4 * N,
         Making([=] { return TMapTools::BilinearInterpolate(PtrA, 15.0); }),
         "scipy.ndimage.zoom(a, 2, order=1)"},
    };
}
