#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "ops/OpsTestSupport.h"
#include "ops/TMapTools.h"
#include "util/TVectorTools.h"

namespace {

const double DblNaN = std::numeric_limits<double>::quiet_NaN();

using TPositions = std::map<double, TMapPoint*>;
// Per key: the point's X, Y and value.
using TFound = std::map<double, std::array<double, 3>>;

// The table's contents; its points are freed, as the caller must.
TFound Take(const TPositions& Table)
{
    TFound Found;
    for (const auto& Entry : Table) {
        const std::unique_ptr<TMapPoint> PtrPoint(Entry.second);
        Found[Entry.first] = {PtrPoint->GetX(), PtrPoint->GetY(), PtrPoint->GetValue()};
    }
    return Found;
}

// Two columns by two rows of cell size 1 over X 0..2, Y 2..0: cell (c, r)
// has its centre at (c + 0.5, 1.5 - r).
std::unique_ptr<TMap> Square(const TRows& VecRows)
{
    return MakeMap(1.0, {0, 1, 2}, {2, 1, 0}, VecRows);
}

bool SameBits(double DblA, double DblB)
{
    return std::isnan(DblA) ? std::isnan(DblB) : std::memcmp(&DblA, &DblB, sizeof DblA) == 0;
}

}  // namespace

TEST(TMapToolsSeries, GetFirstValuesListsEachValueAtItsFirstCellColumnByColumn)
{
    const struct {
        TRows VecRows;
        TValues VecSkip;
        TFound Expected;
    } Cases[] = {
        // The no-data cell opening the scan is passed over as a repeat.
        {{{-9999, 3}, {3, 5}}, {}, {{3, {0.5, 0.5, 3}}, {5, {1.5, 0.5, 5}}}},
        {{{3, 3}, {-9999, 5}}, {},
         {{-9999, {0.5, 0.5, -9999}}, {3, {0.5, 1.5, 3}}, {5, {1.5, 0.5, 5}}}},
        {{{-9999, 3}, {3, 5}}, {3}, {{5, {1.5, 0.5, 5}}}},
        // NaN never becomes a key, but it ends the run of no data.
        {{{-9999, -9999}, {DblNaN, 4}}, {},
         {{-9999, {1.5, 1.5, -9999}}, {4, {1.5, 0.5, 4}}}},
        // Skipping matches -0.0 to 0.0; a NaN in the list skips nothing.
        {{{0.0, 1}, {DblNaN, 2}}, {DblNaN, -0.0}, {{1, {1.5, 1.5, 1}}, {2, {1.5, 0.5, 2}}}},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Take(TMapTools::GetFirstValues(Square(Case.VecRows).get(), Case.VecSkip)),
                  Case.Expected);

    const auto PtrFirst = Square({{1, 1}, {1, 1}});
    const auto PtrSecond = Square({{2, 2}, {2, 7}});
    const auto VecTables = TMapTools::GetFirstValues({PtrFirst.get(), PtrSecond.get()}, {2});
    ASSERT_EQ(VecTables.size(), 2u);
    EXPECT_EQ(Take(VecTables[0]), (TFound{{1, {0.5, 1.5, 1}}}));
    EXPECT_EQ(Take(VecTables[1]), (TFound{{7, {1.5, 0.5, 7}}}));
    EXPECT_TRUE(TMapTools::GetFirstValues(std::vector<TMap*>{}, {}).empty());
}

TEST(TMapToolsSeries, FetchMapValuesReadsTheCellHoldingEachPoint)
{
    const auto PtrClasses = Square({{-9999, 3}, {3, 5}});
    const auto PtrValues = Square({{1, 2}, {3, 4}});
    const TPositions Table = TMapTools::GetFirstValues(PtrClasses.get(), {});
    const std::map<double, double> Expected{{3, 3}, {5, 4}};
    EXPECT_EQ(TMapTools::FetchMapValues(PtrValues.get(), Table), Expected);
    const auto VecValues = TMapTools::FetchMapValues({PtrValues.get(), PtrClasses.get()},
                                                     {Table, Table, Table});
    EXPECT_EQ(VecValues, (std::vector<std::map<double, double>>{Expected, {{3, 3}, {5, 5}}}));
    Take(Table);

    const struct {
        TPoint Position;
        std::string StgMessage;
    } Cases[] = {
        {{2.5, 0.5}, "Ordinate is out of range in TAxis::GetIndex"},
        {{0.5, -1.0}, "Ordinate is out of range in TAxis::GetIndex"},
        {{2.0, 0.5}, "LngX is out of range in TMap::GetPointVal"},  // the east edge
        {{0.5, 2.0}, "LngY is out of range in TMap::GetPointVal"},  // the north edge
    };
    for (const auto& Case : Cases) {
        TMapPoint Inside(0.5, 0.5, 99.0);
        TMapPoint Outside(Case.Position.GetX(), Case.Position.GetY());
        EXPECT_TERROR(TMapTools::FetchMapValues(PtrValues.get(), {{1, &Inside}, {2, &Outside}}),
                      Case.StgMessage);
    }
    TMapPoint Centre(0.5, 0.5);
    const TMap NoAxes(1.0, 2, 2);
    EXPECT_TERROR(TMapTools::FetchMapValues(&NoAxes, {{1, &Centre}}),
                  "Axes are not set in TMap::GetPointVal");
}

TEST(TMapToolsSeries, FetchMapValuesRefusesFewerTablesThanMapsBeforeReading)
{
    const auto PtrMap = Square({{1, 2}, {3, 4}});
    TMapPoint Outside(5.0, 5.0);
    EXPECT_TERROR(TMapTools::FetchMapValues({PtrMap.get(), PtrMap.get()}, {{{1, &Outside}}}),
                  "Number of position tables does not match number of maps in "
                  "TMapTools::FetchMapValues");
}

TEST(TMapToolsSeries, GetValuesOverlayGroupsValuesByClassInScanOrder)
{
    const struct {
        TRows VecClasses;
        TRows VecValues;
        TValues VecSkip;
        std::map<double, TValues> Expected;
    } Cases[] = {
        {{{1, 1}, {2, 1}}, {{10, 30}, {20, 40}}, {}, {{1, {10, 30, 40}}, {2, {20}}}},
        {{{1, 1}, {2, 1}}, {{10, 30}, {20, 40}}, {2}, {{1, {10, 30, 40}}}},
        {{{1, 1}, {1, 1}}, {{1, 2}, {3, 4}}, {}, {{1, {1, 3, 2, 4}}}},
        // NaN classes are passed over; no data is a class like any other.
        {{{DblNaN, 1}, {2, -9999}}, {{10, 30}, {20, 40}}, {},
         {{-9999, {40}}, {1, {30}}, {2, {20}}}},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(TMapTools::GetValuesOverlay(Square(Case.VecValues).get(),
                                              Square(Case.VecClasses).get(), Case.VecSkip),
                  Case.Expected);

    const auto PtrThree = MakeMap(1.0, {0, 1, 2, 3}, {2, 1, 0});
    const auto PtrFour = MakeMap(1.0, {0, 1, 2, 3, 4}, {1, 0});
    EXPECT_TERROR(TMapTools::GetValuesOverlay(PtrThree.get(), PtrFour.get(), {}),
                  "Map X-dimensions do not match");
    const auto PtrThreeByOne = MakeMap(1.0, {0, 1, 2, 3}, {1, 0});
    EXPECT_TERROR(TMapTools::GetValuesOverlay(PtrThree.get(), PtrThreeByOne.get(), {}),
                  "Map Y-Dimensions do not match");
}

TEST(TMapToolsSeries, GetValuesVectorReadsOneCellThroughARun)
{
    const auto PtrA = Square({{1, 2}, {3, 4}});
    const auto PtrB = Square({{5, 6}, {7, 8}});
    const std::vector<TMap*> VecMaps{PtrA.get(), PtrB.get(), PtrA.get()};
    EXPECT_EQ(TMapTools::GetValuesVector(VecMaps, 1, 0, 0, 2), (TValues{2, 6, 2}));
    const struct {
        long LngX;
        long LngY;
        int LngStart;
        int LngEnd;
        std::string StgMessage;
    } Cases[] = {
        {0, 0, 1, 1, "Stat map number must be less than end map number"},
        {0, 0, 0, 3, "End map number is out of range in TMapTools::GetValuesVector"},
        {0, 0, -1, 2, "Start map number is out of range in TMapTools::GetValuesVector"},
        {0, 0, 3, -1, "Start map number is out of range in TMapTools::GetValuesVector"},
        {2, 0, 0, 1, "X-ordinate is out of range in TMap::GetPointVal"},
        {0, -1, 0, 1, "Y-ordinate is out of range in TMap::GetPointVal"},
    };
    for (const auto& Case : Cases)
        EXPECT_TERROR(TMapTools::GetValuesVector(VecMaps, Case.LngX, Case.LngY, Case.LngStart,
                                                 Case.LngEnd),
                      Case.StgMessage);
}

TEST(TMapToolsSeries, ValueGradientsChecksWindowAndDimensionsFirst)
{
    const auto PtrMap = Square({{1, 2}, {3, 4}});
    const auto PtrWide = MakeMap(1.0, {0, 1, 2, 3}, {2, 1, 0});
    const std::vector<TMap*> VecMaps{PtrMap.get(), PtrMap.get(), PtrMap.get()};
    const std::string StgWindow =
        "Window size must be < number of maps in TMapTools::ValueGradients";
    const struct {
        std::vector<TMap*> VecMaps;
        int LngWindow;
        std::string StgMessage;
    } Cases[] = {
        {VecMaps, 3, StgWindow},
        {VecMaps, 4, StgWindow},
        {VecMaps, -1, StgWindow},
        {{}, 0, StgWindow},
        {{PtrMap.get(), PtrMap.get(), PtrWide.get()}, 1,
         "Map dimensions do not match in TMapTools::ValueGradients"},
        {VecMaps, 0, "Stat map number must be less than end map number"},
    };
    for (const auto& Case : Cases)
        EXPECT_TERROR(TMapTools::ValueGradients(Case.VecMaps, Case.LngWindow), Case.StgMessage);

    for (int LngWindow : {1, 2}) {
        const std::vector<TMap*> VecSlopes = TMapTools::ValueGradients(VecMaps, LngWindow);
        EXPECT_EQ(VecSlopes.size(), 3u - LngWindow);
        for (TMap* PtrSlopes : VecSlopes)
            delete PtrSlopes;
    }
}

TEST(TMapToolsSeries, ValueGradientsFitsEachCellOverTheWindow)
{
    // Four maps of 3 x 3 cells, window 3: the centre cell holds the four
    // values, cell (0, 0) of each map its neighbour value, all else 0.
    const struct {
        TValues VecCentre;
        TValues VecNeighbour;
        double DblNoDataOfMap2;
        double DblExpected;
    } Cases[] = {
        {{2, 4, 6, 8}, {0, 0, 0, 0}, -9999, 2.0},
        {{2, 0, 6, 8}, {0, 4, 0, 0}, -9999, 2.0},      // zero replaced by its neighbour
        {{2, -9999, 6, 8}, {0, 0, 0, 0}, -9999, 2.0},  // no-data pair dropped
        {{2, 4, 7, 8}, {0, 0, 0, 0}, 7, 2.0},          // against its own map's no data
        {{2, 4, 6, 0}, {0, 0, 0, 8}, -9999, -0.4},     // the last map's zero stays
        {{0, 4, 6, 8}, {0, 0, 0, 0}, -9999, -9999},    // the first map's zero
        {{-9999, -9999, -9999, 6}, {0, 0, 0, 0}, -9999, DblNaN},  // one pair left
        {{DblNaN, 4, 6, 8}, {0, 0, 0, 0}, -9999, DblNaN},         // NaN is nonzero
    };
    for (const auto& Case : Cases) {
        std::vector<std::unique_ptr<TMap>> VecOwned;
        std::vector<TMap*> VecMaps;
        for (std::size_t LngMap = 0; LngMap < 4; ++LngMap) {
            VecOwned.push_back(MakeMap(1.0, {0, 1, 2, 3}, {3, 2, 1, 0},
                                       {{Case.VecNeighbour[LngMap], 0, 0},
                                        {0, Case.VecCentre[LngMap], 0},
                                        {0, 0, 0}}));
            VecMaps.push_back(VecOwned.back().get());
        }
        VecOwned[2]->SetNoDataValue(Case.DblNoDataOfMap2);
        const std::vector<TMap*> VecSlopes = TMapTools::ValueGradients(VecMaps, 3);
        ASSERT_EQ(VecSlopes.size(), 1u);
        const std::unique_ptr<TMap> PtrSlopes(VecSlopes[0]);
        EXPECT_TRUE(SameBits(PtrSlopes->GetPointVal(1, 1), Case.DblExpected))
            << PtrSlopes->GetPointVal(1, 1) << " for " << Case.VecCentre[1];
        EXPECT_EQ(PtrSlopes->GetPointVal(2, 2), -9999.0);
    }
}

TEST(TMapToolsSeries, ValueGradientsEqualsTheSlopeOfEachCellsSeriesBitForBit)
{
    std::mt19937 Random(7);
    std::uniform_int_distribution<int> Centi(-500, 500);
    std::discrete_distribution<int> Kind({75, 15, 10});  // value, zero, no data
    std::vector<std::unique_ptr<TMap>> VecOwned;
    std::vector<TMap*> VecMaps;
    for (int LngMap = 0; LngMap < 5; ++LngMap) {
        TRows VecRows(4, TValues(6));
        for (TValues& VecRow : VecRows)
            for (double& DblCell : VecRow) {
                const int LngKind = Kind(Random);
                DblCell = LngKind == 0 ? Centi(Random) / 100.0 : LngKind == 1 ? 0.0 : -9999.0;
            }
        VecOwned.push_back(MakeMap(0.5, {0, 0.5, 1, 1.5, 2, 2.5, 3}, {2, 1.5, 1, 0.5, 0}, VecRows));
        VecMaps.push_back(VecOwned.back().get());
    }
    const int LngWindow = 2;
    const std::vector<TMap*> VecSlopes = TMapTools::ValueGradients(VecMaps, LngWindow);
    ASSERT_EQ(VecSlopes.size(), 3u);
    for (int LngFirst = 0; LngFirst < 3; ++LngFirst) {
        const std::unique_ptr<TMap> PtrSlopes(VecSlopes[LngFirst]);
        EXPECT_EQ(Components(*PtrSlopes->GetXAxisInterval(), 'X'),
                  Components(*VecMaps[0]->GetXAxisInterval(), 'X'));
        EXPECT_EQ(PtrSlopes->GetNoDataValue(), -9999.0);
        const TValues VecPositions = TVectorTools::VectorSeries(LngFirst, LngFirst + LngWindow, 1);
        for (long LngX = 0; LngX < 6; ++LngX)
            for (long LngY = 0; LngY < 4; ++LngY) {
                TValues VecValues = TMapTools::GetValuesVector(VecMaps, LngX, LngY, LngFirst,
                                                               LngFirst + LngWindow);
                double DblExpected = -9999.0;
                if (VecValues[0] != 0.0) {
                    TValues VecX;
                    TValues VecY;
                    for (int LngStep = 0; LngStep <= LngWindow; ++LngStep) {
                        TMap* PtrMap = VecMaps[LngFirst + LngStep];
                        if (LngStep < LngWindow && VecValues[LngStep] == 0.0)
                            VecValues[LngStep] =
                                TMapTools::FindNonzeroNeighbourVal(PtrMap, LngX, LngY);
                        if (VecValues[LngStep] != PtrMap->GetNoDataValue()) {
                            VecX.push_back(VecPositions[LngStep]);
                            VecY.push_back(VecValues[LngStep]);
                        }
                    }
                    DblExpected = TVectorTools::Gradient(VecX, VecY);
                }
                EXPECT_TRUE(SameBits(PtrSlopes->GetPointVal(LngX, LngY), DblExpected))
                    << LngFirst << ": " << LngX << ", " << LngY;
            }
    }
}
