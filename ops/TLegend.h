#pragma once
// A legend strip for the foot of a rendered map: a framed colour bar of the
// ramp from the minimum (left) to the maximum (right), with ticks at its ends
// and middle and the three numbers written under them in TBitmapFont, black
// on white. The numbers have the fewest significant digits (at least 3, and
// whole numbers of up to 7 digits in full) that tell apart those that
// differ. Glyphs and bar grow with the map's
// width. The strip is rows of RGBA pixels as wide as the image, so that an
// image writer takes them after the map's rows.

#include <cstdint>
#include <string>
#include <vector>

#include "ops/TColourRamp.h"

class TLegend {
public:
    // Throws TError unless both ends of the range are finite.
    TLegend(const TColourRamp& Ramp, double DblMin, double DblMax, long LngMapWidth);

    // The image's width: the map's, or more where the numbers need the room
    // (the map's rows are then padded on the right).
    long Width() const { return MbrLngWidth; }
    long Height() const { return MbrLngHeight; }
    // Row LngRow of the strip from its top: Width() pixels of 4 bytes.
    const std::uint8_t* Row(long LngRow) const
    {
        return MbrVecPixels.data() + 4 * static_cast<std::size_t>(LngRow * MbrLngWidth);
    }
    // The minimum, middle and maximum as written.
    const std::vector<std::string>& Labels() const { return MbrVecLabels; }

private:
    void Fill(long LngLeft, long LngTop, long LngWidth, long LngHeight, TRgba Colour);
    void Write(const std::string& StgText, long LngLeft, long LngTop, long LngScale);

    std::vector<std::string> MbrVecLabels;
    long MbrLngWidth;
    long MbrLngHeight;
    std::vector<std::uint8_t> MbrVecPixels;
};
