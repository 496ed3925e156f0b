#pragma once
// Row loops over pixels that the blits, the effects and the presentation share: colour-keyed
// copies, column gathers for stretched blits, the even mix of translucency, column sums for the
// mosaic, fills under a kept top byte and conversions to the 32-bit frame the host shows.
// Each does exactly what the plain per-pixel loop beside its caller does, many pixels at a time;
// the plain loops stay as the reference, and tests run both on random input (see
// ForceGeneralPixelPaths).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace gfx {

// While forced, the callers take their plain per-pixel loops instead of these rows, so tests can
// compare the two.
void ForceGeneralPixelPaths(bool force);
bool GeneralPixelPathsForced();

namespace rows {

// dst[i] = src[i] for every pixel whose masked value is not the key.
void CopyKeyed8(uint8_t* dst, const uint8_t* src, int32_t n, uint8_t key);
void CopyKeyed16(uint16_t* dst, const uint16_t* src, int32_t n, uint16_t key, uint16_t mask);
void CopyKeyed32(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t key, uint32_t mask);

// Sixteen-bit words between the full-screen back buffer (R5G6B5) and textures (x1R5G5B5):
// to a texture green loses its low bit and the top bit is set to alpha (0 or 0x8000); to the
// back buffer green is doubled and the top bit dropped.
void TextureFromR5G6B5(uint16_t* dst, const uint16_t* src, int32_t n, uint16_t alpha);
void R5G6B5FromTexture(uint16_t* dst, const uint16_t* src, int32_t n);
// dst[i] = src[i] | bits.
void Or16(uint16_t* dst, const uint16_t* src, int32_t n, uint16_t bits);
// dst[i] = src[i] for every i whose test[i], masked, is not the key: a keyed copy whose pixels
// were converted after the key was read.
void CopyKeyedBy16(uint16_t* dst, const uint16_t* src, const uint16_t* test, int32_t n, uint16_t key,
                   uint16_t mask);

// The even mix of the DirectDraw translucency: each channel widened to 8 bits (v * 255 / mask),
// the two averaged and the mean narrowed back (v * mask / 255), all truncating; a destination
// pixel that is the key takes the source pixel, and with keyed a source pixel that is the key
// leaves the destination. R5G6B5; and 32 bits with the destination's top byte kept.
void MixHalf565(uint16_t* dst, const uint16_t* src, int32_t n, uint16_t key, bool keyed);
void MixHalf32(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t key, bool keyed);

// Adds a row of pixels to sums kept per column, channels widened to 8 bits: rb[i] gets
// red << 16 | blue, g[i] green and n[i] one, for every pixel (with keyed: every pixel whose value
// is not the key). The halves of rb hold the sums of up to 257 rows. 32 bits, and R5G6B5 widened
// as v * 255 / mask truncates.
void AddColumns32(uint32_t* rb, uint32_t* g, uint32_t* n, const uint32_t* src, int32_t count, uint32_t key,
                  bool keyed);
void AddColumns565(uint32_t* rb, uint32_t* g, uint32_t* n, const uint16_t* src, int32_t count, uint32_t key,
                   bool keyed);

// dst[i] = (dst[i] & 0xFF000000) | rgb: a colour written under the pixels' own top byte.
void FillKeepTop32(uint32_t* dst, int32_t n, uint32_t rgb);

// 0xFF000000 | the colour, the way PixelToArgb widens it (P8: through a table of 256 colours).
void ArgbFromX8R8G8B8(uint32_t* dst, const uint32_t* src, int32_t n);
void ArgbFromR5G6B5(uint32_t* dst, const uint16_t* src, int32_t n);
void ArgbFromX1R5G5B5(uint32_t* dst, const uint16_t* src, int32_t n);
void ArgbFromP8(uint32_t* dst, const uint8_t* src, int32_t n, const uint32_t* table);

// The source column of every destination column of a stretched or mirrored blit: column k of
// the scaled rectangle reads source offset k * source / dest (truncated), counted from the far
// end when mirrored. Kept in whole numbers from one column to the next, so no column is off by
// one against the division.
class cStepper {
public:
    // Offsets for k = first .. first + count - 1.
    void Build(int64_t first, int32_t count, int64_t source, int64_t dest, bool mirror);
    const int32_t* Offsets() const { return m_vOffsets.data(); }

private:
    std::vector<int32_t> m_vOffsets;
};

// Four loads before their stores, and the key chosen without a branch: scaled sprites alternate
// between transparent and solid too often for a branch to be guessed.
template <class T>
inline void Gather(T* dst, const T* src, const int32_t* cols, int32_t n)
{
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const T a = src[cols[i]], b = src[cols[i + 1]], c = src[cols[i + 2]], d = src[cols[i + 3]];
        dst[i] = a;
        dst[i + 1] = b;
        dst[i + 2] = c;
        dst[i + 3] = d;
    }
    for (; i < n; ++i) dst[i] = src[cols[i]];
}

template <class T>
inline void GatherKeyed(T* dst, const T* src, const int32_t* cols, int32_t n, T key, T mask)
{
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const T a = src[cols[i]], b = src[cols[i + 1]], c = src[cols[i + 2]], d = src[cols[i + 3]];
        const T da = dst[i], db = dst[i + 1], dc = dst[i + 2], dd = dst[i + 3];
        dst[i] = (a & mask) != key ? a : da;
        dst[i + 1] = (b & mask) != key ? b : db;
        dst[i + 2] = (c & mask) != key ? c : dc;
        dst[i + 3] = (d & mask) != key ? d : dd;
    }
    for (; i < n; ++i) {
        const T p = src[cols[i]];
        if ((p & mask) != key) dst[i] = p;
    }
}

} // namespace rows
} // namespace gfx
