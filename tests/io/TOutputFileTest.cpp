#include "io/TOutputFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "grid/TError.h"
#include "support/TTempDir.h"

namespace fs = std::filesystem;

TEST(OutputFile, ReplacesTargetOnlyOnCommit)
{
    TTempDir Dir;
    const std::string StgTarget = Dir / "out.asc";
    WriteText(StgTarget, "old");
    {
        TOutputFile File(StgTarget);
        File.Stream() << "new";
        EXPECT_EQ(ReadText(StgTarget), "old");
        EXPECT_NE(File.WorkingName(), StgTarget);
        File.Commit();
    }
    EXPECT_EQ(ReadText(StgTarget), "new");
    EXPECT_EQ(Dir.EntryCount(), 1u);
}

TEST(OutputFile, AbandonedFileLeavesTargetAndNoTemporary)
{
    TTempDir Dir;
    const std::string StgTarget = Dir / "out.asc";
    WriteText(StgTarget, "old");
    {
        TOutputFile File(StgTarget);
        File.Stream() << "partial";
    }
    EXPECT_EQ(ReadText(StgTarget), "old");
    EXPECT_EQ(Dir.EntryCount(), 1u);

    {
        TOutputFile File(Dir / "fresh.asc");
    }
    EXPECT_FALSE(fs::exists(Dir / "fresh.asc"));
    EXPECT_EQ(Dir.EntryCount(), 1u);
}

TEST(OutputFile, MissingDirectoryCannotBeOpened)
{
    TTempDir Dir;
    const std::string StgTarget = Dir / "no/such/dir/out.asc";
    try {
        TOutputFile File(StgTarget);
        FAIL() << "opened a file in a missing directory";
    } catch (const TFileError& Error) {
        EXPECT_EQ(std::string(Error.what()), "Unable to open file " + StgTarget);
    }
}

TEST(OutputFile, WriteFailureIsReportedAtCommit)
{
    TOutputFile File("/dev/full");
    EXPECT_EQ(File.WorkingName(), "/dev/full");
    File.Stream() << std::string(1 << 16, 'x');
    try {
        File.Commit();
        FAIL() << "a write to /dev/full succeeded";
    } catch (const TFileError& Error) {
        EXPECT_EQ(std::string(Error.what()), "Unable to write file /dev/full");
    }
}

TEST(OutputFile, KeepsLinksAndPermissions)
{
    TTempDir Dir;
    const std::string StgTarget = Dir / "real.asc";
    const std::string StgLink = Dir / "link.asc";
    WriteText(StgTarget, "old");
    fs::permissions(StgTarget, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(StgTarget, StgLink);

    TOutputFile File(StgLink);
    File.Stream() << "new";
    File.Commit();

    EXPECT_TRUE(fs::is_symlink(StgLink));
    EXPECT_EQ(ReadText(StgTarget), "new");
    EXPECT_EQ(fs::status(StgTarget).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
