// Times pvxOverlay on a generated 4000 x 4000 grid (optionally 20000 x 20000)
// against its peers, and the toolkit's reader and writer alone; then the
// command alone on long, thin grids of 1 x 20M and 20M x 1 cells, whose peak
// memory should be that of the square grid. Prints figures; passes or fails
// nothing.
//
//   OverlayBench [--large] [--runs N] [--dir DIR]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchProcess.h"
#include "bench/BenchTiming.h"
#include "grid/TMap.h"
#include "io/TARCGISFileTools.h"
#include "util/TTextWriter.h"
#include "ops/TMapTools.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const std::string& StgName)
{
    std::ifstream Stream(StgName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(Stream), std::istreambuf_iterator<char>());
}

std::string ShapeText(long LngCols, long LngRows)
{
    return std::to_string(LngCols) + " x " + std::to_string(LngRows);
}

// The peers and the in-process toolkit take minutes on the large grid, so
// there, and on the thin grids, only the command itself is timed. Returns
// the command's run.
TRun BenchGrid(const fs::path& PthDir, long LngCols, long LngRows, int LngRuns, bool BlnWithPeers)
{
    const std::string StgLeaf = "grid-" + std::to_string(LngCols) + "x" + std::to_string(LngRows);
    const std::string StgIn = (PthDir / (StgLeaf + ".asc")).string();
    const std::string StgOut = (PthDir / "out.asc").string();
    if (!fs::exists(StgIn)) {
        std::printf("generating %s ...\n", StgIn.c_str());
        GenerateGrid(StgIn, LngCols, LngRows, 42);
    }
    const double DblMB = static_cast<double>(fs::file_size(StgIn)) / 1e6;
    std::printf("\n%s grid, %.1f MB, median of %d runs, %u hardware threads\n",
                ShapeText(LngCols, LngRows).c_str(), DblMB, LngRuns,
                std::max(1U, static_cast<unsigned>(sysconf(_SC_NPROCESSORS_ONLN))));

    const std::string StgAwk =
        "NR<=6 {print; next} {for (i = 1; i <= NF; i++) printf \"%.15g \", ($i == -9999 ? $i : $i * 2); "
        "printf \"\\n\"}";
    std::vector<TTool> VecTools = {
        {"pvxOverlay", {PVX_OVERLAY_BINARY, StgIn, StgOut, "x", "2"}, "", ""},
        {"pvxOverlay, 1 thread", {PVX_OVERLAY_BINARY, StgIn, StgOut, "x", "2"}, "PVX_THREADS=1", ""},
        {"iostream baseline", {PVX_NAIVE_BINARY, StgIn, StgOut, "2"}, "", ""},
        {"gdal_translate -scale", {}, "", ""},
        {"gawk printf", {}, "", ""},
        {"cat (copy)", {"cat", StgIn}, "", StgOut},
    };
    if (!BlnWithPeers)
        VecTools.erase(VecTools.begin() + 2, VecTools.end() - 1);
    else if (Installed("gdal_translate"))
        VecTools[3].VecArgs = {"gdal_translate", "-q", "-of", "AAIGrid", "-scale", "0", "1", "0", "2",
                               StgIn, StgOut};
    if (BlnWithPeers && Installed("gawk")) {
        VecTools[4].VecArgs = {"gawk", StgAwk, StgIn};
        VecTools[4].StgStdout = StgOut;
    }

    std::printf("%-24s %9s %9s %10s %10s\n", "tool", "seconds", "MB/s", "peak MiB", "vs pvx");
    double DblPvx = 0;
    TRun Command;
    for (const TTool& Tool : VecTools) {
        if (Tool.VecArgs.empty()) {
            std::printf("%-24s not installed\n", Tool.StgName.c_str());
            continue;
        }
        std::vector<TRun> VecRuns;
        for (int LngI = 0; LngI < LngRuns; ++LngI)
            VecRuns.push_back(RunOnce(Tool));
        const TRun Run = Median(VecRuns);
        if (DblPvx == 0) {
            DblPvx = Run.DblSeconds;
            Command = Run;
        }
        std::printf("%-24s %9.3f %9.1f %10.1f %9.1fx%s\n", Tool.StgName.c_str(), Run.DblSeconds,
                    DblMB / Run.DblSeconds, static_cast<double>(Run.LngPeakKiB) / 1024.0,
                    Run.DblSeconds / DblPvx, Run.BlnOk ? "" : "  (failed)");
        for (const char* PtrAux : {".prj", ".aux.xml"})
            fs::remove(StgOut + PtrAux);
    }

    if (!BlnWithPeers) {
        fs::remove(StgOut);
        return Command;
    }
    // In a child process, so that the memory the toolkit path takes does not
    // count in the peak of the commands timed after it.
    RunOnce(VecTools[0]);
    const std::string StgStreamed = Slurp(StgOut);
    if (fork() == 0) {
        std::unique_ptr<TMap> PtrMap;
        const double DblLoad =
            MedianSeconds(3, [&] { PtrMap.reset(TARCGISFileTools::LoadARCGISFile(StgIn)); });
        const std::unique_ptr<TMap> PtrResult(TMapTools::Multiply(PtrMap.get(), 2));
        const double DblWrite = MedianSeconds(
            3, [&] { TARCGISFileTools::WriteARCGISFile(PtrResult.get(), StgOut); });
        std::printf("toolkit LoadARCGISFile  %9.3f %9.1f\n", DblLoad, DblMB / DblLoad);
        std::printf("toolkit WriteARCGISFile %9.3f %9.1f\n", DblWrite, DblMB / DblWrite);
        std::printf("pvxOverlay output identical to the toolkit path: %s\n",
                    Slurp(StgOut) == StgStreamed ? "yes" : "NO");
        std::fflush(stdout);
        _exit(0);
    }
    wait(nullptr);
    fs::remove(StgOut);
    return Command;
}

}  // namespace

int main(int argc, char** argv)
{
    bool BlnLarge = false;
    int LngRuns = 5;
    fs::path PthDir = fs::temp_directory_path() / "pvx-bench";
    for (int LngI = 1; LngI < argc; ++LngI) {
        const std::string StgArg = argv[LngI];
        if (StgArg == "--large")
            BlnLarge = true;
        else if (StgArg == "--runs" && LngI + 1 < argc)
            LngRuns = std::max(1, std::atoi(argv[++LngI]));
        else if (StgArg == "--dir" && LngI + 1 < argc)
            PthDir = argv[++LngI];
        else {
            std::printf("usage: OverlayBench [--large] [--runs N] [--dir DIR]\n");
            return 2;
        }
    }
    fs::create_directories(PthDir);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    struct TShape {
        long LngCols, LngRows;
        int LngRuns;
        bool BlnWithPeers;
    };
    std::vector<TShape> VecShapes = {
        {4000, 4000, LngRuns, true}, {1, 20000000, LngRuns, false}, {20000000, 1, LngRuns, false}};
    if (BlnLarge)
        VecShapes.push_back({20000, 20000, std::min(LngRuns, 3), false});
    std::vector<TRun> VecCommand;
    for (const TShape& Shape : VecShapes)
        VecCommand.push_back(
            BenchGrid(PthDir, Shape.LngCols, Shape.LngRows, Shape.LngRuns, Shape.BlnWithPeers));

    std::printf("\npvxOverlay x 2 by shape\n%-20s %9s %10s\n", "grid", "seconds", "peak MiB");
    for (std::size_t LngShape = 0; LngShape < VecShapes.size(); ++LngShape) {
        const TRun& Run = VecCommand[LngShape];
        std::printf("%-20s %9.3f %10.1f%s\n",
                    ShapeText(VecShapes[LngShape].LngCols, VecShapes[LngShape].LngRows).c_str(),
                    Run.DblSeconds, static_cast<double>(Run.LngPeakKiB) / 1024.0,
                    Run.BlnOk ? "" : "  (failed)");
    }
    return 0;
}
