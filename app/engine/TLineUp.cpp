#include "app/engine/TLineUp.h"

#include <algorithm>
#include <cmath>

#include "util/TError.h"
#include "util/TNumberFormat.h"

namespace {

constexpr double Tolerance = 1.0 / 1024.0;

std::string Differs(const char* StgEntry, double DblFirst, double DblOther)
{
    return std::string(StgEntry) + " " + TNumberFormat::ToString(DblFirst) + " and "
        + TNumberFormat::ToString(DblOther);
}

// Whether Other's cells, over its extent, drift by more than the
// tolerance from cells of First's size.
bool CellSizesDiffer(const TGridFrame& First, const TGridFrame& Other)
{
    const double DblSpan = static_cast<double>(std::max({Other.LngCols, Other.LngRows, 1L}));
    return !(std::fabs(First.DblCellSize - Other.DblCellSize) * DblSpan <= Tolerance * First.DblCellSize);
}

// What differs between the frames, empty when they line up.
std::string Difference(const TGridFrame& First, const TGridFrame& Other)
{
    if (First.LngCols != Other.LngCols)
        return "ncols " + std::to_string(First.LngCols) + " and " + std::to_string(Other.LngCols);
    if (First.LngRows != Other.LngRows)
        return "nrows " + std::to_string(First.LngRows) + " and " + std::to_string(Other.LngRows);
    const double DblCell = First.DblCellSize;
    if (CellSizesDiffer(First, Other))
        return Differs("cellsize", First.DblCellSize, Other.DblCellSize);
    if (!(std::fabs(First.DblXllCorner - Other.DblXllCorner) <= Tolerance * DblCell))
        return Differs("xllcorner", First.DblXllCorner, Other.DblXllCorner);
    if (!(std::fabs(First.DblYllCorner - Other.DblYllCorner) <= Tolerance * DblCell))
        return Differs("yllcorner", First.DblYllCorner, Other.DblYllCorner);
    return "";
}

}  // namespace

void TLineUp::Require(const TRowSource& First, const TRowSource& Other)
{
    const std::string StgDifference = Difference(First.Frame(), Other.Frame());
    if (!StgDifference.empty())
        throw TError(First.Shown() + " and " + Other.Shown() + " do not line up: " + StgDifference);
}

bool TLineUp::Holds(const TGridFrame& First, const TGridFrame& Other)
{
    return Difference(First, Other).empty();
}

TLineUp::TCellOffset TLineUp::OnLattice(const std::string& StgFirst, const TGridFrame& First,
                                        const std::string& StgOther, const TGridFrame& Other)
{
    const auto Fail = [&](const std::string& StgWhat) {
        throw TError(StgOther + " does not lie on the cells of " + StgFirst + ": " + StgWhat);
    };
    if (CellSizesDiffer(First, Other))
        Fail(Differs("cellsize", Other.DblCellSize, First.DblCellSize));
    // Whole cells apart; a distance beyond what a grid spans is no lattice.
    const auto Cells = [&](const char* StgEntry, double DblOther, double DblFirst) {
        const double DblCells = (DblOther - DblFirst) / First.DblCellSize;
        const double DblWhole = std::round(DblCells);
        if (!(std::fabs(DblCells - DblWhole) <= Tolerance) || std::fabs(DblWhole) > 1e15)
            Fail(std::string(StgEntry) + " " + TNumberFormat::ToString(DblOther) + " lies "
                 + TNumberFormat::ToString(DblCells - std::floor(DblCells)) + " of a cell off");
        return static_cast<long>(DblWhole);
    };
    return {Cells("xllcorner", Other.DblXllCorner, First.DblXllCorner),
            Cells("yllcorner", Other.DblYllCorner, First.DblYllCorner)};
}
