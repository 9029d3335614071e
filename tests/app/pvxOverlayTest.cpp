// The command end to end: the built binary, its exit status, its one line of
// output and the files it leaves.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/TCommand.h"
#include "support/TTempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string StgUsage = "Usage: pvxOverlay InputFile OutputFile Operation (x | /) Scalar\n";

const std::string StgGrid =
    "ncols 3\nnrows 2\nxllcorner 10\nyllcorner 20\ncellsize 5\nNODATA_value -9999\n"
    "1 -9999 3\n4 5 -6.5\n";

std::string Header(const std::string& StgNoData)
{
    return "ncols 3\nnrows 2\nxllcorner       10\nyllcorner       20\ncellsize 5\nNODATA_value "
        + StgNoData + "\n";
}

class OverlayCommand : public ::testing::Test {
protected:
    void SetUp() override { WriteText(In, StgGrid); }

    void ExpectFailure(const TCommandResult& Result, const std::string& StgMessage)
    {
        EXPECT_EQ(Result.LngStatus, 1);
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
    for (const auto& VecArgs : {std::vector<std::string>{In, Out, "x"},
                                std::vector<std::string>{In, Out, "x", "2", "extra"},
                                std::vector<std::string>{}}) {
        const TCommandResult Result = RunOverlay(VecArgs);
        EXPECT_EQ(Result.LngStatus, 2);
        EXPECT_EQ(Result.StgOut, StgUsage);
        EXPECT_EQ(Result.StgErr, "");
    }
    EXPECT_FALSE(fs::exists(Out));
}

TEST_F(OverlayCommand, MultipliesAndDividesDataCellsOnly)
{
    const std::string StgDoubled = Header("-9999") + "2 -9999 6 \n8 10 -13 \n";
    for (const auto& VecArgs : {std::vector<std::string>{In, Out, "x", "2"},
                                std::vector<std::string>{In, Out, "xyz", "2"},
                                std::vector<std::string>{In, Out, "x2", " 2e0 "},
                                std::vector<std::string>{In, Out, "/", "0.5"},
                                std::vector<std::string>{In, Out, "/abc", "5e-1"}}) {
        fs::remove(Out);
        const TCommandResult Result = RunOverlay(VecArgs);
        EXPECT_EQ(Result.LngStatus, 0) << VecArgs[2];
        EXPECT_EQ(Result.StgOut, "");
        EXPECT_EQ(ReadText(Out), StgDoubled) << VecArgs[2] << " " << VecArgs[3];
    }
}

TEST_F(OverlayCommand, KeepsAnotherNoDataValue)
{
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
    const std::string StgBody = ReadText(Out).substr(ReadText(Out).rfind("NODATA"));
    EXPECT_EQ(StgBody, "NODATA_value -9999\ninf -inf -nan \n");

    const std::string StgAgain = Dir / "again.asc";
    ASSERT_EQ(RunOverlay({Out, StgAgain, "x", "1"}).LngStatus, 0);
    EXPECT_EQ(ReadText(StgAgain), ReadText(Out));
}

TEST_F(OverlayCommand, InvalidScalarIsRefusedBeforeAnyFile)
{
    for (const std::string StgScalar : {"abc", "2,5", "", "2x", "1e999"}) {
        const TCommandResult Result = RunOverlay({Dir / "missing.asc", Out, "x", StgScalar});
        ExpectFailure(Result, "Invalid scalar: " + StgScalar);
    }
    EXPECT_FALSE(fs::exists(Out));
}

TEST_F(OverlayCommand, UnknownOperationOnlyForReadableInput)
{
    for (const std::string StgOp : {"X", "*", "-", ""})
        ExpectFailure(RunOverlay({In, Out, StgOp, "2"}), "Unknown operation");
    EXPECT_FALSE(fs::exists(Out));

    const std::string StgMissing = Dir / "missing.asc";
    ExpectFailure(RunOverlay({StgMissing, Out, "X", "2"}), "Unable to open file " + StgMissing);

    WriteText(In, StgGrid.substr(0, StgGrid.size() - 5));
    ExpectFailure(RunOverlay({In, Out, "X", "2"}),
                  "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile");
}

TEST_F(OverlayCommand, ReportsInputFailures)
{
    ExpectFailure(RunOverlay({Dir.Path().string(), Out, "x", "2"}),
                  "Unable to open file " + Dir.Path().string());

    WriteText(In, "NCOLS 3\n");
    ExpectFailure(RunOverlay({In, Out, "x", "2"}), "File format error: expected to find ncols tag");

    WriteText(In, "ncols 3\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n1 2,5 3\n");
    ExpectFailure(RunOverlay({In, Out, "x", "2"}),
                  "File format error: cell at column 2, row 1 is not a number");

    WriteText(In, "ncols 2147483647\nnrows 2147483647\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
                  "NODATA_value -9999\n1 2 3\n");
    ExpectFailure(RunOverlay({In, Out, "x", "2"}),
                  "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile");

    WriteText(In, "ncols 3\nnrows 0\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n");
    ExpectFailure(RunOverlay({In, Out, "x", "2"}), "Index is out of range in TAxis::GetPoint");
    EXPECT_FALSE(fs::exists(Out));
}

TEST_F(OverlayCommand, FailureLeavesExistingOutputUntouched)
{
    WriteText(Out, "precious");
    WriteText(In, StgGrid + "");
    ExpectFailure(RunOverlay({In, Out, "?", "2"}), "Unknown operation");
    WriteText(In, StgGrid.substr(0, StgGrid.size() - 6) + "abc\n");
    ExpectFailure(RunOverlay({In, Out, "x", "2"}),
                  "File format error: cell at column 2, row 2 is not a number");
    EXPECT_EQ(ReadText(Out), "precious");
    EXPECT_EQ(Dir.EntryCount(), 2u);
}

TEST_F(OverlayCommand, UnwritableOutputIsReportedAfterTheInput)
{
    const std::string StgNowhere = Dir / "no/such/dir/out.asc";
    ExpectFailure(RunOverlay({In, StgNowhere, "x", "2"}), "Unable to open file " + StgNowhere);

    WriteText(In, StgGrid.substr(0, StgGrid.size() - 5));
    ExpectFailure(RunOverlay({In, StgNowhere, "x", "2"}),
                  "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile");

    WriteText(In, StgGrid);
    ExpectFailure(RunOverlay({In, "/dev/full", "x", "2"}), "Unable to write file /dev/full");
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
    const std::string StgSingle = Dir / "single.asc";
    ASSERT_EQ(RunOverlay({StgSample, Out, "x", "1.1"}).LngStatus, 0);
    ASSERT_EQ(RunOverlay({StgSample, StgSingle, "x", "1.1"}, "PVX_THREADS=1").LngStatus, 0);
    EXPECT_EQ(ReadText(Out), ReadText(StgSingle));
    EXPECT_NE(ReadText(Out).find("xllcorner 512345.5\nyllcorner 4512345.5\n"), std::string::npos);
}

TEST_F(OverlayCommand, ExhaustedMemoryIsOneLineNotACrash)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#endif
    // One column of many rows: the header's axes alone need more memory than
    // the limit leaves.
    std::string StgTall = "ncols 1\nnrows 1500000\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
                          "NODATA_value -9999\n";
    for (int LngRow = 0; LngRow < 1500000; ++LngRow)
        StgTall += "1\n";
    WriteText(In, StgTall);
    ExpectFailure(RunOverlay({In, Out, "x", "2"}, "ulimit -v 120000;"), "Out of memory");
    EXPECT_FALSE(fs::exists(Out));
    EXPECT_EQ(Dir.EntryCount(), 1u);
}
