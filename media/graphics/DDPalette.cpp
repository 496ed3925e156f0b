// The palette, the transparent colour and palette-index maps.
//
// In 8-bit DirectDraw mode the palette is the hardware palette. In 16- and 32-bit modes it is
// read from the pixels of the palette image as the surface format shows them, so that a palette
// colour converts to exactly the pixel value a bitmap of that colour has; in 16-bit DirectDraw
// mode its entries therefore hold the display format's channel units.
#include "media/graphics/DDPalette.h"

#include "core/Log.h"
#include "core/MessageBox.h"
#include "media/graphics/BitmapTable.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DDBlitEffects.h"
#include "media/graphics/DDEffects.h"
#include "media/graphics/DDPixel.h"
#include "media/graphics/GraphicsState.h"
#include "platform/graphics/Gdi.h"

namespace {

// The bitmap's depth and, for an 8-bit bitmap, its colour table. False when it cannot be read.
bool ReadBitmapTable(const char* lpFileName, int32_t* lpBits, RGBQUAD* lpTable)
{
    HANDLE h = LoadImageA(nullptr, lpFileName, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!h) return false;
    HBITMAP bmp = static_cast<HBITMAP>(h);
    DIBSECTION ds{};
    if (!GetObjectA(bmp, sizeof(ds), &ds)) {
        DeleteObject(bmp);
        return false;
    }
    *lpBits = ds.dsBm.bmBitsPixel;
    if (*lpBits == 8 && lpTable) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bmp);
        const UINT got = GetDIBColorTable(dc, 0, 256, lpTable);
        for (UINT i = got; i < 256; ++i) lpTable[i] = RGBQUAD{0, 0, 0, 0};
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    DeleteObject(bmp);
    return true;
}

} // namespace

bool DDLoadPaletteFromFile(PALETTEENTRY* lpPalette, const char* lpFileName, int32_t /*nWindowMode*/)
{
    if (!lpPalette || !lpFileName) return false;
    int32_t bits = 0;
    RGBQUAD table[256]{};
    if (!ReadBitmapTable(lpFileName, &bits, table)) return false;
    // Built apart and stored only when the whole load succeeded.
    PALETTEENTRY pal[256];
    for (int i = 0; i < 256; ++i) pal[i] = lpPalette[i];
    if (bits == 8) {
        for (int i = 0; i < 256; ++i) {
            BYTE flags = 255;
            if (!lpDTCon && nBpp == 8) flags = (i < 10 || i >= 246) ? PC_EXPLICIT : PC_RESERVED;
            pal[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, flags};
        }
    }
    if (nBpp == 8) {
        for (int i = 0; i < 256; ++i) lpPalette[i] = pal[i];
        if (!lpDTCon && lpDDPalette) lpDDPalette->SetEntries(0, 0, 256, lpPalette);
        return true;
    }
    // At 16 and 32 bits the palette is what the image's pixels look like in the surface format.
    DDSURFACEDATA temp;
    const int32_t result = DDCreateSurfaceFromFile(&temp, lpFileName, 0, nBpp, 1, DTMEMORYTYPE_SYSTEM, 0, 0, 0, 0, 0);
    if (result != 0) {
        DDReleaseSurface(&temp);
        WriteTraceLogF("%s 作成失敗！", lpFileName);
        return false;
    }
    const int32_t read = DDSetPalette_UnPal(pal, &temp);
    DDReleaseSurface(&temp);
    if (!read) return false;
    for (int i = 0; i < 256; ++i) lpPalette[i] = pal[i];
    return true;
}

int32_t SetTrans(const char* lpFileName)
{
    if (!lpFileName) return 0;
    DDSURFACEDATA temp;
    if (DDCreateSurfaceFromFile(&temp, lpFileName, 0, nBpp, 1, DTMEMORYTYPE_SYSTEM, 0, 0, 0, 0, 0) != 0) {
        WriteTraceLogF("%s 作成失敗！", lpFileName);
        DDReleaseSurface(&temp);
        return 0;
    }
    uint32_t first = 0;
    {
        cSurfaceLock lock;
        if (!lock.Lock(&temp) || lock.m_nWidth < 1 || lock.m_nHeight < 1) {
            WriteTraceLogF("Lock 失敗！");
            lock.Unlock();
            DDReleaseSurface(&temp);
            return 0;
        }
        switch (lock.m_nBytesPerPixel) {
        case 1: first = lock.m_lpBits[0]; break;
        case 2: first = *reinterpret_cast<const uint16_t*>(lock.m_lpBits); break;
        default: first = *reinterpret_cast<const uint32_t*>(lock.m_lpBits); break;
        }
    }
    if (lpDTCon) {
        if (nBpp == 16) {
            dwTransmit = first;
            int32_t bits = 0;
            RGBQUAD table[256]{};
            if (ReadBitmapTable(lpFileName, &bits, table) && bits == 8)
                lpDTCon->rgbColorKey = {table[0].rgbBlue, table[0].rgbGreen, table[0].rgbRed};
            const PIXELMASKS& m = SurfaceMasks;
            DDSetTransmit(static_cast<uint8_t>((first >> m.nRShift) & m.nRMask),
                          static_cast<uint8_t>((first >> m.nGShift) & m.nGMask),
                          static_cast<uint8_t>((first >> m.nBShift) & m.nBMask));
            WriteTraceLogF("SetTrans(filename) lpDTCon->wTransmit_16 = (%x)", lpDTCon->wTransmit_16);
        } else {
            DDSetTransmit(static_cast<uint8_t>(first >> 16), static_cast<uint8_t>(first >> 8),
                          static_cast<uint8_t>(first));
        }
    } else {
        dwTransmit = first;
    }
    DDReleaseSurface(&temp);
    return 1;
}

void DDSetTransmit(uint8_t byRed, uint8_t byGreen, uint8_t byBlue)
{
    const PIXELMASKS& m = SurfaceMasks;
    if (lpDTCon) {
        lpDTCon->rgbTransmit = {byBlue, byGreen, byRed};
        WriteTraceLogF("SetTrans lpDTCon->rgbTransmit.rgbtRed = %d,lpDTCon->rgbTransmit.rgbtGreen = %d,lpDTCon->rgbTransmit.rgbtBlue = %d",
                       byRed, byGreen, byBlue);
        lpDTCon->dwTransmitTexture = 0;
        lpDTCon->dwTransmitBack = 0xFF000000u | (static_cast<uint32_t>(byRed) << 16) |
                                  (static_cast<uint32_t>(byGreen) << 8) | byBlue;
        lpDTCon->wTransmitTexture_16 = 0;
        if (nBpp == 16) {
            lpDTCon->wTransmit_16 = static_cast<uint16_t>(
                ((byBlue & m.nBMask) << m.nBShift) | ((byGreen & m.nGMask) << m.nGShift) |
                ((byRed & m.nRMask) << m.nRShift) | ((m.nAMask & 1) << m.nAShift));
        } else {
            lpDTCon->wTransmit_16 = 0;
            dwTransmit = 0;
            lpDTCon->dwTransmitTexture = 0;
        }
        return;
    }
    if (nBpp == 16) {
        dwTransmit = static_cast<uint16_t>(((byRed * m.nRMask / 255) << m.nRShift) |
                                           ((byGreen * m.nGMask / 255) << m.nGShift) |
                                           ((byBlue * m.nBMask / 255) << m.nBShift));
        WriteTraceLogF("※16bit色で　DDSetTransmit(BYTE cbRed,BYTE cbGreen,BYTE cbBlue)　は未対応！");
        auto back = [](uint32_t v, int32_t shift, int32_t mask) {
            return mask ? static_cast<int>(((v >> shift) & static_cast<uint32_t>(mask)) * 255 / static_cast<uint32_t>(mask)) : 0;
        };
        DebugErrorBoxF("Tr %d RGB32(%d,%d,%d) -> RGB16(%d,%d,%d)", static_cast<int>(dwTransmit), byRed, byGreen,
                       byBlue, back(dwTransmit, m.nRShift, m.nRMask), back(dwTransmit, m.nGShift, m.nGMask),
                       back(dwTransmit, m.nBShift, m.nBMask));
    } else if (nBpp == 32) {
        dwTransmit = (static_cast<uint32_t>(byRed) << 16) | (static_cast<uint32_t>(byGreen) << 8) | byBlue;
    }
}

uint32_t PalNumToRGB(uint32_t dwPalNum)
{
    if (dwPalNum > 255) {
        WriteTraceLogF("PalNumToRGB(DWORD dwPalNum) Err dwPalNum = %d", static_cast<int>(dwPalNum));
        return 0;
    }
    const PALETTEENTRY& e = ColorPalette[dwPalNum];
    const uint32_t rgb = (static_cast<uint32_t>(e.peRed) << 16) | (static_cast<uint32_t>(e.peGreen) << 8) | e.peBlue;
    if (lpDTCon) {
        if (nBpp == 8) return dwPalNum;
        if (dwPalNum == 0) return lpDTCon->dwTransmitTexture;
        return 0xFF000000u | rgb;
    }
    switch (nBpp) {
    case 8: return dwPalNum;
    case 16: return DDPalToRGB16(e);
    case 24:
    case 32: return rgb;
    default: return 0;
    }
}
