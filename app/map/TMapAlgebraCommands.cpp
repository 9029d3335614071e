// Arithmetic between maps, held in memory.
#include <memory>
#include <string>
#include <vector>

#include "app/map/TMapArguments.h"
#include "app/map/TMapHandlers.h"
#include "app/map/TMapNoData.h"
#include "app/map/TMapRun.h"
#include "util/TError.h"
#include "ops/TMapTools.h"

namespace {

using TMapPtr = TMapRun::TMapPtr;

// A OP B on the finer map's (or A's) geometry and no-data value.
void Pairwise(const TMapArguments& Args, TMap* (*Op)(const TMap*, const TMap*))
{
    TMapRun Run(Args);
    TMapPtr PtrResult;
    {
        const TMapPtr PtrFirst = Run.Load(Args.Argument(0));
        const TMapPtr PtrSecond = Run.Load(Args.Argument(1));
        PtrResult.reset(Op(PtrFirst.get(), PtrSecond.get()));
    }
    Run.Write(*PtrResult, Args.Required("-o"), Args.Argument(0));
}

// Sum or Average of the inputs, under the first input's no-data value.
void Reduce(const TMapArguments& Args, TMap* (*Op)(std::vector<TMap*>))
{
    TMapRun Run(Args);
    const std::vector<TMapPtr> VecMaps = Run.LoadAll(Args.Arguments());
    const TMapPtr PtrResult(Op(TMapRun::Raw(VecMaps)));
    TMapNoData::WhereAny(*PtrResult, TMapRun::Raw(VecMaps), VecMaps.front()->GetNoDataValue());
    Run.Write(*PtrResult, Args.Required("-o"), Args.Argument(0));
}

// Result i of a series over windows of the inputs, to name i of the pattern.
void WriteSeries(TMapRun& Run, const TMapArguments& Args, const std::vector<TMapPtr>& VecResults)
{
    const std::vector<std::string> VecNames = Args.Pattern("-o", VecResults.size());
    std::vector<TMapRun::TGridOut> VecOutputs;
    for (std::size_t LngAt = 0; LngAt < VecResults.size(); ++LngAt)
        VecOutputs.push_back({VecResults[LngAt].get(), VecNames[LngAt], Args.Argument(0)});
    Run.Write(VecOutputs);
}

std::vector<TMapPtr> Owned(const std::vector<TMap*>& VecMaps)
{
    return std::vector<TMapPtr>(VecMaps.begin(), VecMaps.end());
}

std::vector<TMap*> Window(const std::vector<TMapPtr>& VecMaps, std::size_t LngStart,
                          std::size_t LngCount)
{
    const std::vector<TMap*> VecRaw = TMapRun::Raw(VecMaps);
    return std::vector<TMap*>(VecRaw.begin() + static_cast<long>(LngStart),
                              VecRaw.begin() + static_cast<long>(LngStart + LngCount));
}

}  // namespace

void TMapHandlers::Add(const TMapArguments& Args)
{
    Pairwise(Args, TMapTools::Add);
}

void TMapHandlers::Subtract(const TMapArguments& Args)
{
    Pairwise(Args, TMapTools::Subtract);
}

void TMapHandlers::Multiply(const TMapArguments& Args)
{
    Pairwise(Args, TMapTools::Multiply);
}

void TMapHandlers::Divide(const TMapArguments& Args)
{
    Pairwise(Args, TMapTools::Divide);
}

void TMapHandlers::Sum(const TMapArguments& Args)
{
    Reduce(Args, TMapTools::Sum);
}

void TMapHandlers::Average(const TMapArguments& Args)
{
    Reduce(Args, TMapTools::Average);
}

void TMapHandlers::Count(const TMapArguments& Args)
{
    TMapRun Run(Args);
    const std::vector<TMapPtr> VecMaps = Run.LoadAll(Args.Arguments());
    const TMapPtr PtrResult(TMapTools::DataCounts(TMapRun::Raw(VecMaps)));
    Run.Write(*PtrResult, Args.Required("-o"), Args.Argument(0));
}

void TMapHandlers::MovingAverage(const TMapArguments& Args)
{
    const int LngWindow = Args.Whole(Args.Required("--window"), "--window");
    TMapRun Run(Args);
    const std::vector<TMapPtr> VecMaps = Run.LoadAll(Args.Arguments());
    const std::vector<TMapPtr> VecResults =
        Owned(TMapTools::MovingAverage(TMapRun::Raw(VecMaps), LngWindow));
    if (VecResults.empty())
        throw TError("Window is longer than the list of maps");
    const double DblNoData = VecMaps.front()->GetNoDataValue();
    for (std::size_t LngStart = 0; LngStart < VecResults.size(); ++LngStart)
        TMapNoData::WhereAny(*VecResults[LngStart],
                             Window(VecMaps, LngStart, static_cast<std::size_t>(LngWindow)),
                             DblNoData);
    WriteSeries(Run, Args, VecResults);
}

void TMapHandlers::Gradients(const TMapArguments& Args)
{
    const int LngWindow = Args.Whole(Args.Required("--window"), "--window");
    TMapRun Run(Args);
    const std::vector<TMapPtr> VecMaps = Run.LoadAll(Args.Arguments());
    const std::vector<TMapPtr> VecResults =
        Owned(TMapTools::ValueGradients(TMapRun::Raw(VecMaps), LngWindow));
    const double DblNoData = VecMaps.front()->GetNoDataValue();
    for (std::size_t LngStart = 0; LngStart < VecResults.size(); ++LngStart)
        // A slope needs two values; the toolkit gives NaN for fewer.
        TMapNoData::WhereFewer(*VecResults[LngStart],
                               Window(VecMaps, LngStart, static_cast<std::size_t>(LngWindow) + 1),
                               2, DblNoData);
    WriteSeries(Run, Args, VecResults);
}

void TMapHandlers::Mask(const TMapArguments& Args)
{
    TMapRun Run(Args);
    const TMapPtr PtrMap = Run.Load(Args.Argument(0));
    const TMapPtr PtrMask = Run.Load(Args.Argument(1));
    if (PtrMap->GetXDim() != PtrMask->GetXDim())
        throw TError("Map X-dimensions do not match");
    if (PtrMap->GetYDim() != PtrMask->GetYDim())
        throw TError("Map Y-Dimensions do not match");
    TMapNoData::WhereAny(*PtrMap, {PtrMask.get()}, PtrMap->GetNoDataValue());
    Run.Write(*PtrMap, Args.Required("-o"), Args.Argument(0));
}
