#include "media/graphics/BitmapTable.h"

#include <algorithm>
#include <cstring>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/MessageBox.h"
#include "media/graphics/GraphicsState.h"
#include "media/graphics/PaletteIndexMap.h"
#include "media/graphics/SceneTarget.h"
#include "platform/graphics/D3DX9.h"
#include "platform/graphics/Gdi.h"

namespace {

template <class T>
void ReleaseObject(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

void CopyName(char (&out)[260], const char* lpName) {
    const size_t length = lpName ? strnlen(lpName, sizeof(out) - 1) : 0;
    if (length) std::memmove(out, lpName, length);
    out[length] = '\0';
}

// The size of a bitmap file; false when it cannot be loaded.
bool ReadBitmapSize(const char* lpFileName, int32_t* lpWidth, int32_t* lpHeight) {
    HANDLE hBitmap = LoadImageA(nullptr, lpFileName, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (hBitmap == nullptr) return false;
    BITMAP bm{};
    const bool ok = GetObjectA(static_cast<HGDIOBJ>(hBitmap), sizeof(bm), &bm) != 0;
    DeleteObject(static_cast<HGDIOBJ>(hBitmap));
    *lpWidth = bm.bmWidth;
    *lpHeight = bm.bmHeight;
    return ok;
}

void AddToSurfaceList(DDSURFACEDATA* lpSD) {
    if (std::find(SurfaceList.begin(), SurfaceList.end(), lpSD) == SurfaceList.end()) SurfaceList.push_back(lpSD);
}

int32_t CreateFromFileD3D(DDSURFACEDATA* lpSD, const char* lpFileName, int32_t bColorKey, int32_t nDepth,
                          int32_t nDDMemoryType, int32_t nDTMemoryType, int32_t bView, int32_t bPaletteMap,
                          int32_t nMirrorWidth, int32_t nMirrorHeight, int32_t bRecreate) {
    DDAllocSurfaceData(lpSD);
    DTSURFACEDATA* lpDT = lpSD->lpDT;
    if (!bRecreate) {
        std::strcpy(lpSD->szSurfaceType, "OffScreenFromFile");
        if (lpFileName != lpSD->szFileName) CopyName(lpSD->szFileName, lpFileName);
        lpDT->dwDTMemoryType = nDTMemoryType;
        ReleaseObject(lpDT->lpSurface);
        ReleaseObject(lpDT->lpSystemSurface);
        ReleaseObject(lpDT->lpTexture);
        lpDT->bColorKey = bColorKey == 1 ? 1 : 0;
        if (!bView) {
            lpDT->nId = lpDTCon->nNextSurfaceId++;
            if (lpDT->lpVB == nullptr) {
                const HRESULT hr = lpDevice->CreateVertexBuffer(4 * sizeof(D3DTLVERTEX_TEX1), D3DUSAGE_WRITEONLY,
                                                                D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1,
                                                                D3DPOOL_MANAGED, &lpDT->lpVB, nullptr);
                if (FAILED(hr)) {
                    WriteReportTrace("CreateVertexBuffer Err %x", static_cast<unsigned>(hr));
                    return VERTEXBUFFER_ERR;
                }
            }
        }
    }
    int32_t nWidth = 0, nHeight = 0;
    if (!ReadBitmapSize(lpFileName, &nWidth, &nHeight)) {
        if (lpFileName && lpFileName[0]) WriteReportTrace("LoadImage Err %s", lpFileName);
        return LOADIMAGE_ERR;
    }
    if (bView) {
        lpSD->nWidth = lpSD->nTexWidth = nWidth;
        lpSD->nHeight = lpSD->nTexHeight = nHeight;
    } else {
        int32_t nTexWidth = nWidth, nTexHeight = nHeight;
        DDAdjustTextureSize(&nTexWidth, &nTexHeight);
        if (!DDCheckTextureSize(nTexWidth, nTexHeight))
            WriteReportTrace("上記の理由でテクスチャの描画が失敗する可能性があります。(%s)", lpFileName);
        const RGBTRIPLE& key = nDepth == 16 ? lpDTCon->rgbColorKey : lpDTCon->rgbTransmit;
        const D3DCOLOR dwColorKey = 0xFF000000u | static_cast<uint32_t>(key.rgbtRed) << 16 |
                                    static_cast<uint32_t>(key.rgbtGreen) << 8 | key.rgbtBlue;
        int32_t nType = nDTMemoryType;
        if (nType == DTMEMORYTYPE_VIDEO_NORT) {
            WriteTraceLog("DDCreateSurfaceFromFile Err DTMEMORYTYPE_VIDEO_NORTの指定は未対応です。"
                          "DTMEMORYTYPE_VIDEO_RTでテクスチャを作成します。");
            lpDT->dwDTMemoryType = DTMEMORYTYPE_VIDEO_RT;
            nType = DTMEMORYTYPE_VIDEO_RT;
        }
        if (nType == DTMEMORYTYPE_VIDEO_RT) {
            lpDT->bRenderTarget = 0;
            ReleaseObject(lpDT->lpTexture);
            const HRESULT hr = D3DXCreateTextureFromFileExA(
                lpDevice, lpFileName, static_cast<UINT>(nTexWidth), static_cast<UINT>(nTexHeight), 1, 0,
                lpDTCon->fmtTexture, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_DEFAULT, dwColorKey, nullptr, nullptr,
                &lpDT->lpTexture);
            if (hr == D3DERR_OUTOFVIDEOMEMORY) {
                WriteReportTrace("VRAM不足のためシステムメモリにテクスチャを作成します。(%s)", lpFileName);
                nType = DTMEMORYTYPE_SYSTEM;
                lpDT->dwDTMemoryType = DTMEMORYTYPE_SYSTEM;
            } else if (FAILED(hr)) {
                WriteReportTrace("テクスチャの作成に失敗。(%s)", lpFileName);
                return hr;
            }
        }
        // A system-memory texture survives a reset; one that never got a texture loads it now.
        if (nType == DTMEMORYTYPE_SYSTEM && (!bRecreate || lpDT->lpTexture == nullptr)) {
            lpDT->bRenderTarget = 0;
            ReleaseObject(lpDT->lpTexture);
            const HRESULT hr = D3DXCreateTextureFromFileExA(
                lpDevice, lpFileName, static_cast<UINT>(nTexWidth), static_cast<UINT>(nTexHeight), 1,
                D3DUSAGE_DYNAMIC, lpDTCon->fmtTexture, D3DPOOL_SYSTEMMEM, D3DX_FILTER_NONE, D3DX_DEFAULT, dwColorKey,
                nullptr, nullptr, &lpDT->lpTexture);
            if (FAILED(hr)) {
                WriteReportTrace("D3DXCreateTextureFromFileEx Err %x %s", static_cast<unsigned>(hr), lpFileName);
                if (!lpDTCon->strTextureError.empty()) ErrorBoxF("%s", lpDTCon->strTextureError.c_str());
                PostCloseRequest();
                return hr;
            }
        }
        if (lpDT->lpTexture == nullptr) return LOADIMAGE_ERR;
        ReleaseObject(lpDT->lpSurface);
        lpDT->lpTexture->GetSurfaceLevel(0, &lpDT->lpSurface);
        if (lpDT->lpSurface) lpDT->lpSurface->GetDesc(&lpDT->desc);
        lpSD->nWidth = nWidth;
        lpSD->nHeight = nHeight;
        lpSD->nTexWidth = static_cast<int32_t>(lpDT->desc.Width);
        lpSD->nTexHeight = static_cast<int32_t>(lpDT->desc.Height);

        if (nMirrorWidth != 0 || nMirrorHeight != 0) {
            DDSURFACEDATA temporary;
            if (CreateFromFileD3D(&temporary, lpFileName, bColorKey, nDepth, nDDMemoryType, lpDT->dwDTMemoryType, 0,
                                  bPaletteMap, 0, 0, 0) == 0)
                CreateMirror(lpSD, &temporary, nMirrorWidth, nMirrorHeight);
            DDReleaseSurface(&temporary);
        }
        if (!bRecreate) AddToSurfaceList(lpSD);
    }
    lpSD->nMirrorWidth = nMirrorWidth;
    lpSD->nMirrorHeight = nMirrorHeight;
    lpSD->dwMemoryType = nDDMemoryType;
    delete[] lpDT->lpIndexMap;
    lpDT->lpIndexMap = nullptr;
    // A view shows its base surface's pixels; without a base there is nothing to map yet.
    if (bPaletteMap && nDepth != 8 && (!bView || lpSD->lpBaseSD != nullptr)) DDBuildPaletteIndexMap(lpSD);
    return 0;
}

int32_t CreateFromFileDirectDraw(DDSURFACEDATA* lpSD, const char* lpFileName, int32_t bColorKey, int32_t nDepth,
                                 int32_t nDDMemoryType, int32_t bPaletteMap, int32_t nMirrorWidth,
                                 int32_t nMirrorHeight) {
    int32_t nWidth = 0, nHeight = 0;
    if (!ReadBitmapSize(lpFileName, &nWidth, &nHeight)) {
        WriteTraceLog(lpFileName ? lpFileName : "");
        return LOADIMAGE_ERR;
    }
    char szName[260];
    CopyName(szName, lpFileName);
    if (!DDCreateSurface(lpSD, nWidth, nHeight, bColorKey, nDDMemoryType, 0, 0, 0)) return CREATESURFACE_ERR;
    if (!CopyBitmap(lpSD, szName, nDepth, bPaletteMap, nMirrorWidth, nMirrorHeight)) return LOADIMAGE_ERR;
    lpSD->nMirrorWidth = nMirrorWidth;
    lpSD->nMirrorHeight = nMirrorHeight;
    lpSD->nWidth = lpSD->nTexWidth = nWidth;
    lpSD->nHeight = lpSD->nTexHeight = nHeight;
    CopyName(lpSD->szFileName, szName);
    lpSD->dwMemoryType = nDDMemoryType;
    return 0;
}

// Position i of a strip of frames of size f, each frame reversed.
inline int64_t MirrorPosition(int64_t i, int64_t f) { return (i / f) * f + (f - 1 - i % f); }

// Writes the pixel of one 16-bit destination from blue, green, red bytes (the colour-key rule).
uint16_t ConvertTo16(uint8_t b, uint8_t g, uint8_t r) {
    const uint16_t key = static_cast<uint16_t>(dwTransmit);
    if (lpDDCon && r == lpDDCon->rgbTransmit.rgbtRed && g == lpDDCon->rgbTransmit.rgbtGreen &&
        b == lpDDCon->rgbTransmit.rgbtBlue)
        return key;
    const PIXELMASKS& m = SurfaceMasks;
    uint16_t v = static_cast<uint16_t>((b * m.nBMask / 255) << m.nBShift | (g * m.nGMask / 255) << m.nGShift |
                                       (r * m.nRMask / 255) << m.nRShift);
    if (v == key) {
        // No opaque pixel may take the transparent value.
        const int32_t blue = (v >> m.nBShift) & m.nBMask;
        v = static_cast<uint16_t>(blue == m.nBMask ? v - 1 : v + 1);
    }
    return v;
}

}  // namespace

int32_t DDCreateSurfaceFromFile(DDSURFACEDATA* lpSD, const char* lpFileName, int32_t bColorKey, int32_t nDepth,
                                int32_t nDDMemoryType, int32_t nDTMemoryType, int32_t bView, int32_t bPaletteMap,
                                int32_t nMirrorWidth, int32_t nMirrorHeight, int32_t bRecreate) {
    if (lpSD == nullptr) return CREATESURFACE_ERR;
    if (nMirrorWidth < 0) nMirrorWidth = 0;
    if (nMirrorHeight < 0) nMirrorHeight = 0;
    if (lpDTCon) {
        if (lpDevice == nullptr) return CREATESURFACE_ERR;
        char szName[260];
        CopyName(szName, lpFileName);
        return CreateFromFileD3D(lpSD, szName, bColorKey, nDepth, nDDMemoryType, nDTMemoryType, bView, bPaletteMap,
                                 nMirrorWidth, nMirrorHeight, bRecreate);
    }
    return CreateFromFileDirectDraw(lpSD, lpFileName, bColorKey, nDepth, nDDMemoryType, bPaletteMap, nMirrorWidth,
                                    nMirrorHeight);
}

bool CreateMirror(DDSURFACEDATA* lpDstSD, DDSURFACEDATA* lpSrcSD, int32_t nMirrorWidth, int32_t nMirrorHeight) {
    if (lpDTCon == nullptr || lpDevice == nullptr || nMirrorWidth <= 0 || nMirrorHeight != 0) return true;
    if (lpDstSD == nullptr || lpSrcSD == nullptr || lpDstSD->lpDT == nullptr || lpSrcSD->lpDT == nullptr) return true;
    DTSURFACEDATA* lpDst = lpDstSD->lpDT;
    DTSURFACEDATA* lpSrc = lpSrcSD->lpDT;
    if (DDSetRenderTarget(0, lpDstSD)) {
        lpDevice->Clear(0, nullptr, D3DCLEAR_TARGET, lpDTCon->dwTransmitTexture, 1.0f, 0);
        if (lpDTCon->lpTargetSD) DDSetRenderTarget(0, lpDTCon->lpTargetSD);
    }
    const int32_t nFrames = lpSrcSD->nWidth / nMirrorWidth;
    const int32_t nHeight = lpSrcSD->nHeight;
    if (lpDst->bRenderTarget && lpSrc->dwDTMemoryType != DTMEMORYTYPE_SYSTEM && lpSrc->lpVB && lpSrc->lpTexture) {
        // Each frame drawn as a quad that reads its columns right to left.
        if (!DDBeginScene() || !DDSetRenderTarget(0, lpDstSD)) return true;
        lpDevice->SetTextureStageState(0, D3DTSS_COLOROP, static_cast<DWORD>(lpDTCon->dwColorOp));
        lpDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        lpDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        lpDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, static_cast<DWORD>(lpDTCon->dwAlphaOp));
        lpDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        lpDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        lpDevice->SetTexture(0, lpSrc->lpTexture);
        lpDevice->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        const float fTexW = static_cast<float>(lpSrcSD->nTexWidth), fTexH = static_cast<float>(lpSrcSD->nTexHeight);
        for (int32_t i = 0; i < nFrames; ++i) {
            const float x = static_cast<float>(i * nMirrorWidth) - 0.5f, y = -0.5f;
            const float w = static_cast<float>(nMirrorWidth), h = static_cast<float>(nHeight);
            const float u0 = static_cast<float>((i + 1) * nMirrorWidth) / fTexW;
            const float u1 = static_cast<float>(i * nMirrorWidth) / fTexW;
            const float v1 = static_cast<float>(nHeight) / fTexH;
            const D3DTLVERTEX_TEX1 quad[4] = {{x, y, 0, 1, lpDTCon->dwDiffuse, u0, 0},
                                              {x, y + h, 0, 1, lpDTCon->dwDiffuse, u0, v1},
                                              {x + w, y, 0, 1, lpDTCon->dwDiffuse, u1, 0},
                                              {x + w, y + h, 0, 1, lpDTCon->dwDiffuse, u1, v1}};
            void* lpData = nullptr;
            if (FAILED(lpSrc->lpVB->Lock(0, 0, &lpData, 0))) break;
            std::memcpy(lpData, quad, sizeof(quad));
            lpSrc->lpVB->Unlock();
            lpDevice->SetStreamSource(0, lpSrc->lpVB, 0, sizeof(D3DTLVERTEX_TEX1));
            lpDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
        }
        if (lpDTCon->lpTargetSD) DDSetRenderTarget(0, lpDTCon->lpTargetSD);
        return true;
    }
    // Otherwise pixel by pixel: the destination is a bitmap texture or the source lives in
    // system memory. Render targets are read through their twins and written back.
    auto lockOf = [](DTSURFACEDATA* lpPart, D3DLOCKED_RECT* lpLocked, IDirect3DSurface9** lplpLocked) {
        IDirect3DSurface9* lpSurface = lpPart->lpSurface;
        if (lpPart->bRenderTarget && lpPart->lpSystemSurface) {
            if (FAILED(lpDevice->GetRenderTargetData(lpPart->lpSurface, lpPart->lpSystemSurface))) return false;
            lpSurface = lpPart->lpSystemSurface;
        }
        if (lpSurface == nullptr || FAILED(lpSurface->LockRect(lpLocked, nullptr, 0))) return false;
        *lplpLocked = lpSurface;
        return true;
    };
    D3DLOCKED_RECT dstLock{}, srcLock{};
    IDirect3DSurface9* lpDstLocked = nullptr;
    IDirect3DSurface9* lpSrcLocked = nullptr;
    if (!lockOf(lpDst, &dstLock, &lpDstLocked)) return true;
    if (!lockOf(lpSrc, &srcLock, &lpSrcLocked)) {
        lpDstLocked->UnlockRect();
        return true;
    }
    const int32_t nBytes = nBpp / 8;
    for (int32_t i = 0; i < nFrames; ++i) {
        for (int32_t y = 0; y < nHeight && y < lpDstSD->nHeight; ++y) {
            auto* lpDstRow = static_cast<uint8_t*>(dstLock.pBits) + static_cast<size_t>(y) * dstLock.Pitch;
            const auto* lpSrcRow = static_cast<const uint8_t*>(srcLock.pBits) + static_cast<size_t>(y) * srcLock.Pitch;
            for (int32_t k = 0; k < nMirrorWidth; ++k) {
                const int32_t dx = i * nMirrorWidth + k, sx = (i + 1) * nMirrorWidth - 1 - k;
                if (dx >= lpDstSD->nWidth || sx >= lpSrcSD->nWidth) continue;
                std::memcpy(lpDstRow + dx * nBytes, lpSrcRow + sx * nBytes, static_cast<size_t>(nBytes));
            }
        }
    }
    lpSrcLocked->UnlockRect();
    lpDstLocked->UnlockRect();
    if (lpDstLocked == lpDst->lpSystemSurface) lpDevice->UpdateSurface(lpDst->lpSystemSurface, nullptr, lpDst->lpSurface, nullptr);
    return true;
}

bool CopyBitmap(DDSURFACEDATA* lpSD, const char* lpFileName, int32_t nDepth, int32_t bPaletteMap, int32_t nMirrorWidth,
                int32_t nMirrorHeight) {
    if (lpDTCon || lpFileName == nullptr || lpFileName[0] == '\0') return true;
    if (lpSD == nullptr || lpSD->lpDDraw == nullptr || lpSD->lpDDraw->lpDDSurface == nullptr) return false;
    char szName[260];
    CopyName(szName, lpFileName);
    HANDLE hBitmap = LoadImageA(nullptr, szName, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (hBitmap == nullptr) return false;
    HDC hMemory = CreateCompatibleDC(nullptr);
    SelectObject(hMemory, static_cast<HGDIOBJ>(hBitmap));
    DIBSECTION ds{};
    GetObjectA(static_cast<HGDIOBJ>(hBitmap), sizeof(ds), &ds);
    const int32_t nWidth = ds.dsBm.bmWidth, nHeight = ds.dsBm.bmHeight, nStride = ds.dsBm.bmWidthBytes;
    const int32_t nBitCount = ds.dsBm.bmBitsPixel;
    const auto* lpBits = static_cast<const uint8_t*>(ds.dsBm.bmBits);
    const int64_t nMW = std::max(nMirrorWidth, 0), nMH = std::max(nMirrorHeight, 0);

    // Walks image pixels in order, each mapped to its destination; a mapped position outside
    // the surface ends the row (columns) or the copy (rows).
    auto forEachPixel = [&](int32_t nSurfaceWidth, int32_t nSurfaceHeight, auto&& fn) {
        for (int32_t y = 0; y < nHeight; ++y) {
            const int64_t dy = nMH ? MirrorPosition(y, nMH) : y;
            if (dy >= nSurfaceHeight) break;
            const uint8_t* lpRow = lpBits + static_cast<size_t>(nHeight - 1 - y) * nStride;
            for (int32_t x = 0; x < nWidth; ++x) {
                const int64_t dx = nMW ? MirrorPosition(x, nMW) : x;
                if (dx >= nSurfaceWidth) break;
                fn(lpRow, x, static_cast<int32_t>(dx), static_cast<int32_t>(dy));
            }
        }
    };

    const bool bIndexed = nBitCount <= 8;
    if (nDepth == 8 && bIndexed) {
        DDSURFACEDESC2 ddsd{};
        void* lpSurfaceBits = nullptr;
        if (DDLock(lpSD, &ddsd, &lpSurfaceBits, nDepth)) {
            if (static_cast<int32_t>(ddsd.dwWidth) != nWidth || static_cast<int32_t>(ddsd.dwHeight) != nHeight) {
                WriteTraceLogF("CopyBitmap Err %s Surface(%d,%d) Bmp(%d,%d)", szName, static_cast<int>(ddsd.dwWidth),
                               static_cast<int>(ddsd.dwHeight), nWidth, nHeight);
            } else {
                auto* lpOut = static_cast<uint8_t*>(lpSurfaceBits);
                forEachPixel(nWidth, nHeight, [&](const uint8_t* lpRow, int32_t x, int32_t dx, int32_t dy) {
                    uint8_t index;
                    if (nBitCount == 8) index = lpRow[x];
                    else if (nBitCount == 4) index = static_cast<uint8_t>((lpRow[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
                    else index = static_cast<uint8_t>((lpRow[x >> 3] >> (7 - (x & 7))) & 1);
                    lpOut[static_cast<size_t>(dy) * ddsd.lPitch + dx] = index;
                });
            }
            lpSD->lpDDraw->lpDDSurface->Unlock(nullptr);
        }
    } else if (nDepth == 16 && (nBitCount == 24 || nBitCount == 32)) {
        DDSURFACEDESC2 ddsd{};
        void* lpSurfaceBits = nullptr;
        if (DDLock(lpSD, &ddsd, &lpSurfaceBits, nDepth)) {
            auto* lpOut = static_cast<uint8_t*>(lpSurfaceBits);
            const int32_t nSrcBytes = nBitCount / 8;
            forEachPixel(static_cast<int32_t>(ddsd.dwWidth), static_cast<int32_t>(ddsd.dwHeight),
                         [&](const uint8_t* lpRow, int32_t x, int32_t dx, int32_t dy) {
                             const uint8_t* p = lpRow + x * nSrcBytes;
                             const uint16_t v = ConvertTo16(p[0], p[1], p[2]);
                             std::memcpy(lpOut + static_cast<size_t>(dy) * ddsd.lPitch + dx * 2, &v, 2);
                         });
            lpSD->lpDDraw->lpDDSurface->Unlock(nullptr);
        }
    } else {
        // The system's blitter converts every other combination (a true-colour bitmap at 8 bits
        // takes the nearest colours of the display palette).
        HDC hSurface = nullptr;
        if (SUCCEEDED(lpSD->lpDDraw->lpDDSurface->GetDC(&hSurface))) {
            if (nMW && nMH) {
                for (int32_t fy = 0; fy < nHeight / nMH; ++fy)
                    for (int32_t fx = 0; fx < nWidth / nMW; ++fx)
                        StretchBlt(hSurface, static_cast<int>(fx * nMW + nMW - 1), static_cast<int>(fy * nMH + nMH - 1),
                                   static_cast<int>(-nMW), static_cast<int>(-nMH), hMemory, static_cast<int>(fx * nMW),
                                   static_cast<int>(fy * nMH), static_cast<int>(nMW), static_cast<int>(nMH), SRCCOPY);
            } else if (nMW) {
                for (int32_t fx = 0; fx < nWidth / nMW; ++fx)
                    StretchBlt(hSurface, static_cast<int>(fx * nMW + nMW - 1), 0, static_cast<int>(-nMW), nHeight,
                               hMemory, static_cast<int>(fx * nMW), 0, static_cast<int>(nMW), nHeight, SRCCOPY);
            } else if (nMH) {
                for (int32_t fy = 0; fy < nHeight / nMH; ++fy)
                    StretchBlt(hSurface, 0, static_cast<int>(fy * nMH + nMH - 1), nWidth, static_cast<int>(-nMH),
                               hMemory, 0, static_cast<int>(fy * nMH), nWidth, static_cast<int>(nMH), SRCCOPY);
            } else {
                BitBlt(hSurface, 0, 0, nWidth, nHeight, hMemory, 0, 0, SRCCOPY);
            }
            lpSD->lpDDraw->lpDDSurface->ReleaseDC(hSurface);
        }
    }
    DeleteDC(hMemory);
    DeleteObject(static_cast<HGDIOBJ>(hBitmap));
    lpSD->nWidth = nWidth;
    lpSD->nHeight = nHeight;
    lpSD->nMirrorWidth = nMirrorWidth;
    lpSD->nMirrorHeight = nMirrorHeight;
    CopyName(lpSD->szFileName, szName);
    delete[] lpSD->lpDDraw->lpIndexMap;
    lpSD->lpDDraw->lpIndexMap = nullptr;
    if (bPaletteMap && nDepth != 8) return DDBuildPaletteIndexMap(lpSD) != 0;
    return true;
}

bool DDReloadSurface(DDSURFACEDATA* lpSD, int32_t nDepth) {
    if (lpDTCon) return true;
    if (lpSD == nullptr || lpSD->lpDDraw == nullptr) return false;
    char szName[260];
    CopyName(szName, lpSD->szFileName);
    return CopyBitmap(lpSD, szName, nDepth, lpSD->lpDDraw->lpIndexMap != nullptr, lpSD->nMirrorWidth,
                      lpSD->nMirrorHeight);
}

bool DDReportSurfaceError(int32_t nResult) {
    const char* lpName = nullptr;
    switch (nResult) {
    case CREATESURFACE_ERR: lpName = "CREATESURFACE_ERR"; break;
    case LOADIMAGE_ERR: lpName = "LOADIMAGE_ERR"; break;
    case SETCOLORKEY_ERR: lpName = "SETCOLORKEY_ERR"; break;
    case VERTEXBUFFER_ERR: lpName = "CREATEVERTEXBUFFER_ERR"; break;
    default: return true;
    }
    WriteTraceLog(lpName);
    return false;
}

bool DDLoadBitmapTable(DDSURFACEDATA* lpSurfaces, const int32_t* lpIndices, int32_t nCount) {
    if (lpSurfaces == nullptr || lpIndices == nullptr || lpBitmapTable == nullptr) return nCount <= 0;
    for (int32_t i = 0; i < nCount; ++i) {
        const int32_t a = lpIndices[i];
        if (a < 0 || a >= nSurfaceCount) {
            WriteReportTrace("DDLoadBitmapTable index %d out of range (%d)", a, nSurfaceCount);
            return false;
        }
        DDSURFACEDATA* lpSD = &lpSurfaces[a];
        const BITMAPFILEENTRY& e = lpBitmapTable[a];
        char szName[260];
        CopyName(szName, e.szFileName);
        DDReleaseSurface(lpSD);
        if (std::strcmp(szName, "E") != 0) {
            const int32_t nResult = DDCreateSurfaceFromFile(lpSD, szName, e.bColorKey, nBpp, e.nDDMemoryType,
                                                            e.nDTMemoryType, e.bView, e.bPaletteMap, e.nMirrorWidth,
                                                            e.nMirrorHeight, 0);
            // A device error leaves a surface without texture, which must never be drawn.
            const bool bFailed = !DDReportSurfaceError(nResult) || nResult < 0;
            if (bFailed) {
                DDReleaseSurface(lpSD);
                if (!e.bOptional) {
                    ErrorBoxF("%s の読み込みに失敗！", szName);
                    return false;
                }
            }
        } else if (!DDCreateSurface(lpSD, e.nWidth, e.nHeight, e.bColorKey, e.nDDMemoryType, e.nDTMemoryType, e.bView,
                                    0)) {
            DDReleaseSurface(lpSD);
            if (!e.bOptional) {
                ReportOutOfMemory();
                return false;
            }
        }
    }
    return true;
}

bool DDBitmapExceedsSize(int32_t* lpExceeds, const char* lpFileName, int32_t nMaxWidth, int32_t nMaxHeight) {
    if (lpDTCon) return true;
    int32_t nWidth = 0, nHeight = 0;
    if (!ReadBitmapSize(lpFileName, &nWidth, &nHeight)) {
        if (lpExceeds) *lpExceeds = 0;
        return false;
    }
    if (lpExceeds) *lpExceeds = (nWidth > nMaxWidth || nHeight > nMaxHeight) ? 1 : 0;
    return true;
}
