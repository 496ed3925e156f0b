#pragma once
// Blits: copy a rectangle of one surface onto another, optionally skipping the transparent
// colour (flags 1), stretched, mirrored or tinted by the blend state; and the virtual back
// buffer, a texture that stands in for the back buffer while screen effects need the picture.
#include <cstdint>

#include "media/graphics/Surface.h"

// The blend pair of DDBltBlend and DDBltStretchBlend: a diffuse colour and a colour operation.
struct DDBLENDPAIR {
    uint32_t dwDiffuse;
    int32_t nColorOp;
};

int32_t DDBlt(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
              DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flags);
// A negative source width or height draws mirrored (Direct3D).
int32_t DDBltStretch(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
                     DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                     int32_t flags);
int32_t DDBltBlend(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
                   DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flags,
                   const DDBLENDPAIR& blend);
int32_t DDBltStretchBlend(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
                          DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                          int32_t flags, const DDBLENDPAIR& blend);

// Clips a blit to both surfaces; false when nothing is left.
bool DDClipBlt(DDSURFACEDATA* lpDstSD, int32_t* x, int32_t* y, int32_t* w, int32_t* h,
               DDSURFACEDATA* lpSrcSD, int32_t* sx, int32_t* sy, int32_t* sw, int32_t* sh);
// Direct3D view of a mirrored strip: reads a frame of the base strip right to left (or bottom
// to top).
void DDAdjustMirrorSource(DDSURFACEDATA* lpSrcSD, int32_t* sx, int32_t* sy, int32_t* sw, int32_t* sh);

// Blend state of the following Direct3D blits.
void DDSetDiffuse(uint32_t dwDiffuse);
void DDResetDiffuse();
void DDSetColorOp(int32_t nOp);
void DDResetColorOp();
void DDSetAlphaOp(int32_t nOp);
void DDResetAlphaOp();

// While on (Direct3D), drawing aimed at BackBuffer lands in VirBackBuffer; switching it off
// copies VirBackBuffer to BackBuffer.
void DDSetVirtualBackBuffer(int32_t bOn);
bool DDRedirectToVirtualBackBuffer(DDSURFACEDATA** lplpSD);
void DDCopyVirtualBackBuffer(DDSURFACEDATA* lpBackSD, DDSURFACEDATA* lpVirtualSD);
