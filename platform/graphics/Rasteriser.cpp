#include "platform/graphics/Rasteriser.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "platform/graphics/RasterRows.h"

namespace gfx::raster {

namespace {

using i128 = __int128;

bool g_bForceGeneral = false;
uint64_t g_nQuads = 0;

// Sampling positions that fall exactly on a texel boundary go to the texel on the right or
// below, whatever rounding the interpolation left: a 1/1024 texel push.
constexpr int64_t kTexelBias = int64_t{1} << (kTexelShift - 10);

inline uint32_t Clamp255(int32_t v) { return static_cast<uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }
inline uint32_t Mul255(uint32_t a, uint32_t b) { return DivRound255(a * b); }
inline uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

int64_t FloorDiv(int64_t v, int64_t d) { return v >= 0 ? v / d : -((-v + d - 1) / d); }
int64_t CeilDiv(int64_t v, int64_t d) { return -FloorDiv(-v, d); }

inline i128 FloorDiv128(i128 a, i128 d) {   // d > 0
    constexpr i128 kLimit = i128{1} << 62;
    if (a > -kLimit && a < kLimit && d < kLimit) return FloorDiv(static_cast<int64_t>(a), static_cast<int64_t>(d));
    i128 q = a / d;
    if (a % d != 0 && a < 0) --q;
    return q;
}
inline i128 RoundDiv128(i128 a, i128 d) { return FloorDiv128(2 * a + d, 2 * d); }

// A texture coordinate over the screen: value at pixel centre (x, y) = base + gx * x + gy * y in
// 32.32 fixed point. Each term is the exact plane through the triangle's vertices, rounded, so two
// triangles on one plane (the halves of a quad) get the same terms whichever is asked.
struct TexelPlane {
    i128 base, gx, gy;
    // The value at (x, y) modulo 2^64: exact wherever the true value fits, which it does
    // inside the triangle; stepping by gx modulo 2^64 stays exact along the row.
    uint64_t At(int64_t x, int64_t y) const { return static_cast<uint64_t>(base + gx * x + gy * y); }
    uint64_t StepX() const { return static_cast<uint64_t>(gx); }
    uint64_t StepY() const { return static_cast<uint64_t>(gy); }
};

TexelPlane MakeTexelPlane(const Vertex& a, const Vertex& b, const Vertex& c, int64_t Vertex::*field) {
    const i128 dx1 = b.fx - a.fx, dy1 = b.fy - a.fy, dx2 = c.fx - a.fx, dy2 = c.fy - a.fy;
    const i128 det = dx1 * dy2 - dx2 * dy1;   // > 0 for the clockwise triangles drawn
    const i128 f1 = b.*field - a.*field, f2 = c.*field - a.*field;
    const i128 nx = f1 * dy2 - f2 * dy1;   // gradient per sub-pixel = n / det
    const i128 ny = f2 * dx1 - f1 * dx2;
    TexelPlane p;
    p.gx = RoundDiv128(nx * kSubPixel, det);
    p.gy = RoundDiv128(ny * kSubPixel, det);
    p.base = RoundDiv128(static_cast<i128>(a.*field) * det - nx * a.fx - ny * a.fy, det);
    return p;
}

// The same plane for a coordinate that follows one axis alone, from its values at two positions
// lo < hi on that axis: the triangle's plane is then the line through them, and each term is
// that line's exact value rounded as MakeTexelPlane rounds it, with numbers small enough for
// 64-bit division in every usual case.
TexelPlane AxisTexelPlane(int64_t lo, int64_t hi, int64_t fLo, int64_t fHi, bool alongX) {
    const i128 span = hi - lo, df = static_cast<i128>(fHi) - fLo;
    const i128 gradient = RoundDiv128(df * kSubPixel, span);
    TexelPlane p;
    p.gx = alongX ? gradient : 0;
    p.gy = alongX ? 0 : gradient;
    p.base = RoundDiv128(static_cast<i128>(fLo) * span - df * lo, span);
    return p;
}

inline int64_t TexelIndex(uint64_t fixed, int32_t size, bool wrap) {
    int64_t t = static_cast<int64_t>(fixed + static_cast<uint64_t>(kTexelBias)) >> kTexelShift;
    if (t < 0 || t >= size) t = wrap ? ((t % size) + size) % size : std::clamp<int64_t>(t, 0, size - 1);
    return t;
}

// ---- Texels -----------------------------------------------------------------------------------

template <PixelFormat F>
inline uint32_t TexelArgb(const uint8_t* p) {
    if constexpr (F == PixelFormat::X8R8G8B8) return LoadRaw<F>(p) | 0xFF000000u;
    else if constexpr (F == PixelFormat::A8R8G8B8) return LoadRaw<F>(p);
    else return PixelToArgb(F, LoadRaw<F>(p));
}

template <PixelFormat F>
void FetchWalking(const cPixelBuffer& tex, uint64_t u, uint64_t v, uint64_t du, uint64_t dv, int32_t n, bool wrapU,
                  bool wrapV, uint32_t* out) {
    const int32_t tw = tex.Width(), th = tex.Height();
    for (int32_t i = 0; i < n; ++i, u += du, v += dv) {
        const int64_t tu = TexelIndex(u, tw, wrapU), tv = TexelIndex(v, th, wrapV);
        out[i] = TexelArgb<F>(tex.Row(static_cast<int32_t>(tv)) + tu * FormatBytes<F>());
    }
}

template <PixelFormat F>
void FetchColumns(const uint8_t* row, const int32_t* columns, int32_t n, uint32_t* out) {
    for (int32_t i = 0; i < n; ++i) out[i] = TexelArgb<F>(row + columns[i]);
}

// Calls fn with the texture format as a compile-time constant.
// Texels of `bytes` bytes at the byte offsets `columns` into one row, four loads before their
// stores; a copy of a fixed size is a single move, where one of a size known only at run time is
// a call per texel.
template <size_t kBytes>
void GatherTexels(uint8_t* out, const uint8_t* row, const int32_t* columns, int32_t n) {
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        uint8_t a[kBytes], b[kBytes], c[kBytes], d[kBytes];
        std::memcpy(a, row + columns[i], kBytes);
        std::memcpy(b, row + columns[i + 1], kBytes);
        std::memcpy(c, row + columns[i + 2], kBytes);
        std::memcpy(d, row + columns[i + 3], kBytes);
        std::memcpy(out + i * kBytes, a, kBytes);
        std::memcpy(out + (i + 1) * kBytes, b, kBytes);
        std::memcpy(out + (i + 2) * kBytes, c, kBytes);
        std::memcpy(out + (i + 3) * kBytes, d, kBytes);
    }
    for (; i < n; ++i) std::memcpy(out + i * kBytes, row + columns[i], kBytes);
}

template <class Fn>
void WithFormat(PixelFormat format, Fn&& fn) {
    switch (format) {
    case PixelFormat::P8: fn(std::integral_constant<PixelFormat, PixelFormat::P8>{}); break;
    case PixelFormat::R5G6B5: fn(std::integral_constant<PixelFormat, PixelFormat::R5G6B5>{}); break;
    case PixelFormat::X1R5G5B5: fn(std::integral_constant<PixelFormat, PixelFormat::X1R5G5B5>{}); break;
    case PixelFormat::A1R5G5B5: fn(std::integral_constant<PixelFormat, PixelFormat::A1R5G5B5>{}); break;
    case PixelFormat::R8G8B8: fn(std::integral_constant<PixelFormat, PixelFormat::R8G8B8>{}); break;
    case PixelFormat::X8R8G8B8: fn(std::integral_constant<PixelFormat, PixelFormat::X8R8G8B8>{}); break;
    case PixelFormat::A8R8G8B8: fn(std::integral_constant<PixelFormat, PixelFormat::A8R8G8B8>{}); break;
    case PixelFormat::Unknown: break;
    }
}

// ---- The texture stage ------------------------------------------------------------------------

// One texture-stage operation on one 8-bit channel.
uint32_t StageOp(DWORD op, uint32_t a1, uint32_t a2, uint32_t current, uint32_t diffuseA, uint32_t textureA,
                 uint32_t factorA) {
    switch (op) {
    case D3DTOP_DISABLE: return current;
    case D3DTOP_SELECTARG1: return a1;
    case D3DTOP_SELECTARG2: return a2;
    case D3DTOP_MODULATE: return Mul255(a1, a2);
    case D3DTOP_MODULATE2X: return std::min<uint32_t>(255, 2 * Mul255(a1, a2));
    case D3DTOP_MODULATE4X: return std::min<uint32_t>(255, 4 * Mul255(a1, a2));
    case D3DTOP_ADD: return std::min<uint32_t>(255, a1 + a2);
    case D3DTOP_ADDSIGNED: return Clamp255(static_cast<int32_t>(a1 + a2) - 128);
    case D3DTOP_SUBTRACT: return a1 > a2 ? a1 - a2 : 0;
    case D3DTOP_BLENDDIFFUSEALPHA: return DivRound255(a1 * diffuseA + a2 * (255 - diffuseA));
    case D3DTOP_BLENDTEXTUREALPHA: return DivRound255(a1 * textureA + a2 * (255 - textureA));
    case D3DTOP_BLENDFACTORALPHA: return DivRound255(a1 * factorA + a2 * (255 - factorA));
    default: return current;
    }
}

inline uint32_t Argument(DWORD arg, uint32_t diffuse, uint32_t texel, uint32_t factor) {
    uint32_t value;
    switch (arg & 0xF) {
    case D3DTA_DIFFUSE:
    case D3DTA_CURRENT: value = diffuse; break;
    case D3DTA_TEXTURE: value = texel; break;
    case D3DTA_TFACTOR: value = factor; break;
    default: value = diffuse; break;
    }
    if (arg & 0x10) value = ~value;   // complement
    if (arg & 0x20) {                 // alpha replicate
        const uint32_t al = value >> 24;
        value = (value & 0xFF000000u) | al << 16 | al << 8 | al;
    }
    return value;
}

uint32_t StagePixel(const Stage& stage, uint32_t factor, uint32_t diffuse, uint32_t texel) {
    const uint32_t ca1 = Argument(stage.colorArg1, diffuse, texel, factor);
    const uint32_t ca2 = Argument(stage.colorArg2, diffuse, texel, factor);
    const uint32_t aa1 = Argument(stage.alphaArg1, diffuse, texel, factor);
    const uint32_t aa2 = Argument(stage.alphaArg2, diffuse, texel, factor);
    const uint32_t dA = diffuse >> 24, tA = texel >> 24, fA = factor >> 24;
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        out |= StageOp(stage.colorOp, Channel(ca1, shift), Channel(ca2, shift), Channel(diffuse, shift), dA, tA, fA)
               << shift;
    out |= StageOp(stage.alphaOp, aa1 >> 24, aa2 >> 24, dA, dA, tA, fA) << 24;
    return out;
}

// The texture times opaque white with alpha from the texture gives the texel itself.
bool PlainTexture(const Stage& stage, uint32_t flatDiffuse, bool flat) {
    return flat && flatDiffuse == 0xFFFFFFFF && stage.colorArg1 == D3DTA_TEXTURE &&
           (stage.colorArg2 == D3DTA_DIFFUSE || stage.colorArg2 == D3DTA_CURRENT) &&
           stage.alphaArg1 == D3DTA_TEXTURE &&
           (stage.alphaArg2 == D3DTA_DIFFUSE || stage.alphaArg2 == D3DTA_CURRENT) &&
           (stage.colorOp == D3DTOP_MODULATE || stage.colorOp == D3DTOP_SELECTARG1) &&
           (stage.alphaOp == D3DTOP_MODULATE || stage.alphaOp == D3DTOP_SELECTARG1);
}

// Whether the stage's result can depend on the texel: an argument that reads the texture, or an
// operation that blends by its alpha.
bool TexelMatters(DWORD op, DWORD arg1, DWORD arg2) {
    auto reads = [](DWORD arg) { return (arg & 0xF) == D3DTA_TEXTURE; };
    switch (op) {
    case D3DTOP_DISABLE: return false;
    case D3DTOP_SELECTARG1: return reads(arg1);
    case D3DTOP_SELECTARG2: return reads(arg2);
    case D3DTOP_BLENDTEXTUREALPHA: return true;
    default: return reads(arg1) || reads(arg2);
    }
}

// Stages whose result is the texel times a flat colour channel by channel: modulate by the
// diffuse colour or select the texture, for colour and alpha each. The multiplier holds the
// colour (255 where the texture is selected: a channel times 255 rounds back to itself).
bool FlatModulate(const Stage& stage, uint32_t flatDiffuse, uint32_t* multiplier) {
    auto diffuseArg = [](DWORD arg) { return arg == D3DTA_DIFFUSE || arg == D3DTA_CURRENT; };
    auto part = [&](DWORD op, DWORD arg1, DWORD arg2, uint32_t mask, uint32_t* out) {
        if (arg1 != D3DTA_TEXTURE) return false;
        if (op == D3DTOP_SELECTARG1) {
            *out |= mask;
            return true;
        }
        if (op == D3DTOP_MODULATE && diffuseArg(arg2)) {
            *out |= flatDiffuse & mask;
            return true;
        }
        return false;
    };
    uint32_t m = 0;
    if (!part(stage.colorOp, stage.colorArg1, stage.colorArg2, 0x00FFFFFFu, &m) ||
        !part(stage.alphaOp, stage.alphaArg1, stage.alphaArg2, 0xFF000000u, &m))
        return false;
    *multiplier = m;
    return true;
}

// ---- Blending and writing ---------------------------------------------------------------------

uint32_t BlendFactor(DWORD factor, uint32_t srcChannel, uint32_t srcAlpha) {
    switch (factor) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_ONE: return 255;
    case D3DBLEND_SRCCOLOR: return srcChannel;
    case D3DBLEND_INVSRCCOLOR: return 255 - srcChannel;
    case D3DBLEND_SRCALPHA: return srcAlpha;
    case D3DBLEND_INVSRCALPHA: return 255 - srcAlpha;
    default: return 255;
    }
}

// Source-alpha blending: each channel (src * a + dst * (255 - a)) / 255, rounded.
inline uint32_t MixStandard(uint32_t src, uint32_t dst) {
    const uint32_t sa = src >> 24;
    uint32_t mixed = 0;
    for (int shift = 0; shift <= 24; shift += 8)
        mixed |= DivRound255(Channel(src, shift) * sa + Channel(dst, shift) * (255 - sa)) << shift;
    return mixed;
}

inline uint32_t MixGeneral(uint32_t src, uint32_t dst, DWORD srcBlend, DWORD dstBlend) {
    const uint32_t sa = src >> 24;
    uint32_t mixed = 0;
    for (int shift = 0; shift <= 24; shift += 8) {
        const uint32_t sc = Channel(src, shift), dc = Channel(dst, shift);
        const uint32_t fs = BlendFactor(srcBlend, sc, sa), fd = BlendFactor(dstBlend, sc, sa);
        // Sums from 255 * 255 up round to 255 and more: the clamp keeps DivRound255 in its range.
        mixed |= std::min<uint32_t>(255, DivRound255(std::min<uint32_t>(sc * fs + dc * fd, 255 * 255))) << shift;
    }
    return mixed;
}

enum class BlendKind { None, Standard, General };

// Writes one shaded pixel. 32-bit targets: X8R8G8B8 reads as opaque and keeps 0 in its unused
// top byte. Narrower targets go through 0xAARRGGBB and back.
template <PixelFormat F, BlendKind B>
inline void WritePixel(uint8_t* p, uint32_t out, DWORD srcBlend, DWORD dstBlend) {
    if constexpr (F == PixelFormat::X8R8G8B8 || F == PixelFormat::A8R8G8B8) {
        constexpr uint32_t kOpaque = F == PixelFormat::A8R8G8B8 ? 0u : 0xFF000000u;
        constexpr uint32_t kKept = F == PixelFormat::A8R8G8B8 ? 0xFFFFFFFFu : 0x00FFFFFFu;
        if constexpr (B == BlendKind::Standard) {
            const uint32_t sa = out >> 24;
            if (sa == 0) return;
            if (sa != 255) out = MixStandard(out, LoadRaw<F>(p) | kOpaque);
        } else if constexpr (B == BlendKind::General) {
            out = MixGeneral(out, PixelToArgb(F, LoadRaw<F>(p)), srcBlend, dstBlend);
        }
        StoreRaw<F>(p, out & kKept);
    } else {
        // Formats whose pixels read back to 0xAARRGGBB and convert to themselves again.
        constexpr bool kRoundTrips = F == PixelFormat::R5G6B5 || F == PixelFormat::A1R5G5B5;
        if constexpr (B == BlendKind::Standard) {
            const uint32_t sa = out >> 24;
            if (sa == 0) {
                if constexpr (kRoundTrips) return;
                out = PixelToArgb(F, LoadRaw<F>(p));
            } else if (sa != 255) {
                out = MixStandard(out, PixelToArgb(F, LoadRaw<F>(p)));
            }
        } else if constexpr (B == BlendKind::General) {
            out = MixGeneral(out, PixelToArgb(F, LoadRaw<F>(p)), srcBlend, dstBlend);
        }
        StoreRaw<F>(p, ArgbToPixel(F, out));
    }
}

template <PixelFormat F, BlendKind B>
void WriteRowT(uint8_t* row, int32_t n, const uint32_t* src, DWORD srcBlend, DWORD dstBlend) {
    for (int32_t i = 0; i < n; ++i) WritePixel<F, B>(row + i * FormatBytes<F>(), src[i], srcBlend, dstBlend);
}

// The plain blit in one pass: texel straight to the target.
template <PixelFormat T, PixelFormat F, BlendKind B>
void BlitRowT(uint8_t* row, int32_t n, const uint8_t* texRow, const int32_t* columns) {
    for (int32_t i = 0; i < n; ++i) WritePixel<F, B>(row + i * FormatBytes<F>(), TexelArgb<T>(texRow + columns[i]), 0, 0);
}

BlendKind KindOf(const DrawState& s) {
    if (!s.blend) return BlendKind::None;
    return s.srcBlend == D3DBLEND_SRCALPHA && s.dstBlend == D3DBLEND_INVSRCALPHA ? BlendKind::Standard
                                                                                  : BlendKind::General;
}

using BlitRowFn = void (*)(uint8_t*, int32_t, const uint8_t*, const int32_t*);

template <PixelFormat T, PixelFormat F>
BlitRowFn BlitRowFor(BlendKind kind) {
    if (kind == BlendKind::None) return &BlitRowT<T, F, BlendKind::None>;
    if (kind == BlendKind::Standard) return &BlitRowT<T, F, BlendKind::Standard>;
    return nullptr;
}

// The one-pass row for the texture and target formats of the usual blits; null for others.
BlitRowFn PlainBlitRow(PixelFormat texture, PixelFormat target, BlendKind kind) {
    using P = PixelFormat;
    auto forTarget = [&](auto t) -> BlitRowFn {
        constexpr P T = decltype(t)::value;
        switch (target) {
        case P::X8R8G8B8: return BlitRowFor<T, P::X8R8G8B8>(kind);
        case P::A8R8G8B8: return BlitRowFor<T, P::A8R8G8B8>(kind);
        case P::R5G6B5: return BlitRowFor<T, P::R5G6B5>(kind);
        case P::A1R5G5B5: return BlitRowFor<T, P::A1R5G5B5>(kind);
        default: return nullptr;
        }
    };
    switch (texture) {
    case P::A8R8G8B8: return forTarget(std::integral_constant<P, P::A8R8G8B8>{});
    case P::X8R8G8B8: return forTarget(std::integral_constant<P, P::X8R8G8B8>{});
    case P::A1R5G5B5: return forTarget(std::integral_constant<P, P::A1R5G5B5>{});
    case P::R5G6B5: return forTarget(std::integral_constant<P, P::R5G6B5>{});
    default: return nullptr;
    }
}

template <PixelFormat F>
void WriteRowFormat(const DrawState& s, uint8_t* row, int32_t n, const uint32_t* src) {
    switch (KindOf(s)) {
    case BlendKind::None: WriteRowT<F, BlendKind::None>(row, n, src, s.srcBlend, s.dstBlend); break;
    case BlendKind::Standard: WriteRowT<F, BlendKind::Standard>(row, n, src, s.srcBlend, s.dstBlend); break;
    case BlendKind::General: WriteRowT<F, BlendKind::General>(row, n, src, s.srcBlend, s.dstBlend); break;
    }
}

void WriteRow(const DrawState& s, uint8_t* row, int32_t x0, int32_t n, const uint32_t* src) {
    const PixelFormat format = s.target->Format();
    WithFormat(format, [&](auto f) {
        constexpr PixelFormat F = decltype(f)::value;
        WriteRowFormat<F>(s, row + x0 * FormatBytes<F>(), n, src);
    });
}

}  // namespace

void cRasteriser::ShadeRow(const DrawState& state, bool plain, uint8_t* row, int32_t x0, int32_t n,
                           uint32_t flatDiffuse, const uint32_t* diffuse) {
    const uint32_t* out = m_vTexels.data();
    if (!plain) {
        uint32_t* colour = m_vColour.data();
        for (int32_t i = 0; i < n; ++i)
            colour[i] = StagePixel(state.stage, state.factor, diffuse ? diffuse[i] : flatDiffuse, m_vTexels[i]);
        out = colour;
    }
    WriteRow(state, row, x0, n, out);
}

void cRasteriser::Triangle(const DrawState& state, const Vertex& a, const Vertex& b, const Vertex& c) {
    cPixelBuffer& target = *state.target;
    int64_t minX = FloorDiv(std::min({a.fx, b.fx, c.fx}), kSubPixel);
    int64_t maxX = FloorDiv(std::max({a.fx, b.fx, c.fx}) + kSubPixel - 1, kSubPixel);
    int64_t minY = FloorDiv(std::min({a.fy, b.fy, c.fy}), kSubPixel);
    int64_t maxY = FloorDiv(std::max({a.fy, b.fy, c.fy}) + kSubPixel - 1, kSubPixel);
    minX = std::max<int64_t>(minX, 0);
    minY = std::max<int64_t>(minY, 0);
    maxX = std::min<int64_t>(maxX, target.Width() - 1);
    maxY = std::min<int64_t>(maxY, target.Height() - 1);
    if (minX > maxX || minY > maxY) return;

    // Edge from p to q; a pixel centre exactly on an edge belongs to the triangle when the edge
    // is a top edge (horizontal, going right) or a left edge (going up). Pixel centres lie on
    // whole coordinates.
    struct Edge {
        int64_t px, py, dx, dy;
        bool topLeft;
        int64_t At(int64_t x, int64_t y) const { return dx * (y - py) - dy * (x - px); }
    };
    auto makeEdge = [](const Vertex& p, const Vertex& q) {
        Edge e{p.fx, p.fy, q.fx - p.fx, q.fy - p.fy, false};
        e.topLeft = e.dy < 0 || (e.dy == 0 && e.dx > 0);
        return e;
    };
    const Edge edges[3] = {makeEdge(b, c), makeEdge(c, a), makeEdge(a, b)};

    const TexelPlane pu = MakeTexelPlane(a, b, c, &Vertex::u), pv = MakeTexelPlane(a, b, c, &Vertex::v);

    // Colours: planes over the screen in doubles, rounded per pixel.
    const double x0 = static_cast<double>(a.fx) / kSubPixel, y0 = static_cast<double>(a.fy) / kSubPixel;
    const double x1 = static_cast<double>(b.fx) / kSubPixel, y1 = static_cast<double>(b.fy) / kSubPixel;
    const double x2 = static_cast<double>(c.fx) / kSubPixel, y2 = static_cast<double>(c.fy) / kSubPixel;
    const double det = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    struct Plane {
        double dx, dy, base;
        double At(double x, double y) const { return base + dx * x + dy * y; }
    };
    auto plane = [&](double f0, double f1, double f2) {
        Plane p;
        p.dx = ((f1 - f0) * (y2 - y0) - (f2 - f0) * (y1 - y0)) / det;
        p.dy = ((f2 - f0) * (x1 - x0) - (f1 - f0) * (x2 - x0)) / det;
        p.base = f0 - p.dx * x0 - p.dy * y0;
        return p;
    };
    const bool flatColour = a.diffuse == b.diffuse && a.diffuse == c.diffuse;
    Plane pc[4];
    if (!flatColour)
        for (int k = 0; k < 4; ++k) {
            const int shift = 24 - 8 * k;
            pc[k] = plane(Channel(a.diffuse, shift), Channel(b.diffuse, shift), Channel(c.diffuse, shift));
        }
    const bool plain = PlainTexture(state.stage, a.diffuse, flatColour);

    const size_t width = static_cast<size_t>(target.Width());
    if (m_vTexels.size() < width) {
        m_vTexels.resize(width);
        m_vColour.resize(width);
        m_vDiffuse.resize(width);
    }
    if (!state.texture) std::fill(m_vTexels.begin(), m_vTexels.begin() + static_cast<ptrdiff_t>(width), 0xFFFFFFFFu);

    for (int64_t y = minY; y <= maxY; ++y) {
        const int64_t cy = y * kSubPixel;
        // The row's span: each edge's test is linear in x, so its bounds are found exactly.
        int64_t xs = minX, xe = maxX;
        for (const Edge& e : edges) {
            const int64_t w0 = e.At(minX * kSubPixel, cy);
            const int64_t step = -e.dy * kSubPixel;
            const int64_t threshold = e.topLeft ? 0 : 1;
            if (step == 0) {
                if (w0 < threshold) xs = maxX + 1;
            } else if (step > 0) {
                xs = std::max(xs, minX + CeilDiv(threshold - w0, step));
            } else {
                xe = std::min(xe, minX + FloorDiv(w0 - threshold, -step));
            }
        }
        if (xs > xe) continue;
        const int32_t n = static_cast<int32_t>(xe - xs + 1);
        if (state.texture) {
            const bool wrapU = state.wrapU, wrapV = state.wrapV;
            const uint64_t u = pu.At(xs, y), v = pv.At(xs, y), du = pu.StepX(), dv = pv.StepX();
            WithFormat(state.texture->Format(), [&](auto f) {
                FetchWalking<decltype(f)::value>(*state.texture, u, v, du, dv, n, wrapU, wrapV, m_vTexels.data());
            });
        }
        if (!flatColour) {
            const double fy = static_cast<double>(y);
            for (int32_t i = 0; i < n; ++i) {
                const double fx = static_cast<double>(xs + i);
                uint32_t d = 0;
                for (int k = 0; k < 4; ++k)
                    d |= Clamp255(static_cast<int32_t>(std::lround(pc[k].At(fx, fy)))) << (24 - 8 * k);
                m_vDiffuse[static_cast<size_t>(i)] = d;
            }
        }
        ShadeRow(state, plain, target.Row(static_cast<int32_t>(y)), static_cast<int32_t>(xs), n, a.diffuse,
                 flatColour ? nullptr : m_vDiffuse.data());
    }
}

bool cRasteriser::Quad(const DrawState& state, const Vertex t0[3], const Vertex t1[3]) {
    if (g_bForceGeneral) return false;
    auto same = [](const Vertex& p, const Vertex& q) {
        return p.fx == q.fx && p.fy == q.fy && p.u == q.u && p.v == q.v && p.diffuse == q.diffuse;
    };
    // The rectangle's corners from the first triangle's box.
    const int64_t left = std::min({t0[0].fx, t0[1].fx, t0[2].fx}), right = std::max({t0[0].fx, t0[1].fx, t0[2].fx});
    const int64_t top = std::min({t0[0].fy, t0[1].fy, t0[2].fy}), bottom = std::max({t0[0].fy, t0[1].fy, t0[2].fy});
    if (left == right || top == bottom) return false;
    // Corner index: bit 0 right, bit 1 bottom; the corners point into t0 and t1.
    const Vertex* corners[4] = {};
    unsigned seen = 0;
    unsigned missing[2];
    const Vertex* tris[2] = {t0, t1};
    for (int t = 0; t < 2; ++t) {
        unsigned inTriangle = 0;
        for (int k = 0; k < 3; ++k) {
            const Vertex& p = tris[t][k];
            const bool atLeft = p.fx == left, atTop = p.fy == top;
            if ((!atLeft && p.fx != right) || (!atTop && p.fy != bottom)) return false;
            const unsigned corner = (atLeft ? 0u : 1u) | (atTop ? 0u : 2u), bit = 1u << corner;
            if (inTriangle & bit) return false;
            inTriangle |= bit;
            if (seen & bit) {
                if (!same(*corners[corner], p)) return false;
            } else {
                corners[corner] = &p;
                seen |= bit;
            }
        }
        missing[t] = static_cast<unsigned>(__builtin_ctz(~inTriangle & 0xFu));
    }
    // The halves of one diagonal cut: each leaves out a corner the other keeps, opposite ones,
    // so that between them they have all four.
    if ((missing[0] ^ missing[1]) != 3) return false;
    const Vertex &c0 = *corners[0], &c1 = *corners[1], &c2 = *corners[2], &c3 = *corners[3];
    const uint32_t diffuse = c0.diffuse;
    if (c1.diffuse != diffuse || c2.diffuse != diffuse || c3.diffuse != diffuse) return false;
    // u follows x alone, v follows y alone.
    if (c0.u != c2.u || c1.u != c3.u || c0.v != c1.v || c2.v != c3.v) return false;
    const TexelPlane pu = AxisTexelPlane(left, right, c0.u, c1.u, true);
    const TexelPlane pv = AxisTexelPlane(top, bottom, c0.v, c2.v, false);
    ++g_nQuads;

    // Left and top edges keep the pixel centres on them, right and bottom edges do not.
    cPixelBuffer& target = *state.target;
    const int64_t xs = std::max<int64_t>(CeilDiv(left, kSubPixel), 0);
    const int64_t xe = std::min<int64_t>(CeilDiv(right, kSubPixel) - 1, target.Width() - 1);
    const int64_t ys = std::max<int64_t>(CeilDiv(top, kSubPixel), 0);
    const int64_t ye = std::min<int64_t>(CeilDiv(bottom, kSubPixel) - 1, target.Height() - 1);
    if (xs > xe || ys > ye) return true;
    const int32_t n = static_cast<int32_t>(xe - xs + 1);

    const size_t width = static_cast<size_t>(target.Width());
    if (m_vTexels.size() < width) {
        m_vTexels.resize(width);
        m_vColour.resize(width);
        m_vDiffuse.resize(width);
    }
    if (m_vColumns.size() < width) m_vColumns.resize(width);
    const bool plain = PlainTexture(state.stage, diffuse, true);
    const cPixelBuffer* tex = state.texture;
    const BlendKind kind = KindOf(state);
    const PixelFormat targetFormat = target.Format();
    const bool target32 = targetFormat == PixelFormat::X8R8G8B8 || targetFormat == PixelFormat::A8R8G8B8;
    const bool target16 = targetFormat == PixelFormat::R5G6B5 || targetFormat == PixelFormat::A1R5G5B5;
    const bool alphaTarget = targetFormat == PixelFormat::A8R8G8B8;
    const bool r565Target = targetFormat == PixelFormat::R5G6B5;
    const int32_t targetBytes = target.BytesPerPixel();
    const int32_t rowCount = static_cast<int32_t>(ye - ys + 1);
    const rows::TargetRect rect{target.Row(static_cast<int32_t>(ys)) + xs * targetBytes, target.Pitch(), rowCount, n};

    // One colour for the whole quad: a stage the texture does not reach (fills), or no texture
    // (every texel opaque white).
    if (!tex || (!TexelMatters(state.stage.colorOp, state.stage.colorArg1, state.stage.colorArg2) &&
                 !TexelMatters(state.stage.alphaOp, state.stage.alphaArg1, state.stage.alphaArg2))) {
        const uint32_t colour = StagePixel(state.stage, state.factor, diffuse, 0xFFFFFFFF);
        if (kind == BlendKind::Standard && target32) {
            rows::BlendColour32(rect, colour, alphaTarget);
        } else if (kind == BlendKind::Standard && target16) {
            rows::BlendColour16(rect, colour, r565Target);
        } else {
            std::fill(m_vColour.begin(), m_vColour.begin() + n, colour);
            for (int64_t y = ys; y <= ye; ++y)
                WriteRow(state, target.Row(static_cast<int32_t>(y)), static_cast<int32_t>(xs), n, m_vColour.data());
        }
        return true;
    }

    // Stepping along a row or a column of a plane modulo 2^64 gives its values exactly. A step
    // of one whole texel from a texel inside the texture to one inside it (an unscaled blit)
    // reads consecutive texels; other steps go texel by texel.
    const int32_t texBytes = tex->BytesPerPixel();
    constexpr uint64_t kOneTexel = uint64_t{1} << kTexelShift;
    auto firstTexel = [](uint64_t fixed) { return static_cast<int64_t>(fixed + static_cast<uint64_t>(kTexelBias)) >> kTexelShift; };
    const uint64_t u0 = pu.At(xs, 0), v0 = pv.At(0, ys);
    const int64_t column0 = firstTexel(u0), row0 = firstTexel(v0);
    // Texels read left to right one by one: rows take them straight from the texture. The
    // column table is made when a path needs it.
    bool straight = true, columnsMade = false;
    int32_t firstColumn = 0;
    auto columns = [&]() -> const int32_t* {
        if (!columnsMade) {
            uint64_t u = u0;
            for (int32_t i = 0; i < n; ++i, u += pu.StepX())
                m_vColumns[static_cast<size_t>(i)] =
                    static_cast<int32_t>(TexelIndex(u, tex->Width(), state.wrapU)) * texBytes;
            columnsMade = true;
        }
        return m_vColumns.data();
    };
    if (pu.StepX() == kOneTexel && column0 >= 0 && column0 + n <= tex->Width()) {
        firstColumn = static_cast<int32_t>(column0) * texBytes;
    } else {
        const int32_t* c = columns();
        firstColumn = c[0];
        for (int32_t i = 1; straight && i < n; ++i) straight = c[i] == firstColumn + i * texBytes;
    }
    const bool rowsInOrder = pv.StepY() == kOneTexel && row0 >= 0 && row0 + rowCount <= tex->Height();
    if (!rowsInOrder) {
        m_vTexRows.resize(static_cast<size_t>(rowCount));
        uint64_t v = v0;
        for (int32_t j = 0; j < rowCount; ++j, v += pv.StepY())
            m_vTexRows[static_cast<size_t>(j)] = tex->Row(static_cast<int32_t>(TexelIndex(v, tex->Height(), state.wrapV)));
    }
    const uint8_t* const firstRow = rowsInOrder ? tex->Row(static_cast<int32_t>(row0)) : nullptr;
    auto texRow = [&](int32_t j) {
        return rowsInOrder ? firstRow + static_cast<ptrdiff_t>(j) * tex->Pitch() : m_vTexRows[static_cast<size_t>(j)];
    };
    // The texels of each row in `format` (the texture's own, or 0xAARRGGBB): straight from the
    // texture, or gathered by the columns once per texture row.
    auto texelRows = [&](bool argb) -> const uint8_t* const* {
        const bool raw = !argb || tex->Format() == PixelFormat::A8R8G8B8;
        m_vRowTexels.resize(static_cast<size_t>(rowCount));
        if (raw && straight) {
            const uint8_t** out = m_vRowTexels.data();
            if (rowsInOrder) {
                const uint8_t* p = firstRow + firstColumn;
                const ptrdiff_t pitch = tex->Pitch();
                for (int32_t j = 0; j < rowCount; ++j, p += pitch) out[j] = p;
            } else {
                for (int32_t j = 0; j < rowCount; ++j) out[j] = m_vTexRows[static_cast<size_t>(j)] + firstColumn;
            }
            return out;
        }
        const int32_t* c = columns();
        const size_t rowBytes = static_cast<size_t>(n) * (raw ? static_cast<size_t>(texBytes) : 4);
        m_vGather.resize(rowBytes * static_cast<size_t>(rowCount));
        for (int32_t j = 0; j < rowCount; ++j) {
            const uint8_t* row = texRow(j);
            if (j > 0 && row == texRow(j - 1)) {
                m_vRowTexels[static_cast<size_t>(j)] = m_vRowTexels[static_cast<size_t>(j) - 1];
                continue;
            }
            uint8_t* out = m_vGather.data() + rowBytes * static_cast<size_t>(j);
            if (raw) {
                if (texBytes == 4) GatherTexels<4>(out, row, c, n);
                else if (texBytes == 2) GatherTexels<2>(out, row, c, n);
                else for (int32_t i = 0; i < n; ++i) std::memcpy(out + i * texBytes, row + c[i], static_cast<size_t>(texBytes));
            } else {
                WithFormat(tex->Format(), [&](auto f) { FetchColumns<decltype(f)::value>(row, c, n, m_vTexels.data()); });
                std::memcpy(out, m_vTexels.data(), rowBytes);
            }
            m_vRowTexels[static_cast<size_t>(j)] = out;
        }
        return m_vRowTexels.data();
    };

    // The texture stage as a multiplier per channel: the usual blits (plain, translucent, tinted).
    uint32_t multiplier = 0;
    if (kind == BlendKind::Standard && FlatModulate(state.stage, diffuse, &multiplier)) {
        if (target32) {
            rows::ModulateBlend32(rect, texelRows(true), multiplier, alphaTarget);
            return true;
        }
        if (target16 && tex->Format() == PixelFormat::A1R5G5B5) {
            if (multiplier == 0xFFFFFFFF) rows::Texels555(rect, texelRows(false), r565Target, true);
            else rows::ModulateBlend555(rect, texelRows(false), multiplier, r565Target);
            return true;
        }
    }
    // Texels copied as they are, blending off.
    if (kind == BlendKind::None && plain && target16 && tex->Format() == PixelFormat::A1R5G5B5) {
        rows::Texels555(rect, texelRows(false), r565Target, false);
        return true;
    }

    const BlitRowFn blitRow = plain ? PlainBlitRow(tex->Format(), targetFormat, kind) : nullptr;
    const int32_t* c = columns();
    for (int32_t j = 0; j < rowCount; ++j) {
        const uint8_t* row = texRow(j);
        uint8_t* out = target.Row(static_cast<int32_t>(ys + j));
        if (blitRow) {
            blitRow(out + xs * targetBytes, n, row, c);
            continue;
        }
        WithFormat(tex->Format(), [&](auto f) { FetchColumns<decltype(f)::value>(row, c, n, m_vTexels.data()); });
        ShadeRow(state, plain, out, static_cast<int32_t>(xs), n, diffuse, nullptr);
    }
    return true;
}

void ForceGeneralPath(bool force) { g_bForceGeneral = force; }
bool GeneralPathForced() { return g_bForceGeneral; }
uint64_t QuadPathCount() { return g_nQuads; }

}  // namespace gfx::raster
