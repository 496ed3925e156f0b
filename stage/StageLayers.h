#pragma once
// Background layers, block layers, the sight mask, the status bar, the time limit and the screen
// tone of the stage picture.
#include <cstdint>

class cCommandInstance;
struct DDSURFACEDATA;

// Defined in StageLayers.cpp.
void BuildSightMask(DDSURFACEDATA* lpMask, DDSURFACEDATA* lpDisc);
void ScrollBackgrounds();
void DrawBackgroundLayer(DDSURFACEDATA* lpTarget, int32_t nLayerKey);
void DrawBlockLayer(DDSURFACEDATA* lpTarget, int32_t nLayer);
void DrawPicturesOfLayer(DDSURFACEDATA* lpTarget, int32_t nLayer, int32_t nDraw);
void DrawStatusBar(DDSURFACEDATA* lpTarget);
void DrawTimeLimit(DDSURFACEDATA* lpTarget, int32_t bSound);
void SetScreenTone(cCommandInstance* lpInst);
void ApplyScreenTone(int32_t bDrawOnly);
