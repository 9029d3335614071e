#include <array>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "ops/OpsTestSupport.h"
#include "ops/TMapTools.h"

namespace {

const double DblNaN = std::numeric_limits<double>::quiet_NaN();
const TRows VecM{{0, 1, 2, 3}, {10, 11, 12, 13}, {20, 21, 22, 23}};

// 4 columns by 3 rows of cell size 1 over X 0..4, Y 3..0.
std::unique_ptr<TMap> MakeM(const TRows& VecRows = VecM)
{
    return MakeMap(1.0, {0, 1, 2, 3, 4}, {3, 2, 1, 0}, VecRows);
}

// Takes the map and expects its edges, its cells and no data -9999.
void ExpectBlock(TMap* PtrMap, const TValues& VecXEdges, const TValues& VecYEdges,
                 const TRows& VecRows)
{
    const std::unique_ptr<TMap> PtrOwned(PtrMap);
    EXPECT_EQ(Components(*PtrMap->GetXAxisInterval(), 'X'), VecXEdges);
    EXPECT_EQ(Components(*PtrMap->GetYAxisInterval(), 'Y'), VecYEdges);
    EXPECT_EQ(Rows(*PtrMap), VecRows);
    EXPECT_EQ(PtrMap->GetNoDataValue(), -9999.0);
}

}  // namespace

TEST(TMapToolsSubMaps, InsertWritesWhereEachCentreFallsOrNothing)
{
    const struct {
        double DblCell;
        TValues VecXEdges, VecYEdges;
        TRows VecCells, VecExpected;
        std::string StgMessage;
    } Cases[] = {
        {1, {1, 2, 3}, {2, 1}, {{7, -9999}}, {VecM[0], {10, 7, -9999, 13}, VecM[2]}, ""},
        // Four cells in cell (1, 1): the south-eastern one is written last.
        {0.5, {1, 1.5, 2}, {2, 1.5, 1}, {{1, 2}, {3, 4}}, {VecM[0], {10, 4, 12, 13}, VecM[2]}, ""},
        {1, {-1, 5}, {3.5, 2.5}, {}, VecM,
         "Insert map's NW corner is outside of the destination map in TMapTools::Insert"},
        {1, {3.5, 4.5}, {3, 2}, {}, VecM,
         "Insert map's SE corner is outside of the destination map in TMapTools::Insert"},
    };
    for (const auto& Case : Cases) {
        const auto PtrM = MakeM();
        const auto PtrInsert = MakeMap(Case.DblCell, Case.VecXEdges, Case.VecYEdges, Case.VecCells);
        if (Case.StgMessage.empty())
            TMapTools::Insert(PtrM.get(), PtrInsert.get());
        else
            EXPECT_TERROR(TMapTools::Insert(PtrM.get(), PtrInsert.get()), Case.StgMessage);
        EXPECT_EQ(Rows(*PtrM), Case.VecExpected);
    }
}

TEST(TMapToolsSubMaps, ExtractCutsTheBlockOnTheSourcesOwnEdges)
{
    const auto PtrM = MakeM();
    PtrM->SetNoDataValue(-1.0);
    const TPoint NW(1.2, 2.7), SE(2.5, 0.3), SW(0.0, 0.0);
    const TRows VecMiddle{{1, 2}, {11, 12}, {21, 22}};
    ExpectBlock(TMapTools::Extract(PtrM.get(), &NW, &SE), {1, 2, 3}, {3, 2, 1, 0}, VecMiddle);
    ExpectBlock(TMapTools::Extract(PtrM.get(), &SE, &NW), {1, 2, 3}, {3, 2, 1, 0}, VecMiddle);
    ExpectBlock(TMapTools::Extract(PtrM.get(), &SW, &SW), {0, 1}, {1, 0}, {{20}});

    // Edges a round trip through the centres would move: 0.1 + 0.2 is not 0.3.
    const TValues VecX{1e-5, 1e-5 + 0.1, 1e-5 + 0.2, 1e-5 + 0.3};
    const TValues VecY{0.1 + 0.2, 0.1 + 0.1, 0.1, 0};
    const auto PtrSource = MakeMap(0.1, VecX, VecY, TRows(3, {1, 2, 3}));
    const TPoint Low(1e-5 + 0.15, 0.05), High(1e-5 + 0.25, 0.25);
    std::unique_ptr<TMap> PtrCut(TMapTools::Extract(PtrSource.get(), &Low, &High));
    TMap* PtrFirst = nullptr;
    TMap* PtrSecond = nullptr;
    TMapTools::Intersection(PtrSource.get(), PtrCut.get(), PtrFirst, PtrSecond);
    for (TMap* PtrPart : {PtrCut.release(), PtrFirst, PtrSecond})
        ExpectBlock(PtrPart, {VecX[1], VecX[2], VecX[3]}, VecY, TRows(3, {2, 3}));
}

TEST(TMapToolsSubMaps, IntersectionCutsTheCellsOfEachMapInsideTheCommonArea)
{
    const auto PtrM = MakeM();
    TMap* PtrFirst = nullptr;
    TMap* PtrSecond = nullptr;
    const auto PtrK = MakeMap(1, {2, 3, 4, 5, 6}, {4, 3, 2, 1}, {{}, {5, 6}, {7, 8}});
    TMapTools::Intersection(PtrM.get(), PtrK.get(), PtrFirst, PtrSecond);
    ExpectBlock(PtrFirst, {2, 3, 4}, {3, 2, 1}, {{2, 3}, {12, 13}});
    ExpectBlock(PtrSecond, {2, 3, 4}, {3, 2, 1}, {{5, 6}, {7, 8}});

    // Cells of 2 over X 0.5..4, Y 0..3: M's whose centres lie east of 0.5, and
    // those of the other map sticking out by less than half a cell.
    const auto PtrCoarse = MakeMap(2, {0.5, 2.5, 4.5, 6.5}, {3.5, 1.5, -0.5}, {{5, 6}, {7, 8}});
    TMapTools::Intersection(PtrM.get(), PtrCoarse.get(), PtrFirst, PtrSecond);
    ExpectBlock(PtrFirst, {1, 2, 3, 4}, {3, 2, 1, 0}, {{1, 2, 3}, {11, 12, 13}, {21, 22, 23}});
    ExpectBlock(PtrSecond, {0.5, 2.5, 4.5}, {3.5, 1.5, -0.5}, {{5, 6}, {7, 8}});

    EXPECT_TERROR(TMapTools::Intersection(PtrM.get(), MakeMap(1, {4, 5}, {3, 2}).get(), PtrFirst,
                                          PtrSecond),
                  "Maps do not intersect in TMapTools::Intersection");
}

TEST(TMapToolsSubMaps, FindPatchExtentAndNonzeroNeighbourScanTheirBlocks)
{
    const auto PtrMap = MakeM({{0, 7, 0, 0}, {5, 0, 8, -9999}, {8, DblNaN, 0, 4}});
    // Min row, max row, min column, max column; 6 is nowhere.
    for (const auto& Patch : {std::pair<double, std::array<long, 4>>{8, {1, 2, 0, 2}},
                              {5, {1, 1, 0, 0}}, {6, {}}}) {
        std::array<long, 4> Found{-1, -1, -1, -1};
        TMapTools::FindPatchExtent(PtrMap.get(), Patch.first, Found[0], Found[1], Found[2],
                                   Found[3]);
        EXPECT_EQ(Found, Patch.second) << Patch.first;
    }
    // Column, row, the value found: the easternmost column's northernmost
    // nonzero; NaN and no data count as nonzero.
    for (const std::array<double, 3>& Neighbour :
         {std::array<double, 3>{0, 0, 7}, {2, 0, -9999}, {0, 2, DblNaN}, {3, 2, -9999}})
        EXPECT_TRUE(SameValue(
            TMapTools::FindNonzeroNeighbourVal(PtrMap.get(), Neighbour[0], Neighbour[1]),
            Neighbour[2])) << Neighbour[0] << ", " << Neighbour[1];
    const auto PtrZeros = MakeM({{0, -0.0, 0, 9}, {0, 0, 0, 0}});
    EXPECT_EQ(TMapTools::FindNonzeroNeighbourVal(PtrZeros.get(), 1, 0), 0.0);
    EXPECT_TERROR(TMapTools::FindNonzeroNeighbourVal(PtrMap.get(), 4, 0),
                  "X-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal");
    EXPECT_TERROR(TMapTools::FindNonzeroNeighbourVal(PtrMap.get(), 0, -1),
                  "Y-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal");
}
