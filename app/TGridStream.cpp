#include "app/TGridStream.h"

#include <cstdint>
#include <vector>

#include "app/TProgress.h"
#include "util/TSlices.h"
#include "util/TRowWriter.h"
#include "util/TTextWriter.h"

namespace {

// What both paths do with a window: the function on each chunk where it was
// parsed, then on the calling thread the chunks in order, and the progress.
class TFunctionSink : public TGridReader::TCellSink {
public:
    TFunctionSink(const TGridStream::TBlockFunction& Function, TProgress* PtrProgress)
        : MbrFunction(Function), MbrPtrProgress(PtrProgress)
    {
    }

    void BeginWindow(std::uint64_t LngCellsAfter, std::size_t LngChunks) override
    {
        MbrLngCellsAfter = LngCellsAfter;
        MbrLngChunks = LngChunks;
    }
    void Take(std::size_t LngChunk, double* PtrCells, std::size_t LngCount,
              std::uint64_t LngFirst) override
    {
        if (MbrFunction)
            MbrFunction(PtrCells, LngCount);
        TakeChanged(LngChunk, PtrCells, LngCount, LngFirst);
    }
    void EndWindow() override
    {
        for (std::size_t LngChunk = 0; LngChunk < MbrLngChunks; ++LngChunk)
            PassOn(LngChunk);
        if (MbrPtrProgress)
            MbrPtrProgress->Update(MbrLngCellsAfter);
    }

protected:
    // On the chunk's thread, after the function.
    virtual void TakeChanged(std::size_t LngChunk, double* PtrCells, std::size_t LngCount,
                             std::uint64_t LngFirst) = 0;
    // On the calling thread, chunk after chunk.
    virtual void PassOn(std::size_t LngChunk) = 0;

private:
    const TGridStream::TBlockFunction& MbrFunction;
    TProgress* MbrPtrProgress;
    std::uint64_t MbrLngCellsAfter = 0;
    std::size_t MbrLngChunks = 0;
};

class TConsumerSink : public TFunctionSink {
public:
    TConsumerSink(const TGridStream::TBlockFunction& Function,
                  const TGridStream::TBlockConsumer& Consumer, TProgress* PtrProgress,
                  std::size_t LngThreads)
        : TFunctionSink(Function, PtrProgress), MbrConsumer(Consumer), MbrVecChunks(LngThreads)
    {
    }

private:
    void TakeChanged(std::size_t LngChunk, double* PtrCells, std::size_t LngCount,
                     std::uint64_t) override
    {
        MbrVecChunks[LngChunk] = {PtrCells, LngCount};
    }
    void PassOn(std::size_t LngChunk) override
    {
        MbrConsumer(MbrVecChunks[LngChunk].first, MbrVecChunks[LngChunk].second);
    }

    const TGridStream::TBlockConsumer& MbrConsumer;
    std::vector<std::pair<const double*, std::size_t>> MbrVecChunks;
};

class TTextSink : public TFunctionSink {
public:
    TTextSink(const TGridStream::TBlockFunction& Function, std::ostream& Output,
              std::size_t LngCols, TProgress* PtrProgress, std::size_t LngThreads)
        : TFunctionSink(Function, PtrProgress), MbrOutput(Output), MbrLngCols(LngCols),
          MbrVecTexts(LngThreads)
    {
    }

private:
    void TakeChanged(std::size_t LngChunk, double* PtrCells, std::size_t LngCount,
                     std::uint64_t LngFirst) override
    {
        TTextWriter& Text = MbrVecTexts[LngChunk];
        Text.Clear();
        TRowWriter Rows(Text, MbrLngCols, 0, ' ', static_cast<std::size_t>(LngFirst % MbrLngCols));
        Rows.Put(PtrCells, LngCount);
    }
    void PassOn(std::size_t LngChunk) override
    {
        const std::string_view StgText = MbrVecTexts[LngChunk].Text();
        MbrOutput.write(StgText.data(), static_cast<std::streamsize>(StgText.size()));
    }

    std::ostream& MbrOutput;
    std::size_t MbrLngCols;
    std::vector<TTextWriter> MbrVecTexts;
};

std::size_t ThreadsOf(unsigned LngThreads)
{
    return LngThreads > 0 ? LngThreads : TSlices::Threads();
}

}  // namespace

void TGridStream::Run(TGridReader& Reader, const TBlockFunction& Function,
                      const TBlockConsumer& Consumer, unsigned LngThreads, TProgress* PtrProgress)
{
    TConsumerSink Sink(Function, Consumer, PtrProgress, ThreadsOf(LngThreads));
    Reader.ReadCells(Sink, ThreadsOf(LngThreads));
}

void TGridStream::Write(TGridReader& Reader, const TGridHeader& Header,
                        const TBlockFunction& Function, std::ostream& Output, unsigned LngThreads,
                        TProgress* PtrProgress)
{
    TTextWriter Start;
    Start.Put(Header.Text());
    // A grid without columns is its empty lines, which need no cells.
    TRowWriter Lines(Start, static_cast<std::size_t>(Header.LngCols),
                     static_cast<std::size_t>(Header.LngRows), ' ');
    Output.write(Start.Text().data(), static_cast<std::streamsize>(Start.Text().size()));
    TTextSink Sink(Function, Output, static_cast<std::size_t>(Header.LngCols), PtrProgress,
                   ThreadsOf(LngThreads));
    Reader.ReadCells(Sink, ThreadsOf(LngThreads));
    Output.flush();
}
