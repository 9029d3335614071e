#pragma once
// The six header entries of an ASCII grid file, and the geometry they stand
// for: shared by the grid reader, the grid writer and the streaming command.

#include <cstddef>
#include <memory>
#include <string>
#include <utility>

#include "grid/TAxis.h"
#include "grid/TMap.h"
#include "io/TGridDialect.h"
#include "io/TTokenizer.h"
#include "util/TNumberFormat.h"

struct TGridHeader {
    long LngCols = 0;
    long LngRows = 0;
    double DblXllCorner = 0.0;
    double DblYllCorner = 0.0;
    double DblCellSize = 0.0;
    double DblNoDataValue = -9999.0;
    // False when the header has no NODATA_value line (Tolerant only): then no
    // cell is no data, and DblNoDataValue is only the writer's default.
    bool BlnNoDataGiven = true;

    // Reads the six tagged entries in their fixed order. Throws TError with
    // the format messages ("File format error: expected to find ncols tag",
    // ...); a value that does not read as a number is reported as the next
    // tag's message; a negative dimension and a NODATA_value that is not a
    // number are refused with a "File format error:" message. Once all six
    // are read, a cell size that is not greater than 0 gives "File format
    // error: cellsize must be greater than 0", and a corner or far edge
    // (corner + cells x cellsize) that is not finite "File format error: grid
    // extent is out of range".
    // Tolerant reads the header variants TTolerantHeader.h describes, with
    // the same messages where the dialects share a fault.
    static TGridHeader Read(TTokenizer& Tokens, TGridDialect Dialect = TGridDialect::Strict);

    // The checks once all entries are read: "File format error: cellsize must
    // be greater than 0", then "File format error: grid extent is out of
    // range".
    void CheckGeometry() const;

    // The no-data value a map read without a NODATA_value line gets: the
    // first of -9999, -99999, ..., -999999999999999, -DBL_MAX and -inf that
    // none of its cells holds (NaN if all are held). The header written for
    // the map then names a value no cell has, so every reader (this one in
    // either dialect, GDAL) reads the cells back with none of them no data;
    // NaN is a last resort, since GDAL takes NaN cells for no data under a
    // NaN no-data value. One pass over the cells.
    static double UnusedNoDataValue(const double* PtrCells, std::size_t LngCount);
    // The same for cells that arrive in pieces, as a streamed grid's do.
    class TUnusedNoData {
    public:
        void Add(const double* PtrCells, std::size_t LngCount);
        double Value() const;

    private:
        static const double ArrCandidates[14];
        bool MbrArrBlnHeld[14] = {};
    };

    // The header the writer gives a map: west edge from point 0 of the X edge
    // axis, south edge the lesser Y of the first and last Y edges. Throws
    // "Axes are not set in TARCGISFileTools::WriteARCGISFile" for a map
    // without axes.
    static TGridHeader OfMap(const TMap* PtrMap);

    // The edge axes of a loaded map, {X edges, Y edges}, built by repeated
    // addition of the cell size from the lower-left corner.
    std::pair<std::unique_ptr<TAxis>, std::unique_ptr<TAxis>> EdgeAxes() const;

    // The six header lines as the writer lays them out: the corners and the
    // cell size in plain decimal with max(15, LngDigits) significant digits
    // (TNumberFormat::WritePlain), the corners right-aligned in 8 characters;
    // NODATA_value as a cell is written, with LngDigits.
    std::string Text(int LngDigits = TNumberFormat::DefaultDigits) const;

    // Memory a loaded map of this header takes, its axes included. An
    // estimate, in bytes.
    double MapBytes() const;
    [[noreturn]] static void ThrowTooLarge();
};
