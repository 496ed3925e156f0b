#pragma once
// The root of everything that moves on a stage: the hero, computer characters, items and shots.
// It holds the identity key, facing, graphic and animation, the graphic rectangle on screen, the
// hit box in stage pixels, speeds, size templates and the flags the physics and drawing read.
//
// Objects are owned by value by the stage's lists; pointers between objects are non-owning and are
// kept by the link rules of objects/ObjectLinks.h.
#include <cstdint>

#include "objects/AnimePlayer.h"

class cCommandInstance;
class cEdStageSetting;

class cGameObject {
public:
    cGameObject() = default;
    cGameObject(const cGameObject&) = default;
    cGameObject& operator=(const cGameObject&) = default;
    virtual ~cGameObject() = default;                                      // slot 0

    // Defined in GameObject.cpp.
    virtual void SetScale(int32_t nNew, int32_t nOld);                    // slot 2
    virtual void ScaleBoxes(int32_t nScale) { (void)nScale; }             // slot 3
    virtual int32_t KeepBottomOnRescale(int32_t nNew, int32_t nOld)       // slot 4
    {
        (void)nNew;
        (void)nOld;
        return 0;
    }
    virtual void UpdateBoxesX() {}                                        // slot 5
    virtual void UpdateBoxesY() {}                                        // slot 6
    virtual void MoveCenterTo(int32_t x, int32_t y) { (void)x; (void)y; } // slot 7
    virtual void MoveCenterToResetMove(int32_t x, int32_t y, cCommandInstance* lpInst)   // slot 8
    {
        (void)x;
        (void)y;
        (void)lpInst;
    }
    virtual void MoveCenterXTo(int32_t x) { (void)x; }                   // slot 9
    virtual void MoveCenterXToResetMove(int32_t x, cCommandInstance* lpInst)   // slot 10
    {
        (void)x;
        (void)lpInst;
    }
    virtual void MoveCenterYTo(int32_t y) { (void)y; }                   // slot 11
    virtual void MoveCenterYToResetMove(int32_t y, cCommandInstance* lpInst)   // slot 12
    {
        (void)y;
        (void)lpInst;
    }

    // Common set-up of every class (key, graphic, sizes, facing, fly kind, formation index).
    void SetupGraphics(int32_t nKey, int32_t nSide, int32_t nSubKind, int32_t nFaction,
                       int32_t nGraphic, const int32_t* const* lpAnimeList, int32_t nFirstPattern,
                       int32_t nOffsetX, int32_t nOffsetY, int32_t nHitWidth, int32_t nHitHeight,
                       int32_t nWidth, int32_t nHeight, int32_t nDir, int32_t nFlyKind,
                       int32_t nFormationIndex, const void* lpDefinition);
    // Shifts m_dX for a new scale keeping the box centre, clamps, then slot 4.
    void RescaleKeepBottom(int32_t nNew, int32_t nOld);
    // +1 facing right, -1 facing left.
    int32_t FacingSign() const { return m_nDir == 1 ? 1 : -1; }

    // Motion on the block grid. Defined in Motion.cpp.
    int32_t StepMoveX(int32_t nMode);
    int32_t StepMoveY(int32_t nMode);
    int32_t ClampX(int32_t nMode);
    int32_t ClampY(int32_t nMode);
    void ApplyGravityUnlessFlying();
    void ApplyBrake(double& dSpeed, int32_t bFlag) const;
    void GetScreenRect();
    int32_t IsOnScreen() const;
    int32_t IsOnScreenAxes(int32_t bSkipX, int32_t bSkipY) const;
    int32_t IsInsideStage(int32_t bWholeMap) const;
    int32_t IsInScrollRange(const cEdStageSetting& setting) const;
    int32_t CheckBlocksX() const;
    int32_t CheckBlocksY(int32_t nIgnored) const;
    // The nearest character of a faction list to the object's own centre (homing shots).
    // Defined in CharaSearch.cpp.
    class cCharaBase* FindNearestToMe(int32_t nFaction) const;

    int32_t m_nKey = 0;
    int32_t m_nLifeTime = 0;            // sub-steps; 2147483647 unlimited
    int32_t m_nDir = 0;                 // 0 left, 1 right
    int16_t m_nFormationIndex = 0;      // the clone value
    int32_t m_nGraphic = 0;
    cAnimePlayer m_Anime;
    int32_t m_nLeft = 0, m_nTop = 0, m_nRight = 0, m_nBottom = 0;   // on screen, inclusive
    int32_t m_nOffsetX = 0, m_nOffsetY = 0;
    int32_t m_nWidth = 0, m_nHeight = 0;
    int32_t m_nBaseOffsetX = 0, m_nBaseOffsetY = 0, m_nBaseWidth = 0, m_nBaseHeight = 0;
    int32_t m_nSide = 0;                // 0 player side, 1 computer side
    int32_t m_nSubKind = 0;
    int32_t m_nFaction = 0;
    double m_dX = 0.0, m_dY = 0.0;      // hit box, stage pixels
    double m_dRight = 0.0, m_dBottom = 0.0;
    int32_t m_nCellLeft = 0, m_nCellTop = 0, m_nCellRight = 0, m_nCellBottom = 0;
    double m_dSpeedX = 0.0, m_dSpeedY = 0.0;
    double m_dAccelX = 0.0, m_dAccelY = 0.0;
    double m_dStop = 0.0;
    int32_t m_bBrakeX = 0, m_bBrakeY = 0;
    int32_t m_bScreenFixed = 0;
    int32_t m_nHitWidth = 0, m_nHitHeight = 0;
    int32_t m_nBaseHitWidth = 0, m_nBaseHitHeight = 0;
    int32_t m_bFlying = 0;
    int8_t m_nBlockMode = 0;            // flying: 0 passes blocks, 1 collides, 2 dies on them
    int32_t m_bAppeared = 0;
    int32_t m_bOnScreen = 0;
    int8_t m_bAppearLatch = 0;

    // Removed from its list; walks skip it and its storage is freed at the next sweep.
    int32_t m_bGone = 0;
};
