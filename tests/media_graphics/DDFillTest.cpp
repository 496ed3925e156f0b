// Fills, the fill batch, pixels, circles and frames on every back end and depth.
#include <set>
#include <utility>

#include "GraphicsTestSupport.h"
#include "media/graphics/DDBlitEffects.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/DDPalette.h"

namespace {

class FillTest : public GraphicsTest {
protected:
    // The raw pixel a fill with palette index i leaves on an ordinary surface.
    uint32_t Filled(DDSURFACEDATA* sd, uint32_t i)
    {
        const PALETTEENTRY& e = ColorPalette[i];
        if (!IsD3D()) {
            const PIXELMASKS& m = SurfaceMasks;
            if (Depth() == 8) return i;
            if (Depth() == 16)
                return (static_cast<uint32_t>(e.peRed & m.nRMask) << m.nRShift) |
                       (static_cast<uint32_t>(e.peGreen & m.nGMask) << m.nGShift) |
                       (static_cast<uint32_t>(e.peBlue & m.nBMask) << m.nBShift);
            return (static_cast<uint32_t>(e.peRed) << 16) | (static_cast<uint32_t>(e.peGreen) << 8) | e.peBlue;
        }
        // The device draws the opaque colour and stores it in the texture's format.
        const uint32_t argb = 0xFF000000u | (static_cast<uint32_t>(e.peRed) << 16) |
                              (static_cast<uint32_t>(e.peGreen) << 8) | e.peBlue;
        return ArgbToPixel(Pixels(sd)->Format(), argb);
    }
    uint32_t Background() const { return Depth() == 8 ? 3u : Opaque(0, 0, 0); }
};

struct FillCase {
    const char* name;
    int32_t x, y, w, h;
    int32_t cx0, cy0, cx1, cy1; // cut to the surface: [cx0, cx1) x [cy0, cy1)
    int32_t kx0, ky0, kx1, ky1; // moved to the edge with the size kept (Direct3D render targets)
};

// On a 64 x 32 surface.
const FillCase kFillCases[] = {
    {"inside", 3, 4, 5, 6, 3, 4, 8, 10, 3, 4, 8, 10},
    {"left", -10, 0, 30, 2, 0, 0, 20, 2, 0, 0, 30, 2},
    {"right", 60, 5, 10, 3, 60, 5, 64, 8, 60, 5, 64, 8},
    {"top", 1, -3, 2, 5, 1, 0, 3, 2, 1, 0, 3, 5},
    {"bottom", 1, 30, 2, 9, 1, 30, 3, 32, 1, 30, 3, 32},
    {"left and above", -4, -2, 6, 3, 0, 0, 2, 1, 0, 0, 6, 3},
    {"left past the right edge", -10, 0, 70, 1, 0, 0, 60, 1, 0, 0, 64, 1},
    {"wider than the surface", -5, -5, 100, 100, 0, 0, 64, 32, 0, 0, 64, 32},
    {"outside", 64, 0, 5, 5, 0, 0, 0, 0, 0, 0, 0, 0},
    {"empty", 3, 3, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0},
};

TEST_P(FillTest, FillsAreClippedToTheSurface)
{
    // Direct3D draws onto render targets (memory type 0) with the device and keeps the size of a
    // rectangle moved in from the left or top; everything else is cut to the surface.
    for (int32_t mem : {0, 1}) {
        DDSURFACEDATA* sd = NewSurface(64, 32, 0, mem);
        const bool keepsSize = IsD3D() && mem == 0;
        for (const FillCase& c : kFillCases) {
            SCOPED_TRACE(testing::Message() << c.name << " memory " << mem);
            FillRaw(sd, Background());
            DDFillRect(sd, c.x, c.y, c.w, c.h, 77);
            uint32_t want77 = Filled(sd, 77);
            if (IsD3D() && mem == 1 && Depth() == 16) {
                // A system-memory texture is filled by pixels: channels scaled to the masks.
                const PALETTEENTRY& e = ColorPalette[77];
                want77 = Opaque(e.peRed, e.peGreen, e.peBlue);
            }
            const int32_t x0 = keepsSize ? c.kx0 : c.cx0, x1 = keepsSize ? c.kx1 : c.cx1;
            const int32_t y0 = keepsSize ? c.ky0 : c.cy0, y1 = keepsSize ? c.ky1 : c.cy1;
            for (int32_t y = 0; y < 32; ++y)
                for (int32_t x = 0; x < 64; ++x) {
                    const bool in = x >= x0 && x < x1 && y >= y0 && y < y1;
                    ASSERT_EQ(Get(sd, x, y), in ? want77 : Background()) << x << "," << y;
                }
        }
    }
}

TEST_P(FillTest, ScreenFillFromLeftOfTheScreenKeepsItsWidthOnlyUnderDirect3D)
{
    // A 100-wide fill at x = -10: Direct3D draws columns 0 to 99, DirectDraw 0 to 89.
    const uint32_t argb = 0xFF304050u;
    uint32_t colour = Opaque(0x30, 0x40, 0x50);
    if (IsD3D()) colour = argb;
    else if (Depth() == 8) colour = 7;
    cPixelBuffer* screen = Pixels(&BackBuffer);
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(screen->Width(), 640);
    const uint32_t background = Depth() == 8 ? 3u : Opaque(0, 0, 0);
    const uint32_t want = IsD3D() ? ArgbToPixel(screen->Format(), argb) : colour;
    FillRaw(&BackBuffer, background);
    DDFillRectColor(&BackBuffer, -10, 0, 100, 2, colour);
    const int32_t last = IsD3D() ? 99 : 89;
    for (int32_t x = 0; x < 120; ++x) ASSERT_EQ(Get(&BackBuffer, x, 1), x <= last ? want : background) << x;
    EXPECT_EQ(Get(&BackBuffer, 0, 2), background);
}

TEST_P(FillTest, IndexZeroOnAKeyedSurfaceMakesItTransparent)
{
    DDSURFACEDATA* sd = NewSurface(8, 8, 1);
    FillRaw(sd, Background());
    DDFillRect(sd, 2, 2, 3, 3, 0);
    EXPECT_EQ(Get(sd, 3, 3), Transparent());
    EXPECT_EQ(Get(sd, 1, 1), Background());
}

TEST_P(FillTest, IndexAbove255FillsWithColourZero)
{
    DDSURFACEDATA* sd = NewSurface(4, 4);
    FillRaw(sd, Background());
    DDFillRect(sd, 0, 0, 2, 2, 256);
    const uint32_t want = IsD3D() ? Background() /* ARGB 0 blends to nothing */ : Filled(sd, 0);
    EXPECT_EQ(Get(sd, 0, 0), want);
}

TEST_P(FillTest, FillBatchDrawsEveryQueuedFillIncludingNestedFrames)
{
    DDSURFACEDATA* a = NewSurface(16, 16);
    DDSURFACEDATA* b = NewSurface(16, 16);
    FillRaw(a, Background());
    FillRaw(b, Background());
    DDBeginFillBatch();
    DDFillRect(a, 0, 0, 2, 2, 10);
    DDFillRect(b, 0, 0, 2, 2, 20);
    // A frame opens and closes its own batch inside ours; our fills must survive it.
    DDFrameRect(a, 4, 4, 6, 6, 1, 30);
    DDFillRect(a, 12, 12, 2, 2, 40);
    if (IsD3D()) {
        EXPECT_EQ(Get(a, 0, 0), Background()) << "queued, not drawn yet";
    }
    DDEndFillBatch();
    EXPECT_EQ(Get(a, 1, 1), Filled(a, 10));
    EXPECT_EQ(Get(b, 1, 1), Filled(b, 20));
    EXPECT_EQ(Get(a, 13, 13), Filled(a, 40));
    // The frame: its border filled, its inside not.
    EXPECT_EQ(Get(a, 4, 4), Filled(a, 30));
    EXPECT_EQ(Get(a, 9, 7), Filled(a, 30));
    EXPECT_EQ(Get(a, 7, 9), Filled(a, 30));
    EXPECT_EQ(Get(a, 6, 6), Background());
}

TEST_P(FillTest, PixelsOutsideTheSurfaceAreIgnored)
{
    DDSURFACEDATA* sd = NewSurface(4, 4);
    FillRaw(sd, Background());
    DDSetPixel(sd, -1, 0, 5);
    DDSetPixel(sd, 0, 4, 5);
    DDSetPixel(sd, 2, 1, 5);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x)
            EXPECT_EQ(Get(sd, x, y), (x == 2 && y == 1) ? Filled(sd, 5) : Background()) << x << "," << y;
}

// The midpoint circle's points, as the outline is defined.
std::set<std::pair<int32_t, int32_t>> CirclePoints(int32_t cx, int32_t cy, int32_t r)
{
    std::set<std::pair<int32_t, int32_t>> pts;
    int32_t x = 0, y = r, d = 3 - 2 * r;
    do {
        for (auto [px, py] : {std::pair{x, y}, {-x, y}, {x, -y}, {-x, -y}, {y, x}, {-y, x}, {y, -x}, {-y, -x}})
            pts.insert({cx + px, cy + py});
        if (d < 0) {
            d += 4 * x + 6;
        } else {
            d += 4 * (x - y) + 10;
            --y;
        }
        ++x;
    } while (y >= x);
    return pts;
}

TEST_P(FillTest, CircleDrawsItsOutlineAndSkipsPointsOffTheSurface)
{
    DDSURFACEDATA* sd = NewSurface(12, 12);
    for (auto [cx, cy, r] : {std::tuple{6, 6, 4}, {1, 2, 3}, {10, 11, 5}, {5, 5, 1}}) {
        SCOPED_TRACE(testing::Message() << "circle " << cx << "," << cy << " r " << r);
        FillRaw(sd, Background());
        DDCircle(sd, cx, cy, r, 9);
        const auto pts = CirclePoints(cx, cy, r);
        for (int32_t y = 0; y < 12; ++y)
            for (int32_t x = 0; x < 12; ++x)
                ASSERT_EQ(Get(sd, x, y), pts.count({x, y}) ? Filled(sd, 9) : Background()) << x << "," << y;
    }
    FillRaw(sd, Background());
    DDCircle(sd, 6, 6, 0, 9);
    EXPECT_EQ(Get(sd, 6, 6), Background());
}

TEST_P(FillTest, PaletteIndexesConvertToTheModesPixelValues)
{
    EXPECT_EQ(PalNumToRGB(256), 0u);
    const PALETTEENTRY& e = ColorPalette[100];
    const uint32_t rgb = (static_cast<uint32_t>(e.peRed) << 16) | (static_cast<uint32_t>(e.peGreen) << 8) | e.peBlue;
    if (IsD3D()) {
        EXPECT_EQ(PalNumToRGB(100), 0xFF000000u | rgb);
        EXPECT_EQ(PalNumToRGB(0), lpDTCon->dwTransmitTexture);
    } else if (Depth() == 8) {
        EXPECT_EQ(PalNumToRGB(100), 100u);
    } else if (Depth() == 16) {
        const PIXELMASKS& m = SurfaceMasks;
        EXPECT_EQ(PalNumToRGB(100), (static_cast<uint32_t>(e.peRed & m.nRMask) << m.nRShift) |
                                        (static_cast<uint32_t>(e.peGreen & m.nGMask) << m.nGShift) |
                                        (static_cast<uint32_t>(e.peBlue & m.nBMask) << m.nBShift));
    } else {
        EXPECT_EQ(PalNumToRGB(100), rgb);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, FillTest, testing::ValuesIn(AllModes()), ModeName);

} // namespace
