// Pictures on the stage and the place rule that effects and pictures share.
#include "flows/PictureObject.h"

#include <cmath>

#include "core/CheckedAccess.h"
#include "media/graphics/DDBlt.h"
#include "objects/GameObject.h"
#include "objects/Hero.h"
#include "shell/ShellGlobals.h"
#include "stage/PlayState.h"
#include "stage/Player.h"

namespace {

int32_t ToScreen(double d)
{
    if (!std::isfinite(d) || d >= 2147483647.0 || d <= -2147483648.0) return 0;
    return static_cast<int32_t>(d);
}

void ScrollPosition(double& sx, double& sy)
{
    cPlayState* lpState = PlayState();
    sx = lpState != nullptr ? lpState->m_ScrollX.m_dPosition : 0.0;
    sy = lpState != nullptr ? lpState->m_ScrollY.m_dPosition : 0.0;
}

}  // namespace

cPictureObject::~cPictureObject()
{
    ReleaseSurface();
}

cPictureObject::cPictureObject(const cPictureObject& other)
    : m_nPicture(other.m_nPicture), m_dX(other.m_dX), m_dY(other.m_dY), m_nWidth(other.m_nWidth),
      m_nHeight(other.m_nHeight), m_bScaled(other.m_bScaled), m_nLayer(other.m_nLayer),
      m_nTimeMode(other.m_nTimeMode), m_nFramesLeft(other.m_nFramesLeft), m_bStopsGame(other.m_bStopsGame),
      m_bFixedOnScreen(other.m_bFixedOnScreen), m_nScreenX(other.m_nScreenX), m_nScreenY(other.m_nScreenY),
      m_bUsesId(other.m_bUsesId), m_nId(other.m_nId), m_lpSurface(nullptr), m_bGone(other.m_bGone)
{
}

cPictureObject& cPictureObject::operator=(const cPictureObject& other)
{
    if (this == &other) return *this;
    DDSURFACEDATA* lpOwn = m_lpSurface;
    m_nPicture = other.m_nPicture;
    m_dX = other.m_dX;
    m_dY = other.m_dY;
    m_nWidth = other.m_nWidth;
    m_nHeight = other.m_nHeight;
    m_bScaled = other.m_bScaled;
    m_nLayer = other.m_nLayer;
    m_nTimeMode = other.m_nTimeMode;
    m_nFramesLeft = other.m_nFramesLeft;
    m_bStopsGame = other.m_bStopsGame;
    m_bFixedOnScreen = other.m_bFixedOnScreen;
    m_nScreenX = other.m_nScreenX;
    m_nScreenY = other.m_nScreenY;
    m_bUsesId = other.m_bUsesId;
    m_nId = other.m_nId;
    m_bGone = other.m_bGone;
    m_lpSurface = lpOwn;
    return *this;
}

void cPictureObject::ReleaseSurface()
{
    if (m_lpSurface == nullptr) return;
    DDRemoveSurfaceFromList(PictureSurfaces, PictureSurfaceDescs, m_lpSurface);
    m_lpSurface = nullptr;
}

void cPictureObject::Setup(int32_t nPicture, double x, double y, int32_t nWidth, int32_t nHeight,
                           int32_t bFixedOnScreen, int32_t nLayer, int32_t nScale, int32_t nTimeMode, int32_t nFrames,
                           int32_t bStopsGame, int32_t bUsesId, int32_t nId)
{
    m_nPicture = nPicture;
    m_dX = x;
    m_dY = y;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_bScaled = nScale != 100 ? 1 : 0;
    m_nLayer = nLayer;
    m_nTimeMode = nTimeMode;
    m_nFramesLeft = nFrames;
    m_bStopsGame = bStopsGame;
    m_bFixedOnScreen = bFixedOnScreen;
    m_bUsesId = bUsesId;
    m_nId = nId;
    double sx = 0.0, sy = 0.0;
    ScrollPosition(sx, sy);
    m_nScreenX = ToScreen(x - sx);
    m_nScreenY = ToScreen(y - sy);
}

int32_t cPictureObject::Draw(DDSURFACEDATA* lpTarget, DDSURFACEDATA* lpPicture, int32_t bPaused)
{
    // Only game-stopping pictures count down while the game is stopped.
    if (m_nTimeMode == 2 && !(m_bStopsGame == 0 && bPaused != 0)) {
        if (--m_nFramesLeft < 0) return 1;
    }
    int32_t x = m_nScreenX, y = m_nScreenY;
    if (m_bFixedOnScreen == 0) {
        double sx = 0.0, sy = 0.0;
        ScrollPosition(sx, sy);
        x = ToScreen(m_dX - sx);
        y = ToScreen(m_dY - sy);
    }
    // The picture's own surface; the one handed in only for a picture that has none.
    DDSURFACEDATA* lpSurface = m_lpSurface != nullptr ? m_lpSurface : lpPicture;
    if (lpSurface == nullptr) return 0;
    if (m_bScaled != 0)
        DDBltStretch(lpTarget, x, y, m_nWidth, m_nHeight, lpSurface, 0, 0, lpSurface->nWidth, lpSurface->nHeight, 1);
    else
        DDBlt(lpTarget, x, y, m_nWidth, m_nHeight, lpSurface, 0, 0, 1);
    return 0;
}

void EffectPosition(double& x, double& y, int32_t nWidth, int32_t nHeight, cGameObject* lpObject, int32_t nMode,
                    int32_t nBlockX, int32_t nBlockY, int32_t nPixelX, int32_t nPixelY)
{
    double sx = 0.0, sy = 0.0;
    ScrollPosition(sx, sy);
    const cGameObject* lpAt = nullptr;
    if (nMode == 1) lpAt = lpObject;
    if (nMode == 2) lpAt = &CheckedAt(Player, 0);
    switch (nMode) {
    case 1:
    case 2:
        if (lpAt != nullptr) {
            x = lpAt->m_nLeft + lpAt->m_nWidth / 2 + sx - nWidth / 2 + nPixelX;
            y = lpAt->m_nTop + lpAt->m_nHeight / 2 + sy - nHeight / 2 + nPixelY;
            return;
        }
        break;
    case 3:
        x = sx + nBlockX * 32.0 + nPixelX;
        y = sy + nBlockY * 32.0 + nPixelY;
        return;
    case 4: {
        cPlayState* lpState = PlayState();
        const int32_t nOriginX = lpState != nullptr ? lpState->m_ScrollX.m_nBlockOrigin : 0;
        const int32_t nOriginY = lpState != nullptr ? lpState->m_ScrollY.m_nBlockOrigin : 0;
        x = (static_cast<double>(nBlockX) + nOriginX) * 32 + nPixelX;
        y = (static_cast<double>(nBlockY) + nOriginY) * 32 + nPixelY;
        return;
    }
    default: break;
    }
    // The centre of the screen (and of the screen for an object that is not there).
    x = sx + 320 - (nWidth >> 1) + nPixelX;
    y = sy + 240 - (nHeight >> 1) + nPixelY;
}
