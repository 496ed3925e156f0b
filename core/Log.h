#pragma once
// The report log "Report_Game.txt" and the trace log "EC_Game.txt". Every line is written by
// opening the file, appending and closing it again; lines end with CR LF on disk.
#include <cstdint>

#include "platform/win/WinTypes.h"

extern char ReportLogPath[260];
extern char TraceLogPath[260];
extern int32_t TraceLogEnabled;
extern int8_t TraceLogStarted;

bool CreateReportLog(const char* path);
bool WriteReportLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
bool WriteReportTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
bool WriteReportTraceBox(const char* format, ...) __attribute__((format(printf, 1, 2)));

void SetTraceLog(int32_t enable, const char* path);
int WriteTraceLog(const char* text);
int WriteTraceText(const char* text);
void WriteTraceLogF(const char* format, ...) __attribute__((format(printf, 1, 2)));
void TraceAndClose(HWND window, const char* format, ...) __attribute__((format(printf, 2, 3)));
