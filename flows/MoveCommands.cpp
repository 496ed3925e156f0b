// The movement commands: straight, walk and turn back, circle, charge, homing, keep inside the
// screen, cancel movement, change facing and jump. Each runs once per sub-step of its time and
// adds its velocity to the object's speeds (or inertia) through ApplyMovement; the first sub-step
// of a run is the one whose started flag or call counter is still 0.
#include <cmath>
#include <cstdint>

#include "data/EdCommand.h"
#include "objects/PlayNumbers.h"
#include "data/EdMove.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "flows/FlowInstance.h"
#include "flows/MoveCommands.h"
#include "objects/CharaBase.h"
#include "objects/Motion.h"
#include "objects/MoveSolve.h"
#include "stage/StageSounds.h"

namespace {

const cEdMove* MoveOf(const cCommandInstance* lpInst)
{
    if (lpInst == nullptr || lpInst->m_lpCmd == nullptr) return nullptr;
    return lpInst->m_lpCmd->m_lpMove.get();
}

int32_t Param(const cCommandInstance* lpInst, size_t i)
{
    const cEdCommand* lpCmd = lpInst->m_lpCmd;
    return (lpCmd != nullptr && i < lpCmd->m_vParam.size()) ? lpCmd->m_vParam[i] : 0;
}

void ClearScreenLocks(cCharaBase* lpObject)
{
    lpObject->m_bLockScreenX = 0;
    lpObject->m_bLockScreenY = 0;
}

// A target that is going away is no longer aimed at.
bool TargetGone(const cCharaBase* lpTarget)
{
    return lpTarget->m_bRemoved != 0 || lpTarget->m_bGone != 0;
}

double CentreX(const cGameObject& object)
{
    return object.m_nLeft + object.m_nWidth / 2;
}

}  // namespace

void CmdStraightMove(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    const cEdMove* lpMove = MoveOf(lpInst);
    if (lpObject == nullptr || lpMove == nullptr) return;
    const cEdMove& move = *lpMove;
    ClearScreenLocks(lpObject);
    if (lpInst->m_bStarted == 0) {
        lpInst->m_bStarted = 1;
        lpObject->GetMoveAngle(lpInst);
        if (move.m_nMode == 1) {
            lpObject->GetMoveTargetOffset(lpInst);
            lpObject->SetupMoveHelper(lpInst->m_dVelX, lpInst->m_dVelY, lpInst->m_nFaceRequest, lpInst->m_dSpeed,
                                      lpInst->m_nTargetX, lpInst->m_nTargetY, move, lpInst->m_nRemaining);
        } else if (lpInst->m_nAngle != 0) {
            lpObject->SpeedFromDirectionTimed(lpInst->m_dVelX, lpInst->m_dVelY, lpInst->m_nFaceRequest,
                                              lpInst->m_dSpeed, lpInst->m_nDirChoice, lpInst->m_nAngle);
        } else {
            lpObject->SpeedFromDirection(lpInst->m_dVelX, lpInst->m_dVelY, lpInst->m_nFaceRequest, lpInst->m_dSpeed,
                                         lpInst->m_nDirChoice);
        }
        if (lpObject->m_bFlying == 0) lpInst->m_dVelY = 0.0;
    } else {
        if (lpObject->m_bFlying == 0) lpInst->m_dVelY = 0.0;
        if (move.m_bReverseOnTurn != 0 && lpObject->m_Def.m_bFixedDir == 1 && lpObject->m_nDir != lpInst->m_nLastDir) {
            lpInst->m_dVelX = -lpInst->m_dVelX;
            lpInst->m_dVelY = -lpInst->m_dVelY;
        }
    }
    lpObject->ApplyMovement(lpInst->m_dVelX, lpInst->m_dVelY, lpInst->m_nFaceRequest, lpInst, move, 0);
    lpInst->m_nLastDir = lpObject->m_nDir;
}

void CmdGroundTurnMove(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    const cEdMove* lpMove = MoveOf(lpInst);
    if (lpObject == nullptr || lpMove == nullptr || lpObject->m_bFlying != 0) return;
    ClearScreenLocks(lpObject);
    if (lpObject->m_dForceX != 0.0 || lpObject->m_dForceY != 0.0) {
        // Knocked about: keep walking the way it faces, no turn.
        lpObject->ApplyMovement(lpObject->FacingSign() * lpInst->m_dSpeed, 0.0, 0, lpInst, *lpMove, 1);
        return;
    }
    lpObject->SetupFacingSpeed(lpInst, *lpMove);
    lpObject->ApplyMovement(lpInst->m_dVelX, lpInst->m_dVelY, lpInst->m_nFaceRequest, lpInst, *lpMove, 1);
}

void CmdCircleMove(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    const cEdMove* lpMove = MoveOf(lpInst);
    if (lpObject == nullptr || lpMove == nullptr || lpInst->m_nRadius == 0) return;
    const cEdMove& move = *lpMove;
    ClearScreenLocks(lpObject);
    if (lpInst->m_bStarted == 0) {
        lpInst->m_bStarted = 1;
        lpInst->m_dPhase1 = lpInst->m_nStartPhase;
        lpInst->m_dPhase2 = lpInst->m_nStartPhase;
    }
    int32_t nRotation = lpInst->m_nDirChoice;
    if (nRotation == 2) nRotation = lpObject->m_nDir == 1 ? 1 : 0;
    else if (nRotation == 3) nRotation = lpObject->m_nDir == 1 ? 0 : 1;
    const double v = lpInst->m_dSpeed;
    const double dStep = SubSteps() * v;
    const double r = lpInst->m_nRadius;
    double vx = 0.0, vy = 0.0;
    if (move.m_bFixX == 0) vx = -(CircleStep(r, 1.0, lpInst->m_dPhase1, dStep, 0.0)) * v;
    if (lpObject->m_bFlying != 0 && move.m_bFixY == 0)
        vy = -(CircleStep(r, 1.0, lpInst->m_dPhase2, dStep, nRotation == 1 ? 90.0 : 270.0)) * v;
    lpInst->m_dVelX = vx;
    lpInst->m_dVelY = vy;
    lpObject->ApplyMovement(vx, vy, 0, lpInst, move, 0);
}

void CmdChargeMove(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    const cEdMove* lpMove = MoveOf(lpInst);
    if (lpObject == nullptr || lpMove == nullptr) return;
    const cEdMove& move = *lpMove;
    ClearScreenLocks(lpObject);
    if (lpInst->m_bStarted == 0) {
        lpInst->m_bStarted = 1;
        lpObject->GetMoveAngle(lpInst);
        lpObject->GetMoveTargetOffset(lpInst);
        cCharaBase* lpTarget = lpObject->m_lpTarget;
        if (lpTarget == nullptr) {
            lpInst->m_dVelX = 0.0;
            lpInst->m_dVelY = 0.0;
            lpInst->m_nFaceRequest = 0;
            return;
        }
        if (TargetGone(lpTarget)) return;
        bool bStands = false;
        if (lpObject->m_bFlying != 0) {
            double gx = 0.0, gy = 0.0;
            lpTarget->GetMoveTargetPoint(gx, gy, lpInst);
            lpObject->SolveMovement(lpInst, move, lpTarget, gx, gy);
        } else if (move.m_bFixX != 0) {
            lpInst->m_dVelX = 0.0;
            lpInst->m_dVelY = 0.0;
            lpInst->m_nFaceRequest = 0;
            bStands = true;
        } else {
            StepTowardX(lpInst->m_dVelX, lpInst->m_dVelY, lpInst->m_nFaceRequest, lpTarget, CentreX(*lpObject),
                        CentreX(*lpTarget) + lpInst->m_nTargetX, lpInst->m_dSpeed, lpObject->m_bScreenFixed, 0);
        }
        // A walker that may not move across stands still whatever the angle says.
        if (lpInst->m_nAngle != 0 && !bStands) {
            const double v = lpInst->m_dSpeed;
            const double vx0 = lpInst->m_dVelX, vy0 = lpInst->m_dVelY;
            double h = 0.0;
            if (g_System.ChargeAngle() == 0)
                h = static_cast<int16_t>(TruncToInt32(std::atan2(vy0, vx0) * 57.29577951308232)) + 180;
            else
                h = static_cast<int16_t>(TruncToInt32(std::atan2(vx0, vy0) * 57.29577951308232)) + 90;
            const double t = (h + lpInst->m_nAngle) * 0.017453292519943295;
            lpInst->m_dVelX = g_System.ChargeAngle() == 0 ? -v * std::cos(t) : v * std::cos(t);
            if (lpObject->m_bFlying != 0) lpInst->m_dVelY = -v * std::sin(t);
        }
    }
    if (lpObject->m_bFlying == 0) lpInst->m_dVelY = 0.0;
    lpObject->ApplyMovement(lpInst->m_dVelX, lpInst->m_dVelY, lpInst->m_nFaceRequest, lpInst, move, 0);
}

void CmdHomingMove(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    const cEdMove* lpMove = MoveOf(lpInst);
    if (lpObject == nullptr || lpMove == nullptr) return;
    const cEdMove& move = *lpMove;
    cCharaBase* lpTarget = lpObject->m_lpTarget;
    if (lpTarget == nullptr || TargetGone(lpTarget)) return;
    const bool bFirst = lpInst->m_bStarted == 0;
    if (bFirst) {
        lpInst->m_bStarted = 1;
        lpObject->GetMoveTargetOffset(lpInst);
    }
    const int32_t d = lpInst->m_nRadius;
    std::list<cCommandInstance::TargetPoint>& points = lpInst->m_lTargetPoints;

    if (lpObject->m_bFlying != 0) {
        cCommandInstance::TargetPoint p;
        lpTarget->GetMoveTargetPoint(p.m_dX, p.m_dY, lpInst);
        if (d <= 0) {
            lpObject->SolveMovement(lpInst, move, lpTarget, p.m_dX, p.m_dY);
        } else if (bFirst) {
            points.clear();
            points.push_back(p);
            lpObject->SolveMovement(lpInst, move, lpTarget, p.m_dX, p.m_dY);
        } else if (lpInst->m_nCalls % d == 0) {
            // Aim at the point remembered d sub-steps ago and remember this one in its place.
            if (points.empty()) {
                points.push_back(p);
            } else {
                const cCommandInstance::TargetPoint old = points.front();
                lpObject->SolveMovement(lpInst, move, lpTarget, old.m_dX, old.m_dY);
                points.front() = p;
            }
        }
    } else {
        if (move.m_bFixX != 0) return;
        lpInst->m_dVelY = 0.0;
        cCommandInstance::TargetPoint p;
        p.m_dX = CentreX(*lpTarget) + lpInst->m_nTargetX;
        if (d <= 0) {
            lpObject->SolveMovementX(lpInst, move, lpTarget, p.m_dX);
        } else if (bFirst) {
            points.clear();
            points.push_back(p);
            lpObject->SolveMovementX(lpInst, move, lpTarget, p.m_dX);
        } else if (lpInst->m_nCalls % d == 0) {
            if (points.empty()) {
                points.push_back(p);
            } else {
                lpObject->SolveMovementX(lpInst, move, lpTarget, points.front().m_dX);
                points.front() = p;
            }
        }
    }
    lpObject->ApplyMovement(lpInst->m_dVelX, lpInst->m_dVelY, lpInst->m_nFaceRequest, lpInst, move, 0);
    ++lpInst->m_nCalls;
}

void CmdScreenEdgeMove(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    const cEdMove* lpMove = MoveOf(lpInst);
    if (lpObject == nullptr || lpMove == nullptr) return;
    lpObject->SetupDirectionMove(lpInst, *lpMove);
    if (lpObject->m_bFlying == 0) lpInst->m_dVelY = 0.0;
    lpObject->ApplyMovement(lpInst->m_dVelX, lpInst->m_dVelY, 0, lpInst, *lpMove, 0);
    ++lpInst->m_nCalls;
}

void CmdStopMovement(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    (void)lpInst;
    if (lpObject == nullptr) return;
    lpObject->m_dSpeedX = lpObject->m_dSpeedY = 0.0;
    lpObject->m_dAccelX = lpObject->m_dAccelY = 0.0;
    lpObject->m_dForceX = lpObject->m_dForceY = 0.0;
    ClearScreenLocks(lpObject);
    lpObject->m_bGravityHold = 1;
}

void CmdTurn(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpObject == nullptr || lpInst == nullptr || lpObject->m_Def.m_bFixedDir == 0) return;
    const int32_t nPeriod = 6 * SubSteps();
    if (lpInst->m_nCalls % nPeriod == 0) {
        if (lpInst->m_lpCmd != nullptr) PlayProjectSound(lpInst->m_lpCmd->m_nSound);
        const int32_t nChoice = Param(lpInst, 0);
        switch (nChoice) {
        case 0: lpObject->m_nDir = 0; break;
        case 1: lpObject->m_nDir = 1; break;
        case 2:
        case 3: {
            const cCharaBase* lpTarget = lpObject->m_lpTarget;
            // No target yet: try again, sound included, on the next sub-step.
            if (lpTarget == nullptr) return;
            const bool bRight = CentreX(*lpTarget) > CentreX(*lpObject);
            lpObject->m_nDir = (bRight == (nChoice == 2)) ? 1 : 0;
            break;
        }
        case 4:
        case 5: {
            const int32_t nSide = lpObject->m_nLastWallSide;
            if (nSide == 0 || nSide == 1) lpObject->m_nDir = nChoice == 4 ? nSide : 1 - nSide;
            break;
        }
        default: break;
        }
    }
    ++lpInst->m_nCalls;
}

void CmdJump(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpObject == nullptr || lpInst == nullptr) return;
    ClearScreenLocks(lpObject);
    lpObject->UpdateJump(lpInst);
    ++lpInst->m_nCalls;
}
