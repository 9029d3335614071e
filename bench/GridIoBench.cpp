// The goals of reading and writing grids on every core, measured side by
// side: `cat M.asc > copy`, pvxOverlay x 2 (by default and on one thread),
// and the toolkit's LoadARCGISFile and WriteARCGISFile, run in turn within
// each round so that ratios compare runs made under the same load of the
// shared machine. Then time per cell by size (1M, 16M, 64M cells), by shape
// (1 x 20M and 20M x 1 beside the square) and by threads (1, 2, 4). Prints
// figures; passes or fails nothing.
//
//   GridIoBench [--runs N] [--dir DIR] [--no-large]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/BenchProcess.h"
#include "bench/BenchTiming.h"
#include "grid/TMap.h"
#include "util/TSlices.h"
#include "io/TARCGISFileTools.h"

namespace fs = std::filesystem;

namespace {

struct TShape {
    long LngCols;
    long LngRows;
};

std::string ShapeText(const TShape& Shape)
{
    return std::to_string(Shape.LngCols) + " x " + std::to_string(Shape.LngRows);
}

struct TGridTimes {
    TRun Copy, Command, OneThread;
    double DblLoad = 0;
    double DblWrite = 0;
    double DblCells = 0;
};

double MedianOf(std::vector<double> Vec)
{
    std::sort(Vec.begin(), Vec.end());
    return Vec[Vec.size() / 2];
}

// The toolkit's load and write, timed in a child process, so that the
// memory the map takes does not count in the peak of the commands timed
// after it (a child forked from a large process starts as large).
std::pair<double, double> LoadAndWrite(const std::string& StgIn, const std::string& StgOut,
                                       unsigned LngThreads)
{
    int ArrPipe[2];
    if (pipe(ArrPipe) != 0)
        return {0, 0};
    if (fork() == 0) {
        TSlices::SetThreads(LngThreads);
        std::unique_ptr<TMap> PtrMap;
        const double ArrSeconds[2] = {
            MedianSeconds(1, [&] { PtrMap.reset(TARCGISFileTools::LoadARCGISFile(StgIn)); }),
            MedianSeconds(1, [&] { TARCGISFileTools::WriteARCGISFile(PtrMap.get(), StgOut); })};
        _exit(write(ArrPipe[1], ArrSeconds, sizeof ArrSeconds) == sizeof ArrSeconds ? 0 : 1);
    }
    close(ArrPipe[1]);
    double ArrSeconds[2] = {0, 0};
    if (read(ArrPipe[0], ArrSeconds, sizeof ArrSeconds) != sizeof ArrSeconds)
        ArrSeconds[0] = ArrSeconds[1] = 0;
    close(ArrPipe[0]);
    wait(nullptr);
    return {ArrSeconds[0], ArrSeconds[1]};
}

// Runs in the same process pass the thread count on to the children too.
TGridTimes TimeGrid(const fs::path& PthDir, const TShape& Shape, int LngRuns, unsigned LngThreads)
{
    const std::string StgIn =
        (PthDir / ("io-" + std::to_string(Shape.LngCols) + "x" + std::to_string(Shape.LngRows) + ".asc")).string();
    const std::string StgOut = (PthDir / "io-out.asc").string();
    if (!fs::exists(StgIn))
        GenerateGrid(StgIn, Shape.LngCols, Shape.LngRows, 42);
    const std::string StgThreads = LngThreads > 0 ? "PVX_THREADS=" + std::to_string(LngThreads) : "";
    const TTool Cat = {"cat", {"cat", StgIn}, "", StgOut};
    const TTool Command = {"pvxOverlay", {PVX_OVERLAY_BINARY, StgIn, StgOut, "x", "2"}, StgThreads, ""};
    const TTool OneThread = {"pvxOverlay", {PVX_OVERLAY_BINARY, StgIn, StgOut, "x", "2"}, "PVX_THREADS=1", ""};
    std::vector<TRun> VecCopy, VecCommand, VecOne;
    std::vector<double> VecLoad, VecWrite;
    for (int LngRun = 0; LngRun < LngRuns; ++LngRun) {
        VecCopy.push_back(RunOnce(Cat));
        VecCommand.push_back(RunOnce(Command));
        VecOne.push_back(RunOnce(OneThread));
        const auto [DblLoad, DblWrite] = LoadAndWrite(StgIn, StgOut, LngThreads);
        VecLoad.push_back(DblLoad);
        VecWrite.push_back(DblWrite);
    }
    fs::remove(StgOut);
    fs::remove(PthDir / "io-out.prj");
    TGridTimes Times;
    Times.Copy = Median(VecCopy);
    Times.Command = Median(VecCommand);
    Times.OneThread = Median(VecOne);
    Times.DblLoad = MedianOf(VecLoad);
    Times.DblWrite = MedianOf(VecWrite);
    Times.DblCells = static_cast<double>(Shape.LngCols) * static_cast<double>(Shape.LngRows);
    return Times;
}

void PrintHeading(const char* StgTitle)
{
    std::printf("\n%s\n%-16s %7s %7s %7s %7s %7s %7s %8s %8s %8s %6s\n", StgTitle, "grid", "cat s",
                "pvx s", "pvx1 s", "load s", "write s", "pvx/cat", "pvx ns", "load ns", "write ns",
                "MiB");
}

void PrintRow(const std::string& StgWhat, const TGridTimes& Times)
{
    const double DblNs = 1e9 / Times.DblCells;
    std::printf("%-16s %7.3f %7.3f %7.3f %7.3f %7.3f %7.2f %8.2f %8.2f %8.2f %6.1f\n", StgWhat.c_str(),
                Times.Copy.DblSeconds, Times.Command.DblSeconds, Times.OneThread.DblSeconds,
                Times.DblLoad, Times.DblWrite, Times.Command.DblSeconds / Times.Copy.DblSeconds,
                Times.Command.DblSeconds * DblNs, Times.DblLoad * DblNs, Times.DblWrite * DblNs,
                static_cast<double>(Times.Command.LngPeakKiB) / 1024.0);
}

void PrintGoal(const char* StgCase, double DblMeasured, const char* StgGoal)
{
    std::printf("%-52s %8.2f %8s\n", StgCase, DblMeasured, StgGoal);
}

}  // namespace

int main(int argc, char** argv)
{
    TBenchOptions Options{5};
    if (!ReadBenchOptions(argc, argv, "usage: GridIoBench [--runs N] [--dir DIR] [--no-large]",
                          "--no-large", Options))
        return 2;
    const int LngRuns = Options.LngRuns;
    const bool BlnLarge = !Options.BlnFlag;
    const fs::path PthDir = Options.StgDir;
    fs::create_directories(PthDir);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::printf("median of %d rounds, %u threads by default; pvx1: PVX_THREADS=1; MiB: pvx peak\n",
                LngRuns, TSlices::Threads());

    const TShape Square = {4000, 4000};
    const TGridTimes SquareTimes = TimeGrid(PthDir, Square, LngRuns, 0);
    PrintHeading("by size (time per cell should stay within 20%)");
    PrintRow(ShapeText({1000, 1000}), TimeGrid(PthDir, {1000, 1000}, LngRuns, 0));
    PrintRow(ShapeText(Square), SquareTimes);
    if (BlnLarge)
        PrintRow(ShapeText({8000, 8000}), TimeGrid(PthDir, {8000, 8000}, std::min(LngRuns, 3), 0));

    PrintHeading("by shape");
    const TGridTimes Column = TimeGrid(PthDir, {1, 20000000}, LngRuns, 0);
    const TGridTimes Row = TimeGrid(PthDir, {20000000, 1}, LngRuns, 0);
    PrintRow(ShapeText(Square), SquareTimes);
    PrintRow(ShapeText({1, 20000000}), Column);
    PrintRow(ShapeText({20000000, 1}), Row);

    PrintHeading("by threads, 4000 x 4000 (more threads than cores can only show they do no harm)");
    for (unsigned LngThreads : {1U, 2U, 4U})
        PrintRow(std::to_string(LngThreads) + (LngThreads == 1 ? " thread" : " threads"),
                 TimeGrid(PthDir, Square, LngRuns, LngThreads));

    const auto PerCell = [](const TGridTimes& Times) { return Times.Command.DblSeconds / Times.DblCells; };
    std::printf("\ngoals, 4000 x 4000 unless named, ratios within the same rounds\n%-52s %8s %8s\n",
                "case", "measured", "goal");
    PrintGoal("pvxOverlay x 2 / cat M.asc > copy", SquareTimes.Command.DblSeconds / SquareTimes.Copy.DblSeconds,
              "<= 2.5");
    PrintGoal("pvxOverlay CPU seconds, default / PVX_THREADS=1",
              SquareTimes.Command.DblCpuSeconds / SquareTimes.OneThread.DblCpuSeconds, "<= 1.15");
    PrintGoal("LoadARCGISFile / cat", SquareTimes.DblLoad / SquareTimes.Copy.DblSeconds, "<= 1.6");
    PrintGoal("WriteARCGISFile / cat", SquareTimes.DblWrite / SquareTimes.Copy.DblSeconds, "<= 2.2");
    PrintGoal("pvxOverlay 1 x 20M, s per cell / square's", PerCell(Column) / PerCell(SquareTimes), "<= 1.2");
    PrintGoal("pvxOverlay 20M x 1, s per cell / square's", PerCell(Row) / PerCell(SquareTimes), "<= 1.2");
    const long LngPeak = std::max({SquareTimes.Command.LngPeakKiB, Column.Command.LngPeakKiB, Row.Command.LngPeakKiB});
    PrintGoal("pvxOverlay peak memory, any shape, MiB", static_cast<double>(LngPeak) / 1024.0, "<= 32");
    return 0;
}
