#pragma once
// Positions to cells without a scan of an axis per position: the edges are
// read once, and a monotone axis is searched by bisection. The results and
// failures are those of TAxis::GetIndex and TMap::GetPointVal(TPoint*).
// Internal to the operations; not installed.

#include <vector>

#include "grid/TMap.h"

// The X (ChrAxis 'X') or Y component of each point of the axis, in order.
std::vector<double> AxisValues(const TAxis& Axis, char ChrAxis);

// Interval lookup on one edge axis, as TAxis::GetIndex gives it.
class TEdgeLookup {
public:
    TEdgeLookup(const TAxis& Edges, char ChrAxis);

    // The interval holding DblValue, -1 where none does; throws "Ordinate is
    // out of range in TAxis::GetIndex" beyond the end points.
    long Index(double DblValue) const;

private:
    enum class TOrder { Rising, Falling, Unordered };

    std::vector<double> MbrVecEdges;
    TOrder MbrOrder = TOrder::Unordered;
};

// For every cell of a driving map, the cell of another map that holds its
// centre: one lookup per column and per row, not per cell.
struct TPartnerCells {
    std::vector<long> VecCols;  // partner column of each driving column
    std::vector<long> VecRows;  // partner row of each driving row

    // Throws what TMap::GetPointVal(TPoint*) on Partner throws at the first
    // driving cell, rows outer and columns inner, whose centre lies outside
    // the partner or in none of its cells.
    static TPartnerCells Of(const TMap& Driving, const TMap& Partner);
};
