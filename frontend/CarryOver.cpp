// Carry-over of the player character's status from stage to stage, group by group as the project
// switches them, and the retry point that a retried stage starts again from.
#include "core/CheckedAccess.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "frontend/SaveData.h"

namespace {

bool CarryOn(int32_t nGroup)
{
    return CheckedAt(g_System.m_vCarryOver, nGroup) != 0;
}

// Copies group k of the definition members between a definition and the stored status. The
// groups hold: 0 the graphic (number, kind, sub-number), 1 the animation set, 2 z, 3 the
// transparency flag, 4 the start character effect, 5..9 the flags flying, fixed facing,
// invincible, giant and scroll sync, 10 the sight shape and range, 13 mhp, 14 msp, 15 the mark,
// 16 power, 17 imp, 18 def, 19 impd, 20 stop, 21 the flows. Groups 11, 12 and 22..24 are values
// of their own (nCarry0..4).
void CopyGroup(int32_t nGroup, cEdChara& to, const cEdChara& from)
{
    switch (nGroup) {
    case 0:
        to.m_nGraphicIndex = from.m_nGraphicIndex;
        to.m_nGraphicKind = from.m_nGraphicKind;
        to.m_nGraphicSub = from.m_nGraphicSub;
        break;
    case 1: to.m_nAnimeSet = from.m_nAnimeSet; break;
    case 2: to.m_nZ = from.m_nZ; break;
    case 3: to.m_bTransparent = from.m_bTransparent; break;
    case 5: to.m_nFlying = from.m_nFlying; break;
    case 6: to.m_bFixedDir = from.m_bFixedDir; break;
    case 7: to.m_nInvincible = from.m_nInvincible; break;
    case 8: to.m_nGiant = from.m_nGiant; break;
    case 9: to.m_bScrollSync = from.m_bScrollSync; break;
    case 10:
        to.m_nSightMode = from.m_nSightMode;
        to.m_nSight = from.m_nSight;
        break;
    case 13: to.m_nMaxHP = from.m_nMaxHP; break;
    case 14: to.m_nMaxSP = from.m_nMaxSP; break;
    case 15: to.m_nBadge = from.m_nBadge; break;
    case 16: to.m_nPower = from.m_nPower; break;
    case 17: to.m_nImp = from.m_nImp; break;
    case 18: to.m_nDef = from.m_nDef; break;
    case 19: to.m_nImpDef = from.m_nImpDef; break;
    case 20: to.m_nStop = from.m_nStop; break;
    case 21: to.m_vFlow = from.m_vFlow; break;
    default: break;
    }
}

}  // namespace

void cSaveData::StoreCharaStatus(int32_t nPlayer, const cEdChara& definition, int32_t a, int32_t b,
                                 int32_t c1, int32_t c2, int32_t c3, int32_t d1, int32_t d2,
                                 int32_t d3)
{
    bStatusStored = 1;
    cSavedCharaStatus& status = CheckedAt(CharaStatus, nPlayer);
    for (int32_t k = 0; k < kCarryGroups; ++k) {
        if (!CarryOn(k)) continue;
        switch (k) {
        case 4:
            status.m_Chara.m_nStartEffect = static_cast<int16_t>(c1);
            status.m_Chara.m_nStartEffectA = static_cast<int8_t>(c2);
            status.m_Chara.m_nStartEffectB = static_cast<uint8_t>(c3);
            break;
        case 11: status.nCarry0 = a; break;
        case 12: status.nCarry1 = b; break;
        case 22: status.nCarry2 = d1; break;
        case 23: status.nCarry3 = d2; break;
        case 24: status.nCarry4 = d3; break;
        default: CopyGroup(k, status.m_Chara, definition); break;
        }
        CheckedAt(StoredGroups, k) = 1;
    }
}

void cSaveData::RestoreCharaStatus(int32_t nPlayer, cEdChara& definition)
{
    if (bStatusStored != 1) return;
    const cSavedCharaStatus& status = CheckedAt(CharaStatus, nPlayer);
    for (int32_t k = 0; k < kCarryGroups; ++k) {
        if (!CarryOn(k) || CheckedAt(StoredGroups, k) != 1) continue;
        switch (k) {
        case 0:
            CopyGroup(0, definition, status.m_Chara);
            // A stored graphic number 0 would leave the hero without a picture.
            if (definition.m_nGraphicIndex == 0) definition.m_nGraphicIndex = 1;
            break;
        case 1:
            if (definition.m_nAnimeSet != status.m_Chara.m_nAnimeSet) CopyGroup(1, definition, status.m_Chara);
            break;
        case 4:
            definition.m_nStartEffect = status.m_Chara.m_nStartEffect;
            definition.m_nStartEffectA = status.m_Chara.m_nStartEffectA;
            definition.m_nStartEffectB = status.m_Chara.m_nStartEffectB;
            break;
        case 11:
        case 12: break;   // given back by RestoreCarriedExtras
        case 22: g_Stage.m_nTimeLimit = status.nCarry2; break;
        case 23: nLives = status.nCarry3; break;
        case 24: g_Stage.m_nBgm = status.nCarry4; break;
        default: CopyGroup(k, definition, status.m_Chara); break;
        }
    }
}

void cSaveData::RestoreCarriedExtras(int32_t nPlayer, int32_t& a, int32_t& b)
{
    if (bStatusStored != 1) return;
    const cSavedCharaStatus& status = CheckedAt(CharaStatus, nPlayer);
    if (CarryOn(11) && CheckedAt(StoredGroups, 11) == 1) a = status.nCarry0;
    if (CarryOn(12) && CheckedAt(StoredGroups, 12) == 1) b = status.nCarry1;
}

void cSaveData::ClearCarryOverFlags()
{
    for (int32_t k = 0; k < kCarryGroups; ++k) {
        if (CheckedAt(g_System.m_vCarryReset, k) != 0) CheckedAt(StoredGroups, k) = 0;
    }
}

void cSaveData::SaveRetryPoint()
{
    RetryCommonVars = CommonVars;
    nRetryLives = nLives;
    nRetryTotalScore = nTotalScore;
}

int32_t cSaveData::RestoreRetryPoint(int32_t bAll, int32_t nGameMode, int32_t bDirectStage)
{
    if (bAll) {
        CommonVars = RetryCommonVars;
        nLives = nRetryLives;
        nTotalScore = nRetryTotalScore;
        return nRetryTotalScore;
    }
    int32_t bResetValues = 1;
    if (bDirectStage) bResetValues = g_System.m_bDirectStageRetryRestore;
    else if (nGameMode == 0) bResetValues = g_System.m_bStoryRetryRestore;
    else if (nGameMode == 1) bResetValues = g_System.m_bChallengeRetryRestore;
    else if (nGameMode == 2) bResetValues = g_System.m_bFreeRetryRestore;
    if (bResetValues) CommonVars = RetryCommonVars;
    nTotalScore = nRetryTotalScore;
    return nRetryTotalScore;
}
