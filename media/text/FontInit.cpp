// Making, restoring and releasing fonts, their glyph sheets and digit strips.
#include <algorithm>
#include <cstring>
#include <string>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/Text.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/DeviceRestore.h"
#include "media/graphics/GraphicsState.h"
#include "media/graphics/SceneTarget.h"
#include "media/text/Font.h"
#include "media/text/FontInternal.h"
#include "platform/graphics/WinFont.h"

namespace {

// The 256 full-width characters every full-width sheet starts with.
const char FullSheetCharacters[] =
    "０１２３４５６７８９ー～、。．！？「」（）・…※→↑↓←＋－＝○●×ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ"
    "ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめも"
    "やゆよらりるれろわをんがぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽぁぃぅぇぉっゃゅょアイウエオカキクケコサシスセソ"
    "タチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲンガギグゲゴザジズゼゾダヂヅデトバビブベボヴパピプペポァィゥェォッャュョ"
    "□■☆★％＆＜＞：";

uint32_t ComputeTextColor(int32_t nColorIndex)
{
    if (nBpp == 0) return 0;
    const PALETTEENTRY& entry = ColorPalette[nColorIndex & 0xFF];
    if (lpDTCon != nullptr)
        return 0xFF000000u | static_cast<uint32_t>(entry.peRed) << 16 | static_cast<uint32_t>(entry.peGreen) << 8 |
               entry.peBlue;
    if (nBpp == 8) {
        // GDI on a palettised surface writes this index itself, so the text is exactly the
        // palette colour even where two entries share a colour.
        return PALETTEINDEX(static_cast<WORD>(nColorIndex & 0xFF));
    }
    uint32_t red = entry.peRed, green = entry.peGreen, blue = entry.peBlue;
    if (nBpp == 16) {
        // At 16 bits the palette holds the display's channel units: widen them to 0..255.
        auto widen = [](uint32_t value, int32_t mask) { return mask > 0 ? value * 255u / static_cast<uint32_t>(mask) : 0u; };
        red = widen(red, SurfaceMasks.nRMask);
        green = widen(green, SurfaceMasks.nGMask);
        blue = widen(blue, SurfaceMasks.nBMask);
        red = std::min<uint32_t>(red, 255);
        green = std::min<uint32_t>(green, 255);
        blue = std::min<uint32_t>(blue, 255);
    }
    return RGB(static_cast<BYTE>(red), static_cast<BYTE>(green), static_cast<BYTE>(blue));
}

void FreeSheets(cFont* lpFont)
{
    delete lpFont->m_lpFastFont_Half;
    delete lpFont->m_lpFastFont_FullAdd;
    lpFont->m_lpFastFont_Half = nullptr;
    lpFont->m_lpFastFont_FullAdd = nullptr;
}

// Copies a face name into the 32 bytes of the Direct3D font without splitting a character.
void CopyFaceName32(char* lpOut, const char* lpFace)
{
    size_t at = 0;
    while (lpFace[at] != '\0') {
        const size_t length = IsDbcsPair(lpFace + at) ? 2 : 1;
        if (at + length > 31) break;
        at += length;
    }
    std::memcpy(lpOut, lpFace, at);
    lpOut[at] = '\0';
}

void FontsLostDevice()
{
    int32_t i = 0;
    for (cFont* font : FontList) {
        WriteTraceLogF("Font %d = %d", i++, static_cast<int32_t>(FontList.size()));
        if (font->m_lpD3DXFont != nullptr) {
            const HRESULT hr = font->m_lpD3DXFont->OnLostDevice();
            if (FAILED(hr)) WriteTraceLogF("lpFont->OnLostDevice hr = %d", hr);
        }
        if (font->m_lpSprite != nullptr) {
            const HRESULT hr = font->m_lpSprite->OnLostDevice();
            if (FAILED(hr)) WriteTraceLogF("lpFont->OnLostDevice hr = %d", hr);
        }
    }
}

void FontsResetDevice()
{
    for (cFont* font : FontList) {
        if (font->m_lpD3DXFont != nullptr) font->m_lpD3DXFont->OnResetDevice();
        if (font->m_lpSprite != nullptr) font->m_lpSprite->OnResetDevice();
    }
}

void FontsRestore()
{
    for (cFont* font : FontList) RestoreFont(font);
    // The digit strips are blank surfaces too: a Direct3D reset re-creates them empty.
    for (int32_t i = 0; i < FONT_COUNT; ++i) {
        if (FontDigitStrips[i].bLost && SurfaceExists(&FontDigitStrips[i])) {
            DrawDigitStrip(&FontDigitStrips[i], &FontTable[i]);
            FontDigitStrips[i].bLost = 0;
        }
    }
}

void RegisterRestoreHooks()
{
    static bool registered = false;
    if (registered) return;
    FontRestoreHooks hooks;
    hooks.lostDevice = FontsLostDevice;
    hooks.resetDevice = FontsResetDevice;
    hooks.restoreFonts = FontsRestore;
    SetFontRestoreHooks(hooks);
    registered = true;
}

DDSURFACEDATA* PictureSurface(int32_t nNumber)
{
    if (lpSurfaceArray == nullptr || nNumber < 0 || nNumber >= nSurfaceCount) return nullptr;
    return &lpSurfaceArray[nNumber];
}

}  // namespace

bool SurfaceExists(const DDSURFACEDATA* lpSD)
{
    if (lpSD == nullptr) return false;
    // A view of another surface (Direct3D) draws that surface's texture.
    if (lpDTCon != nullptr && lpSD->lpBaseSD != nullptr && lpSD->lpBaseSD != lpSD) lpSD = lpSD->lpBaseSD;
    if (lpSD->lpDT != nullptr && lpSD->lpDT->lpTexture != nullptr) return true;
    return lpSD->lpDDraw != nullptr && lpSD->lpDDraw->lpDDSurface != nullptr;
}

bool GlyphCacheReady(const cFont* lpFont)
{
    return lpFont->m_bGlyphCache && lpFont->m_lpFastFont_Half != nullptr && lpFont->m_lpFastFont_FullAdd != nullptr;
}

cFont::cFont()
    : m_nFontId(0), m_hFont(nullptr), m_lpD3DXFont(nullptr), m_lpSprite(nullptr), m_szFaceName{}, m_nGdiWidth(0),
      m_nHeight(0), m_nAdvance(0), m_nLineHeight(0), m_nColorIndex(0), m_dwTextColor(0), m_bCentre(0),
      m_lpWindowSD(nullptr), m_nFrameThickness(0), m_nFrameColor(0), m_lpLetterSD(nullptr), m_bLetterPictures(0),
      m_bGlyphCache(0), m_lpFastFont_Half(nullptr), m_lpFastFont_FullAdd(nullptr)
{
}

cFont::~cFont()
{
    // Device objects are released by ReleaseFont before the device goes; only the sheets'
    // memory is left to free here.
    FontList.remove(this);
    FreeSheets(this);
}

void RenderHalfSheet(cFont* lpFont)
{
    cFastFont* sheet = lpFont->m_lpFastFont_Half;
    if (sheet == nullptr) return;
    // Row 0 (the control codes) stays empty; rows 1 to 15 hold their sixteen bytes each.
    std::string text = "\n";
    for (int row = 1; row < 16; ++row) {
        for (int column = 0; column < 16; ++column) text += static_cast<char>(16 * row + column);
        text += '\n';
    }
    DDFillRect(&sheet->m_SheetSD, 0, 0, sheet->m_SheetSD.nWidth, sheet->m_SheetSD.nHeight, 0);
    const int32_t cache = lpFont->m_bGlyphCache;
    const int32_t letters = lpFont->m_bLetterPictures;
    lpFont->m_bGlyphCache = 0;
    lpFont->m_bLetterPictures = 0;
    FontDraw(lpFont, &sheet->m_SheetSD, 0, 0, text.c_str());
    lpFont->m_bGlyphCache = cache;
    lpFont->m_bLetterPictures = letters;
}

void RenderFullSheet(cFont* lpFont, bool bRedraw)
{
    cFastFont* sheet = lpFont->m_lpFastFont_FullAdd;
    if (sheet == nullptr) return;
    if (!bRedraw) {
        for (const char* p = FullSheetCharacters; p[0] != '\0' && p[1] != '\0'; p += 2)
            if (!sheet->AddGlyph(p)) break;
    }
    std::string text;
    int32_t inRow = 0;
    for (const GlyphEntry& glyph : sheet->m_vGlyphs) {
        text.append(glyph.szCode, 2);
        if (++inRow == sheet->m_nColumns) {
            text += '\n';
            inRow = 0;
        }
    }
    DDFillRect(&sheet->m_SheetSD, 0, 0, sheet->m_SheetSD.nWidth, sheet->m_SheetSD.nHeight, 0);
    const int32_t cache = lpFont->m_bGlyphCache;
    const int32_t letters = lpFont->m_bLetterPictures;
    lpFont->m_bGlyphCache = 0;
    lpFont->m_bLetterPictures = 0;
    FontDraw(lpFont, &sheet->m_SheetSD, 0, 0, text.c_str());
    lpFont->m_bGlyphCache = cache;
    lpFont->m_bLetterPictures = letters;
}

void InitFont(cFont* lpFont, const char* lpFace, int32_t nGdiWidth, int32_t nHeight, int32_t nAdvance,
              int32_t nLineHeight, int32_t nColor, DDSURFACEDATA* lpWindowSD, int32_t nFrameThickness,
              int32_t nFrameColor, DDSURFACEDATA* lpLetterSD, int32_t nGlyphCache)
{
    if (lpFont == nullptr) return;
    // The glyph renderer behind the font calls comes with the first font (the host may have
    // installed it already for its dialogs).
    InstallFontRasterizer();
    RegisterRestoreHooks();
    const char* face = lpFace != nullptr ? lpFace : "";
    std::strncpy(lpFont->m_szFaceName, face, sizeof(lpFont->m_szFaceName) - 1);
    lpFont->m_szFaceName[sizeof(lpFont->m_szFaceName) - 1] = '\0';
    lpFont->m_nGdiWidth = nGdiWidth;
    lpFont->m_nHeight = nHeight;
    lpFont->m_nAdvance = nAdvance < 0 ? 0 : nAdvance;
    lpFont->m_nLineHeight = nLineHeight < 0 ? 0 : nLineHeight;
    lpFont->m_nColorIndex = nColor;
    lpFont->m_dwTextColor = ComputeTextColor(nColor);
    lpFont->m_lpWindowSD = lpWindowSD;
    lpFont->m_nFrameThickness = nFrameThickness;
    lpFont->m_nFrameColor = nFrameColor;
    lpFont->m_lpLetterSD = lpLetterSD;
    lpFont->m_bLetterPictures = lpLetterSD != nullptr;
    lpFont->m_bGlyphCache = nGlyphCache;

    if (lpDTCon != nullptr) {
        if (lpFont->m_lpD3DXFont != nullptr) lpFont->m_lpD3DXFont->Release();
        if (lpFont->m_lpSprite != nullptr) lpFont->m_lpSprite->Release();
        lpFont->m_lpD3DXFont = nullptr;
        lpFont->m_lpSprite = nullptr;
        D3DXFONT_DESCA desc{};
        desc.Height = nHeight;
        desc.Width = 0;
        desc.Weight = FW_NORMAL;
        desc.MipLevels = 1;
        desc.Italic = 0;
        desc.CharSet = SHIFTJIS_CHARSET;
        CopyFaceName32(desc.FaceName, lpFont->m_szFaceName);
        D3DXCreateFontIndirectA(lpDevice, &desc, &lpFont->m_lpD3DXFont);
        D3DXCreateSprite(lpDevice, &lpFont->m_lpSprite);
        if (!SurfaceExists(&lpFont->m_WorkSD))
            DDCreateSurface(&lpFont->m_WorkSD, nScreenWidth, nScreenHeight, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0);
        lpFont->m_nFontId = lpDTCon->nNextFontId++;
    } else {
        if (lpFont->m_hFont != nullptr) DeleteObject(lpFont->m_hFont);
        lpFont->m_hFont = CreateFontA(nHeight, nGdiWidth, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                                      lpFont->m_szFaceName);
        if (!SurfaceExists(&lpFont->m_WorkSD) &&
            !DDCreateSurface(&lpFont->m_WorkSD, nScreenWidth, nScreenHeight, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0)) {
            WriteTraceLog("DDCreateSurface Font::Work");
            PostCloseRequest();
            return;
        }
        if (lpDDCon != nullptr) lpFont->m_nFontId = lpDDCon->nNextFontId++;
    }
    if (std::find(FontList.begin(), FontList.end(), lpFont) == FontList.end()) FontList.push_back(lpFont);

    if (!lpFont->m_bGlyphCache) {
        FreeSheets(lpFont);
        return;
    }
    if (lpFont->m_nAdvance == 0 || lpFont->m_nLineHeight == 0) {
        WriteTraceLog("※フォントクラスで文字間が未設定！");
        FreeSheets(lpFont);
        return;
    }
    FreeSheets(lpFont);
    lpFont->m_lpFastFont_Half = new cFastFont(0, lpFont->m_nAdvance, lpFont->m_nLineHeight, 16, 16);
    if (!lpFont->m_lpFastFont_Half->CreateSheet()) {
        WriteTraceLog("m_lpFastFont_Half Err");
        FreeSheets(lpFont);
        PostCloseRequest();
        return;
    }
    int32_t columns, rows;
    if (lpDTCon != nullptr) {
        columns = std::min(1024 / lpFont->m_nAdvance, 32);
        rows = std::min(1024 / lpFont->m_nLineHeight, 32);
    } else {
        columns = std::min(640 / lpFont->m_nAdvance, 32);
        rows = std::min(480 / lpFont->m_nLineHeight, 30);
    }
    lpFont->m_lpFastFont_FullAdd = new cFastFont(1, lpFont->m_nAdvance, lpFont->m_nLineHeight, columns, rows);
    if (columns <= 0 || rows <= 0 || !lpFont->m_lpFastFont_FullAdd->CreateSheet()) {
        WriteTraceLog("m_lpFastFont_FullAdd Err");
        FreeSheets(lpFont);
        PostCloseRequest();
        return;
    }
    RenderHalfSheet(lpFont);
    RenderFullSheet(lpFont, false);
}

int CreateFontTable(cFont* lpFonts, const FontDesc* lpRecords, int32_t nCount)
{
    for (int32_t i = 0; i < nCount; ++i) {
        const FontDesc& record = lpRecords[i];
        InitFont(&lpFonts[i], record.szFaceName, record.nGdiWidth, record.nHeight, record.nAdvance,
                 record.nLineHeight, record.nColor, PictureSurface(record.nWindowPicture), record.nFrameThickness,
                 record.nFrameColor, PictureSurface(record.nLetterPicture), record.nGlyphCache);
    }
    return 1;
}

void DrawDigitStrip(DDSURFACEDATA* lpStrip, cFont* lpFont)
{
    DDFillRect(lpStrip, 0, 0, lpStrip->nWidth, lpStrip->nHeight, 0);
    FontDraw(lpFont, lpStrip, 0, 0, "0123456789");
}

int CreateDigitSurfaces(DDSURFACEDATA* lpStrips, const BITMAPFILEENTRY* lpDescs, int32_t nCount, cFont* lpFonts,
                        const FontDesc* lpRecords)
{
    int result = 1;
    for (int32_t i = 0; i < nCount; ++i) {
        const BITMAPFILEENTRY& desc = lpDescs[i];
        if (!DDCreateSurface(&lpStrips[i], 10 * lpRecords[i].nAdvance, lpRecords[i].nLineHeight, desc.bColorKey,
                             desc.nDDMemoryType, desc.nDTMemoryType, desc.bView, 0)) {
            WriteTraceLogF("DDCreateSurface FontDigitStrips[%d]", i);
            result = 0;
            continue;
        }
        DrawDigitStrip(&lpStrips[i], &lpFonts[i]);
    }
    return result;
}

void RestoreFont(cFont* lpFont)
{
    if (lpFont == nullptr) return;
    if (lpDTCon != nullptr) {
        if (lpFont->m_lpFastFont_Half != nullptr && lpFont->m_lpFastFont_Half->m_SheetSD.bLost) {
            RenderHalfSheet(lpFont);
            lpFont->m_lpFastFont_Half->m_SheetSD.bLost = 0;
        }
        if (lpFont->m_lpFastFont_FullAdd != nullptr && lpFont->m_lpFastFont_FullAdd->m_SheetSD.bLost) {
            RenderFullSheet(lpFont, true);
            lpFont->m_lpFastFont_FullAdd->m_SheetSD.bLost = 0;
        }
        return;
    }
    auto restore = [](DDSURFACEDATA* lpSD) {
        if (lpSD->lpDDraw == nullptr || lpSD->lpDDraw->lpDDSurface == nullptr) return;
        if (lpSD->lpDDraw->lpDDSurface->IsLost() == DDERR_SURFACELOST) lpSD->lpDDraw->lpDDSurface->Restore();
    };
    restore(&lpFont->m_WorkSD);
    if (lpFont->m_lpFastFont_Half != nullptr) restore(&lpFont->m_lpFastFont_Half->m_SheetSD);
    if (lpFont->m_lpFastFont_FullAdd != nullptr) restore(&lpFont->m_lpFastFont_FullAdd->m_SheetSD);
    RenderHalfSheet(lpFont);
    RenderFullSheet(lpFont, true);
}

void ReleaseFont(cFont* lpFont)
{
    if (lpFont == nullptr) return;
    if (lpFont->m_lpD3DXFont != nullptr) lpFont->m_lpD3DXFont->Release();
    if (lpFont->m_lpSprite != nullptr) lpFont->m_lpSprite->Release();
    lpFont->m_lpD3DXFont = nullptr;
    lpFont->m_lpSprite = nullptr;
    if (lpFont->m_hFont != nullptr) DeleteObject(lpFont->m_hFont);
    lpFont->m_hFont = nullptr;
    FreeSheets(lpFont);
    DDReleaseSurface(&lpFont->m_WorkSD);
    FontList.remove(lpFont);
}
