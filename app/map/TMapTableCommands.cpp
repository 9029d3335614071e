// Tables and text on standard output, from grids read once.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iostream>
#include <limits>
#include <map>
#include <unordered_map>

#include "app/engine/TCellJob.h"
#include "app/engine/TInputFile.h"
#include "app/engine/TLineUp.h"
#include "app/map/TMapArguments.h"
#include "app/map/TMapCommands.h"
#include "app/map/TMapCsv.h"
#include "app/map/TMapRun.h"
#include "util/TNumberFormat.h"
#include "util/TTextWriter.h"

namespace {

std::string Text(double DblValue)
{
    return TNumberFormat::ToString(DblValue);
}

// A CSV field as RFC 4180 writes it: quoted when it holds a comma, a quote
// or a line end, its quotes doubled.
std::string CsvField(const std::string& StgText)
{
    if (StgText.find_first_of(",\"\r\n") == std::string::npos)
        return StgText;
    std::string StgQuoted = "\"";
    for (char ChrValue : StgText)
        StgQuoted += ChrValue == '"' ? std::string("\"\"") : std::string(1, ChrValue);
    return StgQuoted + "\"";
}

// The cells of the inputs as they come, block by block, to a function.
class TEachBlock : public TRowConsumer {
public:
    using TFunction = std::function<void(double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells)>;
    explicit TEachBlock(TFunction Function) : MbrFunction(std::move(Function)) {}
    void Take(double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells) override
    {
        MbrFunction(PtrPlanes, LngFirst, LngCells);
    }

private:
    TFunction MbrFunction;
};

class TValues : public TMapCommand {
public:
    explicit TValues(const TMapArguments& Args) : MbrStgInput(Args.Argument(0)) {}

    void Run(TMapRun& Run) override
    {
        const TMapRun::TSourcePtr PtrInput = Run.Open(MbrStgInput);
        const TGridFrame& Frame = PtrInput->Frame();
        std::unordered_map<double, std::uint64_t> MapCounts;
        std::uint64_t LngNaN = 0;
        TEachBlock Count([&](double* const* PtrPlanes, std::uint64_t, std::size_t LngCells) {
            for (std::size_t LngCell = 0; LngCell < LngCells; ++LngCell) {
                const double DblValue = PtrPlanes[0][LngCell];
                if (std::isnan(DblValue))
                    LngNaN += !TNoData::IsMarker(DblValue);
                else
                    ++MapCounts[DblValue];
            }
        });
        Run.Scan({PtrInput.get()}, {Frame.LngCols, Frame.LngRows}, TCellJob::Copy(), Count,
                 "reading " + PtrInput->Shown());
        const std::map<double, std::uint64_t> MapSorted(MapCounts.begin(), MapCounts.end());
        std::ostream& Out = Run.Text();
        Out << "value,count\n";
        for (const auto& [DblValue, LngCount] : MapSorted)
            Out << Text(DblValue) << ',' << LngCount << '\n';
        if (LngNaN > 0)
            Out << "nan," << LngNaN << '\n';
        Run.FinishText();
    }

private:
    std::string MbrStgInput;
};

// The statistics of the values in one zone.
struct TZone {
    std::uint64_t LngCount = 0;
    double DblSum = 0.0;
    double DblMin = std::numeric_limits<double>::infinity();
    double DblMax = -std::numeric_limits<double>::infinity();

    void Add(double DblValue)
    {
        ++LngCount;
        DblSum += DblValue;
        DblMin = std::min(DblMin, DblValue);
        DblMax = std::max(DblMax, DblValue);
    }
};

class TZonal : public TMapCommand {
public:
    explicit TZonal(const TMapArguments& Args) : MbrArgs(Args) {}

    void Run(TMapRun& Run) override
    {
        const std::vector<TMapRun::TSourcePtr> VecInputs = Run.OpenAll(MbrArgs.Arguments());
        TLineUp::Require(*VecInputs[0], *VecInputs[1]);
        const TGridFrame& Frame = VecInputs[0]->Frame();
        // Hashed while reading, sorted once for the table; zones come in
        // runs of cells, so the last one found is tried first.
        std::unordered_map<double, TZone> MapZones;
        double DblLastZone = std::numeric_limits<double>::quiet_NaN();
        TZone* PtrLastZone = nullptr;
        TEachBlock Add([&](double* const* PtrPlanes, std::uint64_t, std::size_t LngCells) {
            for (std::size_t LngCell = 0; LngCell < LngCells; ++LngCell) {
                const double DblZone = PtrPlanes[1][LngCell];
                if (std::isnan(DblZone))
                    continue;
                if (DblZone != DblLastZone) {
                    PtrLastZone = &MapZones[DblZone];
                    DblLastZone = DblZone;
                }
                const double DblValue = PtrPlanes[0][LngCell];
                if (!std::isnan(DblValue))
                    PtrLastZone->Add(DblValue);
            }
        });
        Run.Scan(TMapRun::Raw(VecInputs), {Frame.LngCols, Frame.LngRows, 2}, TCellJob::Copy(2), Add,
                 "reading " + VecInputs[0]->Shown());
        std::vector<std::pair<double, TZone>> VecSorted(MapZones.begin(), MapZones.end());
        MapZones = {};
        std::sort(VecSorted.begin(), VecSorted.end(),
                  [](const auto& PairA, const auto& PairB) { return PairA.first < PairB.first; });
        std::ostream& Out = Run.Text();
        Out << "zone,count,sum,mean,min,max\n";
        for (const auto& [DblZone, Zone] : VecSorted) {
            Out << Text(DblZone) << ',' << Zone.LngCount;
            if (Zone.LngCount == 0)
                Out << ",,,,\n";
            else
                Out << ',' << Text(Zone.DblSum) << ',' << Text(Zone.DblSum / static_cast<double>(Zone.LngCount))
                    << ',' << Text(Zone.DblMin) << ',' << Text(Zone.DblMax) << '\n';
        }
        Run.FinishText();
    }

private:
    const TMapArguments& MbrArgs;
};

class TSample : public TMapCommand {
public:
    explicit TSample(const TMapArguments& Args) : MbrArgs(Args) {}

    void Run(TMapRun& Run) override
    {
        TInputFile Points(MbrArgs.Argument(0));
        const std::vector<std::pair<double, double>> VecPoints =
            TMapCsv::Pairs(TMapCsv::Read(Points.Stream()), Points.Shown());
        const std::vector<std::string> VecGrids(MbrArgs.Arguments().begin() + 1, MbrArgs.Arguments().end());
        std::vector<std::vector<std::string>> VecValues;
        for (const std::string& StgGrid : VecGrids)
            VecValues.push_back(Sample(Run, StgGrid, VecPoints));
        std::ostream& Out = Run.Text();
        Out << "x,y";
        for (const std::string& StgGrid : VecGrids)
            Out << ',' << CsvField(StgGrid);
        Out << '\n';
        for (std::size_t LngPoint = 0; LngPoint < VecPoints.size(); ++LngPoint) {
            Out << Text(VecPoints[LngPoint].first) << ',' << Text(VecPoints[LngPoint].second);
            for (const std::vector<std::string>& VecGrid : VecValues)
                Out << ',' << VecGrid[LngPoint];
            Out << '\n';
        }
        Run.FinishText();
    }

private:
    // The value of the cell holding each point (a cell holds its west and
    // south edges), empty where the grid has none or the cell is no data.
    static std::vector<std::string> Sample(TMapRun& Run, const std::string& StgGrid,
                                           const std::vector<std::pair<double, double>>& VecPoints)
    {
        const TMapRun::TSourcePtr PtrInput = Run.Open(StgGrid);
        const TGridFrame& Frame = PtrInput->Frame();
        // The points by the cell holding them, counted row after row.
        std::multimap<std::uint64_t, std::size_t> MapByCell;
        for (std::size_t LngPoint = 0; LngPoint < VecPoints.size(); ++LngPoint) {
            const double DblCol = std::floor((VecPoints[LngPoint].first - Frame.West()) / Frame.DblCellSize);
            const double DblRow = std::ceil((Frame.North() - VecPoints[LngPoint].second) / Frame.DblCellSize) - 1;
            if (DblCol >= 0 && DblCol < static_cast<double>(Frame.LngCols) && DblRow >= 0
                && DblRow < static_cast<double>(Frame.LngRows))
                MapByCell.emplace(static_cast<std::uint64_t>(DblRow) * static_cast<std::uint64_t>(Frame.LngCols)
                                      + static_cast<std::uint64_t>(DblCol),
                                  LngPoint);
        }
        std::vector<std::string> VecValues(VecPoints.size());
        TEachBlock Pick([&](double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells) {
            for (auto It = MapByCell.lower_bound(LngFirst); It != MapByCell.end() && It->first < LngFirst + LngCells; ++It) {
                const double DblValue = PtrPlanes[0][It->first - LngFirst];
                if (!TNoData::IsMarker(DblValue))
                    VecValues[It->second] = Text(DblValue);
            }
        });
        Run.Scan({PtrInput.get()}, {Frame.LngCols, Frame.LngRows}, TCellJob::Copy(), Pick,
                 "reading " + PtrInput->Shown());
        return VecValues;
    }

    const TMapArguments& MbrArgs;
};

class TDump : public TMapCommand {
public:
    explicit TDump(const TMapArguments& Args)
        : MbrStgInput(Args.Argument(0)), MbrBlnCsv(Args.Has("--csv")),
          MbrStgSeparator(Args.Has("--separator") ? Args.Value("--separator") : " ")
    {
        if (MbrStgSeparator.size() != 1)
            Args.Fail("--separator must be one character, not '" + MbrStgSeparator + "'");
    }

    void Run(TMapRun& Run) override
    {
        const TMapRun::TSourcePtr PtrInput = Run.Open(MbrStgInput);
        const TGridFrame& Frame = PtrInput->Frame();
        const double DblNoData = PtrInput->NoData().Value();
        std::ostream& Out = Run.Text();
        TTextWriter Text(Out);
        const auto LngCols = static_cast<std::uint64_t>(Frame.LngCols);
        TEachBlock Write([&](double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells) {
            for (std::size_t LngCell = 0; LngCell < LngCells; ++LngCell) {
                const std::uint64_t LngCol = (LngFirst + LngCell) % LngCols;
                const double DblCell = PtrPlanes[0][LngCell];
                if (MbrBlnCsv) {
                    Text.PutNumber(Frame.ColumnCentre(static_cast<long>(LngCol)));
                    Text.Put(',');
                    Text.PutNumber(Frame.RowCentre(static_cast<long>((LngFirst + LngCell) / LngCols)));
                    Text.Put(',');
                } else if (LngCol > 0) {
                    Text.Put(MbrStgSeparator[0]);
                }
                Text.PutNumber(TNoData::IsMarker(DblCell) ? DblNoData : DblCell);
                if (MbrBlnCsv || LngCol + 1 == LngCols)
                    Text.EndLine();
            }
        });
        Run.Scan({PtrInput.get()}, {Frame.LngCols, Frame.LngRows}, TCellJob::Copy(), Write,
                 "reading " + PtrInput->Shown());
        Text.Flush();
        Run.FinishText();
    }

private:
    std::string MbrStgInput;
    bool MbrBlnCsv;
    std::string MbrStgSeparator;
};

}  // namespace

namespace TMapCommands {

std::unique_ptr<TMapCommand> Values(const TMapArguments& Args) { return std::make_unique<TValues>(Args); }
std::unique_ptr<TMapCommand> Zonal(const TMapArguments& Args) { return std::make_unique<TZonal>(Args); }
std::unique_ptr<TMapCommand> Sample(const TMapArguments& Args) { return std::make_unique<TSample>(Args); }
std::unique_ptr<TMapCommand> Dump(const TMapArguments& Args) { return std::make_unique<TDump>(Args); }

}  // namespace TMapCommands
