// The streaming path of the command: header, then the body in blocks.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <fstream>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "app/TCellPipeline.h"
#include "app/TInterruptCleanup.h"
#include "app/TScalarOverlay.h"
#include "app/TSidecar.h"
#include "grid/TError.h"
#include "io/TGridHeader.h"
#include "io/TGridReader.h"
#include "io/TOutputFile.h"
#include "ops/TScalarOp.h"
#include "util/TRowWriter.h"
#include "util/TTextWriter.h"

namespace {

constexpr std::size_t LngBlockCells = std::size_t{1} << 16;

// Writes the header as read (the result keeps the input's geometry exactly),
// then reads, scales and writes the body in blocks: any shape of grid streams
// in a few blocks of memory.
void StreamBody(TGridReader& Reader, const TScalarOp& Op, std::ostream& Output, bool BlnThreaded)
{
    const TGridHeader& Header = Reader.Header();
    const std::uint64_t LngCells = Reader.CellCount();
    TTextWriter Text(Output);
    Text.Put(Header.Text());
    TRowWriter Rows(Text, static_cast<std::size_t>(Header.LngCols),
                    static_cast<std::size_t>(Header.LngRows), ' ');
    TCellPipeline Pipeline(
        [&Rows](const TCellPipeline::TBlock& Block) { Rows.Put(Block.data(), Block.size()); },
        BlnThreaded);
    for (std::uint64_t LngDone = 0; LngDone < LngCells;) {
        TCellPipeline::TBlock Block = Pipeline.TakeEmpty();
        Block.resize(static_cast<std::size_t>(std::min<std::uint64_t>(LngBlockCells, LngCells - LngDone)));
        for (double& DblCell : Block)
            DblCell = Op(Reader.NextCell());
        LngDone += Block.size();
        Pipeline.Push(std::move(Block));
    }
    Pipeline.Finish();
    Text.Flush();
}

bool UseSecondThread(unsigned LngThreads)
{
    return LngThreads == 0 ? std::thread::hardware_concurrency() > 1 : LngThreads > 1;
}

std::optional<TScalarOp::TKind> KindOf(char ChrOperation)
{
    if (ChrOperation == 'x')
        return TScalarOp::TKind::Multiply;
    if (ChrOperation == '/')
        return TScalarOp::TKind::Divide;
    return std::nullopt;
}

// The operation for a known character; for any other, checks the body
// first, since an unreadable input is reported before a wrong operation.
TScalarOp OperationOrThrow(TGridReader& Reader, char ChrOperation, double DblScalar)
{
    const std::optional<TScalarOp::TKind> Kind = KindOf(ChrOperation);
    if (!Kind) {
        Reader.SkipRemainingCells();
        throw TError("Unknown operation");
    }
    return TScalarOp(*Kind, DblScalar, Reader.Header().DblNoDataValue);
}

}  // namespace

void TScalarOverlay::Run(std::istream& Input, std::ostream& Output, char ChrOperation,
                         double DblScalar, unsigned LngThreads)
{
    TGridReader Reader(Input);
    const TScalarOp Op = OperationOrThrow(Reader, ChrOperation, DblScalar);
    StreamBody(Reader, Op, Output, UseSecondThread(LngThreads));
}

void TScalarOverlay::Run(const std::string& StgInput, const std::string& StgOutput,
                         char ChrOperation, double DblScalar, unsigned LngThreads)
{
    std::ifstream Input = TGridReader::OpenFile(StgInput);
    TGridReader Reader(Input, TGridDialect::Strict, StgInput);
    const TScalarOp Op = OperationOrThrow(Reader, ChrOperation, DblScalar);

    // Declared first so that it outlives the file it guards.
    std::optional<TInterruptCleanup> Cleanup;
    std::unique_ptr<TOutputFile> PtrOutput;
    std::optional<TSidecar> Sidecar;
    try {
        const TInterruptCleanup::THold Hold;
        PtrOutput = std::make_unique<TOutputFile>(StgOutput);
        if (!PtrOutput->WritesDirectly())
            Cleanup.emplace(PtrOutput->WorkingName());
        Sidecar.emplace(StgInput, StgOutput);
    } catch (const TFileError&) {
        // The input's own failures, found later, come first.
        Reader.SkipRemainingCells();
        throw;
    }
    StreamBody(Reader, Op, PtrOutput->Stream(), UseSecondThread(LngThreads));
    Sidecar->CommitWith(*PtrOutput);
}
