#include "core/MessageBox.h"

#include <atomic>
#include <cstdarg>
#include <string>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/Text.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinMessageBox.h"

namespace {

std::atomic<FullScreenBoxProc> FullScreenBox{nullptr};
std::atomic<bool (*)()> IsFullScreenUp{nullptr};

}  // namespace

void SetFullScreenBoxHooks(const FullScreenBoxHooks& hooks)
{
    FullScreenBox = hooks.box;
    IsFullScreenUp = hooks.isFullScreenUp;
}

int ShowMessageBox(const char* text, const char* caption, UINT type)
{
    FullScreenBoxProc box = FullScreenBox.load();
    bool (*fullScreenUp)() = IsFullScreenUp.load();
    if (box != nullptr && fullScreenUp != nullptr && fullScreenUp()) return box(text, caption, type);
    return MessageBoxA(GetActiveWindow(), text, caption, type);
}

int ErrorBox(const char* text)
{
    return ShowMessageBox(text, "エラー", MB_OK);
}

int ErrorBoxF(const char* format, ...)
{
    std::string text;
    va_list args;
    va_start(args, format);
    FormatStringV(text, format, args);
    va_end(args);
    return ErrorBox(text.c_str());
}

int DebugErrorBoxF(const char* format, ...)
{
    if (TraceLogEnabled == 0) return 0;
    std::string text;
    va_list args;
    va_start(args, format);
    FormatStringV(text, format, args);
    va_end(args);
    return ErrorBox(text.c_str());
}

void ReportOutOfMemory()
{
    ErrorBox("メモリが不足しています！");
    PostCloseRequest();
}
