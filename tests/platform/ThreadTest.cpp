#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/host/Host.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinThread.h"
#include "platform/win/WinTime.h"

namespace {

using namespace std::chrono_literals;

// Waits in real time for a condition another thread makes true; fails the test after 10 s.
template <typename F>
bool Eventually(F condition)
{
    auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

std::atomic<int> g_sum{0};

unsigned SumUntilQuit(void*)
{
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0)
        if (msg.message == WM_USER) g_sum += static_cast<int>(msg.wParam);
    return 0;
}

TEST(Threads, PostsToAJustStartedThreadNeverFail)
{
    for (int round = 0; round < 20; ++round) {
        g_sum = 0;
        DWORD id = 0;
        HANDLE thread = BeginThread(SumUntilQuit, nullptr, &id);
        ASSERT_NE(thread, nullptr);
        ASSERT_NE(id, 0u);
        for (int i = 1; i <= 10; ++i) ASSERT_TRUE(PostThreadMessage(id, WM_USER, i, 0));
        ASSERT_TRUE(PostThreadMessage(id, WM_QUIT, 0, 0));
        EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
        EXPECT_EQ(g_sum.load(), 55);
        EXPECT_FALSE(PostThreadMessage(id, WM_USER, 1, 0));   // an ended thread has no queue
        EXPECT_TRUE(CloseHandle(thread));
        EXPECT_FALSE(CloseHandle(thread));
        EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_FAILED);
    }
}

TEST(Threads, ArmedFaultMakesThreadCreationFail)
{
    HostArmFault(HostFault::ThreadCreate);
    DWORD id = 77;
    EXPECT_EQ(BeginThread(SumUntilQuit, nullptr, &id), nullptr);
    EXPECT_EQ(id, 77u);
}

std::atomic<bool> g_stop{false};
std::atomic<int> g_count{0};

unsigned CountInSleeps(void*)
{
    while (!g_stop) {
        ++g_count;
        Sleep(1);
    }
    return 0;
}

// True when, over a stretch of real time, the counter has not moved more than once past base:
// a thread told to stop may finish the step it is in before its next call into the layer.
bool StoppedSince(int base)
{
    std::this_thread::sleep_for(50ms);
    return g_count <= base + 1;
}

TEST(Threads, SuspensionNestsAndStopsTheThreadAtItsNextCall)
{
    g_stop = false;
    g_count = 0;
    HANDLE thread = BeginThread(CountInSleeps, nullptr, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(Eventually([] { return g_count > 0; }));
    EXPECT_EQ(SuspendThread(thread), 0u);
    int suspendedAt = g_count;
    EXPECT_EQ(SuspendThread(thread), 1u);
    EXPECT_TRUE(StoppedSince(suspendedAt));
    EXPECT_EQ(ResumeThread(thread), 2u);
    EXPECT_TRUE(StoppedSince(suspendedAt));
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
    EXPECT_EQ(ResumeThread(thread), 1u);
    int resumedAt = g_count;
    EXPECT_TRUE(Eventually([&] { return g_count > resumedAt + 2; }));
    EXPECT_EQ(ResumeThread(thread), 0u);   // not suspended: nothing to undo
    g_stop = true;
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(SuspendThread(nullptr), 0xFFFFFFFFu);
    EXPECT_EQ(ResumeThread(nullptr), 0xFFFFFFFFu);
    CloseHandle(thread);
}

unsigned IgnoreQuit(void*)
{
    for (;;) {
        ++g_count;
        Sleep(1);   // never looks at its queue
    }
}

std::atomic<bool> g_spin{true};

unsigned SpinWithoutCalls(void*)
{
    while (g_spin) {
    }
    return 0;
}

// What the thread object's exit does: ask with WM_QUIT, poll, then give the thread up.
void ExitLikeThreadObject(HANDLE thread, DWORD id)
{
    ResumeThread(thread);
    PostThreadMessage(id, WM_QUIT, 0, 0);
    for (int polls = 1; WaitForSingleObject(thread, 0) == WAIT_TIMEOUT; ++polls) {
        Sleep(1);
        PostThreadMessage(id, WM_QUIT, 0, 0);
        if (polls >= 200) TerminateThread(thread, 0);
    }
}

TEST(Threads, ThreadIgnoringQuitIsGivenUpWithoutHanging)
{
    g_count = 0;
    DWORD id = 0;
    HANDLE thread = BeginThread(IgnoreQuit, nullptr, &id);
    ASSERT_TRUE(Eventually([] { return g_count > 0; }));
    ExitLikeThreadObject(thread, id);
    int givenUpAt = g_count;
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_FALSE(PostThreadMessage(id, WM_USER, 0, 0));
    EXPECT_TRUE(StoppedSince(givenUpAt));   // it stopped for good at its next call into the layer
    CloseHandle(thread);
}

std::atomic<int> g_quits{0};

unsigned PeekUntilQuit(void*)
{
    for (;;) {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message == WM_QUIT) {
                ++g_quits;
                return 0;
            }
        Sleep(1);
    }
}

TEST(Threads, ThreadSuspendedOnceEndsOnTheQuitMessageEvenWhenPollsTakeNoTime)
{
    // On the headless host the exit's 200 polls pass at once; the thread still ends by itself.
    HostSelect(HostKind::Headless);
    g_quits = 0;
    DWORD id = 0;
    HANDLE thread = BeginThread(PeekUntilQuit, nullptr, &id);
    SuspendThread(thread);
    ExitLikeThreadObject(thread, id);
    EXPECT_EQ(g_quits.load(), 1);
    CloseHandle(thread);
}

TEST(Threads, ThreadSuspendedTwiceIsGivenUpAfterOneResume)
{
    g_stop = false;
    g_count = 0;
    DWORD id = 0;
    HANDLE thread = BeginThread(CountInSleeps, nullptr, &id);
    ASSERT_TRUE(Eventually([] { return g_count > 0; }));
    SuspendThread(thread);
    int suspendedAt = g_count;
    SuspendThread(thread);
    ExitLikeThreadObject(thread, id);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(StoppedSince(suspendedAt));   // never ran again after the single resume
    CloseHandle(thread);
}

TEST(Threads, ThreadThatNeverCallsTheLayerIsLeftRunningButCountsAsEnded)
{
    g_spin = true;
    DWORD id = 0;
    HANDLE thread = BeginThread(SpinWithoutCalls, nullptr, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(TerminateThread(thread, 0));   // returns after a bounded wait
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    EXPECT_FALSE(PostThreadMessage(id, WM_QUIT, 0, 0));
    g_spin = false;   // let it finish on its own
    CloseHandle(thread);
}

TEST(Threads, SleepAdvancesTheVirtualClockOnTheHeadlessHostAndRealTimeOnTheSdlHost)
{
    HostSelect(HostKind::Headless);
    HostSetVirtualTime(1000);
    Sleep(16);
    Sleep(0);
    EXPECT_EQ(timeGetTime(), 1016u);

    HostSelect(HostKind::Sdl);
    DWORD start = GetTickCount();
    Sleep(20);
    EXPECT_GE(GetTickCount() - start, 20u);
    HostSelect(HostKind::Headless);
}

// A display thread that drives the headless clock while it shows frames, then ends.
unsigned DriveTheClockAndEnd(void*)
{
    HostSetClockDriver(GetCurrentThreadId());
    Sleep(16);
    return 0;
}

TEST(Threads, ThreadThatWaitedForTheClockDriverCarriesTheClockOn)
{
    HostSelect(HostKind::Headless);
    HostSetVirtualTime(1000);
    HANDLE thread = BeginThread(DriveTheClockAndEnd, nullptr, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(timeGetTime(), 1016u);
    // The waiter's sleeps move the clock now; before, nothing ever moved it again.
    EXPECT_EQ(HostClockDriver(), GetCurrentThreadId());
    Sleep(16);
    EXPECT_EQ(timeGetTime(), 1032u);

    // A thread that does not drive the clock leaves the driver as it was.
    HostSetClockDriver(0);
    thread = BeginThread([](void*) -> unsigned { return 0; }, nullptr, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(HostClockDriver(), 0u);
}

std::atomic<HANDLE> g_ownHandle{nullptr};
std::atomic<bool> g_pastTerminate{false};

unsigned EndItself(void*)
{
    while (!g_ownHandle) Sleep(0);
    TerminateThread(g_ownHandle, 0);
    g_pastTerminate = true;   // never reached
    return 0;
}

TEST(Threads, ThreadEndingItselfStopsAtOnce)
{
    HANDLE thread = BeginThread(EndItself, nullptr, nullptr);
    g_ownHandle = thread;
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(g_pastTerminate);
    CloseHandle(thread);
}

unsigned Quick(void*)
{
    return 0;
}

TEST(Threads, TimedWaitEndsWhenTheThreadDoes)
{
    g_stop = false;
    HANDLE thread = BeginThread(CountInSleeps, nullptr, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 5), WAIT_TIMEOUT);
    g_stop = true;
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);

    thread = BeginThread(Quick, nullptr, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(SuspendThread(thread), 0u);   // an ended thread still takes the calls
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_TRUE(TerminateThread(thread, 0));
    CloseHandle(thread);
}

TEST(Threads, MessageWaitEndsOnAMessageOrOnTheThreadsEnd)
{
    g_stop = false;
    HANDLE thread = BeginThread(CountInSleeps, nullptr, nullptr);
    ASSERT_NE(thread, nullptr);
    // Neither yet: a wait without time says so.
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &thread, 0, 0, QS_ALLINPUT), WAIT_TIMEOUT);
    // A message for the waiting thread ends the wait while the other thread still runs; so does
    // the quit message.
    MSG msg;
    ASSERT_TRUE(PostThreadMessage(GetCurrentThreadId(), WM_USER, 3, 0));
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &thread, 0, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    PostQuitMessage(4);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &thread, 0, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    // With the queue empty, the thread's end ends the wait.
    g_stop = true;
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &thread, 0, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &thread, 0, INFINITE, QS_ALLINPUT), WAIT_FAILED);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, 0, 0, QS_ALLINPUT), WAIT_TIMEOUT);
}

std::atomic<DWORD> g_seenId{0};

unsigned RecordId(void*)
{
    g_seenId = GetCurrentThreadId();
    return 0;
}

TEST(Threads, EveryThreadHasItsOwnId)
{
    DWORD id = 0;
    HANDLE thread = BeginThread(RecordId, nullptr, &id);
    WaitForSingleObject(thread, INFINITE);
    EXPECT_EQ(g_seenId.load(), id);
    EXPECT_NE(GetCurrentThreadId(), id);
    EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
    CloseHandle(thread);
}

}  // namespace
