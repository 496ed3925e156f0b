#include "media/graphics/DeviceRestore.h"

#include <cstring>
#include <vector>

#include "core/Log.h"
#include "media/graphics/BitmapTable.h"
#include "media/graphics/ColorPalette.h"
#include "platform/graphics/Gdi.h"

namespace {

FontRestoreHooks g_FontHooks;

template <class T>
void ReleaseObject(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

bool HasFile(const DDSURFACEDATA* lpSD) {
    return lpSD->szFileName[0] != '\0' && std::strcmp(lpSD->szFileName, "E") != 0;
}

}  // namespace

void SetFontRestoreHooks(const FontRestoreHooks& hooks) { g_FontHooks = hooks; }

int32_t DDRestoreSurface() {
    WriteTraceLogF("Restore In");
    if (lpDTCon == nullptr || lpDevice == nullptr) {
        WriteTraceLogF("DDではDDRestoreSurfaceは未対応");
        return 1;
    }
    for (DDSURFACEDATA* lpSD : SurfaceList) {
        if (lpSD->lpDT == nullptr || lpSD->lpDT->dwDTMemoryType == DTMEMORYTYPE_SYSTEM) continue;
        ReleaseObject(lpSD->lpDT->lpTexture);
        ReleaseObject(lpSD->lpDT->lpSurface);
    }
    if (g_FontHooks.lostDevice) g_FontHooks.lostDevice();
    if (BackBuffer.lpDT) ReleaseObject(BackBuffer.lpDT->lpSurface);

    WriteTraceLogF("a-");
    if (lpDevice->TestCooperativeLevel() != D3DERR_DEVICENOTRESET) {
        WriteTraceLogF("復旧失敗…リセット可能な状態ではありません…");
        return 0;
    }
    WriteTraceLogF("a");
    if (FAILED(lpDevice->Reset(&lpDTCon->d3dpp))) return 0;
    lpDTCon->bInScene = 0;
    DDSetDefaultStates();
    if (BackBuffer.lpDT) {
        lpDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &BackBuffer.lpDT->lpSurface);
        if (BackBuffer.lpDT->lpSurface) BackBuffer.lpDT->lpSurface->GetDesc(&BackBuffer.lpDT->desc);
    }
    if (g_FontHooks.resetDevice) g_FontHooks.resetDevice();

    // A snapshot: a mirrored bitmap loads a temporary surface that passes through the list.
    const std::vector<DDSURFACEDATA*> vSurfaces(SurfaceList.begin(), SurfaceList.end());
    int32_t i = 0;
    for (DDSURFACEDATA* lpSD : vSurfaces) {
        WriteTraceLogF("i = %d lpSD->szSurfaceType = %s lpSD->szFileName = %s Size = (%d,%d)", i++,
                       lpSD->szSurfaceType, lpSD->szFileName, lpSD->nWidth, lpSD->nHeight);
        if (lpSD->lpDT == nullptr) continue;
        bool bDone;
        if (HasFile(lpSD)) {
            char szName[260];
            std::memcpy(szName, lpSD->szFileName, sizeof(szName));
            // The palette-index map is rebuilt when the surface had one.
            bDone = DDCreateSurfaceFromFile(lpSD, szName, lpSD->lpDT->bColorKey, nBpp, lpSD->dwMemoryType,
                                            lpSD->lpDT->dwDTMemoryType, lpSD->lpBaseSD != nullptr,
                                            lpSD->lpDT->lpIndexMap != nullptr, lpSD->nMirrorWidth,
                                            lpSD->nMirrorHeight, 1) == 0;
        } else {
            bDone = DDCreateSurface(lpSD, lpSD->nWidth, lpSD->nHeight, lpSD->lpDT->bColorKey, lpSD->dwMemoryType,
                                    lpSD->lpDT->dwDTMemoryType, lpSD->lpBaseSD != nullptr, 1);
            lpSD->bLost = 1;
        }
        if (!bDone) WriteTraceLogF("Err");
    }
    if (g_FontHooks.restoreFonts) g_FontHooks.restoreFonts();
    if (nWindowMode == 0) ShowWindow(hGraphicsWnd, SW_SHOWNORMAL);
    WriteTraceLogF("Restore Out");
    return 1;
}

bool DDRestore() {
    if (lpDTCon) {
        WriteTraceLogF("D3DではDDRestoreは未対応");
        return true;
    }
    if (PrimarySD.lpDDraw == nullptr || PrimarySD.lpDDraw->lpDDSurface == nullptr ||
        PrimarySD.lpDDraw->lpDDSurface->IsLost() != DDERR_SURFACELOST)
        return true;
    PrimarySD.lpDDraw->lpDDSurface->Restore();
    if (BackBuffer.lpDDraw && BackBuffer.lpDDraw->lpDDSurface &&
        BackBuffer.lpDDraw->lpDDSurface->IsLost() == DDERR_SURFACELOST)
        BackBuffer.lpDDraw->lpDDSurface->Restore();
    if (lpSurfaceArray) {
        for (int32_t i = 0; i < nSurfaceCount; ++i) {
            DDSURFACEDATA* lpSD = &lpSurfaceArray[i];
            if (lpSD->lpDDraw == nullptr || lpSD->lpDDraw->lpDDSurface == nullptr) continue;
            if (lpSD->lpDDraw->lpDDSurface->IsLost() != DDERR_SURFACELOST) continue;
            lpSD->lpDDraw->lpDDSurface->Restore();
            if (lpSD->dwMemoryType != 0) continue;
            if (HasFile(lpSD)) DDReloadSurface(lpSD, nBpp);
            else lpSD->bLost = 1;
        }
    }
    if (nBpp == 8 && lpDDPalette) lpDDPalette->SetEntries(0, 0, 256, ColorPaletteWork);
    if (g_FontHooks.restoreFonts) g_FontHooks.restoreFonts();
    return true;
}

void DDGetPixelFormatMasks(PIXELMASKS* lpMasks) {
    if (lpDTCon || lpMasks == nullptr || PrimarySD.lpDDraw == nullptr || PrimarySD.lpDDraw->lpDDSurface == nullptr)
        return;
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(pf);
    if (FAILED(PrimarySD.lpDDraw->lpDDSurface->GetPixelFormat(&pf))) return;
    auto read = [&](DWORD bits, int32_t* lpShift, int32_t* lpMask) {
        // Counted afresh each time: a second start must not add to the shifts of the first.
        int32_t shift = 0;
        while (shift < static_cast<int32_t>(pf.dwRGBBitCount) && shift < 32 && ((bits >> shift) & 1) == 0) ++shift;
        *lpShift = shift;
        *lpMask = shift < 32 ? static_cast<int32_t>(bits >> shift) : 0;
    };
    read(pf.dwRBitMask, &lpMasks->nRShift, &lpMasks->nRMask);
    read(pf.dwGBitMask, &lpMasks->nGShift, &lpMasks->nGMask);
    read(pf.dwBBitMask, &lpMasks->nBShift, &lpMasks->nBMask);
}
