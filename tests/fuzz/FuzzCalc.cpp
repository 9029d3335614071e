// Any bytes as an expression of map algebra over the grids a, b, dem and x
// (a name that is also a function's): either a TExpressionError or a
// program that evaluates every row of a small grid, across more than one
// block of cells, with its neighbours beyond the edges; twice alike to the
// bit, so that no register is read before it is written.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "ops/TExpression.h"
#include "ops/TExpressionError.h"
#include "util/TNoData.h"

namespace {

constexpr long LngCols = 300, LngRows = 3;
const std::vector<std::string> VecNames = {"a", "b", "dem", "x"};

// Each grid the awkward values in a cycle of its own length.
std::vector<std::vector<double>> MakeGrids()
{
    const double Inf = std::numeric_limits<double>::infinity();
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    const double ArrValues[] = {TNoData::Marker(), NaN, Inf, -Inf, 0.0, -0.0, 1.0, -1.0, 2.5, 1e308, 5e-324,
                                7.0, -3.0};
    std::vector<std::vector<double>> VecGrids;
    for (std::size_t LngGrid = 0; LngGrid < VecNames.size(); ++LngGrid) {
        std::vector<double> VecCells(LngCols * LngRows);
        for (std::size_t LngCell = 0; LngCell < VecCells.size(); ++LngCell)
            VecCells[LngCell] = ArrValues[(LngCell * (LngGrid + 1)) % std::size(ArrValues)];
        VecGrids.push_back(VecCells);
    }
    return VecGrids;
}

std::vector<double> Evaluate(const TExpression& Expression, const std::vector<std::vector<double>>& VecGrids)
{
    const long LngReach = Expression.RowReach();
    const TGridFrame Frame{LngCols, LngRows, -10.0, 5.0, 0.5};
    std::vector<double> VecOut(LngCols * LngRows);
    for (long LngRow = 0; LngRow < LngRows; ++LngRow) {
        std::vector<const double*> VecRows;
        for (const std::vector<double>& VecGrid : VecGrids)
            for (long LngAt = LngRow - LngReach; LngAt <= LngRow + LngReach; ++LngAt)
                VecRows.push_back(LngAt >= 0 && LngAt < LngRows ? VecGrid.data() + LngAt * LngCols : nullptr);
        Expression.EvaluateRow(VecRows.data(), Frame, LngRow, VecOut.data() + LngRow * LngCols);
    }
    return VecOut;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* PtrData, std::size_t LngSize)
{
    std::unique_ptr<TExpression> PtrExpression;
    try {
        PtrExpression = std::make_unique<TExpression>(TextOf(PtrData, LngSize), VecNames);
    } catch (const TExpressionError& Error) {
        if (Error.Column() < 1 || static_cast<std::size_t>(Error.Column()) > LngSize + 1)
            std::abort();
        return 0;
    }
    if (PtrExpression->RowReach() > 8 || PtrExpression->ColumnReach() > 8)
        std::abort();
    static const std::vector<std::vector<double>> VecGrids = MakeGrids();
    const std::vector<double> VecFirst = Evaluate(*PtrExpression, VecGrids);
    const std::vector<double> VecSecond = Evaluate(*PtrExpression, VecGrids);
    if (std::memcmp(VecFirst.data(), VecSecond.data(), VecFirst.size() * sizeof(double)) != 0)
        std::abort();
    return 0;
}
