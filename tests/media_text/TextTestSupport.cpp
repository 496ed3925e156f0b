#include "TextTestSupport.h"

#include <cstring>

#include "core/Text.h"
#include "media/graphics/DDFill.h"

void TextTest::SetUp()
{
    GraphicsTest::SetUp();
    ASSERT_TRUE(InstallFontRasterizer());
    // Channels that are multiples of 8 with green below 128: every 5- and 6-bit format and
    // every conversion between them (a picture's texture to a 16-bit target) keeps them exact.
    SetExactColour(kTextColour, 200, 56, 120);
    SetExactColour(77, 40, 96, 8);          // window picture
    SetExactColour(240, 248, 0, 16);        // frame
    for (int i = 0; i < 26; ++i) SetExactColour(100 + i, 8 * i, 8 * (i % 16), 248 - 8 * i);
}

void TextTest::SetExactColour(int32_t index, int32_t r, int32_t g, int32_t b)
{
    if (!IsD3D() && Depth() == 16) {
        r = r * SurfaceMasks.nRMask / 255;
        g = g * SurfaceMasks.nGMask / 255;
        b = b * SurfaceMasks.nBMask / 255;
    }
    ColorPalette[index] = {static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b), 0};
    ColorPaletteWork[index] = ColorPalette[index];
}

void TextTest::TearDown()
{
    for (cFont* font : m_vFonts) {
        ReleaseFont(font);
        delete font;
    }
    m_vFonts.clear();
    GraphicsTest::TearDown();
}

cFont* TextTest::MakeFont(int32_t nHeight, int32_t nAdvance, int32_t nLineHeight, int32_t nCache,
                          DDSURFACEDATA* lpWindow, DDSURFACEDATA* lpLetters)
{
    cFont* font = new cFont();
    m_vFonts.push_back(font);
    InitFont(font, "ＭＳ ゴシック", 0, nHeight, nAdvance, nLineHeight, kTextColour, lpWindow, 1, 240, lpLetters,
             nCache);
    return font;
}

uint32_t TextTest::ColourBits(DDSURFACEDATA* sd)
{
    cPixelBuffer* p = Pixels(sd);
    switch (p->Format()) {
    case PixelFormat::P8: return 0xFF;
    case PixelFormat::R5G6B5: return 0xFFFF;
    case PixelFormat::X1R5G5B5:
    case PixelFormat::A1R5G5B5: return 0x7FFF;
    default: return 0xFFFFFF;
    }
}

uint32_t TextTest::PaletteRaw(DDSURFACEDATA* sd, int32_t index)
{
    const PALETTEENTRY& e = ColorPalette[index];
    cPixelBuffer* p = Pixels(sd);
    if (p->Format() == PixelFormat::P8) return static_cast<uint32_t>(index);
    if (!IsD3D() && Depth() == 16) {
        const PIXELMASKS& m = SurfaceMasks;
        return (static_cast<uint32_t>(e.peRed) << m.nRShift) | (static_cast<uint32_t>(e.peGreen) << m.nGShift) |
               (static_cast<uint32_t>(e.peBlue) << m.nBShift);
    }
    const uint32_t argb = 0xFF000000u | static_cast<uint32_t>(e.peRed) << 16 | static_cast<uint32_t>(e.peGreen) << 8 |
                          e.peBlue;
    uint32_t raw = 0;
    switch (p->Format()) {
    case PixelFormat::R5G6B5: raw = (e.peRed >> 3) << 11 | (e.peGreen >> 2) << 5 | (e.peBlue >> 3); break;
    case PixelFormat::X1R5G5B5:
    case PixelFormat::A1R5G5B5: raw = (e.peRed >> 3) << 10 | (e.peGreen >> 3) << 5 | (e.peBlue >> 3); break;
    default: raw = argb; break;
    }
    return raw & ColourBits(sd);
}

TEXTMASK TextTest::Mask(const cFont* font, const std::string& text)
{
    static cFreeTypeRasterizer oracle;
    TEXTFONTSPEC spec{};
    std::strncpy(spec.szFace, font->m_szFaceName, sizeof(spec.szFace) - 1);
    spec.nHeight = font->m_nHeight;
    spec.nWeight = 400;
    spec.nCharSet = 128;
    TEXTMASK mask;
    oracle.RenderLine(spec, text.data(), static_cast<int32_t>(text.size()), &mask);
    return mask;
}

void TextTest::ExpectCell(DDSURFACEDATA* sd, const cFont* font, int32_t cx, int32_t cy, const std::string& ch,
                          uint32_t textRaw, uint32_t backRaw, const char* what)
{
    const TEXTMASK mask = Mask(font, ch);
    int32_t ox, oy;
    if (ch.size() == 1) {
        ox = font->m_nAdvance >> 3;
        oy = (font->m_nLineHeight >> 4) - 1;
    } else {
        ox = oy = 0;
    }
    if (font->m_bCentre) {
        ox = font->m_nAdvance / 2 - mask.nWidth / 2;
        oy = font->m_nLineHeight / 2 - mask.nHeight / 2;
    }
    const uint32_t bits = ColourBits(sd);
    int32_t inked = 0;
    for (int32_t y = 0; y < font->m_nLineHeight; ++y)
        for (int32_t x = 0; x < font->m_nAdvance; ++x) {
            const int32_t mx = x - ox, my = y - oy;
            const bool ink = mx >= 0 && my >= 0 && mx < mask.nWidth && my < mask.nHeight &&
                             mask.vCoverage[static_cast<size_t>(my) * mask.nWidth + mx];
            inked += ink;
            const uint32_t got = Get(sd, cx + x, cy + y) & bits;
            ASSERT_EQ(got, ink ? textRaw : backRaw)
                << what << " '" << ch.size() << "-byte char' at cell (" << cx << "," << cy << ") pixel " << x << ","
                << y;
        }
    EXPECT_GT(inked, 3) << what;
}

int32_t TextTest::CountRaw(DDSURFACEDATA* sd, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t raw)
{
    const uint32_t bits = ColourBits(sd);
    int32_t n = 0;
    for (int32_t j = y; j < y + h; ++j)
        for (int32_t i = x; i < x + w; ++i) n += (Get(sd, i, j) & bits) == raw;
    return n;
}
