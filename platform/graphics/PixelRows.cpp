// The row loops work on 32 bytes of pixels at a time through the compiler's vector types, so the
// same source gives plain SSE2 code on any x86-64 processor and AVX2 code where the processor has
// it (each loop is built twice and the loader picks one). Every lane does the scalar formula of
// the loop's tail, so results never depend on the processor.
#include "platform/graphics/PixelRows.h"

#include <atomic>

// The vector helpers are inlined into each build of a loop; none crosses a call boundary, so the
// calling convention of wide vectors does not matter here.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

std::atomic<bool> g_bForceGeneral{false};

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define PIXEL_ROW_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define PIXEL_ROW_CLONES
#endif
#define PIXEL_ROW_INLINE inline __attribute__((always_inline))

typedef uint8_t V8 __attribute__((vector_size(32)));
typedef uint16_t V16 __attribute__((vector_size(32)));
typedef uint32_t V32 __attribute__((vector_size(32)));
typedef uint16_t V16x8 __attribute__((vector_size(16)));

template <class V>
PIXEL_ROW_INLINE V Load(const void* p)
{
    V v;
    std::memcpy(&v, p, sizeof(V));
    return v;
}

template <class V>
PIXEL_ROW_INLINE void Store(void* p, V v)
{
    std::memcpy(p, &v, sizeof(V));
}

// Lanes whose masked value is the key keep the destination, the others take the source.
template <class V, class T>
PIXEL_ROW_INLINE void CopyKeyedRow(T* dst, const T* src, int32_t n, T key, T mask)
{
    constexpr int32_t kLanes = static_cast<int32_t>(sizeof(V) / sizeof(T));
    int32_t i = 0;
    for (; i + kLanes <= n; i += kLanes) {
        const V s = Load<V>(src + i);
        const V hole = reinterpret_cast<V>((s & mask) == key);
        const V d = Load<V>(dst + i);
        Store<V>(dst + i, (d & hole) | (s & ~hole));
    }
    for (; i < n; ++i)
        if ((src[i] & mask) != key) dst[i] = src[i];
}

// Widening to 8 bits and narrowing back loses a step of the plain mean except where both
// channels widen exactly (5 bits: 0 and 31; 6 bits: the multiples of 21): the mean is
// (a + b - 1) >> 1, or (a + b) >> 1 when both are exact and a + b is even. Bits 0x0821 (the low
// bit of each channel) mark the exact channels.
template <class V>
PIXEL_ROW_INLINE V Exact565(V p)
{
    const V r = p & 0xF800, g = p & 0x07E0, b = p & 0x001F;
    V e = reinterpret_cast<V>((r == 0) | (r == 0xF800)) & 0x0800;
    e |= reinterpret_cast<V>((g == 0) | (g == (21 << 5)) | (g == (42 << 5)) | (g == (63 << 5))) & 0x0020;
    e |= reinterpret_cast<V>((b == 0) | (b == 31)) & 0x0001;
    return e;
}

template <class V>
PIXEL_ROW_INLINE V Mix565(V s, V d)
{
    const V floorMean = (s & d) + (((s ^ d) & 0xF7DE) >> 1);
    const V even = ~(s ^ d) & 0x0821;
    return floorMean - (even & ~(Exact565(s) & Exact565(d)));
}

PIXEL_ROW_INLINE uint32_t Widen5(uint32_t c) { return (c << 3) | (c >> 2); }
PIXEL_ROW_INLINE uint32_t Widen6(uint32_t c) { return (c << 2) | (c >> 4); }

} // namespace

namespace gfx {

void ForceGeneralPixelPaths(bool force) { g_bForceGeneral = force; }
bool GeneralPixelPathsForced() { return g_bForceGeneral.load(std::memory_order_relaxed); }

namespace rows {

PIXEL_ROW_CLONES void CopyKeyed8(uint8_t* dst, const uint8_t* src, int32_t n, uint8_t key)
{
    CopyKeyedRow<V8, uint8_t>(dst, src, n, key, 0xFF);
}

PIXEL_ROW_CLONES void CopyKeyed16(uint16_t* dst, const uint16_t* src, int32_t n, uint16_t key, uint16_t mask)
{
    CopyKeyedRow<V16, uint16_t>(dst, src, n, key, mask);
}

PIXEL_ROW_CLONES void CopyKeyed32(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t key, uint32_t mask)
{
    CopyKeyedRow<V32, uint32_t>(dst, src, n, key, mask);
}

PIXEL_ROW_CLONES void TextureFromR5G6B5(uint16_t* dst, const uint16_t* src, int32_t n, uint16_t alpha)
{
    int32_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const V16 p = Load<V16>(src + i);
        Store<V16>(dst + i, ((p >> 1) & 0x7FE0) | (p & 0x001F) | alpha);
    }
    for (; i < n; ++i) dst[i] = static_cast<uint16_t>(((src[i] >> 1) & 0x7FE0) | (src[i] & 0x001F) | alpha);
}

PIXEL_ROW_CLONES void R5G6B5FromTexture(uint16_t* dst, const uint16_t* src, int32_t n)
{
    int32_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const V16 p = Load<V16>(src + i);
        Store<V16>(dst + i, ((p << 1) & 0xFFC0) | (p & 0x001F));
    }
    for (; i < n; ++i) dst[i] = static_cast<uint16_t>(((src[i] << 1) & 0xFFC0) | (src[i] & 0x001F));
}

PIXEL_ROW_CLONES void Or16(uint16_t* dst, const uint16_t* src, int32_t n, uint16_t bits)
{
    int32_t i = 0;
    for (; i + 16 <= n; i += 16) Store<V16>(dst + i, Load<V16>(src + i) | bits);
    for (; i < n; ++i) dst[i] = static_cast<uint16_t>(src[i] | bits);
}

PIXEL_ROW_CLONES void CopyKeyedBy16(uint16_t* dst, const uint16_t* src, const uint16_t* test, int32_t n,
                                    uint16_t key, uint16_t mask)
{
    int32_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const V16 hole = reinterpret_cast<V16>((Load<V16>(test + i) & mask) == key);
        Store<V16>(dst + i, (Load<V16>(dst + i) & hole) | (Load<V16>(src + i) & ~hole));
    }
    for (; i < n; ++i)
        if ((test[i] & mask) != key) dst[i] = src[i];
}

PIXEL_ROW_CLONES void MixHalf565(uint16_t* dst, const uint16_t* src, int32_t n, uint16_t key, bool keyed)
{
    int32_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const V16 s = Load<V16>(src + i), d = Load<V16>(dst + i);
        V16 out = Mix565(s, d);
        const V16 dKey = reinterpret_cast<V16>(d == key);
        out = (out & ~dKey) | (s & dKey);
        if (keyed) {
            const V16 sKey = reinterpret_cast<V16>(s == key);
            out = (out & ~sKey) | (d & sKey);
        }
        Store<V16>(dst + i, out);
    }
    for (; i < n; ++i) {
        const uint16_t s = src[i], d = dst[i];
        if (keyed && s == key) continue;
        if (d == key) {
            dst[i] = s;
            continue;
        }
        const uint32_t floorMean = (s & d) + (((s ^ d) & 0xF7DEu) >> 1);
        const uint32_t even = ~static_cast<uint32_t>(s ^ d) & 0x0821u;
        auto exact = [](uint32_t p) {
            const uint32_t r = p >> 11, g = (p >> 5) & 63, b = p & 31;
            return ((r == 0 || r == 31) ? 0x0800u : 0u) | ((g % 21 == 0) ? 0x0020u : 0u) | ((b == 0 || b == 31) ? 1u : 0u);
        };
        dst[i] = static_cast<uint16_t>(floorMean - (even & ~(exact(s) & exact(d))));
    }
}

PIXEL_ROW_CLONES void MixHalf32(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t key, bool keyed)
{
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const V32 s = Load<V32>(src + i), d = Load<V32>(dst + i);
        V32 out = (d & 0xFF000000u) | (((s & d) + (((s ^ d) & 0xFEFEFEFEu) >> 1)) & 0x00FFFFFFu);
        const V32 dKey = reinterpret_cast<V32>(d == key);
        out = (out & ~dKey) | (((d & 0xFF000000u) | (s & 0x00FFFFFFu)) & dKey);
        if (keyed) {
            const V32 sKey = reinterpret_cast<V32>(s == key);
            out = (out & ~sKey) | (d & sKey);
        }
        Store<V32>(dst + i, out);
    }
    for (; i < n; ++i) {
        const uint32_t s = src[i], d = dst[i];
        if (keyed && s == key) continue;
        if (d == key)
            dst[i] = (d & 0xFF000000u) | (s & 0x00FFFFFFu);
        else
            dst[i] = (d & 0xFF000000u) | (((s & d) + (((s ^ d) & 0xFEFEFEFEu) >> 1)) & 0x00FFFFFFu);
    }
}

// v * 255 / 31 and v * 255 / 63, truncated, for every 5- and 6-bit v.
template <class V>
PIXEL_ROW_INLINE V Widen5Exact(V v)
{
    return (v * 1053) >> 7;
}
template <class V>
PIXEL_ROW_INLINE V Widen6Exact(V v)
{
    return (v * 259 + 3) >> 6;
}

PIXEL_ROW_CLONES void AddColumns32(uint32_t* rb, uint32_t* g, uint32_t* n, const uint32_t* src, int32_t count,
                                   uint32_t key, bool keyed)
{
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const V32 p = Load<V32>(src + i);
        const V32 keep = keyed ? reinterpret_cast<V32>(p != key) : V32{} - 1;
        Store<V32>(rb + i, Load<V32>(rb + i) + (p & 0x00FF00FFu & keep));
        Store<V32>(g + i, Load<V32>(g + i) + ((p >> 8) & 0xFFu & keep));
        Store<V32>(n + i, Load<V32>(n + i) + (keep & 1u));
    }
    for (; i < count; ++i) {
        const uint32_t p = src[i];
        if (keyed && p == key) continue;
        rb[i] += p & 0x00FF00FFu;
        g[i] += (p >> 8) & 0xFFu;
        n[i] += 1;
    }
}

PIXEL_ROW_CLONES void AddColumns565(uint32_t* rb, uint32_t* g, uint32_t* n, const uint16_t* src, int32_t count,
                                    uint32_t key, bool keyed)
{
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const V32 p = __builtin_convertvector(Load<V16x8>(src + i), V32);
        const V32 keep = keyed ? reinterpret_cast<V32>(p != key) : V32{} - 1;
        const V32 wr = Widen5Exact((p >> 11) & 31u), wg = Widen6Exact((p >> 5) & 63u), wb = Widen5Exact(p & 31u);
        Store<V32>(rb + i, Load<V32>(rb + i) + (((wr << 16) | wb) & keep));
        Store<V32>(g + i, Load<V32>(g + i) + (wg & keep));
        Store<V32>(n + i, Load<V32>(n + i) + (keep & 1u));
    }
    for (; i < count; ++i) {
        const uint32_t p = src[i];
        if (keyed && p == key) continue;
        rb[i] += Widen5Exact((p >> 11) & 31u) << 16 | Widen5Exact(p & 31u);
        g[i] += Widen6Exact((p >> 5) & 63u);
        n[i] += 1;
    }
}

PIXEL_ROW_CLONES void FillKeepTop32(uint32_t* dst, int32_t n, uint32_t rgb)
{
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) Store<V32>(dst + i, (Load<V32>(dst + i) & 0xFF000000u) | rgb);
    for (; i < n; ++i) dst[i] = (dst[i] & 0xFF000000u) | rgb;
}

PIXEL_ROW_CLONES void ArgbFromX8R8G8B8(uint32_t* dst, const uint32_t* src, int32_t n)
{
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) Store<V32>(dst + i, Load<V32>(src + i) | 0xFF000000u);
    for (; i < n; ++i) dst[i] = src[i] | 0xFF000000u;
}

PIXEL_ROW_CLONES void ArgbFromR5G6B5(uint32_t* dst, const uint16_t* src, int32_t n)
{
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const V32 p = __builtin_convertvector(Load<V16x8>(src + i), V32);
        const V32 r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
        Store<V32>(dst + i, 0xFF000000u | ((r << 3) | (r >> 2)) << 16 | ((g << 2) | (g >> 4)) << 8 | (b << 3) | (b >> 2));
    }
    for (; i < n; ++i) {
        const uint32_t p = src[i];
        dst[i] = 0xFF000000u | Widen5((p >> 11) & 31) << 16 | Widen6((p >> 5) & 63) << 8 | Widen5(p & 31);
    }
}

PIXEL_ROW_CLONES void ArgbFromX1R5G5B5(uint32_t* dst, const uint16_t* src, int32_t n)
{
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const V32 p = __builtin_convertvector(Load<V16x8>(src + i), V32);
        const V32 r = (p >> 10) & 31, g = (p >> 5) & 31, b = p & 31;
        Store<V32>(dst + i, 0xFF000000u | ((r << 3) | (r >> 2)) << 16 | ((g << 3) | (g >> 2)) << 8 | (b << 3) | (b >> 2));
    }
    for (; i < n; ++i) {
        const uint32_t p = src[i];
        dst[i] = 0xFF000000u | Widen5((p >> 10) & 31) << 16 | Widen5((p >> 5) & 31) << 8 | Widen5(p & 31);
    }
}

void ArgbFromP8(uint32_t* dst, const uint8_t* src, int32_t n, const uint32_t* table)
{
    // Four look-ups before their four stores, so the loads of one group overlap.
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const uint32_t a = table[src[i]], b = table[src[i + 1]], c = table[src[i + 2]], d = table[src[i + 3]];
        dst[i] = a;
        dst[i + 1] = b;
        dst[i + 2] = c;
        dst[i + 3] = d;
    }
    for (; i < n; ++i) dst[i] = table[src[i]];
}

void cStepper::Build(int64_t first, int32_t count, int64_t source, int64_t dest, bool mirror)
{
    m_vOffsets.resize(static_cast<size_t>(count > 0 ? count : 0));
    if (count <= 0 || dest <= 0) return;
    int64_t q = first * source / dest, r = first * source % dest;
    const int64_t qStep = source / dest, rStep = source % dest;
    for (int32_t k = 0; k < count; ++k) {
        m_vOffsets[static_cast<size_t>(k)] = static_cast<int32_t>(mirror ? source - 1 - q : q);
        q += qStep;
        r += rStep;
        if (r >= dest) {
            r -= dest;
            ++q;
        }
    }
}

} // namespace rows
} // namespace gfx
