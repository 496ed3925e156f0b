// The palette read back from a true-colour palette image, and the DirectDraw screen fade of the
// true-colour modes.
#include <algorithm>
#include <vector>

#include "core/Log.h"
#include "media/graphics/DDEffects.h"
#include "media/graphics/DDPixel.h"
#include "media/graphics/GraphicsState.h"
#include "platform/graphics/PixelRows.h"

using namespace ddpixel;

int32_t DDSetPalette_UnPal(PALETTEENTRY* lpPalette, DDSURFACEDATA* lpSD)
{
    if (!lpPalette || !lpSD) return 0;
    cSurfaceLock lock;
    if (!lock.Lock(lpSD)) {
        if (lpDTCon) WriteTraceLogF("DDSetPalette_UnPal Lock Err");
        return 0;
    }
    const View v = ViewOf(lock);
    // The block lies at columns 0..15, rows 8..23; a smaller image holds no palette.
    if (v.width < 16 || v.height < 24) {
        WriteTraceLogF("DDSetPalette_UnPal : パレット画像が小さすぎます (%d,%d)", v.width, v.height);
        return 0;
    }
    const Layout l = SurfaceLayout();
    const bool bD3D = lpDTCon != nullptr;
    for (int32_t n = 0; n < 256; ++n) {
        const int32_t x = n % 16, y = 8 + n / 16;
        PALETTEENTRY& e = lpPalette[n];
        if (lock.m_nBitDepth == 16) {
            const uint32_t p = v.Row<uint16_t>(y)[x];
            if (bD3D) {
                if (((p >> l.as) & static_cast<uint32_t>(l.am)) == 0) continue;
                e.peRed = static_cast<BYTE>(Expand(R16(l, p), l.rm));
                e.peGreen = static_cast<BYTE>(Expand(G16(l, p), l.gm));
                e.peBlue = static_cast<BYTE>(Expand(B16(l, p), l.bm));
            } else {
                e.peRed = static_cast<BYTE>(R16(l, p));
                e.peGreen = static_cast<BYTE>(G16(l, p));
                e.peBlue = static_cast<BYTE>(B16(l, p));
            }
        } else if (lock.m_nBitDepth == 32) {
            const uint32_t p = v.Row<uint32_t>(y)[x];
            if (bD3D && (p >> 24) == 0) continue;
            e.peRed = static_cast<BYTE>(p >> 16);
            e.peGreen = static_cast<BYTE>(p >> 8);
            e.peBlue = static_cast<BYTE>(p);
            e.peFlags = static_cast<BYTE>(p >> 24);
        } else {
            return 0;
        }
    }
    return 1;
}

namespace {

// The fade below through tables: each channel value goes straight to its faded value (at 16 bits
// widening and narrowing folded in), so a pixel costs three look-ups. False when it does not
// apply.
bool FadeRows(const cLockedPair& pair, const Mode& m, int32_t level, uint8_t red, uint8_t green, uint8_t blue,
              int32_t w, int32_t h)
{
    const int32_t u = 256 - level;
    auto channel = [level](int32_t k, int32_t mask, bool units) {
        std::vector<uint32_t> t(static_cast<size_t>(mask) + 1);
        for (int32_t v = 0; v <= mask; ++v) {
            const int32_t c = (k + level * (units ? Expand(v, mask) : v)) >> 8;
            t[static_cast<size_t>(v)] = static_cast<uint32_t>(units ? Reduce(c, mask) : c);
        }
        return t;
    };
    if (m.nDepth == 16) {
        if (m.sm.rm > 255 || m.sm.gm > 255 || m.sm.bm > 255) return false;
        const auto tr = channel(red * u, m.sm.rm, true), tg = channel(green * u, m.sm.gm, true),
                   tb = channel(blue * u, m.sm.bm, true);
        for (int32_t y = 0; y < h; ++y) {
            const uint16_t* in = pair.src.Row<uint16_t>(y);
            uint16_t* out = pair.dst.Row<uint16_t>(y);
            for (int32_t x = 0; x < w; ++x) {
                const uint16_t p = in[x];
                out[x] = static_cast<uint16_t>((tr[static_cast<size_t>(R16(m.sm, p))] << m.sm.rs) |
                                               (tg[static_cast<size_t>(G16(m.sm, p))] << m.sm.gs) |
                                               (tb[static_cast<size_t>(B16(m.sm, p))] << m.sm.bs));
            }
        }
        return true;
    }
    if (m.nDepth != 32) return false;
    const auto tr = channel(red * u, 255, false), tg = channel(green * u, 255, false),
               tb = channel(blue * u, 255, false);
    for (int32_t y = 0; y < h; ++y) {
        const uint32_t* in = pair.src.Row<uint32_t>(y);
        uint32_t* out = pair.dst.Row<uint32_t>(y);
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t p = in[x];
            out[x] = (out[x] & 0xFF000000u) | (tr[(p >> 16) & 255] << 16) | (tg[(p >> 8) & 255] << 8) | tb[p & 255];
        }
    }
    return true;
}

} // namespace

int32_t DDFade_UnPal(DDSURFACEDATA* lpDstSD, int32_t level, uint8_t red, uint8_t green, uint8_t blue,
                     DDSURFACEDATA* lpSrcSD)
{
    if (lpDTCon) {
        WriteTraceLogF("D3DではDDFade_UnPalは未対応");
        return 1;
    }
    cLockedPair pair;
    if (!pair.Lock(lpDstSD, lpSrcSD)) return 0;
    const Mode& m = pair.mode;
    level = std::clamp(level, 0, 256);
    const int32_t u = 256 - level;
    // Only the pixels that both surfaces hold are mixed.
    const int32_t w = std::min(pair.dst.width, pair.src.width);
    const int32_t h = std::min(pair.dst.height, pair.src.height);
    if (!gfx::GeneralPixelPathsForced() && FadeRows(pair, m, level, red, green, blue, w, h)) return 1;
    if (m.nDepth == 16) {
        const int32_t kr = red * u, kg = green * u, kb = blue * u;
        for (int32_t y = 0; y < h; ++y) {
            const uint16_t* in = pair.src.Row<uint16_t>(y);
            uint16_t* out = pair.dst.Row<uint16_t>(y);
            for (int32_t x = 0; x < w; ++x) {
                const uint16_t p = in[x];
                const int32_t r = (kr + level * Expand(R16(m.sm, p), m.sm.rm)) >> 8;
                const int32_t g = (kg + level * Expand(G16(m.sm, p), m.sm.gm)) >> 8;
                const int32_t b = (kb + level * Expand(B16(m.sm, p), m.sm.bm)) >> 8;
                out[x] = static_cast<uint16_t>((Reduce(r, m.sm.rm) << m.sm.rs) | (Reduce(g, m.sm.gm) << m.sm.gs) |
                                               (Reduce(b, m.sm.bm) << m.sm.bs));
            }
        }
    } else if (m.nDepth == 32) {
        const uint32_t kr = static_cast<uint32_t>(red * u), kg = static_cast<uint32_t>(green * u),
                       kb = static_cast<uint32_t>(blue * u);
        const uint32_t lv = static_cast<uint32_t>(level);
        for (int32_t y = 0; y < h; ++y) {
            const uint32_t* in = pair.src.Row<uint32_t>(y);
            uint32_t* out = pair.dst.Row<uint32_t>(y);
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t p = in[x];
                const uint32_t r = (kr + lv * ((p >> 16) & 255)) >> 8;
                const uint32_t g = (kg + lv * ((p >> 8) & 255)) >> 8;
                const uint32_t b = (kb + lv * (p & 255)) >> 8;
                out[x] = (out[x] & 0xFF000000u) | (r << 16) | (g << 8) | b;
            }
        }
    }
    return 1;
}
