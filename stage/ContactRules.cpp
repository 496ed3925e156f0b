// The rules a sub-step applies to objects that have just moved: the contact action of the block
// under the hero's feet, items hidden in blocks, contacts between factions (shots against
// characters, characters against characters, shots against shots), and deaths turned into their
// outcome.
#include "stage/ContactRules.h"
#include "objects/PlayNumbers.h"

#include <algorithm>
#include <cstdint>

#include "core/CheckedAccess.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "data/PaletteInheritance.h"
#include "flows/FlowRuntime.h"
#include "objects/Chara.h"
#include "objects/Hero.h"
#include "objects/Item.h"
#include "objects/Motion.h"
#include "objects/ObjectLinks.h"
#include "objects/Shot.h"
#include "stage/BlockCharaRules.h"
#include "stage/BlockMap.h"
#include "stage/CharaList.h"
#include "stage/PlayState.h"
#include "stage/Player.h"
#include "stage/StageSounds.h"

namespace {

// Contacts count only on screen when the stage says so.
bool OnScreenContactOnly()
{
    return g_Stage.m_bPlayOption93 != 0;
}

bool IsBlockChara(const cCharaBase& chara)
{
    return chara.m_Def.m_bCellBox != 0;
}

bool TakesPart(const cCharaBase* lpChara)
{
    if (lpChara->m_bAppeared == 0 || lpChara->m_bDefeated != 0) return false;
    return !OnScreenContactOnly() || lpChara->m_bOnScreen != 0;
}

bool ShotTakesPart(const cShot* lpShot)
{
    return lpShot->m_bGone == 0 && (!OnScreenContactOnly() || lpShot->m_bOnScreen != 0);
}

// Settings of a shot's record that only the contact rules read.
int8_t PiercesCharacters(const cShot& shot) { return shot.m_Rec.m_nSetting52; }
int8_t PiercesBlockCharacters(const cShot& shot) { return shot.m_Rec.m_nSetting53; }
int8_t Breakable(const cShot& shot) { return shot.m_Rec.m_nSetting54; }

bool Overlap(double l1, double t1, double r1, double b1, double l2, double t2, double r2, double b2)
{
    return l1 <= r2 && l2 <= r1 && t1 <= b2 && t2 <= b1;
}

bool ShotBoxOverlaps(const cCharaBase* lpChara, const cShot* lpShot)
{
    const CharaBox& box = lpChara->m_ShotBox;
    return Overlap(box.m_dLeft, box.m_dTop, box.m_dRight, box.m_dBottom, lpShot->m_dX,
                   lpShot->m_dY, lpShot->m_dRight, lpShot->m_dBottom);
}

bool ContactBoxesOverlap(const cCharaBase* a, const cCharaBase* b)
{
    const CharaBox& p = a->m_CharaBox;
    const CharaBox& q = b->m_CharaBox;
    return Overlap(p.m_dLeft, p.m_dTop, p.m_dRight, p.m_dBottom, q.m_dLeft, q.m_dTop, q.m_dRight,
                   q.m_dBottom);
}

bool ShotsOverlap(const cShot* a, const cShot* b)
{
    return Overlap(a->m_dX, a->m_dY, a->m_dRight, a->m_dBottom, b->m_dX, b->m_dY, b->m_dRight,
                   b->m_dBottom);
}

bool HasHit(const cShot* lpShot, int32_t nKey)
{
    return std::find(lpShot->m_lHitKeys.begin(), lpShot->m_lHitKeys.end(), nKey) !=
           lpShot->m_lHitKeys.end();
}

// Player 1 takes an item of a palette, as if touching it: the item is built for the moment.
int32_t TakePaletteItem(int8_t nKind, int16_t nIndex)
{
    const cEdItem* lpDef = GetPaletteItem(nKind, nIndex);
    if (lpDef == nullptr || Player.empty()) return 0;
    cItem item;
    item.m_Rec = *lpDef;
    item.Init(0, *lpDef, 0);
    item.m_bAppeared = 1;
    return TakeItem(&item, &Player[0]);
}

void EndStage(cPlayState& state)
{
    state.CheckRankings();
    state.m_nPhase = 4;
}

// Player 1 dies: sound, defeat, and the results when that defeat ended the stage.
void PlayerOneDies(cPlayState* lpState)
{
    PlaySystemSound(8);
    if (Player.empty()) return;
    if (Player[0].Defeat() == 1 && lpState != nullptr) EndStage(*lpState);
}

// Shots of faction i against the characters of every other faction.
int32_t ShotsAgainstCharacters(cPlayState& state)
{
    for (int32_t i = 0; i < kFactionCount; ++i) {
        cLinkList<cShot>& shots = FactionShots(state, i);
        if (shots.Empty()) continue;
        for (int32_t j = 0; j < kFactionCount; ++j) {
            if (j == i) continue;
            cLinkList<cCharaBase>& charas = FactionCharas(state, j);
            if (charas.Empty()) continue;
            for (cShot* lpShot : shots) {
                if (!ShotTakesPart(lpShot)) continue;
                bool bVanish = false;
                for (cCharaBase* lpChara : charas) {
                    if (!TakesPart(lpChara)) continue;
                    if (lpChara->m_Def.m_nInvincible == 2) continue;
                    if (!ShotBoxOverlaps(lpChara, lpShot)) continue;
                    if (HasHit(lpShot, lpChara->m_nKey)) continue;

                    FireFlows(lpChara, 7);
                    const cEdShot& rec = lpShot->m_Rec;
                    if (rec.m_nPower == 0 && rec.m_nImpact == 0 && rec.m_nItemPalette == 0)
                        continue;
                    if (lpChara->IsInvincible() != 0) continue;

                    if (lpChara->TakeShotDamage(lpShot) != 0) {
                        if (lpChara->m_nSide != 0) PlaySystemSound(9);
                        const int32_t nResult = KillCharacter(lpChara);
                        if (nResult == 1 || nResult == 2) return nResult;
                    } else {
                        PlaySystemSound(7);
                        lpChara->SetInvincibleFrames();
                    }

                    if (lpShot->m_bIsShot == 0) {
                        lpShot->m_lHitKeys.push_back(lpChara->m_nKey);
                    } else {
                        const int8_t nPierce = IsBlockChara(*lpChara) ? PiercesBlockCharacters(*lpShot)
                                                                      : PiercesCharacters(*lpShot);
                        if (nPierce == 1)
                            lpShot->m_lHitKeys.push_back(lpChara->m_nKey);
                        else
                            bVanish = true;
                    }

                    if (rec.m_nItemPalette != 0) {
                        const int32_t nResult = TakePaletteItem(rec.m_nItemPalette, rec.m_nItemIndex);
                        if (nResult != 0) return nResult;
                    }
                }
                if (bVanish && lpShot->m_bGone == 0) RemoveShotFromStage(*lpShot);
            }
        }
    }
    return 0;
}

// One character of a touching pair after both damages were computed.
int32_t AfterContactDamage(cCharaBase* lpChara, bool bDamaged, bool bDied, int32_t nOtherKey)
{
    if (!bDamaged) return 0;
    if (bDied) {
        if (lpChara->m_nSide != 0) PlaySystemSound(9);
        const int32_t nResult = KillCharacter(lpChara);
        if (nResult == 1 || nResult == 2) return nResult;
    } else {
        lpChara->StartInvincibility(nOtherKey);
    }
    return 0;
}

// Characters of faction i against those of every later faction; both sides of a pair take their
// damage before either death is handled.
int32_t CharactersAgainstCharacters(cPlayState& state)
{
    for (int32_t i = 0; i < kFactionCount; ++i) {
        cLinkList<cCharaBase>& first = FactionCharas(state, i);
        if (first.Empty()) continue;
        for (int32_t j = i + 1; j < kFactionCount; ++j) {
            cLinkList<cCharaBase>& second = FactionCharas(state, j);
            if (second.Empty()) continue;
            for (cCharaBase* g : first) {
                if (IsBlockChara(*g)) continue;
                for (cCharaBase* o : second) {
                    if (!TakesPart(g)) break;
                    if (!TakesPart(o) || IsBlockChara(*o)) continue;
                    if (!ContactBoxesOverlap(g, o)) continue;

                    FireFlows(g, 4);
                    FireFlows(o, 4);
                    bool bDamagedG = false, bDamagedO = false, bDiedG = false, bDiedO = false;
                    if ((o->m_Def.m_nPower != 0 || o->m_Def.m_nImp != 0) &&
                        g->IsInvincibleTo(o->m_nKey) == 0) {
                        bDiedG = g->TakeContactDamage(o) != 0;
                        bDamagedG = true;
                    }
                    if ((g->m_Def.m_nPower != 0 || g->m_Def.m_nImp != 0) &&
                        o->IsInvincibleTo(g->m_nKey) == 0) {
                        bDiedO = o->TakeContactDamage(g) != 0;
                        bDamagedO = true;
                    }
                    if (!bDamagedG && !bDamagedO) continue;
                    PlaySystemSound(7);
                    int32_t nResult = AfterContactDamage(g, bDamagedG, bDiedG, o->m_nKey);
                    if (nResult != 0) return nResult;
                    nResult = AfterContactDamage(o, bDamagedO, bDiedO, g->m_nKey);
                    if (nResult != 0) return nResult;
                }
            }
        }
    }
    return 0;
}

// Breakable shots of different factions cancel each other by their vanish values.
void ShotsAgainstShots(cPlayState& state)
{
    for (int32_t i = 0; i < kFactionCount; ++i) {
        cLinkList<cShot>& first = FactionShots(state, i);
        if (first.Empty()) continue;
        for (int32_t j = i + 1; j < kFactionCount; ++j) {
            cLinkList<cShot>& second = FactionShots(state, j);
            if (second.Empty()) continue;
            for (cShot* a : first) {
                if (!ShotTakesPart(a)) continue;
                bool bVanishA = false;
                for (cShot* b : second) {
                    if (!ShotTakesPart(b) || !ShotsOverlap(a, b)) continue;
                    const bool bBreakA = Breakable(*a) != 0;
                    const bool bBreakB = Breakable(*b) != 0;
                    if (!bBreakA && !bBreakB) continue;
                    if (bBreakA && bBreakB) {
                        if (b->m_Rec.m_nVanish >= a->m_Rec.m_nVanish) bVanishA = true;
                        if (b->m_Rec.m_nVanish <= a->m_Rec.m_nVanish) RemoveShotFromStage(*b);
                    } else if (bBreakA) {
                        bVanishA = true;
                    } else {
                        RemoveShotFromStage(*b);
                    }
                }
                if (bVanishA) RemoveShotFromStage(*a);
            }
        }
    }
}

}  // namespace

int32_t ApplyContactAction(cHero* lpHero)
{
    if (lpHero == nullptr || lpHero->m_bFlying != 0) return 0;
    const int32_t N = SubSteps();
    BLOCKCELL* lpBlock = lpHero->m_lpStandBlock;
    if (lpBlock != nullptr && lpHero->m_nFloorTime == 0 && lpBlock->IsActive(lpHero->m_nFaction) != 0) {
        const cEdBlock& block = lpBlock->m_Block;
        const int32_t X = block.m_nEffectValue;
        switch (block.m_nEffect) {
        case 1:
            PlaySystemSound(10);
            lpHero->m_dSpeedY = JumpSpeedForHalfBlocks(static_cast<int8_t>(X), lpHero);
            lpHero->m_bJumping = 1;
            lpHero->m_bJumpEnded = 1;
            lpHero->m_bJumpReady = 0;
            lpHero->m_nJumpHeld = FramesToApex(lpHero->m_dSpeedY);
            break;
        case 2:
            lpHero->m_bNoJump = 1;
            break;
        case 3:
            lpHero->m_nFloorAction = 3;
            lpHero->m_dFloorValue = X * 0.01;
            lpHero->m_nFloorTime = N;
            break;
        case 4:
        case 5:
            lpHero->m_nFloorAction = block.m_nEffect;
            lpHero->m_dFloorValue = X * 0.1 / N;
            lpHero->m_nFloorTime = N;
            break;
        default:
            break;
        }
        if (block.m_nEffect != 2) lpHero->m_bNoJump = 0;
    }
    if (lpHero->m_nFloorTime != 0) {
        switch (lpHero->m_nFloorAction) {
        case 3:
            lpHero->m_dSpeedX *= lpHero->m_dFloorValue;
            break;
        case 4:
            lpHero->m_dSpeedX -= lpHero->m_dFloorValue;
            if (lpHero->m_dAccelX > 0.0) lpHero->m_dAccelX = 0.0;
            break;
        case 5:
            lpHero->m_dSpeedX += lpHero->m_dFloorValue;
            if (lpHero->m_dAccelX < 0.0) lpHero->m_dAccelX = 0.0;
            break;
        default:
            break;
        }
        --lpHero->m_nFloorTime;
        // Pressed back onto the block, so that standing on it starts the action again.
        if (lpHero->m_nFloorTime == 0 && lpHero->m_dSpeedY >= 0.0) lpHero->m_dSpeedY += 1.0;
    }
    return 0;
}

int32_t TakeBlockItem(cHero* lpHero)
{
    if (lpHero == nullptr || lpHero->m_bFlying != 0) return 0;
    bool bTaken = false;
    BLOCKCELL* lpBlock = lpHero->m_lpStandBlock;
    if (lpBlock != nullptr && lpHero->m_bBlockItemTaken == 0 &&
        lpBlock->IsActive(lpHero->m_nFaction) != 0 && lpBlock->m_Block.m_nItemFrom != 0 &&
        GetPaletteItem(lpBlock->m_Block.m_nItemFrom, lpBlock->m_Block.m_nItem) != nullptr) {
        const int32_t nResult = TakePaletteItem(lpBlock->m_Block.m_nItemFrom, lpBlock->m_Block.m_nItem);
        if (nResult != 0) return nResult;
        lpHero->m_bBlockItemTaken = SubSteps() * 60;
        bTaken = true;
    }
    if (lpHero->m_bBlockItemTaken != 0) {
        if (lpHero->m_bAirborne != 0) {
            lpHero->m_bBlockItemTaken = 0;
        } else {
            --lpHero->m_bBlockItemTaken;
            // Landing on another block lets its item be taken at once.
            if (lpHero->m_lpStandBlock != nullptr && lpHero->m_lpLandBlock != lpHero->m_lpPrevStandBlock &&
                !bTaken) {
                lpHero->m_bBlockItemTaken = 0;
                if (lpHero->m_dSpeedY >= 0.0) lpHero->m_dSpeedY += 1.0;
            }
        }
    }
    return 0;
}

int32_t ResolveFactionContacts(cStageList<cChara>& list)
{
    (void)list;
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return 0;
    cPlayState& state = *lpState;

    const int32_t nSubStep = state.m_nSubStep - 1;
    const bool bMaskSet = nSubStep >= 0 && static_cast<size_t>(nSubStep) < state.m_vShotTestMask.size() &&
                          state.m_vShotTestMask[static_cast<size_t>(nSubStep)] != 0;
    if (g_Stage.m_nCollisionLevel == 0 || bMaskSet) {
        const int32_t nResult = ShotsAgainstCharacters(state);
        if (nResult != 0) return nResult;
    }
    const int32_t nResult = CharactersAgainstCharacters(state);
    if (nResult != 0) return nResult;
    ShotsAgainstShots(state);
    return 0;
}

int32_t KillCharacter(cCharaBase* lpChara)
{
    if (lpChara == nullptr) return 0;
    if (lpChara->m_nSide == 0) return 2;
    if (lpChara->m_bDefeated != 0) return 0;
    return lpChara->Defeat() == 1 ? 1 : 0;
}

int32_t KillAndResolve(cCharaBase* lpChara, cStageList<cChara>& list)
{
    (void)list;
    const int32_t nResult = KillCharacter(lpChara);
    cPlayState* lpState = PlayState();
    if (nResult == 1 && lpState != nullptr) EndStage(*lpState);
    if (nResult == 2) PlayerOneDies(lpState);
    return nResult;
}

int32_t ProcessPendingDeaths()
{
    cPlayState* lpState = PlayState();
    if (lpState != nullptr) lpState->m_bDeathPending = 0;
    if (!Player.empty() && Player[0].m_nHP <= 0) {
        PlayerOneDies(lpState);
        return 1;
    }
    const bool bKeep = g_System.KeepDefeatedCharas() != 0;
    auto it = CharaList.begin();
    while (it != CharaList.end()) {
        cChara& chara = *it;
        if (chara.m_bRemoved != 0) {
            it = RemoveEnemy(it);
            continue;
        }
        if (chara.m_nHP > 0) {
            ++it;
            continue;
        }
        // A kept defeated character has had its death already: its display runs on.
        if (bKeep && chara.m_bDefeated != 0) {
            ++it;
            continue;
        }
        const int32_t nResult = KillAndResolve(&chara, CharaList);
        if (!bKeep) {
            it = RemoveEnemy(it);
        } else if (nResult == 1) {
            RemoveEnemy(it);
            return 1;
        } else {
            PlaySystemSound(9);
            ++it;
        }
        if (nResult != 0) return 1;
    }
    return 0;
}
