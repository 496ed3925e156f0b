#include "tests/media_graphics/GraphicsFixture.h"

namespace {

using bmpfixture::Image;
using bmpfixture::Options;

class RestoreTest : public GraphicsFixture {
protected:
    void TearDown() override {
        SetFontRestoreHooks(FontRestoreHooks{});
        RegainDirect3DDevice();
        GraphicsFixture::TearDown();
    }
    static int lost, reset, restored;
};
int RestoreTest::lost = 0;
int RestoreTest::reset = 0;
int RestoreTest::restored = 0;

TEST_F(RestoreTest, Direct3DResetReloadsFileSurfacesAndMarksBlankOnesLost) {
    ASSERT_TRUE(StartD3D(32, 1));
    FontRestoreHooks hooks;
    hooks.lostDevice = [] { ++lost; };
    hooks.resetDevice = [] { ++reset; };
    hooks.restoreFonts = [] { ++restored; };
    SetFontRestoreHooks(hooks);
    lost = reset = restored = 0;
    const std::string file = WriteBmp("pic.bmp", Image{2, 1, {0x112233, 0x445566}}, Options{});
    DDSURFACEDATA picture;
    ASSERT_EQ(DDCreateSurfaceFromFile(&picture, file.c_str(), 0, 32, 0, 0, 0, 0, 0, 0, 0), 0);
    DDSURFACEDATA blank;
    ASSERT_TRUE(DDCreateSurface(&blank, 4, 4, 1, 0, 0, 0, 0));
    DDSURFACEDATA system;
    ASSERT_TRUE(DDCreateSurface(&system, 4, 4, 0, 1, 1, 0, 0));
    IDirect3DTexture9* systemTexture = system.lpDT->lpTexture;
    const int32_t pictureId = picture.lpDT->nId;

    LoseDirect3DDevice();
    EXPECT_EQ(DDRestoreSurface(), 0) << "the device cannot be reset yet";
    EXPECT_EQ(picture.lpDT->lpTexture, nullptr) << "video textures are given back before the reset";
    EXPECT_EQ(system.lpDT->lpTexture, systemTexture);
    RegainDirect3DDevice();
    ASSERT_EQ(DDRestoreSurface(), 1);
    EXPECT_EQ(lost, 2);
    EXPECT_EQ(reset, 1);
    EXPECT_EQ(restored, 1);
    EXPECT_EQ(Pixel(picture, 1, 0), 0xFF445566u);
    EXPECT_EQ(picture.bLost, 0);
    EXPECT_EQ(picture.lpDT->nId, pictureId);
    EXPECT_STREQ(picture.szFileName, file.c_str());
    EXPECT_EQ(blank.bLost, 1);
    EXPECT_NE(blank.lpDT->lpTexture, nullptr);
    EXPECT_EQ(VirBackBuffer.bLost, 1);
    EXPECT_EQ(system.lpDT->lpTexture, systemTexture) << "system memory survives the reset";
    EXPECT_NE(BackBuffer.lpDT->lpSurface, nullptr);
    EXPECT_EQ(lpDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    const std::string trace = ReadText("Trace.txt");
    EXPECT_NE(trace.find("Restore In"), std::string::npos);
    EXPECT_NE(trace.find("Restore Out"), std::string::npos);
    EXPECT_NE(trace.find("lpSD->szFileName = E Size = (4,4)"), std::string::npos);
}

TEST_F(RestoreTest, RecreatedRenderTargetFallingBackToSystemMemoryIsUsable) {
    ASSERT_TRUE(StartD3D(32, 1));
    DDSURFACEDATA target;
    ASSERT_TRUE(DDCreateSurface(&target, 64, 64, 0, 0, 0, 0, 0));
    ASSERT_EQ(target.lpDT->dwDTMemoryType, 0);
    LoseDirect3DDevice();
    RegainDirect3DDevice();
    GraphicsProfile p;
    p.nVideoMemoryBytes = 16;   // nothing fits any more
    SetGraphicsProfile(p);
    ASSERT_EQ(DDRestoreSurface(), 1);
    EXPECT_EQ(target.lpDT->dwDTMemoryType, 1);
    EXPECT_EQ(target.lpDT->bRenderTarget, 0);
    ASSERT_NE(target.lpDT->lpTexture, nullptr);
    ASSERT_NE(target.lpDT->lpSurface, nullptr);
    EXPECT_EQ(target.bLost, 1);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(target.lpDT->lpSurface->LockRect(&locked, nullptr, 0), D3D_OK);
    target.lpDT->lpSurface->UnlockRect();
}

TEST_F(RestoreTest, FailedResetLeavesTheDeviceForALaterTry) {
    ASSERT_TRUE(StartD3D(32, 1));
    LoseDirect3DDevice();
    RegainDirect3DDevice();
    ArmGraphicsFault(GraphicsFault::Reset);
    EXPECT_EQ(DDRestoreSurface(), 0);
    EXPECT_EQ(DDRestoreSurface(), 1);
    EXPECT_NE(WorkSD.lpDT->lpTexture, nullptr);
}

TEST_F(RestoreTest, DirectDrawRestoreReloadsBitmapsAndMarksBlanks) {
    ASSERT_TRUE(StartDD(32, 1));
    SetEntry(1, WriteBmp("pic.bmp", Image{2, 1, {0x112233, 0x445566}}, Options{}));
    SetEntry(2, "E");
    table[2].nWidth = table[2].nHeight = 4;
    SetEntry(3, WriteBmp("sys.bmp", Image{1, 1, {0x0A0B0C}}, Options{}));
    table[3].nDDMemoryType = 1;
    const int32_t indices[] = {1, 2, 3};
    ASSERT_TRUE(DDLoadBitmapTable(surfaces, indices, 3));
    EXPECT_TRUE(DDRestore()) << "nothing lost: nothing to do";
    EXPECT_EQ(surfaces[2].bLost, 0);
    LoseDirectDrawSurfaces();
    EXPECT_EQ(PrimarySD.lpDDraw->lpDDSurface->IsLost(), DDERR_SURFACELOST);
    ASSERT_TRUE(DDRestore());
    EXPECT_EQ(PrimarySD.lpDDraw->lpDDSurface->IsLost(), DD_OK);
    EXPECT_EQ(BackBuffer.lpDDraw->lpDDSurface->IsLost(), DD_OK);
    EXPECT_EQ(Pixel(surfaces[1], 1, 0) & 0xFFFFFF, 0x445566u);
    EXPECT_EQ(surfaces[1].bLost, 0);
    EXPECT_EQ(surfaces[2].bLost, 1);
    EXPECT_EQ(Pixel(surfaces[3], 0, 0) & 0xFFFFFF, 0x0A0B0Cu);
}

TEST_F(RestoreTest, DirectDrawEightBitRestoreShowsTheWorkingPalette) {
    ASSERT_TRUE(StartDD(8, 0));
    for (int i = 0; i < 256; ++i) ColorPaletteWork[i] = PALETTEENTRY{static_cast<BYTE>(255 - i), 7, 9, 0};
    LoseDirectDrawSurfaces();
    ASSERT_TRUE(DDRestore());
    PALETTEENTRY entries[256];
    lpDDPalette->GetEntries(0, 0, 256, entries);
    EXPECT_EQ(entries[10].peRed, 245);
    EXPECT_EQ(entries[10].peBlue, 9);
}

TEST_F(RestoreTest, EachBackEndDeclinesTheOthersRestore) {
    ASSERT_TRUE(StartDD(32, 1));
    EXPECT_EQ(DDRestoreSurface(), 1);
    DDUnInit();
    ASSERT_TRUE(StartD3D(32, 1));
    EXPECT_TRUE(DDRestore());
    const std::string trace = ReadText("Trace.txt");
    EXPECT_NE(trace.find("DDではDDRestoreSurfaceは未対応"), std::string::npos);
    EXPECT_NE(trace.find("D3DではDDRestoreは未対応"), std::string::npos);
}

}  // namespace
