// The spellings of NaN and infinity other programs write, wherever a number
// may stand: the tolerant dialect reads each as GDAL 3.6 does, in the header
// and in the cells, beside decimal commas; the strict dialect refuses all
// but its own ("nan", "-nan", "inf", "-inf") as it always did; tokens that
// are none of them are refused by both. Where GDAL is installed, its
// reading of the same text checks the table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "util/TError.h"
#include "io/TARCGISFileTools.h"
#include "support/TGdalGrid.h"
#include "support/TTempDir.h"

namespace {

// How the strict dialect takes the token as NODATA_value.
enum class TStrict {
    Reads,       // one of the texts the writer gives a non-finite value
    NotANumber,  // "NODATA_value is not a number"
    NumberFirst  // the number before "#" or "," read, the rest refused as the first cell
};

struct TSpelling {
    const char* StgText;
    // The value as the C library spells it, for strtod; null for a token
    // that is none of the spellings.
    const char* StgValue;
    TStrict Strict;
};

const TSpelling ArrSpellings[] = {
    {"nan", "nan", TStrict::Reads},
    {"-nan", "-nan", TStrict::Reads},
    {"inf", "inf", TStrict::Reads},
    {"-inf", "-inf", TStrict::Reads},
    {"NaN", "nan", TStrict::NotANumber},
    {"NAN", "nan", TStrict::NotANumber},
    {"+nan", "nan", TStrict::NotANumber},
    {"-NaN", "-nan", TStrict::NotANumber},
    {"nan(ind)", "nan", TStrict::NotANumber},
    {"-nan(ind)", "-nan", TStrict::NotANumber},
    {"Inf", "inf", TStrict::NotANumber},
    {"INF", "inf", TStrict::NotANumber},
    {"infinity", "inf", TStrict::NotANumber},
    {"Infinity", "inf", TStrict::NotANumber},
    {"-Infinity", "-inf", TStrict::NotANumber},
    {"+inf", "inf", TStrict::NotANumber},
    {"+INFINITY", "inf", TStrict::NotANumber},
    // Windows' forms, by their beginning; every NaN among them positive.
    {"1.#INF", "inf", TStrict::NumberFirst},
    {"-1.#INF", "-inf", TStrict::NumberFirst},
    {"1.#inf", "inf", TStrict::NumberFirst},
    {"1.#QNAN", "nan", TStrict::NumberFirst},
    {"-1.#QNAN", "nan", TStrict::NumberFirst},
    {"-1.#IND", "nan", TStrict::NumberFirst},
    {"1.#SNAN", "nan", TStrict::NumberFirst},
    {"1.#INF00", "inf", TStrict::NumberFirst},
    {"-1.#IND00", "nan", TStrict::NumberFirst},
    // None: GDAL reads the number before "#" or "," of the first ones, a
    // prefix of the others.
    {"1.#IND", nullptr, TStrict::NumberFirst},
    {"-1.#SNAN", nullptr, TStrict::NumberFirst},
    {"1.#qnan", nullptr, TStrict::NumberFirst},
    {"+1.#INF", nullptr, TStrict::NumberFirst},
    {"1,#INF", nullptr, TStrict::NumberFirst},
    {"infinit", nullptr, TStrict::NotANumber},
    {"infinityy", nullptr, TStrict::NotANumber},
    {"nanx", nullptr, TStrict::NotANumber},
    {"nan(a-b)", nullptr, TStrict::NotANumber},
    {"+-inf", nullptr, TStrict::NotANumber},
};

std::string Grid(const std::string& StgXll, const std::string& StgCellSize,
                 const std::string& StgNoData, const std::string& StgCells)
{
    return "ncols 3\nnrows 1\nxllcorner " + StgXll + "\nyllcorner 0\ncellsize " + StgCellSize
        + "\nNODATA_value " + StgNoData + "\n" + StgCells + "\n";
}

std::uint64_t Bits(double DblValue)
{
    std::uint64_t LngBits;
    std::memcpy(&LngBits, &DblValue, sizeof LngBits);
    return LngBits;
}

// A map as the no-data value's bits and its cells'.
std::string Read(double DblNoData, const std::vector<double>& VecCells)
{
    std::ostringstream Text;
    Text << std::hex << "no data " << Bits(DblNoData) << ", cells";
    for (double DblCell : VecCells)
        Text << " " << Bits(DblCell);
    return Text.str();
}

std::string Outcome(const std::string& StgText, TGridDialect Dialect)
{
    try {
        std::istringstream Stream(StgText);
        const std::unique_ptr<TMap> PtrMap(TARCGISFileTools::LoadARCGISFile(Stream, Dialect));
        const double* PtrCells = PtrMap->GetCells();
        return Read(PtrMap->GetNoDataValue(), {PtrCells, PtrCells + PtrMap->GetXDim()});
    } catch (const TError& Error) {
        return Error.what();
    }
}

std::string Refused(const std::string& StgWhat) { return "File format error: " + StgWhat; }

}  // namespace

TEST(NonFiniteSpellings, ReadWhereverANumberMayStandInTheTolerantDialectOnly)
{
    const std::string NoYll = Refused("expected to find yllcorner tag");
    const std::string NoNoData = Refused("expected to find NODATA_value tag");
    const std::string NoDataNaN = Refused("NODATA_value is not a number");
    for (const TSpelling& Spelling : ArrSpellings) {
        SCOPED_TRACE(Spelling.StgText);
        const std::string StgText = Spelling.StgText;
        const bool BlnSpelling = Spelling.StgValue != nullptr;
        const double DblValue = BlnSpelling ? std::strtod(Spelling.StgValue, nullptr) : 0.0;
        const bool BlnStrictReads = Spelling.Strict == TStrict::Reads;
        const std::string StgBadCell = Refused("cell at column 2, row 1 is not a number");

        // A cell, beside one with a decimal comma, which only the tolerant
        // dialect reads.
        const std::string StgCells = Grid("0", "1", "-9999", "1 " + StgText + " 0,5");
        EXPECT_EQ(Outcome(StgCells, TGridDialect::Tolerant),
                  BlnSpelling ? Read(-9999, {1, DblValue, 0.5}) : StgBadCell);
        EXPECT_EQ(Outcome(StgCells, TGridDialect::Strict),
                  BlnStrictReads ? Refused("cell at column 3, row 1 is not a number") : StgBadCell);

        const std::string StgNoData = Grid("0", "1", StgText, "1 2 3");
        EXPECT_EQ(Outcome(StgNoData, TGridDialect::Tolerant),
                  BlnSpelling ? Read(DblValue, {1, 2, 3}) : NoDataNaN);
        const std::string StgStrictNoData =
            BlnStrictReads ? Read(DblValue, {1, 2, 3})
            : Spelling.Strict == TStrict::NotANumber ? NoDataNaN
                                                     : Refused("cell at column 1, row 1 is not a number");
        EXPECT_EQ(Outcome(StgNoData, TGridDialect::Strict), StgStrictNoData);

        // A corner and a cell size read, then fail the geometry checks.
        const std::string StgCorner = Grid(StgText, "1", "-9999", "1 2 3");
        EXPECT_EQ(Outcome(StgCorner, TGridDialect::Tolerant),
                  BlnSpelling ? Refused("grid extent is out of range") : NoYll);
        EXPECT_EQ(Outcome(StgCorner, TGridDialect::Strict), NoYll);
        const std::string StgCellSize = Grid("0", StgText, "-9999", "1 2 3");
        EXPECT_EQ(Outcome(StgCellSize, TGridDialect::Tolerant),
                  BlnSpelling ? Refused("cellsize must be greater than 0") : NoNoData);
        EXPECT_EQ(Outcome(StgCellSize, TGridDialect::Strict), NoNoData);
    }
}

// The table's values are GDAL's: its cells bit for bit (the sign of a NaN
// included), its no-data value as gdalinfo prints it.
TEST(NonFiniteSpellings, TolerantReadsAsGdalReads)
{
    if (!GdalToolsInstalled())
        GTEST_SKIP() << "gdal_translate or gdalinfo is not installed";
    TTempDir Scratch;
    std::vector<const TSpelling*> VecSpellings;
    std::string StgCells = "0";
    for (const TSpelling& Spelling : ArrSpellings) {
        if (Spelling.StgValue) {
            VecSpellings.push_back(&Spelling);
            StgCells = StgCells + " " + Spelling.StgText;
        }
    }
    const std::string StgFile = Scratch / "cells.asc";
    const std::string StgText = "ncols " + std::to_string(VecSpellings.size() + 2)
        + "\nnrows 1\nxllcorner 0,5\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n" + StgCells + " 0,25\n";
    WriteText(StgFile, StgText);
    const TGdalGrid Gdal = ReadWithGdal(StgFile, Scratch);
    ASSERT_EQ(Gdal.VecCells.size(), VecSpellings.size() + 2);
    std::istringstream Stream(StgText);
    const std::unique_ptr<TMap> PtrMap(TARCGISFileTools::LoadARCGISFile(Stream, TGridDialect::Tolerant));
    EXPECT_EQ(Bits(PtrMap->GetCells()[VecSpellings.size() + 1]), Bits(Gdal.VecCells.back()));
    for (std::size_t LngAt = 0; LngAt < VecSpellings.size(); ++LngAt) {
        SCOPED_TRACE(VecSpellings[LngAt]->StgText);
        EXPECT_EQ(Bits(Gdal.VecCells[LngAt + 1]), Bits(std::strtod(VecSpellings[LngAt]->StgValue, nullptr)));
        EXPECT_EQ(Bits(PtrMap->GetCells()[LngAt + 1]), Bits(Gdal.VecCells[LngAt + 1]));

        WriteText(StgFile, Grid("0", "1", VecSpellings[LngAt]->StgText, "1 2 3"));
        const std::vector<double> VecNoData = JsonNumbers(
            RunShell("gdalinfo -json -oo DATATYPE=Float64 " + ShellQuoted(StgFile)).StgOut, "noDataValue");
        const std::unique_ptr<TMap> PtrNoData(TARCGISFileTools::LoadARCGISFile(StgFile, TGridDialect::Tolerant));
        ASSERT_EQ(VecNoData.size(), 1u);
        const double DblOurs = PtrNoData->GetNoDataValue();
        EXPECT_TRUE(DblOurs == VecNoData[0] || (std::isnan(DblOurs) && std::isnan(VecNoData[0])))
            << DblOurs << " for " << VecNoData[0];
    }
}
