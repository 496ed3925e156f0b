// Presentation of the Direct3D frame.
#include "media/graphics/DDPresent.h"

#include "core/FrameTiming.h"
#include "core/Log.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/GraphicsState.h"
#include "media/graphics/SceneTarget.h"
#include "platform/graphics/Gdi.h"
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
