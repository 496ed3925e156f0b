// The palette loaded from the palette image, the transparent colour in its forms, the palette
// read-back and the blend table file.
#include <cstdio>
#include <string>
#include <vector>

#include "GraphicsTestSupport.h"
#include "media/graphics/DDEffects.h"
#include "media/graphics/DDPalette.h"

namespace {

// A 24-bit bottom-up bitmap file: pixel(x, y) gives 0xRRGGBB.
template <class Fn>
std::vector<uint8_t> Bitmap24(int32_t w, int32_t h, Fn pixel)
{
    const int32_t stride = (w * 3 + 3) & ~3;
    const uint32_t size = 54 + static_cast<uint32_t>(stride * h);
    std::vector<uint8_t> f(size, 0);
    auto put16 = [&](size_t at, uint32_t v) { f[at] = v & 255; f[at + 1] = (v >> 8) & 255; };
    auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    put16(26, 1);
    put16(28, 24);
    put32(34, static_cast<uint32_t>(stride * h));
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* row = f.data() + 54 + static_cast<size_t>(h - 1 - y) * stride;
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t c = pixel(x, y);
            row[x * 3] = c & 255;
            row[x * 3 + 1] = (c >> 8) & 255;
            row[x * 3 + 2] = (c >> 16) & 255;
        }
    }
    return f;
}

void WriteFile(const char* path, const std::vector<uint8_t>& bytes)
{
    FILE* fp = std::fopen(path, "wb");
    ASSERT_NE(fp, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), fp);
    std::fclose(fp);
}

// An 8-bit channel value that every 5- and 6-bit format keeps exactly: the expansion of a 5-bit
// value.
int32_t Exact(int32_t k5) { return (k5 << 3) | (k5 >> 2); }

// Palette colour n of the test image (never magenta, the transparent colour).
uint32_t PaletteColour(int32_t n)
{
    return static_cast<uint32_t>(Exact(n % 32) << 16 | Exact((n / 32) * 4 + 1) << 8 | Exact(31 - n % 32));
}

class PaletteTest : public GraphicsTest {
protected:
    // Files of their own for each mode, so that modes tested side by side do not meet.
    std::string File(const char* name) const { return std::string("gfx_") + GetParam().name + "_" + name; }
    void TearDown() override
    {
        for (const char* name : {"palette.bmp", "small.bmp", "table.dat"}) std::remove(File(name).c_str());
        GraphicsTest::TearDown();
    }
};

// At 8 bits the palette and the transparent index come from an 8-bit image's colour table, and
// nothing is read back; these read true-colour images.
using TrueColourPaletteTest = PaletteTest;

TEST_P(TrueColourPaletteTest, PaletteComesFromTheImagesBlockInTheModesUnits)
{
    WriteFile(File("palette.bmp").c_str(), Bitmap24(16, 24, [](int32_t x, int32_t y) {
                  return y < 8 ? 0xFF00FFu : PaletteColour((y - 8) * 16 + x);
              }));
    PALETTEENTRY pal[256];
    ASSERT_TRUE(DDLoadPaletteFromFile(pal, File("palette.bmp").c_str(), 1));
    const PIXELMASKS& m = SurfaceMasks;
    for (int32_t n = 0; n < 256; ++n) {
        const uint32_t c = PaletteColour(n);
        int32_t r = static_cast<int32_t>(c >> 16), g = static_cast<int32_t>((c >> 8) & 255), b = static_cast<int32_t>(c & 255);
        if (!IsD3D() && Depth() == 16) {
            // DirectDraw at 16 bits keeps the display format's own channel units.
            r = r * m.nRMask / 255;
            g = g * m.nGMask / 255;
            b = b * m.nBMask / 255;
        } else if (Depth() == 16) {
            // The texture keeps the top five bits; the palette holds them widened to 0..255.
            r = (r >> 3) * 255 / 31;
            g = (g >> 3) * 255 / 31;
            b = (b >> 3) * 255 / 31;
        }
        ASSERT_EQ(pal[n].peRed, r) << n;
        ASSERT_EQ(pal[n].peGreen, g) << n;
        ASSERT_EQ(pal[n].peBlue, b) << n;
    }
}

TEST_P(TrueColourPaletteTest, ImagesThatCannotBeReadLeaveThePaletteAsItWas)
{
    WriteFile(File("small.bmp").c_str(), Bitmap24(16, 20, [](int32_t, int32_t) { return 0x102030u; }));
    PALETTEENTRY pal[256];
    for (int i = 0; i < 256; ++i) pal[i] = {7, 8, 9, 1};
    EXPECT_FALSE(DDLoadPaletteFromFile(pal, "gfx_palette_missing.bmp", 1));
    EXPECT_FALSE(DDLoadPaletteFromFile(pal, File("small.bmp").c_str(), 1)) << "no 16 x 24 block";
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(pal[i].peRed, 7);
        ASSERT_EQ(pal[i].peBlue, 9);
    }
}

TEST_P(TrueColourPaletteTest, TransparentColourComesFromTheTopLeftPixel)
{
    WriteFile(File("palette.bmp").c_str(), Bitmap24(16, 24, [](int32_t x, int32_t y) {
                  return x == 0 && y == 0 ? 0xFF00FFu : 0x204060u;
              }));
    // As at start-up: no transparent colour is known while the palette image is read.
    dwTransmit = 0;
    if (IsD3D()) lpDTCon->rgbTransmit = lpDTCon->rgbColorKey = RGBTRIPLE{0, 0, 0};
    ASSERT_EQ(SetTrans(File("palette.bmp").c_str()), 1);
    if (!IsD3D()) {
        // The same word DDSetTransmit gives: the unused top byte of a 32-bit pixel is 0.
        EXPECT_EQ(dwTransmit, Opaque(255, 0, 255));
    } else if (Depth() == 16) {
        // A1R5G5B5 magenta: channels 31, 0, 31 with the alpha bit.
        EXPECT_EQ(lpDTCon->rgbTransmit.rgbtRed, 31);
        EXPECT_EQ(lpDTCon->rgbTransmit.rgbtGreen, 0);
        EXPECT_EQ(lpDTCon->rgbTransmit.rgbtBlue, 31);
        EXPECT_EQ(lpDTCon->wTransmit_16, 0xFC1F);
        EXPECT_EQ(lpDTCon->dwTransmitBack, 0xFF1F001Fu);
    } else {
        EXPECT_EQ(lpDTCon->dwTransmitBack, 0xFFFF00FFu);
        EXPECT_EQ(dwTransmit, 0u);
        EXPECT_EQ(PalNumToRGB(0), 0u) << "index 0 is a transparent black texel";
    }
    EXPECT_EQ(SetTrans("gfx_palette_missing.bmp"), 0);
}

TEST_P(TrueColourPaletteTest, ReadBackSkipsTransparentTexelsUnderDirect3D)
{
    DDSURFACEDATA* sd = NewSurface(16, 24, 0, 1);
    for (int32_t n = 0; n < 256; ++n) Put(sd, n % 16, 8 + n / 16, Opaque(n, 255 - n, 128));
    Put(sd, 0, 8, 0); // entry 0: a transparent texel under Direct3D
    PALETTEENTRY pal[256];
    for (auto& e : pal) e = {1, 2, 3, 4};
    ASSERT_EQ(DDSetPalette_UnPal(pal, sd), 1);
    if (IsD3D()) {
        EXPECT_EQ(pal[0].peRed, 1) << "kept";
    } else {
        EXPECT_EQ(pal[0].peRed, 0);
    }
    int32_t r, g, b;
    const uint32_t raw = Opaque(200, 55, 128);
    Channels(raw, &r, &g, &b);
    if (!IsD3D() && Depth() == 16) {
        const PIXELMASKS& m = SurfaceMasks;
        r = static_cast<int32_t>(raw >> m.nRShift) & m.nRMask;
        g = static_cast<int32_t>(raw >> m.nGShift) & m.nGMask;
        b = static_cast<int32_t>(raw >> m.nBShift) & m.nBMask;
    }
    EXPECT_EQ(pal[200].peRed, r);
    EXPECT_EQ(pal[200].peGreen, g);
    EXPECT_EQ(pal[200].peBlue, b);
    if (Depth() == 32) {
        EXPECT_EQ(pal[200].peFlags, IsD3D() ? 255 : 0) << "byte 3 goes to the flags";
    }
}

TEST_P(PaletteTest, BlendTableFileMustBeWhole)
{
    std::vector<uint8_t> table(65536);
    for (size_t i = 0; i < table.size(); ++i) table[i] = static_cast<uint8_t>(i * 31 + 7);
    for (auto& v : BlendTable) v = 0x55;
    WriteFile(File("table.dat").c_str(), std::vector<uint8_t>(table.begin(), table.begin() + 1000));
    if (IsD3D()) {
        EXPECT_TRUE(DDLoadTableFile(BlendTable, File("table.dat").c_str())) << "Direct3D needs no table";
        EXPECT_EQ(BlendTable[0], 0x55);
        return;
    }
    EXPECT_FALSE(DDLoadTableFile(BlendTable, File("table.dat").c_str())) << "a short file is refused";
    EXPECT_EQ(BlendTable[0], 0x55);
    EXPECT_EQ(BlendTable[65535], 0x55);
    EXPECT_FALSE(DDLoadTableFile(BlendTable, "gfx_blend_missing.dat"));
    WriteFile(File("table.dat").c_str(), table);
    ASSERT_TRUE(DDLoadTableFile(BlendTable, File("table.dat").c_str()));
    EXPECT_EQ(BlendTable[1], table[1]);
    EXPECT_EQ(BlendTable[65535], table[65535]);
}

TEST_P(PaletteTest, TransparentColourFromBytesInEveryForm)
{
    if (IsD3D() && Depth() == 16) {
        DDSetTransmit(31, 0, 31);
        EXPECT_EQ(lpDTCon->wTransmit_16, 0xFC1F);
        EXPECT_EQ(lpDTCon->dwTransmitBack, 0xFF1F001Fu);
        EXPECT_EQ(lpDTCon->dwTransmitTexture, 0u);
    } else if (IsD3D()) {
        DDSetTransmit(10, 20, 30);
        EXPECT_EQ(lpDTCon->dwTransmitBack, 0xFF0A141Eu);
        EXPECT_EQ(lpDTCon->wTransmit_16, 0);
        EXPECT_EQ(dwTransmit, 0u);
    } else if (Depth() == 16) {
        DDSetTransmit(255, 0, 255);
        EXPECT_EQ(dwTransmit, Opaque(255, 0, 255));
    } else if (Depth() == 32) {
        DDSetTransmit(10, 20, 30);
        EXPECT_EQ(dwTransmit, 0x0A141Eu);
    } else {
        dwTransmit = 5;
        DDSetTransmit(10, 20, 30);
        EXPECT_EQ(dwTransmit, 5u) << "8 bits keep their index";
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, PaletteTest, testing::ValuesIn(AllModes()), ModeName);
INSTANTIATE_TEST_SUITE_P(Modes, TrueColourPaletteTest, testing::ValuesIn(TrueColourModes()), ModeName);

} // namespace
