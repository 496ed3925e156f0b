// The common set-up of every stage object and its change of scale.
#include "objects/GameObject.h"

namespace {

// Box sizes come from the stage file: a product that an int32 cannot hold is held at its limit.
int32_t Scaled(int32_t nBase, int32_t nScale)
{
    const int64_t n = static_cast<int64_t>(nBase) * nScale;
    return n > INT32_MAX ? INT32_MAX : (n < INT32_MIN ? INT32_MIN : static_cast<int32_t>(n));
}

}  // namespace

void cGameObject::SetupGraphics(int32_t nKey, int32_t nSide, int32_t nSubKind, int32_t nFaction,
                                int32_t nGraphic, const int32_t* const* lpAnimeList,
                                int32_t nFirstPattern, int32_t nOffsetX, int32_t nOffsetY,
                                int32_t nHitWidth, int32_t nHitHeight, int32_t nWidth,
                                int32_t nHeight, int32_t nDir, int32_t nFlyKind,
                                int32_t nFormationIndex, const void* lpDefinition)
{
    (void)lpDefinition;
    m_nKey = nKey;
    m_nSide = nSide;
    m_nLifeTime = 2147483647;
    m_nSubKind = nSubKind;
    m_nFaction = nFaction;
    m_nGraphic = nGraphic;
    if (lpAnimeList != nullptr) {
        m_Anime.Build(lpAnimeList);
        m_Anime.SetPattern(nFirstPattern, 1);
    }
    // Each size is kept twice: scaled, and at scale 1 as the template the scale multiplies.
    m_nOffsetX = m_nBaseOffsetX = nOffsetX;
    m_nOffsetY = m_nBaseOffsetY = nOffsetY;
    m_nHitWidth = m_nBaseHitWidth = nHitWidth;
    m_nHitHeight = m_nBaseHitHeight = nHitHeight;
    m_nWidth = m_nBaseWidth = nWidth;
    m_nHeight = m_nBaseHeight = nHeight;
    m_dSpeedX = m_dSpeedY = 0.0;
    m_dAccelX = m_dAccelY = 0.0;
    m_nDir = nDir;
    m_bAppeared = 0;
    m_bOnScreen = 0;
    m_bAppearLatch = 0;
    m_nFormationIndex = static_cast<int16_t>(nFormationIndex);
    switch (nFlyKind) {
    case 0:
        m_bFlying = 0;
        m_nBlockMode = 1;
        break;
    case 1:
        m_bFlying = 1;
        m_nBlockMode = 0;
        break;
    case 2:
        m_bFlying = 1;
        m_nBlockMode = 1;
        break;
    case 3:
        m_bFlying = 1;
        m_nBlockMode = 2;
        break;
    default:
        break;
    }
}

void cGameObject::SetScale(int32_t nNew, int32_t nOld)
{
    if (nNew == nOld) return;
    m_nHitWidth = Scaled(m_nBaseHitWidth, nNew);
    m_nHitHeight = Scaled(m_nBaseHitHeight, nNew);
    m_nOffsetX = Scaled(m_nBaseOffsetX, nNew);
    m_nOffsetY = Scaled(m_nBaseOffsetY, nNew);
    m_nWidth = Scaled(m_nBaseWidth, nNew);
    m_nHeight = Scaled(m_nBaseHeight, nNew);
    RescaleKeepBottom(nNew, nOld);
    ScaleBoxes(nNew);
}

void cGameObject::RescaleKeepBottom(int32_t nNew, int32_t nOld)
{
    // Half the width gained on each side keeps the hit box's centre where it was.
    m_dX -= (static_cast<double>(nNew) - nOld) * (m_nBaseHitWidth / 2);
    ClampX(2);
    KeepBottomOnRescale(nNew, nOld);
}
