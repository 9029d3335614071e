// Times the toolkit's LoadARCGISFile and WriteARCGISFile beside a plain copy
// of the same file (what `cat M.asc > copy` does), paired run by run: by the
// grid's size (1M, 16M and 64M cells), by its shape (1 x 20M and 20M x 1
// beside the square) and by the number of threads (1, 2, 4). Prints figures;
// passes or fails nothing.
//
//   GridIoBench [--runs N] [--dir DIR] [--no-large]
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "grid/TMap.h"
#include "grid/TSlices.h"
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

// A seeded grid of 2-decimal values with 5% no-data cells, written by the
// toolkit itself.
void GenerateGrid(const std::string& StgName, const TShape& Shape)
{
    TMap Map(30.0, Shape.LngCols, Shape.LngRows);
    std::mt19937_64 Random(42);
    std::uniform_int_distribution<long> Centi(0, 400000);
    std::bernoulli_distribution NoData(0.05);
    double* PtrCells = Map.GetCells();
    const auto LngCells = static_cast<std::size_t>(Shape.LngCols) * static_cast<std::size_t>(Shape.LngRows);
    for (std::size_t LngCell = 0; LngCell < LngCells; ++LngCell)
        PtrCells[LngCell] = NoData(Random) ? -9999.0 : static_cast<double>(Centi(Random)) / 100;
    std::unique_ptr<TAxis> PtrX(TAxisTools::AxisOfValues(
        30.0, TAxisTools::SteppedValues(512345.5, 30.0, Shape.LngCols + 1), 'X', 0.0));
    std::vector<double> VecY = TAxisTools::SteppedValues(4512345.5, 30.0, Shape.LngRows + 1);
    std::reverse(VecY.begin(), VecY.end());
    std::unique_ptr<TAxis> PtrY(TAxisTools::AxisOfValues(30.0, VecY, 'Y', 512345.5));
    Map.SetXAxisInterval(PtrX.get());
    Map.SetYAxisInterval(PtrY.get());
    TARCGISFileTools::WriteARCGISFile(&Map, StgName);
}

// What cat does: read and write in blocks of 128 KiB.
void CopyFile(const std::string& StgFrom, const std::string& StgTo)
{
    const int LngIn = open(StgFrom.c_str(), O_RDONLY);
    const int LngOut = open(StgTo.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char> VecBuffer(128 * 1024);
    for (ssize_t LngRead; (LngRead = read(LngIn, VecBuffer.data(), VecBuffer.size())) > 0;)
        if (write(LngOut, VecBuffer.data(), static_cast<std::size_t>(LngRead)) != LngRead)
            break;
    close(LngIn);
    close(LngOut);
}

struct TTimes {
    double DblCopy = 0;
    double DblLoad = 0;
    double DblWrite = 0;
    double DblCells = 0;
};

// Copy, load and write timed in turn within each run, so that the ratios
// compare runs made under the same load of the shared machine.
TTimes TimeGrid(const fs::path& PthDir, const TShape& Shape, int LngRuns)
{
    const std::string StgIn =
        (PthDir / ("io-" + std::to_string(Shape.LngCols) + "x" + std::to_string(Shape.LngRows) + ".asc")).string();
    const std::string StgOut = (PthDir / "io-out.asc").string();
    if (!fs::exists(StgIn))
        GenerateGrid(StgIn, Shape);
    std::vector<double> VecCopy, VecLoad, VecWrite;
    std::unique_ptr<TMap> PtrMap;
    for (int LngRun = 0; LngRun < LngRuns; ++LngRun) {
        VecCopy.push_back(MedianSeconds(1, [&] { CopyFile(StgIn, StgOut); }));
        PtrMap.reset();
        VecLoad.push_back(MedianSeconds(1, [&] { PtrMap.reset(TARCGISFileTools::LoadARCGISFile(StgIn)); }));
        VecWrite.push_back(MedianSeconds(1, [&] { TARCGISFileTools::WriteARCGISFile(PtrMap.get(), StgOut); }));
    }
    fs::remove(StgOut);
    const auto Median = [](std::vector<double> Vec) {
        std::sort(Vec.begin(), Vec.end());
        return Vec[Vec.size() / 2];
    };
    return {Median(VecCopy), Median(VecLoad), Median(VecWrite),
            static_cast<double>(Shape.LngCols) * static_cast<double>(Shape.LngRows)};
}

void PrintRow(const std::string& StgWhat, const TTimes& Times)
{
    std::printf("%-22s %8.3f %8.3f %8.3f %8.2f %8.2f %9.2f %9.2f\n", StgWhat.c_str(), Times.DblCopy,
                Times.DblLoad, Times.DblWrite, Times.DblLoad / Times.DblCopy,
                Times.DblWrite / Times.DblCopy, 1e9 * Times.DblLoad / Times.DblCells,
                1e9 * Times.DblWrite / Times.DblCells);
}

void PrintHeading(const char* StgTitle)
{
    std::printf("\n%s\n%-22s %8s %8s %8s %8s %8s %9s %9s\n", StgTitle, "grid", "copy s", "load s",
                "write s", "load/cp", "write/cp", "load ns", "write ns");
}

}  // namespace

int main(int argc, char** argv)
{
    int LngRuns = 5;
    bool BlnLarge = true;
    fs::path PthDir = fs::temp_directory_path() / "pvx-bench";
    for (int LngI = 1; LngI < argc; ++LngI) {
        const std::string StgArg = argv[LngI];
        if (StgArg == "--runs" && LngI + 1 < argc)
            LngRuns = std::max(1, std::atoi(argv[++LngI]));
        else if (StgArg == "--dir" && LngI + 1 < argc)
            PthDir = argv[++LngI];
        else if (StgArg == "--no-large")
            BlnLarge = false;
        else {
            std::printf("usage: GridIoBench [--runs N] [--dir DIR] [--no-large]\n");
            return 2;
        }
    }
    fs::create_directories(PthDir);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::printf("toolkit grid reading and writing, median of %d paired runs, %u threads by default\n",
                LngRuns, TSlices::Threads());

    const TShape Square = {4000, 4000};
    const TTimes SquareTimes = TimeGrid(PthDir, Square, LngRuns);
    PrintHeading("by size (time per cell should stay within 20%)");
    PrintRow(ShapeText({1000, 1000}), TimeGrid(PthDir, {1000, 1000}, LngRuns));
    PrintRow(ShapeText(Square), SquareTimes);
    if (BlnLarge)
        PrintRow(ShapeText({8000, 8000}), TimeGrid(PthDir, {8000, 8000}, std::min(LngRuns, 3)));

    PrintHeading("by shape");
    PrintRow(ShapeText(Square), SquareTimes);
    const TTimes Column = TimeGrid(PthDir, {1, 20000000}, LngRuns);
    const TTimes Row = TimeGrid(PthDir, {20000000, 1}, LngRuns);
    PrintRow(ShapeText({1, 20000000}), Column);
    PrintRow(ShapeText({20000000, 1}), Row);

    PrintHeading("by threads, 4000 x 4000 (this machine's cores can only show that more do no harm)");
    for (unsigned LngThreads : {1U, 2U, 4U}) {
        TSlices::SetThreads(LngThreads);
        PrintRow(std::to_string(LngThreads) + (LngThreads == 1 ? " thread" : " threads"),
                 TimeGrid(PthDir, Square, LngRuns));
    }
    TSlices::SetThreads(0);

    const auto PerCell = [](const TTimes& Times, bool BlnLoad) {
        return (BlnLoad ? Times.DblLoad : Times.DblWrite) / Times.DblCells;
    };
    std::printf("\ngoals, 4000 x 4000, ratios from the same runs\n%-44s %8s %8s\n", "case",
                "measured", "goal");
    std::printf("%-44s %8.2f %8s\n", "LoadARCGISFile / copy", SquareTimes.DblLoad / SquareTimes.DblCopy, "<= 1.6");
    std::printf("%-44s %8.2f %8s\n", "WriteARCGISFile / copy", SquareTimes.DblWrite / SquareTimes.DblCopy,
                "<= 2.2");
    for (bool BlnLoad : {true, false}) {
        const double DblSquare = PerCell(SquareTimes, BlnLoad);
        std::printf("%-44s %8.2f %8s\n",
                    (std::string(BlnLoad ? "load" : "write") + ", 1 x 20M s per cell / square's").c_str(),
                    PerCell(Column, BlnLoad) / DblSquare, "<= 1.2");
        std::printf("%-44s %8.2f %8s\n",
                    (std::string(BlnLoad ? "load" : "write") + ", 20M x 1 s per cell / square's").c_str(),
                    PerCell(Row, BlnLoad) / DblSquare, "<= 1.2");
    }
    return 0;
}
