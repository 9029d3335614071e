// Arithmetic between grids: pairs matched by coordinates, and stacks of
// grids that line up, cell by cell.
#include <algorithm>
#include <climits>
#include <functional>
#include <map>

#include "app/engine/TCellJob.h"
#include "app/engine/TLineUp.h"
#include "app/engine/TPartnerJob.h"
#include "app/map/TMapArguments.h"
#include "app/map/TMapCommands.h"
#include "app/map/TMapRun.h"
#include "ops/TCellOps.h"
#include "util/TError.h"

namespace {

using TSources = std::vector<TMapRun::TSourcePtr>;

// A OP B on the geometry of the finer grid (A on a tie), or of A alone.
class TPairwise : public TMapCommand {
public:
    enum class TDriver { Finer, First };

    TPairwise(const TMapArguments& Args, TPartnerJob::TOp Op, TDriver Driver)
        : MbrArgs(Args), MbrOp(Op), MbrDriver(Driver)
    {
    }

    void Run(TMapRun& Run) override
    {
        const TSources VecInputs = Run.OpenAll({MbrArgs.Argument(0), MbrArgs.Argument(1)});
        const TGridFrame& First = VecInputs[0]->Frame();
        const TGridFrame& Second = VecInputs[1]->Frame();
        const bool BlnSecondFiner = Second.DblCellSize < First.DblCellSize;
        if (MbrDriver == TDriver::First && BlnSecondFiner)
            throw TError("Divisor must be of equal of coarser resolution than the dividend in TMapTools::Divide");
        const TPartnerJob Job(First, Second, MbrDriver == TDriver::Finer && BlnSecondFiner, MbrOp);
        const double DblNoData = Run.OutputNoData(*VecInputs[0]);
        Run.WriteGrid(MbrArgs.Output(), *VecInputs[0], Job.Output(), DblNoData,
                      TMapRun::Raw(VecInputs), Job);
    }

private:
    const TMapArguments& MbrArgs;
    TPartnerJob::TOp MbrOp;
    TDriver MbrDriver;
};

// Grids that must line up with the first, cell by cell into one grid.
class TStack : public TMapCommand {
public:
    using TFunction = TCellJob::TCellFunction;

    TStack(const TMapArguments& Args, TFunction Function) : MbrArgs(Args), MbrFunction(std::move(Function)) {}

    void Run(TMapRun& Run) override
    {
        const TSources VecInputs = Run.OpenAll(MbrArgs.Arguments());
        for (const auto& PtrInput : VecInputs)
            TLineUp::Require(*VecInputs[0], *PtrInput);
        const double DblNoData = Run.OutputNoData(*VecInputs[0]);
        Run.WriteGrid(MbrArgs.Output(), *VecInputs[0], VecInputs[0]->Frame(), DblNoData,
                      TMapRun::Raw(VecInputs), TCellJob(VecInputs.size(), MbrFunction));
    }

private:
    const TMapArguments& MbrArgs;
    TFunction MbrFunction;
};

// A stack of at least LngLeast grids, given as arguments.
void RequireGrids(const TMapArguments& Args, std::size_t LngLeast)
{
    if (Args.Arguments().size() < LngLeast)
        Args.Fail("needs " + std::to_string(LngLeast) + " grids or more");
}

// The cell functions of a stack of LngInputs grids, no data the marker in
// and out.
TStack::TFunction DifferenceCells(std::size_t)
{
    return [](const double* const* PtrInputs, std::size_t LngCells, double* const* PtrPlanes) {
        TCellOps::PairCells(PtrInputs[0], PtrInputs[1], LngCells, std::minus<double>(), TNoData::IsMarker,
                            TNoData::Marker(), PtrPlanes[0]);
    };
}

TStack::TFunction SumCells(std::size_t LngInputs)
{
    return [LngInputs](const double* const* PtrInputs, std::size_t LngCells, double* const* PtrPlanes) {
        TCellOps::SumCells(PtrInputs, LngInputs, LngCells, TNoData::IsMarker, TNoData::Marker(), PtrPlanes[0]);
    };
}

TStack::TFunction MeanCells(std::size_t LngInputs)
{
    return [LngInputs](const double* const* PtrInputs, std::size_t LngCells, double* const* PtrPlanes) {
        TCellOps::MeanCells(PtrInputs, LngInputs, LngCells, TNoData::IsMarker, TNoData::Marker(), PtrPlanes[0]);
    };
}

TStack::TFunction DataCountCells(std::size_t LngInputs)
{
    return [LngInputs](const double* const* PtrInputs, std::size_t LngCells, double* const* PtrPlanes) {
        TCellOps::DataCountCells(PtrInputs, LngInputs, LngCells, TNoData::IsMarker, PtrPlanes[0]);
    };
}

TStack::TFunction MaskedCells(std::size_t)
{
    return [](const double* const* PtrInputs, std::size_t LngCells, double* const* PtrPlanes) {
        TCellOps::MaskCells(PtrInputs[0], PtrInputs[1], LngCells, TNoData::IsMarker, TNoData::Marker(), PtrPlanes[0]);
    };
}

TStack::TFunction SlopeCells(std::size_t LngInputs)
{
    return [LngInputs](const double* const* PtrInputs, std::size_t LngCells, double* const* PtrPlanes) {
        TCellOps::SlopeCells(PtrInputs, LngInputs, LngCells, TNoData::IsMarker, TNoData::Marker(), PtrPlanes[0]);
    };
}

// Outputs of a series: each run of LngWindow grids (LngWindow grids from
// grid k, for each k) into name k+1 of the pattern, one run after another,
// so that only the grids of one run are open at a time.
class TSeries : public TMapCommand {
public:
    // A run of --window grids, LngExtra more.
    TSeries(const TMapArguments& Args, long LngExtra, TStack::TFunction (*Make)(std::size_t))
        : MbrArgs(Args),
          MbrLngWindow(Args.Whole(Args.Value("--window"), "--window", 1, LONG_MAX - 1) + LngExtra),
          MbrFunction(Make(static_cast<std::size_t>(MbrLngWindow)))
    {
        if (static_cast<std::size_t>(MbrLngWindow) > Args.Arguments().size())
            Args.Fail("the window takes " + std::to_string(MbrLngWindow) + " grids; "
                      + std::to_string(Args.Arguments().size()) + " are given");
    }

    void Run(TMapRun& Run) override
    {
        const std::vector<std::string>& VecNames = MbrArgs.Arguments();
        const auto LngWindow = static_cast<std::size_t>(MbrLngWindow);
        const std::size_t LngRuns = VecNames.size() - LngWindow + 1;
        const std::vector<std::string> VecOutputs = MbrArgs.Outputs(LngRuns);
        std::map<std::size_t, TMapRun::TSourcePtr> MapOpen;
        MapOpen[0] = Run.Open(VecNames[0], LngRuns > 1);
        const double DblNoData = Run.OutputNoData(*MapOpen[0]);
        for (std::size_t LngRun = 0; LngRun < LngRuns; ++LngRun) {
            std::vector<TRowSource*> VecWindow;
            for (std::size_t LngAt = LngRun; LngAt < LngRun + LngWindow; ++LngAt) {
                auto& PtrSource = MapOpen[LngAt];
                // Grid k is read again in every run from its first to run k.
                if (!PtrSource)
                    PtrSource = Run.Open(VecNames[LngAt], std::min(LngAt, LngRuns - 1) > LngRun);
                else if (PtrSource->CellsRead() > 0)
                    PtrSource->Restart();
                TLineUp::Require(*MapOpen[LngRun], *PtrSource);
                VecWindow.push_back(PtrSource.get());
            }
            Run.WriteGrid(VecOutputs[LngRun], *VecWindow[0], VecWindow[0]->Frame(), DblNoData, VecWindow,
                          TCellJob(LngWindow, MbrFunction));
            MapOpen.erase(LngRun);
        }
    }

private:
    const TMapArguments& MbrArgs;
    long MbrLngWindow;
    TCellJob::TCellFunction MbrFunction;
};

}  // namespace

namespace TMapCommands {

std::unique_ptr<TMapCommand> Add(const TMapArguments& Args)
{
    return std::make_unique<TPairwise>(Args, TPartnerJob::TOp::Add, TPairwise::TDriver::Finer);
}

std::unique_ptr<TMapCommand> Multiply(const TMapArguments& Args)
{
    return std::make_unique<TPairwise>(Args, TPartnerJob::TOp::Multiply, TPairwise::TDriver::Finer);
}

std::unique_ptr<TMapCommand> Divide(const TMapArguments& Args)
{
    return std::make_unique<TPairwise>(Args, TPartnerJob::TOp::Divide, TPairwise::TDriver::First);
}

std::unique_ptr<TMapCommand> Subtract(const TMapArguments& Args)
{
    return std::make_unique<TStack>(Args, DifferenceCells(2));
}

std::unique_ptr<TMapCommand> Sum(const TMapArguments& Args)
{
    RequireGrids(Args, 2);
    return std::make_unique<TStack>(Args, SumCells(Args.Arguments().size()));
}

std::unique_ptr<TMapCommand> Average(const TMapArguments& Args)
{
    RequireGrids(Args, 2);
    return std::make_unique<TStack>(Args, MeanCells(Args.Arguments().size()));
}

std::unique_ptr<TMapCommand> Count(const TMapArguments& Args)
{
    return std::make_unique<TStack>(Args, DataCountCells(Args.Arguments().size()));
}

std::unique_ptr<TMapCommand> Mask(const TMapArguments& Args)
{
    return std::make_unique<TStack>(Args, MaskedCells(2));
}

std::unique_ptr<TMapCommand> MovingAverage(const TMapArguments& Args)
{
    return std::make_unique<TSeries>(Args, 0, MeanCells);
}

// A slope takes two grids at least: a window of N is a run of N + 1.
std::unique_ptr<TMapCommand> Gradients(const TMapArguments& Args)
{
    return std::make_unique<TSeries>(Args, 1, SlopeCells);
}

}  // namespace TMapCommands
