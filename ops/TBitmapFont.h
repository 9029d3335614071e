#pragma once
// A 5 x 7 bitmap font of the characters numbers are written with: the
// digits, '-', '+', '.' and 'e'. Other characters are blank.

#include <string>

class TBitmapFont {
public:
    static constexpr int GlyphWidth = 5;
    static constexpr int GlyphHeight = 7;
    // From one character's left edge to the next one's.
    static constexpr int Advance = GlyphWidth + 1;

    // Whether pixel (LngX, LngY) of the character's glyph is ink; (0, 0) is
    // its top left.
    static bool Ink(char ChrCharacter, int LngX, int LngY);
    // The width of a text in pixels, without the space after its last
    // character.
    static long Width(const std::string& StgText)
    {
        return StgText.empty() ? 0 : static_cast<long>(StgText.size()) * Advance - 1;
    }
};
