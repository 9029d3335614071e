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
} // namespace

TEST(TMapConstruction, SizedMapIsNoDataWithoutAxes)
{
    const TMap Map(1.0, 3, 2);
    EXPECT_EQ(Map.GetResolution(), 1.0);
    EXPECT_EQ(Map.GetXDim(), 3);
    EXPECT_EQ(Map.GetYDim(), 2);
    EXPECT_EQ(Map.GetNoDataValue(), -9999.0);
    EXPECT_EQ(Rows(Map), TRows(2, TValues(3, -9999.0)));
    EXPECT_EQ(Map.GetXAxis(), nullptr);
    EXPECT_EQ(Map.GetYAxis(), nullptr);
    EXPECT_EQ(Map.GetXAxisInterval(), nullptr);
    EXPECT_EQ(Map.GetYAxisInterval(), nullptr);
}

TEST(TMapConstruction, MapWithoutRowsSetsNoCellsAside)
{
    const long LngWidest = std::numeric_limits<long>::max();
    const TMap Map(1.0, LngWidest, 0);
    EXPECT_EQ(Map.GetXDim(), LngWidest);
    EXPECT_EQ(Map.GetYDim(), 0);
}

TEST(TMapConstruction, InitUsesTheGivenNoDataValue)
{
    TMap Map(1.0);
    Map.Init(0.5, 2, 3, -1.0);
    EXPECT_EQ(Map.GetResolution(), 0.5);
    EXPECT_EQ(Map.GetNoDataValue(), -1.0);
    EXPECT_EQ(Rows(Map), TRows(3, TValues(2, -1.0)));
}

TEST(TMapConstruction, FromCentreAxesCopiesAndDerives)
{
    auto PtrX = MakeAxis(1.0, {0.5, 1.5, 2.5}, 'X', 1.5);
    auto PtrY = MakeAxis(1.0, {1.5, 0.5}, 'Y', 0.5);
    const TMap Map(PtrX.get(), PtrY.get());
    EXPECT_EQ(Map.GetXDim(), 3);
    EXPECT_EQ(Map.GetYDim(), 2);
    EXPECT_EQ(Rows(Map), TRows(2, TValues(3, -9999.0)));
    EXPECT_EQ(Components(*Map.GetXAxisInterval(), 'X'), TValues({0.0, 1.0, 2.0, 3.0}));
    EXPECT_EQ(Components(*Map.GetYAxisInterval(), 'Y'), TValues({2.0, 1.0, 0.0}));

    // The arguments stay the caller's.
    EXPECT_NE(Map.GetXAxis(), PtrX.get());
    PtrX->SetPoint(0, new TPoint(-5.0, 0.0));
    EXPECT_EQ(Map.GetXAxis()->GetPoint(0)->GetX(), 0.5);
}

TEST(TMapConstruction, FromCentreAxesRefusesMismatchOrEmptyAxes)
{
    const auto PtrX = MakeAxis(1.0, {0.5}, 'X');
    const auto PtrY = MakeAxis(1.0000001, {0.5}, 'Y');
    EXPECT_TERROR(TMap(PtrX.get(), PtrY.get()), "Axes resolutions do not match in TMap::TMap");

    const TAxis Empty(1.0);
    EXPECT_TERROR(TMap(&Empty, PtrX.get()), "Index is out of range in TAxis::GetPoint");
    // The X axes are already built when the Y conversion fails.
    EXPECT_TERROR(TMap(PtrX.get(), &Empty), "Index is out of range in TAxis::GetPoint");
}

TEST(TMapRows, AddRowSetsWidthOnceAndCountsRows)
{
    TMap Map(2.0);
    EXPECT_EQ(Map.GetXDim(), 0);
    EXPECT_EQ(Map.GetYDim(), 0);
    Map.AddRow({1.0, 2.0, 3.0, 4.0});
    EXPECT_EQ(Map.GetXDim(), 4);
    EXPECT_EQ(Map.GetYDim(), 1);
    Map.AddRow({5.0, 6.0, 7.0, 8.0});
    EXPECT_EQ(Map.GetXDim(), 4);
    EXPECT_EQ(Map.GetYDim(), 2);
    EXPECT_EQ(Map.GetPointVal(3, 1), 8.0);
    // Only the first row sets the width; a row of another width is refused.
    EXPECT_TERROR(Map.AddRow({9.0, 10.0}),
                  "Length of new row does not match the X dimension of the map in TMap::AddRow");
    EXPECT_EQ(Map.GetXDim(), 4);
    EXPECT_EQ(Map.GetYDim(), 2);

    TMap Empty(1.0, 0, 2);
    EXPECT_TERROR(Empty.AddRow({1.0}),
                  "Length of new row does not match the X dimension of the map in TMap::AddRow");
    Empty.AddRow({});
    EXPECT_EQ(Empty.GetYDim(), 3);
}

TEST(TMapRows, GetRowCopiesNorthRowFirst)
{
    const auto PtrMap = MakeThreeByTwoMap();
    EXPECT_EQ(PtrMap->GetRow(0), TValues({0.0, 1.0, 2.0}));
    EXPECT_EQ(PtrMap->GetRow(1), TValues({10.0, 11.0, 12.0}));
    EXPECT_TERROR(PtrMap->GetRow(2), "Index is out of bounds in TMap::GetRow");
    EXPECT_TERROR(PtrMap->GetRow(-1), "Index is out of bounds in TMap::GetRow");
    EXPECT_TERROR(TMap(1.0).GetRow(0), "Index is out of bounds in TMap::GetRow");
}

TEST(TMapCellsByIndex, ReadsAndWritesColumnFirst)
{
    TMap Map(1.0, 3, 2);
    Map.SetPoint(2, 1, 4.5);
    EXPECT_EQ(Map.GetPointVal(2, 1), 4.5);
    EXPECT_EQ(Map.GetRow(1), TValues({-9999.0, -9999.0, 4.5}));
    Map.InitValues(0.25);
    EXPECT_EQ(Rows(Map), TRows(2, TValues(3, 0.25)));
}

TEST(TMapCellsByIndex, OutsideTheGridIsRefusedColumnFirst)
{
    TMap Map(1.0, 3, 2);
    EXPECT_TERROR(Map.GetPointVal(3, 5), "X-ordinate is out of range in TMap::GetPointVal");
    EXPECT_TERROR(Map.GetPointVal(-1, 0), "X-ordinate is out of range in TMap::GetPointVal");
    EXPECT_TERROR(Map.GetPointVal(0, 2), "Y-ordinate is out of range in TMap::GetPointVal");
    EXPECT_TERROR(Map.SetPoint(3, 5, 1.0), "LngX is out of range in TMap::SetPoint (long,long)");
    EXPECT_TERROR(Map.SetPoint(0, -1, 1.0), "LngY is out of range in TMap::SetPoint (long,long)");
    EXPECT_EQ(Rows(Map), TRows(2, TValues(3, -9999.0)));
}

TEST(TMapCellsByIndex, CoordinatesAndPointsAtCellCentres)
{
    const auto PtrMap = MakeThreeByTwoMap();
    const std::unique_ptr<TPoint> PtrFirst(PtrMap->GetCoordinates(1, 0));
    const std::unique_ptr<TPoint> PtrSecond(PtrMap->GetCoordinates(1, 0));
    EXPECT_NE(PtrFirst.get(), PtrSecond.get());
    EXPECT_EQ(PtrFirst->GetX(), 1.5);
    EXPECT_EQ(PtrFirst->GetY(), 1.5);

    const std::unique_ptr<TMapPoint> PtrPoint(PtrMap->GetPoint(2, 1));
    EXPECT_EQ(PtrPoint->GetX(), 2.5);
    EXPECT_EQ(PtrPoint->GetY(), 0.5);
    EXPECT_EQ(PtrPoint->GetValue(), 12.0);

    EXPECT_TERROR(PtrMap->GetCoordinates(3, 2),
                  "LngX is out of range for the X-axis in TMap::GetCoordinates");
    EXPECT_TERROR(PtrMap->GetCoordinates(0, -1),
                  "LngY is out of range for the Y-axis in TMap::GetCoordinates");
    EXPECT_TERROR(PtrMap->GetPoint(-1, 9), "LngX is out of range in TMap::GetPoint (long,long)");
    EXPECT_TERROR(PtrMap->GetPoint(0, 2), "LngY is out of range in TMap::GetPoint (long,long)");
}

TEST(TMapCellsByPosition, EdgesBelongToTheCellsTheyBound)
{
    const auto PtrMap = MakeThreeByTwoMap();
    const TPoint Inner(1.0, 1.0);
    const TPoint SouthWest(0.0, 0.0);
    const TPoint NearNorthEast(2.99, 1.99);
    EXPECT_EQ(PtrMap->GetPointVal(&Inner), 1.0);
    EXPECT_EQ(PtrMap->GetPointVal(&SouthWest), 10.0);
    EXPECT_EQ(PtrMap->GetPointVal(&NearNorthEast), 2.0);
    EXPECT_EQ(PtrMap->GetIndex(1.0, 'X'), 1);
    EXPECT_EQ(PtrMap->GetIndex(1.0, 'Y'), 0);
    EXPECT_EQ(PtrMap->GetIndex(0.0, 'R'), 1);
    EXPECT_EQ(PtrMap->GetIndex(3.0, 'X'), -1);

    const TPoint West(-0.1, 1.0);
    const TPoint North(1.0, 2.5);
    EXPECT_TERROR(PtrMap->GetPointVal(&West), "Ordinate is out of range in TAxis::GetIndex");
    EXPECT_TERROR(PtrMap->GetPointVal(&North), "Ordinate is out of range in TAxis::GetIndex");
}

TEST(TMapCellsByPosition, EastAndNorthEdgesLieInNoCell)
{
    const auto PtrMap = MakeThreeByTwoMap();
    const TPoint EastEdge(3.0, 2.0);
    const TPoint NorthEdge(1.0, 2.0);
    EXPECT_TERROR(PtrMap->GetPointVal(&EastEdge), "LngX is out of range in TMap::GetPointVal");
    EXPECT_TERROR(PtrMap->GetPointVal(&NorthEdge), "LngY is out of range in TMap::GetPointVal");
    EXPECT_TERROR(PtrMap->GetPoint(&EastEdge), "LngX is out of range in TMap::GetPoint (TPoint*)");
    EXPECT_TERROR(PtrMap->GetPoint(&NorthEdge), "LngY is out of range in TMap::GetPoint (TPoint*)");
    EXPECT_TERROR(PtrMap->SetPoint(&EastEdge, 1.0),
                  "LngX is out of range in TMap::SetPoint (TPoint*)");
    EXPECT_TERROR(PtrMap->SetPoint(&NorthEdge, 1.0),
                  "LngY is out of range in TMap::SetPoint (TPoint*)");
    EXPECT_EQ(Rows(*PtrMap), Rows(*MakeThreeByTwoMap()));
}

TEST(TMapCellsByPosition, PointsAndWritesAtThePosition)
{
    const auto PtrMap = MakeThreeByTwoMap();
    const TPoint Position(2.25, 0.75);
    const std::unique_ptr<TMapPoint> PtrPoint(PtrMap->GetPoint(&Position));
    EXPECT_EQ(PtrPoint->GetX(), 2.25);
    EXPECT_EQ(PtrPoint->GetY(), 0.75);
    EXPECT_EQ(PtrPoint->GetValue(), 12.0);

    PtrMap->SetPoint(&Position, -3.0);
    EXPECT_EQ(PtrMap->GetPointVal(2, 1), -3.0);
}

TEST(TMapCellsByPosition, GetPointValuesKeepsOrderAndStopsAtFirstFailure)
{
    const auto PtrMap = MakeThreeByTwoMap();
    TPoint First(0.5, 0.5);
    TPoint Second(2.5, 1.5);
    TPoint EastEdge(3.0, 1.5);
    TPoint North(0.5, 9.0);
    EXPECT_EQ(PtrMap->GetPointValues({&First, &Second}), TValues({10.0, 2.0}));
    EXPECT_TERROR(PtrMap->GetPointValues({&First, &EastEdge, &North}),
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
    TMap Map(2.0, 2, 1);
    Map.SetXAxis(MakeAxis(2.0, {11.0, 13.0}, 'X', 5.0).get());
    Map.SetYAxis(MakeAxis(2.0, {5.0}, 'Y', 11.0).get());
    EXPECT_EQ(Components(*Map.GetXAxisInterval(), 'X'), TValues({10.0, 12.0, 14.0}));
    EXPECT_EQ(Components(*Map.GetYAxisInterval(), 'Y'), TValues({4.0, 6.0}));

    Map.SetXAxisInterval(MakeAxis(2.0, {0.0, 2.0, 4.0}, 'X').get());
    Map.SetYAxisInterval(MakeAxis(2.0, {8.0, 6.0}, 'Y').get());
    EXPECT_EQ(Components(*Map.GetXAxis(), 'X'), TValues({1.0, 3.0}));
    EXPECT_EQ(Components(*Map.GetYAxis(), 'Y'), TValues({7.0}));
}

TEST(TMapAxes, WrongSizeLeavesAxesInPlace)
{
    const auto PtrMap = MakeThreeByTwoMap();
    const TAxis* PtrXAxis = PtrMap->GetXAxis();
    const TAxis* PtrXEdges = PtrMap->GetXAxisInterval();
    const TAxis* PtrYAxis = PtrMap->GetYAxis();
    const TAxis* PtrYEdges = PtrMap->GetYAxisInterval();
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
    EXPECT_EQ(PtrMap->GetXAxis(), PtrXAxis);
    EXPECT_EQ(PtrMap->GetXAxisInterval(), PtrXEdges);
    EXPECT_EQ(PtrMap->GetYAxis(), PtrYAxis);
    EXPECT_EQ(PtrMap->GetYAxisInterval(), PtrYEdges);
}

TEST(TMapAxes, FailedConversionLeavesAxesInPlace)
{
    // A map without columns accepts an empty centre axis by size, whose
    // conversion then fails.
    TMap Map(1.0, 0, 2);
    Map.SetXAxisInterval(MakeAxis(1.0, {4.0}, 'X').get());
    const TAxis* PtrXAxis = Map.GetXAxis();
    const TAxis* PtrXEdges = Map.GetXAxisInterval();
    ASSERT_EQ(PtrXAxis->GetSize(), 0);

    const TAxis Empty(1.0);
    EXPECT_TERROR(Map.SetXAxis(&Empty), "Index is out of range in TAxis::GetPoint");
    EXPECT_TERROR(Map.SetXAxis(Map.GetXAxis()), "Index is out of range in TAxis::GetPoint");
    EXPECT_EQ(Map.GetXAxis(), PtrXAxis);
    EXPECT_EQ(Map.GetXAxisInterval(), PtrXEdges);
    EXPECT_EQ(Components(*Map.GetXAxisInterval(), 'X'), TValues({4.0}));
}

TEST(TMapAxes, MapsOwnAxisCanBeHandedBack)
{
    const auto PtrMap = MakeThreeByTwoMap();
    PtrMap->SetXAxisInterval(PtrMap->GetXAxisInterval());
    PtrMap->SetYAxis(PtrMap->GetYAxis());
    EXPECT_EQ(Components(*PtrMap->GetXAxisInterval(), 'X'), TValues({0.0, 1.0, 2.0, 3.0}));
    EXPECT_EQ(Components(*PtrMap->GetYAxisInterval(), 'Y'), TValues({2.0, 1.0, 0.0}));
}
