#include "media/graphics/SceneTarget.h"

#include "core/Log.h"
#include "media/graphics/GraphicsState.h"

int32_t DDBeginScene() {
    if (lpDevice == nullptr || lpDTCon == nullptr) return 0;
    if (lpDTCon->bInScene) return 1;
    const HRESULT hr = lpDevice->BeginScene();
    if (FAILED(hr)) {
        WriteReportTrace("BeginScene Err %x", static_cast<unsigned>(hr));
        return 0;
    }
    lpDTCon->bInScene = 1;
    return 1;
}

void DDEndScene() {
    if (lpDevice == nullptr || lpDTCon == nullptr || !lpDTCon->bInScene) return;
    lpDevice->EndScene();
    lpDTCon->bInScene = 0;
}

int32_t DDSetRenderTarget(int32_t, DDSURFACEDATA* lpSD) {
    if (lpDevice == nullptr || lpSD == nullptr || lpSD->lpDT == nullptr || !lpSD->lpDT->bRenderTarget ||
        lpSD->lpDT->lpSurface == nullptr)
        return 0;
    const HRESULT hr = lpDevice->SetRenderTarget(0, lpSD->lpDT->lpSurface);
    if (FAILED(hr)) {
        WriteReportTrace("SetRenderTarget Err %x (%s)", static_cast<unsigned>(hr), lpSD->szFileName);
        return 0;
    }
    return 1;
}
