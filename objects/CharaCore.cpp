// The character core: boxes and rescale, moves to a centre, HP and SP with their gauges,
// invincibility, damage and defeat, the conditions judged on a character and the animation
// requests that flows play over its own animation.
#include <climits>
#include <cmath>

#include "core/CheckedAccess.h"
#include "objects/PlayNumbers.h"
#include "data/EdCondition.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "flows/EffectObject.h"
#include "flows/FlowInstance.h"
#include "flows/FlowRuntime.h"
#include "flows/StatusOps.h"
#include "frontend/SaveData.h"
#include "objects/CharaBase.h"
#include "objects/Item.h"
#include "objects/Shot.h"
#include "stage/BlockCharaRules.h"
#include "stage/PlayState.h"
#include "stage/Player.h"

namespace {

int64_t Clamp64(int64_t n, int64_t lo, int64_t hi)
{
    return n < lo ? lo : (n > hi ? hi : n);
}

// The project has no stored switch for the strict vertical test of distance conditions: the
// subject's hit box reaching the bottom of its cell counts as reaching it.
constexpr int32_t kExactVerticalRange = 0;

void SetGauge(GaugeDisplay& gauge, int32_t nValue, int32_t nMaximum, int32_t nDelta)
{
    // A maximum of 0 has no bar to show a change on.
    if (nDelta == 0 || nMaximum == 0) return;
    gauge.m_nFramesLeft = 120;
    gauge.m_nBarLength = ClampToInt32(static_cast<int64_t>(nValue) * 50 / nMaximum);
    gauge.m_dChange = static_cast<double>(nDelta) * 50 / nMaximum;
    gauge.m_dStep = gauge.m_dChange * 0.016666666666666666;
}

void ClearMoveWords(cCommandInstance* lpInst)
{
    if (lpInst == nullptr) return;
    for (int32_t& nWord : lpInst->m_nMoveWord) nWord = 0;
}

// The centre of a graphic edge pair and its move: the object moves by the difference.
void MoveEdgeCentreTo(double& dPos, int32_t nStart, int32_t nSize, int32_t nTarget)
{
    const int32_t nCentre = nStart + nSize / 2;
    if (nCentre < nTarget)
        dPos += static_cast<double>(nTarget) - nCentre;
    else
        dPos -= static_cast<double>(nCentre) - nTarget;
}

void BoxRect(const CharaBox& box, double* lpRect)
{
    lpRect[0] = box.m_dLeft;
    lpRect[1] = box.m_dTop;
    lpRect[2] = box.m_dRight;
    lpRect[3] = box.m_dBottom;
}

void AddHitEffect(int16_t nEffect, const double* lpRectA, const double* lpRectB, int32_t nScale)
{
    if (nEffect == 0) return;
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return;
    cEffectObject& effect = lpState->m_EffectList.AppendNew();
    effect = cEffectObject(nEffect, lpRectA, lpRectB, nScale);
}

}  // namespace

// ------------------------------------------------------------------ boxes and moves

void cCharaBase::SetCharaBox(int32_t bBottomAlign, int32_t w, int32_t h)
{
    CharaBox& box = m_CharaBox;
    box.m_nOffsetX = box.m_nBaseOffsetX = 16 - m_nOffsetX - w / 2;
    box.m_nOffsetY = box.m_nBaseOffsetY = bBottomAlign != 0 ? 32 - m_nOffsetY - h : 16 - m_nOffsetY - h / 2;
    box.m_nWidth = box.m_nBaseWidth = w;
    box.m_nHeight = box.m_nBaseHeight = h;
}

int32_t cCharaBase::KeepBottomOnRescale(int32_t nNew, int32_t nOld)
{
    if (nNew == nOld) return 0;
    const double d = static_cast<double>(nNew) - nOld;
    if (g_System.RescaleKeepsBox() != 0)
        m_dY -= d * m_nBaseHitHeight;
    else
        m_dY -= d * (static_cast<double>(m_nBaseHeight) - m_nBaseOffsetY);
    return OnMovedY();
}

void cCharaBase::MoveCenterTo(int32_t x, int32_t y)
{
    MoveCenterXTo(x);
    MoveCenterYTo(y);
}

void cCharaBase::MoveCenterToResetMove(int32_t x, int32_t y, cCommandInstance* lpInst)
{
    MoveCenterTo(x, y);
    ClearMoveWords(lpInst);
}

void cCharaBase::MoveCenterXTo(int32_t x)
{
    MoveEdgeCentreTo(m_dX, m_nLeft, m_nWidth, x);
    OnMovedX();
}

void cCharaBase::MoveCenterXToResetMove(int32_t x, cCommandInstance* lpInst)
{
    MoveCenterXTo(x);
    ClearMoveWords(lpInst);
}

void cCharaBase::MoveCenterYTo(int32_t y)
{
    MoveEdgeCentreTo(m_dY, m_nTop, m_nHeight, y);
    OnMovedY();
}

void cCharaBase::MoveCenterYToResetMove(int32_t y, cCommandInstance* lpInst)
{
    MoveCenterYTo(y);
    ClearMoveWords(lpInst);
}

// The core itself neither carries, nor checks blocks, nor moves, nor runs flows: the hero and
// the computer characters do.
cItem* cCharaBase::GetCarriedItem()
{
    return nullptr;
}

int32_t cCharaBase::OnMovedX()
{
    return 0;
}

int32_t cCharaBase::OnMovedY()
{
    return 0;
}

int32_t cCharaBase::MoveHorizontal()
{
    return 0;
}

int32_t cCharaBase::MoveVertical()
{
    return 0;
}

int32_t cCharaBase::RunObjectFlows(int32_t bDying)
{
    (void)bDying;
    return 0;
}

void cCharaBase::UpdateJump(cCommandInstance* lpInst)
{
    (void)lpInst;
}

// ------------------------------------------------------------------ HP and SP

int32_t cCharaBase::AddHP(int32_t nDelta, int32_t bForced, int32_t bShowGauge)
{
    if (bForced == 0 && nDelta <= 0 && m_Def.m_nInvincible != 0) return 0;
    const int32_t nMax = m_Def.m_nMaxHP;
    int64_t nChange = nDelta;
    if (nChange > 0 && nChange > static_cast<int64_t>(nMax) - m_nHP) nChange = static_cast<int64_t>(nMax) - m_nHP;
    int64_t nHP = static_cast<int64_t>(m_nHP) + nChange;
    if (nHP > nMax) nHP = nMax;
    if (nHP < 0) nHP = 0;
    m_nHP = static_cast<int32_t>(nHP);
    if (m_nHP <= 0) {
        m_nHP = 0;
        return 1;
    }
    if (bShowGauge != 0) ShowHPGauge(ClampToInt32(nChange));
    return 0;
}

void cCharaBase::ShowHPGauge(int32_t nDelta)
{
    SetGauge(m_HPGauge, m_nHP, m_Def.m_nMaxHP, nDelta);
}

int32_t cCharaBase::AddSP(int32_t nDelta, int32_t bShowGauge)
{
    const int32_t nMax = m_Def.m_nMaxSP;
    int64_t nChange = nDelta;
    if (nChange > 0 && nChange > static_cast<int64_t>(nMax) - m_nSP) nChange = static_cast<int64_t>(nMax) - m_nSP;
    int64_t nSP = static_cast<int64_t>(m_nSP) + nChange;
    if (nSP > nMax) nSP = nMax;
    if (nSP < 0) nSP = 0;
    m_nSP = static_cast<int32_t>(nSP);
    if (bShowGauge != 0) ShowSPGauge(ClampToInt32(nChange));
    return 0;
}

void cCharaBase::ShowSPGauge(int32_t nDelta)
{
    SetGauge(m_SPGauge, m_nSP, m_Def.m_nMaxSP, nDelta);
}

// ------------------------------------------------------------------ invincibility

void cCharaBase::SetInvincibleFrames()
{
    const int64_t b = g_Stage.m_nSubSteps;
    m_nInvincible = ClampToInt32(b * (m_nSide == 0 ? g_Stage.m_nInvincible1 : g_Stage.m_nInvincible2));
}

void cCharaBase::StartInvincibility(int32_t nAttackerKey)
{
    SetInvincibleFrames();
    const int64_t b = g_Stage.m_nSubSteps;
    m_lHitAttackers.push_back(
        {nAttackerKey, ClampToInt32(b * (m_nSide == 0 ? g_Stage.m_nHitRepeat1 : g_Stage.m_nHitRepeat2))});
}

void cCharaBase::CountDownInvincibility()
{
    if (m_nInvincible > 0) m_nInvincible -= 1;
    for (auto it = m_lHitAttackers.begin(); it != m_lHitAttackers.end();) {
        if (it->m_nStepsLeft <= 1) {
            it = m_lHitAttackers.erase(it);
        } else {
            it->m_nStepsLeft -= 1;
            ++it;
        }
    }
}

int32_t cCharaBase::IsInvincible() const
{
    return m_nInvincible > 0 ? 1 : 0;
}

int32_t cCharaBase::IsInvincibleTo(int32_t nAttackerKey) const
{
    if (IsInvincible() != 0) return 1;
    for (const HitAttacker& entry : m_lHitAttackers)
        if (entry.m_nKey == nAttackerKey) return 1;
    return 0;
}

// ------------------------------------------------------------------ damage and defeat

namespace {

// Power less defence, held to 0..999999; a power of 0 or less is used as it is (it heals).
int64_t DamageFrom(int32_t nPower, int32_t nDefence)
{
    if (nPower <= 0) return nPower;
    return Clamp64(static_cast<int64_t>(nPower) - nDefence, 0, 999999);
}

}  // namespace

int32_t cCharaBase::TakeContactDamage(cCharaBase* lpAttacker)
{
    if (lpAttacker == nullptr) return 0;
    const int64_t nDamage = DamageFrom(lpAttacker->m_Def.m_nPower, m_Def.m_nDef);
    const int32_t nResult = AddHP(ClampToInt32(-nDamage), 0, 1);
    if (lpAttacker->m_Def.m_nHitEffect != 0) {
        double aMine[4], aTheirs[4];
        BoxRect(m_CharaBox, aMine);
        BoxRect(lpAttacker->m_CharaBox, aTheirs);
        AddHitEffect(lpAttacker->m_Def.m_nHitEffect, aMine, aTheirs, lpAttacker->m_Def.m_nGiant);
    }
    ImpactFromCharacter(lpAttacker);
    if (lpAttacker->m_Def.m_nPower != 0) FireFlows(this, 1);
    if (lpAttacker->m_Def.m_nImp != 0) FireFlows(this, 2);
    return nResult;
}

int32_t cCharaBase::TakeShotDamage(cShot* lpShot)
{
    if (lpShot == nullptr) return 0;
    const cEdShot& rec = lpShot->m_Rec;
    const int64_t nDamage = DamageFrom(rec.m_nPower, m_Def.m_nDef);
    const int32_t nResult = AddHP(ClampToInt32(-nDamage), 0, 1);
    if (rec.m_nEffect != 0) {
        double aMine[4];
        BoxRect(m_ShotBox, aMine);
        const double dLeft = lpShot->m_dX + lpShot->m_nBoxOffsetX;
        const double dTop = lpShot->m_dY + lpShot->m_nBoxOffsetY;
        const double aShot[4] = {dLeft, dTop, dLeft + lpShot->m_nBoxWidth - 1, dTop + lpShot->m_nBoxHeight - 1};
        AddHitEffect(rec.m_nEffect, aMine, aShot, rec.m_nSize != 0 ? rec.m_nSize : 1);
    }
    ImpactFromShot(lpShot);
    if (rec.m_nPower != 0) FireFlows(this, 1);
    if (rec.m_nImpact != 0) FireFlows(this, 2);
    return nResult;
}

int32_t cCharaBase::Defeat()
{
    FireFlows(this, 3);
    RunObjectFlows(1);
    g_SaveData.nScore =
        static_cast<int32_t>(Clamp64(static_cast<int64_t>(g_SaveData.nScore) + m_Def.m_nScore, 0, 999999));
    int32_t nTaken = 0;
    if (cItem* lpItem = GetCarriedItem()) {
        if (!Player.empty()) nTaken = TakeItem(lpItem, &CheckedAt(Player, 0));
    }
    // The stage has ended: everything is torn down with it, links included.
    cPlayState* lpState = PlayState();
    if ((lpState != nullptr && lpState->m_nResult == 1) || nTaken == 1) return 1;
    UnlinkForDefeat();
    m_bDefeated = 1;
    m_CharaEffect.Start(m_Def.m_nDefeatEffect, m_Def.m_nDefeatEffectA, 0);
    return 0;
}

// ------------------------------------------------------------------ conditions

int32_t cCharaBase::CheckValueCondition(const cEdCondition& condition)
{
    int32_t nValue = 0;
    if (condition.m_nLeftOwner == 2) {
        if (condition.m_nLeftStatus == 0)
            nValue = g_Stage.m_nAutoScrollSpeedX;
        else if (condition.m_nLeftStatus == 1)
            nValue = g_Stage.m_nAutoScrollSpeedY;
        else
            return 0;
        return CompareByOp(nValue, condition.m_nVarIndex, condition.m_nCompare);
    }
    const cCharaBase* lpSubject = condition.m_nLeftOwner == 1 ? m_lpTarget : this;
    if (lpSubject == nullptr) return 0;
    const cEdChara& def = lpSubject->m_Def;
    switch (condition.m_nLeftStatus) {
    case 1: nValue = def.m_bTransparent; break;
    case 2: nValue = def.m_bFixedDir; break;
    case 3: nValue = def.m_nFlying; break;
    case 4: nValue = def.m_nInvincible; break;
    case 5: nValue = def.m_nGiant; break;
    case 6: nValue = def.m_bScrollSync; break;
    default: return 0;
    }
    return CompareByOp(nValue, condition.m_nVarIndex, condition.m_nCompare);
}

int32_t cCharaBase::CheckStateCondition(const cEdCondition& condition)
{
    const cCharaBase* lpSubject = condition.m_nLeftOwner == 1 ? m_lpTarget : this;
    if (lpSubject == nullptr) return 0;
    int32_t nResult = 0;
    switch (condition.m_nLeftStatus) {
    case 0: nResult = lpSubject->m_nDir == 0; break;
    case 1: nResult = lpSubject->m_nDir == 1; break;
    case 2:
        nResult = lpSubject->m_Def.m_nFlying == 0 &&
                  (lpSubject->m_bRiding != 0 || (lpSubject->m_bJumping == 0 && lpSubject->m_bAirborne == 0));
        break;
    case 3:
        nResult = lpSubject->m_nSide == 0 ? lpSubject->IsOnScreen() : lpSubject->m_bOnScreen;
        break;
    default: return 0;
    }
    if (condition.m_nCompare == 1) nResult = !nResult;
    return nResult != 0 ? 1 : 0;
}

int32_t cCharaBase::CheckDistanceCondition(const cEdCondition& condition)
{
    const cCharaBase* lpSubject = nullptr;
    if (condition.m_nLeftOwner == 0)
        lpSubject = Player.empty() ? nullptr : &CheckedAt(Player, 0);
    else if (condition.m_nLeftOwner == 1)
        lpSubject = m_lpTarget;
    if (lpSubject == nullptr) return 0;

    const int64_t R = static_cast<int64_t>(condition.m_nValue) * 16 + condition.m_nRightVarIndex;
    bool bInRange = false;
    const int32_t nAxis = condition.m_nExtra;
    if (nAxis >= 0 && nAxis <= 5) {
        GetScreenRect();
        const bool bVertical = nAxis >= 3;
        const AxisRange r = DistanceAxisRange(nAxis, R);
        const int64_t n = bVertical ? lpSubject->m_nTop : lpSubject->m_nLeft;
        const int64_t f = bVertical ? lpSubject->m_nBottom : lpSubject->m_nRight;
        const int64_t o = bVertical ? lpSubject->m_nOffsetY : lpSubject->m_nOffsetX;
        bool bFirst = f - o >= r.lo;
        if (bVertical && kExactVerticalRange == 0 &&
            static_cast<int64_t>(lpSubject->m_nHitHeight) + lpSubject->m_nOffsetY >= lpSubject->m_nHeight)
            bFirst = f >= r.lo;
        bInRange = bFirst && n + o <= r.hi;
    } else if (nAxis == 6) {
        const double dx = (m_dX + m_nHitWidth / 2.0) - (lpSubject->m_dX + lpSubject->m_nHitWidth / 2.0);
        const double dy = (m_dY + m_nHitHeight / 2.0) - (lpSubject->m_dY + lpSubject->m_nHitHeight / 2.0);
        bInRange = static_cast<double>(R) >= std::sqrt(dx * dx + dy * dy);
    } else {
        return 0;
    }
    if (condition.m_nCompare == 0) return bInRange ? 1 : 0;
    if (condition.m_nCompare == 1) return bInRange ? 0 : 1;
    return 0;
}

cCharaBase::AxisRange cCharaBase::DistanceAxisRange(int32_t nAxis, int64_t nReach) const
{
    const bool bRight = m_nDir == 1;
    int64_t c = nReach, a = nReach;   // reach behind the start and beyond the end of the box
    bool bBoth = true;
    if (nAxis == 1 || nAxis == 4) {   // ahead
        c = bRight ? 0 : nReach;
        a = bRight ? nReach : 0;
        bBoth = false;
    } else if (nAxis == 2 || nAxis == 5) {   // behind
        c = bRight ? nReach : 0;
        a = bRight ? 0 : nReach;
        bBoth = false;
    }
    const int64_t s = nAxis >= 3 ? m_nTop : m_nLeft;
    const int64_t h = (nAxis >= 3 ? m_nHeight : m_nWidth) / 2;
    const int64_t m = s + h;
    if (c == 0 && a == 0) return bBoth ? AxisRange{s, m + h} : AxisRange{m, m};
    return {c != 0 ? s - c : m, a != 0 ? m + h + a : m};
}

// ------------------------------------------------------------------ animation requests

void cCharaBase::StopAnimeByKey(int32_t nKey)
{
    m_lAnimeRequests.remove_if([nKey](const cAnimeRequest& r) { return r.m_nKey == nKey; });
}

void cCharaBase::StopFinishedAnimeByKey(int32_t nKey)
{
    for (auto it = m_lAnimeRequests.begin(); it != m_lAnimeRequests.end();) {
        if (it->m_nKey != nKey) {
            ++it;
        } else if (static_cast<int64_t>(it->m_nRemaining) + it->m_nCommandFrames - 1 < 0) {
            it = m_lAnimeRequests.erase(it);
        } else {
            it->m_bHold = 1;
            ++it;
        }
    }
}

void cCharaBase::ReleaseAnimeKey(int32_t nKey)
{
    for (cAnimeRequest& request : m_lAnimeRequests)
        if (request.m_nKey == nKey) request.m_bHold = 0;
}

int32_t cCharaBase::UpdateAnimation(int32_t bFrozen)
{
    if (bFrozen == 0) {
        m_Anime.Advance();
        for (auto it = m_lAnimeRequests.begin(); it != m_lAnimeRequests.end();) {
            if (it->m_bHold != 0) {
                ++it;
            } else if (it->m_Player.Advance() == AnimeFinished) {
                it = m_lAnimeRequests.erase(it);
            } else {
                if (it->m_nRemaining > INT32_MIN) it->m_nRemaining -= 1;
                ++it;
            }
        }
    }
    // Among running timed requests the one closest to its end wins; once every timed request
    // has run out, the one that ran out last holds its frame. An untimed request plays only
    // while nothing else is chosen.
    int32_t nBest = INT32_MAX;
    const cAnimeRequest* lpChosen = nullptr;
    bool bExpired = false;
    for (const cAnimeRequest& request : m_lAnimeRequests) {
        if (request.m_bHold != 0) continue;
        if (bExpired) {
            if (request.m_nRemaining <= 0 && request.m_nRemaining > nBest) {
                nBest = request.m_nRemaining;
                lpChosen = &request;
            }
        } else if (request.m_bTimed != 0) {
            if (request.m_nRemaining < nBest) {
                nBest = request.m_nRemaining;
                lpChosen = &request;
            }
            if (request.m_nRemaining <= 0 && nBest <= 0) bExpired = true;
        } else if (lpChosen == nullptr) {
            lpChosen = &request;
        }
    }
    return lpChosen != nullptr ? lpChosen->m_Player.GetFrame() : m_Anime.GetFrame();
}
