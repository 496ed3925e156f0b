#pragma once
// The main window's handle: null until the start-up has created the window, null again after
// WM_DESTROY. Every close request of the program is posted to it as WM_CLOSE.
#include <atomic>

#include "platform/win/WinTypes.h"

extern std::atomic<HWND> hMainWnd;

// Posts WM_CLOSE (no parameters) to the main window; nothing when there is none.
void PostCloseRequest();
