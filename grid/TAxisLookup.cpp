#include "grid/TAxisLookup.h"

#include <algorithm>
#include <functional>

#include "grid/TAxis.h"
#include "util/TError.h"

TAxisLookup::TAxisLookup(const TAxis& Axis, char ChrAxis) : MbrVecValues(Axis.GetValues(ChrAxis))
{
    if (std::is_sorted(MbrVecValues.begin(), MbrVecValues.end()))
        MbrOrder = TOrder::Rising;
    else if (std::is_sorted(MbrVecValues.begin(), MbrVecValues.end(), std::greater<double>()))
        MbrOrder = TOrder::Falling;
}

long TAxisLookup::Index(double DblValue) const
{
    const long LngIndex = Find(DblValue);
    if (LngIndex == OutOfRange)
        throw TError("Ordinate is out of range in TAxis::GetIndex");
    return LngIndex;
}

long TAxisLookup::Find(double DblValue) const
{
    if (MbrVecValues.empty())
        return -1;
    const double DblFirst = MbrVecValues.front();
    const double DblLast = MbrVecValues.back();
    if (DblValue < std::min(DblFirst, DblLast) || DblValue > std::max(DblFirst, DblLast))
        return OutOfRange;
    const auto ItBegin = MbrVecValues.begin();
    const auto ItEnd = MbrVecValues.end();
    // On a monotone axis the first interval that holds the value ends at the
    // first point beyond it: above it on a rising axis, at or below it on a
    // falling one. A NaN, or the greatest end value, finds no such interval.
    if (MbrOrder != TOrder::Unordered) {
        const auto ItAfter = MbrOrder == TOrder::Rising
            ? std::upper_bound(ItBegin, ItEnd, DblValue)
            : std::lower_bound(ItBegin, ItEnd, DblValue, std::greater<double>());
        return ItAfter == ItBegin || ItAfter == ItEnd ? -1 : (ItAfter - ItBegin) - 1;
    }
    // An axis a client filled out of order: the first interval that holds it.
    for (std::size_t LngIndex = 0; LngIndex + 1 < MbrVecValues.size(); ++LngIndex) {
        const double DblA = MbrVecValues[LngIndex];
        const double DblB = MbrVecValues[LngIndex + 1];
        if (std::min(DblA, DblB) <= DblValue && DblValue < std::max(DblA, DblB))
            return static_cast<long>(LngIndex);
    }
    return -1;
}
