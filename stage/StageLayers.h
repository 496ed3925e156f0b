#pragma once
// Background layers, block layers, the sight mask, the status bar, the time limit and the screen
// tone of the stage picture.
#include <cstdint>

class cCommandInstance;
struct DDSURFACEDATA;
struct ScreenTone;

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
// The width of status item nItem on the bar (0 when it is not shown).
int32_t StatusItemWidth(int32_t nItem);
// The x of each of the five status items (-1 for one not shown) and the gap between them; 0 when
// no item is shown.
int32_t StatusBarLayout(int32_t* lpX);
// The alpha (0..255, 255 no tint) of the tone at its current frame.
int32_t ScreenToneAlpha(const ScreenTone& tone);
