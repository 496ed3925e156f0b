// The DirectDraw blits' row loops against their per-pixel loop: many random blits (scaled,
// mirrored, keyed, clipped by the window's clipper, onto themselves) drawn both ways from the same
// pictures must leave the same pixels and give the same results.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/graphics/DDraw.h"
#include "platform/graphics/GraphicsControl.h"
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

INSTANTIATE_TEST_SUITE_P(Depths, DirectDrawRowsTest, ::testing::Values(8u, 16u, 32u),
                         [](const ::testing::TestParamInfo<uint32_t>& info) {
                             return "Bits" + std::to_string(info.param);
                         });

}  // namespace
