// Arithmetic between maps, by coordinates and by index.
#include "ops/OpsTestSupport.h"

namespace {

// A 4 x 4 map of 1-unit cells over (0, 0)-(4, 4) holding 1..16, and a 2 x 2
// map of 2-unit cells over the same extent holding 100, 200, 300, 400.
std::unique_ptr<TMap> Fine(double DblNoData = -9999.0)
{
    TValues VecCells;
    for (int LngI = 1; LngI <= 16; ++LngI)
        VecCells.push_back(LngI);
    return MakeMap(4, 4, 1, 0, 4, VecCells, DblNoData);
}
std::unique_ptr<TMap> Coarse(double DblNoData = -9999.0)
{
    return MakeMap(2, 2, 2, 0, 4, {100, 200, 300, 400}, DblNoData);
}

}  // namespace

TEST(TMapToolsArithmetic, FinerMapDrivesWhicheverComesFirst)
{
    const auto PtrFine = Fine(-1);
    const auto PtrCoarse = Coarse();
    const TValues VecSum = {101, 102, 203, 204, 105, 106, 207, 208,
                            309, 310, 411, 412, 313, 314, 415, 416};
    for (const auto& PtrResult : {Own(TMapTools::Add(PtrFine.get(), PtrCoarse.get())),
                                  Own(TMapTools::Add(PtrCoarse.get(), PtrFine.get()))}) {
        EXPECT_EQ(Cells(*PtrResult), VecSum);
        EXPECT_EQ(PtrResult->GetResolution(), 1.0);
        EXPECT_EQ(PtrResult->GetNoDataValue(), -1.0);
    }
    // Either cell without data gives the driving map's no-data value.
    PtrCoarse->SetPoint(1, 1, -9999);
    PtrFine->SetPoint(0, 0, -1);
    const auto PtrProduct = Own(TMapTools::Multiply(PtrCoarse.get(), PtrFine.get()));
    EXPECT_EQ(PtrProduct->GetPointVal(0, 0), -1);
    EXPECT_EQ(PtrProduct->GetPointVal(1, 0), 200);
    EXPECT_EQ(PtrProduct->GetPointVal(3, 3), -1);
    // Equal cell sizes: the first map drives.
    EXPECT_EQ(Own(TMapTools::Multiply(Fine(-5).get(), Fine().get()))->GetNoDataValue(), -5);
}

TEST(TMapToolsArithmetic, CentresTheOtherMapMissesAreReported)
{
    // Cells of the fine map whose centres lie beyond the coarse map, or on
    // its east or north edge, which belongs to no cell of it.
    const struct {
        double DblWest, DblNorth;
        const char* StgMessage;
    } ArrCases[] = {
        {0.6, 4, "Ordinate is out of range in TAxis::GetIndex"},
        {0, 3.4, "Ordinate is out of range in TAxis::GetIndex"},
        {-0.5, 4, "LngX is out of range in TMap::GetPointVal"},
        {0, 3.5, "LngY is out of range in TMap::GetPointVal"},
    };
    const auto PtrFine = Fine();
    for (const auto& Case : ArrCases) {
        const auto PtrCoarse = MakeMap(2, 2, 2, Case.DblWest, Case.DblNorth, {1, 2, 3, 4});
        EXPECT_TERROR(TMapTools::Add(PtrFine.get(), PtrCoarse.get()), Case.StgMessage);
        EXPECT_TERROR(TMapTools::Divide(PtrFine.get(), PtrCoarse.get()), Case.StgMessage);
    }
}

TEST(TMapToolsArithmetic, MapWithoutColumnsDrivesToAnEmptyResult)
{
    // No columns, three rows (as a loaded "ncols 0" grid), driving a
    // partner of 4 x 3 cells of its size on the same rows.
    const auto PtrEmpty = MakeMap(0, 3, 1, 0, 3);
    const auto PtrPartner = MakeMap(4, 3, 1, 0, 3, TValues(12, 1.0));
    for (const auto& PtrResult : {Own(TMapTools::Add(PtrEmpty.get(), PtrPartner.get())),
                                  Own(TMapTools::Multiply(PtrEmpty.get(), PtrPartner.get())),
                                  Own(TMapTools::Divide(PtrEmpty.get(), PtrPartner.get()))}) {
        EXPECT_EQ(PtrResult->GetXDim(), 0);
        EXPECT_EQ(PtrResult->GetYDim(), 3);
    }
}

TEST(TMapToolsArithmetic, DivideAndSubtract)
{
    EXPECT_TERROR(TMapTools::Divide(Coarse().get(), Fine().get()),
                  "Divisor must be of equal of coarser resolution than the dividend in "
                  "TMapTools::Divide");
    const auto PtrDividend = MakeMap(2, 1, 1, 0, 1, {6, -9999});
    const auto PtrQuotient =
        Own(TMapTools::Divide(PtrDividend.get(), MakeMap(1, 1, 2, 0, 1.5, {3}, 3).get()));
    EXPECT_EQ(Cells(*PtrQuotient), TValues({-9999, -9999}));
    EXPECT_EQ(Cells(*Own(TMapTools::Divide(PtrDividend.get(), MakeMap(1, 1, 2, 0, 1.5, {3}).get()))),
              TValues({2, -9999}));

    // By index, whatever the cell sizes and positions.
    EXPECT_TERROR(TMapTools::Subtract(Fine().get(), MakeMap(2, 9, 1, 0, 0).get()),
                  "X dimensions do not match in TMapTools::Subtract");
    EXPECT_TERROR(TMapTools::Subtract(Fine().get(), MakeMap(4, 3, 1, 0, 0).get()),
                  "Y dimensions do not match in TMapTools::Subtract");
    const auto PtrDifference = Own(
        TMapTools::Subtract(MakeMap(2, 1, 1, 0, 1, {5, -1}, -1).get(), MakeMap(2, 1, 7, 9, 9, {2, 1}).get()));
    EXPECT_EQ(Cells(*PtrDifference), TValues({3, -1}));
    EXPECT_EQ(PtrDifference->GetNoDataValue(), -1);
}

TEST(TMapToolsArithmetic, ListsCountSumAndAverageCellsWithDataOnly)
{
    const auto PtrA = MakeMap(3, 1, 1, 0, 1, {1, 2, -9999});
    const auto PtrB = MakeMap(3, 1, 1, 0, 1, {3, -1, 4}, -1);
    const auto PtrC = MakeMap(3, 1, 1, 0, 1, {5, 6, 7});
    const std::vector<TMap*> VecMaps = {PtrA.get(), PtrB.get(), PtrC.get()};
    // A cell without data in any map is -9999, whatever that map marks it with.
    EXPECT_EQ(Cells(*Own(TMapTools::Sum(VecMaps))), TValues({9, -9999, -9999}));
    EXPECT_EQ(Cells(*Own(TMapTools::DataCounts(VecMaps))), TValues({3, 2, 2}));
    EXPECT_EQ(Cells(*Own(TMapTools::Average(VecMaps))), TValues({3, -9999, -9999}));
    EXPECT_EQ(Cells(*Own(TMapTools::DataCounts({PtrA.get()}))), TValues({1, 1, 0}));

    const auto PtrWide = MakeMap(4, 1, 1, 0, 1);
    const auto PtrTall = MakeMap(3, 2, 1, 0, 2);
    const struct {
        std::vector<TMap*> VecList;
        const char* StgSum;
        const char* StgCounts;
    } ArrCases[] = {
        {{}, "Must have more than 2 maps to sum in TMapTools::Sum",
         "Must have at least 1 map to count in TMapTools::DataCounts"},
        {{PtrA.get(), PtrTall.get(), PtrWide.get()},
         "Y-dimension of maps are inconsistent in TMapTools::Sum",
         "Y-dimension of maps are inconsistent in TMapTools::DataCounts"},
        {{PtrA.get(), PtrWide.get(), PtrTall.get()},
         "X-dimension of maps are inconsistent in TMapTools::Sum",
         "X-dimension of maps are inconsistent in TMapTools::DataCounts"},
    };
    for (const auto& Case : ArrCases) {
        EXPECT_TERROR(TMapTools::Sum(Case.VecList), Case.StgSum);
        EXPECT_TERROR(TMapTools::Average(Case.VecList), Case.StgSum);
        EXPECT_TERROR(TMapTools::DataCounts(Case.VecList), Case.StgCounts);
    }
    EXPECT_TERROR(TMapTools::Sum({PtrA.get()}), "Must have more than 2 maps to sum in TMapTools::Sum");
}

TEST(TMapToolsArithmetic, MovingAverageOneMapPerWindow)
{
    std::vector<std::unique_ptr<TMap>> VecOwned;
    std::vector<TMap*> VecMaps;
    for (double DblValue : {1, 3, 5, 7, 9}) {
        VecOwned.push_back(MakeMap(1, 1, 1, 0, 1, {DblValue}));
        VecMaps.push_back(VecOwned.back().get());
    }
    std::vector<std::unique_ptr<TMap>> VecAverages;
    for (TMap* PtrAverage : TMapTools::MovingAverage(VecMaps, 2))
        VecAverages.emplace_back(PtrAverage);
    ASSERT_EQ(VecAverages.size(), 4u);
    EXPECT_EQ(VecAverages[3]->GetPointVal(0, 0), 8);
    EXPECT_TRUE(TMapTools::MovingAverage(VecMaps, 6).empty());
    for (int LngWindow : {1, 0, -3})
        EXPECT_TERROR(TMapTools::MovingAverage(VecMaps, LngWindow),
                      "Must have more than 2 maps to sum in TMapTools::Sum");
}

// The forms taking the output's no-data value mark no data with it, each
// map's no-data cells those equal to its own value.
TEST(TMapToolsArithmetic, ListFormsWithTheOutputsNoDataValue)
{
    const double NaN = std::nan("");
    const TValues ArrNoData = {-1, NaN, -9999};
    const std::vector<TValues> VecCells = {{1, -1, 3, 4, 0.5}, {NaN, 2, 2, -9999, 0.25}, {5, 6, -9999, 8, -1}};
    std::vector<std::unique_ptr<TMap>> VecOwned;
    std::vector<TMap*> VecMaps;
    for (std::size_t LngMap = 0; LngMap < VecCells.size(); ++LngMap) {
        VecOwned.push_back(MakeMap(5, 1, 1, 0, 1, VecCells[LngMap], ArrNoData[LngMap]));
        VecMaps.push_back(VecOwned.back().get());
    }
    for (double DblOut : {-5.0, NaN}) {
        SCOPED_TRACE(DblOut);
        // Each window's sum and mean where all its maps hold data.
        const auto Expected = [&](std::size_t LngFirst, std::size_t LngCount, bool BlnMean) {
            TValues VecOut;
            for (std::size_t LngCell = 0; LngCell < 5; ++LngCell) {
                double DblSum = 0;
                bool BlnData = true;
                for (std::size_t LngMap = LngFirst; LngMap < LngFirst + LngCount; ++LngMap) {
                    DblSum += VecCells[LngMap][LngCell];
                    BlnData = BlnData && VecCells[LngMap][LngCell] != ArrNoData[LngMap];
                }
                VecOut.push_back(!BlnData ? DblOut : BlnMean ? DblSum / LngCount : DblSum);
            }
            return VecOut;
        };
        const auto ExpectCells = [&](TMap* PtrResult, const TValues& VecExpected) {
            const auto PtrOwned = Own(PtrResult);
            EXPECT_TRUE(SameValue(PtrOwned->GetNoDataValue(), DblOut));
            for (std::size_t LngCell = 0; LngCell < 5; ++LngCell)
                EXPECT_TRUE(SameValue(PtrOwned->GetCells()[LngCell], VecExpected[LngCell]))
                    << LngCell << ": " << PtrOwned->GetCells()[LngCell];
        };
        ExpectCells(TMapTools::Sum(VecMaps, DblOut), Expected(0, 3, false));
        ExpectCells(TMapTools::Average(VecMaps, DblOut), Expected(0, 3, true));
        const std::vector<TMap*> VecAverages = TMapTools::MovingAverage(VecMaps, 2, DblOut);
        ASSERT_EQ(VecAverages.size(), 2u);
        for (std::size_t LngFirst = 0; LngFirst < 2; ++LngFirst)
            ExpectCells(VecAverages[LngFirst], Expected(LngFirst, 2, true));
    }
    // A sum equal to the no-data value is no data in the mean, as in Sum.
    EXPECT_EQ(Cells(*Own(TMapTools::Average(VecMaps, 4.75))).back(), -0.25 / 3);
    EXPECT_EQ(Cells(*Own(TMapTools::Average({VecMaps[0], VecMaps[0]}, 1.0))).back(), 1.0);
}
