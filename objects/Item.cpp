// An item object: set-up from its definition, its place on the block grid, growing upward when
// its scale changes, and its drawing with the overlay mark.
#include "objects/Item.h"

#include "data/AnimePattern.h"
#include "data/EdStage.h"
#include "flows/FlowBuild.h"
#include "media/graphics/DDBlt.h"
#include "objects/GraphicSource.h"
#include "shell/ShellGlobals.h"
#include "stage/PlayState.h"

namespace {

constexpr int32_t kMarkSheet = 43;

// Frame 0 for 15 ticks, frame 1 for 15 ticks, and again.
const int32_t kItemPattern[] = {0, 15, 0, 1, 15, 0, AnimeRestart, 0, 0};

}  // namespace

const int32_t* const ItemAnimeList[] = {kItemPattern, nullptr};

int32_t cItem::Init(int32_t nKey, const cEdItem& definition, int32_t bCarried)
{
    // A scale of 0 from an old file means the normal size; the caller's definition is mended too.
    if (definition.m_nGiant == 0) const_cast<cEdItem&>(definition).m_nGiant = 1;
    m_Rec = definition;

    const int32_t w = g_Stage.m_nItemBoxWidth, h = g_Stage.m_nItemBoxHeight;
    SetupGraphics(nKey, 0, 0, 0, m_Rec.m_nGraphicIndex, ItemAnimeList, 0, 16 - (w >> 1), 16 - (h >> 1), w, h, 32, 32,
                  0, 1, 0, &m_Rec);
    m_bScreenFixed = 0;
    m_bCarried = bCarried;
    if (bCarried != 0)
        m_bAppeared = 1;   // carried items keep the sizes of scale 1
    else
        SetScale(m_Rec.m_nGiant, 1);
    ExpandLoops(m_Rec.m_vCommand);
    return 0;
}

int32_t cItem::SetBlockPosition(int32_t bx, int32_t by)
{
    const cPlayState* lpState = PlayState();
    const int32_t nOriginX = lpState != nullptr ? lpState->m_ScrollX.m_nBlockOrigin : 0;
    const int32_t nOriginY = lpState != nullptr ? lpState->m_ScrollY.m_nBlockOrigin : 0;
    m_dX = (static_cast<double>(bx) + nOriginX) * 32 + m_nBaseOffsetX + 0.5;
    m_dY = (static_cast<double>(by) + nOriginY) * 32 + m_nBaseOffsetY;
    // As if it had grown from scale 1 where it stands.
    RescaleKeepBottom(m_Rec.m_nGiant, 1);
    ClampX(2);
    return ClampY(2);
}

void cItem::ScaleBoxes(int32_t nScale)
{
    (void)nScale;
}

int32_t cItem::KeepBottomOnRescale(int32_t nNew, int32_t nOld)
{
    if (nNew == nOld) return nNew;
    m_dY -= (static_cast<double>(nNew) - nOld) * (m_nBaseHitHeight + m_nBaseOffsetY);
    return ClampY(2);
}

void cItem::Draw(DDSURFACEDATA* lpTarget, int32_t bFrozen)
{
    if (m_Rec.m_bHidden != 0) return;
    const int32_t nFrame = bFrozen != 0 ? m_Anime.GetFrame() : m_Anime.Advance();
    GraphicSource src;
    SetGraphicSource(&src, 2, m_Rec.m_nGraphicKind, m_nGraphic, m_Rec.m_nGraphicSub, this, nFrame);

    const int32_t s = m_Rec.m_nGiant;
    const int32_t c = src.m_nCellScale;
    const bool bStretched = src.m_bOwnCellSize != 0 ? s != c : s > 1;
    if (bStretched)
        DDBltStretch(lpTarget, m_nLeft, m_nTop, m_nWidth, m_nHeight, src.m_lpChosen, src.m_nSrcX, src.m_nSrcY,
                     m_nBaseWidth * c, m_nBaseHeight * c, 1);
    else
        DDBlt(lpTarget, m_nLeft, m_nTop, m_nWidth, m_nHeight, src.m_lpSheet, src.m_nSrcX, src.m_nSrcY, 1);

    if (m_Rec.m_nBadgeShow != 1) return;
    const int32_t n = m_Rec.m_nBadge;
    const int32_t sx = (n / 15) * 32, sy = (n % 15) * 32;
    if (s > 1)
        DDBltStretch(lpTarget, m_nLeft, m_nTop, m_nWidth, m_nHeight, &SystemSurfaces[MarkStretchSurface], sx, sy,
                     m_nBaseWidth, m_nBaseHeight, 1);
    else
        DDBlt(lpTarget, m_nLeft, m_nTop, 32, 32, &SystemSurfaces[kMarkSheet], sx, sy, 1);
}
