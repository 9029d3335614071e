#include "io/TARCGISFileTools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "grid/GridTestSupport.h"
#include "grid/TError.h"
#include "io/TGridHeader.h"
#include "ops/TMapTools.h"
#include "support/TTempDir.h"

namespace {

using TMapPtr = std::unique_ptr<TMap>;

const std::string ExampleHeader =
    "ncols 3\nnrows 2\nxllcorner 10\nyllcorner 20\ncellsize 5\nNODATA_value -9999\n";
const std::string Example = ExampleHeader + "1 2 3\n4 5 6\n";
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

std::string ErrorOf(const std::string& StgText)
{
    return MessageOf([&] { Load(StgText); });
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

// A map of one row with the given cells and header geometry.
TMapPtr OneRowMap(const std::vector<double>& VecCells, TGridHeader Header)
{
    Header.LngCols = static_cast<long>(VecCells.size());
    Header.LngRows = 1;
    auto PtrMap = std::make_unique<TMap>(Header.DblCellSize);
    PtrMap->AddRow(VecCells);
    PtrMap->SetNoDataValue(Header.DblNoDataValue);
    const auto Edges = Header.EdgeAxes();
    PtrMap->SetXAxisInterval(Edges.first.get());
    PtrMap->SetYAxisInterval(Edges.second.get());
    return PtrMap;
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

TEST(TARCGISFileToolsLoad, BuildsTheDocumentedExample)
{
    const TMapPtr PtrMap = Load(Example);
    EXPECT_EQ(PtrMap->GetXDim(), 3);
    EXPECT_EQ(PtrMap->GetYDim(), 2);
    EXPECT_EQ(PtrMap->GetResolution(), 5.0);
    EXPECT_EQ(PtrMap->GetNoDataValue(), -9999.0);
    EXPECT_EQ(Components(*PtrMap->GetXAxisInterval(), 'X'), (std::vector<double>{10, 15, 20, 25}));
    EXPECT_EQ(Components(*PtrMap->GetYAxisInterval(), 'Y'), (std::vector<double>{30, 25, 20}));
    EXPECT_EQ(Components(*PtrMap->GetXAxis(), 'X'), (std::vector<double>{12.5, 17.5, 22.5}));
    EXPECT_EQ(Components(*PtrMap->GetYAxis(), 'Y'), (std::vector<double>{27.5, 22.5}));
    EXPECT_EQ(PtrMap->GetRow(0), (std::vector<double>{1, 2, 3}));
    const TPoint InNorthRow(11.0, 29.0);
    EXPECT_EQ(PtrMap->GetPointVal(&InNorthRow), 1.0);
}

TEST(TARCGISFileToolsLoad, LineBreaksDoNotMatter)
{
    std::string StgOneLine = Example;
    std::string StgOnePerLine = Example;
    std::string StgCrLf;
    for (char& Chr : StgOneLine)
        Chr = Chr == '\n' ? ' ' : Chr;
    for (char& Chr : StgOnePerLine)
        Chr = Chr == ' ' ? '\n' : Chr;
    for (char Chr : Example)
        StgCrLf += Chr == '\n' ? std::string("\r\n") : std::string(1, Chr);
    for (const std::string& StgText : {StgOneLine, StgOnePerLine, StgCrLf}) {
        const TMapPtr PtrMap = Load(StgText);
        EXPECT_EQ(PtrMap->GetXDim(), 3);
        EXPECT_EQ(Cells(*PtrMap), (std::vector<double>{1, 2, 3, 4, 5, 6}));
        EXPECT_EQ(Components(*PtrMap->GetYAxisInterval(), 'Y'), (std::vector<double>{30, 25, 20}));
    }
}

TEST(TARCGISFileToolsLoad, HeaderFailuresPassThrough)
{
    EXPECT_EQ(ErrorOf("NCOLS" + Example.substr(5)), "File format error: expected to find ncols tag");
    EXPECT_EQ(ErrorOf("ncols 3.0" + Example.substr(7)), "File format error: expectd to find nrows tag");
    EXPECT_EQ(ErrorOf("ncols -3" + Example.substr(7)), "File format error: ncols must not be negative");
}

TEST(TARCGISFileToolsLoad, BodyMustHoldEveryCell)
{
    EXPECT_EQ(ErrorOf(ExampleHeader + "1 2 3\n4 5\n"), EndOfFile);
    EXPECT_EQ(ErrorOf(ExampleHeader), EndOfFile);
    // Complete, with the last value as the last byte: loads.
    const TMapPtr PtrMap = Load(ExampleHeader + "1 2 3\n4 5 6");
    EXPECT_EQ(Cells(*PtrMap), (std::vector<double>{1, 2, 3, 4, 5, 6}));
    // What follows the body is never read.
    EXPECT_EQ(Cells(*Load(Example + "7 junk\n")), (std::vector<double>{1, 2, 3, 4, 5, 6}));
}

TEST(TARCGISFileToolsLoad, RefusesCellsThatAreNoNumbersNamingColumnAndRow)
{
    for (const char* StgBad : {"abc", "1,5", "1.5x", "+-5", "INF", "nan(1)"})
        EXPECT_EQ(ErrorOf(ExampleHeader + "1 2 3\n4 " + StgBad + " 6\n"),
                  "File format error: cell at column 2, row 2 is not a number")
            << StgBad;
    EXPECT_EQ(ErrorOf(ExampleHeader + "1 2 1e400\n4 5 6\n"),
              "File format error: cell at column 3, row 1 is out of range");
}

TEST(TARCGISFileToolsLoad, NonFiniteCellsRoundTrip)
{
    const TMapPtr PtrSource = Load(ExampleHeader + "1 -2 0\n-9999 0 4\n");
    const TMapPtr PtrDivided(TMapTools::Divide(PtrSource.get(), 0.0));
    const TMapPtr PtrBack = Load(Written(*PtrDivided));
    const std::vector<double> VecWritten = Cells(*PtrDivided);
    const std::vector<double> VecRead = Cells(*PtrBack);
    ASSERT_EQ(VecRead.size(), VecWritten.size());
    EXPECT_TRUE(std::isinf(VecRead[0]) && std::isinf(VecRead[1]) && std::isnan(VecRead[2]));
    for (std::size_t LngIndex = 0; LngIndex < VecRead.size(); ++LngIndex)
        EXPECT_TRUE(SameBits(VecRead[LngIndex], VecWritten[LngIndex]) ||
                    (std::isnan(VecRead[LngIndex]) && std::isnan(VecWritten[LngIndex]) &&
                     std::signbit(VecRead[LngIndex]) == std::signbit(VecWritten[LngIndex])))
            << "cell " << LngIndex << " written " << VecWritten[LngIndex] << " read " << VecRead[LngIndex];
}

TEST(TARCGISFileToolsLoad, EmptyDirectionsLoadAndWrite)
{
    const TMapPtr PtrNoRows = Load("ncols 3\nnrows 0\nxllcorner 10\nyllcorner 20\ncellsize 5\nNODATA_value -9999\n");
    EXPECT_EQ(PtrNoRows->GetXDim(), 3);
    EXPECT_EQ(PtrNoRows->GetYDim(), 0);
    EXPECT_EQ(Components(*PtrNoRows->GetYAxisInterval(), 'Y'), (std::vector<double>{20}));
    EXPECT_EQ(PtrNoRows->GetYAxis()->GetSize(), 0);
    EXPECT_EQ(Written(*PtrNoRows),
              "ncols 3\nnrows 0\nxllcorner       10\nyllcorner       20\ncellsize 5\nNODATA_value -9999\n");

    const TMapPtr PtrNoCols = Load("ncols 0 nrows 2 xllcorner 10 yllcorner 20 cellsize 5 NODATA_value -9999");
    EXPECT_EQ(PtrNoCols->GetXDim(), 0);
    EXPECT_EQ(PtrNoCols->GetYDim(), 2);
    EXPECT_EQ(Components(*PtrNoCols->GetXAxisInterval(), 'X'), (std::vector<double>{10}));
    EXPECT_EQ(PtrNoCols->GetXAxis()->GetSize(), 0);
    EXPECT_EQ(Written(*PtrNoCols),
              "ncols 0\nnrows 2\nxllcorner       10\nyllcorner       20\ncellsize 5\nNODATA_value -9999\n\n\n");
}

TEST(TARCGISFileToolsLoad, HugeDeclaredGridWithShortBodyFailsAtItsEnd)
{
    // Nothing is set aside for the declared size: this must not try to
    // allocate 2^62 cells, or even one row of 2^31.
    EXPECT_EQ(ErrorOf("ncols 2147483647\nnrows 2147483647\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
                      "NODATA_value -9999\n1 2 3\n"),
              EndOfFile);
}

TEST(TARCGISFileToolsLoad, SuccessiveGridsInOneStream)
{
    const std::string StgSecond = "ncols 1\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value 0\n9";
    std::stringstream Stream(Example + StgSecond);
    EXPECT_EQ(Cells(*Load(Stream)), (std::vector<double>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Cells(*Load(Stream)), (std::vector<double>{9}));

    // The same through a buffer that can only put back.
    TPipeBuffer Pipe(Example + StgSecond);
    std::istream PipeStream(&Pipe);
    EXPECT_EQ(Cells(*Load(PipeStream)), (std::vector<double>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Cells(*Load(PipeStream)), (std::vector<double>{9}));

    // Left where the cells end, even when loading fails.
    std::istringstream Failing(ExampleHeader + "1 2 x 4 5 6");
    EXPECT_THROW(Load(Failing), TError);
    std::string StgRest;
    std::getline(Failing, StgRest);
    EXPECT_EQ(StgRest, " 4 5 6");
}

TEST(TARCGISFileToolsWrite, WritesTheDocumentedExample)
{
    EXPECT_EQ(Written(*Load(Example)), ExampleAsWritten);
}

TEST(TARCGISFileToolsWrite, RoundTripKeepsEveryBit)
{
    const std::vector<double> VecValues = {0.1, 1e-300, 123456789.0, 4512345.5, -0.0, 5e-324, -9999.0};
    TGridHeader Header;
    Header.DblXllCorner = 4512345.5;
    Header.DblYllCorner = 0.1;
    Header.DblCellSize = 0.1;
    Header.DblNoDataValue = 1e-300;
    const TMapPtr PtrMap = OneRowMap(VecValues, Header);
    const TMapPtr PtrBack = Load(Written(*PtrMap));
    const std::vector<double> VecBack = Cells(*PtrBack);
    ASSERT_EQ(VecBack.size(), VecValues.size());
    for (std::size_t LngIndex = 0; LngIndex < VecValues.size(); ++LngIndex)
        EXPECT_TRUE(SameBits(VecBack[LngIndex], VecValues[LngIndex])) << VecValues[LngIndex];
    EXPECT_TRUE(SameBits(PtrBack->GetXAxisInterval()->GetPoint(0)->GetX(), 4512345.5));
    EXPECT_TRUE(SameBits(TGridHeader::OfMap(PtrBack.get()).DblYllCorner, 0.1));
    EXPECT_TRUE(SameBits(PtrBack->GetResolution(), 0.1));
    EXPECT_TRUE(SameBits(PtrBack->GetNoDataValue(), 1e-300));
}

TEST(TARCGISFileToolsWrite, OneRowMapWithRisingEdgesKeepsItsSouthEdge)
{
    const TMapPtr PtrLoaded = Load("ncols 2 nrows 1 xllcorner 10 yllcorner 20 cellsize 5 NODATA_value -9999 1 2\n");
    const TMap Rebuilt(PtrLoaded->GetXAxis(), PtrLoaded->GetYAxis());
    const TAxis& YEdges = *Rebuilt.GetYAxisInterval();
    ASSERT_LT(YEdges.GetPoint(0)->GetY(), YEdges.GetPoint(1)->GetY());
    const std::string StgWritten = Written(Rebuilt);
    EXPECT_EQ(StgWritten.substr(0, StgWritten.find("cellsize")),
              "ncols 2\nnrows 1\nxllcorner       10\nyllcorner       20\n");
}

// Files in a directory of their own, removed afterwards.
class TARCGISFileToolsFiles : public ::testing::Test {
protected:
    std::string Name(const std::string& StgLeaf) const { return MbrDir / StgLeaf; }

    TTempDir MbrDir;
};

TEST_F(TARCGISFileToolsFiles, WriteThenLoadByName)
{
    const TMapPtr PtrMap = Load(Example);
    TARCGISFileTools::WriteARCGISFile(PtrMap.get(), Name("a.asc"));
    EXPECT_EQ(ReadText(Name("a.asc")), ExampleAsWritten);
    EXPECT_EQ(Cells(*LoadFile(Name("a.asc"))), Cells(*PtrMap));
}

TEST_F(TARCGISFileToolsFiles, MissingFileOrDirectoryCannotBeOpened)
{
    const std::string StgMissing = Name("missing.asc");
    EXPECT_EQ(MessageOf<TFileError>([&] { LoadFile(StgMissing); }), "Unable to open file " + StgMissing);
    EXPECT_EQ(MessageOf<TFileError>([&] { LoadFile(MbrDir.Path().string()); }),
              "Unable to open file " + MbrDir.Path().string());
}

TEST_F(TARCGISFileToolsFiles, FileListsOfUnequalLengthWriteNothing)
{
    const TMapPtr PtrMap = Load(Example);
    const std::vector<std::string> VecNames = {Name("a.asc"), Name("b.asc"), Name("c.asc")};
    EXPECT_EQ(MessageOf([&] { TARCGISFileTools::WriteFileList({PtrMap.get(), PtrMap.get()}, VecNames); }),
              "Size of map list and filename list do not match in TARCGISFileTools::WriteFileList");
    EXPECT_EQ(MbrDir.EntryCount(), 0u);
    TARCGISFileTools::WriteFileList({}, {});
    EXPECT_EQ(MbrDir.EntryCount(), 0u);
    EXPECT_TRUE(TARCGISFileTools::LoadFileList({}).empty());
}

TEST_F(TARCGISFileToolsFiles, FileListsRoundTripInOrder)
{
    const TMapPtr PtrFirst = Load(Example);
    const TMapPtr PtrSecond = Load(ExampleHeader + "6 5 4 3 2 1\n");
    TARCGISFileTools::WriteFileList({PtrFirst.get(), PtrSecond.get()}, {Name("1.asc"), Name("2.asc")});
    std::vector<TMap*> VecLoaded = TARCGISFileTools::LoadFileList({Name("1.asc"), Name("2.asc")});
    std::vector<TMapPtr> VecOwned(VecLoaded.begin(), VecLoaded.end());
    ASSERT_EQ(VecOwned.size(), 2u);
    EXPECT_EQ(Cells(*VecOwned[0]), Cells(*PtrFirst));
    EXPECT_EQ(Cells(*VecOwned[1]), Cells(*PtrSecond));
}

TEST_F(TARCGISFileToolsFiles, FileListStopsAtTheFirstFailureKeepingNothing)
{
    WriteText(Name("good.asc"), Example);
    WriteText(Name("bad.asc"), ExampleHeader + "1 2\n");
    // Maps loaded before the failure are freed: the leak checker would tell.
    EXPECT_EQ(MessageOf([&] {
                  TARCGISFileTools::LoadFileList({Name("good.asc"), Name("missing.asc"), Name("bad.asc")});
              }),
              "Unable to open file " + Name("missing.asc"));
    EXPECT_EQ(MessageOf([&] { TARCGISFileTools::LoadFileList({Name("good.asc"), Name("bad.asc")}); }),
              EndOfFile);
}
