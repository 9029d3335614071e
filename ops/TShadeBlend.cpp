#include "ops/TShadeBlend.h"

#include <algorithm>
#include <cmath>

void TShadeBlend::Multiply(std::uint8_t* PtrRgba, const double* PtrShade, std::size_t LngCount)
{
    for (std::size_t LngPixel = 0; LngPixel < LngCount; ++LngPixel, PtrRgba += 4) {
        const double DblShade = PtrShade[LngPixel];
        if (std::isnan(DblShade))
            continue;
        const unsigned LngShade = static_cast<unsigned>(std::clamp(DblShade, 0.0, 255.0) + 0.5);
        for (int LngChannel = 0; LngChannel < 3; ++LngChannel)
            PtrRgba[LngChannel] = static_cast<std::uint8_t>((PtrRgba[LngChannel] * LngShade + 127) / 255);
    }
}
