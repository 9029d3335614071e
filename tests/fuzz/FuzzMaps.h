#pragma once
// The operations harness's inputs: small maps of every kind a client can
// make (without axes, on centre axes, on edge axes, read from text, built
// row by row), decoded from fuzz bytes, and a transcript of results that two
// runs can be compared by, bit for bit.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "grid/TAxis.h"
#include "grid/TMap.h"
#include "io/TARCGISFileTools.h"
#include "support/TGridText.h"

// The input bytes, read from the front; zeros once they run out.
class TFuzzBytes {
public:
    TFuzzBytes(const std::uint8_t* PtrData, std::size_t LngSize) : MbrPtrData(PtrData), MbrLngSize(LngSize) {}
    std::uint8_t Next() { return MbrLngAt < MbrLngSize ? MbrPtrData[MbrLngAt++] : 0; }
    template <class T, std::size_t N>
    T Pick(const T (&ArrChoices)[N]) { return ArrChoices[Next() % N]; }
    long Between(long LngLow, long LngHigh) { return LngLow + Next() % (LngHigh - LngLow + 1); }

private:
    const std::uint8_t* MbrPtrData;
    std::size_t MbrLngSize;
    std::size_t MbrLngAt = 0;
};

constexpr double FuzzInf = std::numeric_limits<double>::infinity();
constexpr double FuzzNaN = std::numeric_limits<double>::quiet_NaN();

// Values cells, scalars and table entries are drawn from.
inline double FuzzValue(TFuzzBytes& Bytes)
{
    static const double ArrValues[] = {0.0,    -0.0,  1.0,      -1.0,  2.5,     FuzzNaN, FuzzInf,
                                       -FuzzInf, -9999.0, 1e308,  -1e308, 4.9e-324, 7.0,     0.5,
                                       3.0,    -2.5,  1e-300,   100.0};
    const std::uint8_t LngByte = Bytes.Next();
    return LngByte < 64 ? static_cast<double>(LngByte % 8) : ArrValues[LngByte % 18];
}

// The dimensions are kept small: every operation then allocates little, even
// resampled to a quarter of the cell size or subdivided fourfold.
constexpr long FuzzMaxDim = 6;

struct TFuzzMapRecipe {
    int LngKind;
    long LngXDim;
    long LngYDim;
    double DblResolution;
    double DblWest;
    double DblSouth;
    bool BlnRising;
    double DblNoData;
    std::vector<double> VecCells;  // row by row, north row first
};

inline TFuzzMapRecipe DecodeMapRecipe(TFuzzBytes& Bytes)
{
    static const double ArrResolutions[] = {1.0, 0.5, 2.0, 0.25, 3.0, 0.1, 25.0, 1e-3};
    static const double ArrCorners[] = {0.0, 0.5, -3.0, 100.25, 1e6 + 0.5, -0.75, 1.0, 2.0};
    static const double ArrNoData[] = {-9999.0, 0.0, FuzzNaN, 1.0, -1.0, FuzzInf, 7.0, -0.0};
    TFuzzMapRecipe Recipe;
    Recipe.LngKind = Bytes.Next() % 6;
    Recipe.LngXDim = Bytes.Between(0, FuzzMaxDim);
    Recipe.LngYDim = Bytes.Between(0, FuzzMaxDim);
    Recipe.DblResolution = Bytes.Pick(ArrResolutions);
    Recipe.DblWest = Bytes.Pick(ArrCorners);
    Recipe.DblSouth = Bytes.Pick(ArrCorners);
    Recipe.BlnRising = Bytes.Next() % 4 == 0;
    Recipe.DblNoData = Bytes.Pick(ArrNoData);
    for (long LngCell = 0; LngCell < Recipe.LngXDim * Recipe.LngYDim; ++LngCell) {
        const double DblValue = FuzzValue(Bytes);
        Recipe.VecCells.push_back(DblValue == 3.0 ? Recipe.DblNoData : DblValue);
    }
    return Recipe;
}

// Centre (BlnEdges false) or edge positions along one direction, by repeated
// addition of the resolution; Y runs north to south unless rising.
inline std::unique_ptr<TAxis> FuzzAxis(const TFuzzMapRecipe& Recipe, char ChrAxis, bool BlnEdges)
{
    const long LngCells = ChrAxis == 'X' ? Recipe.LngXDim : Recipe.LngYDim;
    const long LngSize = BlnEdges ? LngCells + 1 : LngCells;
    const bool BlnFalling = ChrAxis == 'Y' && !Recipe.BlnRising;
    const double DblStep = BlnFalling ? -Recipe.DblResolution : Recipe.DblResolution;
    const double DblStart = ChrAxis == 'X' ? Recipe.DblWest : Recipe.DblSouth;
    double DblAt = DblStart + (BlnFalling ? LngCells * Recipe.DblResolution : 0.0)
                 + (BlnEdges ? 0.0 : DblStep * 0.5);
    auto PtrAxis = std::make_unique<TAxis>(Recipe.DblResolution, LngSize);
    for (long LngIndex = 0; LngIndex < LngSize; ++LngIndex, DblAt += DblStep)
        PtrAxis->SetPoint(LngIndex, ChrAxis == 'X' ? new TPoint(DblAt, Recipe.DblSouth)
                                                   : new TPoint(Recipe.DblWest, DblAt));
    return PtrAxis;
}

inline void FillCells(TMap& Map, const TFuzzMapRecipe& Recipe)
{
    if (!Recipe.VecCells.empty())
        std::memcpy(Map.GetCells(), Recipe.VecCells.data(), Recipe.VecCells.size() * sizeof(double));
}

// The map of the recipe; TError where the toolkit refuses to make it.
inline std::unique_ptr<TMap> BuildMap(const TFuzzMapRecipe& Recipe)
{
    std::unique_ptr<TMap> PtrMap;
    switch (Recipe.LngKind) {
    case 0:  // no axes
        PtrMap = std::make_unique<TMap>(Recipe.DblResolution, Recipe.LngXDim, Recipe.LngYDim);
        break;
    case 1:  // on centre axes
        PtrMap = std::make_unique<TMap>(FuzzAxis(Recipe, 'X', false).get(),
                                        FuzzAxis(Recipe, 'Y', false).get());
        break;
    case 2:  // on edge axes
    case 5:  // the same, then a row more
        PtrMap = std::make_unique<TMap>(Recipe.DblResolution, Recipe.LngXDim, Recipe.LngYDim);
        PtrMap->SetXAxisInterval(FuzzAxis(Recipe, 'X', true).get());
        PtrMap->SetYAxisInterval(FuzzAxis(Recipe, 'Y', true).get());
        break;
    case 3: {  // read from text
        const TGridText Grid{Recipe.LngXDim, Recipe.LngYDim, Recipe.DblWest, Recipe.DblSouth,
                             Recipe.DblResolution, Recipe.DblNoData, Recipe.VecCells};
        std::istringstream Stream(GridFileText(Grid));
        PtrMap.reset(TARCGISFileTools::LoadARCGISFile(Stream));
        return PtrMap;
    }
    default: {  // row by row, then edge axes
        PtrMap = std::make_unique<TMap>(Recipe.DblResolution);
        for (long LngY = 0; LngY < Recipe.LngYDim; ++LngY)
            PtrMap->AddRow(std::vector<double>(Recipe.VecCells.begin() + LngY * Recipe.LngXDim,
                                               Recipe.VecCells.begin() + (LngY + 1) * Recipe.LngXDim));
        PtrMap->SetXAxisInterval(FuzzAxis(Recipe, 'X', true).get());
        PtrMap->SetYAxisInterval(FuzzAxis(Recipe, 'Y', true).get());
        break;
    }
    }
    PtrMap->SetNoDataValue(Recipe.DblNoData);
    if (Recipe.LngKind != 4)
        FillCells(*PtrMap, Recipe);
    if (Recipe.LngKind == 5)
        PtrMap->AddRow(std::vector<double>(static_cast<std::size_t>(Recipe.LngXDim), 1.0));
    return PtrMap;
}

// What two runs are compared by: every result, numbers by their bits.
class TTranscript {
public:
    void Note(const std::string& StgText) { MbrStgText += StgText + ';'; }
    void Note(double DblValue)
    {
        std::uint64_t LngBits;
        std::memcpy(&LngBits, &DblValue, sizeof LngBits);
        MbrStgText += std::to_string(LngBits) + ',';
    }
    void Note(long LngValue) { MbrStgText += std::to_string(LngValue) + ','; }
    void Note(const TPoint* PtrPoint)
    {
        if (!PtrPoint)
            return Note(std::string("null point"));
        Note(PtrPoint->GetX());
        Note(PtrPoint->GetY());
        if (const auto* PtrMapPoint = dynamic_cast<const TMapPoint*>(PtrPoint))
            Note(PtrMapPoint->GetValue());
    }
    void Note(const TAxis* PtrAxis)
    {
        if (!PtrAxis)
            return Note(std::string("no axis"));
        Note(PtrAxis->GetResolution());
        for (long LngIndex = 0; LngIndex < PtrAxis->GetSize(); ++LngIndex)
            Note(PtrAxis->GetPoint(LngIndex));
    }
    void Note(const TMap* PtrMap)
    {
        Note(PtrMap->GetXDim());
        Note(PtrMap->GetYDim());
        Note(PtrMap->GetResolution());
        Note(PtrMap->GetNoDataValue());
        const std::size_t LngCells =
            static_cast<std::size_t>(PtrMap->GetXDim()) * static_cast<std::size_t>(PtrMap->GetYDim());
        for (std::size_t LngCell = 0; LngCell < LngCells; ++LngCell)
            Note(PtrMap->GetCells()[LngCell]);
        for (const TAxis* PtrAxis : {PtrMap->GetXAxis(), PtrMap->GetXAxisInterval(),
                                     PtrMap->GetYAxis(), PtrMap->GetYAxisInterval()})
            Note(PtrAxis);
    }
    void Note(const std::vector<double>& VecValues)
    {
        Note(static_cast<long>(VecValues.size()));
        for (double DblValue : VecValues)
            Note(DblValue);
    }
    template <class TValue>
    void Note(const std::map<double, TValue>& MapTable)
    {
        Note(static_cast<long>(MapTable.size()));
        for (const auto& [DblKey, Value] : MapTable) {
            Note(DblKey);
            Note(Value);
        }
    }
    const std::string& Text() const { return MbrStgText; }

private:
    std::string MbrStgText;
};
