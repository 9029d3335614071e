// One grid in, cell by cell: the header, statistics, and grids whose cells
// are each a function of the input's cell.
#include <cmath>
#include <cstdint>
#include <limits>

#include "app/engine/TCellJob.h"
#include "app/engine/TInputFile.h"
#include "app/map/TMapArguments.h"
#include "app/map/TMapCommands.h"
#include "app/map/TMapCsv.h"
#include "app/map/TMapRun.h"
#include "ops/TCellOps.h"
#include "ops/TScalarOp.h"
#include "util/TNumberFormat.h"

namespace {

// The input's data cells through Job into -o, on the input's geometry.
void CellByCell(TMapRun& Run, const TMapArguments& Args, const TCellJob& Job)
{
    const TMapRun::TSourcePtr PtrInput = Run.Open(Args.Argument(0));
    const double DblNoData = Run.OutputNoData(*PtrInput);
    Run.WriteGrid(Args.Output(), *PtrInput, PtrInput->Frame(), DblNoData, {PtrInput.get()}, Job);
}

// Statistics of the data cells, NaN counted apart.
class TStatistics : public TRowConsumer {
public:
    void Take(double* const* PtrPlanes, std::uint64_t, std::size_t LngCount) override
    {
        MbrLngCells += LngCount;
        for (std::size_t LngCell = 0; LngCell < LngCount; ++LngCell) {
            const double DblValue = PtrPlanes[0][LngCell];
            if (TNoData::IsMarker(DblValue))
                continue;
            ++MbrLngData;
            if (std::isnan(DblValue)) {
                ++MbrLngNaN;
                continue;
            }
            ++MbrLngNumbers;
            MbrDblMin = std::min(MbrDblMin, DblValue);
            MbrDblMax = std::max(MbrDblMax, DblValue);
            MbrDblSum += DblValue;
        }
    }

    std::uint64_t MbrLngCells = 0;
    std::uint64_t MbrLngData = 0;
    std::uint64_t MbrLngNaN = 0;
    std::uint64_t MbrLngNumbers = 0;
    double MbrDblMin = std::numeric_limits<double>::infinity();
    double MbrDblMax = -std::numeric_limits<double>::infinity();
    double MbrDblSum = 0.0;
};

// One "name value" line, or one JSON member.
class TInfoWriter {
public:
    TInfoWriter(std::ostream& Out, bool BlnJson) : MbrOut(Out), MbrBlnJson(BlnJson) {}

    void None(const char* StgName) { Put(StgName, MbrBlnJson ? "null" : "none"); }
    void Number(const char* StgName, double DblValue)
    {
        const bool BlnNull = !std::isfinite(DblValue);
        Put(StgName, MbrBlnJson && BlnNull ? std::string("null") : TNumberFormat::ToString(DblValue));
    }
    void Coordinate(const char* StgName, double DblValue)
    {
        char ArrText[TNumberFormat::MaxLength];
        Put(StgName, std::string(ArrText, TNumberFormat::WritePlain(DblValue, ArrText, TNumberFormat::DefaultDigits)));
    }
    void Whole(const char* StgName, std::uint64_t LngValue) { Put(StgName, std::to_string(LngValue)); }
    void End()
    {
        if (MbrBlnJson)
            MbrOut << "}\n";
    }

private:
    void Put(const char* StgName, const std::string& StgValue)
    {
        if (MbrBlnJson)
            MbrOut << (MbrBlnFirst ? "{" : ", ") << '"' << StgName << "\": " << StgValue;
        else
            MbrOut << StgName << ' ' << StgValue << '\n';
        MbrBlnFirst = false;
    }

    std::ostream& MbrOut;
    bool MbrBlnJson;
    bool MbrBlnFirst = true;
};

class TInfo : public TMapCommand {
public:
    explicit TInfo(const TMapArguments& Args)
        : MbrStgInput(Args.Argument(0)), MbrBlnJson(Args.Has("--json"))
    {
    }

    void Run(TMapRun& Run) override
    {
        const TMapRun::TSourcePtr PtrInput = Run.Open(MbrStgInput);
        const TGridFrame& Frame = PtrInput->Frame();
        TStatistics Stats;
        Run.Scan({PtrInput.get()}, {Frame.LngCols, Frame.LngRows}, TCellJob::Copy(), Stats,
                 "reading " + PtrInput->Shown());
        Print(Run.Text(), Frame, PtrInput->NoData(), Stats);
        Run.FinishText();
    }

private:
    void Print(std::ostream& Out, const TGridFrame& Frame, const TNoData& NoData,
               const TStatistics& Stats) const
    {
        const double DblNone = std::numeric_limits<double>::quiet_NaN();
        const bool BlnAny = Stats.MbrLngNumbers > 0;
        TInfoWriter Info(Out, MbrBlnJson);
        Info.Whole("ncols", static_cast<std::uint64_t>(Frame.LngCols));
        Info.Whole("nrows", static_cast<std::uint64_t>(Frame.LngRows));
        Info.Coordinate("xllcorner", Frame.DblXllCorner);
        Info.Coordinate("yllcorner", Frame.DblYllCorner);
        Info.Coordinate("cellsize", Frame.DblCellSize);
        if (NoData.Given())
            Info.Number("NODATA_value", NoData.Value());
        else
            Info.None("NODATA_value");
        Info.Whole("cells", Stats.MbrLngCells);
        Info.Whole("data_cells", Stats.MbrLngData);
        Info.Whole("nodata_cells", Stats.MbrLngCells - Stats.MbrLngData);
        Info.Whole("nan_cells", Stats.MbrLngNaN);
        Info.Number("min", BlnAny ? Stats.MbrDblMin : DblNone);
        Info.Number("max", BlnAny ? Stats.MbrDblMax : DblNone);
        Info.Number("mean", BlnAny ? Stats.MbrDblSum / static_cast<double>(Stats.MbrLngNumbers) : DblNone);
        Info.Number("sum", BlnAny ? Stats.MbrDblSum : DblNone);
        Info.End();
    }

    std::string MbrStgInput;
    bool MbrBlnJson;
};

class TConvert : public TMapCommand {
public:
    explicit TConvert(const TMapArguments& Args) : MbrArgs(Args) {}
    void Run(TMapRun& Run) override { CellByCell(Run, MbrArgs, TCellJob::Copy()); }

private:
    const TMapArguments& MbrArgs;
};

class TScale : public TMapCommand {
public:
    explicit TScale(const TMapArguments& Args)
        : MbrArgs(Args), MbrOp(KindOf(Args), Args.Number(Args.Argument(2), "SCALAR"), 0.0)
    {
    }
    void Run(TMapRun& Run) override
    {
        CellByCell(Run, MbrArgs, TCellJob::OnData([Op = MbrOp](double DblValue) { return Op.Apply(DblValue); }));
    }

private:
    static TScalarOp::TKind KindOf(const TMapArguments& Args)
    {
        const std::optional<TScalarOp::TKind> Kind = TScalarOp::KindOf(Args.Argument(1));
        if (!Kind)
            Args.Fail("OP must be x or /, not " + Args.Argument(1));
        return *Kind;
    }

    const TMapArguments& MbrArgs;
    TScalarOp MbrOp;
};

class TThreshold : public TMapCommand {
public:
    explicit TThreshold(const TMapArguments& Args)
        : MbrArgs(Args), MbrDblThreshold(Args.Number(Args.Argument(1), "T")),
          MbrBlnReplace(Args.Has("--replace")),
          MbrDblReplacement(MbrBlnReplace ? Args.Number(Args.Value("--replace"), "--replace") : 0.0)
    {
    }
    void Run(TMapRun& Run) override
    {
        if (MbrBlnReplace)
            CellByCell(Run, MbrArgs, TCellJob::OnData(TCellOps::TThresholdReplace{MbrDblThreshold, MbrDblReplacement}));
        else
            CellByCell(Run, MbrArgs, TCellJob::OnData(TCellOps::TThreshold{MbrDblThreshold}));
    }

private:
    const TMapArguments& MbrArgs;
    double MbrDblThreshold;
    bool MbrBlnReplace;
    double MbrDblReplacement;
};

class TReclass : public TMapCommand {
public:
    explicit TReclass(const TMapArguments& Args)
        : MbrArgs(Args), MbrBlnDefault(Args.Has("--default")),
          MbrDblDefault(MbrBlnDefault ? Args.Number(Args.Value("--default"), "--default") : 0.0)
    {
    }
    void Run(TMapRun& Run) override
    {
        double DblNaNTo = 0.0;
        bool BlnNaNRule = false;
        TInputFile Table(MbrArgs.Argument(1));
        const TCellOps::TRecode Recode(
            TMapCsv::Rules(TMapCsv::Read(Table.Stream()), Table.Shown(), DblNaNTo, BlnNaNRule));
        const bool BlnDefault = MbrBlnDefault;
        const double DblDefault = MbrDblDefault;
        CellByCell(Run, MbrArgs, TCellJob::OnData([&Recode, BlnDefault, DblDefault, BlnNaNRule, DblNaNTo](double DblValue) {
            if (std::isnan(DblValue))
                return BlnNaNRule ? DblNaNTo : BlnDefault ? DblDefault : DblValue;
            return Recode(DblValue, BlnDefault ? DblDefault : DblValue);
        }));
    }

private:
    const TMapArguments& MbrArgs;
    bool MbrBlnDefault;
    double MbrDblDefault;
};

class TRound : public TMapCommand {
public:
    explicit TRound(const TMapArguments& Args) : MbrArgs(Args) {}
    void Run(TMapRun& Run) override
    {
        CellByCell(Run, MbrArgs, TCellJob::OnData(TCellOps::TRoundHalfAway()));
    }

private:
    const TMapArguments& MbrArgs;
};

}  // namespace

namespace TMapCommands {

std::unique_ptr<TMapCommand> Info(const TMapArguments& Args) { return std::make_unique<TInfo>(Args); }
std::unique_ptr<TMapCommand> Convert(const TMapArguments& Args) { return std::make_unique<TConvert>(Args); }
std::unique_ptr<TMapCommand> Scale(const TMapArguments& Args) { return std::make_unique<TScale>(Args); }
std::unique_ptr<TMapCommand> Threshold(const TMapArguments& Args) { return std::make_unique<TThreshold>(Args); }
std::unique_ptr<TMapCommand> Reclass(const TMapArguments& Args) { return std::make_unique<TReclass>(Args); }
std::unique_ptr<TMapCommand> Round(const TMapArguments& Args) { return std::make_unique<TRound>(Args); }

}  // namespace TMapCommands
