// The shared state of threads, queues and windows, and the waits every blocking call runs.
#include "platform/win/WinKernel.h"

namespace {

// A thread's slot: a thread the layer did not start is registered on first use and ended when
// it exits, so posts to it fail from then on.
struct ThreadSlot {
    std::shared_ptr<KernelThread> thread;
    ~ThreadSlot()
    {
        if (!thread) return;
        KernelLock lock(TheKernel().lock);
        KernelThreadEnded(*thread);
    }
};

thread_local ThreadSlot t_slot;

}  // namespace

[[noreturn]] void KernelPark(KernelLock& lock, KernelThread& self)
{
    // A given-up thread never runs game code again; it waits here until the process ends.
    // The condition is never destroyed: destroying one that has waiters would block the exit.
    static std::condition_variable* never = new std::condition_variable;
    self.parked = true;
    TheKernel().changed.notify_all();
    for (;;) never->wait(lock);
}

Kernel& TheKernel()
{
    // Never destroyed: threads that were given up may still be parked in it at exit.
    static Kernel* kernel = new Kernel;
    return *kernel;
}

KernelThread& KernelSelf(KernelLock& lock)
{
    return *KernelSelfShared(lock);
}

std::shared_ptr<KernelThread> KernelSelfShared(KernelLock&)
{
    if (!t_slot.thread) {
        Kernel& k = TheKernel();
        auto thread = std::make_shared<KernelThread>();
        thread->id = k.nextThreadId++;
        k.threadsById[thread->id] = thread;
        t_slot.thread = thread;
    }
    return t_slot.thread;
}

void KernelAdoptThread(const std::shared_ptr<KernelThread>& thread)
{
    t_slot.thread = thread;
}

void KernelCheckpoint(KernelLock& lock, KernelThread& self)
{
    while (self.suspendCount > 0 && !self.givenUp) TheKernel().changed.wait(lock);
    if (self.givenUp) KernelPark(lock, self);
}

void KernelServeSends(KernelLock& lock, KernelThread& self)
{
    Kernel& k = TheKernel();
    while (!self.sends.empty()) {
        std::shared_ptr<KernelSend> send = self.sends.front();
        self.sends.pop_front();
        std::shared_ptr<KernelWindow> window = KernelFindWindow(send->hwnd);
        if (window && !window->destroying) {
            WNDPROC proc = window->proc;
            lock.unlock();
            LRESULT result = proc(send->hwnd, send->message, send->wParam, send->lParam);
            lock.lock();
            send->result = result;
        }
        send->done = true;
        k.changed.notify_all();
    }
}

bool KernelWait(KernelLock& lock, KernelThread& self, const std::function<bool()>& done,
                KernelDeadline deadline)
{
    Kernel& k = TheKernel();
    for (;;) {
        KernelCheckpoint(lock, self);
        KernelServeSends(lock, self);
        if (done()) return true;
        if (!deadline) {
            k.changed.wait(lock);
        } else if (k.changed.wait_until(lock, *deadline) == std::cv_status::timeout) {
            KernelServeSends(lock, self);
            return done();
        }
    }
}

void KernelThreadEnded(KernelThread& thread)
{
    Kernel& k = TheKernel();
    thread.ended = true;
    auto it = k.threadsById.find(thread.id);
    if (it != k.threadsById.end() && it->second.get() == &thread) k.threadsById.erase(it);
    for (auto& send : thread.sends) send->done = true;   // result 0
    thread.sends.clear();
    thread.queue.clear();
    // Its windows go with it; nobody is left to run their procedures.
    std::erase_if(k.windows, [&](const auto& entry) { return entry.second->owner.get() == &thread; });
    k.changed.notify_all();
}

std::shared_ptr<KernelWindow> KernelFindWindow(HWND hwnd)
{
    Kernel& k = TheKernel();
    auto it = k.windows.find(reinterpret_cast<uintptr_t>(hwnd));
    return it == k.windows.end() ? nullptr : it->second;
}
