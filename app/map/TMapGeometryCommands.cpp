// Resampling and sub-maps, held in memory.
#include <memory>
#include <string>
#include <vector>

#include "app/map/TMapArguments.h"
#include "app/map/TMapHandlers.h"
#include "app/map/TMapNoData.h"
#include "app/map/TMapRun.h"
#include "grid/TPoint.h"
#include "ops/TMapTools.h"

namespace {

using TMapPtr = TMapRun::TMapPtr;

// The first input made into a new map, written to -o; the input is released
// before the result is written, so that only the two are ever held.
template <class TOperation>
void MapToMap(const TMapArguments& Args, TOperation Operation)
{
    TMapRun Run(Args);
    TMapPtr PtrResult;
    {
        const TMapPtr PtrMap = Run.Load(Args.Argument(0));
        PtrResult.reset(Operation(PtrMap.get()));
    }
    Run.Write(*PtrResult, Args.Required("-o"), Args.Argument(0));
}

}  // namespace

void TMapHandlers::Resample(const TMapArguments& Args)
{
    const double DblCellSize = Args.Number(Args.Argument(1), "CELLSIZE");
    MapToMap(Args, [DblCellSize](const TMap* PtrMap) {
        return TMapTools::BilinearInterpolate(PtrMap, DblCellSize);
    });
}

void TMapHandlers::Subdivide(const TMapArguments& Args)
{
    const int LngFactor = Args.Whole(Args.Argument(1), "FACTOR");
    MapToMap(Args, [LngFactor](const TMap* PtrMap) { return TMapTools::Subdivide(PtrMap, LngFactor); });
}

void TMapHandlers::Extract(const TMapArguments& Args)
{
    const TPoint First(Args.Number(Args.Argument(1), "X1"), Args.Number(Args.Argument(2), "Y1"));
    const TPoint Second(Args.Number(Args.Argument(3), "X2"), Args.Number(Args.Argument(4), "Y2"));
    TMapRun Run(Args);
    const TMapPtr PtrMap = Run.Load(Args.Argument(0));
    const TMapPtr PtrResult(TMapTools::Extract(PtrMap.get(), &First, &Second));
    TMapNoData::Declare(*PtrResult, PtrMap->GetNoDataValue());
    Run.Write(*PtrResult, Args.Required("-o"), Args.Argument(0));
}

void TMapHandlers::Insert(const TMapArguments& Args)
{
    TMapRun Run(Args);
    const TMapPtr PtrDestination = Run.Load(Args.Argument(0));
    const TMapPtr PtrPiece = Run.Load(Args.Argument(1));
    TMapNoData::Recode(*PtrPiece, PtrDestination->GetNoDataValue());
    TMapTools::Insert(PtrDestination.get(), PtrPiece.get());
    Run.Write(*PtrDestination, Args.Required("-o"), Args.Argument(0));
}

void TMapHandlers::Intersect(const TMapArguments& Args)
{
    TMapRun Run(Args);
    const TMapPtr PtrFirst = Run.Load(Args.Argument(0));
    const TMapPtr PtrSecond = Run.Load(Args.Argument(1));
    TMap* PtrRawFirst = nullptr;
    TMap* PtrRawSecond = nullptr;
    TMapTools::Intersection(PtrFirst.get(), PtrSecond.get(), PtrRawFirst, PtrRawSecond);
    const TMapPtr PtrFirstPart(PtrRawFirst);
    const TMapPtr PtrSecondPart(PtrRawSecond);
    TMapNoData::Declare(*PtrFirstPart, PtrFirst->GetNoDataValue());
    TMapNoData::Declare(*PtrSecondPart, PtrSecond->GetNoDataValue());
    const std::vector<std::string> VecNames = Args.Pattern("-o", 2);
    Run.Write({{PtrFirstPart.get(), VecNames[0], Args.Argument(0)},
               {PtrSecondPart.get(), VecNames[1], Args.Argument(1)}});
}
