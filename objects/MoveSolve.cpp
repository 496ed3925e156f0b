// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "objects/CharaBase.h"
#include "objects/MoveSolve.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void cCharaBase::GetMoveAngle(cCommandInstance* lpInst)
{}

void cCharaBase::GetMoveTargetOffset(cCommandInstance* lpInst)
{}

int32_t cCharaBase::GetDirectionCode(int32_t nChoice, int32_t bUseInput, int32_t bKeepDiagonals)
{ return {}; }

void cCharaBase::GetMoveTargetPoint(double& dX, double& dY, const cCommandInstance* lpInst) const
{}

void cCharaBase::SpeedFromDirection(double& vx, double& vy, int32_t& nRequest, double v, int32_t nChoice)
{}

void cCharaBase::SpeedFromDirectionTimed(double& vx, double& vy, int32_t& nRequest, double v, int32_t nChoice, int32_t nAngle)
{}

void cCharaBase::SetupMoveHelper(double& vx, double& vy, int32_t& nRequest, double v, int32_t nOffsetX, int32_t nOffsetY, const cEdMove& move, int32_t& nRemaining)
{}

void cCharaBase::SetupFacingSpeed(cCommandInstance* lpInst, const cEdMove& move)
{}

void cCharaBase::SetupDirectionMove(cCommandInstance* lpInst, const cEdMove& move)
{}

void cCharaBase::ApplyMovement(double vx, double vy, int32_t nRequest, cCommandInstance* lpInst, const cEdMove& move, int32_t bForced)
{}

void cCharaBase::SolveMovement(cCommandInstance* lpInst, const cEdMove& move, cGameObject* lpTarget, double dGoalX, double dGoalY)
{}

void cCharaBase::SolveMovement2D(cCommandInstance* lpInst, const cEdMove& move, cGameObject* lpTarget, double dGoalX, double dGoalY)
{}

void cCharaBase::SolveMovementX(cCommandInstance* lpInst, const cEdMove& move, cGameObject* lpTarget, double dGoalX)
{}

void cCharaBase::SolveMovementY(cCommandInstance* lpInst, const cEdMove& move, cGameObject* lpTarget, double dGoalY)
{}

int32_t AimVelocity(double& vx, double& vy, int32_t& nRequest, const cGameObject* lpTarget, double x, double y, double dGoalX, double dGoalY, double t, int32_t bSelfFixed, int32_t bAllowNegative, int32_t bArrive)
{ return {}; }

int32_t StepTowardX(double& vx, double& vy, int32_t& nRequest, const cGameObject* lpTarget, double x, double dGoalX, double v, int32_t bSelfFixed, int32_t bArrive)
{ return {}; }

int32_t StepTowardY(double& vx, double& vy, int32_t& nRequest, const cGameObject* lpTarget, double y, double dGoalY, double v, int32_t bSelfFixed, int32_t bArrive)
{ return {}; }

void PrepareSolve(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void PrepareCircle(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void PrepareHoming(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void PrepareJump(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

const MoveSetup MoveSetupTable[40] = {};
const double DiagonalFactor = 0.7071067811865476;
