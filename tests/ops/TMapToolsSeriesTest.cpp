#include <array>
#include <limits>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "ops/OpsTestSupport.h"
#include "ops/TMapTools.h"

namespace {

const double DblNaN = std::numeric_limits<double>::quiet_NaN();
using TFound = std::map<double, std::array<double, 3>>;

// Per key, the point's X, Y and value; the points are freed, as callers must.
TFound Take(const std::map<double, TMapPoint*>& Table)
{
    TFound Found;
    for (const auto& Entry : Table) {
        const std::unique_ptr<TMapPoint> PtrPoint(Entry.second);
        Found[Entry.first] = {PtrPoint->GetX(), PtrPoint->GetY(), PtrPoint->GetValue()};
    }
    return Found;
}

// Two columns of cells of size 1 over X 0..2 from Y 2 down: cell (c, r) is
// centred at (c + 0.5, 1.5 - r).
std::unique_ptr<TMap> Square(const TRows& VecRows)
{
    const TValues VecYEdges = VecRows.size() == 1 ? TValues{2, 1} : TValues{2, 1, 0};
    return MakeMap(1.0, {0, 1, 2}, VecYEdges, VecRows);
}

}  // namespace

TEST(TMapToolsSeries, GetFirstValuesAndFetchMapValuesPairUp)
{
    // Rows north first; the scan runs down column 0, then column 1. No data
    // opening the scan is a repeat; NaN is never a key but ends that run.
    const std::pair<TRows, TFound> Cases[] = {
        {{{-9999, 3}, {3, 5}}, {{3, {0.5, 0.5, 3}}, {5, {1.5, 0.5, 5}}}},
        {{{3, 3}, {-9999, 5}},
         {{-9999, {0.5, 0.5, -9999}}, {3, {0.5, 1.5, 3}}, {5, {1.5, 0.5, 5}}}},
        {{{-9999, -9999}, {DblNaN, 4}}, {{-9999, {1.5, 1.5, -9999}}, {4, {1.5, 0.5, 4}}}},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Take(TMapTools::GetFirstValues(Square(Case.first).get(), {})), Case.second);

    const auto PtrClasses = Square({{-9999, 3}, {-0.0, 5}});
    const auto PtrValues = Square({{1, 2}, {3, 4}});
    const auto VecTables =
        TMapTools::GetFirstValues({PtrClasses.get(), PtrValues.get()}, {DblNaN, 0.0, 1, 2});
    EXPECT_EQ(TMapTools::FetchMapValues({PtrValues.get(), PtrClasses.get()}, VecTables),
              (std::vector<std::map<double, double>>{{{3, 2}, {5, 4}}, {{3, -0.0}, {4, 5}}}));
    Take(VecTables[0]);
    Take(VecTables[1]);
    TMap NoAxes(1.0, 1, 1);
    NoAxes.SetPoint(0, 0, 1.0);  // fails after the first map's points are made
    EXPECT_TERROR(TMapTools::GetFirstValues({PtrValues.get(), &NoAxes}, {}),
                  "Axes are not set in TMap::GetCoordinates");

    TMapPoint Inside(0.5, 0.5), Outside(2.5, 0.5), East(2.0, 0.5);
    EXPECT_TERROR(TMapTools::FetchMapValues({PtrValues.get(), PtrValues.get()}, {{{1, &Outside}}}),
                  "Number of position tables does not match number of maps in "
                  "TMapTools::FetchMapValues");
    EXPECT_TERROR(TMapTools::FetchMapValues(PtrValues.get(), {{1, &Inside}, {2, &Outside}}),
                  "Ordinate is out of range in TAxis::GetIndex");
    EXPECT_TERROR(TMapTools::FetchMapValues(PtrValues.get(), {{1, &Inside}, {2, &East}}),
                  "LngX is out of range in TMap::GetPointVal");
}

TEST(TMapToolsSeries, GetValuesOverlayGroupsValuesByClassInScanOrder)
{
    const auto PtrValues = Square({{10, 30}, {20, 40}});
    const auto Overlay = [&](const TRows& VecClasses, const TValues& VecSkip) {
        return TMapTools::GetValuesOverlay(PtrValues.get(), Square(VecClasses).get(), VecSkip);
    };
    using TClasses = std::map<double, TValues>;
    EXPECT_EQ(Overlay({{1, 1}, {2, 1}}, {}), (TClasses{{1, {10, 30, 40}}, {2, {20}}}));
    EXPECT_EQ(Overlay({{1, 1}, {2, 1}}, {2}), (TClasses{{1, {10, 30, 40}}}));
    EXPECT_EQ(Overlay({{1, 1}, {1, 2}}, {}), (TClasses{{1, {10, 20, 30}}, {2, {40}}}));
    EXPECT_EQ(Overlay({{DblNaN, 1}, {2, -9999}}, {}),
              (TClasses{{-9999, {40}}, {1, {30}}, {2, {20}}}));
    EXPECT_TERROR(TMapTools::GetValuesOverlay(Square({{1, 2}}).get(), PtrValues.get(), {}),
                  "Map Y-Dimensions do not match");
}

TEST(TMapToolsSeries, GetValuesVectorAndValueGradientsCheckTheirRuns)
{
    const auto PtrA = Square({{1, 2}, {3, 4}});
    const auto PtrB = Square({{5, 6}, {7, 8}});
    const std::vector<TMap*> VecMaps{PtrA.get(), PtrB.get(), PtrA.get()};
    EXPECT_EQ(TMapTools::GetValuesVector(VecMaps, 1, 0, 0, 2), (TValues{2, 6, 2}));
    const std::string StgStat = "Stat map number must be less than end map number";
    EXPECT_TERROR(TMapTools::GetValuesVector(VecMaps, 0, 0, 1, 1), StgStat);
    EXPECT_TERROR(TMapTools::GetValuesVector(VecMaps, 0, 0, 0, 3),
                  "End map number is out of range in TMapTools::GetValuesVector");
    EXPECT_TERROR(TMapTools::GetValuesVector(VecMaps, 0, 0, -1, 2),
                  "Start map number is out of range in TMapTools::GetValuesVector");

    for (int LngWindow : {3, -1})
        EXPECT_TERROR(TMapTools::ValueGradients(VecMaps, LngWindow),
                      "Window size must be < number of maps in TMapTools::ValueGradients");
    EXPECT_TERROR(TMapTools::ValueGradients(VecMaps, 0), StgStat);
    EXPECT_TERROR(TMapTools::ValueGradients({PtrA.get(), Square({{1, 2}}).get()}, 1),
                  "Map dimensions do not match in TMapTools::ValueGradients");
}

TEST(TMapToolsSeries, ValueGradientsFitsEachCellOverTheWindow)
{
    // Four maps of two cells, window 3: cell 0 holds the series, cell 1 its
    // neighbour; map 2's no data is 7. (With three maps the middle value
    // would not change the slope.)
    const std::pair<TRows, double> Cases[] = {
        {{{2, 0}, {4, 0}, {6, 0}, {8, 0}}, 2.0},
        {{{2, 0}, {0, 4}, {6, 0}, {8, 0}}, 2.0},            // zero replaced by a neighbour
        {{{2, 0}, {-9999, 0}, {6, 0}, {8, 0}}, 2.0},        // no-data pair dropped
        {{{2, 0}, {4, 0}, {7, 0}, {8, 0}}, 2.0},            // its own map's no data
        {{{2, 0}, {4, 0}, {6, 0}, {0, 8}}, -0.4},           // the last map's zero stays
        {{{0, 0}, {4, 0}, {6, 0}, {8, 0}}, -9999},          // the first map's zero
        {{{-9999, 0}, {-9999, 0}, {7, 0}, {6, 0}}, DblNaN}, // one pair left
    };
    for (const auto& Case : Cases) {
        std::vector<std::unique_ptr<TMap>> VecOwned;
        std::vector<TMap*> VecMaps;
        for (const TValues& VecCells : Case.first) {
            VecOwned.push_back(Square({VecCells}));
            VecMaps.push_back(VecOwned.back().get());
        }
        VecMaps[2]->SetNoDataValue(7.0);
        // The form taking the output's no-data value marks with it what the
        // documented form marks with -9999.
        for (double DblOut : {-9999.0, -5.0, DblNaN}) {
            const std::vector<TMap*> VecSlopes = DblOut == -9999.0
                ? TMapTools::ValueGradients(VecMaps, 3) : TMapTools::ValueGradients(VecMaps, 3, DblOut);
            ASSERT_EQ(VecSlopes.size(), 1u);
            const std::unique_ptr<TMap> PtrSlopes(VecSlopes[0]);
            EXPECT_TRUE(SameValue(PtrSlopes->GetPointVal(0, 0), Case.second == -9999 ? DblOut : Case.second))
                << PtrSlopes->GetPointVal(0, 0) << " for " << Case.first[1][0];
            EXPECT_TRUE(SameValue(PtrSlopes->GetPointVal(1, 0), DblOut));
            EXPECT_TRUE(SameValue(PtrSlopes->GetNoDataValue(), DblOut));
        }
    }
}
