#pragma once
// The keyboard hook of the user-interface thread: it lets a dialog see the keys the dialog
// manager would otherwise keep to itself (arrows, Enter, Delete, function keys), and keeps the
// Enter that confirms a Japanese composition away from the dialog.
#include <cstdint>

#include "platform/win/WinDialog.h"

class cHook {
public:
    // Installs the hook once for the thread and marks the dialog window as this hook's window
    // (property "cHook"). False when the hook cannot be installed.
    bool KeyboardHook(HWND hDialog, int32_t bModeless);
    static LRESULT KeyboardProc(int code, WPARAM wParam, LPARAM lParam);
    // Blank, the four arrows, Delete and F1-F8.
    static bool IsFilterKey(WPARAM key);
    // Removes the thread's hook (at shutdown).
    static void RemoveHooks();

    HWND m_hDialog = nullptr;
    int32_t m_bModeless = 0;

    static HHOOK s_hHook;
    static int32_t s_bCtrlHeld;
};

// Shutdown calls this (it removes the hook installed by the first dialog).
inline void RemoveHooks() { cHook::RemoveHooks(); }
