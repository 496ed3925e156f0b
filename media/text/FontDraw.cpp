// Drawing text: the fixed grid with its glyph sheets and letter pictures, and proportional text
// line by line, through the Direct3D helper font or a GDI font.
#include <algorithm>
#include <optional>

#include "core/Text.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DDBatch.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/GraphicsState.h"
#include "media/graphics/SceneTarget.h"
#include "media/text/Font.h"
#include "media/text/FontInternal.h"

namespace {

constexpr int32_t kColorKey = 1;

bool IsIdeographicSpace(const char* p)
{
    // "　" in code page 932.
    return static_cast<unsigned char>(p[0]) == 0x81 && static_cast<unsigned char>(p[1]) == 0x40;
}

bool HasLetterPicture(const cFont* lpFont)
{
    return lpFont->m_lpLetterSD != nullptr && SurfaceExists(lpFont->m_lpLetterSD);
}

// The Direct3D drawing bracket of one character when no caller has opened it.
struct ScopedSprite {
    explicit ScopedSprite(cFont* lpFont, DDSURFACEDATA* lpTarget) : m_lpFont(lpFont)
    {
        if (!DDBeginScene()) return;
        DDSetRenderTarget(0, lpTarget);
        if (lpFont->m_lpSprite != nullptr) lpFont->m_lpSprite->Begin(D3DXSPRITE_ALPHABLEND | D3DXSPRITE_SORT_TEXTURE);
        m_bOpen = true;
    }
    ~ScopedSprite()
    {
        if (!m_bOpen) return;
        if (m_lpFont->m_lpSprite != nullptr) m_lpFont->m_lpSprite->End();
        DDSetRenderTarget(0, lpDTCon->lpTargetSD);
    }
    cFont* m_lpFont;
    bool m_bOpen = false;
};

// One character drawn with the font itself into target (Direct3D) or the context (GDI).
void DrawFontChar(cFont* lpFont, DDSURFACEDATA* lpTarget, HDC hDC, int32_t x, int32_t y, const char* lpBytes,
                  int32_t nCount)
{
    const bool direct3D = lpDTCon != nullptr;
    if (direct3D && lpFont->m_lpD3DXFont == nullptr) return;
    if (!direct3D && hDC == nullptr) return;
    int32_t px, py;
    if (lpFont->m_bCentre) {
        SIZE extent{0, 0};
        if (direct3D) {
            RECT rect{0, 0, 0, 0};
            lpFont->m_lpD3DXFont->DrawTextA(lpFont->m_lpSprite, lpBytes, nCount, &rect, DT_CALCRECT,
                                           lpFont->m_dwTextColor);
            extent.cx = rect.right - rect.left;
            extent.cy = rect.bottom - rect.top;
        } else {
            GetTextExtentPoint32A(hDC, lpBytes, nCount, &extent);
        }
        px = x + lpFont->m_nAdvance / 2 - extent.cx / 2;
        py = y + lpFont->m_nLineHeight / 2 - extent.cy / 2;
    } else if (nCount == 1) {
        px = x + (lpFont->m_nAdvance >> 3);
        py = y + (lpFont->m_nLineHeight >> 4) - 1;
    } else {
        px = x;
        py = y;
    }
    if (direct3D) {
        // With the glyph cache on nobody has opened the sprite for this target.
        std::optional<ScopedSprite> bracket;
        if (GlyphCacheReady(lpFont)) {
            bracket.emplace(lpFont, lpTarget);
            if (!bracket->m_bOpen) return;
        }
        RECT rect{px, py, px, py};
        lpFont->m_lpD3DXFont->DrawTextA(lpFont->m_lpSprite, lpBytes, nCount, &rect, DT_NOCLIP, lpFont->m_dwTextColor);
    } else {
        TextOutA(hDC, px, py, lpBytes, nCount);
    }
}

// A double-byte character that is not in the full-width sheet yet gets the next cell, drawn
// straight into the sheet.
void RenderGlyphIntoSheet(cFont* lpFont, const GlyphEntry& glyph)
{
    DDSURFACEDATA* sheet = &lpFont->m_lpFastFont_FullAdd->m_SheetSD;
    if (lpDTCon != nullptr) {
        if (lpFont->m_lpD3DXFont == nullptr) return;
        ScopedSprite bracket(lpFont, sheet);
        if (!bracket.m_bOpen) return;
        RECT rect{glyph.nX, glyph.nY, glyph.nX, glyph.nY};
        lpFont->m_lpD3DXFont->DrawTextA(lpFont->m_lpSprite, glyph.szCode, 2, &rect, DT_NOCLIP, lpFont->m_dwTextColor);
        return;
    }
    if (sheet->lpDDraw == nullptr || sheet->lpDDraw->lpDDSurface == nullptr) return;
    HDC dc = nullptr;
    if (FAILED(sheet->lpDDraw->lpDDSurface->GetDC(&dc))) return;
    const int32_t index = lpFont->m_nColorIndex & 0xFF;
    if (nBpp == 8 && lpDDPalette != nullptr) lpDDPalette->SetEntries(0, static_cast<DWORD>(index), 1, &ColorPalette[index]);
    HGDIOBJ old = SelectObject(dc, lpFont->m_hFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, lpFont->m_dwTextColor);
    TextOutA(dc, glyph.nX, glyph.nY, glyph.szCode, 2);
    SelectObject(dc, old);
    sheet->lpDDraw->lpDDSurface->ReleaseDC(dc);
    if (nBpp == 8 && lpDDPalette != nullptr)
        lpDDPalette->SetEntries(0, static_cast<DWORD>(index), 1, &ColorPaletteWork[index]);
}

void DrawFontText(cFont* lpFont, DDSURFACEDATA* lpTarget, HDC hDC, int32_t x, int32_t y, DDSURFACEDATA* lpGlyphDest,
                  int32_t gx, int32_t gy, const char* lpText, int32_t bLetters)
{
    DDBeginDrawBatch(1);
    const int32_t advance = lpFont->m_nAdvance;
    const int32_t lineHeight = lpFont->m_nLineHeight;
    if (advance == 0) {
        int32_t line = 0;
        for (const char* p = lpText; *p != '\0'; ++line) {
            const int32_t length = LineLength(p);
            const int32_t ly = y + line * lineHeight;
            if (length > 0) {
                if (lpDTCon != nullptr) {
                    if (lpFont->m_lpD3DXFont != nullptr) {
                        RECT rect{x, ly, x, ly};
                        lpFont->m_lpD3DXFont->DrawTextA(lpFont->m_lpSprite, p, length, &rect, DT_NOCLIP,
                                                       lpFont->m_dwTextColor);
                    }
                } else if (hDC != nullptr) {
                    TextOutA(hDC, x, ly, p, length);
                }
            }
            p += length;
            if (*p == '\n') ++p;
        }
        DDEndDrawBatch();
        return;
    }

    const bool cached = GlyphCacheReady(lpFont) && lpGlyphDest != nullptr;
    const bool letters = bLetters && HasLetterPicture(lpFont);
    int32_t column = 0;
    int32_t row = 0;
    for (const char* p = lpText; *p != '\0';) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (IsDbcsPair(p)) {
            if (!IsIdeographicSpace(p)) {
                cFastFont* sheet = lpFont->m_lpFastFont_FullAdd;
                if (cached && sheet->DrawGlyph(lpGlyphDest, gx + column, gy + row, p, kColorKey)) {
                } else if (cached && sheet->AddGlyph(p)) {
                    RenderGlyphIntoSheet(lpFont, sheet->m_vGlyphs.back());
                    sheet->DrawGlyph(lpGlyphDest, gx + column, gy + row, p, kColorKey);
                } else {
                    DrawFontChar(lpFont, lpTarget, hDC, x + column, y + row, p, 2);
                }
            }
            p += 2;
            column += advance;
            continue;
        }
        if (c == '\n') {
            row += lineHeight;
            column = 0;
        } else if (c == ' ' || (letters && c >= 'a' && c <= 'z')) {
            column += advance;
        } else {
            if (cached)
                lpFont->m_lpFastFont_Half->DrawGlyphCell(lpGlyphDest, gx + column, gy + row, c, kColorKey);
            else
                DrawFontChar(lpFont, lpTarget, hDC, x + column, y + row, p, 1);
            column += advance;
        }
        ++p;
    }
    DDEndDrawBatch();
}

void DrawLetterPictures(cFont* lpFont, DDSURFACEDATA* lpDest, int32_t x, int32_t y, const char* lpText)
{
    if (!lpFont->m_bLetterPictures || !HasLetterPicture(lpFont) || lpFont->m_nAdvance == 0) return;
    DDBeginDrawBatch(0);
    int32_t column = 0;
    int32_t row = 0;
    for (const char* p = lpText; *p != '\0';) {
        if (IsDbcsPair(p)) {
            column += lpFont->m_nAdvance;
            p += 2;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\n') {
            row += lpFont->m_nLineHeight;
            column = 0;
        } else {
            if (c >= 'a' && c <= 'z')
                DDBlt(lpDest, x + column, y + row, lpFont->m_nAdvance, lpFont->m_nLineHeight, lpFont->m_lpLetterSD,
                      lpFont->m_nAdvance * (c - 'a'), 0, kColorKey);
            column += lpFont->m_nAdvance;
        }
        ++p;
    }
    DDEndDrawBatch();
}

// The size of the text as composed on the work surface, kept within it.
SIZE ComposedExtent(cFont* lpFont, const char* lpText, HDC hDC)
{
    SIZE extent{0, 0};
    if (lpFont->m_nAdvance != 0) {
        extent = GetTextExtent(lpFont, lpText);
    } else if (lpDTCon != nullptr) {
        extent = MeasureTextD3D(lpFont, lpText);
    } else if (hDC != nullptr) {
        extent = MeasureTextGdi(lpFont, hDC, lpText);
    }
    extent.cx = std::clamp<LONG>(extent.cx, 0, lpFont->m_WorkSD.nWidth);
    extent.cy = std::clamp<LONG>(extent.cy, 0, lpFont->m_WorkSD.nHeight);
    return extent;
}

}  // namespace

void FontDraw(cFont* lpFont, DDSURFACEDATA* lpDest, int32_t x, int32_t y, const char* lpText, int32_t bPlain)
{
    if (lpFont == nullptr || lpDest == nullptr || lpText == nullptr) return;
    const int32_t letters = bPlain ? 0 : lpFont->m_bLetterPictures;
    const bool cached = GlyphCacheReady(lpFont);

    if (lpDTCon != nullptr) {
        DDRedirectToBaseSurface(&lpDest);
        DDRedirectToVirtualBackBuffer(&lpDest);
        if (lpDest->lpDT != nullptr && lpDest->lpDT->dwDTMemoryType == DTMEMORYTYPE_VIDEO_RT) {
            // A render target: the text is drawn straight onto it.
            std::optional<ScopedSprite> bracket;
            if (!cached) {
                bracket.emplace(lpFont, lpDest);
                if (!bracket->m_bOpen) return;
            }
            DrawFontText(lpFont, lpDest, nullptr, x, y, lpDest, x, y, lpText, letters);
            bracket.reset();
            DrawLetterPictures(lpFont, lpDest, x, y, lpText);
            return;
        }
        // Anything else: composed on the work surface, then blitted with the colour key.
        DDSURFACEDATA* work = &lpFont->m_WorkSD;
        const SIZE extent = ComposedExtent(lpFont, lpText, nullptr);
        DDFillRect(work, 0, 0, extent.cx, extent.cy, 0);
        {
            std::optional<ScopedSprite> bracket;
            if (!cached) {
                bracket.emplace(lpFont, work);
                if (!bracket->m_bOpen) return;
            }
            DrawFontText(lpFont, work, nullptr, 0, 0, lpDest, x, y, lpText, letters);
            bracket.reset();
            DrawLetterPictures(lpFont, work, 0, 0, lpText);
        }
        DDBlt(lpDest, x, y, extent.cx, extent.cy, work, 0, 0, kColorKey);
        return;
    }

    // DirectDraw: GDI text on the work surface, cached glyphs straight onto the destination.
    DDSURFACEDATA* work = &lpFont->m_WorkSD;
    IDirectDrawSurface7* surface = work->lpDDraw != nullptr ? work->lpDDraw->lpDDSurface : nullptr;
    HDC dc = nullptr;
    SIZE extent{0, 0};
    if (lpFont->m_nAdvance != 0) {
        extent = ComposedExtent(lpFont, lpText, nullptr);
    } else if (surface != nullptr && SUCCEEDED(surface->GetDC(&dc))) {
        // Proportional text is measured with the font; the context is let go before the fill.
        extent = ComposedExtent(lpFont, lpText, dc);
        surface->ReleaseDC(dc);
        dc = nullptr;
    }
    HGDIOBJ old = nullptr;
    DDFillRect(work, 0, 0, extent.cx, extent.cy, 0);
    if (surface != nullptr && SUCCEEDED(surface->GetDC(&dc))) {
        old = SelectObject(dc, lpFont->m_hFont);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, lpFont->m_dwTextColor);
        DrawFontText(lpFont, work, dc, 0, 0, lpDest, x, y, lpText, letters);
        SelectObject(dc, old);
        surface->ReleaseDC(dc);
    } else if (cached) {
        DrawFontText(lpFont, work, nullptr, 0, 0, lpDest, x, y, lpText, letters);
    }
    DDBlt(lpDest, x, y, extent.cx, extent.cy, work, 0, 0, kColorKey);
    DrawLetterPictures(lpFont, lpDest, x, y, lpText);
}
