// The streamed commands: one pass over the cells, in constant memory, with
// the bytes the in-memory toolkit path writes.
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <string>

#include "app/map/TMapArguments.h"
#include "app/map/TMapHandlers.h"
#include "app/map/TMapRun.h"
#include "app/map/TMapTable.h"
#include "ops/TCellOps.h"
#include "ops/TScalarOp.h"
#include "util/TNumberFormat.h"

namespace {

// The value no-data cells hold; NaN, which no cell equals, for a header
// without one.
double NoDataOf(const TGridHeader& Header)
{
    return Header.BlnNoDataGiven ? Header.DblNoDataValue : std::nan("");
}

// Op on the data cells; no-data cells stay as they are.
template <class TOp>
TGridStream::TBlockFunction OnData(double DblNoData, TOp Op)
{
    return TGridStream::EachCell(
        [DblNoData, Op](double DblValue) { return DblValue == DblNoData ? DblNoData : Op(DblValue); });
}

template <class TOp>
void StreamOnData(TMapRun& Run, const TMapArguments& Args, TOp Op)
{
    Run.Stream(Args.Argument(0), Args.Required("-o"),
               [&Op](const TGridHeader& Header) { return OnData(NoDataOf(Header), Op); });
}

// Statistics of the data cells, NaN counted apart.
struct TStatistics {
    std::uint64_t LngCells = 0;
    std::uint64_t LngData = 0;
    std::uint64_t LngNaN = 0;
    std::uint64_t LngNumbers = 0;
    double DblMin = std::numeric_limits<double>::infinity();
    double DblMax = -std::numeric_limits<double>::infinity();
    double DblSum = 0.0;

    void Add(const double* PtrCells, std::size_t LngCount, double DblNoData)
    {
        LngCells += LngCount;
        for (std::size_t LngCell = 0; LngCell < LngCount; ++LngCell) {
            const double DblValue = PtrCells[LngCell];
            if (DblValue == DblNoData)
                continue;
            ++LngData;
            if (std::isnan(DblValue)) {
                ++LngNaN;
                continue;
            }
            ++LngNumbers;
            DblMin = std::min(DblMin, DblValue);
            DblMax = std::max(DblMax, DblValue);
            DblSum += DblValue;
        }
    }
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

void PrintInfo(std::ostream& Out, bool BlnJson, const TGridHeader& Header,
               const TStatistics& Stats)
{
    const double DblNone = std::numeric_limits<double>::quiet_NaN();
    const bool BlnAny = Stats.LngNumbers > 0;
    TInfoWriter Info(Out, BlnJson);
    Info.Whole("ncols", static_cast<std::uint64_t>(Header.LngCols));
    Info.Whole("nrows", static_cast<std::uint64_t>(Header.LngRows));
    Info.Number("xllcorner", Header.DblXllCorner);
    Info.Number("yllcorner", Header.DblYllCorner);
    Info.Number("cellsize", Header.DblCellSize);
    if (Header.BlnNoDataGiven)
        Info.Number("NODATA_value", Header.DblNoDataValue);
    else
        Info.None("NODATA_value");
    Info.Whole("cells", Stats.LngCells);
    Info.Whole("data_cells", Stats.LngData);
    Info.Whole("nodata_cells", Stats.LngCells - Stats.LngData);
    Info.Whole("nan_cells", Stats.LngNaN);
    Info.Number("min", BlnAny ? Stats.DblMin : DblNone);
    Info.Number("max", BlnAny ? Stats.DblMax : DblNone);
    Info.Number("mean", BlnAny ? Stats.DblSum / static_cast<double>(Stats.LngNumbers) : DblNone);
    Info.Number("sum", BlnAny ? Stats.DblSum : DblNone);
    Info.End();
}

}  // namespace

void TMapHandlers::Info(const TMapArguments& Args)
{
    TMapRun Run(Args);
    TGridHeader Header;
    TStatistics Stats;
    Run.Scan(Args.Argument(0), [&](const TGridHeader& Read) {
        Header = Read;
        return [&Stats, DblNoData = NoDataOf(Read)](const double* PtrCells, std::size_t LngCount) {
            Stats.Add(PtrCells, LngCount, DblNoData);
        };
    });
    PrintInfo(Run.Text(), Args.Has("--json"), Header, Stats);
    Run.FinishText();
}

void TMapHandlers::Convert(const TMapArguments& Args)
{
    TMapRun Run(Args);
    Run.Stream(Args.Argument(0), Args.Required("-o"),
               [](const TGridHeader&) { return TGridStream::TBlockFunction(); });
}

void TMapHandlers::Scale(const TMapArguments& Args)
{
    const std::string& StgOperation = Args.Argument(1);
    if (StgOperation.empty() || (StgOperation[0] != 'x' && StgOperation[0] != '/'))
        Args.Fail("OP must be x or /, not " + StgOperation);
    const TScalarOp::TKind Kind =
        StgOperation[0] == 'x' ? TScalarOp::TKind::Multiply : TScalarOp::TKind::Divide;
    const double DblScalar = Args.Number(Args.Argument(2), "SCALAR");
    TMapRun Run(Args);
    Run.Stream(Args.Argument(0), Args.Required("-o"), [&](const TGridHeader& Header) {
        return TGridStream::EachCell(TScalarOp(Kind, DblScalar, NoDataOf(Header)));
    });
}

void TMapHandlers::Threshold(const TMapArguments& Args)
{
    const double DblThreshold = Args.Number(Args.Argument(1), "T");
    const bool BlnReplace = Args.Has("--replace");
    const double DblReplacement =
        BlnReplace ? Args.Number(Args.Required("--replace"), "--replace") : 0.0;
    TMapRun Run(Args);
    if (BlnReplace)
        StreamOnData(Run, Args, TCellOps::TThresholdReplace{DblThreshold, DblReplacement});
    else
        StreamOnData(Run, Args, TCellOps::TThreshold{DblThreshold});
}

void TMapHandlers::Reclass(const TMapArguments& Args)
{
    const bool BlnDefault = Args.Has("--default");
    const double DblDefault = BlnDefault ? Args.Number(Args.Required("--default"), "--default") : 0.0;
    TMapRun Run(Args);
    const TCellOps::TRecode Recode(TMapTable::Recoding(Run.ReadCsv(Args.Argument(1)), Args.Argument(1)));
    StreamOnData(Run, Args, [&Recode, BlnDefault, DblDefault](double DblValue) {
        return Recode(DblValue, BlnDefault ? DblDefault : DblValue);
    });
}

void TMapHandlers::Round(const TMapArguments& Args)
{
    TMapRun Run(Args);
    StreamOnData(Run, Args, TCellOps::TRound());
}
