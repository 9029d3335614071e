// gzip through the formats layer beside the field's tools: what gzip and
// Python's gzip module write, single and multi-member, reads back here to the
// same text; what is written here reads back in gunzip, Python and GDAL's
// /vsigzip/, one member per chunk, the same bytes on any number of threads.
// Damaged data fails as Python's gzip module judges it: "ends early" where
// it reports a stream cut short, "corrupt" where it reports bad data.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "formats/TGzipReadBuffer.h"
#include "formats/TGzipWriteBuffer.h"
#include "support/TCommand.h"
#include "support/TGdalRun.h"
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

struct TGzipWriter {
    const char* StgName;
    // Writes the gzip data of the text file into the gzip file.
    std::function<void(const std::string& StgText, const std::string& StgGzip)> Write;
    bool BlnOurs;
    // Read with GDAL's /vsigzip/ as well (slow: it writes every digit).
    bool BlnGdal = false;
};

void ShellWrite(const std::string& StgCommand)
{
    const TCommandResult Result = RunShell(StgCommand);
    ASSERT_EQ(Result.LngStatus, 0) << StgCommand << ": " << Result.StgErr;
}

void OursWrite(const std::string& StgText, const std::string& StgGzip, int LngLevel)
{
    WriteText(StgGzip, Compressed(ReadText(StgText), LngLevel));
}

const std::vector<TGzipWriter>& Writers()
{
    static const std::vector<TGzipWriter> VecWriters = {
        {"gzip -6",
         [](const std::string& T, const std::string& G) {
             ShellWrite("gzip -6 -c " + ShellQuoted(T) + " > " + ShellQuoted(G));
         },
         false},
        {"gzip, three members glued",
         [](const std::string& T, const std::string& G) {
             const std::string StgParts = ShellQuoted(T + ".part.");
             ShellWrite("split -n 3 " + ShellQuoted(T) + " " + StgParts + " && for p in " + StgParts
                        + "*; do gzip -1 -c \"$p\"; done > " + ShellQuoted(G));
         },
         false},
        {"python3 gzip",
         [](const std::string& T, const std::string& G) {
             Python(
                 "import gzip,sys; "
                 "open(sys.argv[2],'wb').write(gzip.compress(open(sys.argv[1],'rb').read()))",
                 ShellQuoted(T) + " " + ShellQuoted(G));
         },
         false},
        {"ours, level 1", [](const std::string& T, const std::string& G) { OursWrite(T, G, 1); },
         true},
        {"ours, level 6", [](const std::string& T, const std::string& G) { OursWrite(T, G, 6); },
         true, true},
        {"ours, level 9", [](const std::string& T, const std::string& G) { OursWrite(T, G, 9); },
         true},
    };
    return VecWriters;
}

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
    const TGridText& Grid = SampleGrid();
    const std::string& StgText = SampleText();
    ASSERT_GT(StgText.size(), 2 * TGzipWriteBuffer::MemberBytes);
    WriteText(Dir / "grid.asc", StgText);
    const long LngMembers = static_cast<long>((StgText.size() + TGzipWriteBuffer::MemberBytes - 1)
                                              / TGzipWriteBuffer::MemberBytes);
    for (const TGzipWriter& Writer : Writers()) {
        SCOPED_TRACE(Writer.StgName);
        const std::string StgGzip = Dir / "grid.asc.gz";
        Writer.Write(Dir / "grid.asc", StgGzip);
        EXPECT_EQ(Decompressed(ReadText(StgGzip)), StgText);
        const TCommandResult Gunzip = RunShell("gunzip -c " + ShellQuoted(StgGzip));
        EXPECT_EQ(Gunzip.LngStatus, 0) << Gunzip.StgErr;
        EXPECT_TRUE(Gunzip.StgOut == StgText);
        EXPECT_TRUE(
            Python("import gzip,sys; sys.stdout.buffer.write(gzip.open(sys.argv[1]).read())",
                   ShellQuoted(StgGzip))
            == StgText);
        if (!Writer.BlnOurs)
            continue;
        EXPECT_EQ(MemberCount(StgGzip), LngMembers);
        if (!Writer.BlnGdal || !GdalInstalled())
            continue;
        const std::optional<TGridText> Gdal =
            GdalGrid("gdal_translate -oo DATATYPE=Float64 " + ShellQuoted("/vsigzip/" + StgGzip),
                     Dir / "gdal.asc");
        ASSERT_TRUE(Gdal);
        EXPECT_TRUE(Gdal->VecCells == Grid.VecCells);
    }
}

TEST(Gzip, SameBytesOnAnyThreadsAndFlushes)
{
    const std::string& StgText = SampleText();
    TSlices::SetThreads(1);
    const std::string StgOne = Compressed(StgText, 6);
    for (unsigned LngThreads : {2U, 3U, 5U}) {
        TSlices::SetThreads(LngThreads);
        EXPECT_TRUE(Compressed(StgText, 6) == StgOne) << LngThreads << " threads";
    }
    // A flush after every few rows, as the grid writer flushes, ends no member.
    EXPECT_TRUE(Compressed(StgText, 6, 64 * 1024 + 3) == StgOne);
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
    struct TDamage {
        std::string StgName;
        std::string StgData;
    };
    std::vector<TDamage> VecDamages = {
        {"cut in the header", StgOne.substr(0, 7)},
        {"cut in the middle", StgOne.substr(0, StgOne.size() / 2)},
        {"cut in the trailer", StgOne.substr(0, StgOne.size() - 3)},
        {"second member cut", StgTwo.substr(0, StgTwo.size() - 10)},
        {"checksum changed",
         StgOne.substr(0, StgOne.size() - 6) + "x" + StgOne.substr(StgOne.size() - 5)},
        {"length changed", StgOne.substr(0, StgOne.size() - 1) + "\x7f"},
        {"method changed", StgOne.substr(0, 2) + "\x07" + StgOne.substr(3)},
        {"text after the member", StgOne + "ncols 3\n"},
        {"a zlib stream", "\x78\x9c\x03\x00\x00\x00\x00\x01"},
    };
    std::mt19937_64 Random(7);
    for (int LngDamage = 0; LngDamage < 40; ++LngDamage) {
        std::string StgData = StgTwo;
        const std::size_t LngAt = Random() % StgData.size();
        StgData[LngAt] = static_cast<char>(StgData[LngAt] ^ (1 + Random() % 255));
        VecDamages.push_back({"byte " + std::to_string(LngAt) + " changed", StgData});
    }
    for (std::size_t LngDamage = 0; LngDamage < VecDamages.size(); ++LngDamage)
        WriteText(Dir / std::to_string(LngDamage), VecDamages[LngDamage].StgData);
    // Python's verdict on each: its exception's class, or "ok".
    std::istringstream Verdicts(
        Python("import gzip,sys\n"
               "for f in sys.argv[1:]:\n"
               "    try: gzip.open(f).read(); print('ok')\n"
               "    except EOFError: print('early')\n"
               "    except Exception: print('corrupt')",
               [&] {
                   std::string StgArgs;
                   for (std::size_t LngI = 0; LngI < VecDamages.size(); ++LngI)
                       StgArgs += " " + ShellQuoted(Dir / std::to_string(LngI));
                   return StgArgs;
               }()));
    for (const TDamage& Damage : VecDamages) {
        std::string StgVerdict;
        ASSERT_TRUE(Verdicts >> StgVerdict);
        const std::string StgRead = Decompressed(Damage.StgData);
        // A change in a field nothing checks (the header's time) reads.
        if (StgVerdict == "ok")
            EXPECT_NE(StgRead.substr(0, 8), "failure:") << Damage.StgName;
        else
            EXPECT_EQ(StgRead,
                      StgVerdict == "early"
                          ? "failure: Unable to read file data.gz: the gzip data ends early"
                          : "failure: Unable to read file data.gz: the gzip data is corrupt")
                << Damage.StgName;
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
