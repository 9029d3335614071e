#include "app/engine/TRowEngine.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>

#include "app/TProgress.h"
#include "util/TSlices.h"

namespace {

// Cells held in one block over all planes and inputs: a few MiB, enough
// that starting the threads of a block costs little beside its work.
constexpr std::size_t AllBlockCells = std::size_t{1} << 20;
// From a pipe, whose cells may come slowly: what came is passed on soon.
constexpr std::size_t FlowingBlockCells = std::size_t{1} << 13;

std::atomic<long> LngBlockSet{0};

// The rows of one input the current block needs, read as the blocks
// advance: rows no longer needed are let go, new ones read after those kept.
class TInputRows {
public:
    explicit TInputRows(TRowSource& Source)
        : MbrSource(Source), MbrLngCols(Source.Frame().LngCols),
          MbrLngFirst(MbrLngCols > 0 ? static_cast<long>(Source.CellsRead() / static_cast<std::uint64_t>(MbrLngCols)) : 0),
          MbrLngLast(MbrLngFirst)
    {
    }

    void MoveTo(TRowSpan Span, long LngMaxStep)
    {
        if (Span.LngFirst >= Span.LngLast)
            return;
        if (Span.LngFirst >= MbrLngLast) {
            Skip(Span.LngFirst - MbrLngLast, LngMaxStep);
            MbrLngFirst = MbrLngLast = Span.LngFirst;
        } else if (Span.LngFirst > MbrLngFirst) {
            const std::size_t LngKept = Cells(MbrLngLast - Span.LngFirst);
            std::memmove(MbrPtrCells.get(), Row(Span.LngFirst), LngKept * sizeof(double));
            MbrLngFirst = Span.LngFirst;
        }
        if (Span.LngLast > MbrLngLast) {
            Reserve(Span.LngLast - MbrLngFirst);
            MbrSource.ReadCells(Row(MbrLngLast), Cells(Span.LngLast - MbrLngLast));
            MbrLngLast = Span.LngLast;
        }
    }

    TRowWindow Window() const
    {
        return TRowWindow(MbrPtrCells.get(), MbrLngFirst, MbrLngLast, MbrLngCols);
    }

private:
    std::size_t Cells(long LngRows) const
    {
        return static_cast<std::size_t>(LngRows) * static_cast<std::size_t>(MbrLngCols);
    }
    double* Row(long LngRow) { return MbrPtrCells.get() + Cells(LngRow - MbrLngFirst); }

    void Reserve(long LngRows)
    {
        if (Cells(LngRows) <= MbrLngCapacity)
            return;
        std::unique_ptr<double[]> PtrCells(new double[Cells(LngRows)]);
        if (MbrLngLast > MbrLngFirst)
            std::memcpy(PtrCells.get(), MbrPtrCells.get(), Cells(MbrLngLast - MbrLngFirst) * sizeof(double));
        MbrPtrCells = std::move(PtrCells);
        MbrLngCapacity = Cells(LngRows);
    }

    // Reads rows nobody needs, a block at a time.
    void Skip(long LngRows, long LngMaxStep)
    {
        MbrLngFirst = MbrLngLast;
        while (LngRows > 0) {
            const long LngStep = std::min(LngRows, LngMaxStep);
            Reserve(LngStep);
            MbrSource.ReadCells(MbrPtrCells.get(), Cells(LngStep));
            LngRows -= LngStep;
        }
    }

    TRowSource& MbrSource;
    long MbrLngCols;
    long MbrLngFirst;
    long MbrLngLast;
    std::unique_ptr<double[]> MbrPtrCells;
    std::size_t MbrLngCapacity = 0;
};


// Blocks of the planes, and pointers into them.
class TPlanes {
public:
    TPlanes(std::size_t LngPlanes, std::size_t LngCells)
    {
        for (std::size_t LngPlane = 0; LngPlane < LngPlanes; ++LngPlane) {
            std::unique_ptr<double[]> PtrBlock(new double[std::max<std::size_t>(1, LngCells)]);
            MbrVecPointers.push_back(PtrBlock.get());
            MbrVecBlocks.push_back(std::move(PtrBlock));
        }
    }
    double* const* Pointers() const { return MbrVecPointers.data(); }
    // The pointers LngOffset cells on.
    std::vector<double*> At(std::size_t LngOffset) const
    {
        std::vector<double*> VecAt(MbrVecPointers);
        for (double*& PtrPlane : VecAt)
            PtrPlane += LngOffset;
        return VecAt;
    }

private:
    std::vector<std::unique_ptr<double[]>> MbrVecBlocks;
    std::vector<double*> MbrVecPointers;
};

// A cellwise job over inputs of the output's shape: blocks of cells cut
// anywhere, so that a grid of any shape streams in the same memory.
void RunCells(const std::vector<TRowSource*>& VecInputs, std::uint64_t LngCells, std::size_t LngPlanes,
              const TRowJob::TCellFunction& Function, TRowConsumer& Consumer, TProgress* PtrProgress,
              std::size_t LngBlock)
{
    const TPlanes Inputs(VecInputs.size(), LngBlock);
    const TPlanes Planes(LngPlanes, LngBlock);
    for (std::uint64_t LngFirst = 0; LngFirst < LngCells; LngFirst += LngBlock) {
        const auto LngCount = static_cast<std::size_t>(std::min<std::uint64_t>(LngBlock, LngCells - LngFirst));
        for (std::size_t LngInput = 0; LngInput < VecInputs.size(); ++LngInput)
            VecInputs[LngInput]->ReadCells(Inputs.Pointers()[LngInput], LngCount);
        TSlices::Run(LngCount, TSlices::MinCells, [&](std::size_t LngFrom, std::size_t LngTo) {
            const std::vector<double*> VecIn = Inputs.At(LngFrom);
            const std::vector<const double*> VecInConst(VecIn.begin(), VecIn.end());
            Function(VecInConst.data(), LngTo - LngFrom, Planes.At(LngFrom).data());
        });
        Consumer.Take(Planes.Pointers(), LngFirst, LngCount);
        if (PtrProgress)
            PtrProgress->Update(LngFirst + LngCount);
    }
}

// The cells of a block of each input and plane.
std::size_t BlockCells(const std::vector<TRowSource*>& VecInputs, std::size_t LngPlanes)
{
    const long LngSet = LngBlockSet.load(std::memory_order_relaxed);
    if (LngSet > 0)
        return static_cast<std::size_t>(LngSet);
    const bool BlnFlowing = std::any_of(VecInputs.begin(), VecInputs.end(),
                                        [](const TRowSource* PtrInput) { return PtrInput->Flowing(); });
    const std::size_t LngGrids = std::max<std::size_t>(1, VecInputs.size() + LngPlanes);
    return std::max<std::size_t>(1, (BlnFlowing ? FlowingBlockCells : AllBlockCells) / LngGrids);
}

bool SameShape(const std::vector<TRowSource*>& VecInputs, const TRowEngine::TOutputShape& Shape)
{
    return std::all_of(VecInputs.begin(), VecInputs.end(), [&](const TRowSource* PtrInput) {
        return PtrInput->Frame().LngCols == Shape.LngCols && PtrInput->Frame().LngRows == Shape.LngRows
            && PtrInput->CellsRead() == 0;
    });
}

}  // namespace

long TRowEngine::BlockRows(const std::vector<TRowSource*>& VecInputs, const TOutputShape& Shape)
{
    const long LngSet = LngBlockSet.load(std::memory_order_relaxed);
    if (LngSet > 0)
        return LngSet;
    const std::size_t LngRowCells = std::max<std::size_t>(1, static_cast<std::size_t>(Shape.LngCols));
    return static_cast<long>(std::max<std::size_t>(1, BlockCells(VecInputs, Shape.LngPlanes) / LngRowCells));
}

void TRowEngine::SetBlock(long LngSize)
{
    LngBlockSet.store(LngSize, std::memory_order_relaxed);
}

void TRowEngine::Run(const std::vector<TRowSource*>& VecInputs, const TOutputShape& Shape,
                     const TRowJob& Job, TRowConsumer& Consumer, TProgress* PtrProgress)
{
    const auto LngCols = static_cast<std::size_t>(Shape.LngCols);
    if (Job.Cellwise() && SameShape(VecInputs, Shape)) {
        RunCells(VecInputs, static_cast<std::uint64_t>(Shape.LngRows) * LngCols, Shape.LngPlanes,
                 *Job.Cellwise(), Consumer, PtrProgress, BlockCells(VecInputs, Shape.LngPlanes));
        return;
    }
    const long LngBlock = std::min(BlockRows(VecInputs, Shape), std::max(1L, Shape.LngRows));
    std::vector<TInputRows> VecRows;
    for (TRowSource* PtrInput : VecInputs)
        VecRows.emplace_back(*PtrInput);
    const TPlanes Planes(Shape.LngPlanes, Shape.LngRows > 0 ? LngCols * static_cast<std::size_t>(LngBlock) : 0);
    const std::size_t LngMinRows = TSlices::MinCells / std::max<std::size_t>(1, LngCols) + 1;
    for (long LngFirst = 0; LngFirst < Shape.LngRows; LngFirst += LngBlock) {
        const long LngLast = std::min(Shape.LngRows, LngFirst + LngBlock);
        std::vector<TRowWindow> VecWindows;
        for (std::size_t LngInput = 0; LngInput < VecRows.size(); ++LngInput) {
            VecRows[LngInput].MoveTo(Job.Needs(LngInput, LngFirst, LngLast), LngBlock);
            VecWindows.push_back(VecRows[LngInput].Window());
        }
        TSlices::Run(static_cast<std::size_t>(LngLast - LngFirst), LngMinRows,
                     [&](std::size_t LngFrom, std::size_t LngTo) {
                         Job.Compute(VecWindows, LngFirst + static_cast<long>(LngFrom),
                                     LngFirst + static_cast<long>(LngTo), Planes.At(LngFrom * LngCols).data());
                     });
        const std::uint64_t LngFirstCell = static_cast<std::uint64_t>(LngFirst) * LngCols;
        const std::size_t LngCells = static_cast<std::size_t>(LngLast - LngFirst) * LngCols;
        Consumer.Take(Planes.Pointers(), LngFirstCell, LngCells);
        if (PtrProgress)
            PtrProgress->Update(LngFirstCell + LngCells);
    }
}
