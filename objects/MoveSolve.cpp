// Movement solving: the helpers that turn a movement command's settings into a velocity per
// sub-step (direction codes, aiming, walking and turning at walls and ledges, keeping inside the
// screen), the application of that velocity, and the preparations the movement kinds get when a
// flow instance is built.
//
// Positions handed to the aiming helpers are screen pixels (graphic rectangles); the scroll's
// automatic speed is added or subtracted so that an object keeps its aim whether it and its target
// ride with the screen or stay in the stage.
#include <cmath>
#include <cstdint>

#include "data/EdCommand.h"
#include "objects/PlayNumbers.h"
#include "data/EdMove.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "flows/FlowBuild.h"
#include "flows/FlowInstance.h"
#include "media/input/KeyInput.h"
#include "objects/CharaBase.h"
#include "objects/Motion.h"
#include "objects/MoveSolve.h"
#include "stage/BlockMap.h"
#include "stage/CharaList.h"
#include "stage/PlayState.h"

const double DiagonalFactor = 1.0 / std::sqrt(2.0);

namespace {

const cEdMove* MoveOf(const cCommandInstance* lpInst)
{
    if (lpInst == nullptr || lpInst->m_lpCmd == nullptr) return nullptr;
    return lpInst->m_lpCmd->m_lpMove.get();
}

// The automatic scroll speed of an axis while it scrolls by itself; 0 otherwise.
double ActiveScroll(const cScrollAxis& axis)
{
    return (axis.m_dSpeed != 0.0 && axis.m_bEdge == 0) ? axis.m_dSpeed : 0.0;
}

double ActiveScrollX()
{
    cPlayState* lpState = PlayState();
    return lpState != nullptr ? ActiveScroll(lpState->m_ScrollX) : 0.0;
}

double ActiveScrollY()
{
    cPlayState* lpState = PlayState();
    return lpState != nullptr ? ActiveScroll(lpState->m_ScrollY) : 0.0;
}

int32_t RequestFromVelocity(double vx)
{
    if (vx < 0.0) return 1;
    if (vx > 0.0) return 2;
    return 0;
}

// Whether the block under a cell of the map is solid for a faction; cells outside the map are not.
bool CellActive(int32_t x, int32_t y, int32_t nFaction)
{
    BLOCKCELL* lpCell = BlockMap.Find(BlockMap.IndexOf(x, y));
    return lpCell != nullptr && lpCell->IsActive(nFaction) != 0;
}

}  // namespace

// ------------------------------------------------------------------ angle, offsets, codes

void cCharaBase::GetMoveAngle(cCommandInstance* lpInst)
{
    const cEdMove* lpMove = MoveOf(lpInst);
    if (lpMove == nullptr) return;
    int32_t nAngle = m_nFormationIndex * lpMove->m_nAngleStep + lpMove->m_nAngle;
    if (lpMove->m_bMirrorAngle != 0 && m_Def.m_nStartDir == 1) nAngle = 360 - nAngle;
    // A large angle from a file comes down in one step rather than a loop of subtractions.
    if (nAngle >= 360) nAngle %= 360;
    lpInst->m_nAngle = nAngle;
}

void cCharaBase::GetMoveTargetOffset(cCommandInstance* lpInst)
{
    const cEdMove* lpMove = MoveOf(lpInst);
    if (lpMove == nullptr) return;
    int32_t x = lpMove->m_nTargetXBlocks * 32 + lpMove->m_nTargetXDots;
    int32_t y = lpMove->m_nTargetYBlocks * 32 + lpMove->m_nTargetYDots;
    if (m_Def.m_nStartDir == 1) {
        if (lpMove->m_bMirrorX != 0) x = -x;
        if (lpMove->m_bMirrorY != 0) y = -y;
    }
    lpInst->m_nTargetX = x;
    lpInst->m_nTargetY = y;
}

int32_t cCharaBase::GetDirectionCode(int32_t nChoice, int32_t bUseInput, int32_t bKeepDiagonals)
{
    const bool bRight = m_nDir == 1;
    int32_t nCode = nChoice;
    switch (nChoice) {
    case 0: nCode = bRight ? 3 : 2; break;
    case 1: nCode = bRight ? 2 : 3; break;
    case 4: nCode = bRight ? 7 : 6; break;
    case 5: nCode = bRight ? 6 : 7; break;
    case 12: {
        int32_t d = 0;
        if (bUseInput != 0) {
            if (!InputStates.empty()) d = FirstSetEntryIndex(InputStates[0]);
        } else {
            cPlayState* lpState = PlayState();
            if (lpState != nullptr && lpState->m_lpCurFlow != nullptr) d = lpState->m_lpCurFlow->m_nStartDir;
        }
        static constexpr int32_t kCodes[10] = {0, 2, 3, 6, 7, 8, 9, 10, 11, 0};
        if (d == 0)
            nCode = bRight ? 3 : 2;
        else if (d > 0 && d < 10)
            nCode = kCodes[d];
        else
            nCode = 0;
        break;
    }
    default: break;
    }
    if (bKeepDiagonals == 0) {
        if (nCode == 8 || nCode == 9) nCode = 2;
        if (nCode == 10 || nCode == 11) nCode = 3;
    }
    return nCode;
}

void cCharaBase::GetMoveTargetPoint(double& dX, double& dY, const cCommandInstance* lpInst) const
{
    const cEdMove* lpMove = MoveOf(lpInst);
    const bool bFixX = lpMove != nullptr && lpMove->m_bFixX != 0;
    const bool bFixY = lpMove != nullptr && lpMove->m_bFixY != 0;
    const int32_t cx = m_nLeft + m_nWidth / 2;
    const int32_t cy = m_nTop + m_nHeight / 2;
    if (!(bFixX && !bFixY)) dX = static_cast<double>(cx + lpInst->m_nTargetX);
    if (!bFixY) dY = static_cast<double>(cy + lpInst->m_nTargetY);
}

// ------------------------------------------------------------------ speeds from a direction

void cCharaBase::SpeedFromDirection(double& vx, double& vy, int32_t& nRequest, double v, int32_t nChoice)
{
    const int32_t nCode = GetDirectionCode(nChoice, 0, m_bFlying);
    const bool bFlying = m_bFlying != 0;
    const bool bTurn = m_Def.m_bFixedDir == 0;
    vx = 0.0;
    vy = 0.0;
    int32_t r = -1;
    switch (nCode) {
    case 2: vx = -v; r = 1; break;
    case 3: vx = v; r = 2; break;
    case 6: if (bFlying) vy = -v; r = 0; break;
    case 7: if (bFlying) vy = v; r = 0; break;
    case 8: vx = -v * DiagonalFactor; if (bFlying) vy = -v * DiagonalFactor; r = 1; break;
    case 9: vx = -v * DiagonalFactor; vy = v * DiagonalFactor; r = 1; break;
    case 10: vx = v * DiagonalFactor; vy = -v * DiagonalFactor; r = 2; break;
    case 11: vx = v * DiagonalFactor; vy = v * DiagonalFactor; r = 2; break;
    default: return;
    }
    if (bTurn) nRequest = r;
}

void cCharaBase::SpeedFromDirectionTimed(double& vx, double& vy, int32_t& nRequest, double v,
                                         int32_t nChoice, int32_t nAngle)
{
    const int32_t nCode = GetDirectionCode(nChoice, 0, m_bFlying);
    int32_t nBase = 0, r = 0;
    switch (nCode) {
    case 2: nBase = 0; r = 1; break;
    case 3: nBase = 180; r = 2; break;
    case 6: nBase = 90; r = 0; break;
    case 7: nBase = 270; r = 0; break;
    case 8: nBase = 45; r = 1; break;
    case 9: nBase = 315; r = 1; break;
    case 10: nBase = 135; r = 2; break;
    case 11: nBase = 225; r = 2; break;
    default:
        vx = 0.0;
        vy = 0.0;
        return;
    }
    const double t = static_cast<double>(static_cast<int64_t>(nAngle) + nBase) * 0.017453292519943278;
    vx = -std::cos(t) * v;
    vy = m_bFlying != 0 ? -std::sin(t) * v : 0.0;
    if (m_Def.m_bFixedDir == 0) nRequest = r;
}

// ------------------------------------------------------------------ target coordinates

void cCharaBase::SetupMoveHelper(double& vx, double& vy, int32_t& nRequest, double v, int32_t nOffsetX,
                                 int32_t nOffsetY, const cEdMove& move, int32_t& nRemaining)
{
    cPlayState* lpState = PlayState();
    const double sx = lpState != nullptr ? lpState->m_ScrollX.m_dPosition : 0.0;
    const double sy = lpState != nullptr ? lpState->m_ScrollY.m_dPosition : 0.0;
    const double ox = lpState != nullptr ? lpState->m_ScrollX.m_nBlockOrigin : 0;
    const double oy = lpState != nullptr ? lpState->m_ScrollY.m_nBlockOrigin : 0;
    const double cx = m_nLeft + m_nWidth / 2;
    const double cy = m_nTop + m_nHeight / 2;
    double dx = 0.0, dy = 0.0;
    switch (move.m_nCoordMode) {
    case 0:
        dx = (nOffsetX + m_dStartX) - (cx + sx);
        dy = (nOffsetY + m_dStartY) - (cy + sy);
        break;
    case 1:
        dx = nOffsetX;
        dy = nOffsetY;
        break;
    case 2:
        dx = (ox * 32 + nOffsetX + 16) - (cx + sx);
        dy = (oy * 32 + nOffsetY + 16) - (cy + sy);
        break;
    case 3:
        dx = (nOffsetX + sx + 16) - (cx + sx);
        dy = (nOffsetY + sy + 16) - (cy + sy);
        break;
    default:
        break;
    }
    if (move.m_bUseX == 0) dx = 0.0;
    if (move.m_bUseY == 0) dy = 0.0;
    const double l = std::sqrt(dx * dx + dy * dy);
    if (l == 0.0) {
        vx = 0.0;
        vy = 0.0;
    } else {
        vx = move.m_bFixX != 0 ? 0.0 : dx / l * v;
        vy = move.m_bFixY != 0 ? 0.0 : dy / l * v;
    }
    if (m_Def.m_bFixedDir == 0) {
        if (vx < -1e-8)
            nRequest = 1;
        else if (vx > 1e-8)
            nRequest = 2;
        else
            nRequest = 0;
    }
    if (move.m_bArriveStop != 0 && v != 0.0) {
        nRemaining = TruncToInt32(std::fabs(l) / std::fabs(v));
        if (move.m_bStopOnZeroTime != 0 && nRemaining <= 0) {
            if (move.m_bUseX != 0 && move.m_bFixX == 0) {
                vx = 0.0;
                nRequest = 0;
            }
            if (move.m_bUseY != 0 && move.m_bFixY == 0) vy = 0.0;
        }
    }
}

// ------------------------------------------------------------------ walking and the screen edge

void cCharaBase::SetupFacingSpeed(cCommandInstance* lpInst, const cEdMove& move)
{
    (void)move;
    lpInst->m_dVelY = 0.0;
    lpInst->m_nFaceRequest = 0;
    double vx = FacingSign() * lpInst->m_dSpeed;
    if (m_bBumped != 0) {
        const bool bRight = m_nDir == 1;
        lpInst->m_nFaceRequest = bRight ? 1 : 2;
        vx = -vx;
        for (cChara& chara : CharaList) {
            if (chara.m_nKey != m_nRiddenKey) continue;
            const double d = chara.m_dX - m_dRiddenX;
            if ((bRight && d < 0.0) || (!bRight && d > 0.0))
                vx = 2.0 * d + vx;
            else
                vx = d + vx;
            break;
        }
        m_bBumped = 0;
    } else {
        int32_t nRow = TruncToInt32(m_dBottom + 1.1) >> 5;
        if (BlockMap.Rows() > 0 && nRow > BlockMap.Rows() - 1) nRow = BlockMap.Rows() - 1;
        const bool bLeft = CellActive(m_nCellLeft, nRow, m_nFaction);
        const bool bRightCell = CellActive(m_nCellRight, nRow, m_nFaction);
        if (bLeft && !bRightCell) lpInst->m_nFaceRequest = 1;
        else if (!bLeft && bRightCell) lpInst->m_nFaceRequest = 2;
    }
    lpInst->m_dVelX = vx;
}

void cCharaBase::SetupDirectionMove(cCommandInstance* lpInst, const cEdMove& move)
{
    const int32_t nCode = GetDirectionCode(move.m_nDirection, 0, 1);
    const bool bLeft = nCode == 2 || nCode == 8 || nCode == 9;
    const bool bRight = nCode == 3 || nCode == 10 || nCode == 11;
    const bool bUp = nCode == 6 || nCode == 8 || nCode == 10;
    const bool bDown = nCode == 7 || nCode == 9 || nCode == 11;
    const double v = lpInst->m_dSpeed;
    double& vx = lpInst->m_dVelX;
    double& vy = lpInst->m_dVelY;
    vx = 0.0;
    vy = 0.0;
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return;
    const cScrollAxis& ax = lpState->m_ScrollX;
    const cScrollAxis& ay = lpState->m_ScrollY;
    if (ax.m_dSpeed == 0.0 || ax.m_bEdge != 0) {
        if (bLeft) {
            if (m_nLeft > 608) vx = -v;
        } else if (bRight) {
            if (m_nRight < 32) vx = v;
        }
        if (bUp) {
            if (m_nTop > 448) vy = -v;
        } else if (bDown) {
            if (m_nBottom < 32) vy = v;
        }
        return;
    }
    const double s = ax.m_dSpeed, t = ay.m_dSpeed;
    const double px = ax.m_dPosition, py = ay.m_dPosition;
    const double W = ax.m_nStageExtent, H = ay.m_nStageExtent;
    if (bLeft) {
        if (608 - std::fabs(s + 1) < m_nLeft && px > 0 && px + s <= W - 640) vx = s - v;
    } else if (bRight) {
        if (std::fabs(s + 1) + 32 > m_nRight && px + s > 0 && px < W - 640) vx = s + v;
    }
    if (bUp) {
        if (448 - std::fabs(t + 1) < m_nTop && py > 0 && py + t <= H - 480) vy = t - v;
    } else if (bDown) {
        if (std::fabs(t + 1) + 32 > m_nBottom && py + t > 0 && py < H - 480) vy = t + v;
    }
}

// ------------------------------------------------------------------ applying a velocity

void cCharaBase::ApplyMovement(double vx, double vy, int32_t nRequest, cCommandInstance* lpInst,
                               const cEdMove& move, int32_t bForced)
{
    if ((m_Def.m_bFixedDir == 0 || bForced != 0) && move.m_bKeepFacing == 0) {
        if (nRequest == 1) m_nDir = 0;
        else if (nRequest == 2) m_nDir = 1;
    }
    if (move.m_bInertia != 0) {
        const double dMax = lpInst != nullptr ? lpInst->m_dMaxSpeed : 0.0;
        auto axis = [&](double& dInertia, int32_t& bBrake, double v) {
            if ((dInertia < 0.0 && 0.0 < v) || (dInertia > 0.0 && 0.0 > v)) {
                dInertia += PerSecondStep(v) * move.m_dInertiaFactor;
            } else {
                bBrake = 0;
                dInertia += PerSecondStep(v);
            }
            if (dInertia > dMax) dInertia = dMax;
            if (dInertia < -dMax) dInertia = -dMax;
        };
        axis(m_dAccelX, m_bBrakeX, vx);
        axis(m_dAccelY, m_bBrakeY, vy);
    } else {
        m_dSpeedX += vx;
        m_dSpeedY += vy;
    }
    if (move.m_bNoWalkAnime == 0) {
        m_bMoved = 1;
        m_Anime.ChangePattern(m_bFlying != 0 ? 3 : 1, 1);
    }
}

// ------------------------------------------------------------------ aiming

void cCharaBase::SolveMovement(cCommandInstance* lpInst, const cEdMove& move, cGameObject* lpTarget,
                               double dGoalX, double dGoalY)
{
    if (move.m_bFixX != 0 && move.m_bFixY == 0)
        SolveMovementY(lpInst, move, lpTarget, dGoalY);
    else if (move.m_bFixX == 0 && move.m_bFixY == 0)
        SolveMovement2D(lpInst, move, lpTarget, dGoalX, dGoalY);
    else
        SolveMovementX(lpInst, move, lpTarget, dGoalX);
}

void cCharaBase::SolveMovement2D(cCommandInstance* lpInst, const cEdMove& move, cGameObject* lpTarget,
                                 double dGoalX, double dGoalY)
{
    const double cx = m_nLeft + m_nWidth / 2;
    const double cy = m_nTop + m_nHeight / 2;
    const int32_t r = AimVelocity(lpInst->m_dVelX, lpInst->m_dVelY, lpInst->m_nFaceRequest, lpTarget, cx, cy,
                                  dGoalX, dGoalY, lpInst->m_dSpeed, m_bScreenFixed, 0, move.m_bStopOnZeroTime);
    if (r == 1 && move.m_bStopOnZeroTime != 0)
        MoveCenterToResetMove(TruncToInt32(dGoalX), TruncToInt32(dGoalY), lpInst);
}

void cCharaBase::SolveMovementX(cCommandInstance* lpInst, const cEdMove& move, cGameObject* lpTarget,
                                double dGoalX)
{
    const double cx = m_nLeft + m_nWidth / 2;
    const int32_t r = StepTowardX(lpInst->m_dVelX, lpInst->m_dVelY, lpInst->m_nFaceRequest, lpTarget, cx, dGoalX,
                                  lpInst->m_dSpeed, m_bScreenFixed, move.m_bStopOnZeroTime);
    if (r == 1 && move.m_bStopOnZeroTime != 0) MoveCenterXToResetMove(TruncToInt32(dGoalX), lpInst);
}

void cCharaBase::SolveMovementY(cCommandInstance* lpInst, const cEdMove& move, cGameObject* lpTarget,
                                double dGoalY)
{
    const double cy = m_nTop + m_nHeight / 2;
    const int32_t r = StepTowardY(lpInst->m_dVelX, lpInst->m_dVelY, lpInst->m_nFaceRequest, lpTarget, cy, dGoalY,
                                  lpInst->m_dSpeed, m_bScreenFixed, move.m_bStopOnZeroTime);
    if (r == 1 && move.m_bStopOnZeroTime != 0) MoveCenterYToResetMove(TruncToInt32(dGoalY), lpInst);
}

// The target moves with the scroll (Q, O per sub-step) while the shooter does not: the velocity
// of length |v| that meets it. False, with the velocity as far as it got, when a divisor is 0;
// the velocity untouched when the target cannot be met at that speed.
static bool Intercept(double& vx, double& vy, double x, double y, double dGoalX, double dGoalY, double dx, double dy,
                      double Q, double O)
{
    const double V2 = vx * vx + vy * vy;
    if (std::fabs(dy) < std::fabs(dx)) {
        const double dx2 = dx * dx;
        if (dx2 == 0.0) return false;
        const double W = dy * dy / dx2 + 1.0;
        const double Y = (2.0 * Q * (dy * dy) - 2.0 * O * dx * dy) / dx2;
        const double R = O * O * dx2 + Q * Q * (dy * dy) - 2.0 * O * Q * dx * dy;
        const double dRadicand = Y * Y - 4.0 * W * (R / dx2 - V2);
        // Too slow to meet the target: the plain aim stays.
        if (!(dRadicand >= 0.0)) return true;
        const double Z = std::sqrt(dRadicand);
        if (W == 0.0) return false;
        double u = (Y + Z) / (2.0 * W);
        if (dx < 0.0) u = -u;
        vx = u;
        if (Q - vx == 0.0) return false;
        const double T = (x - dGoalX) / (Q - vx);
        if (T == 0.0) return false;
        vy = (dy + O * T) / T;
    } else {
        const double dy2 = dy * dy;
        if (dy2 == 0.0) return false;
        const double W = dx * dx / dy2 + 1.0;
        const double Y = (2.0 * O * (dx * dx) - 2.0 * Q * dx * dy) / dy2;
        const double R = O * O * (dx * dx) + Q * Q * dy2 - 2.0 * O * Q * dx * dy;
        const double dRadicand = Y * Y - 4.0 * W * (R / dy2 - V2);
        if (!(dRadicand >= 0.0)) return true;
        const double Z = std::sqrt(dRadicand);
        if (W == 0.0) return false;
        double u = (Y + Z) / (2.0 * W);
        if (dy < 0.0) u = -u;
        vy = u;
        if (O - vy == 0.0) return false;
        const double T = (y - dGoalY) / (O - vy);
        if (T == 0.0) return false;
        vx = (dx + Q * T) / T;
    }
    return true;
}

int32_t AimVelocity(double& vx, double& vy, int32_t& nRequest, const cGameObject* lpTarget, double x, double y,
                    double dGoalX, double dGoalY, double t, int32_t bSelfFixed, int32_t bAllowNegative,
                    int32_t bArrive)
{
    const double dx = dGoalX - x;
    const double dy = dGoalY - y;
    const double sx = ActiveScrollX();
    const double sy = ActiveScrollY();
    const bool bFollow = g_System.AimFollowsScroll() != 0;
    const bool bTargetFixed = lpTarget != nullptr && lpTarget->m_bScreenFixed != 0;

    if (t < 0.0 && bAllowNegative == 0) {
        const double u = std::fabs(t) / std::sqrt(2.0);
        vx = x < dGoalX ? -u : u;
        vy = y < dGoalY ? -u : u;
        nRequest = RequestFromVelocity(vx);
        if (bFollow) {
            vx += sx;
            vy += sy;
        } else if (lpTarget != nullptr && ((bSelfFixed != 0) != bTargetFixed)) {
            vx -= sx;
            vy -= sy;
        }
        return 0;
    }

    double E = std::sqrt(dx * dx + dy * dy);
    if (E == 0.0) E = 1.0;
    vx = t * dx / E;
    vy = t * dy / E;
    if (bFollow) {
        vx += sx;
        vy += sy;
    } else if (lpTarget != nullptr) {
        if (bSelfFixed != 0) {
            if (!bTargetFixed) {
                vx -= sx;
                vy -= sy;
            }
        } else if (!bTargetFixed) {
            vx -= sx;
            vy -= sy;
        } else if (sx != 0.0 || sy != 0.0) {
            if (!Intercept(vx, vy, x, y, dGoalX, dGoalY, dx, dy, sx, sy)) return 0;
        }
    }
    nRequest = RequestFromVelocity(vx);
    if (bArrive != 0) return (std::fabs(dx) < std::fabs(t) && std::fabs(dy) < std::fabs(t)) ? 1 : 0;
    return 0;
}

int32_t StepTowardX(double& vx, double& vy, int32_t& nRequest, const cGameObject* lpTarget, double x, double dGoalX,
                    double v, int32_t bSelfFixed, int32_t bArrive)
{
    if (x >= dGoalX) {
        nRequest = 1;
        vx = -v;
    } else {
        nRequest = 2;
        vx = v;
    }
    const double s = ActiveScrollX();
    if (bSelfFixed == 0 && lpTarget != nullptr && lpTarget->m_bScreenFixed != 0 && g_System.AimFollowsScroll() != 0 &&
        s != 0.0)
        vx = s + vx;
    vy = 0.0;
    return (bArrive != 0 && std::fabs(v) > std::fabs(x - dGoalX)) ? 1 : 0;
}

int32_t StepTowardY(double& vx, double& vy, int32_t& nRequest, const cGameObject* lpTarget, double y, double dGoalY,
                    double v, int32_t bSelfFixed, int32_t bArrive)
{
    vy = y >= dGoalY ? -v : v;
    nRequest = 0;
    const double s = ActiveScrollY();
    if (bSelfFixed == 0 && lpTarget != nullptr && lpTarget->m_bScreenFixed != 0 && g_System.AimFollowsScroll() != 0 &&
        s != 0.0)
        vy = s + vy;
    vx = 0.0;
    return (bArrive != 0 && std::fabs(v) > std::fabs(y - dGoalY)) ? 1 : 0;
}

// ------------------------------------------------------------------ preparations

void PrepareSolve(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    const cEdMove* lpMove = MoveOf(lpInst);
    if (lpMove == nullptr || lpMove->m_nSolveMode == 0) return;
    SolveTimeSpeedDistance(lpInst, *lpInst->m_lpCmd, lpObject->m_nFormationIndex);
}

void PrepareCircle(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    const cEdMove* lpMove = MoveOf(lpInst);
    if (lpMove == nullptr) return;
    const cEdMove& move = *lpMove;
    const int64_t b = SubSteps();
    const int64_t c = lpObject->m_nFormationIndex;
    int64_t nOffset = 0;
    if (lpObject->m_Def.m_nStartDir == 1) {
        if (move.m_bMirrorX != 0) {
            if (lpInst->m_nDirChoice == 0) lpInst->m_nDirChoice = 1;
            else if (lpInst->m_nDirChoice == 1) lpInst->m_nDirChoice = 0;
            nOffset = 180;
        }
        if (move.m_bMirrorY != 0) {
            if (lpInst->m_nDirChoice == 0) lpInst->m_nDirChoice = 1;
            else if (lpInst->m_nDirChoice == 1) lpInst->m_nDirChoice = 0;
        }
    }
    int64_t nRadius = move.m_nRadius + c * move.m_nRadiusStep;
    if (nRadius < 0) nRadius = 0;
    if (nRadius > 20) nRadius = 20;
    lpInst->m_nRadius = ClampToInt32(nRadius * 32 / 2 * b);
    const int64_t nStart = (nOffset + move.m_nAngle + c * move.m_nAngleStep) * b;
    const int64_t nEnd = (nOffset + move.m_nDistance + c * move.m_nDistanceStep) * b;
    lpInst->m_nStartPhase = ClampToInt32(nStart);
    lpInst->m_nEndPhase = ClampToInt32(nEnd);
    const double dSpan = move.m_nDistance > move.m_nAngle ? static_cast<double>(nEnd - nStart)
                                                          : static_cast<double>(nStart - nEnd);
    const double db = static_cast<double>(b);
    switch (move.m_nSolveMode) {
    case 0: {
        // A command of no time turns its whole span in its one step.
        const int32_t nSteps = lpInst->m_nInitialCount > 0 ? lpInst->m_nInitialCount : 1;
        lpInst->m_dSpeed = dSpan / nSteps / db;
        break;
    }
    case 1:
        // At speed 0 the circle never covers its span: the command keeps its own time.
        if (lpInst->m_dSpeed != 0.0) {
            const int32_t n = TruncToInt32(dSpan / lpInst->m_dSpeed / db);
            lpInst->m_nInitialCount = n == INT32_MIN ? INT32_MAX : (n < 0 ? -n : n);
        }
        break;
    default:
        break;
    }
}

void PrepareHoming(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    const cEdMove* lpMove = MoveOf(lpInst);
    if (lpMove == nullptr) return;
    const int64_t n = (static_cast<int64_t>(lpMove->m_nRadius) + lpObject->m_nFormationIndex * lpMove->m_nRadiusStep) *
                      SubSteps();
    lpInst->m_nRadius = ClampToInt32(n);
    PrepareSolve(lpObject, lpInst);
}

void PrepareJump(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpInst == nullptr || lpInst->m_lpCmd == nullptr) return;
    cEdCommand& cmd = *lpInst->m_lpCmd;
    const int8_t h = cmd.m_vParam.size() > 2 ? static_cast<int8_t>(cmd.m_vParam[2]) : 0;
    lpInst->m_dSpeed = JumpSpeedForHalfBlocks(h, lpObject);
    const int32_t nTime = JumpTimeForHalfBlocks(h, lpObject);
    cmd.m_nTime = static_cast<int16_t>(nTime < INT16_MIN ? INT16_MIN : (nTime > INT16_MAX ? INT16_MAX : nTime));
    lpInst->m_nInitialCount = ClampToInt32(static_cast<int64_t>(nTime) * SubSteps() * 6);
}

const MoveSetup MoveSetupTable[40] = {
    nullptr,       nullptr,       PrepareSolve, PrepareSolve, PrepareCircle, PrepareSolve, PrepareHoming,
    PrepareSolve,  nullptr,       nullptr,      PrepareJump,
};
