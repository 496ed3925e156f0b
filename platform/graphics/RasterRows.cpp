#include "platform/graphics/RasterRows.h"

// The 32-byte vectors below stay inside their functions; none crosses a call.
#pragma GCC diagnostic ignored "-Wpsabi"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#include <immintrin.h>
#endif

// The rows work on 16-byte vectors (four 32-bit or eight 16-bit pixels), written with the
// compiler's vector types so that they build on any processor and stay integer-exact.
//
// Why the shortcuts give the general path's values:
// - (x + 127) / 255 = ((x + 128) + ((x + 128) >> 8)) >> 8 for every x up to 65662 (DivRound255);
//   a channel times a channel, or two channels mixed by one weight, stays within 65025.
// - A channel times 255, rounded, is the channel itself, so a multiplier channel of 255 and the
//   plain texel give the same stage result.
// - Mixing by alpha 127: (s * 127 + d * 128) / 255 = (s + d) / 2 + (d - s) / 510, where the
//   second term is under one half; rounded, that is (s + d + 1) / 2 when d > s and (s + d) / 2
//   otherwise. Alpha 128 is the same with s and d exchanged. These are the weights of the
//   half-translucent blit, which then needs no multiplication at all.
namespace gfx::raster::rows {

namespace {

bool g_bNarrowRows = false;

using u8x16 = uint8_t __attribute__((vector_size(16)));
using u16x8 = uint16_t __attribute__((vector_size(16)));
using u32x4 = uint32_t __attribute__((vector_size(16)));

template <class V>
inline V Load(const uint8_t* p) {
    V v;
    std::memcpy(&v, p, sizeof(V));
    return v;
}

template <class V>
inline void Store(uint8_t* p, V v) {
    std::memcpy(p, &v, sizeof(V));
}

// The same sixteen bytes seen as another vector type.
template <class To, class From>
inline To As(From v) {
    static_assert(sizeof(To) == sizeof(From));
    To t;
    std::memcpy(&t, &v, sizeof(To));
    return t;
}

// Comparison results: every bit of a lane set or clear.
template <class M>
inline bool AllSet(M m) {
#if defined(__SSE2__)
    return _mm_movemask_epi8(As<__m128i>(m)) == 0xFFFF;
#else
    uint64_t a, b;
    std::memcpy(&a, &m, 8);
    std::memcpy(&b, reinterpret_cast<const uint8_t*>(&m) + 8, 8);
    return (a & b) == ~uint64_t{0};
#endif
}

template <class M>
inline bool AnySet(M m) {
#if defined(__SSE2__)
    return _mm_movemask_epi8(As<__m128i>(m)) != 0;
#else
    uint64_t a, b;
    std::memcpy(&a, &m, 8);
    std::memcpy(&b, reinterpret_cast<const uint8_t*>(&m) + 8, 8);
    return (a | b) != 0;
#endif
}

inline u16x8 Div255(u16x8 x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// Bytes 0-7 and 8-15 widened to 16-bit lanes; two vectors of lanes below 256 back to bytes.
inline u16x8 WidenLo(u8x16 v) {
    const u8x16 zero = {};
    return As<u16x8>(__builtin_shufflevector(v, zero, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23));
}
inline u16x8 WidenHi(u8x16 v) {
    const u8x16 zero = {};
    return As<u16x8>(__builtin_shufflevector(v, zero, 8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30, 15, 31));
}
inline u8x16 Narrow(u16x8 lo, u16x8 hi) {
    return __builtin_shufflevector(As<u8x16>(lo), As<u8x16>(hi), 0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20,
                                   22, 24, 26, 28, 30);
}

// How a source of one alpha mixes with the destination.
enum class Mix { Copy, HalfUp, HalfDown, Weighted };

Mix MixFor(uint32_t alpha) {
    if (alpha == 255) return Mix::Copy;
    if (alpha == 127) return Mix::HalfUp;
    if (alpha == 128) return Mix::HalfDown;
    return Mix::Weighted;
}

// The even mix of s and d, rounded up where the side of the larger weight holds the larger
// value: up where d > s for HalfUp (weight 127 on s), where s > d for HalfDown.
template <Mix K, class V>
inline V HalfMix(V s, V d) {
    if constexpr (sizeof(s[0]) == 2) {
        // Lanes below 256 hold the sum: add the rounding bit (a comparison gives -1) and halve.
        // Below 256 the signed comparison is the unsigned one.
        using i16x8 = int16_t __attribute__((vector_size(16)));
        const i16x8 a = As<i16x8>(s), b = As<i16x8>(d);
        return (s + d - As<V>(K == Mix::HalfUp ? b > a : a > b)) >> 1;
    } else {
        const V odd = (s ^ d) & 1;
#if defined(__SSE2__)
        const __m128i a = As<__m128i>(s), b = As<__m128i>(d);
        const V up = As<V>(_mm_avg_epu8(a, b)), larger = As<V>(_mm_max_epu8(a, b));
        const V down = As<V>(K == Mix::HalfUp ? larger == s : larger == d);
#else
        const V up = (s | d) - ((s ^ d) >> 1);
        const V down = As<V>(K == Mix::HalfUp ? s >= d : d >= s);
#endif
        return up - (odd & down);
    }
}

// (s * a + d * (255 - a)) / 255 rounded, lane by lane; a and ia = 255 - a are used by Weighted.
template <Mix K, class V>
inline V MixLanes(V s, V d, V a, V ia) {
    if constexpr (K == Mix::Copy) {
        return s;
    } else if constexpr (K == Mix::HalfUp || K == Mix::HalfDown) {
        return HalfMix<K>(s, d);
    } else {
        return Div255(s * a + d * ia);
    }
}

// ---- 32-bit rows --------------------------------------------------------------------------------

using i32x4 = int32_t __attribute__((vector_size(16)));

struct Blend32Setup {
    u16x8 multiplier;    // per channel, two pixels
    bool identity;       // multiplier 0xFFFFFFFF
    bool colourIdentity; // multiplier 0x..FFFFFF
    uint32_t alpha;      // the stage alpha of an opaque texel
};

// The bits a pixel of the target keeps, and those a destination pixel reads as set: an
// X8R8G8B8 target reads as opaque and keeps 0 in its top byte.
template <bool kAlpha>
constexpr uint32_t kKept = kAlpha ? 0xFFFFFFFFu : 0x00FFFFFFu;
template <bool kAlpha>
constexpr uint32_t kOpaqueDst = kAlpha ? 0u : 0xFF000000u;

// Every pixel of the group by its own alpha.
template <bool kAlpha>
inline u32x4 BlendEach(const Blend32Setup& k, u32x4 t, u32x4 d) {
    const u8x16 tb = As<u8x16>(t), db = As<u8x16>(d | kOpaqueDst<kAlpha>);
    u16x8 s0 = WidenLo(tb), s1 = WidenHi(tb);
    if (!k.identity) {
        s0 = Div255(s0 * k.multiplier);
        s1 = Div255(s1 * k.multiplier);
    }
    const u16x8 a0 = __builtin_shufflevector(s0, s0, 3, 3, 3, 3, 7, 7, 7, 7);
    const u16x8 a1 = __builtin_shufflevector(s1, s1, 3, 3, 3, 3, 7, 7, 7, 7);
    const u16x8 o0 = Div255(s0 * a0 + WidenLo(db) * (255 - a0));
    const u16x8 o1 = Div255(s1 * a1 + WidenHi(db) * (255 - a1));
    const u32x4 out = As<u32x4>(Narrow(o0, o1)) & kKept<kAlpha>;
    const u32x4 stageAlpha = As<u32x4>(Narrow(s0, s1)) >> 24;
    const u32x4 keep = As<u32x4>(stageAlpha == 0);
    return (d & keep) | (out & ~keep);
}

// Opaque texels (or one colour) under a colour-keeping multiplier: the colour with the alpha of
// the setup. On an X8R8G8B8 target the alpha lane's result is dropped, so the texel's own alpha
// may stand in it.
template <Mix K, bool kAlpha>
inline u32x4 BlendOpaque(const Blend32Setup& k, u32x4 t, u32x4 d) {
    if constexpr (K == Mix::Copy) {
        return t & kKept<kAlpha>;
    } else {
        const u32x4 s = kAlpha ? (t & 0x00FFFFFFu) | (k.alpha << 24) : t;
        const u8x16 sb = As<u8x16>(s), db = As<u8x16>(d | kOpaqueDst<kAlpha>);
        if constexpr (K == Mix::Weighted) {
            const u16x8 a = u16x8{} + static_cast<uint16_t>(k.alpha), ia = 255 - a;
            const u16x8 o0 = MixLanes<K>(WidenLo(sb), WidenLo(db), a, ia);
            const u16x8 o1 = MixLanes<K>(WidenHi(sb), WidenHi(db), a, ia);
            return As<u32x4>(Narrow(o0, o1)) & kKept<kAlpha>;
        } else {
            return As<u32x4>(HalfMix<K>(sb, db)) & kKept<kAlpha>;
        }
    }
}

// All bits of each lane set where its texel is opaque, given texels of alpha 0 or 255 only.
inline u32x4 OpaqueLanes(u32x4 t) { return As<u32x4>(As<i32x4>(t) >> 31); }
// Lanes whose texel alpha is neither 0 nor 255 have a bit set in their top byte.
inline u32x4 PartialAlpha(u32x4 t) { return (t ^ OpaqueLanes(t)) & 0xFF000000u; }

// Texels of alpha 0 or 255 only (a keyed bitmap's): each pixel is the opaque texel's result or
// stays.
template <Mix K, bool kAlpha>
inline u32x4 KeyedGroup(const Blend32Setup& k, u32x4 t, u32x4 d) {
    const u32x4 opaque = OpaqueLanes(t);
    return (BlendOpaque<K, kAlpha>(k, t, d) & opaque) | (d & ~opaque);
}

// Groups with texels of other alphas, out of the way of the keyed loop.
template <bool kAlpha>
__attribute__((noinline)) void BlendEachAt(const Blend32Setup& k, uint8_t* dst, const uint8_t* texels, int32_t groups) {
    for (int32_t g = 0; g < groups; ++g)
        Store(dst + g * 16, BlendEach<kAlpha>(k, Load<u32x4>(texels + g * 16), Load<u32x4>(dst + g * 16)));
}

// The keyed copy (texels of alpha 255 replace the pixel, of alpha 0 leave it) eight pixels a
// step, for long rows on processors without 32-byte vectors (those with them take
// KeyedCopyRectWide). Groups with texels of other alphas go through BlendEachAt. Returns the
// pixels done (whole groups of eight).
using u32x8 = uint32_t __attribute__((vector_size(32)));
using i32x8 = int32_t __attribute__((vector_size(32)));

template <bool kAlpha>
int32_t KeyedCopyGroups(const Blend32Setup& k, uint8_t* dst, const uint8_t* texels, int32_t n) {
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        u32x8 t, d;
        std::memcpy(&t, texels + i * 4, 32);
        const u32x8 opaque = As<u32x8>(As<i32x8>(t) >> 31);
        // Alpha 0 or 255 only: the top byte equals the sign spread over it.
        const u32x8 partial = (t ^ opaque) & 0xFF000000u;
        uint32_t any = 0;
        for (int32_t l = 0; l < 8; ++l) any |= partial[l];
        if (__builtin_expect(any != 0, 0)) {
            BlendEachAt<kAlpha>(k, dst + i * 4, texels + i * 4, 2);
            continue;
        }
        std::memcpy(&d, dst + i * 4, 32);
        const u32x8 out = (t & kKept<kAlpha> & opaque) | (d & ~opaque);
        std::memcpy(dst + i * 4, &out, 32);
    }
    return i;
}

// kKeyed: the multiplier keeps the colour, so that keyed groups take the short way.
template <Mix K, bool kAlpha, bool kKeyed>
void Blend32Row(const Blend32Setup& k, uint8_t* dst, const uint8_t* texels, int32_t n) {
    int32_t i = 0;
    // Long rows of the keyed copy take eight pixels a step.
    if constexpr (K == Mix::Copy && kKeyed)
        if (n >= 64) i = KeyedCopyGroups<kAlpha>(k, dst, texels, n);
    for (; i + 8 <= n; i += 8) {
        const u32x4 t0 = Load<u32x4>(texels + i * 4), t1 = Load<u32x4>(texels + i * 4 + 16);
        if (kKeyed && __builtin_expect(!AnySet((PartialAlpha(t0) | PartialAlpha(t1)) != 0), 1)) {
            Store(dst + i * 4, KeyedGroup<K, kAlpha>(k, t0, Load<u32x4>(dst + i * 4)));
            Store(dst + i * 4 + 16, KeyedGroup<K, kAlpha>(k, t1, Load<u32x4>(dst + i * 4 + 16)));
        } else {
            BlendEachAt<kAlpha>(k, dst + i * 4, texels + i * 4, 2);
        }
    }
    for (; i < n; i += 4) {
        // The last pixels through the same steps, in a group padded with transparent texels.
        uint8_t t[16] = {}, d[16] = {};
        const size_t bytes = static_cast<size_t>(std::min(n - i, 4)) * 4;
        std::memcpy(t, texels + i * 4, bytes);
        std::memcpy(d, dst + i * 4, bytes);
        const u32x4 tv = Load<u32x4>(t);
        if (kKeyed && !AnySet(PartialAlpha(tv) != 0)) Store(d, KeyedGroup<K, kAlpha>(k, tv, Load<u32x4>(d)));
        else BlendEachAt<kAlpha>(k, d, t, 1);
        std::memcpy(dst + i * 4, d, bytes);
    }
}

// The keyed copy of a whole quad on processors with 32-byte vectors, chosen once a quad rather
// than once a row: a sprite's rows are short, and the work of a row is a few instructions.
// Eight texels a step: when every alpha is 0 or 255 (alpha + 1 has none of its top seven bits
// set), the sign bit of each texel picks the texel or the pixel; other groups, and the last
// pixels of a row, take the rows above.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define RASTER_WIDE_ROWS 1
template <bool kAlpha>
__attribute__((target("avx2"))) void KeyedCopyRectWide(const Blend32Setup& k, const TargetRect& r,
                                                       const uint8_t* const* texelRows) {
    const __m256i one = _mm256_set1_epi32(0x01000000), partial = _mm256_set1_epi32(static_cast<int32_t>(0xFE000000u));
    const __m256i kept = _mm256_set1_epi32(static_cast<int32_t>(kKept<kAlpha>));
    const int32_t n = r.n, groups = n & ~7;
    for (int32_t j = 0; j < r.rows; ++j) {
        uint8_t* dst = r.dst + static_cast<ptrdiff_t>(j) * r.pitch;
        const uint8_t* texels = texelRows[j];
        for (int32_t i = 0; i < groups; i += 8) {
            const __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + i * 4));
            if (__builtin_expect(!_mm256_testz_si256(_mm256_add_epi32(t, one), partial), 0)) {
                BlendEachAt<kAlpha>(k, dst + i * 4, texels + i * 4, 2);
                continue;
            }
            __m256i* p = reinterpret_cast<__m256i*>(dst + i * 4);
            const __m256 out = _mm256_blendv_ps(_mm256_castsi256_ps(_mm256_loadu_si256(p)),
                                                _mm256_castsi256_ps(_mm256_and_si256(t, kept)), _mm256_castsi256_ps(t));
            _mm256_storeu_si256(p, _mm256_castps_si256(out));
        }
        if (groups < n) Blend32Row<Mix::Copy, kAlpha, true>(k, dst + groups * 4, texels + groups * 4, n - groups);
    }
}

bool WideRows() {
    static const bool wide = __builtin_cpu_supports("avx2");
    return wide && !g_bNarrowRows;
}
#endif

template <Mix K, bool kAlpha>
void Colour32Row(const Blend32Setup& k, uint8_t* dst, int32_t n, uint32_t colour) {
    const u32x4 s = u32x4{} + colour;
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) Store(dst + i * 4, BlendOpaque<K, kAlpha>(k, s, Load<u32x4>(dst + i * 4)));
    if (i < n) {
        uint8_t d[16] = {};
        const size_t bytes = static_cast<size_t>(n - i) * 4;
        std::memcpy(d, dst + i * 4, bytes);
        Store(d, BlendOpaque<K, kAlpha>(k, s, Load<u32x4>(d)));
        std::memcpy(dst + i * 4, d, bytes);
    }
}

// ---- 16-bit rows --------------------------------------------------------------------------------

inline u16x8 Widen5(u16x8 c) { return (c << 3) | (c >> 2); }
inline u16x8 Widen6(u16x8 c) { return (c << 2) | (c >> 4); }

// Eight pixels' channels, each in eight bits.
struct Planes {
    u16x8 r, g, b, a;
};

// A field of `bits` bits at bit `at` widened to eight bits (Widen5, Widen6) by one multiplication:
// the field c times 2^bits + 1 holds c twice in a row, and the high half of the product with the
// factor below keeps its top eight bits.
template <int at, int bits>
inline u16x8 WidenField(u16x8 p) {
    constexpr uint32_t factor = ((1u << bits) + 1) << (16 - at - (2 * bits - 8));
    static_assert(factor <= 0xFFFF);
    const u16x8 field = p & static_cast<uint16_t>(((1u << bits) - 1) << at);
#if defined(__SSE2__)
    return As<u16x8>(_mm_mulhi_epu16(As<__m128i>(field), As<__m128i>(u16x8{} + static_cast<uint16_t>(factor))));
#else
    const u16x8 c = field >> at;
    return bits == 5 ? Widen5(c) : Widen6(c);
#endif
}

inline Planes From555(u16x8 p) {
    return {WidenField<10, 5>(p), WidenField<5, 5>(p), Widen5(p & 31), As<u16x8>((p & 0x8000) != 0) & 255};
}
inline Planes From565(u16x8 p) { return {WidenField<11, 5>(p), WidenField<5, 6>(p), Widen5(p & 31), u16x8{} + 255}; }

// A source of colour `s` and alpha `alpha` (all lanes) mixed onto eight target pixels.
template <bool k565, Mix K>
inline u16x8 Mix16(u16x8 d, const Planes& s, u16x8 alpha) {
    const u16x8 ia = 255 - alpha;
    const Planes t = k565 ? From565(d) : From555(d);
    const u16x8 r = MixLanes<K>(s.r, t.r, alpha, ia), g = MixLanes<K>(s.g, t.g, alpha, ia),
                b = MixLanes<K>(s.b, t.b, alpha, ia);
    if constexpr (k565) {
        return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    } else {
        const u16x8 a = MixLanes<K>(alpha, t.a, alpha, ia);
        return (As<u16x8>(a >= 128) & 0x8000) | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    }
}

struct Modulate16 {
    uint16_t r, g, b;   // multipliers
    bool identity;
    uint16_t alpha;     // the stage alpha of a texel with its alpha bit
};

template <bool k565, Mix K, bool kIdentity>
inline u16x8 ModulateGroup(const Modulate16& m, u16x8 t, u16x8 d) {
    const u16x8 visible = As<u16x8>(As<int16_t __attribute__((vector_size(16)))>(t) >> 15);
    Planes s = From555(t);
    if constexpr (!kIdentity) {
        s.r = Div255(s.r * m.r);
        s.g = Div255(s.g * m.g);
        s.b = Div255(s.b * m.b);
    }
    const u16x8 out = Mix16<k565, K>(d, s, u16x8{} + m.alpha);
    return d ^ ((out ^ d) & visible);
}

template <bool k565, Mix K, bool kIdentity>
void ModulateRow(const Modulate16& m, uint8_t* dst, const uint8_t* texels, int32_t n) {
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const u16x8 t = Load<u16x8>(texels + i * 2);
        // Groups of texels without their alpha bit (a keyed bitmap's holes) leave the row.
        if (!AnySet(t & 0x8000)) continue;
        Store(dst + i * 2, ModulateGroup<k565, K, kIdentity>(m, t, Load<u16x8>(dst + i * 2)));
    }
    if (i < n) {
        uint8_t t[16] = {}, d[16] = {};
        const size_t bytes = static_cast<size_t>(n - i) * 2;
        std::memcpy(t, texels + i * 2, bytes);
        std::memcpy(d, dst + i * 2, bytes);
        Store(d, ModulateGroup<k565, K, kIdentity>(m, Load<u16x8>(t), Load<u16x8>(d)));
        std::memcpy(dst + i * 2, d, bytes);
    }
}

template <bool k565, Mix K>
void ColourRow(const Planes& s, uint16_t alpha, uint8_t* dst, int32_t n) {
    const u16x8 a = u16x8{} + alpha;
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) Store(dst + i * 2, Mix16<k565, K>(Load<u16x8>(dst + i * 2), s, a));
    if (i < n) {
        uint8_t d[16] = {};
        const size_t bytes = static_cast<size_t>(n - i) * 2;
        std::memcpy(d, dst + i * 2, bytes);
        Store(d, Mix16<k565, K>(Load<u16x8>(d), s, a));
        std::memcpy(dst + i * 2, d, bytes);
    }
}

// A1R5G5B5 to R5G6B5: the five green bits widen to six by repeating their top bit, as going
// through eight bits does.
inline u16x8 To565(u16x8 t) { return ((t & 0x7FE0) << 1) | ((t >> 4) & 0x20) | (t & 0x1F); }

template <bool k565, bool kBlend>
inline u16x8 TexelGroup(u16x8 t, u16x8 d) {
    const u16x8 out = k565 ? To565(t) : t;
    if constexpr (!kBlend) {
        return out;
    } else {
        const u16x8 visible = As<u16x8>((t & 0x8000) != 0);
        return (out & visible) | (d & ~visible);
    }
}

template <bool k565, bool kBlend>
void TexelRow(uint8_t* dst, const uint8_t* texels, int32_t n) {
    int32_t i = 0;
    for (; i + 8 <= n; i += 8)
        Store(dst + i * 2, TexelGroup<k565, kBlend>(Load<u16x8>(texels + i * 2), Load<u16x8>(dst + i * 2)));
    if (i < n) {
        uint8_t t[16] = {}, d[16] = {};
        const size_t bytes = static_cast<size_t>(n - i) * 2;
        std::memcpy(t, texels + i * 2, bytes);
        std::memcpy(d, dst + i * 2, bytes);
        Store(d, TexelGroup<k565, kBlend>(Load<u16x8>(t), Load<u16x8>(d)));
        std::memcpy(dst + i * 2, d, bytes);
    }
}

// Calls fn with the mix for `alpha` and the target as compile-time values.
template <class Fn>
void WithMix16(uint32_t alpha, bool r565Target, Fn&& fn) {
    auto withTarget = [&](auto k) {
        switch (MixFor(alpha)) {
        case Mix::Copy: fn(k, std::integral_constant<Mix, Mix::Copy>{}); break;
        case Mix::HalfUp: fn(k, std::integral_constant<Mix, Mix::HalfUp>{}); break;
        case Mix::HalfDown: fn(k, std::integral_constant<Mix, Mix::HalfDown>{}); break;
        case Mix::Weighted: fn(k, std::integral_constant<Mix, Mix::Weighted>{}); break;
        }
    };
    if (r565Target) withTarget(std::true_type{});
    else withTarget(std::false_type{});
}

}  // namespace

// Calls fn with the mix for `alpha` and whether the target keeps alpha as compile-time values.
template <class Fn>
void WithMix32(uint32_t alpha, bool alphaTarget, Fn&& fn) {
    auto withTarget = [&](auto a) {
        switch (MixFor(alpha)) {
        case Mix::Copy: fn(std::integral_constant<Mix, Mix::Copy>{}, a); break;
        case Mix::HalfUp: fn(std::integral_constant<Mix, Mix::HalfUp>{}, a); break;
        case Mix::HalfDown: fn(std::integral_constant<Mix, Mix::HalfDown>{}, a); break;
        case Mix::Weighted: fn(std::integral_constant<Mix, Mix::Weighted>{}, a); break;
        }
    };
    if (alphaTarget) withTarget(std::true_type{});
    else withTarget(std::false_type{});
}

void ModulateBlend32(const TargetRect& r, const uint8_t* const* texelRows, uint32_t multiplier, bool alphaTarget) {
    Blend32Setup k;
    const uint16_t mb = multiplier & 0xFF, mg = (multiplier >> 8) & 0xFF, mr = (multiplier >> 16) & 0xFF,
                   ma = static_cast<uint16_t>(multiplier >> 24);
    k.multiplier = u16x8{mb, mg, mr, ma, mb, mg, mr, ma};
    k.identity = multiplier == 0xFFFFFFFFu;
    k.colourIdentity = (multiplier & 0x00FFFFFFu) == 0x00FFFFFFu;
    // An opaque texel's alpha times the multiplier's, rounded, is the multiplier's; under a
    // multiplier of alpha 0 every result is transparent and nothing is drawn.
    k.alpha = ma;
    if (k.alpha == 0) return;
#if defined(RASTER_WIDE_ROWS)
    if (k.alpha == 255 && k.colourIdentity && WideRows()) {
        if (alphaTarget) KeyedCopyRectWide<true>(k, r, texelRows);
        else KeyedCopyRectWide<false>(k, r, texelRows);
        return;
    }
#endif
    WithMix32(k.alpha, alphaTarget, [&](auto mix, auto a) {
        constexpr Mix K = decltype(mix)::value;
        constexpr bool kAlpha = decltype(a)::value;
        for (int32_t j = 0; j < r.rows; ++j) {
            uint8_t* dst = r.dst + static_cast<ptrdiff_t>(j) * r.pitch;
            if (k.colourIdentity) Blend32Row<K, kAlpha, true>(k, dst, texelRows[j], r.n);
            else Blend32Row<K, kAlpha, false>(k, dst, texelRows[j], r.n);
        }
    });
}

void BlendColour32(const TargetRect& r, uint32_t colour, bool alphaTarget) {
    Blend32Setup k{};
    k.alpha = colour >> 24;
    if (k.alpha == 0) return;
    WithMix32(k.alpha, alphaTarget, [&](auto mix, auto a) {
        for (int32_t j = 0; j < r.rows; ++j)
            Colour32Row<decltype(mix)::value, decltype(a)::value>(k, r.dst + static_cast<ptrdiff_t>(j) * r.pitch, r.n,
                                                                  colour);
    });
}

void ModulateBlend555(const TargetRect& r, const uint8_t* const* texelRows, uint32_t multiplier, bool r565Target) {
    Modulate16 m;
    m.r = (multiplier >> 16) & 0xFF;
    m.g = (multiplier >> 8) & 0xFF;
    m.b = multiplier & 0xFF;
    m.identity = (multiplier & 0x00FFFFFFu) == 0x00FFFFFFu;
    m.alpha = static_cast<uint16_t>(multiplier >> 24);
    // Texels without their alpha bit, and every texel under a multiplier of alpha 0, leave the row.
    if (m.alpha == 0) return;
    WithMix16(m.alpha, r565Target, [&](auto target, auto mix) {
        constexpr bool k565 = decltype(target)::value;
        constexpr Mix K = decltype(mix)::value;
        for (int32_t j = 0; j < r.rows; ++j) {
            uint8_t* dst = r.dst + static_cast<ptrdiff_t>(j) * r.pitch;
            if (m.identity) ModulateRow<k565, K, true>(m, dst, texelRows[j], r.n);
            else ModulateRow<k565, K, false>(m, dst, texelRows[j], r.n);
        }
    });
}

void BlendColour16(const TargetRect& r, uint32_t colour, bool r565Target) {
    const uint16_t alpha = static_cast<uint16_t>(colour >> 24);
    if (alpha == 0) return;
    const Planes s{u16x8{} + static_cast<uint16_t>((colour >> 16) & 0xFF),
                   u16x8{} + static_cast<uint16_t>((colour >> 8) & 0xFF), u16x8{} + static_cast<uint16_t>(colour & 0xFF),
                   u16x8{} + alpha};
    WithMix16(alpha, r565Target, [&](auto target, auto mix) {
        for (int32_t j = 0; j < r.rows; ++j)
            ColourRow<decltype(target)::value, decltype(mix)::value>(s, alpha, r.dst + static_cast<ptrdiff_t>(j) * r.pitch,
                                                                     r.n);
    });
}

void Texels555(const TargetRect& r, const uint8_t* const* texelRows, bool r565Target, bool blend) {
    auto run = [&](auto target, auto blending) {
        for (int32_t j = 0; j < r.rows; ++j)
            TexelRow<decltype(target)::value, decltype(blending)::value>(r.dst + static_cast<ptrdiff_t>(j) * r.pitch,
                                                                         texelRows[j], r.n);
    };
    if (r565Target) {
        if (blend) run(std::true_type{}, std::true_type{});
        else run(std::true_type{}, std::false_type{});
    } else {
        if (blend) run(std::false_type{}, std::true_type{});
        else run(std::false_type{}, std::false_type{});
    }
}

void UseNarrowRows(bool narrow) { g_bNarrowRows = narrow; }

}  // namespace gfx::raster::rows
