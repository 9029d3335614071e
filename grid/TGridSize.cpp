#include "grid/TGridSize.h"

#include <cmath>
#include <limits>
#include <new>
#include <string>

#include "util/TError.h"

std::size_t TGridSize::Cells(long LngA, long LngB)
{
    std::size_t LngCells = 0;
    if (LngA < 0 || LngB < 0
        || __builtin_mul_overflow(static_cast<std::size_t>(LngA), static_cast<std::size_t>(LngB),
                                  &LngCells)
        || LngCells > MaxCells)
        throw std::bad_alloc();
    return LngCells;
}

long TGridSize::Dimension(long LngA, long LngB)
{
    long LngProduct = 0;
    if (LngA < 0 || LngB < 0 || __builtin_mul_overflow(LngA, LngB, &LngProduct))
        throw std::bad_alloc();
    return LngProduct;
}

std::size_t TGridSize::Bytes(std::size_t LngCells, std::size_t LngUnit)
{
    std::size_t LngBytes = 0;
    if (LngCells > MaxCells || __builtin_mul_overflow(LngCells, sizeof(double), &LngBytes)
        || __builtin_add_overflow(LngBytes, LngUnit - 1, &LngBytes))
        throw std::bad_alloc();
    return LngBytes / LngUnit * LngUnit;
}

std::pair<long, long> TGridSize::FromQuotients(double DblCols, double DblRows, const char* StgWhere)
{
    // 2^63 is the first double beyond a long; the comparisons are exact.
    constexpr double DblLimit = 9223372036854775808.0;
    static_assert(std::numeric_limits<long>::digits == 63, "a long of 64 bits");
    const std::string StgMessage = std::string("Map dimensions are too large to represent in ") + StgWhere;
    if (!(std::fabs(DblCols) < DblLimit && std::fabs(DblRows) < DblLimit))
        throw TError(StgMessage);
    const long LngCols = static_cast<long>(DblCols);
    const long LngRows = static_cast<long>(DblRows);
    std::size_t LngCells = 0;
    if (LngCols >= 0 && LngRows >= 0
        && __builtin_mul_overflow(static_cast<std::size_t>(LngCols),
                                  static_cast<std::size_t>(LngRows), &LngCells))
        throw TError(StgMessage);
    return {LngCols, LngRows};
}
