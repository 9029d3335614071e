#include <algorithm>
#include <array>
#include <limits>
#include <random>
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

    // Cells of 2 over X 0.5..4, Y 0..3: M's lying inside it; of the other
    // map's, the one column inside and, where no row lies wholly inside,
    // the row holding the middle.
    const auto PtrCoarse = MakeMap(2, {0.5, 2.5, 4.5, 6.5}, {3.5, 1.5, -0.5}, {{5, 6}, {7, 8}});
    TMapTools::Intersection(PtrM.get(), PtrCoarse.get(), PtrFirst, PtrSecond);
    ExpectBlock(PtrFirst, {1, 2, 3, 4}, {3, 2, 1, 0}, {{1, 2, 3}, {11, 12, 13}, {21, 22, 23}});
    ExpectBlock(PtrSecond, {0.5, 2.5}, {3.5, 1.5}, {{5}});

    EXPECT_TERROR(TMapTools::Intersection(PtrM.get(), MakeMap(1, {4, 5}, {3, 2}).get(), PtrFirst,
                                          PtrSecond),
                  "Maps do not intersect in TMapTools::Intersection");
}

TEST(TMapToolsSubMaps, IntersectionTreatsEverySideOfTheAreaAlike)
{
    // Edges of each part: X west and east, Y south and north.
    const auto Extent = [](const TMap& Part) {
        const TValues VecX = Components(*Part.GetXAxisInterval(), 'X');
        const TValues VecY = Components(*Part.GetYAxisInterval(), 'Y');
        return TValues{VecX.front(), VecX.back(), VecY.back(), VecY.front()};
    };
    const struct {
        std::array<double, 3> ArrFirst, ArrSecond;  // cells a side, cell size, west = south
        TValues VecFirstPart, VecSecondPart;
    } Cases[] = {
        {{10, 1, 0}, {10, 1, 0.5}, {1, 10, 1, 10}, {0.5, 9.5, 0.5, 9.5}},
        {{5, 2, 0}, {8, 1, 1}, {2, 8, 2, 8}, {1, 9, 1, 9}},
        {{8, 1, 1}, {5, 2, 0}, {1, 9, 1, 9}, {2, 8, 2, 8}},
    };
    for (const auto& Case : Cases) {
        const auto Make = [](const std::array<double, 3>& ArrMap) {
            const long LngCells = static_cast<long>(ArrMap[0]);
            return MakeMap(LngCells, LngCells, ArrMap[1], ArrMap[2], ArrMap[2] + ArrMap[0] * ArrMap[1],
                           TValues(LngCells * LngCells, 1.0));
        };
        TMap* PtrFirst = nullptr;
        TMap* PtrSecond = nullptr;
        TMapTools::Intersection(Make(Case.ArrFirst).get(), Make(Case.ArrSecond).get(), PtrFirst,
                                PtrSecond);
        const auto PtrFirstPart = Own(PtrFirst);
        const auto PtrSecondPart = Own(PtrSecond);
        EXPECT_EQ(Extent(*PtrFirstPart), Case.VecFirstPart);
        EXPECT_EQ(Extent(*PtrSecondPart), Case.VecSecondPart);
        if (Case.ArrFirst[1] == Case.ArrSecond[1]) {
            EXPECT_EQ(Cells(*Own(TMapTools::Subtract(PtrFirstPart.get(), PtrSecondPart.get()))),
                      TValues(81, 0.0));
        }
    }
}

TEST(TMapToolsSubMaps, EqualCellSizesIntersectInPartsOfEqualDimensionsInsideTheArea)
{
    std::mt19937_64 Random(13);
    std::uniform_int_distribution<long> CellCount(1, 12);
    std::uniform_real_distribution<double> Unit(0, 1);
    for (int LngTrial = 0; LngTrial < 400; ++LngTrial) {
        const double DblCell = std::array<double, 4>{1, 0.1, 30, 0.25}[LngTrial % 4];
        const long LngCols = CellCount(Random), LngRows = CellCount(Random);
        const double DblWest = 1000 * Unit(Random), DblNorth = 1000 * Unit(Random);
        // The second map overlaps by at least one cell in each direction.
        const double DblDX = (Unit(Random) * 2 - 1) * (LngCols - 1) * DblCell;
        const double DblDY = (Unit(Random) * 2 - 1) * (LngRows - 1) * DblCell;
        const auto PtrA = MakeMap(LngCols, LngRows, DblCell, DblWest, DblNorth);
        const auto PtrB = MakeMap(LngCols, LngRows, DblCell, DblWest + DblDX, DblNorth + DblDY);
        TMap* PtrFirst = nullptr;
        TMap* PtrSecond = nullptr;
        TMapTools::Intersection(PtrA.get(), PtrB.get(), PtrFirst, PtrSecond);
        const auto PtrPartA = Own(PtrFirst);
        const auto PtrPartB = Own(PtrSecond);
        EXPECT_EQ(PtrPartA->GetXDim(), PtrPartB->GetXDim()) << "trial " << LngTrial;
        EXPECT_EQ(PtrPartA->GetYDim(), PtrPartB->GetYDim()) << "trial " << LngTrial;
        const double DblSlack = DblCell / 1024;
        const double DblWestArea = std::max(DblWest, DblWest + DblDX);
        const double DblEastArea = std::min(DblWest, DblWest + DblDX) + LngCols * DblCell;
        const double DblNorthArea = std::min(DblNorth, DblNorth + DblDY);
        const double DblSouthArea = std::max(DblNorth, DblNorth + DblDY) - LngRows * DblCell;
        for (const TMap* PtrPart : {PtrPartA.get(), PtrPartB.get()}) {
            const TValues VecX = Components(*PtrPart->GetXAxisInterval(), 'X');
            const TValues VecY = Components(*PtrPart->GetYAxisInterval(), 'Y');
            EXPECT_GE(VecX.front(), DblWestArea - DblSlack) << "trial " << LngTrial;
            EXPECT_LE(VecX.back(), DblEastArea + DblSlack) << "trial " << LngTrial;
            EXPECT_LE(VecY.front(), DblNorthArea + DblSlack) << "trial " << LngTrial;
            EXPECT_GE(VecY.back(), DblSouthArea - DblSlack) << "trial " << LngTrial;
        }
    }
}

TEST(TMapToolsSubMaps, OneRowMapsFromCentreAxesMatchTheirTwins)
{
    // Centre axes of one row give north-first edges, as a loaded map has.
    const auto PtrLoaded = MakeMap(3, 1, 2, 0, 8, {1, 2, 3});
    TMap Rebuilt(PtrLoaded->GetXAxis(), PtrLoaded->GetYAxis());
    std::copy_n(PtrLoaded->GetCells(), 3, Rebuilt.GetCells());
    TMap* PtrFirst = nullptr;
    TMap* PtrSecond = nullptr;
    TMapTools::Intersection(&Rebuilt, PtrLoaded.get(), PtrFirst, PtrSecond);
    EXPECT_EQ(Cells(*Own(PtrFirst)), TValues({1, 2, 3}));
    EXPECT_EQ(Cells(*Own(PtrSecond)), TValues({1, 2, 3}));
    const auto PtrDestination = MakeMap(3, 1, 2, 0, 8);
    TMapTools::Insert(PtrDestination.get(), &Rebuilt);
    EXPECT_EQ(Cells(*PtrDestination), TValues({1, 2, 3}));
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

TEST(TMapToolsSubMaps, ExtractWithTheOutputsNoDataValueMarksTheMapsNoData)
{
    const auto PtrM = MakeM({{0, -1, 2, 3}, {10, -9999, -1, 13}, {20, 21, 22, 23}});
    PtrM->SetNoDataValue(-1.0);
    const TPoint NW(1.2, 2.7), SE(2.5, 0.3);
    for (double DblOut : {-5.0, DblNaN}) {
        const auto PtrBlock = Own(TMapTools::Extract(PtrM.get(), &NW, &SE, DblOut));
        const auto PtrPlain = Own(TMapTools::Extract(PtrM.get(), &NW, &SE));
        EXPECT_EQ(Components(*PtrBlock->GetXAxisInterval(), 'X'), Components(*PtrPlain->GetXAxisInterval(), 'X'));
        EXPECT_EQ(Components(*PtrBlock->GetYAxisInterval(), 'Y'), Components(*PtrPlain->GetYAxisInterval(), 'Y'));
        EXPECT_TRUE(SameValue(PtrBlock->GetNoDataValue(), DblOut));
        const TValues VecPlain = Cells(*PtrPlain), VecBlock = Cells(*PtrBlock);
        ASSERT_EQ(VecBlock.size(), 6u);
        for (std::size_t LngI = 0; LngI < VecPlain.size(); ++LngI)
            EXPECT_TRUE(SameValue(VecBlock[LngI], VecPlain[LngI] == -1 ? DblOut : VecPlain[LngI])) << LngI;
    }
}
