#include "app/map/TMapRun.h"

#include <fstream>
#include <iostream>
#include <optional>
#include <streambuf>

#include "app/TCommandOutput.h"
#include "app/map/TMapArguments.h"
#include "app/map/TMapInput.h"
#include "util/TError.h"
#include "io/TARCGISFileTools.h"
#include "io/TGridReader.h"

namespace {

// Passes a stream's bytes on, counting them for the progress line.
class TCountingBuffer : public std::streambuf {
public:
    TCountingBuffer(std::streambuf& Source, TProgress& Progress)
        : MbrSource(Source), MbrProgress(Progress) {}

protected:
    int_type underflow() override
    {
        const std::streamsize LngRead = MbrSource.sgetn(MbrArrBuffer, sizeof MbrArrBuffer);
        if (LngRead <= 0)
            return traits_type::eof();
        MbrLngCount += static_cast<std::uint64_t>(LngRead);
        MbrProgress.Update(MbrLngCount);
        setg(MbrArrBuffer, MbrArrBuffer, MbrArrBuffer + LngRead);
        return traits_type::to_int_type(MbrArrBuffer[0]);
    }

private:
    std::streambuf& MbrSource;
    TProgress& MbrProgress;
    std::uint64_t MbrLngCount = 0;
    char MbrArrBuffer[1 << 16];
};

std::string Shown(const std::string& StgName)
{
    return StgName == "-" ? "standard input" : StgName;
}

}  // namespace

TMapRun::TMapRun(const TMapArguments& Args)
    : MbrDialect(Args.Strict() ? TGridDialect::Strict : TGridDialect::Tolerant),
      MbrProgress(!Args.Quiet())
{
}

TMapRun::TMapPtr TMapRun::Load(const std::string& StgName)
{
    TMapInput Input(StgName);
    Input.ReadOnce();
    MbrProgress.Stage("reading " + Shown(StgName), Input.Size());
    TCountingBuffer Counting(*Input.Stream().rdbuf(), MbrProgress);
    std::istream Counted(&Counting);
    return TMapPtr(TARCGISFileTools::LoadARCGISFile(Counted, MbrDialect));
}

std::vector<TMapRun::TMapPtr> TMapRun::LoadAll(const std::vector<std::string>& VecNames)
{
    std::vector<TMapPtr> VecMaps;
    for (const std::string& StgName : VecNames)
        VecMaps.push_back(Load(StgName));
    return VecMaps;
}

std::vector<TMap*> TMapRun::Raw(const std::vector<TMapPtr>& VecMaps)
{
    std::vector<TMap*> VecRaw;
    for (const TMapPtr& PtrMap : VecMaps)
        VecRaw.push_back(PtrMap.get());
    return VecRaw;
}

void TMapRun::Write(const std::vector<TGridOut>& VecOutputs)
{
    std::vector<std::unique_ptr<TCommandOutput>> VecFiles;
    for (const TGridOut& Output : VecOutputs)
        VecFiles.push_back(std::make_unique<TCommandOutput>(Output.StgName, true, Output.StgSidecarOf));
    for (std::size_t LngAt = 0; LngAt < VecOutputs.size(); ++LngAt) {
        const TMap& Map = *VecOutputs[LngAt].PtrMap;
        // The toolkit's writer lays the rows out on all cores at once, so
        // the line shows the stage rather than a share of it.
        MbrProgress.Stage("writing " + VecOutputs[LngAt].StgName, 1);
        TARCGISFileTools::WriteARCGISFile(&Map, VecFiles[LngAt]->Stream());
        MbrProgress.Update(1);
        VecFiles[LngAt]->Finish();
    }
    for (const auto& PtrFile : VecFiles)
        PtrFile->Commit();
    MbrProgress.End();
}

void TMapRun::Stream(const std::string& StgInput, const std::string& StgOutput,
                     const std::function<TGridStream::TBlockFunction(const TGridHeader&)>& MakeFunction)
{
    TMapInput Input(StgInput);
    // Declared first so that it outlives the reader, which hands it back
    // what it read ahead.
    std::ifstream Again;
    auto PtrReader = std::make_unique<TGridReader>(Input.Stream(), MbrDialect, StgInput);
    TGridHeader Header = PtrReader->Header();
    if (Header.BlnNoDataGiven) {
        Input.ReadOnce();
    } else {
        // The cells decide the no-data value, as they do for a loaded map:
        // a first reading finds it, a second one writes.
        Header.DblNoDataValue = UnusedNoDataValue(Input.ReadAgain(), StgInput);
        PtrReader.reset();
        Again = Input.ReadAgain();
        PtrReader = std::make_unique<TGridReader>(Again, MbrDialect, StgInput);
    }
    const TGridStream::TBlockFunction Function = MakeFunction(Header);
    std::optional<TCommandOutput> Output;
    try {
        Output.emplace(StgOutput, true, StgInput);
    } catch (const TFileError&) {
        // The input's own failures, found later, come first.
        PtrReader->SkipRemainingCells();
        throw;
    }
    MbrProgress.Stage("writing " + StgOutput, PtrReader->CellCount());
    TGridStream::Write(*PtrReader, Header, Function, Output->Stream(), 0, &MbrProgress);
    Output->Commit();
    MbrProgress.End();
}

double TMapRun::UnusedNoDataValue(std::ifstream Input, const std::string& StgName)
{
    TGridReader Reader(Input, MbrDialect, StgName);
    TGridHeader::TUnusedNoData Unused;
    MbrProgress.Stage("reading " + Shown(StgName), Reader.CellCount());
    TGridStream::Run(Reader, nullptr,
                     [&Unused](const double* PtrCells, std::size_t LngCount) {
                         Unused.Add(PtrCells, LngCount);
                     },
                     0, &MbrProgress);
    return Unused.Value();
}

void TMapRun::Scan(const std::string& StgInput,
                   const std::function<TGridStream::TBlockConsumer(const TGridHeader&)>& MakeConsumer)
{
    TMapInput Input(StgInput);
    Input.ReadOnce();
    TGridReader Reader(Input.Stream(), MbrDialect, StgInput);
    MbrProgress.Stage("reading " + Shown(StgInput), Reader.CellCount());
    TGridStream::Run(Reader, nullptr, MakeConsumer(Reader.Header()), 0, &MbrProgress);
    MbrProgress.End();
}

std::ostream& TMapRun::Text()
{
    MbrProgress.End();
    return std::cout;
}

void TMapRun::FinishText()
{
    if (!std::cout.flush())
        throw TFileError("Unable to write file -");
}

std::vector<std::vector<std::string>> TMapRun::ReadCsv(const std::string& StgName)
{
    TMapInput Input(StgName);
    Input.ReadOnce();
    std::vector<std::vector<std::string>> VecLines;
    for (std::string StgLine; std::getline(Input.Stream(), StgLine);) {
        if (!StgLine.empty() && StgLine.back() == '\r')
            StgLine.pop_back();
        if (StgLine.empty())
            continue;
        std::vector<std::string> VecFields(1);
        for (char ChrValue : StgLine)
            if (ChrValue == ',')
                VecFields.emplace_back();
            else
                VecFields.back() += ChrValue;
        VecLines.push_back(VecFields);
    }
    return VecLines;
}
