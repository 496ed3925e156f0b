#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/graphics/GraphicsInternal.h"
#include "platform/graphics/PixelRows.h"
#include "platform/host/Host.h"
#include "platform/win/WinThread.h"
#include "platform/win/WinTime.h"

namespace {

std::mutex g_ProfileMutex;
GraphicsProfile g_Profile;
thread_local GraphicsProfile t_ProfileCopy;

std::mutex g_FaultMutex;
int g_nFaultCounts[16] = {};

std::atomic<uint64_t> g_nVideoUsed{0};
std::atomic<uint32_t> g_nLossGeneration{0};
std::atomic<bool> g_bRegained{true};
std::atomic<uint32_t> g_nSurfaceLossGeneration{0};

std::mutex g_DisplayMutex;
gfx::DisplayState g_Display;

std::mutex g_FrameMutex;
uint64_t g_nFrameCount = 0;
PresentedFrame g_LastFrame;
size_t g_nKeepLimit = 0;
std::vector<PresentedFrame> g_vKept;

// SDL presentation.
SDL_Window* g_lpWindow = nullptr;
SDL_Renderer* g_lpRenderer = nullptr;
SDL_Texture* g_lpTexture = nullptr;
bool g_bOwnWindow = false;
bool g_bPending = false;   // the last frame waits to be shown on the window's thread
std::thread::id g_WindowThread;

}  // namespace

void SetGraphicsProfile(const GraphicsProfile& profile) {
    {
        std::lock_guard<std::mutex> lock(g_ProfileMutex);
        g_Profile = profile;
    }
    // The display starts over as the profile's desktop.
    gfx::DisplayState display;
    display.nBpp = static_cast<int32_t>(profile.nDesktopBpp);
    display.nRefreshRate = profile.nDesktopRefreshRate;
    std::lock_guard<std::mutex> lock(g_DisplayMutex);
    g_Display = display;
}

GraphicsProfile GetGraphicsProfile() {
    std::lock_guard<std::mutex> lock(g_ProfileMutex);
    return g_Profile;
}

void ResetGraphicsProfile() { SetGraphicsProfile(GraphicsProfile{}); }

void ArmGraphicsFault(GraphicsFault fault, int count) {
    std::lock_guard<std::mutex> lock(g_FaultMutex);
    g_nFaultCounts[static_cast<int>(fault)] = count;
}

void DisarmGraphicsFaults() {
    std::lock_guard<std::mutex> lock(g_FaultMutex);
    for (int& c : g_nFaultCounts) c = 0;
}

bool TakeGraphicsFault(GraphicsFault fault) {
    std::lock_guard<std::mutex> lock(g_FaultMutex);
    int& c = g_nFaultCounts[static_cast<int>(fault)];
    if (c <= 0) return false;
    --c;
    return true;
}

void LoseDirect3DDevice() {
    g_bRegained = false;
    ++g_nLossGeneration;
}

void RegainDirect3DDevice() { g_bRegained = true; }

void LoseDirectDrawSurfaces() { ++g_nSurfaceLossGeneration; }

namespace gfx {

const GraphicsProfile& Profile() {
    t_ProfileCopy = GetGraphicsProfile();
    return t_ProfileCopy;
}

bool ReserveVideoMemory(uint64_t bytes) {
    const uint64_t budget = GetGraphicsProfile().nVideoMemoryBytes;
    uint64_t used = g_nVideoUsed.load();
    do {
        if (used + bytes > budget) return false;
    } while (!g_nVideoUsed.compare_exchange_weak(used, used + bytes));
    return true;
}

void ReleaseVideoMemory(uint64_t bytes) { g_nVideoUsed -= std::min<uint64_t>(bytes, g_nVideoUsed.load()); }

uint64_t VideoMemoryUsed() { return g_nVideoUsed.load(); }

uint32_t DeviceLossGeneration() { return g_nLossGeneration.load(); }
bool DeviceRegained() { return g_bRegained.load(); }
uint32_t SurfaceLossGeneration() { return g_nSurfaceLossGeneration.load(); }

D3DFORMAT D3DFormatFromPixelFormat(PixelFormat format) {
    switch (format) {
    case PixelFormat::P8: return D3DFMT_P8;
    case PixelFormat::R5G6B5: return D3DFMT_R5G6B5;
    case PixelFormat::X1R5G5B5: return D3DFMT_X1R5G5B5;
    case PixelFormat::A1R5G5B5: return D3DFMT_A1R5G5B5;
    case PixelFormat::R8G8B8: return D3DFMT_R8G8B8;
    case PixelFormat::X8R8G8B8: return D3DFMT_X8R8G8B8;
    case PixelFormat::A8R8G8B8: return D3DFMT_A8R8G8B8;
    case PixelFormat::Unknown: break;
    }
    return D3DFMT_UNKNOWN;
}

DisplayState CurrentDisplay() {
    std::lock_guard<std::mutex> lock(g_DisplayMutex);
    return g_Display;
}

void SetCurrentDisplay(const DisplayState& display) {
    std::lock_guard<std::mutex> lock(g_DisplayMutex);
    g_Display = display;
}

PixelFormat DisplayPixelFormat(int32_t bpp) {
    switch (bpp) {
    case 8: return PixelFormat::P8;
    case 16: return PixelFormat::R5G6B5;
    case 24: return PixelFormat::R8G8B8;
    default: return PixelFormat::X8R8G8B8;
    }
}

void WaitForVerticalBlank() {
    static std::mutex mutex;
    static uint64_t lastBlank = 0;
    std::lock_guard<std::mutex> lock(mutex);
    const uint32_t rate = CurrentDisplay().nRefreshRate ? CurrentDisplay().nRefreshRate : 60;
    const uint64_t now = timeGetTime();
    // Blank k falls at ceil(k * 1000 / rate) ms; the next one after now, never the same twice.
    uint64_t k = now * rate / 1000 + 1;
    if (k <= lastBlank) k = lastBlank + 1;
    const uint64_t at = (k * 1000 + rate - 1) / rate;
    if (at > now) Sleep(static_cast<DWORD>(at - now));
    lastBlank = k;
}

namespace {

// One row of a buffer as 0xFFRRGGBB, pixel by pixel: the reference for the row loops below.
void ConvertRowPlain(const cPixelBuffer& buffer, const PALETTEENTRY* palette, int32_t y, uint32_t* out) {
    const int32_t w = buffer.Width();
    if (buffer.Format() == PixelFormat::P8) {
        const uint8_t* row = buffer.Row(y);
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t i = row[x];
            out[x] = palette ? 0xFF000000u | static_cast<uint32_t>(palette[i].peRed) << 16 |
                                   static_cast<uint32_t>(palette[i].peGreen) << 8 | palette[i].peBlue
                             : 0xFF000000u | i * 0x010101u;
        }
    } else if (buffer.BytesPerPixel() == 4) {
        std::memcpy(out, buffer.Row(y), static_cast<size_t>(w) * 4);
        for (int32_t x = 0; x < w; ++x) out[x] |= 0xFF000000u;
    } else {
        for (int32_t x = 0; x < w; ++x) out[x] = 0xFF000000u | buffer.ReadArgb(x, y);
    }
}

// The whole buffer in one pass, straight into the frame's storage.
void ConvertFrame(const cPixelBuffer& buffer, const PALETTEENTRY* palette, uint32_t* out) {
    const int32_t w = buffer.Width(), h = buffer.Height();
    const PixelFormat format = buffer.Format();
    const bool rowLoop = !GeneralPixelPathsForced() &&
                         (format == PixelFormat::P8 || format == PixelFormat::R5G6B5 ||
                          format == PixelFormat::X1R5G5B5 || format == PixelFormat::A1R5G5B5 ||
                          buffer.BytesPerPixel() == 4);
    if (!rowLoop) {
        for (int32_t y = 0; y < h; ++y) ConvertRowPlain(buffer, palette, y, out + static_cast<size_t>(y) * w);
        return;
    }
    uint32_t table[256];
    if (format == PixelFormat::P8)
        for (uint32_t i = 0; i < 256; ++i)
            table[i] = palette ? 0xFF000000u | static_cast<uint32_t>(palette[i].peRed) << 16 |
                                     static_cast<uint32_t>(palette[i].peGreen) << 8 | palette[i].peBlue
                               : 0xFF000000u | i * 0x010101u;
    // Rows without padding are converted as one.
    const bool whole = buffer.Pitch() == w * buffer.BytesPerPixel() && static_cast<int64_t>(w) * h <= INT32_MAX;
    for (int32_t y = 0; y < (whole ? 1 : h); ++y) {
        uint32_t* row = out + static_cast<size_t>(y) * w;
        const uint8_t* in = buffer.Row(y);
        const int32_t n = whole ? w * h : w;
        switch (format) {
        case PixelFormat::P8: rows::ArgbFromP8(row, in, n, table); break;
        case PixelFormat::R5G6B5: rows::ArgbFromR5G6B5(row, reinterpret_cast<const uint16_t*>(in), n); break;
        case PixelFormat::X1R5G5B5:
        case PixelFormat::A1R5G5B5: rows::ArgbFromX1R5G5B5(row, reinterpret_cast<const uint16_t*>(in), n); break;
        default: rows::ArgbFromX8R8G8B8(row, reinterpret_cast<const uint32_t*>(in), n); break;
        }
    }
}

}  // namespace

}  // namespace gfx

uint64_t PresentedFrameCount() {
    std::lock_guard<std::mutex> lock(g_FrameMutex);
    return g_nFrameCount;
}

PresentedFrame LastPresentedFrame() {
    std::lock_guard<std::mutex> lock(g_FrameMutex);
    return g_LastFrame;
}

uint64_t LastPresentedFrameHash() {
    std::lock_guard<std::mutex> lock(g_FrameMutex);
    // FNV-1a over 32-bit words: cheap enough to run on every frame of a test run.
    uint64_t h = 0xCBF29CE484222325ull;
    auto mix = [&h](uint32_t v) {
        h ^= v;
        h *= 0x100000001B3ull;
    };
    mix(static_cast<uint32_t>(g_LastFrame.nWidth));
    mix(static_cast<uint32_t>(g_LastFrame.nHeight));
    for (uint32_t p : g_LastFrame.vPixels) mix(p);
    return h;
}

void KeepPresentedFrames(size_t limit) {
    std::lock_guard<std::mutex> lock(g_FrameMutex);
    g_nKeepLimit = limit;
    if (g_vKept.size() > limit) g_vKept.resize(limit);
}

std::vector<PresentedFrame> TakeKeptFrames() {
    std::lock_guard<std::mutex> lock(g_FrameMutex);
    std::vector<PresentedFrame> frames;
    frames.swap(g_vKept);
    return frames;
}

void ClearPresentedFrames() {
    std::lock_guard<std::mutex> lock(g_FrameMutex);
    g_nFrameCount = 0;
    g_LastFrame = PresentedFrame{};
    g_vKept.clear();
}

namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static uint32_t table[256];
    static std::once_flag once;
    std::call_once(once, [] {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    });
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBE32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
    PutBE32(out, static_cast<uint32_t>(body.size()));
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    out.insert(out.end(), typed.begin(), typed.end());
    PutBE32(out, Crc32(typed.data(), typed.size()));
}

bool WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

bool WriteFramePng(const PresentedFrame& frame, const std::string& hostPath) {
    if (frame.nWidth <= 0 || frame.nHeight <= 0) return false;
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(frame.nWidth * 3 + 1) * frame.nHeight);
    for (int32_t y = 0; y < frame.nHeight; ++y) {
        raw.push_back(0);   // no filter
        for (int32_t x = 0; x < frame.nWidth; ++x) {
            const uint32_t p = frame.vPixels[static_cast<size_t>(y) * frame.nWidth + x];
            raw.push_back(static_cast<uint8_t>(p >> 16));
            raw.push_back(static_cast<uint8_t>(p >> 8));
            raw.push_back(static_cast<uint8_t>(p));
        }
    }
    // A zlib stream of stored blocks: no compressor needed, any reader accepts it.
    std::vector<uint8_t> z{0x78, 0x01};
    size_t pos = 0;
    do {
        const size_t n = std::min<size_t>(65535, raw.size() - pos);
        z.push_back(pos + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                 raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(z, b << 16 | a);

    std::vector<uint8_t> out{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> ihdr;
    PutBE32(ihdr, static_cast<uint32_t>(frame.nWidth));
    PutBE32(ihdr, static_cast<uint32_t>(frame.nHeight));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});   // 8 bits, truecolour
    PutChunk(out, "IHDR", ihdr);
    PutChunk(out, "IDAT", z);
    PutChunk(out, "IEND", {});
    return WriteWhole(hostPath, out);
}

bool WriteFrameBmp(const PresentedFrame& frame, const std::string& hostPath) {
    if (frame.nWidth <= 0 || frame.nHeight <= 0) return false;
    const uint32_t stride = (static_cast<uint32_t>(frame.nWidth) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * static_cast<uint32_t>(frame.nHeight);
    std::vector<uint8_t> out(54 + imageSize, 0);
    auto put16 = [&](size_t at, uint32_t v) {
        out[at] = static_cast<uint8_t>(v);
        out[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    auto put32 = [&](size_t at, uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + imageSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(frame.nWidth));
    put32(22, static_cast<uint32_t>(frame.nHeight));
    put16(26, 1);
    put16(28, 24);
    put32(34, imageSize);
    for (int32_t y = 0; y < frame.nHeight; ++y) {
        uint8_t* row = out.data() + 54 + static_cast<size_t>(frame.nHeight - 1 - y) * stride;
        for (int32_t x = 0; x < frame.nWidth; ++x) {
            const uint32_t p = frame.vPixels[static_cast<size_t>(y) * frame.nWidth + x];
            row[x * 3] = static_cast<uint8_t>(p);
            row[x * 3 + 1] = static_cast<uint8_t>(p >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(p >> 16);
        }
    }
    return WriteWhole(hostPath, out);
}

void SetPresentationWindow(void* sdlWindow) {
    std::lock_guard<std::mutex> lock(g_FrameMutex);
    // The texture and renderer belong to the window they were made for.
    if (g_lpTexture != nullptr) SDL_DestroyTexture(g_lpTexture);
    if (g_lpRenderer != nullptr) SDL_DestroyRenderer(g_lpRenderer);
    g_lpTexture = nullptr;
    g_lpRenderer = nullptr;
    g_lpWindow = static_cast<SDL_Window*>(sdlWindow);
    g_bOwnWindow = false;
    g_WindowThread = std::this_thread::get_id();
}

namespace {

// Called with g_FrameMutex held, on the window's thread.
void ShowFrameLocked(const PresentedFrame& frame) {
    if (g_lpWindow == nullptr) {
        if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
        g_lpWindow = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480,
                                      SDL_WINDOW_RESIZABLE);
        if (g_lpWindow == nullptr) return;
        g_bOwnWindow = true;
        g_WindowThread = std::this_thread::get_id();
    }
    if (g_lpRenderer == nullptr) {
        g_lpRenderer = SDL_GetRenderer(g_lpWindow);
        if (g_lpRenderer == nullptr) g_lpRenderer = SDL_CreateRenderer(g_lpWindow, -1, 0);
        if (g_lpRenderer == nullptr) return;
    }
    int textureWidth = 0, textureHeight = 0;
    if (g_lpTexture) SDL_QueryTexture(g_lpTexture, nullptr, nullptr, &textureWidth, &textureHeight);
    if (g_lpTexture == nullptr || textureWidth != frame.nWidth || textureHeight != frame.nHeight) {
        if (g_lpTexture) SDL_DestroyTexture(g_lpTexture);
        g_lpTexture = SDL_CreateTexture(g_lpRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                        frame.nWidth, frame.nHeight);
        if (g_lpTexture == nullptr) return;
    }
    SDL_UpdateTexture(g_lpTexture, nullptr, frame.vPixels.data(), frame.nWidth * 4);
    // Scaled to the window with 4:3 kept, in whole steps when the window allows one.
    int windowWidth = 0, windowHeight = 0;
    SDL_GetRendererOutputSize(g_lpRenderer, &windowWidth, &windowHeight);
    int width = windowWidth, height = windowWidth * 3 / 4;
    if (height > windowHeight) {
        height = windowHeight;
        width = windowHeight * 4 / 3;
    }
    const int step = std::min(windowWidth / 640, windowHeight / 480);
    if (step >= 1) {
        width = 640 * step;
        height = 480 * step;
    }
    const SDL_Rect target{(windowWidth - width) / 2, (windowHeight - height) / 2, width, height};
    SDL_SetRenderDrawColor(g_lpRenderer, 0, 0, 0, 255);
    SDL_RenderClear(g_lpRenderer);
    SDL_RenderCopy(g_lpRenderer, g_lpTexture, nullptr, &target);
    SDL_RenderPresent(g_lpRenderer);
}

}  // namespace

void ShowPendingFrame() {
    std::lock_guard<std::mutex> lock(g_FrameMutex);
    if (!g_bPending) return;
    g_bPending = false;
    ShowFrameLocked(g_LastFrame);
}

namespace {

// Called with g_FrameMutex held: the storage of the next frame. The last frame's storage is
// reused, so a frame is written once.
uint32_t* BeginFrameLocked(int32_t width, int32_t height) {
    g_LastFrame.nWidth = width;
    g_LastFrame.nHeight = height;
    g_LastFrame.vPixels.resize(static_cast<size_t>(width) * height);
    return g_LastFrame.vPixels.data();
}

// Called with g_FrameMutex held once the frame is written; the count of frames presented so far.
uint64_t EndFrameLocked() {
    ++g_nFrameCount;
    if (g_vKept.size() < g_nKeepLimit) g_vKept.push_back(g_LastFrame);
    if (IsHeadless()) return g_nFrameCount;
    if (g_lpWindow == nullptr || g_WindowThread == std::this_thread::get_id()) {
        ShowFrameLocked(g_LastFrame);
    } else {
        // The window's thread shows the last frame when it next looks.
        g_bPending = true;
    }
    return g_nFrameCount;
}

}  // namespace

namespace {
std::atomic<void (*)(uint64_t)> g_FramePresentedHook{nullptr};
}

void SetFramePresentedHook(void (*hook)(uint64_t frameCount)) {
    g_FramePresentedHook = hook;
}

void PresentFrameToHost(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitchPixels) {
    if (pixels == nullptr || width <= 0 || height <= 0) return;
    uint64_t count;
    {
        std::lock_guard<std::mutex> lock(g_FrameMutex);
        uint32_t* out = BeginFrameLocked(width, height);
        for (int32_t y = 0; y < height; ++y)
            std::memcpy(out + static_cast<size_t>(y) * width, pixels + static_cast<size_t>(y) * pitchPixels,
                        static_cast<size_t>(width) * 4);
        count = EndFrameLocked();
    }
    if (auto hook = g_FramePresentedHook.load()) hook(count);
}

namespace gfx {

void PresentBuffer(const cPixelBuffer& buffer, const PALETTEENTRY* palette) {
    if (buffer.Width() <= 0 || buffer.Height() <= 0 || buffer.Empty()) return;
    uint64_t count;
    {
        std::lock_guard<std::mutex> lock(g_FrameMutex);
        ConvertFrame(buffer, palette, BeginFrameLocked(buffer.Width(), buffer.Height()));
        count = EndFrameLocked();
    }
    if (auto hook = g_FramePresentedHook.load()) hook(count);
}

}  // namespace gfx

