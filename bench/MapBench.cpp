// Times pvxMap as users run it, whole processes with their peak memory, on
// seeded grids of 2-decimal values with 5% no-data cells:
//   - the streaming goals, ratios within one run: average of 8 and add of
//     two beside pvxOverlay x 2 of one grid; calc beside gdal_calc.py and
//     beside add; the time per cell of add at 1M, 16M and 64M cells;
//   - every command on 8000 x 8000 grids (64M cells), its seconds and peak
//     memory;
//   - the formats and terrain goals: GeoTIFF and gzip beside gdal_translate,
//     gzip and gunzip; hillshade beside gdaldem, render beside pvxOverlay;
//   - the peers where installed: gdal_calc.py, gdalwarp, gdal_translate;
//   - with --large, convert of a 20000 x 20000 grid (400M cells, 3.5 GB).
// Prints figures; passes or fails nothing.
//
//   MapBench [--runs N] [--dir DIR] [--large]
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchProcess.h"

namespace fs = std::filesystem;

namespace {

using TArgs = std::vector<std::string>;

// The median of LngRuns runs of a command line (a program and its arguments).
TRun Time(const TArgs& VecArgs, int LngRuns, const std::string& StgStdout = "")
{
    std::vector<TRun> VecRuns;
    for (int LngRun = 0; LngRun < LngRuns; ++LngRun)
        VecRuns.push_back(RunOnce({VecArgs[0], VecArgs, "", StgStdout}));
    return Median(VecRuns);
}

void PrintRun(const std::string& StgName, const TRun& Run, const std::string& StgNote = "")
{
    std::printf("%-52s %8.2f %9.1f%s%s\n", StgName.c_str(), Run.DblSeconds,
                static_cast<double>(Run.LngPeakKiB) / 1024.0, Run.BlnOk ? "" : "  (failed)",
                StgNote.c_str());
}

TArgs Map(TArgs VecArgs)
{
    VecArgs.insert(VecArgs.begin(), PVX_MAP_BINARY);
    VecArgs.push_back("-q");
    return VecArgs;
}

void Goals(const fs::path& PthDir, int LngRuns)
{
    std::vector<std::string> VecGrids;
    for (unsigned LngSeed = 1; LngSeed <= 8; ++LngSeed)
        VecGrids.push_back(SeededGrid(PthDir, 4000, 4000, LngSeed));
    const std::string StgOut = (PthDir / "map-out.asc").string();
    const std::string StgTif = (PthDir / "map-out.tif").string();
    const std::string& StgA = VecGrids[0];
    const std::string& StgB = VecGrids[1];
    TArgs VecAverage = {"average"};
    VecAverage.insert(VecAverage.end(), VecGrids.begin(), VecGrids.end());
    VecAverage.insert(VecAverage.end(), {"-o", StgOut});

    const TRun Overlay = Time({PVX_OVERLAY_BINARY, StgA, StgOut, "x", "2"}, LngRuns);
    const TRun Average = Time(Map(VecAverage), LngRuns);
    const TRun Add = Time(Map({"add", StgA, StgB, "-o", StgOut}), LngRuns);
    const TRun Calc = Time(Map({"calc", "a * (b > 0)", "a=" + StgA, "b=" + StgB, "-o", StgOut}), LngRuns);
    std::printf("\n4000 x 4000 grids (120 MB each), median of %d runs\n", LngRuns);
    std::printf("%-52s %8s %9s\n", "", "seconds", "peak MiB");
    PrintRun("pvxOverlay x 2", Overlay);
    PrintRun("pvxMap average of 8", Average);
    PrintRun("pvxMap add", Add);
    PrintRun("pvxMap calc 'a * (b > 0)'", Calc);
    std::printf("%-52s %8.2f   (goal <= 3.5)\n", "average of 8 / pvxOverlay", Average.DblSeconds / Overlay.DblSeconds);
    std::printf("%-52s %8.2f   (goal <= 1.4)\n", "add / pvxOverlay", Add.DblSeconds / Overlay.DblSeconds);
    std::printf("%-52s %8.2f   (goal <= 1.15)\n", "calc / add", Calc.DblSeconds / Add.DblSeconds);
    if (Installed("gdal_calc.py")) {
        const TRun Peer = Time({"gdal_calc.py", "--quiet", "--overwrite", "--type=Float64", "-A", StgA, "-B", StgB,
                                "--outfile=" + StgTif, "--calc=A*(B>0)"},
                               1);
        PrintRun("gdal_calc.py --calc 'A*(B>0)' (GeoTIFF out)", Peer);
        std::printf("%-52s %8.2f   (goal <= 0.2)\n", "calc / gdal_calc.py", Calc.DblSeconds / Peer.DblSeconds);
    }

    std::printf("\nadd, time per cell by size, median of %d runs\n", LngRuns);
    std::vector<double> VecPerCell;
    for (const long LngSide : {1000L, 4000L, 8000L}) {
        const TRun Run = Time(Map({"add", SeededGrid(PthDir, LngSide, LngSide, 1), SeededGrid(PthDir, LngSide, LngSide, 2), "-o", StgOut}),
                              LngRuns);
        VecPerCell.push_back(Run.DblSeconds / static_cast<double>(LngSide * LngSide) * 1e9);
        std::printf("%5ld x %-5ld %8.2f s %9.1f MiB %8.1f ns / cell\n", LngSide, LngSide, Run.DblSeconds,
                    static_cast<double>(Run.LngPeakKiB) / 1024.0, VecPerCell.back());
    }
    std::printf("largest / smallest ns per cell %.2f   (goal: flat within 20%%)\n",
                *std::max_element(VecPerCell.begin(), VecPerCell.end())
                    / *std::min_element(VecPerCell.begin(), VecPerCell.end()));
}

// Every command once on 8000 x 8000 grids: its time and peak memory.
void EveryCommand(const fs::path& PthDir)
{
    const std::string StgA = SeededGrid(PthDir, 8000, 8000, 1);
    const std::string StgB = SeededGrid(PthDir, 8000, 8000, 2);
    const std::string StgOut = (PthDir / "map-out.asc").string();
    const std::string StgPattern = (PthDir / "map-out-{}.asc").string();
    const std::string StgTable = (PthDir / "map-table.csv").string();
    const std::string StgPoints = (PthDir / "map-points.csv").string();
    {
        std::FILE* PtrTable = std::fopen(StgTable.c_str(), "w");
        for (int LngClass = 0; LngClass < 4000; LngClass += 10)
            std::fprintf(PtrTable, "%d,%d\n", LngClass, LngClass / 100);
        std::fclose(PtrTable);
        std::FILE* PtrPoints = std::fopen(StgPoints.c_str(), "w");
        for (int LngPoint = 0; LngPoint < 1000; ++LngPoint)
            std::fprintf(PtrPoints, "%.1f,%.1f\n", 512345.5 + 239.0 * LngPoint, 4512345.5 + 233.0 * LngPoint);
        std::fclose(PtrPoints);
    }
    const std::vector<std::pair<std::string, TArgs>> VecCommands = {
        {"info", {"info", StgA}},
        {"convert", {"convert", StgA, "-o", StgOut}},
        {"scale", {"scale", StgA, "x", "2", "-o", StgOut}},
        {"add", {"add", StgA, StgB, "-o", StgOut}},
        {"subtract", {"subtract", StgA, StgB, "-o", StgOut}},
        {"multiply", {"multiply", StgA, StgB, "-o", StgOut}},
        {"divide", {"divide", StgA, StgB, "-o", StgOut}},
        {"sum of 3", {"sum", StgA, StgB, StgA, "-o", StgOut}},
        {"average of 3", {"average", StgA, StgB, StgA, "-o", StgOut}},
        {"count of 3", {"count", StgA, StgB, StgA, "-o", StgOut}},
        {"moving-average of 3, window 2", {"moving-average", StgA, StgB, StgA, "--window", "2", "-o", StgPattern}},
        {"gradients of 3, window 1", {"gradients", StgA, StgB, StgA, "--window", "1", "-o", StgPattern}},
        {"threshold", {"threshold", StgA, "1000", "-o", StgOut}},
        {"reclass, 400 rules", {"reclass", StgA, StgTable, "-o", StgOut}},
        {"round", {"round", StgA, "-o", StgOut}},
        {"mask", {"mask", StgA, StgB, "-o", StgOut}},
        {"calc 3 x 3 mean", {"calc", "(a[-1,-1]+a[-1,0]+a[-1,1]+a[0,-1]+a+a[0,1]+a[1,-1]+a[1,0]+a[1,1])/9",
                             "a=" + StgA, "-o", StgOut}},
        {"values (400,000 distinct)", {"values", StgA}},
        {"zonal", {"zonal", StgA, StgB}},
        {"resample to twice the cell size", {"resample", StgA, "60", "-o", StgOut}},
        {"resample to half the cell size (256M cells)", {"resample", StgA, "15", "-o", StgOut}},
        {"subdivide by 2 (256M cells)", {"subdivide", StgA, "2", "-o", StgOut}},
        {"extract the middle", {"extract", StgA, "572345.5", "4572345.5", "692345.5", "4692345.5", "-o", StgOut}},
        {"insert", {"insert", StgA, SeededGrid(PthDir, 4000, 4000, 1), "-o", StgOut}},
        {"intersect", {"intersect", StgA, SeededGrid(PthDir, 4000, 4000, 2), "-o", StgPattern}},
        {"sample 1000 points", {"sample", StgPoints, StgA, StgB}},
        {"dump", {"dump", StgA}},
        {"slope", {"slope", StgA, "-o", StgOut}},
        {"hillshade", {"hillshade", StgA, "-o", StgOut}},
        {"render --hillshade --legend", {"render", StgA, "-o", (PthDir / "map-out.png").string(), "--hillshade", "--legend"}},
        {"convert to GeoTIFF", {"convert", StgA, "-o", (PthDir / "map-out.tif").string()}},
        {"convert to gzip", {"convert", StgA, "-o", (PthDir / "map-out.asc.gz").string()}},
    };
    std::printf("\nEvery command on 8000 x 8000 grids (64M cells, 480 MB each), one run\n");
    std::printf("%-52s %8s %9s\n", "", "seconds", "peak MiB");
    for (const auto& [StgName, VecArgs] : VecCommands)
        PrintRun(StgName, Time(Map(VecArgs), 1));
}

// A goal's ratio of two runs within one round, printed with the goal.
void PrintRatio(const std::string& StgName, const TRun& Ours, const TRun& Peer, const char* StgGoal)
{
    std::printf("%-52s %8.2f   (goal %s)\n", StgName.c_str(), Ours.DblSeconds / Peer.DblSeconds, StgGoal);
}

// Reading and writing the grids users hold, beside GDAL, gzip and gunzip.
void FormatGoals(const fs::path& PthDir, int LngRuns)
{
    if (!Installed("gdal_translate"))
        return;
    const std::string StgAsc = SeededGrid(PthDir, 4000, 4000, 1);
    const std::string StgTif = (PthDir / "map-in.tif").string();
    const std::string StgGz = (PthDir / "map-in.asc.gz").string();
    const std::string StgOutAsc = (PthDir / "map-out.asc").string();
    const std::string StgOutTif = (PthDir / "map-out.tif").string();
    const std::string StgOutGz = (PthDir / "map-out.asc.gz").string();
    Time(Map({"convert", StgAsc, "-o", StgTif}), 1);
    Time(Map({"convert", StgAsc, "-o", StgGz}), 1);
    std::printf("\nFormats, 4000 x 4000, median of %d runs (peers once)\n", LngRuns);
    std::printf("%-52s %8s %9s\n", "", "seconds", "peak MiB");
    const TRun FromTif = Time(Map({"convert", StgTif, "-o", StgOutAsc}), LngRuns);
    const TRun GdalFromTif = Time({"gdal_translate", "-q", "-of", "AAIGrid", StgTif, StgOutAsc}, 1);
    const TRun ToTif = Time(Map({"convert", StgAsc, "-o", StgOutTif}), LngRuns);
    const TRun GdalToTif = Time({"gdal_translate", "-q", "-co", "TILED=YES", "-co", "COMPRESS=DEFLATE", "-co",
                                 "PREDICTOR=3", "-oo", "DATATYPE=Float64", StgAsc, StgOutTif},
                                1);
    const TRun FromGz = Time(Map({"convert", StgGz, "-o", StgOutAsc}), LngRuns);
    const TRun Gunzip = Time({"gunzip", "-c", StgGz}, LngRuns, StgOutAsc);
    const TRun ToGz = Time(Map({"convert", StgAsc, "-o", StgOutGz}), LngRuns);
    const TRun Gzip = Time({"gzip", "-6", "-c", StgAsc}, 1, StgOutGz);
    PrintRun("pvxMap convert dem.tif -o dem.asc", FromTif);
    PrintRun("gdal_translate -of AAIGrid dem.tif dem.asc", GdalFromTif);
    PrintRun("pvxMap convert dem.asc -o dem.tif", ToTif);
    PrintRun("gdal_translate (tiled, DEFLATE, predictor 3)", GdalToTif);
    PrintRun("pvxMap convert dem.asc.gz -o dem.asc", FromGz);
    PrintRun("gunzip -c dem.asc.gz > dem.asc", Gunzip);
    PrintRun("pvxMap convert dem.asc -o dem.asc.gz", ToGz);
    PrintRun("gzip -6 -c dem.asc > dem.asc.gz", Gzip);
    PrintRatio("convert tif to asc / gdal_translate", FromTif, GdalFromTif, "<= 0.1");
    PrintRatio("convert asc to tif / gdal_translate", ToTif, GdalToTif, "<= 0.2");
    PrintRatio("convert gz to asc / gunzip", FromGz, Gunzip, "<= 1.5");
    PrintRatio("convert asc to gz / gzip -6", ToGz, Gzip, "<= 0.7");
}

// Terrain and images beside gdaldem and pvxOverlay.
void TerrainGoals(const fs::path& PthDir, int LngRuns)
{
    const std::string StgDem = SeededGrid(PthDir, 4000, 4000, 1);
    const std::string StgOut = (PthDir / "map-out.asc").string();
    const std::string StgPng = (PthDir / "map-out.png").string();
    std::printf("\nTerrain and images, 4000 x 4000, median of %d runs (gdaldem once)\n", LngRuns);
    std::printf("%-52s %8s %9s\n", "", "seconds", "peak MiB");
    const TRun Overlay = Time({PVX_OVERLAY_BINARY, StgDem, StgOut, "x", "2"}, LngRuns);
    const TRun Shade = Time(Map({"hillshade", StgDem, "-o", StgOut}), LngRuns);
    const TRun Slope = Time(Map({"slope", StgDem, "-o", StgOut}), LngRuns);
    const TRun Render = Time(Map({"render", StgDem, "-o", StgPng, "--hillshade"}), LngRuns);
    const TRun Thumbnail = Time(Map({"render", StgDem, "-o", StgPng, "--hillshade", "--width", "400", "--legend"}), LngRuns);
    PrintRun("pvxOverlay x 2", Overlay);
    PrintRun("pvxMap hillshade", Shade);
    PrintRun("pvxMap slope", Slope);
    PrintRun("pvxMap render --hillshade", Render);
    PrintRun("pvxMap render --hillshade --width 400 --legend", Thumbnail);
    PrintRatio("render --hillshade / pvxOverlay x 2", Render, Overlay, "<= 1.5");
    if (Installed("gdaldem")) {
        const TRun Gdal = Time({"gdaldem", "hillshade", "-q", "-of", "AAIGrid", StgDem, StgOut}, 1);
        PrintRun("gdaldem hillshade (ASCII grid out)", Gdal);
        PrintRatio("hillshade / gdaldem hillshade", Shade, Gdal, "<= 0.2");
    }
}

// The peers doing the same work as pvxMap.
void Peers(const fs::path& PthDir)
{
    const std::string StgA = SeededGrid(PthDir, 4000, 4000, 1);
    const std::string StgB = SeededGrid(PthDir, 4000, 4000, 2);
    const std::string StgOut = (PthDir / "map-out.asc").string();
    const std::string StgTif = (PthDir / "map-out.tif").string();
    std::printf("\n4000 x 4000 beside the peers, one run each\n");
    std::printf("%-52s %8s %9s\n", "", "seconds", "peak MiB");
    PrintRun("pvxMap resample to 15 (64M cells)", Time(Map({"resample", StgA, "15", "-o", StgOut}), 1));
    if (Installed("gdalwarp"))
        PrintRun("gdalwarp -tr 15 15 -r bilinear",
                 Time({"gdalwarp", "-q", "-overwrite", "-oo", "DATATYPE=Float64", "-tr", "15", "15", "-r", "bilinear",
                       "-of", "AAIGrid", StgA, StgOut},
                      1));
    PrintRun("pvxMap convert", Time(Map({"convert", StgA, "-o", StgOut}), 1));
    if (Installed("gdal_translate"))
        PrintRun("gdal_translate -of AAIGrid", Time({"gdal_translate", "-q", "-of", "AAIGrid", StgA, StgOut}, 1));
    PrintRun("pvxMap add", Time(Map({"add", StgA, StgB, "-o", StgOut}), 1));
    if (Installed("gdal_calc.py"))
        PrintRun("gdal_calc.py A+B (GeoTIFF out)", Time({"gdal_calc.py", "--quiet", "--overwrite", "--type=Float64",
                                                        "-A", StgA, "-B", StgB, "--outfile=" + StgTif, "--calc=A+B"},
                                                       1));
}

}  // namespace

int main(int argc, char** argv)
{
    TBenchOptions Options{3};
    if (!ReadBenchOptions(argc, argv, "usage: MapBench [--runs N] [--dir DIR] [--large]", "--large", Options))
        return 2;
    const fs::path PthDir = Options.StgDir;
    fs::create_directories(PthDir);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Goals(PthDir, Options.LngRuns);
    FormatGoals(PthDir, Options.LngRuns);
    TerrainGoals(PthDir, Options.LngRuns);
    EveryCommand(PthDir);
    Peers(PthDir);
    if (Options.BlnFlag) {
        const std::string StgLarge = SeededGrid(PthDir, 20000, 20000, 1);
        std::printf("\n20000 x 20000 (400M cells, 3.5 GB), one run\n");
        PrintRun("pvxMap convert", Time(Map({"convert", StgLarge, "-o", (PthDir / "map-out.asc").string()}), 1));
    }
    for (const auto& Entry : fs::directory_iterator(PthDir))
        if (Entry.path().filename().string().rfind("map-out", 0) == 0)
            fs::remove(Entry.path());
    return 0;
}
