#pragma once
// The graphics stand-ins' side door for the host, tests and benchmarks: the capability profile
// of the emulated display adapter, failures on demand, device and surface loss, and the frames
// the presentation hands over. Game code never includes this header.
#include <cstdint>
#include <string>
#include <vector>

struct GraphicsProfile {
    bool bDirect3D9 = true;            // Direct3DCreate9 succeeds
    bool bHardwareVertexProcessing = true;
    bool bPow2 = false;                // textures must have power-of-two sizes
    bool bSquareOnly = false;          // textures must be square
    bool bDynamicTextures = true;
    bool bAlphaFlipOrDiscard = true;   // D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD
    uint32_t nMaxTextureWidth = 4096;
    uint32_t nMaxTextureHeight = 4096;
    uint32_t nVideoMemoryBytes = 64u << 20;   // shared by default-pool textures and video surfaces
    uint32_t nDdiVersion = 9;                 // the display driver's DDI version (diagnostics)
    uint32_t nDesktopBpp = 32;                // the window mode's display depth
    uint32_t nDesktopRefreshRate = 60;
    std::vector<uint32_t> vRefreshRates{60};  // rates the display accepts
    std::vector<uint32_t> vDisplayDepths{8, 16, 32};
};

void SetGraphicsProfile(const GraphicsProfile& profile);
GraphicsProfile GetGraphicsProfile();
void ResetGraphicsProfile();

enum class GraphicsFault {
    Direct3DCreate,        // Direct3DCreate9 returns null
    CreateDeviceHardware,  // CreateDevice with hardware vertex processing fails
    CreateDevice,          // every CreateDevice fails
    CreateTexture,         // texture creation fails with D3DERR_INVALIDCALL
    CreateVertexBuffer,
    Reset,                 // Reset fails
    DirectDrawCreate,
    SetCooperativeLevel,
    SetDisplayMode,
    CreateSurface,         // any DirectDraw CreateSurface fails with DDERR_GENERIC
    LockSurface,           // the next surface lock (either API) fails
};
// The fault fires on the next count matching calls, then disarms.
void ArmGraphicsFault(GraphicsFault fault, int count = 1);
void DisarmGraphicsFaults();
bool TakeGraphicsFault(GraphicsFault fault);

// Device loss: the Direct3D device becomes lost (Present fails with D3DERR_DEVICELOST,
// TestCooperativeLevel answers D3DERR_DEVICELOST) until the device is regained, after which
// TestCooperativeLevel answers D3DERR_DEVICENOTRESET until Reset succeeds. Default-pool
// contents are lost with it.
void LoseDirect3DDevice();
void RegainDirect3DDevice();
// Every DirectDraw surface in video memory (and the primary chain) reports DDERR_SURFACELOST
// and loses its pixels until restored.
void LoseDirectDrawSurfaces();

// Presented frames: 32-bit pixels 0xFFRRGGBB, top row first.
struct PresentedFrame {
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    std::vector<uint32_t> vPixels;
};
uint64_t PresentedFrameCount();
// The last presented frame (empty before the first present).
PresentedFrame LastPresentedFrame();
// A fingerprint of the last presented frame's picture (its size and every pixel), for comparing
// runs frame by frame without keeping the frames.
uint64_t LastPresentedFrameHash();
// Keep every presented frame from now on, up to a limit (0: keep none, the default).
void KeepPresentedFrames(size_t limit);
std::vector<PresentedFrame> TakeKeptFrames();
void ClearPresentedFrames();
// Writes a frame as a 24-bit PNG or BMP file (host path); false when the file cannot be written.
bool WriteFramePng(const PresentedFrame& frame, const std::string& hostPath);
bool WriteFrameBmp(const PresentedFrame& frame, const std::string& hostPath);

// Hands a finished frame to the host: kept on the headless host, shown on the SDL host in the
// window's 640 x 480 client area scaled with 4:3 kept. Called by the presentation stand-ins.
void PresentFrameToHost(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitchPixels);
// Called on the presenting thread after every frame handed to the host, with the count of
// frames presented so far (the program's entry uses it for the headless frame limit, frame
// dumps and the input script). Null removes it.
void SetFramePresentedHook(void (*hook)(uint64_t frameCount));

// The SDL host: the window the frames are shown in (an SDL_Window*), given by the layer that
// created the main window; without one the presentation makes its own 640 x 480 window on first
// use. Frames handed over on another thread are shown by ShowPendingFrame, which the thread
// that owns the window calls from its event loop (it is also called by PresentFrameToHost when
// that runs on the window's thread).
void SetPresentationWindow(void* sdlWindow);
// The SDL host's main window, opened by the program's entry on its user-interface thread before
// the game's window exists: its events (keys, close, focus) become messages of the program's
// main window, and the frames are shown in it. False on the headless host or when SDL fails.
bool HostOpenSdlWindow();
void HostCloseSdlWindow();
void ShowPendingFrame();
