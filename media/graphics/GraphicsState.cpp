#include "media/graphics/GraphicsState.h"

#include <cstring>

#include "core/FrameTiming.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "media/graphics/BitmapTable.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DeviceRestore.h"
#include "media/graphics/DisplayReport.h"
#include "media/graphics/FullScreenBox.h"
#include "platform/graphics/Gdi.h"
#include "platform/win/WinMessageBox.h"

int32_t nBackEnd = 0;
HWND hGraphicsWnd = nullptr;
int32_t nScreenWidth = 0;
int32_t nScreenHeight = 0;
int32_t nBpp = 0;
int32_t nBytesPerPixel = 0;
int32_t nWindowMode = 0;
int32_t nBackBufferSel = 0;
int32_t bVSync = 0;
int32_t nRefreshRate = 0;
int32_t bUseRefreshRate = 0;
DDSURFACEDATA* lpSurfaceArray = nullptr;
BITMAPFILEENTRY* lpBitmapTable = nullptr;
int32_t nSurfaceCount = 0;
std::atomic<int32_t> bGraphicsUp{0};
int8_t bDDInitialised = 0;
DTCONTEXT* lpDTCon = nullptr;
DDCONTEXT* lpDDCon = nullptr;
IDirect3D9* lpD3D = nullptr;
IDirect3DDevice9* lpDevice = nullptr;
IDirectDraw7* lpDD = nullptr;
IDirectDrawClipper* lpDDClipper = nullptr;
IDirectDrawPalette* lpDDPalette = nullptr;
RECT rcClient{0, 0, 0, 0};
int32_t nDesktopBpp = 0;
uint32_t dwTransmit = 0;
PIXELMASKS SurfaceMasks{};
PIXELMASKS BackBufferMasks{};

DDSURFACEDATA PrimarySD;
DDSURFACEDATA BackBuffer;
DDSURFACEDATA SystemWorkSD;
DDSURFACEDATA VirBackBuffer;
DDSURFACEDATA WorkSD;

namespace {

bool IsFullScreenUp() { return bGraphicsUp.load() != 0 && nWindowMode == 0; }

void HideCursor() {
    while (ShowCursor(0) >= 0) {
    }
}

void ShowCursorNow() {
    while (ShowCursor(1) < 0) {
    }
}

template <class T>
void ReleaseObject(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

void ReleaseSurfaceArray() {
    if (lpSurfaceArray == nullptr) return;
    for (int32_t i = 0; i < nSurfaceCount; ++i) DDReleaseSurface(&lpSurfaceArray[i]);
}

}  // namespace

bool DDInit(int32_t nBackEndChoice, HWND hWnd, int32_t nWidth, int32_t nHeight, int32_t nDepth,
            int32_t bVerticalSync, int32_t nWindowModeChoice, int32_t nBackBufferSelector, int32_t nRefresh,
            int32_t bUseRefresh, DDSURFACEDATA* lpSurfaces, BITMAPFILEENTRY* lpTable, int32_t nTableCount, int32_t) {
    nBackEnd = nBackEndChoice;
    hGraphicsWnd = hWnd;
    nScreenWidth = nWidth;
    nScreenHeight = nHeight;
    nBpp = nDepth;
    nBytesPerPixel = nDepth / 8;
    bVSync = bVerticalSync;
    nWindowMode = nWindowModeChoice;
    nBackBufferSel = nBackBufferSelector;
    nRefreshRate = nRefresh;
    bUseRefreshRate = bUseRefresh;
    lpSurfaceArray = lpSurfaces;
    lpBitmapTable = lpTable;
    nSurfaceCount = (lpSurfaces && nTableCount > 0) ? nTableCount : 0;
    WriteReportTrace("VSync : %d", bVerticalSync);
    // Each start describes its own formats; nothing of an earlier back end carries over.
    SurfaceMasks = PIXELMASKS{};
    BackBufferMasks = PIXELMASKS{};

    if (nBackEnd != 0) {
        if (DDInitD3D(hWnd, nWidth, nHeight, nDepth, nBackBufferSelector) == 0) return false;
    } else if (nWindowMode == 0) {
        if (bDDInitialised == 1) DDUnInit();
        // The context is made after the shut-down of the old objects, which frees the old one.
        lpDDCon = new DDCONTEXT();
        SetWindowLongA(hWnd, GWL_EXSTYLE, WS_EX_TOPMOST);
        SetWindowLongA(hWnd, GWL_STYLE, WS_POPUP);
        if (!DDReportInitError(DDInitFullScreen(hWnd, nWidth, nHeight, nDepth, nBackBufferSelector))) return false;
    } else if (nWindowMode == 1) {
        if (lpDD) lpDD->RestoreDisplayMode();
        if (bDDInitialised == 1) DDUnInit();
        lpDDCon = new DDCONTEXT();
        if (!DDReportInitError(DDInitWindow(hWnd))) return false;
    } else {
        if (lpDDCon == nullptr) lpDDCon = new DDCONTEXT();
    }
    bGraphicsUp = 1;
    bDDInitialised = 1;
    SetPaceFrameBackEndActive(lpDTCon != nullptr);
    FullScreenBoxHooks hooks;
    hooks.box = [](const char* text, const char* caption, UINT type) -> int { return DDMesBox(text, caption, type); };
    hooks.isFullScreenUp = IsFullScreenUp;
    SetFullScreenBoxHooks(hooks);
    return true;
}

void DDSetDefaultStates() {
    if (lpDevice == nullptr) return;
    lpDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    lpDevice->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    lpDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    lpDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    lpDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    lpDevice->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
    lpDevice->SetRenderState(D3DRS_COLORVERTEX, 1);
    for (DWORD sampler = 0; sampler < 2; ++sampler) {
        lpDevice->SetSamplerState(sampler, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
        lpDevice->SetSamplerState(sampler, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
        lpDevice->SetSamplerState(sampler, D3DSAMP_MINFILTER, D3DTEXF_POINT);
        lpDevice->SetSamplerState(sampler, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    }
}

int32_t DDInitD3D(HWND hWnd, int32_t, int32_t, int32_t nDepth, int32_t) {
    const int32_t nDdi = GetDdiVersion();
    if (nDdi < 9) {
        WriteReportTrace("ビデオカードのドライバがDirectX9をサポートしていません！ %d", nDdi);
        return 0;
    }
    lpD3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (lpD3D == nullptr) {
        WriteReportTrace("ビデオカードがDirectX9をサポートしていません！");
        return 0;
    }
    delete lpDTCon;
    lpDTCon = new DTCONTEXT();

    D3DPRESENT_PARAMETERS d3dpp{};
    if (nWindowMode == 1) {
        d3dpp.Windowed = 1;
        d3dpp.BackBufferWidth = 0;
        d3dpp.BackBufferHeight = 0;
        d3dpp.FullScreen_RefreshRateInHz = 0;
        if (bVSync) {
            DEVMODEA dm{};
            dm.dmSize = sizeof(dm);
            dm.dmFields = DM_DISPLAYFREQUENCY;
            dm.dmDisplayFrequency = 60;
            if (ChangeDisplaySettingsA(&dm, CDS_TEST) != DISP_CHANGE_SUCCESSFUL) {
                WriteReportTrace("ChangeDisplaySettings != DISP_CHANGE_SUCCESSFUL");
            } else {
                const LONG nResult = ChangeDisplaySettingsA(&dm, CDS_FULLSCREEN);
                if (nResult != DISP_CHANGE_SUCCESSFUL)
                    WriteReportTrace("ChangeDisplaySettings Err = %x", static_cast<unsigned>(nResult));
            }
            D3DDISPLAYMODE mode{};
            lpD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
            WriteReportTrace("RefreshRate : %d", static_cast<int>(mode.RefreshRate));
            if (mode.RefreshRate != 60) {
                bVSync = 0;
                WriteReportTrace("リフレッシュレートの変更に失敗しました！垂直同期が無効になります！");
            }
        }
    } else {
        d3dpp.Windowed = 0;
        d3dpp.BackBufferWidth = static_cast<UINT>(nScreenWidth);
        d3dpp.BackBufferHeight = static_cast<UINT>(nScreenHeight);
        d3dpp.FullScreen_RefreshRateInHz = 60;
    }
    d3dpp.PresentationInterval = bVSync ? D3DPRESENT_INTERVAL_DEFAULT : D3DPRESENT_INTERVAL_IMMEDIATE;

    if (FAILED(lpD3D->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &lpDTCon->d3dCaps)))
        WriteTraceLogF("GetDeviceCaps Err");
    d3dpp.SwapEffect = (lpDTCon->d3dCaps.Caps3 & D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD) ? D3DSWAPEFFECT_DISCARD
                                                                                             : D3DSWAPEFFECT_COPY;
    lpDTCon->bPow2 = (lpDTCon->d3dCaps.TextureCaps & D3DPTEXTURECAPS_POW2) ? 1 : 0;
    lpDTCon->bSquareOnly = (lpDTCon->d3dCaps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) ? 1 : 0;
    lpDTCon->bDynamicTextures = (lpDTCon->d3dCaps.Caps2 & D3DCAPS2_DYNAMICTEXTURES) ? 1 : 0;

    if (nDepth == 16) {
        SurfaceMasks = PIXELMASKS{10, 5, 0, 15, 31, 31, 31, 1};
        lpDTCon->fmtTexture = D3DFMT_A1R5G5B5;
        if (nWindowMode == 1) {
            lpDTCon->fmtBackBuffer = D3DFMT_A1R5G5B5;
            BackBufferMasks = SurfaceMasks;
        } else {
            lpDTCon->fmtBackBuffer = D3DFMT_R5G6B5;
            BackBufferMasks = PIXELMASKS{11, 5, 0, 16, 31, 63, 31, 0};
        }
    } else if (nDepth == 32) {
        lpDTCon->fmtBackBuffer = D3DFMT_X8R8G8B8;
        lpDTCon->fmtTexture = D3DFMT_A8R8G8B8;
        SurfaceMasks = PIXELMASKS{16, 8, 0, 24, 255, 255, 255, 255};
        BackBufferMasks = PIXELMASKS{};
    } else {
        return 0;
    }
    d3dpp.BackBufferFormat = lpDTCon->fmtBackBuffer;
    d3dpp.BackBufferCount = 1;
    d3dpp.MultiSampleType = D3DMULTISAMPLE_NONE;
    d3dpp.MultiSampleQuality = 0;
    d3dpp.hDeviceWindow = nullptr;
    d3dpp.EnableAutoDepthStencil = 0;
    d3dpp.AutoDepthStencilFormat = lpDTCon->fmtBackBuffer;
    d3dpp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;

    HRESULT hr = lpD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                     &d3dpp, &lpDevice);
    if (SUCCEEDED(hr)) {
        WriteReportTrace("Device HAL-HARD");
    } else {
        hr = lpD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                 &d3dpp, &lpDevice);
        if (SUCCEEDED(hr)) WriteReportTrace("Device HAL-SOFT");
    }
    if (FAILED(hr)) {
        lpDTCon->d3dpp = d3dpp;
        WriteTraceLogF("CreateDevice Err");
        return 0;
    }
    switch (d3dpp.BackBufferFormat) {
    case D3DFMT_X8R8G8B8: WriteReportTrace("X8R8G8B8"); break;
    case D3DFMT_R5G6B5: WriteReportTrace("R5G6B5"); break;
    case D3DFMT_A1R5G5B5: WriteReportTrace("A1R5G5B5"); break;
    default: break;
    }

    lpDTCon->d3dpp = d3dpp;
    lpDTCon->fmtBackBufferCopy = d3dpp.BackBufferFormat;
    DDSetDefaultStates();
    lpDTCon->dwDiffuse = 0xFFFFFFFF;
    lpDTCon->dwColorOp = D3DTOP_MODULATE;
    lpDTCon->dwAlphaOp = D3DTOP_SELECTARG1;

    DDAllocSurfaceData(&BackBuffer);
    BackBuffer.nWidth = BackBuffer.nTexWidth = nScreenWidth;
    BackBuffer.nHeight = BackBuffer.nTexHeight = nScreenHeight;
    BackBuffer.dwMemoryType = 0;
    std::strcpy(BackBuffer.szSurfaceType, "BackBuffer");
    BackBuffer.lpDT->bColorKey = 0;
    BackBuffer.lpDT->bRenderTarget = 1;
    if (BackBuffer.lpDT->lpVB == nullptr) {
        hr = lpDevice->CreateVertexBuffer(4 * sizeof(D3DTLVERTEX_TEX1), D3DUSAGE_WRITEONLY,
                                          D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, D3DPOOL_MANAGED,
                                          &BackBuffer.lpDT->lpVB, nullptr);
        if (FAILED(hr)) {
            WriteReportTrace("Back CreateVertexBuffer Err %x", static_cast<unsigned>(hr));
            return 0;
        }
    }
    if (BackBuffer.lpDT->lpSurface) BackBuffer.lpDT->lpSurface->Release();
    BackBuffer.lpDT->lpSurface = nullptr;
    lpDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &BackBuffer.lpDT->lpSurface);
    if (BackBuffer.lpDT->lpSurface) BackBuffer.lpDT->lpSurface->GetDesc(&BackBuffer.lpDT->desc);
    BackBuffer.lpDT->nId = 0;
    lpDTCon->nNextSurfaceId = 1;
    lpDTCon->nNextFontId = 0;

    // The virtual back buffer starts off: drawing aimed at the back buffer lands there, and the
    // back buffer is the resting render target.
    DDAllocSurfaceData(&VirBackBuffer);
    lpDTCon->bVirBackBuffer = 0;
    lpDTCon->lpTargetSD = &BackBuffer;
    lpDTCon->bCopyingVBB = 0;
    DDCreateSurface(&VirBackBuffer, BackBuffer.nWidth, BackBuffer.nHeight, 0, 0, 0, 0, 0);
    std::strcpy(VirBackBuffer.szSurfaceType, "VirBackBuffer");
    DDCreateSurface(&WorkSD, BackBuffer.nWidth, BackBuffer.nHeight, 0, 0, 0, 0, 0);
    std::strcpy(WorkSD.szSurfaceType, "WorkSD");

    if (nWindowMode == 0) HideCursor();
    return 1;
}

int32_t DDInitFullScreen(HWND hWnd, int32_t nWidth, int32_t nHeight, int32_t nDepth, int32_t nBackBufferSelector) {
    PrimarySD.nWidth = BackBuffer.nWidth = SystemWorkSD.nWidth = nWidth;
    PrimarySD.nHeight = BackBuffer.nHeight = SystemWorkSD.nHeight = nHeight;
    PrimarySD.dwMemoryType = 0;
    BackBuffer.dwMemoryType = 0;
    SystemWorkSD.dwMemoryType = 1;

    if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&lpDD), IID_IDirectDraw7, nullptr))) {
        WriteReportTrace("DirectDrawCreateEx Err");
        return CREATEEX_ERR;
    }
    if (FAILED(lpDD->SetCooperativeLevel(hWnd, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE))) {
        WriteReportTrace("SetCooperativeLevel Err");
        return SETCOOPLEVEL_ERR;
    }
    HRESULT hr = E_FAIL;
    if (bUseRefreshRate)
        hr = lpDD->SetDisplayMode(static_cast<DWORD>(nWidth), static_cast<DWORD>(nHeight), static_cast<DWORD>(nDepth),
                                  static_cast<DWORD>(nRefreshRate), 0);
    if (FAILED(hr))
        hr = lpDD->SetDisplayMode(static_cast<DWORD>(nWidth), static_cast<DWORD>(nHeight), static_cast<DWORD>(nDepth),
                                  0, 0);
    if (FAILED(hr)) {
        WriteReportTrace("SetDisplayMode Err");
        return SETDISPLAYMODE_ERR;
    }

    DDAllocSurfaceData(&PrimarySD);
    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    ddsd.dwBackBufferCount = nBackBufferSelector == 1 ? 1 : 2;
    if (FAILED(lpDD->CreateSurface(&ddsd, &PrimarySD.lpDDraw->lpDDSurface, nullptr))) {
        WriteReportTrace("Primary CreateSurface Err");
        return CREATESURFACE_ERR;
    }
    DDAllocSurfaceData(&BackBuffer);
    DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
    if (FAILED(PrimarySD.lpDDraw->lpDDSurface->GetAttachedSurface(&caps, &BackBuffer.lpDDraw->lpDDSurface))) {
        WriteReportTrace("GetAttachedSurface Err");
        return GETATTACHEDSURFACE_ERR;
    }
    BackBuffer.nTexWidth = PrimarySD.nTexWidth = nWidth;
    BackBuffer.nTexHeight = PrimarySD.nTexHeight = nHeight;
    if (!DDCreateSurface(&SystemWorkSD, nWidth, nHeight, 0, 1, 0, 0, 0)) return CREATESURFACE_ERR;

    PALETTEENTRY entries[256];
    for (int32_t i = 0; i < 256; ++i)
        entries[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(i), 0, PC_RESERVED};
    entries[0].peBlue = 255;
    if (FAILED(lpDD->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &lpDDPalette, nullptr))) {
        WriteReportTrace("CreatePalette Err");
        return CREATEPALETTE_ERR;
    }
    if (nDepth > 8) {
        DDGetPixelFormatMasks(&SurfaceMasks);
    } else if (FAILED(PrimarySD.lpDDraw->lpDDSurface->SetPalette(lpDDPalette))) {
        WriteReportTrace("SetPalette Err");
        return SETPALETTE_ERR;
    }
    HideCursor();
    return 0;
}

int32_t DDInitWindow(HWND hWnd) {
    RECT rc{};
    GetClientRect(hWnd, &rc);
    POINT topLeft{rc.left, rc.top}, bottomRight{rc.right, rc.bottom};
    ClientToScreen(hWnd, &topLeft);
    ClientToScreen(hWnd, &bottomRight);
    rcClient = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    const int32_t nWidth = rcClient.right - rcClient.left, nHeight = rcClient.bottom - rcClient.top;
    PrimarySD.nWidth = BackBuffer.nWidth = SystemWorkSD.nWidth = nWidth;
    PrimarySD.nHeight = BackBuffer.nHeight = SystemWorkSD.nHeight = nHeight;
    PrimarySD.dwMemoryType = 0;
    BackBuffer.dwMemoryType = 0;
    SystemWorkSD.dwMemoryType = 1;
    HDC hdc = GetDC(hWnd);
    nDesktopBpp = GetDeviceCaps(hdc, BITSPIXEL);
    ReleaseDC(hWnd, hdc);

    if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&lpDD), IID_IDirectDraw7, nullptr))) {
        WriteReportTrace("DirectDrawCreateEx Err");
        return CREATEEX_ERR;
    }
    if (FAILED(lpDD->SetCooperativeLevel(hWnd, DDSCL_NORMAL))) {
        WriteReportTrace("SetCooperativeLevel Err");
        return SETCOOPLEVEL_ERR;
    }
    DDAllocSurfaceData(&PrimarySD);
    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS;
    ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (FAILED(lpDD->CreateSurface(&ddsd, &PrimarySD.lpDDraw->lpDDSurface, nullptr))) {
        WriteReportTrace("Primary CreateSurface Err");
        return CREATESURFACE_ERR;
    }
    if (!DDCreateSurface(&BackBuffer, nWidth, nHeight, 0, 0, 0, 0, 0)) return CREATESURFACE_ERR;
    if (!DDCreateSurface(&SystemWorkSD, nWidth, nHeight, 0, 1, 0, 0, 0)) return CREATESURFACE_ERR;

    PALETTEENTRY entries[256];
    for (int32_t i = 0; i < 256; ++i) {
        if (i >= 10 && i <= 245) entries[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(i), 0, PC_RESERVED};
        else entries[i] = PALETTEENTRY{static_cast<BYTE>(i), 0, 0, PC_EXPLICIT};
    }
    if (FAILED(lpDD->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &lpDDPalette, nullptr))) {
        WriteReportTrace("CreatePalette Err");
        return CREATEPALETTE_ERR;
    }
    if (nDesktopBpp > 8) {
        DDGetPixelFormatMasks(&SurfaceMasks);
    } else if (FAILED(PrimarySD.lpDDraw->lpDDSurface->SetPalette(lpDDPalette))) {
        WriteReportTrace("SetPalette Err");
        return SETPALETTE_ERR;
    }
    if (FAILED(lpDD->CreateClipper(0, &lpDDClipper, nullptr))) {
        WriteReportTrace("CreateClipper Err");
        return CLIPPER_ERR;
    }
    if (FAILED(lpDDClipper->SetHWnd(0, hWnd))) {
        WriteReportTrace("SetHWnd Err");
        return SETHWND_ERR;
    }
    if (FAILED(PrimarySD.lpDDraw->lpDDSurface->SetClipper(lpDDClipper))) {
        WriteReportTrace("SetClipper Err");
        return SETCLIPPER_ERR;
    }
    ShowCursorNow();
    return 0;
}

bool DDReportInitError(int32_t nCode) {
    const char* lpName = nullptr;
    switch (nCode) {
    case CREATEEX_ERR: lpName = "CREATEEX_ERR"; break;
    case SETCOOPLEVEL_ERR: lpName = "SETCOOPLEVEL_ERR"; break;
    case SETDISPLAYMODE_ERR: lpName = "SETDISPLAYMODE_ERR"; break;
    case CREATESURFACE_ERR: lpName = "CREATESURFACE_ERR"; break;
    case GETATTACHEDSURFACE_ERR: lpName = "GETATTACHEDSURFACE_ERR"; break;
    case CREATEPALETTE_ERR: lpName = "CREATEPALETTE_ERR"; break;
    case SETPALETTE_ERR: lpName = "SETPALETTE_ERR"; break;
    case CLIPPER_ERR: lpName = "CLIPPER_ERR"; break;
    case SETHWND_ERR: lpName = "SETHWND_ERR"; break;
    case SETCLIPPER_ERR: lpName = "SETCLIPPER_ERR"; break;
    default: return true;
    }
    WriteTraceLog(lpName);
    return false;
}

void DDUnInit() {
    if (lpDD) {
        ReleaseSurfaceArray();
        ReleaseObject(lpDDClipper);
        ReleaseObject(lpDDPalette);
        DDReleaseSurface(&BackBuffer);
        DDReleaseSurface(&PrimarySD);
        DDReleaseSurface(&SystemWorkSD);
        if (lpDD->Release() != 0) MessageBoxA(nullptr, "解放漏れがあります", "DirectDraw", MB_ICONERROR);
        lpDD = nullptr;
        delete lpDDCon;
        lpDDCon = nullptr;
    }
    if (lpD3D) {
        ReleaseSurfaceArray();
        DDReleaseSurface(&WorkSD);
        DDReleaseSurface(&VirBackBuffer);
        DDReleaseSurface(&BackBuffer);
        ReleaseObject(lpDevice);
        ReleaseObject(lpD3D);
        delete lpDTCon;
        lpDTCon = nullptr;
    }
    // A half-started back end may have left its context alone.
    delete lpDTCon;
    lpDTCon = nullptr;
    delete lpDDCon;
    lpDDCon = nullptr;
    bGraphicsUp = 0;
    SetPaceFrameBackEndActive(false);
}

void DDUnInitGraphics() { DDUnInit(); }
