#include <algorithm>

#include "TextTestSupport.h"
#include "media/graphics/DDBlitEffects.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/DeviceRestore.h"
#include "platform/graphics/GraphicsControl.h"

namespace {

struct FontCase {
    const char* name;
    int32_t nHeight, nAdvance, nLineHeight, nCache;
};

// The program's three fonts, the first two with and without their glyph sheets.
const FontCase kFonts[] = {
    {"Font10", 9, 10, 10, 0}, {"Font10Cached", 9, 10, 10, 1}, {"Font16", 16, 16, 16, 0},
    {"Font16Cached", 16, 16, 16, 1}, {"Font30", 30, 32, 32, 0},
};

}  // namespace

using FontDrawTest = TextTest;

TEST_P(FontDrawTest, GlyphsLandOnTheGridInTheTextColour)
{
    for (const FontCase& fc : kFonts) {
        for (int32_t memory : {0, 1}) {
            SCOPED_TRACE(std::string(fc.name) + (memory ? " system" : " video"));
            cFont* font = MakeFont(fc.nHeight, fc.nAdvance, fc.nLineHeight, fc.nCache);
            DDSURFACEDATA* dest = NewSurface(256, 100, 0, memory);
            DDFillRect(dest, 0, 0, 256, 100, kBackColour);
            const uint32_t back = Get(dest, 0, 0) & ColourBits(dest);
            const uint32_t text = PaletteRaw(dest, kTextColour);
            ASSERT_NE(back, text);
            // A double-byte character takes one cell, like a single byte; a space takes one
            // without ink; the ideographic space likewise.
            FontDraw(font, dest, 20, 10, "Aあ 漢\nｱ　B");
            const int32_t a = fc.nAdvance, l = fc.nLineHeight;
            ExpectCell(dest, font, 20, 10, "A", text, back, "A");
            ExpectCell(dest, font, 20 + a, 10, "あ", text, back, "hiragana");
            EXPECT_EQ(CountRaw(dest, 20 + 2 * a, 10, a, l, text), 0) << "space";
            ExpectCell(dest, font, 20 + 3 * a, 10, "漢", text, back, "kanji (added to the sheet when cached)");
            ExpectCell(dest, font, 20, 10 + l, "ｱ", text, back, "half-width katakana");
            EXPECT_EQ(CountRaw(dest, 20 + a, 10 + l, a, l, text), 0) << "ideographic space";
            ExpectCell(dest, font, 20 + 2 * a, 10 + l, "B", text, back, "second line");
            // Nothing else changed.
            EXPECT_EQ(CountRaw(dest, 0, 0, 256, 10, text), 0);
            EXPECT_EQ(CountRaw(dest, 0, 10 + 2 * l, 256, 100 - 10 - 2 * l, text), 0);
        }
    }
}

TEST_P(FontDrawTest, CachedTextIsDrawnFromTheSheets)
{
    cFont* font = MakeFont(16, 16, 16, 1);
    ASSERT_NE(font->m_lpFastFont_Half, nullptr);
    ASSERT_NE(font->m_lpFastFont_FullAdd, nullptr);
    const int32_t prefilled = font->m_lpFastFont_FullAdd->m_nCount;
    EXPECT_EQ(prefilled, 256);
    // Half-width katakana 0xB1 sits in cell 177 of the half-width sheet.
    DDSURFACEDATA* half = &font->m_lpFastFont_Half->m_SheetSD;
    ExpectCell(half, font, (177 % 16) * 16, (177 / 16) * 16, "ｱ", PaletteRaw(half, kTextColour),
               Get(half, 0, 0) & ColourBits(half), "sheet cell 177");
    // A prefilled character is found, a new one takes the next cell, a known one does not.
    DDSURFACEDATA* dest = NewSurface(64, 16, 0, 0);
    FontDraw(font, dest, 0, 0, "あ");
    EXPECT_EQ(font->m_lpFastFont_FullAdd->m_nCount, prefilled);
    FontDraw(font, dest, 0, 0, "漢漢");
    EXPECT_EQ(font->m_lpFastFont_FullAdd->m_nCount, prefilled + 1);
    const GlyphEntry* added = font->m_lpFastFont_FullAdd->FindGlyph("漢");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->nCell, prefilled);
}

TEST_P(FontDrawTest, FullSheetDrawsNewCharactersDirectly)
{
    cFont* font = MakeFont(16, 16, 16, 1);
    cFastFont* sheet = font->m_lpFastFont_FullAdd;
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->m_nCapacity, IsD3D() ? 32 * 32 : 32 * 30);
    // Fill the sheet with kanji (first level: 0x889F onward).
    unsigned lead = 0x88, trail = 0x9F;
    while (sheet->m_nCount < sheet->m_nCapacity) {
        const char code[3] = {static_cast<char>(lead), static_cast<char>(trail), 0};
        sheet->AddGlyph(code);
        if (++trail == 0xFD) trail = 0x40, ++lead;
        if (trail == 0x7F) ++trail;
    }
    DDSURFACEDATA* dest = NewSurface(64, 32, 0, 1);
    DDFillRect(dest, 0, 0, 64, 32, kBackColour);
    FontDraw(font, dest, 8, 8, "鬱");
    EXPECT_EQ(sheet->m_nCount, sheet->m_nCapacity);
    EXPECT_EQ(sheet->FindGlyph("鬱"), nullptr);
    ExpectCell(dest, font, 8, 8, "鬱", PaletteRaw(dest, kTextColour), Get(dest, 0, 0) & ColourBits(dest),
               "drawn without the sheet");
}

TEST_P(FontDrawTest, CentredCharactersSitInTheMiddleOfTheirCells)
{
    cFont* font = MakeFont(16, 20, 20, 0);
    font->m_bCentre = 1;
    DDSURFACEDATA* dest = NewSurface(80, 40, 0, 0);
    DDFillRect(dest, 0, 0, 80, 40, kBackColour);
    FontDraw(font, dest, 0, 0, "Wあ");
    const uint32_t back = Get(dest, 79, 39) & ColourBits(dest);
    ExpectCell(dest, font, 0, 0, "W", PaletteRaw(dest, kTextColour), back, "centred half-width");
    ExpectCell(dest, font, 20, 0, "あ", PaletteRaw(dest, kTextColour), back, "centred full-width");
}

TEST_P(FontDrawTest, LetterPicturesReplaceLowerCaseLetters)
{
    // A letter picture of 26 cells, cell i filled with palette colour 100 + i.
    DDSURFACEDATA* letters = NewSurface(26 * 16, 16, 1, 1);
    for (int i = 0; i < 26; ++i) DDFillRect(letters, i * 16, 0, 16, 16, static_cast<uint32_t>(100 + i));
    cFont* font = MakeFont(16, 16, 16, 0, nullptr, letters);
    EXPECT_EQ(font->m_bLetterPictures, 1);
    DDSURFACEDATA* dest = NewSurface(96, 32, 0, 0);
    DDFillRect(dest, 0, 0, 96, 32, kBackColour);
    FontDraw(font, dest, 0, 0, "abあ\nz");
    // The cells as a blit of the letter picture draws them.
    DDSURFACEDATA* want = NewSurface(96, 32, 0, 0);
    DDFillRect(want, 0, 0, 96, 32, kBackColour);
    DDBlt(want, 0, 0, 16, 16, letters, 0, 0, 1);
    DDBlt(want, 16, 0, 16, 16, letters, 16, 0, 1);
    DDBlt(want, 0, 16, 16, 16, letters, 25 * 16, 0, 1);
    const uint32_t bits = ColourBits(dest);
    for (int32_t y = 0; y < 32; ++y)
        for (int32_t x = 0; x < 32; ++x) ASSERT_EQ(Get(dest, x, y) & bits, Get(want, x, y) & bits) << x << "," << y;
    EXPECT_NE(Get(dest, 0, 0) & bits, Get(dest, 16, 0) & bits);
    EXPECT_NE(Get(dest, 0, 0) & bits, Get(dest, 95, 31) & bits);
    ExpectCell(dest, font, 32, 0, "あ", PaletteRaw(dest, kTextColour), Get(dest, 95, 31) & bits,
               "kana next to letter pictures");

    // The plain flag draws the letters as characters.
    font->m_bLetterPictures = 0;
    DDFillRect(dest, 0, 0, 96, 32, kBackColour);
    FontDraw(font, dest, 0, 0, "ab", 1);
    ExpectCell(dest, font, 0, 0, "a", PaletteRaw(dest, kTextColour), Get(dest, 95, 31) & bits,
               "letter drawn as a character");
}

TEST_P(FontDrawTest, BoxesAreCutFromTheWindowPicture)
{
    DDSURFACEDATA* window = NewSurface(640, 480, 0, 1);
    for (int i = 0; i < 8; ++i) DDFillRect(window, i * 80, 0, 80, 480, static_cast<uint32_t>(100 + i));
    cFont* font = MakeFont(16, 16, 16, 0, window);
    DDSURFACEDATA* dest = NewSurface(640, 480, 0, 0);
    DDSURFACEDATA* want = NewSurface(640, 480, 0, 0);
    const uint32_t bits = ColourBits(dest);
    auto expectSame = [&](uint32_t except) {
        for (int32_t y = 0; y < 480; ++y)
            for (int32_t x = 0; x < 640; ++x) {
                const uint32_t got = Get(dest, x, y) & bits;
                if (got == except) continue;
                ASSERT_EQ(got, Get(want, x, y) & bits) << x << "," << y;
            }
    };

    // x 10000 centres the 200-pixel box in the 640-pixel picture: x = 220.
    DDFillRect(dest, 0, 0, 640, 480, kBackColour);
    DDFillRect(want, 0, 0, 640, 480, kBackColour);
    FontDrawWindow(font, dest, 10000, 40, 200, 30);
    DDBltFramed(want, 220, 40, 200, 30, window, 1, 240);
    expectSame(0xFFFFFFFFu);
    EXPECT_EQ(Get(dest, 219, 50) & bits, PaletteRaw(dest, 240));
    EXPECT_NE(Get(dest, 218, 50) & bits, PaletteRaw(dest, 240));

    // Width 0 and margin 8: the box is the text's width plus 8, the text 8 right of its edge.
    DDFillRect(dest, 0, 0, 640, 480, kBackColour);
    DDFillRect(want, 0, 0, 640, 480, kBackColour);
    FontDrawInBox(font, dest, 100, 200, 0, 0, "AB\nC", 8);
    DDBltFramed(want, 100, 200, 40, 32, window, 1, 240);
    const uint32_t text = PaletteRaw(dest, kTextColour);
    expectSame(text);
    ExpectCell(dest, font, 108, 200, "A", text, Get(want, 108, 200) & bits, "text in the box");
    ExpectCell(dest, font, 108, 216, "C", text, Get(want, 108, 216) & bits, "second line in the box");
    // y 10000 centres vertically in the picture's 480 rows.
    DDFillRect(dest, 0, 0, 640, 480, kBackColour);
    DDFillRect(want, 0, 0, 640, 480, kBackColour);
    FontDrawInBox(font, dest, 0, 10000, 64, 0, "X", 0);
    DDBltFramed(want, 0, 232, 64, 16, window, 1, 240);
    expectSame(text);
}

TEST_P(FontDrawTest, DigitStripsHoldTheTenDigits)
{
    cFont fonts[1];
    InitFont(&fonts[0], "ＭＳ ゴシック", 0, 16, 16, 16, kTextColour, nullptr, 1, 240, nullptr, 1);
    const FontDesc desc = {"ＭＳ ゴシック", 0, 16, 16, 16, kTextColour, 45, 1, 240, 50, 1};
    const BITMAPFILEENTRY strip = {"", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    DDSURFACEDATA strips[1];
    ASSERT_EQ(CreateDigitSurfaces(strips, &strip, 1, fonts, &desc), 1);
    EXPECT_EQ(strips[0].nWidth, 160);
    EXPECT_EQ(strips[0].nHeight, 16);
    const uint32_t key = Transparent() & ColourBits(&strips[0]);
    for (int d = 0; d < 10; ++d) {
        const std::string digit(1, static_cast<char>('0' + d));
        ExpectCell(&strips[0], &fonts[0], d * 16, 0, digit, PaletteRaw(&strips[0], kTextColour), key, "digit");
    }
    DDReleaseSurface(&strips[0]);
    ReleaseFont(&fonts[0]);
}

TEST_P(FontDrawTest, GlyphSheetsSurviveADeviceRestore)
{
    cFont* font = MakeFont(16, 16, 16, 1);
    DDSURFACEDATA* dest = NewSurface(32, 16, 0, 0);
    FontDraw(font, dest, 0, 0, "漢");   // added after the first filling
    auto snapshot = [&](DDSURFACEDATA* sd) {
        std::vector<uint32_t> v;
        for (int32_t y = 0; y < sd->nHeight; ++y)
            for (int32_t x = 0; x < sd->nWidth; ++x) v.push_back(Get(sd, x, y) & ColourBits(sd));
        return v;
    };
    const auto half = snapshot(&font->m_lpFastFont_Half->m_SheetSD);
    const auto full = snapshot(&font->m_lpFastFont_FullAdd->m_SheetSD);
    if (IsD3D()) {
        LoseDirect3DDevice();
        RegainDirect3DDevice();
        ASSERT_EQ(DDRestoreSurface(), 1);
    } else {
        LoseDirectDrawSurfaces();
        ASSERT_TRUE(DDRestore());
    }
    EXPECT_EQ(snapshot(&font->m_lpFastFont_Half->m_SheetSD), half);
    EXPECT_EQ(snapshot(&font->m_lpFastFont_FullAdd->m_SheetSD), full);
    EXPECT_EQ(font->m_lpFastFont_FullAdd->m_SheetSD.bLost, 0);
    // And the text still draws from them.
    DDSURFACEDATA* after = NewSurface(32, 16, 0, 0);
    DDFillRect(after, 0, 0, 32, 16, kBackColour);
    FontDraw(font, after, 0, 0, "漢A");
    ExpectCell(after, font, 0, 0, "漢", PaletteRaw(after, kTextColour), Get(after, 31, 15) & ColourBits(after), "after");
}

TEST_P(FontDrawTest, ProportionalTextGoesLineByLine)
{
    cFont* font = MakeFont(16, 0, 20, 0);
    DDSURFACEDATA* dest = NewSurface(200, 60, 0, 1);
    DDFillRect(dest, 0, 0, 200, 60, kBackColour);
    FontDraw(font, dest, 5, 3, "Ab\nあ");
    const TEXTMASK first = Mask(font, "Ab");
    const TEXTMASK second = Mask(font, "あ");
    const uint32_t text = PaletteRaw(dest, kTextColour);
    int inked = 0;
    for (int32_t y = 0; y < 60; ++y)
        for (int32_t x = 0; x < 200; ++x) {
            bool ink = false;
            if (x >= 5 && y >= 3 && x - 5 < first.nWidth && y - 3 < first.nHeight)
                ink = first.vCoverage[(y - 3) * first.nWidth + x - 5];
            if (x >= 5 && y >= 23 && x - 5 < second.nWidth && y - 23 < second.nHeight)
                ink = ink || second.vCoverage[(y - 23) * second.nWidth + x - 5];
            inked += ink;
            ASSERT_EQ((Get(dest, x, y) & ColourBits(dest)) == text, ink) << x << "," << y;
        }
    EXPECT_GT(inked, 10);
}

INSTANTIATE_TEST_SUITE_P(Modes, FontDrawTest, ::testing::ValuesIn(AllModes()), ModeName);

using BackBufferTextTest = TextTest;

TEST_P(BackBufferTextTest, TextAimedAtTheBackBufferLandsThere)
{
    for (int32_t cache : {0, 1}) {
        for (int32_t virtualBack : {0, 1}) {
            if (virtualBack && !IsD3D()) continue;
            SCOPED_TRACE(std::string(cache ? "cached" : "direct") + (virtualBack ? " virtual" : ""));
            cFont* font = MakeFont(16, 16, 16, cache);
            if (virtualBack) DDSetVirtualBackBuffer(1);
            DDFillRect(&BackBuffer, 0, 0, 640, 480, kBackColour);
            FontDraw(font, &BackBuffer, 300, 200, "Aあ");
            const uint32_t back = Get(&BackBuffer, 0, 0) & ColourBits(&BackBuffer);
            ExpectCell(&BackBuffer, font, 300, 200, "A", PaletteRaw(&BackBuffer, kTextColour), back, "A");
            ExpectCell(&BackBuffer, font, 316, 200, "あ", PaletteRaw(&BackBuffer, kTextColour), back, "kana");
            if (virtualBack) DDSetVirtualBackBuffer(0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, BackBufferTextTest, ::testing::ValuesIn(AllModes()), ModeName);

using DigitStripRestoreTest = TextTest;

TEST_P(DigitStripRestoreTest, DigitStripsComeBackAfterADeviceReset)
{
    // Under DirectDraw the shell restores and redraws the strips itself; a Direct3D reset
    // re-creates them blank and the fonts' restore redraws them.
    InitFont(&FontTable[0], "ＭＳ ゴシック", 0, 16, 16, 16, kTextColour, nullptr, 1, 240, nullptr, 0);
    const FontDesc record = {"ＭＳ ゴシック", 0, 16, 16, 16, kTextColour, 45, 1, 240, 50, 0};
    ASSERT_EQ(CreateDigitSurfaces(FontDigitStrips, DefaultDigitStripDescs, 1, FontTable, &record), 1);
    std::vector<uint32_t> before;
    for (int32_t x = 0; x < 160; ++x)
        for (int32_t y = 0; y < 16; ++y) before.push_back(Get(&FontDigitStrips[0], x, y) & ColourBits(&FontDigitStrips[0]));
    EXPECT_GT(std::count(before.begin(), before.end(), PaletteRaw(&FontDigitStrips[0], kTextColour)), 50);
    LoseDirect3DDevice();
    RegainDirect3DDevice();
    ASSERT_EQ(DDRestoreSurface(), 1);
    std::vector<uint32_t> after;
    for (int32_t x = 0; x < 160; ++x)
        for (int32_t y = 0; y < 16; ++y) after.push_back(Get(&FontDigitStrips[0], x, y) & ColourBits(&FontDigitStrips[0]));
    EXPECT_EQ(after, before);
    EXPECT_EQ(FontDigitStrips[0].bLost, 0);
    DDReleaseSurface(&FontDigitStrips[0]);
    ReleaseFont(&FontTable[0]);
}

INSTANTIATE_TEST_SUITE_P(Modes, DigitStripRestoreTest, ::testing::ValuesIn(Direct3DModes()), ModeName);
