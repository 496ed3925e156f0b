#pragma once
// The textured quad that the tint, translucent, rotation and colour-change effects draw under
// Direct3D when both surfaces live in video memory. Internal to the graphics layer.
#include <cstdint>

#include "media/graphics/Surface.h"
#include "platform/graphics/D3D9.h"

struct EffectQuad {
    // Corners in the order top-left, bottom-left, top-right, bottom-right: screen positions
    // (already offset by -0.5) and texture coordinates (already divided by the texture size).
    float x[4], y[4], u[4], v[4];
    uint32_t dwDiffuse = 0xFFFFFFFFu;
    // Texture stage 0.
    uint32_t dwColorOp = 4, dwColorArg1 = 2, dwColorArg2 = 0;
    uint32_t dwAlphaOp = 2, dwAlphaArg1 = 2, dwAlphaArg2 = 0;
    bool bTextureFactor = false;
    uint32_t dwTextureFactor = 0;
};

// True when an effect from lpSrc into lpDst (both already redirected) draws as a quad: the
// destination is a render target and the source is not a system-memory texture.
bool DDEffectTakesQuadPath(const DDSURFACEDATA* lpDst, const DDSURFACEDATA* lpSrc);

// Writes the quad into the vertex buffer of lpSrc (whose texture it samples; a surface without
// texture yields opaque white), draws it into lpDst and sets the render target back to the
// resting one. False when the vertex buffer, the scene or the render target failed.
bool DDDrawEffectQuad(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc, const EffectQuad& quad);

// The rectangle quad of an unrotated effect: screen (x, y, w, h), texture (sx, sy, sw, sh).
EffectQuad DDMakeRectQuad(const DDSURFACEDATA* lpSrc, int32_t x, int32_t y, int32_t w, int32_t h,
                          int32_t sx, int32_t sy, int32_t sw, int32_t sh);

// The four vertices of an unrotated blit quad: screen rectangle (x, y, w, h) offset by -0.5,
// texture rectangle (sx, sy, sw, sh) divided by the source's texture size.
void DDWriteQuadVertices(D3DTLVERTEX_TEX1* v, int32_t x, int32_t y, int32_t w, int32_t h,
                         const DDSURFACEDATA* lpSrc, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                         D3DCOLOR diffuse);

// The colour a keyed source's transparent texels leave behind when it is copied without its
// key into this render target.
D3DCOLOR DDTransparentClearColour(const DDSURFACEDATA* lpDstSD);
