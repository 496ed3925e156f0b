#pragma once
// Message and error boxes, shown by the thread that reports. While the graphics run full screen
// the graphics layer's own box is used, so the box can be seen and answered there.
#include "platform/win/WinTypes.h"

// The graphics layer's full-screen box and the facts that choose it. The graphics layer
// registers them when it starts; until then every box is a system box.
using FullScreenBoxProc = int (*)(const char* text, const char* caption, UINT type);
struct FullScreenBoxHooks {
    FullScreenBoxProc box = nullptr;
    bool (*isFullScreenUp)() = nullptr;   // graphics initialised and the display full screen
};
void SetFullScreenBoxHooks(const FullScreenBoxHooks& hooks);

int ShowMessageBox(const char* text, const char* caption, UINT type);
int ErrorBox(const char* text);
int ErrorBoxF(const char* format, ...) __attribute__((format(printf, 1, 2)));
int DebugErrorBoxF(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ReportOutOfMemory();
