// Threads: start with a queue in place, waits on their end, cooperative suspension, giving a
// thread up, and sleeping on the host's clock.
#include "platform/win/WinThread.h"

#include <cstdio>
#include <thread>

#include "platform/host/Host.h"
#include "platform/win/WinKernel.h"

namespace {

constexpr DWORD kMaximumSuspendCount = 127;
// How long TerminateThread waits for a thread to end by itself, and then, once it is given up,
// to stop at a call into the layer.
constexpr auto kGiveUpWait = std::chrono::milliseconds(250);
constexpr auto kStopWait = std::chrono::milliseconds(50);

std::shared_ptr<KernelThread> FindThread(HANDLE handle)
{
    KernelHandle* entry = KernelFindHandle(handle);
    return entry ? entry->thread : nullptr;
}

}  // namespace

HANDLE BeginThread(THREAD_START_ROUTINE routine, void* argument, DWORD* threadId)
{
    if (!routine || HostTakeFault(HostFault::ThreadCreate)) return nullptr;
    Kernel& k = TheKernel();
    auto thread = std::make_shared<KernelThread>();
    HANDLE handle;
    {
        KernelLock lock(k.lock);
        thread->id = k.nextThreadId++;
        // The queue exists before the thread runs, so a post to it cannot fail.
        k.threadsById[thread->id] = thread;
        handle = KernelAddHandle({thread, nullptr, 0});
    }
    try {
        // Detached from the start: the handle, not a join, tells when the thread has ended.
        std::thread([thread, routine, argument] {
            KernelAdoptThread(thread);
            routine(argument);
            KernelLock lock(TheKernel().lock);
            KernelThreadEnded(*thread);
        }).detach();
    } catch (const std::system_error&) {
        KernelLock lock(k.lock);
        k.threadsById.erase(thread->id);
        k.handles.erase(reinterpret_cast<uintptr_t>(handle));
        return nullptr;
    }
    if (threadId) *threadId = thread->id;
    return handle;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    KernelThread& self = KernelSelf(lock);
    KernelCheckpoint(lock, self);
    KernelHandle* entry = KernelFindHandle(handle);
    if (!entry || entry->mutex) return WAIT_FAILED;
    KernelDeadline deadline;
    if (milliseconds != INFINITE)
        deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    bool ended;
    if (std::shared_ptr<KernelThread> thread = entry->thread) {
        ended = KernelWait(lock, self, [&] { return thread->ended; }, deadline);
        // The headless clock moves only with its driver's sleeps: when the driver has ended, the
        // thread that waited for it carries the clock on, or no thread's frame would ever come.
        if (ended && IsHeadless() && HostClockDriver() == thread->id) HostSetClockDriver(self.id);
    } else {
        // Nothing announces the end of another process: look every millisecond.
        int process = entry->process;
        ended = KernelWait(lock, self, [&] { return KernelProcessEnded(process); }, deadline,
                           std::chrono::milliseconds(1));
    }
    return ended ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL CloseHandle(HANDLE handle)
{
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    KernelHandle* entry = KernelFindHandle(handle);
    if (!entry) return 0;
    if (entry->mutex) KernelCloseMutex(*entry->mutex);
    k.handles.erase(reinterpret_cast<uintptr_t>(handle));
    return 1;
}

DWORD SuspendThread(HANDLE handle)
{
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    std::shared_ptr<KernelThread> thread = FindThread(handle);
    if (!thread || thread->suspendCount >= kMaximumSuspendCount) return 0xFFFFFFFFu;
    DWORD previous = thread->suspendCount++;
    KernelThread& self = KernelSelf(lock);
    if (&self == thread.get()) KernelCheckpoint(lock, self);   // suspending oneself stops now
    return previous;
}

DWORD ResumeThread(HANDLE handle)
{
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    std::shared_ptr<KernelThread> thread = FindThread(handle);
    if (!thread) return 0xFFFFFFFFu;
    DWORD previous = thread->suspendCount;
    if (previous > 0 && --thread->suspendCount == 0) k.changed.notify_all();
    return previous;
}

BOOL TerminateThread(HANDLE handle, DWORD)
{
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    std::shared_ptr<KernelThread> thread = FindThread(handle);
    if (!thread) return 0;
    if (thread->ended) return 1;
    KernelThread& self = KernelSelf(lock);
    if (thread.get() == &self) {   // ending oneself: stop right here
        thread->givenUp = true;
        KernelThreadEnded(*thread);
        KernelPark(lock, *thread);
    }
    // A thread cannot be killed safely. It gets a bounded real time to end by itself (on the
    // headless host the caller's polls take almost no time); then it is given up: it stops for
    // good at its next call into the layer and counts as ended from now on, whatever it does.
    // The waits serve sends, so a thread blocked sending to the caller can still end.
    auto now = std::chrono::steady_clock::now();
    if (KernelWait(lock, self, [&] { return thread->ended; }, now + kGiveUpWait)) return 1;
    thread->givenUp = true;
    k.changed.notify_all();
    bool stopped = KernelWait(lock, self, [&] { return thread->ended || thread->parked; },
                              std::chrono::steady_clock::now() + kStopWait);
    if (!thread->ended) {
        std::fprintf(stderr, "thread %u given up %s\n", static_cast<unsigned>(thread->id),
                     stopped ? "(stopped in the platform layer)" : "(still running, left detached)");
        KernelThreadEnded(*thread);
    }
    return 1;
}

void Sleep(DWORD milliseconds)
{
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    KernelThread& self = KernelSelf(lock);
    const DWORD driver = HostClockDriver();
    if (IsHeadless() && (driver == 0 || driver == self.id)) {
        // The virtual clock moves instead of the thread waiting; yielding lets the others run.
        KernelCheckpoint(lock, self);
        KernelRunEventPump(lock, self);
        KernelServeSends(lock, self);
        lock.unlock();
        HostAdvanceVirtualTime(milliseconds);
        std::this_thread::yield();
        return;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    KernelWait(lock, self, [] { return false; }, deadline);
}

DWORD GetCurrentThreadId()
{
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    return KernelSelf(lock).id;
}
