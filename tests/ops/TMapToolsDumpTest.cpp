#include "ops/TMapTools.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "io/TARCGISFileTools.h"
#include "ops/OpsTestSupport.h"

namespace {

// A grid of the given size and cells, lower left corner (10, 20), cell size 5.
std::unique_ptr<TMap> Load(int Columns, int Rows, const std::string& StgCells)
{
    std::istringstream Stream("ncols " + std::to_string(Columns) + "\nnrows " + std::to_string(Rows)
                              + "\nxllcorner 10\nyllcorner 20\ncellsize 5\nNODATA_value -9999\n"
                              + StgCells);
    return std::unique_ptr<TMap>(TARCGISFileTools::LoadARCGISFile(Stream));
}

std::string FlatFile(const TMap& Map, char ChrSeparator)
{
    std::ostringstream Stream;
    TMapTools::WriteFlatFile(&Map, Stream, ChrSeparator);
    return Stream.str();
}

}  // namespace

TEST(TMapToolsDump, FlatFileFollowsEveryValueWithTheSeparator)
{
    EXPECT_EQ(FlatFile(*Load(3, 2, "1 2 3\n4 5 6\n"), ','), "1,2,3,\n4,5,6,\n");
    // Values as the number formatter writes them, not as they were read.
    EXPECT_EQ(FlatFile(*Load(2, 1, "2.50 -1e-7\n"), '\t'), "2.5\t-1e-07\t\n");
    EXPECT_EQ(FlatFile(*Load(0, 2, ""), ','), "\n\n");
}

// A south-up map, built as client code builds one, through rising centre
// axes: its row 0 is the south row, and its flat file, as the grid file
// beside it, starts with the north row.
TEST(TMapToolsDump, FlatFileOfASouthUpMapStartsWithTheNorthRow)
{
    TAxis XCentres(5, 3), YCentres(5, 2);
    for (long LngI = 0; LngI < 3; ++LngI)
        XCentres.SetPoint(LngI, new TPoint(12.5 + 5 * LngI, 0));
    for (long LngI = 0; LngI < 2; ++LngI)
        YCentres.SetPoint(LngI, new TPoint(0, 22.5 + 5 * LngI));
    TMap SouthUp(&XCentres, &YCentres);
    const TRows VecRowsSouthFirst = {{4, 5, 6}, {1, 2, 3}};
    for (long LngY = 0; LngY < 2; ++LngY)
        for (long LngX = 0; LngX < 3; ++LngX)
            SouthUp.SetPoint(LngX, LngY, VecRowsSouthFirst[LngY][LngX]);
    const std::string StgNorthFirst = "1,2,3,\n4,5,6,\n";
    EXPECT_EQ(FlatFile(SouthUp, ','), StgNorthFirst);
    EXPECT_EQ(FlatFile(*Load(3, 2, "1 2 3\n4 5 6\n"), ','), StgNorthFirst);
    std::ostringstream Grid;
    TARCGISFileTools::WriteARCGISFile(&SouthUp, Grid);
    EXPECT_EQ(Grid.str().substr(Grid.str().find("NODATA_value")), "NODATA_value -9999\n1 2 3 \n4 5 6 \n");
}

TEST(TMapToolsDump, CSVListsCellCentresColumnByColumn)
{
    std::ostringstream Stream;
    TMapTools::WriteCSVFile(Load(3, 2, "1 2 3\n4 5 6\n").get(), Stream);
    EXPECT_EQ(Stream.str(), "12.5,27.5,1\n12.5,22.5,4\n"
                            "17.5,27.5,2\n17.5,22.5,5\n"
                            "22.5,27.5,3\n22.5,22.5,6\n");
}
