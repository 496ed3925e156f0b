// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "objects/CharaBase.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

int32_t cCharaBase::KeepBottomOnRescale(int32_t nNew, int32_t nOld)
{ return {}; }

void cCharaBase::MoveCenterTo(int32_t x, int32_t y)
{}

void cCharaBase::MoveCenterToResetMove(int32_t x, int32_t y, cCommandInstance* lpInst)
{}

void cCharaBase::MoveCenterXTo(int32_t x)
{}

void cCharaBase::MoveCenterXToResetMove(int32_t x, cCommandInstance* lpInst)
{}

void cCharaBase::MoveCenterYTo(int32_t y)
{}

void cCharaBase::MoveCenterYToResetMove(int32_t y, cCommandInstance* lpInst)
{}

cItem* cCharaBase::GetCarriedItem()
{ return {}; }

int32_t cCharaBase::OnMovedX()
{ return {}; }

int32_t cCharaBase::OnMovedY()
{ return {}; }

int32_t cCharaBase::MoveHorizontal()
{ return {}; }

int32_t cCharaBase::MoveVertical()
{ return {}; }

int32_t cCharaBase::RunObjectFlows(int32_t bDying)
{ return {}; }

void cCharaBase::UpdateJump(cCommandInstance* lpInst)
{}

void cCharaBase::SetCharaBox(int32_t bBottomAlign, int32_t w, int32_t h)
{}

int32_t cCharaBase::AddHP(int32_t nDelta, int32_t bForced, int32_t bShowGauge)
{ return {}; }

void cCharaBase::ShowHPGauge(int32_t nDelta)
{}

int32_t cCharaBase::AddSP(int32_t nDelta, int32_t bShowGauge)
{ return {}; }

void cCharaBase::ShowSPGauge(int32_t nDelta)
{}

void cCharaBase::SetInvincibleFrames()
{}

void cCharaBase::StartInvincibility(int32_t nAttackerKey)
{}

void cCharaBase::CountDownInvincibility()
{}

int32_t cCharaBase::IsInvincible() const
{ return {}; }

int32_t cCharaBase::IsInvincibleTo(int32_t nAttackerKey) const
{ return {}; }

int32_t cCharaBase::TakeContactDamage(cCharaBase* lpAttacker)
{ return {}; }

int32_t cCharaBase::TakeShotDamage(cShot* lpShot)
{ return {}; }

int32_t cCharaBase::Defeat()
{ return {}; }

int32_t cCharaBase::CheckValueCondition(const cEdCondition& condition)
{ return {}; }

int32_t cCharaBase::CheckStateCondition(const cEdCondition& condition)
{ return {}; }

int32_t cCharaBase::CheckDistanceCondition(const cEdCondition& condition)
{ return {}; }

void cCharaBase::StopAnimeByKey(int32_t nKey)
{}

void cCharaBase::StopFinishedAnimeByKey(int32_t nKey)
{}

void cCharaBase::ReleaseAnimeKey(int32_t nKey)
{}

int32_t cCharaBase::UpdateAnimation(int32_t bFrozen)
{ return {}; }
