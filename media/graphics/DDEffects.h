#pragma once
// The effects that compute on locked surfaces (or, under Direct3D, draw a textured quad where
// both surfaces allow it): blur, mosaic, tint, translucency, colour change, disc, lens,
// rotation, and the palette read-back and fade of the true-colour modes. Flag 1 uses only the
// source pixels that are not transparent.
#include <cstdint>

#include "media/graphics/Surface.h"
#include "platform/graphics/GraphicsTypes.h"

// Box blur with horizontal reach rx and vertical reach ry; false when a lock failed.
bool DDBlur(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h, int32_t rx,
            int32_t ry, DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flag);
// Square cells of one colour, cell pixels wide; false when a lock failed.
bool DDMosaic(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h, int32_t cell,
              DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flag);

// The 8-bit blend table: entry [a * 256 + b] is the palette index of the even mix of a and b.
extern uint8_t BlendTable[65536];
// Reads a raw 65,536-byte blend table (DirectDraw only; Direct3D answers true). A missing or
// short file is refused and leaves the table as it was.
bool DDLoadTableFile(uint8_t* lpTable, const char* lpPath);
// The source pulled toward palette colour `colour` with strength 1..4 (5 and more: the colour).
bool DDBltTint(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
               DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flag,
               const PALETTEENTRY* lpPalette, const uint8_t* lpTable, int32_t colour, int32_t level);
// Transparency 0 opaque .. 255 invisible (the locked paths always mix evenly).
bool DDBltTranslucent(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
                      DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flag,
                      const uint8_t* lpTable, int32_t transparency);
bool DDBltTranslucentHalf(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
                          DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flag,
                          const uint8_t* lpTable);
// Direct3D only: lays the colour over the whole surface with opacity (255 - nAlpha) / 255.
int32_t DDChangeColor(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight,
                      int32_t nAlpha, uint8_t bRed, uint8_t bGreen, uint8_t bBlue);

// The part of the source within radius r of (scx, scy), drawn around (dcx, dcy) in rows (step 1)
// or bands of step rows, limited to rows -hy..hy-1 and source columns scx-hx..scx+hx-1.
int32_t DDBltDisc(DDSURFACEDATA* lpDstSD, int32_t dcx, int32_t dcy, int32_t hx, int32_t hy, int32_t r,
                  int32_t step, DDSURFACEDATA* lpSrcSD, int32_t scx, int32_t scy, int32_t flags);
// A magnifying lens; clear != 0 clears what it does not draw (32-bit Direct3D).
bool DDBltLens(DDSURFACEDATA* lpDstSD, int32_t dcx, int32_t dcy, int32_t radius, int32_t height,
               DDSURFACEDATA* lpSrcSD, int32_t scx, int32_t scy, int32_t flag, int32_t clear);

// The w x h source rotated by angle degrees (clockwise on screen) about the pivot (px, py),
// which lands at (dcx, dcy).
bool DDBltRotate(DDSURFACEDATA* lpDstSD, int32_t dcx, int32_t dcy, int32_t w, int32_t h, int32_t px,
                 int32_t py, int32_t angle, DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flag);

// Reads the 256 palette colours from the 16 x 16 block at rows 8..23 of a true-colour palette
// image: 1 done, 0 when the surface cannot be read or is smaller than 16 x 24 (the palette is
// then left as it was).
int32_t DDSetPalette_UnPal(PALETTEENTRY* lpPalette, DDSURFACEDATA* lpSD);
// DirectDraw 16/32 bits: destination = source mixed with the colour, level 0..256 the source's
// weight. 0 when a lock failed.
int32_t DDFade_UnPal(DDSURFACEDATA* lpDstSD, int32_t level, uint8_t red, uint8_t green, uint8_t blue,
                     DDSURFACEDATA* lpSrcSD);
