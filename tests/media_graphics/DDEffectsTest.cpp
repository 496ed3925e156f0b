// The effects on locked surfaces (and their Direct3D quads): blur, mosaic, tint, translucency,
// colour change, disc, lens, rotation and the true-colour fade, against pixels computed here
// from the effects' definitions.
#include <algorithm>
#include <cmath>
#include <functional>

#include "GraphicsTestSupport.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDEffects.h"
#include "platform/graphics/GraphicsControl.h"

namespace {

class EffectTest : public GraphicsTest {
protected:
    // Deterministic varied colours, some of them transparent when keyed.
    uint32_t Pattern(int32_t x, int32_t y, bool holes) const
    {
        const uint32_t h = static_cast<uint32_t>(x * 73 + y * 151 + x * y * 7) * 2654435761u;
        if (holes && (h >> 28) < 3) return Transparent();
        if (Depth() == 8) return 1 + (h >> 24) % 250;
        return Opaque(static_cast<int32_t>((h >> 8) & 255), static_cast<int32_t>((h >> 16) & 255),
                      static_cast<int32_t>((h >> 24) & 255));
    }
    DDSURFACEDATA* PatternSurface(int32_t w, int32_t h, bool holes, int32_t mem = 0)
    {
        DDSURFACEDATA* s = NewSurface(w, h, holes ? 1 : 0, mem);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) Put(s, x, y, Pattern(x, y, holes));
        return s;
    }
    uint32_t Background() const { return Depth() == 8 ? 251u : Opaque(40, 80, 120); }

    bool Present(uint32_t p) const
    {
        if (!IsD3D()) return p != dwTransmit;
        return Depth() == 16 ? (p & 0xA000) != 0 : (p >> 24) != 0;
    }
    // Channels in the units the effects compute in: SurfaceMasks units at 16 bits, bytes at 32.
    void Units(uint32_t p, int32_t c[3]) const
    {
        const PIXELMASKS& m = SurfaceMasks;
        if (Depth() == 16) {
            c[0] = static_cast<int32_t>(p >> m.nRShift) & m.nRMask;
            c[1] = static_cast<int32_t>(p >> m.nGShift) & m.nGMask;
            c[2] = static_cast<int32_t>(p >> m.nBShift) & m.nBMask;
        } else {
            c[0] = static_cast<int32_t>(p >> 16) & 255;
            c[1] = static_cast<int32_t>(p >> 8) & 255;
            c[2] = static_cast<int32_t>(p) & 255;
        }
    }
    // A result in those units written to an ordinary surface (or the full-screen back buffer).
    uint32_t Pack(const int32_t c[3], uint32_t old, bool fullBack = false) const
    {
        const PIXELMASKS& m = SurfaceMasks;
        if (Depth() == 16) {
            if (fullBack) return static_cast<uint32_t>(c[0] << 11 | (c[1] * 2) << 5 | c[2]);
            uint32_t v = static_cast<uint32_t>((c[0] & m.nRMask) << m.nRShift | (c[1] & m.nGMask) << m.nGShift |
                                               (c[2] & m.nBMask) << m.nBShift);
            return IsD3D() ? v | 0x8000u : v;
        }
        const uint32_t hi = IsD3D() ? 0xFF000000u : (old & 0xFF000000u);
        return hi | static_cast<uint32_t>(c[0] << 16 | c[1] << 8 | c[2]);
    }
    // Runs an effect on dst and compares every pixel with expect(x, y, old) (old = before).
    void Check(DDSURFACEDATA* dst, const std::function<uint32_t(int32_t, int32_t, uint32_t)>& expect)
    {
        cPixelBuffer* p = Pixels(dst);
        for (int32_t y = 0; y < dst->nHeight; ++y)
            for (int32_t x = 0; x < dst->nWidth; ++x)
                ASSERT_EQ(p->ReadRaw(x, y), expect(x, y, m_Before[static_cast<size_t>(y * dst->nWidth + x)]))
                    << "at " << x << "," << y;
    }
    void Snapshot(DDSURFACEDATA* dst)
    {
        m_Before.clear();
        for (int32_t y = 0; y < dst->nHeight; ++y)
            for (int32_t x = 0; x < dst->nWidth; ++x) m_Before.push_back(Get(dst, x, y));
    }
    std::vector<uint32_t> m_Before;
};

// Behaviours of one back end or depth: the rotation quad is Direct3D's, the blur is refused at
// 8 bits, and only the full-screen 16-bit Direct3D back buffer has a format of its own.
using Direct3DEffectTest = EffectTest;
using EightBitEffectTest = EffectTest;
using FullScreen16Direct3DEffectTest = EffectTest;

// ---- Blur --------------------------------------------------------------------------------------

struct BlurCase {
    const char* name;
    int32_t x, y, w, h, rx, ry, sx, sy, flag;
};
// Destination 16 x 12, source 16 x 12.
const BlurCase kBlurCases[] = {
    {"reach 1 takes the pixel, its left, upper and upper-left neighbours", 2, 2, 6, 5, 1, 1, 0, 0, 0},
    {"keyed, off the left edge", -2, 1, 8, 6, 2, 3, 1, 0, 1},
    {"off the right and bottom edges", 10, 8, 8, 8, 3, 1, 4, 4, 0},
    {"source rectangle past the source", 0, 0, 8, 8, 2, 2, 10, 6, 0},
    {"source rectangle before the source", 3, 3, 8, 8, 2, 2, -4, -3, 1},
    {"reach larger than the rectangle", 0, 0, 16, 12, 30, 30, 0, 0, 1},
    {"no vertical reach", 0, 0, 16, 12, 3, 0, 0, 0, 0},
};

TEST_P(EffectTest, BlurAveragesItsWindowOfPresentPixels)
{
    DDSURFACEDATA* src = PatternSurface(16, 12, true);
    DDSURFACEDATA* dst = NewSurface(16, 12);
    for (const BlurCase& c : kBlurCases) {
        SCOPED_TRACE(c.name);
        FillRaw(dst, Background());
        Snapshot(dst);
        ASSERT_TRUE(DDBlur(dst, c.x, c.y, c.w, c.h, c.rx, c.ry, src, c.sx, c.sy, c.flag));
        auto srcAt = [&](int32_t i, int32_t j, uint32_t* p) {
            const int32_t px = c.sx + i, py = c.sy + j;
            if (px < 0 || py < 0 || px >= 16 || py >= 12) return false;
            *p = Get(src, px, py);
            return c.flag != 1 || Present(*p);
        };
        Check(dst, [&](int32_t x, int32_t y, uint32_t old) -> uint32_t {
            const int32_t i = x - c.x, j = y - c.y;
            if (Depth() == 8 || c.rx <= 0 || c.ry <= 0) return old;
            if (i < 0 || j < 0 || i >= c.w || j >= c.h) return old;
            uint32_t self;
            if (!srcAt(i, j, &self)) return old;
            int64_t sum[3] = {0, 0, 0}, n = 0;
            for (int32_t m = -c.ry; m < c.ry; ++m) {
                if (j + m < 0 || j + m >= c.h) continue;
                for (int32_t k = -c.rx; k < c.rx; ++k) {
                    if (i + k < 0 || i + k >= c.w) continue;
                    uint32_t p;
                    if (!srcAt(i + k, j + m, &p)) continue;
                    int32_t ch[3];
                    Units(p, ch);
                    for (int q = 0; q < 3; ++q) sum[q] += ch[q];
                    ++n;
                }
            }
            if (n == 0) return old;
            const int32_t avg[3] = {static_cast<int32_t>(sum[0] / n), static_cast<int32_t>(sum[1] / n),
                                    static_cast<int32_t>(sum[2] / n)};
            return Pack(avg, old);
        });
    }
}

TEST_P(FullScreen16Direct3DEffectTest, BlurIntoTheFullScreenBackBufferPacksItsFormat)
{
    DDSURFACEDATA* src = PatternSurface(16, 12, false);
    ASSERT_TRUE(DDBlur(&BackBuffer, 0, 0, 4, 4, 1, 1, src, 0, 0, 0));
    int32_t a[3], b[3];
    Units(Get(src, 1, 1), a);
    Units(Get(src, 0, 1), b);
    const int32_t avg[3] = {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2};
    int32_t c[3], d[3];
    Units(Get(src, 0, 0), c);
    Units(Get(src, 1, 0), d);
    int32_t sum4[3];
    for (int q = 0; q < 3; ++q) sum4[q] = (a[q] + b[q] + c[q] + d[q]) / 4;
    // R5G6B5 with the green average doubled, no alpha bit.
    EXPECT_EQ(Get(&BackBuffer, 1, 1), Pack(sum4, 0, true));
    (void)avg;
}

TEST_P(EightBitEffectTest, BlurAtEightBitsIsRefusedQuietly)
{
    DDSURFACEDATA* src = PatternSurface(8, 8, false);
    DDSURFACEDATA* dst = NewSurface(8, 8);
    FillRaw(dst, Background());
    EXPECT_TRUE(DDBlur(dst, 0, 0, 8, 8, 2, 2, src, 0, 0, 0));
    EXPECT_EQ(Get(dst, 3, 3), Background());
}

// ---- Mosaic ------------------------------------------------------------------------------------

struct MosaicCase {
    const char* name;
    int32_t x, y, w, h, cell, sx, sy, flag;
};
const MosaicCase kMosaicCases[] = {
    {"cells of 4 with a cut cell of 2", 1, 1, 10, 9, 4, 0, 0, 0},
    {"keyed, off the top-left edge", -3, -2, 12, 10, 3, 2, 1, 1},
    {"cell 1", 0, 0, 16, 12, 1, 0, 0, 0},
    {"source past the source", 4, 4, 10, 6, 4, 10, 8, 0},
    {"negative cell", 0, 0, 16, 12, -3, 0, 0, 0},
    {"cell 0", 0, 0, 16, 12, 0, 0, 0, 0},
};

TEST_P(EffectTest, MosaicPaintsCells)
{
    DDSURFACEDATA* src = PatternSurface(16, 12, true);
    DDSURFACEDATA* dst = NewSurface(16, 12);
    const PIXELMASKS& m = SurfaceMasks;
    for (const MosaicCase& c : kMosaicCases) {
        SCOPED_TRACE(c.name);
        FillRaw(dst, Background());
        Snapshot(dst);
        ASSERT_TRUE(DDMosaic(dst, c.x, c.y, c.w, c.h, c.cell, src, c.sx, c.sy, c.flag));
        Check(dst, [&](int32_t x, int32_t y, uint32_t old) -> uint32_t {
            const int32_t i = x - c.x, j = y - c.y;
            if (c.cell <= 0 || i < 0 || j < 0 || i >= c.w || j >= c.h) return old;
            const int32_t ci = i / c.cell * c.cell, cj = j / c.cell * c.cell;
            auto inSrc = [&](int32_t a, int32_t b) { return c.sx + a >= 0 && c.sy + b >= 0 && c.sx + a < 16 && c.sy + b < 12; };
            if (IsD3D() || Depth() == 8) {
                if (!inSrc(ci, cj)) return old;
                const uint32_t p = Get(src, c.sx + ci, c.sy + cj);
                if (c.flag == 1 && !Present(p)) return old;
                if (Depth() == 32) return p | 0xFF000000u;
                return p;
            }
            // DirectDraw 16/32: the average of the cell's present source pixels in 0..255 units.
            int64_t sum[3] = {0, 0, 0}, n = 0;
            for (int32_t b = cj; b < std::min(cj + c.cell, c.h); ++b)
                for (int32_t a = ci; a < std::min(ci + c.cell, c.w); ++a) {
                    if (!inSrc(a, b)) continue;
                    const uint32_t p = Get(src, c.sx + a, c.sy + b);
                    if (c.flag == 1 && !Present(p)) continue;
                    int32_t ch[3];
                    Units(p, ch);
                    if (Depth() == 16) {
                        ch[0] = ch[0] * 255 / m.nRMask;
                        ch[1] = ch[1] * 255 / m.nGMask;
                        ch[2] = ch[2] * 255 / m.nBMask;
                    }
                    for (int q = 0; q < 3; ++q) sum[q] += ch[q];
                    ++n;
                }
            if (n == 0) return old;
            int32_t avg[3] = {static_cast<int32_t>(sum[0] / n), static_cast<int32_t>(sum[1] / n),
                              static_cast<int32_t>(sum[2] / n)};
            if (Depth() == 16) {
                avg[0] = avg[0] * m.nRMask / 255;
                avg[1] = avg[1] * m.nGMask / 255;
                avg[2] = avg[2] * m.nBMask / 255;
            }
            const uint32_t v = Pack(avg, old);
            if (c.flag == 1 && (v & 0xFFFFFFu) == (dwTransmit & 0xFFFFFFu)) return old;
            return v;
        });
    }
}

// ---- Tint and translucency ---------------------------------------------------------------------

TEST_P(EffectTest, TintPullsTowardTheColourByLevel)
{
    // Direct3D: video-memory source (quad) and system-memory source (locked); DirectDraw: locked.
    for (int32_t mem : IsD3D() ? std::vector<int32_t>{0, 1} : std::vector<int32_t>{0}) {
        DDSURFACEDATA* src = PatternSurface(8, 4, true, mem);
        DDSURFACEDATA* dst = NewSurface(8, 4);
        for (int i = 0; i < 65536; ++i) BlendTable[i] = static_cast<uint8_t>((i >> 8) / 2 + (i & 255) / 2);
        for (int32_t level = 0; level <= 5; ++level) {
            SCOPED_TRACE(testing::Message() << "level " << level << " memory " << mem);
            FillRaw(dst, Background());
            Snapshot(dst);
            const int32_t colour = 200;
            ASSERT_TRUE(DDBltTint(dst, 1, 0, 6, 4, src, 0, 0, 1, ColorPalette, BlendTable, colour, level));
            const PALETTEENTRY& e = ColorPalette[colour];
            const PIXELMASKS& m = SurfaceMasks;
            Check(dst, [&](int32_t x, int32_t y, uint32_t old) -> uint32_t {
                if (level == 0 || x < 1 || x >= 7) return old;
                const uint32_t s = Get(src, x - 1, y);
                if (!Present(s)) return old;
                if (Depth() == 8) {
                    uint32_t v = s;
                    for (int32_t n = 0; n < level; ++n) v = BlendTable[v * 256 + colour];
                    return v;
                }
                int32_t sc[3];
                Units(s, sc);
                const int32_t k8[3] = {e.peRed, e.peGreen, e.peBlue};
                int32_t out[3];
                if (!IsD3D()) {
                    const int32_t mk[3] = {m.nRMask, m.nGMask, m.nBMask};
                    for (int q = 0; q < 3; ++q) {
                        int32_t cc = Depth() == 16 ? sc[q] * 255 / mk[q] : sc[q];
                        const int32_t kk = Depth() == 16 ? (k8[q] & mk[q]) * 255 / mk[q] : k8[q];
                        for (int32_t n = 0; n < level; ++n) cc = (cc + kk) >> 1;
                        out[q] = Depth() == 16 ? cc * mk[q] / 255 : cc;
                    }
                    return Pack(out, old);
                }
                if (mem == 0) {
                    // The quad: texture * E + colour * (255 - E), E by level.
                    static const uint32_t kE[] = {0, 128, 80, 48, 16, 0};
                    const uint32_t E = kE[level];
                    cPixelBuffer* p = Pixels(dst);
                    const uint32_t t = PixelToArgb(p->Format(), s);
                    uint32_t argb = 0xFF000000u;
                    for (int q = 0; q < 3; ++q) {
                        const uint32_t tc = (t >> (16 - 8 * q)) & 255;
                        argb |= ((tc * E + static_cast<uint32_t>(k8[q]) * (255 - E) + 127) / 255) << (16 - 8 * q);
                    }
                    return ArgbToPixel(p->Format(), argb);
                }
                static const int32_t kF[] = {0, 128, 64, 32, 16, 0};
                const float f = static_cast<float>(kF[level]) * (1.0f / 255.0f);
                const int32_t mk[3] = {m.nRMask, m.nGMask, m.nBMask};
                for (int q = 0; q < 3; ++q) {
                    const int32_t k = Depth() == 16 ? k8[q] * mk[q] / 255 : k8[q];
                    out[q] = level == 1 ? (sc[q] + k) >> 1
                                        : static_cast<int32_t>(static_cast<long double>(sc[q]) * f +
                                                               static_cast<float>(static_cast<float>(k) * (1.0f - f)));
                }
                return Pack(out, old);
            });
        }
    }
}

TEST_P(EffectTest, TranslucencyMixesWithTheDestination)
{
    for (int32_t mem : IsD3D() ? std::vector<int32_t>{0, 1} : std::vector<int32_t>{0}) {
        DDSURFACEDATA* src = PatternSurface(8, 4, true, mem);
        DDSURFACEDATA* dst = NewSurface(8, 4, 1);
        for (int i = 0; i < 65536; ++i) BlendTable[i] = static_cast<uint8_t>(((i >> 8) + (i & 255)) / 2);
        for (int32_t transparency : {0, 128, 200}) {
            SCOPED_TRACE(testing::Message() << "transparency " << transparency << " memory " << mem);
            FillRaw(dst, Background());
            Put(dst, 2, 1, Transparent());
            Snapshot(dst);
            ASSERT_TRUE(DDBltTranslucent(dst, 0, 0, 8, 4, src, 0, 0, 1, BlendTable, transparency));
            Check(dst, [&](int32_t x, int32_t y, uint32_t old) -> uint32_t {
                const uint32_t s = Get(src, x, y);
                if (Depth() == 8) {
                    if (s == 0) return old;
                    return old == 0 ? s : BlendTable[s + old * 256];
                }
                if (!Present(s)) return old;
                if (!IsD3D() && old == dwTransmit) return Depth() == 32 ? (old & 0xFF000000u) | (s & 0xFFFFFFu) : s;
                int32_t sc[3], dc[3], out[3];
                Units(s, sc);
                Units(old, dc);
                if (IsD3D() && mem == 0) {
                    // The quad: the texel's alpha scaled by the opacity, blended by the device.
                    cPixelBuffer* p = Pixels(dst);
                    const uint32_t t = PixelToArgb(p->Format(), s), d = PixelToArgb(p->Format(), old);
                    const uint32_t a = (255u * (255u - static_cast<uint32_t>(transparency)) + 127) / 255;
                    uint32_t argb = 0;
                    for (int shift = 0; shift <= 16; shift += 8) {
                        const uint32_t tc = (t >> shift) & 255, dc8 = (d >> shift) & 255;
                        argb |= ((tc * a + dc8 * (255 - a) + 127) / 255) << shift;
                    }
                    const uint32_t da = d >> 24;
                    argb |= std::min<uint32_t>(255, (a * a + da * (255 - a) + 127) / 255) << 24;
                    return ArgbToPixel(p->Format(), argb);
                }
                const PIXELMASKS& m = SurfaceMasks;
                const int32_t mk[3] = {m.nRMask, m.nGMask, m.nBMask};
                for (int q = 0; q < 3; ++q) {
                    if (!IsD3D() && Depth() == 16)
                        out[q] = ((sc[q] * 255 / mk[q] + dc[q] * 255 / mk[q]) >> 1) * mk[q] / 255;
                    else
                        out[q] = (sc[q] + dc[q]) >> 1;
                }
                return Pack(out, old);
            });
        }
    }
}

TEST_P(EffectTest, ChangeColorLaysTheColourOverTheBackBuffer)
{
    if (!IsD3D()) {
        DDSURFACEDATA* dst = NewSurface(4, 4);
        FillRaw(dst, Background());
        EXPECT_EQ(DDChangeColor(dst, 0, 0, 4, 4, 0, 255, 0, 0), 1);
        EXPECT_EQ(Get(dst, 1, 1), Background());
        return;
    }
    cPixelBuffer* back = Pixels(&BackBuffer);
    for (auto [alpha, r, g, b] : {std::tuple{0, 255, 0, 0}, {255, 0, 255, 0}, {128, 0, 0, 255}}) {
        SCOPED_TRACE(testing::Message() << "alpha " << alpha);
        back->FillRaw(0, 0, back->Width(), back->Height(), ArgbToPixel(back->Format(), 0xFF204060u));
        const uint32_t before = back->ReadArgb(5, 5);
        EXPECT_EQ(DDChangeColor(&BackBuffer, 0, 0, 640, 480, alpha, static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                                static_cast<uint8_t>(b)),
                  1);
        const uint32_t a = static_cast<uint32_t>(255 - alpha);
        const uint32_t colour = static_cast<uint32_t>(r << 16 | g << 8 | b);
        uint32_t want = 0xFF000000u;
        for (int shift = 0; shift <= 16; shift += 8)
            want |= ((((colour >> shift) & 255) * a + ((before >> shift) & 255) * (255 - a) + 127) / 255) << shift;
        EXPECT_EQ(back->ReadRaw(5, 5), ArgbToPixel(back->Format(), want));
        EXPECT_EQ(back->ReadRaw(639, 479), ArgbToPixel(back->Format(), want)) << "the whole screen";
    }
}

// ---- Disc and lens -----------------------------------------------------------------------------

struct DiscCase {
    const char* name;
    int32_t dcx, dcy, hx, hy, r, step, scx, scy;
};
const DiscCase kDiscCases[] = {
    {"rows of radius 5", 10, 8, 16, 16, 5, 1, 8, 6},
    {"radius 1 draws nothing", 10, 8, 16, 16, 1, 1, 8, 6},
    {"rows limited by hy", 10, 8, 16, 2, 5, 1, 8, 6},
    {"cut at the source's left edge", 10, 8, 16, 16, 5, 1, 2, 6},
    {"bands of 3", 10, 8, 16, 16, 6, 3, 8, 6},
    {"radius 0", 10, 8, 16, 16, 0, 1, 8, 6},
};

TEST_P(EffectTest, DiscCopiesTheRowsInsideTheCircle)
{
    DDSURFACEDATA* src = PatternSurface(16, 12, false);
    DDSURFACEDATA* dst = NewSurface(20, 16);
    for (const DiscCase& c : kDiscCases) {
        SCOPED_TRACE(c.name);
        FillRaw(dst, Background());
        Snapshot(dst);
        DDBltDisc(dst, c.dcx, c.dcy, c.hx, c.hy, c.r, c.step, src, c.scx, c.scy, 0);
        // Which destination pixel receives which source pixel, row by row (or band by band).
        std::vector<int32_t> from(20 * 16, -1);
        auto half = [&](int32_t i) {
            const int32_t d = c.r * c.r - i * i;
            if (d <= 0) return 0;
            int32_t hc = static_cast<int32_t>(std::sqrt(static_cast<double>(d)));
            return hc >= c.r ? c.r - 1 : hc;
        };
        const int32_t left = std::max(c.scx - c.hx, 0), right = std::min(c.scx + c.hx, 16);
        auto row = [&](int32_t i, int32_t height, int32_t hc) {
            int32_t start = c.scx - hc, width = 2 * hc, dx = c.dcx - hc;
            if (start < left) {
                width -= left - start;
                dx += left - start;
                start = left;
            }
            if (start + width > right) width = right - start;
            for (int32_t b = 0; b < height; ++b)
                for (int32_t a = 0; a < width; ++a) {
                    const int32_t sx = start + a, sy = c.scy + i + b, x = dx + a, y = c.dcy + i + b;
                    if (sx < 0 || sy < 0 || sx >= 16 || sy >= 12 || x < 0 || y < 0 || x >= 20 || y >= 16) continue;
                    from[static_cast<size_t>(y * 20 + x)] = sy * 16 + sx;
                }
        };
        if (c.r > 0 && c.step == 1) {
            for (int32_t i = c.r - 1; i >= -c.r; --i) {
                if (i >= c.hy) continue;
                if (i < -c.hy) break;
                row(i, 1, half(i));
            }
        } else if (c.r > 0) {
            for (int32_t i = c.r - c.step; i >= -c.r; i -= c.step) {
                if (i >= c.hy) continue;
                if (i + c.step <= -c.hy) break;
                int32_t band = i;
                if (band + c.step > c.hy) band = c.hy - c.step;
                if (band < -c.hy) band = -c.hy;
                row(band, c.step, half(band + (c.step >> 1)));
            }
        }
        Check(dst, [&](int32_t x, int32_t y, uint32_t old) -> uint32_t {
            const int32_t f = from[static_cast<size_t>(y * 20 + x)];
            return f < 0 ? old : Get(src, f % 16, f / 16);
        });
    }
    // Row 0 of radius 5 spans 8 pixels, row 4 spans 6.
    FillRaw(dst, Background());
    DDBltDisc(dst, 10, 8, 16, 16, 5, 1, src, 8, 6, 0);
    int32_t row0 = 0, row4 = 0;
    for (int32_t x = 0; x < 20; ++x) {
        row0 += Get(dst, x, 8) != Background();
        row4 += Get(dst, x, 12) != Background();
    }
    EXPECT_EQ(row0, 8);
    EXPECT_EQ(row4, 6);
}

struct LensCase {
    const char* name;
    int32_t dcx, dcy, radius, height, scx, scy, flag, clear;
    bool result;
};
const LensCase kLensCases[] = {
    {"radius 3", 8, 6, 3, 1, 8, 6, 0, 0, true},
    {"height 0 shows one enlarged pixel", 8, 6, 5, 0, 7, 5, 0, 0, true},
    {"keyed, at the corner", 1, 1, 4, 2, 3, 3, 1, 0, true},
    {"clearing", 8, 6, 4, 2, 8, 6, 1, 1, true},
    {"no lens: radius 0 and height 0", 8, 6, 0, 0, 8, 6, 0, 0, false},
    {"no lens: negative height", 8, 6, 3, -1, 8, 6, 0, 0, false},
};

TEST_P(EffectTest, LensFetchesTowardTheCentre)
{
    DDSURFACEDATA* src = PatternSurface(16, 12, true);
    DDSURFACEDATA* dst = NewSurface(16, 12);
    for (const LensCase& c : kLensCases) {
        SCOPED_TRACE(c.name);
        FillRaw(dst, Background());
        Snapshot(dst);
        ASSERT_EQ(DDBltLens(dst, c.dcx, c.dcy, c.radius, c.height, src, c.scx, c.scy, c.flag, c.clear), c.result);
        const int32_t R = static_cast<int32_t>(std::sqrt(static_cast<double>(c.radius * c.radius + c.height * c.height)));
        const bool clearing = c.clear != 0 && IsD3D() && Depth() == 32;
        Check(dst, [&](int32_t x, int32_t y, uint32_t old) -> uint32_t {
            if (!c.result) return old;
            const int32_t dx = x - c.dcx, dy = y - c.dcy;
            if (std::abs(dx) > c.radius || std::abs(dy) > c.radius) return old;
            const uint32_t none = clearing ? 0u : old;
            const int32_t d2 = dx * dx + dy * dy;
            if (d2 > c.radius * c.radius) return none;
            const double z = std::sqrt(static_cast<double>(R * R - d2));
            int32_t ox = dx, oy = dy;
            if (z != 0) {
                ox = static_cast<int32_t>(dx * c.height / z + 0.5);
                oy = static_cast<int32_t>(dy * c.height / z + 0.5);
            }
            const int32_t px = c.scx + ox, py = c.scy + oy;
            if (px < 0 || py < 0 || px >= 16 || py >= 12) return none;
            const uint32_t p = Get(src, px, py);
            const bool draw = (IsD3D() && Depth() == 16) ? (c.flag != 1 || Present(p)) : Present(p);
            return draw ? p : none;
        });
    }
}

// ---- Rotation ----------------------------------------------------------------------------------

TEST_P(EffectTest, RotationOnLockedSurfacesIsExact)
{
    // Under Direct3D a system-memory source takes the locked path.
    DDSURFACEDATA* src = PatternSurface(9, 7, true, IsD3D() ? 1 : 0);
    DDSURFACEDATA* dst = NewSurface(24, 24);
    for (int32_t angle : {0, 90, 30, -45, 360, 200}) {
        SCOPED_TRACE(testing::Message() << "angle " << angle);
        FillRaw(dst, Background());
        Snapshot(dst);
        const int32_t w = 7, h = 5, px = w >> 1, py = h >> 1, dcx = 12, dcy = 11, sx = 1, sy = 1;
        ASSERT_TRUE(DDBltRotate(dst, dcx, dcy, w, h, px, py, angle, src, sx, sy, 1));
        const long double t = static_cast<long double>(angle * 0.017453292519943278);
        const int32_t s = static_cast<int32_t>(std::sin(-t) * 1024.0L), co = static_cast<int32_t>(std::cos(-t) * 1024.0L);
        Check(dst, [&](int32_t x, int32_t y, uint32_t old) -> uint32_t {
            const int32_t dx = x - dcx, dy = y - dcy;
            const int32_t ix = ((dx * co - dy * s) >> 10) + px, iy = ((dx * s + dy * co) >> 10) + py;
            if (ix < 0 || ix >= w || iy < 0 || iy >= h) return old;
            const uint32_t p = Get(src, sx + ix, sy + iy);
            if (!Present(p)) return old;
            if (IsD3D() && Depth() == 16 && GetParam().nWindowMode == 0) return p; // not the back buffer
            return p;
        });
        if (angle == 0) {
            EXPECT_EQ(Get(dst, dcx - px, dcy - py), Present(Get(src, sx, sy)) ? Get(src, sx, sy) : Background());
        }
    }
}

TEST_P(Direct3DEffectTest, RotationAsAQuadLandsWithinOnePixel)
{
    // Each source pixel has its own colour, so a drawn pixel tells where it came from.
    const int32_t w = 12, h = 8;
    DDSURFACEDATA* src = NewSurface(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) Put(src, x, y, Opaque(8 + x * 16, 8 + y * 16, 255));
    DDSURFACEDATA* dst = NewSurface(32, 32);
    for (int32_t angle : {0, 90, 33, 180, -70}) {
        SCOPED_TRACE(testing::Message() << "angle " << angle);
        FillRaw(dst, Opaque(0, 0, 0));
        ASSERT_TRUE(DDBltRotate(dst, 16, 16, w, h, w >> 1, h >> 1, angle, src, 0, 0, 1));
        const double t = angle * 0.017453292519943278;
        int32_t drawn = 0;
        for (int32_t y = 0; y < 32; ++y)
            for (int32_t x = 0; x < 32; ++x) {
                int32_t c[3];
                Channels(Get(dst, x, y), &c[0], &c[1], &c[2]);
                if (c[2] == 0) continue;
                ++drawn;
                const int32_t sx = (c[0] - 8 + 8) / 16, sy = (c[1] - 8 + 8) / 16;
                // Where the pixel centre lies in the source, rotated back about the pivot (the
                // quad's corners sit half a pixel before the pixel centres).
                const double dx = x - 16.0 + 0.5, dy = y - 16.0 + 0.5;
                const double fx = dx * std::cos(t) + dy * std::sin(t) + (w >> 1);
                const double fy = -dx * std::sin(t) + dy * std::cos(t) + (h >> 1);
                ASSERT_LE(std::abs(sx + 0.5 - fx), 1.0) << x << "," << y;
                ASSERT_LE(std::abs(sy + 0.5 - fy), 1.0) << x << "," << y;
            }
        EXPECT_NEAR(drawn, w * h, (w + h) * 2) << "about the rectangle's area";
        if (angle == 0 || angle == 90 || angle == 180) {
            EXPECT_EQ(drawn, w * h);
        }
    }
}

// ---- True-colour fade --------------------------------------------------------------------------

TEST_P(EffectTest, TrueColourFadeMixesTheSnapshotWithTheColour)
{
    DDSURFACEDATA* src = PatternSurface(8, 4, false);
    DDSURFACEDATA* dst = NewSurface(8, 4);
    for (int32_t level : {256, 0, 100}) {
        SCOPED_TRACE(testing::Message() << "level " << level);
        FillRaw(dst, Background());
        Snapshot(dst);
        ASSERT_EQ(DDFade_UnPal(dst, level, 200, 100, 50, src), 1);
        const PIXELMASKS& m = SurfaceMasks;
        Check(dst, [&](int32_t x, int32_t y, uint32_t old) -> uint32_t {
            if (IsD3D() || Depth() == 8) return old;
            int32_t c[3];
            Units(Get(src, x, y), c);
            const int32_t k[3] = {200, 100, 50}, mk[3] = {m.nRMask, m.nGMask, m.nBMask};
            int32_t out[3];
            for (int q = 0; q < 3; ++q) {
                const int32_t s = Depth() == 16 ? c[q] * 255 / mk[q] : c[q];
                const int32_t v = (k[q] * (256 - level) + level * s) >> 8;
                out[q] = Depth() == 16 ? v * mk[q] / 255 : v;
            }
            return Pack(out, old);
        });
    }
}

TEST_P(EffectTest, EffectsFailWithoutChangeWhenALockFails)
{
    DDSURFACEDATA* src = PatternSurface(8, 8, false, IsD3D() ? 1 : 0);
    DDSURFACEDATA* dst = NewSurface(8, 8);
    FillRaw(dst, Background());
    ArmGraphicsFault(GraphicsFault::LockSurface, 1);
    EXPECT_FALSE(DDMosaic(dst, 0, 0, 8, 8, 2, src, 0, 0, 0));
    ArmGraphicsFault(GraphicsFault::LockSurface, 1);
    EXPECT_FALSE(DDBltLens(dst, 4, 4, 3, 1, src, 4, 4, 0, 0));
    DisarmGraphicsFaults();
    EXPECT_EQ(Get(dst, 3, 3), Background());
    EXPECT_TRUE(DDMosaic(dst, 0, 0, 8, 8, 0, src, 0, 0, 0)) << "cell 0: nothing to lock";
}

INSTANTIATE_TEST_SUITE_P(Modes, EffectTest, testing::ValuesIn(AllModes()), ModeName);
INSTANTIATE_TEST_SUITE_P(Modes, Direct3DEffectTest, testing::ValuesIn(Direct3DModes()), ModeName);
INSTANTIATE_TEST_SUITE_P(Modes, EightBitEffectTest,
                         testing::ValuesIn(ModesWhere([](const ModeCase& m) { return m.nDepth == 8; })), ModeName);
INSTANTIATE_TEST_SUITE_P(Modes, FullScreen16Direct3DEffectTest, testing::ValuesIn(ModesWhere([](const ModeCase& m) {
                             return m.nBackEnd != 0 && m.nDepth == 16 && m.nWindowMode == 0;
                         })),
                         ModeName);

} // namespace
