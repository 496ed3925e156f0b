#pragma once
// Per-surface palette-index maps: for each pixel, the lowest palette index of its colour.
#include <cstdint>

#include "media/graphics/Surface.h"

// 1 success, 0 when the surface cannot be locked (reported as out of memory).
int32_t DDBuildPaletteIndexMap(DDSURFACEDATA* lpSD);
