#include <algorithm>
#include <type_traits>

#include "core/FrameTiming.h"
#include "core/MessageBox.h"
#include "platform/win/WinMessageBox.h"
#include "tests/media_graphics/GraphicsFixture.h"

namespace {

using StartupTest = GraphicsFixture;

bool SameMasks(const PIXELMASKS& m, std::initializer_list<int32_t> v) {
    const int32_t* p = &m.nRShift;
    return std::equal(v.begin(), v.end(), p);
}

TEST_F(StartupTest, Direct3DWindowThirtyTwoBitsSetsUpContextMasksAndBuiltInSurfaces) {
    ASSERT_TRUE(StartD3D(32, 1));
    ASSERT_NE(lpDTCon, nullptr);
    EXPECT_EQ(lpDD, nullptr);
    EXPECT_EQ(bGraphicsUp.load(), 1);
    EXPECT_EQ(lpDTCon->fmtBackBuffer, D3DFMT_X8R8G8B8);
    EXPECT_EQ(lpDTCon->fmtTexture, D3DFMT_A8R8G8B8);
    EXPECT_TRUE(SameMasks(SurfaceMasks, {16, 8, 0, 24, 255, 255, 255, 255}));
    EXPECT_TRUE(SameMasks(BackBufferMasks, {0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(lpDTCon->dwAlphaOp, D3DTOP_SELECTARG1);
    EXPECT_EQ(lpDTCon->dwColorOp, D3DTOP_MODULATE);
    EXPECT_EQ(lpDTCon->dwDiffuse, 0xFFFFFFFFu);
    EXPECT_EQ(lpDTCon->d3dpp.Flags, D3DPRESENTFLAG_LOCKABLE_BACKBUFFER);
    EXPECT_EQ(lpDTCon->d3dpp.SwapEffect, D3DSWAPEFFECT_DISCARD);
    ASSERT_NE(BackBuffer.lpDT, nullptr);
    EXPECT_NE(BackBuffer.lpDT->lpSurface, nullptr);
    EXPECT_NE(BackBuffer.lpDT->lpVB, nullptr);
    EXPECT_EQ(BackBuffer.lpDT->nId, 0);
    EXPECT_STREQ(BackBuffer.szSurfaceType, "BackBuffer");
    EXPECT_EQ(lpDTCon->lpTargetSD, &BackBuffer);
    // The work surfaces are render targets in the surface list; the back buffer is not in it.
    EXPECT_STREQ(VirBackBuffer.szSurfaceType, "VirBackBuffer");
    EXPECT_STREQ(WorkSD.szSurfaceType, "WorkSD");
    EXPECT_EQ(std::count(SurfaceList.begin(), SurfaceList.end(), &VirBackBuffer), 1);
    EXPECT_EQ(std::count(SurfaceList.begin(), SurfaceList.end(), &WorkSD), 1);
    EXPECT_EQ(std::count(SurfaceList.begin(), SurfaceList.end(), &BackBuffer), 0);
    EXPECT_EQ(lpDTCon->nNextSurfaceId, 3);
    EXPECT_TRUE(PaceFrame(60));
    DDUnInit();
    EXPECT_EQ(lpDTCon, nullptr);
    EXPECT_EQ(lpDevice, nullptr);
    EXPECT_EQ(bGraphicsUp.load(), 0) << "boxes must not go to a display that is gone";
    EXPECT_TRUE(SurfaceList.empty());
}

TEST_F(StartupTest, Direct3DSixteenBitMasksDependOnWindowMode) {
    ASSERT_TRUE(StartD3D(16, 1));
    EXPECT_EQ(lpDTCon->fmtBackBuffer, D3DFMT_A1R5G5B5);
    EXPECT_TRUE(SameMasks(SurfaceMasks, {10, 5, 0, 15, 31, 31, 31, 1}));
    EXPECT_TRUE(SameMasks(BackBufferMasks, {10, 5, 0, 15, 31, 31, 31, 1}));
    DDUnInit();
    ASSERT_TRUE(StartD3D(16, 0));
    EXPECT_EQ(lpDTCon->fmtBackBuffer, D3DFMT_R5G6B5);
    EXPECT_EQ(lpDTCon->fmtTexture, D3DFMT_A1R5G5B5);
    EXPECT_TRUE(SameMasks(SurfaceMasks, {10, 5, 0, 15, 31, 31, 31, 1}));
    EXPECT_TRUE(SameMasks(BackBufferMasks, {11, 5, 0, 16, 31, 63, 31, 0}));
    EXPECT_EQ(lpDTCon->d3dpp.FullScreen_RefreshRateInHz, 60u);
    EXPECT_EQ(lpDTCon->d3dpp.BackBufferWidth, 640u);
}

// The shell's start-up: Direct3D first, and on failure shut down and start DirectDraw.
TEST_F(StartupTest, FailedDirect3DStartFallsBackToDirectDraw) {
    struct Case {
        const char* name;
        void (*arm)();
        int32_t depth;
    };
    const Case cases[] = {
        {"no Direct3D 9", [] { ArmGraphicsFault(GraphicsFault::Direct3DCreate); }, 32},
        {"no device", [] { ArmGraphicsFault(GraphicsFault::CreateDevice, 2); }, 32},
        {"old driver",
         [] {
             GraphicsProfile p;
             p.nDdiVersion = 8;
             SetGraphicsProfile(p);
         },
         32},
        {"eight bits", [] {}, 8},
        {"no back-buffer vertex buffer", [] { ArmGraphicsFault(GraphicsFault::CreateVertexBuffer); }, 16},
    };
    for (const Case& c : cases) {
        ResetGraphicsProfile();
        DisarmGraphicsFaults();
        c.arm();
        EXPECT_FALSE(StartD3D(c.depth, 1)) << c.name;
        DDUnInit();
        EXPECT_EQ(lpDTCon, nullptr) << c.name;
        EXPECT_EQ(lpD3D, nullptr) << c.name;
        ASSERT_TRUE(StartDD(c.depth, 1)) << c.name;
        EXPECT_EQ(lpDTCon, nullptr) << c.name;
        EXPECT_NE(lpDD, nullptr) << c.name;
        EXPECT_NE(lpDDCon, nullptr) << c.name;
        EXPECT_NE(BackBuffer.lpDDraw, nullptr) << c.name;
        EXPECT_TRUE(PaceFrame(60)) << c.name;
        DDUnInit();
    }
}

TEST_F(StartupTest, HardwareVertexProcessingFailureFallsBackToSoftware) {
    ArmGraphicsFault(GraphicsFault::CreateDeviceHardware);
    ASSERT_TRUE(StartD3D(32, 1));
    EXPECT_NE(ReadText("Report.txt").find("Device HAL-SOFT"), std::string::npos);
}

TEST_F(StartupTest, WindowVSyncIsDroppedWhenTheDisplayKeepsAnotherRate) {
    GraphicsProfile p;
    p.vRefreshRates = {75};
    p.nDesktopRefreshRate = 75;
    SetGraphicsProfile(p);
    ASSERT_TRUE(StartD3D(32, 1, 1));
    EXPECT_EQ(bVSync, 0);
    EXPECT_EQ(lpDTCon->d3dpp.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    const std::string report = ReadText("Report.txt");
    EXPECT_NE(report.find("RefreshRate : 75"), std::string::npos);
    EXPECT_NE(report.find("ChangeDisplaySettings != DISP_CHANGE_SUCCESSFUL"), std::string::npos);
    DDUnInit();
    p.vRefreshRates = {60, 75};
    SetGraphicsProfile(p);
    ASSERT_TRUE(StartD3D(32, 1, 1));
    EXPECT_EQ(bVSync, 1);
    EXPECT_EQ(lpDTCon->d3dpp.PresentationInterval, D3DPRESENT_INTERVAL_DEFAULT);
}

TEST_F(StartupTest, DirectDrawFullScreenBuildsAFlipChainWithOneBackBuffer) {
    ASSERT_TRUE(StartDD(8, 0));
    ASSERT_NE(PrimarySD.lpDDraw, nullptr);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    PrimarySD.lpDDraw->lpDDSurface->GetSurfaceDesc(&desc);
    EXPECT_EQ(desc.dwBackBufferCount, 1u);
    EXPECT_NE(BackBuffer.lpDDraw->lpDDSurface, nullptr);
    EXPECT_EQ(SystemWorkSD.dwMemoryType, 1);
    EXPECT_NE(lpDDPalette, nullptr);
    PALETTEENTRY entries[256];
    lpDDPalette->GetEntries(0, 0, 256, entries);
    EXPECT_EQ(entries[0].peBlue, 255);
    EXPECT_EQ(entries[100].peRed, 100);
    EXPECT_EQ(entries[100].peGreen, 100);
    EXPECT_EQ(entries[100].peFlags, PC_RESERVED);
}

TEST_F(StartupTest, DirectDrawFullScreenFallsBackToAnyRefreshRate) {
    GraphicsProfile p;
    p.vRefreshRates = {70};
    SetGraphicsProfile(p);
    ASSERT_TRUE(StartDD(16, 0));
    EXPECT_TRUE(SameMasks(SurfaceMasks, {11, 5, 0, 0, 31, 63, 31, 0}));
}

TEST_F(StartupTest, SecondDirectDrawStartReadsTheMasksAfresh) {
    ASSERT_TRUE(StartDD(16, 0));
    ASSERT_TRUE(StartDD(16, 0));
    EXPECT_TRUE(SameMasks(SurfaceMasks, {11, 5, 0, 0, 31, 63, 31, 0}));
    ASSERT_NE(lpDDCon, nullptr) << "the context survives the shut-down of the first start";
    ASSERT_TRUE(StartDD(32, 1));
    EXPECT_TRUE(SameMasks(SurfaceMasks, {16, 8, 0, 0, 255, 255, 255, 0}));
    EXPECT_EQ(rcClient.right - rcClient.left, 640);
    EXPECT_EQ(nDesktopBpp, 32);
    EXPECT_NE(lpDDClipper, nullptr);
}

TEST_F(StartupTest, DirectDrawStartFailuresReportTheirStep) {
    struct Case {
        GraphicsFault fault;
        const char* text;
    };
    const Case cases[] = {{GraphicsFault::DirectDrawCreate, "DirectDrawCreateEx Err"},
                          {GraphicsFault::SetCooperativeLevel, "SetCooperativeLevel Err"},
                          {GraphicsFault::CreateSurface, "Primary CreateSurface Err"}};
    for (const Case& c : cases) {
        DisarmGraphicsFaults();
        ArmGraphicsFault(c.fault);
        EXPECT_FALSE(StartDD(32, 1)) << c.text;
        EXPECT_NE(ReadText("Report.txt").find(c.text), std::string::npos) << c.text;
        DDUnInit();
    }
    DisarmGraphicsFaults();
    ArmGraphicsFault(GraphicsFault::SetDisplayMode, 2);
    EXPECT_FALSE(StartDD(32, 0));
    EXPECT_NE(ReadText("Trace.txt").find("SETDISPLAYMODE_ERR"), std::string::npos);
}

TEST_F(StartupTest, OtherWindowModesStartDirectDrawWithoutObjects) {
    ASSERT_TRUE(StartDD(32, 2));
    EXPECT_EQ(lpDD, nullptr);
    EXPECT_EQ(bGraphicsUp.load(), 1);
}

TEST(SurfaceDescriptor, CannotBeCopiedOrMoved) {
    static_assert(!std::is_copy_constructible_v<DDSURFACEDATA>);
    static_assert(!std::is_copy_assignable_v<DDSURFACEDATA>);
    static_assert(!std::is_move_constructible_v<DDSURFACEDATA>);
    DDSURFACEDATA sd;
    EXPECT_EQ(sd.lpDT, nullptr);
    EXPECT_EQ(sd.lpBaseSD, nullptr);
    EXPECT_EQ(sd.szFileName[0], '\0');
}

}  // namespace

namespace {

using FullScreenBoxTest = GraphicsFixture;

TEST_F(FullScreenBoxTest, BoxesGoThroughTheDialogModeOnlyInFullScreen) {
    ASSERT_TRUE(StartD3D(32, 0));
    HostQueueMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(ShowMessageBox("full", "caption", MB_OKCANCEL), 1) << "the layer's box does not return the button";
    DDUnInit();
    ASSERT_TRUE(StartD3D(32, 1));
    HostQueueMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(ShowMessageBox("window", "caption", MB_OKCANCEL), IDCANCEL);
    DDUnInit();
    HostQueueMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(ShowMessageBox("down", "caption", MB_OKCANCEL), IDCANCEL) << "after shut-down every box is a system box";
    const auto boxes = HostRecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "full");
    EXPECT_EQ(boxes[0].caption, "caption");
}

}  // namespace
