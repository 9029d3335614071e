#pragma once
// An axis: the ordered points along one direction of a grid, either the cell
// centres or the cell edges. The axis owns its points.

#include <memory>
#include <vector>

#include "grid/TPoint.h"

class TAxis {
public:
    // An axis without points.
    explicit TAxis(double DblResolution);
    // An axis of LngSize empty slots, to be filled with SetPoint.
    TAxis(double DblResolution, long LngSize);
    ~TAxis();
    TAxis(const TAxis&) = delete;
    TAxis& operator=(const TAxis&) = delete;

    long GetSize() const { return static_cast<long>(MbrVecPoints.size()); }
    double GetResolution() const { return MbrDblResolution; }

    // Index i of the interval [point i, point i+1] that holds DblValue; each
    // interval includes its lower-valued edge and excludes its higher one, in
    // either direction of the axis. ChrAxis 'X' compares X components, any
    // other letter Y components. Throws "Ordinate is out of range in
    // TAxis::GetIndex" below or above the end points; returns -1 for a value in
    // no interval (the greatest end value, NaN, an axis of fewer than 2 points).
    // A monotone axis is searched by bisection; each call reads the axis once,
    // so many lookups are better made through a map, which reads it once.
    long GetIndex(double DblValue, char ChrAxis) const;

    // The X (ChrAxis 'X') or Y (any other letter) component of every point,
    // in order. Throws "Point is not set in TAxis::GetPoint" for an empty slot.
    std::vector<double> GetValues(char ChrAxis) const;

    // Stores PtrPoint at LngIndex and takes ownership of it; frees the point
    // held there before. Throws "Index is out of range in TAxis::SetPoint"
    // (the caller then keeps the point).
    void SetPoint(long LngIndex, TPoint* PtrPoint);

    // The point at LngIndex, still owned by the axis (null for an empty slot).
    // Throws "Index is out of range in TAxis::GetPoint".
    TPoint* GetPoint(long LngIndex) const;
    // The point at LngIndex, for reading its coordinates. Throws as GetPoint
    // does, and "Point is not set in TAxis::GetPoint" for an empty slot.
    const TPoint& GetFilledPoint(long LngIndex) const;

    // A new axis of clones of the points LngStart to LngEnd inclusive.
    TAxis* GetSegment(long LngStart, long LngEnd) const;
    // The segment between the intervals that hold the two points' X (ChrAxis
    // 'X') or Y components. On a falling axis the greater value comes first.
    TAxis* GetSegment(const TPoint* PtrStart, const TPoint* PtrEnd, char ChrAxis) const;

    // A deep copy; TMapPoints stay TMapPoints. The caller owns it.
    TAxis* Clone() const;

private:
    double MbrDblResolution;
    std::vector<std::unique_ptr<TPoint>> MbrVecPoints;
};

// Making axes. Every axis returned is new and the caller's; arguments are
// left unchanged.
class TAxisTools {
public:
    // Edges of a centre axis: GetSize() + 1 points, built by repeated addition
    // of the resolution. ChrAxis is 'X' or 'Y'. X edges rise; Y edges fall
    // unless the centres rise, so a single centre gets north-first edges
    // like every other north-up axis (7 of size 2 gives 8, 6). An empty
    // argument throws "Index is out of range in TAxis::GetPoint".
    static TAxis* PointsToIntervals(const TAxis* PtrAxis, char ChrAxis);
    // Centres of an edge axis: GetSize() - 1 points, each the midpoint of
    // two consecutive edges, in either direction. ChrAxis is not used. An
    // empty argument throws "Index is out of range in TAxis::GetPoint".
    static TAxis* IntervalsToPoints(const TAxis* PtrAxis, char ChrAxis);

    // LngCount values: DblFirst, then each DblStep further than the last.
    // By repeated addition, never DblFirst + k * DblStep: the two differ in
    // the last bits, and a grid's edges are defined by the first.
    static std::vector<double> SteppedValues(double DblFirst, double DblStep, long LngCount);
    // An axis of the resolution with a point per value: the value in the
    // component ChrAxis names ('X', or any other letter for Y), DblFixed in
    // the other.
    static TAxis* AxisOfValues(double DblResolution, const std::vector<double>& VecValues,
                               char ChrAxis, double DblFixed);
};
