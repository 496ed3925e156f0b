#pragma once
// One firing of a shot or summon command laid out in a formation: the launch record, the
// launchers, the six formations and the spawning of one object.
#include <cstdint>
#include <list>

class cCharaBase;
class cCommandInstance;
class cEdShot;
class cShot;
template <class T>
class cStageList;

struct ShotLaunch {
    int32_t m_nClone = 0;
    double m_dSpeed = 0.0;          // pixels per frame
    int32_t m_nAngle = 0;           // degrees
    int32_t m_nRange = 0;           // half blocks
    int32_t m_nLife = 0;            // tenths of a second
    double m_dVelX = 0.0, m_dVelY = 0.0;   // pixels per frame
    int32_t m_nX = 0, m_nY = 0;     // stage pixels, top-left of the next object's cell
    int32_t m_nStartX = 0, m_nStartY = 0;
    int32_t m_nStepX = 0, m_nStepY = 0;
    int32_t m_nColStepX = 0, m_nColStepY = 0;
    int32_t m_nCellWidth = 0, m_nCellHeight = 0;
    int32_t m_nOffsetX = 0, m_nOffsetY = 0;
    int32_t m_nDirCode = 0;
};

using ShotList = cStageList<cShot>;
// Entries 0..5 the formations, 6 nothing, 7..15 the shot movement kinds 1..9. The list is null
// for blocks, characters and items; the movement kinds take the shot as their shooter argument.
using ShotMotion = void (*)(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst,
                            cEdShot* lpRecord, ShotLaunch* lpLaunch);
extern const ShotMotion ShotMotionTable[16];

// Flight angle of each direction code.
extern const int32_t DirAngle[12];
extern const double DirAngleD[12];

// Defined in ShotLaunch.cpp.
void LaunchShots(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst,
                 cEdShot* lpRecord);
void LaunchBlocks(cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord);
void LaunchCharas(cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord);
void LaunchItems(cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord);
void FormStraightA(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst,
                   cEdShot* lpRecord, ShotLaunch* lpLaunch);
void FormStraightB(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst,
                   cEdShot* lpRecord, ShotLaunch* lpLaunch);
void FormSpread(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst,
                cEdShot* lpRecord, ShotLaunch* lpLaunch);
void FormLightning(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst,
                   cEdShot* lpRecord, ShotLaunch* lpLaunch);
void FormExplosion(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst,
                   cEdShot* lpRecord, ShotLaunch* lpLaunch);
void FormSurround(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst,
                  cEdShot* lpRecord, ShotLaunch* lpLaunch);
void SpawnFormationObject(ShotList* lpList, ShotLaunch* lpLaunch, cCharaBase* lpShooter,
                          cCommandInstance* lpInst, cEdShot* lpRecord);
int32_t AimAngle(int32_t x, int32_t y, cCharaBase* lpShooter, cEdShot* lpRecord,
                 ShotLaunch* lpLaunch);
