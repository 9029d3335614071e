// Header variants other programs write, read in both dialects: what each
// gives, or the message it refuses them with.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "util/TError.h"
#include "io/TARCGISFileTools.h"

namespace {

const std::string Body = "1 2 3\n4 5 6\n";
const std::string Tags[] = {"ncols 3\n", "nrows 2\n", "xllcorner 10\n", "yllcorner 20\n",
                            "cellsize 5\n", "NODATA_value -9999\n"};
const std::string Standard = Tags[0] + Tags[1] + Tags[2] + Tags[3] + Tags[4] + Tags[5];

// What a dialect made of the text: corner, cell size, no-data value and the
// first two cells, or the message.
struct TOutcome {
    double DblXll, DblYll, DblCellSize, DblNoData, DblFirst, DblSecond;
    std::string StgMessage;
};

TOutcome Read(const std::string& StgText, TGridDialect Dialect)
{
    try {
        std::istringstream Stream(StgText);
        const std::unique_ptr<TMap> PtrMap(TARCGISFileTools::LoadARCGISFile(Stream, Dialect));
        const double* PtrCells = PtrMap->GetCells();
        return {PtrMap->GetXAxisInterval()->GetPoint(0)->GetX(),
                PtrMap->GetYAxisInterval()->GetPoint(PtrMap->GetYDim())->GetY(),
                PtrMap->GetResolution(), PtrMap->GetNoDataValue(), PtrCells[0], PtrCells[1], ""};
    } catch (const TError& Error) {
        return {0, 0, 0, 0, 0, 0, Error.what()};
    }
}

bool Same(double DblActual, double DblExpected)
{
    return DblActual == DblExpected || (std::isnan(DblActual) && std::isnan(DblExpected));
}

void ExpectOutcome(const TOutcome& Actual, const TOutcome& Expected)
{
    EXPECT_EQ(Actual.StgMessage, Expected.StgMessage);
    if (!Expected.StgMessage.empty())
        return;
    const double ArrActual[] = {Actual.DblXll,     Actual.DblYll,   Actual.DblCellSize,
                                Actual.DblNoData,  Actual.DblFirst, Actual.DblSecond};
    const double ArrExpected[] = {Expected.DblXll,    Expected.DblYll,   Expected.DblCellSize,
                                  Expected.DblNoData, Expected.DblFirst, Expected.DblSecond};
    for (int LngAt = 0; LngAt < 6; ++LngAt)
        EXPECT_TRUE(Same(ArrActual[LngAt], ArrExpected[LngAt]))
            << "entry " << LngAt << ": " << ArrActual[LngAt] << " for " << ArrExpected[LngAt];
}

const TOutcome Plain = {10, 20, 5, -9999, 1, 2, ""};
TOutcome Refused(const std::string& StgMessage) { return {0, 0, 0, 0, 0, 0, "File format error: " + StgMessage}; }
const TOutcome NoNcols = Refused("expected to find ncols tag");
const TOutcome NoNrows = Refused("expectd to find nrows tag");
const TOutcome NoXll = Refused("expected to find xllcorner tag");
const TOutcome NoYll = Refused("expected to find yllcorner tag");
const TOutcome NoCellSize = Refused("expected to find cellsize tag");
const TOutcome NoNoData = Refused("expected to find NODATA_value tag");
const TOutcome ShortBody = {0, 0, 0, 0, 0, 0, "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile"};

struct TVariant {
    std::string StgText;
    TOutcome Strict;
    TOutcome Tolerant;
};

}  // namespace

TEST(GridDialect, HeaderVariantsInBothDialects)
{
    const double NaN = std::nan("");
    const std::string Sized = Tags[0] + Tags[1];
    const std::string Corners = Sized + Tags[2] + Tags[3];
    const TVariant Variants[] = {
        {Standard + Body, Plain, Plain},
        // Case, order, spacing, byte-order mark.
        {"NCOLS 3\nNROWS 2\nXLLCORNER 10\nYLLCORNER 20\nCELLSIZE 5\nNODATA_VALUE -9999\n" + Body, NoNcols, Plain},
        {"nCols 3\nnRows 2\nxllcorner 10\nyllcorner 20\ncellsize 5\nnodata_value -9999\n" + Body, NoNcols, Plain},
        {Tags[1] + Tags[4] + Tags[2] + Tags[0] + Tags[3] + Tags[5] + Body, NoNcols, Plain},
        {"\xEF\xBB\xBF" + Standard + Body, NoNcols, Plain},
        {"ncols\t3  \r\n\r\n  nrows 2\t\r\n" + Tags[2] + Tags[3] + Tags[4] + Tags[5] + Body, Plain, Plain},
        // Centres: half a cell inside the corner.
        {Sized + "xllcenter 12.5\nyllcenter 22.5\n" + Tags[4] + Tags[5] + Body, NoXll, Plain},
        {Sized + "xllcenter 12.5\n" + Tags[3] + Tags[4] + Tags[5] + Body, NoXll,
         Refused("xllcenter and yllcorner mix a corner and a centre")},
        {Sized + Tags[2] + "xllcenter 12.5\n" + Tags[3] + Tags[4] + Tags[5] + Body, NoYll,
         Refused("header tags xllcorner and xllcenter both given")},
        // dx and dy.
        {Corners + "dx 5\ndy 5\n" + Tags[5] + Body, NoCellSize, Plain},
        {Corners + "dx 5\ndy 5.5\n" + Tags[5] + Body, NoCellSize, Refused("cells are not square")},
        {Corners + "DX 5\n" + Tags[5] + Body, NoCellSize, Refused("header tag DX given without dy")},
        {Corners + Tags[4] + "dy 5\n" + Tags[5] + Body, NoNoData,
         Refused("header tags cellsize and dy both given")},
        // No NODATA_value line: a no-data value that no cell holds.
        {Corners + Tags[4] + Body, NoNoData, Plain},
        {Corners + Tags[4] + "-9999 2 3 4 5 6\n", NoNoData, {10, 20, 5, -99999, -9999, 2, ""}},
        // The body found by the tags: nan may come first.
        {Corners + Tags[4] + "nan -nan 3 4 5 6\n", NoNoData, {10, 20, 5, -9999, NaN, NaN, ""}},
        {Standard + "-nan 2 3 4 5 6\n", {10, 20, 5, -9999, NaN, 2, ""}, {10, 20, 5, -9999, NaN, 2, ""}},
        {Standard + "NaN 2 3 4 5 6\n", Refused("cell at column 1, row 1 is not a number"),
         {10, 20, 5, -9999, NaN, 2, ""}},
        // Decimal comma, in the header and the cells, but one mark only.
        {Sized + "xllcorner 10,5\nyllcorner ,5e1\ncellsize 2,5\nNODATA_value -9999,5\n0,25 -9999,5 3 4 5 6\n",
         NoYll, {10.5, 5, 2.5, -9999.5, 0.25, -9999.5, ""}},
        {Standard + "1,5 2 3 4 5 6\n", Refused("cell at column 1, row 1 is not a number"),
         {10, 20, 5, -9999, 1.5, 2, ""}},
        {Standard + "1 1.234,5 3 4 5 6\n", Refused("cell at column 2, row 1 is not a number"),
         Refused("cell at column 2, row 1 is not a number")},
        {Sized + "xllcorner 1,2,3\n" + Tags[3] + Tags[4] + Tags[5] + Body, NoYll, NoYll},
        // Refused by both: a tag twice, a word that is no tag, a bad number.
        {Standard + Tags[4] + Body, Refused("cell at column 1, row 1 is not a number"),
         Refused("header tag cellsize given twice")},
        {Corners + Tags[4] + "CellSize 5\n" + Tags[5] + Body, NoNoData,
         Refused("header tag CellSize given twice")},
        {Corners + "cellsize 5\nprojection utm\n" + Tags[5] + Body, NoNoData,
         Refused("projection is not a header tag")},
        {"ncols 3.0\n" + Tags[1] + Tags[2] + Tags[3] + Tags[4] + Tags[5] + Body, NoNrows, NoNrows},
        {"ncols 3,0\n" + Tags[1] + Tags[2] + Tags[3] + Tags[4] + Tags[5] + Body, NoNrows, NoNrows},
        {Tags[0] + Tags[1] + "xllcorner ten\n" + Tags[3] + Tags[4] + Tags[5] + Body, NoYll, NoYll},
        {Corners + "cellsize 5\nNODATA_value none\n" + Body, Refused("NODATA_value is not a number"),
         Refused("NODATA_value is not a number")},
        // Missing tags, the strict messages.
        {"601 ncols\n" + Tags[1] + Tags[2] + Tags[3] + Tags[4] + Tags[5] + Body, NoNcols, NoNcols},
        {Tags[0] + Tags[2] + Tags[3] + Tags[4] + Tags[5] + Body, NoNrows, NoNrows},
        {Sized + Tags[3] + Tags[4] + Tags[5] + Body, NoXll, NoXll},
        {Corners + Tags[5] + Body, NoCellSize, NoCellSize},
        {Corners + "cellsize 0\n" + Tags[5] + Body, Refused("cellsize must be greater than 0"),
         Refused("cellsize must be greater than 0")},
        {Standard + "1 2 3\n", ShortBody, ShortBody},
    };
    for (const TVariant& Variant : Variants) {
        SCOPED_TRACE(Variant.StgText);
        ExpectOutcome(Read(Variant.StgText, TGridDialect::Strict), Variant.Strict);
        ExpectOutcome(Read(Variant.StgText, TGridDialect::Tolerant), Variant.Tolerant);
    }
}

TEST(GridDialect, MapWithoutNoDataWritesAHeaderEveryDialectReadsBack)
{
    const std::string StgText = "ncols 3 nrows 1 xllcorner 0 yllcorner 0 cellsize 1 -9999 -99999 7";
    std::istringstream Stream(StgText);
    const std::unique_ptr<TMap> PtrMap(TARCGISFileTools::LoadARCGISFile(Stream, TGridDialect::Tolerant));
    std::ostringstream Written;
    TARCGISFileTools::WriteARCGISFile(PtrMap.get(), Written);
    EXPECT_EQ(Written.str(), "ncols 3\nnrows 1\nxllcorner        0\nyllcorner        0\ncellsize 1\n"
                             "NODATA_value -999999\n-9999 -99999 7 \n");
    for (TGridDialect Dialect : {TGridDialect::Strict, TGridDialect::Tolerant})
        ExpectOutcome(Read(Written.str(), Dialect), {0, 0, 1, -999999, -9999, -99999, ""});
}
