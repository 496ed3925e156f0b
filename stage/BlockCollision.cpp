// Collision of characters with the block grid: the probes that find the cell an edge touches, the
// push-out from solid blocks, landing and ceilings, the view's edges while a view axis scrolls by
// itself, and the placement tests of summons and warps.
//
// A probe that falls outside the map (a negative pixel, or beyond the last row) finds no block:
// its hit kind is 0 and, when it is the one chosen, the probe gives cell index -1, which every
// caller treats as "no block" (BlockMap.Find gives null).
#include "stage/BlockCollision.h"
#include "objects/PlayNumbers.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "flows/FlowRuntime.h"
#include "objects/CharaBase.h"
#include "objects/Hero.h"
#include "stage/BlockMap.h"
#include "stage/CharaList.h"
#include "stage/PlayState.h"
#include "stage/Player.h"

namespace {

struct ProbeResult {
    int32_t nIndex = -1;
    int8_t nKind = 0;
};

int8_t KindOfCell(int32_t nIndex, int32_t nFaction)
{
    BLOCKCELL* lpCell = BlockMap.Find(nIndex);
    return lpCell != nullptr ? lpCell->IsActive(nFaction) : 0;
}

int32_t ScaleOf(const cCharaBase* lpObject)
{
    return lpObject->m_Def.m_nGiant >= 1 ? lpObject->m_Def.m_nGiant : 1;
}

// Probes along one line; among the probes of the highest kind the one nearest to nMid wins (the
// first on equal distance). A probe list that ignores distance passes bNearest = false.
class cProbeLine {
public:
    cProbeLine(int32_t nFaction, int32_t nMid, bool bNearest)
        : m_nFaction(nFaction), m_nMid(nMid), m_bNearest(bNearest)
    {
    }
    void Add(int32_t nCoord, int32_t nIndex)
    {
        const int8_t nKind = KindOfCell(nIndex, m_nFaction);
        const int64_t nDist = std::llabs(static_cast<int64_t>(nCoord) - m_nMid);
        if (!m_bAny || nKind > m_Best.nKind ||
            (m_bNearest && nKind == m_Best.nKind && nDist < m_nBestDist)) {
            m_Best.nIndex = nIndex;
            m_Best.nKind = nKind;
            m_nBestDist = nDist;
            m_bAny = true;
        }
    }
    ProbeResult Result() const { return m_Best; }

private:
    int32_t m_nFaction;
    int64_t m_nMid;
    bool m_bNearest;
    bool m_bAny = false;
    ProbeResult m_Best;
    int64_t m_nBestDist = 0;
};

ProbeResult ProbeEdgeKind(cCharaBase* lpObject, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    const int32_t nScale = ScaleOf(lpObject);
    ProbeResult none;
    none.nIndex = BlockMap.Find(0) != nullptr ? 0 : -1;
    if (x1 == x2) {
        cProbeLine line(lpObject->m_nFaction, 0, false);
        const int64_t nStep = static_cast<int64_t>(lpObject->m_nBaseHitHeight) - 1;
        for (int32_t k = 0; k <= nScale; ++k) {
            const int64_t y = y1 + k * nStep;
            const int32_t py = static_cast<int32_t>(y);
            line.Add(py, y == py ? BlockMap.IndexOfPixel(x1, py) : -1);
        }
        return line.Result();
    }
    if (y1 == y2) {
        const int32_t nMid = static_cast<int32_t>((static_cast<int64_t>(x1) + x2) >> 1);
        cProbeLine line(lpObject->m_nFaction, nMid, true);
        const int64_t nStep = static_cast<int64_t>(lpObject->m_nBaseHitWidth) - 1;
        for (int32_t k = 0; k <= nScale; ++k) {
            const int64_t x = x1 + k * nStep;
            const int32_t px = static_cast<int32_t>(x);
            line.Add(px, x == px ? BlockMap.IndexOfPixel(px, y1) : -1);
        }
        return line.Result();
    }
    none.nKind = KindOfCell(none.nIndex, lpObject->m_nFaction);
    return none;
}

ProbeResult ProbeFloorKind(cCharaBase* lpObject, int32_t x1, int32_t y, int32_t x2)
{
    const int32_t nScale = ScaleOf(lpObject);
    const int32_t nCount = (nScale & 1) != 0 ? nScale + 2 : nScale + 1;
    const int32_t nSpacing = lpObject->m_nHitWidth / (nCount - 1);
    const int32_t nMid = static_cast<int32_t>((static_cast<int64_t>(x1) + x2) >> 1);
    cProbeLine line(lpObject->m_nFaction, nMid, true);
    for (int32_t k = 0; k < nCount; ++k) {
        const int64_t x = k == nCount - 1 ? x2 : x1 + static_cast<int64_t>(k) * nSpacing;
        const int32_t px = static_cast<int32_t>(x);
        line.Add(px, x == px ? BlockMap.IndexOfPixel(px, y) : -1);
    }
    return line.Result();
}

ProbeResult ProbeCornersKind(cCharaBase* lpObject, int32_t l, int32_t t, int32_t r, int32_t b)
{
    cProbeLine line(lpObject->m_nFaction, 0, false);
    line.Add(0, BlockMap.IndexOf(l, t));
    line.Add(0, BlockMap.IndexOf(r, t));
    line.Add(0, BlockMap.IndexOf(l, b));
    line.Add(0, BlockMap.IndexOf(r, b));
    return line.Result();
}

// The flying mode in force: -1 for a walking character (it collides), else 0 passes through
// blocks, 1 collides, 2 dies on them.
int32_t FlyMode(const cCharaBase* lpObject)
{
    return lpObject->m_bFlying != 0 ? lpObject->m_nBlockMode : -1;
}

bool PassesBlocks(const cCharaBase* lpObject)
{
    return FlyMode(lpObject) == 0;
}

bool SolidFor(const cCharaBase* lpObject, int8_t nKind)
{
    return nKind == 1 || (nKind == 2 && lpObject->m_nSide != 0);
}

bool DeadlyFor(const cCharaBase* lpObject, int8_t nKind)
{
    return nKind == 2 && lpObject->m_nSide == 0;
}

bool FloorsCatchRising()
{
    return g_System.FloorsCatchRising() != 0;
}

// Whether a solid floor under the object stops it: rising walkers pass up through floors.
bool CaughtByFloor(const cCharaBase* lpObject)
{
    return FloorsCatchRising() || lpObject->m_bFlying != 0 || lpObject->m_dSpeedY >= 0.0;
}

// The bottom edge. With bRecheck an empty cell changes nothing, and a rising walker that the
// floor does not catch ends the re-check (bStop).
int32_t BottomEdge(cCharaBase* lpObject, bool bRecheck, bool& bStop)
{
    bStop = false;
    const int32_t l = TruncToInt32(lpObject->m_dX);
    const int32_t r = TruncToInt32(lpObject->m_dRight);
    const int32_t b = TruncToInt32(lpObject->m_dBottom);
    const ProbeResult probe = ProbeEdgeKind(lpObject, l, b, r, b);
    BLOCKCELL* lpCell = BlockMap.Find(probe.nIndex);
    if (probe.nKind == 0) {
        if (bRecheck) return 0;
        lpObject->m_lpStandBlock = nullptr;
        ++lpObject->m_nFallCount;
        if (lpObject->m_nFallCount >= g_Stage.m_nAirThreshold) {
            if (lpObject->m_nSide == 0) {
                if (lpObject->m_bRiding == 0) {
                    if (!Player.empty()) Player[0].m_bJumpReady = 1;
                    lpObject->m_bAirborne = 1;
                }
            } else {
                lpObject->m_bAirborne = 1;
            }
        }
        return 0;
    }
    lpObject->m_lpStandBlock = lpCell;
    if (DeadlyFor(lpObject, probe.nKind)) {
        lpObject->m_lpLandBlock = lpCell;
        return 2;
    }
    if (probe.nKind == 2) lpObject->m_lpLandBlock = lpCell;
    if (FlyMode(lpObject) == 2) return 2;
    if (!CaughtByFloor(lpObject)) {
        bStop = bRecheck;
        return 0;
    }
    if (lpObject->m_nSide == 0 && probe.nKind == 1)
        lpObject->m_lpStandBlock = BlockMap.Find(ProbeFloorKind(lpObject, l, b, r).nIndex);
    lpObject->m_lpLandBlock = lpObject->m_lpStandBlock;
    lpObject->LandOnGround();
    return 0;
}

void ScreenRectOf(cCharaBase* lpObject)
{
    if (cHero* lpHero = dynamic_cast<cHero*>(lpObject))
        lpHero->GetScreenRect();
    else
        lpObject->GetScreenRect();
}

bool BoxesOverlap(const cGameObject& a, const cGameObject& b)
{
    return a.m_dX <= b.m_dRight && b.m_dX <= a.m_dRight && a.m_dY <= b.m_dBottom &&
           b.m_dY <= a.m_dBottom;
}

}  // namespace

int32_t ProbeEdge(cCharaBase* lpObject, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    return ProbeEdgeKind(lpObject, x1, y1, x2, y2).nIndex;
}

int32_t ProbeFloor(cCharaBase* lpObject, int32_t x1, int32_t y, int32_t x2)
{
    return ProbeFloorKind(lpObject, x1, y, x2).nIndex;
}

int32_t ProbeCorners(cCharaBase* lpObject, int32_t nCellLeft, int32_t nCellTop,
                     int32_t nCellRight, int32_t nCellBottom)
{
    return ProbeCornersKind(lpObject, nCellLeft, nCellTop, nCellRight, nCellBottom).nIndex;
}

int32_t CollideLeft(cCharaBase* lpObject)
{
    if (PassesBlocks(lpObject)) return 0;
    const int32_t l = TruncToInt32(lpObject->m_dX);
    const ProbeResult probe =
        ProbeEdgeKind(lpObject, l, TruncToInt32(lpObject->m_dY), l, TruncToInt32(lpObject->m_dBottom));
    if (DeadlyFor(lpObject, probe.nKind)) return 2;
    if (!SolidFor(lpObject, probe.nKind)) return 0;
    if (FlyMode(lpObject) == 2) return 2;
    lpObject->m_bContactLeft = 1;
    lpObject->m_dAccelX = 0.0;
    lpObject->m_dX += 32 - (TruncToInt32(lpObject->m_dX) & 31);
    lpObject->OnMovedX();
    lpObject->m_nLastWallSide = 0;
    FireFlows(lpObject, 9);
    FireFlows(lpObject, 10);
    FireFlows(lpObject, 11);
    return 0;
}

int32_t CollideRight(cCharaBase* lpObject)
{
    if (PassesBlocks(lpObject)) return 0;
    const int32_t r = TruncToInt32(lpObject->m_dRight);
    const ProbeResult probe =
        ProbeEdgeKind(lpObject, r, TruncToInt32(lpObject->m_dY), r, TruncToInt32(lpObject->m_dBottom));
    if (DeadlyFor(lpObject, probe.nKind)) return 2;
    if (!SolidFor(lpObject, probe.nKind)) return 0;
    if (FlyMode(lpObject) == 2) return 2;
    lpObject->m_bContactRight = 1;
    lpObject->m_dAccelX = 0.0;
    lpObject->m_dX -= (TruncToInt32(lpObject->m_dRight) & 31) + 1;
    lpObject->OnMovedX();
    lpObject->m_nLastWallSide = 1;
    FireFlows(lpObject, 9);
    FireFlows(lpObject, 10);
    FireFlows(lpObject, 12);
    return 0;
}

int32_t CollideTop(cCharaBase* lpObject)
{
    if (PassesBlocks(lpObject)) return 0;
    const int32_t t = TruncToInt32(lpObject->m_dY);
    const ProbeResult probe =
        ProbeEdgeKind(lpObject, TruncToInt32(lpObject->m_dX), t, TruncToInt32(lpObject->m_dRight), t);
    if (DeadlyFor(lpObject, probe.nKind)) return 2;
    if (!SolidFor(lpObject, probe.nKind)) return 0;
    if (FlyMode(lpObject) == 2) return 2;
    lpObject->HitCeiling();
    return 0;
}

int32_t CollideBottom(cCharaBase* lpObject)
{
    if (PassesBlocks(lpObject)) return 0;
    bool bStop = false;
    return BottomEdge(lpObject, false, bStop);
}

int32_t CollideHorizontal(cCharaBase* lpObject)
{
    if (PassesBlocks(lpObject)) return 0;
    const bool bRightFirst = FlyMode(lpObject) == 1 || lpObject->m_dSpeedX > 0.0;
    if (bRightFirst) {
        if (CollideRight(lpObject) == 2) return 2;
        return CollideLeft(lpObject);
    }
    if (CollideLeft(lpObject) == 2) return 2;
    return CollideRight(lpObject);
}

int32_t RecheckHorizontal(cCharaBase* lpObject)
{
    const int32_t nRight = CollideRight(lpObject);
    const int32_t nLeft = CollideLeft(lpObject);
    return nRight == 2 || nLeft == 2 ? 2 : 0;
}

int32_t CollideVertical(cCharaBase* lpObject)
{
    if (PassesBlocks(lpObject)) return 0;
    lpObject->m_lpStandBlock = nullptr;
    const bool bBottomFirst = FlyMode(lpObject) == 1 || lpObject->m_dSpeedY > 0.0;
    if (bBottomFirst) {
        if (CollideBottom(lpObject) == 2) return 2;
        return CollideTop(lpObject);
    }
    if (CollideTop(lpObject) == 2) return 2;
    return CollideBottom(lpObject);
}

int32_t RecheckVertical(cCharaBase* lpObject)
{
    if (PassesBlocks(lpObject)) return 0;
    bool bStop = false;
    if (BottomEdge(lpObject, true, bStop) == 2) return 2;
    if (bStop) return 0;
    return CollideTop(lpObject);
}

void KeepInViewX(cCharaBase* lpObject)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return;
    const double dView = lpState->m_ScrollX.m_dPosition;
    ScreenRectOf(lpObject);
    if (static_cast<int64_t>(lpObject->m_nLeft) + lpObject->m_nOffsetX < 0) {
        lpObject->m_bContactLeft = 1;
        lpObject->m_dX = dView;
    } else if (static_cast<int64_t>(lpObject->m_nRight) - lpObject->m_nOffsetX + 1 >= 640) {
        lpObject->m_bContactRight = 1;
        lpObject->m_dX = dView + 640 - lpObject->m_nHitWidth - 1.0;
    }
    lpObject->OnMovedX();
}

int32_t KeepInViewY(cCharaBase* lpObject)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return 0;
    const double dView = lpState->m_ScrollY.m_dPosition;
    ScreenRectOf(lpObject);
    int32_t nResult = 0;
    if (static_cast<int64_t>(lpObject->m_nTop) + lpObject->m_nOffsetY < 0) {
        lpObject->m_bContactTop = 1;
        lpObject->m_dY = dView;
    } else if (static_cast<int64_t>(lpObject->m_nBottom) - lpObject->m_nOffsetY + 1 >= 480) {
        lpObject->m_bContactBottom = 1;
        lpObject->m_dY = dView + 480 - lpObject->m_nHitHeight - 1.0;
        // A walker pushed out of the bottom of a view that scrolls by itself has fallen.
        if (lpObject->m_bFlying == 0) nResult = 2;
    }
    lpObject->OnMovedY();
    return nResult;
}

int32_t HitsBlockOrCharacter(cCharaBase* lpObject)
{
    if (PassesBlocks(lpObject)) return 0;
    const ProbeResult probe =
        ProbeCornersKind(lpObject, lpObject->m_nCellLeft, lpObject->m_nCellTop,
                         lpObject->m_nCellRight, lpObject->m_nCellBottom);
    if (probe.nKind != 0) return 1;
    return OverlapsBlockCharacter(lpObject, 0, 0);
}

int32_t OverlapsBlockCharacter(cCharaBase* lpObject, int32_t bExceptKey, int32_t nExceptKey)
{
    if (PassesBlocks(lpObject)) return 0;
    for (cChara& other : CharaList) {
        if (other.m_Def.m_bCellBox == 0 || other.m_bDefeated != 0 || other.m_bAppeared == 0)
            continue;
        if (other.m_nKey == lpObject->m_nKey) continue;
        if (bExceptKey != 0 && other.m_nKey == nExceptKey) continue;
        if (BoxesOverlap(other, *lpObject)) return 1;
    }
    return 0;
}
