// Every operation of the map tools and the utilities on small maps and
// values decoded from the bytes: each returns or throws TError (or
// std::bad_alloc), never anything else, and the whole run gives the same
// results, bit for bit, on one thread as on three that share even a few
// cells. Properties the utilities promise of their results are checked too.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <set>
#include <sstream>
#include <utility>

#include "fuzz/FuzzMaps.h"
#include "util/TSlices.h"
#include "ops/TMapTools.h"
#include "util/TNumberFormat.h"
#include "util/TPointTools.h"
#include "util/TRowWriter.h"
#include "util/TStringTools.h"
#include "util/TTextWriter.h"
#include "util/TVectorTools.h"

namespace {

[[noreturn]] void Fail(const char* StgWhat)
{
    std::fprintf(stderr, "property broken: %s\n", StgWhat);
    std::abort();
}

struct TRun {
    TFuzzBytes Bytes;
    TTranscript Transcript;
    std::vector<TFuzzMapRecipe> VecRecipes;
    std::vector<std::unique_ptr<TMap>> VecMaps;

    // A fresh map of recipe LngIndex; one without axes where the toolkit
    // refuses to make it, which is then noted.
    std::unique_ptr<TMap> Make(std::size_t LngIndex)
    {
        const TFuzzMapRecipe& Recipe = VecRecipes[LngIndex];
        try {
            return BuildMap(Recipe);
        } catch (const TError& Error) {
            Transcript.Note(std::string("not built: ") + Error.what());
        }
        return std::make_unique<TMap>(Recipe.DblResolution, Recipe.LngXDim, Recipe.LngYDim);
    }
    const TMap* Map(std::size_t LngIndex) const { return VecMaps[LngIndex].get(); }
    std::vector<TMap*> List()
    {
        std::vector<TMap*> VecList;
        for (std::size_t LngIndex = 0, LngCount = 1 + Bytes.Next() % 3; LngIndex < LngCount; ++LngIndex)
            VecList.push_back(VecMaps[LngIndex].get());
        return VecList;
    }
    double Value() { return FuzzValue(Bytes); }
    long Index() { return Bytes.Between(-2, FuzzMaxDim + 1); }
    // A position in or about the extent of map LngIndex.
    TPoint Position(std::size_t LngIndex)
    {
        static const double ArrShares[] = {0.0, 0.25, 0.5, 1.0, -0.5, 1.5, 0.999, 0.1};
        const TFuzzMapRecipe& Recipe = VecRecipes[LngIndex];
        return TPoint(Recipe.DblWest + Bytes.Pick(ArrShares) * Recipe.LngXDim * Recipe.DblResolution,
                      Recipe.DblSouth + Bytes.Pick(ArrShares) * Recipe.LngYDim * Recipe.DblResolution);
    }

    template <class TOperation>
    void Try(TOperation Operation)
    {
        try {
            Operation();
        } catch (const TError& Error) {
            Transcript.Note(std::string("error: ") + Error.what());
        } catch (const std::bad_alloc&) {
            Transcript.Note(std::string("bad_alloc"));
        }
    }
    void Note(TMap* PtrResult) { Transcript.Note(std::unique_ptr<TMap>(PtrResult).get()); }
    void Note(std::vector<TMap*> VecResults)
    {
        std::vector<std::unique_ptr<TMap>> VecOwned(VecResults.begin(), VecResults.end());
        for (const auto& PtrMap : VecOwned)
            Transcript.Note(PtrMap.get());
    }
};

// Frees the points of a value table, however the scope is left.
struct TOwnedPoints {
    std::map<double, TMapPoint*> MapPoints;
    ~TOwnedPoints()
    {
        for (auto& Entry : MapPoints)
            delete Entry.second;
    }
};

void CellOperations(TRun& Run)
{
    const TMap* PtrA = Run.Map(0);
    const double DblScalar = Run.Value();
    Run.Try([&] { Run.Note(TMapTools::Multiply(PtrA, DblScalar)); });
    Run.Try([&] { Run.Note(TMapTools::Divide(PtrA, DblScalar)); });
    Run.Try([&] {
        std::unique_ptr<TMap> PtrCopy = Run.Make(0);
        const double DblValue = Run.Value();
        const long LngNorth = Run.Index(), LngSouth = Run.Index(), LngWest = Run.Index(), LngEast = Run.Index();
        TMapTools::FillBlock(PtrCopy.get(), DblValue, LngNorth, LngSouth, LngWest, LngEast);
        Run.Transcript.Note(PtrCopy.get());
    });
    std::map<double, double> MapTable;
    for (int LngEntry = Run.Bytes.Next() % 4; LngEntry > 0; --LngEntry)
        MapTable[Run.Value()] = Run.Value();
    const double DblDefault = Run.Value(), DblThreshold = Run.Value(), DblReplacement = Run.Value();
    Run.Try([&] { Run.Note(TMapTools::ReplaceValue(PtrA, MapTable, DblDefault)); });
    Run.Try([&] { Run.Note(TMapTools::ThresholdReplace(PtrA, DblThreshold, DblReplacement)); });
    Run.Try([&] { Run.Note(TMapTools::Threshold(PtrA, DblThreshold)); });
    Run.Try([&] { Run.Note(TMapTools::Threshold(Run.List(), DblThreshold)); });
    Run.Try([&] { Run.Transcript.Note(TMapTools::CountValues(PtrA)); });
    Run.Try([&] { Run.Transcript.Note(TMapTools::CountValues(PtrA, DblThreshold)); });
    Run.Try([&] { Run.Note(TMapTools::Mask(PtrA, Run.Map(1), DblThreshold, DblReplacement)); });
    Run.Try([&] { Run.Note(TMapTools::RoundContents(PtrA)); });
    const double DblNoData = Run.Value();
    Run.Try([&] { Run.Note(TMapTools::ReplaceValue(PtrA, MapTable, DblDefault, DblNoData)); });
    Run.Try([&] { Run.Note(TMapTools::ThresholdReplace(PtrA, DblThreshold, DblReplacement, DblNoData)); });
    Run.Try([&] { Run.Note(TMapTools::Threshold(PtrA, DblThreshold, DblNoData)); });
    Run.Try([&] { Run.Note(TMapTools::RoundContents(PtrA, DblNoData)); });
}

void ArithmeticOperations(TRun& Run)
{
    const TMap* PtrA = Run.Map(0);
    const TMap* PtrB = Run.Map(1);
    Run.Try([&] { Run.Note(TMapTools::Add(PtrA, PtrB)); });
    Run.Try([&] { Run.Note(TMapTools::Multiply(PtrA, PtrB)); });
    Run.Try([&] { Run.Note(TMapTools::Divide(PtrA, PtrB)); });
    Run.Try([&] { Run.Note(TMapTools::Subtract(PtrA, PtrB)); });
    Run.Try([&] { Run.Note(TMapTools::Sum(Run.List())); });
    Run.Try([&] { Run.Note(TMapTools::DataCounts(Run.List())); });
    Run.Try([&] { Run.Note(TMapTools::Average(Run.List())); });
    const int LngWindow = static_cast<int>(Run.Bytes.Between(-1, 4));
    Run.Try([&] { Run.Note(TMapTools::MovingAverage(Run.List(), LngWindow)); });
    const double DblNoData = Run.Value();
    Run.Try([&] { Run.Note(TMapTools::Sum(Run.List(), DblNoData)); });
    Run.Try([&] { Run.Note(TMapTools::Average(Run.List(), DblNoData)); });
    Run.Try([&] { Run.Note(TMapTools::MovingAverage(Run.List(), LngWindow, DblNoData)); });
}

void ResamplingOperations(TRun& Run)
{
    const TMap* PtrA = Run.Map(0);
    double ArrValues[10];
    for (double& DblValue : ArrValues)
        DblValue = Run.Value();
    Run.Transcript.Note(TMapTools::BilinearInterpolate(ArrValues[0], ArrValues[1], ArrValues[2], ArrValues[3],
                                                      ArrValues[4], ArrValues[5], ArrValues[6], ArrValues[7],
                                                      ArrValues[8], ArrValues[9]));
    const TMapPoint Q11(ArrValues[5], ArrValues[8], ArrValues[0]), Q21(ArrValues[6], ArrValues[8], ArrValues[1]),
        Q12(ArrValues[5], ArrValues[9], ArrValues[2]), Q22(ArrValues[6], ArrValues[9], ArrValues[3]);
    TMapPoint Target(ArrValues[4], ArrValues[7]);
    TMapTools::BilinearInterpolate(&Q11, &Q21, &Q12, &Q22, &Target);
    Run.Transcript.Note(&Target);
    // New cell sizes down to a quarter of the map's: small frames only.
    static const double ArrShares[] = {1.0, 0.5, 2.0, 0.25, 1.5, 3.0, 0.3, 0.0, -1.0, FuzzNaN, FuzzInf, 1e300};
    const double DblResolution = PtrA->GetResolution() * Run.Bytes.Pick(ArrShares);
    Run.Try([&] { Run.Note(TMapTools::BilinearInterpolate(PtrA, DblResolution)); });
    Run.Try([&] { Run.Note(TMapTools::Downscale(PtrA, DblResolution)); });
    Run.Try([&] { Run.Note(TMapTools::Downscale(PtrA, DblResolution, ArrValues[0])); });
    const int LngFactor = static_cast<int>(Run.Bytes.Between(-1, 4));
    Run.Try([&] { Run.Note(TMapTools::Subdivide(PtrA, LngFactor)); });
    static const long ArrBuffers[] = {-20, -1, 0, 1, 3, LONG_MIN, LONG_MAX, 2};
    const long LngBuffer = Run.Bytes.Pick(ArrBuffers);
    long LngNorth = Run.Index(), LngSouth = Run.Index(), LngWest = Run.Index(), LngEast = Run.Index();
    Run.Try([&] {
        TMapTools::BufferIndices(PtrA, LngBuffer, LngNorth, LngSouth, LngWest, LngEast);
        for (long LngIndex : {LngNorth, LngSouth, LngWest, LngEast})
            Run.Transcript.Note(LngIndex);
    });
}

void SubMapOperations(TRun& Run)
{
    const TMap* PtrA = Run.Map(0);
    const TMap* PtrB = Run.Map(1);
    Run.Try([&] {
        std::unique_ptr<TMap> PtrCopy = Run.Make(0);
        TMapTools::Insert(PtrCopy.get(), PtrB);
        Run.Transcript.Note(PtrCopy.get());
    });
    const TPoint First = Run.Position(0), Second = Run.Position(0);
    Run.Try([&] { Run.Note(TMapTools::Extract(PtrA, &First, &Second)); });
    Run.Try([&] { Run.Note(TMapTools::Extract(PtrA, &First, &Second, PtrB->GetNoDataValue())); });
    Run.Try([&] {
        TMap* PtrFirstPart = nullptr;
        TMap* PtrSecondPart = nullptr;
        TMapTools::Intersection(PtrA, PtrB, PtrFirstPart, PtrSecondPart);
        Run.Note(PtrFirstPart);
        Run.Note(PtrSecondPart);
    });
    const double DblValue = Run.Value();
    Run.Try([&] {
        long LngMinY = 0, LngMaxY = 0, LngMinX = 0, LngMaxX = 0;
        TMapTools::FindPatchExtent(PtrA, DblValue, LngMinY, LngMaxY, LngMinX, LngMaxX);
        for (long LngIndex : {LngMinY, LngMaxY, LngMinX, LngMaxX})
            Run.Transcript.Note(LngIndex);
    });
    const long LngX = Run.Index(), LngY = Run.Index();
    Run.Try([&] { Run.Transcript.Note(TMapTools::FindNonzeroNeighbourVal(PtrA, LngX, LngY)); });
}

void SeriesOperations(TRun& Run)
{
    std::vector<double> VecSkip;
    for (int LngEntry = Run.Bytes.Next() % 3; LngEntry > 0; --LngEntry)
        VecSkip.push_back(Run.Value());
    TOwnedPoints FirstValues;
    Run.Try([&] {
        FirstValues.MapPoints = TMapTools::GetFirstValues(Run.Map(0), VecSkip);
        Run.Transcript.Note(FirstValues.MapPoints);
    });
    Run.Try([&] { Run.Transcript.Note(TMapTools::FetchMapValues(Run.Map(1), FirstValues.MapPoints)); });
    std::vector<TMap*> VecList = Run.List();
    Run.Try([&] {
        std::vector<std::map<double, TMapPoint*>> VecTables = TMapTools::GetFirstValues(VecList, VecSkip);
        std::vector<TOwnedPoints> VecOwned(VecTables.size());
        for (std::size_t LngIndex = 0; LngIndex < VecTables.size(); ++LngIndex)
            VecOwned[LngIndex].MapPoints = VecTables[LngIndex];
        std::reverse(VecList.begin(), VecList.end());
        for (const auto& MapValues : TMapTools::FetchMapValues(VecList, VecTables))
            Run.Transcript.Note(MapValues);
    });
    Run.Try([&] { Run.Transcript.Note(TMapTools::GetValuesOverlay(Run.Map(0), Run.Map(1), VecSkip)); });
    const long LngX = Run.Index(), LngY = Run.Index();
    const int LngStart = static_cast<int>(Run.Bytes.Between(-1, 3)), LngEnd = static_cast<int>(Run.Bytes.Between(-1, 3));
    Run.Try([&] { Run.Transcript.Note(TMapTools::GetValuesVector(Run.List(), LngX, LngY, LngStart, LngEnd)); });
    const int LngWindow = static_cast<int>(Run.Bytes.Between(-1, 3));
    Run.Try([&] { Run.Note(TMapTools::ValueGradients(Run.List(), LngWindow)); });
    const double DblNoData = Run.Value();
    Run.Try([&] { Run.Note(TMapTools::ValueGradients(Run.List(), LngWindow, DblNoData)); });
}

void DumpOperations(TRun& Run)
{
    static const char ArrSeparators[] = {' ', ',', '\t', '\0'};
    const char ChrSeparator = Run.Bytes.Pick(ArrSeparators);
    Run.Try([&] {
        std::ostringstream Stream;
        TMapTools::WriteFlatFile(Run.Map(0), Stream, ChrSeparator);
        Run.Transcript.Note(Stream.str());
    });
    Run.Try([&] {
        std::ostringstream Stream;
        TMapTools::WriteCSVFile(Run.Map(0), Stream);
        Run.Transcript.Note(Stream.str());
    });
    // Rows written in pieces are laid out as the whole grid is.
    const TFuzzMapRecipe& Recipe = Run.VecRecipes[0];
    const std::size_t LngCols = static_cast<std::size_t>(Recipe.LngXDim);
    const std::size_t LngRows = static_cast<std::size_t>(Recipe.LngYDim);
    std::ostringstream Whole;
    TRowWriter::WriteRows(Whole, Recipe.VecCells.data(), LngCols, LngRows, ChrSeparator);
    TTextWriter Text;
    TRowWriter Rows(Text, LngCols, LngRows, ChrSeparator);
    // Pieces of 1 to 7 cells up to a zero byte, then the rest at once.
    std::size_t LngAt = 0;
    for (std::size_t LngPiece; (LngPiece = Run.Bytes.Next() % 8) > 0 && LngAt < Recipe.VecCells.size();
         LngAt += LngPiece) {
        LngPiece = std::min(LngPiece, Recipe.VecCells.size() - LngAt);
        Rows.Put(Recipe.VecCells.data() + LngAt, LngPiece);
    }
    Rows.Put(Recipe.VecCells.data() + LngAt, Recipe.VecCells.size() - LngAt);
    if (Text.Text() != Whole.str())
        Fail("rows written in pieces differ from the whole");
}

// The hull promises its vertices once each, counterclockwise from the lowest
// point; on small whole numbers, whose turns are exact, it is checked whole.
void CheckHull(const std::vector<TPoint*>& VecPoints, const std::vector<TPoint*>& VecHull)
{
    std::vector<std::pair<double, double>> VecIn, VecOut;
    bool BlnExact = true;
    for (const TPoint* PtrPoint : VecPoints)
        if (std::isfinite(PtrPoint->GetX()) && std::isfinite(PtrPoint->GetY())) {
            VecIn.emplace_back(PtrPoint->GetX(), PtrPoint->GetY());
            BlnExact = BlnExact && std::fabs(PtrPoint->GetX()) < 1e6 && std::fabs(PtrPoint->GetY()) < 1e6
                    && PtrPoint->GetX() == std::floor(PtrPoint->GetX()) && PtrPoint->GetY() == std::floor(PtrPoint->GetY());
        }
    for (const TPoint* PtrPoint : VecHull)
        VecOut.emplace_back(PtrPoint->GetX(), PtrPoint->GetY());
    if (VecPoints.empty() != VecHull.empty() || (VecIn.empty() && VecHull.size() > 1))
        Fail("hull of the wrong size");
    if (VecIn.empty())
        return;
    if (std::set<std::pair<double, double>>(VecOut.begin(), VecOut.end()).size() != VecOut.size())
        Fail("hull lists a point twice");
    for (const auto& Point : VecOut)
        if (std::find(VecIn.begin(), VecIn.end(), Point) == VecIn.end())
            Fail("hull holds a point not given");
    double DblLowest = FuzzInf;
    for (const auto& Point : VecIn)
        DblLowest = std::min(DblLowest, Point.second);
    if (VecOut[0].second != DblLowest)
        Fail("hull does not start at the lowest point");
    const std::size_t LngSize = VecOut.size();
    for (std::size_t LngIndex = 0; BlnExact && LngSize > 1 && LngIndex < LngSize; ++LngIndex) {
        const auto& A = VecOut[LngIndex];
        const auto& B = VecOut[(LngIndex + 1) % LngSize];
        const auto Turn = [&](const std::pair<double, double>& P) {
            return (B.first - A.first) * (P.second - A.second) - (B.second - A.second) * (P.first - A.first);
        };
        if (LngSize > 2 && !(Turn(VecOut[(LngIndex + 2) % LngSize]) > 0))
            Fail("hull turns right or runs straight");
        for (const auto& Point : VecIn)
            if (Turn(Point) < 0)
                Fail("a point lies outside the hull");
    }
}

void PointOperations(TRun& Run)
{
    std::vector<std::unique_ptr<TPoint>> VecOwned;
    std::vector<TPoint*> VecPoints;
    for (int LngPoint = Run.Bytes.Next() % 24; LngPoint > 0; --LngPoint) {
        const double DblX = Run.Value(), DblY = Run.Value();
        VecOwned.push_back(LngPoint % 3 == 0 ? std::make_unique<TMapPoint>(DblX, DblY, LngPoint)
                                             : std::make_unique<TPoint>(DblX, DblY));
        VecPoints.push_back(VecOwned.back().get());
    }
    const auto NoteAll = [&](const std::vector<TPoint*>& VecResult) {
        std::vector<std::unique_ptr<TPoint>> VecFree(VecResult.begin(), VecResult.end());
        for (const TPoint* PtrPoint : VecResult)
            Run.Transcript.Note(PtrPoint);
    };
    const std::vector<TPoint*> VecHull = TPointTools::FindConvexHull(VecPoints);
    CheckHull(VecPoints, VecHull);
    NoteAll(VecHull);
    if (VecPoints.size() < 3)
        return;
    const TPoint* PtrA = VecPoints[0];
    const TPoint* PtrB = VecPoints[1];
    NoteAll({TPointTools::Max(PtrA, PtrB), TPointTools::Min(PtrA, PtrB), TPointTools::FindCentroid(VecPoints)});
    Run.Transcript.Note(TPointTools::Theta(PtrA, PtrB));
    Run.Transcript.Note(TPointTools::Heron(PtrA, PtrB, VecPoints[2]));
    Run.Transcript.Note(TPointTools::FindConvexPolygonArea(VecPoints));
}

void VectorOperations(TRun& Run)
{
    std::vector<double> VecA, VecB;
    for (int LngIndex = Run.Bytes.Next() % 8; LngIndex > 0; --LngIndex)
        VecA.push_back(Run.Value());
    for (int LngIndex = Run.Bytes.Next() % 8; LngIndex > 0; --LngIndex)
        VecB.push_back(Run.Value());
    Run.Transcript.Note(TVectorTools::SumVector(VecA));
    Run.Transcript.Note(TVectorTools::VectorMean(VecA));
    Run.Try([&] { Run.Transcript.Note(TVectorTools::VectorWeightedMean(VecA, VecB)); });
    Run.Transcript.Note(static_cast<long>(TVectorTools::HasValue(VecA, Run.Value())));
    const std::vector<int> VecInts = {static_cast<int>(Run.Bytes.Next()) - 128, INT_MIN, INT_MAX};
    Run.Transcript.Note(static_cast<long>(TVectorTools::HasValue(VecInts, static_cast<int>(Run.Bytes.Next()))));
    Run.Transcript.Note(TVectorTools::IntToDouble(VecInts));
    Run.Try([&] { Run.Transcript.Note(TVectorTools::VectorProduct(VecA, VecB)); });
    Run.Try([&] { Run.Transcript.Note(TVectorTools::Gradient(VecA, VecB)); });
    // Every series is either a few elements long or far beyond any memory.
    static const double ArrEnds[] = {0.0, 1.0, -3.0, 2.5, 1e18, FuzzInf, -FuzzInf, FuzzNaN, 1e20, 9007199254740990.0};
    static const double ArrSteps[] = {1.0, 0.25, 0.1, 0.0, -1.0, FuzzNaN, FuzzInf, 1e-300, 1e308, 3.0};
    const double DblStart = Run.Bytes.Pick(ArrEnds), DblEnd = Run.Bytes.Pick(ArrEnds), DblStep = Run.Bytes.Pick(ArrSteps);
    Run.Try([&] {
        const std::vector<double> VecSeries = TVectorTools::VectorSeries(DblStart, DblEnd, DblStep);
        for (std::size_t LngIndex = 0; LngIndex < VecSeries.size(); ++LngIndex)
            if (VecSeries[LngIndex] > DblEnd || (LngIndex > 0 && VecSeries[LngIndex] != VecSeries[LngIndex - 1] + DblStep))
                Fail("series element is not the previous plus the step");
        Run.Transcript.Note(VecSeries);
    });
}

void TextOperations(TRun& Run)
{
    std::vector<std::string> VecStrings(3);
    for (std::string& StgText : VecStrings)
        for (int LngChar = Run.Bytes.Next() % 8; LngChar > 0; --LngChar)
            StgText += static_cast<char>(Run.Bytes.Next() % 4 == 0 ? ' ' : "01 x-.e9,\t"[Run.Bytes.Next() % 10]);
    for (int LngValue : TVectorTools::StringToInt(VecStrings))
        Run.Transcript.Note(static_cast<long>(LngValue));
    Run.Transcript.Note(TVectorTools::StringToDouble(VecStrings));
    Run.Try([&] { Run.Transcript.Note(static_cast<long>(TStringTools::StgToBool(VecStrings[0]))); });
    Run.Transcript.Note(static_cast<long>(TStringTools::HasSubstring(VecStrings[0], VecStrings[1])));
    Run.Transcript.Note(TStringTools::FindAndReplace(VecStrings[0], VecStrings[1], VecStrings[2]));
    std::string StgCopy = VecStrings[0];
    TStringTools::ToUpper(StgCopy);
    TStringTools::Trim(StgCopy);
    Run.Transcript.Note(StgCopy);
    std::vector<std::string> VecTokens;
    TStringTools::Tokenize(VecStrings[0], VecTokens, VecStrings[1]);
    for (const std::string& StgToken : VecTokens)
        Run.Transcript.Note(StgToken);
    const double DblValue = Run.Value();
    Run.Transcript.Note(TStringTools::ToString(DblValue) + TStringTools::ToString(LONG_MIN) + TStringTools::ToString(INT_MIN));
    // The one formatter reads back to the same number.
    const std::string StgNumber = TNumberFormat::ToString(DblValue);
    char ArrText[TNumberFormat::MaxLength];
    if (std::isfinite(DblValue) && std::strtod(StgNumber.c_str(), nullptr) != DblValue)
        Fail("formatted number does not read back");
    if (std::string(ArrText, TNumberFormat::Write(DblValue, ArrText)) != StgNumber)
        Fail("the formatter's two forms differ");
    Run.Transcript.Note(std::string(ArrText, TNumberFormat::WriteInteger(LONG_MIN + Run.Bytes.Next(), ArrText)));
}

std::string RunAll(const std::uint8_t* PtrData, std::size_t LngSize)
{
    TRun Run{TFuzzBytes(PtrData, LngSize), {}, {}, {}};
    for (int LngMap = 0; LngMap < 3; ++LngMap)
        Run.VecRecipes.push_back(DecodeMapRecipe(Run.Bytes));
    for (std::size_t LngMap = 0; LngMap < 3; ++LngMap)
        Run.VecMaps.push_back(Run.Make(LngMap));
    for (const auto Operations : {CellOperations, ArithmeticOperations, ResamplingOperations, SubMapOperations,
                                  SeriesOperations, DumpOperations, PointOperations, VectorOperations, TextOperations})
        Operations(Run);
    return Run.Transcript.Text();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* PtrData, std::size_t LngSize)
{
    TSlices::SetThreads(1);
    const std::string StgAlone = RunAll(PtrData, LngSize);
    TSlices::SetThreads(3, true);
    const std::string StgShared = RunAll(PtrData, LngSize);
    if (StgAlone != StgShared) {
        std::fprintf(stderr, "one thread:\n%s\nthree threads:\n%s\n", StgAlone.c_str(), StgShared.c_str());
        std::abort();
    }
    return 0;
}
