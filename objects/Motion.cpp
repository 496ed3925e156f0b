// Motion on the 32-pixel block grid: unit conversions of the stage being played, jumps, gravity,
// landing and ceiling snaps, knock-back, the integration step with its clamps, the screen and
// area tests and the circle step.
//
// A frame has b sub-steps. Speeds are pixels per sub-step, so a per-frame speed divides by b and
// an acceleration by b squared. Every double that becomes an integer here goes through
// TruncToInt32: a stage file with a gravity of 0, a negative jump height or a runaway speed must
// never turn an infinity or a NaN into a position or a cell.
#include <cmath>
#include <cstdint>

#include "data/EdStage.h"
#include "objects/PlayNumbers.h"
#include "data/EdStageRecords.h"
#include "flows/FlowRuntime.h"
#include "objects/CharaBase.h"
#include "objects/GameObject.h"
#include "objects/Motion.h"
#include "objects/Shot.h"
#include "stage/BlockMap.h"
#include "stage/PlayState.h"

namespace {

// The stage's sub-step count; a stage whose speed level was never applied counts as one.
double SubStepsD()
{
    return g_Stage.m_dSubSteps >= 1.0 ? g_Stage.m_dSubSteps : 1.0;
}

double SpeedDivisor()
{
    return g_Stage.m_dSpeedDivisor >= 1.0 ? g_Stage.m_dSpeedDivisor : 1.0;
}

// An integer's cell: an arithmetic shift, so that negative pixels fall in negative cells.
int32_t CellOfEdge(double d)
{
    return TruncToInt32(d) >> 5;
}

struct AxisView {
    double dScroll = 0.0;
    int32_t nScrollMin = 0, nScrollMax = 0;
    int32_t nStageMin = 0, nStageMax = 0;
    int32_t nMapLength = 0;
};

// The scroll range is the axis's view range; the stage range runs from the margin to the stage's
// far edge; the map is the stage with both margins.
AxisView ViewOf(int32_t nAxis)
{
    AxisView v;
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return v;
    const cScrollAxis& axis = nAxis == 0 ? lpState->m_ScrollX : lpState->m_ScrollY;
    v.dScroll = axis.m_dPosition;
    v.nScrollMin = axis.m_nMin;
    v.nScrollMax = axis.m_nMax;
    v.nStageMin = axis.m_nMinBase;
    v.nStageMax = axis.m_nDefaultMax;
    v.nMapLength = axis.m_nStageExtent;
    return v;
}

int32_t BlockOrigin(int32_t nAxis)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return 0;
    return nAxis == 0 ? lpState->m_ScrollX.m_nBlockOrigin : lpState->m_ScrollY.m_nBlockOrigin;
}

// Moves v toward 0 by step; crossing 0 gives exactly 0.
void TowardZero(double& v, double dStep)
{
    if (v > 0.0) {
        v -= dStep;
        if (v < 0.0) v = 0.0;
    } else if (v < 0.0) {
        v += dStep;
        if (v > 0.0) v = 0.0;
    }
}

// One component of the knock-back: the time t >= 0 with b t^2 + t = 32 |c|, signed like c.
double ForceComponent(double c, double b)
{
    if (c == 0.0) return 0.0;
    const double t = (std::sqrt(1.0 + 128.0 * b * std::fabs(c)) - 1.0) / (2.0 * b);
    return c < 0.0 ? -t : t;
}

}  // namespace

// ------------------------------------------------------------------ conversions

int32_t HalfBlocksToPixels(int8_t n)
{
    return n * 16;
}

double PercentToSpeed(int16_t n)
{
    return n * 0.01 / SpeedDivisor();
}

double PerSecondStep(double x)
{
    return x / SubStepsD() * 0.016666666666666666;
}

double JumpSpeedForHeight(double h, const cGameObject* lpObject)
{
    const double g = g_Stage.m_dGravityStep;
    const double dRoot = (8.0 * h + g) * g;
    // No gravity, or a height below what one sub-step of gravity covers: no jump.
    if (!(dRoot >= 0.0) || !std::isfinite(dRoot)) return 0.0;
    double v = (-g - std::sqrt(dRoot)) * 0.5;
    if (lpObject != nullptr && lpObject->m_nSide == 0) v *= 0.99 - 0.025 * g_Stage.m_dGravity;
    return std::isfinite(v) ? v : 0.0;
}

double JumpSpeedForHalfBlocks(int8_t n, const cGameObject* lpObject)
{
    return JumpSpeedForHeight(n * 16, lpObject);
}

int32_t FramesToApex(double v)
{
    const double g = g_Stage.m_dGravityStep;
    const int32_t b = SubSteps();
    // Without gravity a jump never turns: it counts as no rise at all.
    if (g == 0.0) return b;
    const double d = b - v / g;
    if (!std::isfinite(d)) return b;
    return TruncToInt32(d);
}

int32_t JumpTimeForHalfBlocks(int8_t n, const cGameObject* lpObject)
{
    const int32_t b = SubSteps();
    return FramesToApex(JumpSpeedForHalfBlocks(n, lpObject)) / b / 6 + 1;
}

void ForceFromImpact(double& dOutX, double& dOutY, int8_t nImpact, double dx, double dy)
{
    if (nImpact == 0) return;
    const double f = std::fabs(dx) + std::fabs(dy);
    if (f == 0.0 || !std::isfinite(f)) {
        dOutX = 0.0;
        dOutY = 0.0;
        return;
    }
    const double u = dx * nImpact / f;
    const double w = dy * nImpact / f;
    const double b = SubStepsD();
    dOutX = ForceComponent(u, b);
    dOutY = ForceComponent(w, b);
}

double CircleStep(double r, double n, double& dPhase, double dStep, double dOffset)
{
    const double b = SubStepsD();
    const double k = 0.017453292519943295;
    const double a = n * k;
    const double dResult = a * std::cos(a * (dPhase / b + dOffset)) * r / b;
    dPhase += dStep;
    if (dPhase >= 360.0 * b) dPhase -= 360.0 * b;
    return dResult;
}

double CircleStepY(double r, double n, double& dPhase, double dStep, double dOffset)
{
    const double b = SubStepsD();
    const double k = 0.017453292519943295;
    const double a = n * k;
    const double dResult = -(a * a) * r * std::sin(a * (dPhase / b + dOffset)) / (b * b);
    dPhase += dStep;
    if (dPhase >= 360.0 * b) dPhase -= 360.0 * b;
    return dResult;
}

// ------------------------------------------------------------------ object integration and clamps

int32_t cGameObject::StepMoveX(int32_t nMode)
{
    const double dLimit = g_Stage.m_dSpeedLimitStep;
    if (m_dSpeedX > dLimit) m_dSpeedX = dLimit;
    if (m_dSpeedX < -dLimit) m_dSpeedX = -dLimit;
    m_dX += m_dSpeedX;
    return ClampX(nMode);
}

int32_t cGameObject::StepMoveY(int32_t nMode)
{
    const double dLimit = g_Stage.m_dSpeedLimitStep;
    if (m_dSpeedY > dLimit) m_dSpeedY = dLimit;
    if (m_dSpeedY < -dLimit) m_dSpeedY = -dLimit;
    m_dY += m_dSpeedY;
    return ClampY(nMode);
}

int32_t cGameObject::ClampX(int32_t nMode)
{
    const AxisView v = ViewOf(0);
    const int32_t w = m_nHitWidth;
    double& x = m_dX;
    int32_t nResult = 0;
    auto outsideScroll = [&]() { return x < v.nScrollMin || x + w - 1 >= v.nScrollMax; };
    switch (nMode) {
    case 0:
        if (x < v.nScrollMin)
            x = v.nScrollMin;
        else if (x + w - 1 >= v.nScrollMax)
            x = static_cast<double>(v.nScrollMax) - w;
        break;
    case 1:
        if (x < v.nStageMin)
            x = v.nStageMin;
        else if (x + w - 1 >= v.nStageMax)
            x = static_cast<double>(v.nStageMax) - w;
        else if (outsideScroll())
            nResult = 1;
        break;
    case 2:
        if (x < 0.0) {
            x = 0.0;
            nResult = 3;
        } else if (x + w - 1 >= v.nMapLength) {
            x = static_cast<double>(v.nMapLength) - w;
            nResult = 3;
        } else if (x < v.nStageMin || x + w - 1 >= v.nStageMax) {
            nResult = 2;
        } else if (outsideScroll()) {
            nResult = 1;
        }
        break;
    default:
        break;
    }
    m_dRight = x + w - 1;
    UpdateBoxesX();
    m_nCellLeft = CellOfEdge(x);
    m_nCellRight = CellOfEdge(m_dRight);
    return nResult;
}

int32_t cGameObject::ClampY(int32_t nMode)
{
    const AxisView v = ViewOf(1);
    const int32_t h = m_nHitHeight;
    double& y = m_dY;
    int32_t nResult = 0;
    auto scrollResult = [&]() {
        if (y < v.nScrollMin) return 1;
        if (y + h - 1 >= v.nScrollMax) return 4;
        return 0;
    };
    switch (nMode) {
    case 0:
        if (y < v.nScrollMin)
            y = v.nScrollMin;
        else if (y + h - 1 >= v.nScrollMax)
            y = static_cast<double>(v.nScrollMax) - h;
        break;
    case 1:
        if (y < v.nStageMin)
            y = v.nStageMin;
        else if (y + h - 1 >= v.nStageMax)
            y = static_cast<double>(v.nStageMax) - h;
        else
            nResult = scrollResult();
        break;
    case 2:
        if (y < 0.0) {
            y = 0.0;
            nResult = 3;
        } else if (y + h - 1 >= v.nMapLength) {
            y = static_cast<double>(v.nMapLength) - h;
            nResult = 6;
        } else if (y < v.nStageMin) {
            nResult = 2;
        } else if (y + h - 1 >= v.nStageMax) {
            nResult = 5;
        } else {
            nResult = scrollResult();
        }
        break;
    default:
        break;
    }
    m_dBottom = y + h - 1;
    UpdateBoxesY();
    m_nCellTop = CellOfEdge(y);
    m_nCellBottom = CellOfEdge(m_dBottom);
    return nResult;
}

void cGameObject::ApplyGravityUnlessFlying()
{
    if (m_bFlying == 0) m_dSpeedY += g_Stage.m_dGravityStep;
}

void cGameObject::ApplyBrake(double& dSpeed, int32_t bFlag) const
{
    if (bFlag != 0) TowardZero(dSpeed, m_dStop);
}

// ------------------------------------------------------------------ screen and area tests

void cGameObject::GetScreenRect()
{
    const AxisView vx = ViewOf(0);
    const AxisView vy = ViewOf(1);
    m_nLeft = TruncToInt32((m_dX - m_nOffsetX) - TruncToInt32(vx.dScroll));
    m_nRight = m_nLeft + m_nWidth - 1;
    m_nTop = TruncToInt32((m_dY - m_nOffsetY) - TruncToInt32(vy.dScroll));
    m_nBottom = m_nTop + m_nHeight - 1;
}

int32_t cGameObject::IsOnScreen() const
{
    return IsOnScreenAxes(0, 0);
}

int32_t cGameObject::IsOnScreenAxes(int32_t bSkipX, int32_t bSkipY) const
{
    const double sx = ViewOf(0).dScroll;
    const double sy = ViewOf(1).dScroll;
    if (bSkipX == 0 && !(m_dRight >= sx && sx + 640 > m_dX)) return 0;
    if (bSkipY == 0 && !(m_dBottom >= sy && sy + 480 > m_dY)) return 0;
    return 1;
}

int32_t cGameObject::IsInsideStage(int32_t bWholeMap) const
{
    const AxisView vx = ViewOf(0);
    const AxisView vy = ViewOf(1);
    if (bWholeMap != 0)
        return m_dX >= 0 && m_dRight < vx.nMapLength && m_dY >= 0 && m_dBottom < vy.nMapLength;
    return vx.nStageMin <= m_dX && m_dRight < vx.nStageMax && vy.nStageMin <= m_dY &&
           m_dBottom < vy.nStageMax;
}

int32_t cGameObject::IsInScrollRange(const cEdStageSetting& setting) const
{
    if (m_bOnScreen != 0) return 0;
    const AxisView vx = ViewOf(0);
    const AxisView vy = ViewOf(1);
    const double sx = vx.dScroll;
    const double sy = vy.dScroll;
    if (setting.m_bCheckLeft != 0 && m_dRight <= TruncToInt32(sx - 32.0 * setting.m_nMarginLeft))
        return 1;
    if (setting.m_bCheckRight != 0 && TruncToInt32(sx + 32.0 * setting.m_nMarginRight + 640) <= m_dX)
        return 1;
    if (setting.m_bCheckBottom != 0 && TruncToInt32(sy + 32.0 * setting.m_nMarginBottom + 480) <= m_dY)
        return 1;
    if (setting.m_bCheckTop != 0 && TruncToInt32(sy - 32.0 * setting.m_nMarginTop) >= m_dBottom)
        return 1;
    if (m_dX <= 0 || m_dRight >= vx.nMapLength - 1 || m_dY <= 0 || m_dBottom >= vy.nMapLength - 1)
        return 1;
    return 0;
}

int32_t cGameObject::CheckBlocksX() const
{
    const int32_t aCells[4][2] = {{m_nCellLeft, m_nCellTop},
                                  {m_nCellLeft, m_nCellBottom},
                                  {m_nCellRight, m_nCellTop},
                                  {m_nCellRight, m_nCellBottom}};
    for (const auto& cell : aCells) {
        // A corner outside the map (an unclamped object) has no block rather than reading a
        // cell of another row.
        BLOCKCELL* lpCell = BlockMap.Find(BlockMap.IndexOf(cell[0], cell[1]));
        if (lpCell != nullptr && lpCell->IsActive(m_nFaction) != 0) return 1;
    }
    return 0;
}

int32_t cGameObject::CheckBlocksY(int32_t nIgnored) const
{
    (void)nIgnored;
    return CheckBlocksX();
}

// ------------------------------------------------------------------ characters

void cCharaBase::SetBlockX(int32_t bx)
{
    m_dX = (static_cast<double>(bx) + BlockOrigin(0)) * 32 + m_nOffsetX + 0.5;
    const int32_t s = m_Def.m_nGiant;
    m_dX -= static_cast<double>(s - 1) * (m_nBaseHitWidth / 2);
    ClampX(2);
    OnMovedX();
}

void cCharaBase::SetBlockY(int32_t by)
{
    m_dY = (static_cast<double>(by) + BlockOrigin(1)) * 32 + m_nOffsetY;
    KeepBottomOnRescale(m_Def.m_nGiant, 1);
    OnMovedY();
}

void cCharaBase::SetBlockPosition(int32_t bx, int32_t by)
{
    SetBlockX(bx);
    SetBlockY(by);
}

void cCharaBase::ApplyGravity()
{
    if (m_bFlying != 0 || m_bRiding != 0 || m_bGravityHold != 0 || m_dForceY < 0.0) return;
    m_dSpeedY += g_Stage.m_dGravityStep;
}

int32_t cCharaBase::IsOnGround() const
{
    if (m_lpStandBlock != nullptr && m_lpStandBlock->IsActive(m_nFaction) != 0) return 1;
    return m_bRiding != 0 ? 1 : 0;
}

void cCharaBase::ClearContactFlags()
{
    m_bContactLeft = 0;
    m_bContactRight = 0;
    m_bContactTop = 0;
    m_bContactBottom = 0;
}

void cCharaBase::LandOnGround()
{
    m_dSpeedY = 0.0;
    m_dAccelY = 0.0;
    m_bContactBottom = 1;
    m_nFallCount = 0;
    m_bAirborne = 0;
    m_bJumping = 0;
    m_bJumpEnded = 0;
    m_bKnocked = 0;
    if (m_nSide != 0) m_bNewJumpBlock = 0;
    // The bottom goes to the last pixel row above the grid line it crossed; the fraction stays.
    m_dY -= (TruncToInt32(m_dBottom) & 31) + 1;
    OnMovedY();
    FireFlows(this, 9);
    FireFlows(this, 13);
    FireFlows(this, 15);
}

void cCharaBase::HitCeiling()
{
    m_bJumpEnded = 1;
    m_bJumping = 1;
    m_bContactTop = 1;
    m_bNewJumpBlock = 1;
    m_dSpeedY = 0.0;
    m_dAccelY = 0.0;
    // The top goes down to the next grid line; the fraction stays.
    m_dY += 32 - (TruncToInt32(m_dY) & 31);
    OnMovedY();
    FireFlows(this, 9);
    FireFlows(this, 13);
    FireFlows(this, 14);
}

void cCharaBase::EndVerticalPush(int32_t bBump)
{
    m_bRiding = 0;
    if (m_dForceY == 0.0) m_dSpeedY = 0.0;
    if (bBump != 0) m_bBumped = 1;
}

void cCharaBase::SavePreviousPosition()
{
    m_dPrevX = m_dX;
    m_dPrevY = m_dY;
    m_dPrevRight = m_dRight;
    m_dPrevBottom = m_dBottom;
}

void cCharaBase::RestorePreviousPosition()
{
    m_dX = m_dPrevX;
    m_dY = m_dPrevY;
    m_dRight = m_dPrevRight;
    m_dBottom = m_dPrevBottom;
}

void cCharaBase::ApplyImpact(int8_t nImpact, double dx, double dy)
{
    if (nImpact == 0) return;
    const int32_t nDefence = m_Def.m_nImpDef;
    int32_t i = nImpact;
    if (i < 0) {
        i += nDefence;
        i = i < -20 ? -20 : (i > 0 ? 0 : i);
    } else {
        i -= nDefence;
        i = i < 0 ? 0 : (i > 20 ? 20 : i);
    }
    // A defence that swallows the whole impact leaves the character untouched.
    if (i == 0) return;
    ForceFromImpact(m_dForceX, m_dForceY, static_cast<int8_t>(i), dx, dy);
    const double e = 1e-8;
    auto opposes = [e](double a, double b) { return (a > e && b < -e) || (a < -e && b > e); };
    if (m_dAccelX != 0.0 && opposes(m_dAccelX, m_dForceX)) m_dAccelX = 0.0;
    if (m_dAccelY != 0.0 && opposes(m_dAccelY, m_dForceY)) m_dAccelY = 0.0;
    if (m_dSpeedY != 0.0 && opposes(m_dSpeedY, m_dForceY)) m_dSpeedY = 0.0;
    m_bKnocked = 1;
}

void cCharaBase::ImpactFromCharacter(const cCharaBase* lpAttacker)
{
    if (lpAttacker == nullptr) return;
    const double dx = lpAttacker->m_dSpeedX;
    double dy = lpAttacker->m_dSpeedY;
    // A walker's own fall is not a push.
    if (lpAttacker->m_Def.m_nFlying == 0 && dy < g_Stage.m_nAirThreshold * g_Stage.m_dGravityStep) dy = 0.0;
    ApplyImpact(lpAttacker->m_Def.m_nImp, dx, dy);
}

void cCharaBase::ImpactFromShot(const cShot* lpShot)
{
    if (lpShot == nullptr) return;
    if (lpShot->m_bIsShot == 0)
        ApplyImpact(lpShot->m_Rec.m_nImpact, lpShot->FacingSign(), 0.0);
    else
        ApplyImpact(lpShot->m_Rec.m_nImpact, lpShot->m_dSpeedX, lpShot->m_dSpeedY);
}

void cCharaBase::ApplyForceY()
{
    if (m_dForceY != 0.0) {
        if (m_bFlying != 0)
            m_dSpeedY += m_dForceY;
        else if (m_dForceY > 0.0 && IsOnGround() != 0)
            m_dForceY = 0.0;
        else
            m_dSpeedY = m_dSpeedY - m_dLastForceY + m_dForceY;
    }
    m_dLastForceY = m_dForceY;
}

void cCharaBase::CountDownForceX()
{
    TowardZero(m_dForceX, 1.0 / SubStepsD());
}

void cCharaBase::CountDownForceY()
{
    TowardZero(m_dForceY, 1.0 / SubStepsD());
}
