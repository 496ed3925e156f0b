#pragma once
// Presentation of a finished Direct3D frame.
#include <cstdint>

// 1 presented (or nothing to do under DirectDraw), 0 when the device is lost.
int32_t DDFlip(int32_t nFrameRate);
