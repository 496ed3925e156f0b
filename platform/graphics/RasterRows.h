#pragma once
// The rasteriser's rows for what the game draws most: keyed sprites, translucent pictures and
// colour fills, on the 16- and 32-bit formats of the back buffer and of textures. Each row leaves
// exactly the pixels of the general per-pixel path (the texture stage, then source-alpha
// blending, each product rounded to nearest); it only takes several pixels at a time.
#include <cstdint>

namespace gfx::raster {

// x / 255 rounded to nearest, for 0 <= x <= 65025 (a product of two channels, or two channels
// mixed by one weight): the same value as (x + 127) / 255, by an add and two shifts.
constexpr uint32_t DivRound255(uint32_t x) {
    const uint32_t t = x + 128;
    return (t + (t >> 8)) >> 8;
}

namespace rows {

// The pixels a quad covers: `rows` rows of `n` pixels from `dst`, `pitch` bytes apart.
struct TargetRect {
    uint8_t* dst;
    int32_t pitch;
    int32_t rows;
    int32_t n;
};

// 32-bit texels (0xAARRGGBB; row j of them at texelRows[j], read with memcpy from any address)
// times a flat colour channel by channel (the multiplier's channels; 255 leaves a channel as it
// is), drawn onto an X8R8G8B8 or A8R8G8B8 target by source alpha: a result of alpha 0 leaves the
// pixel, 255 replaces it, others mix. An X8R8G8B8 target reads as opaque and keeps 0 in its top
// byte.
void ModulateBlend32(const TargetRect& r, const uint8_t* const* texelRows, uint32_t multiplier, bool alphaTarget);

// A1R5G5B5 texels, as ModulateBlend32, onto an R5G6B5 or A1R5G5B5 target: channels widen to
// eight bits (31 -> 255), mix there, and narrow by dropping their low bits.
void ModulateBlend555(const TargetRect& r, const uint8_t* const* texelRows, uint32_t multiplier, bool r565Target);

// A1R5G5B5 texels copied onto an R5G6B5 or A1R5G5B5 target; when blending, texels without their
// alpha bit leave the target as it was.
void Texels555(const TargetRect& r, const uint8_t* const* texelRows, bool r565Target, bool blend);

// One colour (0xAARRGGBB) drawn onto every pixel by its alpha.
void BlendColour32(const TargetRect& r, uint32_t colour, bool alphaTarget);
void BlendColour16(const TargetRect& r, uint32_t colour, bool r565Target);

// Keeps to the 16-byte rows on processors that have wider vectors, for tests that compare the two.
void UseNarrowRows(bool narrow);

}  // namespace rows
}  // namespace gfx::raster
