// The pause thread's display loop and its pause-wait, and the ranking display loop.
#include <gtest/gtest.h>

#include <vector>

#include "core/Thread.h"
#include "media/input/KeyInput.h"
#include "platform/host/Host.h"
#include "platform/win/HostInput.h"
#include "shell/ShellGlobals.h"
#include "stage/DisplayLoops.h"
#include "tests/play/PlayTestSupport.h"

namespace {

// The results of StepPauseWait for a run of frames with these decision-button states.
std::vector<int32_t> RunWait(PauseWaitRecord wait, const std::vector<int32_t>& vButtons)
{
    cKeyInput input;
    input.ClearKeyHistory();
    std::vector<int32_t> v;
    for (int32_t b : vButtons) {
        input.m_wButton = static_cast<uint16_t>(b);
        input.PushKeyHistory();
        const int32_t r = StepPauseWait(wait, input);
        v.push_back(r);
        if (r != 0) break;
    }
    return v;
}

PauseWaitRecord Wait(int32_t nKind, int32_t nDelay, int32_t bKey, int32_t nFrames)
{
    PauseWaitRecord wait;
    wait.m_nKind = nKind;
    wait.m_nDelay = nDelay;
    wait.m_bWaitForKey = bKey;
    wait.m_nFrames = nFrames;
    return wait;
}

TEST(DisplayLoopWait, FramesDelaysAndFreshPresses)
{
    const struct {
        const char* name;
        PauseWaitRecord wait;
        std::vector<int32_t> vButtons;
        std::vector<int32_t> vExpected;
    } cases[] = {
        {"n frames draw n frames", Wait(2, 0, 0, 3), {0, 0, 0, 0, 0}, {0, 0, 0, 2}},
        {"no frames end at once", Wait(0, 0, 0, 0), {0, 0}, {2}},
        {"a fresh press ends a key wait", Wait(3, 0, 1, 0), {0, 0, 1}, {0, 0, 1}},
        {"a key held from the start must be pressed anew", Wait(1, 2, 1, 0), {1, 1, 1, 1, 0, 1}, {0, 0, 0, 0, 0, 1}},
        {"keys are ignored during the delay", Wait(1, 3, 1, 0), {0, 1, 0, 0, 1}, {0, 0, 0, 0, 1}},
        {"another button does not count", Wait(1, 0, 1, 0), {0, 2, 4, 8, 1}, {0, 0, 0, 0, 1}},
        {"a key wait has no frame limit", Wait(1, 0, 1, 0), {0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(RunWait(c.wait, c.vButtons), c.vExpected) << c.name;
}

class DisplayLoopFixture : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        HostSelect(HostKind::Headless);
        HostReleaseAllKeys();
        m_bSavedActive = bAppActive.load();
        bAppActive = 1;
    }
    void TearDown() override
    {
        bAppActive = m_bSavedActive;
        cPlayFixture::TearDown();
    }
    int32_t m_bSavedActive = 0;
};

TEST_F(DisplayLoopFixture, FrameWaitEndsAfterItsFrames)
{
    m_State.m_PauseWait = Wait(0, 0, 0, 5);
    EXPECT_EQ(NestedDisplayLoop(&m_State), 1u);
    EXPECT_EQ(m_State.m_PauseWait.m_nFrames, -1);
    EXPECT_EQ(m_State.m_bHoldButtons, 0);
}

TEST_F(DisplayLoopFixture, ClosingSceneStartsNoWait)
{
    m_State.m_PauseWait = Wait(0, 0, 0, 5);
    m_State.m_bClosing = 1;
    EXPECT_EQ(NestedDisplayLoop(&m_State), 0u);
    EXPECT_EQ(m_State.m_PauseWait.m_nFrames, 5);
}

TEST_F(DisplayLoopFixture, CloseRequestEndsAKeyWait)
{
    // Nobody presses the key: only the close request can end this wait.
    m_State.m_PauseWait = Wait(1, 10, 1, 0);
    cThread thread;
    ASSERT_TRUE(thread.Start(NestedDisplayLoop, &m_State));
    m_State.m_bClosing = 1;
    thread.Join();
    EXPECT_EQ(m_State.m_bHoldButtons, 0);
}

TEST_F(DisplayLoopFixture, PauseThreadDrawsWithItsOwnInput)
{
    // The wait works on a copy: the play step's input and history are left as they were.
    InputStates[0].ClearKeyHistory();
    InputStates[0].m_wButton = 5;
    InputStates[0].PushKeyHistory();
    const uint16_t nBefore = InputStates[0].GetKeyHistory(1, 0);
    m_State.m_PauseWait = Wait(0, 0, 0, 3);
    cThread thread;
    ASSERT_TRUE(thread.Start(NestedDisplayLoop, &m_State));
    thread.Join();
    EXPECT_EQ(InputStates[0].m_wButton, 5);
    EXPECT_EQ(InputStates[0].GetKeyHistory(1, 0), nBefore);
}

TEST_F(DisplayLoopFixture, RankingDisplayEndsOnQuit)
{
    cThread thread;
    ASSERT_TRUE(thread.Start(RankingDisplayLoop, nullptr));
    thread.Exit();
    EXPECT_EQ(thread.m_hThread.load(), nullptr);
}

}  // namespace
