// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/PictureObject.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void cPictureObject::Setup(int32_t nPicture, double x, double y, int32_t nWidth, int32_t nHeight, int32_t bFixedOnScreen, int32_t nLayer, int32_t nScale, int32_t nTimeMode, int32_t nFrames, int32_t bStopsGame, int32_t bUsesId, int32_t nId)
{}

int32_t cPictureObject::Draw(DDSURFACEDATA* lpTarget, DDSURFACEDATA* lpPicture, int32_t bPaused)
{ return {}; }

void EffectPosition(double& x, double& y, int32_t nWidth, int32_t nHeight, cGameObject* lpObject, int32_t nMode, int32_t nBlockX, int32_t nBlockY, int32_t nPixelX, int32_t nPixelY)
{}
