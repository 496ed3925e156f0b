#pragma once
// Thread message queues, windows and the window messages between threads.
//
// PostMessage to a window goes to the queue of the thread that created the window.
// SendMessage from that thread calls the window procedure directly; from any other thread it
// blocks until the owner has run the procedure (the owner serves pending sends in GetMessage,
// PeekMessage and every wait the layer runs on that thread). Once a window is destroyed, every
// pending and later send to it returns 0 at once, so no thread can hang on a closing program.
#include "platform/win/WinTypes.h"

BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Blocks until a message arrives; 0 when it is WM_QUIT, -1 on error, otherwise non-zero.
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
void PostQuitMessage(int exitCode);
// Blocks until the calling thread's queue holds a message (serving sends meanwhile).
BOOL WaitMessage();
// Waits until one of the threads has ended or the calling thread's queue holds a message,
// serving sends meanwhile, for at most the time-out (INFINITE: for good). Returns WAIT_OBJECT_0 + i
// for the first ended thread i, WAIT_OBJECT_0 + count when a message is waiting, WAIT_TIMEOUT, or
// WAIT_FAILED when a handle is not a thread. Only "any of them" waits are made here: waitAll must be
// 0; the wake mask is taken as "any message".
constexpr DWORD QS_ALLINPUT = 0x04FF;
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                DWORD wakeMask);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

struct WNDCLASSEX {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    HINSTANCE hInstance;
    const char* lpszClassName;
};

ATOM RegisterClassEx(const WNDCLASSEX* windowClass);
// Creates a window of a registered class owned by the calling thread and sends it WM_CREATE.
// The caption and class name are code-page-932 text. Null when the class is unknown.
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* caption, DWORD style,
                    int x, int y, int width, int height, HWND parent, void* menu,
                    HINSTANCE instance, void* param);
// Sends WM_DESTROY, then the window is gone: IsWindow turns false and pending sends return 0.
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
HWND FindWindow(const char* className, const char* caption);
BOOL SetWindowText(HWND hwnd, const char* text);
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);
HWND GetActiveWindow();

// Child windows (controls) are windows created with a parent and their id in the menu argument.
// Their text is kept by the layer; the dialog and control classes build on these.
HWND GetDlgItem(HWND dialog, int id);
UINT GetDlgItemText(HWND dialog, int id, char* buffer, int maximum);
BOOL SetDlgItemText(HWND dialog, int id, const char* text);
int GetWindowText(HWND hwnd, char* buffer, int maximum);
