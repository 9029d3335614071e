// Every grid of the real-world corpus (grids other projects published, kept
// outside the repository), read with the tolerant dialect, against GDAL's
// reading of it as Float64: the same size, corner, cell size, no-data cells
// and values, bit for bit. Where GDAL reads a file that the tolerant dialect
// refuses, the refusal is one of those it makes on purpose. Every grid that
// spells out NaN or infinity reads, GDAL's reading of it or not.
//
// Skipped without GDAL's command-line tools or without the corpus, unless
// PVX_REQUIRE_GDAL=1 (as in CI) makes a missing GDAL a failure. The corpus is
// PVX_GRID_CORPUS, else ../shared/realworld-grids/files beside the sources.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "util/TError.h"
#include "io/TARCGISFileTools.h"
#include "support/TCaseCount.h"
#include "support/TGdalGrid.h"
#include "support/TTempDir.h"

namespace fs = std::filesystem;

namespace {

TCaseCount& SameAsGdal = RegisterCaseCount("corpus grids read as GDAL reads them");

bool Same(double DblActual, double DblExpected)
{
    return DblActual == DblExpected || (std::isnan(DblActual) && std::isnan(DblExpected));
}

// Within a few units of the 15th digit: gdalinfo prints the geometry to 15
// digits, and computes the north edge as a product where the toolkit sums.
bool Close(double DblActual, double DblExpected)
{
    return std::fabs(DblActual - DblExpected)
        <= 1e-12 * std::max({1.0, std::fabs(DblActual), std::fabs(DblExpected)});
}

void ExpectSameAsGdal(const TMap& Map, const TGdalGrid& Gdal)
{
    ASSERT_EQ(Gdal.VecSize.size(), 2u);
    ASSERT_EQ(Gdal.VecTransform.size(), 6u);
    ASSERT_EQ(Map.GetXDim(), Gdal.VecSize[0]);
    ASSERT_EQ(Map.GetYDim(), Gdal.VecSize[1]);
    EXPECT_TRUE(Close(Map.GetResolution(), Gdal.VecTransform[1]));
    EXPECT_TRUE(Close(Map.GetXAxisInterval()->GetPoint(0)->GetX(), Gdal.VecTransform[0]));
    EXPECT_TRUE(Close(Map.GetYAxisInterval()->GetPoint(0)->GetY(), Gdal.VecTransform[3]));
    const double DblNoData = Map.GetNoDataValue();
    if (!Gdal.VecNoData.empty()) {
        EXPECT_TRUE(Same(DblNoData, Gdal.VecNoData[0])) << DblNoData;
    }
    const std::size_t LngCells = Gdal.VecCells.size();
    ASSERT_EQ(static_cast<std::size_t>(Map.GetXDim() * Map.GetYDim()), LngCells);
    std::size_t LngWrong = 0;
    for (std::size_t LngCell = 0; LngCell < LngCells; ++LngCell) {
        const double DblOurs = Map.GetCells()[LngCell];
        // Without a no-data value in GDAL, no cell of ours is no data either.
        const bool BlnWrong = !Same(DblOurs, Gdal.VecCells[LngCell])
            || (Gdal.VecNoData.empty() && DblOurs == DblNoData);
        LngWrong += BlnWrong;
    }
    EXPECT_EQ(LngWrong, 0u) << "cells differing from GDAL's";
}

// Whether a token of the file is one that the C library reads as NaN or
// infinity from a letter on ("nan", "-Infinity"), as GDAL reads a cell.
bool HoldsNonFiniteWord(const std::string& StgFile)
{
    std::istringstream Stream(ReadText(StgFile));
    for (std::string StgToken; Stream >> StgToken;) {
        const std::size_t LngLetter = StgToken.find_first_not_of("+-");
        if (LngLetter != std::string::npos && std::isalpha(static_cast<unsigned char>(StgToken[LngLetter]))
            && !std::isfinite(std::strtod(StgToken.c_str(), nullptr)))
            return true;
    }
    return false;
}

// Failures so far in the running test.
int FailureCount()
{
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

std::string CorpusFolder()
{
    const char* PtrCorpus = std::getenv("PVX_GRID_CORPUS");
    return PtrCorpus ? PtrCorpus : PVX_SOURCE_DIR "/../shared/realworld-grids/files";
}

}  // namespace

TEST(GdalCorpus, TolerantReadsWhatGdalReads)
{
    if (!GdalToolsInstalled())
        GTEST_SKIP() << "gdal_translate or gdalinfo is not installed";
    std::error_code Err;
    if (!fs::is_directory(CorpusFolder(), Err))
        GTEST_SKIP() << "no grid corpus at " << CorpusFolder();

    // The refusals made on purpose, of files GDAL reads.
    const std::map<std::string, std::string> Refusals = {
        {"File format error: cells are not square", "dx and dy differ"}};
    TTempDir Scratch;
    std::map<std::string, int> Tally;
    for (const fs::directory_entry& Entry : fs::directory_iterator(CorpusFolder())) {
        const std::string StgFile = Entry.path().string();
        SCOPED_TRACE(StgFile);
        const TGdalGrid Gdal = ReadWithGdal(StgFile, Scratch);
        std::unique_ptr<TMap> PtrMap;
        std::string StgMessage;
        try {
            PtrMap.reset(TARCGISFileTools::LoadARCGISFile(StgFile, TGridDialect::Tolerant));
        } catch (const TError& Error) {
            StgMessage = Error.what();
        }
        ++Tally[std::string(PtrMap ? "read" : "refused")
                + (Gdal.BlnRead ? ", GDAL reads" : ", GDAL refuses")];
        if (HoldsNonFiniteWord(StgFile)) {
            EXPECT_TRUE(PtrMap) << "NaN or infinity spelled out, refused: " << StgMessage;
            ++Tally["with NaN or infinity spelled out"];
        }
        if (Gdal.BlnRead && !PtrMap) {
            EXPECT_EQ(Refusals.count(StgMessage), 1u) << StgMessage;
        }
        if (Gdal.BlnRead && PtrMap) {
            const int LngFailuresBefore = FailureCount();
            ExpectSameAsGdal(*PtrMap, Gdal);
            if (FailureCount() == LngFailuresBefore)
                SameAsGdal.Add();
        }
    }
    for (const auto& [StgKind, LngCount] : Tally)
        std::printf("[ figures  ] corpus: %d %s\n", LngCount, StgKind.c_str());
    EXPECT_GT(Tally["read, GDAL reads"], 0);
}
