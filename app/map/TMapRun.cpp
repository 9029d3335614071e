#include "app/map/TMapRun.h"

#include <iostream>

#include "app/engine/TCellJob.h"
#include "app/engine/TGridSources.h"
#include "app/map/TMapArguments.h"
#include "io/TGridHeader.h"
#include "util/TError.h"

namespace {

// The cells of one grid, as they come, into the search for a value none of
// them holds.
class TUnusedValue : public TRowConsumer {
public:
    void Take(double* const* PtrPlanes, std::uint64_t, std::size_t LngCells) override
    {
        MbrUnused.Add(PtrPlanes[0], LngCells);
    }
    double Value() const { return MbrUnused.Value(); }

private:
    TGridHeader::TUnusedNoData MbrUnused;
};

std::uint64_t Cells(long LngCols, long LngRows)
{
    return static_cast<std::uint64_t>(LngCols) * static_cast<std::uint64_t>(LngRows);
}

}  // namespace

TMapRun::TMapRun(const TMapArguments& Args)
    : MbrDialect(Args.Strict() ? TGridDialect::Strict : TGridDialect::Tolerant),
      MbrLngBand(Args.Band()), MbrOutputSettings(Args.OutputSettings()), MbrNoData(Args.NoData()),
      MbrProgress(!Args.Quiet())
{
}

TMapRun::~TMapRun() = default;

TMapRun::TSourcePtr TMapRun::Open(const std::string& StgName, bool BlnAgain)
{
    TSourcePtr PtrSource = TGridSources::Open(StgName, TAsciiSource::TRules{MbrDialect, true, true}, MbrLngBand);
    if (BlnAgain)
        MbrSetReadAgain.insert(PtrSource.get());
    return PtrSource;
}

void TMapRun::LastReading(const std::vector<TRowSource*>& VecInputs)
{
    for (TRowSource* PtrInput : VecInputs)
        if (!MbrSetReadAgain.count(PtrInput))
            PtrInput->ReadOnce();
}

std::vector<TMapRun::TSourcePtr> TMapRun::OpenAll(const std::vector<std::string>& VecNames)
{
    std::vector<TSourcePtr> VecSources;
    for (const std::string& StgName : VecNames)
        VecSources.push_back(Open(StgName));
    return VecSources;
}

std::vector<TRowSource*> TMapRun::Raw(const std::vector<TSourcePtr>& VecSources)
{
    std::vector<TRowSource*> VecRaw;
    for (const TSourcePtr& PtrSource : VecSources)
        VecRaw.push_back(PtrSource.get());
    return VecRaw;
}

double TMapRun::OutputNoData(TRowSource& First)
{
    if (MbrNoData)
        return *MbrNoData;
    if (First.NoData().Given())
        return First.NoData().Value();
    const TGridFrame& Frame = First.Frame();
    TUnusedValue Unused;
    MbrProgress.Stage("reading " + First.Shown(), Cells(Frame.LngCols, Frame.LngRows));
    TRowEngine::Run({&First}, {Frame.LngCols, Frame.LngRows}, TCellJob::Copy(), Unused, &MbrProgress);
    MbrProgress.End();
    First.Restart();
    return Unused.Value();
}

void TMapRun::WriteGrid(const std::string& StgName, const TRowSource& CrsOf, const TGridFrame& Frame,
                        double DblNoData, const std::vector<TRowSource*>& VecInputs, const TRowJob& Job)
{
    WriteGrid(StgName, CrsOf.Crs(), Frame, DblNoData, [&](TRowConsumer& Consumer, TProgress* PtrProgress) {
        LastReading(VecInputs);
        TRowEngine::Run(VecInputs, {Frame.LngCols, Frame.LngRows}, Job, Consumer, PtrProgress);
    });
}

void TMapRun::WriteGrid(const std::string& StgName, const TGridCrs& Crs, const TGridFrame& Frame,
                        double DblNoData, const TFill& Fill)
{
    TGridOutput& Output = OpenGrid(StgName, Crs, Frame, DblNoData);
    MbrProgress.Stage("writing " + (StgName == "-" ? std::string("standard output") : StgName),
                      Cells(Frame.LngCols, Frame.LngRows));
    Fill(Output.Consumer(), &MbrProgress);
    MbrProgress.End();
    FinishGrid(Output);
}

TGridOutput& TMapRun::OpenGrid(const std::string& StgName, const TGridCrs& Crs, const TGridFrame& Frame,
                               double DblNoData)
{
    MbrVecOutputs.push_back(std::make_unique<TGridOutput>(StgName, Frame, DblNoData, Crs, MbrOutputSettings));
    return *MbrVecOutputs.back();
}

void TMapRun::FinishGrid(TGridOutput& Output)
{
    const std::uint64_t LngChanged = Output.Finish();
    if (LngChanged > 0) {
        MbrProgress.End();
        std::cerr << "pvxMap: " << Output.Name() << ": " << LngChanged
                  << " data cells changed value in the conversion to " << MbrOutputSettings.StgType << "\n";
    }
}

void TMapRun::Scan(const std::vector<TRowSource*>& VecInputs, const TRowEngine::TOutputShape& Shape,
                   const TRowJob& Job, TRowConsumer& Consumer, const std::string& StgStage)
{
    LastReading(VecInputs);
    MbrProgress.Stage(StgStage, Cells(Shape.LngCols, Shape.LngRows));
    TRowEngine::Run(VecInputs, Shape, Job, Consumer, &MbrProgress);
    MbrProgress.End();
}

void TMapRun::Commit()
{
    for (const auto& PtrOutput : MbrVecOutputs)
        PtrOutput->Commit();
    MbrVecOutputs.clear();
    for (const std::string& StgLine : MbrVecAfterCommit)
        Text() << StgLine << '\n';
    MbrVecAfterCommit.clear();
}

void TMapRun::AfterCommit(const std::string& StgLine)
{
    MbrVecAfterCommit.push_back(StgLine);
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
