// Motion on the block grid: unit conversions, jumps (with the gravity and heights a damaged
// stage can hold), landing and ceiling snaps, knock-back, clamps with their result codes, and
// the screen and removal-range tests.
#include <gtest/gtest.h>

#include <cmath>

#include "data/EdStageRecords.h"
#include "objects/Motion.h"
#include "tests/play/ObjectCoreSupport.h"

namespace {

using ObjectCoreMotionTest = cObjectCoreFixture;

TEST_F(ObjectCoreMotionTest, ConversionsFollowTheSubStepCount)
{
    SetSpeed(2, 1.0);
    EXPECT_DOUBLE_EQ(PercentToSpeed(100), 0.25);
    EXPECT_DOUBLE_EQ(PerSecondStep(120.0), 1.0);
    EXPECT_EQ(HalfBlocksToPixels(3), 48);
    EXPECT_EQ(HalfBlocksToPixels(-2), -32);
}

TEST_F(ObjectCoreMotionTest, JumpSpeedAtOneSubStepAndGravityOne)
{
    cCoreTestChara computer, hero;
    computer.m_nSide = 1;
    hero.m_nSide = 0;
    const double v = (-1.0 - std::sqrt(257.0)) / 2;
    EXPECT_DOUBLE_EQ(JumpSpeedForHalfBlocks(2, &computer), v);
    EXPECT_DOUBLE_EQ(JumpSpeedForHalfBlocks(2, &hero), v * 0.965);
    // Rise of 8.5 sub-steps plus b, in tenths of a second: 9 / 1 / 6 + 1.
    EXPECT_EQ(FramesToApex(v), 9);
    EXPECT_EQ(JumpTimeForHalfBlocks(2, &computer), 2);
}

TEST_F(ObjectCoreMotionTest, JumpsWithoutGravityOrWithNegativeHeightsGiveNoJump)
{
    cCoreTestChara computer;
    computer.m_nSide = 1;
    struct Case {
        int32_t nLevel;
        double dGravity;
        int8_t nHalfBlocks;
    };
    const Case cases[] = {
        {1, 0.0, 4}, {5, 0.0, 4}, {1, 1.0, -4}, {3, 0.5, -127}, {1, -1.0, 4}, {1, 0.0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nLevel << " " << c.dGravity << " " << int(c.nHalfBlocks));
        SetSpeed(c.nLevel, c.dGravity);
        const double v = JumpSpeedForHalfBlocks(c.nHalfBlocks, &computer);
        EXPECT_TRUE(std::isfinite(v));
        EXPECT_EQ(v, 0.0);
        EXPECT_EQ(JumpTimeForHalfBlocks(c.nHalfBlocks, &computer), 1);
    }
}

TEST_F(ObjectCoreMotionTest, JumpTimeIsAtLeastOneTenth)
{
    cCoreTestChara computer;
    computer.m_nSide = 1;
    for (int32_t nLevel : {1, 4, 12, 19})
        for (double dGravity : {0.1, 1.0, 3.0})
            for (int8_t n : {int8_t(0), int8_t(1), int8_t(8), int8_t(127)}) {
                SetSpeed(nLevel, dGravity);
                EXPECT_GE(JumpTimeForHalfBlocks(n, &computer), 1);
            }
}

TEST_F(ObjectCoreMotionTest, LandingAndCeilingSnapToTheGrid)
{
    for (int32_t nSide : {0, 1}) {
        SCOPED_TRACE(nSide);
        cCoreTestChara c;
        c.m_nSide = nSide;
        c.SetBox(400.0, 32.7);   // bottom 63.7
        c.m_dSpeedY = 3.0;
        c.m_dAccelY = 1.0;
        c.m_nFallCount = 5;
        c.m_bAirborne = c.m_bJumping = c.m_bJumpEnded = c.m_bKnocked = c.m_bNewJumpBlock = 1;
        c.LandOnGround();
        EXPECT_DOUBLE_EQ(c.m_dBottom, 31.7);
        EXPECT_DOUBLE_EQ(c.m_dY, 32.7 - 32);
        EXPECT_EQ(c.m_dSpeedY, 0.0);
        EXPECT_EQ(c.m_dAccelY, 0.0);
        EXPECT_EQ(c.m_bContactBottom, 1);
        EXPECT_EQ(c.m_nFallCount + c.m_bAirborne + c.m_bJumping + c.m_bJumpEnded + c.m_bKnocked, 0);
        // Only a computer-side object may jump again at once.
        EXPECT_EQ(c.m_bNewJumpBlock, nSide == 0 ? 1 : 0);
    }
    cCoreTestChara c;
    c.SetBox(400.0, 40.5);
    c.m_dSpeedY = -4.0;
    c.HitCeiling();
    EXPECT_DOUBLE_EQ(c.m_dY, 64.5);
    EXPECT_DOUBLE_EQ(c.m_dBottom, 95.5);
    EXPECT_EQ(c.m_dSpeedY, 0.0);
    EXPECT_EQ(c.m_bJumpEnded + c.m_bJumping + c.m_bContactTop + c.m_bNewJumpBlock, 4);
}

TEST_F(ObjectCoreMotionTest, ImpactsAreReducedByDefenceAndLimited)
{
    const double b = 1.0;
    auto t = [b](double c) { return (std::sqrt(1.0 + 128.0 * b * c) - 1.0) / (2.0 * b); };
    struct Case {
        int8_t nImpact;
        int8_t nDefence;
        double dx, dy;
        double dForceX, dForceY;
        int32_t bKnocked;
    };
    const Case cases[] = {
        {25, 0, 1.0, 0.0, t(20), 0.0, 1},        // limited to 20
        {-3, 5, 1.0, 0.0, 0.0, 0.0, 0},          // swallowed by the defence: nothing happens
        {10, 3, -2.0, 0.0, -t(7), 0.0, 1},
        {-10, 3, 1.0, 0.0, -t(7), 0.0, 1},       // a negative impact pulls
        {-30, 0, 1.0, 0.0, -t(20), 0.0, 1},
        {4, 0, 3.0, -1.0, t(3), -t(1), 1},       // split along the direction
        {4, 0, 0.0, 0.0, 0.0, 0.0, 1},           // no direction: no force
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.nImpact) << " " << int(c.nDefence));
        cCoreTestChara chara;
        chara.m_Def.m_nImpDef = c.nDefence;
        chara.ApplyImpact(c.nImpact, c.dx, c.dy);
        EXPECT_DOUBLE_EQ(chara.m_dForceX, c.dForceX);
        EXPECT_DOUBLE_EQ(chara.m_dForceY, c.dForceY);
        EXPECT_EQ(chara.m_bKnocked, c.bKnocked);
    }
}

TEST_F(ObjectCoreMotionTest, AnImpactClearsOnlyTheInertiaThatOpposesIt)
{
    cCoreTestChara c;
    c.m_dAccelX = -1.0;   // opposes a push to the right
    c.m_dAccelY = 2.0;    // the push has no vertical part: kept
    c.m_dSpeedY = -3.0;
    c.ApplyImpact(5, 1.0, 0.0);
    EXPECT_EQ(c.m_dAccelX, 0.0);
    EXPECT_EQ(c.m_dAccelY, 2.0);
    EXPECT_EQ(c.m_dSpeedY, -3.0);

    cCoreTestChara up;
    up.m_dAccelY = 1.0;
    up.m_dSpeedY = 2.0;
    up.ApplyImpact(5, 0.0, -1.0);
    EXPECT_EQ(up.m_dAccelY, 0.0);
    EXPECT_EQ(up.m_dSpeedY, 0.0);
}

TEST_F(ObjectCoreMotionTest, ForcedSpeedsRunDownByOneOverBAndStopAtZero)
{
    SetSpeed(4, 1.0);
    cCoreTestChara c;
    c.m_dForceX = 0.6;
    c.m_dForceY = -0.1;
    c.CountDownForceX();
    c.CountDownForceY();
    EXPECT_DOUBLE_EQ(c.m_dForceX, 0.35);
    EXPECT_EQ(c.m_dForceY, 0.0);
    c.CountDownForceX();
    c.CountDownForceX();
    EXPECT_EQ(c.m_dForceX, 0.0);
}

TEST_F(ObjectCoreMotionTest, VerticalForceActsByItsChange)
{
    cCoreTestChara walker;
    walker.m_dSpeedY = 1.0;
    walker.m_dForceY = -2.0;
    walker.m_dLastForceY = -0.5;
    walker.ApplyForceY();
    EXPECT_DOUBLE_EQ(walker.m_dSpeedY, -0.5);
    EXPECT_EQ(walker.m_dLastForceY, -2.0);

    cCoreTestChara flier;
    flier.m_bFlying = 1;
    flier.m_dSpeedY = 1.0;
    flier.m_dForceY = -2.0;
    flier.m_dLastForceY = -0.5;
    flier.ApplyForceY();
    EXPECT_DOUBLE_EQ(flier.m_dSpeedY, -1.0);
}

TEST_F(ObjectCoreMotionTest, GravityIsHeldByFlyingRidingHoldAndAnUpwardForce)
{
    struct Case {
        int32_t bFlying, bRiding, bHold;
        double dForceY;
        double dExpected;
    };
    const Case cases[] = {
        {0, 0, 0, 0.0, 1.0}, {1, 0, 0, 0.0, 0.0}, {0, 1, 0, 0.0, 0.0},
        {0, 0, 1, 0.0, 0.0}, {0, 0, 0, -0.1, 0.0}, {0, 0, 0, 0.5, 1.0},
    };
    for (const Case& c : cases) {
        cCoreTestChara chara;
        chara.m_bFlying = c.bFlying;
        chara.m_bRiding = c.bRiding;
        chara.m_bGravityHold = c.bHold;
        chara.m_dForceY = c.dForceY;
        chara.ApplyGravity();
        EXPECT_EQ(chara.m_dSpeedY, c.dExpected);
    }
}

TEST_F(ObjectCoreMotionTest, ClampXModesAndResults)
{
    // Scroll range 480..672, stage range 320..960, map 0..1280; a 32-pixel box.
    m_State.m_ScrollX.SetBounds(5, 10, 1, 1);
    struct Case {
        int32_t nMode;
        double x;
        double dExpectedX;
        int32_t nResult;
    };
    const Case cases[] = {
        {0, 100.0, 480.0, 0}, {0, 700.0, 640.0, 0}, {0, 500.0, 500.0, 0},
        {1, 100.0, 320.0, 0}, {1, 950.0, 928.0, 0}, {1, 400.0, 400.0, 1}, {1, 650.0, 650.0, 1}, {1, 500.0, 500.0, 0},
        {2, -0.5, 0.0, 3},    {2, 1270.0, 1248.0, 3}, {2, 100.0, 100.0, 2}, {2, 940.0, 940.0, 2},
        {2, 400.0, 400.0, 1}, {2, 500.0, 500.0, 0},
        {7, -50.0, -50.0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.nMode << " x " << c.x);
        cCoreTestChara chara;
        chara.SetBox(c.x, 400.0);
        EXPECT_EQ(chara.ClampX(c.nMode), c.nResult);
        EXPECT_EQ(chara.m_dX, c.dExpectedX);
        EXPECT_EQ(chara.m_dRight, c.dExpectedX + 31);
        EXPECT_EQ(chara.m_nCellLeft, static_cast<int32_t>(c.dExpectedX) >> 5);
        EXPECT_EQ(chara.m_nCellRight, static_cast<int32_t>(c.dExpectedX + 31) >> 5);
    }
}

TEST_F(ObjectCoreMotionTest, ClampYModesAndResults)
{
    // Scroll range 384..608, stage range 320..800, map 0..1120.
    m_State.m_ScrollY.SetBounds(2, 8, 1, 1);
    struct Case {
        int32_t nMode;
        double y;
        double dExpectedY;
        int32_t nResult;
    };
    const Case cases[] = {
        {0, 100.0, 384.0, 0}, {0, 600.0, 576.0, 0},
        {1, 100.0, 320.0, 0}, {1, 350.0, 350.0, 1}, {1, 590.0, 590.0, 4}, {1, 400.0, 400.0, 0},
        {2, -1.0, 0.0, 3},    {2, 1100.0, 1088.0, 6}, {2, 100.0, 100.0, 2}, {2, 790.0, 790.0, 5},
        {2, 350.0, 350.0, 1}, {2, 590.0, 590.0, 4}, {2, 400.0, 400.0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.nMode << " y " << c.y);
        cCoreTestChara chara;
        chara.SetBox(400.0, c.y);
        EXPECT_EQ(chara.ClampY(c.nMode), c.nResult);
        EXPECT_EQ(chara.m_dY, c.dExpectedY);
        EXPECT_EQ(chara.m_dBottom, c.dExpectedY + 31);
        EXPECT_EQ(chara.m_nCellBottom, static_cast<int32_t>(c.dExpectedY + 31) >> 5);
    }
}

TEST_F(ObjectCoreMotionTest, StepMoveLimitsTheSpeedPerSubStep)
{
    SetSpeed(2, 1.0);   // limit 12 per frame, 6 per sub-step
    cCoreTestChara c;
    c.SetBox(500.0, 500.0);
    c.m_dSpeedX = 40.0;
    c.m_dSpeedY = -40.0;
    c.StepMoveX(2);
    c.StepMoveY(2);
    EXPECT_EQ(c.m_dSpeedX, 6.0);
    EXPECT_EQ(c.m_dX, 506.0);
    EXPECT_EQ(c.m_dY, 494.0);
}

TEST_F(ObjectCoreMotionTest, BrakeSlowsInertiaToExactlyZero)
{
    cCoreTestChara c;
    c.m_dStop = 0.3;
    double dSpeed = 0.5;
    c.ApplyBrake(dSpeed, 0);
    EXPECT_EQ(dSpeed, 0.5);
    c.ApplyBrake(dSpeed, 1);
    EXPECT_DOUBLE_EQ(dSpeed, 0.2);
    c.ApplyBrake(dSpeed, 1);
    EXPECT_EQ(dSpeed, 0.0);
    dSpeed = -0.1;
    c.ApplyBrake(dSpeed, 1);
    EXPECT_EQ(dSpeed, 0.0);
}

TEST_F(ObjectCoreMotionTest, ScreenRectAndOnScreenFollowTheView)
{
    m_State.m_ScrollX.m_dPosition = 320.7;
    m_State.m_ScrollY.m_dPosition = 330.0;
    cCoreTestChara c;
    c.SetBox(400.9, 340.0, 20, 28);
    c.m_nOffsetX = 6;
    c.m_nOffsetY = 4;
    c.GetScreenRect();
    EXPECT_EQ(c.m_nLeft, 74);   // trunc(394.9 - 320)
    EXPECT_EQ(c.m_nRight, 105);
    EXPECT_EQ(c.m_nTop, 6);
    EXPECT_EQ(c.m_nBottom, 37);
    EXPECT_EQ(c.IsOnScreen(), 1);
    c.SetBox(320.7 + 640, 340.0);
    EXPECT_EQ(c.IsOnScreen(), 0);
    EXPECT_EQ(c.IsOnScreenAxes(1, 0), 1);
    c.SetBox(400.0, 330.0 - 32);
    EXPECT_EQ(c.IsOnScreen(), 0);
    EXPECT_EQ(c.IsOnScreenAxes(0, 1), 1);
}

TEST_F(ObjectCoreMotionTest, InsideStageByTheStageOrTheWholeMap)
{
    struct Case {
        double x, y;
        int32_t bStage, bMap;
    };
    const Case cases[] = {
        {320.0, 320.0, 1, 1}, {319.0, 400.0, 0, 1}, {928.0, 768.0, 1, 1}, {929.0, 400.0, 0, 1},
        {0.0, 0.0, 0, 1},     {-0.5, 0.0, 0, 0},    {1248.0, 1088.0, 0, 1}, {1249.0, 500.0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        cCoreTestChara chara;
        chara.SetBox(c.x, c.y);
        EXPECT_EQ(chara.IsInsideStage(0), c.bStage);
        EXPECT_EQ(chara.IsInsideStage(1), c.bMap);
    }
}

TEST_F(ObjectCoreMotionTest, ScrollRangeRemovalByEnabledSidesAndTheMapEdge)
{
    m_State.m_ScrollX.m_dPosition = 320.0;
    m_State.m_ScrollY.m_dPosition = 320.0;
    cEdStageSetting setting;
    setting.m_bCheckLeft = 1;
    setting.m_nMarginLeft = 2;   // out when the right edge is at or left of 256
    setting.m_bCheckRight = 0;
    struct Case {
        double x, y;
        int32_t bOnScreen;
        int32_t nExpected;
    };
    const Case cases[] = {
        {225.0, 400.0, 0, 1},   // right edge 256
        {226.0, 400.0, 0, 0},
        {1100.0, 400.0, 0, 0},  // the right side is not checked
        {500.0, 0.0, 0, 1},     // touching the map's top edge
        {1248.0, 400.0, 0, 1},  // right edge at map width - 1
        {0.0, 400.0, 1, 0},     // on screen: never out of range
        {500.0, 1088.0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        cCoreTestChara chara;
        chara.SetBox(c.x, c.y);
        chara.m_bOnScreen = c.bOnScreen;
        EXPECT_EQ(chara.IsInScrollRange(setting), c.nExpected);
    }
}

TEST_F(ObjectCoreMotionTest, BlockProbesOutsideTheMapFindNoBlock)
{
    cCoreTestChara c;
    c.SetBox(-500.0, -500.0);
    c.m_nCellLeft = c.m_nCellTop = -16;
    c.m_nCellRight = c.m_nCellBottom = 5000;
    EXPECT_EQ(c.CheckBlocksX(), 0);
    EXPECT_EQ(c.CheckBlocksY(12345), c.CheckBlocksX());
}

TEST_F(ObjectCoreMotionTest, BlockPlacementCountsTheMarginAndTheScale)
{
    cCoreTestChara c;
    c.SetBox(0.0, 0.0, 24, 30);
    c.m_nOffsetX = 4;
    c.m_nOffsetY = 2;
    c.m_nBaseOffsetY = 2;
    c.m_Def.m_nGiant = 1;
    c.SetBlockPosition(3, 5);
    EXPECT_DOUBLE_EQ(c.m_dX, 13 * 32 + 4 + 0.5);
    EXPECT_DOUBLE_EQ(c.m_dY, 15 * 32 + 2);
    EXPECT_DOUBLE_EQ(c.m_dRight, c.m_dX + 23);

    // At scale 2 the box shifts left by half its base width and up to keep the cell's bottom.
    cCoreTestChara big;
    big.SetBox(0.0, 0.0, 24, 30);
    big.m_nOffsetX = 4;
    big.m_nOffsetY = 2;
    big.m_nBaseOffsetY = 2;
    big.m_Def.m_nGiant = 2;
    big.SetBlockPosition(3, 5);
    EXPECT_DOUBLE_EQ(big.m_dX, 13 * 32 + 4 + 0.5 - 12);
    EXPECT_DOUBLE_EQ(big.m_dY, 15 * 32 + 2 - 30);
}

TEST_F(ObjectCoreMotionTest, CircleStepsAdvanceThePhaseAndWrapIt)
{
    SetSpeed(2, 1.0);
    const double k = 0.017453292519943295;
    double p = 710.0;
    const double dx = CircleStep(32.0, 2.0, p, 20.0, 10.0);
    EXPECT_DOUBLE_EQ(dx, 2 * k * std::cos(2 * k * (710.0 / 2 + 10.0)) * 32.0 / 2);
    EXPECT_DOUBLE_EQ(p, 10.0);
    double q = 100.0;
    const double dy = CircleStepY(32.0, 2.0, q, 20.0, 0.0);
    EXPECT_DOUBLE_EQ(dy, -(2 * k) * (2 * k) * 32.0 * std::sin(2 * k * 50.0) / 4);
    EXPECT_DOUBLE_EQ(q, 120.0);
}

}  // namespace
