#include "app/map/TMapTable.h"

#include "util/TError.h"
#include "io/TTokenizer.h"

namespace {

bool TwoNumbers(const std::vector<std::string>& VecFields, std::pair<double, double>& Pair)
{
    return VecFields.size() == 2
        && TTokenizer::ParseCell(VecFields[0], Pair.first) == TTokenizer::TCell::Ok
        && TTokenizer::ParseCell(VecFields[1], Pair.second) == TTokenizer::TCell::Ok;
}

std::string Joined(const std::vector<std::string>& VecFields)
{
    std::string StgText;
    for (std::size_t LngField = 0; LngField < VecFields.size(); ++LngField)
        StgText += (LngField > 0 ? "," : "") + VecFields[LngField];
    return StgText;
}

std::vector<std::pair<double, double>> Pairs(const TMapTable::TLines& VecLines,
                                             const std::string& StgName)
{
    std::vector<std::pair<double, double>> VecPairs;
    for (std::size_t LngLine = 0; LngLine < VecLines.size(); ++LngLine) {
        std::pair<double, double> Pair;
        if (TwoNumbers(VecLines[LngLine], Pair))
            VecPairs.push_back(Pair);
        else if (LngLine > 0)
            throw TError("Invalid line " + std::to_string(LngLine + 1) + " of " + StgName + ": "
                         + Joined(VecLines[LngLine]));
    }
    return VecPairs;
}

}  // namespace

std::map<double, double> TMapTable::Recoding(const TLines& VecLines, const std::string& StgName)
{
    std::map<double, double> MapTable;
    // NaN, which no value equals, can be no key of an ordered table.
    for (const auto& [DblFrom, DblTo] : Pairs(VecLines, StgName))
        if (DblFrom == DblFrom)
            MapTable[DblFrom] = DblTo;
    return MapTable;
}

std::vector<std::pair<double, double>> TMapTable::Points(const TLines& VecLines,
                                                         const std::string& StgName)
{
    return Pairs(VecLines, StgName);
}
