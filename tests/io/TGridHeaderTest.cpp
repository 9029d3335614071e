#include "io/TGridHeader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "grid/GridTestSupport.h"
#include "io/TTextSource.h"

namespace {

TGridHeader ReadHeader(const std::string& StgText)
{
    TTextSource Source(StgText);
    TTokenizer Tokens(Source);
    return TGridHeader::Read(Tokens);
}

// The six entries in their order.
std::vector<double> Entries(const TGridHeader& Header)
{
    return {static_cast<double>(Header.LngCols), static_cast<double>(Header.LngRows), Header.DblXllCorner,
            Header.DblYllCorner, Header.DblCellSize, Header.DblNoDataValue};
}

const std::string Example =
    "ncols 3\nnrows 2\nxllcorner 10\nyllcorner 20\ncellsize 5\nNODATA_value -9999\n";
const std::vector<double> ExampleEntries = {3, 2, 10, 20, 5, -9999};

const char* const NcolsMessage = "File format error: expected to find ncols tag";
const char* const NrowsMessage = "File format error: expectd to find nrows tag";
const char* const XllMessage = "File format error: expected to find xllcorner tag";
const char* const YllMessage = "File format error: expected to find yllcorner tag";
const char* const CellSizeMessage = "File format error: expected to find cellsize tag";
const char* const NoDataMessage = "File format error: expected to find NODATA_value tag";
const char* const NoDataNoNumber = "File format error: NODATA_value is not a number";
const char* const CellSizeNotPositive = "File format error: cellsize must be greater than 0";
const char* const ExtentOutOfRange = "File format error: grid extent is out of range";

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
                      "nodata_value\r\n-9999\r\n")})
        EXPECT_EQ(Entries(ReadHeader(StgText)), ExampleEntries);
    // Far edges near the limit of a double (1.5e308, 1.7e308) are numbers still.
    EXPECT_EQ(Entries(ReadHeader("ncols 3 nrows 1 xllcorner -1.5e308 yllcorner 7e307 cellsize 1e308 nodata_value 0")),
              (std::vector<double>{3, 1, -1.5e308, 7e307, 1e308, 0}));
}

TEST(TGridHeader, ReadFailuresNameTheTagThatCannotBeFound)
{
    const std::pair<std::string, const char*> Cases[] = {
        // Tags are exact and in place; only NODATA_value has a lower-case twin.
        {Replaced("ncols", "NCOLS"), NcolsMessage}, {Replaced("nrows", "rows"), NrowsMessage},
        {Replaced("xllcorner", "xllcenter"), XllMessage}, {Replaced("yllcorner", "Yllcorner"), YllMessage},
        {Replaced("cellsize", "cellsize:"), CellSizeMessage},
        {Replaced("NODATA_value", "NoData_Value"), NoDataMessage},
        {"", NcolsMessage}, {"nrows 2 ncols 3", NcolsMessage},
        // Without its NODATA line, the first cell stands where the tag should.
        {Replaced("NODATA_value -9999\n", "1 2 3\n4 5 6\n"), NoDataMessage},
        // A value that does not read is reported as the next tag.
        {"ncols", NrowsMessage}, {Replaced("ncols 3", "ncols 3.0"), NrowsMessage},
        {Replaced("ncols 3", "ncols x"), NrowsMessage}, {Replaced("ncols 3", "ncols 2147483648"), NrowsMessage},
        {Replaced("nrows 2", "nrows two"), XllMessage}, {Replaced("xllcorner 10", "xllcorner 1,5"), YllMessage},
        {Replaced("yllcorner 20", "yllcorner 1e400"), CellSizeMessage},
        {Replaced("cellsize 5", "cellsize nan"), NoDataMessage},
        // A token past 64 KiB is junk at once, wherever it stands.
        {std::string(100000, 'n'), NcolsMessage}, {Replaced("3", std::string(100000, '3')), NrowsMessage},
        {Replaced("-9999", "-" + std::string(100000, '9')), NoDataNoNumber},
        // Values that read but cannot stand.
        {Replaced("ncols 3", "ncols -3"), "File format error: ncols must not be negative"},
        {Replaced("nrows 2", "nrows -1"), "File format error: nrows must not be negative"},
        {Replaced("-9999", "abc"), NoDataNoNumber}, {Replaced("-9999", "1e400"), NoDataNoNumber},
        {Replaced("-9999", "INF"), NoDataNoNumber}, {Replaced("-9999", "+-1"), NoDataNoNumber},
        {Replaced("-9999", ""), NoDataNoNumber},
        // Geometry is checked once all six entries are read.
        {Replaced("cellsize 5", "cellsize 0"), CellSizeNotPositive},
        {Replaced("cellsize 5", "cellsize -1"), CellSizeNotPositive},
        {Replaced("cellsize 5", "cellsize 1e-400"), CellSizeNotPositive},
        {Replaced("cellsize 5\nNODATA_value", "cellsize 0\nNoData_Value"), NoDataMessage},
        {Replaced("cellsize 5", "cellsize 6e307"), ExtentOutOfRange},  // 10 + 3 x 6e307
        {"ncols 1 nrows 2 xllcorner 0 yllcorner 1.7e308 cellsize 1e307 NODATA_value 0", ExtentOutOfRange},
    };
    for (const auto& [StgText, StgMessage] : Cases) {
        SCOPED_TRACE(StgText);
        EXPECT_TERROR(ReadHeader(StgText), StgMessage);
    }
}

TEST(TGridHeader, NoDataMayBeNonFiniteOrAnyNumberPrefix)
{
    EXPECT_TRUE(std::isnan(ReadHeader(Replaced("-9999", "-nan")).DblNoDataValue));
    EXPECT_EQ(ReadHeader(Replaced("-9999", "-inf")).DblNoDataValue, -HUGE_VAL);
    EXPECT_EQ(ReadHeader(Replaced("-9999", "+1.5e3")).DblNoDataValue, 1500.0);
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

    // Without rows, the Y axis is the corner alone and the X edges lie on it.
    const auto [PtrFlatX, PtrFlatY] = ReadHeader(Replaced("nrows 2", "nrows 0")).EdgeAxes();
    EXPECT_EQ(Components(*PtrFlatY, 'Y'), (std::vector<double>{20}));
    EXPECT_EQ(Components(*PtrFlatX, 'Y'), (std::vector<double>{20, 20, 20, 20}));
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

TEST(TGridHeader, OfMapDescribesTheMapsOwnGeometry)
{
    const auto [PtrXEdges, PtrYEdges] = ReadHeader(Example).EdgeAxes();
    TMap Map(2.5, 3, 2);  // the map's own cell size, not its axes', is written
    Map.SetNoDataValue(-1.0);
    Map.SetXAxisInterval(PtrXEdges.get());
    Map.SetYAxisInterval(PtrYEdges.get());
    EXPECT_EQ(Entries(TGridHeader::OfMap(&Map)), (std::vector<double>{3, 2, 10, 20, 2.5, -1}));
}

TEST(TGridHeader, TextPadsCornersToEightCharacters)
{
    TGridHeader Header;
    Header.DblXllCorner = 0.0;
    Header.DblYllCorner = 4512345.5;
    Header.DblCellSize = 0.25;
    Header.DblNoDataValue = -HUGE_VAL;
    EXPECT_EQ(Header.Text(), "ncols 0\nnrows 0\nxllcorner        0\nyllcorner 4512345.5\ncellsize 0.25\n"
                             "NODATA_value -inf\n");
}

namespace {

// The text after the tag of a header line, without the padding.
std::string Entry(const std::string& StgText, const std::string& StgTag)
{
    const std::size_t LngStart = StgText.find_first_not_of(' ', StgText.find(StgTag + ' ') + StgTag.size());
    return StgText.substr(LngStart, StgText.find('\n', LngStart) - LngStart);
}

double Read(const std::string& StgText) { return std::strtod(StgText.c_str(), nullptr); }

}  // namespace

// Corners and cell sizes read back as the numbers they are: those of 15
// digits or fewer at any digit count, any double at 17. From 1e-7 up to below
// 1e21 in plain decimal, without an exponent, trailing zeros or a trailing
// point; beyond, in exponent form.
TEST(TGridHeader, TextWritesPlacesInPlainDecimal)
{
    const struct {
        double DblValue;
        int LngFromDigits;  // reads back from this digit count on
    } ArrCases[] = {
        {4100000, 1}, {500000.5, 1}, {-1234567.125, 1}, {0.00025, 1}, {1e-7, 1}, {2.5e-7, 1}, {30, 1},
        {1e20, 1}, {123456789012345, 1}, {99999999999999.9, 1}, {12756274, 1}, {0.000277777777777778, 1},
        {-0.0, 1}, {0.1 + 0.2, 17}, {1.0 / 3, 16}, {500000.12345678912, 16}, {9.999999999999999e20, 16},
        {1.2345678901234567e-7, 17}, {1e-8, 1}, {1e21, 1}, {-2.5e300, 1}, {4.9e-324, 1},
    };
    for (const auto& Case : ArrCases)
        for (int LngDigits : {1, 6, 15, 16, 17}) {
            SCOPED_TRACE(std::to_string(Case.DblValue) + " at " + std::to_string(LngDigits));
            TGridHeader Header;
            Header.DblXllCorner = Case.DblValue;
            Header.DblYllCorner = -Case.DblValue;
            Header.DblCellSize = std::fabs(Case.DblValue);
            const std::string StgText = Header.Text(LngDigits);
            const std::pair<const char*, double> ArrEntries[] = {
                {"xllcorner", Header.DblXllCorner}, {"yllcorner", Header.DblYllCorner},
                {"cellsize", Header.DblCellSize}};
            for (const auto& [StgTag, DblValue] : ArrEntries) {
                const std::string StgNumber = Entry(StgText, StgTag);
                // As JavaScript does, by what is written: 9.999999999999999e20
                // is written 1e+21 at 15 digits.
                const double DblMagnitude = std::fabs(Read(StgNumber));
                const bool BlnPlain = DblMagnitude == 0 || (DblMagnitude >= 1e-7 && DblMagnitude < 1e21);
                EXPECT_EQ(StgNumber.find('e') == std::string::npos, BlnPlain) << StgNumber;
                if (BlnPlain && StgNumber.find('.') != std::string::npos) {
                    EXPECT_NE(StgNumber.back(), '0') << StgNumber;
                    EXPECT_NE(StgNumber.back(), '.') << StgNumber;
                }
                // Below the digits that read back, rounded to the digits
                // asked for, never fewer than 15.
                char Rounded[64];
                std::snprintf(Rounded, sizeof Rounded, "%.*g", std::max(15, LngDigits), DblValue);
                EXPECT_EQ(Read(StgNumber), LngDigits >= Case.LngFromDigits ? DblValue : Read(Rounded))
                    << StgNumber;
            }
        }
    // No-data is written as a cell is, with the digits asked for.
    TGridHeader Header;
    Header.DblNoDataValue = 2.0 / 3;
    for (int LngDigits : {1, 3, 15}) {
        char Expected[64];
        std::snprintf(Expected, sizeof Expected, "%.*g", LngDigits, Header.DblNoDataValue);
        EXPECT_EQ(Entry(Header.Text(LngDigits), "NODATA_value"), Expected);
    }
}
