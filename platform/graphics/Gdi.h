#pragma once
// The GDI subset: device-independent bitmaps loaded from files, memory device contexts, the
// bitmap blitters, the colour table, text through the text rasterizer, and the few window and
// display calls the graphics start-up makes.
#include "platform/graphics/DDraw.h"
#include "platform/graphics/GraphicsTypes.h"

struct HGDIOBJ__;
using HGDIOBJ = HGDIOBJ__*;
using HBITMAP = HGDIOBJ;
using HFONT = HGDIOBJ;
using COLORREF = DWORD;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) { return static_cast<COLORREF>(r | (g << 8) | (b << 16)); }
// A palette index as a text colour: written as that index on 8-bit targets.
constexpr COLORREF PALETTEINDEX(WORD index) { return 0x01000000u | index; }

constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT LR_LOADFROMFILE = 0x10;
constexpr UINT LR_CREATEDIBSECTION = 0x2000;

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_BITFIELDS = 3;

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;   // row length in bytes, padded to four
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;        // bottom row first
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3];
    HANDLE dshSection;
    DWORD dsOffset;
};

// Loads a bitmap file (project path) as a DIB section. The bits keep the file's depth (1, 4, 8,
// 16, 24 or 32 bits) and are stored bottom row first whatever the file's row order, so that
// row height - 1 - y of the bits is image row y. Null for a missing, short or malformed file.
HANDLE LoadImageA(HINSTANCE instance, const char* name, UINT type, int cx, int cy, UINT flags);
// BITMAP or DIBSECTION of a bitmap (by the size asked for); 0 on failure.
int GetObjectA(HGDIOBJ object, int size, void* out);
BOOL DeleteObject(HGDIOBJ object);

HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// Selects a bitmap (its pixels become the context's) or a font; returns the previous object.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Colour table of the bitmap selected into a memory context; the number of entries read.
UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colours);

constexpr DWORD SRCCOPY = 0x00CC0020;
// Copies with conversion between the two contexts' formats; colours convert through the
// source's colour table, and to an 8-bit target by nearest entry of the target's palette.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop);
// A negative width or height on either side mirrors that axis.
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh,
                DWORD rop);

constexpr int BITSPIXEL = 12;
int GetDeviceCaps(HDC dc, int index);
// The window's device context (the desktop's format); release it with ReleaseDC.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

// Text through the text rasterizer (TextRasterizer.h).
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, const char* face);
int SetBkMode(HDC dc, int mode);
COLORREF SetTextColor(HDC dc, COLORREF colour);
BOOL TextOutA(HDC dc, int x, int y, const char* text, int count);
BOOL GetTextExtentPoint32A(HDC dc, const char* text, int count, SIZE* size);

// Window and display calls of the graphics start-up. The client area is the host's 640 x 480.
#include "platform/win/WinWindowState.h"   // ShowWindow and the show commands
BOOL GetClientRect(HWND window, RECT* rect);
BOOL ClientToScreen(HWND window, POINT* point);
// The display count of the cursor: the cursor shows while it is 0 or more.
int ShowCursor(BOOL show);
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr LONG WS_POPUP = static_cast<LONG>(0x80000000u);
constexpr LONG WS_EX_TOPMOST = 0x8;
LONG SetWindowLongA(HWND window, int index, LONG value);

struct DEVMODEA {
    DWORD dmSize;
    DWORD dmFields;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFrequency;
};
constexpr DWORD DM_BITSPERPEL = 0x40000;
constexpr DWORD DM_PELSWIDTH = 0x80000;
constexpr DWORD DM_PELSHEIGHT = 0x100000;
constexpr DWORD DM_DISPLAYFREQUENCY = 0x400000;
constexpr DWORD CDS_FULLSCREEN = 0x4;
constexpr DWORD CDS_TEST = 0x2;
constexpr LONG DISP_CHANGE_SUCCESSFUL = 0;
constexpr LONG DISP_CHANGE_FAILED = -1;
// Changes the emulated display's refresh rate (the graphics profile says which rates exist).
LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags);
