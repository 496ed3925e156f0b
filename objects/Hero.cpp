// The player's character: set-up for a stage, its sizes and boxes, the view that follows it, its
// walking and falling, its flows of one sub-step, the held jump, the item commands it receives,
// the items it touches, and the drawing of its boxes and of the sight mask around it.
#include "objects/Hero.h"
#include "objects/PlayNumbers.h"

#include <atomic>
#include <cmath>

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "data/EdFlow.h"
#include "data/EdKeyList.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "flows/FlowBuild.h"
#include "flows/FlowContext.h"
#include "flows/FlowInstance.h"
#include "flows/FlowRuntime.h"
#include "flows/ItemCommands.h"
#include "flows/MessageObject.h"
#include "media/graphics/DDBlitEffects.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/GraphicsState.h"
#include "media/input/KeyInput.h"
#include "objects/Chara.h"
#include "objects/Motion.h"
#include "shell/ShellGlobals.h"
#include "stage/PlayState.h"
#include "stage/StageSounds.h"

const int32_t HeroBoxColours[8] = {208, 212, 216, 220, 224, 228, 232, 236};

namespace {

constexpr int32_t kItemKindArrange = 38;   // "アレンジ" in the flow numbering
// The sight mask that the stage layers build around player 1's sight.
constexpr int32_t kSightMaskSurface = 65;

int32_t Param(const cCommandInstance& inst, size_t i)
{
    if (inst.m_lpCmd == nullptr || i >= inst.m_lpCmd->m_vParam.size()) return 0;
    return inst.m_lpCmd->m_vParam[i];
}

// Hit box of the hero in its 32 x 32 cell, for the standing or the flying set.
void HeroHitBox(int32_t bFlying, int32_t& x, int32_t& y, int32_t& w, int32_t& h)
{
    w = bFlying != 0 ? g_Stage.m_nHeroWidthAlt : g_Stage.m_nHeroWidth;
    h = bFlying != 0 ? g_Stage.m_nHeroHeightAlt : g_Stage.m_nHeroHeight;
    const int32_t bBottom = bFlying != 0 ? g_Stage.m_bHeroSizeBottomAlt : g_Stage.m_bHeroSizeBottom;
    x = (32 - w) >> 1;
    y = bBottom != 0 ? 32 - h : (32 - h) >> 1;
}

// A box centred on the cell's centre, relative to the hit box.
void SetCentredBox(CharaBox& box, int32_t w, int32_t h, int32_t nHitOffsetX, int32_t nHitOffsetY)
{
    box.m_nOffsetX = box.m_nBaseOffsetX = 16 - (w >> 1) - nHitOffsetX;
    box.m_nOffsetY = box.m_nBaseOffsetY = 16 - (h >> 1) - nHitOffsetY;
    box.m_nWidth = box.m_nBaseWidth = w;
    box.m_nHeight = box.m_nBaseHeight = h;
}

void ScaleBox(CharaBox& box, int32_t s)
{
    box.m_nOffsetX = box.m_nBaseOffsetX * s;
    box.m_nOffsetY = box.m_nBaseOffsetY * s;
    box.m_nWidth = box.m_nBaseWidth * s;
    box.m_nHeight = box.m_nBaseHeight * s;
}

void MultiplyScaled(CharaBox& box, int32_t s)
{
    box.m_nOffsetX *= s;
    box.m_nOffsetY *= s;
    box.m_nWidth *= s;
    box.m_nHeight *= s;
}

void BoxEdgesX(CharaBox& box, double x)
{
    box.m_dLeft = x + box.m_nOffsetX;
    box.m_dRight = box.m_dLeft + box.m_nWidth - 1;
}

void BoxEdgesY(CharaBox& box, double y)
{
    box.m_dTop = y + box.m_nOffsetY;
    box.m_dBottom = box.m_dTop + box.m_nHeight - 1;
}

// The view of one axis centred on the hero; the minimum wins when the range is narrower than the
// screen.
void FollowView(cScrollAxis& axis, double dPos, int32_t nHalfScreen, int32_t nScreen, int32_t nHitSize)
{
    if (axis.m_bMoving != 0) return;
    axis.m_dPosition = dPos - (nHalfScreen - (nHitSize >> 1));
    if (axis.m_nMin > axis.m_dPosition)
        axis.m_dPosition = axis.m_nMin;
    else if (axis.m_nMax <= axis.m_dPosition + nScreen)
        axis.m_dPosition = static_cast<double>(axis.m_nMax) - nScreen;
}

// Whether the keys that a key-sequence step asks for are in that state now.
int32_t IsKeyListHeld(const cKeyInput* lpInput, const cEdKeyList& step)
{
    if (lpInput == nullptr) return 0;
    int32_t nMet = 0, nUnmet = 0;
    const size_t nKeys = step.m_vKeyState.size() < cEdKeyList::kKeyStateCount ? step.m_vKeyState.size()
                                                                              : cEdKeyList::kKeyStateCount;
    for (size_t k = 0; k < nKeys; ++k) {
        const int8_t nWant = step.m_vKeyState[k];
        if (nWant == 0) continue;
        const std::vector<std::vector<KeyEventRun>>& lists = k < 10 ? lpInput->m_vDirEvents : lpInput->m_vButtonEvents;
        const size_t nList = k < 10 ? k : k - 10;
        int32_t nState = 0;
        if (nList < lists.size() && !lists[nList].empty()) nState = lists[nList].front().nState;
        const bool bMet = (nWant == 1 && nState == 1) || (nWant == 2 && nState == 0);
        if (bMet) {
            ++nMet;
            if (step.m_nCombine == 1) return 1;
        } else {
            ++nUnmet;
        }
    }
    switch (step.m_nCombine) {
    case 0: return nUnmet == 0 ? 1 : 0;
    case 1: return nMet > 0 ? 1 : 0;
    case 2: return nMet == 1 ? 1 : 0;
    default: return 1;
    }
}

}  // namespace

// ------------------------------------------------------------------ set-up

void cHero::InitForStage(int32_t nKey, const cEdChara& definition, double x, double y)
{
    if (definition.m_nGiant == 0) const_cast<cEdChara&>(definition).m_nGiant = 1;
    SetupFromDefinition(&definition, x, y, 0);

    int32_t nBoxX = 0, nBoxY = 0, nBoxW = 0, nBoxH = 0;
    HeroHitBox(m_bFlying, nBoxX, nBoxY, nBoxW, nBoxH);
    // The fly kind is left to SetSize, which notices the change.
    SetupGraphics(nKey, definition.m_nController, definition.m_nPlayerNo, definition.m_nHitGroup,
                  m_Def.m_nGraphicIndex, nullptr, 0, nBoxX, nBoxY, nBoxW, nBoxH, 32, 32, definition.m_nStartDir, -1,
                  0, &definition);

    // A player number that names no input follows no keys rather than another player's.
    const int32_t nPlayer = definition.m_nPlayerNo;
    if (nPlayer >= 0 && static_cast<size_t>(nPlayer) < InputStates.size()) {
        m_lpKeyInput = &InputStates[static_cast<size_t>(nPlayer)];
    } else {
        m_lpKeyInput = nullptr;
        static std::atomic<int32_t> bReported{0};
        if (bReported.exchange(1) == 0)
            WriteReportLog("err hero player number %d ( %d inputs )", nPlayer, static_cast<int32_t>(InputStates.size()));
    }

    SetSize(definition.m_nFlying, false);
    SetScale(m_Def.m_nGiant, 1);
    m_dFloorRate = 4.0 / SubSteps();
    m_nDir = m_Def.m_nStartDir;

    m_bNewJumpBlock = 0;
    m_bNoJump = 0;
    m_nJumpHeld = 0;
    m_nFloorAction = 0;
    m_nFloorTime = 0;
    m_dFloorValue = 0.0;
    m_bBlockItemTaken = 0;
    m_bJumpReady = 1;

    RebuildBoxes();
    m_lTouchedItems.clear();
    BuildFlowInstances(this, m_Def.m_vFlow, 0, -1);
}

void cHero::SetSize(int8_t nMoveKind, bool bRescale)
{
    const int32_t bWasFlying = m_bFlying;
    m_Def.m_nFlying = nMoveKind;
    switch (nMoveKind) {
    case 0: m_bFlying = 0; m_nBlockMode = 1; break;
    case 1: m_bFlying = 1; m_nBlockMode = 0; break;
    case 2: m_bFlying = 1; m_nBlockMode = 1; break;
    case 3: m_bFlying = 1; m_nBlockMode = 2; break;
    default: break;
    }
    if (m_bFlying != bWasFlying) {
        m_nResizeGrace = 2;
        if (bWasFlying != 0) {
            m_dSpeedX = m_dSpeedY = 0.0;
            m_dAccelX = m_dAccelY = 0.0;
        }
    }

    int32_t nBoxX = 0, nBoxY = 0, nBoxW = 0, nBoxH = 0;
    HeroHitBox(m_bFlying, nBoxX, nBoxY, nBoxW, nBoxH);
    m_nHitWidth = m_nBaseHitWidth = nBoxW;
    m_nHitHeight = m_nBaseHitHeight = nBoxH;
    m_nOffsetX = m_nBaseOffsetX = nBoxX;
    m_nOffsetY = m_nBaseOffsetY = nBoxY;
    m_nWidth = m_nHeight = m_nBaseWidth = m_nBaseHeight = 32;

    switch (m_Def.m_nHitRange) {
    case 0:
        if (m_bFlying != 0)
            SetCharaBox(g_Stage.m_bHeroHitBottomAlt, g_Stage.m_nHeroHitWidth0Alt, g_Stage.m_nHeroHitHeight0Alt);
        else
            SetCharaBox(g_Stage.m_bHeroHitBottom, g_Stage.m_nHeroHitWidth0, g_Stage.m_nHeroHitHeight0);
        break;
    case 1: SetCharaBox(0, g_Stage.m_nHeroHitWidth1, g_Stage.m_nHeroHitHeight1); break;
    case 2: SetCharaBox(0, g_Stage.m_nHeroHitWidth2, g_Stage.m_nHeroHitHeight2); break;
    case 3: SetCharaBox(0, 32, 32); break;
    default: break;
    }
    SetCentredBox(m_ShotBox, g_Stage.m_nHeroHitWidth1, g_Stage.m_nHeroHitHeight1, m_nOffsetX, m_nOffsetY);
    SetCentredBox(m_ItemBox, g_Stage.m_nHeroBoxWidth, g_Stage.m_nHeroBoxHeight, m_nOffsetX, m_nOffsetY);

    if (bRescale) {
        const int32_t s = m_Def.m_nGiant;
        m_nHitWidth *= s;
        m_nHitHeight *= s;
        m_nOffsetX *= s;
        m_nOffsetY *= s;
        m_nWidth *= s;
        m_nHeight *= s;
        MultiplyScaled(m_CharaBox, s);
        MultiplyScaled(m_ShotBox, s);
        MultiplyScaled(m_ItemBox, s);
    }
    RebuildBoxes();
}

void cHero::ScaleBoxes(int32_t nScale)
{
    ScaleBox(m_CharaBox, nScale);
    ScaleBox(m_ShotBox, nScale);
    ScaleBox(m_ItemBox, nScale);
}

void cHero::RebuildBoxes()
{
    m_vBoxes.clear();
    const int32_t aKinds[4] = {0, 2, 1, 3};
    for (const int32_t nKind : aKinds) {
        HeroBox box;
        box.m_nKind = nKind;
        box.m_nDrawMode = g_Stage.m_nHeroBoxValue[nKind];
        const int32_t nColour = g_Stage.m_nHeroBoxIndex[nKind];
        if (nColour >= 0 && nColour < 8) {
            box.m_nColor = HeroBoxColours[nColour];
        } else {
            // A colour setting from a damaged file: the first colour, said once.
            box.m_nColor = HeroBoxColours[0];
            static std::atomic<int32_t> bReported{0};
            if (bReported.exchange(1) == 0) WriteReportLog("err hero box colour %d", nColour);
        }
        switch (nKind) {
        case 0: box.m_nWidth = m_nHitWidth; box.m_nHeight = m_nHitHeight; break;
        case 1: box.m_nWidth = m_CharaBox.m_nWidth; box.m_nHeight = m_CharaBox.m_nHeight; break;
        case 2: box.m_nWidth = m_ItemBox.m_nWidth; box.m_nHeight = m_ItemBox.m_nHeight; break;
        default: box.m_nWidth = m_ShotBox.m_nWidth; box.m_nHeight = m_ShotBox.m_nHeight; break;
        }
        m_vBoxes.push_back(box);
    }
    // Largest first, so that the smaller boxes stay visible on top; equal areas keep their order.
    auto area = [](const HeroBox& b) { return static_cast<int64_t>(b.m_nWidth) * b.m_nHeight; };
    for (size_t i = 1; i < m_vBoxes.size(); ++i) {
        const HeroBox box = m_vBoxes[i];
        size_t j = i;
        while (j > 0 && area(m_vBoxes[j - 1]) < area(box)) {
            m_vBoxes[j] = m_vBoxes[j - 1];
            --j;
        }
        m_vBoxes[j] = box;
    }
}

void cHero::UpdateBoxesX()
{
    const double x = TruncToInt32(m_dX);
    BoxEdgesX(m_CharaBox, x);
    BoxEdgesX(m_ShotBox, x);
    BoxEdgesX(m_ItemBox, x);
}

void cHero::UpdateBoxesY()
{
    const double y = TruncToInt32(m_dY);
    BoxEdgesY(m_CharaBox, y);
    BoxEdgesY(m_ShotBox, y);
    BoxEdgesY(m_ItemBox, y);
}

// ------------------------------------------------------------------ view and screen position

int32_t cHero::OnMovedX()
{
    cPlayState* lpState = PlayState();
    if (lpState != nullptr) FollowView(lpState->m_ScrollX, m_dX, 320, 640, m_nHitWidth);
    const int32_t r = ClampX(m_bFlying != 0 ? 0 : 1);
    m_dRight = m_dX + m_nHitWidth - 1;
    return r;
}

int32_t cHero::OnMovedY()
{
    cPlayState* lpState = PlayState();
    if (lpState != nullptr) FollowView(lpState->m_ScrollY, m_dY, 240, 480, m_nHitHeight);
    return ClampY(m_bFlying != 0 ? 0 : 1);
}

void cHero::GetScreenRect()
{
    const cPlayState* lpState = PlayState();
    if (lpState == nullptr) {
        cGameObject::GetScreenRect();
        return;
    }
    // Under an automatic scroll position and view are truncated apart, so that the hero does not
    // shiver against a view that moves in fractions.
    auto screen = [](double dPos, const cScrollAxis& axis, int32_t nOffset) {
        if (axis.m_bMoving != 0) return TruncToInt32(dPos) - TruncToInt32(axis.m_dPosition) - nOffset;
        return TruncToInt32(dPos - axis.m_dPosition - nOffset);
    };
    m_nLeft = screen(m_dX, lpState->m_ScrollX, m_nOffsetX);
    m_nTop = screen(m_dY, lpState->m_ScrollY, m_nOffsetY);
    m_nRight = m_nLeft + m_nWidth - 1;
    m_nBottom = m_nTop + m_nHeight - 1;
}

// ------------------------------------------------------------------ motion

int32_t cHero::MoveHorizontal()
{
    if (m_dForceX != 0.0) {
        m_dSpeedX = m_dForceX;
    } else if (m_dAccelX != 0.0) {
        ApplyBrake(m_dAccelX, m_bBrakeX);
        if (m_nFloorTime > 0 && m_nFloorAction == 3) {
            const double d = (m_dFloorRate / SubSteps() / 60) * (m_dFloorValue - 1);
            // A floor that changes the walking speed changes a walk; a hero whose walk the brake
            // has just stopped is not set walking by it.
            if (m_dAccelX > 0.0) {
                m_dAccelX += d;
                if (m_dAccelX < 0.0) m_dAccelX = 0.0;
            } else if (m_dAccelX < 0.0) {
                m_dAccelX -= d;
                if (m_dAccelX > 0.0) m_dAccelX = 0.0;
            }
        }
        m_dSpeedX += m_dAccelX;
    }
    const double dLimit = g_Stage.m_dSpeedLimitStep;
    if (m_dSpeedX > dLimit) m_dSpeedX = dLimit;
    if (m_dSpeedX < -dLimit) m_dSpeedX = -dLimit;
    m_dX += m_dSpeedX;
    OnMovedX();
    return 0;
}

int32_t cHero::MoveVertical()
{
    ApplyForceY();
    if (m_dForceY == 0.0 && m_bFlying != 0 && m_dAccelY != 0.0) {
        ApplyBrake(m_dAccelY, m_bBrakeY);
        m_dSpeedY += m_dAccelY;
    }
    const int32_t r = StepMoveY(m_bFlying != 0 ? 0 : 2);
    OnMovedY();
    if (m_bFlying == 0 && (r == 5 || r == 6)) return 7;
    return r;
}

// ------------------------------------------------------------------ flows of one sub-step

int32_t cHero::RunHeroFlows(int32_t bDying)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return m_nHP <= 0 ? 1 : 0;
    cFlowContextSave save(*lpState);
    lpState->m_lpCurObj = this;
    lpState->m_bDeathPending = 0;

    const bool bCarried = g_System.ScrollCarry() != 0;
    if (bCarried) {
        // In that setting a flying hero is carried on both axes; a standing one is not.
        if (m_bFlying != 0) {
            m_dSpeedX = FollowSpeed(lpState->m_ScrollX);
            m_dSpeedY = FollowSpeed(lpState->m_ScrollY);
        } else {
            m_dSpeedX = 0.0;
        }
    }
    StartFlowPass(*this, bCarried);
    m_bJumpStepped = 0;

    ApplyFlowAnimations(this);

    if (StepRunningFlows(*this, bDying) != 0) return 1;

    lpState->m_lpCurObj = nullptr;
    lpState->m_lpCurFlow = nullptr;
    lpState->m_lpCurCmd = nullptr;

    // Flow changes that item commands asked for while the flows above ran.
    for (size_t j = 0; j < m_vItemCmdQueue.size(); ++j) FlowChangeCommand(this, &m_vItemCmdQueue[j], 1);
    m_vItemCmdQueue.clear();

    RemoveDeletedFlowInstances(*this);
    ReleaseStoppedFlowIds(*this);

    if (m_bMoved == 0 && m_dAccelX == 0.0 && m_dAccelY == 0.0) m_Anime.ChangePattern(m_bFlying != 0 ? 2 : 0, 1);
    if (m_bJumpStepped == 0) {
        m_nJumpHeld = 0;
        m_bJumpReady = 1;
        m_bNewJumpBlock = 0;
    }
    return m_nHP <= 0 ? 1 : 0;
}

// ------------------------------------------------------------------ held jump

void cHero::HeroJumpControl(cCommandInstance* lpInst)
{
    if (lpInst == nullptr || m_bFlying != 0 || m_bJumpStepped != 0) return;
    const cPlayState* lpState = PlayState();
    const cFlowInstance* lpFlow = lpState != nullptr ? lpState->m_lpCurFlow : nullptr;
    const bool bHasSteps = lpFlow != nullptr && !lpFlow->m_vKeySteps.empty();
    const int32_t b = SubSteps();

    const int32_t nMode = Param(*lpInst, 0);
    int32_t bHeld = 1;
    if (nMode != 0) {
        const cEdKeyList* lpStep = bHasSteps ? lpFlow->m_vKeySteps.back() : nullptr;
        bHeld = lpStep != nullptr ? IsKeyListHeld(m_lpKeyInput, *lpStep) : 0;
    }

    double dStart = lpInst->m_dSpeed;
    if (nMode == 2) {
        const double D = b * 10.0;
        const double t1 = Param(*lpInst, 1) / D;
        const double t3 = Param(*lpInst, 3) / D;
        const double a = std::fabs(m_dAccelX);
        const int32_t p2 = Param(*lpInst, 2), p4 = Param(*lpInst, 4);
        int32_t H = 0;
        if (a >= t1)
            H = p2;
        else if (a <= t3)
            H = p4;
        else
            H = TruncToInt32(p4 + (static_cast<double>(p2) - p4) * a / t1);   // t1 > a > t3 here
        dStart = JumpSpeedForHeight(static_cast<double>(H) * 16, this);
    }

    const int32_t nLimit = lpInst->m_nInitialCount;
    const bool bCut = m_bJumpEnded != 0 && m_bRiding == 0;
    if ((nMode == 0 || bHeld != 0) && m_bNoJump == 0) {
        ++m_nJumpHeld;
        if (m_nJumpHeld >= nLimit && !bCut && m_bJumpReady == 1 && m_bNewJumpBlock == 0 &&
            (m_dSpeedY < 0.0 || m_bRiding != 0)) {
            // Held to the limit: the rise goes on by itself but can no longer be lengthened.
            m_bJumpEnded = 1;
            m_bJumpReady = 0;
        } else if (m_bAirborne == 0 && m_nJumpHeld <= b && !bCut && m_bJumpReady == 1 && m_bNewJumpBlock == 0 &&
                   m_bKnocked == 0 && lpInst->m_bStarted == 0) {
            m_bJumping = 1;
            const int16_t nSound = lpInst->m_lpCmd != nullptr ? lpInst->m_lpCmd->m_nSound : 0;
            if (m_bRiding == 0) {
                m_dSpeedY = dStart;
                lpInst->m_bStarted = 1;
                PlayProjectSound(nSound);
            } else if (lpState != nullptr && lpState->m_nSubStep == b) {
                // Off a ridden character only in the frame's last sub-step, once its own move is
                // done, and a little higher to make up for its motion.
                m_dSpeedY = dStart * 1.0199999809265137;
                m_bRiding = 0;
                lpInst->m_bStarted = 1;
                PlayProjectSound(nSound);
            }
        }
    } else {
        if (m_nJumpHeld > 0 && m_nJumpHeld < nLimit && m_bJumpEnded == 0 && m_bNewJumpBlock == 0 && m_bNoJump == 0 &&
            m_bKnocked == 0) {
            m_bRiding = 0;
            if (m_dSpeedY < 0.0) m_dSpeedY *= 0.3;
            m_bJumpEnded = 1;
        }
        m_nJumpHeld = 0;
        m_bJumpReady = 1;
        m_bNewJumpBlock = 0;
    }

    if (IsOnGround() != 0) {
        if (!bHasSteps) {
            if (m_dSpeedY >= 0.0) {
                m_nJumpHeld = 0;
                m_bJumpReady = 1;
                m_bNewJumpBlock = 0;
                m_bKnocked = 0;
                lpInst->m_bStarted = 0;
                m_bJumpStepped = 1;
                return;
            }
        } else if (m_dSpeedY >= 0.0 && bHeld == 0) {
            m_nJumpHeld = 0;
            m_bJumpReady = 1;
            m_bNewJumpBlock = 0;
            m_bKnocked = 0;
            lpInst->m_nRemaining = 0;
        }
    }
    m_bJumpStepped = 1;
}

// ------------------------------------------------------------------ item commands

int32_t cHero::RunItemCommands(std::vector<cEdCommand>& vCommands)
{
    for (size_t i = 0; i < vCommands.size(); ++i) {
        cEdCommand& cmd = vCommands[i];
        if (cmd.FlowKind() != kItemKindArrange) {
            ApplyHeroParamBindings(&cmd, this);
            m_lBindings.clear();
        }
        const int32_t r = RunItemCommand(this, &cmd);
        if (m_nHP <= 0) return 2;
        if (r != 0) return r;
    }
    return m_nHP > 0 ? 0 : 2;
}

// ------------------------------------------------------------------ touched items and contact

int32_t cHero::IsNotInObjectList(int32_t nKey) const
{
    for (const int32_t n : m_lTouchedItems)
        if (n == nKey) return 0;
    return 1;
}

void cHero::RemoveFromObjectList(int32_t nKey)
{
    m_lTouchedItems.remove(nKey);
}

void cHero::KeepPreviousContact()
{
    m_lpPrevStandBlock = m_lpStandBlock;
}

void cHero::AddMessageAt(int8_t nKind, int16_t nGraphic, int16_t nValue)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return;
    MessageSetup setup;
    setup.nKind = 2;
    setup.nIconKind = nKind;
    setup.nIconGraphic = nGraphic;
    setup.nIconValue = nValue;
    setup.nPositionMode = 4;
    setup.bFixedOnScreen = 1;
    setup.nTimeMode = 2;
    setup.nFrames = 30;
    setup.nFollowKey = m_nKey;
    // Built in place: a message owns its surface, which a temporary copy would release.
    lpState->m_MessageList.AppendNew().Setup(setup, 0);
}

// ------------------------------------------------------------------ drawing

void cHero::Draw(DDSURFACEDATA* lpTarget, int32_t bFlag)
{
    DrawObjectSprite(lpTarget, bFlag);
    const bool bPaletteAnimates = nBpp == 8 && g_System.m_bPaletteCycle != 0;
    for (HeroBox& box : m_vBoxes) {
        if (box.m_nDrawMode != 1 && box.m_nDrawMode != 2) continue;
        int32_t x = m_nOffsetX + m_nLeft, y = m_nOffsetY + m_nTop;
        const CharaBox* lpBox = box.m_nKind == 1 ? &m_CharaBox : box.m_nKind == 2 ? &m_ItemBox
                                                          : box.m_nKind == 3 ? &m_ShotBox : nullptr;
        if (lpBox != nullptr) {
            x += lpBox->m_nOffsetX;
            y += lpBox->m_nOffsetY;
        }
        box.m_nX = x;
        box.m_nY = y;
        // Without the palette's own animation the colour steps through four neighbouring
        // entries, eight frames each.
        const uint32_t nColour = static_cast<uint32_t>(bPaletteAnimates ? box.m_nColor : box.m_nColor + (box.m_nCycle >> 3));
        if (box.m_nDrawMode == 1)
            DDFillRect(lpTarget, x, y, box.m_nWidth, box.m_nHeight, nColour);
        else
            DDFrameRect(lpTarget, x, y, box.m_nWidth, box.m_nHeight, 1, nColour);
        if (++box.m_nCycle >= 32) box.m_nCycle = 0;
    }
}

void cHero::DrawSightMask(DDSURFACEDATA* lpTarget)
{
    if (lpTarget == nullptr || m_Def.m_nSightMode == 0) return;
    DDSURFACEDATA* lpMask = &SystemSurfaces[kSightMaskSurface];
    const int32_t W = lpMask->nWidth, H = lpMask->nHeight;
    int32_t sx = (W >> 1) - (m_nWidth >> 1) - m_nLeft;
    int32_t sy = (H >> 1) - (m_nHeight >> 1) - m_nTop;
    if (m_Def.m_nSightMode == 2 || m_Def.m_nSightMode == 4) {
        const int32_t f = FacingSign();
        sx += f * (m_nWidth >> 1) - f * m_nSightRadius;
    }
    if (sx > W - 640) sx = W - 640;
    if (sx < 0) sx = 0;
    if (sy > H - 480) sy = H - 480;
    if (sy < 0) sy = 0;
    DDBlt(lpTarget, 0, 0, 640, 480, lpMask, sx, sy, 1);
}
