// Reading and writing on several threads give what one cell after another
// gives: the same cells, the same first failure, the same stream position
// after the body, the same bytes written; wherever windows and chunks cut
// the text.
#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "util/TError.h"
#include "util/TSlices.h"
#include "io/TARCGISFileTools.h"
#include "io/TGridReader.h"
#include "util/TRowWriter.h"
#include "util/TTextWriter.h"

namespace {

const unsigned ArrThreads[] = {1, 2, 3, 7};

// What a read gave: the written map or the failure, then the rest of the
// stream.
std::string Outcome(std::istream& Stream, TGridDialect Dialect)
{
    std::string StgResult;
    try {
        std::unique_ptr<TMap> PtrMap(TARCGISFileTools::LoadARCGISFile(Stream, Dialect));
        std::ostringstream Written;
        TARCGISFileTools::WriteARCGISFile(PtrMap.get(), Written);
        StgResult = Written.str();
    } catch (const TError& Error) {
        StgResult = std::string("failure: ") + Error.what();
    }
    Stream.clear();
    return StgResult + "| rest: " + std::string(std::istreambuf_iterator<char>(Stream), {});
}

// A read of the header, then of the cells as ReadBody reads them: the map as
// the writer lays it out or the failure, then the rest of the stream.
using TBodyRead = std::function<void(TGridReader&, std::vector<double>&)>;
std::string Reading(const std::string& StgText, TGridDialect Dialect, const TBodyRead& ReadBody)
{
    std::istringstream Stream(StgText);
    std::string StgResult;
    try {
        std::vector<double> VecCells;
        TGridHeader Header;
        {
            TGridReader Reader(Stream, Dialect);
            Header = Reader.Header();
            ReadBody(Reader, VecCells);
        }
        if (!Header.BlnNoDataGiven)
            Header.DblNoDataValue = TGridHeader::UnusedNoDataValue(VecCells.data(), VecCells.size());
        TTextWriter Text;
        Text.Put(Header.Text());
        TRowWriter Rows(Text, static_cast<std::size_t>(Header.LngCols),
                        static_cast<std::size_t>(Header.LngRows), ' ');
        Rows.Put(VecCells.data(), VecCells.size());
        StgResult = std::string(Text.Text());
    } catch (const TError& Error) {
        StgResult = std::string("failure: ") + Error.what();
    }
    Stream.clear();
    return StgResult + "| rest: " + std::string(std::istreambuf_iterator<char>(Stream), {});
}

// The same read one cell after another, apart from the parallel path.
std::string OneByOne(const std::string& StgText, TGridDialect Dialect)
{
    return Reading(StgText, Dialect, [](TGridReader& Reader, std::vector<double>& VecCells) {
        for (std::uint64_t LngCell = 0; LngCell < Reader.CellCount(); ++LngCell)
            VecCells.push_back(Reader.NextCell());
    });
}

std::string Header(long LngCols, long LngRows)
{
    return "ncols " + std::to_string(LngCols) + "\nnrows " + std::to_string(LngRows)
        + "\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n";
}

// Cells of every length the fast and the general path take.
std::string Body(long LngCells, const std::string& StgLineEnd, long LngPerLine)
{
    const char* const ArrForms[] = {"1", "-2.5", "1234.56", "-9999", "7e3", "+0.125", "nan",
                                    "12345678901234567890", "0.1", "-inf", "33.333"};
    std::string StgBody;
    for (long LngCell = 0; LngCell < LngCells; ++LngCell) {
        StgBody += ArrForms[LngCell % 11];
        StgBody += (LngCell + 1) % LngPerLine == 0 ? StgLineEnd : " ";
    }
    return StgBody;
}

// The cells a reader hands over, each where it lies in the grid.
class TCollector : public TGridReader::TCellSink {
public:
    explicit TCollector(std::vector<double>& VecCells) : MbrVecCells(VecCells) {}

    void BeginWindow(std::uint64_t LngCellsAfter, std::size_t) override
    {
        MbrVecCells.resize(static_cast<std::size_t>(LngCellsAfter));
    }
    void Take(std::size_t, double* PtrCells, std::size_t LngCount, std::uint64_t LngFirst) override
    {
        std::copy(PtrCells, PtrCells + LngCount, MbrVecCells.begin() + static_cast<std::ptrdiff_t>(LngFirst));
    }
    void EndWindow() override {}

private:
    std::vector<double>& MbrVecCells;
};

struct TCase {
    const char* StgWhat;
    std::string StgText;
    TGridDialect Dialect;
};

// Grids that read, fail at every kind of cell, or end short.
std::vector<TCase> ReadingCases()
{
    return {
        {"square", Header(6, 5) + Body(30, "\n", 6) + "tail 1 2", TGridDialect::Strict},
        {"thin column", Header(1, 40) + Body(40, "\n", 1), TGridDialect::Strict},
        {"thin row", Header(40, 1) + Body(40, "\n", 40), TGridDialect::Strict},
        {"ragged rows", Header(6, 5) + Body(30, "\n", 4), TGridDialect::Strict},
        {"CRLF", Header(6, 5) + Body(30, "\r\n", 6), TGridDialect::Strict},
        {"bad in the first chunk", Header(6, 5) + "1 2 x" + Body(27, "\n", 6), TGridDialect::Strict},
        {"bad in a middle one", Header(6, 5) + Body(15, " ", 6) + "1e" + Body(14, " ", 6), TGridDialect::Strict},
        {"bad last cell", Header(6, 5) + Body(29, " ", 6) + "--1 2", TGridDialect::Strict},
        {"two bad cells", Header(6, 5) + Body(9, " ", 6) + "1e999 " + Body(9, " ", 6) + "y " + Body(10, " ", 6), TGridDialect::Strict},
        {"bad after the last cell", Header(6, 5) + Body(30, " ", 6) + "x", TGridDialect::Strict},
        {"short body", Header(6, 5) + Body(29, "\n", 6), TGridDialect::Strict},
        {"no body", Header(6, 5), TGridDialect::Strict},
        {"decimal comma", "ncols 3 nrows 3 xllcorner 0 yllcorner 0 cellsize 1\n0,5 1,25 -3,0\n7 8,5 1.5\n9 1,2,3 4",
         TGridDialect::Tolerant},
        {"no no-data line", "ncols 4 nrows 2 xllcorner 0 yllcorner 0 cellsize 1\n-9999 1 2 3 4 5 6 7",
         TGridDialect::Tolerant},
    };
}

class TParallelSettings : public ::testing::Test {
protected:
    void TearDown() override
    {
        TSlices::SetThreads(0);
        TGridReader::SetWindowBytes(0);
    }
};

}  // namespace

TEST_F(TParallelSettings, ReadingMatchesOneCellAfterAnother)
{
    for (const TCase& Case : ReadingCases()) {
        const std::string StgExpected = OneByOne(Case.StgText, Case.Dialect);
        // Windows of 1 to 24 bytes a thread put their borders at every
        // offset of every token.
        for (std::size_t LngWindow = 1; LngWindow <= 24; ++LngWindow) {
            for (unsigned LngThreads : ArrThreads) {
                TSlices::SetThreads(LngThreads, true);
                TGridReader::SetWindowBytes(LngWindow);
                std::istringstream Stream(Case.StgText);
                ASSERT_EQ(Outcome(Stream, Case.Dialect), StgExpected)
                    << Case.StgWhat << ", window " << LngWindow << ", " << LngThreads << " threads";
            }
        }
    }
}

// Pieces of cells and of rows, as a stream that works a few rows at a time
// asks for them.
TEST_F(TParallelSettings, ReadingInPiecesMatchesOneReading)
{
    const struct {
        std::uint64_t LngCells, LngRows;
    } ArrPieces[] = {{1, 0}, {2, 0}, {7, 0}, {0, 1}, {0, 3}, {0, 5}};
    for (const TCase& Case : ReadingCases()) {
        const std::string StgExpected = OneByOne(Case.StgText, Case.Dialect);
        // 0: the default window, sized to each piece.
        for (std::size_t LngWindow : {1UL, 3UL, 8UL, 0UL}) {
            for (unsigned LngThreads : ArrThreads) {
                TSlices::SetThreads(LngThreads, true);
                TGridReader::SetWindowBytes(LngWindow);
                for (const auto& Piece : ArrPieces) {
                    const auto ReadInPieces = [&](TGridReader& Reader, std::vector<double>& VecCells) {
                        const std::uint64_t LngPiece = std::max<std::uint64_t>(
                            1, Piece.LngCells + Piece.LngRows * static_cast<std::uint64_t>(Reader.Header().LngCols));
                        TCollector Sink(VecCells);
                        while (Reader.CellsRead() < Reader.CellCount()) {
                            // A piece reads all it asks for, and fails only
                            // at a cell of its own.
                            const std::uint64_t LngBefore = Reader.CellsRead();
                            try {
                                Reader.ReadCells(Sink, LngThreads, LngPiece);
                            } catch (const TError&) {
                                EXPECT_LT(Reader.CellsRead() - LngBefore, LngPiece);
                                throw;
                            }
                            ASSERT_EQ(Reader.CellsRead() - LngBefore,
                                      std::min(LngPiece, Reader.CellCount() - LngBefore));
                        }
                    };
                    ASSERT_EQ(Reading(Case.StgText, Case.Dialect, ReadInPieces), StgExpected)
                        << Case.StgWhat << ", window " << LngWindow << ", " << LngThreads
                        << " threads, pieces of " << Piece.LngCells << " cells " << Piece.LngRows << " rows";
                }
            }
        }
    }
}

// How far a reader that meets an overlong token has read is no one's
// concern: it reads no further.
std::string WithoutRestAfterFailure(const std::string& StgOutcome)
{
    return StgOutcome.rfind("failure: ", 0) == 0 ? StgOutcome.substr(0, StgOutcome.find("| rest: "))
                                                 : StgOutcome;
}

// Tokens of 64 KiB and more read as junk; one byte less is still a number.
TEST_F(TParallelSettings, OverlongTokensAtWindowBorders)
{
    const std::string StgLongest = std::string(65534, '0') + "1";
    for (const std::string& StgText :
         {Header(3, 1) + "1 " + StgLongest + " 2", Header(3, 1) + "1 0" + StgLongest + " 2",
          Header(3, 1) + "1 2 3 " + StgLongest + "0"}) {
        const std::string StgExpected = OneByOne(StgText, TGridDialect::Strict);
        for (std::size_t LngWindow : {1UL, 1000UL, 65535UL, 65536UL, 65537UL, 0UL}) {
            for (unsigned LngThreads : ArrThreads) {
                TSlices::SetThreads(LngThreads, true);
                TGridReader::SetWindowBytes(LngWindow);
                std::istringstream Stream(StgText);
                ASSERT_EQ(WithoutRestAfterFailure(Outcome(Stream, TGridDialect::Strict)),
                          WithoutRestAfterFailure(StgExpected))
                    << StgText.size() << " bytes, window " << LngWindow << ", " << LngThreads;
            }
        }
    }
}

TEST_F(TParallelSettings, WritingMatchesOneCellAfterAnother)
{
    for (const std::string& StgText :
         {Header(6, 5) + Body(30, "\n", 6), Header(1, 40) + Body(40, "\n", 1),
          Header(40, 1) + Body(40, "\n", 1), Header(0, 4), Header(4, 0)}) {
        std::istringstream Stream(StgText);
        const std::unique_ptr<TMap> PtrMap(TARCGISFileTools::LoadARCGISFile(Stream));
        const std::string StgRead = OneByOne(StgText, TGridDialect::Strict);
        const std::string StgExpected = StgRead.substr(0, StgRead.find("| rest: "));
        for (unsigned LngThreads : ArrThreads) {
            TSlices::SetThreads(LngThreads, true);
            std::ostringstream Written;
            TARCGISFileTools::WriteARCGISFile(PtrMap.get(), Written);
            EXPECT_EQ(Written.str(), StgExpected) << LngThreads << " threads";
        }
    }
    // A south-up map is written north row first, in pieces as in one.
    const std::vector<double> VecCells = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    for (unsigned LngThreads : ArrThreads) {
        TSlices::SetThreads(LngThreads, true);
        std::ostringstream Written;
        TRowWriter::WriteRows(Written, VecCells.data(), 3, 4, ' ', true);
        EXPECT_EQ(Written.str(), "10 11 12 \n7 8 9 \n4 5 6 \n1 2 3 \n") << LngThreads << " threads";
    }
}
