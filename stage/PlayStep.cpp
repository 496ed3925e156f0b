// One frame of play: input, the two time counters, and the sub-steps in which every object
// moves, its flows run, the view scrolls and the stage's rules decide deaths and the stage's end.
// A frame that ends in a death or the stage's end is not drawn.
#include <algorithm>
#include <limits>

#include "core/CheckedAccess.h"
#include "core/FrameTiming.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "flows/FlowRuntime.h"
#include "frontend/Replay.h"
#include "frontend/SaveData.h"
#include "media/input/KeyInput.h"
#include "objects/ObjectLinks.h"
#include "platform/win/WinMessage.h"
#include "shell/SceneManager.h"
#include "stage/BlockCharaRules.h"
#include "stage/BlockCollision.h"
#include "stage/CharaList.h"
#include "stage/Conditions.h"
#include "stage/ContactRules.h"
#include "stage/ItemList.h"
#include "stage/PlayState.h"
#include "stage/PlayStep.h"
#include "stage/Player.h"
#include "stage/StageSounds.h"

namespace {

constexpr int32_t kUnlimitedLife = std::numeric_limits<int32_t>::max();

bool Squeezed(const cCharaBase& c)
{
    return (c.m_bContactLeft != 0 && c.m_bContactRight != 0) ||
           (c.m_bContactTop != 0 && c.m_bContactBottom != 0);
}

// Whether a character is a block character of the lists.
bool IsBlockChara(const cChara& c)
{
    return IsBlockCharacter(c);
}

}  // namespace

int32_t IsBlockCharacter(const cCharaBase& chara)
{
    return chara.m_Def.m_bCellBox != 0 ? 1 : 0;
}

// What the play step does with a rule's result: 0 goes on; 1 ends the stage; 2 kills player 1.
// True when the frame ends here.
bool cPlayStepRunner::Outcome(int32_t nResult)
{
    if (nResult == 0) return false;
    if (nResult == 1) {
        m_State.CheckRankings();
        m_State.m_nPhase = 4;
        return true;
    }
    if (nResult == 2) HeroDies(nullptr);
    return true;
}

// The death of player 1: the named cause goes to the trace log (the time-up and flow deaths have
// none), sound 8, the defeat; a defeat that ends the stage goes to the results.
void cPlayStepRunner::HeroDies(const char* lpCause)
{
    if (lpCause != nullptr) WriteTraceLogF("%s", lpCause);
    PlaySystemSound(8);
    if (Player[0].Defeat() == 1) {
        m_State.CheckRankings();
        m_State.m_nPhase = 4;
    }
}

// The removal of a character that its own pass found dead. True when the frame ends.
bool cPlayStepRunner::CharaDiedInFlows(cChara& c, bool bFullSet)
{
    if (bFullSet && c.m_bRemoved != 0) {
        RemoveEnemy(c);
        return false;
    }
    const int32_t r = KillAndResolve(&c, CharaList);
    if (g_System.KeepDefeatedCharas() != 0) {
        if (r == 1) {
            if (c.m_bGone == 0) RemoveEnemy(c);
            return true;
        }
        PlaySystemSound(9);
    } else if (c.m_bGone == 0) {
        RemoveEnemy(c);
    }
    return r != 0;
}

// One character's pass. True when the frame ends.
bool cPlayStepRunner::CharaPass(cChara& c, bool bFullSet)
{
    FireFlows(&c, 0);
    if (c.RunObjectFlows(0) != 0) {
        if (CharaDiedInFlows(c, bFullSet)) return true;
        return false;
    }
    if (m_State.m_bDeathPending != 0 && ProcessPendingDeaths() != 0) return true;
    if (bFullSet && c.m_bRiding != 0) FollowRiddenCharacter(&c, CharaList);
    bool bVanish = c.MoveHorizontal() == 4;
    bool bKilled = CollideHorizontal(&c) == 2;
    c.ApplyGravity();
    const int32_t nVertical = c.MoveVertical();
    if (nVertical == 7) bKilled = true;
    if (nVertical == 8) bVanish = true;
    if (CollideVertical(&c) == 2) bKilled = true;
    if (bFullSet) {
        if (PushByBlockCharacters(&c, CharaList) == 2) bKilled = true;
        RecheckHorizontal(&c);
        RecheckVertical(&c);
        if (Squeezed(c)) bKilled = true;
    }
    if (bKilled) {
        PlaySystemSound(9);
        const int32_t r = KillAndResolve(&c, CharaList);
        if (r == 1) {
            if (c.m_bGone == 0) RemoveEnemy(c);
            return true;
        }
        return r != 0;
    }
    if (bVanish) {
        RemoveEnemy(c);
        return false;
    }
    c.CountDownForceX();
    c.CountDownForceY();
    return false;
}

// Player 1's pass. True when the frame ends.
bool cPlayStepRunner::HeroPass()
{
    cHero& h = Player[0];
    FireFlows(&h, 0);
    if (h.RunObjectFlows(0) != 0) {
        HeroDies(nullptr);
        return true;
    }
    if (m_State.m_nResult == 1) {
        m_State.CheckRankings();
        m_State.m_nPhase = 4;
        return true;
    }
    if (m_State.m_nResult == 2) {
        HeroDies(nullptr);
        return true;
    }
    if (m_State.m_bDeathPending != 0 && ProcessPendingDeaths() != 0) return true;
    if (Outcome(ApplyContactAction(&h))) return true;
    if (h.m_bRiding != 0) FollowRiddenCharacter(&h, CharaList);
    h.MoveHorizontal();
    KeepInViewX(&h);
    if (CollideHorizontal(&h) == 2) {
        HeroDies("Dead 1");
        return true;
    }
    KeepInViewX(&h);
    h.ApplyGravity();
    const char* lpCause = nullptr;
    if (h.MoveVertical() == 7)
        lpCause = "Dead 2";
    else if (KeepInViewY(&h) == 2)
        lpCause = "Dead 3";
    else if (CollideVertical(&h) == 2)
        lpCause = "Dead 4";
    else if (KeepInViewY(&h) == 2)
        lpCause = "Dead 5";
    if (lpCause != nullptr) {
        HeroDies(lpCause);
        return true;
    }
    if (Squeezed(h) && h.m_nResizeGrace == 0) {
        WriteTraceLogF("Player[P1].LRUD = %d,%d,%d,%d", h.m_bContactLeft, h.m_bContactRight, h.m_bContactTop,
                       h.m_bContactBottom);
        h.RestorePreviousPosition();
        HeroDies("Dead SP");
        return true;
    }
    if (PushByBlockCharacters(&h, CharaList) == 2 && h.m_bDefeated == 0 && h.m_nResizeGrace == 0) {
        HeroDies("Dead 6");
        return true;
    }
    if ((h.m_bContactLeft != 0 || h.m_bContactRight != 0) && RecheckHorizontal(&h) == 2 && h.m_bDefeated == 0 &&
        h.m_nResizeGrace == 0) {
        HeroDies("Dead 7");
        return true;
    }
    if ((h.m_bContactTop != 0 || h.m_bContactBottom != 0) && RecheckVertical(&h) == 2 && h.m_bDefeated == 0 &&
        h.m_nResizeGrace == 0) {
        HeroDies("Dead 8");
        return true;
    }
    if (Squeezed(h) && h.m_nResizeGrace == 0) {
        WriteTraceLogF("Player[P1].LRUD = %d,%d,%d,%d", h.m_bContactLeft, h.m_bContactRight, h.m_bContactTop,
                       h.m_bContactBottom);
        h.RestorePreviousPosition();
        HeroDies("Dead 9");
        return true;
    }
    h.CountDownForceX();
    h.CountDownForceY();
    return false;
}

// One sub-step. True when the frame ends.
bool cPlayStepRunner::SubStep(int32_t i)
{
    cPlayState& s = m_State;
    s.m_nSubStep = i;
    ++s.m_nSubStepTotal;
    s.RefreshAppearance();
    cHero& h = Player[0];

    if (h.m_bDefeated == 0) {
        for (cChara& c : CharaList) {
            if (c.m_nLifeTime == kUnlimitedLife || c.m_bDefeated != 0) continue;
            if (--c.m_nLifeTime < 0) RemoveEnemy(c);
        }
        for (cItem& item : ItemList) {
            if (item.m_nLifeTime == kUnlimitedLife) continue;
            if (--item.m_nLifeTime < 0) RemoveItemFromStage(item);
        }
    }
    for (cChara& c : CharaList) {
        c.CountDownInvincibility();
        c.ClearContactFlags();
        c.SavePreviousPosition();
    }
    h.CountDownInvincibility();
    h.ClearContactFlags();
    h.SavePreviousPosition();
    h.KeepPreviousContact();
    s.m_ScrollX.Step();
    s.m_ScrollY.Step();

    if (h.m_bDefeated == 0) {
        for (cChara& c : CharaList) {
            if (!IsBlockChara(c) || c.m_bDefeated != 0 || c.m_bAppeared == 0 || c.m_bActive == 0) continue;
            if (CharaPass(c, false)) return true;
        }
        if (HeroPass()) return true;
        for (cChara& c : CharaList) {
            if (IsBlockChara(c) || c.m_bDefeated != 0 || c.m_bAppeared == 0 || c.m_bActive == 0) continue;
            if (CharaPass(c, true)) return true;
        }
    }

    for (cShot& shot : s.m_ShotList) {
        if (shot.Move() != 0) {
            RemoveShotFromStage(shot);
            continue;
        }
        shot.ApplyGravityUnlessFlying();
        shot.MoveY();
        shot.MoveX();
        if (i == 1 && shot.m_bIsShot != 0) {
            const int32_t nRange = shot.m_nSide == 0 ? 3 : 4;
            if (shot.IsInScrollRange(g_Stage.m_Setting[nRange]) != 0) {
                RemoveShotFromStage(shot);
                continue;
            }
        }
        if (shot.HitsBlocks() != 0) RemoveShotFromStage(shot);
    }

    if (i == 1 && h.m_bDefeated == 0) {
        for (cChara& c : CharaList) {
            if (c.m_bDefeated != 0 || c.m_bAppeared == 0) continue;
            const bool bBlock = IsBlockChara(c);
            if (bBlock ? s.m_bEraseBlockCharas == 0 : s.m_bEraseEnemies == 0) continue;
            if (c.IsInScrollRange(g_Stage.m_Setting[bBlock ? 1 : 0]) != 0) RemoveEnemy(c);
        }
        if (s.m_bEraseItems != 0) {
            for (cItem& item : ItemList)
                if (item.IsInScrollRange(g_Stage.m_Setting[2]) != 0) RemoveItemFromStage(item);
        }
    }

    if (h.m_bDefeated == 0) {
        if (Outcome(TakeBlockItem(&h))) return true;
        if (Outcome(ResolveFactionContacts(CharaList))) return true;
        if (Outcome(CollectItems(&h))) return true;
    }
    return false;
}

void cPlayState::PlayStep()
{
    // Storage of objects removed during the last frame is freed here, where no walk runs.
    SweepStageObjects(*this);
    if (m_bClosing.load() != 0) {
        PostMessage(hMainWnd.load(), WM_CLOSE, 0, 0);
        return;
    }
    if (CheckPauseKey()) {
        m_nPhaseStep = 0;
        m_nPhase = 3;
        return;
    }
    // A replay saved from a key of this frame: the frame is neither run nor drawn.
    if (PollReplayHotkeys()) return;
    if (Player.empty()) return;
    ++m_nFrameCount;

    cKeyInput& input = CheckedAt(InputStates, 0);
    const bool bPlayback = ReplayPlaybackOn();
    if (bPlayback) {
        // The recorded words stand for the keyboard; at their end the replay starts again.
        input.ClearDirectionInput();
        input.ClearButtonInput();
        int16_t wDirection = 0;
        int16_t wButton = 0;
        if (ReplayCurrent.PlayReplayFrame(wDirection, wButton) != 0) {
            RestartPlayback();
            return;
        }
        input.m_wDirection = static_cast<uint16_t>(wDirection);
        input.m_wButton = static_cast<uint16_t>(wButton);
        input.m_nDirCode = input.DirectionFromKeys();
    } else if (input.m_wButton == 0) {
        m_bHoldButtons = 0;
    } else if (m_bHoldButtons != 0) {
        input.m_wButton = 0;
    }
    input.PushKeyHistory();
    input.RecordKeyEvents();
    if (!bPlayback && g_System.m_bReplay != 0)
        ReplayCurrent.RecordReplayFrame(static_cast<int16_t>(input.m_wDirection),
                                        static_cast<int16_t>(input.m_wButton));

    CountPlayTime();
    cHero& h = Player[0];
    if (CountDownTime(-1) == 1 && h.m_bDefeated == 0) {
        // Time up: a death without a trace line.
        PlaySystemSound(8);
        if (h.Defeat() == 1) {
            CheckRankings();
            m_nPhase = 4;
        }
        return;
    }

    if (h.m_bDefeated == 0) h.ResetFlowFlags();
    h.m_bLockScreenX = 0;
    h.m_bLockScreenY = 0;
    for (cChara& c : CharaList) {
        if (c.m_bDefeated == 0) c.ResetFlowFlags();
        c.m_bLockScreenX = 0;
        c.m_bLockScreenY = 0;
    }

    cPlayStepRunner runner(*this);
    const int32_t n = g_Stage.m_nSubSteps;
    for (int32_t i = 1; i <= n; ++i)
        if (runner.SubStep(i)) return;
    DrawStageFrame(1, 0, 1, 1);
}

void cPlayState::RefreshAppearance()
{
    if (!Player.empty()) {
        cHero& h = Player[0];
        h.m_bAppeared = 1;
        h.m_bOnScreen = 1;
        h.m_bActive = 1;
    }
    std::fill(m_vFlowSwitch.begin(), m_vFlowSwitch.end(), 0);
    for (cChara& c : CharaList) {
        if (CheckCharaAppearance(c) != 0) {
            c.m_bAppeared = 1;
            c.m_bOnScreen = c.IsOnScreen();
            c.CheckActive(m_vFlowSwitch);
        } else {
            c.m_bAppeared = 0;
            c.m_bOnScreen = 0;
        }
    }
    for (cChara& c : CharaList)
        c.m_bActive = (c.m_bAppeared != 0 && c.UpdateActivity(m_vFlowSwitch) != 0) ? 1 : 0;
    for (cItem& item : ItemList) {
        if (CheckItemAppearance(item) != 0) {
            item.m_bAppeared = 1;
            item.m_bOnScreen = item.IsOnScreen();
        } else {
            item.m_bAppeared = 0;
            item.m_bOnScreen = 0;
        }
    }
    for (cShot& shot : m_ShotList) {
        shot.m_bAppeared = 1;
        shot.m_bOnScreen = shot.IsOnScreen();
    }
}

int32_t cPlayState::CountDownTime(int32_t nDelta)
{
    if (m_bNoTimeLimit != 0) return 0;
    // Game time is counted at 60 frames a second whatever the stage's frame rate.
    if (!FrameCountGate(1, 60)) return 0;
    const int64_t n = static_cast<int64_t>(m_nTimeLeft) + nDelta;
    if (n >= 1000) {
        m_nTimeLeft = 999;
        return 0;
    }
    if (n <= 0) {
        m_nTimeLeft = 0;
        return 1;
    }
    m_nTimeLeft = static_cast<int32_t>(n);
    return 0;
}

void cPlayState::CountPlayTime()
{
    if (m_nPlayTime > 599998) return;
    ++m_nPlayFrames;
    const int64_t n = static_cast<int64_t>(m_nPlayFrames) * 100 / 60;
    m_nPlayTime = n > 599999 ? 599999 : static_cast<int32_t>(n);
}
