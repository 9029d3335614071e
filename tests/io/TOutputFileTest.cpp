#include "io/TOutputFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

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
        EXPECT_EQ(PthWorking.filename().string().substr(0, 5), ".pvx-");
        EXPECT_EQ(PthWorking.filename().string().size(), 11u);
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

    // A link to a link, relative to its own folder, ends at a file to create.
    fs::create_directory(Dir / "sub");
    fs::create_symlink("../link-to-new.asc", Dir / "sub/up.asc");
    fs::create_symlink("sub/new.asc", Dir / "link-to-new.asc");
    TOutputFile Chained(Dir / "sub/up.asc");
    Chained.Stream() << "made";
    Chained.Commit();
    EXPECT_EQ(ReadText(Dir / "sub/new.asc"), "made");
    EXPECT_TRUE(fs::is_symlink(Dir / "sub/up.asc") && fs::is_symlink(Dir / "link-to-new.asc"));
}

TEST(OutputFile, DescriptorsAreWrittenThroughAsTheyAreOpen)
{
    TTempDir Dir;
    const std::string StgLog = Dir / "log.txt";
    WriteText(StgLog, "earlier\n");
    const int LngAppending = open(StgLog.c_str(), O_WRONLY | O_APPEND);
    const int LngReading = open(StgLog.c_str(), O_RDONLY);
    ASSERT_TRUE(LngAppending >= 0 && LngReading >= 0);
    for (const std::string StgDir : {"/dev/fd/", "/proc/self/fd/"}) {
        TOutputFile File(StgDir + std::to_string(LngAppending));
        EXPECT_TRUE(File.WritesDirectly());
        File.Stream() << StgDir << "\n";
        File.Commit();
        const std::string StgReadOnly = StgDir + std::to_string(LngReading);
        EXPECT_ERROR(TFileError, TOutputFile Refused(StgReadOnly), "Unable to open file " + StgReadOnly);
    }
    close(LngAppending);
    close(LngReading);
    EXPECT_EQ(ReadText(StgLog), "earlier\n/dev/fd/\n/proc/self/fd/\n");
    EXPECT_EQ(Dir.EntryCount(), 1u);
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
    // A loop of links names nothing either; nor does a link into a missing folder.
    fs::create_symlink("b", Dir / "a");
    fs::create_symlink("a", Dir / "b");
    fs::create_symlink("no/such/dir/x.asc", Dir / "c");
    for (const std::string& StgName : {Dir / "a", Dir / "c"})
        EXPECT_ERROR(TFileError, TOutputFile File(StgName), "Unable to open file " + StgName);
    EXPECT_EQ(Dir.EntryCount(), 3u);

    // A device is written directly, and its write failure reported at commit.
    TOutputFile File("/dev/full");
    EXPECT_EQ(File.WorkingName(), "/dev/full");
    File.Stream() << std::string(1 << 16, 'x');
    EXPECT_ERROR(TFileError, File.Commit(), "Unable to write file /dev/full");
}
