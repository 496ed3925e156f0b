#pragma once
// Shared state of the graphics stand-ins (not for game code).
#include <cstdint>

#include "platform/graphics/D3D9.h"
#include "platform/graphics/DDraw.h"
#include "platform/graphics/GraphicsControl.h"
#include "platform/graphics/TextRasterizer.h"

namespace gfx {

const GraphicsProfile& Profile();   // the current profile (read on the calling thread)

// The video-memory budget shared by default-pool textures and video-memory DirectDraw surfaces.
bool ReserveVideoMemory(uint64_t bytes);
void ReleaseVideoMemory(uint64_t bytes);
uint64_t VideoMemoryUsed();

// Device loss: a counter that increases with every LoseDirect3DDevice, and whether the device
// may be reset now.
uint32_t DeviceLossGeneration();
bool DeviceRegained();
// Surface loss: a counter that increases with every LoseDirectDrawSurfaces.
uint32_t SurfaceLossGeneration();

D3DFORMAT D3DFormatFromPixelFormat(PixelFormat format);

// Draws a line of text through the registered rasterizer: where the mask is set, the raw value
// is written into the buffer at (x, y) + mask position, clipped to clip (null: the buffer).
// Returns the line's extent (0 x 0 without a rasterizer).
SIZE DrawTextMask(const TEXTFONTSPEC& font, const char* text, int32_t count, int32_t x, int32_t y,
                  uint32_t raw, cPixelBuffer* target, const RECT* clip);

// The display the DirectDraw stand-in runs on (the window's desktop or the full-screen mode).
struct DisplayState {
    int32_t nWidth = 640;
    int32_t nHeight = 480;
    int32_t nBpp = 32;
    uint32_t nRefreshRate = 60;
    bool bFullScreen = false;
};
DisplayState CurrentDisplay();
void SetCurrentDisplay(const DisplayState& display);
PixelFormat DisplayPixelFormat(int32_t bpp);

// Waits for the display's next vertical blank: blanks come at whole multiples of the refresh
// period on the host's millisecond clock (the headless host's virtual clock advances instead).
void WaitForVerticalBlank();

// Presents a buffer to the host, converting through the palette at 8 bits (null: grey ramp).
void PresentBuffer(const cPixelBuffer& buffer, const PALETTEENTRY* palette);


// The palette attached to the DirectDraw primary surface (null when none), for presentation
// and for colour matching on 8-bit targets. Copies the entries into out.
bool DisplayPalette(PALETTEENTRY out[256]);
void SetDisplayPalette(IDirectDrawPalette* palette);
// The nearest entry of a palette to a colour (0xRRGGBB).
uint8_t NearestPaletteIndex(const PALETTEENTRY* palette, uint32_t rgb);

// A device context of the GDI stand-in: over a surface's pixels (GetDC), a window (the
// desktop format) or a memory context holding a selected bitmap.
struct GdiObject;
struct GdiContext {
    cPixelBuffer* lpPixels = nullptr;          // surface or window pixels (null for memory contexts)
    IDirectDrawSurface7* lpSurface = nullptr;  // the surface whose GetDC made it
    GdiObject* lpBitmap = nullptr;             // memory context: the selected bitmap
    GdiObject* lpFont = nullptr;
    uint32_t dwTextColour = 0;
    int32_t nBkMode = 2;
    int32_t nDesktopBits = 0;                  // window contexts
};
HDC NewSurfaceContext(cPixelBuffer* pixels, IDirectDrawSurface7* surface);
void DeleteSurfaceContext(HDC dc);

}  // namespace gfx
