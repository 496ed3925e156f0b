#include "shell/cHook.h"

#include "core/MessageBox.h"
#include "platform/win/WinKeyboard.h"
#include "platform/win/WinMessage.h"
#include "shell/cDialog.h"

HHOOK cHook::s_hHook = nullptr;
int32_t cHook::s_bCtrlHeld = 0;

bool cHook::KeyboardHook(HWND hDialog, int32_t bModeless)
{
    m_hDialog = hDialog;
    m_bModeless = bModeless;
    SetPropA(hDialog, "cHook", this);
    if (!s_hHook) s_hHook = SetWindowsHookExA(WH_KEYBOARD, KeyboardProc, nullptr, GetCurrentThreadId());
    return s_hHook != nullptr;
}

bool cHook::IsFilterKey(WPARAM key)
{
    return key == VK_SPACE || key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN ||
           key == VK_DELETE || (key >= VK_F1 && key <= VK_F1 + 7);
}

void cHook::RemoveHooks()
{
    if (s_hHook) UnhookWindowsHookEx(s_hHook);
    s_hHook = nullptr;
}

LRESULT cHook::KeyboardProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0 && code != HC_NOREMOVE) {
        HWND active = GetActiveWindow();
        auto* hook = static_cast<cHook*>(GetPropA(active, "cHook"));
        if (hook && hook->m_hDialog == active) {
            HIMC context = ImmGetContext(active);
            if (!context) DebugErrorBoxF("Err ImmGetContext");
            const bool composing = context && ImmGetCompositionStringA(context, GCS_COMPSTR, nullptr, 0) > 0;
            const bool mayPost = !hook->m_bModeless || !s_bCtrlHeld;
            if (static_cast<uint32_t>(lParam) & 0x80000000u) {
                if (wParam == VK_CONTROL) s_bCtrlHeld = 0;
                if (!hook->m_bModeless || !s_bCtrlHeld) PostMessage(active, WM_KEYUP, wParam, lParam);
            } else if (wParam == VK_RETURN) {
                // Enter with an open composition confirms it and never reaches the dialog.
                if (!composing && mayPost) PostMessage(active, WM_KEYDOWN, wParam, lParam);
            } else if (wParam == VK_TAB) {
                // The dialog manager moves the focus.
            } else if (context && !composing && IsFilterKey(wParam)) {
                PostMessage(active, kHookedKeyMessage, wParam, lParam);
            } else {
                if (wParam == VK_CONTROL) s_bCtrlHeld = 1;
                if (!hook->m_bModeless || !s_bCtrlHeld) PostMessage(active, WM_KEYDOWN, wParam, lParam);
            }
            if (context) ImmReleaseContext(active, context);
        }
    }
    return CallNextHookEx(s_hHook, code, wParam, lParam);
}
