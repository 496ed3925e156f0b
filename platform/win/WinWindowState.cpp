// Window placement and show state, kept per window beside the kernel's window records.
#include "platform/win/WinWindowState.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>

#include "platform/host/Host.h"
#include "platform/win/DialogInternal.h"
#include "platform/win/HostInput.h"
#include "platform/win/WinMessage.h"

namespace {

// The outer rectangle is kept as moved; the client size is what lies inside the frame.
struct Placement {
    LONG x = 100;
    LONG y = 100;
    LONG width = 640 + 2 * WINDOW_FRAME_X;
    LONG height = 480 + WINDOW_FRAME_TOP + WINDOW_FRAME_BOTTOM;
    bool visible = false;
    bool minimised = false;
    bool maximised = false;
    bool activated = false;
};

std::mutex PlacementLock;
std::map<HWND, Placement> Placements;
std::atomic<HWND> KeyWindow{nullptr};


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
    if (dlg::IsDialogWindow(hwnd)) return IsWindow(hwnd);
    std::lock_guard<std::mutex> lock(PlacementLock);
    return Find(hwnd).visible ? 1 : 0;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect)
{
    if (rect == nullptr || !IsWindow(hwnd)) return 0;
    if (dlg::DialogWindowRect(hwnd, rect)) return 1;
    std::lock_guard<std::mutex> lock(PlacementLock);
    const Placement& p = Find(hwnd);
    *rect = {p.x, p.y, p.x + p.width, p.y + p.height};
    return 1;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL)
{
    if (!IsWindow(hwnd)) return 0;
    width = width > 0 ? width : 0;
    height = height > 0 ? height : 0;
    const LPARAM position = static_cast<LPARAM>((x & 0xFFFF) | ((y & 0xFFFF) << 16));
    if (dlg::MoveDialogWindow(hwnd, RECT{x, y, x + width, y + height})) {
        SendMessage(hwnd, WM_MOVE, 0, position);
        return 1;
    }
    LONG clientWidth, clientHeight;
    {
        std::lock_guard<std::mutex> lock(PlacementLock);
        Placement& p = Find(hwnd);
        p.x = x;
        p.y = y;
        p.width = width;
        p.height = height;
        clientWidth = std::max<LONG>(0, width - 2 * WINDOW_FRAME_X);
        clientHeight = std::max<LONG>(0, height - WINDOW_FRAME_TOP - WINDOW_FRAME_BOTTOM);
    }
    SendMessage(hwnd, WM_MOVE, 0, position);
    SendMessage(hwnd, WM_SIZE, 0, static_cast<LPARAM>((clientHeight << 16) | (clientWidth & 0xFFFF)));
    return 1;
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN: return SCREEN_WIDTH;
    case SM_CYSCREEN: return SCREEN_HEIGHT;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return SCROLL_BAR_SIZE;
    case SM_CYCAPTION:
    case SM_CYMENU: return CAPTION_HEIGHT;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return DIALOG_FRAME;
    case SM_CXFRAME:
    case SM_CYFRAME: return SIZING_FRAME;
    case SM_CXFULLSCREEN: return SCREEN_WIDTH;
    case SM_CYFULLSCREEN: return SCREEN_HEIGHT - CAPTION_HEIGHT;
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
