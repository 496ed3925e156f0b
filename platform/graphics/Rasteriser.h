#pragma once
// The Direct3D stand-in's rasteriser: pre-transformed, textured, Gouraud-shaded triangles with one
// texture stage, point sampling and the blend state, drawn into a CPU pixel buffer.
//
// Two paths produce the same pixels: the general one walks any triangle; the quad path takes two
// triangles that together make an axis-aligned rectangle with a flat colour and texture
// coordinates that follow x and y separately (the shape of every blit), and fills it row by row
// from a table of texel columns, the usual blits through the many-pixel rows of RasterRows.h.
// Both sample the same exact texture-coordinate plane and round every product alike, so which
// path draws a quad never shows in the picture.
#include <cstdint>
#include <vector>

#include "platform/graphics/D3D9.h"
#include "platform/graphics/PixelBuffer.h"

namespace gfx::raster {

constexpr int32_t kSubPixel = 256;    // fixed-point position steps per pixel
constexpr int32_t kTexelShift = 32;   // texel coordinates are 32.32 fixed point

// Made by MakeVertex; left uninitialised otherwise, as every draw declares a few it fills.
struct Vertex {
    int64_t fx, fy;      // position in sub-pixels
    int64_t u, v;        // texel coordinates, 32.32 fixed point
    uint32_t diffuse;    // 0xAARRGGBB
};

namespace detail {
// Positions beyond a million pixels and texture coordinates beyond 16 million texels are
// clamped; with these bounds every product of the rasteriser fits its integer.
constexpr double kMaxPosition = 1 << 20;
constexpr double kMaxTexel = 1 << 24;

inline int64_t Bounded(double value, double limit) {
    if (!(value >= -limit)) value = -limit;   // NaN too
    if (value > limit) value = limit;
    // Halves round away from zero.
    return static_cast<int64_t>(value >= 0 ? value + 0.5 : value - 0.5);
}
}  // namespace detail

// Converts a pre-transformed vertex; positions and texture coordinates are bounded so that no
// later step can overflow. Every draw converts each of its vertices: this is inline.
inline Vertex MakeVertex(float x, float y, float u, float v, uint32_t diffuse, int32_t textureWidth,
                         int32_t textureHeight) {
    using detail::Bounded;
    Vertex r;
    r.fx = Bounded(static_cast<double>(x) * kSubPixel, detail::kMaxPosition * kSubPixel);
    r.fy = Bounded(static_cast<double>(y) * kSubPixel, detail::kMaxPosition * kSubPixel);
    constexpr double kFixed = static_cast<double>(int64_t{1} << kTexelShift);
    r.u = Bounded(static_cast<double>(u) * textureWidth * kFixed, detail::kMaxTexel * kFixed);
    r.v = Bounded(static_cast<double>(v) * textureHeight * kFixed, detail::kMaxTexel * kFixed);
    r.diffuse = diffuse;
    return r;
}

struct Stage {
    DWORD colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
};

struct DrawState {
    cPixelBuffer* target = nullptr;
    const cPixelBuffer* texture = nullptr;   // null: every texel is opaque white
    Stage stage{};
    uint32_t factor = 0xFFFFFFFF;
    bool blend = false;
    DWORD srcBlend = 0, dstBlend = 0;
    bool wrapU = true, wrapV = true;
};

class cRasteriser {
public:
    // Draws one triangle; its vertices are in clockwise screen order (positive area).
    void Triangle(const DrawState& state, const Vertex& a, const Vertex& b, const Vertex& c);
    // Draws t0 and t1 (each clockwise) in one pass when they make a rectangle the quad path takes;
    // false, having drawn nothing, when they do not.
    bool Quad(const DrawState& state, const Vertex t0[3], const Vertex t1[3]);

private:
    void ShadeRow(const DrawState& state, bool plain, uint8_t* row, int32_t x0, int32_t n, uint32_t flatDiffuse,
                  const uint32_t* diffuse);

    std::vector<uint32_t> m_vTexels;    // one row's texels, 0xAARRGGBB
    std::vector<uint32_t> m_vDiffuse;   // one row's interpolated colours
    std::vector<uint32_t> m_vColour;    // one row's stage results
    std::vector<int32_t> m_vColumns;    // the quad path's texel column per target column
    std::vector<const uint8_t*> m_vTexRows;     // the quad path's texture row per target row
    std::vector<const uint8_t*> m_vRowTexels;   // ... and the texels the row draws
    std::vector<uint8_t> m_vGather;             // texels gathered by the columns
};

// Tests switch the quad path off to compare it with the general path; the count says how many
// quads the quad path drew.
void ForceGeneralPath(bool force);
bool GeneralPathForced();
uint64_t QuadPathCount();

}  // namespace gfx::raster
