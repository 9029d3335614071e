#include "ops/TLegend.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ops/TBitmapFont.h"
#include "util/TError.h"

namespace {

const TRgba White{255, 255, 255, 255};
const TRgba Black{0, 0, 0, 255};
const TRgba Grey{128, 128, 128, 255};

std::string Text(double DblValue, int LngDigits)
{
    char ArrText[40];
    std::snprintf(ArrText, sizeof ArrText, "%.*g", LngDigits, DblValue);
    return ArrText;
}

// Whole numbers up to 7 digits in full (1850, not 1.85e+03), and as many
// digits as tell apart the values that differ.
std::vector<std::string> LabelsOf(const std::vector<double>& VecValues)
{
    double DblLargest = 0;
    for (double DblValue : VecValues)
        DblLargest = std::max(DblLargest, std::fabs(DblValue));
    const int LngWhole = DblLargest >= 1 ? static_cast<int>(std::floor(std::log10(DblLargest))) + 1 : 0;
    for (int LngDigits = std::clamp(LngWhole, 3, 7);; ++LngDigits) {
        std::vector<std::string> VecTexts;
        for (double DblValue : VecValues)
            VecTexts.push_back(Text(DblValue, LngDigits));
        bool BlnApart = true;
        for (std::size_t LngA = 0; LngA < VecValues.size(); ++LngA)
            for (std::size_t LngB = LngA + 1; LngB < VecValues.size(); ++LngB)
                BlnApart =
                    BlnApart && (VecValues[LngA] == VecValues[LngB] || VecTexts[LngA] != VecTexts[LngB]);
        if (BlnApart || LngDigits == 17)
            return VecTexts;
    }
}

}  // namespace

TLegend::TLegend(const TColourRamp& Ramp, double DblMin, double DblMax, long LngMapWidth)
{
    if (!std::isfinite(DblMin) || !std::isfinite(DblMax))
        throw TError("A legend needs a finite range");
    MbrVecLabels = LabelsOf({DblMin, DblMin / 2 + DblMax / 2, DblMax});

    const long LngScale = std::clamp(LngMapWidth / 320, 1L, 4L);
    const long LngMargin = 4 * LngScale;
    const long LngBarHeight = 12 * LngScale;
    const long LngTick = 3 * LngScale;
    const long LngGap = 2 * LngScale;
    std::vector<long> VecWidths;
    for (const std::string& StgLabel : MbrVecLabels)
        VecWidths.push_back(LngScale * TBitmapFont::Width(StgLabel));
    // Room for the outer labels beside the middle one, two glyphs apart.
    const long LngApart = 2 * TBitmapFont::Advance * LngScale;
    const long LngBarNeeds = 2 * std::max(VecWidths[0], VecWidths[2]) + VecWidths[1] + 2 * LngApart;
    MbrLngWidth = std::max(LngMapWidth, LngBarNeeds + 2 * LngMargin);
    MbrLngHeight = 2 * LngMargin + LngBarHeight + LngTick + LngGap + TBitmapFont::GlyphHeight * LngScale;
    MbrVecPixels.resize(4 * static_cast<std::size_t>(MbrLngWidth * MbrLngHeight));
    Fill(0, 0, MbrLngWidth, MbrLngHeight, White);

    const long LngLeft = LngMargin;
    const long LngBar = MbrLngWidth - 2 * LngMargin;
    Fill(LngLeft - 1, LngMargin - 1, LngBar + 2, LngBarHeight + 2, Grey);
    for (long LngX = 0; LngX < LngBar; ++LngX) {
        const double DblShare = static_cast<double>(LngX) / static_cast<double>(LngBar - 1);
        Fill(LngLeft + LngX, LngMargin, 1, LngBarHeight, Ramp.Colour(DblMin + DblShare * (DblMax - DblMin)));
    }
    const long LngTextTop = LngMargin + LngBarHeight + LngTick + LngGap;
    const long ArrTicks[] = {LngLeft, LngLeft + (LngBar - 1) / 2, LngLeft + LngBar - 1};
    const long ArrTextLefts[] = {LngLeft, ArrTicks[1] - VecWidths[1] / 2, LngLeft + LngBar - VecWidths[2]};
    for (int LngLabel = 0; LngLabel < 3; ++LngLabel) {
        Fill(std::min(ArrTicks[LngLabel], LngLeft + LngBar - LngScale), LngMargin + LngBarHeight, LngScale,
             LngTick, Black);
        Write(MbrVecLabels[LngLabel], ArrTextLefts[LngLabel], LngTextTop, LngScale);
    }
}

void TLegend::Fill(long LngLeft, long LngTop, long LngWidth, long LngHeight, TRgba Colour)
{
    for (long LngY = LngTop; LngY < LngTop + LngHeight; ++LngY)
        for (long LngX = LngLeft; LngX < LngLeft + LngWidth; ++LngX) {
            std::uint8_t* PtrPixel =
                MbrVecPixels.data() + 4 * static_cast<std::size_t>(LngY * MbrLngWidth + LngX);
            PtrPixel[0] = Colour.R;
            PtrPixel[1] = Colour.G;
            PtrPixel[2] = Colour.B;
            PtrPixel[3] = Colour.A;
        }
}

void TLegend::Write(const std::string& StgText, long LngLeft, long LngTop, long LngScale)
{
    for (std::size_t LngChar = 0; LngChar < StgText.size(); ++LngChar)
        for (int LngY = 0; LngY < TBitmapFont::GlyphHeight; ++LngY)
            for (int LngX = 0; LngX < TBitmapFont::GlyphWidth; ++LngX)
                if (TBitmapFont::Ink(StgText[LngChar], LngX, LngY))
                    Fill(LngLeft + (static_cast<long>(LngChar) * TBitmapFont::Advance + LngX) * LngScale,
                         LngTop + LngY * LngScale, LngScale, LngScale, Black);
}
