#include <array>
#include <limits>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "GridTestSupport.h"

namespace {
using TValues = std::vector<double>;
using TRows = std::vector<TValues>;

TRows Rows(const TMap& Map)
{
    TRows VecRows;
    for (long LngY = 0; LngY < Map.GetYDim(); ++LngY)
        VecRows.push_back(Map.GetRow(LngY));
    return VecRows;
}

// The centre and edge axes, X then Y.
std::array<const TAxis*, 4> Axes(const TMap& Map)
{
    return {Map.GetXAxis(), Map.GetXAxisInterval(), Map.GetYAxis(), Map.GetYAxisInterval()};
}
} // namespace

TEST(TMapConstruction, SizedMapIsAllNoData)
{
    const TMap Map(0.5, 3, 2);
    EXPECT_EQ(Map.GetResolution(), 0.5);
    EXPECT_EQ(Map.GetNoDataValue(), -9999.0);
    EXPECT_EQ(Rows(Map), TRows(2, TValues(3, -9999.0)));

    TMap Initialised(1.0);
    Initialised.Init(0.5, 2, 3, -1.0);
    EXPECT_EQ(Initialised.GetNoDataValue(), -1.0);
    EXPECT_EQ(Rows(Initialised), TRows(3, TValues(2, -1.0)));

    // A map without rows sets no cells aside for its declared width.
    const TMap Widest(1.0, std::numeric_limits<long>::max(), 0);
    EXPECT_EQ(Widest.GetXDim(), std::numeric_limits<long>::max());
    EXPECT_TERROR(TMap(1.0, -1, 2), "Dimensions must not be negative in TMap::Init");
}

TEST(TMapConstruction, InitOnABuiltMapGivesExactlyTheNewShape)
{
    const auto PtrMap = MakeThreeByTwoMap();
    PtrMap->Init(1.0, 1, 3, -1.0);
    EXPECT_EQ(Rows(*PtrMap), TRows(3, TValues(1, -1.0)));
    EXPECT_EQ(PtrMap->GetNoDataValue(), -1.0);
    EXPECT_EQ(Axes(*PtrMap), (std::array<const TAxis*, 4>{}));
    EXPECT_TERROR(PtrMap->GetPointVal(2, 0), "X-ordinate is out of range in TMap::GetPointVal");
}

TEST(TMapConstruction, ResultsOnAGeometryCarryItsAxesExactly)
{
    // Edges a centre round trip would move: 0.1 + 0.1 + 0.1 is not 0.3.
    auto PtrSource = std::make_unique<TMap>(0.1, 3, 2);
    PtrSource->SetXAxisInterval(MakeAxis(0.1, {1e-5, 1e-5 + 0.1, 1e-5 + 0.2, 1e-5 + 0.3}, 'X').get());
    PtrSource->SetYAxisInterval(MakeAxis(0.1, {0.1 + 0.1 + 0.1, 0.1 + 0.1, 0.1}, 'Y').get());
    PtrSource->SetNoDataValue(-1.0);
    const std::unique_ptr<TMap> PtrWhole(TMap::OnGeometryOf(PtrSource.get()));
    EXPECT_EQ(PtrWhole->GetResolution(), 0.1);
    EXPECT_EQ(PtrWhole->GetNoDataValue(), -9999.0);
    EXPECT_EQ(Rows(*PtrWhole), TRows(2, TValues(3, -9999.0)));
    for (int LngAxis = 0; LngAxis < 4; ++LngAxis) {
        const char ChrAxis = LngAxis < 2 ? 'X' : 'Y';
        EXPECT_EQ(Components(*Axes(*PtrWhole)[LngAxis], ChrAxis),
                  Components(*Axes(*PtrSource)[LngAxis], ChrAxis));
    }

    // A block: segments of the four axes, the edge one a point longer.
    const std::unique_ptr<TMap> PtrBlock(TMap::OnBlockOf(PtrSource.get(), 1, 1, 2, 1));
    EXPECT_EQ(Rows(*PtrBlock), TRows(1, TValues(2, -9999.0)));
    EXPECT_EQ(Components(*PtrBlock->GetXAxisInterval(), 'X'),
              TValues({1e-5 + 0.1, 1e-5 + 0.2, 1e-5 + 0.3}));
    EXPECT_EQ(Components(*PtrBlock->GetYAxisInterval(), 'Y'), TValues({0.1 + 0.1, 0.1}));
    EXPECT_EQ(Components(*PtrBlock->GetYAxis(), 'Y'),
              TValues({Components(*PtrSource->GetYAxis(), 'Y')[1]}));
    EXPECT_TERROR(TMap::OnBlockOf(PtrSource.get(), 1, 0, 3, 1),
                  "End index is out of range in TAxis::GetSegment");
    EXPECT_TERROR(TMap::OnBlockOf(PtrSource.get(), 0, 1, 0, 0),
                  "Start index is greater than end index in TAxis::GetSegment");
    const TMap NoAxes(1.0, 2, 2);
    EXPECT_TERROR(TMap::OnGeometryOf(&NoAxes), "Axes are not set in TMap::OnGeometryOf");
}

TEST(TMapConstruction, FromCentreAxesCopiesAndDerives)
{
    auto PtrX = MakeAxis(1.0, {0.5, 1.5, 2.5}, 'X', 1.5);
    const TMap Map(PtrX.get(), MakeAxis(1.0, {1.5, 0.5}, 'Y', 0.5).get());
    EXPECT_EQ(Rows(Map), TRows(2, TValues(3, -9999.0)));
    EXPECT_EQ(Components(*Map.GetXAxisInterval(), 'X'), TValues({0.0, 1.0, 2.0, 3.0}));
    EXPECT_EQ(Components(*Map.GetYAxisInterval(), 'Y'), TValues({2.0, 1.0, 0.0}));
    // The arguments stay the caller's.
    PtrX->SetPoint(0, new TPoint(-5.0, 0.0));
    EXPECT_EQ(Map.GetXAxis()->GetPoint(0)->GetX(), 0.5);

    const auto PtrY = MakeAxis(1.0000001, {0.5}, 'Y');
    EXPECT_TERROR(TMap(PtrX.get(), PtrY.get()), "Axes resolutions do not match in TMap::TMap");
    // The X axes are already built when the Y conversion fails.
    const TAxis Empty(1.0);
    EXPECT_TERROR(TMap(PtrX.get(), &Empty), "Index is out of range in TAxis::GetPoint");
}

TEST(TMapRows, AddRowSetsWidthOnceAndCountsRows)
{
    TMap Map(2.0);
    Map.AddRow({1.0, 2.0, 3.0, 4.0});
    Map.AddRow({5.0, 6.0, 7.0, 8.0});
    EXPECT_EQ(Map.GetPointVal(3, 1), 8.0);
    // Only the first row sets the width; a row of another width is refused.
    EXPECT_TERROR(Map.AddRow({9.0, 10.0}),
                  "Length of new row does not match the X dimension of the map in TMap::AddRow");
    EXPECT_EQ(Map.GetXDim(), 4);
    EXPECT_EQ(Map.GetYDim(), 2);

    TMap NoColumns(1.0, 0, 2);
    EXPECT_TERROR(NoColumns.AddRow({1.0}),
                  "Length of new row does not match the X dimension of the map in TMap::AddRow");

    // Axes fix the rows: a row more would leave them a point short.
    const auto PtrLoaded = MakeThreeByTwoMap();
    EXPECT_TERROR(PtrLoaded->AddRow({1.0, 2.0, 3.0}),
                  "Rows cannot be added to a map that has axes in TMap::AddRow");
    EXPECT_EQ(PtrLoaded->GetYDim(), 2);
}

TEST(TMapRows, GetRowCopiesNorthRowFirst)
{
    const auto PtrMap = MakeThreeByTwoMap();
    EXPECT_EQ(Rows(*PtrMap), TRows({{0.0, 1.0, 2.0}, {10.0, 11.0, 12.0}}));
    EXPECT_TERROR(PtrMap->GetRow(2), "Index is out of bounds in TMap::GetRow");
    EXPECT_TERROR(PtrMap->GetRow(-1), "Index is out of bounds in TMap::GetRow");
    PtrMap->InitValues(0.25);
    EXPECT_EQ(Rows(*PtrMap), TRows(2, TValues(3, 0.25)));
}

TEST(TMapCellsByIndex, CentresAndValuesInsideTheGridOnlyColumnFirst)
{
    const auto PtrMap = MakeThreeByTwoMap();
    TMap& Map = *PtrMap;
    const std::unique_ptr<TPoint> PtrCentre(Map.GetCoordinates(1, 0));
    EXPECT_EQ(PtrCentre->GetX(), 1.5);
    EXPECT_EQ(PtrCentre->GetY(), 1.5);
    const std::unique_ptr<TMapPoint> PtrPoint(Map.GetPoint(2, 1));
    EXPECT_EQ(PtrPoint->GetX(), 2.5);
    EXPECT_EQ(PtrPoint->GetY(), 0.5);
    EXPECT_EQ(PtrPoint->GetValue(), 12.0);

    EXPECT_TERROR(Map.GetPointVal(3, 5), "X-ordinate is out of range in TMap::GetPointVal");
    EXPECT_TERROR(Map.GetPointVal(-1, 0), "X-ordinate is out of range in TMap::GetPointVal");
    EXPECT_TERROR(Map.GetPointVal(0, 2), "Y-ordinate is out of range in TMap::GetPointVal");
    EXPECT_TERROR(Map.SetPoint(3, 5, 1.0), "LngX is out of range in TMap::SetPoint (long,long)");
    EXPECT_TERROR(Map.SetPoint(0, -1, 1.0), "LngY is out of range in TMap::SetPoint (long,long)");
    EXPECT_TERROR(Map.GetCoordinates(3, 2),
                  "LngX is out of range for the X-axis in TMap::GetCoordinates");
    EXPECT_TERROR(Map.GetCoordinates(0, -1),
                  "LngY is out of range for the Y-axis in TMap::GetCoordinates");
    EXPECT_TERROR(Map.GetPoint(-1, 9), "LngX is out of range in TMap::GetPoint (long,long)");
    EXPECT_TERROR(Map.GetPoint(0, 2), "LngY is out of range in TMap::GetPoint (long,long)");
}

TEST(TMapCellsByPosition, CellsHoldTheirWestAndSouthEdges)
{
    const auto PtrMap = MakeThreeByTwoMap();
    const TPoint Inner(1.0, 1.0);
    const TPoint SouthWest(0.0, 0.0);
    EXPECT_EQ(PtrMap->GetPointVal(&Inner), 1.0);
    EXPECT_EQ(PtrMap->GetPointVal(&SouthWest), 10.0);
    EXPECT_EQ(PtrMap->GetIndex(1.0, 'X'), 1);
    EXPECT_EQ(PtrMap->GetIndex(0.0, 'R'), 1);
    EXPECT_EQ(PtrMap->GetIndex(3.0, 'X'), -1);

    // The east and north edges lie in no cell.
    TPoint EastEdge(3.0, 2.0);
    const TPoint NorthEdge(1.0, 2.0);
    EXPECT_TERROR(PtrMap->GetPointVal(&EastEdge), "LngX is out of range in TMap::GetPointVal");
    EXPECT_TERROR(PtrMap->GetPointVal(&NorthEdge), "LngY is out of range in TMap::GetPointVal");
    EXPECT_TERROR(PtrMap->GetPoint(&EastEdge), "LngX is out of range in TMap::GetPoint (TPoint*)");
    EXPECT_TERROR(PtrMap->GetPoint(&NorthEdge), "LngY is out of range in TMap::GetPoint (TPoint*)");
    EXPECT_TERROR(PtrMap->SetPoint(&EastEdge, 1.0),
                  "LngX is out of range in TMap::SetPoint (TPoint*)");
    EXPECT_TERROR(PtrMap->SetPoint(&NorthEdge, 1.0),
                  "LngY is out of range in TMap::SetPoint (TPoint*)");

    // A point at the position itself, carrying its cell's value.
    TPoint Position(2.25, 0.75);
    const std::unique_ptr<TMapPoint> PtrPoint(PtrMap->GetPoint(&Position));
    EXPECT_EQ(PtrPoint->GetX(), 2.25);
    EXPECT_EQ(PtrPoint->GetY(), 0.75);
    EXPECT_EQ(PtrPoint->GetValue(), 12.0);
    PtrMap->SetPoint(&Position, -3.0);
    EXPECT_EQ(PtrMap->GetPointVal(2, 1), -3.0);

    // In order, stopping at the first position in no cell.
    TPoint NorthWest(0.5, 1.5);
    TPoint North(1.0, 2.5);
    EXPECT_EQ(PtrMap->GetPointValues({&Position, &NorthWest}), TValues({-3.0, 0.0}));
    EXPECT_TERROR(PtrMap->GetPointValues({&NorthWest, &EastEdge, &North}),
                  "LngX is out of range in TMap::GetPointVal");
}

TEST(TMapCellsByPosition, MapWithoutAxesSaysSo)
{
    TMap Map(1.0, 2, 2);
    const TPoint Position(0.5, 0.5);
    EXPECT_TERROR(Map.GetIndex(0.5, 'X'), "Axes are not set in TMap::GetIndex");
    EXPECT_TERROR(Map.GetIndex(0.5, 'Y'), "Axes are not set in TMap::GetIndex");
    EXPECT_TERROR(Map.GetCoordinates(0, 0), "Axes are not set in TMap::GetCoordinates");
    EXPECT_TERROR(Map.GetPointVal(&Position), "Axes are not set in TMap::GetPointVal");
    EXPECT_TERROR(Map.GetPoint(&Position), "Axes are not set in TMap::GetPoint (TPoint*)");
    EXPECT_TERROR(Map.SetPoint(&Position, 1.0), "Axes are not set in TMap::SetPoint (TPoint*)");
}

TEST(TMapAxes, SettersReplaceBothAxesOfTheirDirection)
{
    const auto PtrMap = MakeThreeByTwoMap();
    PtrMap->SetXAxis(MakeAxis(1.0, {10.5, 11.5, 12.5}, 'X').get());
    PtrMap->SetYAxisInterval(MakeAxis(1.0, {8.0, 7.0, 6.0}, 'Y').get());
    EXPECT_EQ(Components(*PtrMap->GetXAxisInterval(), 'X'), TValues({10.0, 11.0, 12.0, 13.0}));
    EXPECT_EQ(Components(*PtrMap->GetYAxis(), 'Y'), TValues({7.5, 6.5}));

    // The map's own axis can be handed back.
    PtrMap->SetXAxis(PtrMap->GetXAxis());
    PtrMap->SetYAxisInterval(PtrMap->GetYAxisInterval());
    EXPECT_EQ(Components(*PtrMap->GetXAxisInterval(), 'X'), TValues({10.0, 11.0, 12.0, 13.0}));
    EXPECT_EQ(Components(*PtrMap->GetYAxis(), 'Y'), TValues({7.5, 6.5}));
}

TEST(TMapAxes, FailedSetterLeavesAxesInPlace)
{
    const auto PtrMap = MakeThreeByTwoMap();
    const auto Before = Axes(*PtrMap);
    const auto PtrFour = MakeAxis(1.0, {0.0, 1.0, 2.0, 3.0}, 'X');
    const auto PtrTwo = MakeAxis(1.0, {1.0, 0.0}, 'Y');
    EXPECT_TERROR(PtrMap->SetXAxis(PtrFour.get()),
                  "Length of new X axis does not match the X dimension of the map");
    EXPECT_TERROR(PtrMap->SetYAxis(PtrFour.get()),
                  "Length of new Y axis does not match the Y dimension of the map");
    EXPECT_TERROR(PtrMap->SetXAxisInterval(PtrTwo.get()),
                  "Length of new X interval axis does not fit the X dimension of the map");
    EXPECT_TERROR(PtrMap->SetYAxisInterval(PtrTwo.get()),
                  "Length of new Y interval axis does not fit the Y dimension of the map");
    EXPECT_EQ(Axes(*PtrMap), Before);

    // A map without columns accepts an empty centre axis by size, whose
    // conversion then fails.
    TMap NoColumns(1.0, 0, 2);
    NoColumns.SetXAxisInterval(MakeAxis(1.0, {4.0}, 'X').get());
    const auto Kept = Axes(NoColumns);
    const TAxis Empty(1.0);
    EXPECT_TERROR(NoColumns.SetXAxis(&Empty), "Index is out of range in TAxis::GetPoint");
    EXPECT_EQ(Axes(NoColumns), Kept);

    // An axis with an empty slot in the middle, which no conversion reads.
    TAxis Gapped(1.0, 3);
    Gapped.SetPoint(0, new TPoint(0.5, 0.0));
    Gapped.SetPoint(2, new TPoint(2.5, 0.0));
    EXPECT_TERROR(PtrMap->SetXAxis(&Gapped), "Point is not set in TAxis::GetPoint");
    EXPECT_EQ(Axes(*PtrMap), Before);
}
