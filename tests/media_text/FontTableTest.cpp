#include <algorithm>

#include "TextTestSupport.h"
#include "media/graphics/DDFill.h"

using FontTableTest = TextTest;

TEST_P(FontTableTest, DefaultRecordsMakeTheThreeFontsWithTheirPictures)
{
    const struct {
        int32_t height, advance, line, cache;
    } want[3] = {{9, 10, 10, 2}, {16, 16, 16, 2}, {30, 32, 32, 0}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(DefaultFontDescs[i].szFaceName, "ＭＳ ゴシック");
        EXPECT_EQ(DefaultFontDescs[i].nHeight, want[i].height);
        EXPECT_EQ(DefaultFontDescs[i].nAdvance, want[i].advance);
        EXPECT_EQ(DefaultFontDescs[i].nLineHeight, want[i].line);
        EXPECT_EQ(DefaultFontDescs[i].nGlyphCache, want[i].cache);
        EXPECT_EQ(DefaultFontDescs[i].nColor, 241);
        EXPECT_EQ(DefaultFontDescs[i].nWindowPicture, 45);
        EXPECT_EQ(DefaultFontDescs[i].nLetterPicture, 50);
        EXPECT_EQ(DefaultDigitStripDescs[i].bColorKey, 1);
    }

    // The shell's system surfaces: the window picture (45) and the letter picture (50).
    static DDSURFACEDATA system[71];
    ASSERT_TRUE(DDCreateSurface(&system[45], 640, 480, 0, 1, 1, 0, 0));
    ASSERT_TRUE(DDCreateSurface(&system[50], 26 * 16, 16, 1, 1, 1, 0, 0));
    DDSURFACEDATA* const savedArray = lpSurfaceArray;
    const int32_t savedCount = nSurfaceCount;
    lpSurfaceArray = system;
    nSurfaceCount = 71;

    FontDesc records[3];
    std::copy(DefaultFontDescs, DefaultFontDescs + 3, records);
    for (FontDesc& r : records)
        if (r.nGlyphCache == 2) r.nGlyphCache = 1;   // as start-up resolves the "System.ini" choice
    cFont* fonts = new cFont[3];
    EXPECT_EQ(CreateFontTable(fonts, records, 3), 1);
    const int32_t firstId = fonts[0].m_nFontId;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(fonts[i].m_lpWindowSD, &system[45]);
        EXPECT_EQ(fonts[i].m_lpLetterSD, &system[50]);
        EXPECT_EQ(fonts[i].m_bLetterPictures, 1);
        EXPECT_EQ(fonts[i].m_nFontId, firstId + i);
        EXPECT_EQ(fonts[i].m_lpFastFont_Half != nullptr, i < 2);
    }
    EXPECT_EQ(fonts[0].m_lpFastFont_FullAdd->m_nCapacity, IsD3D() ? 32 * 32 : 32 * 30);
    EXPECT_EQ(fonts[0].m_lpFastFont_FullAdd->m_nColumns, 32);
    EXPECT_EQ(fonts[2].m_lpFastFont_FullAdd, nullptr);
    EXPECT_EQ(std::count(FontList.begin(), FontList.end(), &fonts[1]), 1);

    DDSURFACEDATA strips[3];
    EXPECT_EQ(CreateDigitSurfaces(strips, DefaultDigitStripDescs, 3, fonts, records), 1);
    EXPECT_EQ(strips[2].nWidth, 320);
    EXPECT_EQ(strips[2].nHeight, 32);

    for (int i = 0; i < 3; ++i) {
        DDReleaseSurface(&strips[i]);
        ReleaseFont(&fonts[i]);
    }
    delete[] fonts;
    EXPECT_TRUE(FontList.empty());
    lpSurfaceArray = savedArray;
    nSurfaceCount = savedCount;
    DDReleaseSurface(&system[45]);
    DDReleaseSurface(&system[50]);
}

TEST_P(FontTableTest, CacheWithoutCellSizeWorksUncached)
{
    cFont* font = MakeFont(16, 0, 16, 1);   // proportional: no cells to cache
    EXPECT_EQ(font->m_lpFastFont_Half, nullptr);
    EXPECT_EQ(font->m_lpFastFont_FullAdd, nullptr);
    DDSURFACEDATA* dest = NewSurface(64, 20, 0, 0);
    DDFillRect(dest, 0, 0, 64, 20, kBackColour);
    FontDraw(font, dest, 0, 0, "AB");
    EXPECT_GT(CountRaw(dest, 0, 0, 64, 20, PaletteRaw(dest, kTextColour)), 10);
}

INSTANTIATE_TEST_SUITE_P(Modes, FontTableTest, ::testing::ValuesIn(AllModes()), ModeName);

// A start-up or device failure can leave a game font listed when the program ends; the exit's own
// clean-up must still be sound (the sanitizers end the child with an error otherwise).
TEST(FontTableExitTest, FontStillListedAtExitLeavesTheListCleanly)
{
    EXPECT_EXIT(
        {
            FontList.push_back(&FontTable[0]);
            FontList.push_back(&FontTable[2]);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}
