#include "media/graphics/FullScreenBox.h"

#include "core/Log.h"
#include "media/graphics/GraphicsState.h"
#include "media/graphics/SceneTarget.h"
#include "platform/graphics/Gdi.h"
#include "platform/win/WinMessageBox.h"

int32_t DDSetDialogBoxMode(int32_t bOn) {
    if (nWindowMode != 0) return 1;
    if (lpDTCon) {
        if (lpDevice == nullptr) return 0;
        if (bOn) {
            DDEndScene();
            if (FAILED(lpDevice->SetDialogBoxMode(1))) {
                WriteTraceLog("D3D_OK != lpDevice->SetDialogBoxMode(TRUE)");
                return 0;
            }
            ShowCursor(1);
            return 1;
        }
        while (ShowCursor(0) >= 0) {
        }
        return FAILED(lpDevice->SetDialogBoxMode(0)) ? 0 : 1;
    }
    if (bOn) {
        if (lpDD == nullptr || FAILED(lpDD->FlipToGDISurface())) return 0;
        ShowCursor(1);
        return 1;
    }
    while (ShowCursor(0) >= 0) {
    }
    return 1;
}

int32_t DDMesBox(const char* lpText, const char* lpCaption, UINT uType) {
    if (!DDSetDialogBoxMode(1)) {
        WriteTraceLogF("DDMesBox 失敗! %s, %s", lpText ? lpText : "", lpCaption ? lpCaption : "");
        return 0;
    }
    const int32_t nResult = MessageBoxA(hGraphicsWnd, lpText, lpCaption, uType);
    DDSetDialogBoxMode(0);
    return nResult;
}
