#include "platform/graphics/Gdi.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/graphics/BitmapFile.h"
#include "platform/graphics/GraphicsInternal.h"

namespace gfx {

struct GdiObject {
    enum class Kind { Bitmap, Font } kind;
    DECODEDBITMAP bitmap;
    TEXTFONTSPEC font{};
};

HDC NewSurfaceContext(cPixelBuffer* pixels, IDirectDrawSurface7* surface) {
    auto* context = new GdiContext();
    context->lpPixels = pixels;
    context->lpSurface = surface;
    return reinterpret_cast<HDC>(context);
}

void DeleteSurfaceContext(HDC dc) { delete reinterpret_cast<GdiContext*>(dc); }

}  // namespace gfx

namespace {

using gfx::GdiContext;
using gfx::GdiObject;

GdiContext* Context(HDC dc) { return reinterpret_cast<GdiContext*>(dc); }
GdiObject* Object(HGDIOBJ object) { return reinterpret_cast<GdiObject*>(object); }

std::mutex g_WindowMutex;
std::atomic<int> g_nCursorCount{0};
LONG g_nStyle = 0;
LONG g_nExStyle = 0;

// The raw value of a text colour on a target.
uint32_t TextRaw(const cPixelBuffer& target, COLORREF colour) {
    const uint32_t rgb = (colour & 0xFF) << 16 | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
    if (target.Format() == PixelFormat::P8) {
        if (colour & 0x01000000u) return colour & 0xFF;
        PALETTEENTRY palette[256];
        return gfx::DisplayPalette(palette) ? gfx::NearestPaletteIndex(palette, rgb) : 0;
    }
    return ArgbToPixel(target.Format(), 0xFF000000u | rgb);
}

}  // namespace

HANDLE LoadImageA(HINSTANCE, const char* name, UINT type, int, int, UINT flags) {
    if (type != IMAGE_BITMAP || (flags & LR_LOADFROMFILE) == 0 || name == nullptr) return nullptr;
    auto* object = new GdiObject{GdiObject::Kind::Bitmap, {}, {}};
    std::string error;
    if (!LoadBitmapFile(name, &object->bitmap, &error)) {
        delete object;
        return nullptr;
    }
    return reinterpret_cast<HANDLE>(object);
}

int GetObjectA(HGDIOBJ handle, int size, void* out) {
    GdiObject* object = Object(handle);
    if (object == nullptr || out == nullptr || object->kind != GdiObject::Kind::Bitmap) return 0;
    const DECODEDBITMAP& b = object->bitmap;
    DIBSECTION ds{};
    ds.dsBm = BITMAP{0, b.nWidth, b.nHeight, b.nStride, 1, static_cast<WORD>(b.nBitCount),
                     const_cast<uint8_t*>(b.vBits.data())};
    ds.dsBmih = BITMAPINFOHEADER{40, b.nWidth, b.nHeight, 1, static_cast<WORD>(b.nBitCount),
                                 b.nBitCount == 16 || b.nBitCount == 32 ? BI_BITFIELDS : BI_RGB,
                                 static_cast<DWORD>(b.vBits.size()), 0, 0,
                                 static_cast<DWORD>(b.vColourTable.size()), 0};
    std::memcpy(ds.dsBitfields, b.dwMasks, sizeof(ds.dsBitfields));
    if (size >= static_cast<int>(sizeof(DIBSECTION))) {
        std::memcpy(out, &ds, sizeof(DIBSECTION));
        return sizeof(DIBSECTION);
    }
    if (size >= static_cast<int>(sizeof(BITMAP))) {
        std::memcpy(out, &ds.dsBm, sizeof(BITMAP));
        return sizeof(BITMAP);
    }
    return 0;
}

BOOL DeleteObject(HGDIOBJ handle) {
    if (handle == nullptr) return 0;
    delete Object(handle);
    return 1;
}

HDC CreateCompatibleDC(HDC) { return reinterpret_cast<HDC>(new GdiContext()); }

BOOL DeleteDC(HDC dc) {
    if (dc == nullptr) return 0;
    delete Context(dc);
    return 1;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ handle) {
    GdiContext* context = Context(dc);
    GdiObject* object = Object(handle);
    if (context == nullptr || object == nullptr) return nullptr;
    GdiObject** slot = object->kind == GdiObject::Kind::Bitmap ? &context->lpBitmap : &context->lpFont;
    if (object->kind == GdiObject::Kind::Bitmap && context->lpPixels) return nullptr;   // not a memory context
    GdiObject* previous = *slot;
    *slot = object;
    return reinterpret_cast<HGDIOBJ>(previous);
}

UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colours) {
    GdiContext* context = Context(dc);
    if (context == nullptr || context->lpBitmap == nullptr || colours == nullptr) return 0;
    const std::vector<RGBQUAD>& table = context->lpBitmap->bitmap.vColourTable;
    if (start >= table.size()) return 0;
    const UINT n = std::min<UINT>(count, static_cast<UINT>(table.size()) - start);
    std::memcpy(colours, table.data() + start, n * sizeof(RGBQUAD));
    return n;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
    return StretchBlt(dest, x, y, width, height, source, sx, sy, width, height, rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh, DWORD) {
    GdiContext* to = Context(dest);
    GdiContext* from = Context(source);
    if (to == nullptr || from == nullptr || to->lpPixels == nullptr) return 0;
    if (width == 0 || height == 0 || sw == 0 || sh == 0) return 0;
    cPixelBuffer& target = *to->lpPixels;
    const DECODEDBITMAP* bitmap = from->lpBitmap ? &from->lpBitmap->bitmap : nullptr;
    const cPixelBuffer* pixels = from->lpPixels;
    if (bitmap == nullptr && pixels == nullptr) return 0;
    const int32_t sourceWidth = bitmap ? bitmap->nWidth : pixels->Width();
    const int32_t sourceHeight = bitmap ? bitmap->nHeight : pixels->Height();
    PALETTEENTRY palette[256];
    const bool toP8 = target.Format() == PixelFormat::P8;
    const bool havePalette = toP8 && gfx::DisplayPalette(palette);
    const bool indexCopy = toP8 && bitmap && bitmap->nBitCount <= 8 && !havePalette;
    // A negative size runs from its start position leftwards (upwards); opposite signs mirror.
    const int32_t dxStep = width < 0 ? -1 : 1, dyStep = height < 0 ? -1 : 1;
    const int32_t sxStep = sw < 0 ? -1 : 1, syStep = sh < 0 ? -1 : 1;
    const int64_t w = std::abs(width), h = std::abs(height), aw = std::abs(sw), ah = std::abs(sh);
    for (int64_t j = 0; j < h; ++j) {
        const int32_t ty = y + static_cast<int32_t>(j) * dyStep;
        const int32_t syy = sy + static_cast<int32_t>((j * ah) / h) * syStep;
        if (ty < 0 || ty >= target.Height() || syy < 0 || syy >= sourceHeight) continue;
        for (int64_t i = 0; i < w; ++i) {
            const int32_t tx = x + static_cast<int32_t>(i) * dxStep;
            const int32_t sxx = sx + static_cast<int32_t>((i * aw) / w) * sxStep;
            if (tx < 0 || tx >= target.Width() || sxx < 0 || sxx >= sourceWidth) continue;
            if (indexCopy) {
                target.WriteRaw(tx, ty, DecodedBitmapRaw(*bitmap, sxx, syy));
                continue;
            }
            const uint32_t argb = bitmap ? DecodedBitmapPixel(*bitmap, sxx, syy) : pixels->ReadArgb(sxx, syy);
            if (toP8) target.WriteRaw(tx, ty, havePalette ? gfx::NearestPaletteIndex(palette, argb & 0xFFFFFF) : 0);
            else target.WriteArgb(tx, ty, 0xFF000000u | argb);
        }
    }
    return 1;
}

int GetDeviceCaps(HDC dc, int index) {
    GdiContext* context = Context(dc);
    if (context == nullptr || index != BITSPIXEL) return 0;
    if (context->lpPixels) return PixelFormatBits(context->lpPixels->Format());
    if (context->nDesktopBits) return context->nDesktopBits;
    if (context->lpBitmap) return context->lpBitmap->bitmap.nBitCount;
    return static_cast<int>(gfx::Profile().nDesktopBpp);
}

HDC GetDC(HWND) {
    auto* context = new GdiContext();
    context->nDesktopBits = static_cast<int32_t>(gfx::Profile().nDesktopBpp);
    return reinterpret_cast<HDC>(context);
}

int ReleaseDC(HWND, HDC dc) {
    if (dc == nullptr) return 0;
    delete Context(dc);
    return 1;
}

HFONT CreateFontA(int height, int width, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD charSet, DWORD,
                  DWORD, DWORD, DWORD, const char* face) {
    auto* object = new GdiObject{GdiObject::Kind::Font, {}, {}};
    if (face) std::strncpy(object->font.szFace, face, sizeof(object->font.szFace) - 1);
    object->font.nHeight = height < 0 ? -height : height;
    object->font.nWidth = width;
    object->font.nWeight = weight;
    object->font.nCharSet = static_cast<int32_t>(charSet);
    object->font.bItalic = italic != 0;
    return reinterpret_cast<HFONT>(object);
}

int SetBkMode(HDC dc, int mode) {
    GdiContext* context = Context(dc);
    if (context == nullptr) return 0;
    const int previous = context->nBkMode;
    context->nBkMode = mode;
    return previous;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    GdiContext* context = Context(dc);
    if (context == nullptr) return 0xFFFFFFFF;
    const COLORREF previous = context->dwTextColour;
    context->dwTextColour = colour;
    return previous;
}

BOOL TextOutA(HDC dc, int x, int y, const char* text, int count) {
    GdiContext* context = Context(dc);
    if (context == nullptr || context->lpPixels == nullptr || context->lpFont == nullptr || text == nullptr) return 0;
    gfx::DrawTextMask(context->lpFont->font, text, count, x, y, TextRaw(*context->lpPixels, context->dwTextColour),
                      context->lpPixels, nullptr);
    return 1;
}

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int count, SIZE* size) {
    GdiContext* context = Context(dc);
    if (context == nullptr || context->lpFont == nullptr || size == nullptr) return 0;
    *size = gfx::DrawTextMask(context->lpFont->font, text, count, 0, 0, 0, nullptr, nullptr);
    return 1;
}

BOOL GetClientRect(HWND, RECT* rect) {
    if (rect == nullptr) return 0;
    *rect = RECT{0, 0, 640, 480};
    return 1;
}

BOOL ClientToScreen(HWND, POINT* point) { return point != nullptr; }


int ShowCursor(BOOL show) { return show ? ++g_nCursorCount : --g_nCursorCount; }

LONG SetWindowLongA(HWND, int index, LONG value) {
    std::lock_guard<std::mutex> lock(g_WindowMutex);
    LONG* slot = index == GWL_STYLE ? &g_nStyle : index == GWL_EXSTYLE ? &g_nExStyle : nullptr;
    if (slot == nullptr) return 0;
    const LONG previous = *slot;
    *slot = value;
    return previous;
}

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    const GraphicsProfile& p = gfx::Profile();
    gfx::DisplayState display = gfx::CurrentDisplay();
    if (mode == nullptr) {
        display.nRefreshRate = p.nDesktopRefreshRate;
        gfx::SetCurrentDisplay(display);
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (mode->dmFields & DM_DISPLAYFREQUENCY) {
        if (std::find(p.vRefreshRates.begin(), p.vRefreshRates.end(), mode->dmDisplayFrequency) == p.vRefreshRates.end())
            return DISP_CHANGE_FAILED;
        display.nRefreshRate = mode->dmDisplayFrequency;
    }
    if (mode->dmFields & DM_BITSPERPEL) {
        if (std::find(p.vDisplayDepths.begin(), p.vDisplayDepths.end(), mode->dmBitsPerPel) == p.vDisplayDepths.end())
            return DISP_CHANGE_FAILED;
        display.nBpp = static_cast<int32_t>(mode->dmBitsPerPel);
    }
    if ((flags & CDS_TEST) == 0) gfx::SetCurrentDisplay(display);
    return DISP_CHANGE_SUCCESSFUL;
}
