// Code page 932 <-> UTF-8. Every text the game keeps is code page 932; the host (file names,
// window captions, message boxes) speaks UTF-8.
#include <iconv.h>

#include <cerrno>

#include "platform/host/Host.h"

namespace {

// One converter pair per thread: iconv descriptors keep state and must not be shared.
struct Converters {
    iconv_t toUtf8 = iconv_open("UTF-8", "CP932");
    iconv_t toCp932 = iconv_open("CP932", "UTF-8");
    ~Converters()
    {
        if (toUtf8 != reinterpret_cast<iconv_t>(-1)) iconv_close(toUtf8);
        if (toCp932 != reinterpret_cast<iconv_t>(-1)) iconv_close(toCp932);
    }
};

Converters& ThreadConverters()
{
    thread_local Converters converters;
    return converters;
}

// Length of the unconvertible character at p, so that it becomes one "?".
size_t BadCharLength(const unsigned char* p, size_t left, bool fromUtf8)
{
    if (!fromUtf8) {
        bool lead = (p[0] >= 0x81 && p[0] <= 0x9F) || (p[0] >= 0xE0 && p[0] <= 0xFC);
        bool trail = left >= 2 && p[1] >= 0x40 && p[1] <= 0xFC && p[1] != 0x7F;
        return lead && trail ? 2 : 1;
    }
    size_t n = p[0] >= 0xF0 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC0 ? 2 : 1;
    size_t i = 1;
    while (i < n && i < left && (p[i] & 0xC0) == 0x80) ++i;
    return i;
}

std::string Convert(iconv_t cd, const std::string& text, bool fromUtf8)
{
    std::string out;
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (unsigned char c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
        return out;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.reserve(text.size() * 3 / 2 + 4);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char buffer[512];
    while (inLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(buffer, dst - buffer);
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            size_t skip = BadCharLength(reinterpret_cast<unsigned char*>(in), inLeft, fromUtf8);
            out += '?';
            in += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

bool IsAscii(const std::string& text)
{
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

}  // namespace

std::string Cp932ToUtf8(const std::string& text)
{
    if (IsAscii(text)) return text;
    return Convert(ThreadConverters().toUtf8, text, false);
}

std::string Utf8ToCp932(const std::string& text)
{
    if (IsAscii(text)) return text;
    return Convert(ThreadConverters().toCp932, text, true);
}
