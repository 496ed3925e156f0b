// The Direct3D stand-in's drawing of keyed sprites, layer by layer, beside SDL's keyed blit with
// and without run-length keys, at 16 and 32 bits: 100 colour-keyed 32 x 32 sprites a iteration.
//   rows     the rasteriser's row kernel alone (the pixels)
//   quad     the rasteriser's quad: shape test, texture planes, rows
//   device   the device's triangle strip from a vertex buffer, as the graphics layer submits it
//   sdl      SDL_BlitSurface with a colour key
//   sdl-rle  the same with SDL's run-length encoded keys
// The same picture as bench_graphics: round shapes with a pattern of 4 x 4 holes.
//
// Run: build/release/bench/bench_rasteriser [--benchmark_repetitions=3]
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/graphics/D3DX9.h"
#include "platform/graphics/GraphicsControl.h"
#include "platform/graphics/RasterRows.h"
#include "platform/graphics/Rasteriser.h"
#include "platform/host/Host.h"

namespace {

constexpr int32_t kScreenW = 640;
constexpr int32_t kScreenH = 480;
constexpr int32_t kSprites = 100;
constexpr int32_t kSize = 32;

bool Transparent(int32_t x, int32_t y)
{
    const int32_t dx = x % 32 * 2 - 31, dy = y % 32 * 2 - 31;
    return dx * dx + dy * dy > 30 * 30 || (x / 4 + y / 4) % 5 == 0;
}

uint32_t Colour(int32_t x, int32_t y)
{
    return static_cast<uint32_t>((x * 3 + y * 5) & 255) << 16 | static_cast<uint32_t>(((x * 7) ^ y) & 255) << 8 |
           static_cast<uint32_t>((y * 3 + 40) & 255);
}

int32_t SpriteX(int32_t i) { return (i * 37) % (kScreenW - 64); }
int32_t SpriteY(int32_t i) { return (i * 53) % (kScreenH - 64); }

// The sprite as a texture (A8R8G8B8 or A1R5G5B5, transparent texels of alpha 0) and the screen
// (X8R8G8B8 or R5G6B5).
struct Pictures {
    cPixelBuffer screen, sprite;
    explicit Pictures(int32_t depth)
        : screen(depth == 16 ? PixelFormat::R5G6B5 : PixelFormat::X8R8G8B8, kScreenW, kScreenH),
          sprite(depth == 16 ? PixelFormat::A1R5G5B5 : PixelFormat::A8R8G8B8, kSize, kSize)
    {
        for (int32_t y = 0; y < kSize; ++y)
            for (int32_t x = 0; x < kSize; ++x)
                sprite.WriteArgb(x, y, Transparent(x, y) ? 0u : 0xFF000000u | Colour(x, y));
    }
};

void Rows(benchmark::State& state, int32_t depth)
{
    Pictures p(depth);
    std::vector<const uint8_t*> texels(kSize);
    for (int32_t y = 0; y < kSize; ++y) texels[static_cast<size_t>(y)] = p.sprite.Row(y);
    for (auto _ : state)
        for (int32_t i = 0; i < kSprites; ++i) {
            const gfx::raster::rows::TargetRect r{p.screen.Row(SpriteY(i)) + SpriteX(i) * p.screen.BytesPerPixel(),
                                                  p.screen.Pitch(), kSize, kSize};
            if (depth == 16) gfx::raster::rows::Texels555(r, texels.data(), true, true);
            else gfx::raster::rows::ModulateBlend32(r, texels.data(), 0xFFFFFFFFu, false);
        }
}

void Quad(benchmark::State& state, int32_t depth)
{
    Pictures p(depth);
    gfx::raster::DrawState draw;
    draw.target = &p.screen;
    draw.texture = &p.sprite;
    draw.stage = gfx::raster::Stage{D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE,
                                    D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE};
    draw.blend = true;
    draw.srcBlend = D3DBLEND_SRCALPHA;
    draw.dstBlend = D3DBLEND_INVSRCALPHA;
    gfx::raster::cRasteriser raster;
    for (auto _ : state)
        for (int32_t i = 0; i < kSprites; ++i) {
            const float l = static_cast<float>(SpriteX(i)) - 0.5f, t = static_cast<float>(SpriteY(i)) - 0.5f;
            auto v = [&](float dx, float dy) {
                return gfx::raster::MakeVertex(l + dx, t + dy, dx / kSize, dy / kSize, 0xFFFFFFFFu, kSize, kSize);
            };
            const gfx::raster::Vertex a[3] = {v(0, 0), v(kSize, 0), v(0, kSize)};
            const gfx::raster::Vertex b[3] = {v(kSize, 0), v(kSize, kSize), v(0, kSize)};
            raster.Quad(draw, a, b);
        }
}

// A device with the graphics layer's default states, drawing each sprite from its vertex buffer.
void Device(benchmark::State& state, int32_t depth)
{
    HostSelect(HostKind::Headless);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = 1;
    pp.BackBufferWidth = kScreenW;
    pp.BackBufferHeight = kScreenH;
    pp.BackBufferFormat = depth == 16 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    IDirect3DDevice9* device = nullptr;
    IDirect3DTexture9* texture = nullptr;
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DSurface9* back = nullptr;
    if (!d3d || d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device) != D3D_OK ||
        device->CreateTexture(kSize, kSize, 1, 0, depth == 16 ? D3DFMT_A1R5G5B5 : D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                              &texture, nullptr) != D3D_OK ||
        device->CreateVertexBuffer(4 * sizeof(D3DTLVERTEX_TEX1), D3DUSAGE_WRITEONLY, 0x144, D3DPOOL_MANAGED, &vb,
                                   nullptr) != D3D_OK) {
        state.SkipWithError("no device");
    } else {
        Pictures p(depth);
        D3DLOCKED_RECT locked{};
        texture->LockRect(0, &locked, nullptr, 0);
        for (int32_t y = 0; y < kSize; ++y)
            std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, p.sprite.Row(y),
                        static_cast<size_t>(kSize * p.sprite.BytesPerPixel()));
        texture->UnlockRect(0);
        device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        for (auto _ : state)
            for (int32_t i = 0; i < kSprites; ++i) {
                const float l = static_cast<float>(SpriteX(i)) - 0.5f, t = static_cast<float>(SpriteY(i)) - 0.5f;
                void* data = nullptr;
                vb->Lock(0, 0, &data, 0);
                const D3DTLVERTEX_TEX1 v[4] = {{l, t, 0, 1, 0xFFFFFFFFu, 0, 0},
                                               {l, t + kSize, 0, 1, 0xFFFFFFFFu, 0, 1},
                                               {l + kSize, t, 0, 1, 0xFFFFFFFFu, 1, 0},
                                               {l + kSize, t + kSize, 0, 1, 0xFFFFFFFFu, 1, 1}};
                std::memcpy(data, v, sizeof(v));
                vb->Unlock();
                device->SetRenderTarget(0, back);
                device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
                device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
                device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
                device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
                device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
                device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
                device->SetTexture(0, texture);
                device->SetStreamSource(0, vb, 0, sizeof(D3DTLVERTEX_TEX1));
                device->SetFVF(0x144);
                device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
            }
    }
    if (back) back->Release();
    if (vb) vb->Release();
    if (texture) texture->Release();
    if (device) device->Release();
    if (d3d) d3d->Release();
}

void Sdl(benchmark::State& state, int32_t depth, bool rle)
{
    const Uint32 format = depth == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, kScreenW, kScreenH, depth, format);
    SDL_Surface* sprite = SDL_CreateRGBSurfaceWithFormat(0, kSize, kSize, depth, format);
    const uint32_t key = depth == 16 ? 0xF81F : 0xFF00FF;
    for (int32_t y = 0; y < kSize; ++y)
        for (int32_t x = 0; x < kSize; ++x) {
            const uint32_t c = Colour(x, y);
            uint32_t v = depth == 16 ? ((c >> 19) & 31) << 11 | ((c >> 10) & 63) << 5 | ((c >> 3) & 31) : c;
            if (Transparent(x, y)) v = key;
            auto* row = static_cast<uint8_t*>(sprite->pixels) + static_cast<size_t>(y) * sprite->pitch;
            std::memcpy(row + x * (depth / 8), &v, static_cast<size_t>(depth / 8));
        }
    SDL_SetColorKey(sprite, SDL_TRUE, key);
    SDL_SetSurfaceBlendMode(sprite, SDL_BLENDMODE_NONE);
    if (rle) SDL_SetSurfaceRLE(sprite, 1);
    for (auto _ : state)
        for (int32_t i = 0; i < kSprites; ++i) {
            SDL_Rect dst{SpriteX(i), SpriteY(i), kSize, kSize};
            SDL_BlitSurface(sprite, nullptr, screen, &dst);
        }
    SDL_FreeSurface(sprite);
    SDL_FreeSurface(screen);
}

BENCHMARK_CAPTURE(Rows, 16, 16)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Quad, 16, 16)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Device, 16, 16)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Sdl, 16, 16, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Sdl, 16_rle, 16, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Rows, 32, 32)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Quad, 32, 32)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Device, 32, 32)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Sdl, 32, 32, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Sdl, 32_rle, 32, true)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
