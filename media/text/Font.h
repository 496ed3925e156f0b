#pragma once
// Text fonts. A cFont draws code-page-932 text onto any surface with either back end: through a
// Direct3D helper font and sprite, or through a GDI font in the device context of a DirectDraw
// surface. Most text sits on a fixed grid (every character, single- or double-byte, takes one
// cell of advance x line height); on that grid a font can keep a glyph cache (two pre-rendered
// sheets, so text becomes blits) and a letter picture whose 26 cells replace a to z.
#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

#include "media/graphics/BitmapTable.h"
#include "media/graphics/Surface.h"
#include "platform/graphics/D3DX9.h"
#include "platform/graphics/Gdi.h"

// One font record.
struct FontDesc {
    char szFaceName[256];     // the Direct3D font takes its first 32 bytes
    int32_t nGdiWidth;        // 0: the face's own proportions (the Direct3D font always uses 0)
    int32_t nHeight;
    int32_t nAdvance;         // cell width; 0 makes the font proportional
    int32_t nLineHeight;
    int32_t nColor;           // palette index of the text
    int32_t nWindowPicture;   // SystemSurfaces entry that boxes are cut from
    int32_t nFrameThickness;
    int32_t nFrameColor;
    int32_t nLetterPicture;   // SystemSurfaces entry whose cells replace a to z
    int32_t nGlyphCache;      // 0 off, 1 on, 2 the "System.ini" choice (resolved by start-up)
};

// A double-byte character kept in the full-width sheet.
struct GlyphEntry {
    char szCode[4];
    int32_t nCell;
    int32_t nX;
    int32_t nY;
};

// One glyph sheet: kind 0 half-width (cell c holds byte c, 16 x 16 cells), kind 1 full-width
// (filled in order as characters are added, never evicted).
class cFastFont {
public:
    cFastFont(int32_t nKind, int32_t nCellWidth, int32_t nCellHeight, int32_t nColumns, int32_t nRows);
    ~cFastFont();
    cFastFont(const cFastFont&) = delete;
    cFastFont& operator=(const cFastFont&) = delete;

    bool CreateSheet();
    // 1 when the character got the next cell, 0 when the sheet is full (or already holds it).
    int AddGlyph(const char* lpCode);
    // Blits cell c (a byte, 0 to 255) of a half-width sheet.
    void DrawGlyphCell(DDSURFACEDATA* lpDest, int32_t x, int32_t y, int32_t c, int32_t nFlags);
    // Blits the cell of a double-byte character: 1 drawn, 0 not in the sheet.
    int DrawGlyph(DDSURFACEDATA* lpDest, int32_t x, int32_t y, const char* lpCode, int32_t nFlags);
    const GlyphEntry* FindGlyph(const char* lpCode) const;

    int32_t m_nKind;
    int32_t m_nCellWidth;
    int32_t m_nCellHeight;
    int32_t m_nColumns;
    int32_t m_nRows;
    int32_t m_nCapacity;
    DDSURFACEDATA m_SheetSD;
    std::vector<GlyphEntry> m_vGlyphs;
    int32_t m_nCount;

private:
    std::unordered_map<uint16_t, int32_t> m_Index;   // code -> cell, so lookups stay cheap
};

class cFont {
public:
    cFont();
    ~cFont();
    cFont(const cFont&) = delete;
    cFont& operator=(const cFont&) = delete;

    int32_t m_nFontId;
    HFONT m_hFont;
    ID3DXFont* m_lpD3DXFont;
    ID3DXSprite* m_lpSprite;
    char m_szFaceName[256];
    int32_t m_nGdiWidth;
    int32_t m_nHeight;
    int32_t m_nAdvance;
    int32_t m_nLineHeight;
    int32_t m_nColorIndex;
    uint32_t m_dwTextColor;   // Direct3D: 0xFFRRGGBB; DirectDraw: a GDI colour value
    int32_t m_bCentre;
    DDSURFACEDATA m_WorkSD;
    DDSURFACEDATA* m_lpWindowSD;
    int32_t m_nFrameThickness;
    int32_t m_nFrameColor;
    DDSURFACEDATA* m_lpLetterSD;
    int32_t m_bLetterPictures;
    int32_t m_bGlyphCache;
    cFastFont* m_lpFastFont_Half;
    cFastFont* m_lpFastFont_FullAdd;
};

constexpr int32_t FONT_COUNT = 3;

extern cFont FontTable[FONT_COUNT];
extern cFont& Font10;
extern cFont& Font16;
// Every font made, for the device restore.
extern std::list<cFont*> FontList;
// One digit strip "0123456789" per font, for number drawing.
extern DDSURFACEDATA FontDigitStrips[FONT_COUNT];
// The three font records of the program and the bitmap descriptors of their digit strips.
extern FontDesc DefaultFontDescs[FONT_COUNT];
extern BITMAPFILEENTRY DefaultDigitStripDescs[FONT_COUNT];

void InitFont(cFont* lpFont, const char* lpFace, int32_t nGdiWidth, int32_t nHeight, int32_t nAdvance,
              int32_t nLineHeight, int32_t nColor, DDSURFACEDATA* lpWindowSD, int32_t nFrameThickness,
              int32_t nFrameColor, DDSURFACEDATA* lpLetterSD, int32_t nGlyphCache);
int CreateFontTable(cFont* lpFonts, const FontDesc* lpRecords, int32_t nCount);
int CreateDigitSurfaces(DDSURFACEDATA* lpStrips, const BITMAPFILEENTRY* lpDescs, int32_t nCount, cFont* lpFonts,
                        const FontDesc* lpRecords);
void DrawDigitStrip(DDSURFACEDATA* lpStrip, cFont* lpFont);
// Redraws the glyph sheets after a device reset or a surface loss.
void RestoreFont(cFont* lpFont);
// Releases the font's device objects or GDI font, its glyph sheets and its work surface.
void ReleaseFont(cFont* lpFont);

// Draws a multi-line text with its top-left corner at (x, y). bPlain draws the letters a to z
// as letters even where a letter picture would replace them.
void FontDraw(cFont* lpFont, DDSURFACEDATA* lpDest, int32_t x, int32_t y, const char* lpText, int32_t bPlain = 0);
void FontPrintf(cFont* lpFont, DDSURFACEDATA* lpDest, int32_t x, int32_t y, const char* lpFormat, ...)
    __attribute__((format(printf, 5, 6)));
// A box cut from the window picture; x or y 10000 centres it in the window picture's size.
void FontDrawWindow(cFont* lpFont, DDSURFACEDATA* lpDest, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight);
// A box with the text in it; a width or height of 0 fits the box to the text (width + margin).
void FontDrawInBox(cFont* lpFont, DDSURFACEDATA* lpDest, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight,
                   const char* lpText, int32_t nMargin);
void FontPrintfInBox(cFont* lpFont, DDSURFACEDATA* lpDest, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight,
                     const char* lpFormat, ...) __attribute__((format(printf, 7, 8)));

// Fixed-grid measure: the widest line in characters x advance, lines x line height.
SIZE GetTextExtent(const cFont* lpFont, const char* lpText);
// GDI measure with the font selected in the context: the widest line, lines x line height.
SIZE MeasureTextGdi(const cFont* lpFont, HDC hDC, const char* lpText);
// Bytes up to the first newline or the end.
int32_t LineLength(const char* lpText);

// Entries first to first + count - 1 of a text list as one column in Font16, in a box at (x, y):
// each line the entry (after a space when bCursorRoom is set, leaving room for a cursor).
void DrawTextList(const std::vector<std::string>& vTexts, DDSURFACEDATA* lpDest, int32_t x, int32_t y,
                  int32_t nFirst, int32_t nCount, int32_t bCursorRoom);
