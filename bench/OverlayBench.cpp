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

#include "bench/BenchTiming.h"
#include "grid/TMap.h"
#include "io/TARCGISFileTools.h"
#include "util/TTextWriter.h"
#include "ops/TMapTools.h"

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

namespace {

struct TRun {
    double DblSeconds = 0;
    long LngPeakKiB = 0;
    bool BlnOk = false;
};

struct TTool {
    std::string StgName;
    std::vector<std::string> VecArgs;  // argv; empty: not installed
    std::string StgEnv;                // NAME=VALUE set for the child, or empty
    std::string StgStdout;             // file for the child's standard output
};

// Writes a seeded grid of 2-decimal values with 5% no-data cells.
void GenerateGrid(const std::string& StgName, long LngCols, long LngRows)
{
    std::ofstream Stream(StgName, std::ios::binary);
    TTextWriter Text(Stream);
    Text.Put("ncols " + std::to_string(LngCols) + "\nnrows " + std::to_string(LngRows)
             + "\nxllcorner 512345.5\nyllcorner 4512345.5\ncellsize 30\nNODATA_value -9999\n");
    std::mt19937_64 Random(42);
    std::uniform_int_distribution<long> Centi(0, 400000);
    std::bernoulli_distribution NoData(0.05);
    std::vector<double> VecRow(static_cast<std::size_t>(LngCols));
    for (long LngY = 0; LngY < LngRows; ++LngY) {
        for (double& DblCell : VecRow)
            DblCell = NoData(Random) ? -9999.0 : static_cast<double>(Centi(Random)) / 100;
        Text.PutCells(VecRow.data(), VecRow.size(), ' ');
        Text.EndLine();
    }
    Text.Flush();
}

bool Installed(const std::string& StgProgram)
{
    return std::system(("command -v " + StgProgram + " >/dev/null 2>&1").c_str()) == 0;
}

TRun RunOnce(const TTool& Tool)
{
    const auto Start = TClock::now();
    const pid_t LngPid = fork();
    if (LngPid == 0) {
        if (!Tool.StgEnv.empty())
            putenv(const_cast<char*>(Tool.StgEnv.c_str()));
        const int LngOut = open(Tool.StgStdout.empty() ? "/dev/null" : Tool.StgStdout.c_str(),
                                O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(LngOut, 1);
        const int LngNull = open("/dev/null", O_WRONLY);
        dup2(LngNull, 2);
        std::vector<char*> VecArgv;
        for (const std::string& StgArg : Tool.VecArgs)
            VecArgv.push_back(const_cast<char*>(StgArg.c_str()));
        VecArgv.push_back(nullptr);
        execvp(VecArgv[0], VecArgv.data());
        _exit(127);
    }
    int LngStatus = 0;
    rusage Usage{};
    wait4(LngPid, &LngStatus, 0, &Usage);
    TRun Run;
    Run.DblSeconds = std::chrono::duration<double>(TClock::now() - Start).count();
    Run.LngPeakKiB = Usage.ru_maxrss;
    Run.BlnOk = WIFEXITED(LngStatus) && WEXITSTATUS(LngStatus) == 0;
    return Run;
}

TRun Median(std::vector<TRun> VecRuns)
{
    std::sort(VecRuns.begin(), VecRuns.end(),
              [](const TRun& A, const TRun& B) { return A.DblSeconds < B.DblSeconds; });
    TRun Result = VecRuns[VecRuns.size() / 2];
    for (const TRun& Run : VecRuns) {
        Result.LngPeakKiB = std::max(Result.LngPeakKiB, Run.LngPeakKiB);
        Result.BlnOk = Result.BlnOk && Run.BlnOk;
    }
    return Result;
}

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
        GenerateGrid(StgIn, LngCols, LngRows);
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
