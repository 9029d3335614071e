// Faults injected into runs of the built pvxOverlay: a full disk, places that
// cannot be written, inputs that are no file or end too early, signals in the
// middle of a run, two runs racing for one output. Every failure is one line
// and exit status 1, an existing output stays byte for byte what it was, and
// no temporary file (".<name>.pvx-<random>") is left beside it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
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
TGridText ExactGrid(long LngCols, long LngRows)
{
    TGridText Grid;
    Grid.LngCols = LngCols;
    Grid.LngRows = LngRows;
    Grid.DblXllCorner = 512345.5;
    Grid.DblYllCorner = 4512345.5;
    Grid.DblCellSize = 25;
    for (long LngCell = 0; LngCell < LngCols * LngRows; ++LngCell)
        Grid.VecCells.push_back(LngCell % 17 == 3 ? Grid.DblNoData
                                                  : (LngCell % 9973) * 0.25 - 1000.125);
    return Grid;
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

// The temporary files the command leaves in a directory, if any.
std::vector<std::string> TemporaryFiles(const fs::path& PthDir)
{
    std::vector<std::string> VecNames;
    for (const fs::directory_entry& Entry : fs::directory_iterator(PthDir)) {
        const std::string StgName = Entry.path().filename().string();
        if (StgName.rfind('.', 0) == 0 && StgName.find(".pvx-") != std::string::npos)
            VecNames.push_back(Entry.path().string());
    }
    return VecNames;
}

// pvxOverlay running in the background, its standard output and error going
// to a file. Killed and reaped at the end if still running.
class TBackgroundOverlay {
public:
    TBackgroundOverlay(const std::vector<std::string>& VecArgs, const std::string& StgLog)
    {
        std::vector<std::string> VecArgv = {PVX_OVERLAY_BINARY};
        VecArgv.insert(VecArgv.end(), VecArgs.begin(), VecArgs.end());
        std::vector<char*> VecPtrArgv;
        for (std::string& StgArg : VecArgv)
            VecPtrArgv.push_back(StgArg.data());
        VecPtrArgv.push_back(nullptr);

        posix_spawn_file_actions_t Actions;
        posix_spawn_file_actions_init(&Actions);
        posix_spawn_file_actions_addopen(&Actions, STDOUT_FILENO, StgLog.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&Actions, STDOUT_FILENO, STDERR_FILENO);
        if (posix_spawn(&MbrPid, VecPtrArgv[0], &Actions, nullptr, VecPtrArgv.data(), environ) != 0)
            MbrPid = -1;
        posix_spawn_file_actions_destroy(&Actions);
    }
    ~TBackgroundOverlay()
    {
        if (MbrPid > 0 && !MbrStatus) {
            kill(MbrPid, SIGKILL);
            waitpid(MbrPid, nullptr, 0);
        }
    }
    TBackgroundOverlay(const TBackgroundOverlay&) = delete;
    TBackgroundOverlay& operator=(const TBackgroundOverlay&) = delete;

    bool Started() const { return MbrPid > 0; }
    bool Running() { return !Reaped(); }
    void Signal(int LngSignal) { kill(MbrPid, LngSignal); }

    // The wait status once the process has ended; nothing if it runs on
    // past the limit.
    std::optional<int> Wait(std::chrono::seconds Limit)
    {
        WaitFor([this] { return Reaped(); }, Limit);
        return MbrStatus;
    }

private:
    bool Reaped()
    {
        int LngStatus = 0;
        if (!MbrStatus && waitpid(MbrPid, &LngStatus, WNOHANG) == MbrPid)
            MbrStatus = LngStatus;
        return MbrStatus.has_value();
    }

    pid_t MbrPid = -1;
    std::optional<int> MbrStatus;
};

// The writing end of a FIFO, once a reader has opened the other end.
class TFifoWriter {
public:
    TFifoWriter(const std::string& StgFifo, std::chrono::seconds Limit)
    {
        WaitFor(
            [&] {
                MbrLngFd = open(StgFifo.c_str(), O_WRONLY | O_NONBLOCK);
                return MbrLngFd >= 0 || errno != ENXIO;
            },
            Limit);
        if (MbrLngFd >= 0)
            fcntl(MbrLngFd, F_SETFL, fcntl(MbrLngFd, F_GETFL) & ~O_NONBLOCK);
    }
    ~TFifoWriter()
    {
        if (MbrLngFd >= 0)
            close(MbrLngFd);
    }
    TFifoWriter(const TFifoWriter&) = delete;
    TFifoWriter& operator=(const TFifoWriter&) = delete;

    bool Opened() const { return MbrLngFd >= 0; }

    // Writes all of the text; false if the reader went away.
    bool Write(const std::string& StgText)
    {
        // A reader that dies early must fail the write, not kill the test.
        struct sigaction Ignore {}, Previous {};
        Ignore.sa_handler = SIG_IGN;
        sigaction(SIGPIPE, &Ignore, &Previous);
        std::size_t LngDone = 0;
        while (LngDone < StgText.size()) {
            const ssize_t LngWritten =
                write(MbrLngFd, StgText.data() + LngDone, StgText.size() - LngDone);
            if (LngWritten <= 0)
                break;
            LngDone += static_cast<std::size_t>(LngWritten);
        }
        sigaction(SIGPIPE, &Previous, nullptr);
        return LngDone == StgText.size();
    }

private:
    int MbrLngFd = -1;
};

class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteText(In, GridFileText(ExactGrid(3, 2)));
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
    WriteText(In, GridFileText(ExactGrid(600, 400)));
    for (const std::string StgPrefix :
         {"ulimit -f 1;", "ulimit -f 256;", "ulimit -f 256; PVX_THREADS=1"}) {
        SCOPED_TRACE(StgPrefix);
        ExpectRefused(RunOverlay({In, Out, "x", "3"}, StgPrefix), "Unable to write file " + Out);
    }

    // The input, named as the output too, survives a failed write.
    const std::string StgGrid = ReadText(In);
    TCommandResult Result = RunOverlay({In, In, "x", "3"}, "ulimit -f 256;");
    EXPECT_EQ(Result.LngStatus, 1);
    EXPECT_EQ(Result.StgOut, "Unable to write file " + In + "\n");
    EXPECT_EQ(ReadText(In), StgGrid);
    EXPECT_EQ(Dir.EntryCount(), 1u);
    FaultCases.Add();

    Result = RunOverlay({In, "/dev/full", "x", "3"});
    EXPECT_EQ(Result.LngStatus, 1);
    EXPECT_EQ(Result.StgOut, "Unable to write file /dev/full\n");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_EQ(Dir.EntryCount(), 1u);
    FaultCases.Add();
}

TEST_F(FaultInjection, UnwritableOutputLocationIsAnOpenError)
{
    // Root may write anywhere permissions guard, so places no one can
    // create a file in: /proc, below a regular file, a directory itself.
    for (const std::string& StgTarget : {std::string("/proc/pvx-fault.asc"),
                                         std::string("/proc/version"), Out + "/out.asc",
                                         OutDir.Path().string()}) {
        SCOPED_TRACE(StgTarget);
        ExpectRefused(RunOverlay({In, StgTarget, "x", "2"}), "Unable to open file " + StgTarget);
    }
}

TEST_F(FaultInjection, InputThatIsNoGridFile)
{
    for (const std::string& StgInput :
         {Dir.Path().string(), Dir.Path().string() + "/", std::string("/")}) {
        SCOPED_TRACE(StgInput);
        ExpectRefused(RunOverlay({StgInput, Out, "x", "2"}), "Unable to open file " + StgInput);
    }
    ExpectRefused(RunOverlay({"/dev/null", Out, "x", "2"}),
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

    // Cut to a shorter number, the last token is that number.
    for (const std::string StgCut : {"1.5", "1.", "-0", "25e1", ".5"}) {
        SCOPED_TRACE(StgCut);
        WriteText(In, StgBody + StgCut);
        const TCommandResult Result = RunOverlay({In, Out, "x", "2"});
        EXPECT_EQ(Result.LngStatus, 0) << Result.StgOut;
        const std::optional<TGridText> Grid = ParseGridText(ReadText(Out));
        ASSERT_TRUE(Grid) << ReadText(Out);
        const std::vector<double> VecExpected = {2, -9999, 6, 8, 10, 2 * std::stod(StgCut)};
        EXPECT_EQ(Grid->VecCells, VecExpected);
        EXPECT_EQ(std::signbit(Grid->VecCells.back()), StgCut[0] == '-');
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
            const std::optional<TGridText> Whole = ParseGridText(StgPrefix);
            if (Whole) {
                ++LngLoaded;
                ASSERT_EQ(Result.LngStatus, 0) << Result.StgOut;
                const std::optional<TGridText> Scaled = ParseGridText(ReadText(StgCut));
                ASSERT_TRUE(Scaled);
                EXPECT_EQ(Scaled->LngCols, 3);
                EXPECT_EQ(Scaled->LngRows, 2);
                EXPECT_EQ(Scaled->DblXllCorner, 10);
                EXPECT_EQ(Scaled->DblYllCorner, -20.5);
                EXPECT_EQ(Scaled->DblCellSize, 2.5);
                EXPECT_EQ(Scaled->DblNoData, -9999);
                for (std::size_t LngCell = 0; LngCell < 6; ++LngCell) {
                    const double DblCell = Whole->VecCells[LngCell];
                    EXPECT_EQ(Scaled->VecCells[LngCell], DblCell == -9999 ? DblCell : 2 * DblCell);
                }
                fs::remove(StgCut);
            } else {
                EXPECT_EQ(Result.LngStatus, 1);
                ASSERT_FALSE(Result.StgOut.empty());
                EXPECT_EQ(Result.StgOut.find('\n'), Result.StgOut.size() - 1) << Result.StgOut;
                const std::string StgMessage = Result.StgOut.substr(0, Result.StgOut.size() - 1);
                EXPECT_TRUE(StgMessage == StgEndOfFile
                            || StgMessage.rfind("File format error: ", 0) == 0)
                    << StgMessage;
                EXPECT_EQ(Result.StgErr, "");
                EXPECT_FALSE(fs::exists(StgCut));
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
    // The input is a FIFO that the test feeds with part of a large grid and
    // then keeps open, so the run is held in the middle of its body.
    std::string StgPart = "ncols 1000\nnrows 1000\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
                          "NODATA_value -9999\n";
    for (int LngCell = 0; LngCell < 400000; ++LngCell)
        StgPart += (LngCell + 1) % 1000 == 0 ? "7\n" : "7 ";
    const std::string StgFifo = Dir / "in.fifo";
    ASSERT_EQ(mkfifo(StgFifo.c_str(), 0600), 0);

    for (const int LngSignal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(strsignal(LngSignal));
        TBackgroundOverlay Run({StgFifo, Out, "x", "2"}, Dir / "log");
        ASSERT_TRUE(Run.Started());
        TFifoWriter Feed(StgFifo, std::chrono::seconds(20));
        ASSERT_TRUE(Feed.Opened());
        ASSERT_TRUE(Feed.Write(StgPart));
        const bool BlnWriting = WaitFor(
            [&] {
                const std::vector<std::string> VecTemporary = TemporaryFiles(OutDir.Path());
                std::error_code Err;
                return VecTemporary.size() == 1 && fs::file_size(VecTemporary[0], Err) > 0;
            },
            std::chrono::seconds(20));
        ASSERT_TRUE(BlnWriting) << "no temporary output appeared";
        ASSERT_TRUE(Run.Running());

        Run.Signal(LngSignal);
        const std::optional<int> Status = Run.Wait(std::chrono::seconds(20));
        ASSERT_TRUE(Status) << "still running after the signal";
        EXPECT_TRUE(WIFSIGNALED(*Status) && WTERMSIG(*Status) == LngSignal) << *Status;
        EXPECT_EQ(ReadText(Dir / "log"), "");
        EXPECT_TRUE(TemporaryFiles(OutDir.Path()).empty());
        ExpectOutputKept();
        FaultCases.Add();
    }
}

TEST_F(FaultInjection, ConcurrentRunsLeaveOneCompleteResult)
{
    // A grid of about 2.5 MB, doubled and tripled into one output by two
    // runs started together, twenty times over.
    const TGridText Grid = ExactGrid(600, 500);
    WriteText(In, GridFileText(Grid));
    const std::string StgDoubled = Dir / "doubled.asc";
    const std::string StgTripled = Dir / "tripled.asc";
    ASSERT_EQ(RunOverlay({In, StgDoubled, "x", "2"}).LngStatus, 0);
    ASSERT_EQ(RunOverlay({In, StgTripled, "x", "3"}).LngStatus, 0);
    const std::optional<TGridText> Doubled = ParseGridText(ReadText(StgDoubled));
    const std::optional<TGridText> Tripled = ParseGridText(ReadText(StgTripled));
    ASSERT_TRUE(Doubled && Tripled);
    for (std::size_t LngCell = 0; LngCell < Grid.VecCells.size(); ++LngCell) {
        const double DblCell = Grid.VecCells[LngCell];
        const bool BlnNoData = DblCell == Grid.DblNoData;
        ASSERT_EQ(Doubled->VecCells[LngCell], BlnNoData ? DblCell : 2 * DblCell);
        ASSERT_EQ(Tripled->VecCells[LngCell], BlnNoData ? DblCell : 3 * DblCell);
    }

    const std::string StgPair = OverlayCommandLine({In, Out, "x", "2"}) + " & first=$!; "
        + OverlayCommandLine({In, Out, "x", "3"}) + " & second=$!; "
        + "wait $first; echo $?; wait $second; echo $?";
    const std::string StgDoubledText = ReadText(StgDoubled);
    const std::string StgTripledText = ReadText(StgTripled);
    for (int LngPair = 0; LngPair < 20; ++LngPair) {
        SCOPED_TRACE("pair " + std::to_string(LngPair));
        const TCommandResult Result = RunShell(StgPair);
        EXPECT_EQ(Result.StgOut, "0\n0\n");
        const std::string StgResult = ReadText(Out);
        EXPECT_TRUE(StgResult == StgDoubledText || StgResult == StgTripledText)
            << "the output is no complete result (" << StgResult.size() << " bytes)";
        EXPECT_EQ(OutDir.EntryCount(), 1u);
        FaultCases.Add();
    }
}
