#pragma once
// Colours darkened by the hillshade beneath them: the multiply blend of a
// grey shade layer over the colours (QGIS's "Multiply"), each colour
// component times shade / 255, rounded; alpha kept. Where there is no shade
// (no data, NaN) the colour stays as it is.

#include <cstddef>
#include <cstdint>

class TShadeBlend {
public:
    // LngCount pixels of 4 bytes (R, G, B, A) in place, by as many shades
    // from 0 to 255 (gdaldem's hillshade bytes).
    static void Multiply(std::uint8_t* PtrRgba, const double* PtrShade, std::size_t LngCount);
};
