// The graphics layer's drawing against the software blitters of SDL and pixman, on every back end
// and depth, in one run, ending with a table of our time, the peers' times and the ratios.
//
// Each operation does the same work on both sides: the same picture (same size, same colours,
// same transparent pixels) in the same pixel format, drawn to the same places.
//   keyed 32x32   100 colour-keyed 32 x 32 sprites onto the screen
//   keyed screen  one 640 x 480 colour-keyed picture onto the screen
//   stretch 2x    100 colour-keyed 32 x 32 sprites drawn 64 x 64
//   blend 50%     one 640 x 480 picture mixed half and half into the screen
//   blur r1, r8   a 640 x 480 box blur of 2 x 2 and 16 x 16 pixels
//   present       the frame converted for display (32-bit ARGB) and handed to the host
// Peers: SDL's surface blits (colour key, alpha modulation 128, nearest scaling, format
// conversion); pixman where it can do the same job: 1-bit alpha stands in for the colour key
// (OVER with 0 or 255 alpha), a solid 50 % mask for the half mix, a box convolution for the blur,
// SRC composition for the conversion. SDL has no blur; neither peer mixes 8-bit palette pictures
// or blurs them (nor does our 8-bit mode: it has no blur), and SDL does not scale them; a peer that
// refuses an operation shows "-".
//
// A second table gives a busy stage frame (background, 500 keyed sprites, 100 glyphs, one screen
// effect) on each back end against the fastest back end.
//
// Run: build/release/bench/bench_graphics [--benchmark_repetitions=3]
// Every time is the smallest CPU time per iteration over the repetitions; ratio = ours / peer.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchTable.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DDBatch.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDEffects.h"
#include "media/graphics/DDPalette.h"
#include "media/graphics/DDSurfaceLock.h"
#include "media/graphics/GraphicsState.h"
#include "platform/graphics/GraphicsControl.h"
#include "platform/host/Host.h"

namespace {

constexpr int32_t kScreenW = 640;
constexpr int32_t kScreenH = 480;
constexpr int32_t kSprites = 100;

// ---- The picture -------------------------------------------------------------------------------

// A sprite-like picture: round shapes in 32-pixel cells with a pattern of 4 x 4 holes; about a
// third of it transparent.
bool Transparent(int32_t x, int32_t y)
{
    const int32_t dx = x % 32 * 2 - 31, dy = y % 32 * 2 - 31;
    return dx * dx + dy * dy > 30 * 30 || (x / 4 + y / 4) % 5 == 0;
}

struct Rgb {
    uint8_t r, g, b;
};

Rgb Colour(int32_t x, int32_t y)
{
    Rgb c{static_cast<uint8_t>(x * 3 + y * 5), static_cast<uint8_t>((x * 7) ^ y), static_cast<uint8_t>(y * 3 + 40)};
    // Never the transparent colour (magenta) by accident.
    if (c.r > 240 && c.g < 8 && c.b > 240) c.g = 64;
    return c;
}

uint8_t Index(int32_t x, int32_t y) { return static_cast<uint8_t>(1 + (x * 3 + y * 5) % 255); }

uint32_t Pack(int32_t depth, Rgb c)
{
    if (depth == 16) return static_cast<uint32_t>((c.r >> 3) << 11 | (c.g >> 2) << 5 | (c.b >> 3));
    return static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 | c.b;
}

void FillPalette(PALETTEENTRY* palette)
{
    for (int32_t i = 0; i < 256; ++i)
        palette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0};
    palette[0] = {255, 0, 255, 0};
}

// ---- Our side ----------------------------------------------------------------------------------

// A running back end (full screen, one back buffer) on the headless host.
class Graphics {
public:
    Graphics(int32_t backEnd, int32_t depth) : m_nDepth(depth)
    {
        HostSelect(HostKind::Headless);
        GraphicsProfile p = GetGraphicsProfile();
        p.nDesktopBpp = static_cast<uint32_t>(depth == 8 ? 32 : depth);
        SetGraphicsProfile(p);
        m_bUp = DDInit(backEnd, nullptr, kScreenW, kScreenH, depth, 0, 0, 1, 60, 0, nullptr, nullptr, 0, 0);
        if (!m_bUp) return;
        FillPalette(ColorPalette);
        if (depth == 8) {
            dwTransmit = 0;
            if (lpDDPalette) lpDDPalette->SetEntries(0, 0, 256, ColorPalette);
        } else if (lpDTCon && depth == 16) {
            DDSetTransmit(31, 0, 31);
        } else {
            DDSetTransmit(255, 0, 255);
        }
    }
    ~Graphics()
    {
        for (DDSURFACEDATA& sd : m_Surfaces) DDReleaseSurface(&sd);
        m_Surfaces.clear();
        DDUnInit();
    }
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;
    bool Up() const { return m_bUp; }

    // A surface holding the picture; keyed surfaces have transparent pixels and the colour key.
    DDSURFACEDATA* Surface(int32_t w, int32_t h, bool keyed)
    {
        DDSURFACEDATA& sd = m_Surfaces.emplace_back();
        DDCreateSurface(&sd, w, h, keyed ? 1 : 0, 0, 0, 0, 0);
        Paint(&sd, keyed);
        return &sd;
    }
    void Paint(DDSURFACEDATA* sd, bool keyed)
    {
        cSurfaceLock lock;
        if (!lock.Lock(sd)) return;
        const bool texture16 = lpDTCon && m_nDepth == 16 && sd != &BackBuffer;
        for (int32_t y = 0; y < lock.m_nHeight; ++y) {
            uint8_t* row = lock.m_lpBits + static_cast<size_t>(y) * lock.m_nPitch;
            for (int32_t x = 0; x < lock.m_nWidth; ++x) {
                const bool hole = keyed && Transparent(x, y);
                const Rgb c = Colour(x, y);
                if (m_nDepth == 8) {
                    row[x] = hole ? 0 : Index(x, y);
                } else if (m_nDepth == 16) {
                    uint16_t v = static_cast<uint16_t>(Pack(16, c));
                    if (texture16) v = static_cast<uint16_t>(0x8000 | (c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3));
                    if (hole) v = lpDTCon ? 0 : static_cast<uint16_t>(dwTransmit);
                    std::memcpy(row + x * 2, &v, 2);
                } else {
                    uint32_t v = Pack(32, c) | (lpDTCon && sd != &BackBuffer ? 0xFF000000u : 0u);
                    if (hole) v = lpDTCon ? 0 : dwTransmit;
                    std::memcpy(row + x * 4, &v, 4);
                }
            }
        }
    }

private:
    int32_t m_nDepth;
    bool m_bUp = false;
    std::list<DDSURFACEDATA> m_Surfaces;
};

int32_t SpriteX(int32_t i) { return (i * 37) % (kScreenW - 64); }
int32_t SpriteY(int32_t i) { return (i * 53) % (kScreenH - 64); }

using OpBody = std::function<void(benchmark::State&, Graphics&, int32_t depth)>;

void RunOurs(benchmark::State& state, const Config& c, const OpBody& body)
{
    Graphics g(c.backEnd, c.depth);
    if (!g.Up()) return state.SkipWithError("back end did not start");
    body(state, g, c.depth);
}

void OursKeyed(benchmark::State& state, Graphics& g, int32_t)
{
    DDSURFACEDATA* sprite = g.Surface(32, 32, true);
    for (auto _ : state)
        for (int32_t i = 0; i < kSprites; ++i) DDBlt(&BackBuffer, SpriteX(i), SpriteY(i), 32, 32, sprite, 0, 0, 1);
}

void OursKeyedScreen(benchmark::State& state, Graphics& g, int32_t)
{
    DDSURFACEDATA* picture = g.Surface(kScreenW, kScreenH, true);
    for (auto _ : state) DDBlt(&BackBuffer, 0, 0, kScreenW, kScreenH, picture, 0, 0, 1);
}

void OursStretch(benchmark::State& state, Graphics& g, int32_t)
{
    DDSURFACEDATA* sprite = g.Surface(32, 32, true);
    for (auto _ : state)
        for (int32_t i = 0; i < kSprites; ++i)
            DDBltStretch(&BackBuffer, SpriteX(i), SpriteY(i), 64, 64, sprite, 0, 0, 32, 32, 1);
}

void OursBlend(benchmark::State& state, Graphics& g, int32_t)
{
    DDSURFACEDATA* picture = g.Surface(kScreenW, kScreenH, false);
    g.Paint(&BackBuffer, false);
    for (auto _ : state)
        DDBltTranslucentHalf(&BackBuffer, 0, 0, kScreenW, kScreenH, picture, 0, 0, 0, BlendTable);
}

void OursBlur(benchmark::State& state, Graphics& g, int32_t reach)
{
    DDSURFACEDATA* picture = g.Surface(kScreenW, kScreenH, false);
    for (auto _ : state) DDBlur(&BackBuffer, 0, 0, kScreenW, kScreenH, reach, reach, picture, 0, 0, 0);
}

void OursPresent(benchmark::State& state, Graphics& g, int32_t)
{
    g.Paint(&BackBuffer, false);
    for (auto _ : state) {
        if (lpDevice)
            lpDevice->Present(nullptr, nullptr, nullptr, nullptr);
        else
            PrimarySD.lpDDraw->lpDDSurface->Flip(nullptr, 0);
    }
}

// ---- SDL ---------------------------------------------------------------------------------------

Uint32 SdlFormat(int32_t depth)
{
    return depth == 8 ? SDL_PIXELFORMAT_INDEX8 : depth == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
}

class SdlPicture {
public:
    SdlPicture(int32_t w, int32_t h, int32_t depth, bool keyed, Uint32 format = 0)
    {
        m_lpSurface = SDL_CreateRGBSurfaceWithFormat(0, w, h, depth, format ? format : SdlFormat(depth));
        if (m_lpSurface->format->palette) {
            PALETTEENTRY palette[256];
            FillPalette(palette);
            SDL_Color colours[256];
            for (int32_t i = 0; i < 256; ++i) colours[i] = {palette[i].peRed, palette[i].peGreen, palette[i].peBlue, 255};
            SDL_SetPaletteColors(m_lpSurface->format->palette, colours, 0, 256);
        }
        const uint32_t key = depth == 8 ? 0 : depth == 16 ? 0xF81F : 0xFF00FF;
        for (int32_t y = 0; y < h; ++y) {
            auto* row = static_cast<uint8_t*>(m_lpSurface->pixels) + static_cast<size_t>(y) * m_lpSurface->pitch;
            for (int32_t x = 0; x < w; ++x) {
                const bool hole = keyed && Transparent(x, y);
                if (depth == 8) {
                    row[x] = hole ? 0 : Index(x, y);
                } else if (depth == 16) {
                    const uint16_t v = static_cast<uint16_t>(hole ? key : Pack(16, Colour(x, y)));
                    std::memcpy(row + x * 2, &v, 2);
                } else {
                    const uint32_t v = hole ? key : Pack(32, Colour(x, y));
                    std::memcpy(row + x * 4, &v, 4);
                }
            }
        }
        if (keyed) SDL_SetColorKey(m_lpSurface, SDL_TRUE, key);
        SDL_SetSurfaceBlendMode(m_lpSurface, SDL_BLENDMODE_NONE);
    }
    ~SdlPicture() { SDL_FreeSurface(m_lpSurface); }
    SdlPicture(const SdlPicture&) = delete;
    SdlPicture& operator=(const SdlPicture&) = delete;
    SDL_Surface* operator->() const { return m_lpSurface; }
    SDL_Surface* get() const { return m_lpSurface; }

private:
    SDL_Surface* m_lpSurface;
};

void SdlKeyed(benchmark::State& state, int32_t depth)
{
    SdlPicture screen(kScreenW, kScreenH, depth, false), sprite(32, 32, depth, true);
    for (auto _ : state)
        for (int32_t i = 0; i < kSprites; ++i) {
            SDL_Rect dst{SpriteX(i), SpriteY(i), 32, 32};
            if (SDL_BlitSurface(sprite.get(), nullptr, screen.get(), &dst) != 0) return state.SkipWithError(SDL_GetError());
        }
}

void SdlKeyedScreen(benchmark::State& state, int32_t depth)
{
    SdlPicture screen(kScreenW, kScreenH, depth, false), picture(kScreenW, kScreenH, depth, true);
    for (auto _ : state) {
        SDL_Rect dst{0, 0, kScreenW, kScreenH};
        if (SDL_BlitSurface(picture.get(), nullptr, screen.get(), &dst) != 0) return state.SkipWithError(SDL_GetError());
    }
}

void SdlStretch(benchmark::State& state, int32_t depth)
{
    SdlPicture screen(kScreenW, kScreenH, depth, false), sprite(32, 32, depth, true);
    for (auto _ : state)
        for (int32_t i = 0; i < kSprites; ++i) {
            SDL_Rect dst{SpriteX(i), SpriteY(i), 64, 64};
            // SDL refuses scaled blits of palette pictures.
            if (SDL_BlitScaled(sprite.get(), nullptr, screen.get(), &dst) != 0) return state.SkipWithError(SDL_GetError());
        }
}

void SdlBlend(benchmark::State& state, int32_t depth)
{
    SdlPicture screen(kScreenW, kScreenH, depth, false), picture(kScreenW, kScreenH, depth, false);
    SDL_SetSurfaceBlendMode(picture.get(), SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(picture.get(), 128);
    for (auto _ : state) {
        SDL_Rect dst{0, 0, kScreenW, kScreenH};
        if (SDL_BlitSurface(picture.get(), nullptr, screen.get(), &dst) != 0) return state.SkipWithError(SDL_GetError());
    }
}

void SdlPresent(benchmark::State& state, int32_t depth)
{
    SdlPicture frame(kScreenW, kScreenH, depth, false), shown(kScreenW, kScreenH, 32, false, SDL_PIXELFORMAT_ARGB8888);
    for (auto _ : state) {
        SDL_Rect dst{0, 0, kScreenW, kScreenH};
        if (SDL_BlitSurface(frame.get(), nullptr, shown.get(), &dst) != 0) return state.SkipWithError(SDL_GetError());
    }
}

// ---- pixman ------------------------------------------------------------------------------------

class PixmanPicture {
public:
    PixmanPicture(int32_t w, int32_t h, pixman_format_code_t format, bool keyed)
    {
        m_lpImage = pixman_image_create_bits(format, w, h, nullptr, 0);
        auto* bits = reinterpret_cast<uint8_t*>(pixman_image_get_data(m_lpImage));
        const int32_t stride = pixman_image_get_stride(m_lpImage);
        for (int32_t y = 0; y < h; ++y) {
            uint8_t* row = bits + static_cast<size_t>(y) * stride;
            for (int32_t x = 0; x < w; ++x) {
                const bool hole = keyed && Transparent(x, y);
                const Rgb c = Colour(x, y);
                if (format == PIXMAN_c8) {
                    row[x] = hole ? 0 : Index(x, y);
                } else if (format == PIXMAN_r5g6b5 || format == PIXMAN_a1r5g5b5) {
                    uint16_t v = static_cast<uint16_t>(Pack(16, c));
                    if (format == PIXMAN_a1r5g5b5) v = static_cast<uint16_t>(hole ? 0 : 0x8000 | (c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3));
                    std::memcpy(row + x * 2, &v, 2);
                } else {
                    const uint32_t v = hole ? 0 : Pack(32, c) | 0xFF000000u;
                    std::memcpy(row + x * 4, &v, 4);
                }
            }
        }
        if (format == PIXMAN_c8) {
            PALETTEENTRY palette[256];
            FillPalette(palette);
            static pixman_indexed_t indexed;
            indexed.color = false;
            for (int32_t i = 0; i < 256; ++i)
                indexed.rgba[i] = 0xFF000000u | static_cast<uint32_t>(palette[i].peRed) << 16 |
                                  static_cast<uint32_t>(palette[i].peGreen) << 8 | palette[i].peBlue;
            pixman_image_set_indexed(m_lpImage, &indexed);
        }
    }
    ~PixmanPicture() { pixman_image_unref(m_lpImage); }
    PixmanPicture(const PixmanPicture&) = delete;
    PixmanPicture& operator=(const PixmanPicture&) = delete;
    pixman_image_t* get() const { return m_lpImage; }

private:
    pixman_image_t* m_lpImage;
};

pixman_format_code_t PixmanScreen(int32_t depth) { return depth == 16 ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8; }
pixman_format_code_t PixmanKeyed(int32_t depth) { return depth == 16 ? PIXMAN_a1r5g5b5 : PIXMAN_a8r8g8b8; }

void PixmanKeyedSprites(benchmark::State& state, int32_t depth)
{
    PixmanPicture screen(kScreenW, kScreenH, PixmanScreen(depth), false), sprite(32, 32, PixmanKeyed(depth), true);
    for (auto _ : state)
        for (int32_t i = 0; i < kSprites; ++i)
            pixman_image_composite32(PIXMAN_OP_OVER, sprite.get(), nullptr, screen.get(), 0, 0, 0, 0, SpriteX(i),
                                     SpriteY(i), 32, 32);
}

void PixmanKeyedScreen(benchmark::State& state, int32_t depth)
{
    PixmanPicture screen(kScreenW, kScreenH, PixmanScreen(depth), false),
        picture(kScreenW, kScreenH, PixmanKeyed(depth), true);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, picture.get(), nullptr, screen.get(), 0, 0, 0, 0, 0, 0, kScreenW,
                                 kScreenH);
}

void PixmanStretch(benchmark::State& state, int32_t depth)
{
    PixmanPicture screen(kScreenW, kScreenH, PixmanScreen(depth), false), sprite(32, 32, PixmanKeyed(depth), true);
    pixman_transform_t half;
    pixman_transform_init_scale(&half, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
    pixman_image_set_transform(sprite.get(), &half);
    pixman_image_set_filter(sprite.get(), PIXMAN_FILTER_NEAREST, nullptr, 0);
    for (auto _ : state)
        for (int32_t i = 0; i < kSprites; ++i)
            pixman_image_composite32(PIXMAN_OP_OVER, sprite.get(), nullptr, screen.get(), 0, 0, 0, 0, SpriteX(i),
                                     SpriteY(i), 64, 64);
}

void PixmanBlend(benchmark::State& state, int32_t depth)
{
    PixmanPicture screen(kScreenW, kScreenH, PixmanScreen(depth), false),
        picture(kScreenW, kScreenH, PixmanScreen(depth), false);
    const pixman_color_t half{0, 0, 0, 0x8080};
    pixman_image_t* mask = pixman_image_create_solid_fill(&half);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, picture.get(), mask, screen.get(), 0, 0, 0, 0, 0, 0, kScreenW, kScreenH);
    pixman_image_unref(mask);
}

void PixmanBlur(benchmark::State& state, int32_t depth, int32_t reach)
{
    PixmanPicture screen(kScreenW, kScreenH, PixmanScreen(depth), false),
        picture(kScreenW, kScreenH, PixmanScreen(depth), false);
    const int32_t side = 2 * reach;
    std::vector<pixman_fixed_t> params{pixman_int_to_fixed(side), pixman_int_to_fixed(side)};
    for (int32_t k = 0; k < side * side; ++k) params.push_back(pixman_double_to_fixed(1.0 / (side * side)));
    pixman_image_set_filter(picture.get(), PIXMAN_FILTER_CONVOLUTION, params.data(), static_cast<int>(params.size()));
    pixman_image_set_repeat(picture.get(), PIXMAN_REPEAT_PAD);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_SRC, picture.get(), nullptr, screen.get(), 0, 0, 0, 0, 0, 0, kScreenW, kScreenH);
}

void PixmanPresent(benchmark::State& state, int32_t depth)
{
    const pixman_format_code_t format = depth == 8 ? PIXMAN_c8 : PixmanScreen(depth);
    PixmanPicture frame(kScreenW, kScreenH, format, false), shown(kScreenW, kScreenH, PIXMAN_a8r8g8b8, false);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_SRC, frame.get(), nullptr, shown.get(), 0, 0, 0, 0, 0, 0, kScreenW, kScreenH);
}

// ---- The busy stage frame ------------------------------------------------------------------------

void OursFrame(benchmark::State& state, Graphics& g, int32_t depth)
{
    DDSURFACEDATA* background = g.Surface(kScreenW, kScreenH, false);
    DDSURFACEDATA* sheet = g.Surface(256, 256, true);
    DDSURFACEDATA* glyphs = g.Surface(128, 64, true);
    DDSURFACEDATA* work = g.Surface(kScreenW, kScreenH, false);
    for (auto _ : state) {
        DDBeginDrawBatch(1);
        DDRegisterBatchSource(glyphs);
        DDBlt(&BackBuffer, 0, 0, kScreenW, kScreenH, background, 0, 0, 0);
        for (int32_t i = 0; i < 500; ++i)
            DDBlt(&BackBuffer, (i * 97) % 608, (i * 61) % 448, 32, 32, sheet, (i % 8) * 32, (i / 8 % 8) * 32, 1);
        for (int32_t i = 0; i < 100; ++i)
            DDBlt(&BackBuffer, 8 + (i % 40) * 8, 4 + (i / 40) * 16, 8, 16, glyphs, (i % 16) * 8, (i / 16 % 4) * 16, 1);
        DDEndDrawBatch();
        // One screen effect: the picture copied to a work surface and drawn back through a mosaic
        // (8 bits: a tint, as stage play does there).
        DDBlt(work, 0, 0, kScreenW, kScreenH, &BackBuffer, 0, 0, 0);
        if (depth == 8)
            DDBltTint(&BackBuffer, 0, 0, kScreenW, kScreenH, work, 0, 0, 0, ColorPalette, BlendTable, 16, 1);
        else
            DDMosaic(&BackBuffer, 0, 0, kScreenW, kScreenH, 8, work, 0, 0, 0);
        if (lpDevice)
            lpDevice->Present(nullptr, nullptr, nullptr, nullptr);
        else
            PrimarySD.lpDDraw->lpDDSurface->Flip(nullptr, 0);
    }
}

// ---- Registration and the table ------------------------------------------------------------------

struct Row {
    std::string op;
    std::string config;
};
std::vector<Row> g_vRows;

void RegisterAll()
{
    struct Op {
        const char* name;
        OpBody ours;
        int32_t arg;
        std::function<void(benchmark::State&, int32_t)> sdl;
        std::function<void(benchmark::State&, int32_t)> pixman;   // 16 and 32 bits only
    };
    const std::vector<Op> ops = {
        {"keyed 32x32", OursKeyed, 0, SdlKeyed, PixmanKeyedSprites},
        {"keyed screen", OursKeyedScreen, 0, SdlKeyedScreen, PixmanKeyedScreen},
        {"stretch 2x", OursStretch, 0, SdlStretch, PixmanStretch},
        {"blend 50%", OursBlend, 0, SdlBlend, PixmanBlend},
        {"blur r1", OursBlur, 1, nullptr, [](benchmark::State& s, int32_t d) { PixmanBlur(s, d, 1); }},
        {"blur r8", OursBlur, 8, nullptr, [](benchmark::State& s, int32_t d) { PixmanBlur(s, d, 8); }},
        {"present", OursPresent, 0, SdlPresent, PixmanPresent},
    };
    for (const Op& op : ops) {
        for (const Config& c : kConfigs) {
            const bool blur = std::string(op.name).rfind("blur", 0) == 0;
            const bool blend = std::string(op.name) == "blend 50%";
            // The 8-bit mode has no blur; neither peer mixes palette pictures.
            if (blur && c.depth == 8) continue;
            g_vRows.push_back({op.name, c.name});
            const std::string base = std::string(op.name) + "/" + c.name + "/";
            const OpBody ours = op.ours;
            const int32_t arg = op.arg;
            const Config config = c;
            Register(base + "ours", [ours, arg, config](benchmark::State& s) {
                RunOurs(s, config, [&](benchmark::State& st, Graphics& g, int32_t depth) {
                    ours(st, g, arg ? arg : depth);
                });
            });
            if (op.sdl && !(blend && c.depth == 8)) {
                auto sdl = op.sdl;
                const int32_t depth = c.depth;
                Register(base + "sdl", [sdl, depth](benchmark::State& s) { sdl(s, depth); });
            }
            if (op.pixman && (c.depth != 8 || std::string(op.name) == "present")) {
                auto pixman = op.pixman;
                const int32_t depth = c.depth;
                Register(base + "pixman", [pixman, depth](benchmark::State& s) { pixman(s, depth); });
            }
        }
    }
    for (const Config& c : kConfigs) {
        const Config config = c;
        Register(std::string("frame/") + c.name + "/ours", [config](benchmark::State& s) {
            RunOurs(s, config, [](benchmark::State& st, Graphics& g, int32_t depth) { OursFrame(st, g, depth); });
        });
    }
}

void PrintTables(const TableReporter& r)
{
    auto cell = [](double v) {
        char text[32];
        if (v < 0)
            std::snprintf(text, sizeof(text), "%10s", "-");
        else
            std::snprintf(text, sizeof(text), "%10.1f", v);
        return std::string(text);
    };
    auto ratio = [](double ours, double peer) {
        char text[32];
        if (ours < 0 || peer <= 0)
            std::snprintf(text, sizeof(text), "%8s", "-");
        else
            std::snprintf(text, sizeof(text), "%8.2f", ours / peer);
        return std::string(text);
    };
    std::printf("\nTimes in microseconds of CPU per iteration (best of the repetitions); ratio = ours / peer.\n");
    std::printf("%-14s %-6s %10s %10s %10s %8s %8s\n", "operation", "mode", "ours", "SDL", "pixman", "/SDL",
                "/pixman");
    for (const Row& row : g_vRows) {
        const std::string base = row.op + "/" + row.config + "/";
        const double ours = r.Best(base + "ours"), sdl = r.Best(base + "sdl"), pixman = r.Best(base + "pixman");
        if (ours < 0 && sdl < 0 && pixman < 0) continue;   // filtered out
        std::printf("%-14s %-6s %s %s %s %s %s\n", row.op.c_str(), row.config.c_str(), cell(ours).c_str(),
                    cell(sdl).c_str(), cell(pixman).c_str(), ratio(ours, sdl).c_str(), ratio(ours, pixman).c_str());
    }
    double fastest = -1;
    for (const Config& c : kConfigs) {
        const double t = r.Best(std::string("frame/") + c.name + "/ours");
        if (t > 0 && (fastest < 0 || t < fastest)) fastest = t;
    }
    std::printf("\nBusy stage frame per back end; ratio = this back end / the fastest.\n");
    std::printf("%-6s %10s %8s\n", "mode", "ours", "ratio");
    for (const Config& c : kConfigs) {
        const double t = r.Best(std::string("frame/") + c.name + "/ours");
        if (t < 0) continue;
        std::printf("%-6s %s %s\n", c.name, cell(t).c_str(), ratio(t, fastest).c_str());
    }
}

} // namespace

int main(int argc, char** argv)
{
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTables(reporter);
    benchmark::Shutdown();
    return 0;
}
