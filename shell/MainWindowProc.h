#pragma once
// The main window's procedure: the close order of the whole program, the application-active
// flag, Esc, painting under DirectDraw, the requests of the game threads (sounds, music, device
// restore, dialogs) and the notices to the editor in test play.
#include <atomic>
#include <cstdint>

#include "platform/win/WinTypes.h"

constexpr UINT UM_NAMEENTRY = WM_USER + 1;
constexpr UINT UM_OPENSTAGE = WM_USER + 2;
constexpr UINT UM_OPENREPLAY = WM_USER + 3;
constexpr UINT UM_SAVEREPLAY = WM_USER + 4;
constexpr UINT UM_PLAYSE = WM_USER + 5;
constexpr UINT UM_PLAYBGM = WM_USER + 6;
constexpr UINT UM_RESTOREDEVICE = WM_USER + 100;

// The thread message that greets a new thread until its queue exists.
constexpr UINT THREAD_START_MESSAGE = 0x8000;

class cMainWindow {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnWmCreate() { m_bCreated = 1; }
    HWND m_hWnd = nullptr;
    int32_t m_bCreated = 0;
private:
    void OnClose(HWND hwnd);
    void OnPlayBgm(WPARAM wParam, LPARAM lParam);
};

extern cMainWindow MainWindow;
// The loop flag that a stage's music request carries with it (slot 4 of UM_PLAYBGM).
extern std::atomic<int32_t> StageBgmLoop;

LRESULT StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The editor is told by WM_COPYDATA to its window (class "Quillmoor_Editor", caption
// "Quillmoor"); without one the notice is only written for a debugger.
void NotifyEditorStart();
void NotifyEditorExit(int32_t nValue);
