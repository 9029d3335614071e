// Slope, aspect and hillshade streamed three rows at a time: against the
// tests' own Horn formula (the gradient as dz/dx and dz/dy, the textbook
// trigonometry of slope, downhill azimuth and lambertian shade) on planes,
// curved surfaces and thin grids, the border with and without computed
// edges; and against gdaldem in every product and option on a generated DEM
// (flat land, holes, NaN) and on the real-world corpus.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "io/TARCGISFileTools.h"
#include "ops/TTerrain.h"
#include "ops/TValueRange.h"
#include "support/TCaseCount.h"
#include "support/TCommand.h"
#include "support/TGdalGrid.h"
#include "support/TGridText.h"
#include "support/TTempDir.h"
#include "util/TError.h"
#include "util/TNoData.h"

namespace {

using TProduct = TTerrainOptions::TProduct;
using TShading = TTerrainOptions::TShading;

// Printed in the reverse order.
TCaseCount& OffByOne = RegisterCaseCount("of them hillshade bytes one off gdaldem's");
TCaseCount& Compared = RegisterCaseCount("terrain cells compared with gdaldem");
TCaseCount& CorpusGrids = RegisterCaseCount("corpus grids compared with gdaldem");

const double Pi = std::acos(-1.0);
const double NoData = TNoData::Marker();

// Cells row by row from the north, the marker for no data.
struct TGrid {
    long LngCols;
    long LngRows;
    double DblCell;
    std::vector<double> VecCells;

    double At(long LngRow, long LngCol) const { return VecCells[LngRow * LngCols + LngCol]; }
    bool Border(long LngRow, long LngCol) const
    {
        return LngRow == 0 || LngCol == 0 || LngRow == LngRows - 1 || LngCol == LngCols - 1;
    }
};

// Formula(x, y) at the cells' centres, x east and y north of the south-west
// corner.
template <class TFormula>
TGrid Surface(long LngCols, long LngRows, double DblCell, TFormula Formula)
{
    TGrid Grid{LngCols, LngRows, DblCell, {}};
    for (long LngRow = 0; LngRow < LngRows; ++LngRow)
        for (long LngCol = 0; LngCol < LngCols; ++LngCol)
            Grid.VecCells.push_back(Formula((LngCol + 0.5) * DblCell, (LngRows - LngRow - 0.5) * DblCell));
    return Grid;
}

std::vector<double> Computed(const TGrid& Grid, const TTerrainOptions& Options)
{
    const TTerrain Terrain(Options, {Grid.LngCols, Grid.LngRows, 0, 0, Grid.DblCell});
    std::vector<double> VecOut(Grid.VecCells.size());
    const auto Row = [&](long LngRow) {
        return LngRow >= 0 && LngRow < Grid.LngRows ? &Grid.VecCells[LngRow * Grid.LngCols] : nullptr;
    };
    for (long LngRow = 0; LngRow < Grid.LngRows; ++LngRow)
        Terrain.Row(Row(LngRow - 1), Row(LngRow), Row(LngRow + 1), &VecOut[LngRow * Grid.LngCols]);
    return VecOut;
}

TTerrainOptions Options(TProduct Product, bool BlnEdges = false, double DblScale = 1)
{
    TTerrainOptions Opt;
    Opt.Product = Product;
    Opt.BlnComputeEdges = BlnEdges;
    Opt.DblScale = DblScale;
    return Opt;
}

// dz/dx (east) and dz/dy (north), vertical units per horizontal unit.
struct TGradient {
    double DblEast;
    double DblNorth;
};

TGradient Horn(const TGrid& Grid, long LngRow, long LngCol, double DblScale)
{
    const auto Z = [&](long LngDr, long LngDc) { return Grid.At(LngRow + LngDr, LngCol + LngDc); };
    const double DblRun = 8 * Grid.DblCell * DblScale;
    return {(Z(-1, 1) + 2 * Z(0, 1) + Z(1, 1) - Z(-1, -1) - 2 * Z(0, -1) - Z(1, -1)) / DblRun,
            (Z(-1, -1) + 2 * Z(-1, 0) + Z(-1, 1) - Z(1, -1) - 2 * Z(1, 0) - Z(1, 1)) / DblRun};
}

double SlopeDegrees(TGradient Gradient)
{
    return std::atan(std::hypot(Gradient.DblEast, Gradient.DblNorth)) * 180 / Pi;
}

// The compass direction of steepest descent.
double DownhillAzimuth(TGradient Gradient)
{
    return std::fmod(std::atan2(-Gradient.DblEast, -Gradient.DblNorth) * 180 / Pi + 360, 360);
}

// The lambertian shade of a surface lit from azimuth and altitude, as
// gdaldem's byte: 1 + 254 * cos(incidence), 1 in the shadow.
double ShadeByte(TGradient Gradient, double DblAzimuth, double DblAltitude, double DblZ)
{
    const double DblSlope = std::atan(DblZ * std::hypot(Gradient.DblEast, Gradient.DblNorth));
    const double DblAspect = std::atan2(-Gradient.DblEast, -Gradient.DblNorth);
    const double DblZenith = (90 - DblAltitude) * Pi / 180;
    const double DblCosine =
        std::cos(DblZenith) * std::cos(DblSlope)
        + std::sin(DblZenith) * std::sin(DblSlope) * std::cos(DblAzimuth * Pi / 180 - DblAspect);
    return std::floor(1 + 254 * std::max(DblCosine, 0.0) + 0.5);
}

// No data as no data, NaN as NaN; values within 1e-5 of the expected value
// or 1e-4 (degrees), aspects as angles, hillshade bytes within one.
::testing::AssertionResult Near(double DblGot, double DblExpected, TProduct Product)
{
    double DblApart = std::fabs(DblGot - DblExpected);
    if (Product == TProduct::Aspect)
        DblApart = std::min(std::fmod(DblApart, 360.0), 360 - std::fmod(DblApart, 360.0));
    const double DblTolerance =
        Product == TProduct::Hillshade ? 1.0 : std::max(1e-4, 1e-5 * std::fabs(DblExpected));
    if (TNoData::IsMarker(DblGot) == TNoData::IsMarker(DblExpected)
        && std::isnan(DblGot) == std::isnan(DblExpected) && (std::isnan(DblGot) || DblApart <= DblTolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << DblGot << " where " << DblExpected << " was expected";
}

}  // namespace

TEST(TTerrain, PlanesHaveTheirSlopeAndAspectEverywhereTheWindowReaches)
{
    const struct {
        double DblEast, DblNorth, DblCell, DblScale;
    } ArrPlanes[] = {{1, 0, 1, 1}, {0, 1, 10, 1}, {-0.5, 0.25, 2, 1}, {2, -3, 30, 1}, {3, 4, 5, 2}};
    for (const auto& Plane : ArrPlanes)
        for (bool BlnEdges : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << Plane.DblEast << "x + " << Plane.DblNorth << "y, edges " << BlnEdges);
            const TGrid Grid = Surface(6, 5, Plane.DblCell, [&](double DblX, double DblY) {
                return Plane.DblEast * DblX + Plane.DblNorth * DblY;
            });
            const std::vector<double> VecSlope =
                Computed(Grid, Options(TProduct::Slope, BlnEdges, Plane.DblScale));
            const std::vector<double> VecAspect = Computed(Grid, Options(TProduct::Aspect, BlnEdges));
            for (long LngRow = 0; LngRow < Grid.LngRows; ++LngRow)
                for (long LngCol = 0; LngCol < Grid.LngCols; ++LngCol) {
                    // gdaldem repeats the edge column beside the corners of
                    // the first and last rows: half the slope along them.
                    const bool BlnCorner = (LngRow == 0 || LngRow == Grid.LngRows - 1)
                                           && (LngCol == 0 || LngCol == Grid.LngCols - 1);
                    const TGradient Gradient{Plane.DblEast * (BlnCorner ? 0.5 : 1.0), Plane.DblNorth};
                    const bool BlnValue = BlnEdges || !Grid.Border(LngRow, LngCol);
                    const std::size_t LngAt = static_cast<std::size_t>(LngRow * Grid.LngCols + LngCol);
                    const TGradient Scaled{Gradient.DblEast / Plane.DblScale,
                                           Gradient.DblNorth / Plane.DblScale};
                    EXPECT_TRUE(
                        Near(VecSlope[LngAt], BlnValue ? SlopeDegrees(Scaled) : NoData, TProduct::Slope));
                    EXPECT_TRUE(Near(VecAspect[LngAt], BlnValue ? DownhillAzimuth(Gradient) : NoData,
                                     TProduct::Aspect));
                }
        }
}

TEST(TTerrain, CurvedSurfacesAgreeWithTheTestsHornFormula)
{
    // In 64ths, so that Float32 holds the cells and Horn's sums exactly, as
    // gdaldem's arithmetic needs to match the formula in double.
    const auto Cone = [](double DblX, double DblY) {
        return std::round(64 * (500 - std::hypot(DblX - 103, DblY - 71))) / 64;
    };
    const auto Hills = [](double DblX, double DblY) {
        return std::round(64 * (200 + 40 * std::sin(DblX / 37) * std::cos(DblY / 23) + 0.01 * DblX * DblY))
               / 64;
    };
    const struct {
        double DblScale, DblZ, DblAzimuth, DblAltitude;
    } ArrLights[] = {{1, 1, 315, 45}, {1, 3, 90, 30}, {2, 1, 200, 60}, {0.5, 0.5, 0, 10}};
    for (const TGrid& Grid : {Surface(23, 17, 10, Cone), Surface(31, 19, 5, Hills)})
        for (const auto& Light : ArrLights) {
            TTerrainOptions Shade = Options(TProduct::Hillshade, false, Light.DblScale);
            Shade.DblZ = Light.DblZ;
            Shade.DblAzimuth = Light.DblAzimuth;
            Shade.DblAltitude = Light.DblAltitude;
            const std::vector<double> ArrGot[] = {
                Computed(Grid, Options(TProduct::Slope, false, Light.DblScale)), Computed(Grid, Shade),
                Computed(Grid, Options(TProduct::Aspect))};
            for (long LngRow = 1; LngRow + 1 < Grid.LngRows; ++LngRow)
                for (long LngCol = 1; LngCol + 1 < Grid.LngCols; ++LngCol) {
                    const TGradient Gradient = Horn(Grid, LngRow, LngCol, Light.DblScale);
                    const std::size_t LngAt = static_cast<std::size_t>(LngRow * Grid.LngCols + LngCol);
                    EXPECT_TRUE(Near(ArrGot[0][LngAt], SlopeDegrees(Gradient), TProduct::Slope));
                    EXPECT_TRUE(Near(ArrGot[1][LngAt],
                                     ShadeByte(Gradient, Light.DblAzimuth, Light.DblAltitude, Light.DblZ),
                                     TProduct::Hillshade));
                    EXPECT_TRUE(Near(ArrGot[2][LngAt], DownhillAzimuth(Horn(Grid, LngRow, LngCol, 1)),
                                     TProduct::Aspect));
                }
        }
}

TEST(TTerrain, GridsOfOneRowOrColumnHaveNoValueAndTwoByTwoHaveAll)
{
    const auto Ramp = [](double DblX, double DblY) { return DblX + 2 * DblY; };
    const struct {
        long LngCols, LngRows;
        bool BlnValues;
    } ArrShapes[] = {{1, 1, false}, {9, 1, false}, {1, 9, false}, {2, 2, true}, {2, 5, true}, {5, 2, true}};
    for (const auto& Shape : ArrShapes)
        for (TProduct Product : {TProduct::Slope, TProduct::Aspect, TProduct::Hillshade})
            for (bool BlnEdges : {false, true})
                for (double DblCell :
                     Computed(Surface(Shape.LngCols, Shape.LngRows, 1, Ramp), Options(Product, BlnEdges)))
                    EXPECT_EQ(TNoData::IsMarker(DblCell), !(Shape.BlnValues && BlnEdges))
                        << Shape.LngCols << " x " << Shape.LngRows;
}

namespace {

std::string GdaldemArguments(const TTerrainOptions& Opt)
{
    const char* const ArrProducts[] = {"slope", "aspect", "hillshade"};
    std::string StgArgs =
        ArrProducts[static_cast<int>(Opt.Product)] + std::string(Opt.BlnPercent ? " -p" : "");
    if (Opt.Product == TProduct::Hillshade)
        StgArgs += " -z " + ShortestText(Opt.DblZ) + " -alt " + ShortestText(Opt.DblAltitude)
                   + (Opt.Shading == TShading::Multidirectional
                          ? " -multidirectional"
                          : " -az " + ShortestText(Opt.DblAzimuth)
                                + (Opt.Shading == TShading::Combined ? " -combined" : ""));
    return StgArgs + " -s " + ShortestText(Opt.DblScale) + (Opt.BlnComputeEdges ? " -compute_edges" : "");
}

// gdaldem's cells of the file as it writes them raw (Float32, or bytes for
// shades); nothing when it fails or cannot read the file.
std::optional<std::vector<double>> GdaldemCells(const std::string& StgFile, const TTerrainOptions& Opt)
{
    const TTempDir Scratch;
    const TCommandResult Result = RunShell("gdaldem " + GdaldemArguments(Opt) + " -q -of ENVI "
                                           + ShellQuoted(StgFile) + " " + ShellQuoted(Scratch / "out.raw"));
    if (Result.LngStatus != 0 || Result.StgErr.find("ERROR") != std::string::npos)
        return std::nullopt;
    const std::string StgBytes = ReadText(Scratch / "out.raw");
    const bool BlnBytes = Opt.Product == TProduct::Hillshade;
    std::vector<double> VecCells;
    for (std::size_t LngAt = 0; LngAt + (BlnBytes ? 1 : 4) <= StgBytes.size(); LngAt += BlnBytes ? 1 : 4) {
        float FltCell = static_cast<unsigned char>(StgBytes[LngAt]);
        if (!BlnBytes)
            std::memcpy(&FltCell, StgBytes.data() + LngAt, sizeof FltCell);
        VecCells.push_back(FltCell);
    }
    return VecCells;
}

// The kernel on Grid (a file's cells as we read them) against gdaldem's
// cells of the file, at every cell that Compare(row, column) names:
// gdaldem's no-data value (0 for shades, also what NaN becomes in its bytes)
// as our marker.
template <class TCompare>
void ExpectGdaldem(const std::optional<std::vector<double>>& Gdal, const TGrid& Grid,
                   const TTerrainOptions& Opt, TCompare Compare)
{
    ASSERT_TRUE(Gdal) << GdaldemArguments(Opt);
    ASSERT_GE(Gdal->size(), Grid.VecCells.size());  // ENVI may pad a tiny file
    const std::vector<double> VecOurs = Computed(Grid, Opt);
    const bool BlnShade = Opt.Product == TProduct::Hillshade;
    long LngFailures = 0;
    for (long LngRow = 0; LngRow < Grid.LngRows; ++LngRow)
        for (long LngCol = 0; LngCol < Grid.LngCols && LngFailures < 5; ++LngCol) {
            const std::size_t LngAt = static_cast<std::size_t>(LngRow * Grid.LngCols + LngCol);
            if (!Compare(LngRow, LngCol))
                continue;
            const double DblOurs = BlnShade && std::isnan(VecOurs[LngAt]) ? NoData : VecOurs[LngAt];
            const double DblGdal = (*Gdal)[LngAt] == (BlnShade ? 0 : -9999) ? NoData : (*Gdal)[LngAt];
            const ::testing::AssertionResult Agrees = Near(DblOurs, DblGdal, Opt.Product);
            LngFailures += !Agrees;
            EXPECT_TRUE(Agrees) << GdaldemArguments(Opt) << " at row " << LngRow << ", column " << LngCol;
            Compared.Add();
            if (BlnShade && std::fabs(DblOurs - DblGdal) == 1)
                OffByOne.Add();
        }
}

std::string CorpusFolder()
{
    const char* PtrCorpus = std::getenv("PVX_GRID_CORPUS");
    return PtrCorpus ? PtrCorpus : PVX_SOURCE_DIR "/../shared/realworld-grids/files";
}

}  // namespace

TEST(TTerrainGdal, AGeneratedDemAgreesWithGdaldemInEveryProductAndOption)
{
    if (!GdalToolsInstalled())
        GTEST_SKIP() << "GDAL's tools are not installed";
    // Hills in decimals with holes, a flat lake and a NaN cell.
    TGrid Grid = Surface(37, 23, 25, [](double DblX, double DblY) {
        return std::round(100 * (900 + 60 * std::sin(DblX / 90) * std::cos(DblY / 70) + DblX / 40)) / 100;
    });
    for (long LngRow = 14; LngRow < 19; ++LngRow)
        std::fill_n(&Grid.VecCells[LngRow * Grid.LngCols + 20], 6, 850.5);
    Grid.VecCells[5 * Grid.LngCols + 7] = std::nan("");
    Grid.VecCells[9 * Grid.LngCols + 30] = NoData;
    Grid.VecCells[22 * Grid.LngCols] = NoData;
    TGridText Text{Grid.LngCols, Grid.LngRows, 0, 0, Grid.DblCell, -9999, Grid.VecCells};
    std::replace_if(Text.VecCells.begin(), Text.VecCells.end(), TNoData::IsMarker, -9999.0);
    const TTempDir Scratch;
    WriteText(Scratch / "dem.asc", GridFileText(Text));

    std::vector<TTerrainOptions> VecOptions = {Options(TProduct::Slope), Options(TProduct::Slope, false, 3),
                                               Options(TProduct::Aspect), Options(TProduct::Hillshade)};
    VecOptions[1].BlnPercent = true;
    for (TShading Shading : {TShading::Single, TShading::Multidirectional, TShading::Combined}) {
        VecOptions.push_back(Options(TProduct::Hillshade, false, 0.5));
        VecOptions.back().Shading = Shading;
        VecOptions.back().DblZ = 4;
        VecOptions.back().DblAzimuth = 100;
        VecOptions.back().DblAltitude = 25;
    }
    for (TTerrainOptions Opt : VecOptions)
        for (bool BlnEdges : {false, true}) {
            Opt.BlnComputeEdges = BlnEdges;
            ExpectGdaldem(GdaldemCells(Scratch / "dem.asc", Opt), Grid, Opt, [](long, long) { return true; });
        }
}

TEST(TTerrainGdal, RealDemsAgreeWithGdaldem)
{
    if (!GdalToolsInstalled())
        GTEST_SKIP() << "GDAL's tools are not installed";
    std::error_code Err;
    if (!std::filesystem::is_directory(CorpusFolder(), Err))
        GTEST_SKIP() << "no grid corpus at " << CorpusFolder();
    for (const auto& Entry : std::filesystem::directory_iterator(CorpusFolder())) {
        const std::string StgFile = Entry.path().string();
        SCOPED_TRACE(StgFile);
        std::unique_ptr<TMap> PtrMap;
        try {
            PtrMap.reset(TARCGISFileTools::LoadARCGISFile(StgFile, TGridDialect::Tolerant));
        } catch (const TError&) {
            continue;
        }
        const std::optional<std::vector<double>> Aspect = GdaldemCells(StgFile, Options(TProduct::Aspect));
        if (!Aspect)
            continue;  // GDAL cannot read it
        CorpusGrids.Add();
        const TNoData Marking(PtrMap->GetNoDataValue());
        TGrid Grid{PtrMap->GetXDim(), PtrMap->GetYDim(), PtrMap->GetResolution(), {}};
        for (long LngCell = 0; LngCell < Grid.LngCols * Grid.LngRows; ++LngCell)
            Grid.VecCells.push_back(Marking.Mark(PtrMap->GetCells()[LngCell]));
        // GDAL 3.6 takes a cell extrapolated past the border that equals the
        // no-data value for no data (later versions do not): where the
        // values can reach it so, the border is left out.
        TValueRange Range;
        Range.Add(Grid.VecCells.data(), Grid.VecCells.size());
        const double DblNoData = static_cast<float>(PtrMap->GetNoDataValue());
        const bool BlnReachable =
            DblNoData >= 2 * Range.Min() - Range.Max() && DblNoData <= 2 * Range.Max() - Range.Min();
        const auto Inside = [&](long LngRow, long LngCol) {
            return !(BlnReachable && Grid.Border(LngRow, LngCol));
        };
        ExpectGdaldem(Aspect, Grid, Options(TProduct::Aspect), [](long, long) { return true; });
        for (const TTerrainOptions& Opt :
             {Options(TProduct::Slope, true), Options(TProduct::Hillshade, true)})
            ExpectGdaldem(GdaldemCells(StgFile, Opt), Grid, Opt, Inside);
    }
}
