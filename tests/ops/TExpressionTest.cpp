// Expressions of map algebra evaluated cell by cell against the same
// expression written in plain C++, on rows holding no data, NaN, infinities
// and both zeros; neighbours at the grid's edges; the cells' places.
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <random>
#include <thread>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "ops/TExpression.h"
#include "util/TNoData.h"

namespace {

using TCell = std::optional<double>;  // empty: no data
using TExpected = std::function<TCell(TCell, TCell, TCell)>;

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

double Truth(bool BlnValue) { return BlnValue ? 1 : 0; }
double MinOf(std::initializer_list<double> VecValues)
{
    for (double DblValue : VecValues)
        if (std::isnan(DblValue))
            return NaN;
    return std::min(VecValues);
}
double MaxOf(std::initializer_list<double> VecValues)
{
    for (double DblValue : VecValues)
        if (std::isnan(DblValue))
            return NaN;
    return std::max(VecValues);
}

// A formula over the grids its parameters stand for (a, then b, then c):
// no data wherever one of those is.
template <class TFormula>
TExpected Plain(TFormula Formula)
{
    return [Formula](TCell A, TCell B, TCell C) -> TCell {
        if constexpr (std::is_invocable_v<TFormula, double, double, double>)
            return A && B && C ? TCell(Formula(*A, *B, *C)) : TCell();
        else if constexpr (std::is_invocable_v<TFormula, double, double>)
            return A && B ? TCell(Formula(*A, *B)) : TCell();
        else if constexpr (std::is_invocable_v<TFormula, double>)
            return A ? TCell(Formula(*A)) : TCell();
        else
            return TCell(Formula());
    };
}

TCell Cell(double DblValue) { return TNoData::IsMarker(DblValue) ? TCell() : TCell(DblValue); }

// No data exactly as the marker; data never as the marker, NaN as any NaN,
// other values to the bit (the sign of zero included).
bool Matches(double DblGot, TCell Expected)
{
    if (!Expected || TNoData::IsMarker(DblGot))
        return !Expected && TNoData::IsMarker(DblGot);
    if (std::isnan(*Expected))
        return std::isnan(DblGot);
    return DblGot == *Expected && std::signbit(DblGot) == std::signbit(*Expected);
}

// LngCount cells, mostly the awkward values.
std::vector<double> RandomCells(std::mt19937_64& Random, std::size_t LngCount)
{
    const double ArrAwkward[] = {TNoData::Marker(), NaN, Inf, -Inf, 0.0, -0.0, 1, -1, 2, 0.5, -2.5, 3, 1e308};
    std::uniform_int_distribution<std::size_t> Pick(0, std::size(ArrAwkward) + 3);
    std::uniform_real_distribution<double> Any(-10, 10);
    std::vector<double> VecCells(LngCount);
    for (double& DblCell : VecCells) {
        const std::size_t LngPick = Pick(Random);
        DblCell = LngPick < std::size(ArrAwkward) ? ArrAwkward[LngPick] : Any(Random);
    }
    return VecCells;
}

TGridFrame Frame(long LngCols, long LngRows, double DblWest = 0, double DblSouth = 0, double DblCell = 1)
{
    return {LngCols, LngRows, DblWest, DblSouth, DblCell};
}

}  // namespace

TEST(TExpression, EveryOperatorAndFunctionAgreesWithPlainArithmetic)
{
    const struct {
        const char* StgText;
        TExpected Expected;
    } ArrCases[] = {
        {"a + b", Plain([](double a, double b) { return a + b; })},
        {"a - b", Plain([](double a, double b) { return a - b; })},
        {"a * b", Plain([](double a, double b) { return a * b; })},
        {"a / b", Plain([](double a, double b) { return a / b; })},
        {"a % b", Plain([](double a, double b) { return std::fmod(a, b); })},
        {"a ^ b", Plain([](double a, double b) { return std::pow(a, b); })},
        {"-a", Plain([](double a) { return -a; })},
        {"!a", Plain([](double a) { return Truth(!a); })},
        {"a < b", Plain([](double a, double b) { return Truth(a < b); })},
        {"a <= b", Plain([](double a, double b) { return Truth(a <= b); })},
        {"a > b", Plain([](double a, double b) { return Truth(a > b); })},
        {"a >= b", Plain([](double a, double b) { return Truth(a >= b); })},
        {"a == b", Plain([](double a, double b) { return Truth(a == b); })},
        {"a != b", Plain([](double a, double b) { return Truth(a != b); })},
        {"a && b", Plain([](double a, double b) { return Truth(a && b); })},
        {"a || b", Plain([](double a, double b) { return Truth(a || b); })},
        // Precedence and associativity.
        {"2^3^2", Plain([] { return std::pow(2, std::pow(3, 2)); })},
        {"-2^2", Plain([] { return -std::pow(2, 2); })},
        {"2^-1", Plain([] { return std::pow(2, -1); })},
        {"-a^b", Plain([](double a, double b) { return -std::pow(a, b); })},
        {"a^-b^c", Plain([](double a, double b, double c) { return std::pow(a, -std::pow(b, c)); })},
        {"a ^ !b", Plain([](double a, double b) { return std::pow(a, Truth(!b)); })},
        {"- -a", Plain([](double a) { return -(-a); })},
        {"!a + b", Plain([](double a, double b) { return Truth(!a) + b; })},
        {"a - b - c", Plain([](double a, double b, double c) { return (a - b) - c; })},
        {"a / b / c", Plain([](double a, double b, double c) { return (a / b) / c; })},
        {"a - b * c", Plain([](double a, double b, double c) { return a - b * c; })},
        {"a * b % c", Plain([](double a, double b, double c) { return std::fmod(a * b, c); })},
        {"(a + b) * c", Plain([](double a, double b, double c) { return (a + b) * c; })},
        {"a + b < c == a", Plain([](double a, double b, double c) { return Truth(Truth(a + b < c) == a); })},
        {"a < b < c", Plain([](double a, double b, double c) { return Truth(Truth(a < b) < c); })},
        {"a == b != c", Plain([](double a, double b, double c) { return Truth(Truth(a == b) != c); })},
        {"a || b && c", Plain([](double a, double b, double c) { return Truth(a || (b && c)); })},
        {"a && b || c", Plain([](double a, double b, double c) { return Truth((a && b) || c); })},
        // Numbers, constants computed once.
        {".5 * a + 1e-3", Plain([](double a) { return 0.5 * a + 0.001; })},
        {"2.5E+4 - a", Plain([](double a) { return 25000 - a; })},
        {"nan + a", Plain([](double a) { return NaN + a; })},
        {"-inf", Plain([] { return -Inf; })},
        {"1 / 0 - 1 / 0", Plain([] { return Inf - Inf; })},
        {"0 % 0 == 0 % 0", Plain([] { return Truth(NaN == NaN); })},
        // Functions.
        {"abs(a)", Plain([](double a) { return std::fabs(a); })},
        {"sqrt(a)", Plain([](double a) { return std::sqrt(a); })},
        {"exp(a)", Plain([](double a) { return std::exp(a); })},
        {"log(a)", Plain([](double a) { return std::log(a); })},
        {"log10(a)", Plain([](double a) { return std::log10(a); })},
        {"sin(a)", Plain([](double a) { return std::sin(a); })},
        {"cos(a)", Plain([](double a) { return std::cos(a); })},
        {"tan(a)", Plain([](double a) { return std::tan(a); })},
        {"asin(a)", Plain([](double a) { return std::asin(a); })},
        {"acos(a)", Plain([](double a) { return std::acos(a); })},
        {"atan(a)", Plain([](double a) { return std::atan(a); })},
        {"floor(a)", Plain([](double a) { return std::floor(a); })},
        {"ceil(a)", Plain([](double a) { return std::ceil(a); })},
        {"round(a * 2.5)", Plain([](double a) { return std::round(a * 2.5); })},
        {"atan2(a, b)", Plain([](double a, double b) { return std::atan2(a, b); })},
        {"min(a, b)", Plain([](double a, double b) { return MinOf({a, b}); })},
        {"max(a, b)", Plain([](double a, double b) { return MaxOf({a, b}); })},
        {"min(a, b, c, 1)", Plain([](double a, double b, double c) { return MinOf({a, b, c, 1}); })},
        {"max(c, a, b)", Plain([](double a, double b, double c) { return MaxOf({c, a, b}); })},
        {"max(1, nan, 2)", Plain([] { return NaN; })},
        // No data: conditions and isnull see it, null() is it.
        {"a ? b : c", [](TCell a, TCell b, TCell c) { return !a ? TCell() : *a != 0 ? b : c; }},
        {"if(a, b, c)", [](TCell a, TCell b, TCell c) { return !a ? TCell() : *a != 0 ? b : c; }},
        {"a ? b : c ? a : b",
         [](TCell a, TCell b, TCell c) {
             return !a ? TCell() : *a != 0 ? b : !c ? TCell() : *c != 0 ? a : b;
         }},
        {"a || b ? c : 2",
         [](TCell a, TCell b, TCell c) { return !a || !b ? TCell() : (*a != 0 || *b != 0) ? c : TCell(2); }},
        {"isnull(a)", [](TCell a, TCell, TCell) { return TCell(a ? 0 : 1); }},
        {"isnull(a * b)", [](TCell a, TCell b, TCell) { return TCell(a && b ? 0 : 1); }},
        {"if(isnull(a), b, a)", [](TCell a, TCell b, TCell) { return a ? a : b; }},
        {"if(a > b, null(), c)",
         [](TCell a, TCell b, TCell c) { return !a || !b ? TCell() : *a > *b ? TCell() : c; }},
        {"null()", [](TCell, TCell, TCell) { return TCell(); }},
        {"c + null()", [](TCell, TCell, TCell) { return TCell(); }},
        {"isnull(null()) + isnull(3)", [](TCell, TCell, TCell) { return TCell(1); }},
    };
    std::mt19937_64 Random(7);
    // Whole blocks of cells and a part of one.
    constexpr long LngCols = 2000;
    const std::vector<double> VecA = RandomCells(Random, LngCols), VecB = RandomCells(Random, LngCols),
                              VecC = RandomCells(Random, LngCols);
    const double* ArrRows[] = {VecA.data(), VecB.data(), VecC.data()};
    for (const auto& Case : ArrCases) {
        const TExpression Expression(Case.StgText, {"a", "b", "c"});
        std::vector<double> VecOut(LngCols);
        Expression.EvaluateRow(ArrRows, Frame(LngCols, 1), 0, VecOut.data());
        long LngWrong = 0;
        for (long LngCol = 0; LngCol < LngCols; ++LngCol) {
            const TCell Expected = Case.Expected(Cell(VecA[LngCol]), Cell(VecB[LngCol]), Cell(VecC[LngCol]));
            if (!Matches(VecOut[LngCol], Expected) && LngWrong++ == 0)
                ADD_FAILURE() << Case.StgText << " at a = " << VecA[LngCol] << ", b = " << VecB[LngCol]
                              << ", c = " << VecC[LngCol] << ": " << VecOut[LngCol] << ", not "
                              << (Expected ? std::to_string(*Expected) : "no data");
        }
    }
}

TEST(TExpression, NeighboursBeyondTheEdgesAreNoData)
{
    struct TTerm {
        long LngGrid, LngRowOffset, LngColOffset;
    };
    const struct {
        const char* StgText;
        std::vector<TTerm> VecTerms;  // summed
    } ArrCases[] = {
        {"b[0, 0]", {{1, 0, 0}}},       {"b[-1, 0]", {{1, -1, 0}}},   {"b[+1, 0]", {{1, 1, 0}}},
        {"b[0,-1]", {{1, 0, -1}}},      {"b[0, 1]", {{1, 0, 1}}},     {"b[8, 8]", {{1, 8, 8}}},
        {"b[-8, -7]", {{1, -8, -7}}},   {"a[-2, 3] + b[4, -8]", {{0, -2, 3}, {1, 4, -8}}},
        {"a[1, 1] + a + a[1, 1]", {{0, 1, 1}, {0, 0, 0}, {0, 1, 1}}},
    };
    // Rows across more than one block of cells.
    constexpr long LngCols = 300, LngRows = 6;
    std::mt19937_64 Random(11);
    const std::vector<std::vector<double>> VecGrids = {RandomCells(Random, LngCols * LngRows),
                                                       RandomCells(Random, LngCols * LngRows)};
    const auto At = [&](const TTerm& Term, long LngRow, long LngCol) {
        const long LngAtRow = LngRow + Term.LngRowOffset, LngAtCol = LngCol + Term.LngColOffset;
        const bool BlnInside = LngAtRow >= 0 && LngAtRow < LngRows && LngAtCol >= 0 && LngAtCol < LngCols;
        return BlnInside ? Cell(VecGrids[Term.LngGrid][LngAtRow * LngCols + LngAtCol]) : TCell();
    };
    for (const auto& Case : ArrCases) {
        const TExpression Expression(Case.StgText, {"a", "b"});
        long LngRowReach = 0, LngColumnReach = 0;
        bool ArrUses[2] = {false, false};
        for (const TTerm& Term : Case.VecTerms) {
            LngRowReach = std::max(LngRowReach, std::abs(Term.LngRowOffset));
            LngColumnReach = std::max(LngColumnReach, std::abs(Term.LngColOffset));
            ArrUses[Term.LngGrid] = true;
        }
        EXPECT_EQ(Expression.RowReach(), LngRowReach) << Case.StgText;
        EXPECT_EQ(Expression.ColumnReach(), LngColumnReach) << Case.StgText;
        EXPECT_EQ(Expression.Uses(0), ArrUses[0]) << Case.StgText;
        EXPECT_EQ(Expression.Uses(1), ArrUses[1]) << Case.StgText;
        // Every row on a thread of its own, all at once.
        std::vector<std::vector<double>> VecOut(LngRows, std::vector<double>(LngCols));
        std::vector<std::thread> VecThreads;
        for (long LngRow = 0; LngRow < LngRows; ++LngRow)
            VecThreads.emplace_back([&, LngRow] {
                std::vector<const double*> VecRows;
                for (const std::vector<double>& VecGrid : VecGrids)
                    for (long LngAt = LngRow - LngRowReach; LngAt <= LngRow + LngRowReach; ++LngAt)
                        VecRows.push_back(LngAt >= 0 && LngAt < LngRows ? VecGrid.data() + LngAt * LngCols
                                                                         : nullptr);
                Expression.EvaluateRow(VecRows.data(), Frame(LngCols, LngRows), LngRow,
                                       VecOut[LngRow].data());
            });
        for (std::thread& Thread : VecThreads)
            Thread.join();
        for (long LngRow = 0; LngRow < LngRows; ++LngRow)
            for (long LngCol = 0; LngCol < LngCols; ++LngCol) {
                TCell Expected = At(Case.VecTerms[0], LngRow, LngCol);
                for (const TTerm& Term : std::vector<TTerm>(Case.VecTerms.begin() + 1, Case.VecTerms.end())) {
                    const TCell Value = At(Term, LngRow, LngCol);
                    Expected = Expected && Value ? TCell(*Expected + *Value) : TCell();
                }
                ASSERT_TRUE(Matches(VecOut[LngRow][LngCol], Expected))
                    << Case.StgText << " row " << LngRow << " column " << LngCol;
            }
    }
}

TEST(TExpression, PlaceFunctionsGiveTheCellsCentreAndIndexAndNamesShadowThemWithoutParentheses)
{
    // 2.5 and the corner are exact in binary, so the centres are too.
    constexpr long LngCols = 300, LngRows = 4;
    const double DblWest = 1000, DblSouth = 2000, DblCell = 2.5;
    const struct {
        const char* StgText;
        std::function<double(long, long)> Expected;  // of row and column, grid x holding 7, grid row 1
    } ArrCases[] = {
        {"x()", [&](long, long LngCol) { return DblWest + DblCell * LngCol + DblCell / 2; }},
        {"y()", [&](long LngRow, long) { return DblSouth + DblCell * (LngRows - LngRow) - DblCell / 2; }},
        {"col()", [](long, long LngCol) { return LngCol; }},
        {"row()", [](long LngRow, long) { return LngRow; }},
        {"x + row + row()", [](long LngRow, long) { return 7 + 1 + LngRow; }},
    };
    const std::vector<double> VecSevens(LngCols, 7.0), VecOnes(LngCols, 1.0);
    const double* ArrRows[] = {VecSevens.data(), VecOnes.data()};
    for (const auto& Case : ArrCases) {
        const TExpression Expression(Case.StgText, {"x", "row"});
        for (long LngRow = 0; LngRow < LngRows; ++LngRow) {
            std::vector<double> VecOut(LngCols);
            Expression.EvaluateRow(ArrRows, Frame(LngCols, LngRows, DblWest, DblSouth, DblCell), LngRow,
                                   VecOut.data());
            for (long LngCol = 0; LngCol < LngCols; ++LngCol)
                ASSERT_EQ(VecOut[LngCol], Case.Expected(LngRow, LngCol))
                    << Case.StgText << " row " << LngRow << " column " << LngCol;
        }
    }
}
