// calc: map algebra by expression over named grids.
#include <cctype>
#include <set>

#include "app/TCommandSkeleton.h"
#include "app/engine/TCalcJob.h"
#include "app/engine/TLineUp.h"
#include "app/map/TMapArguments.h"
#include "app/map/TMapCommands.h"
#include "app/map/TMapRun.h"
#include "ops/TExpressionError.h"

namespace {

bool IsName(const std::string& StgName)
{
    if (StgName.empty() || std::isdigit(static_cast<unsigned char>(StgName[0])))
        return false;
    return std::all_of(StgName.begin(), StgName.end(),
                       [](char ChrValue) { return std::isalnum(static_cast<unsigned char>(ChrValue)) || ChrValue == '_'; });
}

class TCalc : public TMapCommand {
public:
    explicit TCalc(const TMapArguments& Args) : MbrArgs(Args)
    {
        std::set<std::string> SetNames;
        bool BlnStandardInput = false;
        for (std::size_t LngAt = 1; LngAt < Args.Arguments().size(); ++LngAt) {
            const std::string& StgBinding = Args.Argument(LngAt);
            const std::size_t LngEquals = StgBinding.find('=');
            const std::string StgName = StgBinding.substr(0, LngEquals);
            if (LngEquals == std::string::npos || !IsName(StgName) || LngEquals + 1 == StgBinding.size())
                Args.Fail("calc: " + StgBinding + " is not NAME=GRID");
            if (!SetNames.insert(StgName).second)
                Args.Fail("calc: the name " + StgName + " is given twice");
            const std::string StgGrid = StgBinding.substr(LngEquals + 1);
            if (StgGrid == "-" && BlnStandardInput)
                Args.Fail("standard input (-) can be read only once");
            BlnStandardInput |= StgGrid == "-";
            MbrVecNames.push_back(StgName);
            MbrVecGrids.push_back(StgGrid);
        }
        if (MbrVecGrids.empty())
            Args.Fail("calc: a grid is needed (NAME=GRID)");
        try {
            MbrPtrExpression = std::make_unique<TExpression>(Args.Argument(0), MbrVecNames);
        } catch (const TExpressionError& Error) {
            Args.Fail("calc: " + std::string(Error.what()) + "\n  " + Args.Argument(0) + "\n  "
                      + std::string(static_cast<std::size_t>(std::max(1L, Error.Column()) - 1), ' ') + "^");
        }
    }

    void Run(TMapRun& Run) override
    {
        const std::vector<TMapRun::TSourcePtr> VecInputs = Run.OpenAll(MbrVecGrids);
        for (const auto& PtrInput : VecInputs)
            TLineUp::Require(*VecInputs[0], *PtrInput);
        const TGridFrame& Frame = VecInputs[0]->Frame();
        const double DblNoData = Run.OutputNoData(*VecInputs[0]);
        Run.WriteGrid(MbrArgs.Output(), *VecInputs[0], Frame, DblNoData, TMapRun::Raw(VecInputs),
                      TCalcJob(*MbrPtrExpression, Frame, VecInputs.size()));
    }

private:
    const TMapArguments& MbrArgs;
    std::vector<std::string> MbrVecNames;
    std::vector<std::string> MbrVecGrids;
    std::unique_ptr<TExpression> MbrPtrExpression;
};

}  // namespace

namespace TMapCommands {

std::unique_ptr<TMapCommand> Calc(const TMapArguments& Args) { return std::make_unique<TCalc>(Args); }

}  // namespace TMapCommands
