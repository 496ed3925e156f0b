// Movement solving: angles, direction codes, speeds from a direction, target coordinates, aiming
// with and without the scroll, the movement preparations and the character searches.
#include <gtest/gtest.h>

#include <cmath>

#include "objects/CharaSearch.h"
#include "objects/MoveSolve.h"
#include "tests/play/LaunchTestSupport.h"

namespace {

constexpr double kRoot2 = 1.4142135623730951;

class MoveSolveTest : public cLaunchFixture {};

TEST_F(MoveSolveTest, MoveAngleAddsClonesMirrorsAndComesBelow360)
{
    struct Case {
        int16_t nAngle, nStep, nClone;
        int8_t bMirror, nStartDir;
        int32_t nExpected;
    } cases[] = {
        {-30, 0, 0, 0, 0, -30},   // negative angles stay
        {750, 0, 0, 0, 0, 30},
        {360, 0, 0, 0, 0, 0},
        {5, 10, 2, 0, 0, 25},
        {30, 0, 0, 1, 1, 330},    // mirrored for a definition facing right
        {30, 0, 0, 1, 0, 30},
        {0, 0, 0, 1, 1, 0},       // 360 comes down to 0
    };
    for (const Case& c : cases) {
        Command cmd(2, false);
        cmd.Move().m_nAngle = c.nAngle;
        cmd.Move().m_nAngleStep = c.nStep;
        cmd.Move().m_bMirrorAngle = c.bMirror;
        m_Chara.m_nFormationIndex = c.nClone;
        m_Chara.m_Def.m_nStartDir = c.nStartDir;
        m_Chara.GetMoveAngle(&cmd.m_Inst);
        EXPECT_EQ(cmd.m_Inst.m_nAngle, c.nExpected) << c.nAngle << " " << c.nStep << " " << c.nClone;
    }
}

TEST_F(MoveSolveTest, TargetOffsetMirrorsOnlyForADefinitionFacingRight)
{
    Command cmd(2, false);
    cmd.Move().m_nTargetXBlocks = 2;
    cmd.Move().m_nTargetXDots = 5;
    cmd.Move().m_nTargetYBlocks = -1;
    cmd.Move().m_bMirrorX = 1;
    cmd.Move().m_bMirrorY = 1;
    m_Chara.m_Def.m_nStartDir = 0;
    m_Chara.GetMoveTargetOffset(&cmd.m_Inst);
    EXPECT_EQ(cmd.m_Inst.m_nTargetX, 69);
    EXPECT_EQ(cmd.m_Inst.m_nTargetY, -32);
    m_Chara.m_Def.m_nStartDir = 1;
    m_Chara.GetMoveTargetOffset(&cmd.m_Inst);
    EXPECT_EQ(cmd.m_Inst.m_nTargetX, -69);
    EXPECT_EQ(cmd.m_Inst.m_nTargetY, 32);
}

TEST_F(MoveSolveTest, DirectionCodesFollowFacingAndCollapseDiagonalsForWalkers)
{
    struct Case {
        int32_t nChoice, nDir, bKeepDiagonals, nExpected;
    } cases[] = {
        {0, 1, 1, 3}, {0, 0, 1, 2}, {1, 1, 1, 2}, {1, 0, 1, 3}, {4, 1, 1, 7}, {4, 0, 1, 6},
        {5, 1, 1, 6}, {5, 0, 1, 7}, {2, 1, 1, 2}, {7, 0, 1, 7}, {8, 0, 1, 8}, {8, 0, 0, 2},
        {9, 0, 0, 2}, {10, 0, 0, 3}, {11, 1, 0, 3}, {11, 1, 1, 11},
    };
    for (const Case& c : cases) {
        m_Chara.m_nDir = c.nDir;
        EXPECT_EQ(m_Chara.GetDirectionCode(c.nChoice, 0, c.bKeepDiagonals), c.nExpected)
            << c.nChoice << " " << c.nDir << " " << c.bKeepDiagonals;
    }
}

TEST_F(MoveSolveTest, InputDirectionChoiceReadsTheRunningFlowsStartDirection)
{
    cFlowInstance flow;
    m_State.m_lpCurFlow = &flow;
    m_Chara.m_nDir = 0;
    struct Case {
        int32_t nStartDir, nExpected;
    } cases[] = {{0, 2}, {1, 2}, {2, 3}, {3, 6}, {4, 7}, {5, 8}, {8, 11}, {9, 0}};
    for (const Case& c : cases) {
        flow.m_nStartDir = c.nStartDir;
        EXPECT_EQ(m_Chara.GetDirectionCode(12, 0, 1), c.nExpected) << c.nStartDir;
    }
    m_State.m_lpCurFlow = nullptr;
}

TEST_F(MoveSolveTest, SpeedFromDirectionGivesWalkersNoVerticalSpeed)
{
    struct Case {
        int32_t bFlying, nChoice;
        double vx, vy;
        int32_t nRequest;
    } cases[] = {
        {0, 6, 0.0, 0.0, 0},   {1, 6, 0.0, -4.0, 0},
        {0, 8, -4.0, 0.0, 1},  // a walker's diagonal acts as left
        {0, 11, 4.0, 0.0, 2},
        {1, 9, -4.0 / kRoot2, 4.0 / kRoot2, 1},
        {1, 10, 4.0 / kRoot2, -4.0 / kRoot2, 2},
        {1, 3, 4.0, 0.0, 2},
    };
    for (const Case& c : cases) {
        m_Chara.m_bFlying = c.bFlying;
        double vx = 9, vy = 9;
        int32_t nRequest = 7;
        m_Chara.SpeedFromDirection(vx, vy, nRequest, 4.0, c.nChoice);
        EXPECT_NEAR(vx, c.vx, 1e-12) << c.nChoice;
        EXPECT_NEAR(vy, c.vy, 1e-12) << c.nChoice;
        EXPECT_EQ(nRequest, c.nRequest) << c.nChoice;
    }
}

TEST_F(MoveSolveTest, FixedFacingKeepsTheRequestOfSpeedFromDirection)
{
    m_Chara.m_Def.m_bFixedDir = 1;
    double vx = 0, vy = 0;
    int32_t nRequest = 7;
    m_Chara.SpeedFromDirection(vx, vy, nRequest, 2.0, 2);
    EXPECT_EQ(vx, -2.0);
    EXPECT_EQ(nRequest, 7);
}

TEST_F(MoveSolveTest, TimedUpRightAtAngleZeroFliesAt45Degrees)
{
    m_Chara.m_bFlying = 1;
    double vx = 0, vy = 0;
    int32_t nRequest = 0;
    m_Chara.SpeedFromDirectionTimed(vx, vy, nRequest, 2.0, 10, 0);
    EXPECT_NEAR(vx, 2.0 / kRoot2, 1e-9);
    EXPECT_NEAR(vy, -2.0 / kRoot2, 1e-9);
    EXPECT_EQ(nRequest, 2);
    // An angle turns the flight: left turned by 90 flies up.
    m_Chara.SpeedFromDirectionTimed(vx, vy, nRequest, 2.0, 2, 90);
    EXPECT_NEAR(vx, 0.0, 1e-9);
    EXPECT_NEAR(vy, -2.0, 1e-9);
}

TEST_F(MoveSolveTest, RelativeTargetAtZeroOffsetStandsAndKeepsAFixedRequest)
{
    Command cmd(2, false);
    cmd.Move().m_nCoordMode = 1;
    m_Chara.m_Def.m_bFixedDir = 1;
    double vx = 5, vy = 5;
    int32_t nRequest = 7, nRemaining = 30;
    m_Chara.SetupMoveHelper(vx, vy, nRequest, 2.0, 0, 0, cmd.Move(), nRemaining);
    EXPECT_EQ(vx, 0.0);
    EXPECT_EQ(vy, 0.0);
    EXPECT_EQ(nRequest, 7);
    EXPECT_EQ(nRemaining, 0);   // arrive and stop: no distance, no time
}

TEST_F(MoveSolveTest, TargetCoordinatesSetTheTimeToArrive)
{
    Command cmd(2, false);
    cmd.Move().m_nCoordMode = 1;
    double vx = 0, vy = 0;
    int32_t nRequest = 0, nRemaining = 99;
    m_Chara.SetupMoveHelper(vx, vy, nRequest, 5.0, -30, 40, cmd.Move(), nRemaining);
    EXPECT_DOUBLE_EQ(vx, -3.0);
    EXPECT_DOUBLE_EQ(vy, 4.0);
    EXPECT_EQ(nRequest, 1);
    EXPECT_EQ(nRemaining, 10);

    // Closer than one sub-step with stop on zero time: no movement on the used axes.
    cmd.Move().m_bStopOnZeroTime = 1;
    m_Chara.SetupMoveHelper(vx, vy, nRequest, 5.0, 3, 0, cmd.Move(), nRemaining);
    EXPECT_EQ(nRemaining, 0);
    EXPECT_EQ(vx, 0.0);
    EXPECT_EQ(nRequest, 0);

    // The stage coordinates are measured from the stage's corner block, screen ones from the view.
    cmd.Move().m_bStopOnZeroTime = 0;
    cmd.Move().m_nCoordMode = 3;
    m_Chara.SetupMoveHelper(vx, vy, nRequest, 1.0, 100, 200, cmd.Move(), nRemaining);
    EXPECT_DOUBLE_EQ(vx, 0.0);   // centre 116 = offset 100 + 16
    EXPECT_DOUBLE_EQ(vy, 1.0);
}

TEST_F(MoveSolveTest, NegativeAimSpeedFleesDiagonallyAndRightAtTheGoalsX)
{
    double vx = 0, vy = 0;
    int32_t nRequest = 0;
    EXPECT_EQ(AimVelocity(vx, vy, nRequest, nullptr, 50, 50, 50, 80, -4.0, 0, 0, 1), 0);
    EXPECT_DOUBLE_EQ(vx, 4.0 / kRoot2);
    EXPECT_DOUBLE_EQ(vy, -4.0 / kRoot2);
    EXPECT_EQ(nRequest, 2);
    AimVelocity(vx, vy, nRequest, nullptr, 60, 90, 50, 80, -4.0, 0, 0, 0);
    EXPECT_DOUBLE_EQ(vx, 4.0 / kRoot2);
    EXPECT_DOUBLE_EQ(vy, 4.0 / kRoot2);
}

TEST_F(MoveSolveTest, PlainAimHasTheSpeedAndArrivesWithinOneStep)
{
    double vx = 0, vy = 0;
    int32_t nRequest = 0;
    EXPECT_EQ(AimVelocity(vx, vy, nRequest, nullptr, 0, 0, -30, 40, 5.0, 0, 0, 1), 0);
    EXPECT_DOUBLE_EQ(vx, -3.0);
    EXPECT_DOUBLE_EQ(vy, 4.0);
    EXPECT_EQ(nRequest, 1);
    EXPECT_EQ(AimVelocity(vx, vy, nRequest, nullptr, 0, 0, 2, -3, 5.0, 0, 0, 1), 1);
    // At the goal itself the direction is undefined: no movement, no division by zero.
    EXPECT_EQ(AimVelocity(vx, vy, nRequest, nullptr, 7, 7, 7, 7, 5.0, 0, 0, 0), 0);
    EXPECT_EQ(vx, 0.0);
    EXPECT_EQ(vy, 0.0);
    EXPECT_EQ(nRequest, 0);
}

TEST_F(MoveSolveTest, InterceptMeetsAScreenFixedTargetWhileTheViewScrolls)
{
    m_State.m_ScrollX.m_dSpeed = 0.5;
    m_State.m_ScrollX.m_bEdge = 0;
    cChara target;
    target.m_bScreenFixed = 1;
    const double x = 0, y = 0, gx = 100, gy = 30, t = 3.0;
    double vx = 0, vy = 0;
    int32_t nRequest = 0;
    AimVelocity(vx, vy, nRequest, &target, x, y, gx, gy, t, 0, 0, 0);
    ASSERT_TRUE(std::isfinite(vx) && std::isfinite(vy));
    EXPECT_NEAR(std::sqrt(vx * vx + vy * vy), t, 1e-9);
    // Both reach the same point at the same time T.
    const double T = (x - gx) / (0.5 - vx);
    EXPECT_GT(T, 0.0);
    EXPECT_NEAR(x + vx * T, gx + 0.5 * T, 1e-9);
    EXPECT_NEAR(y + vy * T, gy, 1e-9);
    EXPECT_EQ(nRequest, 2);
}

TEST_F(MoveSolveTest, InterceptTooSlowToMeetKeepsThePlainAim)
{
    m_State.m_ScrollX.m_dSpeed = 5.0;
    cChara target;
    target.m_bScreenFixed = 1;
    double vx = 0, vy = 0;
    int32_t nRequest = 0;
    // The target runs away at 5 per step; a speed of 1 never meets it.
    AimVelocity(vx, vy, nRequest, &target, 0, 0, 100, 90, 1.0, 0, 0, 0);
    EXPECT_TRUE(std::isfinite(vx) && std::isfinite(vy));
    EXPECT_NEAR(vx, 100 / std::sqrt(18100.0), 1e-12);
    EXPECT_NEAR(vy, 90 / std::sqrt(18100.0), 1e-12);
}

TEST_F(MoveSolveTest, ScrollSpeedsAreSubtractedForAStageObjectAimingAtAStageTarget)
{
    m_State.m_ScrollX.m_dSpeed = 0.5;
    m_State.m_ScrollY.m_dSpeed = 0.25;
    cChara target;
    double vx = 0, vy = 0;
    int32_t nRequest = 0;
    AimVelocity(vx, vy, nRequest, &target, 0, 0, 3, 4, 5.0, 0, 0, 0);
    EXPECT_DOUBLE_EQ(vx, 2.5);
    EXPECT_DOUBLE_EQ(vy, 3.75);
    // An axis standing at its edge does not scroll.
    m_State.m_ScrollX.m_bEdge = 1;
    AimVelocity(vx, vy, nRequest, &target, 0, 0, 3, 4, 5.0, 0, 0, 0);
    EXPECT_DOUBLE_EQ(vx, 3.0);
    // With the follow-scroll setting the speeds are added instead.
    g_System.m_bLegacy733 = 1;
    m_State.m_ScrollX.m_bEdge = 0;
    AimVelocity(vx, vy, nRequest, &target, 0, 0, 3, 4, 5.0, 0, 0, 0);
    EXPECT_DOUBLE_EQ(vx, 3.5);
    EXPECT_DOUBLE_EQ(vy, 4.25);
}

TEST_F(MoveSolveTest, StepTowardMovesLeftFromTheGoalAndArrivesWithinOneStep)
{
    double vx = 0, vy = 9;
    int32_t nRequest = 0;
    EXPECT_EQ(StepTowardX(vx, vy, nRequest, nullptr, 50, 50, 2.0, 0, 0), 0);
    EXPECT_EQ(vx, -2.0);
    EXPECT_EQ(vy, 0.0);
    EXPECT_EQ(nRequest, 1);
    EXPECT_EQ(StepTowardX(vx, vy, nRequest, nullptr, 49, 50, 2.0, 0, 1), 1);
    EXPECT_EQ(vx, 2.0);
    EXPECT_EQ(nRequest, 2);
    EXPECT_EQ(StepTowardY(vx, vy, nRequest, nullptr, 10, 0, 2.0, 0, 0), 0);
    EXPECT_EQ(vy, -2.0);
    EXPECT_EQ(nRequest, 0);
}

TEST_F(MoveSolveTest, ApplyMovementTurnsAddsSpeedAndBuildsInertiaWithinItsLimit)
{
    Command cmd(2, false);
    cmd.Move().m_bNoWalkAnime = 1;
    m_Chara.m_nDir = 1;
    m_Chara.ApplyMovement(-1.5, 0.5, 1, &cmd.m_Inst, cmd.Move(), 0);
    EXPECT_EQ(m_Chara.m_nDir, 0);
    EXPECT_EQ(m_Chara.m_dSpeedX, -1.5);
    EXPECT_EQ(m_Chara.m_dSpeedY, 0.5);
    EXPECT_EQ(m_Chara.m_bMoved, 0);

    // Fixed facing ignores the request unless forced; keep facing ignores it always.
    m_Chara.m_Def.m_bFixedDir = 1;
    m_Chara.ApplyMovement(0, 0, 2, &cmd.m_Inst, cmd.Move(), 0);
    EXPECT_EQ(m_Chara.m_nDir, 0);
    m_Chara.ApplyMovement(0, 0, 2, &cmd.m_Inst, cmd.Move(), 1);
    EXPECT_EQ(m_Chara.m_nDir, 1);
    cmd.Move().m_bKeepFacing = 1;
    m_Chara.ApplyMovement(0, 0, 1, &cmd.m_Inst, cmd.Move(), 1);
    EXPECT_EQ(m_Chara.m_nDir, 1);

    cmd.Move().m_bInertia = 1;
    cmd.Move().m_dInertiaFactor = 3.0;
    cmd.m_Inst.m_dMaxSpeed = 0.05;
    m_Chara.m_bBrakeX = 1;
    m_Chara.ApplyMovement(1.2, 0.0, 0, &cmd.m_Inst, cmd.Move(), 0);
    EXPECT_DOUBLE_EQ(m_Chara.m_dAccelX, 0.02);   // 1.2 per second at b = 1
    EXPECT_EQ(m_Chara.m_bBrakeX, 0);
    m_Chara.m_bBrakeX = 1;
    m_Chara.ApplyMovement(-0.6, 0.0, 0, &cmd.m_Inst, cmd.Move(), 0);
    EXPECT_NEAR(m_Chara.m_dAccelX, -0.01, 1e-15);   // opposing: times the factor
    EXPECT_EQ(m_Chara.m_bBrakeX, 1);
    m_Chara.ApplyMovement(-60.0, 0.0, 0, &cmd.m_Inst, cmd.Move(), 0);
    EXPECT_DOUBLE_EQ(m_Chara.m_dAccelX, -0.05);
}

TEST_F(MoveSolveTest, CirclePreparationNeverDividesByZero)
{
    Command cmd(4, false);
    cmd.Move().m_nRadius = 25;       // clamped to 20 half blocks
    cmd.Move().m_nAngle = 0;
    cmd.Move().m_nDistance = 90;
    cmd.m_Inst.m_nInitialCount = 0;  // a command of no time
    PrepareCircle(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(cmd.m_Inst.m_nRadius, 320);
    EXPECT_EQ(cmd.m_Inst.m_nStartPhase, 0);
    EXPECT_EQ(cmd.m_Inst.m_nEndPhase, 90);
    EXPECT_DOUBLE_EQ(cmd.m_Inst.m_dSpeed, 90.0);

    cmd.Move().m_nSolveMode = 1;
    cmd.m_Inst.m_dSpeed = 0.0;
    cmd.m_Inst.m_nInitialCount = 12;
    PrepareCircle(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(cmd.m_Inst.m_nInitialCount, 12);
    cmd.m_Inst.m_dSpeed = -3.0;
    PrepareCircle(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(cmd.m_Inst.m_nInitialCount, 30);
}

TEST_F(MoveSolveTest, CirclePreparationMirrorsForADefinitionFacingRight)
{
    Command cmd(4, false);
    cmd.Move().m_nAngle = 10;
    cmd.Move().m_nDistance = 100;
    cmd.Move().m_bMirrorX = 1;
    cmd.m_Inst.m_nInitialCount = 30;
    cmd.m_Inst.m_nDirChoice = 0;
    m_Chara.m_Def.m_nStartDir = 1;
    SetSpeed(2, 0.0);
    PrepareCircle(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(cmd.m_Inst.m_nDirChoice, 1);
    EXPECT_EQ(cmd.m_Inst.m_nStartPhase, 380);
    EXPECT_EQ(cmd.m_Inst.m_nEndPhase, 560);
    EXPECT_DOUBLE_EQ(cmd.m_Inst.m_dSpeed, 180.0 / 30 / 2);
}

TEST_F(MoveSolveTest, HomingPreparationCountsTheDelayInSubSteps)
{
    Command cmd(6, false);
    cmd.Move().m_nRadius = 3;
    cmd.Move().m_nRadiusStep = 2;
    m_Chara.m_nFormationIndex = 1;
    SetSpeed(3, 0.0);
    PrepareHoming(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(cmd.m_Inst.m_nRadius, 15);
}

TEST_F(MoveSolveTest, JumpPreparationWithoutGravityIsNoJump)
{
    Command cmd(10, false);
    cmd.m_Cmd.m_vParam = {0, 0, 4};
    PrepareJump(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(cmd.m_Inst.m_dSpeed, 0.0);
    EXPECT_EQ(cmd.m_Cmd.m_nTime, 1);
    EXPECT_EQ(cmd.m_Inst.m_nInitialCount, 6);
    // A command without its parameters jumps no height.
    cmd.m_Cmd.m_vParam.clear();
    PrepareJump(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(cmd.m_Inst.m_nInitialCount, 6);
}

TEST_F(MoveSolveTest, PreparationTableCoversTheMovementKinds)
{
    for (int32_t k = 0; k < 40; ++k) {
        const bool bPrepared = k == 2 || k == 3 || k == 4 || k == 5 || k == 6 || k == 7 || k == 10;
        EXPECT_EQ(MoveSetupTable[k] != nullptr, bPrepared) << k;
    }
}

// ------------------------------------------------------------------ character searches

class CharaSearchTest : public cLaunchFixture {
public:
    void SetUp() override
    {
        cLaunchFixture::SetUp();
        for (int32_t i = 0; i < 4; ++i) {
            PrepareChara(m_Charas[i], 100 + 100 * i, 100);
            m_Charas[i].m_nKey = i + 1;
            m_List.PushBack(&m_Charas[i]);
        }
    }
    cChara m_Charas[4];
    cLinkList<cCharaBase> m_List;
};

TEST_F(CharaSearchTest, FindCharaAppliesEveryEnabledFilter)
{
    m_Charas[0].m_bDefeated = 1;
    m_Charas[1].m_Def.m_nInvincible = 1;
    m_Charas[2].m_Def.m_nInvincible = 2;
    m_Charas[3].m_Def.m_bCellBox = 1;
    m_Charas[1].m_Def.m_nCid = 5;
    m_Charas[3].m_vVar[2] = -12;
    struct Case {
        CharaFilter filter;
        int32_t nExpectedKey;   // 0: none
    } cases[] = {
        {{}, 2},
        {{.bById = 1, .nId = 5}, 2},
        {{.bById = 1, .nId = 6}, 0},
        {{.bExcludeShotHit = 1}, 3},
        {{.bExcludeShotHit = 1, .bExcludeShotPass = 1}, 4},
        {{.bExcludeShotHit = 1, .bExcludeShotPass = 1, .bExcludeSolid = 1}, 0},
        {{.bExcludeKey = 1, .nKey = 2}, 3},
        {{.bByVariable = 1, .nVariable = 2, .nValue = 5, .nOperator = 7}, 4},   // |-12| is no multiple of 5
        {{.bByVariable = 1, .nVariable = 2, .nValue = 4, .nOperator = 6}, 2},   // 0 is a multiple of 4
        {{.bByVariable = 1, .nVariable = 2, .nValue = 0, .nOperator = 6}, 2},   // value 0 passes
        {{.bByVariable = 1, .nVariable = 2, .nValue = 0, .nOperator = 7}, 0},   // value 0 fails
        {{.bByVariable = 1, .nVariable = 2, .nValue = -12, .nOperator = 3}, 4},
        {{.bByVariable = 1, .nVariable = 40, .nValue = 0, .nOperator = 0}, 0},  // no such variable
    };
    for (const Case& c : cases) {
        cCharaBase* lpFound = FindChara(m_List, c.filter);
        EXPECT_EQ(lpFound != nullptr ? lpFound->m_nKey : 0, c.nExpectedKey);
    }
}

TEST_F(CharaSearchTest, NearestPrefersOnScreenCharactersInScopeZero)
{
    m_Charas[0].m_bOnScreen = 0;   // nearest to (100, 100) but off screen
    const CharaFilter none;
    EXPECT_EQ(FindNearestChara(100, 100, m_List, 0, none)->m_nKey, 2);
    EXPECT_EQ(FindNearestChara(100, 100, m_List, 1, none)->m_nKey, 1);
    EXPECT_EQ(FindNearestChara(100, 100, m_List, 2, none)->m_nKey, 2);
    for (cChara& c : m_Charas) c.m_bOnScreen = 0;
    EXPECT_EQ(FindNearestChara(400, 100, m_List, 0, none)->m_nKey, 4);
    EXPECT_EQ(FindNearestChara(400, 100, m_List, 2, none), nullptr);
    // Characters that have not appeared or are defeated are never found.
    m_Charas[3].m_bAppeared = 0;
    m_Charas[2].m_bDefeated = 1;
    EXPECT_EQ(FindNearestChara(400, 100, m_List, 0, none)->m_nKey, 2);
}

TEST_F(CharaSearchTest, NearestTieGoesToTheFirstListed)
{
    SetScreenRect(m_Charas[1], 100, 0);
    SetScreenRect(m_Charas[2], 100, 200);
    m_Charas[0].m_bAppeared = 0;
    EXPECT_EQ(FindNearestChara(116, 116, m_List, 1, CharaFilter{})->m_nKey, 2);
}

TEST_F(CharaSearchTest, NearestFromAShotLeavesOutCharactersShotsPassAndUnknownFactions)
{
    m_Charas[0].m_Def.m_nInvincible = 2;
    for (cChara& c : m_Charas) m_State.m_vFactionCharas[3].PushBack(&c);
    cShot shot;
    shot.m_nWidth = shot.m_nHeight = 16;
    SetScreenRect(shot, 100, 100);
    EXPECT_EQ(shot.FindNearestToMe(3)->m_nKey, 2);
    EXPECT_EQ(shot.FindNearestToMe(9), nullptr);
    EXPECT_EQ(shot.FindNearestToMe(-1), nullptr);
    m_State.m_vFactionCharas[3].Clear();
}

}  // namespace
