#pragma once
// Dialogs and their controls, drawn by the layer inside the host window.
//
// A dialog is built from one of the program's own templates (registered once by the program):
// the dialog window and one child window per control, positioned in dialog units. The layer's
// dialog manager handles focus, Tab and arrow navigation, the default button, check and radio
// buttons and single-line edit boxes with Japanese composition from the host's text input, and
// sends the dialog procedure the messages it expects (WM_INITDIALOG, WM_COMMAND with the
// notification codes, WM_CLOSE). The screen the program sees is the host window's 640 x 480
// client area; the work area is all of it.
#include <string>
#include <vector>

#include "platform/win/WinThread.h"   // GetCurrentThreadId for the hook
#include "platform/win/WinTypes.h"
#include "platform/win/WinWindowState.h"   // placement, show state and system metrics

using INT_PTR = intptr_t;
using LONG_PTR = intptr_t;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// Window styles the dialog and window classes compute frames from. (WS_POPUP is declared with
// the graphics start-up's window calls.)
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD DS_MODALFRAME = 0x80;

// Control kinds of a dialog template.
enum class DialogItemKind {
    PushButton,
    DefPushButton,
    AutoRadioButton,
    AutoCheckBox,
    GroupBox,
    Static,
    StaticPicture,
    Edit,
    ListBox,   // used by the layer's own file choosers
};

struct DIALOGITEM {
    int id;
    DialogItemKind kind;
    std::string text;   // code page 932
    int x, y, cx, cy;   // dialog units
    DWORD style;        // WS_TABSTOP, WS_GROUP, WS_BORDER ...
};

struct DIALOGTEMPLATE {
    DWORD style;            // WS_CAPTION gives a caption bar; DS_MODALFRAME the dialog frame
    std::string caption;    // code page 932
    std::string font;       // face, code page 932
    int pointSize;
    int cx, cy;             // dialog units
    std::vector<DIALOGITEM> items;
};

// The program's dialog resources, by resource id.
void RegisterDialogTemplate(int resourceId, const DIALOGTEMPLATE& dialogTemplate);
bool HasDialogTemplate(int resourceId);

// Runs a modal dialog: creates it, sends WM_INITDIALOG (lParam = param) and serves it (and every
// other message of the calling thread) until EndDialog; returns the end code, -1 when the
// template is missing. The owner is disabled meanwhile.
INT_PTR DialogBoxParamA(HINSTANCE instance, int resourceId, HWND owner, DLGPROC proc, LPARAM param);
// A modeless dialog: created, sent WM_INITDIALOG and shown; it lives until DestroyWindow.
HWND CreateDialogParamA(HINSTANCE instance, int resourceId, HWND owner, DLGPROC proc, LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);

// Button messages and notifications.
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_CLICK = 0x00F5;
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;
constexpr WORD BN_CLICKED = 0;
constexpr WORD BN_DOUBLECLICKED = 5;
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);

// Edit messages and notifications. EN_UPDATE comes after every change by the player, before
// the control is drawn; the dialog may rewrite the text in answer.
constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;

constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_RBUTTONUP = 0x0205;

constexpr WORD LOWORD(uintptr_t value) { return static_cast<WORD>(value & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }
constexpr WPARAM MAKEWPARAM(WORD low, WORD high) { return static_cast<WPARAM>(low | (static_cast<DWORD>(high) << 16)); }

// Focus and enabling (showing and placement: platform/win/WinWindowState.h).
HWND SetFocus(HWND hwnd);
HWND GetFocus();
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
HWND GetParent(HWND hwnd);
int GetDlgCtrlID(HWND hwnd);

// Window long values: GWLP_WNDPROC replaces the procedure (subclassing), GWL_STYLE the style.
constexpr int GWLP_WNDPROC = -4;
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Window properties: named values kept with a window until removed or the window is gone.
BOOL SetPropA(HWND hwnd, const char* name, HANDLE value);
HANDLE GetPropA(HWND hwnd, const char* name);
HANDLE RemovePropA(HWND hwnd, const char* name);

// The work area of the program's screen (system metrics: platform/win/WinWindowState.h).
constexpr UINT SPI_GETWORKAREA = 0x0030;
BOOL SystemParametersInfoA(UINT action, UINT param, void* out, UINT winIni);

// The mouse cursor in screen coordinates.
BOOL SetCursorPos(int x, int y);
BOOL GetCursorPos(POINT* point);

// The thread keyboard hook: every key event of the thread's windows passes the hooks first
// (code HC_ACTION, wParam the virtual key, lParam bit 31 set for a release); a hook that
// returns non-zero swallows the key.
using HHOOK = void*;
using HOOKPROC = LRESULT (*)(int, WPARAM, LPARAM);
constexpr int WH_KEYBOARD = 2;
constexpr int HC_ACTION = 0;
constexpr int HC_NOREMOVE = 3;
HHOOK SetWindowsHookExA(int kind, HOOKPROC proc, HINSTANCE instance, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// The input method: the composition string of the focused edit box (code page 932).
using HIMC = void*;
constexpr DWORD GCS_COMPSTR = 0x0008;
HIMC ImmGetContext(HWND hwnd);
BOOL ImmReleaseContext(HWND hwnd, HIMC context);
// Bytes of the composition copied into buffer (the size needed when size is 0).
LONG ImmGetCompositionStringA(HIMC context, DWORD index, void* buffer, DWORD size);
