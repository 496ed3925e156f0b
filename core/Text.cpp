#include "core/Text.h"

#include <cstdio>
#include <vector>

#include "platform/win/WinMessage.h"

namespace {

constexpr size_t FormatBufferSize = 5120;

}  // namespace

void FormatStringV(std::string& out, const char* format, va_list args)
{
    // Most texts fit the usual work buffer; a longer one is formatted again, whole, into a buffer
    // of its own size rather than cut or overflowed.
    char buffer[FormatBufferSize];
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (length < 0) {
        va_end(again);
        out.clear();
        return;
    }
    if (static_cast<size_t>(length) < sizeof buffer) {
        out.assign(buffer, static_cast<size_t>(length));
    } else {
        std::vector<char> large(static_cast<size_t>(length) + 1);
        std::vsnprintf(large.data(), large.size(), format, again);
        out.assign(large.data(), static_cast<size_t>(length));
    }
    va_end(again);
}

void FormatString(std::string& out, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatStringV(out, format, args);
    va_end(args);
}

bool IsDbcsLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsDbcsPair(const char* bytes)
{
    unsigned char trail = static_cast<unsigned char>(bytes[1]);
    return IsDbcsLeadByte(static_cast<unsigned char>(bytes[0])) &&
           ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC));
}

int CountChars(const char* text)
{
    int count = 0;
    for (const char* p = text; *p != '\0';) {
        if (IsDbcsPair(p)) {
            ++count;
            p += 2;
        } else {
            if (*p != '\n') ++count;
            ++p;
        }
    }
    return count;
}

void GetDlgItemString(HWND dialog, int itemId, std::string& out, int maximum)
{
    char buffer[FormatBufferSize];
    // The read never goes past the work buffer, whatever limit the caller gives.
    int limit = maximum < 0 ? 0 : (maximum > static_cast<int>(sizeof buffer) ? static_cast<int>(sizeof buffer) : maximum);
    buffer[0] = '\0';
    if (limit > 0) GetDlgItemText(dialog, itemId, buffer, limit);
    out = buffer;
}

void SetDlgItemString(HWND dialog, int itemId, const std::string& text)
{
    SetDlgItemText(dialog, itemId, text.c_str());
}
