// Resampling: the bilinear formula and maps resampled with it, new frames,
// subdivision and buffers.
#include <algorithm>
#include <climits>
#include <functional>
#include <random>
#include <sstream>
#include <string>

#include "ops/OpsTestSupport.h"

namespace {

// 4 x 4 cells of size 1 from (0, 4), each holding 10 x (centre Y) + centre X.
std::unique_ptr<TMap> Ramp(double DblNoData = -9999.0)
{
    TValues VecCells;
    for (int LngY = 0; LngY < 4; ++LngY)
        for (int LngX = 0; LngX < 4; ++LngX)
            VecCells.push_back(10 * (3.5 - LngY) + (0.5 + LngX));
    return MakeMap(4, 4, 1, 0, 4, VecCells, DblNoData);
}

TEST(TMapToolsResampling, BilinearFormulaInterpolatesAndExtrapolates)
{
    const struct {
        double DblX, DblY, DblValue;
    } ArrCases[] = {{0.5, 0.5, 2.5}, {0, 0, 1}, {1, 1, 4}, {2, 1, 5}};
    for (const auto& Case : ArrCases) {
        EXPECT_EQ(TMapTools::BilinearInterpolate(1, 2, 3, 4, Case.DblX, 0, 1, Case.DblY, 0, 1),
                  Case.DblValue);
        // Q22's position is not read.
        const TMapPoint Q11(0, 0, 1), Q21(1, 7, 2), Q12(9, 1, 3), Q22(-5, -5, 4);
        TMapPoint Target(Case.DblX, Case.DblY, 0);
        TMapTools::BilinearInterpolate(&Q11, &Q21, &Q12, &Q22, &Target);
        EXPECT_EQ(Target.GetValue(), Case.DblValue);
    }
}

TEST(TMapToolsResampling, BilinearMapFillsTheSampledCellsOnly)
{
    const auto PtrResult = Own(TMapTools::BilinearInterpolate(Ramp(-1).get(), 0.5));
    ASSERT_EQ(PtrResult->GetXDim(), 8);
    ASSERT_EQ(PtrResult->GetYDim(), 8);
    EXPECT_EQ(PtrResult->GetNoDataValue(), -1);
    // Samples at X = 1 .. 2.5 and Y = 2.5 .. 1 fill columns and rows 2 to 5.
    const TValues VecCells = Cells(*PtrResult);
    EXPECT_EQ(std::count(VecCells.begin(), VecCells.end(), -1.0), 64 - 16);
    EXPECT_EQ(PtrResult->GetPointVal(2, 2), 26);
    EXPECT_EQ(PtrResult->GetPointVal(5, 5), 12.5);

    // A corner without data gives none.
    const auto PtrGap = Ramp();
    PtrGap->SetPoint(1, 1, -9999);
    const auto PtrGapped = Own(TMapTools::BilinearInterpolate(PtrGap.get(), 0.5));
    EXPECT_EQ(PtrGapped->GetPointVal(2, 2), -9999);
    EXPECT_EQ(PtrGapped->GetPointVal(4, 4), 26 - 10 + 1);

    for (double DblSize : {0.0, -1.0})
        EXPECT_TERROR(TMapTools::BilinearInterpolate(Ramp().get(), DblSize),
                      "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate");
    EXPECT_TERROR(TMapTools::BilinearInterpolate(MakeMap(3, 2, 1, 0, 2, TValues(6, 1)).get(), 0.5),
                  "LngGetY2 is out of range in TMapTools::BilinearInterpolate");
    // Two columns leave no room for a sample.
    EXPECT_EQ(Cells(*Own(TMapTools::BilinearInterpolate(MakeMap(2, 4, 1, 0, 4, TValues(8, 1)).get(), 0.5))),
              TValues(32, -9999));
}

// The resampling done sample by sample through the map's own lookups, as
// the operation is defined; the cells it fills, or the failure it meets.
std::string ReferenceResampling(const TMap& Map, double DblNew, TValues& VecCells)
{
    const auto PtrFrame = Own(TMapTools::Downscale(&Map, DblNew));
    VecCells.assign(PtrFrame->GetXDim() * PtrFrame->GetYDim(), Map.GetNoDataValue());
    const double DblR = Map.GetResolution();
    const TValues VecX = Components(*PtrFrame->GetXAxisInterval(), 'X');
    const TValues VecY = Components(*PtrFrame->GetYAxisInterval(), 'Y');
    try {
        for (double DblX = VecX.front() + DblR; DblX <= VecX.back() - DblR - DblNew; DblX += DblNew) {
            double DblY = VecY.front() - DblR - DblNew;
            do {
                const TPoint Sample(DblX, DblY);
                const std::unique_ptr<TMapPoint> PtrOut(PtrFrame->GetPoint(&Sample));
                const std::unique_ptr<TMapPoint> PtrIn(Map.GetPoint(&Sample));
                const long LngIx = Map.GetIndex(DblX, 'X'), LngIy = Map.GetIndex(DblY, 'Y');
                const std::unique_ptr<TPoint> PtrCentre(Map.GetCoordinates(LngIx, LngIy));
                const long LngX1 = DblX <= PtrCentre->GetX() ? LngIx - 1 : LngIx;
                const long LngY1 = DblY <= PtrCentre->GetY() ? LngIy : LngIy - 1;
                const long ArrCorners[] = {LngX1, LngX1 + 1, LngY1, LngY1 + 1};
                const char* ArrNames[] = {"X1", "X2", "Y1", "Y2"};
                for (int LngI = 0; LngI < 4; ++LngI)
                    if (ArrCorners[LngI] < 0 || ArrCorners[LngI] >= (LngI < 2 ? Map.GetXDim() : Map.GetYDim()))
                        throw TError(std::string("LngGet") + ArrNames[LngI] + " is out of range");
                const std::unique_ptr<TMapPoint> Q11(Map.GetPoint(LngX1, LngY1)), Q21(Map.GetPoint(LngX1 + 1, LngY1)),
                    Q12(Map.GetPoint(LngX1, LngY1 + 1)), Q22(Map.GetPoint(LngX1 + 1, LngY1 + 1));
                TMapPoint Target(DblX, DblY);
                TMapTools::BilinearInterpolate(Q11.get(), Q21.get(), Q12.get(), Q22.get(), &Target);
                VecCells[PtrFrame->GetIndex(DblY, 'Y') * PtrFrame->GetXDim() + PtrFrame->GetIndex(DblX, 'X')] =
                    Target.GetValue();
                DblY -= DblNew;
            } while (DblY >= VecY.back() + DblR);
        }
    } catch (const TError& Error) {
        return Error.what();
    }
    return "";
}

}  // namespace

TEST(TMapToolsResampling, BilinearMapAgreesWithSampleBySampleResampling)
{
    std::mt19937_64 Random(3);
    std::uniform_real_distribution<double> Unit(0, 1);
    int LngFilled = 0;
    for (int LngCase = 0; LngCase < 60; ++LngCase) {
        const long LngCols = 2 + Random() % 9, LngRows = 2 + Random() % 9;
        TValues VecCells;
        for (long LngI = 0; LngI < LngCols * LngRows; ++LngI)
            VecCells.push_back(std::floor(Unit(Random) * 1000) / 8);
        const double DblCell = 0.5 + Unit(Random) * 3;
        const auto PtrMap = MakeMap(LngCols, LngRows, DblCell, Unit(Random) * 100,
                                    Unit(Random) * 100, VecCells);
        const double DblNew = DblCell * (0.2 + Unit(Random));
        TValues VecExpected;
        const std::string StgExpected = ReferenceResampling(*PtrMap, DblNew, VecExpected);
        SCOPED_TRACE(std::to_string(LngCase) + ": " + StgExpected);
        try {
            const auto PtrResult = Own(TMapTools::BilinearInterpolate(PtrMap.get(), DblNew));
            EXPECT_EQ(StgExpected, "");
            EXPECT_EQ(Cells(*PtrResult), VecExpected);
            LngFilled += StgExpected.empty();
        } catch (const TError& Error) {
            EXPECT_EQ(std::string(Error.what()).substr(0, StgExpected.size()), StgExpected);
        }
    }
    EXPECT_GT(LngFilled, 10);
}

TEST(TMapToolsResampling, DownscaleFramesWholeNewCells)
{
    const auto PtrFrame = Own(TMapTools::Downscale(MakeMap(10, 6, 1, 100, 50).get(), 3));
    EXPECT_EQ(Components(*PtrFrame->GetXAxis(), 'X'), TValues({101.5, 104.5, 107.5}));
    EXPECT_EQ(Components(*PtrFrame->GetYAxis(), 'Y'), TValues({48.5, 45.5}));
    EXPECT_EQ(Cells(*PtrFrame), TValues(6, -9999));
    EXPECT_EQ(PtrFrame->GetNoDataValue(), -9999);
    // 0.6 / 0.1 is 5.999... in doubles: still six whole cells.
    const auto PtrFine = Own(TMapTools::Downscale(MakeMap(2, 3, 0.3, 0, 0.9).get(), 0.1));
    EXPECT_EQ(PtrFine->GetXDim(), 6);
    EXPECT_EQ(PtrFine->GetYDim(), 9);
    EXPECT_TERROR(TMapTools::Downscale(MakeMap(10, 6, 1, 0, 6).get(), 7),
                  "Index is out of range in TAxis::GetPoint");
    for (double DblSize : {0.0, -2.0})
        EXPECT_TERROR(TMapTools::Downscale(MakeMap(10, 6, 1, 0, 6).get(), DblSize),
                      "New resolution cannot be <= 0.0 in TMapTools::Downscale");
}

TEST(TMapToolsResampling, SubdivideKeepsTheExtentExactly)
{
    const auto PtrResult =
        Own(TMapTools::Subdivide(MakeMap(3, 2, 1, 0, 2, {1, 2, 3, 4, 5, 6}, 6).get(), 2));
    EXPECT_EQ(PtrResult->GetNoDataValue(), 6);
    EXPECT_EQ(Components(*PtrResult->GetXAxisInterval(), 'X'), TValues({0, 0.5, 1, 1.5, 2, 2.5, 3}));
    EXPECT_EQ(Components(*PtrResult->GetYAxisInterval(), 'Y'), TValues({2, 1.5, 1, 0.5, 0}));
    EXPECT_EQ(PtrResult->GetResolution(), 0.5);
    EXPECT_EQ(Cells(*PtrResult), TValues({1, 1, 2, 2, 3, 3, 1, 1, 2, 2, 3, 3,
                                          4, 4, 5, 5, 6, 6, 4, 4, 5, 5, 6, 6}));
    // The input's own edges stay where they were, to the last bit.
    const auto PtrTenths = MakeMap(3, 3, 0.1, 0.1, 0.7);
    for (int LngFactor : {1, 3}) {
        const auto PtrFine = Own(TMapTools::Subdivide(PtrTenths.get(), LngFactor));
        const TValues VecX = Components(*PtrFine->GetXAxisInterval(), 'X');
        const TValues VecY = Components(*PtrFine->GetYAxisInterval(), 'Y');
        for (long LngI = 0; LngI <= 3; ++LngI) {
            EXPECT_EQ(VecX[LngI * LngFactor], PtrTenths->GetXAxisInterval()->GetFilledPoint(LngI).GetX());
            EXPECT_EQ(VecY[LngI * LngFactor], PtrTenths->GetYAxisInterval()->GetFilledPoint(LngI).GetY());
        }
    }
    EXPECT_TERROR(TMapTools::Subdivide(PtrTenths.get(), 0),
                  "Subdivision factor must be >= 1 in TMapTools::Subdivide");
}

TEST(TMapToolsResampling, BufferIndicesClampsToTheMap)
{
    // North, south, west, east after the buffer: always inside the 10 x 8
    // map, whatever the buffer, a negative one shrinking the block.
    const auto PtrMap = MakeMap(10, 8, 1, 0, 8);
    const std::pair<long, std::vector<long>> Cases[] = {
        {2, {0, 5, 0, 9}},   {0, {1, 3, 0, 8}},          {-1, {2, 2, 1, 7}},
        {-20, {7, 0, 9, 0}}, {LONG_MIN, {7, 0, 9, 0}},   {LONG_MAX, {0, 7, 0, 9}},
    };
    for (const auto& [LngBuffer, VecExpected] : Cases) {
        long LngNorth = 1, LngSouth = 3, LngWest = 0, LngEast = 8;
        TMapTools::BufferIndices(PtrMap.get(), LngBuffer, LngNorth, LngSouth, LngWest, LngEast);
        EXPECT_EQ(std::vector<long>({LngNorth, LngSouth, LngWest, LngEast}), VecExpected)
            << "buffer " << LngBuffer;
    }
}

TEST(TMapToolsResampling, FramesThatCannotBeHadOrMapsWithoutAxesAreRefused)
{
    // A message, or "bad_alloc" for a size that cannot be had; never a
    // wrapped size, an overflowing conversion or a null axis followed.
    const auto Outcome = [](auto Operation) -> std::string {
        try {
            Operation();
            return "done";
        } catch (const std::bad_alloc&) {
            return "bad_alloc";
        } catch (const TError& Error) {
            return Error.what();
        }
    };
    const auto PtrSmall = MakeMap(4, 3, 1, 0, 3);
    const auto PtrThin = MakeMap(1, 18, 1, 0, 18);
    const TMap Bare(1.0, 4, 3);
    std::ostringstream Csv;
    const std::pair<std::function<void()>, std::string> Cases[] = {
        {[&] { Own(TMapTools::Downscale(PtrThin.get(), 1 / (357913941 + 12.5 / 18))); }, "bad_alloc"},
        {[&] { Own(TMapTools::BilinearInterpolate(PtrThin.get(), 1 / (357913941 + 12.5 / 18))); },
         "bad_alloc"},
        {[&] { Own(TMapTools::BilinearInterpolate(PtrSmall.get(), 1e-18)); },
         "Map dimensions are too large to represent in TMapTools::BilinearInterpolate"},
        {[&] { Own(TMapTools::BilinearInterpolate(PtrSmall.get(), 1e-300)); },
         "Map dimensions are too large to represent in TMapTools::BilinearInterpolate"},
        {[&] { Own(TMapTools::Downscale(PtrSmall.get(), 1e-300)); },
         "Map dimensions are too large to represent in TMapTools::Downscale"},
        {[&] { Own(TMapTools::Subdivide(PtrSmall.get(), INT_MAX)); }, "bad_alloc"},
        {[&] { TMap(1.0, 1, 2305843009213693951L); }, "bad_alloc"},
        {[&] { Own(TMapTools::BilinearInterpolate(&Bare, 0.5)); },
         "Axes are not set in TMapTools::BilinearInterpolate"},
        {[&] { Own(TMapTools::Subdivide(&Bare, 2)); }, "Axes are not set in TMapTools::Subdivide"},
        {[&] { Own(TMapTools::Downscale(&Bare, 0.5)); }, "Axes are not set in TMapTools::Downscale"},
        {[&] { TMapTools::WriteCSVFile(&Bare, Csv); }, "Axes are not set in TMapTools::WriteCSVFile"},
    };
    for (const auto& [Operation, StgExpected] : Cases)
        EXPECT_EQ(Outcome(Operation), StgExpected);
}

TEST(TMapToolsResampling, SouthUpMapsSubdivideOntoTheirOwnCells)
{
    // Y edges rising from 0 to 1: the fine centres lie inside, so the fine
    // map and the map it came from combine cell by cell.
    const auto PtrSouthUp = MakeMap(1, {0, 1, 2}, {0, 1}, {{3, 4}});
    const auto PtrFine = Own(TMapTools::Subdivide(PtrSouthUp.get(), 2));
    EXPECT_EQ(Components(*PtrFine->GetYAxis(), 'Y'), TValues({0.25, 0.75}));
    const auto PtrSum = Own(TMapTools::Add(PtrFine.get(), PtrSouthUp.get()));
    EXPECT_EQ(Cells(*PtrSum), TValues({6, 6, 8, 8, 6, 6, 8, 8}));
}

TEST(TMapToolsResampling, DownscaleWithTheOutputsNoDataValue)
{
    const auto PtrMap = MakeMap(10, 6, 1, 100, 50);
    const auto PtrPlain = Own(TMapTools::Downscale(PtrMap.get(), 3));
    for (double DblOut : {-5.0, std::nan("")}) {
        const auto PtrFrame = Own(TMapTools::Downscale(PtrMap.get(), 3, DblOut));
        EXPECT_EQ(Components(*PtrFrame->GetXAxisInterval(), 'X'), Components(*PtrPlain->GetXAxisInterval(), 'X'));
        EXPECT_EQ(Components(*PtrFrame->GetYAxisInterval(), 'Y'), Components(*PtrPlain->GetYAxisInterval(), 'Y'));
        EXPECT_TRUE(SameValue(PtrFrame->GetNoDataValue(), DblOut));
        for (double DblCell : Cells(*PtrFrame))
            EXPECT_TRUE(SameValue(DblCell, DblOut));
    }
}
