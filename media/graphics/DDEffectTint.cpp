// Tint, translucency and colour change.
//
// Under Direct3D both blits draw a textured quad when the surfaces allow it and otherwise mix on
// locked surfaces; under DirectDraw they always mix on locked surfaces, at 8 bits through the
// blend table of palette indexes.
#include "media/graphics/DDEffects.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/Log.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDPixel.h"
#include "media/graphics/DDQuad.h"
#include "media/graphics/GraphicsState.h"
#include "platform/graphics/PixelRows.h"
#include "platform/win/WinFile.h"

using namespace ddpixel;

uint8_t BlendTable[65536];

bool DDLoadTableFile(uint8_t* lpTable, const char* lpPath)
{
    if ((lpDTCon != nullptr)) return true;
    if (!lpTable || !lpPath) return false;
    FILE* fp = PlatformFopen(lpPath, "rb");
    if (!fp) return false;
    // Read into a scratch copy: a short file would leave the table half old and half new, so it
    // is refused and the table stays as it was.
    static uint8_t scratch[65536];
    const size_t got = std::fread(scratch, 1, sizeof(scratch), fp);
    std::fclose(fp);
    if (got != sizeof(scratch)) {
        WriteReportTrace("%s : ブレンドテーブルのサイズが不正です (%d)", lpPath, static_cast<int>(got));
        return false;
    }
    std::memcpy(lpTable, scratch, sizeof(scratch));
    return true;
}

namespace {

// Source rectangle of a quad blit after the mirror adjustment: sx and sy are used by both paths,
// the signed width and height only by the quad's texture coordinates.
struct QuadSource {
    int32_t sx, sy, sw, sh;
};

QuadSource AdjustSource(DDSURFACEDATA* lpSrc, int32_t sx, int32_t sy, int32_t w, int32_t h)
{
    QuadSource q{sx, sy, w, h};
    DDAdjustMirrorSource(lpSrc, &q.sx, &q.sy, &q.sw, &q.sh);
    return q;
}

// The source pixel and its destination both lie inside their surfaces.
struct Span {
    int32_t i0, i1, j0, j1;
};
Span BothInside(const View& dst, const View& src, int32_t x, int32_t y, int32_t w, int32_t h,
                int32_t sx, int32_t sy)
{
    auto lo = [](int32_t a, int32_t b) { return std::max({0, -a, -b}); };
    auto hi = [](int64_t n, int64_t ext1, int64_t a, int64_t ext2, int64_t b) {
        return static_cast<int32_t>(std::max<int64_t>(0, std::min({n, ext1 - a, ext2 - b})));
    };
    Span s;
    s.i0 = lo(x, sx);
    s.j0 = lo(y, sy);
    s.i1 = hi(w, dst.width, x, src.width, sx);
    s.j1 = hi(h, dst.height, y, src.height, sy);
    return s;
}

// A surface mixed into itself reads pixels the loop has already written when the two rectangles
// share rows but not columns; the row loops keep to the pixel loop's order only otherwise.
bool RowsKeepOrder(const cLockedPair& pair, int32_t x, int32_t y, int32_t sx, int32_t sy)
{
    return !pair.bSame || y != sy || x == sx;
}

// ---- Tint ------------------------------------------------------------------------------------

bool TintLockedD3D(DDSURFACEDATA* lpDst, int32_t x, int32_t y, int32_t w, int32_t h,
                   DDSURFACEDATA* lpSrc, int32_t sx, int32_t sy, int32_t flag,
                   const PALETTEENTRY& colour, int32_t level)
{
    cLockedPair pair;
    if (!pair.Lock(lpDst, lpSrc)) return false;
    const Mode& m = pair.mode;
    const bool bKey = flag == 1;
    static constexpr int32_t kFactor[5] = {0, 128, 64, 32, 16};
    const float f = static_cast<float>(level <= 4 ? kFactor[level] : 0) * (1.0f / 255.0f);
    const float g1 = 1.0f - f;
    int32_t kr = colour.peRed, kg = colour.peGreen, kb = colour.peBlue;
    if (m.nDepth == 16) {
        kr = kr * m.sm.rm / 255;
        kg = kg * m.sm.gm / 255;
        kb = kb * m.sm.bm / 255;
    }
    const float kfr = static_cast<float>(kr) * g1, kfg = static_cast<float>(kg) * g1,
                kfb = static_cast<float>(kb) * g1;
    auto mix = [&](int32_t s, int32_t k, float kf) -> int32_t {
        if (level == 1) return (s + k) >> 1;
        return static_cast<int32_t>(static_cast<long double>(s) * static_cast<long double>(f) +
                                    static_cast<long double>(kf));
    };
    const Span sp = BothInside(pair.dst, pair.src, x, y, w, h, sx, sy);
    for (int32_t j = sp.j0; j < sp.j1; ++j) {
        for (int32_t i = sp.i0; i < sp.i1; ++i) {
            if (m.nDepth == 16) {
                const uint16_t p = pair.src.Row<uint16_t>(sy + j)[sx + i];
                if (bKey && !Present16(m, p)) continue;
                const int32_t sr = R16(m.sm, p), sg = G16(m.sm, p), sb = B16(m.sm, p);
                const int32_t r = mix(sr, kr, kfr), b = mix(sb, kb, kfb);
                uint16_t out;
                if (m.bFullBack) {
                    const int32_t g6 = level == 1 ? sg + kg : mix(sg, kg, kfg) * 2;
                    out = static_cast<uint16_t>((r << m.bbm.rs) | (g6 << m.bbm.gs) | (b << m.bbm.bs));
                } else {
                    out = Pack16(m, r, mix(sg, kg, kfg), b);
                }
                pair.dst.Row<uint16_t>(y + j)[x + i] = out;
            } else {
                const uint32_t p = pair.src.Row<uint32_t>(sy + j)[sx + i];
                if (bKey && !Present32(m, p)) continue;
                uint32_t& out = pair.dst.Row<uint32_t>(y + j)[x + i];
                out = Pack32(m, out, mix(static_cast<int32_t>((p >> 16) & 255), kr, kfr),
                             mix(static_cast<int32_t>((p >> 8) & 255), kg, kfg),
                             mix(static_cast<int32_t>(p & 255), kb, kfb));
            }
        }
    }
    return true;
}

// The DirectDraw tint applies one halving step (or one table look-up) per level. The steps are
// composed once per call into a table of 256 results, so each pixel costs one look-up whatever
// the level.
std::array<uint8_t, 256> ComposeTable(const uint8_t* table, int32_t colour, int32_t level)
{
    std::array<uint8_t, 256> result{}, step{};
    for (int32_t v = 0; v < 256; ++v) {
        result[static_cast<size_t>(v)] = static_cast<uint8_t>(v);
        step[static_cast<size_t>(v)] = table[v * 256 + colour];
    }
    // Exponentiation by squaring of the look-up map.
    for (int32_t n = level; n > 0; n >>= 1) {
        if (n & 1)
            for (auto& r : result) r = step[r];
        std::array<uint8_t, 256> sq{};
        for (size_t v = 0; v < 256; ++v) sq[v] = step[step[v]];
        step = sq;
    }
    return result;
}

std::array<uint8_t, 256> ComposeHalving(int32_t k, int32_t level)
{
    std::array<uint8_t, 256> result{};
    // (c + k) >> 1 reaches its fixed point within nine steps for 8-bit values.
    const int32_t steps = std::min(level, 16);
    for (int32_t v = 0; v < 256; ++v) {
        int32_t c = v;
        for (int32_t n = 0; n < steps; ++n) c = (c + k) >> 1;
        result[static_cast<size_t>(v)] = static_cast<uint8_t>(c);
    }
    return result;
}

// The DirectDraw tint below, a row at a time: 8-bit look-ups four at a time, 16-bit channels
// through tables that go from a channel value straight to its tinted value (widening, halving
// and narrowing folded in). False when it does not apply.
bool TintDirectDrawRows(const cLockedPair& pair, const Span& sp, int32_t x, int32_t y, int32_t sx, int32_t sy,
                        bool bKey, const PALETTEENTRY& colour, const uint8_t* table, int32_t index, int32_t steps)
{
    const Mode& m = pair.mode;
    if (gfx::GeneralPixelPathsForced() || !RowsKeepOrder(pair, x, y, sx, sy)) return false;
    if (m.nDepth == 8) {
        std::array<uint8_t, 256> map{};
        if (table) {
            map = ComposeTable(table, index, steps);
        } else {
            for (size_t v = 0; v < 256; ++v) map[v] = static_cast<uint8_t>(v);
        }
        const uint8_t key = static_cast<uint8_t>(m.dwTransmit);
        for (int32_t j = sp.j0; j < sp.j1; ++j) {
            const uint8_t* in = pair.src.Row<uint8_t>(sy + j) + sx;
            uint8_t* out = pair.dst.Row<uint8_t>(y + j) + x;
            int32_t i = sp.i0;
            if (!bKey) {
                for (; i + 4 <= sp.i1; i += 4) {
                    const uint8_t a = map[in[i]], b = map[in[i + 1]], c = map[in[i + 2]], d = map[in[i + 3]];
                    out[i] = a;
                    out[i + 1] = b;
                    out[i + 2] = c;
                    out[i + 3] = d;
                }
            }
            for (; i < sp.i1; ++i) {
                const uint8_t p = in[i];
                if (!bKey || p != key) out[i] = map[p];
            }
        }
        return true;
    }
    if (m.nDepth != 16) return false;
    auto channel = [steps](int32_t colourValue, int32_t mask) {
        const auto halving = ComposeHalving(Expand(colourValue & mask, mask), steps);
        std::vector<uint16_t> t(static_cast<size_t>(mask) + 1);
        for (int32_t v = 0; v <= mask; ++v)
            t[static_cast<size_t>(v)] = static_cast<uint16_t>(Reduce(halving[static_cast<size_t>(Expand(v, mask))], mask));
        return t;
    };
    if (m.sm.rm > 255 || m.sm.gm > 255 || m.sm.bm > 255) return false;
    const std::vector<uint16_t> tr = channel(colour.peRed, m.sm.rm), tg = channel(colour.peGreen, m.sm.gm),
                                tb = channel(colour.peBlue, m.sm.bm);
    for (int32_t j = sp.j0; j < sp.j1; ++j) {
        const uint16_t* in = pair.src.Row<uint16_t>(sy + j) + sx;
        uint16_t* out = pair.dst.Row<uint16_t>(y + j) + x;
        for (int32_t i = sp.i0; i < sp.i1; ++i) {
            const uint16_t p = in[i];
            if (bKey && !Present16(m, p)) continue;
            out[i] = Pack16(m, tr[static_cast<size_t>(R16(m.sm, p))], tg[static_cast<size_t>(G16(m.sm, p))],
                            tb[static_cast<size_t>(B16(m.sm, p))]);
        }
    }
    return true;
}

bool TintDirectDraw(DDSURFACEDATA* lpDst, int32_t x, int32_t y, int32_t w, int32_t h,
                    DDSURFACEDATA* lpSrc, int32_t sx, int32_t sy, int32_t flag,
                    const PALETTEENTRY& colour, const uint8_t* table, int32_t index, int32_t level)
{
    cLockedPair pair;
    if (!pair.Lock(lpDst, lpSrc)) return false;
    const Mode& m = pair.mode;
    const bool bKey = flag == 1;
    const int32_t steps = std::max(level, 0); // a negative level only converts
    const Span sp = BothInside(pair.dst, pair.src, x, y, w, h, sx, sy);
    if (TintDirectDrawRows(pair, sp, x, y, sx, sy, bKey, colour, table, index, steps)) return true;
    if (m.nDepth == 8) {
        std::array<uint8_t, 256> map{};
        if (table) {
            map = ComposeTable(table, index, steps);
        } else {
            for (size_t v = 0; v < 256; ++v) map[v] = static_cast<uint8_t>(v);
        }
        for (int32_t j = sp.j0; j < sp.j1; ++j) {
            const uint8_t* in = pair.src.Row<uint8_t>(sy + j);
            uint8_t* out = pair.dst.Row<uint8_t>(y + j);
            for (int32_t i = sp.i0; i < sp.i1; ++i) {
                const uint8_t p = in[sx + i];
                if (bKey && !Present8(m, p)) continue;
                out[x + i] = map[p];
            }
        }
        return true;
    }
    if (m.nDepth == 16) {
        const auto mr = ComposeHalving(Expand(colour.peRed & m.sm.rm, m.sm.rm), steps);
        const auto mg = ComposeHalving(Expand(colour.peGreen & m.sm.gm, m.sm.gm), steps);
        const auto mb = ComposeHalving(Expand(colour.peBlue & m.sm.bm, m.sm.bm), steps);
        for (int32_t j = sp.j0; j < sp.j1; ++j) {
            const uint16_t* in = pair.src.Row<uint16_t>(sy + j);
            uint16_t* out = pair.dst.Row<uint16_t>(y + j);
            for (int32_t i = sp.i0; i < sp.i1; ++i) {
                const uint16_t p = in[sx + i];
                if (bKey && !Present16(m, p)) continue;
                out[x + i] = Pack16(m, Reduce(mr[static_cast<size_t>(Expand(R16(m.sm, p), m.sm.rm))], m.sm.rm),
                                    Reduce(mg[static_cast<size_t>(Expand(G16(m.sm, p), m.sm.gm))], m.sm.gm),
                                    Reduce(mb[static_cast<size_t>(Expand(B16(m.sm, p), m.sm.bm))], m.sm.bm));
            }
        }
        return true;
    }
    const auto mr = ComposeHalving(colour.peRed, steps);
    const auto mg = ComposeHalving(colour.peGreen, steps);
    const auto mb = ComposeHalving(colour.peBlue, steps);
    for (int32_t j = sp.j0; j < sp.j1; ++j) {
        const uint32_t* in = pair.src.Row<uint32_t>(sy + j);
        uint32_t* out = pair.dst.Row<uint32_t>(y + j);
        for (int32_t i = sp.i0; i < sp.i1; ++i) {
            const uint32_t p = in[sx + i];
            if (bKey && !Present32(m, p)) continue;
            out[x + i] = Pack32(m, out[x + i], mr[(p >> 16) & 255], mg[(p >> 8) & 255], mb[p & 255]);
        }
    }
    return true;
}

// ---- Translucency ----------------------------------------------------------------------------

bool TranslucentLockedD3D(DDSURFACEDATA* lpDst, int32_t x, int32_t y, int32_t w, int32_t h,
                          DDSURFACEDATA* lpSrc, int32_t sx, int32_t sy, int32_t flag)
{
    cLockedPair pair;
    if (!pair.Lock(lpDst, lpSrc)) return false;
    const Mode& m = pair.mode;
    const bool bKey = flag == 1;
    const Span sp = BothInside(pair.dst, pair.src, x, y, w, h, sx, sy);
    for (int32_t j = sp.j0; j < sp.j1; ++j) {
        for (int32_t i = sp.i0; i < sp.i1; ++i) {
            if (m.nDepth == 16) {
                const uint16_t s = pair.src.Row<uint16_t>(sy + j)[sx + i];
                if (bKey && !Present16(m, s)) continue;
                uint16_t& d = pair.dst.Row<uint16_t>(y + j)[x + i];
                if (m.bFullBack) {
                    const int32_t r = (R16(m.sm, s) + R16(m.bbm, d)) >> 1;
                    const int32_t g = (G16(m.bbm, d) + G16(m.sm, s) * 2) >> 1;
                    const int32_t b = (B16(m.sm, s) + B16(m.bbm, d)) >> 1;
                    d = static_cast<uint16_t>((r << m.bbm.rs) | (g << m.bbm.gs) | (b << m.bbm.bs));
                } else {
                    d = Pack16(m, (R16(m.sm, s) + R16(m.sm, d)) >> 1, (G16(m.sm, s) + G16(m.sm, d)) >> 1,
                               (B16(m.sm, s) + B16(m.sm, d)) >> 1);
                }
            } else {
                const uint32_t s = pair.src.Row<uint32_t>(sy + j)[sx + i];
                if (bKey && !Present32(m, s)) continue;
                uint32_t& d = pair.dst.Row<uint32_t>(y + j)[x + i];
                d = Pack32(m, d, static_cast<int32_t>((((s >> 16) & 255) + ((d >> 16) & 255)) >> 1),
                           static_cast<int32_t>((((s >> 8) & 255) + ((d >> 8) & 255)) >> 1),
                           static_cast<int32_t>(((s & 255) + (d & 255)) >> 1));
            }
        }
    }
    return true;
}

// The DirectDraw mix below, a row at a time: 16 (R5G6B5) and 32 bits through the row mixes,
// 8 bits through the blend table with the row pointers kept. False when it does not apply.
bool TranslucentDirectDrawRows(const cLockedPair& pair, const Span& sp, int32_t x, int32_t y, int32_t sx,
                               int32_t sy, bool bKey, const uint8_t* table)
{
    const Mode& m = pair.mode;
    if (gfx::GeneralPixelPathsForced() || !RowsKeepOrder(pair, x, y, sx, sy)) return false;
    if (m.nDepth == 16 && !IsR5G6B5(m.sm)) return false;
    const int32_t n = sp.i1 - sp.i0;
    if (n <= 0) return true;
    for (int32_t j = sp.j0; j < sp.j1; ++j) {
        if (m.nDepth == 8) {
            const uint8_t* in = pair.src.Row<uint8_t>(sy + j) + sx;
            uint8_t* out = pair.dst.Row<uint8_t>(y + j) + x;
            for (int32_t i = sp.i0; i < sp.i1; ++i) {
                const uint8_t s = in[i];
                if (bKey && s == 0) continue;
                const uint8_t d = out[i];
                out[i] = d == 0 || !table ? s : table[s + d * 256];
            }
        } else if (m.nDepth == 16) {
            gfx::rows::MixHalf565(pair.dst.Row<uint16_t>(y + j) + x + sp.i0, pair.src.Row<uint16_t>(sy + j) + sx + sp.i0,
                                  n, static_cast<uint16_t>(m.dwTransmit), bKey);
        } else {
            gfx::rows::MixHalf32(pair.dst.Row<uint32_t>(y + j) + x + sp.i0, pair.src.Row<uint32_t>(sy + j) + sx + sp.i0,
                                 n, m.dwTransmit, bKey);
        }
    }
    return true;
}

bool TranslucentDirectDraw(DDSURFACEDATA* lpDst, int32_t x, int32_t y, int32_t w, int32_t h,
                           DDSURFACEDATA* lpSrc, int32_t sx, int32_t sy, int32_t flag,
                           const uint8_t* table)
{
    cLockedPair pair;
    if (!pair.Lock(lpDst, lpSrc)) return false;
    const Mode& m = pair.mode;
    const bool bKey = flag == 1;
    const Span sp = BothInside(pair.dst, pair.src, x, y, w, h, sx, sy);
    if (TranslucentDirectDrawRows(pair, sp, x, y, sx, sy, bKey, table)) return true;
    for (int32_t j = sp.j0; j < sp.j1; ++j) {
        for (int32_t i = sp.i0; i < sp.i1; ++i) {
            if (m.nDepth == 8) {
                const uint8_t s = pair.src.Row<uint8_t>(sy + j)[sx + i];
                if (bKey && s == 0) continue;
                uint8_t& d = pair.dst.Row<uint8_t>(y + j)[x + i];
                if (d == 0 || !table)
                    d = s;
                else
                    d = table[s + d * 256];
            } else if (m.nDepth == 16) {
                const uint16_t s = pair.src.Row<uint16_t>(sy + j)[sx + i];
                if (bKey && !Present16(m, s)) continue;
                uint16_t& d = pair.dst.Row<uint16_t>(y + j)[x + i];
                if (d == static_cast<uint16_t>(m.dwTransmit)) {
                    d = s;
                    continue;
                }
                auto mean = [](int32_t a, int32_t b, int32_t mask) {
                    return Reduce((Expand(a, mask) + Expand(b, mask)) >> 1, mask);
                };
                d = Pack16(m, mean(R16(m.sm, s), R16(m.sm, d), m.sm.rm),
                           mean(G16(m.sm, s), G16(m.sm, d), m.sm.gm),
                           mean(B16(m.sm, s), B16(m.sm, d), m.sm.bm));
            } else {
                const uint32_t s = pair.src.Row<uint32_t>(sy + j)[sx + i];
                if (bKey && !Present32(m, s)) continue;
                uint32_t& d = pair.dst.Row<uint32_t>(y + j)[x + i];
                if (d == m.dwTransmit) {
                    d = (d & 0xFF000000u) | (s & 0x00FFFFFFu);
                    continue;
                }
                d = Pack32(m, d, static_cast<int32_t>((((s >> 16) & 255) + ((d >> 16) & 255)) >> 1),
                           static_cast<int32_t>((((s >> 8) & 255) + ((d >> 8) & 255)) >> 1),
                           static_cast<int32_t>(((s & 255) + (d & 255)) >> 1));
            }
        }
    }
    return true;
}

} // namespace

bool DDBltTint(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
               DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flag,
               const PALETTEENTRY* lpPalette, const uint8_t* lpTable, int32_t colour, int32_t level)
{
    if (!lpDstSD || !lpSrcSD || !lpPalette) return false;
    const int32_t index = colour & 255;
    const PALETTEENTRY& pe = lpPalette[index];
    if (!(lpDTCon != nullptr)) {
        if (level == 0) return true;
        return TintDirectDraw(lpDstSD, x, y, w, h, lpSrcSD, sx, sy, flag, pe, lpTable, index, level);
    }
    if (level <= 0) return true;
    const QuadSource q = AdjustSource(lpSrcSD, sx, sy, w, h);
    DDRedirectForEffect(&lpDstSD);
    DDRedirectForEffect(&lpSrcSD);
    if (DDEffectTakesQuadPath(lpDstSD, lpSrcSD)) {
        static constexpr uint32_t kE[5] = {0, 128, 80, 48, 16};
        const uint32_t e = level <= 4 ? kE[level] : 0;
        EffectQuad quad = DDMakeRectQuad(lpSrcSD, x, y, w, h, q.sx, q.sy, q.sw, q.sh);
        quad.dwDiffuse = 0xFFFFFFFFu;
        quad.bTextureFactor = true;
        quad.dwTextureFactor = (e << 24) | (static_cast<uint32_t>(pe.peRed) << 16) |
                               (static_cast<uint32_t>(pe.peGreen) << 8) | pe.peBlue;
        quad.dwColorOp = D3DTOP_BLENDFACTORALPHA;
        quad.dwColorArg1 = D3DTA_TEXTURE;
        quad.dwColorArg2 = D3DTA_TFACTOR;
        quad.dwAlphaOp = D3DTOP_SELECTARG1;
        quad.dwAlphaArg1 = D3DTA_TEXTURE;
        quad.dwAlphaArg2 = D3DTA_DIFFUSE;
        DDDrawEffectQuad(lpDstSD, lpSrcSD, quad);
        return true;
    }
    return TintLockedD3D(lpDstSD, x, y, w, h, lpSrcSD, q.sx, q.sy, flag, pe, level);
}

bool DDBltTranslucent(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
                      DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flag,
                      const uint8_t* lpTable, int32_t transparency)
{
    if (!lpDstSD || !lpSrcSD) return false;
    if (!(lpDTCon != nullptr))
        return TranslucentDirectDraw(lpDstSD, x, y, w, h, lpSrcSD, sx, sy, flag, lpTable);
    const QuadSource q = AdjustSource(lpSrcSD, sx, sy, w, h);
    DDRedirectForEffect(&lpDstSD);
    DDRedirectForEffect(&lpSrcSD);
    if (DDEffectTakesQuadPath(lpDstSD, lpSrcSD)) {
        EffectQuad quad = DDMakeRectQuad(lpSrcSD, x, y, w, h, q.sx, q.sy, q.sw, q.sh);
        quad.dwDiffuse = (static_cast<uint32_t>(255 - (transparency & 255)) << 24) | 0x00FFFFFFu;
        quad.dwColorOp = D3DTOP_MODULATE;
        quad.dwColorArg1 = D3DTA_TEXTURE;
        quad.dwColorArg2 = D3DTA_DIFFUSE;
        quad.dwAlphaOp = D3DTOP_MODULATE;
        quad.dwAlphaArg1 = D3DTA_TEXTURE;
        quad.dwAlphaArg2 = D3DTA_DIFFUSE;
        if (DDDrawEffectQuad(lpDstSD, lpSrcSD, quad)) {
            lpDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
            lpDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        }
        return true;
    }
    return TranslucentLockedD3D(lpDstSD, x, y, w, h, lpSrcSD, q.sx, q.sy, flag);
}

bool DDBltTranslucentHalf(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
                          DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flag,
                          const uint8_t* lpTable)
{
    return DDBltTranslucent(lpDstSD, x, y, w, h, lpSrcSD, sx, sy, flag, lpTable, 128);
}

int32_t DDChangeColor(DDSURFACEDATA* lpDstSD, int32_t /*x*/, int32_t /*y*/, int32_t /*nWidth*/,
                      int32_t /*nHeight*/, int32_t nAlpha, uint8_t bRed, uint8_t bGreen, uint8_t bBlue)
{
    if (!(lpDTCon != nullptr)) {
        WriteTraceLogF("DDrawでは DDChangeColor(DDSURFACEDATA *lpDstSD,int x,int y,int nWidth,int nHeight,int nAlpha,BYTE bRed,BYTE bGreen,BYTE bBlue) は未対応");
        return 1;
    }
    if (!lpDstSD) return 1;
    // The colour covers the whole surface, which is what the program's one caller asks for.
    DDRedirectForEffect(&lpDstSD);
    EffectQuad quad = DDMakeRectQuad(lpDstSD, 0, 0, lpDstSD->nWidth, lpDstSD->nHeight, 0, 0,
                                     lpDstSD->nWidth, lpDstSD->nHeight);
    quad.dwDiffuse = (static_cast<uint32_t>((255 - nAlpha) & 255) << 24) |
                     (static_cast<uint32_t>(bRed) << 16) | (static_cast<uint32_t>(bGreen) << 8) | bBlue;
    quad.dwColorOp = D3DTOP_MODULATE;
    quad.dwColorArg1 = D3DTA_TEXTURE;
    quad.dwColorArg2 = D3DTA_DIFFUSE;
    quad.dwAlphaOp = D3DTOP_MODULATE;
    quad.dwAlphaArg1 = D3DTA_TEXTURE;
    quad.dwAlphaArg2 = D3DTA_DIFFUSE;
    DDDrawEffectQuad(lpDstSD, lpDstSD, quad);
    return 1;
}
