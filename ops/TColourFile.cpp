// TColourTable::Parse: gdaldem's colour files, read strictly: where gdaldem
// would take a stray word for 0, the reader names the line.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "ops/TColourTable.h"
#include "util/TStringTools.h"

namespace {

// GDAL's colour names, with the components GDAL makes of its fractions.
struct TNamedColour {
    const char* StgName;
    TRgba Colour;
};
const TNamedColour ArrNamedColours[] = {
    {"WHITE", {255, 255, 255, 255}}, {"BLACK", {0, 0, 0, 255}},      {"RED", {255, 0, 0, 255}},
    {"GREEN", {0, 255, 0, 255}},     {"BLUE", {0, 0, 255, 255}},     {"YELLOW", {255, 255, 0, 255}},
    {"MAGENTA", {255, 0, 255, 255}}, {"CYAN", {0, 255, 255, 255}},   {"AQUA", {0, 191, 191, 255}},
    {"GREY", {191, 191, 191, 255}},  {"GRAY", {191, 191, 191, 255}}, {"ORANGE", {255, 127, 0, 255}},
    {"BROWN", {191, 127, 63, 255}},  {"PURPLE", {127, 0, 255, 255}}, {"VIOLET", {127, 0, 255, 255}},
    {"INDIGO", {0, 127, 255, 255}},
};

std::string Upper(std::string StgText)
{
    TStringTools::ToUpper(StgText);
    return StgText;
}

// The entries of one file, line after line.
class TColourFileReader {
public:
    explicit TColourFileReader(const std::string& StgName) : MbrStgName(StgName) {}

    void Read(const std::string& StgLine)
    {
        ++MbrLngLine;
        std::vector<std::string> VecFields;
        TStringTools::Tokenize(StgLine, VecFields, " \t,:\r");
        if (VecFields.empty())
            return;
        if (VecFields[0][0] == '#' || VecFields[0][0] == '/') {
            if (StgLine.find("COLOR_MODEL") != std::string::npos)
                StartPalette(StgLine);
            return;
        }
        if (MbrBlnPalette)
            PaletteLine(VecFields);
        else
            Entry(VecFields);
    }

    TColourTable Table() const
    {
        if (MbrVecEntries.empty())
            throw TColourFileError("No colour entries", 0, MbrStgName);
        return TColourTable(MbrVecEntries, MbrNoData, MbrNaN);
    }

private:
    [[noreturn]] void Fail(const std::string& StgProblem) const
    {
        throw TColourFileError(StgProblem, MbrLngLine, MbrStgName);
    }

    void StartPalette(const std::string& StgLine)
    {
        if (StgLine.find("COLOR_MODEL = RGB") == std::string::npos)
            Fail("Only COLOR_MODEL = RGB is supported");
        MbrBlnPalette = true;
    }

    // "value colour", "N% colour", "nv colour" or "nan colour".
    void Entry(const std::vector<std::string>& VecFields)
    {
        const std::string& StgValue = VecFields[0];
        const TRgba Colour = ColourOf(VecFields);
        if (Upper(StgValue) == "NV") {
            MbrNoData = Colour;
        } else if (StgValue.size() > 1 && StgValue.back() == '%') {
            const double DblPercent = Number(StgValue.substr(0, StgValue.size() - 1), "Percentage");
            if (!(DblPercent >= 0 && DblPercent <= 100))
                Fail("Percentage '" + StgValue + "' is not from 0 to 100");
            MbrVecEntries.push_back({DblPercent / 100.0, true, Colour});
        } else {
            const double DblValue = Number(StgValue, "Value");
            if (std::isnan(DblValue))
                MbrNaN = Colour;
            else
                MbrVecEntries.push_back({DblValue, false, Colour});
        }
    }

    // GMT: "v1 r g b v2 r g b", or "B|F|N r g b".
    void PaletteLine(const std::vector<std::string>& VecFields)
    {
        const std::string StgFirst = Upper(VecFields[0]);
        if (VecFields.size() == 4 && (StgFirst == "B" || StgFirst == "F" || StgFirst == "N")) {
            if (StgFirst == "N")
                MbrNoData = Rgb(VecFields, 1);
            return;
        }
        if (VecFields.size() != 8)
            Fail("A palette line has 8 fields (or 4 for B, F and N), not "
                 + std::to_string(VecFields.size()));
        MbrVecEntries.push_back({Number(VecFields[0], "Value"), false, Rgb(VecFields, 1)});
        MbrVecEntries.push_back({Number(VecFields[4], "Value"), false, Rgb(VecFields, 5)});
    }

    // The colour after the value: "r g b [a]" or "name [a]".
    TRgba ColourOf(const std::vector<std::string>& VecFields) const
    {
        const std::size_t LngFields = VecFields.size();
        if (LngFields == 1)
            Fail("A value needs a colour");
        if (LngFields > 5)
            Fail("Too many fields");
        if (LngFields >= 4) {
            TRgba Colour = Rgb(VecFields, 1);
            Colour.A = LngFields == 5 ? Component(VecFields[4]) : 255;
            return Colour;
        }
        for (const TNamedColour& Named : ArrNamedColours)
            if (Upper(VecFields[1]) == Named.StgName) {
                TRgba Colour = Named.Colour;
                Colour.A = LngFields == 3 ? Component(VecFields[2]) : 255;
                return Colour;
            }
        Fail("Unknown colour '" + VecFields[1] + "'");
    }

    TRgba Rgb(const std::vector<std::string>& VecFields, std::size_t LngFirst) const
    {
        return {Component(VecFields[LngFirst]), Component(VecFields[LngFirst + 1]),
                Component(VecFields[LngFirst + 2]), 255};
    }

    std::uint8_t Component(const std::string& StgField) const
    {
        char* PtrEnd = nullptr;
        const long LngValue = std::strtol(StgField.c_str(), &PtrEnd, 10);
        if (StgField.empty() || *PtrEnd != '\0' || LngValue < 0 || LngValue > 255)
            Fail("Colour component '" + StgField + "' is not a whole number from 0 to 255");
        return static_cast<std::uint8_t>(LngValue);
    }

    double Number(const std::string& StgField, const std::string& StgWhat) const
    {
        char* PtrEnd = nullptr;
        const double DblValue = std::strtod(StgField.c_str(), &PtrEnd);
        if (StgField.empty() || *PtrEnd != '\0')
            Fail(StgWhat + " '" + StgField + "' is not a number");
        return DblValue;
    }

    std::string MbrStgName;
    long MbrLngLine = 0;
    bool MbrBlnPalette = false;
    std::vector<TColourEntry> MbrVecEntries;
    TRgba MbrNoData = TColourTable::NoDataDefault;
    TRgba MbrNaN = TColourTable::NaNDefault;
};

}  // namespace

TColourTable TColourTable::Parse(std::istream& Stream, const std::string& StgName)
{
    TColourFileReader Reader(StgName);
    std::string StgLine;
    for (bool BlnFirst = true; std::getline(Stream, StgLine); BlnFirst = false) {
        const char ArrBom[] = "\xEF\xBB\xBF";
        if (BlnFirst && StgLine.compare(0, 3, ArrBom) == 0)
            StgLine.erase(0, 3);
        Reader.Read(StgLine);
    }
    return Reader.Table();
}
