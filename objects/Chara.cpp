// A computer-controlled character: set-up from its definition, its boxes, its moves under the
// movement commands, its flows of one sub-step, its jump, whether it takes part in a frame, and
// the icon of the item it carries.
#include "objects/Chara.h"
#include "objects/PlayNumbers.h"

#include <cmath>

#include "core/CheckedAccess.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "flows/FlowBuild.h"
#include "flows/FlowContext.h"
#include "flows/FlowInstance.h"
#include "flows/FlowRuntime.h"
#include "objects/GraphicSource.h"
#include "stage/PlayState.h"
#include "stage/StageSounds.h"

namespace {

constexpr int32_t kTriggerDying = 3;   // flows that go on while their owner dies

// Hit box of a computer character in its 32 x 32 cell: centred, or on the cell's bottom line.
void CharaHitBox(const cEdChara& def, int32_t bFlying, int32_t& x, int32_t& y, int32_t& w, int32_t& h)
{
    if (def.m_bCellBox != 0) {
        w = h = 32;
        x = y = 0;
        return;
    }
    w = bFlying != 0 ? g_Stage.m_nCharaWidthAlt : g_Stage.m_nCharaWidth;
    h = bFlying != 0 ? g_Stage.m_nCharaHeightAlt : g_Stage.m_nCharaHeight;
    const int32_t bBottom = bFlying != 0 ? g_Stage.m_bCharaSizeBottomAlt : g_Stage.m_bCharaSizeBottom;
    x = (32 - w) >> 1;
    y = bBottom != 0 ? 32 - h : (32 - h) >> 1;
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

void ScaleBox(CharaBox& box, int32_t s)
{
    box.m_nOffsetX = box.m_nBaseOffsetX * s;
    box.m_nOffsetY = box.m_nBaseOffsetY * s;
    box.m_nWidth = box.m_nBaseWidth * s;
    box.m_nHeight = box.m_nBaseHeight * s;
}

void SetBoxBoth(CharaBox& box, int32_t x, int32_t y, int32_t w, int32_t h)
{
    box.m_nOffsetX = box.m_nBaseOffsetX = x;
    box.m_nOffsetY = box.m_nBaseOffsetY = y;
    box.m_nWidth = box.m_nBaseWidth = w;
    box.m_nHeight = box.m_nBaseHeight = h;
}

}  // namespace

// ------------------------------------------------------------------ flow bookkeeping shared with the hero

double FollowSpeed(const cScrollAxis& axis)
{
    return axis.m_bEdge != 0 ? 0.0 : axis.m_dSpeed;
}

void StartFlowPass(cCharaBase& chara, bool bCarried)
{
    if (!bCarried) {
        const cPlayState* lpState = PlayState();
        const bool bFollow = lpState != nullptr && chara.m_bScreenFixed != 0;
        chara.m_dSpeedX = bFollow ? FollowSpeed(lpState->m_ScrollX) : 0.0;
        if (chara.m_bFlying != 0) chara.m_dSpeedY = bFollow ? FollowSpeed(lpState->m_ScrollY) : 0.0;
    }
    chara.m_bBrakeX = chara.m_bBrakeY = 1;
    chara.m_bMoved = 0;
    if (chara.m_nResizeGrace > 0) --chara.m_nResizeGrace;
}

// The list may grow or shrink under a stepped flow (flow changes): its size is read anew and the
// instance fetched by index on every pass. Only a computer character is ever marked removed.
int32_t StepRunningFlows(cCharaBase& chara, int32_t bDying)
{
    for (size_t i = 0; i < chara.m_vFlow.size(); ++i) {
        cFlowInstance& inst = chara.m_vFlow[i];
        if (inst.m_bRunning == 0) continue;
        if (inst.m_vCmd.empty()) {
            StopFlow(&inst, &chara);
            continue;
        }
        if (inst.m_bPaused != 0 || inst.m_bStoppedForever != 0) continue;
        const int32_t nTrigger = inst.m_lpFlow != nullptr ? inst.m_lpFlow->m_nTrigger : -1;
        if (bDying != 0 && nTrigger != kTriggerDying) continue;
        if (StepFlow(&inst) != 0 && i < chara.m_vFlow.size()) StopFlow(&chara.m_vFlow[i], &chara);
        if (chara.m_bRemoved != 0) return 1;
        if (bDying == 0 && nTrigger != kTriggerDying && chara.m_nHP <= 0) return 1;
    }
    return 0;
}

void RemoveDeletedFlowInstances(cCharaBase& chara)
{
    if (chara.m_bFlowDeleted == 0) return;
    for (size_t i = 0; i < chara.m_vFlow.size();) {
        if (chara.m_vFlow[i].m_bDeleted != 0)
            chara.RemoveFlowInstance(static_cast<int32_t>(i));   // the same index again
        else
            ++i;
    }
    chara.m_bFlowDeleted = 0;
}

void ReleaseStoppedFlowIds(cCharaBase& chara)
{
    if (chara.m_bFlowIdStopped == 0) return;
    const size_t n = chara.m_vFlowIdStopped.size() < chara.m_vFlowIdRunning.size() ? chara.m_vFlowIdStopped.size()
                                                                                    : chara.m_vFlowIdRunning.size();
    for (size_t i = 0; i < n; ++i) {
        if (chara.m_vFlowIdStopped[i] == 0) continue;
        chara.m_vFlowIdRunning[i] = 0;
        chara.m_vFlowIdStopped[i] = 0;
    }
    chara.m_bFlowIdStopped = 0;
}

// ------------------------------------------------------------------ set-up

void cChara::Init(int32_t nKey, const cEdChara& definition, const cItem* lpCarried, double x, double y,
                  int32_t nFormationIndex)
{
    // A scale of 0 from an old file means the normal size; the caller's definition is mended too.
    if (definition.m_nGiant == 0) const_cast<cEdChara&>(definition).m_nGiant = 1;
    SetupFromDefinition(&definition, x, y, nFormationIndex);

    const int32_t bFlying = definition.m_nFlying != 0 ? 1 : 0;
    int32_t nBoxX = 0, nBoxY = 0, nBoxW = 0, nBoxH = 0;
    CharaHitBox(definition, bFlying, nBoxX, nBoxY, nBoxW, nBoxH);
    SetupGraphics(nKey, definition.m_nController, definition.m_nPlayerNo, definition.m_nHitGroup,
                  m_Def.m_nGraphicIndex, nullptr, 0, nBoxX, nBoxY, nBoxW, nBoxH, 32, 32, definition.m_nStartDir,
                  definition.m_nFlying, nFormationIndex, &definition);

    if (definition.m_bCellBox != 0) {
        SetBoxBoth(m_CharaBox, 0, 0, 0, 0);
        SetBoxBoth(m_ShotBox, 0, 0, 32, 32);
    } else {
        switch (definition.m_nHitRange) {
        case 0:
            if (m_bFlying != 0)
                SetCharaBox(g_Stage.m_bCharaHitBottomAlt, g_Stage.m_nCharaHitWidth0Alt, g_Stage.m_nCharaHitHeight0Alt);
            else
                SetCharaBox(g_Stage.m_bCharaHitBottom, g_Stage.m_nCharaHitWidth0, g_Stage.m_nCharaHitHeight0);
            break;
        case 1:
            SetCharaBox(0, g_Stage.m_nCharaHitWidth1, g_Stage.m_nCharaHitHeight1);
            break;
        case 2:
            SetCharaBox(0, g_Stage.m_nCharaHitWidth2, g_Stage.m_nCharaHitHeight2);
            break;
        case 3:
            SetCharaBox(0, m_nWidth, m_nHeight);
            break;
        default:
            break;
        }
        const int32_t W = g_Stage.m_nCharaHitWidth1, H = g_Stage.m_nCharaHitHeight1;
        SetBoxBoth(m_ShotBox, 16 - (W >> 1) - m_nOffsetX, 16 - (H >> 1) - m_nOffsetY, W, H);
    }

    SetScale(m_Def.m_nGiant, 1);
    m_bAwake = 0;
    m_nIconCycle = 0;

    if (lpCarried != nullptr) {
        m_CarriedItem = *lpCarried;
    } else {
        m_CarriedItem.m_Rec.m_nGraphicIndex = 0;
    }

    switch (definition.m_nActiveRange) {
    case 0: m_bIgnoreRangeX = 0; m_bIgnoreRangeY = 0; break;
    case 1: m_bIgnoreRangeX = 0; m_bIgnoreRangeY = 1; break;
    case 2: m_bIgnoreRangeX = 1; m_bIgnoreRangeY = 0; break;
    case 3: m_bIgnoreRangeX = 1; m_bIgnoreRangeY = 1; break;
    default: break;
    }
    m_bStarted = 0;
    m_nReserved = 0;

    m_Anime.SetPattern(m_bFlying != 0 ? 0 : 1, 1);
    BuildFlowInstances(this, m_Def.m_vFlow, 0, -1);
}

void cChara::SetBlockPosition(int32_t bx, int32_t by)
{
    const cPlayState* lpState = PlayState();
    const int32_t nOriginX = lpState != nullptr ? lpState->m_ScrollX.m_nBlockOrigin : 0;
    const int32_t nOriginY = lpState != nullptr ? lpState->m_ScrollY.m_nBlockOrigin : 0;
    m_dX = (static_cast<double>(bx) + nOriginX) * 32 + m_nBaseOffsetX + 0.5;
    m_dY = (static_cast<double>(by) + nOriginY) * 32 + m_nBaseOffsetY;
    RescaleKeepBottom(m_Def.m_nGiant, 1);
    OnMovedX();
    OnMovedY();
}

// ------------------------------------------------------------------ boxes

void cChara::ScaleBoxes(int32_t nScale)
{
    if (m_Def.m_bCellBox != 0) {
        // A character that is its whole cell meets others and shots with its hit box.
        for (CharaBox* lpBox : {&m_CharaBox, &m_ShotBox}) {
            lpBox->m_nOffsetX = lpBox->m_nOffsetY = 0;
            lpBox->m_nWidth = m_nHitWidth;
            lpBox->m_nHeight = m_nHitHeight;
        }
        return;
    }
    ScaleBox(m_CharaBox, nScale);
    ScaleBox(m_ShotBox, nScale);
}

void cChara::UpdateBoxesX()
{
    const double x = TruncToInt32(m_dX);
    BoxEdgesX(m_CharaBox, x);
    BoxEdgesX(m_ShotBox, x);
}

void cChara::UpdateBoxesY()
{
    const double y = TruncToInt32(m_dY);
    BoxEdgesY(m_CharaBox, y);
    BoxEdgesY(m_ShotBox, y);
}

cItem* cChara::GetCarriedItem()
{
    return &m_CarriedItem;
}

// ------------------------------------------------------------------ motion

int32_t cChara::OnMovedX()
{
    return ClampX(2);
}

int32_t cChara::OnMovedY()
{
    return ClampY(2);
}

int32_t cChara::MoveHorizontal()
{
    if (m_dForceX != 0.0) {
        m_dSpeedX = m_dForceX;
    } else if (m_dAccelX != 0.0) {
        ApplyBrake(m_dAccelX, m_bBrakeX);
        m_dSpeedX += m_dAccelX;
    }
    const int32_t r = StepMoveX(2);
    OnMovedX();
    return r == 3 ? 4 : r;
}

int32_t cChara::MoveVertical()
{
    ApplyForceY();
    if (m_dForceY == 0.0 && m_bFlying != 0 && m_dAccelY != 0.0) {
        ApplyBrake(m_dAccelY, m_bBrakeY);
        m_dSpeedY += m_dAccelY;
    }
    const int32_t r = StepMoveY(2);
    OnMovedY();
    if (m_bFlying != 0) return (r == 3 || r == 6) ? 8 : r;
    return (r == 5 || r == 6) ? 7 : r;
}

// ------------------------------------------------------------------ flows of one sub-step

int32_t cChara::RunObjectFlows(int32_t bDying)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return 0;
    cFlowContextSave save(*lpState);
    lpState->m_lpCurObj = this;
    lpState->m_bDeathPending = 0;

    const bool bCarried = g_System.ScrollCarry() != 0;
    if (bCarried) {
        // In that setting the scroll never carries a computer character.
        m_dSpeedX = 0.0;
        if (m_bFlying != 0) m_dSpeedY = 0.0;
    }
    StartFlowPass(*this, bCarried);

    ApplyFlowAnimations(this);

    if (StepRunningFlows(*this, bDying) != 0) return 1;

    lpState->m_lpCurObj = nullptr;
    lpState->m_lpCurFlow = nullptr;
    lpState->m_lpCurCmd = nullptr;

    RemoveDeletedFlowInstances(*this);
    ReleaseStoppedFlowIds(*this);

    if (m_bMoved == 0 && m_dAccelX == 0.0 && m_dAccelY == 0.0) m_Anime.ChangePattern(m_bFlying != 0 ? 2 : 0, 1);
    return m_nHP <= 0 ? 1 : 0;
}

// ------------------------------------------------------------------ jump

void cChara::UpdateJump(cCommandInstance* lpInst)
{
    if (lpInst == nullptr) return;
    const bool bCanStart = m_bAirborne == 0 && m_bNewJumpBlock == 0 && m_bKnocked == 0 && m_nFallCount == 0;
    auto start = [&]() {
        lpInst->m_bStarted = 1;
        PlayProjectSound(lpInst->m_lpCmd != nullptr ? lpInst->m_lpCmd->m_nSound : 0);
        m_dSpeedY = lpInst->m_dSpeed;
        m_bJumping = 1;
        m_bJumpEnded = 1;
        m_bRiding = 0;
    };

    if (g_System.JumpRepeat() != 0) {
        if (bCanStart) start();
        return;
    }
    if (lpInst->m_bStarted == 0) {
        if (bCanStart) {
            start();
        } else if (lpInst->m_nCalls >= 4 * SubSteps()) {
            // A character that never stands within four frames gives the jump up.
            lpInst->m_bStarted = 1;
            m_bNewJumpBlock = 0;
            m_bKnocked = 0;
            lpInst->m_nRemaining = 0;
        }
        return;
    }
    if (IsOnGround() != 0) {
        m_bNewJumpBlock = 0;
        m_bKnocked = 0;
        lpInst->m_nRemaining = 0;
    }
}

// ------------------------------------------------------------------ activity of one frame

int32_t cChara::CheckActive(std::vector<int8_t>& vSwitches)
{
    const cPlayState* lpState = PlayState();
    const double vx = lpState != nullptr ? lpState->m_ScrollX.m_dPosition : 0.0;
    const double vy = lpState != nullptr ? lpState->m_ScrollY.m_dPosition : 0.0;
    bool bIn = true;
    if (m_bIgnoreRangeX == 0 && !(m_dRight >= vx && vx + 640 > m_dX)) bIn = false;
    if (bIn && m_bIgnoreRangeY == 0 && !(m_dBottom >= vy && vy + 480 > m_dY)) bIn = false;
    if (!bIn) {
        m_bInRange = 0;
        return 0;
    }
    m_bInRange = 1;
    if (m_Def.m_bSetFlowSwitch != 0) CheckedAt(vSwitches, m_Def.m_nFlowSwitch) = 1;
    return 1;
}

int32_t cChara::UpdateActivity(std::vector<int8_t>& vSwitches)
{
    bool bAwake = m_bInRange != 0;
    if (!bAwake && m_Def.m_bSetFlowSwitch != 0 && CheckedAt(vSwitches, m_Def.m_nFlowSwitch) != 0) bAwake = true;
    // A jumping or falling walker keeps running until it lands.
    if (!bAwake && m_bFlying == 0 && (m_bJumping != 0 || (m_bStarted != 0 && m_bAirborne != 0))) bAwake = true;
    if (!bAwake) return 0;
    m_bStarted = 1;
    if (m_Def.m_bKeepActive == 1) m_bIgnoreRangeX = m_bIgnoreRangeY = 1;
    GetScreenRect();
    return 1;
}

// ------------------------------------------------------------------ carried item

void cChara::DrawCarriedIcon(DDSURFACEDATA* lpTarget)
{
    // The definition's switch that is on by default lets the icon show; off hides it.
    if (m_CarriedItem.m_bCarried == 0 || m_bOnScreen == 0 || m_Def.m_bOptionB == 0 ||
        m_CarriedItem.m_Rec.m_bHidden != 0)
        return;
    ++m_nIconCycle;
    if (m_nIconCycle < 64) return;
    const cEdItem& rec = m_CarriedItem.m_Rec;
    DrawGraphicIcon(lpTarget, m_nLeft + (m_nWidth >> 1) - (m_CarriedItem.m_nWidth >> 2),
                    m_nTop - (m_CarriedItem.m_nHeight >> 1), rec.m_nGraphicKind, rec.m_nGraphicIndex,
                    rec.m_nGraphicSub);
    if (m_nIconCycle >= 96) m_nIconCycle = 0;
}

int32_t cChara::RectsOverlap(double l, double t, double r, double b) const
{
    return (m_dX <= r && m_dRight >= l && m_dY <= b && m_dBottom >= t) ? 1 : 0;
}
