// The command end to end: the built binary, its exit status, its one line of
// output and the files it leaves.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <tuple>

#include "support/TCommand.h"
#include "support/TTempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string StgGrid =
    "ncols 3\nnrows 2\nxllcorner 10\nyllcorner 20\ncellsize 5\nNODATA_value -9999\n"
    "1 -9999 3\n4 5 -6.5\n";
const std::string StgEndOfFile = "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile";

std::string Header(const std::string& StgNoData)
{
    return "ncols 3\nnrows 2\nxllcorner       10\nyllcorner       20\ncellsize 5\nNODATA_value "
        + StgNoData + "\n";
}

class OverlayCommand : public ::testing::Test {
protected:
    void SetUp() override { WriteText(In, StgGrid); }

    void ExpectFailure(const TCommandResult& Result, const std::string& StgMessage, int LngStatus = 1)
    {
        EXPECT_EQ(Result.LngStatus, LngStatus);
        EXPECT_EQ(Result.StgOut, StgMessage + "\n");
        EXPECT_EQ(Result.StgErr, "");
    }

    TTempDir Dir;
    std::string In = Dir / "in.asc";
    std::string Out = Dir / "out.asc";
};

}  // namespace

TEST_F(OverlayCommand, WrongArgumentCountPrintsUsage)
{
    for (const std::vector<std::string>& VecArgs :
         {std::vector<std::string>{In, Out, "x"}, {In, Out, "x", "2", "extra"}, {}})
        ExpectFailure(RunOverlay(VecArgs),
                      "Usage: pvxOverlay InputFile OutputFile Operation (x | /) Scalar", 2);
    EXPECT_FALSE(fs::exists(Out));
}

TEST_F(OverlayCommand, MultipliesAndDividesDataCellsOnly)
{
    for (const std::vector<std::string>& VecArgs :
         {std::vector<std::string>{"x", "2"}, {"xyz", "2"}, {"x2", " 2e0 "}, {"x", "\t+2.\n"},
          {"/", "0.5"}, {"/abc", "5e-1"}}) {
        fs::remove(Out);
        const TCommandResult Result = RunOverlay({In, Out, VecArgs[0], VecArgs[1]});
        EXPECT_EQ(Result.LngStatus, 0) << VecArgs[0];
        EXPECT_EQ(Result.StgOut, "");
        EXPECT_EQ(ReadText(Out), Header("-9999") + "2 -9999 6 \n8 10 -13 \n") << VecArgs[0];
    }

    WriteText(In, "ncols 3\nnrows 2\nxllcorner 10\nyllcorner 20\ncellsize 5\nNODATA_value -1\n"
                  "1 -1 3\n-1 -9999 2\n");
    ASSERT_EQ(RunOverlay({In, Out, "/", "4"}).LngStatus, 0);
    EXPECT_EQ(ReadText(Out), Header("-1") + "0.25 -1 0.75 \n-1 -2499.75 0.5 \n");
}

TEST_F(OverlayCommand, DivisionByZeroGivesInfinitiesThatReadBack)
{
    WriteText(In, "ncols 3\nnrows 1\nxllcorner 10\nyllcorner 20\ncellsize 5\nNODATA_value -9999\n"
                  "2 -3 0\n");
    ASSERT_EQ(RunOverlay({In, Out, "/", "0"}).LngStatus, 0);
    EXPECT_EQ(ReadText(Out).substr(ReadText(Out).rfind("NODATA")),
              "NODATA_value -9999\ninf -inf -nan \n");
    ASSERT_EQ(RunOverlay({Out, In, "x", "1"}).LngStatus, 0);
    EXPECT_EQ(ReadText(In), ReadText(Out));
}

TEST_F(OverlayCommand, ReportsFailuresScalarFirstThenInputThenOperationThenOutput)
{
    const std::string StgMissing = Dir / "missing.asc";
    const std::string StgNowhere = Dir / "no/such/dir/out.asc";
    const std::string StgShort = StgGrid.substr(0, StgGrid.size() - 5);
    const std::string StgHeader = "ncols 3\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\n";
    struct TCase {
        std::string StgInput, StgText, StgTarget, StgOp, StgScalar, StgMessage;
    };
    std::vector<TCase> VecCases = {
        {StgMissing, "", Out, "X", "2", "Unable to open file " + StgMissing},
        {In, StgShort, Out, "X", "2", StgEndOfFile},
        {In, "NCOLS 3\n", Out, "x", "2", "File format error: expected to find ncols tag"},
        {In, StgHeader + "NODATA_value -9999\n1 2,5 3\n", Out, "x", "2",
         "File format error: cell at column 2, row 1 is not a number"},
        {In, "ncols 2147483647\nnrows 2147483647\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
             "NODATA_value -9999\n1 2 3\n", Out, "x", "2", StgEndOfFile},
        {In, "ncols 1 nrows 2 xllcorner 0 yllcorner 0 cellsize -1 NODATA_value 0 1 2\n", Out, "x",
         "2", "File format error: cellsize must be greater than 0"},
        {In, "ncols 1 nrows 2 xllcorner 0 yllcorner 0 cellsize 1e308 NODATA_value 0 1 2\n", Out, "x",
         "2", "File format error: grid extent is out of range"},
        {In, StgShort, StgNowhere, "x", "2", StgEndOfFile},
        {In, StgGrid, StgNowhere, "x", "2", "Unable to open file " + StgNowhere},
    };
    // Before any file is opened, a scalar must be one number as a cell is.
    for (const std::string StgScalar : {"abc", "2,5", "", " ", "2x", "1e999", "1 2", "0x10", "INF",
                                        "infinity", "nan(1)", "+inf", "- 2"})
        VecCases.push_back({StgMissing, "", Out, "x", StgScalar, "Invalid scalar: " + StgScalar});
    for (const std::string StgOp : {"X", "*", "-", ""})
        VecCases.push_back({In, StgGrid, Out, StgOp, "2", "Unknown operation"});

    WriteText(Out, "precious");
    for (const TCase& Case : VecCases) {
        SCOPED_TRACE(Case.StgText + " " + Case.StgOp + " " + Case.StgScalar);
        WriteText(In, Case.StgText);
        ExpectFailure(RunOverlay({Case.StgInput, Case.StgTarget, Case.StgOp, Case.StgScalar}),
                      Case.StgMessage);
    }
    EXPECT_EQ(ReadText(Out), "precious");
    EXPECT_EQ(Dir.EntryCount(), 2u);
}

TEST_F(OverlayCommand, DescriptorsAreWrittenAsTheShellOpenedThem)
{
    // Whichever name leads to it, the shell's file is written on where it
    // stands: neither replaced nor truncated anew.
    const std::string StgLog = Dir / "log.txt";
    for (const std::string StgName : {"/dev/stdout", "/proc/self/fd/1", "/dev/fd/1", "/dev/stderr"}) {
        WriteText(StgLog, "earlier\n");
        RunShell("{ echo first; " + OverlayCommandLine({In, StgName, "x", "2"}) + "; echo last; } >>"
                 + ShellQuoted(StgLog) + " 2>&1");
        EXPECT_EQ(ReadText(StgLog), "earlier\nfirst\n" + Header("-9999") + "2 -9999 6 \n8 10 -13 \nlast\n")
            << StgName;
    }
    EXPECT_EQ(Dir.EntryCount(), 2u);
}

TEST_F(OverlayCommand, NamesUpToTheFileNameLimitCanBeWritten)
{
    // The temporary file beside the output has a short name of its own.
    for (const std::size_t LngLength : {236U, 255U, 256U}) {
        const std::string StgName = Dir / (std::string(LngLength - 4, 'n') + ".asc");
        const TCommandResult Result = RunOverlay({In, StgName, "x", "2"});
        EXPECT_EQ(Result.StgOut, LngLength > 255 ? "Unable to open file " + StgName + "\n" : "");
        EXPECT_EQ(ReadText(StgName), LngLength > 255 ? "" : Header("-9999") + "2 -9999 6 \n8 10 -13 \n");
        std::remove(StgName.c_str());
    }
    EXPECT_EQ(Dir.EntryCount(), 1u);
}

TEST_F(OverlayCommand, LinksAndProtectedFilesAsTheShellTreatsThem)
{
    // A dangling link leads to the file to create, a loop of links nowhere.
    fs::create_symlink("made.asc", Dir / "dangling.asc");
    fs::create_symlink("loop.asc", Dir / "loop.asc");
    EXPECT_EQ(RunOverlay({In, Dir / "dangling.asc", "x", "2"}).LngStatus, 0);
    EXPECT_TRUE(fs::is_symlink(Dir / "dangling.asc"));
    EXPECT_EQ(ReadText(Dir / "made.asc"), Header("-9999") + "2 -9999 6 \n8 10 -13 \n");
    ExpectFailure(RunOverlay({In, Dir / "loop.asc", "x", "2"}), "Unable to open file " + Dir / "loop.asc");

    // A file the user may not write is refused, as by the shell's `>`; root
    // may write any, so as root the command runs as nobody, whose file it is.
    WriteText(Out, "theirs\n");
    fs::permissions(Out, fs::perms::owner_read | fs::perms::group_read);
    const bool BlnRoot = geteuid() == 0;
    std::string StgAsUser;
    if (BlnRoot) {
        if (RunShell("command -v setpriv").LngStatus != 0)
            GTEST_SKIP() << "setpriv is needed to run the command as a user other than root";
        ASSERT_EQ(chown(Out.c_str(), 65534, 65534), 0);
        fs::permissions(Dir.Path(), fs::perms::all);
        StgAsUser = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    }
    ExpectFailure(RunOverlay({In, Out, "x", "2"}, StgAsUser), "Unable to open file " + Out);
    EXPECT_EQ(ReadText(Out), "theirs\n");

    // Replaced by root, it keeps its owner, group and permission bits.
    if (!BlnRoot)
        GTEST_SKIP() << "only root can make another user's file to replace";
    struct stat Before = {}, After = {};
    ASSERT_EQ(stat(Out.c_str(), &Before), 0);
    ASSERT_EQ(RunOverlay({In, Out, "x", "2"}).LngStatus, 0);
    ASSERT_EQ(stat(Out.c_str(), &After), 0);
    EXPECT_EQ(std::tie(After.st_uid, After.st_gid, After.st_mode),
              std::tie(Before.st_uid, Before.st_gid, Before.st_mode));
}

TEST_F(OverlayCommand, InputMayBeTheOutput)
{
    ASSERT_EQ(RunOverlay({In, In, "x", "2"}).LngStatus, 0);
    EXPECT_EQ(ReadText(In), Header("-9999") + "2 -9999 6 \n8 10 -13 \n");
    EXPECT_EQ(Dir.EntryCount(), 1u);
}

TEST_F(OverlayCommand, SingleThreadedRunWritesTheSameBytes)
{
    const std::string StgSample = std::string(PVX_SOURCE_DIR) + "/data/sample.asc";
    ASSERT_EQ(RunOverlay({StgSample, Out, "x", "1.1"}).LngStatus, 0);
    EXPECT_NE(ReadText(Out).find("xllcorner 512345.5\nyllcorner 4512345.5\n"), std::string::npos);
    std::vector<std::string> VecPrefixes = {"PVX_THREADS=1"};
#if !defined(__SANITIZE_ADDRESS__)  // AddressSanitizer needs more address space
    // A thread's stack (1 GB) beyond the address space left: no second thread.
    VecPrefixes.push_back("ulimit -s 1000000; ulimit -v 200000;");
#endif
    for (const std::string& StgPrefix : VecPrefixes) {
        fs::remove(In);
        const TCommandResult Result = RunOverlay({StgSample, In, "x", "1.1"}, StgPrefix);
        EXPECT_EQ(Result.LngStatus, 0) << StgPrefix << ": " << Result.StgOut;
        EXPECT_EQ(ReadText(Out), ReadText(In)) << StgPrefix;
    }
}

TEST_F(OverlayCommand, LongThinGridsStreamInLittleMemory)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#endif
    // One column of many rows, and one row of many columns: neither needs
    // more than a few blocks of memory.
    constexpr long LngCells = 1500000;
    std::string StgCells, StgTall, StgWide;
    for (long LngCell = 0; LngCell < LngCells; ++LngCell) {
        StgCells += "1\n";
        StgTall += "2 \n";
        StgWide += "2 ";
    }
    const std::string StgTail = "xllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n";
    const std::string StgOutTail =
        "xllcorner        0\nyllcorner        0\ncellsize 1\nNODATA_value -9999\n";
    for (const auto& [StgDims, StgBody] :
         {std::pair<std::string, std::string>{"ncols 1\nnrows 1500000\n", StgTall},
          {"ncols 1500000\nnrows 1\n", StgWide + "\n"}}) {
        WriteText(In, StgDims + StgTail + StgCells);
        const TCommandResult Result = RunOverlay({In, Out, "x", "2"}, "ulimit -v 120000;");
        EXPECT_EQ(Result.LngStatus, 0) << Result.StgOut;
        EXPECT_TRUE(ReadText(Out) == StgDims + StgOutTail + StgBody) << StgDims;
    }
}

TEST_F(OverlayCommand, ReadErrorNamesTheInput)
{
    ExpectFailure(RunOverlay({"/proc/self/mem", Out, "x", "2"}), "Unable to read file /proc/self/mem");
    EXPECT_FALSE(fs::exists(Out));
}
