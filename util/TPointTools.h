#pragma once
// Plane geometry on points. Every point returned is new and the caller's; the
// points and lists passed in are never changed.

#include <vector>

#include "grid/TPoint.h"

class TPointTools {
public:
    // Component-wise maximum (Max) or minimum (Min) as a new TPoint. Where two
    // components are equal or either is NaN, the first point's is taken.
    static TPoint* Max(const TPoint* PtrA, const TPoint* PtrB);
    static TPoint* Min(const TPoint* PtrA, const TPoint* PtrB);

    // A new point at the mean of the points; NaN components for an empty list.
    static TPoint* FindCentroid(const std::vector<TPoint*>& VecPoints);

    // Pseudo-angle in [0, 360) of the direction from PtrFrom to PtrTo: 0 east,
    // 90 north, 180 west, 270 south. Exact at every multiple of 45 degrees and
    // strictly rising with the true angle in between; 0 for equal points.
    static double Theta(const TPoint* PtrTo, const TPoint* PtrFrom);

    // Area of the triangle by Heron's formula. Rounding can make the product
    // under the root of collinear points negative: the area is then NaN.
    static double Heron(const TPoint* PtrA, const TPoint* PtrB, const TPoint* PtrC);

    // Area of a convex polygon given as a closed ring (the last point repeats
    // the first): the sum of the triangles each pair of consecutive points
    // forms with the mean of the points. An open ring misses the triangle on
    // its closing edge. 0 for fewer than two points.
    static double FindConvexPolygonArea(const std::vector<TPoint*>& VecPoints);

    // The vertices of the convex hull, as clones that keep the points'
    // class, counterclockwise from the lowest point (the earliest of equals;
    // when it lies inside the bottom edge, that edge's west end). Each vertex
    // once (of equal points the earliest), no point inside an edge: the hull
    // of collinear points is their two ends, of equal points one of them.
    // Points with a NaN or infinite coordinate take no part; when every point
    // has one, a copy of the first is returned alone. Turns are decided by
    // the cross product in long double: exact for grid-aligned points, and
    // where the platform's long double is wider than double, never overflowing
    // for finite coordinates. Points almost in line may be taken for in line
    // or not; the hull still starts as said and holds no point twice. Costs
    // O(n log n); empty for an empty list.
    static std::vector<TPoint*> FindConvexHull(const std::vector<TPoint*>& VecPoints);
};
