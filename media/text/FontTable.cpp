// The program's three fonts and their records.
#include "media/text/Font.h"

// The list comes first so that it is built before the fonts and outlives them: a font leaves the
// list when it is destroyed, also at exit after a start-up or device failure left it listed.
std::list<cFont*> FontList;
cFont FontTable[FONT_COUNT];
cFont& Font10 = FontTable[0];
cFont& Font16 = FontTable[1];
DDSURFACEDATA FontDigitStrips[FONT_COUNT];

namespace {

constexpr FontDesc MakeDesc(int32_t nHeight, int32_t nAdvance, int32_t nLineHeight, int32_t nGlyphCache)
{
    FontDesc desc{};
    const char face[] = "ＭＳ ゴシック";
    for (size_t i = 0; i < sizeof(face); ++i) desc.szFaceName[i] = face[i];
    desc.nGdiWidth = 0;
    desc.nHeight = nHeight;
    desc.nAdvance = nAdvance;
    desc.nLineHeight = nLineHeight;
    desc.nColor = 241;
    desc.nWindowPicture = 45;
    desc.nFrameThickness = 1;
    desc.nFrameColor = 240;
    desc.nLetterPicture = 50;
    desc.nGlyphCache = nGlyphCache;
    return desc;
}

constexpr BITMAPFILEENTRY MakeStripDesc()
{
    BITMAPFILEENTRY entry{};
    entry.bColorKey = 1;
    return entry;
}

}  // namespace

FontDesc DefaultFontDescs[FONT_COUNT] = {MakeDesc(9, 10, 10, 2), MakeDesc(16, 16, 16, 2), MakeDesc(30, 32, 32, 0)};
BITMAPFILEENTRY DefaultDigitStripDescs[FONT_COUNT] = {MakeStripDesc(), MakeStripDesc(), MakeStripDesc()};
