#pragma once
// Text tests: a running graphics layer (every back end and depth) with the glyph rasteriser
// installed, a text colour whose channels every pixel format holds exactly, and an oracle for
// where a character's ink must land: the rasteriser's own mask of that character.
#include <string>
#include <vector>

#include "GraphicsTestSupport.h"
#include "media/text/Font.h"
#include "platform/graphics/WinFont.h"

constexpr int32_t kTextColour = 200;
constexpr int32_t kBackColour = 17;

class TextTest : public GraphicsTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A font made with InitFont; released at the end of the test.
    cFont* MakeFont(int32_t nHeight, int32_t nAdvance, int32_t nLineHeight, int32_t nCache,
                    DDSURFACEDATA* lpWindow = nullptr, DDSURFACEDATA* lpLetters = nullptr);
    // Sets a palette entry given in 8-bit channels (in the units the mode's palette holds).
    void SetExactColour(int32_t index, int32_t r, int32_t g, int32_t b);
    // The raw pixel of palette entry index on this surface, without alpha bits.
    uint32_t PaletteRaw(DDSURFACEDATA* sd, int32_t index);
    // The bits of a raw pixel that carry colour.
    uint32_t ColourBits(DDSURFACEDATA* sd);
    // The one-bit mask of text drawn by the font's face at its height.
    static TEXTMASK Mask(const cFont* font, const std::string& text);
    // Ink expected in the cell at (cx, cy): the mask of one character placed as the grid places
    // it, clipped to the cell.
    struct Ink {
        std::vector<uint8_t> vBits;   // w x h, 1 = text colour
        int32_t nWidth = 0;
        int32_t nHeight = 0;
    };
    void ExpectCell(DDSURFACEDATA* sd, const cFont* font, int32_t cx, int32_t cy, const std::string& ch,
                    uint32_t textRaw, uint32_t backRaw, const char* what);
    // Counts pixels of the colour in a rectangle.
    int32_t CountRaw(DDSURFACEDATA* sd, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t raw);

    std::vector<cFont*> m_vFonts;
};
