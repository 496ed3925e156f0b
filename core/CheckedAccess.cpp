#include "core/CheckedAccess.h"

#include <string>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/Text.h"

void ReportBadIndex(const char* format, int32_t index, int32_t count, int32_t elementSize)
{
    std::string text;
    FormatString(text, format, index, count, elementSize);
    WriteTraceLog(text.c_str());
    WriteReportLog("%s", text.c_str());
    // Posted, not sent: the caller goes on with its stand-by element and the program closes at the
    // next turn of the message loop.
    PostCloseRequest();
}

void FillVector(std::vector<int32_t>& v, int32_t value)
{
    for (int32_t i = 0; i < static_cast<int32_t>(v.size()); ++i) CheckedAt(v, i) = value;
}

void FillVector(std::vector<char>& v, char value)
{
    for (int32_t i = 0; i < static_cast<int32_t>(v.size()); ++i) CheckedAt(v, i) = value;
}

bool RemoveIntValue(std::vector<int32_t>& v, int32_t value)
{
    bool removed = false;
    for (int32_t i = 0; i < static_cast<int32_t>(v.size());) {
        if (CheckedAt(v, i) == value) {
            v.erase(v.begin() + i);
            removed = true;
        } else {
            ++i;
        }
    }
    return removed;
}
