#pragma once
// Values to interval indices along an axis without a scan per value: the
// axis's components are read once, and a monotone axis is searched by
// bisection. The one lookup by position of the grid model: TAxis::GetIndex
// and every lookup of a map by position go through it.
// Internal to the toolkit; not installed.

#include <vector>

class TAxis;

class TAxisLookup {
public:
    // The X ('X') or Y (any other letter) components of the axis's points.
    // Throws "Point is not set in TAxis::GetPoint" for an empty slot.
    TAxisLookup(const TAxis& Axis, char ChrAxis);

    // Index i of the interval [point i, point i+1] that holds DblValue, each
    // including its lower-valued end; -1 for a value in none (the greatest
    // end value, NaN, fewer than 2 points). Throws "Ordinate is out of range
    // in TAxis::GetIndex" below or above the end points.
    long Index(double DblValue) const;
    // The same without throwing: OutOfRange below or above the end points.
    static constexpr long OutOfRange = -2;
    long Find(double DblValue) const;

private:
    enum class TOrder { Rising, Falling, Unordered };

    std::vector<double> MbrVecValues;
    TOrder MbrOrder = TOrder::Unordered;
};
