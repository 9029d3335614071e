#include "app/engine/TMosaicPlan.h"

#include <algorithm>
#include <climits>
#include <numeric>

#include "app/engine/TLineUp.h"
#include "util/TError.h"

namespace {

// What an ASCII grid's header holds.
constexpr long MaxCells = INT_MAX;

// The sides of a tile across which another reaches into it.
struct TReached {
    bool BlnNorth = false;
    bool BlnSouth = false;
    bool BlnWest = false;
    bool BlnEast = false;
};

// Whether Edge lies strictly inside First..Last.
bool Inside(long LngEdge, long LngFirst, long LngLast)
{
    return LngFirst < LngEdge && LngEdge < LngLast;
}

void Note(const TMosaicPlan::TTile& Tile, const TMosaicPlan::TTile& Other, TReached& Reached)
{
    const long LngRowEnd = Tile.LngRow + Tile.LngRows;
    const long LngColEnd = Tile.LngCol + Tile.LngCols;
    const long LngOtherRowEnd = Other.LngRow + Other.LngRows;
    const long LngOtherColEnd = Other.LngCol + Other.LngCols;
    if (!(Other.LngRow < LngRowEnd && Tile.LngRow < LngOtherRowEnd))
        return;
    const bool BlnColumns = Other.LngCol < LngColEnd && Tile.LngCol < LngOtherColEnd;
    Reached.BlnNorth |= BlnColumns && Inside(Tile.LngRow, Other.LngRow, LngOtherRowEnd);
    Reached.BlnSouth |= BlnColumns && Inside(LngRowEnd, Other.LngRow, LngOtherRowEnd);
    Reached.BlnWest |= Inside(Tile.LngCol, Other.LngCol, LngOtherColEnd);
    Reached.BlnEast |= Inside(LngColEnd, Other.LngCol, LngOtherColEnd);
}

}  // namespace

TMosaicPlan::TMosaicPlan(const std::vector<std::string>& VecNames, const std::vector<TGridFrame>& VecFrames,
                         long LngOverlap)
{
    Place(VecNames, VecFrames);
    Trim(LngOverlap);
}

void TMosaicPlan::Place(const std::vector<std::string>& VecNames, const std::vector<TGridFrame>& VecFrames)
{
    const TGridFrame& First = VecFrames.front();
    // On the first tile's lattice: columns east of its west edge, rows north
    // of its south edge.
    std::vector<TLineUp::TCellOffset> VecOffsets;
    for (std::size_t LngTile = 0; LngTile < VecFrames.size(); ++LngTile)
        VecOffsets.push_back(TLineUp::OnLattice(VecNames.front(), First, VecNames[LngTile], VecFrames[LngTile]));
    std::size_t LngWest = 0, LngSouth = 0;
    long LngEast = LONG_MIN, LngNorth = LONG_MIN;
    for (std::size_t LngTile = 0; LngTile < VecFrames.size(); ++LngTile) {
        const TLineUp::TCellOffset& Offset = VecOffsets[LngTile];
        LngWest = Offset.LngEast < VecOffsets[LngWest].LngEast ? LngTile : LngWest;
        LngSouth = Offset.LngNorth < VecOffsets[LngSouth].LngNorth ? LngTile : LngSouth;
        LngEast = std::max(LngEast, Offset.LngEast + VecFrames[LngTile].LngCols);
        LngNorth = std::max(LngNorth, Offset.LngNorth + VecFrames[LngTile].LngRows);
    }
    // The corners are the westernmost and southernmost tiles' own, so that
    // tiles cut from a grid give its header back as it was.
    MbrFrame = {LngEast - VecOffsets[LngWest].LngEast, LngNorth - VecOffsets[LngSouth].LngNorth,
                VecFrames[LngWest].DblXllCorner, VecFrames[LngSouth].DblYllCorner, First.DblCellSize};
    if (MbrFrame.LngCols > MaxCells || MbrFrame.LngRows > MaxCells)
        throw TError("the tiles span " + std::to_string(MbrFrame.LngCols) + " x " + std::to_string(MbrFrame.LngRows)
                     + " cells, more than a grid holds");
    for (std::size_t LngTile = 0; LngTile < VecFrames.size(); ++LngTile) {
        const TGridFrame& Frame = VecFrames[LngTile];
        MbrVecTiles.push_back({LngNorth - (VecOffsets[LngTile].LngNorth + Frame.LngRows),
                               VecOffsets[LngTile].LngEast - VecOffsets[LngWest].LngEast, Frame.LngRows,
                               Frame.LngCols, 0, Frame.LngRows, 0, Frame.LngCols});
    }
}

void TMosaicPlan::Trim(long LngOverlap)
{
    if (LngOverlap == 0)
        return;
    // By their first row: a tile meets only those that begin less than the
    // tallest tile's height before its own first row, and before its end.
    std::vector<std::size_t> VecByRow(MbrVecTiles.size());
    std::iota(VecByRow.begin(), VecByRow.end(), std::size_t{0});
    std::stable_sort(VecByRow.begin(), VecByRow.end(),
                     [&](std::size_t LngA, std::size_t LngB) { return MbrVecTiles[LngA].LngRow < MbrVecTiles[LngB].LngRow; });
    long LngTallest = 0;
    for (const TTile& Tile : MbrVecTiles)
        LngTallest = std::max(LngTallest, Tile.LngRows);
    std::vector<TReached> VecReached(MbrVecTiles.size());
    for (std::size_t LngTile = 0; LngTile < MbrVecTiles.size(); ++LngTile) {
        const TTile& Tile = MbrVecTiles[LngTile];
        auto It = std::lower_bound(VecByRow.begin(), VecByRow.end(), Tile.LngRow - LngTallest,
                                   [&](std::size_t LngOther, long LngRow) { return MbrVecTiles[LngOther].LngRow <= LngRow; });
        for (; It != VecByRow.end() && MbrVecTiles[*It].LngRow < Tile.LngRow + Tile.LngRows; ++It)
            if (*It != LngTile)
                Note(Tile, MbrVecTiles[*It], VecReached[LngTile]);
    }
    for (std::size_t LngTile = 0; LngTile < MbrVecTiles.size(); ++LngTile) {
        TTile& Tile = MbrVecTiles[LngTile];
        const TReached& Reached = VecReached[LngTile];
        Tile.LngFirstRow = Reached.BlnNorth ? std::min(LngOverlap, Tile.LngRows) : 0;
        Tile.LngLastRow = Tile.LngRows - (Reached.BlnSouth ? std::min(LngOverlap, Tile.LngRows) : 0);
        Tile.LngFirstCol = Reached.BlnWest ? std::min(LngOverlap, Tile.LngCols) : 0;
        Tile.LngLastCol = Tile.LngCols - (Reached.BlnEast ? std::min(LngOverlap, Tile.LngCols) : 0);
    }
}
