// Cases of the sub-map, sampling and series operations.
#include <algorithm>
#include <memory>
#include <string>

#include "bench/OpsBench.h"
#include "ops/TMapTools.h"

namespace {

using TPositionTable = std::map<double, TMapPoint*>;

// A position table that frees its points.
struct TOwnedTable {
    TPositionTable Table;
    ~TOwnedTable()
    {
        for (const auto& Entry : Table)
            delete Entry.second;
    }
};

// The 30 maps of up to 1000 x 1000 cells that ValueGradients is timed on.
struct TGradientStack {
    std::vector<std::unique_ptr<TMap>> VecOwned;
    std::vector<TMap*> VecMaps;
};

std::shared_ptr<TGradientStack> MakeGradientStack(long LngSide)
{
    auto PtrStack = std::make_shared<TGradientStack>();
    for (int LngMap = 0; LngMap < 30; ++LngMap) {
        PtrStack->VecOwned.push_back(RandomMap(LngSide, 30, 100 + LngMap));
        PtrStack->VecMaps.push_back(PtrStack->VecOwned.back().get());
    }
    return PtrStack;
}

}  // namespace

std::vector<TOpsCase> SeriesCases(const TBenchMaps& Maps)
{
    const TMap* PtrA = Maps.PtrA.get();
    const TMap* PtrB = Maps.PtrB.get();
    const TMap* PtrClasses = Maps.PtrClasses.get();
    const long LngSide = Maps.LngSide;
    const double DblCells = static_cast<double>(LngSide) * static_cast<double>(LngSide);

    // The middle block of 3/4 the side each way, numpy's [b0:b1, b0:b1].
    const long LngFrom = LngSide / 8;
    const long LngTo = LngSide - LngSide / 8 - 1;
    const double DblBlockCells = static_cast<double>(LngTo - LngFrom + 1) * (LngTo - LngFrom + 1);
    const std::string StgBlock =
        "[" + std::to_string(LngFrom) + ":" + std::to_string(LngTo + 1) + ", " +
        std::to_string(LngFrom) + ":" + std::to_string(LngTo + 1) + "]";
    const auto PtrFrom = std::shared_ptr<TMapPoint>(PtrA->GetPoint(LngFrom, LngFrom));
    const auto PtrTo = std::shared_ptr<TMapPoint>(PtrA->GetPoint(LngTo, LngTo));
    const auto PtrDestination = std::shared_ptr<TMap>(TMap::OnGeometryOf(PtrA));
    const auto PtrInsert =
        std::shared_ptr<TMap>(TMapTools::Extract(PtrB, PtrFrom.get(), PtrTo.get()));

    const auto PtrFirstValues = std::make_shared<TOwnedTable>();
    PtrFirstValues->Table = TMapTools::GetFirstValues(PtrClasses, {});
    const double DblKeys = static_cast<double>(PtrFirstValues->Table.size());

    const long LngStackSide = std::min(LngSide, 1000L);
    const auto PtrStack = MakeGradientStack(LngStackSide);
    // A window of 5 spans 6 maps: 25 windows over 30 maps.
    const double DblSlopeCells = 25.0 * static_cast<double>(LngStackSide) * LngStackSide;

    return {
        {"GetFirstValues of 1000 classes", DblCells,
         [=] { const TOwnedTable Owned{TMapTools::GetFirstValues(PtrClasses, {})}; },
         "np.unique(k.T, return_index=True)"},
        {"GetValuesOverlay of a on 1000 classes", DblCells,
         [=] { TMapTools::GetValuesOverlay(PtrA, PtrClasses, {}); },
         // Scan order kept within each class by a stable sort of the classes.
         "(lambda o: np.split(a.T.ravel()[o],"
         " np.unique(k.T.ravel()[o], return_index=True)[1][1:]))"
         "(np.argsort(k.T.ravel(), kind='stable'))"},
        {"FetchMapValues of b at 1000 points", DblKeys,
         [=] { TMapTools::FetchMapValues(PtrB, PtrFirstValues->Table); }, ""},
        {"Extract the middle 3/4 block of a", DblBlockCells,
         [=] { delete TMapTools::Extract(PtrA, PtrFrom.get(), PtrTo.get()); },
         "a" + StgBlock + ".copy()"},
        {"Insert a 3/4 block into a map", DblBlockCells,
         [=] { TMapTools::Insert(PtrDestination.get(), PtrInsert.get()); },
         "np.copyto(s[7]" + StgBlock + ", b" + StgBlock + ")"},
        {"ValueGradients 30 x " + std::to_string(LngStackSide) + "^2, window 5", DblSlopeCells,
         [=] {
             for (TMap* PtrSlopes : TMapTools::ValueGradients(PtrStack->VecMaps, 5))
                 delete PtrSlopes;
         },
         ""},
    };
}
