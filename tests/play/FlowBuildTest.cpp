// Building flow instances: loop expansion, command counts, added and deleted flows, "フローの
//変更", the animation schedule with its application, and the time-speed-distance solution.
#include <gtest/gtest.h>

#include <string>

#include "data/EdAnime.h"
#include "flows/ItemCommands.h"
#include "stage/Player.h"
#include "tests/play/FlowTestSupport.h"

namespace {

cEdCommand Named(const char* lpName)
{
    cEdCommand cmd = FlowCmd(1, 0, 0);
    cmd.m_strText = lpName;
    return cmd;
}

cEdCommand Loop(int32_t nRepeat, int32_t nLength)
{
    return FlowCmd(39, 0, 0, {nRepeat, nLength});
}

std::string Names(const std::vector<cEdCommand>& v)
{
    std::string s;
    for (const cEdCommand& cmd : v) s += cmd.m_nKind == 39 ? std::string("L") : cmd.m_strText;
    return s;
}

cEdFlow Grouped(int32_t nGroup, const char* lpName)
{
    cEdFlow flow = MakeFlow(0, 0, {Named(lpName)});
    flow.m_nGroup = static_cast<int8_t>(nGroup);
    return flow;
}

std::string FlowNames(const cCharaBase& chara)
{
    std::string s;
    for (const cFlowInstance& inst : chara.m_vFlow) {
        EXPECT_NE(inst.m_lpFlow, nullptr);
        if (inst.m_lpFlow == nullptr) continue;
        // Each instance points into the character's own definitions, at its own index.
        EXPECT_EQ(inst.m_lpFlow, &chara.m_Def.m_vFlow[static_cast<size_t>(inst.m_nIndex)]);
        s += inst.m_lpFlow->m_vCommand.empty() ? std::string("-") : inst.m_lpFlow->m_vCommand[0].m_strText;
    }
    EXPECT_EQ(chara.m_vFlow.size(), chara.m_Def.m_vFlow.size());
    return s;
}

using FlowBuildTest = cFlowFixture;

TEST_F(FlowBuildTest, LoopsRepeatTheirBodies)
{
    struct Case {
        std::vector<cEdCommand> in;
        const char* lpExpected;
    };
    const Case cases[] = {
        {{Loop(3, 2), Named("P"), Named("Q"), Named("R")}, "PQPQPQR"},
        {{Loop(2, 5), Named("P"), Named("Q")}, "PQPQ"},
        {{Loop(0, 1), Named("P"), Named("Q")}, "PQ"},
        {{Loop(1, 1), Named("P"), Named("Q")}, "PQ"},
        {{Loop(2, 3), Named("X"), Loop(2, 1), Named("Y")}, "XYYXYY"},
        {{Named("A"), Loop(2, 0), Named("B")}, "AB"},
        {{Named("A"), Loop(3, -2), Named("B")}, "AB"},
        {{Named("A"), Loop(3, 1)}, "A"},
    };
    for (const Case& c : cases) {
        std::vector<cEdCommand> v = c.in;
        ExpandLoops(v);
        EXPECT_EQ(Names(v), c.lpExpected);
    }
}

TEST_F(FlowBuildTest, ItemLoopsExpandAsFlowLoopsDo)
{
    cEdCommand itemLoop = Loop(2, 1);
    itemLoop.m_nFamily = 1;
    itemLoop.m_nKind = 24;
    std::vector<cEdCommand> v = {itemLoop, Named("P")};
    ExpandLoops(v);
    EXPECT_EQ(Names(v), "PP");
}

// Loops from a file that could never finish or never stop growing end within the caps, with no
// loop command left.
TEST_F(FlowBuildTest, RunawayLoopsEndWithinTheCaps)
{
    const std::vector<std::vector<cEdCommand>> cases = {
        {Loop(2, 1), Loop(2, 1), Named("X")},                        // a loop as the body of a loop
        {Loop(2, 2), Loop(2, 1), Loop(2, 1), Named("X")},            // overlapping bodies
        {Loop(1000, 2), Loop(1000, 2), Loop(1000, 1), Named("X")},   // nested repetitions
        {Loop(2147483647, 1), Named("X")},
    };
    for (const std::vector<cEdCommand>& c : cases) {
        std::vector<cEdCommand> v = c;
        ExpandLoops(v);
        EXPECT_LE(v.size(), 4096u);
        EXPECT_FALSE(v.empty());
        EXPECT_EQ(std::count_if(v.begin(), v.end(), [](const cEdCommand& cmd) { return cmd.m_nKind == 39; }), 0);
    }
}

TEST_F(FlowBuildTest, InstancesGetCountsSerialsAndPointersIntoTheirOwnDefinitions)
{
    cEdCommand stepped = FlowCmd(1, 2, 0);
    stepped.m_nTimeStep = 3;
    m_Chara.m_nFormationIndex = 2;
    m_Chara.m_nFlowSerial = 10;
    SetFlows({MakeFlow(0, 0, {FlowCmd(1, 1, 0), stepped}), MakeFlow(0, 0, {Loop(2, 1), Named("P")})});
    ASSERT_EQ(m_Chara.m_vFlow.size(), 2u);
    const int32_t S = g_Stage.m_nSubSteps;
    EXPECT_EQ(m_Chara.m_vFlow[0].m_vCmd[0].m_nInitialCount, 6 * S);
    EXPECT_EQ(m_Chara.m_vFlow[0].m_vCmd[1].m_nInitialCount, (2 + 3 * 2) * 6 * S);
    EXPECT_EQ(m_Chara.m_vFlow[0].m_nSerial, 10);
    EXPECT_EQ(m_Chara.m_vFlow[1].m_nSerial, 11);
    EXPECT_EQ(m_Chara.m_nFlowSerial, 12);
    // The loop was expanded in the character's own copy.
    EXPECT_EQ(Names(m_Chara.m_Def.m_vFlow[1].m_vCommand), "PP");
    ASSERT_EQ(m_Chara.m_vFlow[1].m_vCmd.size(), 2u);
    EXPECT_EQ(m_Chara.m_vFlow[1].m_vCmd[1].m_lpCmd, &m_Chara.m_Def.m_vFlow[1].m_vCommand[1]);
    EXPECT_EQ(m_Chara.m_vFlow[1].m_bKeyLatch, 0);
}

TEST_F(FlowBuildTest, HugeDurationsDoNotWrapIntoShortCounts)
{
    cEdCommand cmd = FlowCmd(1, 32767, 0);
    cmd.m_nTimeStep = 32767;
    m_Chara.m_nFormationIndex = 32767;
    SetFlows({MakeFlow(0, 0, {cmd})});
    EXPECT_EQ(m_Chara.m_vFlow[0].m_vCmd[0].m_nInitialCount, 2147483647);
}

TEST_F(FlowBuildTest, AddedFlowsAreInsertedBeforeThePositionOrAppended)
{
    SetFlows({Grouped(1, "A"), Grouped(2, "B"), Grouped(4, "D")});
    std::vector<cEdFlow> added = {Grouped(0, "X"), Grouped(0, "Y")};
    BuildFlowInstances(&m_Chara, added, 1, 1);
    EXPECT_EQ(FlowNames(m_Chara), "AXYBD");
    EXPECT_EQ(m_Chara.m_vFlow[1].m_nSerial, 3);
    EXPECT_EQ(m_Chara.m_vFlow[1].m_bKeyLatch, 1);   // key mode 0
    for (int32_t nPosition : {-1, 5, 99, -7}) {
        BuildFlowInstances(&m_Chara, added, 1, nPosition);
        EXPECT_EQ(FlowNames(m_Chara).substr(m_Chara.m_vFlow.size() - 2), "XY") << nPosition;
    }
}

TEST_F(FlowBuildTest, DeletingAGroupRemovesEveryFlowOfIt)
{
    SetFlows({Grouped(1, "A"), Grouped(2, "B"), Grouped(1, "C"), Grouped(0, "N")});
    m_Chara.m_vFlow[0].m_bRunning = 1;
    m_Chara.m_vFlow[0].m_lpFlow->m_nFlowId = 5;
    EXPECT_EQ(DeleteFlowsByGroup(&m_Chara, 1), 0);
    EXPECT_EQ(FlowNames(m_Chara), "BN");
    EXPECT_EQ(m_Chara.m_vFlowIdStopped[5], 1);   // the running one was stopped
    EXPECT_EQ(DeleteFlowsByGroup(&m_Chara, 3), -1);
    EXPECT_EQ(DeleteFlowsByGroup(&m_Chara, 2), 0);
    EXPECT_EQ(FlowNames(m_Chara), "N");
    m_Chara.m_lAnimeRequests.emplace_back();
    EXPECT_EQ(DeleteFlowsByGroup(&m_Chara, 0), 0);
    EXPECT_TRUE(m_Chara.m_vFlow.empty());
    EXPECT_TRUE(m_Chara.m_Def.m_vFlow.empty());
    EXPECT_TRUE(m_Chara.m_lAnimeRequests.empty());
}

cEdCommand FlowChange(int32_t nChange, int32_t nGroup, std::vector<cEdFlow> vFlows)
{
    cEdCommand cmd = FlowCmd(1, 0, 0, {nChange, nGroup});
    cmd.m_nFamily = 1;
    cmd.m_vFlow = std::move(vFlows);
    return cmd;
}

TEST_F(FlowBuildTest, FlowChangeAddsChangesAndDeletesByGroup)
{
    struct Case {
        int32_t nChange, nGroup;
        bool bNested;
        const char* lpExpected;
    };
    const Case cases[] = {
        {1, 2, true, "AXYD"},    // "変更" of "B": the new flows take its place
        {1, 3, true, "ABDXY"},   // a group the character lacks: appended
        {1, 0, true, "XY"},      // all deleted first
        {0, 2, true, "ABDXY"},   // "追加"
        {0, 0, false, "ABD"},    // nothing to add
        {2, 0, true, ""},        // "削除" of everything
        {2, 4, true, "AB"},
        {7, 1, true, "ABD"},     // no such change
    };
    for (const Case& c : cases) {
        SetFlows({Grouped(1, "A"), Grouped(2, "B"), Grouped(4, "D")});
        std::vector<cEdFlow> nested;
        if (c.bNested) nested = {Grouped(0, "X"), Grouped(0, "Y")};
        cEdCommand cmd = FlowChange(c.nChange, c.nGroup, nested);
        FlowChangeCommand(&m_Chara, &cmd, 0);
        EXPECT_EQ(FlowNames(m_Chara), c.lpExpected) << c.nChange << " " << c.nGroup;
    }
}

TEST_F(FlowBuildTest, FlowChangeWhileTheHerosOwnFlowsRunWaitsInItsQueue)
{
    cHero& hero = Player[0];
    cFlowFixture::PrepareChara(hero);
    SetFlows({Grouped(1, "A")}, &hero);
    cEdCommand cmd = FlowChange(0, 0, {Grouped(0, "X")});
    m_State.m_lpCurObj = &hero;
    FlowChangeCommand(&hero, &cmd, 0);
    EXPECT_EQ(FlowNames(hero), "A");
    ASSERT_EQ(hero.m_vItemCmdQueue.size(), 1u);
    m_State.m_lpCurObj = nullptr;
    FlowChangeCommand(&hero, &hero.m_vItemCmdQueue[0], 1);
    EXPECT_EQ(FlowNames(hero), "AX");
}

class FlowAnimeTest : public cFlowFixture {
public:
    void SetUp() override
    {
        cFlowFixture::SetUp();
        // Animation 1: one tenth, then its action frame; animation 2: three tenths.
        g_Database.m_vAnime.assign(3, cEdAnime());
        g_Database.m_vAnime[1].m_vFrames.resize(2);
        g_Database.m_vAnime[1].m_vFrames[0].m_nTime = 1;
        g_Database.m_vAnime[1].m_vFrames[1].m_nTime = 5;
        g_Database.m_vAnime[1].m_vFrames[1].m_bAction = 1;
        g_Database.m_vAnime[2].m_vFrames.resize(1);
        g_Database.m_vAnime[2].m_vFrames[0].m_nTime = 3;
    }

    static cEdCommand Animated(int32_t nKind, int32_t nTime, int32_t nAnime, int32_t nSameFrame = 0)
    {
        cEdCommand cmd = FlowCmd(nKind, nTime, nSameFrame);
        cmd.m_nAnime = static_cast<int16_t>(nAnime);
        return cmd;
    }
};

TEST_F(FlowAnimeTest, AnimationEndsWhenItsCommandStarts)
{
    ASSERT_EQ(g_Stage.m_nSubSteps, 1);
    SetFlows({MakeFlow(0, 0, {FlowCmd(1, 2, 0), Animated(1, 0, 1)})});
    const std::vector<AnimeSchedule>& v = m_Chara.m_vFlow[0].m_vSchedule;
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].m_nStart, 6);    // 12 sub-steps of the wait, 6 frames of animation
    EXPECT_EQ(v[0].m_nSkip, 0);
    EXPECT_EQ(v[0].m_nLength, 6);
    EXPECT_EQ(v[0].m_bHold, 1);
}

TEST_F(FlowAnimeTest, AnimationThatDoesNotFitStartsWithTheFlowAdvanced)
{
    struct Case {
        std::vector<cEdCommand> cmds;
        int32_t nStart, nSkip, nLength, nHold;
    };
    const Case cases[] = {
        {{Animated(1, 0, 1)}, 0, 6, 0, 1},
        {{FlowCmd(1, 0, 0), Animated(10, 0, 2)}, 0, 18, 0, 0},
        // Same-frame commands before it take no time.
        {{FlowCmd(1, 5, 1), Animated(12, 1, 2)}, 0, 18, 0, 0},
        {{FlowCmd(1, 2, 0), FlowCmd(1, 2, 0), Animated(1, 1, 2)}, 6, 0, 18, 1},
    };
    for (const Case& c : cases) {
        SetFlows({MakeFlow(0, 0, c.cmds)});
        const std::vector<AnimeSchedule>& v = m_Chara.m_vFlow[0].m_vSchedule;
        ASSERT_EQ(v.size(), 1u);
        EXPECT_EQ(v[0].m_nStart, c.nStart);
        EXPECT_EQ(v[0].m_nSkip, c.nSkip);
        EXPECT_EQ(v[0].m_nLength, c.nLength);
        EXPECT_EQ(v[0].m_bHold, c.nHold);
    }
}

TEST_F(FlowAnimeTest, ScheduledAnimationIsRequestedAtItsStepAndHoldsItsActionFrame)
{
    g_AnimePatternTable[1] = {{7, 4, 0}, {8, 4, 1}, {AnimeStay, 0, 1}};
    SetFlows({MakeFlow(0, 0, {FlowCmd(1, 2, 0), Animated(1, 3, 1)})});
    cFlowInstance& inst = m_Chara.m_vFlow[0];
    inst.m_bRunning = 1;
    inst.m_nSteps = 5;
    ApplyFlowAnimations(&m_Chara);
    EXPECT_TRUE(m_Chara.m_lAnimeRequests.empty());
    inst.m_nSteps = 6;
    inst.m_bPaused = 1;
    ApplyFlowAnimations(&m_Chara);
    EXPECT_TRUE(m_Chara.m_lAnimeRequests.empty());
    inst.m_bPaused = 0;
    ApplyFlowAnimations(&m_Chara);
    ASSERT_EQ(m_Chara.m_lAnimeRequests.size(), 1u);
    const cAnimeRequest& request = m_Chara.m_lAnimeRequests.back();
    EXPECT_EQ(request.m_bTimed, 1);
    EXPECT_EQ(request.m_nRemaining, 6);
    EXPECT_EQ(request.m_nCommandFrames, 18);
    EXPECT_EQ(request.m_nKey, inst.m_nSerial);
    ASSERT_EQ(request.m_Player.m_vPatterns.size(), 1u);
    // The first held step lasts the command's frames longer; the table itself is untouched.
    EXPECT_EQ(request.m_Player.m_vPatterns[0][1].m_nDuration, 4 + 17);
    EXPECT_EQ(g_AnimePatternTable[1][1].m_nDuration, 4);
    EXPECT_EQ(request.m_Player.m_nStep, 0);
}

TEST_F(FlowAnimeTest, SkippedFramesAdvanceTheRequestsPlayer)
{
    g_AnimePatternTable[2] = {{7, 10, 0}, {8, 10, 0}, {AnimeStay, 0, 1}};
    SetFlows({MakeFlow(0, 0, {FlowCmd(1, 1, 0), Animated(12, 1, 2)})});
    cFlowInstance& inst = m_Chara.m_vFlow[0];
    ASSERT_EQ(inst.m_vSchedule[0].m_nSkip, 12);
    inst.m_bRunning = 1;
    ApplyFlowAnimations(&m_Chara);
    ASSERT_EQ(m_Chara.m_lAnimeRequests.size(), 1u);
    const cAnimePlayer& player = m_Chara.m_lAnimeRequests.back().m_Player;
    EXPECT_EQ(player.m_nStep, 1);
    EXPECT_EQ(player.m_nTick, 2);
}

TEST_F(FlowBuildTest, TimeSpeedAndDistanceSolveWithoutDividingByZero)
{
    struct Case {
        int32_t nMode, nDistance, nDistanceStep, nUnit, nClone, nCount;
        double dSpeed;
        int32_t bKeepNegative;
        int32_t nExpectedCount;
        double dExpectedSpeed;
    };
    const Case cases[] = {
        {1, 2, 0, 0, 0, 8, 0.0, 0, 8, 4.0},       // 32 pixels over 8 sub-steps
        {1, 2, 1, 1, 3, 5, 0.0, 0, 5, 1.0},       // pixels, 2 + 3 clones
        {1, 4, 0, 1, 0, 0, 0.0, 0, 0, 4.0},       // no time: covered in its one step
        {2, 3, 0, 0, 0, 0, 2.0, 0, 24, 2.0},      // 48 pixels at 2 a sub-step
        {2, 10, 0, 1, 0, 0, 3.0, 0, 3, 3.0},      // fraction dropped
        {2, -10, 0, 1, 0, 0, 3.0, 0, 3, 3.0},     // negative made positive
        {2, -10, 0, 1, 0, 0, 3.0, 1, -3, 3.0},    // unless the project keeps it
        {2, 10, 0, 1, 0, 7, 0.0, 0, 7, 0.0},      // speed 0: the command keeps its time
        {0, 10, 0, 1, 0, 7, 1.0, 0, 7, 1.0},
    };
    for (const Case& c : cases) {
        cEdCommand cmd = FlowCmd(2, 0, 0);
        cmd.NewMove();
        cmd.m_lpMove->m_nSolveMode = static_cast<int8_t>(c.nMode);
        cmd.m_lpMove->m_nDistance = static_cast<int16_t>(c.nDistance);
        cmd.m_lpMove->m_nDistanceStep = static_cast<int16_t>(c.nDistanceStep);
        cmd.m_lpMove->m_nDistanceUnit = static_cast<int8_t>(c.nUnit);
        g_System.m_bLegacy695 = c.bKeepNegative;
        cCommandInstance inst;
        inst.m_nInitialCount = c.nCount;
        inst.m_dSpeed = c.dSpeed;
        SolveTimeSpeedDistance(&inst, cmd, c.nClone);
        EXPECT_EQ(inst.m_nInitialCount, c.nExpectedCount) << c.nMode << " " << c.nDistance;
        EXPECT_DOUBLE_EQ(inst.m_dSpeed, c.dExpectedSpeed) << c.nMode << " " << c.nDistance;
    }
}

TEST_F(FlowBuildTest, MovementCommandsGetTheirSpeedPerSubStep)
{
    cEdCommand cmd = FlowCmd(2, 1, 0);
    cmd.NewMove();
    cmd.m_lpMove->m_nSpeed = 30;
    cmd.m_lpMove->m_nSpeedStep = 5;
    cmd.m_lpMove->m_bInertia = 1;
    cmd.m_lpMove->m_nMaxSpeed = 50;
    cmd.m_lpMove->m_nDirection = 7;
    m_Chara.m_nFormationIndex = 2;
    g_Stage.SetSpeedLevel(2);
    const double S = g_Stage.m_dSubSteps;
    SetFlows({MakeFlow(0, 0, {cmd})});
    const cCommandInstance& inst = m_Chara.m_vFlow[0].m_vCmd[0];
    EXPECT_DOUBLE_EQ(inst.m_dSpeed, 40.0 * 0.1 / S);
    EXPECT_DOUBLE_EQ(inst.m_dMaxSpeed, 50.0 * 0.1 / S);
    EXPECT_EQ(inst.m_nDirChoice, 7);
    EXPECT_EQ(inst.m_nInitialCount, 6 * g_Stage.m_nSubSteps);
    g_Stage.SetSpeedLevel(1);
}

}   // namespace
