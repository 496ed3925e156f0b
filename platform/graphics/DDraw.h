#pragma once
// The DirectDraw 7 subset the graphics layer uses, in software on CPU pixel buffers: display
// mode and cooperative level, a primary surface with a flip chain (full screen) or a clipper
// (window), off-screen surfaces in "video" or "system" memory (both CPU memory, flags kept),
// colour fills, source colour keys, stretched and mirrored blits, fast blits that refuse
// rectangles outside the surfaces, locks, 256-entry palettes, device contexts for GDI text,
// lost surfaces and restore, and the video-memory budget of the graphics profile.
#include "platform/graphics/GraphicsTypes.h"
#include "platform/graphics/PixelBuffer.h"

constexpr HRESULT DD_OK = S_OK;
constexpr HRESULT DDERR_GENERIC = E_FAIL;
constexpr HRESULT DDERR_INVALIDPARAMS = E_INVALIDARG;
constexpr HRESULT DDERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DDERR_INVALIDRECT = MakeGraphicsError(0x876, 150);
constexpr HRESULT DDERR_NOCOLORKEY = MakeGraphicsError(0x876, 215);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = MakeGraphicsError(0x876, 380);
constexpr HRESULT DDERR_SURFACEBUSY = MakeGraphicsError(0x876, 430);
constexpr HRESULT DDERR_SURFACELOST = MakeGraphicsError(0x876, 450);
constexpr HRESULT DDERR_UNSUPPORTEDMODE = MakeGraphicsError(0x876, 590);
constexpr HRESULT DDERR_WRONGMODE = MakeGraphicsError(0x876, 587);
constexpr HRESULT DDERR_NOTFOUND = MakeGraphicsError(0x876, 255);
constexpr HRESULT DDERR_EXCLUSIVEMODEALREADYSET = MakeGraphicsError(0x876, 581);

extern const IID IID_IDirectDraw7;

// Cooperative levels.
constexpr DWORD DDSCL_FULLSCREEN = 0x1;
constexpr DWORD DDSCL_ALLOWREBOOT = 0x2;
constexpr DWORD DDSCL_NORMAL = 0x8;
constexpr DWORD DDSCL_EXCLUSIVE = 0x10;

// Surface description fields.
constexpr DWORD DDSD_CAPS = 0x1;
constexpr DWORD DDSD_HEIGHT = 0x2;
constexpr DWORD DDSD_WIDTH = 0x4;
constexpr DWORD DDSD_PITCH = 0x8;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x20;
constexpr DWORD DDSD_CKSRCBLT = 0x10000;
constexpr DWORD DDSD_PIXELFORMAT = 0x1000;
constexpr DWORD DDSD_LPSURFACE = 0x800;

// Surface capabilities.
constexpr DWORD DDSCAPS_BACKBUFFER = 0x4;
constexpr DWORD DDSCAPS_COMPLEX = 0x8;
constexpr DWORD DDSCAPS_FLIP = 0x10;
constexpr DWORD DDSCAPS_FRONTBUFFER = 0x20;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x4000;
constexpr DWORD DDSCAPS_LOCALVIDMEM = 0x10000000;

// Pixel format flags.
constexpr DWORD DDPF_PALETTEINDEXED8 = 0x20;
constexpr DWORD DDPF_RGB = 0x40;
constexpr DWORD DDPF_ALPHAPIXELS = 0x1;

// Blt flags.
constexpr DWORD DDBLT_COLORFILL = 0x400;
constexpr DWORD DDBLT_DDFX = 0x800;
constexpr DWORD DDBLT_KEYSRC = 0x8000;
constexpr DWORD DDBLT_WAIT = 0x1000000;
constexpr DWORD DDBLTFX_MIRRORLEFTRIGHT = 0x2;
constexpr DWORD DDBLTFX_MIRRORUPDOWN = 0x4;

// BltFast flags.
constexpr DWORD DDBLTFAST_NOCOLORKEY = 0x0;
constexpr DWORD DDBLTFAST_SRCCOLORKEY = 0x1;
constexpr DWORD DDBLTFAST_WAIT = 0x10;

// Colour keys.
constexpr DWORD DDCKEY_SRCBLT = 0x8;

// Lock and flip.
constexpr DWORD DDLOCK_WAIT = 0x1;
constexpr DWORD DDLOCK_READONLY = 0x10;
constexpr DWORD DDLOCK_WRITEONLY = 0x20;
constexpr DWORD DDFLIP_WAIT = 0x1;
constexpr DWORD DDWAITVB_BLOCKBEGIN = 0x1;

// Palettes.
constexpr DWORD DDPCAPS_8BIT = 0x4;
constexpr DWORD DDPCAPS_ALLOW256 = 0x40;

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDSCAPS2 {
    DWORD dwCaps;
    DWORD dwCaps2;
    DWORD dwCaps3;
    DWORD dwCaps4;
};

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};

struct DDSURFACEDESC2 {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DWORD dwRefreshRate;
    void* lpSurface;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS2 ddsCaps;
};

struct DDBLTFX {
    DWORD dwSize;
    DWORD dwDDFX;
    DWORD dwFillColor;
    DDCOLORKEY ddckSrcColorkey;
};

struct HDC__;
using HDC = HDC__*;

class IDirectDrawPalette : public cGfxObject {
public:
    virtual HRESULT SetEntries(DWORD flags, DWORD start, DWORD count, const PALETTEENTRY* entries) = 0;
    virtual HRESULT GetEntries(DWORD flags, DWORD start, DWORD count, PALETTEENTRY* entries) = 0;
};

class IDirectDrawClipper : public cGfxObject {
public:
    virtual HRESULT SetHWnd(DWORD flags, HWND window) = 0;
};

class IDirectDrawSurface7 : public cGfxObject {
public:
    // Adds a reference to the returned surface.
    virtual HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** surface) = 0;
    // Clipped to both surfaces (the destination rectangle through the clipper on the primary
    // surface); stretches when the rectangles differ in size.
    virtual HRESULT Blt(RECT* destRect, IDirectDrawSurface7* source, RECT* sourceRect, DWORD flags,
                        DDBLTFX* fx) = 0;
    // No stretching and no clipping: a rectangle reaching outside either surface is refused
    // with DDERR_INVALIDRECT.
    virtual HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface7* source, RECT* sourceRect, DWORD flags) = 0;
    virtual HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT Unlock(RECT* rect) = 0;
    virtual HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key) = 0;
    virtual HRESULT GetColorKey(DWORD flags, DDCOLORKEY* key) = 0;
    virtual HRESULT SetPalette(IDirectDrawPalette* palette) = 0;
    virtual HRESULT SetClipper(IDirectDrawClipper* clipper) = 0;
    virtual HRESULT GetPixelFormat(DDPIXELFORMAT* format) = 0;
    virtual HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc) = 0;
    virtual HRESULT GetCaps(DDSCAPS2* caps) = 0;
    virtual HRESULT IsLost() = 0;
    virtual HRESULT Restore() = 0;
    // Primary surface of a flip chain: shows the back buffer (handed to the host as a frame),
    // with DDFLIP_WAIT on the display's vertical blank.
    virtual HRESULT Flip(IDirectDrawSurface7* target, DWORD flags) = 0;
    // A device context over the surface for the GDI calls (Gdi.h).
    virtual HRESULT GetDC(HDC* dc) = 0;
    virtual HRESULT ReleaseDC(HDC dc) = 0;
    // The pixels behind the surface (the layer's own access, for presentation and tests).
    virtual cPixelBuffer* Pixels() = 0;
};

class IDirectDraw7 : public cGfxObject {
public:
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refreshRate, DWORD flags) = 0;
    virtual HRESULT RestoreDisplayMode() = 0;
    virtual HRESULT GetDisplayMode(DDSURFACEDESC2* desc) = 0;
    virtual HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** surface, void* outer) = 0;
    virtual HRESULT CreatePalette(DWORD flags, PALETTEENTRY* entries, IDirectDrawPalette** palette,
                                  void* outer) = 0;
    virtual HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, void* outer) = 0;
    virtual HRESULT GetAvailableVidMem(DDSCAPS2* caps, DWORD* total, DWORD* free) = 0;
    virtual HRESULT GetMonitorFrequency(DWORD* frequency) = 0;
    // Blanks come at whole multiples of the refresh period of the host's millisecond clock.
    virtual HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) = 0;
    virtual HRESULT FlipToGDISurface() = 0;
};

HRESULT DirectDrawCreateEx(GUID* driver, void** directDraw, REFIID iid, void* outer);
