// Effect animations on the stage: played by the effect command at a place of its choosing, or by
// a hit between the two boxes that met. Each draws the cells of its effect's sheet in turn and
// reports when its animation has ended.
#include "flows/EffectObject.h"

#include <cmath>

#include "core/CheckedAccess.h"
#include "core/Random.h"
#include "data/AnimePattern.h"
#include "data/EdDatabase.h"
#include "data/EdEffect.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/GraphicsState.h"
#include "shell/ShellGlobals.h"
#include "shell/SystemIni.h"
#include "stage/PlayState.h"

namespace {

// The effect's only pattern, started from its first step.
void StartEffectAnime(cAnimePlayer& player, int32_t nEffect)
{
    player.m_vPatterns.resize(1);
    player.m_vPatterns[0] = CheckedAt(g_EffectPatternTable, nEffect);
    player.SetPattern(0, 1);
}

// Stage pixels to screen pixels; a position that is not a number draws at 0.
int32_t ToScreen(double d)
{
    if (!std::isfinite(d) || d >= 2147483647.0 || d <= -2147483648.0) return 0;
    return static_cast<int32_t>(d);
}

}  // namespace

bool EffectsStretchInVideoMemory()
{
    return lpDTCon != nullptr || SystemIni.DD_VideoStretch != 0;
}

cEffectObject::cEffectObject(int32_t nEffect, double x, double y, int32_t nWidth, int32_t nHeight, int32_t bWait)
    : m_nEffect(nEffect), m_dX(x), m_dY(y), m_nWidth(nWidth), m_nHeight(nHeight), m_bWait(bWait)
{
    const cEdEffect& record = CheckedAt(g_Database.m_vEffect, nEffect);
    m_bScaled = nWidth != record.m_nCellWidth ? 1 : 0;
    StartEffectAnime(m_Anime, nEffect);
}

cEffectObject::cEffectObject(int32_t nEffect, const double* lpRectA, const double* lpRectB, int32_t nScale)
    : m_nEffect(nEffect)
{
    const cEdEffect& record = CheckedAt(g_Database.m_vEffect, nEffect);
    int32_t f = nScale;
    if (record.m_bEnlargeable != 0 && f > 1) {
        m_bScaled = 1;
        m_nWidth = f * record.m_nCellWidth;
        m_nHeight = f * record.m_nCellHeight;
    } else {
        m_bScaled = 0;
        m_nWidth = record.m_nCellWidth;
        m_nHeight = record.m_nCellHeight;
        f = 1;
    }
    // The overlap of the two boxes; none gives an all-zero rectangle.
    int32_t nLeft = 0, nTop = 0, nRight = 0, nBottom = 0;
    if (lpRectA != nullptr && lpRectB != nullptr) {
        const double l = std::fmax(lpRectA[0], lpRectB[0]), t = std::fmax(lpRectA[1], lpRectB[1]);
        const double r = std::fmin(lpRectA[2], lpRectB[2]), b = std::fmin(lpRectA[3], lpRectB[3]);
        if (l <= r && t <= b) {
            nLeft = ToScreen(l);
            nTop = ToScreen(t);
            nRight = ToScreen(r);
            nBottom = ToScreen(b);
        }
    }
    m_dX = nLeft + ((nRight - nLeft + 1) >> 1) - m_nWidth / 2;
    m_dY = nTop + ((nBottom - nTop + 1) >> 1) - m_nHeight / 2;
    m_dX += RandomBetween(-4 * f, 4 * f);
    m_dY += RandomBetween(-4 * f, 4 * f);
    StartEffectAnime(m_Anime, nEffect);
}

int32_t cEffectObject::Draw(DDSURFACEDATA* lpTarget, int32_t bPaused)
{
    const cEdEffect& record = CheckedAt(g_Database.m_vEffect, m_nEffect);
    if (record.m_vFrames.empty()) return 1;
    int32_t nCell = 0;
    if (bPaused == 0 || m_bWait != 0) {
        nCell = m_Anime.Advance();
        if (nCell == AnimeFinished) return 1;
    } else {
        nCell = m_Anime.GetFrame();
    }
    if (nCell < 0) return 0;

    cPlayState* lpState = PlayState();
    const double sx = lpState != nullptr ? lpState->m_ScrollX.m_dPosition : 0.0;
    const double sy = lpState != nullptr ? lpState->m_ScrollY.m_dPosition : 0.0;
    const int32_t x = ToScreen(m_dX - sx), y = ToScreen(m_dY - sy);
    // Two surfaces per effect from effect 1 on: the plain one and its system-memory copy.
    const int64_t nPlain = 2 * static_cast<int64_t>(m_nEffect) - 2;
    const int64_t nIndex = m_bScaled != 0 && !EffectsStretchInVideoMemory() ? nPlain + 1 : nPlain;
    if (nIndex < 0 || nIndex >= static_cast<int64_t>(StageEffectSurfaces.size())) return 0;
    DDSURFACEDATA* lpSurface = &StageEffectSurfaces[static_cast<size_t>(nIndex)];
    const int32_t w = record.m_nCellWidth, h = record.m_nCellHeight;
    if (m_bScaled != 0)
        DDBltStretch(lpTarget, x, y, m_nWidth, m_nHeight, lpSurface, nCell * w, 0, w, h, 1);
    else
        DDBlt(lpTarget, x, y, m_nWidth, m_nHeight, lpSurface, nCell * m_nWidth, 0, 1);
    return 0;
}
