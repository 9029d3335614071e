// Faults injected into runs of the built pvxOverlay: a full disk, places that
// cannot be written, inputs that are no file or end too early, signals in the
// middle of a run, two runs racing for one output. Every failure is one line
// and exit status 1, an existing output stays byte for byte what it was, and
// no temporary file (".pvx-<random>") is left beside it.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "support/TCaseCount.h"
#include "support/TCommand.h"
#include "support/TGridText.h"
#include "support/TTempDir.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

TCaseCount& FaultCases = RegisterCaseCount("fault cases injected");

const std::string StgPrecious = "an earlier result, to be kept\n";
const std::string StgEndOfFile = "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile";

// A grid of Cols x Rows cells whose values (and their doubles and triples)
// are exact in binary, with a no-data cell now and then.
std::string ExactGrid(long LngCols, long LngRows)
{
    TGridText Grid{LngCols, LngRows, 512345.5, 4512345.5, 25, -9999, {}};
    for (long LngCell = 0; LngCell < LngCols * LngRows; ++LngCell)
        Grid.VecCells.push_back(LngCell % 17 == 3 ? Grid.DblNoData
                                                  : (LngCell % 9973) * 0.25 - 1000.125);
    return GridFileText(Grid);
}

// The grid the text holds with every data cell times the factor, in
// GridFileText's layout; "" when the text holds no complete grid.
std::string Scaled(const std::string& StgText, double DblFactor)
{
    std::optional<TGridText> Grid = ParseGridText(StgText);
    if (!Grid)
        return "";
    for (double& DblCell : Grid->VecCells)
        DblCell = DblCell == Grid->DblNoData ? DblCell : DblFactor * DblCell;
    return GridFileText(*Grid);
}

// Polls the condition until it holds or the time is up.
bool WaitFor(const std::function<bool()>& Condition, std::chrono::seconds Limit)
{
    const auto Deadline = std::chrono::steady_clock::now() + Limit;
    while (!Condition()) {
        if (std::chrono::steady_clock::now() > Deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A shell command line running in the background; its last command should
// be an exec, so that the process is that command's. Killed and reaped at
// the end if still running.
class TBackgroundRun {
public:
    explicit TBackgroundRun(const std::string& StgCommand)
    {
        const char* ArrArgv[] = {"/bin/sh", "-c", StgCommand.c_str(), nullptr};
        char** PtrArgv = const_cast<char**>(ArrArgv);
        if (posix_spawn(&MbrPid, ArrArgv[0], nullptr, nullptr, PtrArgv, environ) != 0)
            MbrPid = -1;
    }
    ~TBackgroundRun()
    {
        if (MbrPid > 0 && !MbrStatus) {
            kill(MbrPid, SIGKILL);
            waitpid(MbrPid, nullptr, 0);
        }
    }
    TBackgroundRun(const TBackgroundRun&) = delete;
    TBackgroundRun& operator=(const TBackgroundRun&) = delete;

    bool Started() const { return MbrPid > 0; }
    void Signal(int LngSignal) { kill(MbrPid, LngSignal); }

    // True once the process has ended (its wait status then in Status).
    bool Reaped()
    {
        int LngStatus = 0;
        if (!MbrStatus && waitpid(MbrPid, &LngStatus, WNOHANG) == MbrPid)
            MbrStatus = LngStatus;
        return MbrStatus.has_value();
    }
    std::optional<int> Status() const { return MbrStatus; }

private:
    pid_t MbrPid = -1;
    std::optional<int> MbrStatus;
};

class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteText(In, ExactGrid(3, 2));
        WriteText(Out, StgPrecious);
    }

    // One injected fault: refused with the message and exit status 1, the
    // existing output as it was, nothing else in its directory.
    void ExpectRefused(const TCommandResult& Result, const std::string& StgMessage)
    {
        EXPECT_EQ(Result.LngStatus, 1);
        EXPECT_EQ(Result.StgOut, StgMessage + "\n");
        EXPECT_EQ(Result.StgErr, "");
        ExpectOutputKept();
        FaultCases.Add();
    }

    void ExpectOutputKept()
    {
        EXPECT_EQ(ReadText(Out), StgPrecious);
        EXPECT_EQ(OutDir.EntryCount(), 1u) << "a temporary file was left";
    }

    TTempDir Dir;
    TTempDir OutDir;
    std::string In = Dir / "in.asc";
    std::string Out = OutDir / "out.asc";
};

}  // namespace

TEST_F(FaultInjection, FullDiskIsAWriteErrorThatKeepsTheOutput)
{
    // Megabytes of output: a 512-byte limit stops the first write, a 128 KiB
    // one a write in the middle of the body (dash counts ulimit -f in
    // 512-byte blocks); on one thread and on two.
    WriteText(In, ExactGrid(600, 400));
    for (const std::string StgPrefix :
         {"ulimit -f 1;", "ulimit -f 256;", "ulimit -f 256; PVX_THREADS=1"}) {
        SCOPED_TRACE(StgPrefix);
        ExpectRefused(RunOverlay({In, Out, "x", "3"}, StgPrefix), "Unable to write file " + Out);
    }

    // The input, named as the output too, survives a failed write; /dev/full
    // stays the device it was; /proc/version is opened as the shell opens it
    // (for root only), and cannot be written.
    const std::string StgGrid = ReadText(In);
    const std::string StgProcFailure = geteuid() == 0 ? "Unable to write file " : "Unable to open file ";
    for (const auto& [StgTarget, StgPrefix, StgFailure] :
         {std::tuple<std::string, std::string, std::string>{In, "ulimit -f 256;", "Unable to write file "},
          {"/dev/full", "", "Unable to write file "}, {"/proc/version", "", StgProcFailure}}) {
        const TCommandResult Result = RunOverlay({In, StgTarget, "x", "3"}, StgPrefix);
        EXPECT_EQ(Result.LngStatus, 1);
        EXPECT_EQ(Result.StgOut, StgFailure + StgTarget + "\n");
        EXPECT_EQ(ReadText(In), StgGrid);
        EXPECT_EQ(Dir.EntryCount(), 1u);
        FaultCases.Add();
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(FaultInjection, NoPlaceToWriteOrNoFileToRead)
{
    // Root may write anywhere permissions guard, so places no one can
    // create a file in: /proc, a descriptor that is not open, below a
    // regular file, a directory itself.
    for (const std::string& StgTarget : {std::string("/proc/pvx-fault.asc"),
                                         std::string("/proc/self/fd/99"), Out + "/out.asc",
                                         OutDir.Path().string()}) {
        SCOPED_TRACE(StgTarget);
        ExpectRefused(RunOverlay({In, StgTarget, "x", "2"}), "Unable to open file " + StgTarget);
    }
    for (const std::string& StgInput :
         {Dir.Path().string(), Dir.Path().string() + "/", std::string("/")}) {
        SCOPED_TRACE(StgInput);
        ExpectRefused(RunOverlay({StgInput, Out, "x", "2"}), "Unable to open file " + StgInput);
    }
    // An input with no end and no white space fails at its first token.
    for (const std::string StgInput : {"/dev/null", "/dev/zero"})
        ExpectRefused(RunOverlay({StgInput, Out, "x", "2"}, "timeout 60"),
                      "File format error: expected to find ncols tag");
}

TEST_F(FaultInjection, InputEndingInTheMiddleOfANumber)
{
    const std::string StgBody = "ncols 3\nnrows 2\nxllcorner 10\nyllcorner 20\ncellsize 5\n"
                                "NODATA_value -9999\n1 -9999 3\n4 5 ";
    for (const std::string StgCut : {"1.5e", "1.5e+", "-1.5E-", "-", "+", ".", "-."}) {
        SCOPED_TRACE(StgCut);
        WriteText(In, StgBody + StgCut);
        ExpectRefused(RunOverlay({In, Out, "x", "2"}),
                      "File format error: cell at column 3, row 2 is not a number");
    }

    // Cut to a shorter number, the last token is that number (sign included).
    for (const std::string StgCut : {"1.5", "1.", "-0", "25e1", ".5"}) {
        SCOPED_TRACE(StgCut);
        WriteText(In, StgBody + StgCut);
        const TCommandResult Result = RunOverlay({In, Out, "x", "2"});
        EXPECT_EQ(Result.LngStatus, 0) << Result.StgOut;
        EXPECT_EQ(Scaled(ReadText(Out), 1), Scaled(StgBody + StgCut, 2));
        FaultCases.Add();
    }
}

TEST_F(FaultInjection, InputTruncatedAtEveryByte)
{
    const std::string StgLf = "ncols 3\nnrows 2\nxllcorner 10\nyllcorner -20.5\ncellsize 2.5\n"
                              "NODATA_value -9999\n1 -9999 3.25\n-4 5e1 -1.5e+3\n";
    std::string StgCrLf;
    for (char ChrValue : StgLf)
        StgCrLf += ChrValue == '\n' ? std::string("\r\n") : std::string(1, ChrValue);
    // As GDAL lays it out: padded header, rows led by a space.
    const std::string StgPadded = "ncols        3\nnrows        2\nxllcorner    10.000000000000\n"
                                  "yllcorner    -20.500000000000\ncellsize     2.500000000000\n"
                                  "NODATA_value  -9999\n 1 -9999 3.25\n -4 5e1 -1.5e+3";
    const std::string StgCut = OutDir / "cut.asc";
    int LngLoaded = 0;
    for (const std::string& StgText : {StgLf, StgCrLf, StgPadded}) {
        for (std::size_t LngSize = 0; LngSize <= StgText.size(); ++LngSize) {
            const std::string StgPrefix = StgText.substr(0, LngSize);
            SCOPED_TRACE("input: \"" + StgPrefix + "\"");
            WriteText(In, StgPrefix);
            const TCommandResult Result = RunOverlay({In, StgCut, "x", "2"});
            if (ParseGridText(StgPrefix)) {
                ++LngLoaded;
                EXPECT_EQ(Result.LngStatus, 0) << Result.StgOut;
                EXPECT_EQ(Scaled(ReadText(StgCut), 1), Scaled(StgPrefix, 2));
                fs::remove(StgCut);
            } else {
                EXPECT_EQ(Result.LngStatus, 1);
                const std::string StgMessage = Result.StgOut.substr(0, Result.StgOut.find('\n'));
                EXPECT_EQ(Result.StgOut, StgMessage + "\n");
                EXPECT_TRUE(StgMessage == StgEndOfFile
                            || StgMessage.rfind("File format error: ", 0) == 0)
                    << StgMessage;
                EXPECT_EQ(Result.StgErr, "");
            }
            EXPECT_EQ(OutDir.EntryCount(), 1u);
            FaultCases.Add();
        }
    }
    // Complete grids: cut within or after the last number, where what is
    // left of it is still a number ("-1.5e+3", "-1.5", "-1.", "-1"), and at
    // the trailing line end.
    EXPECT_EQ(LngLoaded, (4 + 1) + (4 + 2) + 4);
}

TEST_F(FaultInjection, InterruptedRunLeavesNoTrace)
{
    // The input is a FIFO fed with part of a large grid and then kept open,
    // so the run is held in the middle of its body.
    std::string StgPart = "ncols 1000\nnrows 1000\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
                          "NODATA_value -9999\n";
    for (int LngCell = 0; LngCell < 400000; ++LngCell)
        StgPart += (LngCell + 1) % 1000 == 0 ? "7\n" : "7 ";
    WriteText(In, StgPart);
    const std::string StgFifo = Dir / "in.fifo";
    ASSERT_EQ(mkfifo(StgFifo.c_str(), 0600), 0);

    // A signal ends the run, unless it was ignored from the start (under
    // nohup, in a background job): then the run goes on to the end of the
    // feed, which comes too early.
    struct TCase {
        std::string StgLaunch;
        int LngSignal;
        bool BlnIgnored;
    };
    const TCase Cases[] = {{"exec", SIGINT, false}, {"exec", SIGTERM, false},
                           {"exec nohup", SIGHUP, true}, {"trap '' INT; exec", SIGINT, true}};
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.StgLaunch + " ... " + strsignal(Case.LngSignal));
        TBackgroundRun Run(Case.StgLaunch + " " + OverlayCommandLine({StgFifo, Out, "x", "2"})
                           + " >" + ShellQuoted(Dir / "log") + " 2>&1");
        TBackgroundRun Feed("{ cat " + ShellQuoted(In) + "; exec sleep 60; } >"
                            + ShellQuoted(StgFifo));
        ASSERT_TRUE(Run.Started() && Feed.Started());
        // Held with its temporary output (".pvx-<random>") begun.
        const bool BlnWriting = WaitFor(
            [&] {
                for (const fs::directory_entry& Entry : fs::directory_iterator(OutDir.Path()))
                    if (Entry.path().filename().string().rfind(".pvx-", 0) == 0) {
                        std::error_code Err;
                        return Entry.file_size(Err) > 0 && !Err;
                    }
                return false;
            },
            std::chrono::seconds(20));
        ASSERT_TRUE(BlnWriting) << "no temporary output appeared";
        ASSERT_FALSE(Run.Reaped());

        // A signal that is not ignored is delivered before the run can read
        // the end of its feed.
        Run.Signal(Case.LngSignal);
        if (Case.BlnIgnored)
            Feed.Signal(SIGKILL);
        ASSERT_TRUE(WaitFor([&] { return Run.Reaped(); }, std::chrono::seconds(20)))
            << "still running after the signal";
        const int LngStatus = *Run.Status();
        if (Case.BlnIgnored) {
            EXPECT_TRUE(WIFEXITED(LngStatus) && WEXITSTATUS(LngStatus) == 1) << LngStatus;
            EXPECT_EQ(ReadText(Dir / "log"), StgEndOfFile + "\n");
        } else {
            EXPECT_TRUE(WIFSIGNALED(LngStatus) && WTERMSIG(LngStatus) == Case.LngSignal) << LngStatus;
            EXPECT_EQ(ReadText(Dir / "log"), "");
        }
        ExpectOutputKept();
        FaultCases.Add();
    }
}

TEST_F(FaultInjection, ConcurrentRunsLeaveOneCompleteResult)
{
    // A grid of about 2.5 MB, doubled and tripled into one output by two
    // runs started together, twenty times over.
    WriteText(In, ExactGrid(600, 500));
    const std::string StgDoubled = Dir / "doubled.asc";
    const std::string StgTripled = Dir / "tripled.asc";
    ASSERT_EQ(RunOverlay({In, StgDoubled, "x", "2"}).LngStatus, 0);
    ASSERT_EQ(RunOverlay({In, StgTripled, "x", "3"}).LngStatus, 0);
    ASSERT_EQ(Scaled(ReadText(StgDoubled), 1), Scaled(ReadText(In), 2));
    ASSERT_EQ(Scaled(ReadText(StgTripled), 1), Scaled(ReadText(In), 3));

    const std::string StgPair = OverlayCommandLine({In, Out, "x", "2"}) + " & first=$!; "
        + OverlayCommandLine({In, Out, "x", "3"}) + " & second=$!; "
        + "wait $first; echo $?; wait $second; echo $?";
    const std::string StgDoubledText = ReadText(StgDoubled);
    const std::string StgTripledText = ReadText(StgTripled);
    for (int LngPair = 0; LngPair < 20; ++LngPair) {
        SCOPED_TRACE("pair " + std::to_string(LngPair));
        EXPECT_EQ(RunShell(StgPair).StgOut, "0\n0\n");
        const std::string StgResult = ReadText(Out);
        EXPECT_TRUE(StgResult == StgDoubledText || StgResult == StgTripledText)
            << "the output is no complete result (" << StgResult.size() << " bytes)";
        EXPECT_EQ(OutDir.EntryCount(), 1u);
        FaultCases.Add();
    }
}
