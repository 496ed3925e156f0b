#pragma once
// Window placement, show state and the small system facts the main window needs: the outer
// rectangle, the client size, minimised and maximised, and the full-screen work size. The layer
// keeps them per window; the SDL host follows them with its window.
#include "platform/win/WinTypes.h"

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_RESTORE = 9;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXFULLSCREEN = 16;
constexpr int SM_CYFULLSCREEN = 17;

// The frame the layer's windows get around their client area (caption and borders).
constexpr LONG WINDOW_FRAME_X = 8;
constexpr LONG WINDOW_FRAME_TOP = 31;
constexpr LONG WINDOW_FRAME_BOTTOM = 8;

// Shows, hides, minimises or maximises the window. The first show activates the program: the
// window gets WM_ACTIVATEAPP (1) at once (the headless host stays active; on the SDL host window
// focus changes it later). Returns whether the window was visible before.
BOOL ShowWindow(HWND hwnd, int command);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
// The outer rectangle in screen coordinates. (The client rectangle and its screen position are
// the graphics stand-ins': the host's 640 x 480 area, see platform/graphics/Gdi.h.)
BOOL GetWindowRect(HWND hwnd, RECT* rect);
// Moves the window's outer top-left corner, and sets the outer size; sends WM_MOVE and WM_SIZE.
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
int GetSystemMetrics(int index);

// Text for a debugger: written to the standard error stream (converted to UTF-8).
void OutputDebugString(const char* text);

// WM_COPYDATA's record.
struct COPYDATASTRUCT {
    uintptr_t dwData;
    DWORD cbData;
    void* lpData;
};
