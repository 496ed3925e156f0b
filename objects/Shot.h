#pragma once
// One shot or one sword swing, made by the launchers and the sword command from the command's
// shot record; the play state holds it by value in its shot list.
#include <cstdint>
#include <list>

#include "data/EdShot.h"
#include "objects/GameObject.h"

class cCharaBase;
struct DDSURFACEDATA;
struct ShotLaunch;

class cShot : public cGameObject {
public:
    cShot() = default;
    // A copy takes over the outgoing link (the target character) but is not entered in its
    // incoming-shot list (objects/ObjectLinks.h).
    cShot(const cShot&) = default;
    // Shots are never assigned over: a stored shot is pointed at by its target.
    cShot& operator=(const cShot&) = delete;
    ~cShot() override = default;

    // Defined in Shot.cpp.
    void ScaleBoxes(int32_t nScale) override;                             // slot 3
    int32_t KeepBottomOnRescale(int32_t nNew, int32_t nOld) override;     // slot 4
    void UpdateBoxesX() override;                                         // slot 5
    void UpdateBoxesY() override;                                         // slot 6
    void Init(int32_t nKey, cCharaBase* lpShooter, int32_t nKind, const cEdShot& record,
              const ShotLaunch& launch);
    int32_t Move();
    int32_t MoveX();
    int32_t MoveY();
    int32_t HitsBlocks();
    void Draw(DDSURFACEDATA* lpTarget, int32_t bFrozen);
    void SplitAccel(double& ax, double& ay, double vx, double vy) const;
    int32_t ClampShotX();
    // One sub-step of a sword beside its owner; 1 when the swing has ended.
    int32_t SwordStep();

    // Links. Defined in ObjectLinks.cpp.
    // Enters this stored shot in the incoming-shot list of its target character.
    void RegisterLinks();
    // Leaves the target's incoming-shot list and the faction lists of the play state.
    void Unlink();

    int32_t m_nOwnerKey = 0;
    int32_t m_bIsShot = 0;          // 0 a sword
    int32_t m_nRangeLeft = 0;
    int32_t m_nLifeLeft = 0;
    int32_t m_nStep = 0;
    int32_t m_nSwordEntry = 0;
    double m_dAccel = 0.0;
    double m_dSpeed = 0.0;
    double m_dVelX = 0.0, m_dVelY = 0.0;
    int32_t m_bAccel = 0;
    int32_t m_nTurnStep = 0;
    int32_t m_nEndStep = 0;
    int32_t m_bMotionDone = 0;
    double m_dWavePhase = 0.0, m_dWaveSin = 0.0, m_dWaveCos = 0.0, m_dWaveExtra = 0.0;
    int32_t m_nBoxOffsetX = 0, m_nBoxOffsetY = 0, m_nBoxWidth = 0, m_nBoxHeight = 0;
    int32_t m_nBaseBoxOffsetX = 0, m_nBaseBoxOffsetY = 0, m_nBaseBoxWidth = 0, m_nBaseBoxHeight = 0;
    std::list<int32_t> m_lHitKeys;  // characters a sword has hit
    cEdShot m_Rec;
    cCharaBase* m_lpTargetChara = nullptr;
};

// Pattern 0: frames 0, 1, 2 for 7 ticks each, then finished (swords); pattern 1: frames 0 and 1
// for 8 ticks each, looping (shots).
extern const int32_t* const ShotAnimeList[];

// Movement kind 1..9 of a shot for one sub-step (entries 7..15 of ShotMotionTable).
// Defined in Shot.cpp.
void ShotMotionKind(cShot& shot, int32_t nKind);
