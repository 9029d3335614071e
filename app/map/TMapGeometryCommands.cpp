// Resampling and sub-grids: outputs whose frame differs from the input's.
#include <climits>
#include <cmath>

#include "app/engine/TBlockJob.h"
#include "app/engine/TInsertJob.h"
#include "app/engine/TLineUp.h"
#include "app/engine/TResampleJob.h"
#include "app/engine/TSubdivideJob.h"
#include "app/map/TMapArguments.h"
#include "app/map/TMapCommands.h"
#include "app/map/TMapRun.h"
#include "grid/TGridSize.h"
#include "util/TError.h"
#include "util/TNumberFormat.h"

namespace {

// Edges closer than this share of a cell to a cell's edge count as on it,
// so that coordinates differing in their last digits do not decide.
constexpr double Tolerance = 1.0 / 1024.0;

// Cells LngFirst..LngLast-1 along one direction of a frame.
struct TRange {
    long LngFirst;
    long LngLast;
    long Count() const { return LngLast - LngFirst; }
};

// The block of Frame's cells given by its rows (from the north) and columns.
TGridFrame BlockFrame(const TGridFrame& Frame, TRange Rows, TRange Cols)
{
    return Frame.Block(Rows.LngFirst, Rows.LngLast, Cols.LngFirst, Cols.LngLast);
}

long Clamped(double DblIndex, long LngCount)
{
    return DblIndex <= 0.0 ? 0 : DblIndex >= static_cast<double>(LngCount) ? LngCount : static_cast<long>(DblIndex);
}

// The cells a frame's axis (from DblStart, LngCount cells) has over the
// open interval (DblLow, DblHigh) of positions counted from that start.
TRange Overlapping(double DblLow, double DblHigh, double DblCellSize, long LngCount)
{
    return {Clamped(std::floor(DblLow / DblCellSize + Tolerance), LngCount),
            Clamped(std::ceil(DblHigh / DblCellSize - Tolerance), LngCount)};
}

// The cells lying wholly inside [DblLow, DblHigh]; where none does, the
// one holding its middle.
TRange Inside(double DblLow, double DblHigh, double DblCellSize, long LngCount)
{
    const TRange Range{Clamped(std::ceil(DblLow / DblCellSize - Tolerance), LngCount),
                       Clamped(std::floor(DblHigh / DblCellSize + Tolerance), LngCount)};
    if (Range.Count() > 0)
        return Range;
    const long LngMiddle = Clamped(std::floor((DblLow + DblHigh) / 2 / DblCellSize), LngCount - 1);
    return {LngMiddle, LngMiddle + 1};
}

class TResample : public TMapCommand {
public:
    explicit TResample(const TMapArguments& Args) : MbrArgs(Args), MbrMethod(MethodOf(Args))
    {
        const bool BlnLike = Args.Has("--like");
        if (BlnLike && Args.Arguments().size() > 1)
            Args.Fail("give CELLSIZE or --like, not both");
        if (!BlnLike && Args.Arguments().size() < 2)
            Args.Fail("CELLSIZE or --like is required");
        if (!BlnLike) {
            MbrDblCellSize = Args.Number(Args.Argument(1), "CELLSIZE");
            if (!(MbrDblCellSize > 0.0 && std::isfinite(MbrDblCellSize)))
                Args.Fail("CELLSIZE must be a number greater than 0, not " + Args.Argument(1));
        }
    }

    void Run(TMapRun& Run) override
    {
        const TMapRun::TSourcePtr PtrInput = Run.Open(MbrArgs.Argument(0));
        const TGridFrame Target = MbrArgs.Has("--like") ? Run.Open(MbrArgs.Value("--like"))->Frame()
                                                         : TResampler::FrameForCellSize(PtrInput->Frame(), MbrDblCellSize);
        const TResampler Resampler(PtrInput->Frame(), Target, MbrMethod);
        const double DblNoData = Run.OutputNoData(*PtrInput);
        Run.WriteGrid(MbrArgs.Output(), *PtrInput, Target, DblNoData, {PtrInput.get()},
                      TResampleJob(Resampler, Target.LngCols));
    }

private:
    static TResampler::TMethod MethodOf(const TMapArguments& Args)
    {
        const std::string StgMethod = Args.Has("--method") ? Args.Value("--method") : "bilinear";
        if (StgMethod == "bilinear")
            return TResampler::TMethod::Bilinear;
        if (StgMethod == "nearest")
            return TResampler::TMethod::Nearest;
        Args.Fail("--method must be bilinear or nearest, not " + StgMethod);
    }

    const TMapArguments& MbrArgs;
    TResampler::TMethod MbrMethod;
    double MbrDblCellSize = 0.0;
};

class TSubdivide : public TMapCommand {
public:
    explicit TSubdivide(const TMapArguments& Args)
        : MbrArgs(Args), MbrLngFactor(Args.Whole(Args.Argument(1), "FACTOR", 1, LONG_MAX))
    {
    }

    void Run(TMapRun& Run) override
    {
        const TMapRun::TSourcePtr PtrInput = Run.Open(MbrArgs.Argument(0));
        TGridFrame Frame = PtrInput->Frame();
        Frame.LngCols = TGridSize::Dimension(Frame.LngCols, MbrLngFactor);
        Frame.LngRows = TGridSize::Dimension(Frame.LngRows, MbrLngFactor);
        Frame.DblCellSize /= static_cast<double>(MbrLngFactor);
        const double DblNoData = Run.OutputNoData(*PtrInput);
        Run.WriteGrid(MbrArgs.Output(), *PtrInput, Frame, DblNoData, {PtrInput.get()},
                      TSubdivideJob(MbrLngFactor, PtrInput->Frame().LngCols));
    }

private:
    const TMapArguments& MbrArgs;
    long MbrLngFactor;
};

class TExtract : public TMapCommand {
public:
    explicit TExtract(const TMapArguments& Args) : MbrArgs(Args)
    {
        const char* const ArrNames[] = {"X1", "Y1", "X2", "Y2"};
        for (std::size_t LngAt = 0; LngAt < 4; ++LngAt)
            MbrArrBox[LngAt] = Args.Number(Args.Argument(LngAt + 1), ArrNames[LngAt]);
    }

    void Run(TMapRun& Run) override
    {
        const TMapRun::TSourcePtr PtrInput = Run.Open(MbrArgs.Argument(0));
        const TGridFrame& Frame = PtrInput->Frame();
        const double DblWest = std::min(MbrArrBox[0], MbrArrBox[2]);
        const double DblEast = std::max(MbrArrBox[0], MbrArrBox[2]);
        const double DblSouth = std::min(MbrArrBox[1], MbrArrBox[3]);
        const double DblNorth = std::max(MbrArrBox[1], MbrArrBox[3]);
        const TRange Cols = Overlapping(DblWest - Frame.West(), DblEast - Frame.West(), Frame.DblCellSize, Frame.LngCols);
        const TRange Rows = Overlapping(Frame.North() - DblNorth, Frame.North() - DblSouth, Frame.DblCellSize, Frame.LngRows);
        if (Cols.Count() <= 0 || Rows.Count() <= 0)
            throw TError("the box " + Box() + " overlaps no cell of " + PtrInput->Shown());
        const double DblNoData = Run.OutputNoData(*PtrInput);
        Run.WriteGrid(MbrArgs.Output(), *PtrInput, BlockFrame(Frame, Rows, Cols), DblNoData,
                      {PtrInput.get()}, TBlockJob(Rows.LngFirst, Cols.LngFirst, Cols.Count()));
    }

private:
    std::string Box() const
    {
        std::string StgBox;
        for (double DblValue : MbrArrBox)
            StgBox += (StgBox.empty() ? "" : " ") + TNumberFormat::ToString(DblValue);
        return StgBox;
    }

    const TMapArguments& MbrArgs;
    double MbrArrBox[4] = {};
};

class TInsert : public TMapCommand {
public:
    explicit TInsert(const TMapArguments& Args) : MbrArgs(Args) {}

    void Run(TMapRun& Run) override
    {
        const std::vector<TMapRun::TSourcePtr> VecInputs = Run.OpenAll(MbrArgs.Arguments());
        const TGridFrame& Destination = VecInputs[0]->Frame();
        const TGridFrame& Piece = VecInputs[1]->Frame();
        const long LngCol = WholeCells(Piece.West() - Destination.West(), *VecInputs[1], *VecInputs[0]);
        const long LngRow = WholeCells(Destination.North() - Piece.North(), *VecInputs[1], *VecInputs[0]);
        if (LngCol < 0 || LngRow < 0)
            throw TError("Insert map's NW corner is outside of the destination map in TMapTools::Insert");
        if (LngCol + Piece.LngCols > Destination.LngCols || LngRow + Piece.LngRows > Destination.LngRows)
            throw TError("Insert map's SE corner is outside of the destination map in TMapTools::Insert");
        const double DblNoData = Run.OutputNoData(*VecInputs[0]);
        Run.WriteGrid(MbrArgs.Output(), *VecInputs[0], Destination, DblNoData, TMapRun::Raw(VecInputs),
                      TInsertJob(LngRow, LngCol, Piece.LngRows, Piece.LngCols));
    }

private:
    // A distance between the two grids' edges as a whole number of cells;
    // the piece must have the destination's cells and lie on them.
    static long WholeCells(double DblDistance, const TRowSource& Piece, const TRowSource& Destination)
    {
        const double DblCell = Destination.Frame().DblCellSize;
        const double DblPieceCell = Piece.Frame().DblCellSize;
        const double DblSpan = static_cast<double>(std::max({Piece.Frame().LngCols, Piece.Frame().LngRows, 1L}));
        if (!(std::fabs(DblPieceCell - DblCell) * DblSpan <= Tolerance * DblCell))
            throw TError(Piece.Shown() + " does not line up with " + Destination.Shown() + ": cellsize "
                         + TNumberFormat::ToString(DblPieceCell) + " and " + TNumberFormat::ToString(DblCell));
        const double DblCells = DblDistance / DblCell;
        const double DblWhole = std::round(DblCells);
        if (!(std::fabs(DblCells - DblWhole) <= Tolerance) || std::fabs(DblWhole) > 1e15)
            throw TError(Piece.Shown() + " does not line up with " + Destination.Shown() + ": its cells lie "
                         + TNumberFormat::ToString(DblCells - std::floor(DblCells)) + " of a cell off");
        return static_cast<long>(DblWhole);
    }

    const TMapArguments& MbrArgs;
};

class TIntersect : public TMapCommand {
public:
    explicit TIntersect(const TMapArguments& Args) : MbrArgs(Args) {}

    void Run(TMapRun& Run) override
    {
        const std::vector<TMapRun::TSourcePtr> VecInputs = Run.OpenAll(MbrArgs.Arguments());
        const TGridFrame& First = VecInputs[0]->Frame();
        const TGridFrame& Second = VecInputs[1]->Frame();
        if (!Meet(First, Second))
            throw TError("Maps do not intersect in TMapTools::Intersection");
        const double DblWest = std::max(First.West(), Second.West());
        const double DblEast = std::min(First.East(), Second.East());
        const double DblSouth = std::max(First.South(), Second.South());
        const double DblNorth = std::min(First.North(), Second.North());
        const std::vector<std::string> VecOutputs = MbrArgs.Outputs(2);
        for (std::size_t LngAt = 0; LngAt < 2; ++LngAt) {
            TRowSource& Input = *VecInputs[LngAt];
            const TGridFrame& Frame = Input.Frame();
            const TRange Cols = Inside(DblWest - Frame.West(), DblEast - Frame.West(), Frame.DblCellSize, Frame.LngCols);
            const TRange Rows = Inside(Frame.North() - DblNorth, Frame.North() - DblSouth, Frame.DblCellSize, Frame.LngRows);
            const double DblNoData = Run.OutputNoData(Input);
            Run.WriteGrid(VecOutputs[LngAt], Input, BlockFrame(Frame, Rows, Cols), DblNoData,
                          {&Input}, TBlockJob(Rows.LngFirst, Cols.LngFirst, Cols.Count()));
        }
    }

private:
    // In each direction, each grid's first cell ends at or before the other's far edge.
    static bool Meet(const TGridFrame& First, const TGridFrame& Second)
    {
        return First.West() + First.DblCellSize <= Second.East() && Second.West() + Second.DblCellSize <= First.East()
            && First.South() + First.DblCellSize <= Second.North()
            && Second.South() + Second.DblCellSize <= First.North();
    }

    const TMapArguments& MbrArgs;
};

}  // namespace

namespace TMapCommands {

std::unique_ptr<TMapCommand> Resample(const TMapArguments& Args) { return std::make_unique<TResample>(Args); }
std::unique_ptr<TMapCommand> Subdivide(const TMapArguments& Args) { return std::make_unique<TSubdivide>(Args); }
std::unique_ptr<TMapCommand> Extract(const TMapArguments& Args) { return std::make_unique<TExtract>(Args); }
std::unique_ptr<TMapCommand> Insert(const TMapArguments& Args) { return std::make_unique<TInsert>(Args); }
std::unique_ptr<TMapCommand> Intersect(const TMapArguments& Args) { return std::make_unique<TIntersect>(Args); }

}  // namespace TMapCommands
