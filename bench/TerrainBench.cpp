// Times slope, aspect and the hillshades, three rows at a time, and the
// colour ramp on a seeded 4000 x 4000 DEM, one thread (wall and CPU ns a
// cell), and the PNG of the coloured map; beside them, whole processes on
// the DEM as an ASCII grid: gdaldem hillshade, and pvxMap convert, the text
// a streamed hillshade reads and writes. Prints figures; passes or fails
// nothing.
//
//   TerrainBench [--runs N] [--dir DIR]
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <streambuf>
#include <string>
#include <vector>

#include "bench/BenchProcess.h"
#include "bench/BenchTiming.h"
#include "formats/TPngWriter.h"
#include "ops/TColourRamp.h"
#include "ops/TTerrain.h"
#include "util/TNoData.h"
#include "util/TTextWriter.h"

namespace fs = std::filesystem;

namespace {

const long Side = 4000;

// Hills and valleys in 2-decimal metres, with a few no-data lakes.
std::vector<double> Dem()
{
    std::mt19937_64 Random(11);
    std::uniform_real_distribution<double> Noise(-0.5, 0.5);
    std::vector<double> VecCells(static_cast<std::size_t>(Side * Side));
    for (long LngRow = 0; LngRow < Side; ++LngRow)
        for (long LngCol = 0; LngCol < Side; ++LngCol) {
            const double DblHeight = 1200 + 400 * std::sin(LngRow / 170.0) * std::cos(LngCol / 230.0)
                                     + 60 * std::sin(LngCol / 23.0 + LngRow / 41.0) + Noise(Random);
            const bool BlnLake = std::hypot(LngRow % 900 - 450, LngCol % 1100 - 550) < 40;
            VecCells[static_cast<std::size_t>(LngRow * Side + LngCol)] =
                BlnLake ? TNoData::Marker() : std::round(DblHeight * 100) / 100;
        }
    return VecCells;
}

void WriteAscii(const std::vector<double>& VecCells, const std::string& StgName)
{
    std::ofstream Stream(StgName, std::ios::binary);
    TTextWriter Text(Stream);
    Text.Put("ncols " + std::to_string(Side) + "\nnrows " + std::to_string(Side)
             + "\nxllcorner 500000\nyllcorner 4500000\ncellsize 30\nNODATA_value -9999\n");
    std::vector<double> VecRow(static_cast<std::size_t>(Side));
    for (long LngRow = 0; LngRow < Side; ++LngRow) {
        for (long LngCol = 0; LngCol < Side; ++LngCol) {
            const double DblCell = VecCells[static_cast<std::size_t>(LngRow * Side + LngCol)];
            VecRow[static_cast<std::size_t>(LngCol)] = TNoData::IsMarker(DblCell) ? -9999 : DblCell;
        }
        Text.PutCells(VecRow.data(), VecRow.size(), ' ');
        Text.EndLine();
    }
    Text.Flush();
}

// Counts the bytes written to it and keeps none.
class TCountingBuffer : public std::streambuf {
public:
    long long Bytes() const { return MbrLngBytes; }

protected:
    std::streamsize xsputn(const char*, std::streamsize LngCount) override
    {
        MbrLngBytes += LngCount;
        return LngCount;
    }
    int_type overflow(int_type LngChar) override
    {
        ++MbrLngBytes;
        return LngChar;
    }

private:
    long long MbrLngBytes = 0;
};

void PrintCells(const char* StgName, const TTimes& Times)
{
    const double DblCells = static_cast<double>(Side * Side);
    std::printf("%-34s %8.2f %8.2f\n", StgName, Times.DblWall * 1e9 / DblCells,
                Times.DblCpu * 1e9 / DblCells);
}

void PrintProcess(const std::string& StgName, const std::vector<std::string>& VecArgs, int LngRuns)
{
    if (!Installed(VecArgs[0])) {
        std::printf("%-44s not installed\n", StgName.c_str());
        return;
    }
    std::vector<TRun> VecRuns;
    for (int LngRun = 0; LngRun < LngRuns; ++LngRun)
        VecRuns.push_back(RunOnce({StgName, VecArgs, "", ""}));
    const TRun Run = Median(VecRuns);
    std::printf("%-44s %8.2f %8.2f%s\n", StgName.c_str(), Run.DblSeconds, Run.DblCpuSeconds,
                Run.BlnOk ? "" : "  (failed)");
}

}  // namespace

int main(int argc, char** argv)
{
    TBenchOptions Options{3};
    if (!ReadBenchOptions(argc, argv, "usage: TerrainBench [--runs N] [--dir DIR]", nullptr, Options))
        return 2;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::vector<double> VecDem = Dem();
    std::vector<double> VecOut(VecDem.size());
    const TGridFrame Frame{Side, Side, 500000, 4500000, 30};
    const auto Row = [&](long LngRow) {
        return LngRow >= 0 && LngRow < Side ? &VecDem[static_cast<std::size_t>(LngRow * Side)] : nullptr;
    };

    using TProduct = TTerrainOptions::TProduct;
    using TShading = TTerrainOptions::TShading;
    const struct {
        const char* StgName;
        TProduct Product;
        TShading Shading;
    } ArrKernels[] = {{"slope", TProduct::Slope, TShading::Single},
                      {"aspect", TProduct::Aspect, TShading::Single},
                      {"hillshade", TProduct::Hillshade, TShading::Single},
                      {"hillshade -multidirectional", TProduct::Hillshade, TShading::Multidirectional},
                      {"hillshade -combined", TProduct::Hillshade, TShading::Combined}};
    std::printf("%ld x %ld DEM, one thread, median of %d runs, ns / cell\n", Side, Side, Options.LngRuns);
    std::printf("%-34s %8s %8s\n", "", "wall", "CPU");
    for (const auto& Kernel : ArrKernels) {
        TTerrainOptions Terrain;
        Terrain.Product = Kernel.Product;
        Terrain.Shading = Kernel.Shading;
        const TTerrain Kernels(Terrain, Frame);
        PrintCells(Kernel.StgName, MedianTimes(Options.LngRuns, [&] {
                       for (long LngRow = 0; LngRow < Side; ++LngRow)
                           Kernels.Row(Row(LngRow - 1), Row(LngRow), Row(LngRow + 1),
                                       &VecOut[static_cast<std::size_t>(LngRow * Side)]);
                   }));
    }
    const TColourRamp Viridis(TColourTable::Named("viridis"), 0, 2000);
    std::vector<std::uint8_t> VecRgba(4 * VecDem.size());
    PrintCells("viridis ramp", MedianTimes(Options.LngRuns, [&] {
                   Viridis.Colours(VecDem.data(), VecDem.size(), VecRgba.data());
               }));
#ifdef PVX_WITH_PNG
    TCountingBuffer Counter;
    PrintCells("PNG of the coloured map", MedianTimes(Options.LngRuns, [&] {
                   std::ostream Stream(&Counter);
                   TPngWriter Writer(Stream, Side, Side);
                   for (long LngRow = 0; LngRow < Side; ++LngRow)
                       Writer.WriteRow(&VecRgba[4 * static_cast<std::size_t>(LngRow * Side)]);
                   Writer.Finish();
               }));
    std::printf("%-34s %8.1f MB\n", "PNG size", static_cast<double>(Counter.Bytes()) / Options.LngRuns / 1e6);
#endif

    const fs::path PthDir = Options.StgDir;
    fs::create_directories(PthDir);
    const std::string StgDem = (PthDir / "terrain-dem.asc").string();
    WriteAscii(VecDem, StgDem);
    std::printf("\n%s, whole processes, median of %d runs\n", StgDem.c_str(), Options.LngRuns);
    std::printf("%-44s %8s %8s\n", "", "seconds", "CPU s");
    const std::string StgTif = (PthDir / "terrain-out.tif").string();
    const std::string StgAsc = (PthDir / "terrain-out.asc").string();
    PrintProcess("gdaldem hillshade (GeoTIFF out)", {"gdaldem", "hillshade", "-q", StgDem, StgTif},
                 Options.LngRuns);
    PrintProcess("gdaldem hillshade -of AAIGrid",
                 {"gdaldem", "hillshade", "-q", "-of", "AAIGrid", StgDem, StgAsc}, Options.LngRuns);
    PrintProcess("pvxMap convert (a hillshade's text)",
                 {PVX_MAP_BINARY, "convert", "-q", StgDem, "-o", StgAsc}, Options.LngRuns);
    for (const char* PtrName : {"terrain-dem.asc", "terrain-out.tif", "terrain-out.asc", "terrain-out.prj",
                                "terrain-out.asc.aux.xml"})
        fs::remove(PthDir / PtrName);
    return 0;
}
