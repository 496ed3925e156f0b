// The hero: the held jump (hold, cut, held limit, a later press, riding, the walking-speed
// height), the order of its boxes, the view on a narrow stage, item commands that stop on a death,
// and flows that go on while it dies.
#include <gtest/gtest.h>

#include "data/EdCommand.h"
#include "data/EdKeyList.h"
#include "data/EdStage.h"
#include "flows/FlowInstance.h"
#include "media/input/KeyInput.h"
#include "objects/Hero.h"
#include "objects/Motion.h"
#include "stage/Player.h"
#include "tests/play/ObjectCoreSupport.h"

namespace {

class HeroTest : public cObjectCoreFixture {
protected:
    void SetUp() override
    {
        cObjectCoreFixture::SetUp();
        m_Cmd = cEdCommand::Default();
        m_Cmd.m_vParam = {1, 0, 0, 0, 0};
        m_Inst.m_lpCmd = &m_Cmd;
        m_Inst.m_dSpeed = -4.0;
        m_Inst.m_nInitialCount = 5;   // held limit
        m_Inst.m_nRemaining = 5;
        m_Step = cEdKeyList::Default();
        m_Step.m_vKeyState[11] = 1;   // button 1 down
        m_Flow.m_vKeySteps = {&m_Step};
        m_Input.m_vButtonEvents.assign(9, std::vector<KeyEventRun>(32, KeyEventRun{0, 0}));
        m_Input.m_vDirEvents.assign(10, std::vector<KeyEventRun>(32, KeyEventRun{0, 0}));
        m_Hero.m_lpKeyInput = &m_Input;
        m_Hero.m_bJumpReady = 1;
        m_Hero.m_bAirborne = 0;
        m_State.m_lpCurFlow = &m_Flow;
        m_State.m_nSubStep = 1;
    }
    void TearDown() override
    {
        m_State.m_lpCurFlow = nullptr;
        cObjectCoreFixture::TearDown();
    }
    void Press(bool bDown) { m_Input.m_vButtonEvents[1][0].nState = bDown ? 1 : 0; }
    // One sub-step of the jump command as the flow pass runs it.
    void Step()
    {
        m_Hero.m_bJumpStepped = 0;
        m_Hero.HeroJumpControl(&m_Inst);
    }

    cHero m_Hero;
    cEdCommand m_Cmd;
    cCommandInstance m_Inst;
    cEdKeyList m_Step;
    cFlowInstance m_Flow;
    cKeyInput m_Input;
};

TEST_F(HeroTest, HeldKeyStartsTheJumpOnceAndKeepsTheSpeed)
{
    Press(true);
    Step();
    EXPECT_EQ(m_Hero.m_dSpeedY, -4.0);
    EXPECT_EQ(m_Hero.m_bJumping, 1);
    EXPECT_EQ(m_Inst.m_bStarted, 1);
    m_Hero.m_bAirborne = 1;
    m_Hero.m_dSpeedY = -3.0;
    Step();
    Step();
    EXPECT_EQ(m_Hero.m_dSpeedY, -3.0);
    EXPECT_EQ(m_Hero.m_nJumpHeld, 3);
}

TEST_F(HeroTest, ReleasingEarlyCutsTheRiseOnceAndAfterTheLimitNothing)
{
    Press(true);
    Step();
    m_Hero.m_bAirborne = 1;
    m_Hero.m_dSpeedY = -4.0;
    Press(false);
    Step();
    EXPECT_DOUBLE_EQ(m_Hero.m_dSpeedY, -4.0 * 0.3);
    EXPECT_EQ(m_Hero.m_bJumpEnded, 1);
    Step();
    EXPECT_DOUBLE_EQ(m_Hero.m_dSpeedY, -4.0 * 0.3);   // once only

    // Held to the limit: the jump is ended there, and a release changes nothing.
    cHero h2;
    h2.m_bJumpReady = 1;
    h2.m_lpKeyInput = &m_Input;
    m_Inst.m_bStarted = 0;
    Press(true);
    for (int32_t i = 0; i < 5; ++i) {
        h2.m_bJumpStepped = 0;
        h2.HeroJumpControl(&m_Inst);
        h2.m_bAirborne = 1;
        h2.m_dSpeedY = -2.0;
    }
    EXPECT_EQ(h2.m_bJumpEnded, 1);
    EXPECT_EQ(h2.m_bJumpReady, 0);
    Press(false);
    h2.m_bJumpStepped = 0;
    h2.HeroJumpControl(&m_Inst);
    EXPECT_EQ(h2.m_dSpeedY, -2.0);
}

TEST_F(HeroTest, PressInALaterFrameStartsNoJump)
{
    SetSpeed(2, 1.0);   // b = 2
    Press(true);
    m_Hero.m_bAirborne = 1;   // still in the air while the key goes down
    Step();
    Step();
    m_Hero.m_bAirborne = 0;   // lands in the next frame, key still held
    Step();
    EXPECT_EQ(m_Hero.m_nJumpHeld, 3);
    EXPECT_EQ(m_Inst.m_bStarted, 0);
    EXPECT_EQ(m_Hero.m_bJumping, 0);
}

TEST_F(HeroTest, RidingHeroJumpsOnlyInTheLastSubStep)
{
    SetSpeed(2, 1.0);
    m_Hero.m_bRiding = 1;
    Press(true);
    m_State.m_nSubStep = 1;
    Step();
    EXPECT_EQ(m_Inst.m_bStarted, 0);
    EXPECT_EQ(m_Hero.m_bRiding, 1);
    m_State.m_nSubStep = 2;
    Step();
    EXPECT_EQ(m_Inst.m_bStarted, 1);
    EXPECT_EQ(m_Hero.m_bRiding, 0);
    EXPECT_DOUBLE_EQ(m_Hero.m_dSpeedY, -4.0 * 1.0199999809265137);
}

TEST_F(HeroTest, NoJumpBlockTreatsTheKeyAsReleased)
{
    Press(true);
    m_Hero.m_bNoJump = 1;
    Step();
    EXPECT_EQ(m_Inst.m_bStarted, 0);
    EXPECT_EQ(m_Hero.m_nJumpHeld, 0);
}

TEST_F(HeroTest, WalkingSpeedModeInterpolatesTheHeightFromZero)
{
    SetSpeed(1, 1.0);
    // p1 = 40 -> t1 = 4 (b = 1, D = 10); p3 = 10 -> t3 = 1; p2 = 8, p4 = 2 half blocks.
    m_Cmd.m_vParam = {2, 40, 8, 10, 2};
    struct Case {
        double a;
        int32_t H;
    };
    const Case cases[] = {{5.0, 8}, {4.0, 8}, {1.0, 2}, {0.5, 2}, {1.5, 4}, {3.0, 6}, {1.0001, 3}};   // 2 + 6 a / 4, truncated
    for (const Case& k : cases) {
        cHero h;
        h.m_bJumpReady = 1;
        h.m_lpKeyInput = &m_Input;
        Press(true);
        h.m_dAccelX = -k.a;
        cCommandInstance inst = m_Inst;
        inst.m_bStarted = 0;
        h.HeroJumpControl(&inst);
        EXPECT_DOUBLE_EQ(h.m_dSpeedY, JumpSpeedForHeight(k.H * 16.0, &h)) << k.a;
    }
}

TEST_F(HeroTest, BoxesSortLargestFirstAndEqualAreasKeepTheirOrder)
{
    g_Stage.m_nHeroWidth = 16;
    g_Stage.m_nHeroHeight = 16;
    g_Stage.m_nHeroHitWidth0 = 16;
    g_Stage.m_nHeroHitHeight0 = 16;
    g_Stage.m_nHeroHitWidth1 = 16;
    g_Stage.m_nHeroHitHeight1 = 16;
    g_Stage.m_nHeroBoxWidth = 16;
    g_Stage.m_nHeroBoxHeight = 16;
    m_Hero.SetSize(0, false);
    ASSERT_EQ(m_Hero.m_vBoxes.size(), 4u);
    std::vector<int32_t> kinds;
    for (const HeroBox& b : m_Hero.m_vBoxes) kinds.push_back(b.m_nKind);
    EXPECT_EQ(kinds, (std::vector<int32_t>{0, 2, 1, 3}));

    g_Stage.m_nHeroHitWidth1 = 30;   // shot box largest
    g_Stage.m_nHeroBoxWidth = 8;     // item box smallest
    m_Hero.SetSize(0, false);
    kinds.clear();
    for (const HeroBox& b : m_Hero.m_vBoxes) kinds.push_back(b.m_nKind);
    EXPECT_EQ(kinds, (std::vector<int32_t>{3, 0, 1, 2}));
    g_Stage = cEdStage();
    g_Stage.SetSpeedLevel(1);
}

TEST_F(HeroTest, SizesCentreTheBoxesOnTheCell)
{
    g_Stage.m_nHeroWidth = 16;
    g_Stage.m_nHeroHeight = 24;
    g_Stage.m_bHeroSizeBottom = 1;
    g_Stage.m_nHeroHitWidth1 = 12;
    g_Stage.m_nHeroHitHeight1 = 8;
    m_Hero.SetSize(0, false);
    EXPECT_EQ(m_Hero.m_nOffsetX, 8);
    EXPECT_EQ(m_Hero.m_nOffsetY, 8);   // on the cell's bottom line
    EXPECT_EQ(m_Hero.m_ShotBox.m_nOffsetX, 16 - 6 - 8);
    EXPECT_EQ(m_Hero.m_ShotBox.m_nOffsetY, 16 - 4 - 8);
    // Flying to walking: speeds and accelerations stop, and the push-out gets its grace.
    m_Hero.SetSize(1, false);
    m_Hero.m_dSpeedX = m_Hero.m_dAccelY = 3.0;
    m_Hero.m_nResizeGrace = 0;
    m_Hero.SetSize(0, false);
    EXPECT_EQ(m_Hero.m_nResizeGrace, 2);
    EXPECT_EQ(m_Hero.m_dSpeedX, 0.0);
    EXPECT_EQ(m_Hero.m_dAccelY, 0.0);
    g_Stage = cEdStage();
    g_Stage.SetSpeedLevel(1);
}

TEST_F(HeroTest, ViewFollowsTheHeroAndANarrowStageKeepsTheMinimum)
{
    m_Hero.m_nHitWidth = 16;
    m_State.m_ScrollX.m_nMax = 2000;
    m_Hero.m_dX = 1000;
    m_Hero.OnMovedX();
    EXPECT_EQ(m_State.m_ScrollX.m_dPosition, 1000 - (320 - 8));
    m_State.m_ScrollX.m_nMin = 320;
    m_State.m_ScrollX.m_nMax = 320 + 400;   // narrower than the screen
    for (double x : {330.0, 600.0}) {
        m_Hero.m_dX = x;
        m_Hero.OnMovedX();
        EXPECT_EQ(m_State.m_ScrollX.m_dPosition, 320) << x;
    }
    // An axis that scrolls by itself is not moved by the hero.
    m_State.m_ScrollX.m_bMoving = 1;
    m_State.m_ScrollX.m_dPosition = 500;
    m_Hero.OnMovedX();
    EXPECT_EQ(m_State.m_ScrollX.m_dPosition, 500);
}

TEST_F(HeroTest, ItemCommandsStopAtTheDeathAndReturnTwo)
{
    cHero& hero = Player[0];
    hero.m_Def.m_nMaxHP = 10;
    hero.m_nHP = 10;
    hero.m_vVar.assign(9, 0);
    // Item kind 5 is a status operation in the item numbering: a damaging one kills.
    std::vector<cEdCommand> vCommands;
    EXPECT_EQ(hero.RunItemCommands(vCommands), 0);
    hero.m_nHP = 0;
    EXPECT_EQ(hero.RunItemCommands(vCommands), 2);
}

TEST_F(HeroTest, DyingHeroStepsOnlyFlowsOfTheDyingTrigger)
{
    cHero& hero = Player[0];
    hero.m_vFlowIdRunning.assign(27, 0);
    hero.m_vFlowIdStopped.assign(27, 0);
    hero.m_vFlowIdStarted.assign(27, 0);
    hero.m_vFlow.resize(2);
    cEdFlow flows[2];
    flows[0].m_nTrigger = 0;
    flows[1].m_nTrigger = 3;
    for (size_t i = 0; i < 2; ++i) {
        hero.m_vFlow[i].m_lpFlow = &flows[i];
        hero.m_vFlow[i].m_bRunning = 1;
        hero.m_vFlow[i].m_vCmd.resize(1);   // a command without a definition runs nothing
        hero.m_vFlow[i].m_vCmd[0].m_nRemaining = 50;
    }
    hero.m_nHP = 0;
    EXPECT_EQ(hero.RunHeroFlows(1), 1);
    EXPECT_EQ(hero.m_vFlow[0].m_vCmd[0].m_nRemaining, 50);   // skipped
    EXPECT_EQ(hero.m_vFlow[1].m_vCmd[0].m_nRemaining, 50 - 1);
    // The context of the caller is back, whatever way the pass ended.
    EXPECT_EQ(m_State.m_lpCurObj, nullptr);
    EXPECT_EQ(m_State.m_lpCurFlow, &m_Flow);
    // Not dying: the first flow with no HP ends the pass at once.
    EXPECT_EQ(hero.RunHeroFlows(0), 1);
    EXPECT_EQ(hero.m_vFlow[0].m_vCmd[0].m_nRemaining, 50 - 1);
    EXPECT_EQ(hero.m_vFlow[1].m_vCmd[0].m_nRemaining, 50 - 1);
    hero.m_vFlow.clear();
}

TEST_F(HeroTest, StoppedFlowIdsAreReleasedAfterTheFlowPass)
{
    cHero& hero = Player[0];
    hero.m_nHP = 1;
    hero.m_vFlowIdRunning.assign(27, 0);
    hero.m_vFlowIdStopped.assign(27, 0);
    hero.m_vFlowIdStarted.assign(27, 0);
    hero.m_vFlowIdRunning[4] = hero.m_vFlowIdStopped[4] = 1;
    hero.m_vFlowIdRunning[5] = 1;
    hero.m_bFlowIdStopped = 1;
    EXPECT_EQ(hero.RunHeroFlows(0), 0);
    EXPECT_EQ(hero.m_vFlowIdRunning[4], 0);
    EXPECT_EQ(hero.m_vFlowIdStopped[4], 0);
    EXPECT_EQ(hero.m_vFlowIdRunning[5], 1);
    EXPECT_EQ(hero.m_bFlowIdStopped, 0);
}

}  // namespace
