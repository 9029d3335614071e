#pragma once
// Colours for values: a colour file as gdaldem color-relief reads it, or one
// of the built-in ramps. An entry stands at a value, or at a share of a range
// not known yet (a file's "N%", a built-in ramp's stops); TColourRamp places
// the table on a range and colours cells from it.
//
// A colour file (gdaldem's text form): one entry a line, "value r g b [a]"
// (whole numbers 0 to 255, alpha 255 when left out) or "value name [a]" with
// one of GDAL's colour names (white, black, red, green, blue, yellow,
// magenta, cyan, aqua, grey, gray, orange, brown, purple, violet, indigo,
// in any case). The value is a number, "N%" of the range from 0 to 100,
// "nv" for the colour of no data or "nan" for the colour of NaN cells.
// Fields are parted by spaces, tabs, commas or colons; lines that are
// blank or begin with '#' or '/' are comments. A GMT palette (a comment
// "COLOR_MODEL = RGB" first) is read as gdaldem reads one: "v1 r g b v2 r g
// b" lines, and "N r g b" for no data; its B and F lines are ignored.

#include <cstdint>
#include <istream>
#include <string>
#include <utility>
#include <vector>

#include "util/TError.h"

struct TRgba {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
    std::uint8_t A = 0;

    bool operator==(const TRgba& Other) const
    {
        return R == Other.R && G == Other.G && B == Other.B && A == Other.A;
    }
};

struct TColourEntry {
    double DblValue;  // the value, or the share of the range from 0 to 1
    bool BlnShare;
    TRgba Colour;
};

// A colour file that cannot be read: what() is "<what is wrong> at line N of
// NAME", or names the file alone for a file without any colour.
class TColourFileError : public TError {
public:
    TColourFileError(const std::string& StgProblem, long LngLine, const std::string& StgName)
        : TError(StgProblem + (LngLine > 0 ? " at line " + std::to_string(LngLine) + " of " : " in ")
                 + StgName)
    {
    }
};

class TColourTable {
public:
    // No data: transparent. NaN cells: opaque magenta, in no built-in ramp.
    static constexpr TRgba NoDataDefault{0, 0, 0, 0};
    static constexpr TRgba NaNDefault{255, 0, 255, 255};

    TColourTable(std::vector<TColourEntry> VecEntries, TRgba NoData = NoDataDefault, TRgba NaN = NaNDefault)
        : MbrVecEntries(std::move(VecEntries)), MbrNoData(NoData), MbrNaN(NaN)
    {
    }

    // "viridis" (matplotlib's 256 colours as its images hold them),
    // "terrain" (matplotlib's six stops), "gray" (black to white), stops
    // spread evenly over the range. Throws TError("Unknown colour ramp: " +
    // name) for any other name.
    static TColourTable Named(const std::string& StgName);
    // Reads a colour file; StgName names it in messages. Throws
    // TColourFileError.
    static TColourTable Parse(std::istream& Stream, const std::string& StgName);

    const std::vector<TColourEntry>& Entries() const { return MbrVecEntries; }
    TRgba NoData() const { return MbrNoData; }
    TRgba NaN() const { return MbrNaN; }

private:
    std::vector<TColourEntry> MbrVecEntries;
    TRgba MbrNoData;
    TRgba MbrNaN;
};
