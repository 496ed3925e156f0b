#pragma once
// The Direct3D scene bracket and render-target switch that every Direct3D drawing operation uses.
#include <cstdint>

#include "media/graphics/Surface.h"

// 1 when a scene is open (or was already), 0 without a device or when BeginScene fails.
int32_t DDBeginScene();
void DDEndScene();
// Makes the surface render target 0: 1 done, 0 when the surface is no render target or the
// device refuses. The resting render target (lpTargetSD) is not changed.
int32_t DDSetRenderTarget(int32_t nIndex, DDSURFACEDATA* lpSD);
