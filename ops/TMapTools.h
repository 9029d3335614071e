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
    // cell, no-data cells included, is treated specially.

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
    // Cells at or above the threshold become DblReplacement; others keep
    // their value.
    static TMap* ThresholdReplace(const TMap* PtrMap, double DblThreshold, double DblReplacement);
    // Cells at or above the threshold keep their value; others become 0.
    static TMap* Threshold(const TMap* PtrMap, double DblThreshold);
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
    // Per cell, how many maps hold data there. Throws "Must have at least 1
    // map to count in TMapTools::DataCounts" for an empty list, and
    // "X-dimension of maps are inconsistent in TMapTools::DataCounts" (then Y).
    static TMap* DataCounts(std::vector<TMap*> VecMaps);
    // Sum divided by DataCounts: the mean where every map holds data, -9999
    // elsewhere. Sum's checks apply.
    static TMap* Average(std::vector<TMap*> VecMaps);
    // Average of each run of LngWindow consecutive maps, in order; empty when
    // the window is longer than the list.
    static std::vector<TMap*> MovingAverage(std::vector<TMap*> VecMaps, int LngWindow);

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
    // Each cell copied into a LngFactor x LngFactor block of cells of
    // 1/LngFactor the size, over the same extent. Throws "Subdivision factor
    // must be >= 1 in TMapTools::Subdivide".
    static TMap* Subdivide(const TMap* PtrMap, int LngFactor);
    // Widens the block of rows and columns by LngBuffer cells on every side,
    // clamped to the map, in place.
    static void BufferIndices(const TMap* PtrMap, long LngBuffer, long& LngNorth, long& LngSouth,
                              long& LngWest, long& LngEast);

    // --- Text dumps ---
    // The cells row by row, north row first, each value followed by
    // ChrSeparator, a line end after each row.
    static void WriteFlatFile(const TMap* PtrMap, std::ostream& Stream, char ChrSeparator);
    // One line "x,y,value" per cell at the cell centre, column by column.
    static void WriteCSVFile(const TMap* PtrMap, std::ostream& Stream);
};
