// Terrain: slope, aspect and hillshade by Horn's method, as gdaldem
// computes them, streamed over a window of three rows.
#include <cmath>

#include "app/engine/TTerrainJob.h"
#include "app/map/TMapArguments.h"
#include "app/map/TMapCommands.h"
#include "app/map/TMapRun.h"

namespace {

using TProduct = TTerrainOptions::TProduct;

class TTerrainCommand : public TMapCommand {
public:
    TTerrainCommand(const TMapArguments& Args, TProduct Product) : MbrArgs(Args)
    {
        MbrOptions.Product = Product;
        MbrOptions.BlnPercent = Args.Has("--percent");
        MbrOptions.BlnComputeEdges = Args.Has("--compute-edges");
        if (Args.Has("--multidirectional"))
            MbrOptions.Shading = TTerrainOptions::TShading::Multidirectional;
        MbrOptions.DblScale = Positive("--scale", MbrOptions.DblScale);
        MbrOptions.DblZ = Finite("--z", MbrOptions.DblZ);
        MbrOptions.DblAzimuth = Finite("--azimuth", MbrOptions.DblAzimuth);
        MbrOptions.DblAltitude = Finite("--altitude", MbrOptions.DblAltitude);
    }

    void Run(TMapRun& Run) override
    {
        const TMapRun::TSourcePtr PtrInput = Run.Open(MbrArgs.Argument(0));
        const TGridFrame& Frame = PtrInput->Frame();
        const TTerrain Terrain(MbrOptions, Frame);
        const double DblNoData = Run.OutputNoData(*PtrInput);
        Run.WriteGrid(MbrArgs.Output(), *PtrInput, Frame, DblNoData, {PtrInput.get()}, TTerrainJob(Terrain, Frame));
    }

private:
    double Finite(const char* StgOption, double DblDefault) const
    {
        if (!MbrArgs.Has(StgOption))
            return DblDefault;
        const double DblValue = MbrArgs.Number(MbrArgs.Value(StgOption), StgOption);
        if (!std::isfinite(DblValue))
            MbrArgs.Fail(std::string(StgOption) + " must be a finite number, not " + MbrArgs.Value(StgOption));
        return DblValue;
    }
    double Positive(const char* StgOption, double DblDefault) const
    {
        const double DblValue = Finite(StgOption, DblDefault);
        if (!(DblValue > 0.0))
            MbrArgs.Fail(std::string(StgOption) + " must be greater than 0, not " + MbrArgs.Value(StgOption));
        return DblValue;
    }

    const TMapArguments& MbrArgs;
    TTerrainOptions MbrOptions;
};

}  // namespace

namespace TMapCommands {

std::unique_ptr<TMapCommand> Slope(const TMapArguments& Args)
{
    return std::make_unique<TTerrainCommand>(Args, TProduct::Slope);
}

std::unique_ptr<TMapCommand> Aspect(const TMapArguments& Args)
{
    return std::make_unique<TTerrainCommand>(Args, TProduct::Aspect);
}

std::unique_ptr<TMapCommand> Hillshade(const TMapArguments& Args)
{
    return std::make_unique<TTerrainCommand>(Args, TProduct::Hillshade);
}

}  // namespace TMapCommands
