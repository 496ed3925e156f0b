#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/Host.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinThread.h"

namespace {

using namespace std::chrono_literals;

// A window procedure that records what it got and on which thread, and answers wParam * 2.
struct Call {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD thread;
};
std::mutex g_callLock;
std::vector<Call> g_calls;
std::atomic<bool> g_slowHandlerDone{false};

std::vector<Call> Calls()
{
    std::lock_guard<std::mutex> lock(g_callLock);
    return g_calls;
}

std::vector<UINT> MessagesOf(HWND hwnd)
{
    std::vector<UINT> out;
    for (auto& c : Calls())
        if (c.hwnd == hwnd) out.push_back(c.message);
    return out;
}

LRESULT CALLBACK_Recorder(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    {
        std::lock_guard<std::mutex> lock(g_callLock);
        g_calls.push_back({hwnd, message, wParam, lParam, GetCurrentThreadId()});
    }
    if (message == WM_USER + 9) {   // a handler that takes a while
        std::this_thread::sleep_for(20ms);
        g_slowHandlerDone = true;
    }
    if (message == WM_CREATE && lParam == -1) return -1;
    if (message == WM_CLOSE) return DefWindowProc(hwnd, message, wParam, lParam);
    return static_cast<LRESULT>(wParam * 2);
}

class Messages : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSEX wc = {sizeof(WNDCLASSEX), 0, CALLBACK_Recorder, nullptr, "TestWindow"};
        RegisterClassEx(&wc);   // once per process; later calls fail harmlessly
        std::lock_guard<std::mutex> lock(g_callLock);
        g_calls.clear();
    }
    static HWND Make(const char* caption = "main", HWND parent = nullptr, int id = 0)
    {
        return CreateWindowEx(0, "TestWindow", caption, 0, 0, 0, 640, 480, parent,
                              reinterpret_cast<void*>(static_cast<intptr_t>(id)), nullptr, nullptr);
    }
};

// A worker running a function once.
struct Worker {
    std::function<void()> body;
    std::atomic<bool> done{false};
    HANDLE handle = nullptr;
    DWORD id = 0;
    static unsigned Run(void* p)
    {
        auto* w = static_cast<Worker*>(p);
        w->body();
        w->done = true;
        return 0;
    }
    explicit Worker(std::function<void()> f) : body(std::move(f))
    {
        handle = BeginThread(Run, this, &id);
    }
    ~Worker()
    {
        WaitForSingleObject(handle, INFINITE);
        CloseHandle(handle);
    }
};

TEST_F(Messages, SendFromWorkerReturnsOnlyAfterTheOwnerRanTheHandler)
{
    // The owner serves sends in each of its waits.
    const std::vector<std::pair<const char*, std::function<void(Worker&)>>> pumps = {
        {"Sleep", [](Worker& w) { while (!w.done) Sleep(1); }},
        {"PeekMessage", [](Worker& w) { MSG m; while (!w.done) PeekMessage(&m, nullptr, 0, 0, PM_REMOVE); }},
        {"GetMessage", [](Worker&) { MSG m; while (GetMessage(&m, nullptr, 0, 0) > 0 && m.message != WM_USER + 1) {} }},
        {"WaitForSingleObject", [](Worker& w) { WaitForSingleObject(w.handle, INFINITE); }},
    };
    DWORD mainId = GetCurrentThreadId();
    HWND hwnd = Make();
    ASSERT_NE(hwnd, nullptr);
    for (const auto& [name, pump] : pumps) {
        g_slowHandlerDone = false;
        std::atomic<LRESULT> result{0};
        std::atomic<bool> handlerDoneAtReturn{false};
        Worker worker([&] {
            result = SendMessage(hwnd, WM_USER + 9, 21, 0);
            handlerDoneAtReturn = g_slowHandlerDone.load();
            PostThreadMessage(mainId, WM_USER + 1, 0, 0);
        });
        pump(worker);
        WaitForSingleObject(worker.handle, INFINITE);
        EXPECT_EQ(result.load(), 42) << name;
        EXPECT_TRUE(handlerDoneAtReturn) << name;
        auto calls = Calls();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back().message, WM_USER + 9u) << name;
        EXPECT_EQ(calls.back().thread, mainId) << name;   // run by the owner, not the sender
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    DestroyWindow(hwnd);
}

TEST_F(Messages, SendsOnTheOwnerThreadCallTheProcedureDirectly)
{
    HWND hwnd = Make();
    EXPECT_EQ(SendMessage(hwnd, WM_USER, 5, 0), 10);
    EXPECT_EQ(Calls().back().message, WM_USER);
    EXPECT_EQ(SendMessage(reinterpret_cast<HWND>(0x1234), WM_USER, 5, 0), 0);
    DestroyWindow(hwnd);
}

TEST_F(Messages, SendsAreReleasedWhenTheWindowIsDestroyed)
{
    HWND hwnd = Make();
    std::atomic<bool> queued{false};
    std::atomic<LRESULT> result{-1};
    Worker worker([&] {
        queued = true;
        result = SendMessage(hwnd, WM_USER + 3, 1, 0);   // the owner never pumps
    });
    while (!queued) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(20ms);   // let the send reach the queue
    EXPECT_TRUE(DestroyWindow(hwnd));
    WaitForSingleObject(worker.handle, INFINITE);
    EXPECT_EQ(result.load(), 0);
    EXPECT_EQ(MessagesOf(hwnd), (std::vector<UINT>{WM_CREATE, WM_DESTROY}));   // never ran
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(PostMessage(hwnd, WM_USER, 0, 0));
    Worker later([&] { result = SendMessage(hwnd, WM_USER, 1, 0); });
    WaitForSingleObject(later.handle, INFINITE);
    EXPECT_EQ(result.load(), 0);
}

TEST_F(Messages, SendsToWindowsOfAnEndedThreadReturnAtOnce)
{
    std::atomic<HWND> hwnd{nullptr};
    {
        Worker owner([&] { hwnd = Make("worker"); });
    }
    ASSERT_NE(hwnd.load(), nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(SendMessage(hwnd, WM_USER, 4, 0), 0);
    EXPECT_FALSE(PostMessage(hwnd, WM_USER, 0, 0));
}

HWND g_peerA = nullptr;
HWND g_peerB = nullptr;

TEST_F(Messages, TwoThreadsSendingToEachOtherDoNotDeadlock)
{
    g_peerA = Make("a");
    std::atomic<bool> ready{false};
    std::atomic<LRESULT> fromB{0};
    Worker b([&] {
        g_peerB = Make("b");
        ready = true;
        fromB = SendMessage(g_peerA, WM_USER, 3, 0);
        Sleep(1);
    });
    while (!ready) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(SendMessage(g_peerB, WM_USER, 4, 0), 8);   // b serves it while its own send waits
    WaitForSingleObject(b.handle, INFINITE);
    EXPECT_EQ(fromB.load(), 6);
    DestroyWindow(g_peerA);
}

TEST_F(Messages, PostedWindowMessagesGoToTheOwnersQueue)
{
    std::atomic<HWND> hwnd{nullptr};
    std::atomic<DWORD> dispatchedOn{0};
    Worker owner([&] {
        hwnd = Make("worker");
        MSG m;
        while (GetMessage(&m, nullptr, 0, 0) > 0) {
            if (m.message == WM_USER + 2) dispatchedOn = GetCurrentThreadId();
            DispatchMessage(&m);
        }
        DestroyWindow(hwnd);
    });
    while (!hwnd) std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(PostMessage(hwnd, WM_USER + 2, 7, 8));
    EXPECT_TRUE(PostThreadMessage(owner.id, WM_QUIT, 0, 0));
    WaitForSingleObject(owner.handle, INFINITE);
    EXPECT_EQ(dispatchedOn.load(), owner.id);
    EXPECT_EQ(MessagesOf(hwnd), (std::vector<UINT>{WM_CREATE, WM_USER + 2, WM_DESTROY}));
}

TEST_F(Messages, PeekFiltersAndQuitComesAfterPostedMessages)
{
    HWND hwnd = Make();
    PostMessage(hwnd, WM_USER + 1, 1, 0);
    MSG m;
    EXPECT_FALSE(PeekMessage(&m, nullptr, WM_USER + 5, WM_USER + 6, PM_REMOVE));
    PostQuitMessage(3);
    PostMessage(nullptr, WM_USER + 2, 2, 0);   // a thread message to oneself
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_USER + 2, WM_USER + 2, PM_NOREMOVE));
    EXPECT_EQ(m.wParam, 2u);
    ASSERT_TRUE(PeekMessage(&m, hwnd, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER + 1u);
    EXPECT_EQ(m.hwnd, hwnd);
    EXPECT_EQ(GetMessage(&m, nullptr, 0, 0), 1);
    EXPECT_EQ(m.message, WM_USER + 2u);
    EXPECT_EQ(m.hwnd, nullptr);
    EXPECT_EQ(GetMessage(&m, nullptr, 0, 0), 0);
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetMessage(&m, reinterpret_cast<HWND>(0x1234), 0, 0), -1);
    DestroyWindow(hwnd);
}

TEST_F(Messages, WindowsControlsAndTheirTexts)
{
    // "表示" in code page 932: its first trail byte is a backslash.
    const char caption[] = "\x95\x5C\x8E\xA6";
    EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "x", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    HWND main = Make(caption);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Calls().front().message, WM_CREATE);
    HWND edit = Make("abcdef", main, 101);
    HWND button = Make("OK", main, 102);
    EXPECT_EQ(GetDlgItem(main, 101), edit);
    EXPECT_EQ(GetDlgItem(main, 102), button);
    EXPECT_EQ(GetDlgItem(main, 103), nullptr);

    char buffer[16];
    EXPECT_EQ(GetDlgItemText(main, 101, buffer, 4), 3u);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_TRUE(SetDlgItemText(main, 101, "xy"));
    EXPECT_EQ(GetDlgItemText(main, 101, buffer, 16), 2u);
    EXPECT_STREQ(buffer, "xy");
    EXPECT_EQ(GetDlgItemText(main, 999, buffer, 16), 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(GetWindowText(main, buffer, 16), 4);
    EXPECT_STREQ(buffer, caption);

    EXPECT_EQ(FindWindow("testwindow", caption), main);
    EXPECT_EQ(FindWindow(nullptr, caption), main);
    EXPECT_EQ(FindWindow("TestWindow", "abcdef"), nullptr);   // controls are not top-level
    EXPECT_TRUE(SetWindowText(main, "title"));
    EXPECT_EQ(FindWindow("TestWindow", "title"), main);

    EXPECT_EQ(GetActiveWindow(), main);
    std::atomic<HWND> workerActive{main};
    Worker worker([&] { workerActive = GetActiveWindow(); });
    WaitForSingleObject(worker.handle, INFINITE);
    EXPECT_EQ(workerActive.load(), nullptr);
    DWORD pid = 0;
    EXPECT_EQ(GetWindowThreadProcessId(main, &pid), GetCurrentThreadId());
    EXPECT_NE(pid, 0u);

    // Closing through the default procedure destroys the window and its controls.
    EXPECT_EQ(SendMessage(main, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_NE(GetActiveWindow(), main);
    std::vector<HWND> destroyed;
    for (auto& c : Calls())
        if (c.message == WM_DESTROY) destroyed.push_back(c.hwnd);
    EXPECT_EQ(destroyed, (std::vector<HWND>{main, edit, button}));
}

TEST_F(Messages, CreationRefusedByTheProcedureGivesNoWindow)
{
    HWND hwnd = CreateWindowEx(0, "TestWindow", "x", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                               reinterpret_cast<void*>(static_cast<intptr_t>(-1)));
    EXPECT_EQ(hwnd, nullptr);
    auto calls = Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].message, WM_CREATE);
    EXPECT_EQ(calls[1].message, WM_DESTROY);
    EXPECT_FALSE(IsWindow(calls[0].hwnd));
}

TEST_F(Messages, OnlyTheOwnerDestroysAWindow)
{
    HWND hwnd = Make();
    std::atomic<BOOL> destroyed{1};
    Worker worker([&] { destroyed = DestroyWindow(hwnd); });
    WaitForSingleObject(worker.handle, INFINITE);
    EXPECT_FALSE(destroyed);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(DestroyWindow(hwnd));
}

}  // namespace
