#include "io/TOutputFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "grid/GridTestSupport.h"
#include "support/TTempDir.h"

namespace fs = std::filesystem;

TEST(OutputFile, ReplacesTargetOnlyOnCommit)
{
    TTempDir Dir;
    const std::string StgTarget = Dir / "out.asc";
    WriteText(StgTarget, "old");
    {
        TOutputFile File(StgTarget);
        File.Stream() << "partial";
    }
    EXPECT_EQ(ReadText(StgTarget), "old");
    {
        TOutputFile File(StgTarget);
        File.Stream() << "new";
        EXPECT_EQ(ReadText(StgTarget), "old");
        // Beside the target, under a short name of its own.
        const fs::path PthWorking = File.WorkingName();
        EXPECT_EQ(PthWorking.parent_path(), fs::canonical(Dir.Path()));
        EXPECT_EQ(PthWorking.filename().string().replace(5, 6, "XXXXXX"), ".pvx-XXXXXX");
        File.Commit();
    }
    EXPECT_EQ(ReadText(StgTarget), "new");
    { TOutputFile File(Dir / "fresh.asc"); }
    EXPECT_FALSE(fs::exists(Dir / "fresh.asc"));
    // No temporary file is left behind.
    EXPECT_EQ(Dir.EntryCount(), 1u);
}

TEST(OutputFile, KeepsLinksAndPermissions)
{
    TTempDir Dir;
    const std::string StgTarget = Dir / "real.asc";
    const std::string StgLink = Dir / "link.asc";
    WriteText(StgTarget, "old");
    const fs::perms Perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(StgTarget, Perms);
    fs::create_symlink(StgTarget, StgLink);

    TOutputFile File(StgLink);
    File.Stream() << "new";
    File.Commit();
    EXPECT_TRUE(fs::is_symlink(StgLink));
    EXPECT_EQ(ReadText(StgTarget), "new");
    EXPECT_EQ(fs::status(StgTarget).permissions(), Perms);
}

TEST(OutputFile, FailuresNameTheFile)
{
    TTempDir Dir;
    const std::string StgMissing = Dir / "no/such/dir/out.asc";
    EXPECT_ERROR(TFileError, TOutputFile File(StgMissing), "Unable to open file " + StgMissing);
    // No file part: nothing to create, and no temporary file left behind.
    for (const std::string& StgName : {std::string(), Dir / "sub/"})
        EXPECT_ERROR(TFileError, TOutputFile File(StgName), "Unable to open file " + StgName);
    EXPECT_EQ(Dir.EntryCount(), 0u);

    // A device is written directly, and its write failure reported at commit.
    TOutputFile File("/dev/full");
    EXPECT_EQ(File.WorkingName(), "/dev/full");
    File.Stream() << std::string(1 << 16, 'x');
    EXPECT_ERROR(TFileError, File.Commit(), "Unable to write file /dev/full");
}

TEST(OutputFile, RegularFileUnderDevIsReplacedNotWrittenThrough)
{
    if (!fs::is_directory("/dev/shm") || access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no writable /dev/shm";
    const std::string StgTarget = "/dev/shm/pvx-output-" + std::to_string(getpid()) + ".asc";
    WriteText(StgTarget, "old");
    {
        TOutputFile File(StgTarget);
        EXPECT_FALSE(File.WritesDirectly());
        File.Stream() << "partial";
    }
    EXPECT_EQ(ReadText(StgTarget), "old");
    fs::remove(StgTarget);
    // Devices stay written through.
    for (const char* StgDevice : {"/dev/null", "/dev/stdout"})
        EXPECT_TRUE(TOutputFile(StgDevice).WritesDirectly()) << StgDevice;
}
