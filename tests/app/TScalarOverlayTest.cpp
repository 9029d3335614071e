// The streaming command against the toolkit path it stands for: the same
// bytes, or the same message, whatever the number of threads.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "util/TSlices.h"
#include "io/TGridReader.h"
#include "support/TOverlayPaths.h"
#include "util/TNumberFormat.h"

namespace {

// The toolkit path on one thread; the streamed one on 1, 2, 3 and 7, in
// windows small enough that every grid is cut into many chunks.
void ExpectSamePaths(const std::string& StgInput, char ChrOperation, double DblScalar)
{
    TSlices::SetThreads(1);
    const std::string StgExpected = ThroughToolkit(StgInput, ChrOperation, DblScalar);
    for (unsigned LngThreads : {1U, 2U, 3U, 7U}) {
        TSlices::SetThreads(LngThreads, true);
        TGridReader::SetWindowBytes(StgInput.size() < 20000 ? 5 : 4096);
        EXPECT_EQ(Streamed(StgInput, ChrOperation, DblScalar), StgExpected)
            << "threads " << LngThreads << ", input:\n" << StgInput.substr(0, 300);
    }
    TGridReader::SetWindowBytes(0);
    TSlices::SetThreads(0);
}

// A grid of random 2-decimal values with some no-data cells.
std::string RandomGrid(long LngCols, long LngRows, const std::string& StgCorner, double DblCellSize,
                       std::mt19937_64& Random)
{
    std::ostringstream Text;
    Text.precision(17);
    Text << "ncols " << LngCols << "\nnrows " << LngRows << "\n" << StgCorner << "cellsize "
         << DblCellSize << "\nNODATA_value -9999\n";
    std::uniform_int_distribution<long> Value(-500000, 900000);
    std::bernoulli_distribution NoData(0.05);
    for (long LngCell = 1; LngCell <= LngCols * LngRows; ++LngCell) {
        if (NoData(Random))
            Text << "-9999";
        else
            Text << static_cast<double>(Value(Random)) / 100;
        Text << (LngCell % LngCols == 0 ? '\n' : ' ');
    }
    return Text.str();
}

}  // namespace

TEST(StreamingOverlay, MatchesToolkitOnGridsOfManyShapes)
{
    std::mt19937_64 Random(20261208);
    const std::string StgUtm = "xllcorner 512345.5\nyllcorner 4512345.5\n";
    const std::string StgOdd = "xllcorner -0.1\nyllcorner 1e-7\n";
    ExpectSamePaths(RandomGrid(1, 1, StgUtm, 25, Random), 'x', 2);
    ExpectSamePaths(RandomGrid(7, 1, StgOdd, 0.1, Random), 'x', 1.1);
    ExpectSamePaths(RandomGrid(1, 9, StgOdd, 0.3, Random), '/', 3);
    ExpectSamePaths(RandomGrid(300, 400, StgUtm, 30, Random), 'x', 1.1);
    ExpectSamePaths(RandomGrid(70001, 2, StgOdd, 1e-3, Random), '/', -7);
    ExpectSamePaths(RandomGrid(3, 30000, StgUtm, 0.7, Random), 'x', 0);
}

TEST(StreamingOverlay, MatchesToolkitOnFailuresAndNonFiniteResults)
{
    const std::string StgHeader =
        "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n";
    for (const std::string& StgInput :
         {StgHeader + "1 2 3\n4 5\n", StgHeader + "1 2 3\n4 5 abc\n", StgHeader + "1 2 3 4 5 6",
          StgHeader, std::string("ncols 3\nnrows 2\nxllcorner 0\n"), std::string("ncols 3.0\n"),
          std::string("ncols 0\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value 0\n"),
          std::string("ncols 2\nnrows 0\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value 0\n"),
          std::string("ncols 2\nnrows 0\nxllcorner 0\nyllcorner 0\ncellsize 0\nNODATA_value 0\n"),
          std::string("ncols 1\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1e308\nNODATA_value 0\n1 2\n"),
          std::string("ncols 4\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value nan\n"
                      "1 -2 0 nan\n")}) {
        for (char ChrOperation : {'x', '/', 'X'})
            for (double DblScalar : {2.0, 0.0, 1e308})
                ExpectSamePaths(StgInput, ChrOperation, DblScalar);
    }
}

TEST(StreamingOverlay, MatchesToolkitOnHugeDeclaredGrids)
{
    const std::string StgCorner = "xllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n";
    for (const std::string StgDims : {"ncols 2147483647\nnrows 2147483647\n",
                                      "ncols 1\nnrows 2147483647\n", "ncols 2147483647\nnrows 1\n"})
        ExpectSamePaths(StgDims + StgCorner + "1 2 3\n", 'x', 2);
    // Without cells the body is complete. The command needs no axes, so it
    // writes a grid whose axes alone would not fit in memory.
    for (const std::string StgDims : {"ncols 0\nnrows 3\n", "ncols 4\nnrows 0\n"})
        ExpectSamePaths(StgDims + StgCorner, 'x', 2);
    const std::string StgWide = "ncols 2147483647\nnrows 0\n" + StgCorner;
    EXPECT_EQ(ThroughToolkit(StgWide, 'x', 2),
              "Grid is too large for memory in TARCGISFileTools::LoadARCGISFile");
    for (unsigned LngThreads : {1U, 2U}) {
        TSlices::SetThreads(LngThreads);
        EXPECT_EQ(Streamed(StgWide, 'x', 2),
                  "ncols 2147483647\nnrows 0\nxllcorner        0\nyllcorner        0\n"
                  "cellsize 1\nNODATA_value -9999\n");
    }
    TSlices::SetThreads(0);
}

TEST(StreamingOverlay, ScalingByOneGivesTheHeaderBack)
{
    std::mt19937_64 Random(7);
    std::uniform_int_distribution<int> Pick(0, 1 << 30);
    const std::string ArrCellSizes[] = {"0.000277777777777777778", "0.00833333333333333",
                                        "0.1", "0.25", "0.3333333333333333", "1", "5", "25",
                                        "30", "90", "100"};
    // A corner with 0 to 3 decimals; now and then zero or a half integer.
    const auto Corner = [&](int LngScale) {
        const int LngKind = Pick(Random) % 8;
        if (LngKind == 0)
            return std::string("0");
        const long LngWhole = Pick(Random) % LngScale - LngScale / 2;
        if (LngKind == 1)
            return std::to_string(LngWhole) + ".5";
        const int LngDecimals = Pick(Random) % 4;
        std::string StgText = std::to_string(LngWhole);
        if (LngDecimals > 0)
            StgText += "." + std::to_string(1000 + Pick(Random) % 1000).substr(4 - LngDecimals);
        return StgText;
    };
    for (int LngCase = 0; LngCase < 300; ++LngCase) {
        const long LngRows = 1 + Pick(Random) % 300;
        const long LngCols = 1 + Pick(Random) % std::max(1L, 20000 / LngRows);
        const std::string StgX = Corner(LngCase % 2 ? 360 : 1000000);
        const std::string StgY = Corner(LngCase % 2 ? 180 : 10000000);
        const std::string StgCell = ArrCellSizes[Pick(Random) % 11];
        std::string StgGrid = "ncols " + std::to_string(LngCols) + "\nnrows "
            + std::to_string(LngRows) + "\nxllcorner " + StgX + "\nyllcorner " + StgY
            + "\ncellsize " + StgCell + "\nNODATA_value -9999\n";
        for (long LngCell = 0; LngCell < LngRows * LngCols; ++LngCell)
            StgGrid += "7 ";
        const auto Plain = [](const std::string& StgNumber) {
            char Text[TNumberFormat::MaxLength];
            return std::string(Text, TNumberFormat::WritePlain(std::strtod(StgNumber.c_str(), nullptr), Text, 15));
        };
        const auto Field = [&Plain](const std::string& StgNumber) {
            const std::string StgText = Plain(StgNumber);
            return std::string(StgText.size() < 8 ? 8 - StgText.size() : 0, ' ') + StgText;
        };
        const std::string StgHeader = "xllcorner " + Field(StgX) + "\nyllcorner " + Field(StgY)
            + "\ncellsize " + Plain(StgCell) + "\n";
        for (char ChrOperation : {'x', '/'}) {
            const std::string StgToolkit = ThroughToolkit(StgGrid, ChrOperation, 1.0);
            EXPECT_NE(StgToolkit.find(StgHeader), std::string::npos)
                << StgHeader << "\nwritten:\n" << StgToolkit.substr(0, 120);
            EXPECT_EQ(Streamed(StgGrid, ChrOperation, 1.0), StgToolkit);
        }
    }
}
