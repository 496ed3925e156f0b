// Text measures: the fixed grid, the GDI font and the Direct3D font.
#include <algorithm>

#include "core/Text.h"
#include "media/graphics/GraphicsState.h"
#include "media/text/Font.h"
#include "media/text/FontInternal.h"

int32_t LineLength(const char* lpText)
{
    int32_t length = 0;
    while (lpText[length] != '\0' && lpText[length] != '\n') ++length;
    return length;
}

namespace {

// Calls fn(line, length) for each line; a final newline does not start another line.
template <class Fn>
int32_t ForEachLine(const char* lpText, Fn fn)
{
    int32_t lines = 0;
    for (const char* p = lpText; *p != '\0'; ++lines) {
        const int32_t length = LineLength(p);
        fn(p, length);
        p += length;
        if (*p == '\n') ++p;
    }
    return lines;
}

}  // namespace

SIZE GetTextExtent(const cFont* lpFont, const char* lpText)
{
    if (lpFont == nullptr || lpText == nullptr) return SIZE{0, 0};
    // Lines are measured in place, however long they are.
    int64_t widest = 0;
    const int32_t lines = ForEachLine(lpText, [&](const char* line, int32_t length) {
        int64_t chars = 0;
        for (int32_t i = 0; i < length; ++chars) i += (i + 1 < length && IsDbcsPair(line + i)) ? 2 : 1;
        widest = std::max(widest, chars);
    });
    const int64_t width = widest * lpFont->m_nAdvance;
    const int64_t height = static_cast<int64_t>(lines) * lpFont->m_nLineHeight;
    return SIZE{static_cast<LONG>(std::min<int64_t>(width, INT32_MAX)), static_cast<LONG>(std::min<int64_t>(height, INT32_MAX))};
}

SIZE MeasureTextGdi(const cFont* lpFont, HDC hDC, const char* lpText)
{
    if (lpFont == nullptr || hDC == nullptr || lpText == nullptr) return SIZE{0, 0};
    HGDIOBJ old = SelectObject(hDC, lpFont->m_hFont);
    LONG widest = 0;
    const int32_t lines = ForEachLine(lpText, [&](const char* line, int32_t length) {
        SIZE size{0, 0};
        if (length > 0 && GetTextExtentPoint32A(hDC, line, length, &size)) widest = std::max(widest, size.cx);
    });
    SelectObject(hDC, old);
    return SIZE{widest, static_cast<LONG>(lines * lpFont->m_nLineHeight)};
}

SIZE MeasureTextD3D(const cFont* lpFont, const char* lpText)
{
    if (lpFont == nullptr || lpFont->m_lpD3DXFont == nullptr || lpText == nullptr) return SIZE{0, 0};
    LONG widest = 0;
    const int32_t lines = ForEachLine(lpText, [&](const char* line, int32_t length) {
        if (length == 0) return;
        RECT rect{0, 0, 0, 0};
        lpFont->m_lpD3DXFont->DrawTextA(nullptr, line, length, &rect, DT_CALCRECT, lpFont->m_dwTextColor);
        widest = std::max(widest, static_cast<LONG>(rect.right - rect.left));
    });
    return SIZE{widest, static_cast<LONG>(lines * lpFont->m_nLineHeight)};
}
