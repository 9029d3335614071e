#include "io/TARCGISFileTools.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "grid/GridTestSupport.h"
#include "util/TError.h"
#include "io/TGridHeader.h"
#include "support/TTempDir.h"

namespace {

using TMapPtr = std::unique_ptr<TMap>;

const std::string ExampleHeader =
    "ncols 3\nnrows 2\nxllcorner 10\nyllcorner 20\ncellsize 5\nNODATA_value -9999\n";
const std::string Example = ExampleHeader + "1 2 3\n4 5 6\n";
const std::vector<double> ExampleCells = {1, 2, 3, 4, 5, 6};
const std::string ExampleAsWritten = "ncols 3\nnrows 2\nxllcorner       10\nyllcorner       20\n"
                                     "cellsize 5\nNODATA_value -9999\n1 2 3 \n4 5 6 \n";
const char* const EndOfFile = "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile";

TMapPtr Load(std::istream& Stream) { return TMapPtr(TARCGISFileTools::LoadARCGISFile(Stream)); }

TMapPtr Load(const std::string& StgText)
{
    std::istringstream Stream(StgText);
    return Load(Stream);
}

TMapPtr LoadFile(const std::string& StgName) { return TMapPtr(TARCGISFileTools::LoadARCGISFile(StgName)); }

// The message of the TError (or of the TErrorKind) the call throws, or "(done)".
template <class TErrorKind = TError, class TCall>
std::string MessageOf(TCall Call)
{
    try {
        Call();
    } catch (const TErrorKind& Error) {
        return Error.what();
    }
    return "(done)";
}

std::string Written(const TMap& Map)
{
    std::ostringstream Stream;
    TARCGISFileTools::WriteARCGISFile(&Map, Stream);
    return Stream.str();
}

std::vector<double> Cells(const TMap& Map)
{
    std::vector<double> VecCells;
    for (long LngRow = 0; LngRow < Map.GetYDim(); ++LngRow)
        for (long LngCol = 0; LngCol < Map.GetXDim(); ++LngCol)
            VecCells.push_back(Map.GetPointVal(LngCol, LngRow));
    return VecCells;
}

bool SameBits(double DblA, double DblB) { return std::memcmp(&DblA, &DblB, sizeof DblA) == 0; }

std::string ReplacedAll(std::string StgText, char ChrOld, const std::string& StgNew)
{
    for (std::size_t LngAt = StgText.find(ChrOld); LngAt != std::string::npos;
         LngAt = StgText.find(ChrOld, LngAt + StgNew.size()))
        StgText.replace(LngAt, 1, StgNew);
    return StgText;
}

// An input buffer that cannot seek, like a pipe: only put-back returns bytes.
class TPipeBuffer : public std::streambuf {
public:
    explicit TPipeBuffer(std::string StgText) : MbrStgText(std::move(StgText))
    {
        setg(MbrStgText.data(), MbrStgText.data(), MbrStgText.data() + MbrStgText.size());
    }

private:
    std::string MbrStgText;
};

}  // namespace

TEST(TARCGISFileToolsLoad, BuildsTheDocumentedExampleWhereverLinesBreak)
{
    const TPoint InNorthRow(11.0, 29.0);
    for (const std::string& StgText :
         {Example, ReplacedAll(Example, '\n', " "), ReplacedAll(Example, ' ', "\n"),
          ReplacedAll(Example, '\n', "\r\n"),
          ExampleHeader + "1 2 3\n4 5 6",  // complete, the last value as the last byte
          Example + "7 junk\n"}) {         // what follows the body is never read
        const TMapPtr PtrMap = Load(StgText);
        EXPECT_EQ(PtrMap->GetXDim(), 3);
        EXPECT_EQ(PtrMap->GetYDim(), 2);
        EXPECT_EQ(Cells(*PtrMap), ExampleCells);
        EXPECT_EQ(PtrMap->GetResolution(), 5.0);
        EXPECT_EQ(PtrMap->GetNoDataValue(), -9999.0);
        EXPECT_EQ(Components(*PtrMap->GetXAxisInterval(), 'X'), (std::vector<double>{10, 15, 20, 25}));
        EXPECT_EQ(Components(*PtrMap->GetYAxisInterval(), 'Y'), (std::vector<double>{30, 25, 20}));
        EXPECT_EQ(Components(*PtrMap->GetXAxis(), 'X'), (std::vector<double>{12.5, 17.5, 22.5}));
        EXPECT_EQ(Components(*PtrMap->GetYAxis(), 'Y'), (std::vector<double>{27.5, 22.5}));
        EXPECT_EQ(PtrMap->GetPointVal(&InNorthRow), 1.0);
    }
}

TEST(TARCGISFileToolsLoad, FailuresNameTheirCause)
{
    const std::pair<std::string, const char*> Cases[] = {
        {"ncols 3.0" + Example.substr(7), "File format error: expectd to find nrows tag"},
        {ExampleHeader + "1 2 3\n4 5\n", EndOfFile},
        {ExampleHeader, EndOfFile},
        {ExampleHeader + "1 2 3\n4 abc 6\n", "File format error: cell at column 2, row 2 is not a number"},
        {ExampleHeader + "1 2 3\n4 5 nan(1)\n", "File format error: cell at column 3, row 2 is not a number"},
        {ExampleHeader + "1 2 1e400\n4 5 6\n", "File format error: cell at column 3, row 1 is out of range"},
        // Nothing is set aside for the declared size: this must not try to
        // allocate 2^62 cells, or even one row of 2^31.
        {"ncols 2147483647\nnrows 2147483647\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
         "NODATA_value -9999\n1 2 3\n",
         EndOfFile},
    };
    for (const auto& [StgText, StgMessage] : Cases)
        EXPECT_EQ(MessageOf([&] { Load(StgText); }), StgMessage) << StgText;
}

TEST(TARCGISFileToolsLoad, EmptyDirectionsLoadAndWrite)
{
    const TMapPtr PtrNoRows =
        Load("ncols 3\nnrows 0\nxllcorner 10\nyllcorner 20\ncellsize 5\nNODATA_value -9999\n");
    EXPECT_EQ(PtrNoRows->GetXDim(), 3);
    EXPECT_EQ(PtrNoRows->GetYDim(), 0);
    EXPECT_EQ(PtrNoRows->GetYAxis()->GetSize(), 0);
    EXPECT_EQ(Written(*PtrNoRows),
              "ncols 3\nnrows 0\nxllcorner       10\nyllcorner       20\ncellsize 5\nNODATA_value -9999\n");

    const TMapPtr PtrNoCols = Load("ncols 0 nrows 2 xllcorner 10 yllcorner 20 cellsize 5 NODATA_value -1");
    EXPECT_EQ(PtrNoCols->GetXDim(), 0);
    EXPECT_EQ(PtrNoCols->GetYDim(), 2);
    EXPECT_EQ(PtrNoCols->GetXAxis()->GetSize(), 0);
    EXPECT_EQ(Written(*PtrNoCols),
              "ncols 0\nnrows 2\nxllcorner       10\nyllcorner       20\ncellsize 5\nNODATA_value -1\n\n\n");
}

TEST(TARCGISFileToolsLoad, SuccessiveGridsInOneStream)
{
    const std::string StgBoth =
        Example + "ncols 1\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value 0\n9";
    std::stringstream Stream(StgBoth);
    TPipeBuffer Pipe(StgBoth);  // the same through a buffer that can only put back
    std::istream PipeStream(&Pipe);
    for (std::istream* PtrStream : {static_cast<std::istream*>(&Stream), &PipeStream}) {
        EXPECT_EQ(Cells(*Load(*PtrStream)), ExampleCells);
        EXPECT_EQ(Cells(*Load(*PtrStream)), (std::vector<double>{9}));
    }

    // Left where the cells end, even when loading fails.
    std::istringstream Failing(ExampleHeader + "1 2 x 4 5 6");
    EXPECT_THROW(Load(Failing), TError);
    std::string StgRest;
    std::getline(Failing, StgRest);
    EXPECT_EQ(StgRest, " 4 5 6");
}

TEST(TARCGISFileToolsWrite, RoundTripKeepsEveryBit)
{
    const TMapPtr PtrMap = Load("ncols 11 nrows 1 xllcorner 4512345.5 yllcorner 0.1 cellsize 0.1 "
                                "NODATA_value 1e-300\n"
                                "0.1 1e-300 123456789 4512345.5 -0 5e-324 -9999 inf -inf nan -nan\n");
    const TMapPtr PtrBack = Load(Written(*PtrMap));
    const std::vector<double> VecFirst = Cells(*PtrMap);
    const std::vector<double> VecBack = Cells(*PtrBack);
    ASSERT_EQ(VecBack.size(), 11u);
    EXPECT_EQ(std::memcmp(VecBack.data(), VecFirst.data(), 11 * sizeof(double)), 0) << Written(*PtrBack);
    EXPECT_TRUE(SameBits(PtrBack->GetXAxisInterval()->GetPoint(0)->GetX(), 4512345.5));
    EXPECT_TRUE(SameBits(TGridHeader::OfMap(PtrBack.get()).DblYllCorner, 0.1));
    EXPECT_TRUE(SameBits(PtrBack->GetResolution(), 0.1));
    EXPECT_TRUE(SameBits(PtrBack->GetNoDataValue(), 1e-300));
}

TEST(TARCGISFileToolsWrite, MapWithoutAxesIsRefused)
{
    const TMap Map(1.0, 2, 2);
    std::ostringstream Stream;
    EXPECT_EQ(MessageOf([&] { TARCGISFileTools::WriteARCGISFile(&Map, Stream); }),
              "Axes are not set in TARCGISFileTools::WriteARCGISFile");
}

TEST(TARCGISFileToolsWrite, OneRowMapRebuiltFromItsCentresKeepsItsSouthEdge)
{
    const TMapPtr PtrLoaded = Load("ncols 2 nrows 1 xllcorner 10 yllcorner 20 cellsize 5 NODATA_value 0 1 2");
    const TMap Rebuilt(PtrLoaded->GetXAxis(), PtrLoaded->GetYAxis());
    const TAxis& YEdges = *Rebuilt.GetYAxisInterval();
    ASSERT_GT(YEdges.GetPoint(0)->GetY(), YEdges.GetPoint(1)->GetY());
    const std::string StgWritten = Written(Rebuilt);
    EXPECT_EQ(StgWritten.substr(0, StgWritten.find("cellsize")),
              "ncols 2\nnrows 1\nxllcorner       10\nyllcorner       20\n");
}

TEST(TARCGISFileToolsWrite, SouthUpMapIsWrittenNorthRowFirst)
{
    // Centres rising from y 0.5 (row 0, holding 10) to 1.5 (row 1, 20).
    const auto PtrX = MakeAxis(1.0, {0.5}, 'X');
    const auto PtrY = MakeAxis(1.0, {0.5, 1.5}, 'Y');
    TMap SouthUp(PtrX.get(), PtrY.get());
    SouthUp.SetPoint(0, 0, 10);
    SouthUp.SetPoint(0, 1, 20);
    std::istringstream Stream(Written(SouthUp));
    const TMapPtr PtrRead = Load(Stream);
    const TPoint North(0.5, 1.5);
    EXPECT_EQ(PtrRead->GetPointVal(&North), SouthUp.GetPointVal(&North));
    EXPECT_EQ(PtrRead->GetPointVal(0, 0), 20);
    EXPECT_EQ(PtrRead->GetYAxisInterval()->GetPoint(2)->GetY(), 0.0);
}

// Files in a directory of their own, removed afterwards.
class TARCGISFileToolsFiles : public ::testing::Test {
protected:
    std::string Name(const std::string& StgLeaf) const { return MbrDir / StgLeaf; }

    TTempDir MbrDir;
};

TEST_F(TARCGISFileToolsFiles, FileListsWriteAllOrNothingAndLoadInOrder)
{
    const TMapPtr PtrFirst = Load(Example);
    const TMapPtr PtrSecond = Load(ExampleHeader + "6 5 4 3 2 1\n");
    EXPECT_EQ(MessageOf([&] {
                  TARCGISFileTools::WriteFileList({PtrFirst.get(), PtrSecond.get()},
                                                  {Name("1.asc"), Name("2.asc"), Name("3.asc")});
              }),
              "Size of map list and filename list do not match in TARCGISFileTools::WriteFileList");
    EXPECT_EQ(MbrDir.EntryCount(), 0u);
    EXPECT_TRUE(TARCGISFileTools::LoadFileList({}).empty());

    TARCGISFileTools::WriteFileList({PtrFirst.get(), PtrSecond.get()}, {Name("1.asc"), Name("2.asc")});
    EXPECT_EQ(ReadText(Name("1.asc")), ExampleAsWritten);
    std::vector<TMap*> VecLoaded = TARCGISFileTools::LoadFileList({Name("1.asc"), Name("2.asc")});
    std::vector<TMapPtr> VecOwned(VecLoaded.begin(), VecLoaded.end());
    ASSERT_EQ(VecOwned.size(), 2u);
    EXPECT_EQ(Cells(*VecOwned[0]), ExampleCells);
    EXPECT_EQ(Cells(*VecOwned[1]), Cells(*PtrSecond));
}

TEST_F(TARCGISFileToolsFiles, FileListStopsAtTheFirstFailureKeepingNothing)
{
    WriteText(Name("good.asc"), Example);
    WriteText(Name("bad.asc"), ExampleHeader + "1 2\n");
    const std::string StgMissing = Name("missing.asc");
    // Maps loaded before the failure are freed: the leak checker would tell.
    EXPECT_EQ(MessageOf<TFileError>(
                  [&] { TARCGISFileTools::LoadFileList({Name("good.asc"), StgMissing, Name("bad.asc")}); }),
              "Unable to open file " + StgMissing);
    EXPECT_EQ(MessageOf([&] { TARCGISFileTools::LoadFileList({Name("good.asc"), Name("bad.asc")}); }),
              EndOfFile);
    EXPECT_EQ(MessageOf<TFileError>([&] { LoadFile(MbrDir.Path().string()); }),
              "Unable to open file " + MbrDir.Path().string());
}

TEST(TARCGISFileToolsLoad, ReadErrorIsAFileErrorNamingTheFile)
{
    // Opens, but reading at offset 0 fails (nothing is mapped there).
    for (TGridDialect Dialect : {TGridDialect::Strict, TGridDialect::Tolerant})
        EXPECT_EQ(MessageOf<TFileError>([&] { TMapPtr(TARCGISFileTools::LoadARCGISFile("/proc/self/mem", Dialect)); }),
                  "Unable to read file /proc/self/mem");
}
