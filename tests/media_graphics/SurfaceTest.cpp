#include <algorithm>
#include <list>
#include <vector>

#include "tests/media_graphics/GraphicsFixture.h"

namespace {

using SurfaceTest = GraphicsFixture;

bool Listed(DDSURFACEDATA* sd) { return std::find(SurfaceList.begin(), SurfaceList.end(), sd) != SurfaceList.end(); }

TEST_F(SurfaceTest, TextureSizeFollowsTheDeviceRules) {
    struct Case {
        const char* name;
        bool pow2, square;
        int32_t texWidth, texHeight;
    };
    const Case cases[] = {{"any size", false, false, 640, 480},
                          {"powers of two", true, false, 1024, 512},
                          {"square powers of two", true, true, 1024, 1024}};
    for (const Case& c : cases) {
        GraphicsProfile p;
        p.bPow2 = c.pow2;
        p.bSquareOnly = c.square;
        SetGraphicsProfile(p);
        ASSERT_TRUE(StartD3D(32, 1)) << c.name;
        DDSURFACEDATA sd;
        ASSERT_TRUE(DDCreateSurface(&sd, 640, 480, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0)) << c.name;
        EXPECT_EQ(sd.nWidth, 640) << c.name;
        EXPECT_EQ(sd.nHeight, 480) << c.name;
        EXPECT_EQ(sd.nTexWidth, c.texWidth) << c.name;
        EXPECT_EQ(sd.nTexHeight, c.texHeight) << c.name;
        EXPECT_STREQ(sd.szSurfaceType, "OffScreen");
        EXPECT_STREQ(sd.szFileName, "E");
        EXPECT_TRUE(Listed(&sd));
        DDReleaseSurface(&sd);
        DDUnInit();
    }
}

TEST_F(SurfaceTest, BlankRenderTargetStartsTransparentAndHasAReadBackTwin) {
    ASSERT_TRUE(StartD3D(32, 1));
    lpDTCon->dwTransmitBack = 0xFF102030;
    DDSURFACEDATA sd;
    ASSERT_TRUE(DDCreateSurface(&sd, 4, 4, 1, 0, DTMEMORYTYPE_VIDEO_NORT, 0, 0));
    EXPECT_EQ(sd.lpDT->dwDTMemoryType, 0) << "type 2 is treated as 0";
    EXPECT_EQ(sd.lpDT->bRenderTarget, 1);
    EXPECT_EQ(sd.lpDT->bColorKey, 1);
    EXPECT_NE(sd.lpDT->lpSystemSurface, nullptr);
    EXPECT_EQ(Pixel(sd, 3, 3), 0xFF102030u);
    DDSURFACEDATA system;
    ASSERT_TRUE(DDCreateSurface(&system, 4, 4, 0, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
    EXPECT_EQ(system.lpDT->bRenderTarget, 0);
    EXPECT_EQ(system.lpDT->lpSystemSurface, nullptr);
    EXPECT_GT(system.lpDT->nId, sd.lpDT->nId);
}

TEST_F(SurfaceTest, ViewHoldsNoTextureAndReleasesOnlyItsPart) {
    ASSERT_TRUE(StartD3D(32, 1));
    DDSURFACEDATA base;
    ASSERT_TRUE(DDCreateSurface(&base, 32, 32, 1, 0, 0, 0, 0));
    DDSURFACEDATA view;
    view.lpBaseSD = &base;
    ASSERT_TRUE(DDCreateSurface(&view, 32, 32, 1, 0, 0, 1, 0));
    EXPECT_EQ(view.lpDT->lpTexture, nullptr);
    EXPECT_FALSE(Listed(&view));
    DDSURFACEDATA* redirected = &view;
    DDRedirectToBaseSurface(&redirected);
    EXPECT_EQ(redirected, &base);
    DDReleaseSurface(&view);
    EXPECT_EQ(view.lpDT, nullptr);
    EXPECT_NE(base.lpDT->lpTexture, nullptr);
    EXPECT_TRUE(Listed(&base));
}

TEST_F(SurfaceTest, ReleaseLeavesTheListAndASecondReleaseDoesNothing) {
    ASSERT_TRUE(StartD3D(32, 1));
    DDSURFACEDATA sd;
    ASSERT_TRUE(DDCreateSurface(&sd, 16, 16, 0, 0, 0, 0, 0));
    ASSERT_TRUE(Listed(&sd));
    DDReleaseSurface(&sd);
    EXPECT_FALSE(Listed(&sd));
    EXPECT_EQ(sd.lpDT, nullptr);
    EXPECT_EQ(sd.nWidth, 16) << "sizes and texts stay";
    DDReleaseSurface(&sd);
    DDReleaseSurface(nullptr);
    {
        DDSURFACEDATA scoped;
        ASSERT_TRUE(DDCreateSurface(&scoped, 8, 8, 0, 0, 0, 0, 0));
        EXPECT_TRUE(Listed(&scoped));
    }
    EXPECT_EQ(SurfaceList.size(), 2u) << "a destroyed descriptor leaves the list: only the two work surfaces remain";
}

TEST_F(SurfaceTest, OutOfVideoMemoryMovesBlankTexturesToSystemMemory) {
    GraphicsProfile p;
    p.nVideoMemoryBytes = 2 * 640 * 480 * 4 + 1024;
    SetGraphicsProfile(p);
    ASSERT_TRUE(StartD3D(32, 1));
    DDSURFACEDATA sd;
    ASSERT_TRUE(DDCreateSurface(&sd, 64, 64, 1, 0, 0, 0, 0));
    EXPECT_EQ(sd.lpDT->dwDTMemoryType, 1);
    EXPECT_EQ(sd.lpDT->bRenderTarget, 0);
    EXPECT_NE(sd.lpDT->lpTexture, nullptr);
    EXPECT_NE(ReadText("Report.txt").find("VRAM"), std::string::npos);
}

TEST_F(SurfaceTest, FailedSystemTextureShowsTheTextureErrorAndAsksToClose) {
    ASSERT_TRUE(StartD3D(32, 1));
    lpDTCon->strTextureError = "texture failed";
    ArmGraphicsFault(GraphicsFault::CreateTexture);
    DDSURFACEDATA sd;
    EXPECT_FALSE(DDCreateSurface(&sd, 8, 8, 0, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
    const auto boxes = HostRecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "texture failed");
}

TEST_F(SurfaceTest, DirectDrawVideoRequestOnAFullCardEndsInSystemMemory) {
    GraphicsProfile p;
    p.nVideoMemoryBytes = 640 * 480 * 4 * 2;   // primary and back buffer only
    SetGraphicsProfile(p);
    ASSERT_TRUE(StartDD(32, 1));
    DDSURFACEDATA sd;
    ASSERT_TRUE(DDCreateSurface(&sd, 64, 64, 1, 0, 0, 0, 0));
    EXPECT_EQ(sd.dwMemoryType, 1);
    DDSCAPS2 caps{};
    sd.lpDDraw->lpDDSurface->GetCaps(&caps);
    EXPECT_NE(caps.dwCaps & DDSCAPS_SYSTEMMEMORY, 0u);
    DDCOLORKEY key{};
    EXPECT_EQ(sd.lpDDraw->lpDDSurface->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
}

TEST_F(SurfaceTest, DirectDrawBlankSurfaceIsFilledWithPaletteColourZero) {
    ASSERT_TRUE(StartDD(32, 1));
    ColorPalette[0] = PALETTEENTRY{0x12, 0x34, 0x56, 0};
    DDSURFACEDATA sd;
    ASSERT_TRUE(DDCreateSurface(&sd, 5, 3, 0, 1, 0, 0, 0));
    EXPECT_EQ(Pixel(sd, 4, 2) & 0xFFFFFF, 0x123456u);
    DDSURFACEDESC2 desc{};
    void* bits = nullptr;
    ASSERT_TRUE(DDLock(&sd, &desc, &bits, 32));
    EXPECT_NE(bits, nullptr);
    EXPECT_EQ(desc.dwWidth, 5u);
    sd.lpDDraw->lpDDSurface->Unlock(nullptr);
}

TEST_F(SurfaceTest, LockReportsSuccessOnlyWithPixels) {
    // Under Direct3D nothing is locked here.
    ASSERT_TRUE(StartD3D(32, 1));
    DDSURFACEDATA d3dSurface;
    ASSERT_TRUE(DDCreateSurface(&d3dSurface, 8, 8, 0, 0, 0, 0, 0));
    DDSURFACEDESC2 desc{};
    void* bits = nullptr;
    EXPECT_FALSE(DDLock(&d3dSurface, &desc, &bits, 32));
    EXPECT_EQ(bits, nullptr);
    DDReleaseSurface(&d3dSurface);
    DDUnInit();

    ASSERT_TRUE(StartDD(32, 1));
    DDSURFACEDATA sd;
    ASSERT_TRUE(DDCreateSurface(&sd, 8, 8, 0, 0, 0, 0, 0));
    for (int32_t depth : {0, 4, 12, 15, 64}) {
        bits = nullptr;
        EXPECT_FALSE(DDLock(&sd, &desc, &bits, depth)) << depth;
        EXPECT_EQ(bits, nullptr) << depth;
    }
    // None of those left the surface locked: a real lock still succeeds, and the one after its
    // unlock too.
    ASSERT_TRUE(DDLock(&sd, &desc, &bits, 32));
    EXPECT_NE(bits, nullptr);
    sd.lpDDraw->lpDDSurface->Unlock(nullptr);
    ASSERT_TRUE(DDLock(&sd, &desc, &bits, 32));
    sd.lpDDraw->lpDDSurface->Unlock(nullptr);
    DDReleaseSurface(&sd);
}

TEST_F(SurfaceTest, ContainerHelpersKeepDescriptorsInPlace) {
    ASSERT_TRUE(StartD3D(32, 1));
    DDSurfaceVector vSurfaces;
    std::vector<BITMAPFILEENTRY> vEntries;
    ASSERT_TRUE(DDAddSurfaceToVector(vSurfaces, vEntries, 8, 8, 1, 0, 0, 0));
    DDSURFACEDATA* first = &vSurfaces[0];
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(DDAddSurfaceToVector(vSurfaces, vEntries, 4, 4, 0, 1, 1, 0));
    EXPECT_EQ(first, &vSurfaces[0]) << "adding must not move the descriptors the surface list points to";
    EXPECT_TRUE(Listed(first));
    EXPECT_EQ(vEntries.size(), 41u);
    EXPECT_EQ(vEntries[0].bColorKey, 1);
    EXPECT_EQ(vEntries[1].nDTMemoryType, 1);
    EXPECT_EQ(vEntries[1].szFileName[0], '\0');
    EXPECT_FALSE(DDAddSurfaceToVector(vSurfaces, vEntries, 0, 8, 0, 0, 0, 0));
    DDReleaseSurfaceVector(vSurfaces);
    EXPECT_EQ(vSurfaces.size(), 42u) << "the entries stay until the caller erases them";
    EXPECT_FALSE(Listed(first));

    DDSurfaceList lSurfaces;
    std::list<BITMAPFILEENTRY> lEntries;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(DDAddSurfaceToList(lSurfaces, lEntries, 8, 8 + i, 0, 0, 0, 0));
    DDSURFACEDATA* middle = &*std::next(lSurfaces.begin());
    EXPECT_TRUE(DDRemoveSurfaceFromList(lSurfaces, lEntries, middle));
    EXPECT_FALSE(Listed(middle));
    EXPECT_EQ(lSurfaces.size(), 2u);
    EXPECT_EQ(lEntries.size(), 2u);
    EXPECT_EQ(std::next(lSurfaces.begin())->nHeight, 10);
    DDSURFACEDATA stranger;
    EXPECT_FALSE(DDRemoveSurfaceFromList(lSurfaces, lEntries, &stranger));
    DDReleaseSurfaceList(lSurfaces);
}

TEST_F(SurfaceTest, DirectDrawSurfaceFailureIsReportedByTheContainerHelper) {
    ASSERT_TRUE(StartDD(32, 1));
    DDSurfaceVector vSurfaces;
    std::vector<BITMAPFILEENTRY> vEntries;
    ArmGraphicsFault(GraphicsFault::CreateSurface, 2);
    EXPECT_FALSE(DDAddSurfaceToVector(vSurfaces, vEntries, 8, 8, 0, 0, 0, 0));
    EXPECT_NE(ReadText("Report.txt").find("CreateSurface Video -> System Err"), std::string::npos);
}

TEST_F(SurfaceTest, TextureSizeCheckNamesTheLimit) {
    GraphicsProfile p;
    p.nMaxTextureWidth = 256;
    p.nMaxTextureHeight = 128;
    SetGraphicsProfile(p);
    ASSERT_TRUE(StartD3D(32, 1));
    EXPECT_TRUE(DDCheckTextureSize(256, 128));
    EXPECT_FALSE(DDCheckTextureSize(257, 10));
    EXPECT_FALSE(DDCheckTextureSize(10, 129));
    const std::string report = ReadText("Report.txt");
    EXPECT_NE(report.find(std::string("このビデオカードでは横幅256を超える画像はサポートされていません！")),
              std::string::npos);
}

}  // namespace
