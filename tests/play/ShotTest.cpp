// The shot object: set-up, range and life, the movement kinds, the scroll carry and the sword's
// walk beside its owner.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "data/EdDatabase.h"
#include "objects/ObjectLinks.h"
#include "objects/Shot.h"
#include "objects/ShotLaunch.h"
#include "stage/CharaList.h"
#include "tests/play/LaunchTestSupport.h"

namespace {

class ShotTest : public cLaunchFixture {
public:
    void SetUp() override
    {
        cLaunchFixture::SetUp();
        m_SavedSwords = g_Database.m_vSwordType;
    }
    void TearDown() override
    {
        g_Database.m_vSwordType = m_SavedSwords;
        cLaunchFixture::TearDown();
    }

    // A shot launched at (x, y) in the stage with a velocity per frame.
    static ShotLaunch Launch(double vx, double vy, double dSpeed, int32_t nRange = 0, int32_t nLife = 0)
    {
        ShotLaunch launch;
        launch.m_dVelX = vx;
        launch.m_dVelY = vy;
        launch.m_dSpeed = dSpeed;
        launch.m_nRange = nRange;
        launch.m_nLife = nLife;
        launch.m_nX = 500;
        launch.m_nY = 500;
        launch.m_nCellWidth = launch.m_nCellHeight = 16;
        return launch;
    }

    // Moves until the shot reports its end; the number of calls, at most nLimit.
    static int32_t CallsUntilEnd(cShot& shot, int32_t nLimit)
    {
        for (int32_t i = 1; i <= nLimit; ++i)
            if (shot.Move() == 1) return i;
        return 0;
    }

    cEdShot m_Rec;

private:
    std::vector<cEdSwordType> m_SavedSwords;
};

TEST_F(ShotTest, InitTakesFacingSizeFactionAndVelocityPerSubStep)
{
    SetSpeed(2, 0.0);
    m_Chara.m_nDir = 1;
    m_Chara.m_Def.m_nHitGroup = 4;
    m_Rec.m_nSide = 2;
    m_Rec.m_bSameSide = 0;
    m_Rec.m_nSize = 0;   // read as the normal size
    cShot shot;
    shot.Init(9, &m_Chara, 11, m_Rec, Launch(-4.0, 2.0, 4.0));
    EXPECT_EQ(shot.m_nKey, 9);
    EXPECT_EQ(shot.m_bIsShot, 1);
    EXPECT_EQ(shot.m_nDir, 0);   // flies left whatever the shooter faces
    EXPECT_EQ(shot.m_Rec.m_nSize, 1);
    EXPECT_EQ(shot.m_nHitWidth, 16);
    EXPECT_EQ(shot.m_nFaction, 2);
    EXPECT_EQ(shot.m_bFlying, 1);
    EXPECT_EQ(shot.m_dVelX, -2.0);
    EXPECT_EQ(shot.m_dVelY, 1.0);
    EXPECT_EQ(shot.m_dX, 500.0);
    EXPECT_EQ(shot.m_dRight, 515.0);

    m_Rec.m_bSameSide = 1;
    shot.Init(9, &m_Chara, 11, m_Rec, Launch(0.0, 2.0, 2.0));
    EXPECT_EQ(shot.m_nFaction, 4);
    EXPECT_EQ(shot.m_Rec.m_nSide, 4);
    EXPECT_EQ(shot.m_nDir, 1);   // no horizontal flight: the shooter's facing
}

TEST_F(ShotTest, ShotBoxComesFromTheStageByTheShootersSideAndScales)
{
    g_Stage.m_nBoxValue77 = 12;
    g_Stage.m_nBoxValue78 = 10;
    g_Stage.m_nBoxValue81 = 8;
    g_Stage.m_nBoxValue82 = 6;
    m_Rec.m_nSize = 2;
    cShot shot;
    shot.Init(1, &m_Chara, 11, m_Rec, Launch(1, 0, 1));
    EXPECT_EQ(shot.m_nBaseBoxOffsetX, 4);
    EXPECT_EQ(shot.m_nBaseBoxOffsetY, 5);
    EXPECT_EQ(shot.m_nBoxOffsetX, 8);
    EXPECT_EQ(shot.m_nBoxWidth, 16);
    EXPECT_EQ(shot.m_nBoxHeight, 12);
    EXPECT_EQ(shot.m_nHitWidth, 32);
    m_Chara.m_nSide = 0;
    m_Rec.m_nSize = 1;
    shot.Init(1, &m_Chara, 11, m_Rec, Launch(1, 0, 1));
    EXPECT_EQ(shot.m_nBoxOffsetX, 2);
    EXPECT_EQ(shot.m_nBoxWidth, 12);
    EXPECT_EQ(shot.m_nBoxHeight, 10);
}

TEST_F(ShotTest, RangeWithoutSpeedLastsOneFrameThenEndsOrStops)
{
    for (int32_t nLevel : {1, 3}) {
        SetSpeed(nLevel, 0.0);
        m_Rec.m_bRange = 1;
        m_Rec.m_bStopAtRange = 0;
        cShot shot;
        shot.Init(1, &m_Chara, 11, m_Rec, Launch(0.0, 0.0, 0.0, 5));
        EXPECT_EQ(shot.m_nRangeLeft, nLevel);
        EXPECT_EQ(CallsUntilEnd(shot, 20), nLevel + 1) << nLevel;

        m_Rec.m_bStopAtRange = 1;
        m_Rec.m_nMoveKind = 8;
        shot.Init(1, &m_Chara, 11, m_Rec, Launch(3.0, 0.0, 3.0, 0));
        EXPECT_EQ(CallsUntilEnd(shot, 20), 0);
        EXPECT_EQ(shot.m_dVelX, 0.0);
        EXPECT_EQ(shot.m_dVelY, 0.0);
        EXPECT_EQ(shot.m_Rec.m_nMoveKind, 0);
        m_Rec.m_nMoveKind = 0;
    }
}

TEST_F(ShotTest, RangeCrossedWithinAFrameCoversItInThatFrame)
{
    m_Rec.m_bRange = 1;
    struct Case {
        double vx, vy, dSpeed;
        int32_t nRange;
        double dExpectedX, dExpectedY;
    } cases[] = {
        {100.0, 0.0, 100.0, 3, 32.0, 0.0},                           // 48 - 16 pixels in one frame
        {60.0, 80.0, 100.0, 3, 32.0 * 60 / 140, 32.0 * 80 / 140},   // shared by |vx| + |vy|
        {-100.0, 0.0, 100.0, 1, 0.0, 0.0},                           // range below the shot's width
        {0.0, 0.0, 100.0, 3, 0.0, 0.0},                              // nothing to scale
    };
    for (const Case& c : cases) {
        cShot shot;
        shot.Init(1, &m_Chara, 11, m_Rec, Launch(c.vx, c.vy, c.dSpeed, c.nRange));
        EXPECT_EQ(shot.m_nRangeLeft, 1) << c.vx;
        EXPECT_DOUBLE_EQ(shot.m_dVelX, c.dExpectedX) << c.vx;
        EXPECT_DOUBLE_EQ(shot.m_dVelY, c.dExpectedY) << c.vx;
    }
    // A vanishing speed gives the longest count an int holds, not an overflow.
    cShot shot;
    shot.Init(1, &m_Chara, 11, m_Rec, Launch(1e-300, 0.0, 1e-300, 100));
    EXPECT_EQ(shot.m_nRangeLeft, INT32_MAX);
}

TEST_F(ShotTest, LifeCountsTenthsOfASecondInSubSteps)
{
    SetSpeed(2, 0.0);
    m_Rec.m_bLife = 1;
    cShot shot;
    shot.Init(1, &m_Chara, 11, m_Rec, Launch(1.0, 0.0, 1.0, 0, 1));
    EXPECT_EQ(shot.m_nLifeLeft, 12);
    EXPECT_EQ(CallsUntilEnd(shot, 50), 13);
}

TEST_F(ShotTest, AccelerationSplitsAlongTheLaunchDirection)
{
    m_Rec.m_bAccel = 1;
    m_Rec.m_nAccel = 60;
    struct Case {
        double vx, vy, ax, ay;
    } cases[] = {{3, 0, 0.1, 0}, {-3, 0, -0.1, 0}, {0, 2, 0, 0.1}, {3, 4, 0.06, 0.08}, {0, 0, 0, 0}};
    for (const Case& c : cases) {
        cShot shot;
        shot.Init(1, &m_Chara, 11, m_Rec, Launch(c.vx, c.vy, 5));
        EXPECT_DOUBLE_EQ(shot.m_dAccel, 6.0);
        EXPECT_NEAR(shot.m_dAccelX, c.ax, 1e-15) << c.vx << " " << c.vy;
        EXPECT_NEAR(shot.m_dAccelY, c.ay, 1e-15) << c.vx << " " << c.vy;
    }
}

TEST_F(ShotTest, ScreenFixedShotRidesTheScrollUnlessTheViewStands)
{
    m_Rec.m_bHoming = 1;
    m_State.m_ScrollX.m_dSpeed = 0.5;
    m_State.m_ScrollX.m_bEdge = 0;
    cShot shot;
    shot.Init(1, &m_Chara, 11, m_Rec, Launch(2.0, 0.0, 2.0));
    EXPECT_EQ(shot.m_bScreenFixed, 1);
    shot.Move();
    EXPECT_DOUBLE_EQ(shot.m_dSpeedX, 2.5);
    m_State.m_ScrollX.m_bEdge = 1;
    shot.Move();
    EXPECT_DOUBLE_EQ(shot.m_dSpeedX, 2.0);
    m_State.m_ScrollX.m_bEdge = 0;
    g_System.m_bLegacy214 = 1;
    shot.Move();
    EXPECT_DOUBLE_EQ(shot.m_dSpeedX, 2.0);
}

TEST_F(ShotTest, HomingWithoutEndDistanceDoesNotHome)
{
    m_Rec.m_nMoveKind = 4;
    m_Rec.m_nSpeed = 50;
    m_Rec.m_nMoveValue[1] = 0;
    cShot shot;
    shot.Init(1, &m_Chara, 11, m_Rec, Launch(-5.0, 0.0, 5.0));
    shot.Move();
    EXPECT_EQ(shot.m_bMotionDone, 1);
    EXPECT_EQ(shot.m_dVelX, -5.0);
    EXPECT_EQ(shot.m_dVelY, 0.0);
}

TEST_F(ShotTest, HomingOnTheNearestBehavesAlikeForKindsFiveAndSeven)
{
    cChara target;
    PrepareChara(target, 300, 300);
    m_State.m_vFactionCharas[2].PushBack(&target);
    std::vector<std::pair<double, double>> velocities;
    for (int8_t nKind : {5, 7}) {
        m_Rec.m_nMoveKind = nKind;
        m_Rec.m_nSpeed = 30;
        m_Rec.m_nMoveValue[1] = 10;   // homes for 10 half blocks
        m_Rec.m_nMoveValue[2] = 2;
        cShot shot;
        shot.Init(1, &m_Chara, 11, m_Rec, Launch(-3.0, 0.0, 3.0));
        shot.Move();
        EXPECT_EQ(shot.m_bMotionDone, 0);
        velocities.push_back({shot.m_dVelX, shot.m_dVelY});
    }
    EXPECT_EQ(velocities[0], velocities[1]);
    // Toward the target's centre (316, 316) from the shot's cell centre (188, 188), at speed 3.
    EXPECT_NEAR(velocities[0].first, 3.0 / std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(velocities[0].second, 3.0 / std::sqrt(2.0), 1e-9);
    m_State.m_vFactionCharas[2].Clear();
}

TEST_F(ShotTest, AimingAtADefeatedTargetKeepsTheVelocityAndEndsTheAim)
{
    cChara target;
    PrepareChara(target, 300, 172);
    target.m_bDefeated = 1;
    m_Chara.m_lpTarget = &target;
    m_Rec.m_nMoveKind = 3;
    m_Rec.m_nSpeed = 20;
    cShot shot;
    shot.Init(1, &m_Chara, 11, m_Rec, Launch(-2.0, 0.0, 2.0));
    shot.Move();
    EXPECT_EQ(shot.m_bMotionDone, 1);
    EXPECT_EQ(shot.m_dVelX, -2.0);

    target.m_bDefeated = 0;
    shot.Init(1, &m_Chara, 11, m_Rec, Launch(-2.0, 0.0, 2.0));
    shot.Move();
    EXPECT_EQ(shot.m_bMotionDone, 1);
    EXPECT_NEAR(shot.m_dVelX, 2.0, 1e-12);   // turned toward the target on its right
    EXPECT_NEAR(shot.m_dVelY, 0.0, 1e-12);
    m_Chara.m_lpTarget = nullptr;
}

TEST_F(ShotTest, WaveNeverReversesAComponentInOneStep)
{
    m_Rec.m_nMoveKind = 8;
    m_Rec.m_nMoveValue[0] = 2;
    m_Rec.m_nMoveValue[1] = 10;
    cShot shot;
    shot.Init(1, &m_Chara, 11, m_Rec, Launch(3.0, 0.0, 3.0));
    double dPrevY = shot.m_dVelY;
    bool bSwung = false;
    for (int32_t i = 0; i < 200; ++i) {
        shot.Move();
        ASSERT_TRUE(std::isfinite(shot.m_dVelX) && std::isfinite(shot.m_dVelY));
        EXPECT_FALSE((dPrevY < 0.0 && shot.m_dVelY > 0.0) || (dPrevY > 0.0 && shot.m_dVelY < 0.0)) << i;
        EXPECT_GT(shot.m_dVelX, 0.0);
        if (shot.m_dVelY != 0.0) bSwung = true;
        dPrevY = shot.m_dVelY;
    }
    EXPECT_TRUE(bSwung);
    EXPECT_EQ(shot.m_Rec.m_nMoveValue[0], 32);   // the amplitude in pixels from the first step on

    // A wave without angular speed stays finite.
    m_Rec.m_nMoveValue[1] = 0;
    shot.Init(1, &m_Chara, 11, m_Rec, Launch(3.0, 0.0, 3.0));
    for (int32_t i = 0; i < 10; ++i) shot.Move();
    EXPECT_TRUE(std::isfinite(shot.m_dVelX) && std::isfinite(shot.m_dVelY));
}

TEST_F(ShotTest, FallKeepsFlyingAcrossAndDropsAfterItsDistance)
{
    m_Rec.m_nMoveKind = 9;
    m_Rec.m_nMoveValue[0] = 2;   // 32 pixels
    m_Rec.m_nSpeed = 40;         // 4 pixels per frame
    cShot shot;
    shot.Init(1, &m_Chara, 11, m_Rec, Launch(4.0, -1.0, 4.0));
    for (int32_t i = 0; i < 8; ++i) shot.Move();
    EXPECT_EQ(shot.m_bFlying, 1);
    shot.Move();
    EXPECT_EQ(shot.m_bFlying, 0);
    EXPECT_EQ(shot.m_dVelX, 4.0);
    EXPECT_EQ(shot.m_dSpeedY, -1.0);
}

TEST_F(ShotTest, SwordFollowsItsOwnerAndEndsWithItOrItsEntries)
{
    cEdSwordType type;
    cEdSwordTypeEntry entry;
    entry.m_nWidth = 40;
    entry.m_nHeight = 20;
    entry.m_nSide = 0;
    entry.m_nTime = 1;
    type.m_vSteps = {entry, entry};
    type.m_vSteps[1].m_nSide = 2;
    g_Database.m_vSwordType = {type};

    cChara owner;
    PrepareChara(owner, 100, 100);
    owner.m_nKey = 77;
    owner.m_nDir = 1;
    cChara& stored = CharaList.Append(owner);
    m_Rec.m_nMoveKind = 0;
    cShot sword;
    ShotLaunch launch;
    launch.m_nCellWidth = 40;
    launch.m_nCellHeight = 20;
    sword.Init(5, &stored, 12, m_Rec, launch);
    EXPECT_EQ(sword.m_bIsShot, 0);
    EXPECT_EQ(sword.m_nHitWidth, 40);

    EXPECT_EQ(sword.Move(), 0);
    EXPECT_EQ(sword.m_dX, 131 + 320 + 1);
    EXPECT_EQ(sword.m_dY, 100 + 16 + 320 - 10);
    EXPECT_EQ(sword.m_nDir, 1);
    // Six sub-steps for the first entry, then the second one above the owner.
    int32_t nCalls = 1;
    while (sword.m_nSwordEntry == 0 && nCalls < 20) {
        EXPECT_EQ(sword.Move(), 0);
        ++nCalls;
    }
    EXPECT_EQ(nCalls, 7);
    EXPECT_EQ(sword.Move(), 0);
    EXPECT_EQ(sword.m_dY, 100 + 320 - 20);
    EXPECT_EQ(sword.m_dX, 100 + 16 + 320 - 20);

    // The owner removed: the sword ends in the same sub-step.
    RemoveEnemy(stored);
    EXPECT_EQ(sword.Move(), 1);
}

TEST_F(ShotTest, SwordOfAMissingTypeEndsAtOnce)
{
    g_Database.m_vSwordType.clear();
    cChara& stored = CharaList.Append(m_Chara);
    stored.m_nKey = 78;
    m_Rec.m_nMoveKind = 3;
    cShot sword;
    sword.Init(5, &stored, 12, m_Rec, ShotLaunch{});
    EXPECT_EQ(sword.Move(), 1);
}

TEST_F(ShotTest, BlockPassValueOneNeverHitsBlocks)
{
    m_Rec.m_nBlockPass = 1;
    cShot shot;
    shot.Init(1, &m_Chara, 11, m_Rec, Launch(1, 0, 1));
    EXPECT_EQ(shot.HitsBlocks(), 0);
}

TEST_F(ShotTest, HorizontalClampKeepsTheShotInsideTheMap)
{
    cShot shot;
    shot.Init(1, &m_Chara, 11, m_Rec, Launch(-6, 0, 6));
    shot.m_dX = 2.0;
    shot.Move();
    shot.MoveX();
    EXPECT_EQ(shot.m_dX, 0.0);
    shot.m_dX = -40.0;
    EXPECT_EQ(shot.ClampShotX(), 3);
    EXPECT_EQ(shot.m_nCellLeft, 0);
    shot.m_dX = 1300.0;
    EXPECT_EQ(shot.ClampShotX(), 3);
    EXPECT_EQ(shot.m_dX, 1280.0 - 16);
    EXPECT_EQ(shot.m_dRight, 1279.0);
}

}  // namespace
