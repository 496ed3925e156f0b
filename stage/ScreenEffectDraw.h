#pragma once
// The screen effects drawn over the whole stage picture.
#include <cstdint>

// (draw-only) -> 1 when the effect has ended.
using ScreenEffectHandler = int32_t (*)(int32_t bDrawOnly);
extern const ScreenEffectHandler ScreenEffectHandlerTable[14];

// Defined in ScreenEffectDraw.cpp.
void DrawScreenEffect(int32_t bDrawOnly);
