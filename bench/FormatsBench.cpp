// The formats layer on a seeded 4000 x 4000 grid beside the field's tools:
// gzip writing and reading (ours at level 6 beside `gzip -6` and `gunzip`),
// GeoTIFF writing and reading (ours, Float64 tiled with DEFLATE and the
// floating-point predictor, beside gdal_translate making the same file from
// an uncompressed GeoTIFF and turning it into raw cells). Each is a process
// of its own, so that its peak memory is its own; ours time the library's
// work alone (not the reading of the grid text a GeoTIFF is written from).
// Medians of the runs; prints figures, passes or fails nothing.
//
//   FormatsBench [--runs N] [--dir DIR]
//
// The children it runs of itself: --gzip-write IN OUT, --gzip-read IN,
// --tiff-write IN.asc OUT.tif, --tiff-read IN.tif; each prints its seconds.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchProcess.h"
#include "formats/TGdalRaster.h"
#include "formats/TGeoTiffWriter.h"
#include "formats/TGzipReadBuffer.h"
#include "formats/TGzipWriteBuffer.h"
#include "io/TGridReader.h"

namespace fs = std::filesystem;

namespace {

constexpr long Side = 4000;

double Seconds(const std::function<void()>& Work)
{
    const auto Start = std::chrono::steady_clock::now();
    Work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

double GzipWrite(const std::string& StgIn, const std::string& StgOut)
{
    return Seconds([&] {
        std::ifstream In(StgIn, std::ios::binary);
        std::ofstream Out(StgOut, std::ios::binary);
        TGzipWriteBuffer Buffer(Out, 6);
        std::ostream(&Buffer) << In.rdbuf();
        Buffer.Finish();
    });
}

double GzipRead(const std::string& StgIn)
{
    return Seconds([&] {
        std::ifstream In(StgIn, std::ios::binary);
        TGzipReadBuffer Buffer(*In.rdbuf(), StgIn);
        std::vector<char> VecChunk(1 << 20);
        while (Buffer.sgetn(VecChunk.data(), static_cast<std::streamsize>(VecChunk.size())) > 0) {
        }
    });
}

// The grid text streamed a block of rows at a time into the writer; only
// the writer's calls are timed.
double TiffWrite(const std::string& StgIn, const std::string& StgOut)
{
    std::ifstream In(StgIn, std::ios::binary);
    TGridReader Reader(In);
    const TGridHeader& Header = Reader.Header();
    TGeoTiffWriter::TSettings Settings;
    Settings.NoData = TNoData(Header.DblNoDataValue);
    double DblSeconds = 0;
    std::unique_ptr<TGeoTiffWriter> PtrWriter;
    DblSeconds += Seconds([&] {
        PtrWriter =
            std::make_unique<TGeoTiffWriter>(StgOut,
                                             TGridFrame{Header.LngCols, Header.LngRows,
                                                        Header.DblXllCorner, Header.DblYllCorner,
                                                        Header.DblCellSize},
                                             Settings);
    });
    constexpr long BlockRows = 64;
    std::vector<double> VecCells(static_cast<std::size_t>(BlockRows * Header.LngCols));
    for (long LngRow = 0; LngRow < Header.LngRows; LngRow += BlockRows) {
        const long LngRows = std::min(BlockRows, Header.LngRows - LngRow);
        for (long LngCell = 0; LngCell < LngRows * Header.LngCols; ++LngCell)
            VecCells[static_cast<std::size_t>(LngCell)] = Reader.NextCell();
        DblSeconds += Seconds([&] { PtrWriter->WriteRows(VecCells.data(), LngRows); });
    }
    return DblSeconds + Seconds([&] { PtrWriter->Finish(); });
}

double TiffRead(const std::string& StgIn)
{
    return Seconds([&] {
        TGdalRaster Raster(StgIn);
        std::vector<double> VecRow(static_cast<std::size_t>(Raster.Frame().LngCols));
        while (Raster.RowsRead() < Raster.Frame().LngRows)
            Raster.ReadRows(VecRow.data(), 1);
    });
}

// A child mode: runs it, prints its seconds; false when argv names none.
bool RunChild(int argc, char** argv)
{
    const std::string StgMode = argc > 1 ? argv[1] : "";
    double DblSeconds = -1;
    if (StgMode == "--gzip-write" && argc == 4)
        DblSeconds = GzipWrite(argv[2], argv[3]);
    else if (StgMode == "--gzip-read" && argc == 3)
        DblSeconds = GzipRead(argv[2]);
    else if (StgMode == "--tiff-write" && argc == 4)
        DblSeconds = TiffWrite(argv[2], argv[3]);
    else if (StgMode == "--tiff-read" && argc == 3)
        DblSeconds = TiffRead(argv[2]);
    else
        return false;
    std::printf("%.6f\n", DblSeconds);
    return true;
}

struct TFigure {
    double DblSeconds;
    long LngPeakKiB;
};

// The median run of the tool; for ours, the seconds it printed.
TFigure Measure(const TTool& Tool, int LngRuns, bool BlnOurs)
{
    std::vector<TRun> VecRuns;
    std::vector<double> VecPrinted;
    for (int LngRun = 0; LngRun < LngRuns; ++LngRun) {
        VecRuns.push_back(RunOnce(Tool));
        std::ifstream Printed(Tool.StgStdout);
        double DblSeconds = 0;
        if (BlnOurs && Printed >> DblSeconds)
            VecPrinted.push_back(DblSeconds);
    }
    const TRun Run = Median(VecRuns);
    if (!Run.BlnOk)
        return {-1, 0};
    std::sort(VecPrinted.begin(), VecPrinted.end());
    return {BlnOurs ? VecPrinted[VecPrinted.size() / 2] : Run.DblSeconds, Run.LngPeakKiB};
}

void PrintRow(const char* StgWhat, const TFigure& Figure, double DblMiB)
{
    if (Figure.DblSeconds < 0) {
        std::printf("%-66s %8s\n", StgWhat, "failed");
        return;
    }
    std::printf("%-66s %8.2f %8.0f %9.1f\n", StgWhat, Figure.DblSeconds, DblMiB / Figure.DblSeconds,
                static_cast<double>(Figure.LngPeakKiB) / 1024.0);
}

double MiB(const std::string& StgFile)
{
    return static_cast<double>(fs::file_size(StgFile)) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv)
{
    if (RunChild(argc, argv))
        return 0;
    TBenchOptions Options{3};
    if (!ReadBenchOptions(argc, argv, "usage: FormatsBench [--runs N] [--dir DIR]", nullptr,
                          Options))
        return 2;
    const fs::path PthDir = Options.StgDir;
    fs::create_directories(PthDir);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::string StgSelf = fs::canonical("/proc/self/exe").string();
    const auto In = [&](const char* StgName) { return (PthDir / StgName).string(); };
    const std::string StgGrid = In("formats-4000.asc");
    if (!fs::exists(StgGrid))
        GenerateGrid(StgGrid, Side, Side, 42);
    const std::string StgLog = In("formats-child.txt");
    const int LngRuns = Options.LngRuns;

    const double DblText = MiB(StgGrid);
    std::printf(
        "4000 x 4000, %.1f MiB of grid text, %.1f MiB of Float64 cells; median of %d "
        "runs\n%-66s %8s %8s %9s\n",
        DblText, Side * Side * 8.0 / (1 << 20), LngRuns, "", "seconds", "MiB/s", "peak MiB");
    const TFigure OursGz =
        Measure({"ours", {StgSelf, "--gzip-write", StgGrid, In("ours.asc.gz")}, "", StgLog},
                LngRuns, true);
    const TFigure Gzip =
        Measure({"gzip", {"gzip", "-6", "-c", StgGrid}, "", In("gzip.asc.gz")}, LngRuns, false);
    std::printf("gzip, MiB/s of text (ours %.1f MiB, gzip -6 %.1f MiB written)\n",
                MiB(In("ours.asc.gz")), MiB(In("gzip.asc.gz")));
    PrintRow("ours, level 6, writing", OursGz, DblText);
    PrintRow("gzip -6", Gzip, DblText);
    PrintRow("ours, reading",
             Measure({"ours", {StgSelf, "--gzip-read", In("ours.asc.gz")}, "", StgLog}, LngRuns,
                     true),
             DblText);
    PrintRow("gunzip -c",
             Measure({"gunzip", {"gunzip", "-c", In("gzip.asc.gz")}, "", ""}, LngRuns, false),
             DblText);

    const double DblCells = Side * Side * 8.0 / (1 << 20);
    const TFigure OursTiff =
        Measure({"ours", {StgSelf, "--tiff-write", StgGrid, In("ours.tif")}, "", StgLog}, LngRuns,
                true);
    std::printf(
        "GeoTIFF, Float64 tiled 256 x 256, DEFLATE, predictor 3; MiB/s of cells (ours %.1f MiB "
        "written)\n",
        MiB(In("ours.tif")));
    PrintRow("ours, writing", OursTiff, DblCells);
    if (Installed("gdal_translate")) {
        RunOnce({"gdal_translate",
                 {"gdal_translate", "-q", "-oo", "DATATYPE=Float64", StgGrid, In("raw.tif")},
                 "",
                 ""});
        PrintRow("gdal_translate raw.tif to the same GeoTIFF, NUM_THREADS=ALL_CPUS",
                 Measure({"gdal_translate",
                          {"gdal_translate", "-q", "-co", "TILED=YES", "-co", "COMPRESS=DEFLATE",
                           "-co", "PREDICTOR=3", "-co", "NUM_THREADS=ALL_CPUS", In("raw.tif"),
                           In("gdal.tif")},
                          "",
                          ""},
                         LngRuns, false),
                 DblCells);
    }
    PrintRow("ours, reading a row at a time",
             Measure({"ours", {StgSelf, "--tiff-read", In("ours.tif")}, "", StgLog}, LngRuns, true),
             DblCells);
    if (Installed("gdal_translate"))
        PrintRow("gdal_translate it to raw cells (ENVI)",
                 Measure({"gdal_translate",
                          {"gdal_translate", "-q", "-of", "ENVI", In("ours.tif"), In("cells.raw")},
                          "",
                          ""},
                         LngRuns, false),
                 DblCells);
    return 0;
}
