#include "core/MainWindow.h"

#include "platform/win/WinMessage.h"

std::atomic<HWND> hMainWnd{nullptr};

void PostCloseRequest()
{
    HWND window = hMainWnd.load();
    if (window != nullptr) PostMessage(window, WM_CLOSE, 0, 0);
}
