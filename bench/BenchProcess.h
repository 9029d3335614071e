#pragma once
// What the command benchmarks share: seeded grids, and a child process timed
// whole, with its peak memory from wait4.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "util/TTextWriter.h"

struct TRun {
    double DblSeconds = 0;
    long LngPeakKiB = 0;
    double DblCpuSeconds = 0;  // user and system time of the child
    bool BlnOk = false;
};

struct TTool {
    std::string StgName;
    std::vector<std::string> VecArgs;  // argv; empty: not installed
    std::string StgEnv;                // NAME=VALUE set for the child, or empty
    std::string StgStdout;             // file for the child's standard output
};

// The options of the command benchmarks: --runs N, --dir DIR (where the
// grids go), and one flag of the benchmark's own, if it has one.
struct TBenchOptions {
    int LngRuns;
    std::string StgDir = (std::filesystem::temp_directory_path() / "pvx-bench").string();
    bool BlnFlag = false;
};

// Reads the options into Options (its fields the defaults); prints the usage
// and returns false for anything else. StgFlag is null for none.
inline bool ReadBenchOptions(int argc, char** argv, const char* StgUsage, const char* StgFlag,
                             TBenchOptions& Options)
{
    for (int LngI = 1; LngI < argc; ++LngI) {
        const std::string StgArg = argv[LngI];
        if (StgArg == "--runs" && LngI + 1 < argc) {
            Options.LngRuns = std::max(1, std::atoi(argv[++LngI]));
        } else if (StgArg == "--dir" && LngI + 1 < argc) {
            Options.StgDir = argv[++LngI];
        } else if (StgFlag && StgArg == StgFlag) {
            Options.BlnFlag = true;
        } else {
            std::printf("%s\n", StgUsage);
            return false;
        }
    }
    return true;
}

// Writes a seeded grid of 2-decimal values with 5% no-data cells.
inline void GenerateGrid(const std::string& StgName, long LngCols, long LngRows, unsigned LngSeed)
{
    std::ofstream Stream(StgName, std::ios::binary);
    TTextWriter Text(Stream);
    Text.Put("ncols " + std::to_string(LngCols) + "\nnrows " + std::to_string(LngRows)
             + "\nxllcorner 512345.5\nyllcorner 4512345.5\ncellsize 30\nNODATA_value -9999\n");
    std::mt19937_64 Random(LngSeed);
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

// A seeded grid of the size in the folder ("map-COLSxROWS-SEED.asc"),
// generated once.
inline std::string SeededGrid(const std::filesystem::path& PthDir, long LngCols, long LngRows, unsigned LngSeed)
{
    const std::string StgName = (PthDir / ("map-" + std::to_string(LngCols) + "x" + std::to_string(LngRows) + "-"
                                           + std::to_string(LngSeed) + ".asc"))
                                    .string();
    if (!std::filesystem::exists(StgName)) {
        std::printf("generating %s ...\n", StgName.c_str());
        GenerateGrid(StgName, LngCols, LngRows, LngSeed);
    }
    return StgName;
}

inline bool Installed(const std::string& StgProgram)
{
    return std::system(("command -v " + StgProgram + " >/dev/null 2>&1").c_str()) == 0;
}

inline TRun RunOnce(const TTool& Tool)
{
    const auto Start = std::chrono::steady_clock::now();
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
    Run.DblSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    Run.LngPeakKiB = Usage.ru_maxrss;
    const auto Seconds = [](const timeval& Time) { return Time.tv_sec + 1e-6 * Time.tv_usec; };
    Run.DblCpuSeconds = Seconds(Usage.ru_utime) + Seconds(Usage.ru_stime);
    Run.BlnOk = WIFEXITED(LngStatus) && WEXITSTATUS(LngStatus) == 0;
    return Run;
}

inline TRun Median(std::vector<TRun> VecRuns)
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

