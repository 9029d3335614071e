#pragma once
// A colour table placed on a range of values, colouring cells as gdaldem
// color-relief does by default: a value between two entries takes the colour
// interpolated linearly between theirs, each component rounded up from .55
// (GDAL 3.6's rounding); a
// value equal to an entry takes its colour (the first of equal entries);
// values beyond the ends take the end's colour. A share s of the range
// stands at Min + s * (Max - Min). No-data cells (the marker of
// util/TNoData.h) take the table's no-data colour, NaN cells its NaN colour.
//
// Unlike gdaldem's, the no-data colour is not an entry among the values: it
// colours no-data cells and nothing else.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ops/TColourTable.h"

class TColourRamp {
public:
    // The range places the table's shares; a table of values alone has no
    // use for it. Min may exceed Max (a reversed ramp).
    TColourRamp(const TColourTable& Table, double DblMin, double DblMax);

    TRgba Colour(double DblValue) const;
    // The colours of LngCount cells, 4 bytes (R, G, B, A) each.
    void Colours(const double* PtrCells, std::size_t LngCount, std::uint8_t* PtrRgba) const;

private:
    // The first entry whose value is not below DblValue (as std::lower_bound),
    // found from a bucket of the range in a step or two.
    std::size_t FirstNotBelow(double DblValue) const;

    std::vector<double> MbrVecValues;  // ascending
    std::vector<TRgba> MbrVecColours;
    // Per entry and component, for the interpolation up to the next entry:
    // 0.45 + the component (gdaldem's rounding), and the next one's less it.
    std::vector<double> MbrVecBases;
    std::vector<double> MbrVecRises;
    // Per bucket of equal width between the first and last value: the
    // first entry not below the bucket's start.
    std::vector<std::size_t> MbrVecBuckets;
    double MbrDblBucketsPerUnit = 0;
    TRgba MbrNoData;
    TRgba MbrNaN;
};
