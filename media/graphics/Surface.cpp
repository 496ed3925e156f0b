#include "media/graphics/Surface.h"

#include <algorithm>
#include <cstring>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/MessageBox.h"
#include "media/graphics/BitmapTable.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/GraphicsState.h"
#include "media/graphics/SceneTarget.h"
#include "platform/graphics/D3DX9.h"

std::list<DDSURFACEDATA*>& SurfaceList = *new std::list<DDSURFACEDATA*>();

DDSURFACEDATA::DDSURFACEDATA()
    : lpDT(nullptr), lpDDraw(nullptr), szSurfaceType{}, nWidth(0), nHeight(0), nTexWidth(0), nTexHeight(0),
      szFileName{}, dwMemoryType(0), nMirrorWidth(0), nMirrorHeight(0), lpBaseSD(nullptr), bLost(0) {}

DDSURFACEDATA::~DDSURFACEDATA() {
    if (lpDT || lpDDraw) DDReleaseSurface(this);
    SurfaceList.remove(this);
}

void DDSurfaceVector::resize(size_t count) {
    while (m_vItems.size() > count) m_vItems.pop_back();
    while (m_vItems.size() < count) m_vItems.emplace_back(std::make_unique<DDSURFACEDATA>());
}

namespace {

template <class T>
void ReleaseObject(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

void AddToSurfaceList(DDSURFACEDATA* lpSD) {
    if (std::find(SurfaceList.begin(), SurfaceList.end(), lpSD) == SurfaceList.end()) SurfaceList.push_back(lpSD);
}

bool CreateVertexBuffer(DTSURFACEDATA* lpDT, HRESULT* lpResult) {
    const HRESULT hr = lpDevice->CreateVertexBuffer(4 * sizeof(D3DTLVERTEX_TEX1), D3DUSAGE_WRITEONLY,
                                                    D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, D3DPOOL_MANAGED,
                                                    &lpDT->lpVB, nullptr);
    if (lpResult) *lpResult = hr;
    return SUCCEEDED(hr);
}

// The whole DirectDraw surface in palette colour 0, converted as palette fills convert it.
void FillWithColourZero(DDSURFACEDATA* lpSD) {
    if (lpSD->lpDDraw == nullptr || lpSD->lpDDraw->lpDDSurface == nullptr) return;
    const PALETTEENTRY& entry = ColorPalette[0];
    uint32_t colour = 0;
    switch (nBpp) {
    case 8: colour = 0; break;
    case 16:
        colour = static_cast<uint32_t>((entry.peBlue & SurfaceMasks.nBMask) << SurfaceMasks.nBShift |
                                       (entry.peGreen & SurfaceMasks.nGMask) << SurfaceMasks.nGShift |
                                       (entry.peRed & SurfaceMasks.nRMask) << SurfaceMasks.nRShift);
        break;
    case 24:
    case 32: colour = static_cast<uint32_t>(entry.peRed) << 16 | static_cast<uint32_t>(entry.peGreen) << 8 | entry.peBlue; break;
    default: break;
    }
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = colour;
    lpSD->lpDDraw->lpDDSurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

void TextureFailureExit() {
    if (lpDTCon && !lpDTCon->strTextureError.empty()) ErrorBoxF("%s", lpDTCon->strTextureError.c_str());
    PostCloseRequest();
}

bool CreateSurfaceD3D(DDSURFACEDATA* lpSD, int32_t nWidth, int32_t nHeight, int32_t bColorKey, int32_t nDDMemoryType,
                      int32_t nDTMemoryType, int32_t bView, int32_t bRecreate) {
    DDAllocSurfaceData(lpSD);
    DTSURFACEDATA* lpDT = lpSD->lpDT;
    if (!bRecreate) {
        std::strcpy(lpSD->szSurfaceType, "OffScreen");
        std::strcpy(lpSD->szFileName, "E");
        lpDT->dwDTMemoryType = nDTMemoryType;
        // What an earlier creation left behind is given back rather than leaked.
        ReleaseObject(lpDT->lpSurface);
        ReleaseObject(lpDT->lpSystemSurface);
        ReleaseObject(lpDT->lpTexture);
        lpDT->bColorKey = bColorKey == 1 ? 1 : 0;
        if (!bView) {
            lpDT->nId = lpDTCon->nNextSurfaceId++;
            if (lpDT->lpVB == nullptr && !CreateVertexBuffer(lpDT, nullptr)) {
                WriteReportTrace("CreateVertexBuffer Err");
                return false;
            }
        }
    }
    if (bView) {
        lpSD->nWidth = lpSD->nTexWidth = nWidth;
        lpSD->nHeight = lpSD->nTexHeight = nHeight;
        lpSD->dwMemoryType = nDDMemoryType;
        return true;
    }
    int32_t nTexWidth = nWidth, nTexHeight = nHeight;
    DDAdjustTextureSize(&nTexWidth, &nTexHeight);
    if (!DDCheckTextureSize(nTexWidth, nTexHeight))
        WriteReportTrace("上記の理由でテクスチャの描画が失敗する可能性があります。(空)");

    if (nDTMemoryType == DTMEMORYTYPE_VIDEO_NORT) lpDT->dwDTMemoryType = DTMEMORYTYPE_VIDEO_RT;
    if (nDTMemoryType == DTMEMORYTYPE_VIDEO_RT || nDTMemoryType == DTMEMORYTYPE_VIDEO_NORT) {
        lpDT->bRenderTarget = 1;
        ReleaseObject(lpDT->lpTexture);
        const HRESULT hr = D3DXCreateTexture(lpDevice, static_cast<UINT>(nTexWidth), static_cast<UINT>(nTexHeight), 1,
                                             D3DUSAGE_RENDERTARGET, lpDTCon->fmtTexture, D3DPOOL_DEFAULT,
                                             &lpDT->lpTexture);
        if (hr == D3DERR_OUTOFVIDEOMEMORY) {
            WriteReportTrace("VRAM不足のためシステムメモリにテクスチャを作成します。(空)");
            lpDT->dwDTMemoryType = DTMEMORYTYPE_SYSTEM;
        } else if (FAILED(hr)) {
            return false;
        }
    }
    // A system-memory texture survives a device reset, so a re-creation keeps the one it has;
    // a re-created render target that found no video memory gets its first one here.
    if (lpDT->dwDTMemoryType == DTMEMORYTYPE_SYSTEM && (!bRecreate || lpDT->lpTexture == nullptr)) {
        lpDT->bRenderTarget = 0;
        ReleaseObject(lpDT->lpTexture);
        const HRESULT hr = D3DXCreateTexture(lpDevice, static_cast<UINT>(nTexWidth), static_cast<UINT>(nTexHeight), 1,
                                             D3DUSAGE_DYNAMIC, lpDTCon->fmtTexture, D3DPOOL_SYSTEMMEM,
                                             &lpDT->lpTexture);
        if (FAILED(hr)) {
            WriteReportTrace("D3DXCreateTexture Err hr = %x", static_cast<unsigned>(hr));
            TextureFailureExit();
            return false;
        }
    }
    if (lpDT->lpTexture == nullptr) return false;
    ReleaseObject(lpDT->lpSurface);
    HRESULT hr = lpDT->lpTexture->GetSurfaceLevel(0, &lpDT->lpSurface);
    if (FAILED(hr)) {
        WriteReportTrace("GetSurfaceLevel Err hr = %x", static_cast<unsigned>(hr));
        return false;
    }
    lpDT->lpSurface->GetDesc(&lpDT->desc);
    if (lpDT->dwDTMemoryType != DTMEMORYTYPE_SYSTEM && lpDT->lpSystemSurface == nullptr) {
        hr = lpDevice->CreateOffscreenPlainSurface(lpDT->desc.Width, lpDT->desc.Height, lpDT->desc.Format,
                                                   D3DPOOL_SYSTEMMEM, &lpDT->lpSystemSurface, nullptr);
        if (FAILED(hr)) {
            WriteReportTrace("CreateOffscreenPlainSurface Err hr = %x", static_cast<unsigned>(hr));
            TextureFailureExit();
            return false;
        }
    }
    lpSD->nWidth = nWidth;
    lpSD->nHeight = nHeight;
    lpSD->nTexWidth = static_cast<int32_t>(lpDT->desc.Width);
    lpSD->nTexHeight = static_cast<int32_t>(lpDT->desc.Height);
    if (DDSetRenderTarget(0, lpSD)) {
        lpDevice->Clear(0, nullptr, D3DCLEAR_TARGET, lpDTCon->dwTransmitBack, 1.0f, 0);
        if (lpDTCon->lpTargetSD) DDSetRenderTarget(0, lpDTCon->lpTargetSD);
    }
    if (!bRecreate) AddToSurfaceList(lpSD);
    return true;
}

bool CreateSurfaceDirectDraw(DDSURFACEDATA* lpSD, int32_t nWidth, int32_t nHeight, int32_t bColorKey,
                             int32_t nDDMemoryType) {
    if (lpDD == nullptr) return false;
    DDAllocSurfaceData(lpSD);
    ReleaseObject(lpSD->lpDDraw->lpDDSurface);
    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    ddsd.dwWidth = static_cast<DWORD>(nWidth);
    ddsd.dwHeight = static_cast<DWORD>(nHeight);
    if (nDDMemoryType == 0) ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    else if (nDDMemoryType == 1) ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    int32_t nUsed = nDDMemoryType;
    if (FAILED(lpDD->CreateSurface(&ddsd, &lpSD->lpDDraw->lpDDSurface, nullptr))) {
        if (nDDMemoryType != 0) {
            WriteReportTrace("CreateSurface System Err");
            return false;
        }
        ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        if (FAILED(lpDD->CreateSurface(&ddsd, &lpSD->lpDDraw->lpDDSurface, nullptr))) {
            WriteReportTrace("CreateSurface Video -> System Err");
            return false;
        }
        nUsed = 1;
    }
    if (bColorKey == 1) {
        DDCOLORKEY key{dwTransmit, dwTransmit};
        if (FAILED(lpSD->lpDDraw->lpDDSurface->SetColorKey(DDCKEY_SRCBLT, &key))) WriteReportTrace("SetColorKey Err");
    }
    FillWithColourZero(lpSD);
    lpSD->nWidth = lpSD->nTexWidth = nWidth;
    lpSD->nHeight = lpSD->nTexHeight = nHeight;
    lpSD->dwMemoryType = nUsed;
    return true;
}

}  // namespace

void DDAllocSurfaceData(DDSURFACEDATA* lpSD) {
    if (lpSD == nullptr) return;
    if (lpDTCon) {
        if (lpSD->lpDT == nullptr) lpSD->lpDT = new DTSURFACEDATA();
    } else if (lpSD->lpDDraw == nullptr) {
        lpSD->lpDDraw = new DDRAWSURFACEDATA();
    }
}

bool DDCreateSurface(DDSURFACEDATA* lpSD, int32_t nWidth, int32_t nHeight, int32_t bColorKey, int32_t nDDMemoryType,
                     int32_t nDTMemoryType, int32_t bView, int32_t bRecreate) {
    if (lpSD == nullptr || nWidth <= 0 || nHeight <= 0) return false;
    if (lpDTCon) {
        if (lpDevice == nullptr) return false;
        return CreateSurfaceD3D(lpSD, nWidth, nHeight, bColorKey, nDDMemoryType, nDTMemoryType, bView, bRecreate);
    }
    return CreateSurfaceDirectDraw(lpSD, nWidth, nHeight, bColorKey, nDDMemoryType);
}

void DDAdjustTextureSize(int32_t* lpWidth, int32_t* lpHeight) {
    if (lpDTCon == nullptr || lpWidth == nullptr || lpHeight == nullptr) return;
    auto raise = [](int32_t v) {
        if (v <= 0) return v;
        int32_t p = 1;
        while (p < v && p < (1 << 30)) p <<= 1;
        return p;
    };
    if (lpDTCon->bPow2) {
        *lpWidth = raise(*lpWidth);
        *lpHeight = raise(*lpHeight);
    }
    if (lpDTCon->bSquareOnly) *lpWidth = *lpHeight = std::max(*lpWidth, *lpHeight);
}

bool DDCheckTextureSize(int32_t nWidth, int32_t nHeight) {
    if (lpDTCon == nullptr) return true;
    bool bWidthFailed = false;
    if (static_cast<int64_t>(lpDTCon->d3dCaps.MaxTextureWidth) < nWidth) {
        WriteReportTrace("このビデオカードでは横幅%dを超える画像はサポートされていません！",
                         static_cast<int>(lpDTCon->d3dCaps.MaxTextureWidth));
        bWidthFailed = true;
    }
    if (static_cast<int64_t>(lpDTCon->d3dCaps.MaxTextureHeight) < nHeight) {
        WriteReportTrace("このビデオカードでは縦幅%dを超える画像はサポートされていません！",
                         static_cast<int>(lpDTCon->d3dCaps.MaxTextureHeight));
        return false;
    }
    return !bWidthFailed;
}

void DDReleaseSurface(DDSURFACEDATA* lpSD) {
    if (lpSD == nullptr) return;
    if (DTSURFACEDATA* lpDT = lpSD->lpDT) {
        if (lpSD->lpBaseSD == nullptr) {
            ReleaseObject(lpDT->lpTexture);
            ReleaseObject(lpDT->lpVB);
            ReleaseObject(lpDT->lpSystemSurface);
            ReleaseObject(lpDT->lpSurface);
            SurfaceList.remove(lpSD);
            delete[] lpDT->lpIndexMap;
        }
        delete lpDT;
        lpSD->lpDT = nullptr;
    }
    if (DDRAWSURFACEDATA* lpDDraw = lpSD->lpDDraw) {
        ReleaseObject(lpDDraw->lpDDSurface);
        delete[] lpDDraw->lpIndexMap;
        delete lpDDraw;
        lpSD->lpDDraw = nullptr;
    }
}

void DDReleaseSurfaceData(DDSURFACEDATA* lpSD) { DDReleaseSurface(lpSD); }

void DDReleaseSurfaceVector(DDSurfaceVector& vSurfaces) {
    vSurfaces.ForEach([](DDSURFACEDATA& sd) { DDReleaseSurface(&sd); });
}

void DDReleaseSurfaceList(DDSurfaceList& lSurfaces) {
    for (DDSURFACEDATA& sd : lSurfaces) DDReleaseSurface(&sd);
}

namespace {

BITMAPFILEENTRY BlankEntry(int32_t bColorKey, int32_t nDDMemoryType, int32_t nDTMemoryType, int32_t bView) {
    BITMAPFILEENTRY entry;
    std::memset(&entry, 0, sizeof(entry));
    entry.bColorKey = bColorKey;
    entry.nDDMemoryType = nDDMemoryType;
    entry.nDTMemoryType = nDTMemoryType;
    entry.bView = bView;
    return entry;
}

}  // namespace

bool DDAddSurfaceToVector(DDSurfaceVector& vSurfaces, std::vector<BITMAPFILEENTRY>& vEntries, int32_t nWidth,
                          int32_t nHeight, int32_t bColorKey, int32_t nDDMemoryType, int32_t nDTMemoryType,
                          int32_t bView) {
    DDSURFACEDATA& sd = vSurfaces.emplace_back();
    vEntries.push_back(BlankEntry(bColorKey, nDDMemoryType, nDTMemoryType, bView));
    return DDCreateSurface(&sd, nWidth, nHeight, bColorKey, nDDMemoryType, nDTMemoryType, bView, 0);
}

bool DDAddSurfaceToList(DDSurfaceList& lSurfaces, std::list<BITMAPFILEENTRY>& lEntries, int32_t nWidth,
                        int32_t nHeight, int32_t bColorKey, int32_t nDDMemoryType, int32_t nDTMemoryType,
                        int32_t bView) {
    DDSURFACEDATA& sd = lSurfaces.emplace_back();
    lEntries.push_back(BlankEntry(bColorKey, nDDMemoryType, nDTMemoryType, bView));
    return DDCreateSurface(&sd, nWidth, nHeight, bColorKey, nDDMemoryType, nDTMemoryType, bView, 0);
}

bool DDRemoveSurfaceFromList(DDSurfaceList& lSurfaces, std::list<BITMAPFILEENTRY>& lEntries, DDSURFACEDATA* lpSD) {
    size_t nPosition = 0;
    auto it = lSurfaces.begin();
    for (; it != lSurfaces.end(); ++it, ++nPosition)
        if (&*it == lpSD) break;
    if (it == lSurfaces.end()) return false;
    DDReleaseSurface(lpSD);
    lSurfaces.erase(it);
    if (nPosition < lEntries.size()) lEntries.erase(std::next(lEntries.begin(), static_cast<std::ptrdiff_t>(nPosition)));
    return true;
}

void DDRedirectToBaseSurface(DDSURFACEDATA** lplpSD) {
    if (lpDTCon && lplpSD && *lplpSD && (*lplpSD)->lpBaseSD) *lplpSD = (*lplpSD)->lpBaseSD;
}

bool DDLock(DDSURFACEDATA* lpSD, DDSURFACEDESC2* lpDesc, void** lplpBits, int32_t nDepth) {
    if (lpDTCon) {
        // Direct3D surfaces are not locked here: no pixels, so no success.
        WriteTraceLogF("D3DではDDLockは未対応");
        return false;
    }
    if (lpSD == nullptr || lpDesc == nullptr || lpSD->lpDDraw == nullptr || lpSD->lpDDraw->lpDDSurface == nullptr)
        return false;
    std::memset(lpDesc, 0, sizeof(*lpDesc));
    lpDesc->dwSize = sizeof(*lpDesc);
    if (FAILED(lpSD->lpDDraw->lpDDSurface->Lock(nullptr, lpDesc, DDLOCK_WAIT, nullptr))) return false;
    if (nDepth != 8 && nDepth != 16 && nDepth != 24 && nDepth != 32) {
        // A depth with no pixel pointer to give is no lock.
        lpSD->lpDDraw->lpDDSurface->Unlock(nullptr);
        return false;
    }
    if (lplpBits) *lplpBits = lpDesc->lpSurface;
    return true;
}
