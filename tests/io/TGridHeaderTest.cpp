#include "io/TGridHeader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "grid/GridTestSupport.h"
#include "grid/TError.h"
#include "io/TTextSource.h"

namespace {

TGridHeader ReadHeader(const std::string& StgText)
{
    TTextSource Source(StgText);
    TTokenizer Tokens(Source);
    return TGridHeader::Read(Tokens);
}

// The message Read fails with, or "(read)".
std::string ErrorOf(const std::string& StgText)
{
    try {
        ReadHeader(StgText);
    } catch (const TError& Error) {
        return Error.what();
    }
    return "(read)";
}

const std::string Example =
    "ncols 3\nnrows 2\nxllcorner 10\nyllcorner 20\ncellsize 5\nNODATA_value -9999\n";

const char* const NcolsMessage = "File format error: expected to find ncols tag";
const char* const NrowsMessage = "File format error: expectd to find nrows tag";
const char* const XllMessage = "File format error: expected to find xllcorner tag";
const char* const YllMessage = "File format error: expected to find yllcorner tag";
const char* const CellSizeMessage = "File format error: expected to find cellsize tag";
const char* const NoDataMessage = "File format error: expected to find NODATA_value tag";

// The example with one piece of text replaced.
std::string Replaced(const std::string& StgOld, const std::string& StgNew)
{
    std::string StgText = Example;
    StgText.replace(StgText.find(StgOld), StgOld.size(), StgNew);
    return StgText;
}

}  // namespace

TEST(TGridHeader, ReadsTheSixEntriesWhereverLinesBreak)
{
    for (const std::string& StgText :
         {Example, std::string("ncols 3 nrows 2 xllcorner 10 yllcorner 20 cellsize 5 NODATA_value -9999"),
          std::string("ncols\r\n3\r\nnrows\r\n2\r\nxllcorner\r\n10\r\nyllcorner\r\n20\r\ncellsize\r\n5\r\n"
                      "nodata_value\r\n-9999\r\n")}) {
        const TGridHeader Header = ReadHeader(StgText);
        EXPECT_EQ(Header.LngCols, 3);
        EXPECT_EQ(Header.LngRows, 2);
        EXPECT_EQ(Header.DblXllCorner, 10.0);
        EXPECT_EQ(Header.DblYllCorner, 20.0);
        EXPECT_EQ(Header.DblCellSize, 5.0);
        EXPECT_EQ(Header.DblNoDataValue, -9999.0);
    }
}

TEST(TGridHeader, EachTagMustBeExactAndInPlace)
{
    EXPECT_EQ(ErrorOf(Replaced("ncols", "NCOLS")), NcolsMessage);
    EXPECT_EQ(ErrorOf(Replaced("nrows", "rows")), NrowsMessage);
    EXPECT_EQ(ErrorOf(Replaced("xllcorner", "xllcenter")), XllMessage);
    EXPECT_EQ(ErrorOf(Replaced("yllcorner", "Yllcorner")), YllMessage);
    EXPECT_EQ(ErrorOf(Replaced("cellsize", "cellsize:")), CellSizeMessage);
    EXPECT_EQ(ErrorOf(Replaced("NODATA_value", "NoData_Value")), NoDataMessage);
    EXPECT_EQ(ErrorOf(Replaced("NODATA_value", "nodata_value")), "(read)");
    // Without its NODATA line, the first cell stands where the tag should.
    EXPECT_EQ(ErrorOf(Replaced("NODATA_value -9999\n", "1 2 3\n4 5 6\n")), NoDataMessage);
    EXPECT_EQ(ErrorOf(""), NcolsMessage);
    EXPECT_EQ(ErrorOf("nrows 2 ncols 3"), NcolsMessage);
}

TEST(TGridHeader, ValueThatDoesNotReadIsReportedAsTheNextTag)
{
    EXPECT_EQ(ErrorOf(Replaced("ncols 3", "ncols 3.0")), NrowsMessage);
    EXPECT_EQ(ErrorOf(Replaced("ncols 3", "ncols x")), NrowsMessage);
    EXPECT_EQ(ErrorOf(Replaced("ncols 3", "ncols 2147483648")), NrowsMessage);
    EXPECT_EQ(ErrorOf(Replaced("nrows 2", "nrows two")), XllMessage);
    EXPECT_EQ(ErrorOf(Replaced("xllcorner 10", "xllcorner 1,5")), YllMessage);
    EXPECT_EQ(ErrorOf(Replaced("yllcorner 20", "yllcorner 1e400")), CellSizeMessage);
    EXPECT_EQ(ErrorOf(Replaced("cellsize 5", "cellsize nan")), NoDataMessage);
    EXPECT_EQ(ErrorOf("ncols"), NrowsMessage);
}

TEST(TGridHeader, RefusesNegativeDimensionsAndNoDataThatIsNoNumber)
{
    EXPECT_EQ(ErrorOf(Replaced("ncols 3", "ncols -3")), "File format error: ncols must not be negative");
    EXPECT_EQ(ErrorOf(Replaced("nrows 2", "nrows -1")), "File format error: nrows must not be negative");
    for (const char* StgBad : {"abc", "1e400", "INF", "+-1", ""})
        EXPECT_EQ(ErrorOf(Replaced("-9999", StgBad)), "File format error: NODATA_value is not a number")
            << StgBad;
}

TEST(TGridHeader, NoDataMayBeNonFiniteOrAnyNumber)
{
    EXPECT_TRUE(std::isnan(ReadHeader(Replaced("-9999", "-nan")).DblNoDataValue));
    EXPECT_EQ(ReadHeader(Replaced("-9999", "-inf")).DblNoDataValue, -HUGE_VAL);
    EXPECT_EQ(ReadHeader(Replaced("-9999", "+1.5e3")).DblNoDataValue, 1500.0);
    // Read as a number prefix, as the other values: the rest is the next token.
    EXPECT_EQ(ReadHeader(Replaced("-9999", "-9999x")).DblNoDataValue, -9999.0);
}

TEST(TGridHeader, EdgeAxesGrowFromTheLowerLeftCorner)
{
    const auto [PtrXEdges, PtrYEdges] = ReadHeader(Example).EdgeAxes();
    EXPECT_EQ(Components(*PtrXEdges, 'X'), (std::vector<double>{10, 15, 20, 25}));
    EXPECT_EQ(Components(*PtrXEdges, 'Y'), (std::vector<double>{30, 30, 30, 30}));
    EXPECT_EQ(Components(*PtrYEdges, 'Y'), (std::vector<double>{30, 25, 20}));
    EXPECT_EQ(Components(*PtrYEdges, 'X'), (std::vector<double>{10, 10, 10}));
    EXPECT_EQ(PtrXEdges->GetResolution(), 5.0);
    EXPECT_EQ(PtrYEdges->GetResolution(), 5.0);
}

TEST(TGridHeader, EdgesAreSumsNotProducts)
{
    TGridHeader Header;
    Header.LngCols = 10;
    Header.LngRows = 10;
    Header.DblCellSize = 0.1;
    const auto [PtrXEdges, PtrYEdges] = Header.EdgeAxes();
    double DblSum = 0.0;
    for (int LngStep = 0; LngStep < 10; ++LngStep)
        DblSum += 0.1;
    ASSERT_NE(DblSum, 10 * 0.1);  // the two ways differ in the last bit
    EXPECT_EQ(PtrXEdges->GetPoint(10)->GetX(), DblSum);
    EXPECT_EQ(PtrYEdges->GetPoint(0)->GetY(), DblSum);
}

TEST(TGridHeader, EmptyDirectionHasTheCornerEdgeOnly)
{
    const auto [PtrXEdges, PtrYEdges] = ReadHeader(Replaced("nrows 2", "nrows 0")).EdgeAxes();
    EXPECT_EQ(Components(*PtrYEdges, 'Y'), (std::vector<double>{20}));
    EXPECT_EQ(Components(*PtrXEdges, 'X'), (std::vector<double>{10, 15, 20, 25}));
    EXPECT_EQ(Components(*PtrXEdges, 'Y'), (std::vector<double>{20, 20, 20, 20}));
}

TEST(TGridHeader, OfEdgesTakesTheSouthEdgeWhicheverWayTheAxisRuns)
{
    const auto [PtrXEdges, PtrYEdges] = ReadHeader(Example).EdgeAxes();
    const TGridHeader Falling = TGridHeader::OfEdges(PtrXEdges.get(), PtrYEdges.get(), 5.0, -1.0);
    EXPECT_EQ(Falling.LngCols, 3);
    EXPECT_EQ(Falling.LngRows, 2);
    EXPECT_EQ(Falling.DblXllCorner, 10.0);
    EXPECT_EQ(Falling.DblYllCorner, 20.0);
    EXPECT_EQ(Falling.DblCellSize, 5.0);
    EXPECT_EQ(Falling.DblNoDataValue, -1.0);

    const auto PtrRising = MakeAxis(5.0, {20, 25}, 'Y', 10.0);
    EXPECT_EQ(TGridHeader::OfEdges(PtrXEdges.get(), PtrRising.get(), 5.0, -1.0).DblYllCorner, 20.0);
}

TEST(TGridHeader, OfMapDescribesTheMapsOwnGeometry)
{
    const TGridHeader Read = ReadHeader(Example);
    TMap Map(2.5, 3, 2);  // the map's own cell size, not its axes', is written
    Map.SetNoDataValue(-1.0);
    const auto [PtrXEdges, PtrYEdges] = Read.EdgeAxes();
    Map.SetXAxisInterval(PtrXEdges.get());
    Map.SetYAxisInterval(PtrYEdges.get());
    const TGridHeader Header = TGridHeader::OfMap(&Map);
    EXPECT_EQ(Header.LngCols, 3);
    EXPECT_EQ(Header.LngRows, 2);
    EXPECT_EQ(Header.DblXllCorner, 10.0);
    EXPECT_EQ(Header.DblYllCorner, 20.0);
    EXPECT_EQ(Header.DblCellSize, 2.5);
    EXPECT_EQ(Header.DblNoDataValue, -1.0);
}

TEST(TGridHeader, TextLaysOutTheSixLines)
{
    EXPECT_EQ(ReadHeader(Example).Text(),
              "ncols 3\nnrows 2\nxllcorner       10\nyllcorner       20\ncellsize 5\n"
              "NODATA_value -9999\n");
    TGridHeader Header;
    Header.DblXllCorner = 0.0;
    Header.DblYllCorner = 4512345.5;
    Header.DblCellSize = 0.25;
    Header.DblNoDataValue = -HUGE_VAL;
    EXPECT_EQ(Header.Text(),
              "ncols 0\nnrows 0\nxllcorner        0\nyllcorner 4512345.5\ncellsize 0.25\n"
              "NODATA_value -inf\n");
}
