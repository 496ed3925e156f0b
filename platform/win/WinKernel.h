#pragma once
// The layer's own state behind threads, message queues and windows. Used by the layer only
// (platform/win); game code uses WinThread.h and WinMessage.h.
//
// One lock guards it all and one condition variable announces every change (a post, a send, a
// thread's end, a resume, a destroyed window); waiters re-check what they wait for. The program
// has a handful of threads, so this stays cheap and is easy to reason about.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/win/WinTypes.h"

// A message sent to a window of another thread, waiting until the owner has run the procedure.
struct KernelSend {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
};

struct KernelThread {
    DWORD id = 0;
    std::deque<MSG> queue;                               // posted messages
    std::deque<std::shared_ptr<KernelSend>> sends;       // sends to this thread's windows
    bool quitPosted = false;                             // PostQuitMessage
    int quitCode = 0;
    DWORD suspendCount = 0;
    bool ended = false;    // the routine returned, or the thread was given up
    bool givenUp = false;  // TerminateThread: stops for good at its next call into the layer
    bool parked = false;   // a given-up thread that has stopped in the layer
};

struct KernelWindow {
    HWND handle = nullptr;
    WNDPROC proc = nullptr;
    std::string className;
    std::string text;
    std::shared_ptr<KernelThread> owner;
    HWND parent = nullptr;
    int id = 0;
    bool destroying = false;   // DestroyWindow has begun: sends from other threads return 0
};

struct Kernel {
    std::mutex lock;
    std::condition_variable changed;
    std::map<DWORD, std::shared_ptr<KernelThread>> threadsById;   // threads that can take posts
    std::map<uintptr_t, std::shared_ptr<KernelThread>> handles;
    std::map<uintptr_t, std::shared_ptr<KernelWindow>> windows;   // in creation order
    std::map<std::string, WNDPROC> classes;                       // by lower-case name
    DWORD nextThreadId = 0x400;
    uintptr_t nextHandle = 0x1000;
    uintptr_t nextWindow = 0x10000;
    ATOM nextAtom = 0xC000;
};

using KernelLock = std::unique_lock<std::mutex>;
using KernelDeadline = std::optional<std::chrono::steady_clock::time_point>;

Kernel& TheKernel();

// The calling thread's record; a thread not started by BeginThread gets one on first use.
// The lock must be held.
KernelThread& KernelSelf(KernelLock& lock);
std::shared_ptr<KernelThread> KernelSelfShared(KernelLock& lock);
void KernelAdoptThread(const std::shared_ptr<KernelThread>& thread);   // at a new thread's start

// Every blocking call of the layer runs through these (lock held):
// blocks while the calling thread is suspended; stops a given-up thread for good.
void KernelCheckpoint(KernelLock& lock, KernelThread& self);
// Runs the procedures of sends waiting for the calling thread, releasing the lock around each.
void KernelServeSends(KernelLock& lock, KernelThread& self);
// Waits until done() holds, serving sends meanwhile; false when the deadline passes first.
bool KernelWait(KernelLock& lock, KernelThread& self, const std::function<bool()>& done,
                KernelDeadline deadline);

// A thread has ended (or was given up): it takes no more posts, its windows are gone, and every
// send to them, pending or later, returns 0.
void KernelThreadEnded(KernelThread& thread);
[[noreturn]] void KernelPark(KernelLock& lock, KernelThread& self);   // a given-up thread stops here

std::shared_ptr<KernelWindow> KernelFindWindow(HWND hwnd);   // null when gone; lock held
