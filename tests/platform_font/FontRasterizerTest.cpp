#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/graphics/WinFont.h"
#include "platform/host/Host.h"

namespace {

constexpr const char* kGothicFile = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
constexpr const char* kPGothicFile = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf";

// Literals here are UTF-8; the program hands the rasterizer code page 932.
std::string Sjis(const char* utf8)
{
    return Utf8ToCp932(utf8);
}

TEXTFONTSPEC Spec(const char* faceUtf8, int32_t height, int32_t width = 0)
{
    TEXTFONTSPEC spec{};
    const std::string face = Sjis(faceUtf8);
    std::strncpy(spec.szFace, face.c_str(), sizeof(spec.szFace) - 1);
    spec.nHeight = height;
    spec.nWidth = width;
    spec.nWeight = 400;
    spec.nCharSet = 128;
    return spec;
}

TEXTMASK Render(cFreeTypeRasterizer& r, const TEXTFONTSPEC& spec, const std::string& text)
{
    TEXTMASK mask;
    EXPECT_TRUE(r.RenderLine(spec, text.data(), static_cast<int32_t>(text.size()), &mask));
    return mask;
}

int InkCount(const TEXTMASK& mask)
{
    int n = 0;
    for (uint8_t v : mask.vCoverage) n += v;
    return n;
}

class FontRasterizerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HostSelect(HostKind::Headless);
        ASSERT_TRUE(m_Rasterizer.Ready());
    }
    cFreeTypeRasterizer m_Rasterizer;
};

}  // namespace

TEST(FontFaceMapTest, FaceNamesMapToInstalledFontsWithTheGothicFallback)
{
    const struct {
        const char* face;
        const char* file;
    } cases[] = {
        {"ＭＳ ゴシック", kGothicFile},  {"ＭＳ　ゴシック", kGothicFile}, {"ms gothic", kGothicFile},
        {"ＭＳ Ｐゴシック", kPGothicFile}, {"MS UI Gothic", kPGothicFile}, {"No Such Face", kGothicFile},
        {"", kGothicFile},
    };
    for (const auto& c : cases) EXPECT_EQ(FontFileForFace(Sjis(c.face).c_str()), c.file) << c.face;
    EXPECT_EQ(FontFileForFace(nullptr), kGothicFile);
}

TEST(FontFaceMapTest, Cp932CharactersAreOneOrTwoBytes)
{
    const struct {
        std::string bytes;
        uint16_t code;
        int32_t length;
    } cases[] = {
        {"A", 0x41, 1},
        {"\x82\xA0", 0x82A0, 2},        // hiragana a
        {"\x81\x5C", 0x815C, 2},        // a trail byte that is the backslash
        {"\xB1", 0xB1, 1},              // half-width katakana
        {"\x82", 0x82, 1},              // a lead byte at the end of the text
        {"\x82\x20", 0x82, 1},          // a lead byte without a valid trail byte
        {"\xFC\xFC", 0xFCFC, 2},
        {"\xFD\x40", 0xFD, 1},
    };
    for (const auto& c : cases) {
        int32_t length = 0;
        EXPECT_EQ(NextCp932Char(c.bytes.data(), static_cast<int32_t>(c.bytes.size()), &length), c.code);
        EXPECT_EQ(length, c.length);
    }
}

TEST_F(FontRasterizerTest, GothicCellsAreHalfAndFullWidthAtTheRequestedHeight)
{
    const TEXTFONTSPEC font = Spec("ＭＳ ゴシック", 16);
    const struct {
        const char* text;
        int32_t width;
    } cases[] = {
        {"A", 8}, {"i", 8}, {"W", 8}, {"あ", 16}, {"漢", 16}, {"Aあ1", 32}, {"ｱ", 8}, {"", 0},
    };
    for (const auto& c : cases) {
        const TEXTMASK mask = Render(m_Rasterizer, font, Sjis(c.text));
        EXPECT_EQ(mask.nWidth, c.width) << c.text;
        EXPECT_EQ(mask.nHeight, 16) << c.text;
        EXPECT_EQ(mask.vCoverage.size(), static_cast<size_t>(c.width) * 16);
    }
}

TEST_F(FontRasterizerTest, GlyphsHaveInkAndNoHalfTones)
{
    for (const char* text : {"A", "あ", "ｱ", "■"}) {
        const TEXTMASK mask = Render(m_Rasterizer, Spec("ＭＳ ゴシック", 16), Sjis(text));
        EXPECT_GT(InkCount(mask), 4) << text;
        for (uint8_t v : mask.vCoverage) ASSERT_LE(v, 1) << text;
    }
    // A space and a line of only the ideographic space have width but no ink.
    EXPECT_EQ(InkCount(Render(m_Rasterizer, Spec("ＭＳ ゴシック", 16), " ")), 0);
    EXPECT_EQ(InkCount(Render(m_Rasterizer, Spec("ＭＳ ゴシック", 16), Sjis("　"))), 0);
    // The full block fills most of its cell.
    EXPECT_GT(InkCount(Render(m_Rasterizer, Spec("ＭＳ ゴシック", 16), Sjis("■"))), 16 * 16 / 2);
}

TEST_F(FontRasterizerTest, ALineIsItsCharactersSideBySide)
{
    // What is measured is what is drawn: "Aあ" is "A" followed by "あ", column for column.
    const TEXTFONTSPEC font = Spec("ＭＳ ゴシック", 16);
    const TEXTMASK a = Render(m_Rasterizer, font, "A");
    const TEXTMASK b = Render(m_Rasterizer, font, Sjis("あ"));
    const TEXTMASK ab = Render(m_Rasterizer, font, Sjis("Aあ"));
    ASSERT_EQ(ab.nWidth, a.nWidth + b.nWidth);
    for (int32_t y = 0; y < ab.nHeight; ++y)
        for (int32_t x = 0; x < ab.nWidth; ++x) {
            const uint8_t want = x < a.nWidth ? a.vCoverage[y * a.nWidth + x]
                                              : b.vCoverage[y * b.nWidth + x - a.nWidth];
            ASSERT_EQ(ab.vCoverage[y * ab.nWidth + x], want) << x << "," << y;
        }
}

TEST_F(FontRasterizerTest, RenderingRepeatsExactly)
{
    const TEXTFONTSPEC font = Spec("ＭＳ ゴシック", 30);
    const std::string text = Sjis("ステージ１ Clear!");
    const TEXTMASK first = Render(m_Rasterizer, font, text);
    cFreeTypeRasterizer other;
    const TEXTMASK second = Render(other, font, text);
    EXPECT_EQ(first.nWidth, second.nWidth);
    EXPECT_EQ(first.vCoverage, second.vCoverage);
    EXPECT_EQ(first.nHeight, 30);
}

TEST_F(FontRasterizerTest, MissingCharactersComeFromTheGothicFallback)
{
    // A Latin face has no kana: the character is drawn from the fallback, not left blank.
    const TEXTMASK latin = Render(m_Rasterizer, Spec("Arial", 16), Sjis("あ"));
    EXPECT_GT(InkCount(latin), 4);
    EXPECT_EQ(latin.nWidth, 16);
}

TEST_F(FontRasterizerTest, HeightSignChoosesCellOrCharacterHeight)
{
    const TEXTMASK cell = Render(m_Rasterizer, Spec("ＭＳ ゴシック", 9), "A");
    EXPECT_EQ(cell.nHeight, 9);
    const TEXTMASK character = Render(m_Rasterizer, Spec("ＭＳ ゴシック", -16), "A");
    EXPECT_GE(character.nHeight, 16);
    // A GDI width makes the characters narrower or wider.
    EXPECT_LT(Render(m_Rasterizer, Spec("ＭＳ ゴシック", 16, 4), "AAAA").nWidth,
              Render(m_Rasterizer, Spec("ＭＳ ゴシック", 16), "AAAA").nWidth);
}

TEST_F(FontRasterizerTest, BadTextIsHandled)
{
    const TEXTFONTSPEC font = Spec("ＭＳ ゴシック", 16);
    TEXTMASK mask;
    EXPECT_FALSE(m_Rasterizer.RenderLine(font, nullptr, 3, &mask));
    EXPECT_FALSE(m_Rasterizer.RenderLine(font, "A", 1, nullptr));
    // A count past the NUL stops at the NUL; -1 means up to the NUL.
    EXPECT_TRUE(m_Rasterizer.RenderLine(font, "AB\0CD", 5, &mask));
    EXPECT_EQ(mask.nWidth, 16);
    EXPECT_TRUE(m_Rasterizer.RenderLine(font, "ABC", -1, &mask));
    EXPECT_EQ(mask.nWidth, 24);
    // A lone lead byte and a byte without a character still take their place.
    EXPECT_TRUE(m_Rasterizer.RenderLine(font, "\x82", 1, &mask));
    EXPECT_EQ(mask.nHeight, 16);
    // An unterminated face name is read only within its 256 bytes.
    TEXTFONTSPEC junk = font;
    std::memset(junk.szFace, 'x', sizeof(junk.szFace));
    EXPECT_TRUE(m_Rasterizer.RenderLine(junk, "A", 1, &mask));
    EXPECT_EQ(mask.nWidth, 8);
    // Absurd sizes are bounded.
    EXPECT_TRUE(m_Rasterizer.RenderLine(Spec("ＭＳ ゴシック", 0x7FFFFFFF), "A", 1, &mask));
    EXPECT_LE(mask.nHeight, 1024);
}

TEST_F(FontRasterizerTest, InstalledRasterizerServesTheTextCalls)
{
    ASSERT_TRUE(InstallFontRasterizer());
    ASSERT_NE(GetTextRasterizer(), nullptr);
    TEXTMASK mask;
    EXPECT_TRUE(GetTextRasterizer()->RenderLine(Spec("ＭＳ ゴシック", 16), "AB", 2, &mask));
    EXPECT_EQ(mask.nWidth, 16);
    EXPECT_TRUE(InstallFontRasterizer());
}
