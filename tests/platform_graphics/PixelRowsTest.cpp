// The row loops against the per-pixel loops they stand in for: many random DirectDraw blits
// (scaled, mirrored, keyed, clipped by the window's clipper, onto themselves) and random frames of
// every format converted for display, done both ways from the same pictures, must give the same
// pixels; and the flip that exchanges pixels instead of copying them keeps both pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/graphics/DDraw.h"
#include "platform/graphics/GraphicsControl.h"
#include "platform/graphics/GraphicsInternal.h"
#include "platform/graphics/PixelRows.h"
#include "platform/host/Host.h"
#include "tests/platform_graphics/Dice.h"

namespace {

class DirectDrawRowsTest : public ::testing::TestWithParam<uint32_t> {
protected:
    void SetUp() override {
        HostSelect(HostKind::Headless);
        ResetGraphicsProfile();
        DisarmGraphicsFaults();
        gfx::ForceGeneralPixelPaths(false);
        GraphicsProfile profile = GetGraphicsProfile();
        profile.nDesktopBpp = GetParam();
        SetGraphicsProfile(profile);
        ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr), DD_OK);
        ASSERT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        ASSERT_EQ(dd->CreateSurface(&desc, &primary, nullptr), DD_OK);
        ASSERT_EQ(dd->CreateClipper(0, &clipper, nullptr), DD_OK);
        primary->SetClipper(clipper);
    }
    void TearDown() override {
        gfx::ForceGeneralPixelPaths(false);
        if (clipper) clipper->Release();
        if (primary) primary->Release();
        if (dd) dd->Release();
        ResetGraphicsProfile();
    }

    IDirectDrawSurface7* Offscreen(int32_t w, int32_t h) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = static_cast<DWORD>(w);
        desc.dwHeight = static_cast<DWORD>(h);
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        IDirectDrawSurface7* surface = nullptr;
        EXPECT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }

    // Random raw pixels, a third of them the key value (with a random unused top byte at 32 bits).
    void Scribble(cPixelBuffer& pixels, Dice& dice, uint32_t key) {
        const uint32_t valueMask = GetParam() == 8 ? 0xFFu : GetParam() == 16 ? 0xFFFFu : 0xFFFFFFFFu;
        for (int32_t y = 0; y < pixels.Height(); ++y)
            for (int32_t x = 0; x < pixels.Width(); ++x) {
                uint32_t v = dice.Chance(33) ? key : dice.Next();
                if (GetParam() == 32 && dice.Chance(50)) v &= 0x00FFFFFFu;
                pixels.WriteRaw(x, y, v & valueMask);
            }
    }

    RECT RandomRect(Dice& dice, int32_t w, int32_t h, int32_t reach) {
        const int32_t left = dice.Between(-reach, w - 1), top = dice.Between(-reach, h - 1);
        return RECT{left, top, left + dice.Between(1, w + reach), top + dice.Between(1, h + reach)};
    }

    IDirectDraw7* dd = nullptr;
    IDirectDrawSurface7* primary = nullptr;
    IDirectDrawClipper* clipper = nullptr;
};

TEST_P(DirectDrawRowsTest, RowLoopsDrawWhatThePixelLoopDraws) {
    Dice dice(GetParam());
    const uint32_t keys[] = {0, 0xF81F, 0x00FF00FF, 0x12, 0x7FFF};
    int32_t keyedBlits = 0, scaledBlits = 0;
    for (int32_t round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        IDirectDrawSurface7* src = Offscreen(dice.Between(1, 48), dice.Between(1, 40));
        const int32_t kind = dice.Between(0, 9);   // 0..1 onto the window, 2 onto itself, else another surface
        IDirectDrawSurface7* dst = kind <= 1 ? primary : kind == 2 ? src : Offscreen(dice.Between(1, 48), dice.Between(1, 40));
        cPixelBuffer& s = *src->Pixels();
        cPixelBuffer& d = *dst->Pixels();
        const uint32_t key = dice.Pick(keys) & (GetParam() == 8 ? 0xFFu : GetParam() == 16 ? 0xFFFFu : 0xFFFFFFFFu);
        DDCOLORKEY colourKey{key, dice.Chance(10) ? key + 3 : key};
        if (dice.Chance(80)) src->SetColorKey(DDCKEY_SRCBLT, &colourKey);
        Scribble(s, dice, key);
        if (dst != src) Scribble(d, dice, key);
        if (dst == primary) d.FillRaw(0, 0, d.Width(), d.Height(), 0);

        const bool fast = dst != primary && dice.Chance(30);
        const bool keyed = dice.Chance(60);
        RECT from = RandomRect(dice, s.Width(), s.Height(), 0);
        from.right = std::min<LONG>(from.right, s.Width());
        from.bottom = std::min<LONG>(from.bottom, s.Height());
        RECT to;
        if (dst == primary) {
            // Around the window's top-left corner, so the clipper cuts some of them.
            to = RandomRect(dice, 40, 40, 20);
        } else if (fast || dice.Chance(30)) {
            to = RECT{dice.Between(0, d.Width() - 1), dice.Between(0, d.Height() - 1), 0, 0};
            to.right = to.left + (from.right - from.left);
            to.bottom = to.top + (from.bottom - from.top);
        } else {
            to = RandomRect(dice, d.Width(), d.Height(), 0);
            to.right = std::min<LONG>(to.right, d.Width());
            to.bottom = std::min<LONG>(to.bottom, d.Height());
        }
        DDBLTFX fx{};
        fx.dwSize = sizeof(fx);
        fx.dwDDFX = (dice.Chance(25) ? DDBLTFX_MIRRORLEFTRIGHT : 0) | (dice.Chance(25) ? DDBLTFX_MIRRORUPDOWN : 0);
        const DWORD flags = DDBLT_WAIT | (keyed ? DDBLT_KEYSRC : 0) | (fx.dwDDFX ? DDBLT_DDFX : 0);
        keyedBlits += keyed;
        scaledBlits += (to.right - to.left) != (from.right - from.left) || (to.bottom - to.top) != (from.bottom - from.top);

        const cPixelBuffer before = d;
        auto blit = [&] {
            if (fast)
                return dst->BltFast(static_cast<DWORD>(to.left), static_cast<DWORD>(to.top), src, &from,
                                    DDBLTFAST_WAIT | (keyed ? DDBLTFAST_SRCCOLORKEY : 0));
            return dst->Blt(&to, src, &from, flags, &fx);
        };
        const HRESULT rowResult = blit();
        const cPixelBuffer rows = d;
        d.CopyFrom(before);
        gfx::ForceGeneralPixelPaths(true);
        const HRESULT pixelResult = blit();
        gfx::ForceGeneralPixelPaths(false);
        EXPECT_EQ(rowResult, pixelResult);
        ASSERT_EQ(rows.Width(), d.Width());
        for (int32_t y = 0; y < d.Height(); ++y)
            ASSERT_EQ(std::memcmp(rows.Row(y), d.Row(y), static_cast<size_t>(d.Width() * d.BytesPerPixel())), 0)
                << "row " << y << " differs, from (" << from.left << "," << from.top << ")-(" << from.right << ","
                << from.bottom << ") to (" << to.left << "," << to.top << ")-(" << to.right << "," << to.bottom
                << ") keyed " << keyed << " mirror " << fx.dwDDFX;
        if (dst != primary && dst != src) dst->Release();
        src->Release();
    }
    EXPECT_GT(keyedBlits, 100);
    EXPECT_GT(scaledBlits, 50);
}

// Flips draw the back buffer, keep it, and leave the primary surface with the shown frame, however
// the two surfaces are used between the flips.
TEST_P(DirectDrawRowsTest, FlipShowsTheFrameAndBothSurfacesKeepTheirPictures) {
    dd->SetCooperativeLevel(nullptr, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
    ASSERT_EQ(dd->SetDisplayMode(640, 480, GetParam(), 60, 0), DD_OK);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc.dwBackBufferCount = 1;
    IDirectDrawSurface7* front = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &front, nullptr), DD_OK);
    DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
    IDirectDrawSurface7* back = nullptr;
    ASSERT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);
    IDirectDrawSurface7* picture = Offscreen(640, 480);
    IDirectDrawSurface7* sprite = Offscreen(32, 32);
    auto fill = [](IDirectDrawSurface7* s, RECT* r, DWORD colour) {
        DDBLTFX fx{};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = colour;
        return s->Blt(r, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    };
    RECT corner{0, 0, 8, 8}, other{100, 100, 132, 132};
    fill(picture, nullptr, 3);
    fill(sprite, nullptr, 5);
    IDirectDrawSurface7* scratch = Offscreen(640, 480);
    IDirectDrawSurface7* keyed = Offscreen(640, 480);
    fill(keyed, nullptr, 1);
    fill(keyed, &corner, 6);
    DDCOLORKEY key{1, 1};
    keyed->SetColorKey(DDCKEY_SRCBLT, &key);
    // Every step is done on the flip chain and on two plain surfaces that stand for what the back
    // buffer and the primary surface must hold.
    IDirectDrawSurface7* wantBack = Offscreen(640, 480);
    IDirectDrawSurface7* wantFront = Offscreen(640, 480);
    fill(wantBack, nullptr, 0);
    fill(wantFront, nullptr, 0);
    using Draw = std::function<void(IDirectDrawSurface7* b, IDirectDrawSurface7* f)>;
    struct Step {
        const char* name;
        Draw draw;
    };
    const Step steps[] = {
        {"whole picture", [&](auto b, auto) { b->BltFast(0, 0, picture, nullptr, DDBLTFAST_WAIT); }},
        {"nothing drawn", [](auto, auto) {}},
        {"whole keyed picture", [&](auto b, auto) { b->BltFast(0, 0, keyed, nullptr, DDBLTFAST_SRCCOLORKEY); }},
        {"a corner filled", [&](auto b, auto) { fill(b, &corner, 7); }},
        {"a sprite", [&](auto b, auto) { b->BltFast(100, 100, sprite, nullptr, DDBLTFAST_WAIT); }},
        {"whole fill", [&](auto b, auto) { fill(b, nullptr, 9); }},
        {"the front written", [&](auto, auto f) { fill(f, &other, 11); }},
        {"the back locked", [&](auto b, auto) {
             DDSURFACEDESC2 lock{};
             lock.dwSize = sizeof(lock);
             ASSERT_EQ(b->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DD_OK);
             static_cast<uint8_t*>(lock.lpSurface)[0] = 13;
             b->Unlock(nullptr);
         }},
        {"the back read into a picture", [&](auto b, auto) { scratch->BltFast(0, 0, b, nullptr, DDBLTFAST_WAIT); }},
    };
    auto same = [](IDirectDrawSurface7* a, IDirectDrawSurface7* b) {
        const cPixelBuffer& x = *a->Pixels();
        const cPixelBuffer& y = *b->Pixels();
        return std::memcmp(x.Bits(), y.Bits(), static_cast<size_t>(x.Pitch()) * x.Height()) == 0;
    };
    // Looking at either surface of the chain makes the back buffer take its frame back, so the
    // second pass looks only at the shown frames until the end; the third takes the plain copy.
    for (int32_t pass = 0; pass < 3; ++pass) {
        SCOPED_TRACE(pass);
        const bool look = pass != 1;
        gfx::ForceGeneralPixelPaths(pass == 2);
        for (const Step& step : steps) {
            SCOPED_TRACE(step.name);
            step.draw(back, front);
            step.draw(wantBack, wantFront);
            if (look) {
                EXPECT_TRUE(same(front, wantFront)) << "the primary surface before the flip";
            }
            ASSERT_EQ(front->Flip(nullptr, 0), DD_OK);
            wantFront->BltFast(0, 0, wantBack, nullptr, DDBLTFAST_WAIT);
            if (look) {
                EXPECT_TRUE(same(back, wantBack)) << "the back buffer keeps its picture";
                EXPECT_TRUE(same(front, wantFront)) << "the primary surface holds the shown frame";
            }
            const PresentedFrame shown = LastPresentedFrame();
            ASSERT_EQ(shown.vPixels.size(), 640u * 480u);
            const cPixelBuffer& want = *wantBack->Pixels();
            for (int32_t k = 0; k < 640 * 480; ++k) {
                const uint32_t raw = want.ReadRaw(k % 640, k / 640);
                const uint32_t argb = want.Format() == PixelFormat::P8 ? raw * 0x010101u : PixelToArgb(want.Format(), raw);
                ASSERT_EQ(shown.vPixels[static_cast<size_t>(k)], 0xFF000000u | argb) << k;
            }
        }
        EXPECT_TRUE(same(back, wantBack));
        EXPECT_TRUE(same(front, wantFront));
    }
    gfx::ForceGeneralPixelPaths(false);
    wantFront->Release();
    wantBack->Release();
    keyed->Release();
    scratch->Release();
    sprite->Release();
    picture->Release();
    back->Release();
    front->Release();
}

INSTANTIATE_TEST_SUITE_P(Depths, DirectDrawRowsTest, ::testing::Values(8u, 16u, 32u),
                         [](const ::testing::TestParamInfo<uint32_t>& info) {
                             return "Bits" + std::to_string(info.param);
                         });

// Random frames of every format, odd widths included, converted for display by the row loops and
// by the per-pixel loop.
TEST(PresentRows, EveryFormatConvertsAsThePixelLoopDoes) {
    HostSelect(HostKind::Headless);
    ClearPresentedFrames();
    Dice dice(7);
    PALETTEENTRY palette[256];
    for (auto& e : palette) e = PALETTEENTRY{static_cast<BYTE>(dice.Next()), static_cast<BYTE>(dice.Next()),
                                             static_cast<BYTE>(dice.Next()), static_cast<BYTE>(dice.Next())};
    const PixelFormat formats[] = {PixelFormat::P8,       PixelFormat::R5G6B5,   PixelFormat::X1R5G5B5,
                                   PixelFormat::A1R5G5B5, PixelFormat::R8G8B8,   PixelFormat::X8R8G8B8,
                                   PixelFormat::A8R8G8B8};
    for (PixelFormat format : formats) {
        for (int32_t round = 0; round < 6; ++round) {
            SCOPED_TRACE(static_cast<int>(format) * 100 + round);
            cPixelBuffer buffer(format, dice.Between(1, 70), dice.Between(1, 9));
            for (size_t i = 0; i < static_cast<size_t>(buffer.Pitch()) * buffer.Height(); ++i)
                buffer.Bits()[i] = static_cast<uint8_t>(dice.Next());
            const PALETTEENTRY* colours = round % 2 ? palette : nullptr;
            gfx::PresentBuffer(buffer, colours);
            const PresentedFrame rows = LastPresentedFrame();
            gfx::ForceGeneralPixelPaths(true);
            gfx::PresentBuffer(buffer, colours);
            gfx::ForceGeneralPixelPaths(false);
            const PresentedFrame plain = LastPresentedFrame();
            ASSERT_EQ(rows.nWidth, buffer.Width());
            EXPECT_EQ(rows.vPixels, plain.vPixels);
        }
    }
}

}  // namespace
