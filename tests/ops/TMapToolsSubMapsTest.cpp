#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "ops/OpsTestSupport.h"
#include "ops/TMapTools.h"

namespace {

const double DblNaN = std::numeric_limits<double>::quiet_NaN();

struct TBlock {
    TValues VecXEdges;
    TValues VecYEdges;
    TRows VecRows;
};

TBlock BlockOf(const TMap& Map)
{
    return {Components(*Map.GetXAxisInterval(), 'X'), Components(*Map.GetYAxisInterval(), 'Y'),
            Rows(Map)};
}

void ExpectBlock(const TMap& Map, const TBlock& Expected)
{
    EXPECT_EQ(Components(*Map.GetXAxisInterval(), 'X'), Expected.VecXEdges);
    EXPECT_EQ(Components(*Map.GetYAxisInterval(), 'Y'), Expected.VecYEdges);
    EXPECT_EQ(Rows(Map), Expected.VecRows);
    EXPECT_EQ(Map.GetNoDataValue(), -9999.0);
}

}  // namespace

TEST(TMapToolsSubMaps, InsertChecksBothCornersBeforeWriting)
{
    const std::string StgNW =
        "Insert map's NW corner is outside of the destination map in TMapTools::Insert";
    const std::string StgSE =
        "Insert map's SE corner is outside of the destination map in TMapTools::Insert";
    const struct {
        TValues VecXEdges;
        TValues VecYEdges;
        std::string StgMessage;
    } Cases[] = {
        {{0, 1, 2, 3, 4}, {3.5, 2.5, 1.5, 0.5}, StgNW},
        {{-0.5, 0.5, 1.5}, {3, 2}, StgNW},
        {{1, 2}, {1, 0, -1}, StgSE},
        {{3.5, 4.5}, {3, 2}, StgSE},
        {{-1, 1, 3, 5}, {4, 2, 0, -2}, StgNW},  // out on every side
        // A centre in no cell (NaN east edge) is found before any write.
        {{1, 2, DblNaN}, {2, 1}, "LngX is out of range in TMap::GetPointVal"},
    };
    for (const auto& Case : Cases) {
        const auto PtrM = MakeM();
        const auto PtrInsert = MakeMap(1.0, Case.VecXEdges, Case.VecYEdges,
                                       TRows(Case.VecYEdges.size() - 1,
                                             TValues(Case.VecXEdges.size() - 1, 99.0)));
        EXPECT_TERROR(TMapTools::Insert(PtrM.get(), PtrInsert.get()), Case.StgMessage);
        EXPECT_EQ(Rows(*PtrM), Rows(*MakeM()));
    }
}

TEST(TMapToolsSubMaps, InsertWritesEachCellWhereItsCentreFallsTheLastWriteWinning)
{
    const struct {
        double DblCell;
        TValues VecXEdges;
        TValues VecYEdges;
        TRows VecInsert;
        TRows VecExpected;
    } Cases[] = {
        {1.0, {1, 2, 3}, {2, 1}, {{7, -9999}},
         {{0, 1, 2, 3}, {10, 7, -9999, 13}, {20, 21, 22, 23}}},
        // Edges on the destination's: every cell, no data included.
        {1.0, {0, 1, 2, 3, 4}, {3, 2, 1, 0}, TRows(3, {5, 6, 7, -9999}),
         TRows(3, {5, 6, 7, -9999})},
        // Four small cells in cell (1, 1): the south-eastern one is written last.
        {0.5, {1, 1.5, 2}, {2, 1.5, 1}, {{1, 2}, {3, 4}},
         {{0, 1, 2, 3}, {10, 4, 12, 13}, {20, 21, 22, 23}}},
    };
    for (const auto& Case : Cases) {
        const auto PtrM = MakeM();
        const auto PtrInsert =
            MakeMap(Case.DblCell, Case.VecXEdges, Case.VecYEdges, Case.VecInsert);
        TMapTools::Insert(PtrM.get(), PtrInsert.get());
        EXPECT_EQ(Rows(*PtrM), Case.VecExpected);
    }
}

TEST(TMapToolsSubMaps, ExtractCutsTheBlockBetweenTwoPositionsInEitherOrder)
{
    const TBlock Middle{{1, 2, 3}, {3, 2, 1, 0}, {{1, 2}, {11, 12}, {21, 22}}};
    const struct {
        TPoint First;
        TPoint Second;
        TBlock Expected;
    } Cases[] = {
        {{1.2, 2.7}, {2.5, 0.3}, Middle},
        {{2.5, 0.3}, {1.2, 2.7}, Middle},
        {{1.2, 0.3}, {2.5, 2.7}, Middle},
        // The west and south edges belong to the first column and last row.
        {{0.0, 0.0}, {0.0, 0.0}, {{0, 1}, {1, 0}, {{20}}}},
    };
    const auto PtrM = MakeM();
    PtrM->SetNoDataValue(-1.0);
    for (const auto& Case : Cases) {
        const std::unique_ptr<TMap> PtrPart(
            TMapTools::Extract(PtrM.get(), &Case.First, &Case.Second));
        ExpectBlock(*PtrPart, Case.Expected);
    }
}

TEST(TMapToolsSubMaps, ExtractRefusesPositionsNoCellHolds)
{
    const struct {
        TPoint First;
        TPoint Second;
        std::string StgMessage;
    } Cases[] = {
        {{-0.5, 1.0}, {1.0, 1.0}, "Ordinate is out of range in TAxis::GetIndex"},
        {{1.0, 1.0}, {1.0, 3.5}, "Ordinate is out of range in TAxis::GetIndex"},
        {{4.0, 1.0}, {1.0, 1.0}, "Start index is out of range in TAxis::GetSegment"},
        {{1.0, 1.0}, {1.0, 3.0}, "Start index is out of range in TAxis::GetSegment"},
    };
    const auto PtrM = MakeM();
    for (const auto& Case : Cases)
        EXPECT_TERROR(TMapTools::Extract(PtrM.get(), &Case.First, &Case.Second), Case.StgMessage);
}

TEST(TMapToolsSubMaps, CutOutsKeepTheSourceEdgesToTheLastDigit)
{
    // Edges a round trip through the centres would move: 0.1 + 0.2 is not 0.3.
    const auto PtrSource = MakeMap(0.1, {1e-5, 1e-5 + 0.1, 1e-5 + 0.2, 1e-5 + 0.3},
                                   {0.1 + 0.2, 0.1 + 0.1, 0.1, 0.0}, TRows(3, {1, 2, 3}));
    const TPoint Low(1e-5 + 0.15, 0.05);
    const TPoint High(1e-5 + 0.25, 0.25);
    const std::unique_ptr<TMap> PtrPart(TMapTools::Extract(PtrSource.get(), &Low, &High));
    ExpectBlock(*PtrPart, {{1e-5 + 0.1, 1e-5 + 0.2, 1e-5 + 0.3},
                           {0.1 + 0.2, 0.1 + 0.1, 0.1, 0.0},
                           TRows(3, {2, 3})});

    TMap* PtrFirst = nullptr;
    TMap* PtrSecond = nullptr;
    TMapTools::Intersection(PtrSource.get(), PtrPart.get(), PtrFirst, PtrSecond);
    const std::unique_ptr<TMap> PtrFirstPart(PtrFirst);
    const std::unique_ptr<TMap> PtrSecondPart(PtrSecond);
    ExpectBlock(*PtrFirstPart, BlockOf(*PtrPart));
    ExpectBlock(*PtrSecondPart, BlockOf(*PtrPart));
}

TEST(TMapToolsSubMaps, IntersectionCutsTheCellsOfEachMapInsideTheCommonArea)
{
    const struct {
        double DblCell;
        TValues VecXEdges;
        TValues VecYEdges;
        TBlock FirstPart;
        TBlock SecondPart;
    } Cases[] = {
        // Both parts 2 x 2: M's columns 2-3, rows 0-1; K's columns 0-1, rows 1-2.
        {1.0, {2, 3, 4, 5, 6}, {4, 3, 2, 1},
         {{2, 3, 4}, {3, 2, 1}, {{2, 3}, {12, 13}}},
         {{2, 3, 4}, {3, 2, 1}, {{10, 11}, {20, 21}}}},
        // One shared cell of extent is enough.
        {1.0, {3, 4, 5}, {1, 0, -1}, {{3, 4}, {1, 0}, {{23}}}, {{3, 4}, {1, 0}, {{0}}}},
        // Cells of 2 over X 0.5..4, Y 0..3: M's cells whose centres lie east
        // of 0.5, and the K cells that stick out by less than half their size.
        {2.0, {0.5, 2.5, 4.5, 6.5}, {3.5, 1.5, -0.5},
         {{1, 2, 3, 4}, {3, 2, 1, 0}, {{1, 2, 3}, {11, 12, 13}, {21, 22, 23}}},
         {{0.5, 2.5, 4.5}, {3.5, 1.5, -0.5}, {{0, 1}, {10, 11}}}},
    };
    const auto PtrM = MakeM();
    for (const auto& Case : Cases) {
        TRows VecK;
        for (std::size_t LngY = 0; LngY + 1 < Case.VecYEdges.size(); ++LngY) {
            VecK.emplace_back();
            for (std::size_t LngX = 0; LngX + 1 < Case.VecXEdges.size(); ++LngX)
                VecK.back().push_back(10.0 * LngY + LngX);
        }
        const auto PtrK = MakeMap(Case.DblCell, Case.VecXEdges, Case.VecYEdges, VecK);
        TMap* PtrFirst = nullptr;
        TMap* PtrSecond = nullptr;
        TMapTools::Intersection(PtrM.get(), PtrK.get(), PtrFirst, PtrSecond);
        const std::unique_ptr<TMap> PtrFirstPart(PtrFirst);
        const std::unique_ptr<TMap> PtrSecondPart(PtrSecond);
        ExpectBlock(*PtrFirstPart, Case.FirstPart);
        ExpectBlock(*PtrSecondPart, Case.SecondPart);
    }
}

TEST(TMapToolsSubMaps, IntersectionNeedsOneCellOfOverlapEachWay)
{
    const struct {
        TValues VecXEdges;
        TValues VecYEdges;
    } Cases[] = {
        {{4, 5, 6, 7, 8}, {3, 2, 1, 0}},  // touching the east edge
        {{0, 1, 2, 3, 4}, {6, 5, 4, 3}},  // touching the north edge
        {{3.5, 4.5}, {3, 2}},             // half a cell of overlap
        {{-2, -1, 0.5}, {0.5, -0.5}},     // half a cell south-west
    };
    const auto PtrM = MakeM();
    for (const auto& Case : Cases) {
        TMap* PtrFirst = PtrM.get();
        TMap* PtrSecond = PtrM.get();
        EXPECT_TERROR(TMapTools::Intersection(PtrM.get(), MakeMap(1.0, Case.VecXEdges,
                                                                  Case.VecYEdges).get(),
                                              PtrFirst, PtrSecond),
                      "Maps do not intersect in TMapTools::Intersection");
        EXPECT_EQ(PtrFirst, PtrM.get());
        EXPECT_EQ(PtrSecond, PtrM.get());
    }
}

TEST(TMapToolsSubMaps, FindPatchExtentBoundsEveryCellOfTheValue)
{
    const struct {
        double DblValue;
        std::array<long, 4> Expected;  // min row, max row, min column, max column
    } Cases[] = {
        {7, {1, 2, 0, 2}},
        {5, {0, 0, 0, 0}},  // held by cell (0, 0) alone
        {6, {0, 0, 0, 0}},  // held by no cell
        {DblNaN, {0, 0, 0, 0}},
        {-1, {0, 1, 1, 3}},
    };
    const auto PtrMap = MakeMap(1.0, {0, 1, 2, 3, 4}, {3, 2, 1, 0},
                                {{5, -1, 0, 0}, {0, 0, 7, -1}, {7, DblNaN, 0, 0}});
    for (const auto& Case : Cases) {
        std::array<long, 4> Found{-1, -1, -1, -1};
        TMapTools::FindPatchExtent(PtrMap.get(), Case.DblValue, Found[0], Found[1], Found[2],
                                   Found[3]);
        EXPECT_EQ(Found, Case.Expected) << Case.DblValue;
    }
}

TEST(TMapToolsSubMaps, FindNonzeroNeighbourValTakesTheEasternmostColumnNorthFirst)
{
    const struct {
        TRows VecRows;
        long LngX;
        long LngY;
        double DblExpected;
    } Cases[] = {
        {{{0, 7, 0, 0}, {5, 0, 0, 0}, {0, 0, 0, 0}}, 0, 0, 7},
        {{{0, 0, 0, 9}, {0, 0, 0, 0}, {0, 0, 0, 0}}, 0, 0, 0},  // outside the block
        {{{0, 0, 0, 0}, {0, -9999, 0, 0}, {0, 0, 0, 0}}, 0, 0, -9999},
        {{{0, -0.0, 0, 0}, {5, 0, 0, 0}, {0, 0, 0, 0}}, 0, 0, 5},
        {{{9, 0, 1, 0}, {0, 0, 0, 0}, {0, 0, 2, 0}}, 1, 1, 1},
        {{{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 3, 4}}, 3, 2, 4},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(TMapTools::FindNonzeroNeighbourVal(
                      MakeMap(1.0, {0, 1, 2, 3, 4}, {3, 2, 1, 0}, Case.VecRows).get(), Case.LngX,
                      Case.LngY),
                  Case.DblExpected);

    const auto PtrM =
        MakeMap(1.0, {0, 1, 2, 3, 4}, {3, 2, 1, 0}, {{0, DblNaN, 0, 0}, {5, 0, 0, 0}});
    EXPECT_TRUE(std::isnan(TMapTools::FindNonzeroNeighbourVal(PtrM.get(), 0, 0)));
    EXPECT_TERROR(TMapTools::FindNonzeroNeighbourVal(PtrM.get(), 4, 0),
                  "X-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal");
    EXPECT_TERROR(TMapTools::FindNonzeroNeighbourVal(PtrM.get(), 0, -1),
                  "Y-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal");
}
