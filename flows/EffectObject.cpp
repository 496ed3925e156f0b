// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/EffectObject.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

cEffectObject::cEffectObject(int32_t nEffect, double x, double y, int32_t nWidth, int32_t nHeight, int32_t bWait)
{}

cEffectObject::cEffectObject(int32_t nEffect, const double* lpRectA, const double* lpRectB, int32_t nScale)
{}

int32_t cEffectObject::Draw(DDSURFACEDATA* lpTarget, int32_t bPaused)
{ return {}; }
