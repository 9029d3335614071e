// Times pvxMap add, average of 8, resample to half the cell size and convert
// on generated 4000 x 4000 grids, whole process with peak memory, beside
// gdal_calc.py and gdalwarp doing the same work where installed. Prints
// figures; passes or fails nothing.
//
//   MapBench [--runs N] [--dir DIR]
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchProcess.h"

namespace fs = std::filesystem;

namespace {

struct TCase {
    std::string StgName;
    std::vector<std::string> VecArgs;
};

// Prints the case's median run; returns its seconds (0 when not installed).
double Report(const TCase& Case, int LngRuns, double DblBase)
{
    if (Case.VecArgs.empty()) {
        std::printf("%-34s not installed\n", Case.StgName.c_str());
        return 0;
    }
    std::vector<TRun> VecRuns;
    for (int LngRun = 0; LngRun < LngRuns; ++LngRun)
        VecRuns.push_back(RunOnce({Case.StgName, Case.VecArgs, "", ""}));
    const TRun Run = Median(VecRuns);
    std::printf("%-34s %9.2f %10.1f %9.1fx%s\n", Case.StgName.c_str(), Run.DblSeconds,
                static_cast<double>(Run.LngPeakKiB) / 1024.0,
                DblBase > 0 ? Run.DblSeconds / DblBase : 1.0, Run.BlnOk ? "" : "  (failed)");
    return Run.DblSeconds;
}

}  // namespace

int main(int argc, char** argv)
{
    TBenchOptions Options{3};
    if (!ReadBenchOptions(argc, argv, "usage: MapBench [--runs N] [--dir DIR]", nullptr, Options))
        return 2;
    const int LngRuns = Options.LngRuns;
    const fs::path PthDir = Options.StgDir;
    fs::create_directories(PthDir);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::vector<std::string> VecGrids;
    for (unsigned LngSeed = 1; LngSeed <= 8; ++LngSeed) {
        VecGrids.push_back((PthDir / ("map-" + std::to_string(LngSeed) + ".asc")).string());
        if (!fs::exists(VecGrids.back())) {
            std::printf("generating %s ...\n", VecGrids.back().c_str());
            GenerateGrid(VecGrids.back(), 4000, 4000, LngSeed);
        }
    }
    const std::string StgOut = (PthDir / "map-out.asc").string();
    const std::string StgTif = (PthDir / "map-out.tif").string();
    const std::string& StgA = VecGrids[0];
    const std::string& StgB = VecGrids[1];
    const bool BlnCalc = Installed("gdal_calc.py");
    const bool BlnWarp = Installed("gdalwarp");

    std::vector<std::string> VecAverage = {PVX_MAP_BINARY, "average"};
    VecAverage.insert(VecAverage.end(), VecGrids.begin(), VecGrids.end());
    VecAverage.insert(VecAverage.end(), {"-o", StgOut, "-q"});
    std::vector<std::string> VecCalcAverage = {"gdal_calc.py", "--quiet", "--overwrite",
                                               "--type=Float64", "--outfile=" + StgTif};
    std::string StgMean;
    for (std::size_t LngAt = 0; LngAt < VecGrids.size(); ++LngAt) {
        const std::string StgLetter(1, static_cast<char>('A' + LngAt));
        VecCalcAverage.push_back("-" + StgLetter);
        VecCalcAverage.push_back(VecGrids[LngAt]);
        StgMean += (LngAt ? "+" : "(") + StgLetter;
    }
    VecCalcAverage.push_back("--calc=" + StgMean + ")/8");

    const std::vector<std::vector<TCase>> VecGroups = {
        {{"pvxMap add", {PVX_MAP_BINARY, "add", StgA, StgB, "-o", StgOut, "-q"}},
         {"gdal_calc.py A+B (GeoTIFF out)",
          BlnCalc ? std::vector<std::string>{"gdal_calc.py", "--quiet", "--overwrite", "--type=Float64",
                                             "-A", StgA, "-B", StgB, "--outfile=" + StgTif, "--calc=A+B"}
                  : std::vector<std::string>{}}},
        {{"pvxMap average of 8", VecAverage},
         {"gdal_calc.py mean of 8 (GeoTIFF)", BlnCalc ? VecCalcAverage : std::vector<std::string>{}}},
        {{"pvxMap resample to 15 (64M cells)", {PVX_MAP_BINARY, "resample", StgA, "15", "-o", StgOut, "-q"}},
         {"gdalwarp -tr 15 -r bilinear",
          BlnWarp ? std::vector<std::string>{"gdalwarp", "-q", "-overwrite", "-tr", "15", "15", "-r",
                                             "bilinear", "-of", "AAIGrid", StgA, StgOut}
                  : std::vector<std::string>{}}},
        {{"pvxMap convert", {PVX_MAP_BINARY, "convert", StgA, "-o", StgOut, "-q"}},
         {"gdal_translate -of AAIGrid",
          Installed("gdal_translate")
              ? std::vector<std::string>{"gdal_translate", "-q", "-of", "AAIGrid", StgA, StgOut}
              : std::vector<std::string>{}}},
    };
    std::printf("\n4000 x 4000 grids (120 MB each), median of %d runs\n", LngRuns);
    std::printf("%-34s %9s %10s %10s\n", "tool", "seconds", "peak MiB", "vs pvxMap");
    // The peers take many seconds a run: timed once each.
    for (const std::vector<TCase>& VecGroup : VecGroups) {
        const double DblBase = Report(VecGroup[0], LngRuns, 0);
        Report(VecGroup[1], 1, DblBase);
    }
    for (const char* PtrName : {"map-out.asc", "map-out.prj", "map-out.tif", "map-out.asc.aux.xml"})
        fs::remove(PthDir / PtrName);
    return 0;
}
