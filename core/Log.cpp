#include "core/Log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/MainWindow.h"
#include "core/MessageBox.h"
#include "core/Text.h"
#include "platform/win/WinFile.h"
#include "platform/win/WinMessage.h"

char ReportLogPath[260] = "";
char TraceLogPath[260] = "";
int32_t TraceLogEnabled = 0;
int8_t TraceLogStarted = 0;

namespace {

void CopyPath(char (&destination)[260], const char* path)
{
    std::strncpy(destination, path != nullptr ? path : "", sizeof destination - 1);
    destination[sizeof destination - 1] = '\0';
}

// The report log is opened for every line and closed again; it is never created here.
FILE* OpenReportLog()
{
    if (ReportLogPath[0] == '\0') return nullptr;
    FILE* file = PlatformFopen(ReportLogPath, "rt+");
    if (file != nullptr) std::fseek(file, 0, SEEK_END);
    return file;
}

// The first trace line of a run replaces the previous run's file; later lines are appended.
// The started flag is set even when that first open fails.
int WriteTraceLine(const char* text)
{
    FILE* file;
    if (TraceLogStarted) {
        file = PlatformFopen(TraceLogPath, "rt+");
        if (file != nullptr) std::fseek(file, 0, SEEK_END);
    } else {
        file = PlatformFopen(TraceLogPath, "wt");
        TraceLogStarted = 1;
    }
    if (file == nullptr) return 0;
    std::fputs(text, file);
    std::fputs("\n", file);
    return std::fclose(file);
}

// Appends the text to the report log and the trace log, and with a box shows it too. The text
// is written whole, however long it is.
bool ReportAndTrace(const std::string& text, bool withBox)
{
    FILE* file = OpenReportLog();
    if (file == nullptr) {
        // A fatal error must reach the user even when the report log cannot be opened.
        if (withBox) {
            WriteTraceLog(text.c_str());
            ErrorBox(text.c_str());
        }
        return false;
    }
    std::fputs(text.c_str(), file);
    std::fputs("\n", file);
    WriteTraceLog(text.c_str());
    if (withBox) ErrorBox(text.c_str());
    std::fclose(file);
    return true;
}

}  // namespace

bool CreateReportLog(const char* path)
{
    FILE* file = PlatformFopen(path, "wt");
    if (file == nullptr) return false;
    CopyPath(ReportLogPath, path);
    std::fclose(file);
    return true;
}

bool WriteReportLog(const char* format, ...)
{
    FILE* file = OpenReportLog();
    if (file == nullptr) return false;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fputs("\n", file);
    std::fclose(file);
    return true;
}

bool WriteReportTrace(const char* format, ...)
{
    std::string text;
    va_list args;
    va_start(args, format);
    FormatStringV(text, format, args);
    va_end(args);
    return ReportAndTrace(text, false);
}

bool WriteReportTraceBox(const char* format, ...)
{
    std::string text;
    va_list args;
    va_start(args, format);
    FormatStringV(text, format, args);
    va_end(args);
    return ReportAndTrace(text, true);
}

void SetTraceLog(int32_t enable, const char* path)
{
    TraceLogEnabled = enable;
    CopyPath(TraceLogPath, path);
}

int WriteTraceLog(const char* text)
{
    if (TraceLogEnabled == 0) return 0;
    return WriteTraceLine(text);
}

int WriteTraceText(const char* text)
{
    return WriteTraceLog(text);
}

void WriteTraceLogF(const char* format, ...)
{
    if (TraceLogEnabled == 0) return;
    std::string text;
    va_list args;
    va_start(args, format);
    FormatStringV(text, format, args);
    va_end(args);
    WriteTraceLine(text.c_str());
}

void TraceAndClose(HWND window, const char* format, ...)
{
    if (TraceLogEnabled != 0) {
        std::string text;
        va_list args;
        va_start(args, format);
        FormatStringV(text, format, args);
        va_end(args);
        WriteTraceLine(text.c_str());
    }
    if (window != nullptr) PostMessage(window, WM_CLOSE, 0, 0);
}
