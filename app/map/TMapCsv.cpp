#include "app/map/TMapCsv.h"

#include <cmath>
#include <iterator>

#include "io/TTokenizer.h"
#include "util/TError.h"
#include "util/TNumberFormat.h"

namespace {

bool ReadsAsNumber(const std::string& StgField, double& DblValue)
{
    return TTokenizer::ParseCell(StgField, DblValue) == TTokenizer::TCell::Ok;
}

// Splits the text into records of fields, counting lines as it goes.
class TCsvParser {
public:
    explicit TCsvParser(std::string StgText) : MbrStgText(std::move(StgText))
    {
        if (MbrStgText.compare(0, 3, "\xEF\xBB\xBF") == 0)
            MbrLngAt = 3;
    }

    std::vector<TMapCsv::TRecord> Records()
    {
        std::vector<TMapCsv::TRecord> VecRecords;
        while (MbrLngAt < MbrStgText.size()) {
            TMapCsv::TRecord Record{MbrLngLine, ReadRecord()};
            if (!(Record.VecFields.size() == 1 && Record.VecFields[0].empty()))
                VecRecords.push_back(std::move(Record));
        }
        return VecRecords;
    }

private:
    std::vector<std::string> ReadRecord()
    {
        std::vector<std::string> VecFields(1);
        bool BlnQuoted = false;
        while (MbrLngAt < MbrStgText.size()) {
            const char ChrValue = MbrStgText[MbrLngAt++];
            if (ChrValue == '\n')
                ++MbrLngLine;
            if (BlnQuoted) {
                if (ChrValue != '"')
                    VecFields.back() += ChrValue;
                else if (MbrLngAt < MbrStgText.size() && MbrStgText[MbrLngAt] == '"')
                    VecFields.back() += MbrStgText[MbrLngAt++];
                else
                    BlnQuoted = false;
            } else if (ChrValue == '"') {
                BlnQuoted = true;
            } else if (ChrValue == ',') {
                VecFields.emplace_back();
            } else if (ChrValue == '\n') {
                break;
            } else if (ChrValue != '\r' || (MbrLngAt < MbrStgText.size() && MbrStgText[MbrLngAt] != '\n')) {
                VecFields.back() += ChrValue;
            }
        }
        return VecFields;
    }

    std::string MbrStgText;
    std::size_t MbrLngAt = 0;
    std::size_t MbrLngLine = 1;
};

std::string Joined(const std::vector<std::string>& VecFields)
{
    std::string StgText;
    for (std::size_t LngField = 0; LngField < VecFields.size(); ++LngField)
        StgText += (LngField > 0 ? "," : "") + VecFields[LngField];
    return StgText;
}

[[noreturn]] void ThrowInvalid(const TMapCsv::TRecord& Record, const std::string& StgName)
{
    throw TError("Invalid line " + std::to_string(Record.LngLine) + " of " + StgName + ": "
                 + Joined(Record.VecFields));
}

}  // namespace

std::vector<TMapCsv::TRecord> TMapCsv::Read(std::istream& Input)
{
    std::vector<TRecord> VecRecords =
        TCsvParser(std::string(std::istreambuf_iterator<char>(Input), {})).Records();
    double DblValue = 0.0;
    if (!VecRecords.empty() && !ReadsAsNumber(VecRecords[0].VecFields[0], DblValue))
        VecRecords.erase(VecRecords.begin());
    return VecRecords;
}

std::vector<std::pair<double, double>> TMapCsv::Pairs(const std::vector<TRecord>& VecRecords,
                                                      const std::string& StgName)
{
    std::vector<std::pair<double, double>> VecPairs;
    for (const TRecord& Record : VecRecords) {
        std::pair<double, double> Pair;
        if (Record.VecFields.size() < 2 || !ReadsAsNumber(Record.VecFields[0], Pair.first)
            || !ReadsAsNumber(Record.VecFields[1], Pair.second))
            ThrowInvalid(Record, StgName);
        VecPairs.push_back(Pair);
    }
    return VecPairs;
}

std::map<double, double> TMapCsv::Rules(const std::vector<TRecord>& VecRecords,
                                        const std::string& StgName, double& DblNaNTo,
                                        bool& BlnNaNRule)
{
    const std::vector<std::pair<double, double>> VecPairs = Pairs(VecRecords, StgName);
    if (VecPairs.empty())
        throw TError(StgName + " holds no rules");
    std::map<double, double> MapRules;
    std::map<double, std::size_t> MapLines;
    BlnNaNRule = false;
    for (std::size_t LngRule = 0; LngRule < VecPairs.size(); ++LngRule) {
        const auto& [DblFrom, DblTo] = VecPairs[LngRule];
        const std::size_t LngLine = VecRecords[LngRule].LngLine;
        const bool BlnNaN = std::isnan(DblFrom);
        if ((BlnNaN && BlnNaNRule) || (!BlnNaN && MapLines.count(DblFrom)))
            throw TError("Line " + std::to_string(LngLine) + " of " + StgName + " gives "
                         + TNumberFormat::ToString(DblFrom) + " a second rule");
        if (BlnNaN) {
            BlnNaNRule = true;
            DblNaNTo = DblTo;
        } else {
            MapRules[DblFrom] = DblTo;
            MapLines[DblFrom] = LngLine;
        }
    }
    return MapRules;
}
