// Stepping flows sub-step by sub-step: the frontier, same-frame commands, the end of a flow, the
// flow-ID bookkeeping, firing gates, trigger 18, bindings consumed by the next command, and the
// play state's current object, flow and command kept across nested calls.
#include <gtest/gtest.h>

#include "flows/FlowContext.h"
#include "data/EdStageRecords.h"
#include "flows/ParamBinding.h"
#include "tests/play/FlowTestSupport.h"

namespace {

using Trace = std::vector<std::vector<int32_t>>;

class FlowRuntimeTest : public cFlowFixture {
public:
    // Starts flow 0 and steps it until it ends (at most nMax sub-steps): per sub-step the trace
    // ids of the commands that ran.
    Trace RunFlow(int32_t nMax, int32_t* lpSteps = nullptr)
    {
        Start(0);
        Trace trace;
        int32_t r = 0;
        while (r == 0 && static_cast<int32_t>(trace.size()) < nMax) trace.push_back(StepOnce(0, &r));
        if (lpSteps != nullptr) *lpSteps = static_cast<int32_t>(trace.size());
        return trace;
    }
};

TEST_F(FlowRuntimeTest, CommandAfterAWaitStartsInTheSubStepAfterTheWaitsLastStep)
{
    ASSERT_EQ(g_Stage.m_nSubSteps, 1);
    SetFlows({MakeFlow(0, 0, {FlowCmd(1, 1, 0), TraceCmd(5, 0, 0)})});
    int32_t nSteps = 0;
    const Trace trace = RunFlow(20, &nSteps);
    // "ウエイト" of one tenth holds 6 sub-steps; the traced command runs once, in the 7th.
    ASSERT_EQ(nSteps, 7);
    for (int32_t i = 0; i < 6; ++i) EXPECT_TRUE(trace[static_cast<size_t>(i)].empty()) << i;
    EXPECT_EQ(trace[6], std::vector<int32_t>({5}));
    EXPECT_EQ(m_Chara.m_vFlow[0].m_bRunning, 0);
}

TEST_F(FlowRuntimeTest, SameFrameCommandsReleaseTheNextAndRunBesideIt)
{
    SetFlows({MakeFlow(0, 0, {TraceCmd(1, 1, 1), TraceCmd(2, 1, 1), TraceCmd(3, 1, 1), TraceCmd(4, 2, 0)})});
    const Trace trace = RunFlow(100);
    ASSERT_GE(trace.size(), 7u);
    // All four start in the first sub-step and run side by side for 6 sub-steps; the normal one
    // holds its 12 and ends the flow.
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(trace[i], std::vector<int32_t>({1, 2, 3, 4})) << i;
    EXPECT_EQ(trace[6], std::vector<int32_t>({4}));
    EXPECT_EQ(trace.size(), 12u);
}

TEST_F(FlowRuntimeTest, FlowEndsWhenItsLastSameFrameCommandEndsEvenWhileEarlierOnesRun)
{
    SetFlows({MakeFlow(0, 0, {TraceCmd(1, 5, 1), TraceCmd(2, 0, 1)})});
    int32_t nSteps = 0;
    const Trace trace = RunFlow(100, &nSteps);
    EXPECT_EQ(nSteps, 1);
    EXPECT_EQ(trace[0], std::vector<int32_t>({1, 2}));
    EXPECT_EQ(m_Chara.m_vFlow[0].m_bRunning, 0);
}

TEST_F(FlowRuntimeTest, NormalCommandHoldsTheFrontierUntilItFinishes)
{
    SetFlows({MakeFlow(0, 0, {TraceCmd(1, 0, 0), TraceCmd(2, 0, 0), TraceCmd(3, 0, 0)})});
    int32_t nSteps = 0;
    const Trace trace = RunFlow(100, &nSteps);
    EXPECT_EQ(trace, Trace({{1}, {2}, {3}}));
    // The step counter counts the sub-steps that did not finish the flow.
    EXPECT_EQ(m_Chara.m_vFlow[0].m_nSteps, 2);
}

TEST_F(FlowRuntimeTest, CommandsOfTimeZeroOrLessRunOneStep)
{
    cEdCommand negative = TraceCmd(2, 0, 0);
    negative.m_nTime = -3;
    SetFlows({MakeFlow(0, 0, {TraceCmd(1, 0, 0), negative})});
    EXPECT_EQ(RunFlow(100), Trace({{1}, {2}}));
}

TEST_F(FlowRuntimeTest, FlowWithoutCommandsFinishesAtItsFirstStep)
{
    SetFlows({MakeFlow(0, 0, {})});
    int32_t nSteps = 0;
    RunFlow(10, &nSteps);
    EXPECT_EQ(nSteps, 1);
}

TEST_F(FlowRuntimeTest, StartingAndStoppingKeepTheFlowIdBookkeeping)
{
    SetFlows({MakeFlow(0, 3, {TraceCmd(1, 1, 0)}), MakeFlow(7, 4, {TraceCmd(1, 1, 0)})});
    Start(0);
    EXPECT_EQ(m_Chara.m_vFlowIdRunning[3], 1);
    EXPECT_EQ(m_Chara.m_vFlowIdStarted[3], 1);
    EXPECT_EQ(m_Chara.m_vFlow[0].m_bStartedThisFrame, 1);
    // Only trigger-0 flows take their ID when they start.
    Start(1);
    EXPECT_EQ(m_Chara.m_vFlowIdRunning[4], 0);

    m_Chara.m_vFlow[0].m_lBindings.push_back(ParamBinding{});
    StepOnce(0);
    StopFlow(&m_Chara.m_vFlow[0], &m_Chara);
    EXPECT_EQ(m_Chara.m_vFlow[0].m_bRunning, 0);
    EXPECT_TRUE(m_Chara.m_vFlow[0].m_lBindings.empty());
    EXPECT_EQ(m_Chara.m_vFlow[0].m_vCmd[0].m_nRemaining, 0);
    EXPECT_EQ(m_Chara.m_vFlowIdStopped[3], 1);
    EXPECT_EQ(m_Chara.m_bFlowIdStopped, 1);

    // A stop of a flow that is not running changes nothing.
    m_Chara.m_bFlowIdStopped = 0;
    StopFlow(&m_Chara.m_vFlow[0], &m_Chara);
    EXPECT_EQ(m_Chara.m_bFlowIdStopped, 0);
}

TEST_F(FlowRuntimeTest, StopForeverLeavesRunningSetButEndsTheCommands)
{
    SetFlows({MakeFlow(0, 2, {TraceCmd(1, 3, 0)})});
    Start(0);
    StepOnce(0);
    ASSERT_GT(m_Chara.m_vFlow[0].m_vCmd[0].m_nRemaining, 0);
    StopFlowForever(&m_Chara.m_vFlow[0], &m_Chara);
    EXPECT_EQ(m_Chara.m_vFlow[0].m_bStoppedForever, 1);
    EXPECT_EQ(m_Chara.m_vFlow[0].m_bRunning, 1);
    EXPECT_EQ(m_Chara.m_vFlow[0].m_vCmd[0].m_nRemaining, 0);
    EXPECT_EQ(m_Chara.m_vFlowIdStopped[2], 1);

    PauseFlow(&m_Chara.m_vFlow[0]);
    EXPECT_EQ(m_Chara.m_vFlow[0].m_bPaused, 1);
    ResumeFlow(&m_Chara.m_vFlow[0]);
    EXPECT_EQ(m_Chara.m_vFlow[0].m_bPaused, 0);
}

// Which flows reach the once-per-frame mark: the gates before the conditions.
TEST_F(FlowRuntimeTest, FiringGatesSkipRunningPausedStoppedStartedAndTakenIds)
{
    std::vector<cEdFlow> flows;
    for (int32_t i = 0; i < 7; ++i) flows.push_back(MakeFlow(0, i == 5 ? 1 : 0, {TraceCmd(1, 1, 0)}));
    flows.push_back(MakeFlow(4, 0, {TraceCmd(1, 1, 0)}));
    SetFlows(flows);
    std::vector<cFlowInstance>& v = m_Chara.m_vFlow;
    v[1].m_bRunning = 1;
    v[2].m_bPaused = 1;
    v[3].m_bStoppedForever = 1;
    v[4].m_bStartedThisFrame = 1;
    m_Chara.m_vFlowIdRunning[1] = 1;   // flow 5's ID is taken
    v[6].m_bTriedThisFrame = 1;         // already had its chance this frame

    FireFlows(&m_Chara, 0);
    const int32_t expected[] = {1, 0, 0, 0, 0, 0, 1, 0};
    for (size_t i = 0; i < v.size(); ++i) EXPECT_EQ(v[i].m_bTriedThisFrame, expected[i]) << i;
}

// Two trigger-0 flows sharing an ID: the second gets no chance while the first runs, nor in the
// frame the first started, nor before the owner's flow run has released the ID after a stop.
TEST_F(FlowRuntimeTest, FlowsSharingAnIdExcludeEachOtherAcrossFrames)
{
    SetFlows({MakeFlow(0, 6, {TraceCmd(1, 1, 0)}), MakeFlow(0, 6, {TraceCmd(2, 1, 0)})});
    cFlowInstance& second = m_Chara.m_vFlow[1];
    // The once-a-frame mark is set just past the ID gates, before the conditions.
    auto reachesConditions = [&] {
        FireFlows(&m_Chara, 0);
        const bool bReached = second.m_bTriedThisFrame != 0;
        second.m_bTriedThisFrame = 0;
        return bReached;
    };
    Start(0);
    EXPECT_FALSE(reachesConditions());            // the first runs
    StepOnce(0);
    StopFlow(&m_Chara.m_vFlow[0], &m_Chara);
    EXPECT_FALSE(reachesConditions());            // stopped, not yet released
    m_Chara.m_vFlowIdRunning[6] = 0;              // the owner's flow run releases the ID
    m_Chara.m_vFlowIdStopped[6] = 0;
    m_Chara.m_bFlowIdStopped = 0;
    EXPECT_FALSE(reachesConditions());            // still the frame in which the first started
    m_Chara.m_vFlowIdStarted[6] = 0;              // the next frame
    m_Chara.m_vFlow[0].m_bStartedThisFrame = 0;
    // The first has had its chance this frame: its empty conditions hold, and starting it again
    // would take the ID before the second is reached.
    m_Chara.m_vFlow[0].m_bTriedThisFrame = 1;
    EXPECT_TRUE(reachesConditions());
}

TEST_F(FlowRuntimeTest, OnceAFrameMarkFollowsTheTwoProjectSettings)
{
    struct Case {
        int32_t bEverySubStep, bCheckOnTrigger, bRunning;
        int32_t nExpectedTried;
    };
    const Case cases[] = {
        {0, 0, 0, 1},   // the mark is set before the conditions
        {0, 0, 1, 0},   // a running flow is skipped before the mark
        {0, 1, 1, 1},   // checked on the trigger: marked even though it runs
        {1, 0, 0, 0},   // every sub-step: no mark at all
        {1, 1, 0, 0},
    };
    for (const Case& c : cases) {
        g_System.m_bLegacy525 = c.bEverySubStep;
        g_System.m_bLegacy744 = c.bCheckOnTrigger;
        SetFlows({MakeFlow(0, 0, {TraceCmd(1, 1, 0)})});
        m_Chara.m_vFlow[0].m_bRunning = c.bRunning;
        FireFlows(&m_Chara, 0);
        EXPECT_EQ(m_Chara.m_vFlow[0].m_bTriedThisFrame, c.nExpectedTried)
            << c.bEverySubStep << c.bCheckOnTrigger << c.bRunning;
    }
}

TEST_F(FlowRuntimeTest, FlowOfAnotherTriggerIsNotTouched)
{
    SetFlows({MakeFlow(7, 0, {TraceCmd(1, 1, 0)})});
    FireFlows(&m_Chara, 0);
    EXPECT_EQ(m_Chara.m_vFlow[0].m_bTriedThisFrame, 0);
    FireFlows(&m_Chara, 7);
    EXPECT_EQ(m_Chara.m_vFlow[0].m_bTriedThisFrame, 1);
}

TEST_F(FlowRuntimeTest, StageStartFlowRunsOnlyItsSameFrameCommandsOfLaterKindsOnceAtOnce)
{
    cEdCommand move = FlowCmd(2, 3, 1);
    move.NewMove();
    SetFlows({MakeFlow(18, 0, {move, TraceCmd(1, 0, 1), TraceCmd(2, 0, 0), TraceCmd(3, 0, 1)})});
    Start(0);
    ASSERT_EQ(m_Chara.m_lAnimeRequests.size(), 2u);
    EXPECT_EQ(m_Chara.m_lAnimeRequests.back().m_Player.m_vPatterns[0][0].m_nFrame, 1);
    EXPECT_EQ(m_Chara.m_lAnimeRequests.front().m_Player.m_vPatterns[0][0].m_nFrame, 3);
    const cFlowInstance& inst = m_Chara.m_vFlow[0];
    EXPECT_EQ(inst.m_bRunning, 0);
    EXPECT_EQ(inst.m_vCmd[0].m_bDone, 0);
    EXPECT_EQ(inst.m_vCmd[1].m_bDone, 1);
    EXPECT_EQ(inst.m_vCmd[2].m_bDone, 0);
    EXPECT_EQ(inst.m_vCmd[3].m_bDone, 1);
}

TEST_F(FlowRuntimeTest, StageStartFlowOfMovementsOnlyDoesNothingAndStops)
{
    cEdCommand move = FlowCmd(2, 3, 1);
    move.NewMove();
    SetFlows({MakeFlow(18, 0, {move, FlowCmd(4, 1, 0)})});
    Start(0);
    EXPECT_EQ(m_Chara.m_vFlow[0].m_bRunning, 0);
    EXPECT_TRUE(m_Chara.m_lAnimeRequests.empty());
}

// "アレンジ" binds the next command that starts, whatever its kind. The bound command here is
// "背景の変更", whose row 0 is its background number.
TEST_F(FlowRuntimeTest, BindingIsConsumedByTheNextCommandThatStarts)
{
    g_Stage.m_vBackground.assign(8, cEdStageBackground());
    const std::vector<int32_t> bindNumber = {34, 0, 0, 2, 0};   // number := v0
    m_Chara.m_vVar[0] = 500;

    SetFlows({MakeFlow(0, 0, {FlowCmd(38, 0, 0, bindNumber), FlowCmd(1, 0, 0), FlowCmd(34, 0, 0, {1, 0})})});
    RunFlow(10);
    EXPECT_EQ(m_Chara.m_Def.m_vFlow[0].m_vCommand[2].m_vParam[0], 1);

    SetFlows({MakeFlow(0, 0, {FlowCmd(38, 0, 0, bindNumber), FlowCmd(34, 0, 0, {1, 0})})});
    RunFlow(10);
    EXPECT_EQ(m_Chara.m_Def.m_vFlow[0].m_vCommand[1].m_vParam[0], 8);
    EXPECT_EQ(g_Stage.m_vBackground[7].m_bShown, 1);
    EXPECT_TRUE(m_Chara.m_vFlow[0].m_lBindings.empty());
    g_Stage.m_vBackground.clear();
}

TEST_F(FlowRuntimeTest, StartingCommandOfAnyKindButArrangeConsumesTheBindings)
{
    cFlowInstance flow;
    m_State.m_lpCurObj = &m_Chara;
    m_State.m_lpCurFlow = &flow;
    for (int32_t nKind = 0; nKind < 40; ++nKind) {
        flow.m_lBindings.assign(2, ParamBinding{});
        cEdCommand cmd = FlowCmd(nKind, 2, 0);
        cCommandInstance inst;
        inst.m_lpCmd = &cmd;
        inst.m_nInitialCount = 12;
        inst.m_bDone = 1;
        inst.m_bStarted = 1;
        inst.m_nCalls = 4;
        inst.m_nMoveWord[3] = 9;
        inst.m_nWork[0] = 5;
        ResetCommandInstance(&inst);
        EXPECT_EQ(flow.m_lBindings.size(), nKind == 38 ? 2u : 0u) << nKind;
        EXPECT_EQ(inst.m_nRemaining, 12);
        EXPECT_EQ(inst.m_bDone, 0);
        EXPECT_EQ(inst.m_bStarted, 0);
        EXPECT_EQ(inst.m_nCalls, 0);
        EXPECT_EQ(inst.m_nMoveWord[3], 0);
        EXPECT_EQ(inst.m_nWork[0], 5);   // kept from start to start
    }
    m_State.m_lpCurObj = nullptr;
    m_State.m_lpCurFlow = nullptr;
}

TEST_F(FlowRuntimeTest, ConsecutiveArrangeCommandsAllReachTheNextCommand)
{
    m_Chara.m_vVar[1] = 1;
    m_Chara.m_vVar[2] = 2;
    SetFlows({MakeFlow(0, 0, {FlowCmd(38, 0, 0, {34, 0, 0, 2, 1}), FlowCmd(38, 0, 0, {34, 0, 1, 2, 2}),
                              FlowCmd(34, 0, 0, {7, 9})})});
    RunFlow(10);
    EXPECT_EQ(m_Chara.m_Def.m_vFlow[0].m_vCommand[2].m_vParam[0], 3);
}

TEST_F(FlowRuntimeTest, WaitingMessageIsRememberedUntilTheNextNormalCommandStarts)
{
    const std::vector<int32_t> params(18, 0);
    m_State.m_bClosing = 1;   // the message itself shows nothing while the window closes
    struct Case {
        int32_t nNextSameFrame;
        int32_t nExpectedWait;
    };
    // A same-frame command after the message keeps the mark; a normal one clears it as it starts.
    for (const Case& c : {Case{1, 1}, Case{0, 0}}) {
        SetFlows({MakeFlow(0, 0, {FlowCmd(19, 0, 0, params), TraceCmd(1, 0, c.nNextSameFrame)})});
        Start(0);
        StepOnce(0);
        EXPECT_EQ(m_Chara.m_vFlow[0].m_bMessageWait, 1);
        EXPECT_EQ(StepOnce(0), std::vector<int32_t>({1}));
        EXPECT_EQ(m_Chara.m_vFlow[0].m_bMessageWait, c.nExpectedWait) << c.nNextSameFrame;
    }
}

TEST_F(FlowRuntimeTest, MessageThatShowsWithoutWaitingIsNoMessageWait)
{
    std::vector<int32_t> params(18, 0);
    params[6] = 1;
    m_State.m_bClosing = 1;
    SetFlows({MakeFlow(0, 0, {FlowCmd(19, 0, 0, params), TraceCmd(2, 0, 0)})});
    Start(0);
    StepOnce(0);
    EXPECT_EQ(m_Chara.m_vFlow[0].m_bMessageWait, 0);
}

TEST_F(FlowRuntimeTest, NestedFiringRestoresTheOuterContext)
{
    SetFlows({MakeFlow(0, 0, {TraceCmd(1, 1, 0)}), MakeFlow(18, 0, {TraceCmd(2, 0, 1)})});
    cChara outer;
    cFlowInstance outerFlow;
    cCommandInstance outerCmd;
    m_State.m_lpCurObj = &outer;
    m_State.m_lpCurFlow = &outerFlow;
    m_State.m_lpCurCmd = &outerCmd;

    FireFlows(&m_Chara, 0);
    EXPECT_EQ(m_State.m_lpCurObj, &outer);
    EXPECT_EQ(m_State.m_lpCurFlow, &outerFlow);
    EXPECT_EQ(m_State.m_lpCurCmd, &outerCmd);

    {
        cFlowContextSave save(m_State);
        m_State.m_lpCurObj = &m_Chara;
        StartFlow(&m_Chara.m_vFlow[1]);   // runs a command at once
        EXPECT_EQ(m_State.m_lpCurObj, &m_Chara);
        EXPECT_EQ(m_State.m_lpCurFlow, &outerFlow);
        EXPECT_EQ(m_State.m_lpCurCmd, &outerCmd);
    }
    EXPECT_EQ(m_State.m_lpCurObj, &outer);
    ASSERT_EQ(m_Chara.m_lAnimeRequests.size(), 1u);
    EXPECT_EQ(m_Chara.m_lAnimeRequests.front().m_nKey, m_Chara.m_vFlow[1].m_nSerial);

    // At the top level the context is null again.
    m_State.m_lpCurObj = nullptr;
    m_State.m_lpCurFlow = nullptr;
    m_State.m_lpCurCmd = nullptr;
    FireFlows(&m_Chara, 0);
    EXPECT_EQ(m_State.m_lpCurObj, nullptr);
    EXPECT_EQ(m_State.m_lpCurFlow, nullptr);
    EXPECT_EQ(m_State.m_lpCurCmd, nullptr);
}

TEST_F(FlowRuntimeTest, DamagedFlowIdIsReportedWithoutWritingOutsideTheBookkeeping)
{
    SetFlows({MakeFlow(0, 100, {TraceCmd(1, 1, 0)})});
    Start(0);
    StepOnce(0);
    StopFlow(&m_Chara.m_vFlow[0], &m_Chara);
    EXPECT_EQ(m_Chara.m_vFlowIdRunning.size(), 27u);
    EXPECT_EQ(m_Chara.m_vFlow[0].m_bRunning, 0);
}

}   // namespace
