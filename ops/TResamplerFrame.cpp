// The frame gdalwarp -tr gives over a source.
#include <cmath>

#include "grid/TGridSize.h"
#include "ops/TResampler.h"
#include "util/TError.h"

namespace {

// The width and height gdalwarp suggests for a source without
// reprojection: as many cells as the source has, of a size taken from its
// diagonal, so that they may miss the source's own width and height by a
// few units in the last place.
struct TSuggestedSize {
    double DblWidth;
    double DblHeight;
};

TSuggestedSize SuggestedSize(const TGridFrame& Source)
{
    const double DblCols = static_cast<double>(Source.LngCols);
    const double DblRows = static_cast<double>(Source.LngRows);
    const double DblWest = Source.West();
    const double DblNorth = Source.North();
    const double DblEast = DblWest + DblCols * Source.DblCellSize;
    const double DblSouth = DblNorth + DblRows * -Source.DblCellSize;
    const double DblDeltaX = DblEast - DblWest;
    const double DblDeltaY = DblSouth - DblNorth;
    const double DblCell = std::sqrt(DblDeltaX * DblDeltaX + DblDeltaY * DblDeltaY)
        / std::sqrt(DblCols * DblCols + DblRows * DblRows);
    const double DblPixels = std::floor((DblEast - DblWest) / DblCell + 0.5);
    const double DblLines = std::floor((DblNorth - DblSouth) / DblCell + 0.5);
    return {(DblWest + DblCell * DblPixels) - DblWest,
            DblNorth - (DblNorth + -DblCell * DblLines)};
}

}  // namespace

TGridFrame TResampler::FrameForCellSize(const TGridFrame& Source, double DblCellSize)
{
    Checked(Source, "Source");
    if (!(std::isfinite(DblCellSize) && DblCellSize > 0.0))
        throw TError("Cell size must be finite and greater than 0 in TResampler::FrameForCellSize");
    const TSuggestedSize Size = SuggestedSize(Source);
    // Whole cells, rounded half up as gdalwarp rounds them.
    const double DblHalf = DblCellSize / 2.0;
    const auto [LngCols, LngRows] = TGridSize::FromQuotients(
        (Size.DblWidth + DblHalf) / DblCellSize, (Size.DblHeight + DblHalf) / DblCellSize,
        "TResampler::FrameForCellSize");
    if (LngCols < 1 || LngRows < 1)
        throw TError("Cell size is too large for the map in TResampler::FrameForCellSize");
    // Anchored at the source's north-west corner.
    const double DblNorth = Source.North();
    return {LngCols, LngRows, Source.West(), DblNorth - static_cast<double>(LngRows) * DblCellSize,
            DblCellSize};
}
