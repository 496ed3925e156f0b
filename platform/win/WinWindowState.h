#pragma once
// Window placement, show state and the small system facts the main window needs: the outer
// rectangle, the client size, minimised and maximised, and the full-screen work size. The layer
// keeps them per window; the SDL host follows them with its window. Dialogs and their controls
// keep their rectangles with the dialog manager; these calls serve them from there.
//
// The screen the program sees is the host window's 640 x 480 client area; the work area is all
// of it.
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
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXFULLSCREEN = 16;
constexpr int SM_CYFULLSCREEN = 17;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;

// The screen, and the sizes the layer draws window parts with (the system metrics report them).
constexpr LONG SCREEN_WIDTH = 640;
constexpr LONG SCREEN_HEIGHT = 480;
constexpr LONG CAPTION_HEIGHT = 19;
constexpr LONG DIALOG_FRAME = 3;
constexpr LONG SIZING_FRAME = 4;
constexpr LONG SCROLL_BAR_SIZE = 17;

// The frame the layer's top-level windows get around their client area: a caption over a dialog
// frame, the same sizes the system metrics report, so a window that computes its outer size from
// them gets exactly its client size inside.
constexpr LONG WINDOW_FRAME_X = DIALOG_FRAME;
constexpr LONG WINDOW_FRAME_TOP = CAPTION_HEIGHT + DIALOG_FRAME;
constexpr LONG WINDOW_FRAME_BOTTOM = DIALOG_FRAME;

// Shows, hides, minimises or maximises the window. The first show activates the program: the
// window gets WM_ACTIVATEAPP (1) at once (the headless host stays active; on the SDL host window
// focus changes it later). Returns whether the window was visible before.
BOOL ShowWindow(HWND hwnd, int command);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
// Dialogs and their controls count as visible while they exist.
BOOL IsWindowVisible(HWND hwnd);
// The outer rectangle in screen coordinates: dialogs and controls as the dialog manager places
// them, other windows as last moved. (The client rectangle and its screen position are the
// graphics stand-ins': the host's 640 x 480 area, see platform/graphics/Gdi.h.)
BOOL GetWindowRect(HWND hwnd, RECT* rect);
// Sets the window's outer rectangle and sends WM_MOVE (lParam the new top-left); windows other
// than dialogs and controls also get WM_SIZE with the client size inside the layer's frame.
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
