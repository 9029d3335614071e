// Times tiles as a batch system runs them, whole processes with their peak
// memory, on seeded grids of 2-decimal values with 5% no-data cells:
//   - an 8000 x 8000 grid cut into 16 tiles with an overlap of 1, the slope
//     of each tile, and the mosaic of the slopes, beside the slope of the
//     whole grid, and whether the two are the same bytes;
//   - the mosaic of 1,000 tiles of 500 x 500 (250M cells): its peak memory
//     beside 64 MiB and a row of the result, its time beside gdalbuildvrt
//     and gdal_translate -of AAIGrid of the same tiles.
// Prints figures; passes or fails nothing.
//
//   TilesBench [--dir DIR]
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchProcess.h"

namespace fs = std::filesystem;

namespace {

using TArgs = std::vector<std::string>;

TRun Time(const TArgs& VecArgs, const std::string& StgStdout = "")
{
    return RunOnce({VecArgs[0], VecArgs, "", StgStdout});
}

TArgs Map(TArgs VecArgs)
{
    VecArgs.insert(VecArgs.begin(), PVX_MAP_BINARY);
    VecArgs.push_back("-q");
    return VecArgs;
}

double MiB(long LngKiB)
{
    return static_cast<double>(LngKiB) / 1024.0;
}

void PrintRun(const std::string& StgName, const TRun& Run)
{
    std::printf("%-52s %8.2f %9.1f%s\n", StgName.c_str(), Run.DblSeconds, MiB(Run.LngPeakKiB),
                Run.BlnOk ? "" : "  (failed)");
}

std::vector<std::string> Lines(const std::string& StgFile)
{
    std::ifstream Stream(StgFile);
    std::vector<std::string> VecLines;
    for (std::string StgLine; std::getline(Stream, StgLine);)
        VecLines.push_back(StgLine);
    return VecLines;
}

bool SameBytes(const std::string& StgA, const std::string& StgB)
{
    std::ifstream StreamA(StgA, std::ios::binary), StreamB(StgB, std::ios::binary);
    return StreamA && StreamB
        && std::equal(std::istreambuf_iterator<char>(StreamA), std::istreambuf_iterator<char>(),
                      std::istreambuf_iterator<char>(StreamB), std::istreambuf_iterator<char>());
}

// Cuts the grid into tiles in a folder of their own; the list of their names.
std::string Tiles(const fs::path& PthDir, const std::string& StgGrid, const std::string& StgSize,
                  const std::string& StgOverlap, const std::string& StgLabel)
{
    const fs::path PthTiles = PthDir / ("tiles-" + StgSize + "-" + StgOverlap);
    fs::remove_all(PthTiles);
    fs::create_directories(PthTiles);
    const std::string StgList = (PthTiles / "list.txt").string();
    PrintRun(StgLabel, Time(Map({"tile", StgGrid, "--size", StgSize, "--overlap", StgOverlap, "-o",
                                 (PthTiles / "t-{row}-{col}.asc").string()}),
                            StgList));
    return StgList;
}

void SlopeByTiles(const fs::path& PthDir)
{
    const std::string StgGrid = SeededGrid(PthDir, 8000, 8000, 1);
    const std::string StgWhole = (PthDir / "tiles-out-whole.asc").string();
    const std::string StgMosaic = (PthDir / "tiles-out-mosaic.asc").string();
    std::printf("\n8000 x 8000 (64M cells), slope whole and in 16 tiles of 2000 x 2000, overlap 1, one run\n");
    std::printf("%-52s %8s %9s\n", "", "seconds", "peak MiB");
    const TRun Whole = Time(Map({"slope", StgGrid, "-o", StgWhole}));
    PrintRun("pvxMap slope of the whole grid", Whole);
    const std::string StgList = Tiles(PthDir, StgGrid, "2000", "1", "pvxMap tile --size 2000 --overlap 1");
    TRun Slopes;
    std::ofstream SlopeList(StgList + ".slopes");
    for (const std::string& StgTile : Lines(StgList)) {
        const std::string StgSlope = StgTile.substr(0, StgTile.size() - 4) + "-slope.asc";
        const TRun Run = Time(Map({"slope", StgTile, "-o", StgSlope}));
        Slopes.DblSeconds += Run.DblSeconds;
        Slopes.LngPeakKiB = std::max(Slopes.LngPeakKiB, Run.LngPeakKiB);
        Slopes.BlnOk = Run.BlnOk;
        SlopeList << StgSlope << "\n";
    }
    SlopeList.close();
    PrintRun("pvxMap slope of each tile, one after another", Slopes);
    const TRun Mosaic = Time(Map({"mosaic", "--from", StgList + ".slopes", "--overlap", "1", "-o", StgMosaic}));
    PrintRun("pvxMap mosaic --overlap 1 of the 16 slopes", Mosaic);
    std::printf("the mosaic and the whole grid's slope are %s\n",
                SameBytes(StgWhole, StgMosaic) ? "the same bytes" : "NOT the same bytes");
}

void ThousandTiles(const fs::path& PthDir)
{
    const long LngCols = 20000, LngRows = 12500;
    const std::string StgGrid = SeededGrid(PthDir, LngCols, LngRows, 3);
    const std::string StgOut = (PthDir / "tiles-out-mosaic.asc").string();
    std::printf("\n1,000 tiles of 500 x 500 (250M cells) from a 20000 x 12500 grid, one run\n");
    std::printf("%-52s %8s %9s\n", "", "seconds", "peak MiB");
    const std::string StgList = Tiles(PthDir, StgGrid, "500", "0", "pvxMap tile --size 500");
    const TRun Ours = Time(Map({"mosaic", "--from", StgList, "-o", StgOut}));
    PrintRun("pvxMap mosaic --from (1,000 tiles)", Ours);
    const double DblLimit = 64.0 + static_cast<double>(LngCols) * 8 / (1 << 20);
    std::printf("%-52s %8.1f MiB   (goal <= %.1f: 64 MiB and a row)\n", "peak memory of the mosaic", MiB(Ours.LngPeakKiB),
                DblLimit);
    if (!Installed("gdalbuildvrt") || !Installed("gdal_translate"))
        return;
    const std::string StgVrt = (PthDir / "tiles-out.vrt").string();
    const TRun Vrt = Time({"gdalbuildvrt", "-q", "-overwrite", "-input_file_list", StgList, StgVrt});
    const TRun Translate = Time({"gdal_translate", "-q", "-of", "AAIGrid", StgVrt, StgOut});
    PrintRun("gdalbuildvrt", Vrt);
    PrintRun("gdal_translate -of AAIGrid", Translate);
    std::printf("%-52s %8.3f   (goal <= 0.2)\n", "mosaic / (gdalbuildvrt + gdal_translate)",
                Ours.DblSeconds / (Vrt.DblSeconds + Translate.DblSeconds));
}

}  // namespace

int main(int argc, char** argv)
{
    TBenchOptions Options{1};
    if (!ReadBenchOptions(argc, argv, "usage: TilesBench [--dir DIR]", nullptr, Options))
        return 2;
    const fs::path PthDir = Options.StgDir;
    fs::create_directories(PthDir);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    SlopeByTiles(PthDir);
    ThousandTiles(PthDir);
    for (const auto& Entry : fs::directory_iterator(PthDir))
        if (Entry.path().filename().string().rfind("tiles-", 0) == 0)
            fs::remove_all(Entry.path());
    return 0;
}
