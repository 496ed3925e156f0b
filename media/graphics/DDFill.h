#pragma once
// Fills in palette colours and in pixel colours, the Direct3D fill batch, single pixels and
// circle outlines.
#include <cstdint>

#include "media/graphics/Surface.h"

int32_t DDFillRect(DDSURFACEDATA* lpSD, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t dwPalNum);
void DDFillSurface(DDSURFACEDATA* lpSD, uint32_t dwPalNum);
// The colour is ARGB under Direct3D and a pixel value of the surface format under DirectDraw.
int32_t DDFillRectColor(DDSURFACEDATA* lpSD, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t dwColor);
void DDFillSurfaceColor(DDSURFACEDATA* lpSD, uint32_t dwColor);

// Direct3D: the fills between them are drawn together, grouped by target.
void DDBeginFillBatch();
int32_t DDEndFillBatch();

void DDSetPixel(DDSURFACEDATA* lpSD, int32_t x, int32_t y, uint32_t dwPalNum);
// A one-pixel circle outline; points off the surface are skipped.
void DDCircle(DDSURFACEDATA* lpSD, int32_t cx, int32_t cy, int32_t r, uint32_t dwPalNum);
