#include <gtest/gtest.h>

#include <cstring>

#include "platform/graphics/DDraw.h"
#include "platform/graphics/GraphicsControl.h"
#include "platform/host/Host.h"

namespace {

class DirectDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        HostSelect(HostKind::Headless);
        ResetGraphicsProfile();
        DisarmGraphicsFaults();
        ClearPresentedFrames();
        ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr), DD_OK);
    }
    void TearDown() override {
        if (dd) dd->Release();
        ResetGraphicsProfile();
    }

    void FullScreen(DWORD bpp) {
        ASSERT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWREBOOT), DD_OK);
        ASSERT_EQ(dd->SetDisplayMode(640, 480, bpp, 60, 0), DD_OK);
    }

    IDirectDrawSurface7* Offscreen(DWORD w, DWORD h, DWORD memoryCaps = 0) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = w;
        desc.dwHeight = h;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | memoryCaps;
        IDirectDrawSurface7* surface = nullptr;
        EXPECT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }

    static void Fill(IDirectDrawSurface7* s, RECT* r, DWORD colour) {
        DDBLTFX fx{};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = colour;
        ASSERT_EQ(s->Blt(r, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    }

    IDirectDraw7* dd = nullptr;
};

TEST_F(DirectDrawTest, FlipChainShowsTheBackBufferThroughThePalette) {
    FullScreen(8);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc.dwBackBufferCount = 1;
    IDirectDrawSurface7* primary = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &primary, nullptr), DD_OK);
    DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
    IDirectDrawSurface7* back = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    PALETTEENTRY entries[256] = {};
    entries[7] = PALETTEENTRY{10, 20, 30, 0};
    entries[9] = PALETTEENTRY{200, 100, 50, 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(dd->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr), DD_OK);
    ASSERT_EQ(primary->SetPalette(palette), DD_OK);
    Fill(back, nullptr, 7);
    RECT corner{630, 470, 640, 480};
    Fill(back, &corner, 9);
    ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    PresentedFrame frame = LastPresentedFrame();
    ASSERT_EQ(frame.nWidth, 640);
    EXPECT_EQ(frame.vPixels[0], 0xFF0A141Eu);
    EXPECT_EQ(frame.vPixels[479 * 640 + 639], 0xFFC86432u);
    // The back buffer keeps its content after the flip.
    EXPECT_EQ(back->Pixels()->ReadRaw(0, 0), 7u);
    entries[7] = PALETTEENTRY{1, 2, 3, 0};
    palette->SetEntries(0, 7, 1, &entries[7]);
    primary->Flip(nullptr, DDFLIP_WAIT);
    EXPECT_EQ(LastPresentedFrame().vPixels[0], 0xFF010203u);
    palette->Release();
    back->Release();
    primary->Release();
}

TEST_F(DirectDrawTest, PixelFormatFollowsTheDisplayMode) {
    FullScreen(16);
    IDirectDrawSurface7* s = Offscreen(4, 4);
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(pf);
    ASSERT_EQ(s->GetPixelFormat(&pf), DD_OK);
    EXPECT_EQ(pf.dwRGBBitCount, 16u);
    EXPECT_EQ(pf.dwRBitMask, 0xF800u);
    EXPECT_EQ(pf.dwGBitMask, 0x07E0u);
    EXPECT_EQ(pf.dwBBitMask, 0x001Fu);
    s->Release();
    EXPECT_EQ(dd->SetDisplayMode(640, 480, 24, 0, 0), DDERR_UNSUPPORTEDMODE);
    EXPECT_EQ(dd->SetDisplayMode(640, 480, 32, 75, 0), DDERR_UNSUPPORTEDMODE);
}

TEST_F(DirectDrawTest, BltFastRefusesRectanglesOutsideEitherSurface) {
    FullScreen(32);
    IDirectDrawSurface7* src = Offscreen(8, 8);
    IDirectDrawSurface7* dst = Offscreen(16, 16);
    RECT inside{0, 0, 8, 8};
    EXPECT_EQ(dst->BltFast(8, 8, src, &inside, DDBLTFAST_WAIT), DD_OK);
    EXPECT_EQ(dst->BltFast(9, 0, src, &inside, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    RECT outside{-1, 0, 4, 4};
    EXPECT_EQ(dst->BltFast(0, 0, src, &outside, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    RECT tooWide{4, 0, 9, 4};
    EXPECT_EQ(dst->BltFast(0, 0, src, &tooWide, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    src->Release();
    dst->Release();
}

TEST_F(DirectDrawTest, SourceColourKeySkipsKeyedPixels) {
    FullScreen(32);
    IDirectDrawSurface7* src = Offscreen(2, 1);
    IDirectDrawSurface7* dst = Offscreen(2, 1);
    src->Pixels()->WriteRaw(0, 0, 0x00FF00FF);
    src->Pixels()->WriteRaw(1, 0, 0x00123456);
    Fill(dst, nullptr, 0x00777777);
    DDCOLORKEY key{0x00FF00FF, 0x00FF00FF};
    ASSERT_EQ(src->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    ASSERT_EQ(dst->BltFast(0, 0, src, nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT), DD_OK);
    EXPECT_EQ(dst->Pixels()->ReadRaw(0, 0) & 0xFFFFFF, 0x777777u);
    EXPECT_EQ(dst->Pixels()->ReadRaw(1, 0) & 0xFFFFFF, 0x123456u);
    RECT r{0, 0, 2, 1};
    ASSERT_EQ(dst->Blt(&r, src, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(dst->Pixels()->ReadRaw(0, 0) & 0xFFFFFF, 0xFF00FFu) << "without the key flag every pixel is copied";
    src->Release();
    dst->Release();
}

TEST_F(DirectDrawTest, StretchedAndMirroredBlits) {
    FullScreen(8);
    IDirectDrawSurface7* src = Offscreen(4, 2);
    IDirectDrawSurface7* dst = Offscreen(8, 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) src->Pixels()->WriteRaw(x, y, static_cast<uint32_t>(10 * y + x + 1));
    RECT whole{0, 0, 8, 4};
    ASSERT_EQ(dst->Blt(&whole, src, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(dst->Pixels()->ReadRaw(x, y), static_cast<uint32_t>(10 * (y / 2) + x / 2 + 1));
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwDDFX = DDBLTFX_MIRRORLEFTRIGHT | DDBLTFX_MIRRORUPDOWN;
    RECT small{0, 0, 4, 2};
    ASSERT_EQ(dst->Blt(&small, src, nullptr, DDBLT_DDFX | DDBLT_WAIT, &fx), DD_OK);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(dst->Pixels()->ReadRaw(x, y), static_cast<uint32_t>(10 * (1 - y) + (3 - x) + 1));
    RECT beyond{6, 0, 10, 2};
    EXPECT_EQ(dst->Blt(&beyond, src, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT) << "no clipper: refused";
    src->Release();
    dst->Release();
}

TEST_F(DirectDrawTest, LockGivesThePixelsWithTheirPitch) {
    FullScreen(16);
    IDirectDrawSurface7* s = Offscreen(3, 2);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(desc.lPitch, 8);
    EXPECT_EQ(desc.dwWidth, 3u);
    const uint16_t v = 0xF81F;
    std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + desc.lPitch + 4, &v, 2);
    EXPECT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(s->BltFast(0, 0, s, nullptr, 0), DDERR_SURFACEBUSY);
    ASSERT_EQ(s->Unlock(nullptr), DD_OK);
    EXPECT_EQ(s->Pixels()->ReadRaw(2, 1), 0xF81Fu);
    s->Release();
}

TEST_F(DirectDrawTest, LostVideoSurfacesRefuseWorkUntilRestored) {
    FullScreen(32);
    IDirectDrawSurface7* video = Offscreen(4, 4);
    IDirectDrawSurface7* system = Offscreen(4, 4, DDSCAPS_SYSTEMMEMORY);
    Fill(video, nullptr, 0x00ABCDEF);
    Fill(system, nullptr, 0x00123456);
    LoseDirectDrawSurfaces();
    EXPECT_EQ(video->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(system->IsLost(), DD_OK);
    EXPECT_EQ(video->BltFast(0, 0, system, nullptr, 0), DDERR_SURFACELOST);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    EXPECT_EQ(video->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACELOST);
    ASSERT_EQ(video->Restore(), DD_OK);
    EXPECT_EQ(video->IsLost(), DD_OK);
    EXPECT_EQ(video->Pixels()->ReadRaw(0, 0) & 0xFFFFFF, 0u) << "video memory content is gone";
    EXPECT_EQ(system->Pixels()->ReadRaw(0, 0) & 0xFFFFFF, 0x123456u);
    video->Release();
    system->Release();
}

TEST_F(DirectDrawTest, VideoMemoryBudgetIsCountedAndNeverSilentlyExceeded) {
    GraphicsProfile profile;
    profile.nVideoMemoryBytes = 64 * 64 * 4 * 2;
    SetGraphicsProfile(profile);
    FullScreen(32);
    DDSCAPS2 caps{DDSCAPS_VIDEOMEMORY, 0, 0, 0};
    DWORD total = 0, free = 0;
    dd->GetAvailableVidMem(&caps, &total, &free);
    EXPECT_EQ(total, profile.nVideoMemoryBytes);
    EXPECT_EQ(free, total);
    IDirectDrawSurface7* a = Offscreen(64, 64);
    IDirectDrawSurface7* b = Offscreen(64, 64);
    dd->GetAvailableVidMem(&caps, &total, &free);
    EXPECT_EQ(free, 0u);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = desc.dwHeight = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface7* c = nullptr;
    EXPECT_EQ(dd->CreateSurface(&desc, &c, nullptr), DDERR_OUTOFVIDEOMEMORY);
    IDirectDrawSurface7* d = Offscreen(64, 64, DDSCAPS_SYSTEMMEMORY);
    a->Release();
    dd->GetAvailableVidMem(&caps, &total, &free);
    EXPECT_EQ(free, 64u * 64 * 4);
    b->Release();
    d->Release();
}

TEST_F(DirectDrawTest, WindowModePrimaryIsClippedAndPresentedOnEveryBlit) {
    ASSERT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface7* primary = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &primary, nullptr), DD_OK);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(dd->CreateClipper(0, &clipper, nullptr), DD_OK);
    clipper->SetHWnd(0, nullptr);
    primary->SetClipper(clipper);
    IDirectDrawSurface7* back = Offscreen(640, 480);
    Fill(back, nullptr, 0x00336699);
    RECT client{0, 0, 640, 480};
    const uint64_t before = PresentedFrameCount();
    ASSERT_EQ(primary->Blt(&client, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(PresentedFrameCount(), before + 1);
    EXPECT_EQ(LastPresentedFrame().vPixels[12345], 0xFF336699u);
    RECT offEdge{600, 400, 700, 500};
    EXPECT_EQ(primary->Blt(&offEdge, back, nullptr, DDBLT_WAIT, nullptr), DD_OK) << "the clipper cuts it";
    back->Release();
    clipper->Release();
    primary->Release();
}

TEST(DirectDrawCreation, FailsOnDemand) {
    HostSelect(HostKind::Headless);
    ResetGraphicsProfile();
    IDirectDraw7* dd = nullptr;
    ArmGraphicsFault(GraphicsFault::DirectDrawCreate);
    EXPECT_NE(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr), DD_OK);
    EXPECT_EQ(dd, nullptr);
    ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr), DD_OK);
    ArmGraphicsFault(GraphicsFault::SetDisplayMode);
    dd->SetCooperativeLevel(nullptr, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
    EXPECT_NE(dd->SetDisplayMode(640, 480, 16, 60, 0), DD_OK);
    EXPECT_EQ(dd->SetDisplayMode(640, 480, 16, 60, 0), DD_OK);
    EXPECT_EQ(dd->Release(), 0u);
}

}  // namespace
