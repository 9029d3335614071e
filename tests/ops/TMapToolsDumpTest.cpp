#include "ops/TMapTools.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "io/TARCGISFileTools.h"

namespace {

std::unique_ptr<TMap> Load(const std::string& StgText)
{
    std::istringstream Stream(StgText);
    return std::unique_ptr<TMap>(TARCGISFileTools::LoadARCGISFile(Stream));
}

const std::string Example =
    "ncols 3\nnrows 2\nxllcorner 10\nyllcorner 20\ncellsize 5\nNODATA_value -9999\n1 2 3\n4 5 6\n";

std::string FlatFile(const TMap& Map, char ChrSeparator)
{
    std::ostringstream Stream;
    TMapTools::WriteFlatFile(&Map, Stream, ChrSeparator);
    return Stream.str();
}

std::string CSVFile(const TMap& Map)
{
    std::ostringstream Stream;
    TMapTools::WriteCSVFile(&Map, Stream);
    return Stream.str();
}

}  // namespace

TEST(TMapToolsDump, FlatFileFollowsEveryValueWithTheSeparator)
{
    const auto PtrMap = Load(Example);
    EXPECT_EQ(FlatFile(*PtrMap, ','), "1,2,3,\n4,5,6,\n");
    EXPECT_EQ(FlatFile(*PtrMap, '\t'), "1\t2\t3\t\n4\t5\t6\t\n");
    // Values as the number formatter writes them, not as they were read.
    const auto PtrDecimals = Load("ncols 2 nrows 1 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -9999 "
                                  "2.50 -1e-7\n");
    EXPECT_EQ(FlatFile(*PtrDecimals, ' '), "2.5 -1e-07 \n");
}

TEST(TMapToolsDump, FlatFileOfAMapWithoutColumnsHasEmptyRows)
{
    const auto PtrMap = Load("ncols 0 nrows 2 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -9999\n");
    EXPECT_EQ(FlatFile(*PtrMap, ','), "\n\n");
}

TEST(TMapToolsDump, CSVListsCellCentresColumnByColumn)
{
    EXPECT_EQ(CSVFile(*Load(Example)), "12.5,27.5,1\n12.5,22.5,4\n"
                                       "17.5,27.5,2\n17.5,22.5,5\n"
                                       "22.5,27.5,3\n22.5,22.5,6\n");
}
