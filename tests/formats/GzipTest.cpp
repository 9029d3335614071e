// gzip through the formats layer beside the field's tools: what gzip and
// Python's gzip module write, single and multi-member, reads back here to the
// same text; what is written here reads back in gunzip, Python and GDAL's
// /vsigzip/, one member per chunk, the same bytes on any number of threads.
// Damaged data fails as Python's gzip module judges it: "ends early" where
// it reports a stream cut short, "corrupt" where it reports bad data.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "formats/TGzipReadBuffer.h"
#include "formats/TGzipWriteBuffer.h"
#include "support/TCommand.h"
#include "support/TGdalGrid.h"
#include "support/TGridText.h"
#include "support/TTempDir.h"
#include "util/TSlices.h"

namespace {

// A seeded grid of 2-decimal values whose text fills a little more than
// two chunks, and that text.
const TGridText& SampleGrid()
{
    static const TGridText Grid = [] {
        TGridText Made{1000, 0, 512345.5, 4512345.5, 30, -9999, {}};
        std::mt19937_64 Random(20240612);
        std::uniform_int_distribution<long> Centi(-100000, 400000);
        for (Made.LngRows = 0; Made.LngRows < 1200; ++Made.LngRows)
            for (long LngCol = 0; LngCol < Made.LngCols; ++LngCol)
                Made.VecCells.push_back(static_cast<double>(Centi(Random)) / 100);
        return Made;
    }();
    return Grid;
}

const std::string& SampleText()
{
    static const std::string StgText = GridFileText(SampleGrid());
    return StgText;
}

std::string Compressed(const std::string& StgText, int LngLevel, std::size_t LngFlushEvery = 0)
{
    std::ostringstream Target;
    TGzipWriteBuffer Buffer(Target, LngLevel);
    std::ostream Out(&Buffer);
    const std::size_t LngStep = LngFlushEvery > 0 ? LngFlushEvery : StgText.size() + 1;
    for (std::size_t LngAt = 0; LngAt < StgText.size(); LngAt += LngStep)
        Out.write(StgText.data() + LngAt,
                  static_cast<std::streamsize>(std::min(LngStep, StgText.size() - LngAt)))
            .flush();
    Buffer.Finish();
    return Target.str();
}

// Our reading of gzip data: the text, or "failure: " and the message.
std::string Decompressed(const std::string& StgGzip)
{
    std::istringstream Source(StgGzip);
    TGzipReadBuffer Buffer(*Source.rdbuf(), "data.gz");
    std::string StgText;
    char ArrChunk[1000];
    try {
        for (std::streamsize LngRead; (LngRead = Buffer.sgetn(ArrChunk, sizeof ArrChunk)) > 0;)
            StgText.append(ArrChunk, static_cast<std::size_t>(LngRead));
    } catch (const TGzipError& Error) {
        return std::string("failure: ") + Error.what();
    }
    return StgText;
}

std::string Python(const std::string& StgCode, const std::string& StgArgs)
{
    const TCommandResult Result = RunShell("python3 -c " + ShellQuoted(StgCode) + " " + StgArgs);
    EXPECT_EQ(Result.LngStatus, 0) << Result.StgErr;
    return Result.StgOut;
}

// gzip data of the text file T written to G: by a shell command, or by ours
// at a level.
struct TGzipWriter {
    const char* StgName;
    std::string StgCommand;
    int LngLevel;
};

const TGzipWriter ArrWriters[] = {
    {"gzip -6", "gzip -6 -c \"$T\" > \"$G\"", 0},
    {"gzip, three members glued",
     "split -n 3 \"$T\" \"$T.\" && for p in \"$T.\"a?; do gzip -1 -c \"$p\"; done > \"$G\"", 0},
    {"python3 gzip",
     "python3 -c 'import gzip,sys; open(sys.argv[2],\"wb\").write(gzip.compress("
     "open(sys.argv[1],\"rb\").read()))' \"$T\" \"$G\"",
     0},
    {"ours, level 1", "", 1},
    {"ours, level 6", "", 6},
};

// The number of gzip members in a file, as zlib in Python counts them.
long MemberCount(const std::string& StgGzip)
{
    return std::stol(
        Python("import sys,zlib\n"
               "d=open(sys.argv[1],'rb').read(); n=0\n"
               "while d:\n"
               "    o=zlib.decompressobj(31); o.decompress(d); d=o.unused_data; n+=1\n"
               "print(n)",
               ShellQuoted(StgGzip)));
}

}  // namespace

TEST(Gzip, EveryWriterReadsBackInEveryReader)
{
    TTempDir Dir;
    const std::string& StgText = SampleText();
    ASSERT_GT(StgText.size(), 2 * TGzipWriteBuffer::MemberBytes);
    const std::string StgPlain = Dir / "grid.asc";
    const std::string StgGzip = Dir / "grid.asc.gz";
    WriteText(StgPlain, StgText);
    for (const TGzipWriter& Writer : ArrWriters) {
        SCOPED_TRACE(Writer.StgName);
        if (Writer.LngLevel > 0)
            WriteText(StgGzip, Compressed(StgText, Writer.LngLevel));
        else
            ASSERT_EQ(RunShell("T=" + ShellQuoted(StgPlain) + " G=" + ShellQuoted(StgGzip) + "; "
                               + Writer.StgCommand)
                          .LngStatus,
                      0);
        EXPECT_TRUE(Decompressed(ReadText(StgGzip)) == StgText);
        const TCommandResult Gunzip = RunShell("gunzip -c " + ShellQuoted(StgGzip));
        EXPECT_EQ(Gunzip.LngStatus, 0) << Gunzip.StgErr;
        EXPECT_TRUE(Gunzip.StgOut == StgText);
        EXPECT_TRUE(
            Python("import gzip,sys; sys.stdout.buffer.write(gzip.open(sys.argv[1]).read())",
                   ShellQuoted(StgGzip))
            == StgText);
        if (Writer.LngLevel == 0)
            continue;
        EXPECT_EQ(MemberCount(StgGzip),
                  static_cast<long>(StgText.size() / TGzipWriteBuffer::MemberBytes + 1));
        // GDAL writes every digit back, which is slow: one level is enough.
        if (Writer.LngLevel != 6 || !GdalToolsInstalled())
            continue;
        const std::optional<TGridText> Gdal =
            GdalGrid("gdal_translate -oo DATATYPE=Float64 " + ShellQuoted("/vsigzip/" + StgGzip),
                     Dir / "gdal.asc");
        ASSERT_TRUE(Gdal);
        EXPECT_TRUE(Gdal->VecCells == SampleGrid().VecCells);
    }
}

TEST(Gzip, SameBytesOnAnyThreadsAndFlushes)
{
    const std::string& StgText = SampleText();
    TSlices::SetThreads(1);
    const std::string StgOne = Compressed(StgText, 1);
    for (unsigned LngThreads : {2U, 3U, 5U}) {
        TSlices::SetThreads(LngThreads);
        EXPECT_TRUE(Compressed(StgText, 1) == StgOne) << LngThreads << " threads";
    }
    // A flush after every few rows, as the grid writer flushes, ends no member.
    EXPECT_TRUE(Compressed(StgText, 1, 64 * 1024 + 3) == StgOne);
    TSlices::SetThreads(0);
    // No text at all is one empty member, which gunzip reads too.
    TTempDir Dir;
    WriteText(Dir / "empty.gz", Compressed("", 6));
    const TCommandResult Gunzip = RunShell("gunzip -c " + ShellQuoted(Dir / "empty.gz"));
    EXPECT_EQ(Gunzip.LngStatus, 0);
    EXPECT_EQ(Gunzip.StgOut, "");
    EXPECT_EQ(Decompressed(ReadText(Dir / "empty.gz")), "");
}

TEST(Gzip, DamagedDataFailsAsPythonJudgesIt)
{
    TTempDir Dir;
    const std::string StgOne = Compressed(SampleText().substr(0, 300000), 6);
    const std::string StgTwo = StgOne + Compressed("1 2 3\n", 6);
    // Cut, changed, followed by what is no member, no gzip at all; then
    // bytes changed at random.
    std::vector<std::string> VecDamaged = {
        StgOne.substr(0, 7),
        StgOne.substr(0, StgOne.size() / 2),
        StgOne.substr(0, StgOne.size() - 3),
        StgTwo.substr(0, StgTwo.size() - 10),
        StgOne.substr(0, StgOne.size() - 6) + "x" + StgOne.substr(StgOne.size() - 5),
        StgOne.substr(0, StgOne.size() - 1) + "\x7f",
        StgOne.substr(0, 2) + "\x07" + StgOne.substr(3),
        StgOne + "ncols 3\n",
        "\x78\x9c",
    };
    std::mt19937_64 Random(7);
    for (int LngDamage = 0; LngDamage < 40; ++LngDamage) {
        std::string StgData = StgTwo;
        const std::size_t LngAt = Random() % StgData.size();
        StgData[LngAt] = static_cast<char>(StgData[LngAt] ^ (1 + Random() % 255));
        VecDamaged.push_back(StgData);
    }
    std::string StgFiles;
    for (std::size_t LngDamage = 0; LngDamage < VecDamaged.size(); ++LngDamage) {
        WriteText(Dir / std::to_string(LngDamage), VecDamaged[LngDamage]);
        StgFiles += " " + ShellQuoted(Dir / std::to_string(LngDamage));
    }
    // Python's verdict on each: its exception's class, or "ok".
    std::istringstream Verdicts(
        Python("import gzip,sys\n"
               "for f in sys.argv[1:]:\n"
               "    try: gzip.open(f).read(); print('ok')\n"
               "    except EOFError: print('early')\n"
               "    except Exception: print('corrupt')",
               StgFiles));
    for (std::size_t LngDamage = 0; LngDamage < VecDamaged.size(); ++LngDamage) {
        std::string StgVerdict;
        ASSERT_TRUE(Verdicts >> StgVerdict);
        const std::string StgRead = Decompressed(VecDamaged[LngDamage]);
        // A change in a field nothing checks (the header's time) reads.
        if (StgVerdict == "ok")
            EXPECT_NE(StgRead.substr(0, 8), "failure:") << "damage " << LngDamage;
        else
            EXPECT_EQ(StgRead, std::string("failure: Unable to read file data.gz: the gzip data ")
                                   + (StgVerdict == "early" ? "ends early" : "is corrupt"))
                << "damage " << LngDamage;
    }
}

TEST(Gzip, IsTellsGzipByItsFirstBytesAndLeavesThemUnread)
{
    const struct {
        std::string StgBytes;
        bool BlnGzip;
    } ArrCases[] = {
        {"\x1f\x8b\x08rest", true}, {"ncols 3\n", false}, {"\x1f\x8c\x08", false},
        {"\x8b\x1f", false},        {"", false},          {"\x1f", true},
    };
    for (const auto& Case : ArrCases) {
        EXPECT_EQ(TGzipReadBuffer::IsGzip(Case.StgBytes.data(), Case.StgBytes.size()),
                  Case.BlnGzip && Case.StgBytes.size() >= 2);
        std::istringstream Stream(Case.StgBytes);
        EXPECT_EQ(TGzipReadBuffer::IsGzip(Stream), Case.BlnGzip);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(Stream), {}), Case.StgBytes);
    }
}
