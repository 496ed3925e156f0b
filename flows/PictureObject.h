#pragma once
// A picture shown on the stage by the picture command. It owns its surface in PictureSurfaces
// (m_lpSurface) and gives it back when it is destroyed, so removed pictures need no bookkeeping
// of list positions.
#include <cstdint>

struct DDSURFACEDATA;
class cGameObject;

class cPictureObject {
public:
    cPictureObject() = default;
    // Defined in PictureObject.cpp.
    // Gives the surface back to PictureSurfaces. A copy owns no surface: pictures are set up where
    // they are stored.
    ~cPictureObject();
    cPictureObject(const cPictureObject& other);
    cPictureObject& operator=(const cPictureObject& other);
    void ReleaseSurface();
    void Setup(int32_t nPicture, double x, double y, int32_t nWidth, int32_t nHeight,
               int32_t bFixedOnScreen, int32_t nLayer, int32_t nScale, int32_t nTimeMode,
               int32_t nFrames, int32_t bStopsGame, int32_t bUsesId, int32_t nId);
    // 0 drawn, 1 finished. lpPicture is drawn only by a picture without a surface of its own.
    int32_t Draw(DDSURFACEDATA* lpTarget, DDSURFACEDATA* lpPicture, int32_t bPaused);

    int32_t m_nPicture = 0;
    double m_dX = 0.0, m_dY = 0.0;
    int32_t m_nWidth = 0, m_nHeight = 0;
    int32_t m_bScaled = 0;
    int32_t m_nLayer = 0;
    int32_t m_nTimeMode = 0;
    int32_t m_nFramesLeft = 0;
    int32_t m_bStopsGame = 0;
    int32_t m_bFixedOnScreen = 0;
    int32_t m_nScreenX = 0, m_nScreenY = 0;
    int32_t m_bUsesId = 0;
    int32_t m_nId = 0;
    DDSURFACEDATA* m_lpSurface = nullptr;

    int32_t m_bGone = 0;
};

// The top-left corner of an effect or picture of the given size for a position mode.
void EffectPosition(double& x, double& y, int32_t nWidth, int32_t nHeight, cGameObject* lpObject,
                    int32_t nMode, int32_t nBlockX, int32_t nBlockY, int32_t nPixelX,
                    int32_t nPixelY);
