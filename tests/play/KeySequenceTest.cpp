// Key sequences against hand-built key event histories of player 1, and the key-mode-0 gate of
// the flow run-time.
#include <gtest/gtest.h>

#include "data/EdKeyList.h"
#include "flows/KeySequence.h"
#include "tests/play/FlowTestSupport.h"

namespace {

// Key state indices of a step: directions 0..9, no button 10, buttons 1..8 at 11..18.
constexpr int32_t kLeft = 1, kRight = 2, kDown = 4, kDownLeft = 6, kDownRight = 8;
constexpr int32_t kButton1 = 11;

struct KeyRun {
    int32_t nState;
    int32_t nLength;
};

class KeySequenceTest : public cFlowFixture {
public:
    void SetUp() override
    {
        cFlowFixture::SetUp();
        InputStates.assign(1, cKeyInput());
        cKeyInput& input = InputStates[0];
        input.m_vDirEvents.assign(10, std::vector<KeyEventRun>(32, KeyEventRun{0, 0}));
        input.m_vButtonEvents.assign(9, std::vector<KeyEventRun>(32, KeyEventRun{0, 0}));
        for (int32_t k = 0; k < 19; ++k) SetRuns(k, {{0, 500}});
        m_Chara.m_nDir = 1;
        m_State.m_lpCurObj = &m_Chara;
    }

    // Runs of list k (0..9 directions, 10..18 button lists), newest first.
    void SetRuns(int32_t k, std::vector<KeyRun> runs)
    {
        cKeyInput& input = InputStates[0];
        std::vector<KeyEventRun>& list = k < 10 ? input.m_vDirEvents[static_cast<size_t>(k)]
                                                : input.m_vButtonEvents[static_cast<size_t>(k - 10)];
        list.assign(32, KeyEventRun{0, 0});
        for (size_t i = 0; i < runs.size() && i < 32; ++i) list[i] = {runs[i].nState, runs[i].nLength};
    }

    static cEdKeyList Step(std::vector<std::pair<int32_t, int32_t>> keys, int32_t nCombine = 0,
                           int32_t bAnyLength = 1, int32_t nMin = 0, int32_t nMax = 0,
                           int32_t bFacing = 0)
    {
        cEdKeyList step = cEdKeyList::Default();
        for (const auto& [k, state] : keys) step.m_vKeyState[static_cast<size_t>(k)] = static_cast<int8_t>(state);
        step.m_nCombine = static_cast<int8_t>(nCombine);
        step.m_bAnyLength = static_cast<int8_t>(bAnyLength);
        step.m_nMinHold = static_cast<int16_t>(nMin);
        step.m_nMaxHold = static_cast<int16_t>(nMax);
        step.m_bFacingRelative = static_cast<int8_t>(bFacing);
        return step;
    }

    int32_t Match(std::vector<cEdKeyList>& steps, int32_t nTolerance)
    {
        std::vector<cEdKeyList*> v;
        for (cEdKeyList& s : steps) v.push_back(&s);
        return MatchKeySequence(v, nTolerance);
    }
};

TEST_F(KeySequenceTest, HeldButtonOfAnyLengthMatchesWhileItIsDown)
{
    std::vector<cEdKeyList> steps = {Step({{kButton1, 1}})};
    for (int32_t nHeld : {1, 2, 30}) {
        SetRuns(kButton1, {{1, nHeld}, {0, 100}});
        EXPECT_EQ(Match(steps, 0), 1) << nHeld;
    }
    SetRuns(kButton1, {{0, 3}, {1, 10}});
    EXPECT_EQ(Match(steps, 0), 0);
}

TEST_F(KeySequenceTest, HeldRunWithMinimumAndMaximumOneMatchesOnlyOnThePressFrame)
{
    std::vector<cEdKeyList> steps = {Step({{kButton1, 1}}, 0, 0, 1, 1)};
    SetRuns(kButton1, {{1, 1}, {0, 50}});
    EXPECT_EQ(Match(steps, 0), 1);
    SetRuns(kButton1, {{1, 2}, {0, 50}});
    EXPECT_EQ(Match(steps, 0), 0);
}

TEST_F(KeySequenceTest, ReleaseThenHoldMatchesWhileHeldAfterARelease)
{
    std::vector<cEdKeyList> steps = {Step({{kDown, 2}}), Step({{kDown, 1}})};
    for (int32_t nTolerance : {0, 5}) {
        for (int32_t nHeld : {1, 4}) {
            SetRuns(kDown, {{1, nHeld}, {0, 1}, {1, 9}});
            EXPECT_EQ(Match(steps, nTolerance), 1) << nTolerance << " " << nHeld;
        }
        SetRuns(kDown, {{0, 2}, {1, 4}});
        EXPECT_EQ(Match(steps, nTolerance), 0) << nTolerance;
    }
}

// A quarter circle from down to forward, facing-relative: mirrored for an object facing left.
TEST_F(KeySequenceTest, FacingRelativeQuarterCircleIsMirroredForAnObjectFacingLeft)
{
    std::vector<cEdKeyList> steps = {Step({{kDown, 1}}, 0, 1, 0, 0, 1), Step({{kDownRight, 1}}, 0, 1, 0, 0, 1),
                                     Step({{kRight, 1}}, 0, 1, 0, 0, 1)};
    auto rightHanded = [&] {
        for (int32_t k = 0; k < 19; ++k) SetRuns(k, {{0, 500}});
        SetRuns(kRight, {{1, 2}, {0, 500}});
        SetRuns(kDownRight, {{0, 2}, {1, 3}, {0, 500}});
        SetRuns(kDown, {{0, 5}, {1, 4}, {0, 500}});
    };
    auto leftHanded = [&] {
        for (int32_t k = 0; k < 19; ++k) SetRuns(k, {{0, 500}});
        SetRuns(kLeft, {{1, 2}, {0, 500}});
        SetRuns(kDownLeft, {{0, 2}, {1, 3}, {0, 500}});
        SetRuns(kDown, {{0, 5}, {1, 4}, {0, 500}});
    };
    struct Case {
        int32_t nDir;
        bool bLeftHanded;
        int32_t nExpected;
    };
    const Case cases[] = {{1, false, 1}, {1, true, 0}, {0, true, 1}, {0, false, 0}};
    for (const Case& c : cases) {
        c.bLeftHanded ? leftHanded() : rightHanded();
        m_Chara.m_nDir = c.nDir;
        EXPECT_EQ(Match(steps, 0), c.nExpected) << c.nDir << c.bLeftHanded;
    }
}

TEST_F(KeySequenceTest, CombineModesDecideWhichKeysMustHold)
{
    struct Case {
        int32_t nCombine;
        bool bLeft, bRight;
        int32_t nExpected;
    };
    const Case cases[] = {
        {0, true, true, 1},  {0, true, false, 0}, {1, true, false, 1}, {1, false, true, 1},
        {1, false, false, 0}, {2, true, false, 1}, {2, true, true, 0}, {3, false, false, 1},
    };
    for (const Case& c : cases) {
        SetRuns(kLeft, {{c.bLeft ? 1 : 0, 4}, {0, 100}});
        SetRuns(kRight, {{c.bRight ? 1 : 0, 9}, {0, 100}});
        std::vector<cEdKeyList> steps = {Step({{kLeft, 1}, {kRight, 1}}, c.nCombine)};
        EXPECT_EQ(Match(steps, 0), c.nExpected) << c.nCombine << c.bLeft << c.bRight;
    }
}

TEST_F(KeySequenceTest, StepLengthIsTheShortestOrLongestMatchingRun)
{
    SetRuns(kLeft, {{1, 4}, {0, 100}});
    SetRuns(kRight, {{1, 9}, {0, 100}});
    KeyCursor cursor;
    cursor.m_nRemainder[kLeft] = 4;
    cursor.m_nRemainder[kRight] = 9;
    int32_t nLength = 0;
    EXPECT_EQ(MatchKeyStep(Step({{kLeft, 1}, {kRight, 1}}, 0), cursor, nLength), 1);
    EXPECT_EQ(nLength, 4);
    EXPECT_EQ(MatchKeyStep(Step({{kLeft, 1}, {kRight, 1}}, 1), cursor, nLength), 1);
    EXPECT_EQ(nLength, 9);
}

TEST_F(KeySequenceTest, StepWithoutKeysHoldsOnlyWhenAllKeysMustHold)
{
    for (int32_t nCombine : {0, 1, 2}) {
        std::vector<cEdKeyList> steps = {Step({}, nCombine)};
        EXPECT_EQ(Match(steps, 0), nCombine == 0 ? 1 : 0) << nCombine;
    }
}

TEST_F(KeySequenceTest, ToleranceLetsAnEarlierStepLieFurtherBack)
{
    // Button 1 tapped and released two frames before down went down (held for 3 frames now).
    SetRuns(kButton1, {{0, 5}, {1, 1}, {0, 100}});
    SetRuns(kDown, {{1, 3}, {0, 50}});
    std::vector<cEdKeyList> steps = {Step({{kButton1, 1}}), Step({{kDown, 1}})};
    EXPECT_EQ(Match(steps, 0), 0);
    EXPECT_EQ(Match(steps, 1), 0);
    EXPECT_EQ(Match(steps, 2), 1);
}

TEST_F(KeySequenceTest, OverlapWithTheLaterStepNeedsTheProjectSetting)
{
    // Both keys went down on the same frame: the earlier step is found only one frame after the
    // cursor, where the later step holds as well.
    SetRuns(kButton1, {{1, 3}, {0, 50}});
    SetRuns(kDown, {{1, 3}, {0, 50}});
    std::vector<cEdKeyList> steps = {Step({{kButton1, 1}}), Step({{kDown, 1}})};
    g_System.m_bLegacy669 = 0;
    EXPECT_EQ(Match(steps, 2), 0);
    g_System.m_bLegacy669 = 1;
    EXPECT_EQ(Match(steps, 2), 1);
}

TEST_F(KeySequenceTest, CursorPastTheOldestRunMatchesNothing)
{
    // 32 runs of one frame; the oldest is pressed for button 1 and released for button 2.
    std::vector<KeyRun> pressedLast, releasedLast;
    for (int32_t i = 0; i < 32; ++i) {
        pressedLast.push_back({i % 2 == 1 ? 1 : 0, 1});
        releasedLast.push_back({i % 2 == 0 ? 1 : 0, 1});
    }
    SetRuns(kButton1, pressedLast);
    SetRuns(kButton1 + 1, releasedLast);
    KeyCursor cursor;
    for (int32_t k = 0; k < 19; ++k) cursor.m_nRemainder[k] = 1;
    MoveKeyCursor(cursor, -40);
    EXPECT_EQ(cursor.m_nRun[kButton1], 31);
    EXPECT_EQ(cursor.m_nRemainder[kButton1], -8);
    int32_t nLength = 0;
    EXPECT_EQ(MatchKeyStep(Step({{kButton1, 1}}, 0, 0, 0, 100), cursor, nLength), 0);
    EXPECT_EQ(MatchKeyStep(Step({{kButton1 + 1, 2}}), cursor, nLength), 0);
}

TEST_F(KeySequenceTest, BackAndForthReturnsEveryListToItsStart)
{
    SetRuns(kButton1, {{1, 1}, {0, 2}, {1, 1}, {0, 50}});
    SetRuns(kDown, {{0, 2}, {1, 1}, {0, 50}});
    KeyCursor start;
    for (int32_t k = 0; k < 19; ++k) {
        const auto& list = k < 10 ? InputStates[0].m_vDirEvents[static_cast<size_t>(k)]
                                  : InputStates[0].m_vButtonEvents[static_cast<size_t>(k - 10)];
        start.m_nRun[k] = 0;
        start.m_nRemainder[k] = list[0].nCount;
    }
    KeyCursor cursor = start;
    for (int32_t i = 0; i < 3; ++i) MoveKeyCursor(cursor, -1);
    EXPECT_EQ(cursor.m_nRun[kButton1], 2);
    EXPECT_EQ(cursor.m_nRun[kDown], 2);
    for (int32_t i = 0; i < 3; ++i) MoveKeyCursor(cursor, 1);
    for (int32_t k = 0; k < 19; ++k) {
        EXPECT_EQ(cursor.m_nRun[k], start.m_nRun[k]) << k;
        EXPECT_EQ(cursor.m_nRemainder[k], start.m_nRemainder[k]) << k;
    }
}

TEST_F(KeySequenceTest, KeyModeZeroFiresOnceAPressAndHoldsTheFlowId)
{
    cEdFlow flow = MakeFlow(0, 2, {TraceCmd(1, 1, 0)});
    flow.m_nKeyMode = 0;
    flow.m_vKeyList = {Step({{kButton1, 1}})};
    SetFlows({flow});
    cFlowInstance& inst = m_Chara.m_vFlow[0];
    ASSERT_EQ(inst.m_vKeySteps.size(), 1u);

    const std::vector<KeyRun> held = {{1, 1}, {0, 100}};
    const std::vector<KeyRun> released = {{0, 1}, {1, 2}};
    SetRuns(kButton1, held);
    EXPECT_EQ(CheckFlowKeys(&m_Chara, &inst), 1);
    EXPECT_EQ(CheckFlowKeys(&m_Chara, &inst), 0);
    EXPECT_EQ(m_Chara.m_vFlowIdRunning[2], 1);
    EXPECT_EQ(m_Chara.m_vFlowIdStopped[2], 1);
    EXPECT_EQ(m_Chara.m_bFlowIdStopped, 1);
    SetRuns(kButton1, released);
    EXPECT_EQ(CheckFlowKeys(&m_Chara, &inst), 0);
    SetRuns(kButton1, held);
    EXPECT_EQ(CheckFlowKeys(&m_Chara, &inst), 1);

    // Any other mode fires in every matching frame; no steps always pass.
    m_Chara.m_Def.m_vFlow[0].m_nKeyMode = 1;
    EXPECT_EQ(CheckFlowKeys(&m_Chara, &inst), 1);
    EXPECT_EQ(CheckFlowKeys(&m_Chara, &inst), 1);
    inst.m_vKeySteps.clear();
    EXPECT_EQ(CheckFlowKeys(&m_Chara, &inst), 1);
}

TEST_F(KeySequenceTest, FlowAddedWhileItsKeysAreHeldWaitsForARelease)
{
    cEdFlow flow = MakeFlow(0, 0, {TraceCmd(1, 1, 0)});
    flow.m_nKeyMode = 0;
    flow.m_vKeyList = {Step({{kButton1, 1}})};
    std::vector<cEdFlow> added = {flow};
    BuildFlowInstances(&m_Chara, added, 1, -1);
    ASSERT_EQ(m_Chara.m_vFlow.size(), 1u);
    SetRuns(kButton1, {{1, 5}, {0, 100}});
    EXPECT_EQ(CheckFlowKeys(&m_Chara, &m_Chara.m_vFlow[0]), 0);
    SetRuns(kButton1, {{0, 1}, {1, 5}});
    EXPECT_EQ(CheckFlowKeys(&m_Chara, &m_Chara.m_vFlow[0]), 0);
    SetRuns(kButton1, {{1, 1}, {0, 1}});
    EXPECT_EQ(CheckFlowKeys(&m_Chara, &m_Chara.m_vFlow[0]), 1);
}

}   // namespace
