// The movement commands (kinds 2 to 10) and the warp, target, status-flag, vanish and take-item
// commands, run on a hand-built computer character.
#include <gtest/gtest.h>

#include <cmath>

#include "data/EdPalette.h"
#include "data/EdStage.h"
#include "flows/MoveCommands.h"
#include "flows/ObjectCommands.h"
#include "objects/MoveSolve.h"
#include "objects/ObjectLinks.h"
#include "objects/Shot.h"
#include "objects/ShotLaunch.h"
#include "tests/play/LaunchTestSupport.h"

namespace {

class MoveCommandsTest : public cLaunchFixture {
public:
    void SetUp() override
    {
        cLaunchFixture::SetUp();
        m_Chara.m_bFlying = 1;
    }
    // A movement command prepared with a speed per sub-step.
    static void Prepare(Command& cmd, double dSpeed, int32_t nChoice = 0)
    {
        cmd.Move().m_bNoWalkAnime = 1;
        cmd.m_Inst.m_dSpeed = dSpeed;
        cmd.m_Inst.m_nDirChoice = nChoice;
        cmd.m_Inst.m_nRemaining = 30;
    }
};

TEST_F(MoveCommandsTest, StraightMoveByInputDirectionFollowsTheInputAtItsStartOnly)
{
    cFlowInstance flow;
    flow.m_nStartDir = 2;   // right
    m_State.m_lpCurFlow = &flow;
    Command cmd(2, false);
    Prepare(cmd, 2.0, 12);
    CmdStraightMove(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_dSpeedX, 2.0);
    EXPECT_EQ(m_Chara.m_nDir, 1);
    flow.m_nStartDir = 1;   // left now
    CmdStraightMove(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_dSpeedX, 4.0);
    m_State.m_lpCurFlow = nullptr;
}

TEST_F(MoveCommandsTest, StraightMoveReversesOnATurnUnderFixedFacing)
{
    m_Chara.m_Def.m_bFixedDir = 1;
    m_Chara.m_nDir = 0;
    Command cmd(2, false);
    Prepare(cmd, 1.0, 2);
    CmdStraightMove(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_dSpeedX, -1.0);
    m_Chara.m_nDir = 1;   // turned by something else
    CmdStraightMove(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_dSpeedX, 0.0);
    // A walker never gets a vertical speed, even from an upward choice.
    m_Chara.m_bFlying = 0;
    Command up(2, false);
    Prepare(up, 1.0, 6);
    CmdStraightMove(&m_Chara, &up.m_Inst);
    EXPECT_EQ(m_Chara.m_dSpeedY, 0.0);
}

TEST_F(MoveCommandsTest, ChargeWithoutTargetStaysStillAndDoesNotTurn)
{
    m_Chara.m_nDir = 1;
    Command cmd(5, false);
    Prepare(cmd, 3.0);
    for (int32_t i = 0; i < 10; ++i) CmdChargeMove(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_dSpeedX, 0.0);
    EXPECT_EQ(m_Chara.m_dSpeedY, 0.0);
    EXPECT_EQ(m_Chara.m_nDir, 1);
}

TEST_F(MoveCommandsTest, ChargeAimsOnceAndKeepsItsVelocity)
{
    cChara target;
    PrepareChara(target, 100, 400);
    m_Chara.m_lpTarget = &target;
    Command cmd(5, false);
    Prepare(cmd, 3.0);
    CmdChargeMove(&m_Chara, &cmd.m_Inst);
    EXPECT_NEAR(m_Chara.m_dSpeedY, 3.0, 1e-12);
    SetScreenRect(target, 400, 100);   // the target moves away: the charge goes on as aimed
    CmdChargeMove(&m_Chara, &cmd.m_Inst);
    EXPECT_NEAR(m_Chara.m_dSpeedX, 0.0, 1e-12);
    EXPECT_NEAR(m_Chara.m_dSpeedY, 6.0, 1e-12);
    m_Chara.m_lpTarget = nullptr;
}

TEST_F(MoveCommandsTest, HomingWithoutDelayReAimsEverySubStep)
{
    cChara target;
    PrepareChara(target, 300, 100);
    m_Chara.m_lpTarget = &target;
    Command cmd(6, false);
    Prepare(cmd, 2.0);
    CmdHomingMove(&m_Chara, &cmd.m_Inst);
    EXPECT_DOUBLE_EQ(cmd.m_Inst.m_dVelX, 2.0);
    EXPECT_DOUBLE_EQ(cmd.m_Inst.m_dVelY, 0.0);
    SetScreenRect(target, 100, 300);
    CmdHomingMove(&m_Chara, &cmd.m_Inst);
    EXPECT_NEAR(cmd.m_Inst.m_dVelX, 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(cmd.m_Inst.m_dVelY, 2.0);
    m_Chara.m_lpTarget = nullptr;
}

TEST_F(MoveCommandsTest, HomingWithDelayFollowsTheTargetsPathLate)
{
    cChara target;
    PrepareChara(target, 300, 100);   // right of the character
    m_Chara.m_lpTarget = &target;
    Command cmd(6, false);
    Prepare(cmd, 2.0);
    cmd.m_Inst.m_nRadius = 2;
    CmdHomingMove(&m_Chara, &cmd.m_Inst);   // aims at once
    EXPECT_DOUBLE_EQ(cmd.m_Inst.m_dVelX, 2.0);
    SetScreenRect(target, 100, 300);        // now below
    CmdHomingMove(&m_Chara, &cmd.m_Inst);   // between re-aims
    EXPECT_DOUBLE_EQ(cmd.m_Inst.m_dVelX, 2.0);
    CmdHomingMove(&m_Chara, &cmd.m_Inst);   // re-aims at the point of two sub-steps ago
    EXPECT_DOUBLE_EQ(cmd.m_Inst.m_dVelX, 2.0);
    EXPECT_DOUBLE_EQ(cmd.m_Inst.m_dVelY, 0.0);
    CmdHomingMove(&m_Chara, &cmd.m_Inst);
    CmdHomingMove(&m_Chara, &cmd.m_Inst);   // and then at the one it remembered
    EXPECT_NEAR(cmd.m_Inst.m_dVelX, 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(cmd.m_Inst.m_dVelY, 2.0);
    EXPECT_LE(cmd.m_Inst.m_lTargetPoints.size(), 1u);
    m_Chara.m_lpTarget = nullptr;
}

TEST_F(MoveCommandsTest, HomingOnATargetBeingRemovedDoesNothing)
{
    cChara target;
    PrepareChara(target, 300, 100);
    target.m_bRemoved = 1;
    m_Chara.m_lpTarget = &target;
    Command cmd(6, false);
    Prepare(cmd, 2.0);
    CmdHomingMove(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_dSpeedX, 0.0);
    EXPECT_EQ(cmd.m_Inst.m_bStarted, 0);
    m_Chara.m_lpTarget = nullptr;
}

TEST_F(MoveCommandsTest, CircleWithRadiusZeroDoesNothing)
{
    Command cmd(4, false);
    Prepare(cmd, 5.0);
    for (int32_t i = 0; i < 20; ++i) CmdCircleMove(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_dSpeedX, 0.0);
    EXPECT_EQ(m_Chara.m_dSpeedY, 0.0);
    EXPECT_EQ(cmd.m_Inst.m_bStarted, 0);
}

TEST_F(MoveCommandsTest, CircleComesBackToItsStartAfterAFullTurn)
{
    Command cmd(4, false);
    cmd.Move().m_nRadius = 4;
    cmd.Move().m_nDistance = 360;
    cmd.m_Inst.m_nInitialCount = 90;
    PrepareCircle(&m_Chara, &cmd.m_Inst);
    cmd.Move().m_bNoWalkAnime = 1;
    double x = 0, y = 0, dMax = 0;
    for (int32_t i = 0; i < 90; ++i) {
        m_Chara.m_dSpeedX = m_Chara.m_dSpeedY = 0.0;
        CmdCircleMove(&m_Chara, &cmd.m_Inst);
        x += m_Chara.m_dSpeedX;
        y += m_Chara.m_dSpeedY;
        dMax = std::fmax(dMax, std::hypot(x, y));
    }
    EXPECT_NEAR(x, 0.0, 0.5);
    EXPECT_NEAR(y, 0.0, 0.5);
    EXPECT_NEAR(dMax, 128.0, 2.0);   // across the circle of radius 64
}

TEST_F(MoveCommandsTest, TurnActsOnlyUnderFixedFacing)
{
    Command cmd(9, false);
    cmd.m_Cmd.m_vParam = {1};
    m_Chara.m_Def.m_bFixedDir = 0;
    m_Chara.m_nDir = 0;
    CmdTurn(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_nDir, 0);

    m_Chara.m_Def.m_bFixedDir = 1;
    struct Case {
        int32_t nChoice, nWallSide, nDirBefore, nExpected;
    } cases[] = {{0, 0, 1, 0}, {1, 0, 0, 1}, {4, 1, 0, 1}, {5, 1, 1, 0}, {4, -1, 1, 1}, {5, 0, 0, 1}};
    for (const Case& c : cases) {
        Command turn(9, false);
        turn.m_Cmd.m_vParam = {c.nChoice};
        m_Chara.m_nLastWallSide = c.nWallSide;
        m_Chara.m_nDir = c.nDirBefore;
        CmdTurn(&m_Chara, &turn.m_Inst);
        EXPECT_EQ(m_Chara.m_nDir, c.nExpected) << c.nChoice << " " << c.nWallSide;
    }
}

TEST_F(MoveCommandsTest, TurnTowardTheTargetWaitsForOne)
{
    m_Chara.m_Def.m_bFixedDir = 1;
    m_Chara.m_nDir = 1;
    Command cmd(9, false);
    cmd.m_Cmd.m_vParam = {2};
    CmdTurn(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(cmd.m_Inst.m_nCalls, 0);   // tries again next sub-step
    cChara target;
    PrepareChara(target, 20, 100);
    m_Chara.m_lpTarget = &target;
    CmdTurn(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_nDir, 0);
    EXPECT_EQ(cmd.m_Inst.m_nCalls, 1);
    // Between periods nothing changes; the next tenth of a second turns away (choice 3).
    cmd.m_Cmd.m_vParam = {3};
    for (int32_t i = 0; i < 4; ++i) CmdTurn(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_nDir, 0);
    CmdTurn(&m_Chara, &cmd.m_Inst);
    CmdTurn(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_nDir, 1);
    m_Chara.m_lpTarget = nullptr;
}

TEST_F(MoveCommandsTest, StopMovementHoldsTheObjectStill)
{
    m_Chara.m_dSpeedX = 3;
    m_Chara.m_dAccelY = 1;
    m_Chara.m_dForceX = 2;
    m_Chara.m_bLockScreenX = 1;
    Command cmd(8, false);
    CmdStopMovement(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_dSpeedX, 0.0);
    EXPECT_EQ(m_Chara.m_dAccelY, 0.0);
    EXPECT_EQ(m_Chara.m_dForceX, 0.0);
    EXPECT_EQ(m_Chara.m_bLockScreenX, 0);
    EXPECT_EQ(m_Chara.m_bGravityHold, 1);
}

TEST_F(MoveCommandsTest, GroundWalkTurnsBackWhenBumpedAndNotWhileFlying)
{
    Command cmd(3, false);
    Prepare(cmd, 1.5);
    CmdGroundTurnMove(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_dSpeedX, 0.0);   // flying: nothing

    m_Chara.m_bFlying = 0;
    m_Chara.m_nDir = 1;
    m_Chara.m_Def.m_bFixedDir = 1;       // the walk turns even so
    CmdGroundTurnMove(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_dSpeedX, 1.5);
    m_Chara.m_bBumped = 1;
    CmdGroundTurnMove(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_nDir, 0);
    EXPECT_EQ(m_Chara.m_dSpeedX, 0.0);
    EXPECT_EQ(m_Chara.m_bBumped, 0);
    // Knocked about: it keeps walking the way it faces.
    m_Chara.m_dForceX = 1.0;
    CmdGroundTurnMove(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Chara.m_dSpeedX, -1.5);
}

TEST_F(MoveCommandsTest, ScreenEdgeMoveBringsObjectsBackFromTheEdges)
{
    struct Case {
        int32_t nChoice, nLeft, nTop;
        double vx, vy;
    } cases[] = {{2, 620, 100, -2, 0}, {2, 600, 100, 0, 0}, {3, -10, 100, 2, 0}, {6, 100, 460, 0, -2},
                 {7, 100, -20, 0, 2}, {9, 620, -20, -2, 2}};
    for (const Case& c : cases) {
        cChara chara;
        PrepareChara(chara, c.nLeft, c.nTop);
        chara.m_bFlying = 1;
        Command cmd(7, false);
        Prepare(cmd, 2.0);
        cmd.Move().m_nDirection = static_cast<int8_t>(c.nChoice);
        CmdScreenEdgeMove(&chara, &cmd.m_Inst);
        EXPECT_EQ(chara.m_dSpeedX, c.vx) << c.nChoice << " " << c.nLeft;
        EXPECT_EQ(chara.m_dSpeedY, c.vy) << c.nChoice << " " << c.nTop;
    }
}

// ------------------------------------------------------------------ warp, target, flags, vanish

// The walker keeps itself inside the map after each move, as a computer character does.
TEST_F(MoveCommandsTest, WarpIntoTheStageMovesAndOutOfItStaysPut)
{
    cCoreTestChara walker;
    PrepareChara(walker, 100, 100);
    Command cmd(20, false);
    cmd.Move().m_nMode = 0;
    cmd.Move().m_nDirection = 3;
    cmd.Move().m_nDistance = 2;
    walker.m_bFlying = 0;
    walker.m_dSpeedY = 4.0;
    CmdWarp(&walker, &cmd.m_Inst);
    EXPECT_EQ(walker.m_dX, 420.0 + 32);
    EXPECT_EQ(walker.m_dSpeedY, 0.0);

    walker.m_dSpeedY = 4.0;
    cmd.Move().m_nDistance = 100;
    CmdWarp(&walker, &cmd.m_Inst);
    EXPECT_EQ(walker.m_dX, 452.0);
    EXPECT_EQ(walker.m_dRight, 483.0);
    EXPECT_EQ(walker.m_dSpeedY, 4.0);
}

TEST_F(MoveCommandsTest, WarpFromTheTargetNeedsOne)
{
    cCoreTestChara walker;
    PrepareChara(walker, 100, 100);
    Command cmd(20, false);
    cmd.Move().m_nMode = 1;
    cmd.Move().m_nDistance = 2;
    CmdWarp(&walker, &cmd.m_Inst);
    EXPECT_EQ(walker.m_dX, 420.0);
    EXPECT_EQ(walker.m_dY, 420.0);

    cChara target;
    PrepareChara(target, 200, 150);
    target.m_nDir = 1;   // its front is to the right
    walker.m_lpTarget = &target;
    CmdWarp(&walker, &cmd.m_Inst);
    EXPECT_EQ(walker.m_dX, 520.0 + 32);
    EXPECT_EQ(walker.m_dY, 470.0);
    walker.m_lpTarget = nullptr;
}

TEST_F(MoveCommandsTest, WarpToScreenCoordinatesLocksTheScreenPosition)
{
    cCoreTestChara walker;
    PrepareChara(walker, 100, 100);
    Command cmd(20, false);
    cmd.Move().m_nMode = 2;
    cmd.Move().m_nCoordMode = 2;
    cmd.Move().m_nTargetXBlocks = 5;
    cmd.Move().m_nTargetYBlocks = 3;
    CmdWarp(&walker, &cmd.m_Inst);
    EXPECT_EQ(walker.m_dX, 320.0 + 160);
    EXPECT_EQ(walker.m_dY, 320.0 + 96);
    EXPECT_EQ(walker.m_bLockScreenX, 1);
    EXPECT_EQ(walker.m_nLockScreenX, 160);
    EXPECT_EQ(walker.m_nLockScreenY, 96);
}

class ObjectCommandsTest : public cLaunchFixture {
public:
    void SetUp() override
    {
        cLaunchFixture::SetUp();
        for (int32_t i = 0; i < 3; ++i) {
            PrepareChara(m_Others[i], 200 + 100 * i, 100);
            m_Others[i].m_nKey = 10 + i;
            m_State.m_vFactionCharas[3].PushBack(&m_Others[i]);
        }
        m_Chara.m_nKey = 1;
    }
    void TearDown() override
    {
        for (cChara& c : m_Others) c.DropLinks();
        m_Chara.DropLinks();
        cLaunchFixture::TearDown();
    }
    static Command Target(std::vector<int32_t> vParams)
    {
        Command cmd(21, false);
        vParams.resize(15, 0);
        cmd.m_Cmd.m_vParam = vParams;
        return cmd;
    }
    cChara m_Others[3];
};

TEST_F(ObjectCommandsTest, SetTargetNoneWhenNothingMatchesLeavesTheOldTargetsList)
{
    m_Chara.SetTarget(&m_Others[0]);
    ASSERT_TRUE(m_Others[0].m_vTargetedBy.Contains(&m_Chara));
    // By character ID 9 in faction 3: nobody; "keep the target" keeps it.
    Command keep = Target({3, 3, 0, 0, 0, 0, 0, 0, 1, 9, 0, 0, 0, 0, 1});
    CmdSetTarget(&m_Chara, &keep.m_Inst);
    EXPECT_EQ(m_Chara.m_lpTarget, &m_Others[0]);
    Command none = Target({3, 3, 0, 0, 0, 0, 0, 0, 1, 9, 0, 0, 0, 0, 0});
    CmdSetTarget(&m_Chara, &none.m_Inst);
    EXPECT_EQ(m_Chara.m_lpTarget, nullptr);
    EXPECT_TRUE(m_Others[0].m_vTargetedBy.empty());
}

TEST_F(ObjectCommandsTest, SetTargetFindsTheNearestAndTheFirstByFilter)
{
    m_Others[1].m_Def.m_nCid = 4;
    m_Others[2].m_Def.m_nCid = 4;
    Command byId = Target({3, 3, 0, 0, 0, 0, 0, 0, 1, 4});
    CmdSetTarget(&m_Chara, &byId.m_Inst);
    EXPECT_EQ(m_Chara.m_lpTarget, &m_Others[1]);
    EXPECT_TRUE(m_Others[1].m_vTargetedBy.Contains(&m_Chara));

    SetScreenRect(m_Others[2], 90, 110);
    Command nearest = Target({2, 3});
    CmdSetTarget(&m_Chara, &nearest.m_Inst);
    EXPECT_EQ(m_Chara.m_lpTarget, &m_Others[2]);
    EXPECT_TRUE(m_Others[1].m_vTargetedBy.empty());

    // All factions: the nearest of each list competes.
    cChara close;
    PrepareChara(close, 100, 101);
    m_State.m_vFactionCharas[6].PushBack(&close);
    Command all = Target({2, 0, 1});
    CmdSetTarget(&m_Chara, &all.m_Inst);
    EXPECT_EQ(m_Chara.m_lpTarget, &close);
    // A faction that names no list finds nobody.
    Command bad = Target({2, 12});
    CmdSetTarget(&m_Chara, &bad.m_Inst);
    EXPECT_EQ(m_Chara.m_lpTarget, nullptr);
    close.DropLinks();
    m_State.m_vFactionCharas[6].Clear();
}

TEST_F(ObjectCommandsTest, VanishOnScreenSparesTheOffScreenCharacters)
{
    m_Others[1].m_bOnScreen = 0;
    m_Others[2].m_bAppeared = 0;
    Command cmd(24, false);
    cmd.m_Cmd.m_vParam = {0, 3, 0};
    CmdVanish(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Others[0].m_bRemoved, 1);
    EXPECT_EQ(m_Others[1].m_bRemoved, 0);
    EXPECT_EQ(m_Others[2].m_bRemoved, 0);
    EXPECT_EQ(m_State.m_bDeathPending, 1);

    cmd.m_Cmd.m_vParam = {0, 3, 1};
    CmdVanish(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_Others[1].m_bRemoved, 1);
    EXPECT_EQ(m_Others[2].m_bRemoved, 0);   // never appeared
}

TEST_F(ObjectCommandsTest, VanishOfShotsTakesThemOffTheStage)
{
    // Launched shots take part at once; one inside the view, one beyond its right edge.
    for (int32_t nX : {500, 1000}) {
        cEdShot rec;
        rec.m_nSide = 2;
        rec.m_bSameSide = 0;
        ShotLaunch launch;
        launch.m_nX = nX;
        launch.m_nY = 500;
        cShot shot;
        shot.Init(1, &m_Chara, 11, rec, launch);
        AddShotToStage(m_State.m_ShotList, shot);
    }
    Command cmd(24, false);
    cmd.m_Cmd.m_vParam = {1, 2, 0};
    CmdVanish(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_State.m_ShotList.Count(), 1);
    EXPECT_EQ(FactionShots(m_State, 2).Count(), 1);
    cmd.m_Cmd.m_vParam = {1, 2, 1};
    CmdVanish(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_State.m_ShotList.Count(), 0);
}

TEST_F(ObjectCommandsTest, StatusFlagsActOnTheSubjectTheyName)
{
    struct Case {
        int32_t nSubject, nStatus, nValue;
    };
    auto run = [&](Case c) {
        Command cmd(23, false);
        cmd.m_Cmd.m_vParam = {c.nSubject, c.nStatus, c.nValue};
        CmdStatusFlag(&m_Chara, &cmd.m_Inst);
    };
    run({0, 4, 2});
    EXPECT_EQ(m_Chara.m_Def.m_nInvincible, 2);
    run({0, 1, 1});
    EXPECT_EQ(m_Chara.m_Def.m_bTransparent, 1);
    run({0, 6, 1});
    EXPECT_EQ(m_Chara.m_bScreenFixed, 1);
    EXPECT_EQ(m_Chara.m_Def.m_bScrollSync, 1);
    // Flying is the hero's: a computer character keeps its way of moving.
    m_Chara.m_bFlying = 0;
    run({0, 3, 1});
    EXPECT_EQ(m_Chara.m_bFlying, 0);
    // The target without one: nothing.
    run({1, 4, 0});
    EXPECT_EQ(m_Chara.m_Def.m_nInvincible, 2);
    // Vanishing itself is found by its own pass; vanishing its target needs the pending pass.
    run({0, 0, 0});
    EXPECT_EQ(m_Chara.m_bRemoved, 1);
    EXPECT_EQ(m_State.m_bDeathPending, 0);
    m_Chara.SetTarget(&m_Others[0]);
    run({1, 0, 0});
    EXPECT_EQ(m_Others[0].m_bRemoved, 1);
    EXPECT_EQ(m_State.m_bDeathPending, 1);
}

TEST_F(ObjectCommandsTest, TakeItemKeepsTheResultUnlessTheItemEndsTheStage)
{
    std::vector<cEdItem> saved = g_CommonPalette.m_vItem;
    g_CommonPalette.m_vItem.resize(2);
    m_State.m_nResult = 2;
    Command cmd(25, false);
    cmd.m_Cmd.m_vParam = {0, 1};
    CmdTakeItem(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_State.m_nResult, 2);
    cmd.m_Cmd.m_vParam = {4, 1};
    CmdTakeItem(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_State.m_nResult, 2);
    g_CommonPalette.m_vItem = saved;
}

}  // namespace
