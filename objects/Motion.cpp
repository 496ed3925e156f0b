// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "objects/CharaBase.h"
#include "objects/GameObject.h"
#include "objects/Motion.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void cCharaBase::SetBlockX(int32_t bx)
{}

void cCharaBase::SetBlockY(int32_t by)
{}

void cCharaBase::SetBlockPosition(int32_t bx, int32_t by)
{}

void cCharaBase::ApplyGravity()
{}

int32_t cCharaBase::IsOnGround() const
{ return {}; }

void cCharaBase::ClearContactFlags()
{}

void cCharaBase::LandOnGround()
{}

void cCharaBase::HitCeiling()
{}

void cCharaBase::EndVerticalPush(int32_t bBump)
{}

void cCharaBase::SavePreviousPosition()
{}

void cCharaBase::RestorePreviousPosition()
{}

void cCharaBase::ApplyImpact(int8_t nImpact, double dx, double dy)
{}

void cCharaBase::ImpactFromCharacter(const cCharaBase* lpAttacker)
{}

void cCharaBase::ImpactFromShot(const cShot* lpShot)
{}

void cCharaBase::ApplyForceY()
{}

void cCharaBase::CountDownForceX()
{}

void cCharaBase::CountDownForceY()
{}

int32_t cGameObject::StepMoveX(int32_t nMode)
{ return {}; }

int32_t cGameObject::StepMoveY(int32_t nMode)
{ return {}; }

int32_t cGameObject::ClampX(int32_t nMode)
{ return {}; }

int32_t cGameObject::ClampY(int32_t nMode)
{ return {}; }

void cGameObject::ApplyGravityUnlessFlying()
{}

void cGameObject::ApplyBrake(double& dSpeed, int32_t bFlag) const
{}

void cGameObject::GetScreenRect()
{}

int32_t cGameObject::IsOnScreen() const
{ return {}; }

int32_t cGameObject::IsOnScreenAxes(int32_t bSkipX, int32_t bSkipY) const
{ return {}; }

int32_t cGameObject::IsInsideStage(int32_t bWholeMap) const
{ return {}; }

int32_t cGameObject::IsInScrollRange(const cEdStageSetting& setting) const
{ return {}; }

int32_t cGameObject::CheckBlocksX() const
{ return {}; }

int32_t cGameObject::CheckBlocksY(int32_t nIgnored) const
{ return {}; }

int32_t HalfBlocksToPixels(int8_t n)
{ return {}; }

double PercentToSpeed(int16_t n)
{ return {}; }

double PerSecondStep(double x)
{ return {}; }

double JumpSpeedForHeight(double h, const cGameObject* lpObject)
{ return {}; }

double JumpSpeedForHalfBlocks(int8_t n, const cGameObject* lpObject)
{ return {}; }

int32_t FramesToApex(double v)
{ return {}; }

int32_t JumpTimeForHalfBlocks(int8_t n, const cGameObject* lpObject)
{ return {}; }

void ForceFromImpact(double& dOutX, double& dOutY, int8_t nImpact, double dx, double dy)
{}

double CircleStep(double r, double n, double& dPhase, double dStep, double dOffset)
{ return {}; }

double CircleStepY(double r, double n, double& dPhase, double dStep, double dOffset)
{ return {}; }
