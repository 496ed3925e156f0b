#include "TextTestSupport.h"
#include "media/graphics/DDFill.h"

using TextExtentTest = TextTest;

TEST_P(TextExtentTest, FixedGridMeasuresCharactersAndLines)
{
    cFont* font = MakeFont(16, 16, 20, 0);
    const struct {
        const char* text;
        LONG cx, cy;
    } cases[] = {
        {"ＡＢ\nc", 32, 40},          // a double-byte character is one cell
        {"", 0, 0},
        {"abc", 48, 20},
        {"a\n\nbcd", 48, 60},
        {"ab\n", 32, 20},              // a final newline starts no line
        {"ソ\\", 32, 20},              // a trail byte that is the backslash
        {"\x82", 16, 20},              // a lone lead byte is one cell
    };
    for (const auto& c : cases) {
        const SIZE size = GetTextExtent(font, c.text);
        EXPECT_EQ(size.cx, c.cx) << c.text;
        EXPECT_EQ(size.cy, c.cy) << c.text;
    }
    // Lines far longer than the old 511-byte line buffer are measured whole.
    const std::string longLine(3000, 'x');
    EXPECT_EQ(GetTextExtent(font, longLine.c_str()).cx, 3000 * 16);
    EXPECT_EQ(LineLength("ab\ncd"), 2);
    EXPECT_EQ(LineLength("abcd"), 4);
}

TEST_P(TextExtentTest, FormattedTextIsFormattedWhole)
{
    // 30 lines of 10 characters: far beyond the 256 bytes a formatted text once had.
    cFont* font = MakeFont(9, 10, 10, 0);
    std::string lines;
    for (int i = 0; i < 30; ++i) lines += "HHHHHHHHHH\n";
    DDSURFACEDATA* dest = NewSurface(120, 310, 0, 0);
    DDFillRect(dest, 0, 0, 120, 310, kBackColour);
    FontPrintf(font, dest, 0, 0, "%s%d", lines.c_str(), 7);
    const uint32_t text = PaletteRaw(dest, kTextColour);
    EXPECT_GT(CountRaw(dest, 0, 290, 100, 10, text), 0) << "line 30";
    EXPECT_GT(CountRaw(dest, 0, 300, 10, 10, text), 0) << "the number after it";
    // A project text with a per cent sign is drawn as it is.
    DDFillRect(dest, 0, 0, 120, 310, kBackColour);
    FontDraw(font, dest, 0, 0, "100%s");
    EXPECT_GT(CountRaw(dest, 40, 0, 10, 10, text), 0);
}

TEST_P(TextExtentTest, TextListIsOneColumnInABox)
{
    DDSURFACEDATA* window = NewSurface(640, 480, 0, 1);
    DDFillRect(window, 0, 0, 640, 480, 77);
    // The list draws with Font16 of the font table.
    InitFont(&Font16, "ＭＳ ゴシック", 0, 16, 16, 16, kTextColour, window, 1, 240, nullptr, 0);
    DDSURFACEDATA* dest = NewSurface(320, 120, 0, 0);
    DDFillRect(dest, 0, 0, 320, 120, kBackColour);
    const std::vector<std::string> texts = {"ゲーム", "はい", "いいえ", "未使用"};
    DrawTextList(texts, dest, 40, 20, 1, 2, 1);
    const uint32_t picture = Get(dest, 41, 21) & ColourBits(dest);
    const uint32_t text = PaletteRaw(dest, kTextColour);
    EXPECT_NE(picture, Get(dest, 0, 0) & ColourBits(dest));
    // " いいえ" is the widest: 4 cells of 16 with the cursor's room; two lines of 16.
    EXPECT_EQ(CountRaw(dest, 40, 20, 64, 32, picture) + CountRaw(dest, 40, 20, 64, 32, text), 64 * 32);
    EXPECT_EQ(CountRaw(dest, 40, 20, 16, 32, text), 0) << "room for the cursor";
    ExpectCell(dest, &Font16, 56, 20, "は", text, picture, "first entry");
    ExpectCell(dest, &Font16, 88, 36, "え", text, picture, "second entry");
    EXPECT_EQ(Get(dest, 104, 25) & ColourBits(dest), PaletteRaw(dest, 240)) << "frame right of the box";
    // Count 0 draws nothing.
    DDFillRect(dest, 0, 0, 320, 120, kBackColour);
    DrawTextList(texts, dest, 40, 20, 0, 0, 0);
    EXPECT_EQ(CountRaw(dest, 0, 0, 320, 120, picture), 0);
    ReleaseFont(&Font16);
}

INSTANTIATE_TEST_SUITE_P(Modes, TextExtentTest, ::testing::ValuesIn(AllModes()), ModeName);
