#include <gtest/gtest.h>

#include <filesystem>

#include "platform/graphics/D3DX9.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/GraphicsControl.h"
#include "platform/graphics/TextRasterizer.h"
#include "platform/host/Host.h"
#include "tests/platform_graphics/BmpFixture.h"

namespace {

namespace fs = std::filesystem;

class GdiTest : public ::testing::Test {
protected:
    void SetUp() override {
        HostSelect(HostKind::Headless);
        ResetGraphicsProfile();
        dir = fs::temp_directory_path() / ("gdi_test_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr), DD_OK);
        dd->SetCooperativeLevel(nullptr, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
        dd->SetDisplayMode(640, 480, 32, 60, 0);
    }
    void TearDown() override {
        dd->Release();
        fs::remove_all(dir);
        SetTextRasterizer(nullptr);
    }
    std::string Write(const char* name, const bmpfixture::Image& image, const bmpfixture::Options& o) {
        const std::string host = (dir / name).string();
        EXPECT_TRUE(bmpfixture::WriteFile(host, bmpfixture::Encode(image, o)));
        return bmpfixture::ProjectPath(host);
    }
    IDirectDrawSurface7* Surface(DWORD w, DWORD h) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = w;
        desc.dwHeight = h;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        IDirectDrawSurface7* s = nullptr;
        EXPECT_EQ(dd->CreateSurface(&desc, &s, nullptr), DD_OK);
        return s;
    }
    fs::path dir;
    IDirectDraw7* dd = nullptr;
};

TEST_F(GdiTest, LoadedBitmapReportsItsDibSectionAndColourTable) {
    bmpfixture::Options o;
    o.bits = 4;
    o.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    const std::string path = Write("four.bmp", bmpfixture::Image{3, 2, {1, 2, 3, 3, 2, 1}}, o);
    HANDLE bitmap = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(static_cast<HGDIOBJ>(bitmap), sizeof(ds), &ds), static_cast<int>(sizeof(ds)));
    EXPECT_EQ(ds.dsBm.bmWidth, 3);
    EXPECT_EQ(ds.dsBm.bmHeight, 2);
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 4);
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 4);
    // Bottom row first: the image's bottom row is 3, 2, 1.
    EXPECT_EQ(static_cast<uint8_t*>(ds.dsBm.bmBits)[0], 0x32);
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, static_cast<HGDIOBJ>(bitmap));
    RGBQUAD table[16] = {};
    EXPECT_EQ(GetDIBColorTable(memory, 0, 16, table), 16u);
    EXPECT_EQ(table[1].rgbRed, 0xFF);
    EXPECT_EQ(table[3].rgbBlue, 0xFF);
    DeleteDC(memory);
    DeleteObject(static_cast<HGDIOBJ>(bitmap));
    EXPECT_EQ(LoadImageA(nullptr, "\\no\\such\\file.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
}

TEST_F(GdiTest, StretchBltConvertsAndMirrorsFromItsStartPosition) {
    bmpfixture::Options o;
    o.bits = 24;
    const std::string path = Write("row.bmp", bmpfixture::Image{4, 1, {0x010101, 0x020202, 0x030303, 0x040404}}, o);
    HANDLE bitmap = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(bitmap, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, static_cast<HGDIOBJ>(bitmap));
    IDirectDrawSurface7* s = Surface(8, 2);
    HDC dc = nullptr;
    ASSERT_EQ(s->GetDC(&dc), DD_OK);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    ASSERT_TRUE(BitBlt(dc, 0, 0, 4, 1, memory, 0, 0, SRCCOPY));
    // Two mirrored frames of two pixels: each starts at its right column and runs left.
    ASSERT_TRUE(StretchBlt(dc, 1, 1, -2, 1, memory, 0, 0, 2, 1, SRCCOPY));
    ASSERT_TRUE(StretchBlt(dc, 3, 1, -2, 1, memory, 2, 0, 2, 1, SRCCOPY));
    ASSERT_TRUE(StretchBlt(dc, 4, 0, 4, 1, memory, 0, 0, 2, 1, SRCCOPY));
    s->ReleaseDC(dc);
    const uint32_t top[] = {1, 2, 3, 4, 1, 1, 2, 2};
    const uint32_t bottom[] = {2, 1, 4, 3};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(s->Pixels()->ReadRaw(x, 0) & 0xFFFFFF, top[x] * 0x010101u) << x;
    for (int x = 0; x < 4; ++x) EXPECT_EQ(s->Pixels()->ReadRaw(x, 1) & 0xFFFFFF, bottom[x] * 0x010101u) << x;
    s->Release();
    DeleteDC(memory);
    DeleteObject(static_cast<HGDIOBJ>(bitmap));
}

// A rasteriser for the tests: every byte is a 2 x 3 block with its first column inked.
class BlockRasterizer : public cTextRasterizer {
public:
    bool RenderLine(const TEXTFONTSPEC& font, const char* text, int32_t count, TEXTMASK* mask) override {
        lastHeight = font.nHeight;
        mask->nWidth = 2 * count;
        mask->nHeight = 3;
        mask->vCoverage.assign(static_cast<size_t>(mask->nWidth) * 3, 0);
        for (int32_t i = 0; i < count; ++i)
            for (int y = 0; y < 3; ++y) mask->vCoverage[static_cast<size_t>(y) * mask->nWidth + 2 * i] = text[i] != ' ';
        return true;
    }
    int32_t lastHeight = 0;
};

TEST_F(GdiTest, TextGoesThroughTheRegisteredRasterizer) {
    IDirectDrawSurface7* s = Surface(10, 4);
    HDC dc = nullptr;
    s->GetDC(&dc);
    HFONT font = CreateFontA(16, 0, 0, 0, 400, 0, 0, 0, 128, 0, 0, 0, 0, "Gothic");
    SelectObject(dc, font);
    SetTextColor(dc, RGB(0x11, 0x22, 0x33));
    SIZE size{};
    EXPECT_TRUE(TextOutA(dc, 1, 0, "ab", 2));
    EXPECT_TRUE(GetTextExtentPoint32A(dc, "ab", 2, &size));
    EXPECT_EQ(size.cx, 0) << "no rasteriser: nothing measured";
    BlockRasterizer rasterizer;
    SetTextRasterizer(&rasterizer);
    EXPECT_TRUE(TextOutA(dc, 1, 0, "a b", 3));
    EXPECT_TRUE(GetTextExtentPoint32A(dc, "ab", 2, &size));
    EXPECT_EQ(size.cx, 4);
    EXPECT_EQ(size.cy, 3);
    EXPECT_EQ(rasterizer.lastHeight, 16);
    s->ReleaseDC(dc);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool ink = y < 3 && (x == 1 || x == 5);
            EXPECT_EQ(s->Pixels()->ReadRaw(x, y) & 0xFFFFFF, ink ? 0x112233u : 0u) << x << "," << y;
        }
    DeleteObject(font);
    s->Release();
}

TEST_F(GdiTest, Direct3DFontDrawsIntoTheCurrentRenderTarget) {
    BlockRasterizer rasterizer;
    SetTextRasterizer(&rasterizer);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = 1;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device), D3D_OK);
    D3DXFONT_DESCA desc{};
    desc.Height = 9;
    desc.CharSet = SHIFTJIS_CHARSET;
    ID3DXFont* font = nullptr;
    ASSERT_EQ(D3DXCreateFontIndirectA(device, &desc, &font), D3D_OK);
    ID3DXSprite* sprite = nullptr;
    ASSERT_EQ(D3DXCreateSprite(device, &sprite), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    RECT rect{20, 30, 0, 0};
    sprite->Begin(D3DXSPRITE_ALPHABLEND);
    EXPECT_EQ(font->DrawTextA(sprite, "xy\nz", -1, &rect, DT_NOCLIP, 0xFFABCDEF), 6);
    sprite->End();
    RECT measure{0, 0, 0, 0};
    font->DrawTextA(sprite, "xy\nz", -1, &measure, DT_CALCRECT, 0xFFFFFFFF);
    EXPECT_EQ(measure.right, 4);
    EXPECT_EQ(measure.bottom, 6);
    IDirect3DSurface9* back = nullptr;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    EXPECT_EQ(back->Pixels()->ReadRaw(20, 30) & 0xFFFFFF, 0xABCDEFu);
    EXPECT_EQ(back->Pixels()->ReadRaw(22, 32) & 0xFFFFFF, 0xABCDEFu);
    EXPECT_EQ(back->Pixels()->ReadRaw(21, 30) & 0xFFFFFF, 0u);
    EXPECT_EQ(back->Pixels()->ReadRaw(20, 35) & 0xFFFFFF, 0xABCDEFu);
    EXPECT_EQ(back->Pixels()->ReadRaw(22, 35) & 0xFFFFFF, 0u);
    back->Release();
    sprite->Release();
    font->Release();
    device->Release();
    d3d->Release();
}

TEST_F(GdiTest, RefreshRateChangesOnlyToRatesTheDisplayOffers) {
    GraphicsProfile profile;
    profile.vRefreshRates = {75};
    profile.nDesktopRefreshRate = 75;
    SetGraphicsProfile(profile);
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_DISPLAYFREQUENCY;
    mode.dmDisplayFrequency = 60;
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_TEST), DISP_CHANGE_FAILED);
    profile.vRefreshRates = {60, 75};
    SetGraphicsProfile(profile);
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DDISPLAYMODE current{};
    d3d->GetAdapterDisplayMode(0, &current);
    EXPECT_EQ(current.RefreshRate, 60u);
    d3d->Release();
}

}  // namespace
