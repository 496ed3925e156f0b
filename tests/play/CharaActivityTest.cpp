// Computer characters: the activity pass of one frame (ranges, group switches, falling and
// flying, staying awake), the jump that gives up, the carried-item icon's period, the box test
// and the moves' edge codes.
#include <gtest/gtest.h>

#include "data/EdCommand.h"
#include "data/EdStage.h"
#include "flows/FlowInstance.h"
#include "objects/Chara.h"
#include "tests/play/ObjectCoreSupport.h"

namespace {

class CharaActivityTest : public cObjectCoreFixture {
protected:
    void SetUp() override
    {
        cObjectCoreFixture::SetUp();
        m_State.m_vGroupSwitch.assign(8, 0);
        m_State.m_ScrollX.m_dPosition = 320;
        m_State.m_ScrollY.m_dPosition = 320;
    }
    // A 32 x 32 character whose box starts at (x, y) in stage pixels.
    static void Place(cChara& c, double x, double y)
    {
        c.m_nHitWidth = c.m_nHitHeight = 32;
        c.m_dX = x;
        c.m_dY = y;
        c.m_dRight = x + 31;
        c.m_dBottom = y + 31;
    }
    // The activity pass as the play step runs it: every range test first, then every decision.
    std::vector<int32_t> Pass(std::vector<cChara*> vCharas)
    {
        std::fill(m_State.m_vGroupSwitch.begin(), m_State.m_vGroupSwitch.end(), 0);
        for (cChara* c : vCharas) c->CheckActive(m_State.m_vGroupSwitch);
        std::vector<int32_t> v;
        for (cChara* c : vCharas) v.push_back(c->UpdateActivity(m_State.m_vGroupSwitch));
        return v;
    }
};

TEST_F(CharaActivityTest, RangeKindsTestOnlyTheirAxes)
{
    struct Case {
        int8_t nKind;
        double x, y;
        int32_t bAwake;
    };
    // The view covers x 320..959 and y 320..799.
    const Case cases[] = {
        {0, 400, 400, 1},   {0, 2000, 400, 0},  {0, 400, 2000, 0},
        {1, 400, 2000, 1},  {1, 2000, 400, 0},                     // x only
        {2, 2000, 400, 1},  {2, 400, 2000, 0},                     // y only
        {3, 2000, 2000, 1}, {3, 0, 0, 1},                          // everywhere
        {0, 289, 400, 1},   {0, 288, 400, 0},   {0, 959, 400, 1}, {0, 960, 400, 0},   // inclusive right edge
    };
    for (const Case& k : cases) {
        cChara c;
        c.m_Def.m_nActiveRange = k.nKind;
        c.m_bFlying = 1;
        switch (k.nKind) {
        case 1: c.m_bIgnoreRangeY = 1; break;
        case 2: c.m_bIgnoreRangeX = 1; break;
        case 3: c.m_bIgnoreRangeX = c.m_bIgnoreRangeY = 1; break;
        default: break;
        }
        Place(c, k.x, k.y);
        EXPECT_EQ(Pass({&c})[0], k.bAwake) << int(k.nKind) << " at " << k.x << "," << k.y;
    }
}

TEST_F(CharaActivityTest, InitSetsTheRangeAxesFromTheKind)
{
    const int32_t expected[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    for (int8_t k = 0; k < 4; ++k) {
        cEdChara def;
        def.m_nActiveRange = k;
        cChara c;
        c.Init(1, def, nullptr, 400, 400, 0);
        EXPECT_EQ(c.m_bIgnoreRangeX, expected[k][0]) << int(k);
        EXPECT_EQ(c.m_bIgnoreRangeY, expected[k][1]) << int(k);
        EXPECT_EQ(c.m_bStarted, 0);
        EXPECT_EQ(c.m_bAwake, 0);
    }
}

TEST_F(CharaActivityTest, FallingWalkerStaysAwakeOffScreenButAFlierDoesNot)
{
    cChara walker, flier;
    Place(walker, 400, 400);
    Place(flier, 400, 400);
    flier.m_bFlying = 1;
    EXPECT_EQ(Pass({&walker, &flier}), (std::vector<int32_t>{1, 1}));
    walker.m_bAirborne = flier.m_bAirborne = 1;
    Place(walker, 400, 2000);
    Place(flier, 400, 2000);
    EXPECT_EQ(Pass({&walker, &flier}), (std::vector<int32_t>{1, 0}));
    // Landed out of range: it sleeps.
    walker.m_bAirborne = 0;
    EXPECT_EQ(Pass({&walker}), (std::vector<int32_t>{0}));
    // A jumping walker runs even before it has ever been awake.
    cChara jumper;
    Place(jumper, 400, 2000);
    jumper.m_bJumping = 1;
    EXPECT_EQ(Pass({&jumper}), (std::vector<int32_t>{1}));
}

TEST_F(CharaActivityTest, KeepActiveStaysAwakeFarOffScreen)
{
    cChara c;
    c.m_bFlying = 1;
    c.m_Def.m_bKeepActive = 1;
    Place(c, 400, 400);
    EXPECT_EQ(Pass({&c})[0], 1);
    Place(c, 5000, 5000);
    EXPECT_EQ(Pass({&c})[0], 1);
    // Mode 2 is treated as mode 0.
    cChara d;
    d.m_bFlying = 1;
    d.m_Def.m_bKeepActive = 2;
    Place(d, 400, 400);
    EXPECT_EQ(Pass({&d})[0], 1);
    Place(d, 5000, 5000);
    EXPECT_EQ(Pass({&d})[0], 0);
}

TEST_F(CharaActivityTest, GroupPartnerInRangeWakesTheOtherWhateverTheOrder)
{
    cChara near, far, stranger;
    for (cChara* c : {&near, &far, &stranger}) {
        c->m_bFlying = 1;
        c->m_Def.m_bSetFlowSwitch = 1;
        c->m_Def.m_nFlowSwitch = 3;
    }
    stranger.m_Def.m_nFlowSwitch = 4;
    Place(near, 400, 400);
    Place(far, 5000, 5000);
    Place(stranger, 5000, 5000);
    EXPECT_EQ(Pass({&far, &stranger, &near}), (std::vector<int32_t>{1, 0, 1}));
    EXPECT_EQ(Pass({&near, &far, &stranger}), (std::vector<int32_t>{1, 1, 0}));
    // Without the group flag the switch is neither set nor read.
    far.m_Def.m_bSetFlowSwitch = 0;
    EXPECT_EQ(Pass({&near, &far}), (std::vector<int32_t>{1, 0}));
}

TEST_F(CharaActivityTest, JumpGivesUpAfterFourFramesInTheAir)
{
    for (int32_t nLevel : {1, 3}) {
        SetSpeed(nLevel, 1.0);
        const int32_t b = g_Stage.m_nSubSteps;
        cChara c;
        c.m_bAirborne = 1;
        cEdCommand cmd = cEdCommand::Default();
        cCommandInstance inst;
        inst.m_lpCmd = &cmd;
        inst.m_dSpeed = -5.0;
        inst.m_nRemaining = 100;
        for (int32_t i = 0; i < 4 * b; ++i) {
            c.UpdateJump(&inst);
            ++inst.m_nCalls;
            ASSERT_EQ(inst.m_nRemaining, 100) << "gave up after " << i << " calls";
        }
        c.m_bNewJumpBlock = c.m_bKnocked = 1;
        c.UpdateJump(&inst);
        EXPECT_EQ(inst.m_nRemaining, 0);
        EXPECT_EQ(inst.m_bStarted, 1);
        EXPECT_EQ(c.m_bNewJumpBlock, 0);
        EXPECT_EQ(c.m_bKnocked, 0);
        EXPECT_EQ(c.m_dSpeedY, 0.0);   // never jumped
    }
}

TEST_F(CharaActivityTest, JumpStartsFromTheGround)
{
    cChara c;
    cEdCommand cmd = cEdCommand::Default();
    cCommandInstance inst;
    inst.m_lpCmd = &cmd;
    inst.m_dSpeed = -5.0;
    inst.m_nRemaining = 10;
    c.m_bRiding = 1;
    c.UpdateJump(&inst);
    EXPECT_EQ(inst.m_bStarted, 1);
    EXPECT_EQ(c.m_dSpeedY, -5.0);
    EXPECT_EQ(c.m_bJumping, 1);
    EXPECT_EQ(c.m_bJumpEnded, 1);
    EXPECT_EQ(c.m_bRiding, 0);
}

TEST_F(CharaActivityTest, CarriedIconShowsInFramesSixtyFourToNinetyFiveOfEveryNinetySix)
{
    cChara c;
    c.m_CarriedItem.m_bCarried = 1;
    c.m_bOnScreen = 1;
    std::vector<int32_t> vCycles;
    for (int32_t i = 0; i < 192; ++i) {
        c.DrawCarriedIcon(nullptr);
        vCycles.push_back(c.m_nIconCycle);
    }
    EXPECT_EQ(vCycles[62], 63);
    EXPECT_EQ(vCycles[94], 95);
    EXPECT_EQ(vCycles[95], 0);     // the 96th frame shows the icon, then the cycle restarts
    EXPECT_EQ(vCycles[191], 0);
    // Off screen, hidden by the definition or by the item record: the counter stands still.
    for (int32_t nCase = 0; nCase < 3; ++nCase) {
        cChara d;
        d.m_CarriedItem.m_bCarried = 1;
        d.m_bOnScreen = nCase == 0 ? 0 : 1;
        if (nCase == 1) d.m_Def.m_bOptionB = 0;
        if (nCase == 2) d.m_CarriedItem.m_Rec.m_bHidden = 1;
        d.DrawCarriedIcon(nullptr);
        EXPECT_EQ(d.m_nIconCycle, 0) << nCase;
    }
}

TEST_F(CharaActivityTest, RectsOverlapCountsEdgesAsTouching)
{
    cChara c;
    Place(c, 100, 100);   // 100..131
    EXPECT_EQ(c.RectsOverlap(131, 131, 200, 200), 1);
    EXPECT_EQ(c.RectsOverlap(132, 100, 200, 200), 0);
    EXPECT_EQ(c.RectsOverlap(0, 0, 100, 100), 1);
    EXPECT_EQ(c.RectsOverlap(0, 0, 99, 200), 0);
}

TEST_F(CharaActivityTest, MovesReportTheStageEdges)
{
    cChara c;
    Place(c, 2, 400);
    c.m_dAccelX = -5.0;
    EXPECT_EQ(c.MoveHorizontal(), 4);   // the map's left end
    EXPECT_EQ(c.m_dX, 0.0);

    cChara walker;
    const int32_t nBottom = m_State.m_ScrollY.m_nStageExtent;
    Place(walker, 400, nBottom - 33);
    walker.m_dSpeedY = 5.0;
    EXPECT_EQ(walker.MoveVertical(), 7);   // fell out of the map

    cChara flier;
    flier.m_bFlying = 1;
    Place(flier, 400, 2);
    flier.m_dAccelY = -5.0;
    flier.m_bBrakeY = 0;
    EXPECT_EQ(flier.MoveVertical(), 8);
}

}  // namespace
