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

// What differs between the frames, empty when they line up.
std::string Difference(const TGridFrame& First, const TGridFrame& Other)
{
    if (First.LngCols != Other.LngCols)
        return "ncols " + std::to_string(First.LngCols) + " and " + std::to_string(Other.LngCols);
    if (First.LngRows != Other.LngRows)
        return "nrows " + std::to_string(First.LngRows) + " and " + std::to_string(Other.LngRows);
    const double DblCell = First.DblCellSize;
    const double DblSpan = static_cast<double>(std::max({First.LngCols, First.LngRows, 1L}));
    if (!(std::fabs(First.DblCellSize - Other.DblCellSize) * DblSpan <= Tolerance * DblCell))
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
