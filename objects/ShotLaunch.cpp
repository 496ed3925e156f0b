// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "objects/ShotLaunch.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void LaunchShots(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord)
{}

void LaunchBlocks(cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord)
{}

void LaunchCharas(cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord)
{}

void LaunchItems(cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord)
{}

void FormStraightA(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord, ShotLaunch* lpLaunch)
{}

void FormStraightB(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord, ShotLaunch* lpLaunch)
{}

void FormSpread(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord, ShotLaunch* lpLaunch)
{}

void FormLightning(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord, ShotLaunch* lpLaunch)
{}

void FormExplosion(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord, ShotLaunch* lpLaunch)
{}

void FormSurround(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord, ShotLaunch* lpLaunch)
{}

void SpawnFormationObject(ShotList* lpList, ShotLaunch* lpLaunch, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord)
{}

int32_t AimAngle(int32_t x, int32_t y, cCharaBase* lpShooter, cEdShot* lpRecord, ShotLaunch* lpLaunch)
{ return {}; }

const ShotMotion ShotMotionTable[16] = {};
const int32_t DirAngle[12] = {0, 0, 0, 180, 0, 0, 90, 270, 45, 315, 135, 225};
const double DirAngleD[12] = {0, 0, 0, 180, 0, 0, 90, 270, 45, 315, 135, 225};
