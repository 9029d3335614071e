// render: a quick-look PNG image of a grid, coloured by a ramp, optionally
// shaded and with a legend, in constant memory.
#include <climits>
#include <cmath>

#include "app/TCommandOutput.h"
#include "app/engine/TCellJob.h"
#include "app/engine/TImageSink.h"
#include "app/engine/TInputFile.h"
#include "app/map/TMapArguments.h"
#include "app/map/TMapCommands.h"
#include "app/map/TMapRun.h"
#include "ops/TValueRange.h"
#include "util/TError.h"

namespace {

// The cells' values into a range, as they come.
class TRangeOfCells : public TRowConsumer {
public:
    void Take(double* const* PtrPlanes, std::uint64_t, std::size_t LngCells) override { Range.Add(PtrPlanes[0], LngCells); }
    TValueRange Range;
};

class TRender : public TMapCommand {
public:
    explicit TRender(const TMapArguments& Args) : MbrArgs(Args)
    {
        if (Args.Has("--range")) {
            const auto [StgMin, StgMax] = Args.Values("--range");
            MbrRange = {Args.Number(StgMin, "--range MIN"), Args.Number(StgMax, "--range MAX")};
            if (!std::isfinite(MbrRange->first) || !std::isfinite(MbrRange->second))
                Args.Fail("--range needs two finite numbers");
        }
        if (Args.Has("--width"))
            MbrLngWidth = Args.Whole(Args.Value("--width"), "--width", 1, INT_MAX);
        const std::string StgRamp = Args.Has("--ramp") ? Args.Value("--ramp") : "viridis";
        if (StgRamp == "viridis" || StgRamp == "terrain" || StgRamp == "gray")
            MbrPtrTable = std::make_unique<TColourTable>(TColourTable::Named(StgRamp));
        else
            MbrStgColourFile = StgRamp;
    }

    void Run(TMapRun& Run) override
    {
        const TMapRun::TSourcePtr PtrInput = Run.Open(MbrArgs.Argument(0), !MbrRange);
        const TGridFrame& Frame = PtrInput->Frame();
        if (Frame.LngCols == 0 || Frame.LngRows == 0)
            throw TError(PtrInput->Shown() + " has no cells to draw");
        if (!MbrPtrTable) {
            TInputFile File(MbrStgColourFile);
            MbrPtrTable = std::make_unique<TColourTable>(TColourTable::Parse(File.Stream(), File.Shown()));
        }
        const std::pair<double, double> Range = MbrRange ? *MbrRange : DataRange(Run, *PtrInput);
        const TColourRamp Ramp(*MbrPtrTable, Range.first, Range.second);
        TCommandOutput Output(MbrArgs.Output(), true, TGridCrs());
        TImageSink Image(Output.Stream(), Frame, Ramp,
                         {MbrLngWidth ? MbrLngWidth : Frame.LngCols, MbrArgs.Has("--hillshade"), MbrArgs.Has("--legend"),
                          Range.first, Range.second});
        Run.Scan({PtrInput.get()}, {Frame.LngCols, Frame.LngRows}, TCellJob::Copy(), Image, "drawing " + MbrArgs.Output());
        Image.Finish();
        Output.Commit();
    }

private:
    // The data's least and greatest value, a first reading of the grid.
    static std::pair<double, double> DataRange(TMapRun& Run, TRowSource& Input)
    {
        const TGridFrame& Frame = Input.Frame();
        TRangeOfCells Cells;
        Run.Scan({&Input}, {Frame.LngCols, Frame.LngRows}, TCellJob::Copy(), Cells, "reading " + Input.Shown());
        if (Cells.Range.Empty())
            throw TError(Input.Shown() + " holds no finite data value to span a ramp: give --range MIN MAX");
        Input.Restart();
        return {Cells.Range.Min(), Cells.Range.Max()};
    }

    const TMapArguments& MbrArgs;
    std::optional<std::pair<double, double>> MbrRange;
    long MbrLngWidth = 0;
    std::unique_ptr<TColourTable> MbrPtrTable;
    std::string MbrStgColourFile;
};

}  // namespace

namespace TMapCommands {

std::unique_ptr<TMapCommand> Render(const TMapArguments& Args) { return std::make_unique<TRender>(Args); }

}  // namespace TMapCommands
