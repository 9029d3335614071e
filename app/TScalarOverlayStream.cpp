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
#include "grid/TAxis.h"
#include "grid/TError.h"
#include "io/TGridHeader.h"
#include "io/TOutputFile.h"
#include "io/TTextWriter.h"
#include "io/TGridReader.h"
#include "ops/TScalarOp.h"

namespace {

constexpr std::size_t LngBlockCells = std::size_t{1} << 16;

// The header of the map the toolkit writes for the scaled grid: the loaded
// map's edges, its centres, and the result's edges derived from them. The
// axes take what they would on the toolkit path, and are refused the same way.
TGridHeader ResultHeader(const TGridHeader& Input)
{
    if (!TGridHeader::FitsInMemory(Input.IndexBytes()))
        TGridHeader::ThrowTooLarge();
    const auto Edges = Input.EdgeAxes();
    const std::unique_ptr<TAxis> PtrXCentres(TAxisTools::IntervalsToPoints(Edges.first.get(), 'X'));
    const std::unique_ptr<TAxis> PtrYCentres(TAxisTools::IntervalsToPoints(Edges.second.get(), 'Y'));
    const std::unique_ptr<TAxis> PtrXEdges(TAxisTools::PointsToIntervals(PtrXCentres.get(), 'X'));
    const std::unique_ptr<TAxis> PtrYEdges(TAxisTools::PointsToIntervals(PtrYCentres.get(), 'Y'));
    return TGridHeader::OfEdges(PtrXEdges.get(), PtrYEdges.get(), PtrXCentres->GetResolution(),
                                Input.DblNoDataValue);
}

// Writes the header, then the cells with a line end after each row.
class TResultWriter {
public:
    TResultWriter(std::ostream& Output, long LngCols) : MbrText(Output), MbrLngCols(LngCols) {}

    void SetHeader(std::string StgHeader) { MbrStgHeader = std::move(StgHeader); }

    void Write(const std::vector<double>& VecCells)
    {
        if (!MbrBlnHeaderWritten) {
            MbrText.Put(MbrStgHeader);
            MbrBlnHeaderWritten = true;
        }
        for (std::size_t LngDone = 0; LngDone < VecCells.size();) {
            const std::size_t LngTake = std::min(VecCells.size() - LngDone,
                                                 static_cast<std::size_t>(MbrLngCols - MbrLngColumn));
            MbrText.PutCells(VecCells.data() + LngDone, LngTake, ' ');
            LngDone += LngTake;
            MbrLngColumn += static_cast<long>(LngTake);
            if (MbrLngColumn == MbrLngCols) {
                MbrText.EndLine();
                MbrLngColumn = 0;
            }
        }
    }

    void Flush() { MbrText.Flush(); }

private:
    TTextWriter MbrText;
    long MbrLngCols;
    long MbrLngColumn = 0;
    std::string MbrStgHeader;
    bool MbrBlnHeaderWritten = false;
};

// Reads, scales and writes the body. The header is computed once as many
// cells have arrived as its axes have points, so a header that declares a
// huge grid over a short body costs nothing before the body runs out.
void StreamBody(TGridReader& Reader, const TScalarOp& Op, std::ostream& Output, bool BlnThreaded)
{
    const TGridHeader& Header = Reader.Header();
    const std::uint64_t LngCells = Reader.CellCount();
    const std::uint64_t LngHeaderAt = std::min<std::uint64_t>(
        LngCells, static_cast<std::uint64_t>(Header.LngCols) + static_cast<std::uint64_t>(Header.LngRows));
    TResultWriter Writer(Output, Header.LngCols);
    TCellPipeline Pipeline([&Writer](const TCellPipeline::TBlock& Block) { Writer.Write(Block); },
                           BlnThreaded);
    std::vector<TCellPipeline::TBlock> VecHeld;
    bool BlnHeaderKnown = false;
    auto PublishHeader = [&] {
        Writer.SetHeader(ResultHeader(Header).Text());
        BlnHeaderKnown = true;
        for (TCellPipeline::TBlock& Block : VecHeld)
            Pipeline.Push(std::move(Block));
        VecHeld.clear();
    };

    for (std::uint64_t LngDone = 0; LngDone < LngCells;) {
        TCellPipeline::TBlock Block = Pipeline.TakeEmpty();
        Block.resize(static_cast<std::size_t>(std::min<std::uint64_t>(LngBlockCells, LngCells - LngDone)));
        for (double& DblCell : Block)
            DblCell = Op(Reader.NextCell());
        LngDone += Block.size();
        if (BlnHeaderKnown) {
            Pipeline.Push(std::move(Block));
            continue;
        }
        VecHeld.push_back(std::move(Block));
        if (LngDone >= LngHeaderAt)
            PublishHeader();
    }
    if (!BlnHeaderKnown)
        PublishHeader();
    Pipeline.Finish();
    Writer.Flush();
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
    TGridReader Reader(Input);
    const TScalarOp Op = OperationOrThrow(Reader, ChrOperation, DblScalar);

    // Declared first so that it outlives the file it guards.
    std::optional<TInterruptCleanup> Cleanup;
    std::unique_ptr<TOutputFile> PtrOutput;
    try {
        const TInterruptCleanup::THold Hold;
        PtrOutput = std::make_unique<TOutputFile>(StgOutput);
        if (!PtrOutput->WritesDirectly())
            Cleanup.emplace(PtrOutput->WorkingName());
    } catch (const TFileError&) {
        // The input's own failures, found later, come first.
        Reader.SkipRemainingCells();
        ResultHeader(Reader.Header());
        throw;
    }
    StreamBody(Reader, Op, PtrOutput->Stream(), UseSecondThread(LngThreads));
    PtrOutput->Commit();
}
