#include "InputTestSupport.h"

using HistoryTest = InputTest;

TEST_F(HistoryTest, LookBackStepsOverClearedRunsAndComesFullCircle)
{
    cKeyInput input;
    input.ClearKeyHistory();
    for (uint16_t word : {1, 1, 2}) {
        input.m_wDirection = word;
        input.PushKeyHistory();
    }
    const struct {
        int32_t back;
        uint16_t want;
    } cases[] = {{0, 2}, {1, 1}, {2, 1}, {3, 2}, {1000, 2}, {0x7FFFFFFF, 2}, {-5, 2}};
    for (const auto& c : cases) EXPECT_EQ(input.GetKeyHistory(0, c.back), c.want) << c.back;
    // The button ring kept its own runs: 0 for all three frames.
    EXPECT_EQ(input.GetKeyHistory(1, 0), 0);
    EXPECT_EQ(input.GetKeyHistory(1, 2), 0);
    EXPECT_EQ(input.GetKeyHistory(7, 0), 0);
}

TEST_F(HistoryTest, RingKeepsTheLast32RunsAndOverwritesTheOldest)
{
    cKeyInput input;
    input.ClearKeyHistory();
    // 40 runs of two frames each: values 1..40.
    for (uint16_t v = 1; v <= 40; ++v)
        for (int i = 0; i < 2; ++i) {
            input.m_wButton = v;
            input.PushKeyHistory();
        }
    EXPECT_EQ(input.GetKeyHistory(1, 0), 40);
    EXPECT_EQ(input.GetKeyHistory(1, 1), 40);
    EXPECT_EQ(input.GetKeyHistory(1, 2), 39);
    EXPECT_EQ(input.GetKeyHistory(1, 63), 9);   // the oldest run still held
    EXPECT_EQ(input.GetKeyHistory(1, 64), 40);  // past it: full circle
}

TEST_F(HistoryTest, RunCountStopsAtTheLargestInt32)
{
    cKeyInput input;
    input.ClearKeyHistory();
    input.m_wDirection = 4;
    input.PushKeyHistory();
    input.m_History[0][input.m_nHistoryIndex[0]].nCount = 0x7FFFFFFF;
    input.PushKeyHistory();
    EXPECT_EQ(input.m_History[0][input.m_nHistoryIndex[0]].nCount, 0x7FFFFFFF);
    EXPECT_EQ(input.GetKeyHistory(0, 0x7FFFFFFE), 4);
}

TEST_F(HistoryTest, HoldingLeftAndReleasingLeavesTwoRunsInTheLeftList)
{
    cKeyInput input;
    input.TrimKeyEvents();
    input.m_wDirection = 0x1;
    for (int i = 0; i < 100; ++i) input.RecordKeyEvents();
    input.m_wDirection = 0x0;
    input.RecordKeyEvents();
    const auto& left = input.m_vDirEvents[1];
    ASSERT_EQ(left.size(), 32u);
    EXPECT_EQ(left[0].nState, 0);
    EXPECT_EQ(left[0].nCount, 1);
    EXPECT_EQ(left[1].nState, 1);
    EXPECT_EQ(left[1].nCount, 100);
    EXPECT_EQ(left[2].nState, 0);   // the trimmed run it replaced: {0, 0}
    EXPECT_EQ(left[2].nCount, 0);
    // The "none" list saw 100 frames of not-none, then one of none.
    EXPECT_EQ(input.m_vDirEvents[0][0].nState, 1);
    EXPECT_EQ(input.m_vDirEvents[0][1].nCount, 100);
}

TEST_F(HistoryTest, EventListConditionsFollowTheListTables)
{
    struct {
        uint16_t direction, buttons;
        std::vector<int> dirHolding;     // direction lists whose newest run is 1
        std::vector<int> buttonHolding;  // button lists whose newest run is 1
    } cases[] = {
        {0x0, 0x00, {0}, {0}},
        {0x5, 0x00, {5, 9}, {0}},         // up-left, any
        {0x9, 0x81, {6, 9}, {1, 8}},      // down-left, buttons 1 and 8
        {0x6, 0x02, {7, 9}, {2}},
        {0xA, 0x40, {8, 9}, {7}},
        {0x3, 0x00, {9}, {0}},            // left and right together: only "any"
        {0x8, 0x10, {4, 9}, {5}},
    };
    for (const auto& c : cases) {
        cKeyInput input;
        input.m_wDirection = c.direction;
        input.m_wButton = c.buttons;
        input.RecordKeyEvents();
        for (int i = 0; i < 10; ++i) {
            const bool want = std::find(c.dirHolding.begin(), c.dirHolding.end(), i) != c.dirHolding.end();
            EXPECT_EQ(input.m_vDirEvents[i][0].nState, want ? 1 : 0) << c.direction << " list " << i;
            EXPECT_EQ(input.m_vDirEvents[i].size(), 32u);
        }
        for (int i = 0; i < 9; ++i) {
            const bool want = std::find(c.buttonHolding.begin(), c.buttonHolding.end(), i) != c.buttonHolding.end();
            EXPECT_EQ(input.m_vButtonEvents[i][0].nState, want ? 1 : 0) << c.buttons << " list " << i;
        }
    }
}

TEST_F(HistoryTest, EventListKeeps32RunsWhenStatesAlternate)
{
    std::vector<KeyEventRun> list(32, {0, 0});
    for (int i = 0; i < 50; ++i) cKeyInput::UpdateKeyEventList(list, i % 2 ? 0 : 1, 1, true);
    ASSERT_EQ(list.size(), 32u);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(list[i].nCount, 1);
        EXPECT_EQ(list[i].nState, i % 2 ? 1 : 0);   // newest (frame 49) released
    }
}

TEST_F(HistoryTest, CopiesAreIndependent)
{
    cKeyInput a;
    a.m_wDirection = 2;
    a.RecordKeyEvents();
    cKeyInput b = a;
    b.m_wDirection = 0;
    b.RecordKeyEvents();
    EXPECT_EQ(a.m_vDirEvents[2][0].nCount, 1);
    EXPECT_EQ(b.m_vDirEvents[2][0].nState, 0);
}
