// The .prj sidecar: which names it has, and how it follows the grid through
// the command.
#include "app/TSidecar.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TCommand.h"
#include "support/TTempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string StgGrid =
    "ncols 2\nnrows 1\nxllcorner 10\nyllcorner 20\ncellsize 5\nNODATA_value -9999\n1 2\n";
const std::string StgPrj = "PROJCS[\"ETRS89 / UTM zone 32N\"]\r\n";

class SidecarCommand : public ::testing::Test {
protected:
    void SetUp() override { WriteText(In, StgGrid); }

    TTempDir Dir;
    std::string In = Dir / "in.asc";
    std::string Out = Dir / "out.asc";
};

}  // namespace

TEST(Sidecar, NamesBesideTheGrid)
{
    TTempDir Dir;
    WriteText(Dir / "upper.PRJ", "");
    WriteText(Dir / "both.prj", "");
    WriteText(Dir / "both.PRJ", "");
    WriteText(Dir / "plain.prj", "");
    fs::create_directory(Dir / "dir.prj");
    const std::pair<std::string, std::string> InputCases[] = {
        {Dir / "upper.asc", Dir / "upper.PRJ"}, {Dir / "both.ASC", Dir / "both.prj"},
        {Dir / "plain", Dir / "plain.prj"},     {Dir / "none.asc", ""},
        {Dir / "dir.asc", ""},                  {"-", ""}};
    for (const auto& [StgGridName, StgExpected] : InputCases)
        EXPECT_EQ(TSidecar::OfInput(StgGridName), StgExpected) << StgGridName;

    const std::pair<std::string, std::string> OutputCases[] = {
        {"out.asc", "out.prj"},       {"a.b/out", "a.b/out.prj"}, {"out.tar.ASC", "out.tar.prj"},
        {"-", ""},                    {"/dev/stdout", ""},        {"/dev/shm/x.asc", ""},
        {"/proc/self/fd/1", ""},      {"/dev/null", ""}};
    for (const auto& [StgGridName, StgExpected] : OutputCases)
        EXPECT_EQ(TSidecar::OfOutput(StgGridName), StgExpected) << StgGridName;
}

TEST_F(SidecarCommand, CopiedBesideTheOutputByteForByte)
{
    for (const std::string& StgInputPrj : {Dir / "in.prj", Dir / "in.PRJ"}) {
        WriteText(StgInputPrj, StgPrj);
        ASSERT_EQ(RunOverlay({In, Out, "x", "2"}).LngStatus, 0);
        EXPECT_EQ(ReadText(Dir / "out.prj"), StgPrj);
        fs::remove(StgInputPrj);
        fs::remove(Dir / "out.prj");
    }
    // The input's own sidecar, as the output's, survives.
    WriteText(Dir / "in.prj", StgPrj);
    ASSERT_EQ(RunOverlay({In, In, "x", "2"}).LngStatus, 0);
    EXPECT_EQ(ReadText(Dir / "in.prj"), StgPrj);
}

TEST_F(SidecarCommand, NeitherFileWrittenOnFailure)
{
    WriteText(Dir / "in.prj", StgPrj);
    WriteText(Out, "old grid");
    WriteText(Dir / "out.prj", "old prj");
    const std::vector<std::vector<std::string>> Failures = {
        {In, Out, "?", "2"},                      // known only once the input read
        {Dir / "missing.asc", Out, "x", "2"}};
    for (const auto& VecArgs : Failures)
        EXPECT_EQ(RunOverlay(VecArgs).LngStatus, 1) << VecArgs[0];
    // A full disk, met by the sidecar's write or by the grid's.
    WriteText(Dir / "in.prj", std::string(4096, 'p'));
    EXPECT_EQ(RunOverlay({In, Out, "x", "2"}, "ulimit -f 1;").StgOut,
              "Unable to write file " + Dir / "out.prj" + "\n");
    EXPECT_EQ(ReadText(Out), "old grid");
    EXPECT_EQ(ReadText(Dir / "out.prj"), "old prj");
    EXPECT_EQ(Dir.EntryCount(), 4u);  // no temporary file left

    // A sidecar that cannot be put in place is reported as a grid would be.
    fs::remove(Dir / "out.prj");
    fs::create_directory(Dir / "out.prj");
    EXPECT_EQ(RunOverlay({In, Out, "x", "2"}).StgOut,
              "Unable to open file " + Dir / "out.prj" + "\n");
    EXPECT_EQ(ReadText(Out), "old grid");
}

TEST_F(SidecarCommand, NoneForStandardOutputNorWithoutOne)
{
    WriteText(Dir / "in.prj", StgPrj);
    const TCommandResult Result = RunShell("cd " + ShellQuoted(Dir.Path().string()) + " && "
                                           + OverlayCommandLine({"in.asc", "/dev/stdout", "x", "2"}));
    EXPECT_EQ(Result.LngStatus, 0);
    EXPECT_EQ(Dir.EntryCount(), 2u);

    // An input without a sidecar leaves the output's alone.
    fs::remove(Dir / "in.prj");
    WriteText(Dir / "out.prj", "kept");
    ASSERT_EQ(RunOverlay({In, Out, "x", "2"}).LngStatus, 0);
    EXPECT_EQ(ReadText(Dir / "out.prj"), "kept");
}
