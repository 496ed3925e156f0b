#pragma once
// The graphics layer's process-wide state: which back end runs (lpDTCon set: Direct3D 9;
// otherwise DirectDraw 7), the screen geometry and depth, the device objects, the pixel-format
// masks, the two back-end contexts and the five built-in surfaces; and the start-up and
// shut-down of the back ends.
#include <atomic>
#include <cstdint>
#include <string>

#include "media/graphics/Surface.h"
#include "platform/graphics/D3D9.h"
#include "platform/graphics/DDraw.h"

struct BITMAPFILEENTRY;

// Channel shifts and masks of 16- and 32-bit pixels: a channel is (pixel >> shift) & mask.
struct PIXELMASKS {
    int32_t nRShift;
    int32_t nGShift;
    int32_t nBShift;
    int32_t nAShift;
    int32_t nRMask;
    int32_t nGMask;
    int32_t nBMask;
    int32_t nAMask;
};

// The DirectDraw back end's context.
struct DDCONTEXT {
    RGBTRIPLE rgbTransmit{};    // blue, green, red: the colour CopyBitmap keys out at 16 bits
    int32_t nNextFontId = 0;
};

// The Direct3D back end's context.
struct DTCONTEXT {
    D3DFORMAT fmtBackBuffer = D3DFMT_UNKNOWN;
    D3DFORMAT fmtTexture = D3DFMT_UNKNOWN;
    D3DPRESENT_PARAMETERS d3dpp{};
    int32_t nAdapter = 0;
    int32_t DeviceType = D3DDEVTYPE_HAL;
    D3DFORMAT fmtBackBufferCopy = D3DFMT_UNKNOWN;
    D3DCAPS9 d3dCaps{};
    int32_t bPow2 = 0;
    int32_t bSquareOnly = 0;
    int32_t bDynamicTextures = 0;
    int32_t bVirBackBuffer = 0;
    DDSURFACEDATA* lpTargetSD = nullptr;
    int32_t bCopyingVBB = 0;
    RGBTRIPLE rgbTransmit{};
    RGBTRIPLE rgbColorKey{};
    uint32_t dwTransmitTexture = 0;
    uint32_t dwTransmitBack = 0;
    uint16_t wTransmitTexture_16 = 0;
    uint16_t wTransmit_16 = 0;
    int32_t bInScene = 0;
    uint32_t dwDiffuse = 0xFFFFFFFF;
    int32_t dwColorOp = D3DTOP_MODULATE;
    int32_t dwAlphaOp = D3DTOP_MODULATE;
    int32_t nNextSurfaceId = 1;
    int32_t nNextFontId = 0;
    std::string strTextureError;
};

extern int32_t nBackEnd;
extern HWND hGraphicsWnd;
extern int32_t nScreenWidth;
extern int32_t nScreenHeight;
extern int32_t nBpp;
extern int32_t nBytesPerPixel;
extern int32_t nWindowMode;
extern int32_t nBackBufferSel;
extern int32_t bVSync;
extern int32_t nRefreshRate;
extern int32_t bUseRefreshRate;
extern DDSURFACEDATA* lpSurfaceArray;
extern BITMAPFILEENTRY* lpBitmapTable;
extern int32_t nSurfaceCount;
extern std::atomic<int32_t> bGraphicsUp;
extern int8_t bDDInitialised;
extern DTCONTEXT* lpDTCon;
extern DDCONTEXT* lpDDCon;
extern IDirect3D9* lpD3D;
extern IDirect3DDevice9* lpDevice;
extern IDirectDraw7* lpDD;
extern IDirectDrawClipper* lpDDClipper;
extern IDirectDrawPalette* lpDDPalette;
extern RECT rcClient;
extern int32_t nDesktopBpp;
extern uint32_t dwTransmit;
extern PIXELMASKS SurfaceMasks;
extern PIXELMASKS BackBufferMasks;

extern DDSURFACEDATA PrimarySD;
extern DDSURFACEDATA BackBuffer;
extern DDSURFACEDATA SystemWorkSD;
extern DDSURFACEDATA VirBackBuffer;
extern DDSURFACEDATA WorkSD;

bool DDInit(int32_t nBackEndChoice, HWND hWnd, int32_t nWidth, int32_t nHeight, int32_t nDepth,
            int32_t bVerticalSync, int32_t nWindowModeChoice, int32_t nBackBufferSelector, int32_t nRefresh,
            int32_t bUseRefresh, DDSURFACEDATA* lpSurfaces, BITMAPFILEENTRY* lpTable, int32_t nTableCount,
            int32_t nReserved);
void DDUnInit();
void DDUnInitGraphics();   // the same as DDUnInit

int32_t DDInitD3D(HWND hWnd, int32_t nWidth, int32_t nHeight, int32_t nDepth, int32_t nBackBufferSelector);
int32_t DDInitFullScreen(HWND hWnd, int32_t nWidth, int32_t nHeight, int32_t nDepth, int32_t nBackBufferSelector);
int32_t DDInitWindow(HWND hWnd);
bool DDReportInitError(int32_t nCode);
void DDSetDefaultStates();
