// Times TResampler on a seeded 4000 x 4000 grid resampled bilinearly to
// half and to twice its cell size: nanoseconds per target cell on one thread
// and on all, beside gdalwarp doing the same where it is installed (whole
// process, reading the ASCII grid included, seconds). Prints figures;
// passes or fails nothing.
//
//   ResampleBench [--runs N] [--dir DIR]
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "bench/BenchProcess.h"
#include "bench/BenchTiming.h"
#include "io/TARCGISFileTools.h"
#include "io/TGridHeader.h"
#include "ops/TResampler.h"
#include "util/TNoData.h"
#include "util/TSlices.h"

namespace fs = std::filesystem;

namespace {

// The grid as the commands carry it, no data marked, and its rows.
struct TSource {
    TGridFrame Frame;
    std::vector<double> VecCells;
    std::vector<const double*> VecRows;
};

TSource Load(const std::string& StgFile)
{
    const std::unique_ptr<TMap> PtrMap(TARCGISFileTools::LoadARCGISFile(StgFile));
    const TGridHeader Header = TGridHeader::OfMap(PtrMap.get());
    const TNoData NoData(Header.DblNoDataValue);
    TSource Source{{Header.LngCols, Header.LngRows, Header.DblXllCorner, Header.DblYllCorner,
                    Header.DblCellSize},
                   std::vector<double>(PtrMap->GetCells(),
                                       PtrMap->GetCells() + Header.LngCols * Header.LngRows),
                   {}};
    for (double& DblCell : Source.VecCells)
        DblCell = NoData.Mark(DblCell);
    for (long LngRow = 0; LngRow < Header.LngRows; ++LngRow)
        Source.VecRows.push_back(Source.VecCells.data() + LngRow * Header.LngCols);
    return Source;
}

// Every target row on the toolkit's threads, each into a row of its slice;
// the data cells' sum keeps the work from being optimised away.
double ResampleAll(const TSource& Source, const TGridFrame& Target)
{
    const TResampler Resampler(Source.Frame, Target, TResampler::TMethod::Bilinear);
    std::mutex Lock;
    double DblSum = 0.0;
    TSlices::Run(static_cast<std::size_t>(Target.LngRows), 1, [&](std::size_t LngFirst, std::size_t LngLast) {
        std::vector<double> VecRow(static_cast<std::size_t>(Target.LngCols));
        double DblSliceSum = 0.0;
        for (std::size_t LngRow = LngFirst; LngRow < LngLast; ++LngRow) {
            Resampler.Row(static_cast<long>(LngRow), Source.VecRows.data(), 0, VecRow.data());
            for (double DblCell : VecRow)
                DblSliceSum += TNoData::IsMarker(DblCell) ? 0.0 : DblCell;
        }
        const std::lock_guard<std::mutex> Guard(Lock);
        DblSum += DblSliceSum;
    });
    return DblSum;
}

double NanosecondsPerCell(const TSource& Source, const TGridFrame& Target, unsigned LngThreads,
                          int LngRuns)
{
    TSlices::SetThreads(LngThreads);
    double DblSum = 0.0;
    const double DblSeconds = MedianSeconds(LngRuns, [&] { DblSum += ResampleAll(Source, Target); });
    TSlices::SetThreads(0);
    if (DblSum == 0.0)
        std::printf("(no data cell)\n");
    return DblSeconds * 1e9 / (static_cast<double>(Target.LngCols) * static_cast<double>(Target.LngRows));
}

}  // namespace

int main(int argc, char** argv)
{
    TBenchOptions Options{3};
    if (!ReadBenchOptions(argc, argv, "usage: ResampleBench [--runs N] [--dir DIR]", nullptr, Options))
        return 2;
    const fs::path PthDir = Options.StgDir;
    fs::create_directories(PthDir);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::string StgGrid = (PthDir / "resample-4000.asc").string();
    if (!fs::exists(StgGrid)) {
        std::printf("generating %s ...\n", StgGrid.c_str());
        GenerateGrid(StgGrid, 4000, 4000, 1);
    }
    const TSource Source = Load(StgGrid);
    const bool BlnWarp = Installed("gdalwarp");
    const unsigned LngThreads = TSlices::Threads();

    std::printf("\n4000 x 4000 grid of 30 m cells, 5%% no data, bilinear; median of %d runs\n",
                Options.LngRuns);
    std::printf("%-18s %10s %12s %12s %12s %12s\n", "target", "cells", "ns/cell 1t",
                ("ns/cell " + std::to_string(LngThreads) + "t").c_str(), "seconds",
                "gdalwarp s");
    for (double DblCell : {15.0, 60.0}) {
        const TGridFrame Target = TResampler::FrameForCellSize(Source.Frame, DblCell);
        const double DblOne = NanosecondsPerCell(Source, Target, 1, Options.LngRuns);
        const double DblAll = NanosecondsPerCell(Source, Target, LngThreads, Options.LngRuns);
        const double DblCells = static_cast<double>(Target.LngCols) * static_cast<double>(Target.LngRows);
        const std::string StgCell = std::to_string(static_cast<int>(DblCell));
        const TRun Warp = BlnWarp
            ? RunOnce({"gdalwarp",
                       {"gdalwarp", "-q", "-oo", "DATATYPE=Float64", "-ot", "Float64", "-r", "bilinear",
                        "-srcnodata", "-9999", "-dstnodata", "-9999", "-tr", StgCell, StgCell, "-of",
                        "MEM", StgGrid, "resampled"},
                       "",
                       ""})
            : TRun{};
        std::printf("%-18s %10.0f %12.2f %12.2f %12.3f %12s\n",
                    ("cell " + StgCell + " m").c_str(), DblCells, DblOne, DblAll, DblAll * DblCells * 1e-9,
                    !BlnWarp ? "not installed"
                             : Warp.BlnOk ? std::to_string(Warp.DblSeconds).substr(0, 6).c_str() : "failed");
    }
    return 0;
}
