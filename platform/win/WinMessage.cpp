// Thread message queues, windows, and posting and sending between threads.
#include "platform/win/WinMessage.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win/HostInput.h"
#include "platform/win/WinKernel.h"
#include "platform/win/WinTime.h"

namespace {

// A queue that nobody reads must not grow without end.
constexpr size_t kMaximumQueuedMessages = 10000;

std::string LowerAscii(const char* text)
{
    std::string out = text ? text : "";
    for (auto& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::shared_ptr<KernelWindow> LiveWindow(HWND hwnd)
{
    std::shared_ptr<KernelWindow> window = KernelFindWindow(hwnd);
    return window && !window->destroying ? window : nullptr;
}

bool IsSelfOrDescendant(HWND hwnd, HWND ancestor)
{
    while (hwnd) {
        if (hwnd == ancestor) return true;
        std::shared_ptr<KernelWindow> window = KernelFindWindow(hwnd);
        hwnd = window ? window->parent : nullptr;
    }
    return false;
}

bool Matches(const MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (msg.message == WM_QUIT) return true;   // the quit message passes every filter
    if (hwnd && !IsSelfOrDescendant(msg.hwnd, hwnd)) return false;
    if (filterMin == 0 && filterMax == 0) return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

// Takes (or copies) the first message that passes the filter; the quit of PostQuitMessage comes
// after every posted message.
bool TakeMessage(KernelThread& self, MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, bool remove)
{
    for (auto it = self.queue.begin(); it != self.queue.end(); ++it) {
        if (!Matches(*it, hwnd, filterMin, filterMax)) continue;
        if (msg) *msg = *it;
        if (remove) self.queue.erase(it);
        return true;
    }
    if (!self.quitPosted) return false;
    if (msg) *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(self.quitCode), 0, timeGetTime(), {0, 0}};
    if (remove) self.quitPosted = false;
    return true;
}

bool Post(KernelThread& thread, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (thread.ended || thread.queue.size() >= kMaximumQueuedMessages) return false;
    thread.queue.push_back(MSG{hwnd, message, wParam, lParam, timeGetTime(), {0, 0}});
    TheKernel().changed.notify_all();
    return true;
}

}  // namespace

BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    KernelCheckpoint(lock, KernelSelf(lock));
    auto it = k.threadsById.find(threadId);
    return it != k.threadsById.end() && Post(*it->second, nullptr, message, wParam, lParam);
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    KernelThread& self = KernelSelf(lock);
    KernelCheckpoint(lock, self);
    KernelRunEventPump(lock, self);
    KernelServeSends(lock, self);
    return TakeMessage(self, msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0);
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (!msg) return -1;
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    KernelThread& self = KernelSelf(lock);
    bool windowGone = false;
    KernelWait(lock, self, [&] {
        if (hwnd && !KernelFindWindow(hwnd)) return windowGone = true;
        return TakeMessage(self, nullptr, hwnd, filterMin, filterMax, false);
    }, std::nullopt);
    if (windowGone) return -1;
    TakeMessage(self, msg, hwnd, filterMin, filterMax, true);
    return msg->message == WM_QUIT ? 0 : 1;
}

BOOL WaitMessage()
{
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    KernelThread& self = KernelSelf(lock);
    KernelWait(lock, self, [&] { return !self.queue.empty() || self.quitPosted; }, std::nullopt);
    return 1;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds, DWORD)
{
    if (waitAll || (count > 0 && handles == nullptr)) return WAIT_FAILED;
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    KernelThread& self = KernelSelf(lock);
    KernelCheckpoint(lock, self);
    std::vector<std::shared_ptr<KernelThread>> threads;
    for (DWORD i = 0; i < count; ++i) {
        KernelHandle* entry = KernelFindHandle(handles[i]);
        if (!entry || !entry->thread) return WAIT_FAILED;
        threads.push_back(entry->thread);
    }
    KernelDeadline deadline;
    if (milliseconds != INFINITE)
        deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    DWORD result = WAIT_TIMEOUT;
    KernelWait(lock, self, [&] {
        for (DWORD i = 0; i < count; ++i) {
            if (threads[i]->ended) {
                result = WAIT_OBJECT_0 + i;
                return true;
            }
        }
        if (!self.queue.empty() || self.quitPosted) {
            result = WAIT_OBJECT_0 + count;
            return true;
        }
        return false;
    }, deadline);
    return result;
}

void PostQuitMessage(int exitCode)
{
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    KernelThread& self = KernelSelf(lock);
    self.quitPosted = true;
    self.quitCode = exitCode;
    k.changed.notify_all();
}

BOOL TranslateMessage(const MSG*)
{
    return 0;   // character messages come from the host's text input, not from key messages
}

LRESULT DispatchMessage(const MSG* msg)
{
    if (!msg || !msg->hwnd) return 0;
    WNDPROC proc;
    {
        KernelLock lock(TheKernel().lock);
        std::shared_ptr<KernelWindow> window = KernelFindWindow(msg->hwnd);
        if (!window) return 0;
        proc = window->proc;
    }
    return proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    KernelThread& self = KernelSelf(lock);
    KernelCheckpoint(lock, self);
    if (!hwnd) return Post(self, nullptr, message, wParam, lParam);
    std::shared_ptr<KernelWindow> window = LiveWindow(hwnd);
    return window && Post(*window->owner, hwnd, message, wParam, lParam);
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    KernelThread& self = KernelSelf(lock);
    KernelCheckpoint(lock, self);
    std::shared_ptr<KernelWindow> window = KernelFindWindow(hwnd);
    if (!window) return 0;
    if (window->owner.get() == &self) {
        WNDPROC proc = window->proc;
        lock.unlock();
        return proc(hwnd, message, wParam, lParam);
    }
    if (window->destroying || window->owner->ended) return 0;
    auto send = std::make_shared<KernelSend>(KernelSend{hwnd, message, wParam, lParam});
    window->owner->sends.push_back(send);
    k.changed.notify_all();
    KernelWait(lock, self, [&] { return send->done; }, std::nullopt);
    return send->result;
}

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE) DestroyWindow(hwnd);
    return 0;
}

ATOM RegisterClassEx(const WNDCLASSEX* windowClass)
{
    if (!windowClass || !windowClass->lpfnWndProc || !windowClass->lpszClassName) return 0;
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    std::string name = LowerAscii(windowClass->lpszClassName);
    if (k.classes.count(name)) return 0;
    k.classes[name] = windowClass->lpfnWndProc;
    return k.nextAtom++;
}

HWND CreateWindowEx(DWORD, const char* className, const char* caption, DWORD, int, int, int, int,
                    HWND parent, void* menu, HINSTANCE, void* param)
{
    Kernel& k = TheKernel();
    HWND hwnd;
    WNDPROC proc;
    {
        KernelLock lock(k.lock);
        auto cls = k.classes.find(LowerAscii(className));
        if (cls == k.classes.end()) return nullptr;
        if (parent && !LiveWindow(parent)) return nullptr;
        auto window = std::make_shared<KernelWindow>();
        hwnd = reinterpret_cast<HWND>(k.nextWindow);
        k.nextWindow += 0x10;
        window->handle = hwnd;
        window->proc = proc = cls->second;
        window->className = className;
        window->text = caption ? caption : "";
        window->owner = KernelSelfShared(lock);
        window->parent = parent;
        window->id = parent ? static_cast<int>(reinterpret_cast<intptr_t>(menu)) : 0;
        k.windows[reinterpret_cast<uintptr_t>(hwnd)] = window;
    }
    // WM_CREATE carries the creation parameter itself as lParam; -1 refuses the window.
    if (proc(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(param)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    // The program's main window receives the host's key messages.
    if (parent == nullptr && HostKeyMessageWindow() == nullptr) HostSetKeyMessageWindow(hwnd);
    return hwnd;
}

BOOL DestroyWindow(HWND hwnd)
{
    if (HostKeyMessageWindow() == hwnd) HostSetKeyMessageWindow(nullptr);
    Kernel& k = TheKernel();
    std::vector<std::shared_ptr<KernelWindow>> doomed;   // the window, then its descendants
    {
        KernelLock lock(k.lock);
        KernelThread& self = KernelSelf(lock);
        std::shared_ptr<KernelWindow> window = LiveWindow(hwnd);
        if (!window || window->owner.get() != &self) return 0;
        doomed.push_back(window);
        for (size_t i = 0; i < doomed.size(); ++i)
            for (auto& [key, child] : k.windows)
                if (child->parent == doomed[i]->handle && !child->destroying) doomed.push_back(child);
        for (auto& w : doomed) {
            w->destroying = true;
            // Sends waiting for these windows return 0 now, and their posted messages go.
            KernelThread& owner = *w->owner;
            for (auto it = owner.sends.begin(); it != owner.sends.end();) {
                if ((*it)->hwnd == w->handle) {
                    (*it)->done = true;
                    it = owner.sends.erase(it);
                } else {
                    ++it;
                }
            }
            std::erase_if(owner.queue, [&](const MSG& m) { return m.hwnd == w->handle; });
        }
        k.changed.notify_all();
    }
    for (auto& w : doomed) w->proc(w->handle, WM_DESTROY, 0, 0);
    KernelLock lock(k.lock);
    for (auto& w : doomed) k.windows.erase(reinterpret_cast<uintptr_t>(w->handle));
    return 1;
}

BOOL IsWindow(HWND hwnd)
{
    KernelLock lock(TheKernel().lock);
    if (int process = KernelOtherCopyProcess(hwnd)) return !KernelProcessEnded(process);
    return KernelFindWindow(hwnd) != nullptr;
}

HWND FindWindow(const char* className, const char* caption)
{
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    std::string cls = LowerAscii(className);
    for (auto& [key, window] : k.windows) {
        if (window->parent || window->destroying) continue;
        if (className && LowerAscii(window->className.c_str()) != cls) continue;
        if (caption && window->text != caption) continue;
        return window->handle;
    }
    // A copy of the program running in another process is found through its process id; its
    // window's caption is not known here.
    return caption ? nullptr : KernelFindOtherCopyWindow();
}

BOOL SetWindowText(HWND hwnd, const char* text)
{
    KernelLock lock(TheKernel().lock);
    std::shared_ptr<KernelWindow> window = KernelFindWindow(hwnd);
    if (!window) return 0;
    window->text = text ? text : "";
    return 1;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId)
{
    KernelLock lock(TheKernel().lock);
    if (int process = KernelOtherCopyProcess(hwnd)) {
        if (processId) *processId = static_cast<DWORD>(process);
        return static_cast<DWORD>(process);   // that process's thread ids are not known here
    }
    std::shared_ptr<KernelWindow> window = KernelFindWindow(hwnd);
    if (!window) return 0;
    if (processId) *processId = static_cast<DWORD>(getpid());
    return window->owner->id;
}

HWND GetActiveWindow()
{
    // The calling thread's newest top-level window; worker threads have none.
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    KernelThread& self = KernelSelf(lock);
    for (auto it = k.windows.rbegin(); it != k.windows.rend(); ++it) {
        const KernelWindow& window = *it->second;
        if (!window.parent && !window.destroying && window.owner.get() == &self) return window.handle;
    }
    return nullptr;
}

HWND GetDlgItem(HWND dialog, int id)
{
    Kernel& k = TheKernel();
    KernelLock lock(k.lock);
    if (!dialog) return nullptr;
    for (auto& [key, window] : k.windows)
        if (window->parent == dialog && window->id == id) return window->handle;
    return nullptr;
}

int GetWindowText(HWND hwnd, char* buffer, int maximum)
{
    if (!buffer || maximum <= 0) return 0;
    KernelLock lock(TheKernel().lock);
    std::shared_ptr<KernelWindow> window = KernelFindWindow(hwnd);
    size_t n = window ? std::min(window->text.size(), static_cast<size_t>(maximum - 1)) : 0;
    if (n > 0) std::memcpy(buffer, window->text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

UINT GetDlgItemText(HWND dialog, int id, char* buffer, int maximum)
{
    HWND item = GetDlgItem(dialog, id);
    if (!item) {
        if (buffer && maximum > 0) buffer[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowText(item, buffer, maximum));
}

BOOL SetDlgItemText(HWND dialog, int id, const char* text)
{
    HWND item = GetDlgItem(dialog, id);
    return item && SetWindowText(item, text);
}
