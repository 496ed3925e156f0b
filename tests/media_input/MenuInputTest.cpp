#include "InputTestSupport.h"

using MenuInputTest = InputTest;

namespace {

// Runs frames with the given raw direction word and returns the frames on which bits passed.
std::vector<int> PassingFrames(cKeyInput& input, uint16_t held, int frames, uint16_t bits)
{
    std::vector<int> passed;
    for (int f = 0; f < frames; ++f) {
        input.m_wDirection = held;
        input.ApplyAutoRepeat();
        if (input.m_wDirection & bits) passed.push_back(f);
    }
    return passed;
}

}  // namespace

TEST_F(MenuInputTest, HeldDirectionRepeatsAfterTheDelayEveryInterval)
{
    cKeyInput input;
    input.SetAutoRepeat(18, 6);
    EXPECT_EQ(PassingFrames(input, 0x2, 43, 0x2), (std::vector<int>{0, 18, 24, 30, 36, 42}));
    // Released and pressed again: passes at once.
    EXPECT_TRUE(PassingFrames(input, 0x0, 1, 0xF).empty());
    EXPECT_EQ(PassingFrames(input, 0x2, 2, 0x2), (std::vector<int>{0}));
}

TEST_F(MenuInputTest, AxesRepeatSeparately)
{
    cKeyInput input;
    input.SetAutoRepeat(3, 2);
    std::vector<uint16_t> seen;
    const uint16_t held[] = {0x1, 0x1, 0x5, 0x5, 0x5, 0x5, 0x4};
    for (uint16_t h : held) {
        input.m_wDirection = h;
        input.m_nDirCode = 42;
        input.ApplyAutoRepeat();
        seen.push_back(input.m_wDirection);
        EXPECT_EQ(input.m_nDirCode, 42);   // the code is left as polled
    }
    // Left passes on frame 0 and on its 4th unchanged frame (frame 4); up passes when it starts
    // on frame 2 and on its 4th unchanged frame (frame 6), even though left was let go then.
    EXPECT_EQ(seen, (std::vector<uint16_t>{0x1, 0x0, 0x4, 0x0, 0x1, 0x0, 0x4}));
}

TEST_F(MenuInputTest, RepeatIntervalZeroRepeatsEveryFrameAfterTheDelay)
{
    cKeyInput input;
    input.SetAutoRepeat(3, 0);
    EXPECT_EQ(PassingFrames(input, 0x8, 6, 0x8), (std::vector<int>{0, 3, 4, 5}));
}

TEST_F(MenuInputTest, LatchReportsOnePressThenNothingUntilAllAreReleased)
{
    cKeyInput input;
    struct {
        uint16_t held;
        uint16_t mask;
        uint16_t want;
    } frames[] = {
        {0x03, 3, 0x03},   // buttons 1 and 2 on the same frame: both reported
        {0x03, 3, 0x00},
        {0x01, 3, 0x00},   // one still held
        {0x05, 3, 0x04},   // button 3 is outside the mask and passes
        {0x00, 3, 0x00},   // all released: the latch opens
        {0x02, 3, 0x02},   // a new press
        {0x00, 3, 0x00},
        {0x80, 0, 0x80},   // mask 0: all eight buttons
        {0x81, 0, 0x00},
    };
    int n = 0;
    for (const auto& f : frames) {
        input.m_wButton = f.held;
        input.LatchButtons(f.mask);
        EXPECT_EQ(input.m_wButton, f.want) << "frame " << n++;
    }
}

TEST_F(MenuInputTest, ClearAndDirectionFromKeys)
{
    const struct {
        uint16_t word;
        int32_t code;
    } cases[] = {{0x0, 5}, {0x1, 4}, {0x2, 6}, {0x4, 2}, {0x8, 8}, {0x5, 1}, {0x6, 3},
                 {0x9, 7}, {0xA, 9}, {0x3, 4}, {0xC, 2}, {0xF, 1}};
    for (const auto& c : cases) EXPECT_EQ(cKeyInput::DirectionFromKeys(c.word), c.code) << c.word;
    cKeyInput input;
    input.m_wDirection = 0x6;
    EXPECT_EQ(input.DirectionFromKeys(), 3);
    input.m_wButton = 0xFF;
    input.m_nDirCode = 1;
    input.ClearDirectionInput();
    input.ClearButtonInput();
    EXPECT_EQ(input.m_wDirection, 0);
    EXPECT_EQ(input.m_nDirCode, 5);
    EXPECT_EQ(input.m_wButton, 0);
}

TEST_F(MenuInputTest, NewStateStartsClear)
{
    cKeyInput input;
    EXPECT_EQ(input.m_vDirEvents.size(), 10u);
    EXPECT_EQ(input.m_vButtonEvents.size(), 9u);
    for (const auto& list : input.m_vButtonEvents) {
        ASSERT_EQ(list.size(), 32u);
        for (const auto& run : list) EXPECT_EQ(run.nState + run.nCount, 0);
    }
    EXPECT_EQ(input.m_wDirection, 0);
    EXPECT_EQ(input.m_nJoyRetry[0], 0);
    EXPECT_EQ(InputStates.size(), 1u);
}
