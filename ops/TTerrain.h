#pragma once
// Slope, aspect and hillshade by Horn's method, cell for cell as gdaldem
// (GDAL 3.6) computes them, one output row at a time from the grid's rows
// north of, at and south of it: a window of three rows streams any grid.
//
// As gdaldem: cells are taken as Float32 and Horn's sums formed in Float32
// (the rest in double), so results agree with gdaldem's to its precision.
// A cell whose window holds no data is no data; so is every cell on the
// grid's border, and every cell of a grid of one row or one column. With
// BlnComputeEdges, a border cell gets a window reaching past the edge by
// extrapolation (2a - b), columns of the first and last row by repeating the
// edge column, and no data in a window stands for the centre's value.
// Flat cells have no aspect (no data).
//
// No data is the marker of util/TNoData.h, in and out; NaN cells are data
// and give NaN where they enter the formula.

#include "grid/TGridFrame.h"

struct TTerrainOptions {
    enum class TProduct { Slope, Aspect, Hillshade };
    // gdaldem's hillshades: one light (the default), -multidirectional (four
    // lights weighted by aspect), -combined (slope and oblique light).
    enum class TShading { Single, Multidirectional, Combined };

    TProduct Product = TProduct::Slope;
    bool BlnPercent = false;    // slope as 100 * rise / run instead of degrees
    double DblScale = 1.0;      // horizontal units per vertical unit (-s)
    double DblZ = 1.0;          // vertical exaggeration of hillshades (-z)
    double DblAzimuth = 315.0;  // light from, degrees clockwise from north
    double DblAltitude = 45.0;  // light's height, degrees above the horizon
    TShading Shading = TShading::Single;
    bool BlnComputeEdges = false;
};

class TTerrain {
public:
    // Throws TError when the scale or the frame's cell size is not a positive
    // number, or z, the azimuth or the altitude is not finite.
    TTerrain(const TTerrainOptions& Options, const TGridFrame& Frame);

    // One output row of Frame.LngCols cells into PtrOut: slope in degrees
    // or percent; aspect in degrees clockwise from north, [0, 360);
    // hillshade as gdaldem's byte, 1 to 255. PtrNorth, PtrCentre and
    // PtrSouth are rows of the grid (PtrNorth null for its first row,
    // PtrSouth null for its last). Thread-safe.
    void Row(const double* PtrNorth, const double* PtrCentre, const double* PtrSouth, double* PtrOut) const;

private:
    template <class TFormula>
    void RowOf(const TFormula& Formula, const double* PtrNorth, const double* PtrCentre,
               const double* PtrSouth, double* PtrOut) const;
    // Cell LngCol's window as gdaldem forms it, 3 x 3 from the north-west;
    // false where the cell has no value.
    bool Window(const double* PtrNorth, const double* PtrCentre, const double* PtrSouth, long LngCol,
                float* PtrWindow) const;

    TTerrainOptions MbrOptions;
    long MbrLngCols;
    double MbrDblCellSize;
};
