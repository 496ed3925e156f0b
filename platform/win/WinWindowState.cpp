// Window placement and show state, kept per window beside the kernel's window records.
#include "platform/win/WinWindowState.h"

#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>

#include "platform/host/Host.h"
#include "platform/win/HostInput.h"
#include "platform/win/WinMessage.h"

namespace {

struct Placement {
    LONG x = 100;
    LONG y = 100;
    LONG clientWidth = 640;
    LONG clientHeight = 480;
    bool visible = false;
    bool minimised = false;
    bool maximised = false;
    bool activated = false;
};

std::mutex PlacementLock;
std::map<HWND, Placement> Placements;
std::atomic<HWND> KeyWindow{nullptr};

constexpr LONG ScreenWidth = 1920;
constexpr LONG ScreenHeight = 1080;

Placement& Find(HWND hwnd)   // PlacementLock held
{
    return Placements[hwnd];
}

}  // namespace

BOOL ShowWindow(HWND hwnd, int command)
{
    if (!IsWindow(hwnd)) return 0;
    bool wasVisible;
    bool activate = false;
    {
        std::lock_guard<std::mutex> lock(PlacementLock);
        Placement& p = Find(hwnd);
        wasVisible = p.visible;
        p.visible = command != SW_HIDE;
        p.minimised = command == SW_SHOWMINIMIZED || command == SW_MINIMIZE || command == SW_SHOWMINNOACTIVE;
        p.maximised = command == SW_SHOWMAXIMIZED;
        if (p.visible && !p.minimised && !p.activated) {
            p.activated = true;
            activate = true;
        }
    }
    if (activate) SendMessage(hwnd, WM_ACTIVATEAPP, 1, 0);
    return wasVisible ? 1 : 0;
}

BOOL IsIconic(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(PlacementLock);
    return Find(hwnd).minimised ? 1 : 0;
}

BOOL IsZoomed(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(PlacementLock);
    return Find(hwnd).maximised ? 1 : 0;
}

BOOL IsWindowVisible(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(PlacementLock);
    return Find(hwnd).visible ? 1 : 0;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect)
{
    if (rect == nullptr || !IsWindow(hwnd)) return 0;
    std::lock_guard<std::mutex> lock(PlacementLock);
    const Placement& p = Find(hwnd);
    *rect = {p.x, p.y, p.x + p.clientWidth + 2 * WINDOW_FRAME_X,
             p.y + p.clientHeight + WINDOW_FRAME_TOP + WINDOW_FRAME_BOTTOM};
    return 1;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL)
{
    if (!IsWindow(hwnd)) return 0;
    LONG clientWidth, clientHeight;
    {
        std::lock_guard<std::mutex> lock(PlacementLock);
        Placement& p = Find(hwnd);
        p.x = x;
        p.y = y;
        clientWidth = width - 2 * WINDOW_FRAME_X;
        clientHeight = height - WINDOW_FRAME_TOP - WINDOW_FRAME_BOTTOM;
        p.clientWidth = clientWidth > 0 ? clientWidth : 0;
        p.clientHeight = clientHeight > 0 ? clientHeight : 0;
        clientWidth = p.clientWidth;
        clientHeight = p.clientHeight;
    }
    SendMessage(hwnd, WM_MOVE, 0, 0);
    SendMessage(hwnd, WM_SIZE, 0, static_cast<LPARAM>((clientHeight << 16) | (clientWidth & 0xFFFF)));
    return 1;
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN: return ScreenWidth;
    case SM_CYSCREEN: return ScreenHeight;
    case SM_CXFULLSCREEN: return ScreenWidth;
    case SM_CYFULLSCREEN: return ScreenHeight - WINDOW_FRAME_TOP;
    default: return 0;
    }
}

void OutputDebugString(const char* text)
{
    if (text == nullptr) return;
    std::fprintf(stderr, "[debug] %s\n", Cp932ToUtf8(text).c_str());
    std::fflush(stderr);
}

void HostSetKeyMessageWindow(HWND window)
{
    KeyWindow = window;
}

HWND HostKeyMessageWindow()
{
    return KeyWindow.load();
}

void HostPostKeyMessage(int virtualKey, bool down)
{
    HWND window = KeyWindow.load();
    if (window == nullptr || virtualKey <= 0 || virtualKey > 255) return;
    PostMessage(window, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(virtualKey), 0);
}
