// Graphics drawing benchmarks on the headless host.
//
// - The Direct3D path's unscaled colour-keyed 32 x 32 blit and its stretched blit, next to SDL's
//   software blitter doing the same work (SDL_BlitSurface with a colour key, SDL_BlitScaled).
// - A full-screen blur at reach 1 and reach 240: the cost must not grow with the reach.
// - A typical 640 x 480 frame (background, 500 keyed sprites, 100 glyph-sized blits, one screen
//   effect) on each back end and depth.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <list>

#include "media/graphics/ColorPalette.h"
#include "media/graphics/DDBatch.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDEffects.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/DDPalette.h"
#include "media/graphics/GraphicsState.h"
#include "platform/graphics/GraphicsControl.h"
#include "platform/host/Host.h"

namespace {

// A running back end with a few surfaces filled with a picture that has transparent holes.
class Graphics {
public:
    Graphics(int32_t backEnd, int32_t depth)
    {
        HostSelect(HostKind::Headless);
        GraphicsProfile p = GetGraphicsProfile();
        p.nDesktopBpp = static_cast<uint32_t>(depth == 8 ? 32 : depth);
        SetGraphicsProfile(p);
        m_bUp = DDInit(backEnd, nullptr, 640, 480, depth, 0, 0, 1, 60, 0, nullptr, nullptr, 0, 0);
        if (!m_bUp) return;
        if (depth == 8)
            dwTransmit = 0;
        else if (lpDTCon && depth == 16)
            DDSetTransmit(31, 0, 31);
        else
            DDSetTransmit(255, 0, 255);
        for (int i = 0; i < 256; ++i)
            ColorPalette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0};
    }
    ~Graphics()
    {
        for (DDSURFACEDATA& sd : m_Surfaces) DDReleaseSurface(&sd);
        m_Surfaces.clear();
        DDUnInit();
    }
    bool Up() const { return m_bUp; }

    DDSURFACEDATA* Surface(int32_t w, int32_t h, int32_t key)
    {
        DDSURFACEDATA& sd = m_Surfaces.emplace_back();
        DDCreateSurface(&sd, w, h, key, 0, 0, 0, 0);
        for (int32_t y = 0; y < h; y += 4)
            for (int32_t x = 0; x < w; x += 4)
                DDFillRect(&sd, x, y, 4, 4, ((x / 4 + y / 4) % 5 == 0 && key) ? 0 : 1 + (x * 3 + y * 5) % 250);
        return &sd;
    }

private:
    bool m_bUp = false;
    std::list<DDSURFACEDATA> m_Surfaces;
};

// ---- Blits against SDL ---------------------------------------------------------------------------

void BM_D3DKeyedBlit32(benchmark::State& state)
{
    Graphics g(1, 32);
    if (!g.Up()) return state.SkipWithError("no Direct3D");
    DDSURFACEDATA* sprite = g.Surface(32, 32, 1);
    int32_t i = 0;
    for (auto _ : state) {
        DDBlt(&BackBuffer, (i * 37) % 600, (i * 53) % 440, 32, 32, sprite, 0, 0, 1);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_D3DKeyedBlit32);

void BM_D3DKeyedBlit32Batched(benchmark::State& state)
{
    Graphics g(1, 32);
    if (!g.Up()) return state.SkipWithError("no Direct3D");
    DDSURFACEDATA* sprite = g.Surface(32, 32, 1);
    for (auto _ : state) {
        DDBeginDrawBatch(0);
        for (int32_t i = 0; i < 100; ++i) DDBlt(&BackBuffer, (i * 37) % 600, (i * 53) % 440, 32, 32, sprite, 0, 0, 1);
        DDEndDrawBatch();
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_D3DKeyedBlit32Batched);

void BM_D3DStretchBlit(benchmark::State& state)
{
    Graphics g(1, 32);
    if (!g.Up()) return state.SkipWithError("no Direct3D");
    DDSURFACEDATA* sprite = g.Surface(32, 32, 1);
    int32_t i = 0;
    for (auto _ : state) {
        DDBltStretch(&BackBuffer, (i * 37) % 560, (i * 53) % 400, 64, 64, sprite, 0, 0, 32, 32, 1);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_D3DStretchBlit);

struct SdlSurfaces {
    SDL_Surface* screen;
    SDL_Surface* sprite;
    SdlSurfaces()
    {
        screen = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_ARGB8888);
        sprite = SDL_CreateRGBSurfaceWithFormat(0, 32, 32, 32, SDL_PIXELFORMAT_ARGB8888);
        auto* px = static_cast<uint32_t*>(sprite->pixels);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                px[y * (sprite->pitch / 4) + x] = ((x / 4 + y / 4) % 5 == 0) ? 0xFFFF00FFu : 0xFF000000u | (x * 3 + y * 5);
        SDL_SetColorKey(sprite, SDL_TRUE, 0xFFFF00FFu);
        SDL_SetSurfaceBlendMode(sprite, SDL_BLENDMODE_NONE);
    }
    ~SdlSurfaces()
    {
        SDL_FreeSurface(sprite);
        SDL_FreeSurface(screen);
    }
};

void BM_SdlKeyedBlit32(benchmark::State& state)
{
    SdlSurfaces s;
    int32_t i = 0;
    for (auto _ : state) {
        SDL_Rect dst{(i * 37) % 600, (i * 53) % 440, 32, 32};
        SDL_BlitSurface(s.sprite, nullptr, s.screen, &dst);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SdlKeyedBlit32);

void BM_SdlStretchBlit(benchmark::State& state)
{
    SdlSurfaces s;
    int32_t i = 0;
    for (auto _ : state) {
        SDL_Rect dst{(i * 37) % 560, (i * 53) % 400, 64, 64};
        SDL_BlitScaled(s.sprite, nullptr, s.screen, &dst);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SdlStretchBlit);

// ---- Blur over its reach -------------------------------------------------------------------------

void BM_FullScreenBlur(benchmark::State& state)
{
    const int32_t backEnd = static_cast<int32_t>(state.range(0)), reach = static_cast<int32_t>(state.range(1));
    Graphics g(backEnd, 32);
    if (!g.Up()) return state.SkipWithError("no back end");
    DDSURFACEDATA* work = g.Surface(640, 480, 0);
    for (auto _ : state) DDBlur(&BackBuffer, 0, 0, 640, 480, reach, reach, work, 0, 0, 0);
}
BENCHMARK(BM_FullScreenBlur)
    ->ArgNames({"d3d", "reach"})
    ->Args({1, 1})
    ->Args({1, 240})
    ->Args({0, 1})
    ->Args({0, 240})
    ->Unit(benchmark::kMillisecond);

// ---- A typical frame -----------------------------------------------------------------------------

void BM_TypicalFrame(benchmark::State& state)
{
    const int32_t backEnd = static_cast<int32_t>(state.range(0)), depth = static_cast<int32_t>(state.range(1));
    Graphics g(backEnd, depth);
    if (!g.Up()) return state.SkipWithError("no back end");
    DDSURFACEDATA* background = g.Surface(640, 480, 0);
    DDSURFACEDATA* sheet = g.Surface(256, 256, 1);
    DDSURFACEDATA* glyphs = g.Surface(128, 64, 1);
    DDSURFACEDATA* work = g.Surface(640, 480, 0);
    for (auto _ : state) {
        DDBeginDrawBatch(1);
        DDRegisterBatchSource(glyphs);
        DDBlt(&BackBuffer, 0, 0, 640, 480, background, 0, 0, 0);
        for (int32_t i = 0; i < 500; ++i)
            DDBlt(&BackBuffer, (i * 97) % 608, (i * 61) % 448, 32, 32, sheet, (i % 8) * 32, (i / 8 % 8) * 32, 1);
        for (int32_t i = 0; i < 100; ++i)
            DDBlt(&BackBuffer, 8 + (i % 40) * 8, 4 + (i / 40) * 16, 8, 16, glyphs, (i % 16) * 8, (i / 16 % 4) * 16, 1);
        DDEndDrawBatch();
        // One screen effect: the picture copied to a work surface and drawn back through a mosaic.
        DDBlt(work, 0, 0, 640, 480, &BackBuffer, 0, 0, 0);
        if (depth == 8)
            DDBltTint(&BackBuffer, 0, 0, 640, 480, work, 0, 0, 0, ColorPalette, BlendTable, 16, 1);
        else
            DDMosaic(&BackBuffer, 0, 0, 640, 480, 8, work, 0, 0, 0);
    }
}
BENCHMARK(BM_TypicalFrame)
    ->ArgNames({"d3d", "bpp"})
    ->Args({1, 16})
    ->Args({1, 32})
    ->Args({0, 8})
    ->Args({0, 16})
    ->Args({0, 32})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
