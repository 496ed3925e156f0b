#pragma once
// A window for tests that need a main window: its class is registered on first use, with the
// procedure given (the default procedure when none).
#include <set>
#include <string>

#include "platform/win/WinMessage.h"

inline HWND CreateTestWindow(const char* lpClassName, WNDPROC lpfnProc = DefWindowProc)
{
    static std::set<std::string> registered;
    if (registered.insert(lpClassName).second) {
        WNDCLASSEX windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = lpfnProc;
        windowClass.lpszClassName = lpClassName;
        RegisterClassEx(&windowClass);
    }
    return CreateWindowEx(0, lpClassName, "test", 0, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
}
