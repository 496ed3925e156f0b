// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "objects/Shot.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void cShot::ScaleBoxes(int32_t nScale)
{}

int32_t cShot::KeepBottomOnRescale(int32_t nNew, int32_t nOld)
{ return {}; }

void cShot::UpdateBoxesX()
{}

void cShot::UpdateBoxesY()
{}

void cShot::Init(int32_t nKey, cCharaBase* lpShooter, int32_t nKind, const cEdShot& record, const ShotLaunch& launch)
{}

int32_t cShot::Move()
{ return {}; }

int32_t cShot::MoveX()
{ return {}; }

int32_t cShot::MoveY()
{ return {}; }

int32_t cShot::HitsBlocks()
{ return {}; }

void cShot::Draw(DDSURFACEDATA* lpTarget, int32_t bFrozen)
{}

void cShot::SplitAccel(double& ax, double& ay, double vx, double vy) const
{}

int32_t cShot::ClampShotX()
{ return {}; }

const int32_t* const ShotAnimeList[] = {nullptr};
