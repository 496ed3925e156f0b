// Formatted text and text boxes cut from the window picture.
#include <algorithm>
#include <cstdarg>
#include <string>

#include "core/CheckedAccess.h"
#include "core/Text.h"
#include "media/graphics/DDBlitEffects.h"
#include "media/graphics/GraphicsState.h"
#include "media/text/Font.h"
#include "media/text/FontInternal.h"

namespace {

constexpr int32_t kCentre = 10000;

// x or y 10000: centred in the window picture (the screen when the font has none).
void CentreBox(const cFont* lpFont, int32_t* x, int32_t* y, int32_t nWidth, int32_t nHeight)
{
    const int32_t areaWidth = lpFont->m_lpWindowSD != nullptr ? lpFont->m_lpWindowSD->nWidth : nScreenWidth;
    const int32_t areaHeight = lpFont->m_lpWindowSD != nullptr ? lpFont->m_lpWindowSD->nHeight : nScreenHeight;
    if (*x == kCentre) *x = areaWidth / 2 - nWidth / 2;
    if (*y == kCentre) *y = areaHeight / 2 - nHeight / 2;
}

void DrawBox(cFont* lpFont, DDSURFACEDATA* lpDest, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight)
{
    if (lpFont->m_lpWindowSD == nullptr || !SurfaceExists(lpFont->m_lpWindowSD)) return;
    DDBltFramed(lpDest, x, y, nWidth, nHeight, lpFont->m_lpWindowSD, lpFont->m_nFrameThickness,
                static_cast<uint32_t>(lpFont->m_nFrameColor));
}

// The text's measure for a box: the fixed grid, or the font's own measure on the destination.
SIZE MeasureForBox(cFont* lpFont, DDSURFACEDATA* lpDest, const char* lpText)
{
    if (lpFont->m_nAdvance != 0) return GetTextExtent(lpFont, lpText);
    if (lpDTCon != nullptr) return MeasureTextD3D(lpFont, lpText);
    SIZE extent{0, 0};
    IDirectDrawSurface7* surface = lpDest->lpDDraw != nullptr ? lpDest->lpDDraw->lpDDSurface : nullptr;
    HDC dc = nullptr;
    if (surface != nullptr && SUCCEEDED(surface->GetDC(&dc))) {
        extent = MeasureTextGdi(lpFont, dc, lpText);
        surface->ReleaseDC(dc);
    }
    return extent;
}

}  // namespace

// Formatted texts are formatted whole: a long name or number never cuts the text or overruns.
void FontPrintf(cFont* lpFont, DDSURFACEDATA* lpDest, int32_t x, int32_t y, const char* lpFormat, ...)
{
    if (lpFormat == nullptr) return;
    std::string text;
    va_list args;
    va_start(args, lpFormat);
    FormatStringV(text, lpFormat, args);
    va_end(args);
    FontDraw(lpFont, lpDest, x, y, text.c_str());
}

void FontDrawWindow(cFont* lpFont, DDSURFACEDATA* lpDest, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight)
{
    if (lpFont == nullptr || lpDest == nullptr) return;
    CentreBox(lpFont, &x, &y, nWidth, nHeight);
    DrawBox(lpFont, lpDest, x, y, nWidth, nHeight);
}

void FontDrawInBox(cFont* lpFont, DDSURFACEDATA* lpDest, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight,
                   const char* lpText, int32_t nMargin)
{
    if (lpFont == nullptr || lpDest == nullptr || lpText == nullptr) return;
    if (nWidth == 0 || nHeight == 0) {
        const SIZE extent = MeasureForBox(lpFont, lpDest, lpText);
        if (nWidth == 0) nWidth = extent.cx + nMargin;
        if (nHeight == 0) nHeight = extent.cy;
    }
    CentreBox(lpFont, &x, &y, nWidth, nHeight);
    DrawBox(lpFont, lpDest, x, y, nWidth, nHeight);
    FontDraw(lpFont, lpDest, x + nMargin, y, lpText);
}

void FontPrintfInBox(cFont* lpFont, DDSURFACEDATA* lpDest, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight,
                     const char* lpFormat, ...)
{
    if (lpFormat == nullptr) return;
    std::string text;
    va_list args;
    va_start(args, lpFormat);
    FormatStringV(text, lpFormat, args);
    va_end(args);
    FontDrawInBox(lpFont, lpDest, x, y, nWidth, nHeight, text.c_str(), 0);
}

void DrawTextList(const std::vector<std::string>& vTexts, DDSURFACEDATA* lpDest, int32_t x, int32_t y,
                  int32_t nFirst, int32_t nCount, int32_t bCursorRoom)
{
    if (nCount <= 0 || nFirst < 0) return;
    std::string text;
    int32_t widest = 0;
    for (int32_t i = nFirst; i < nFirst + nCount; ++i) {
        // Entries past the list are reported by the checked access and drawn as its first.
        const std::string& entry = CheckedAt(vTexts, i);
        if (bCursorRoom) text += ' ';
        text += entry;
        text += '\n';
        widest = std::max(widest, static_cast<int32_t>(CountChars(entry.c_str())));
    }
    if (bCursorRoom) ++widest;
    FontDrawInBox(&Font16, lpDest, x, y, widest * 16, nCount * 16, text.c_str(), 0);
}
