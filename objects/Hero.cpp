// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "objects/Hero.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void cHero::ScaleBoxes(int32_t nScale)
{}

void cHero::UpdateBoxesX()
{}

void cHero::UpdateBoxesY()
{}

int32_t cHero::OnMovedX()
{ return {}; }

int32_t cHero::OnMovedY()
{ return {}; }

int32_t cHero::MoveHorizontal()
{ return {}; }

int32_t cHero::MoveVertical()
{ return {}; }

void cHero::InitForStage(int32_t nKey, const cEdChara& definition, double x, double y)
{}

void cHero::SetSize(int8_t nMoveKind, bool bRescale)
{}

void cHero::RebuildBoxes()
{}

void cHero::GetScreenRect()
{}

int32_t cHero::RunHeroFlows(int32_t bDying)
{ return {}; }

void cHero::HeroJumpControl(cCommandInstance* lpInst)
{}

int32_t cHero::RunItemCommands(std::vector<cEdCommand>& vCommands)
{ return {}; }

int32_t cHero::IsNotInObjectList(int32_t nKey) const
{ return {}; }

void cHero::RemoveFromObjectList(int32_t nKey)
{}

void cHero::KeepPreviousContact()
{}

void cHero::AddMessageAt(int8_t nKind, int16_t nGraphic, int16_t nValue)
{}

void cHero::Draw(DDSURFACEDATA* lpTarget, int32_t bFlag)
{}

void cHero::DrawSightMask(DDSURFACEDATA* lpTarget)
{}

const int32_t HeroBoxColours[8] = {208, 212, 216, 220, 224, 228, 232, 236};
