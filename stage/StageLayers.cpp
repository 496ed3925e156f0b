// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "stage/StageLayers.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void BuildSightMask(DDSURFACEDATA* lpMask, DDSURFACEDATA* lpDisc)
{}

void ScrollBackgrounds()
{}

void DrawBackgroundLayer(DDSURFACEDATA* lpTarget, int32_t nLayerKey)
{}

void DrawBlockLayer(DDSURFACEDATA* lpTarget, int32_t nLayer)
{}

void DrawPicturesOfLayer(DDSURFACEDATA* lpTarget, int32_t nLayer, int32_t nDraw)
{}

void DrawStatusBar(DDSURFACEDATA* lpTarget)
{}

void DrawTimeLimit(DDSURFACEDATA* lpTarget, int32_t bSound)
{}

void SetScreenTone(cCommandInstance* lpInst)
{}

void ApplyScreenTone(int32_t bDrawOnly)
{}
