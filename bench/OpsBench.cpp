// Times the map operations on seeded 4000 x 4000 maps, beside numpy and SciPy
// doing the same work where they are installed. Prints figures; passes or
// fails nothing.
//
//   OpsBench [--side N] [--runs N] [--only SUBSTRING]
#include "bench/OpsBench.h"

#include "bench/BenchTiming.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <utility>

#include "ops/TMapTools.h"

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

namespace {

// A north-up map with its lower-left corner at (500000, 4500000).
std::unique_ptr<TMap> MakeMap(long LngCols, long LngRows, double DblCellSize)
{
    auto PtrMap = std::make_unique<TMap>(DblCellSize, LngCols, LngRows);
    auto PtrX = std::make_unique<TAxis>(DblCellSize, LngCols + 1);
    auto PtrY = std::make_unique<TAxis>(DblCellSize, LngRows + 1);
    for (long LngI = 0; LngI <= LngCols; ++LngI)
        PtrX->SetPoint(LngI, new TPoint(500000.0 + DblCellSize * LngI, 0.0));
    for (long LngI = 0; LngI <= LngRows; ++LngI)
        PtrY->SetPoint(LngI, new TPoint(0.0, 4500000.0 + DblCellSize * (LngRows - LngI)));
    PtrMap->SetXAxisInterval(PtrX.get());
    PtrMap->SetYAxisInterval(PtrY.get());
    return PtrMap;
}

}  // namespace

std::unique_ptr<TMap> RandomMap(long LngSide, double DblCellSize, std::uint64_t LngSeed)
{
    std::unique_ptr<TMap> PtrMap = MakeMap(LngSide, LngSide, DblCellSize);
    std::mt19937_64 Random(LngSeed);
    std::uniform_int_distribution<long> Centi(-50000, 400000);
    std::bernoulli_distribution NoData(0.05);
    double* PtrCells = PtrMap->GetCells();
    for (long LngCell = 0; LngCell < LngSide * LngSide; ++LngCell)
        PtrCells[LngCell] = NoData(Random) ? -9999.0 : static_cast<double>(Centi(Random)) / 100;
    return PtrMap;
}

namespace {

TBenchMaps MakeMaps(long LngSide)
{
    TBenchMaps Maps;
    Maps.LngSide = LngSide;
    Maps.PtrA = RandomMap(LngSide, 30, 1);
    Maps.PtrB = RandomMap(LngSide, 30, 2);
    Maps.PtrHalf = RandomMap(LngSide / 2, 60, 3);
    Maps.PtrClasses = MakeMap(LngSide, LngSide, 30);
    std::mt19937_64 Random(4);
    std::uniform_int_distribution<int> Class(1, 1000);
    double* PtrCells = Maps.PtrClasses->GetCells();
    for (long LngCell = 0; LngCell < LngSide * LngSide; ++LngCell)
        PtrCells[LngCell] = Class(Random);
    for (int LngI = 0; LngI < 8; ++LngI)
        Maps.VecStack.push_back(RandomMap(LngSide, 30, 10 + LngI));
    return Maps;
}

void WriteRaw(const fs::path& PthFile, const TMap& Map)
{
    std::ofstream Stream(PthFile, std::ios::binary);
    Stream.write(reinterpret_cast<const char*>(Map.GetCells()),
                 static_cast<std::streamsize>(sizeof(double) * Map.GetXDim() * Map.GetYDim()));
}

// The first Python that has numpy and SciPy (Debian's packages serve the
// system one, which another python3 on the path may hide); empty if none.
std::string PeerPython()
{
    for (const std::string StgPython : {"python3", "/usr/bin/python3"})
        if (std::system((StgPython + " -c 'import numpy, scipy.ndimage' >/dev/null 2>&1").c_str()) == 0)
            return StgPython;
    return "";
}

// Median seconds of each peer expression, by case name; empty without numpy.
std::map<std::string, double> TimePeers(const TBenchMaps& Maps, const std::vector<TOpsCase>& VecCases,
                                        int LngRuns)
{
    const std::string StgPython = PeerPython();
    if (StgPython.empty()) {
        std::printf("numpy or SciPy not installed: no peer figures\n");
        return {};
    }
    const fs::path PthDir = fs::temp_directory_path() / "pvx-opsbench";
    fs::create_directories(PthDir);
    WriteRaw(PthDir / "a", *Maps.PtrA);
    WriteRaw(PthDir / "b", *Maps.PtrB);
    WriteRaw(PthDir / "h", *Maps.PtrHalf);
    WriteRaw(PthDir / "k", *Maps.PtrClasses);
    for (std::size_t LngI = 0; LngI < Maps.VecStack.size(); ++LngI)
        WriteRaw(PthDir / ("s" + std::to_string(LngI)), *Maps.VecStack[LngI]);

    const long N = Maps.LngSide;
    std::ostringstream Script;
    Script << "import numpy as np, scipy.ndimage, time, statistics\n"
           << "d = '" << PthDir.string() << "/'\n"
           << "L = lambda n, s: np.fromfile(d + n).reshape(s, s)\n"
           << "a, b, h, k = L('a', " << N << "), L('b', " << N << "), L('h', " << N / 2 << "), L('k', " << N << ")\n"
           << "s = np.stack([L('s%d' % i, " << N << ") for i in range(" << Maps.VecStack.size() << ")])\n"
           << "def t(name, f):\n"
           << "    f(); r = []\n"
           << "    for _ in range(" << LngRuns << "):\n"
           << "        t0 = time.perf_counter(); f(); r.append(time.perf_counter() - t0)\n"
           << "    print(name + '\\t' + repr(statistics.median(r)), flush=True)\n"
           << "print('peers\\tnumpy ' + np.__version__ + ', SciPy ' + scipy.__version__)\n";
    for (const TOpsCase& Case : VecCases)
        if (!Case.StgNumpy.empty())
            Script << "t('" << Case.StgName << "', lambda: " << Case.StgNumpy << ")\n";
    const fs::path PthScript = PthDir / "peers.py";
    std::ofstream(PthScript) << Script.str();
    const fs::path PthOut = PthDir / "peers.txt";
    std::system((StgPython + " " + PthScript.string() + " > " + PthOut.string()).c_str());

    std::map<std::string, double> MapSeconds;
    std::ifstream Results(PthOut);
    for (std::string StgLine; std::getline(Results, StgLine);) {
        const std::size_t LngTab = StgLine.find('\t');
        if (StgLine.rfind("peers\t", 0) == 0)
            std::printf("peers: %s\n", StgLine.c_str() + LngTab + 1);
        else if (LngTab != std::string::npos)
            MapSeconds[StgLine.substr(0, LngTab)] = std::atof(StgLine.c_str() + LngTab + 1);
    }
    fs::remove_all(PthDir);
    return MapSeconds;
}

}  // namespace

std::vector<TMap*> TBenchMaps::Stack() const
{
    std::vector<TMap*> VecMaps;
    for (const auto& PtrMap : VecStack)
        VecMaps.push_back(PtrMap.get());
    return VecMaps;
}

int main(int argc, char** argv)
{
    long LngSide = 4000;
    int LngRuns = 5;
    std::string StgOnly;
    for (int LngI = 1; LngI < argc; ++LngI) {
        const std::string StgArg = argv[LngI];
        if (StgArg == "--side" && LngI + 1 < argc)
            LngSide = std::max(2L, std::atol(argv[++LngI]));
        else if (StgArg == "--runs" && LngI + 1 < argc)
            LngRuns = std::max(1, std::atoi(argv[++LngI]));
        else if (StgArg == "--only" && LngI + 1 < argc)
            StgOnly = argv[++LngI];
        else {
            std::printf("usage: OpsBench [--side N] [--runs N] [--only SUBSTRING]\n");
            return 2;
        }
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::printf("generating seeded %ld x %ld maps ...\n", LngSide, LngSide);
    const TBenchMaps Maps = MakeMaps(LngSide);
    std::vector<TOpsCase> VecCases = MapAlgebraCases(Maps);
    for (TOpsCase& Case : SeriesCases(Maps))
        VecCases.push_back(std::move(Case));
    for (TOpsCase& Case : CellFunctionCases(Maps))
        VecCases.push_back(std::move(Case));
    VecCases.erase(std::remove_if(VecCases.begin(), VecCases.end(),
                                  [&](const TOpsCase& Case) {
                                      return Case.StgName.find(StgOnly) == std::string::npos;
                                  }),
                   VecCases.end());
    const std::map<std::string, double> MapPeers = TimePeers(Maps, VecCases, LngRuns);

    std::printf("\n%ld x %ld maps, median of %d runs\n", LngSide, LngSide, LngRuns);
    std::printf("%-36s %9s %11s %9s %8s\n", "operation", "seconds", "ns / cell", "peer s", "ratio");
    for (const TOpsCase& Case : VecCases) {
        const double DblSeconds = MedianSeconds(LngRuns, Case.Run);
        std::printf("%-36s %9.3f %11.2f", Case.StgName.c_str(), DblSeconds,
                    DblSeconds * 1e9 / Case.DblOutputCells);
        const auto ItPeer = MapPeers.find(Case.StgName);
        if (ItPeer != MapPeers.end())
            std::printf(" %9.3f %8.2f", ItPeer->second, DblSeconds / ItPeer->second);
        std::printf("\n");
    }
    return 0;
}
