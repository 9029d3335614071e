// Tables and dumps on standard output.
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/map/TMapArguments.h"
#include "app/map/TMapHandlers.h"
#include "app/map/TMapRun.h"
#include "app/map/TMapTable.h"
#include "grid/TPoint.h"
#include "ops/TMapTools.h"
#include "util/TNumberFormat.h"

namespace {

using TMapPtr = TMapRun::TMapPtr;

std::string Text(double DblValue)
{
    return TNumberFormat::ToString(DblValue);
}

// One line of zonal statistics: the cells that are data and not NaN.
void PutZone(std::ostream& Out, double DblZone, const std::vector<double>& VecValues,
             double DblNoData)
{
    long LngCount = 0;
    double DblSum = 0.0;
    double DblMin = std::numeric_limits<double>::infinity();
    double DblMax = -DblMin;
    for (double DblValue : VecValues) {
        if (DblValue == DblNoData || std::isnan(DblValue))
            continue;
        ++LngCount;
        DblSum += DblValue;
        DblMin = std::min(DblMin, DblValue);
        DblMax = std::max(DblMax, DblValue);
    }
    Out << Text(DblZone) << ',' << LngCount;
    if (LngCount == 0)
        Out << ",,,,\n";
    else
        Out << ',' << Text(DblSum) << ',' << Text(DblSum / static_cast<double>(LngCount)) << ','
            << Text(DblMin) << ',' << Text(DblMax) << '\n';
}

// The value of the cell holding the point, empty where the grid holds none
// there or the cell is no data.
std::string SampleAt(const TMap& Map, const TPoint& Point)
{
    double DblValue = 0.0;
    try {
        DblValue = Map.GetPointVal(&Point);
    } catch (const TError&) {
        return "";
    }
    return DblValue == Map.GetNoDataValue() ? "" : Text(DblValue);
}

}  // namespace

void TMapHandlers::Values(const TMapArguments& Args)
{
    TMapRun Run(Args);
    const TMapPtr PtrMap = Run.Load(Args.Argument(0));
    std::map<double, long> MapCounts = TMapTools::CountValues(PtrMap.get());
    MapCounts.erase(PtrMap->GetNoDataValue());
    std::ostream& Out = Run.Text();
    Out << "value,count\n";
    for (const auto& [DblValue, LngCount] : MapCounts)
        Out << Text(DblValue) << ',' << LngCount << '\n';
    Run.FinishText();
}

void TMapHandlers::Zonal(const TMapArguments& Args)
{
    TMapRun Run(Args);
    const TMapPtr PtrValues = Run.Load(Args.Argument(0));
    const TMapPtr PtrZones = Run.Load(Args.Argument(1));
    const std::map<double, std::vector<double>> MapZones =
        TMapTools::GetValuesOverlay(PtrValues.get(), PtrZones.get(), {PtrZones->GetNoDataValue()});
    std::ostream& Out = Run.Text();
    Out << "zone,count,sum,mean,min,max\n";
    for (const auto& [DblZone, VecValues] : MapZones)
        PutZone(Out, DblZone, VecValues, PtrValues->GetNoDataValue());
    Run.FinishText();
}

void TMapHandlers::Sample(const TMapArguments& Args)
{
    TMapRun Run(Args);
    const std::vector<std::pair<double, double>> VecPoints =
        TMapTable::Points(Run.ReadCsv(Args.Argument(0)), Args.Argument(0));
    const std::vector<std::string> VecGrids(Args.Arguments().begin() + 1, Args.Arguments().end());
    const std::vector<TMapPtr> VecMaps = Run.LoadAll(VecGrids);
    std::ostream& Out = Run.Text();
    Out << "x,y";
    for (const std::string& StgGrid : VecGrids)
        Out << ',' << StgGrid;
    Out << '\n';
    for (const auto& [DblX, DblY] : VecPoints) {
        const TPoint Point(DblX, DblY);
        Out << Text(DblX) << ',' << Text(DblY);
        for (const TMapPtr& PtrMap : VecMaps)
            Out << ',' << SampleAt(*PtrMap, Point);
        Out << '\n';
    }
    Run.FinishText();
}

void TMapHandlers::Dump(const TMapArguments& Args)
{
    const std::string StgSeparator = Args.Has("--separator") ? Args.Required("--separator") : " ";
    if (StgSeparator.size() != 1)
        Args.Fail("--separator must be one character, not '" + StgSeparator + "'");
    TMapRun Run(Args);
    const TMapPtr PtrMap = Run.Load(Args.Argument(0));
    if (Args.Has("--csv"))
        TMapTools::WriteCSVFile(PtrMap.get(), Run.Text());
    else
        TMapTools::WriteFlatFile(PtrMap.get(), Run.Text(), StgSeparator[0]);
    Run.FinishText();
}
