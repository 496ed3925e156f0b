#include <algorithm>

#include "core/Text.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/DDPalette.h"
#include "platform/graphics/BitmapFile.h"
#include "tests/media_graphics/GraphicsFixture.h"

namespace {

using bmpfixture::Image;
using bmpfixture::Options;

class BitmapSurfaceTest : public GraphicsFixture {
protected:
    // A strip whose every column has its own colour (red = column, green = 200 - row).
    static Image Strip(int32_t width, int32_t height) {
        Image image{width, height, {}};
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                image.pixels.push_back(static_cast<uint32_t>(x + 1) << 16 | static_cast<uint32_t>(200 - y) << 8 | 7);
        return image;
    }
    static uint32_t Rgb(uint32_t raw) { return raw & 0xFFFFFF; }
};

TEST_F(BitmapSurfaceTest, Direct3DBitmapKeysOutTheTransparentColour) {
    ASSERT_TRUE(StartD3D(32, 1));
    lpDTCon->rgbTransmit = RGBTRIPLE{0xFF, 0x00, 0xFF};
    const std::string file = WriteBmp("keyed.bmp", Image{3, 2, {0xFF00FF, 0x102030, 0xFF00FF, 0x405060, 0x708090, 0xFF00FE}}, Options{});
    DDSURFACEDATA sd;
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, file.c_str(), 1, 32, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(Pixel(sd, 0, 0), 0u);
    EXPECT_EQ(Pixel(sd, 1, 0), 0xFF102030u);
    EXPECT_EQ(Pixel(sd, 2, 1), 0xFFFF00FEu);
    EXPECT_EQ(sd.nWidth, 3);
    EXPECT_EQ(sd.nHeight, 2);
    EXPECT_STREQ(sd.szFileName, file.c_str());
    EXPECT_STREQ(sd.szSurfaceType, "OffScreenFromFile");
    EXPECT_EQ(sd.lpDT->bRenderTarget, 0);
    EXPECT_EQ(sd.lpDT->bColorKey, 1);
    EXPECT_EQ(std::count(SurfaceList.begin(), SurfaceList.end(), &sd), 1);
}

TEST_F(BitmapSurfaceTest, DirectDrawThirtyTwoBitBitmapPixelOfTheKeyColourIsTransparent) {
    ASSERT_TRUE(StartDD(32, 1));
    DDSetTransmit(255, 0, 255);
    const std::string file = WriteBmp("ddkeyed.bmp", Image{3, 1, {0xFF00FF, 0x102030, 0xFF00FE}}, Options{});
    DDSURFACEDATA sprite;
    ASSERT_EQ(DDCreateSurfaceFromFile(&sprite, file.c_str(), 1, 32, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(Pixel(sprite, 0, 0), dwTransmit) << "the bitmap's key pixel is the very word of the key";
    DDSURFACEDATA dst;
    ASSERT_TRUE(DDCreateSurface(&dst, 3, 1, 0, 0, 0, 0, 0));
    ColorPalette[7] = PALETTEENTRY{0x44, 0x55, 0x66, 0};
    DDFillRect(&dst, 0, 0, 3, 1, 7);
    DDBlt(&dst, 0, 0, 3, 1, &sprite, 0, 0, 1);
    EXPECT_EQ(Rgb(Pixel(dst, 0, 0)), 0x445566u) << "the key colour is not drawn";
    EXPECT_EQ(Rgb(Pixel(dst, 1, 0)), 0x102030u);
    EXPECT_EQ(Rgb(Pixel(dst, 2, 0)), 0xFF00FEu) << "a colour one step away is drawn";
    DDReleaseSurface(&dst);
    DDReleaseSurface(&sprite);
}

TEST_F(BitmapSurfaceTest, Direct3DSixteenBitTakesTheEightBitColourKey) {
    ASSERT_TRUE(StartD3D(16, 1));
    lpDTCon->rgbColorKey = RGBTRIPLE{0x00, 0xFF, 0x00};
    const std::string file = WriteBmp("green.bmp", Image{2, 1, {0x00FF00, 0xF80000}}, Options{});
    DDSURFACEDATA sd;
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, file.c_str(), 1, 16, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(Pixel(sd, 0, 0), 0u);
    EXPECT_EQ(Pixel(sd, 1, 0), 0xFC00u) << "opaque red in A1R5G5B5";
}

TEST_F(BitmapSurfaceTest, Direct3DMirrorsWholeFramesOnly) {
    ASSERT_TRUE(StartD3D(32, 1));
    const Image strip = Strip(100, 2);
    const std::string file = WriteBmp("strip.bmp", strip, Options{});
    DDSURFACEDATA sd;
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, file.c_str(), 0, 32, 0, 0, 0, 0, 32, 0, 0), 0);
    EXPECT_EQ(sd.nMirrorWidth, 32);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 100; ++x) {
            const int32_t from = x < 96 ? (x / 32) * 32 + 31 - x % 32 : x;
            ASSERT_EQ(Rgb(Pixel(sd, x, y)), strip.At(from, y)) << x << "," << y;
        }
    EXPECT_EQ(SurfaceList.size(), 3u) << "the temporary copy has left the surface list";
    DDSURFACEDATA heightOnly;
    ASSERT_EQ(DDCreateSurfaceFromFile(&heightOnly, file.c_str(), 0, 32, 0, 0, 0, 0, 0, 1, 0), 0);
    EXPECT_EQ(Rgb(Pixel(heightOnly, 0, 0)), strip.At(0, 0)) << "a mirror height alone leaves the image as it is";
    EXPECT_EQ(Rgb(Pixel(heightOnly, 0, 1)), strip.At(0, 1));
}

TEST_F(BitmapSurfaceTest, DirectDrawMirrorsFramesAndSkipsThePartialOne) {
    ASSERT_TRUE(StartDD(32, 1));
    const Image strip = Strip(100, 4);
    const std::string file = WriteBmp("strip.bmp", strip, Options{});
    DDSURFACEDATA sd;
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, file.c_str(), 0, 32, 1, 0, 0, 0, 32, 0, 0), 0);
    for (int32_t x = 0; x < 100; ++x) {
        const uint32_t expected = x < 96 ? strip.At((x / 32) * 32 + 31 - x % 32, 1) : 0u;
        ASSERT_EQ(Rgb(Pixel(sd, x, 1)), expected) << x;
    }
    DDSURFACEDATA both;
    ASSERT_EQ(DDCreateSurfaceFromFile(&both, file.c_str(), 0, 32, 1, 0, 0, 0, 32, 2, 0), 0);
    EXPECT_EQ(Rgb(Pixel(both, 0, 0)), strip.At(31, 1));
    EXPECT_EQ(Rgb(Pixel(both, 33, 3)), strip.At(62, 2));
    DDSURFACEDATA rows;
    ASSERT_EQ(DDCreateSurfaceFromFile(&rows, file.c_str(), 0, 32, 1, 0, 0, 0, 0, 2, 0), 0);
    EXPECT_EQ(Rgb(Pixel(rows, 5, 0)), strip.At(5, 1)) << "a mirror height flips each row frame";
    EXPECT_EQ(Rgb(Pixel(rows, 5, 3)), strip.At(5, 2));
}

TEST_F(BitmapSurfaceTest, DirectDrawSixteenBitKeepsOpaquePixelsOffTheKey) {
    ASSERT_TRUE(StartDD(16, 0));
    dwTransmit = 0xF81F;   // magenta in R5G6B5
    const std::string file = WriteBmp("key16.bmp", Image{3, 1, {0xFF00FF, 0x000000, 0xFFFFFF}}, Options{});
    for (int32_t bits : {24, 32}) {
        Options o;
        o.bits = bits;
        const std::string f = WriteBmp("key16_" + std::to_string(bits) + ".bmp", Image{3, 1, {0xFF00FF, 0x000000, 0xFFFFFF}}, o);
        DDSURFACEDATA sd;
        ASSERT_EQ(DDCreateSurfaceFromFile(&sd, f.c_str(), 1, 16, 1, 0, 0, 0, 0, 0, 0), 0);
        EXPECT_EQ(Pixel(sd, 0, 0), 0xF81Eu) << bits << ": opaque magenta moves one step off the key";
        EXPECT_EQ(Pixel(sd, 1, 0), 0xF81Fu) << bits << ": the context's colour (black) becomes the key";
        EXPECT_EQ(Pixel(sd, 2, 0), 0xFFFFu) << bits;
    }
    (void)file;
}

TEST_F(BitmapSurfaceTest, DirectDrawEightBitCopiesPaletteIndices) {
    ASSERT_TRUE(StartDD(8, 0));
    for (int32_t bits : {8, 4}) {
        Options o;
        o.bits = bits;
        for (int i = 0; i < (1 << bits); ++i) o.palette.push_back(static_cast<uint32_t>(i * 0x010101));
        const Image image{5, 2, {1, 2, 3, 4, 5, 15, 14, 13, 12, 11}};
        const std::string file = WriteBmp("idx" + std::to_string(bits) + ".bmp", image, o);
        DDSURFACEDATA sd;
        ASSERT_EQ(DDCreateSurfaceFromFile(&sd, file.c_str(), 0, 8, 1, 0, 0, 0, 0, 0, 0), 0);
        for (int32_t y = 0; y < 2; ++y)
            for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(Pixel(sd, x, y), image.At(x, y)) << bits << ": " << x << "," << y;
    }
    // A true-colour bitmap takes the nearest colours of the display palette (placeholders i, i, 0).
    const std::string file = WriteBmp("true.bmp", Image{1, 1, {0x646400}}, Options{});
    DDSURFACEDATA sd;
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, file.c_str(), 0, 8, 1, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(Pixel(sd, 0, 0), 100u);
}

TEST_F(BitmapSurfaceTest, DirectDrawThirtyTwoBitLoadsEveryFileDepth) {
    ASSERT_TRUE(StartDD(32, 1));
    const Image colours{4, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080, 0x40C020, 0x102030}};
    for (int32_t bits : {1, 4, 8, 16, 24, 32}) {
        Options o;
        o.bits = bits;
        Image image = colours;
        if (bits <= 8) {
            o.palette = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00};
            for (uint32_t& p : image.pixels) p = (p == 0xFFFFFF) ? 1 : 0;
        }
        const std::string file = WriteBmp("depth" + std::to_string(bits) + ".bmp", image, o);
        DECODEDBITMAP decoded;
        ASSERT_TRUE(LoadBitmapFile(file.c_str(), &decoded, nullptr));
        DDSURFACEDATA sd;
        ASSERT_EQ(DDCreateSurfaceFromFile(&sd, file.c_str(), 0, 32, 1, 0, 0, 0, 0, 0, 0), 0) << bits;
        for (int32_t y = 0; y < 2; ++y)
            for (int32_t x = 0; x < 4; ++x)
                EXPECT_EQ(Rgb(Pixel(sd, x, y)), DecodedBitmapPixel(decoded, x, y) & 0xFFFFFF) << bits << ": " << x << "," << y;
    }
}

TEST_F(BitmapSurfaceTest, TableLoadCreatesFilesAndBlanksAndToleratesOptionalEntries) {
    ASSERT_TRUE(StartD3D(32, 1));
    SetEntry(1, WriteBmp("one.bmp", Image{2, 2, {1, 2, 3, 4}}, Options{}), 1);
    SetEntry(2, "E", 1);
    table[2].nWidth = 10;
    table[2].nHeight = 12;
    SetEntry(3, Project("missing.bmp"), 0, 0, 0, 1);
    const int32_t indices[] = {1, 2, 3};
    ASSERT_TRUE(DDLoadBitmapTable(surfaces, indices, 3));
    EXPECT_NE(surfaces[1].lpDT->lpTexture, nullptr);
    EXPECT_EQ(surfaces[2].nWidth, 10);
    EXPECT_EQ(surfaces[2].nHeight, 12);
    EXPECT_EQ(surfaces[2].lpDT->bColorKey, 1);
    EXPECT_EQ(surfaces[3].lpDT, nullptr) << "a failed optional entry stays released";
    EXPECT_NE(ReadText("Report.txt").find("LoadImage Err"), std::string::npos);
    EXPECT_NE(ReadText("Trace.txt").find("LOADIMAGE_ERR"), std::string::npos);
    EXPECT_TRUE(HostRecordedMessageBoxes().empty());

    table[3].bOptional = 0;
    EXPECT_FALSE(DDLoadBitmapTable(surfaces, indices, 3));
    const auto boxes = HostRecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, table[3].szFileName + std::string(" の読み込みに失敗！"));

    const int32_t outside[] = {kTableSize};
    EXPECT_FALSE(DDLoadBitmapTable(surfaces, outside, 1));
}

TEST_F(BitmapSurfaceTest, MalformedFileFailsAsAnUnreadableImage) {
    ASSERT_TRUE(StartDD(32, 1));
    ASSERT_TRUE(bmpfixture::WriteFile((dir / "bad.bmp").string(), {'B', 'M', 1, 2, 3}));
    DDSURFACEDATA sd;
    EXPECT_EQ(DDCreateSurfaceFromFile(&sd, Project("bad.bmp").c_str(), 0, 32, 0, 0, 0, 0, 0, 0, 0), LOADIMAGE_ERR);
    EXPECT_EQ(sd.lpDDraw, nullptr);
    EXPECT_FALSE(DDReportSurfaceError(LOADIMAGE_ERR));
    EXPECT_TRUE(DDReportSurfaceError(0));
}

TEST_F(BitmapSurfaceTest, BitmapSizeCheckUnderDirectDraw) {
    ASSERT_TRUE(StartDD(32, 1));
    const std::string file = WriteBmp("size.bmp", Image{5, 3, std::vector<uint32_t>(15, 0)}, Options{});
    int32_t exceeds = -1;
    EXPECT_TRUE(DDBitmapExceedsSize(&exceeds, file.c_str(), 5, 3));
    EXPECT_EQ(exceeds, 0);
    EXPECT_TRUE(DDBitmapExceedsSize(&exceeds, file.c_str(), 4, 3));
    EXPECT_EQ(exceeds, 1);
    EXPECT_FALSE(DDBitmapExceedsSize(&exceeds, Project("none.bmp").c_str(), 4, 3));
    EXPECT_EQ(exceeds, 0);
}

TEST_F(BitmapSurfaceTest, PaletteMapHoldsTheLowestIndexOfEachColour) {
    ASSERT_TRUE(StartD3D(32, 1));
    ColorPalette[3] = PALETTEENTRY{0x10, 0x20, 0x30, 0};
    ColorPalette[5] = PALETTEENTRY{0x40, 0x50, 0x60, 0};
    ColorPalette[9] = PALETTEENTRY{0x40, 0x50, 0x60, 0};
    const std::string file = WriteBmp("mapped.bmp", Image{3, 1, {0x102030, 0x405060, 0xABCDEF}}, Options{});
    DDSURFACEDATA sd;
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, file.c_str(), 0, 32, 0, 0, 0, 1, 0, 0, 0), 0);
    ASSERT_NE(sd.lpDT->lpIndexMap, nullptr);
    EXPECT_EQ(sd.lpDT->lpIndexMap[0], 3);
    EXPECT_EQ(sd.lpDT->lpIndexMap[1], 5);
    EXPECT_EQ(sd.lpDT->lpIndexMap[2], 0) << "a colour of no entry maps to 0";
}

}  // namespace
