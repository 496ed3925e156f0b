// Presentation of the Direct3D frame and the full-screen message box.
#include "media/graphics/DDPresent.h"

#include "core/FrameTiming.h"
#include "core/Log.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/GraphicsState.h"
#include "media/graphics/SceneTarget.h"
#include "platform/graphics/Gdi.h"
#include "platform/win/WinMessageBox.h"
#include "platform/win/WinThread.h"

int32_t DDFlip(int32_t nFrameRate)
{
    if (!lpDTCon || !lpDevice) return 1;
    if (lpDTCon->bVirBackBuffer) DDCopyVirtualBackBuffer(&BackBuffer, &VirBackBuffer);
    if (!bVSync) {
        // Without vertical sync the frame waits for its own slot in the current second.
        while (!PaceFrame(nFrameRate)) Sleep(1);
    }
    DDEndScene();
    const HRESULT hr = lpDevice->Present(nullptr, nullptr, nullptr, nullptr);
    if (hr == D3DERR_DEVICELOST) {
        if (nWindowMode == 0) ShowWindow(hGraphicsWnd, SW_SHOWMINNOACTIVE);
        return 0;
    }
    return 1;
}

int32_t DDSetDialogBoxMode(int32_t bOn)
{
    if (nWindowMode != 0) return 1;
    if (lpDTCon) {
        if (!lpDevice) return 0;
        if (bOn) {
            DDEndScene();
            if (FAILED(lpDevice->SetDialogBoxMode(1))) {
                WriteTraceLogF("D3D_OK != lpDevice->SetDialogBoxMode(1)");
                return 0;
            }
            ShowCursor(1);
            return 1;
        }
        while (ShowCursor(0) >= 0) {
        }
        return FAILED(lpDevice->SetDialogBoxMode(0)) ? 0 : 1;
    }
    if (!lpDD) return 0;
    if (bOn) {
        if (FAILED(lpDD->FlipToGDISurface())) return 0;
        ShowCursor(1);
        return 1;
    }
    while (ShowCursor(0) >= 0) {
    }
    return 1;
}

int32_t DDMesBox(const char* lpText, const char* lpCaption, UINT uType)
{
    if (!DDSetDialogBoxMode(1)) {
        WriteTraceLogF("DDMesBox 失敗! %s, %s", lpText ? lpText : "", lpCaption ? lpCaption : "");
        return 0;
    }
    // The caller gets the button that was pressed (every button id is non-zero).
    const int32_t answer = MessageBoxA(hGraphicsWnd, lpText, lpCaption, uType);
    DDSetDialogBoxMode(0);
    return answer;
}
