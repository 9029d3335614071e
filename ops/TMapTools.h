#pragma once
// Stateless operations on maps.
//
// Every map, list, table or point returned is new and the caller's; the
// arguments are never changed, except by FillBlock, BufferIndices, Insert and
// the point form of BilinearInterpolate, which work in place. A failure
// part-way releases whatever was built. Failures throw TError with the
// messages given below. Values compare exactly: a cell is no data in its map
// when it equals that map's no-data value, and NaN equals nothing.
//
// A result that keeps an input's geometry carries that input's four axes
// exactly, so written to a file it has the input's corner to the last digit.

#include <map>
#include <ostream>
#include <vector>

#include "grid/TMap.h"

class TMapTools {
public:
    // --- Scalar operations ---
    // A map on the input's geometry and no-data value whose data cells are
    // the input's times (Multiply) or divided by (Divide) the scalar; no-data
    // cells stay no data. IEEE arithmetic: dividing by zero gives infinities
    // and NaN.
    static TMap* Multiply(const TMap* PtrMap, double DblScalar);
    static TMap* Divide(const TMap* PtrMap, double DblScalar);

    // --- Cell values ---
    // Results keep the input's geometry and have the no-data value -9999; no
    // cell, no-data cells included, is treated specially. The forms taking
    // DblNoData give the result that no-data value instead, and the input's
    // no-data cells stay no data (DblNoData) and take no part.

    // Sets every cell of rows LngNorth..LngSouth and columns LngWest..LngEast
    // (inclusive) to DblValue, in place. Checks in this order, changing
    // nothing on failure: "Northern edge must be less than southern edge in
    // TMapTools::FillBlock", "Western edge must be less than eastern edge in
    // TMapTools::FillBlock", "Northern ordinate is out of range in
    // TMapTools::FillBlock", "Southern ordinate is out of range in
    // TMapTools::FillBlock", "Western ordinate is out of range in
    // TMapTools::FillBlock", "Eastern ordinate is out of range in
    // TMapTools::FillBlock".
    static void FillBlock(TMap* PtrMap, double DblValue, long LngNorth, long LngSouth,
                          long LngWest, long LngEast);
    // Each cell recoded through the table; a value that is no key becomes
    // DblDefault.
    static TMap* ReplaceValue(const TMap* PtrMap, std::map<double, double> MapTable,
                              double DblDefault);
    static TMap* ReplaceValue(const TMap* PtrMap, std::map<double, double> MapTable,
                              double DblDefault, double DblNoData);
    // Cells at or above the threshold become DblReplacement; others keep
    // their value.
    static TMap* ThresholdReplace(const TMap* PtrMap, double DblThreshold, double DblReplacement);
    static TMap* ThresholdReplace(const TMap* PtrMap, double DblThreshold, double DblReplacement,
                                  double DblNoData);
    // Cells at or above the threshold keep their value; others become 0.
    static TMap* Threshold(const TMap* PtrMap, double DblThreshold);
    static TMap* Threshold(const TMap* PtrMap, double DblThreshold, double DblNoData);
    static std::vector<TMap*> Threshold(std::vector<TMap*> VecMaps, double DblThreshold);
    // The number of cells of each distinct value, ascending by value. NaN
    // cells, which no ordered key can hold, are not counted.
    static std::map<double, long> CountValues(const TMap* PtrMap);
    // The number of cells equal to DblValue.
    static long CountValues(const TMap* PtrMap, double DblValue);
    // The second map's values on the first map's geometry, DblMatch replaced
    // by DblReplacement. Throws "X dimensions do not match in
    // TMapTools::Mask", then the Y message, for maps of other dimensions.
    static TMap* Mask(const TMap* PtrFirst, const TMap* PtrSecond, double DblMatch,
                      double DblReplacement);
    // Positive values round half up, negative ones are truncated toward
    // zero, at any magnitude; NaN and infinities stay as they are.
    static TMap* RoundContents(const TMap* PtrMap);
    static TMap* RoundContents(const TMap* PtrMap, double DblNoData);

    // --- Arithmetic between maps ---
    // Add and Multiply: the finer map (the first on a tie) drives; each of its
    // cells is combined with the other map's cell that holds its centre. The
    // result has the driving map's geometry and no-data value, which it also
    // holds where either cell is no data in its own map. Throws "Ordinate is
    // out of range in TAxis::GetIndex", or "LngX (LngY) is out of range in
    // TMap::GetPointVal", where the other map does not cover a centre.
    static TMap* Add(const TMap* PtrFirst, const TMap* PtrSecond);
    static TMap* Multiply(const TMap* PtrFirst, const TMap* PtrSecond);
    // The dividend drives, as above. Throws "Divisor must be of equal of
    // coarser resolution than the dividend in TMapTools::Divide" for a finer
    // divisor.
    static TMap* Divide(const TMap* PtrDividend, const TMap* PtrDivisor);
    // Cell by cell by index, on the first map's geometry and no-data value.
    // Throws "X dimensions do not match in TMapTools::Subtract", then the Y
    // message.
    static TMap* Subtract(const TMap* PtrFirst, const TMap* PtrSecond);
    // Cell by cell by index over maps of equal dimensions, on the first map's
    // geometry, no-data value -9999, which marks every cell that is no data
    // in any map. Throws "Must have more than 2 maps to sum in
    // TMapTools::Sum" for fewer than two maps, and "X-dimension of maps are
    // inconsistent in TMapTools::Sum" (then Y) at the first map that differs.
    static TMap* Sum(std::vector<TMap*> VecMaps);
    // The same with DblNoData for -9999: the result's no-data value, marking
    // every cell that is no data in any map.
    static TMap* Sum(std::vector<TMap*> VecMaps, double DblNoData);
    // Per cell, how many maps hold data there. Throws "Must have at least 1
    // map to count in TMapTools::DataCounts" for an empty list, and
    // "X-dimension of maps are inconsistent in TMapTools::DataCounts" (then Y).
    static TMap* DataCounts(std::vector<TMap*> VecMaps);
    // Sum divided by DataCounts: the mean where every map holds data, -9999
    // elsewhere. Sum's checks apply.
    static TMap* Average(std::vector<TMap*> VecMaps);
    // The same with DblNoData for -9999: Sum(VecMaps, DblNoData) divided.
    static TMap* Average(std::vector<TMap*> VecMaps, double DblNoData);
    // Average of each run of LngWindow consecutive maps, in order; empty when
    // the window is longer than the list. The form taking DblNoData averages
    // with Average(..., DblNoData).
    static std::vector<TMap*> MovingAverage(std::vector<TMap*> VecMaps, int LngWindow);
    static std::vector<TMap*> MovingAverage(std::vector<TMap*> VecMaps, int LngWindow,
                                            double DblNoData);

    // --- Resampling ---
    // The bilinear formula: the values at (x1, y1), (x2, y1), (x1, y2) and
    // (x2, y2), each divided by (x2 - x1)(y2 - y1) and weighted by the
    // opposite distances, summed; unguarded, and linear beyond the corners.
    static double BilinearInterpolate(double DblQ11, double DblQ21, double DblQ12, double DblQ22,
                                      double DblX, double DblX1, double DblX2, double DblY,
                                      double DblY1, double DblY2);
    // The same on corner points Q11 (x1, y1), Q21 (x2 from its X), Q12 (y2
    // from its Y) and Q22 (its value only); sets the target's value.
    static void BilinearInterpolate(const TMapPoint* PtrQ11, const TMapPoint* PtrQ21,
                                    const TMapPoint* PtrQ12, const TMapPoint* PtrQ22,
                                    TMapPoint* PtrTarget);
    // The map resampled to the new cell size on Downscale's frame, with the
    // input's no-data value. Samples keep a margin of one input cell from the
    // frame's edges (and one new cell more on the east and north), and the
    // cells they miss hold no data; a sample whose four corners include a
    // no-data cell is no data. Throws "New resolution cannot be <= 0.0 in
    // TMapTools::BilinearInterpolate", and "LngGetX1 (X2, Y1, Y2) is out of
    // range in TMapTools::BilinearInterpolate" where a sample lacks a corner.
    static TMap* BilinearInterpolate(const TMap* PtrMap, double DblResolution);
    // An empty frame (every cell and the no-data value -9999) of the new cell
    // size over the map's extent from its west and north edges, whole new
    // cells only. Throws "New resolution cannot be <= 0.0 in
    // TMapTools::Downscale"; a frame without cells throws "Index is out of
    // range in TAxis::GetPoint".
    static TMap* Downscale(const TMap* PtrMap, double DblResolution);
    // The same frame, every cell and the no-data value DblNoData.
    static TMap* Downscale(const TMap* PtrMap, double DblResolution, double DblNoData);
    // Each cell copied into a LngFactor x LngFactor block of cells of
    // 1/LngFactor the size, over exactly the same extent, with the input's
    // no-data value. Throws "Subdivision factor must be >= 1 in
    // TMapTools::Subdivide".
    static TMap* Subdivide(const TMap* PtrMap, int LngFactor);
    // Widens the block of rows and columns by LngBuffer cells on every side,
    // clamped to the map, in place.
    static void BufferIndices(const TMap* PtrMap, long LngBuffer, long& LngNorth, long& LngSouth,
                              long& LngWest, long& LngEast);

    // --- Sub-maps and neighbourhoods ---
    // A map's edges are read from its edge axes: west and east are X edges 0
    // and GetXDim(), north and south Y edges 0 and GetYDim(). A map without
    // axes throws "Axes are not set in TMapTools::Insert" (or Intersection).

    // Copies each insert cell into the destination cell holding its centre,
    // in place: rows north to south, each west to east, so where several fall
    // into one destination cell the last (southernmost, then easternmost)
    // wins. Values go as they are, no data included; cell sizes are not
    // compared. Throws "Insert map's NW corner is outside of the destination
    // map in TMapTools::Insert" when the insert map's west edge lies west of
    // the destination's or its north edge north of it, then "Insert map's SE
    // corner is outside of the destination map in TMapTools::Insert" for its
    // east or south edge; edges on the destination's pass. Every check and
    // lookup is made before the first cell is written.
    static void Insert(TMap* PtrDestination, const TMap* PtrInsert);
    // The block from the cell holding one position to the cell holding the
    // other, both included, in either order, on segments of the source's axes
    // (its corner to the last digit), no-data value -9999. A position outside
    // the map throws "Ordinate is out of range in TAxis::GetIndex"; one on its
    // east or north edge, which no cell holds, throws the range messages of
    // TAxis::GetSegment.
    static TMap* Extract(const TMap* PtrMap, const TPoint* PtrFirst, const TPoint* PtrSecond);
    // The same block with the no-data value DblNoData, which the cells that
    // are no data in the map become.
    static TMap* Extract(const TMap* PtrMap, const TPoint* PtrFirst, const TPoint* PtrSecond,
                         double DblNoData);
    // The part of each map inside the area both cover: the map's cells that
    // lie wholly inside it, its sides treated alike (a cell reaching past
    // it by less than 1/1024 of its size counts as inside, so that edges
    // differing in their last digits do not decide). In a direction where no
    // cell lies wholly inside (cells wider than the area), the one cell
    // holding the area's middle. Two maps of one cell size that overlap give
    // parts of equal dimensions. Both parts are written only once both are
    // built. Throws "Maps do not intersect in TMapTools::Intersection"
    // unless, in X and in Y, each map's first cell past its west (south) edge
    // ends at or before the other map's east (north) edge.
    static void Intersection(const TMap* PtrFirst, const TMap* PtrSecond, TMap*& PtrFirstPart,
                             TMap*& PtrSecondPart);
    // The smallest block of rows LngMinY..LngMaxY and columns LngMinX..LngMaxX
    // holding every cell equal to DblValue; all four 0 when no cell is (NaN
    // never matches).
    static void FindPatchExtent(const TMap* PtrMap, double DblValue, long& LngMinY,
                                long& LngMaxY, long& LngMinX, long& LngMaxX);
    // In the 3 x 3 block around the cell, cut at the map's edges, the first
    // cell not equal to 0 scanning north to south in the easternmost column
    // that has one; 0.0 when none has. NaN and the no-data value are nonzero,
    // -0.0 is zero. Throws "X-ordinate is out of range in
    // TMapTools::FindNonzeroNeighbourVal", then the Y-ordinate message.
    static double FindNonzeroNeighbourVal(const TMap* PtrMap, long LngX, long LngY);

    // --- Value sampling and series ---
    // Operations that visit every cell go column by column from the west,
    // each column north to south. A skip list matches as TVectorTools::HasValue
    // does: exactly, -0.0 as 0.0, never NaN. NaN, which no ordered key can
    // hold, never becomes a key.

    // Each distinct value of the map with a new TMapPoint at the centre of the
    // first cell holding it, carrying the value; the caller frees the points.
    // A cell equal to the cell visited just before it is passed over, so the
    // no-data cells that open the scan are not listed (skip the no-data value
    // to leave it out everywhere). A NaN cell ends such a run like any value.
    static std::map<double, TMapPoint*> GetFirstValues(const TMap* PtrMap,
                                                       std::vector<double> VecSkip);
    // One table per map, in list order.
    static std::vector<std::map<double, TMapPoint*>> GetFirstValues(std::vector<TMap*> VecMaps,
                                                                    std::vector<double> VecSkip);
    // Under each key, the value of the map's cell holding the key's point (the
    // point's own value is not used). The first point, in key order, that the
    // map does not hold fails as TMap::GetPointVal(TPoint*) fails.
    static std::map<double, double> FetchMapValues(const TMap* PtrMap,
                                                   std::map<double, TMapPoint*> MapPositions);
    // Map i read at the points of table i, one value table per map. Throws
    // "Number of position tables does not match number of maps in
    // TMapTools::FetchMapValues" for fewer tables than maps, before reading;
    // tables beyond the maps are not read.
    static std::vector<std::map<double, double>> FetchMapValues(
        std::vector<TMap*> VecMaps, std::vector<std::map<double, TMapPoint*>> VecPositions);
    // Per class value of the class map not in the skip list, the value map's
    // values in the cells of that class, in scan order. No data is a class
    // and a value like any other. Throws "Map X-dimensions do not match", then
    // "Map Y-Dimensions do not match".
    static std::map<double, std::vector<double>> GetValuesOverlay(const TMap* PtrValues,
                                                                  const TMap* PtrClasses,
                                                                  std::vector<double> VecSkip);
    // Cell (LngX, LngY) of maps LngStart to LngEnd inclusive. Throws "Start
    // map number is out of range in TMapTools::GetValuesVector", then "End map
    // number is out of range in TMapTools::GetValuesVector", for a number that
    // is negative or not below the number of maps, then "Stat map number must
    // be less than end map number", then the checked read's messages.
    static std::vector<double> GetValuesVector(std::vector<TMap*> VecMaps, long LngX, long LngY,
                                               int LngStart, int LngEnd);
    // For each window start m from 0 to n - LngWindow - 1, a new map on map
    // 0's geometry of the least-squares slope (TVectorTools::Gradient) of each
    // cell's values in maps m to m + LngWindow against the map numbers. A cell
    // is -9999 (the no-data value) where map m holds 0.0 (NaN is nonzero); a
    // 0.0 in a map of the window other than its last is replaced by
    // FindNonzeroNeighbourVal in that map; a value equal to its map's no-data
    // value is left out; fewer than two values left give NaN. Throws "Window
    // size must be < number of maps in TMapTools::ValueGradients" for a window
    // outside 0 .. n - 1, "Map dimensions do not match in
    // TMapTools::ValueGradients" at the first map whose columns or rows differ
    // from map 0's, then "Stat map number must be less than end map number"
    // for a window of 0, whose one map has no slope. The form taking
    // DblNoData marks those cells with it, the results' no-data value.
    static std::vector<TMap*> ValueGradients(std::vector<TMap*> VecMaps, int LngWindow);
    static std::vector<TMap*> ValueGradients(std::vector<TMap*> VecMaps, int LngWindow,
                                             double DblNoData);

    // --- Text dumps ---
    // The cells row by row, north row first whichever way the map's rows
    // run (a map without axes in the order of its rows), each value followed
    // by ChrSeparator, a line end after each row.
    static void WriteFlatFile(const TMap* PtrMap, std::ostream& Stream, char ChrSeparator);
    // One line "x,y,value" per cell at the cell centre, column by column.
    static void WriteCSVFile(const TMap* PtrMap, std::ostream& Stream);
};
