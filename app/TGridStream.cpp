#include "app/TGridStream.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "app/TCellPipeline.h"
#include "app/TProgress.h"
#include "util/TRowWriter.h"
#include "util/TTextWriter.h"

namespace {

constexpr std::size_t LngBlockCells = std::size_t{1} << 16;

}  // namespace

void TGridStream::Run(TGridReader& Reader, const TBlockFunction& Function,
                      const TBlockConsumer& Consumer, bool BlnThreaded, TProgress* PtrProgress)
{
    const std::uint64_t LngCells = Reader.CellCount();
    TCellPipeline Pipeline(
        [&Consumer](const TCellPipeline::TBlock& Block) { Consumer(Block.data(), Block.size()); },
        BlnThreaded);
    for (std::uint64_t LngDone = 0; LngDone < LngCells;) {
        TCellPipeline::TBlock Block = Pipeline.TakeEmpty();
        Block.resize(static_cast<std::size_t>(std::min<std::uint64_t>(LngBlockCells, LngCells - LngDone)));
        for (double& DblCell : Block)
            DblCell = Reader.NextCell();
        if (Function)
            Function(Block.data(), Block.size());
        LngDone += Block.size();
        Pipeline.Push(std::move(Block));
        if (PtrProgress)
            PtrProgress->Update(LngDone);
    }
    Pipeline.Finish();
}

void TGridStream::Write(TGridReader& Reader, const TGridHeader& Header,
                        const TBlockFunction& Function, std::ostream& Output, bool BlnThreaded,
                        TProgress* PtrProgress)
{
    TTextWriter Text(Output);
    Text.Put(Header.Text());
    TRowWriter Rows(Text, static_cast<std::size_t>(Header.LngCols),
                    static_cast<std::size_t>(Header.LngRows), ' ');
    Run(Reader, Function,
        [&Rows](const double* PtrCells, std::size_t LngCount) { Rows.Put(PtrCells, LngCount); },
        BlnThreaded, PtrProgress);
    Text.Flush();
}
