#include <atomic>
#include <vector>

#include "CoreTestSupport.h"
#include "core/Random.h"
#include "core/Thread.h"
#include "platform/host/Host.h"
#include "platform/win/WinMessage.h"

namespace {

class ThreadTest : public CoreTest {};

// A thread routine that keeps the contract: peek at its own queue, return on WM_QUIT.
struct LoopState {
    std::atomic<int> quits{0};
    std::atomic<int> loops{0};
};

unsigned MessageLoop(void* argument)
{
    auto* state = static_cast<LoopState*>(argument);
    for (;;) {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ++state->quits;
                return 0;
            }
        }
        ++state->loops;
        Sleep(1);
    }
}

unsigned ReturnAtOnce(void* argument)
{
    ++*static_cast<std::atomic<int>*>(argument);
    return 0;
}

TEST_F(ThreadTest, NeverStartedObjectJoinsAndExitsAtOnce)
{
    cThread thread;
    thread.Join();
    thread.Exit();
    EXPECT_EQ(thread.m_hThread.load(), nullptr);
    EXPECT_TRUE(thread.Suspend());
    EXPECT_TRUE(thread.Resume());
}

TEST_F(ThreadTest, ExitStopsALoopingThreadWithItsQuitMessage)
{
    LoopState state;
    cThread thread;
    ASSERT_TRUE(thread.Start(MessageLoop, &state));
    EXPECT_NE(thread.m_hThread.load(), nullptr);
    thread.Exit();
    EXPECT_EQ(thread.m_hThread.load(), nullptr);
    EXPECT_EQ(state.quits.load(), 1);
    // The object can start again.
    ASSERT_TRUE(thread.Start(MessageLoop, &state));
    thread.Exit();
    EXPECT_EQ(state.quits.load(), 2);
}

TEST_F(ThreadTest, JoinWaitsForTheRoutineToReturn)
{
    std::atomic<int> runs{0};
    cThread thread;
    ASSERT_TRUE(thread.Start(ReturnAtOnce, &runs));
    thread.Join();
    EXPECT_EQ(runs.load(), 1);
    EXPECT_EQ(thread.m_hThread.load(), nullptr);
    // Exit on an ended thread returns without waiting.
    ASSERT_TRUE(thread.Start(ReturnAtOnce, &runs));
    while (WaitForSingleObject(thread.m_hThread.load(), 0) == WAIT_TIMEOUT) Sleep(1);
    thread.Exit();
    EXPECT_EQ(runs.load(), 2);
}

TEST_F(ThreadTest, ThreadSuspendedOnceIsResumedByExit)
{
    LoopState state;
    cThread thread;
    ASSERT_TRUE(thread.Start(MessageLoop, &state));
    ASSERT_TRUE(thread.Suspend());
    thread.Exit();
    EXPECT_EQ(state.quits.load(), 1);
    EXPECT_EQ(thread.m_hThread.load(), nullptr);
}

TEST_F(ThreadTest, ThreadSuspendedTwiceIsGivenUpWithoutHanging)
{
    static LoopState state;   // the given-up thread may still hold it after the test
    static cThread thread;
    ASSERT_TRUE(thread.Start(MessageLoop, &state));
    while (state.loops.load() == 0) Sleep(1);
    ASSERT_TRUE(thread.Suspend());
    ASSERT_TRUE(thread.Suspend());
    thread.Exit();
    EXPECT_EQ(thread.m_hThread.load(), nullptr);
    EXPECT_EQ(state.quits.load(), 0) << "still suspended: it never took the quit message";
}

TEST_F(ThreadTest, FailedStartLeavesNoThread)
{
    HostArmFault(HostFault::ThreadCreate);
    std::atomic<int> runs{0};
    cThread thread;
    EXPECT_FALSE(thread.Start(ReturnAtOnce, &runs));
    EXPECT_EQ(thread.m_hThread.load(), nullptr);
    thread.Join();
    EXPECT_EQ(runs.load(), 0);
}

// Every thread has its own generator, starting at 1.
unsigned DrawThree(void* argument)
{
    auto* out = static_cast<std::vector<int>*>(argument);
    for (int i = 0; i < 3; ++i) out->push_back(GameRand());
    return 0;
}

TEST_F(ThreadTest, EveryThreadStartsItsOwnGeneratorAtOne)
{
    GameSrand(12345);
    int mainFirst = GameRand();
    std::vector<int> a, b;
    cThread first, second;
    ASSERT_TRUE(first.Start(DrawThree, &a));
    ASSERT_TRUE(second.Start(DrawThree, &b));
    first.Join();
    second.Join();
    EXPECT_EQ(a, (std::vector<int>{41, 18467, 6334}));
    EXPECT_EQ(b, (std::vector<int>{41, 18467, 6334}));
    GameSrand(12345);
    EXPECT_EQ(GameRand(), mainFirst) << "the other threads did not disturb this one";
}

}  // namespace
