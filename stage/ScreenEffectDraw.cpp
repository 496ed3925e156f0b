// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "stage/ScreenEffectDraw.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void DrawScreenEffect(int32_t bDrawOnly)
{}

const ScreenEffectHandler ScreenEffectHandlerTable[14] = {};
