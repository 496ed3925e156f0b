#include "media/graphics/PaletteIndexMap.h"

#include <algorithm>
#include <cstring>

#include "core/MessageBox.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/GraphicsState.h"

namespace {

struct LockedPixels {
    const uint8_t* lpBits = nullptr;
    int32_t nPitch = 0;
    int32_t nWidth = 0;    // of the locked buffer
    int32_t nHeight = 0;
    IDirect3DSurface9* lpD3DSurface = nullptr;
    IDirectDrawSurface7* lpDDSurface = nullptr;
};

bool LockForReading(DDSURFACEDATA* lpSD, LockedPixels* lpOut) {
    if (lpDTCon) {
        DDRedirectToBaseSurface(&lpSD);
        if (lpDTCon->bVirBackBuffer && lpSD == &BackBuffer) lpSD = &VirBackBuffer;
        DTSURFACEDATA* lpDT = lpSD->lpDT;
        if (lpDT == nullptr || lpDT->lpSurface == nullptr) return false;
        IDirect3DSurface9* lpSurface = lpDT->lpSurface;
        if (lpDT->bRenderTarget && lpSD != &BackBuffer) {
            if (lpDT->lpSystemSurface == nullptr ||
                FAILED(lpDevice->GetRenderTargetData(lpDT->lpSurface, lpDT->lpSystemSurface)))
                return false;
            lpSurface = lpDT->lpSystemSurface;
        }
        D3DLOCKED_RECT locked{};
        if (FAILED(lpSurface->LockRect(&locked, nullptr, 0))) return false;
        D3DSURFACE_DESC desc{};
        lpSurface->GetDesc(&desc);
        *lpOut = LockedPixels{static_cast<const uint8_t*>(locked.pBits), locked.Pitch, static_cast<int32_t>(desc.Width),
                              static_cast<int32_t>(desc.Height), lpSurface, nullptr};
        return true;
    }
    DDSURFACEDESC2 ddsd{};
    void* lpBits = nullptr;
    if (!DDLock(lpSD, &ddsd, &lpBits, nBpp) || lpBits == nullptr) return false;
    *lpOut = LockedPixels{static_cast<const uint8_t*>(lpBits), ddsd.lPitch, static_cast<int32_t>(ddsd.dwWidth),
                          static_cast<int32_t>(ddsd.dwHeight), nullptr, lpSD->lpDDraw->lpDDSurface};
    return true;
}

uint16_t PaletteTo16(const PALETTEENTRY& e) {
    const PIXELMASKS& m = SurfaceMasks;
    return static_cast<uint16_t>((e.peBlue & m.nBMask) << m.nBShift | (e.peGreen & m.nGMask) << m.nGShift |
                                 (e.peRed & m.nRMask) << m.nRShift);
}

}  // namespace

int32_t DDBuildPaletteIndexMap(DDSURFACEDATA* lpSD) {
    if (lpSD == nullptr) return 0;
    LockedPixels locked;
    if (!LockForReading(lpSD, &locked)) {
        ReportOutOfMemory();
        return 0;
    }
    const int32_t nBytes = nBpp / 8 > 0 ? nBpp / 8 : 1;
    const int32_t nPitchPixels = locked.nPitch / nBytes;
    uint8_t*& lpMap = lpDTCon ? lpSD->lpDT->lpIndexMap : lpSD->lpDDraw->lpIndexMap;
    delete[] lpMap;
    // Pixels of no palette colour map to 0 rather than to whatever memory held.
    lpMap = new uint8_t[static_cast<size_t>(locked.nHeight) * nPitchPixels]();
    const int32_t nWidth = std::min(lpSD->nWidth, locked.nWidth);
    const int32_t nHeight = std::min(lpSD->nHeight, locked.nHeight);
    const bool bKeyed = lpDTCon && lpSD->lpDT->bColorKey;
    for (int32_t y = 0; y < nHeight; ++y) {
        const uint8_t* lpRow = locked.lpBits + static_cast<size_t>(y) * locked.nPitch;
        for (int32_t x = 0; x < nWidth; ++x) {
            uint8_t index = 0;
            if (nBytes == 2) {
                uint16_t pixel;
                std::memcpy(&pixel, lpRow + x * 2, 2);
                if (lpDTCon) {
                    if (!(bKeyed && pixel == 0)) {
                        const PIXELMASKS& m = SurfaceMasks;
                        const int32_t r = ((pixel >> m.nRShift) & m.nRMask) * 255 / m.nRMask;
                        const int32_t g = ((pixel >> m.nGShift) & m.nGMask) * 255 / m.nGMask;
                        const int32_t b = ((pixel >> m.nBShift) & m.nBMask) * 255 / m.nBMask;
                        for (int32_t i = 0; i < 256; ++i) {
                            if (ColorPalette[i].peRed == r && ColorPalette[i].peGreen == g &&
                                ColorPalette[i].peBlue == b) {
                                index = static_cast<uint8_t>(i);
                                break;
                            }
                        }
                    }
                } else {
                    for (int32_t i = 0; i < 256; ++i) {
                        if (PaletteTo16(ColorPalette[i]) == pixel) {
                            index = static_cast<uint8_t>(i);
                            break;
                        }
                    }
                }
            } else if (nBytes >= 3) {
                const uint8_t* p = lpRow + x * nBytes;
                for (int32_t i = 0; i < 256; ++i) {
                    if (p[2] == ColorPalette[i].peRed && p[1] == ColorPalette[i].peGreen &&
                        p[0] == ColorPalette[i].peBlue) {
                        index = static_cast<uint8_t>(i);
                        break;
                    }
                }
            } else {
                index = lpRow[x];
            }
            lpMap[static_cast<size_t>(y) * nPitchPixels + x] = index;
        }
    }
    if (locked.lpD3DSurface) locked.lpD3DSurface->UnlockRect();
    if (locked.lpDDSurface) locked.lpDDSurface->Unlock(nullptr);
    return 1;
}
