// Warp, set target, status flags, vanish and take-item. Each acts every time its command is
// stepped; the workers are shared with the item commands of the same names.
#include <cmath>
#include <cstdint>

#include "core/CheckedAccess.h"
#include "data/EdCommand.h"
#include "data/EdItem.h"
#include "data/EdMove.h"
#include "data/EdPalette.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "flows/FlowInstance.h"
#include "flows/ObjectCommands.h"
#include "objects/CharaBase.h"
#include "objects/CharaSearch.h"
#include "objects/ObjectLinks.h"
#include "objects/Shot.h"
#include "stage/BlockCollision.h"
#include "stage/PlayState.h"
#include "stage/Player.h"

namespace {

int32_t Param(const cEdCommand* lpCmd, size_t i)
{
    return (lpCmd != nullptr && i < lpCmd->m_vParam.size()) ? lpCmd->m_vParam[i] : 0;
}

// The hero of Player at this address, or null for a computer character.
cHero* AsHero(cCharaBase* lpChara)
{
    for (cHero& hero : Player)
        if (&hero == lpChara) return &hero;
    return nullptr;
}

bool ValidFaction(const cPlayState& state, int32_t nFaction)
{
    return nFaction >= 0 && static_cast<size_t>(nFaction) < state.m_vFactionCharas.size();
}

// A character is to leave: a computer character is removed by its pass, a hero dies with HP 0.
// Anyone but the running object is found by the pending-death pass.
void MarkVanished(cPlayState& state, cCharaBase* lpChara, const cCharaBase* lpRunning)
{
    if (lpChara->m_nSide == 1)
        lpChara->m_bRemoved = 1;
    else if (lpChara->m_nSide == 0)
        lpChara->m_nHP = 0;
    if (lpChara != lpRunning) state.m_bDeathPending = 1;
}

// Moves a position by d along a direction code; codes without a direction leave it.
void MoveAlong(cCharaBase* lpObject, int32_t nCode, double d)
{
    const double k = std::sqrt(2.0) / 2;
    double dx = 0.0, dy = 0.0;
    switch (nCode) {
    case 2: dx = -d; break;
    case 3: dx = d; break;
    case 6: dy = -d; break;
    case 7: dy = d; break;
    case 8: dx = -d * k; dy = -d * k; break;
    case 9: dx = -d * k; dy = d * k; break;
    case 10: dx = d * k; dy = -d * k; break;
    case 11: dx = d * k; dy = d * k; break;
    default: return;
    }
    if (dx != 0.0) {
        lpObject->m_dX += dx;
        lpObject->OnMovedX();
    }
    if (dy != 0.0) {
        lpObject->m_dY += dy;
        lpObject->OnMovedY();
    }
}

}  // namespace

// ------------------------------------------------------------------ 20 warp

int32_t WorkWarp(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    cPlayState* lpState = PlayState();
    if (lpObject == nullptr || lpCmd == nullptr || !lpCmd->m_lpMove || lpState == nullptr) return 0;
    const cEdMove& move = *lpCmd->m_lpMove;
    lpObject->m_bLockScreenX = 0;
    lpObject->m_bLockScreenY = 0;
    const double dOldX = lpObject->m_dX, dOldY = lpObject->m_dY;
    const double dOldRight = lpObject->m_dRight, dOldBottom = lpObject->m_dBottom;
    const double d = (static_cast<double>(move.m_nDistance) + static_cast<double>(lpObject->m_nFormationIndex) *
                                                                  move.m_nDistanceStep) *
                     16;
    const int32_t bKeep = g_System.WarpDirection() != 0 ? lpObject->m_bFlying : 1;

    switch (move.m_nMode) {
    case 0:
        MoveAlong(lpObject, lpObject->GetDirectionCode(move.m_nDirection, 0, bKeep), d);
        break;
    case 1: {
        cCharaBase* lpTarget = lpObject->m_lpTarget;
        if (lpTarget == nullptr) return 0;
        const int32_t nCode = lpTarget->GetDirectionCode(move.m_nDirection, 0, bKeep);
        lpObject->m_dX = lpTarget->m_dX - lpTarget->m_nOffsetX + lpTarget->m_nWidth / 2 + lpObject->m_nOffsetX -
                         lpObject->m_nWidth / 2;
        lpObject->OnMovedX();
        lpObject->m_dY = lpTarget->m_dY - lpTarget->m_nOffsetY + lpTarget->m_nHeight / 2 + lpObject->m_nOffsetY -
                         lpObject->m_nHeight / 2;
        lpObject->OnMovedY();
        MoveAlong(lpObject, nCode, d);
        break;
    }
    case 2: {
        int32_t ox = move.m_nTargetXBlocks * 32 + move.m_nTargetXDots;
        int32_t oy = move.m_nTargetYBlocks * 32 + move.m_nTargetYDots;
        if (lpObject->m_nDir == 1) {
            if (move.m_bMirrorX != 0) ox = -ox;
            if (move.m_bMirrorY != 0) oy = -oy;
        }
        switch (move.m_nCoordMode) {
        case 0:
            lpObject->m_dX += ox;
            lpObject->OnMovedX();
            lpObject->m_dY += oy;
            lpObject->OnMovedY();
            break;
        case 1:
            lpObject->SetBlockX(move.m_nTargetXBlocks);
            lpObject->SetBlockY(move.m_nTargetYBlocks);
            lpObject->m_dX += move.m_nTargetXDots;
            lpObject->OnMovedX();
            lpObject->m_dY += move.m_nTargetYDots;
            lpObject->OnMovedY();
            break;
        case 2:
            lpObject->m_dX = lpObject->m_nOffsetX + lpState->m_ScrollX.m_dPosition + ox;
            lpObject->OnMovedX();
            lpObject->m_dY = lpObject->m_nOffsetY + lpState->m_ScrollY.m_dPosition + oy;
            lpObject->OnMovedY();
            break;
        default: break;
        }
        break;
    }
    default: break;
    }

    lpObject->GetScreenRect();
    if (lpObject->IsInsideStage(0) == 0 || HitsBlockOrCharacter(lpObject) == 1) {
        lpObject->m_dX = dOldX;
        lpObject->m_dY = dOldY;
        lpObject->m_dRight = dOldRight;
        lpObject->m_dBottom = dOldBottom;
        lpObject->OnMovedY();
        lpObject->OnMovedX();
        lpObject->GetScreenRect();
    } else if (lpObject->m_bFlying == 0) {
        lpObject->m_dSpeedY = 0.0;
    }
    if (move.m_nMode == 2 && move.m_nCoordMode == 2) {
        lpObject->m_bLockScreenX = 1;
        lpObject->m_bLockScreenY = 1;
        lpObject->m_nLockScreenX = lpObject->m_nLeft;
        lpObject->m_nLockScreenY = lpObject->m_nTop;
    }
    return 0;
}

// ------------------------------------------------------------------ 21 set target

int32_t WorkSetTarget(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    cPlayState* lpState = PlayState();
    if (lpObject == nullptr || lpCmd == nullptr || lpState == nullptr) return 0;
    CharaFilter filter;
    filter.bExcludeKey = Param(lpCmd, 4);
    filter.nKey = lpObject->m_nKey;
    filter.bExcludeShotHit = Param(lpCmd, 5);
    filter.bExcludeShotPass = Param(lpCmd, 6);
    filter.bExcludeSolid = Param(lpCmd, 7);
    filter.bById = Param(lpCmd, 8);
    filter.nId = Param(lpCmd, 9);
    filter.bByVariable = Param(lpCmd, 10);
    filter.nVariable = static_cast<int16_t>(Param(lpCmd, 11));
    filter.nValue = Param(lpCmd, 12);
    filter.nOperator = Param(lpCmd, 13);
    const int32_t nFaction = Param(lpCmd, 1);
    const bool bAll = Param(lpCmd, 2) != 0;
    const int32_t nScope = Param(lpCmd, 3);
    const double x = lpObject->m_nLeft + lpObject->m_nWidth / 2;
    const double y = lpObject->m_nTop + lpObject->m_nHeight / 2;

    cCharaBase* lpCandidate = nullptr;
    switch (Param(lpCmd, 0)) {
    case 0: lpCandidate = Player.empty() ? nullptr : &Player[0]; break;
    case 1: lpCandidate = lpObject; break;
    case 2:
        if (bAll) {
            cLinkList<cCharaBase> nearest;
            for (cLinkList<cCharaBase>& list : lpState->m_vFactionCharas) {
                if (list.Empty()) continue;
                if (cCharaBase* lpChara = FindNearestChara(x, y, list, nScope, filter)) nearest.PushBack(lpChara);
            }
            lpCandidate = FindNearestChara(x, y, nearest, nScope, filter);
        } else if (ValidFaction(*lpState, nFaction)) {
            lpCandidate = FindNearestChara(x, y, lpState->m_vFactionCharas[static_cast<size_t>(nFaction)], nScope, filter);
        }
        break;
    case 3:
        if (bAll) {
            for (cLinkList<cCharaBase>& list : lpState->m_vFactionCharas)
                if ((lpCandidate = FindChara(list, filter)) != nullptr) break;
        } else if (ValidFaction(*lpState, nFaction)) {
            lpCandidate = FindChara(lpState->m_vFactionCharas[static_cast<size_t>(nFaction)], filter);
        }
        break;
    default: break;
    }

    switch (Param(lpCmd, 14)) {
    case 0: lpObject->SetTarget(lpCandidate); break;
    case 1:
        if (lpCandidate != nullptr) lpObject->SetTarget(lpCandidate);
        break;
    default: break;
    }
    return 0;
}

// ------------------------------------------------------------------ 23 status flags

int32_t WorkStatusFlag(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    cPlayState* lpState = PlayState();
    if (lpObject == nullptr || lpCmd == nullptr || lpState == nullptr) return 0;
    const int32_t nSubject = Param(lpCmd, 0);
    const int32_t nStatus = Param(lpCmd, 1);
    const int32_t nValue = Param(lpCmd, 2);

    if (nSubject == 2) {
        if (nStatus == 0) {
            g_Stage.m_nAutoScrollSpeedX = nValue;
            lpState->m_ScrollX.SetSpeed(g_Stage.m_bAutoScrollX, nValue);
        } else if (nStatus == 1) {
            g_Stage.m_nAutoScrollSpeedY = nValue;
            lpState->m_ScrollY.SetSpeed(g_Stage.m_bAutoScrollY, nValue);
        }
        return 0;
    }
    cCharaBase* lpSubject = nullptr;
    if (nSubject == 0) lpSubject = lpObject;
    else if (nSubject == 1) lpSubject = lpObject->m_lpTarget;
    if (lpSubject == nullptr) return 0;

    const int8_t nByte = static_cast<int8_t>(nValue);
    switch (nStatus) {
    case 0: MarkVanished(*lpState, lpSubject, lpObject); break;
    case 1: lpSubject->m_Def.m_bTransparent = nByte; break;
    case 2: lpSubject->m_Def.m_bFixedDir = nByte; break;
    case 4: lpSubject->m_Def.m_nInvincible = nByte; break;
    case 3:
        // Only a hero changes its way of moving; a computer character keeps its own.
        if (cHero* lpHero = AsHero(lpSubject)) lpHero->SetSize(nByte, false);
        break;
    case 5:
        lpSubject->SetScale(nByte, lpSubject->m_Def.m_nGiant);
        lpSubject->m_Def.m_nGiant = nByte;
        if (cHero* lpHero = AsHero(lpSubject)) lpHero->RebuildBoxes();
        break;
    case 6:
        lpSubject->m_Def.m_bScrollSync = nByte;
        lpSubject->m_bScreenFixed = static_cast<uint8_t>(nValue);
        break;
    default: break;
    }
    return 0;
}

// ------------------------------------------------------------------ 24 vanish

int32_t WorkVanish(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    cPlayState* lpState = PlayState();
    if (lpCmd == nullptr || lpState == nullptr) return 0;
    const int32_t nFaction = Param(lpCmd, 1);
    if (!ValidFaction(*lpState, nFaction)) return 0;
    const bool bAll = Param(lpCmd, 2) == 1;
    switch (Param(lpCmd, 0)) {
    case 0:
        for (cCharaBase* lpChara : lpState->m_vFactionCharas[static_cast<size_t>(nFaction)]) {
            if (lpChara->m_bAppeared == 0 || (!bAll && lpChara->m_bOnScreen == 0)) continue;
            MarkVanished(*lpState, lpChara, lpObject);
        }
        break;
    case 1:
        if (static_cast<size_t>(nFaction) >= lpState->m_vFactionShots.size()) break;
        // The walk survives the removal of the shot it stands on. No pass keeps a shot's
        // on-screen flag, so its box is tested against the view here.
        for (cShot* lpShot : lpState->m_vFactionShots[static_cast<size_t>(nFaction)]) {
            if (lpShot->m_bAppeared == 0 || (!bAll && lpShot->m_bOnScreen == 0 && lpShot->IsOnScreen() == 0)) continue;
            RemoveShotFromStage(*lpShot);
        }
        break;
    default: break;
    }
    return 0;
}

// ------------------------------------------------------------------ 25 take item

int32_t WorkTakeItem(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    (void)lpObject;
    cPlayState* lpState = PlayState();
    if (lpCmd == nullptr || lpState == nullptr || Player.empty()) return 0;
    const int32_t nPalette = Param(lpCmd, 0);
    if (nPalette != 0 && nPalette != 1) return 0;
    std::vector<cEdItem>& list = nPalette == 0 ? g_CommonPalette.m_vItem : g_Stage.m_vPaletteItem;
    cEdItem& item = CheckedAt(list, Param(lpCmd, 1));
    const int32_t nResult = Player[0].RunItemCommands(item.m_vCommand);
    // Only an item that ends the stage changes the result; an ordinary item leaves it as it was.
    if (nResult != 0) lpState->m_nResult = nResult;
    return 0;
}

// ------------------------------------------------------------------ handlers

void CmdWarp(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpInst != nullptr) WorkWarp(lpObject, lpInst->m_lpCmd);
}

void CmdSetTarget(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpInst != nullptr) WorkSetTarget(lpObject, lpInst->m_lpCmd);
}

void CmdStatusFlag(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpInst != nullptr) WorkStatusFlag(lpObject, lpInst->m_lpCmd);
}

void CmdVanish(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpInst != nullptr) WorkVanish(lpObject, lpInst->m_lpCmd);
}

void CmdTakeItem(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpInst != nullptr) WorkTakeItem(lpObject, lpInst->m_lpCmd);
}
