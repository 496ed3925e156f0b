// Effects built from blits, fills and the palette: numbers, frames, the wave, stripe, card-flip
// and quarter blits, the fades and the palette helpers.
#include <cmath>
#include <cstring>

#include "GraphicsTestSupport.h"
#include "media/graphics/DDBlitEffects.h"
#include "media/graphics/DDBlt.h"

namespace {

class BlitEffectTest : public GraphicsTest {
protected:
    uint32_t Cell(int32_t x, int32_t y) const
    {
        if (Depth() == 8) return static_cast<uint32_t>(1 + (x + 7 * y) % 240);
        return Opaque(4 * x, 4 * y, 100);
    }
    DDSURFACEDATA* PatternSurface(int32_t w, int32_t h)
    {
        DDSURFACEDATA* s = NewSurface(w, h);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) Put(s, x, y, Cell(x, y));
        return s;
    }
    uint32_t Background() const { return Depth() == 8 ? 252u : Opaque(0, 0, 0); }
    // Where each destination pixel's colour came from: source (x, y) or -1.
    std::pair<int32_t, int32_t> Origin(uint32_t p, int32_t w, int32_t h) const
    {
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                if (Cell(x, y) == p) return {x, y};
        return {-1, -1};
    }
};

TEST_P(BlitEffectTest, NumbersAreDrawnDigitByDigit)
{
    // A strip of ten 4 x 2 digits: digit d has the colour of strip column 4d.
    DDSURFACEDATA* strip = PatternSurface(40, 2);
    DDSURFACEDATA* dst = NewSurface(40, 2);
    struct Case {
        int32_t value, minDigits, centre;
        const char* drawn; // the digit in each 4-pixel column, '.' for none
    } cases[] = {{7, 3, 0, "..7"}, {7, 3, 1, ".7."}, {0, 1, 0, "0.."}, {120, 1, 0, "120"},
                 {-5, 2, 0, ".0"},  {2147483647, 1, 0, "2147483647"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.drawn);
        FillRaw(dst, Background());
        DDDrawNumber(dst, 0, 0, 4, 2, strip, 0, 0, 0, c.value, c.minDigits, c.centre);
        for (int32_t k = 0; k < 10; ++k) {
            const char d = k < static_cast<int32_t>(std::strlen(c.drawn)) ? c.drawn[k] : '.';
            const uint32_t want = d == '.' ? Background() : Cell(4 * (d - '0') + 1, 1);
            EXPECT_EQ(Get(dst, 4 * k + 1, 1), want) << "column " << k;
        }
    }
}

TEST_P(BlitEffectTest, FramedBoxShowsThePictureInsideAFrame)
{
    DDSURFACEDATA* pic = PatternSurface(8, 8);
    DDSURFACEDATA* dst = NewSurface(16, 16);
    FillRaw(dst, Background());
    DDBltFramed(dst, 4, 4, 5, 5, pic, 2, 9);
    EXPECT_EQ(Get(dst, 4, 4), Cell(0, 0));
    EXPECT_EQ(Get(dst, 8, 8), Cell(4, 4));
    const uint32_t frame = Get(dst, 2, 2);
    EXPECT_NE(frame, Background());
    EXPECT_EQ(Get(dst, 10, 10), frame);
    EXPECT_EQ(Get(dst, 3, 6), frame);
    EXPECT_EQ(Get(dst, 1, 1), Background());
    EXPECT_EQ(Get(dst, 11, 11), Background());
}

TEST_P(BlitEffectTest, WaveShiftsBandsAlongASine)
{
    DDSURFACEDATA* src = PatternSurface(36, 6);
    DDSURFACEDATA* dst = NewSurface(36, 20);
    for (int32_t columns : {1, 0}) {
        SCOPED_TRACE(columns ? "columns" : "rows");
        FillRaw(dst, Background());
        const int32_t w = columns ? 36 : 36, h = 6, band = columns ? 4 : 2;
        DDBltWave(dst, 0, 7, w, h, 1, 5.0, 30, band, src, 0, 0, 0, columns);
        double a = 0;
        for (int32_t k = 0; k < (columns ? w : h); k += band) {
            a += band * 360.0 / (columns ? w : h);
            const int32_t off = static_cast<int32_t>(5.0 * std::sin((30 + a) * 3.14159265358979323846 / 180.0));
            if (columns) {
                EXPECT_EQ(Get(dst, k, 7 + off), Cell(k, 0)) << "band at " << k;
            } else {
                const int32_t x = std::max(0, off);
                EXPECT_EQ(Get(dst, x, 7 + k), Cell(x - off, k)) << "band at " << k;
            }
        }
    }
    FillRaw(dst, Background());
    DDBltWave(dst, 0, 0, 0, 6, 1, 5.0, 0, 4, src, 0, 0, 0, 1);
    DDBltWave(dst, 0, 0, 36, 6, 1, 5.0, 0, 0, src, 0, 0, 0, 1);
    EXPECT_EQ(Get(dst, 0, 0), Background()) << "no width or no band: nothing drawn";
}

TEST_P(BlitEffectTest, StripesShiftAlternately)
{
    DDSURFACEDATA* src = PatternSurface(50, 4);
    DDSURFACEDATA* dst = NewSurface(60, 12);
    FillRaw(dst, Background());
    // Width 50 in stripes of 16: three stripes (48 pixels); 0 and 2 down, 1 up.
    DDBltStripe(dst, 2, 4, 50, 4, 16, 3, src, 0, 0, 0, 1);
    EXPECT_EQ(Get(dst, 2, 7), Cell(0, 0));
    EXPECT_EQ(Get(dst, 2 + 16, 1), Cell(16, 0));
    EXPECT_EQ(Get(dst, 2 + 32, 7), Cell(32, 0));
    EXPECT_EQ(Get(dst, 2 + 48, 7), Background()) << "the rest narrower than a stripe";
    EXPECT_EQ(Get(dst, 2 + 16, 4), Cell(16, 3));
    // Rows: odd ones left, even ones right.
    FillRaw(dst, Background());
    DDBltStripe(dst, 5, 2, 8, 4, 2, 1, src, 0, 0, 0, 0);
    EXPECT_EQ(Get(dst, 6, 2), Cell(0, 0));
    EXPECT_EQ(Get(dst, 4, 4), Cell(0, 2));
}

TEST_P(BlitEffectTest, CardFlipNarrowsTurnsAndWidens)
{
    DDSURFACEDATA* one = PatternSurface(64, 2);
    DDSURFACEDATA* two = NewSurface(64, 2);
    FillRaw(two, Depth() == 8 ? 245u : Opaque(255, 255, 255));
    const uint32_t twoColour = Get(two, 0, 0);
    DDSURFACEDATA* dst = NewSurface(64, 2);
    struct Case {
        int32_t frame, width;
        bool second;
    } cases[] = {{0, 64, false}, {31, 2, false}, {32, 2, true}, {63, 64, true}, {64, 64, true}, {96, 2, false}, {127, 64, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "frame " << c.frame);
        FillRaw(dst, Background());
        DDBltCardFlip(dst, 0, 0, 64, 2, one, 0, 0, two, 0, 0, 64, 2, 0, c.frame, 0);
        int32_t drawn = 0, fromTwo = 0;
        for (int32_t x = 0; x < 64; ++x) {
            const uint32_t p = Get(dst, x, 0);
            drawn += p != Background();
            fromTwo += p == twoColour;
        }
        EXPECT_EQ(drawn, c.width);
        EXPECT_EQ(fromTwo, c.second ? c.width : 0);
    }
    // Narrower than 2 pixels: no half to turn about, nothing drawn and no division by zero.
    FillRaw(dst, Background());
    DDBltCardFlip(dst, 0, 0, 1, 2, one, 0, 0, two, 0, 0, 1, 2, 0, 5, 0);
    DDBltCardFlip(dst, 0, 0, 8, 1, one, 0, 0, two, 0, 0, 8, 1, 0, 5, 1);
    EXPECT_EQ(Get(dst, 0, 0), Background());
}

TEST_P(BlitEffectTest, QuartersArePushedApart)
{
    DDSURFACEDATA* src = PatternSurface(8, 8);
    DDSURFACEDATA* dst = NewSurface(20, 20);
    FillRaw(dst, Background());
    DDBltQuarters(dst, 6, 6, 8, 8, src, 0, 0, 2, 0);
    EXPECT_EQ(Get(dst, 4, 4), Cell(0, 0));
    EXPECT_EQ(Get(dst, 6 + 4 + 2, 4), Cell(4, 0));
    EXPECT_EQ(Get(dst, 4, 6 + 4 + 2), Cell(0, 4));
    EXPECT_EQ(Get(dst, 12, 12), Cell(4, 4));
    EXPECT_EQ(Get(dst, 10, 10), Background()) << "the gap between the quarters";
}

TEST_P(BlitEffectTest, PaletteHelpersBlendAndRotate)
{
    PALETTEENTRY src[256], out[256];
    for (int i = 0; i < 256; ++i) src[i] = {static_cast<BYTE>(i), 255, 0, 0};
    DDBlendPalette(out, 0, 255, 128, 255, 0, 255, src);
    EXPECT_EQ(out[0].peRed, 127);    // (0 * 128 + 255 * 128) >> 8
    EXPECT_EQ(out[0].peGreen, 127);  // (255 * 128 + 0) >> 8
    EXPECT_EQ(out[0].peBlue, 127);
    EXPECT_EQ(out[0].peFlags, PC_RESERVED);
    DDBlendPalette(out, 0, 255, 256, 1, 2, 3, src);
    EXPECT_EQ(out[200].peRed, 200);

    DDRotatePalette(out, 10, 14, 2, 0, src);
    EXPECT_EQ(out[10].peRed, 13);
    EXPECT_EQ(out[12].peRed, 10);
    EXPECT_EQ(out[15].peRed, 15);
    DDRotatePalette(out, 10, 14, 2, 1, src);
    EXPECT_EQ(out[10].peRed, 12);
    EXPECT_EQ(out[13].peRed, 10);
    DDRotatePalette(out, 10, 14, 7, 1, src);
    EXPECT_EQ(out[10].peRed, 12) << "places beyond the range wrap round";
    DDRotatePalette(out, -5, 300, 1, 0, src);
    EXPECT_EQ(out[0].peRed, 255) << "the range is bounded by the palette";
}

TEST_P(BlitEffectTest, FadeOutTakesTenStepsAndStartsAgain)
{
    for (int32_t run = 0; run < 2; ++run) {
        for (int32_t call = 1; call <= 10; ++call) {
            const int32_t done = DDFadeOut(ColorPaletteWork, 0, 255, 0, 0, 0, 10.0, ColorPalette, 0);
            ASSERT_EQ(done, call == 10 ? 1 : 0) << "call " << call << " run " << run;
        }
    }
    for (int32_t call = 1; call <= 10; ++call)
        ASSERT_EQ(DDFadeIn(ColorPaletteWork, 0, 255, 0, 0, 0, 10.0, ColorPalette, 0), call == 10 ? 1 : 0);
}

TEST_P(BlitEffectTest, FadeOutEndsInBlackAndFadeInRestoresThePicture)
{
    cPixelBuffer* back = Pixels(&BackBuffer);
    const uint32_t picture = Depth() == 8 ? 77u : ArgbToPixel(back->Format(), 0xFFC08040u);
    // Each frame the scene draws its picture, then the fade step goes over it.
    auto frame = [&] { back->FillRaw(0, 0, back->Width(), back->Height(), picture); };
    do {
        frame();
    } while (!DDFadeOut(ColorPaletteWork, 0, 255, 0, 0, 0, 30.0, ColorPalette, 0));
    if (Depth() == 8) {
        EXPECT_EQ(ColorPaletteWork[77].peRed, 0);
        EXPECT_EQ(ColorPaletteWork[77].peGreen, 0);
    } else {
        EXPECT_EQ(back->ReadArgb(3, 3) & 0xFFFFFFu, 0u);
    }
    do {
        frame();
    } while (!DDFadeIn(ColorPaletteWork, 0, 255, 0, 0, 0, 30.0, ColorPalette, 0));
    if (Depth() == 8) {
        EXPECT_EQ(ColorPaletteWork[77].peRed, ColorPalette[77].peRed);
        EXPECT_EQ(ColorPaletteWork[77].peGreen, ColorPalette[77].peGreen);
    } else if (!IsD3D() && Depth() == 16) {
        // Through 0..255 units and back: each channel within one step.
        const PIXELMASKS& m = SurfaceMasks;
        const uint32_t got = back->ReadRaw(3, 3);
        for (auto [shift, mask] : {std::pair{m.nRShift, m.nRMask}, {m.nGShift, m.nGMask}, {m.nBShift, m.nBMask}}) {
            const int32_t want = static_cast<int32_t>(picture >> shift) & mask;
            EXPECT_EQ(static_cast<int32_t>(got >> shift) & mask, want * 255 / mask * mask / 255);
        }
    } else {
        EXPECT_EQ(back->ReadRaw(3, 3) & 0xFFFFFFu, picture & 0xFFFFFFu);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, BlitEffectTest, testing::ValuesIn(AllModes()), ModeName);

} // namespace
