#pragma once
// An effect animation played on the stage by the effect command or by a hit.
#include <cstdint>

#include "objects/AnimePlayer.h"

struct DDSURFACEDATA;

class cEffectObject {
public:
    cEffectObject() = default;
    // Defined in EffectObject.cpp.
    // The effect command's form: top-left corner in stage pixels.
    cEffectObject(int32_t nEffect, double x, double y, int32_t nWidth, int32_t nHeight,
                  int32_t bWait);
    // A hit's form: centred between the two rectangles (left, top, right, bottom), scaled.
    cEffectObject(int32_t nEffect, const double* lpRectA, const double* lpRectB, int32_t nScale);
    // 0 drawing, 1 finished.
    int32_t Draw(DDSURFACEDATA* lpTarget, int32_t bPaused);

    int32_t m_nEffect = 0;
    double m_dX = 0.0, m_dY = 0.0;
    int32_t m_nWidth = 0, m_nHeight = 0;
    int32_t m_bScaled = 0;
    cAnimePlayer m_Anime;
    int32_t m_bWait = 0;

    int32_t m_bGone = 0;
};

// Defined in EffectObject.cpp.
// Scaled effects and pictures may stretch from video memory (Direct3D, or DirectDraw with
// "DD_VideoStretch").
bool EffectsStretchInVideoMemory();
