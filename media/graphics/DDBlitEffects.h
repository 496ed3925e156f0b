#pragma once
// Effects built from blits, fills and the palette: screen fades, frames, numbers from a digit
// strip, the wave, stripe, card-flip and quarter blits, and the palette helpers.
#include <cstdint>

#include "media/graphics/Surface.h"
#include "platform/graphics/GraphicsTypes.h"

void DDFrameRect(DDSURFACEDATA* lpSD, int32_t x, int32_t y, int32_t w, int32_t h, int32_t thickness,
                 uint32_t dwPalNum);
void DDBltFramed(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
                 DDSURFACEDATA* lpSrcSD, int32_t thickness, uint32_t dwPalNum);
// Digits 0..9 of a strip side by side; a negative value draws as 0.
void DDDrawNumber(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t digitWidth, int32_t digitHeight,
                  DDSURFACEDATA* lpStripSD, int32_t sx, int32_t sy, int32_t flags, int32_t value,
                  int32_t minDigits, int32_t centre);
void DDBltWave(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h, int32_t waves,
               double amplitude, int32_t phase, int32_t band, DDSURFACEDATA* lpSrcSD, int32_t sx,
               int32_t sy, int32_t flags, int32_t columns);
int32_t DDBltStripe(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h, int32_t stripe,
                    int32_t shift, DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flags,
                    int32_t vertical);
void DDBltCardFlip(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
                   DDSURFACEDATA* lpSrcSD1, int32_t sx1, int32_t sy1, DDSURFACEDATA* lpSrcSD2, int32_t sx2,
                   int32_t sy2, int32_t sw, int32_t sh, int32_t flags, int32_t frame, int32_t vertical);
void DDBltQuarters(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
                   DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t gap, int32_t flags);

void DDBlendPalette(PALETTEENTRY* lpOut, int32_t first, int32_t last, int32_t level, uint8_t red,
                    uint8_t green, uint8_t blue, const PALETTEENTRY* lpSource);
// One step of a fade to (out) or from (in) the colour; 1 when the fade has completed.
int32_t DDFadeOut(PALETTEENTRY* lpOut, int32_t first, int32_t last, uint8_t red, uint8_t green,
                  uint8_t blue, double step, const PALETTEENTRY* lpSource, int32_t finish);
int32_t DDFadeIn(PALETTEENTRY* lpOut, int32_t first, int32_t last, uint8_t red, uint8_t green,
                 uint8_t blue, double step, const PALETTEENTRY* lpSource, int32_t finish);
// Direction 0 moves entries toward last, 1 toward first.
void DDRotatePalette(PALETTEENTRY* lpOut, int32_t first, int32_t last, int32_t n, int32_t direction,
                     const PALETTEENTRY* lpSource);
uint32_t DDPalToRGB16(const PALETTEENTRY& entry);
