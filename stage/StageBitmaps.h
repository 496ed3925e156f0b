#pragma once
// The system surfaces the stage-play scene loads: all of them on a fresh start, only the eight
// background layers when the scene follows itself (retry, next part, the stage again).
#include <cstdint>

inline constexpr int32_t StageFullBitmapIds[65] = {
    2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23,
    24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45,
    46, 47, 49, 50, 51, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70};
inline constexpr int32_t StageRestartBitmapIds[8] = {55, 56, 57, 58, 59, 60, 61, 62};
inline constexpr int32_t StageBackgroundBitmapFirst = 55;
