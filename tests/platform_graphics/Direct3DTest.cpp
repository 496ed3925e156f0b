#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/graphics/D3DX9.h"
#include "platform/graphics/GraphicsControl.h"
#include "platform/host/Host.h"

namespace {

uint32_t Mul255(uint32_t a, uint32_t b) { return (a * b + 127) / 255; }
uint32_t Ch(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

class Direct3DTest : public ::testing::Test {
protected:
    void SetUp() override {
        HostSelect(HostKind::Headless);
        ResetGraphicsProfile();
        DisarmGraphicsFaults();
        ClearPresentedFrames();
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        pp = D3DPRESENT_PARAMETERS{};
        pp.Windowed = 1;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
        ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device), D3D_OK);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
        device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
        ASSERT_EQ(device->CreateVertexBuffer(4 * sizeof(D3DTLVERTEX_TEX1), D3DUSAGE_WRITEONLY, 0x144, D3DPOOL_MANAGED,
                                             &vb, nullptr),
                  D3D_OK);
        device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
        SetStage(D3DTOP_MODULATE, D3DTOP_SELECTARG1);
    }
    void TearDown() override {
        if (vb) vb->Release();
        if (backBuffer) backBuffer->Release();
        if (device) device->Release();
        if (d3d) d3d->Release();
        ResetGraphicsProfile();
        DisarmGraphicsFaults();
    }

    void SetStage(DWORD colorOp, DWORD alphaOp, DWORD arg1 = D3DTA_TEXTURE, DWORD arg2 = D3DTA_DIFFUSE) {
        device->SetTextureStageState(0, D3DTSS_COLOROP, colorOp);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, arg1);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, arg2);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, alphaOp);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG1, arg1);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG2, arg2);
    }

    // A managed A8R8G8B8 texture holding the given texels.
    IDirect3DTexture9* MakeTexture(UINT w, UINT h, const std::vector<uint32_t>& texels,
                                   D3DFORMAT format = D3DFMT_A8R8G8B8) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(w, h, 1, 0, format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < h; ++y)
            for (UINT x = 0; x < w; ++x) {
                uint8_t* p = static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch;
                if (format == D3DFMT_A8R8G8B8) std::memcpy(p + x * 4, &texels[y * w + x], 4);
                else {
                    const uint16_t v = static_cast<uint16_t>(texels[y * w + x]);
                    std::memcpy(p + x * 2, &v, 2);
                }
            }
        texture->UnlockRect(0);
        return texture;
    }

    // Draws the source rectangle of a texture onto (x, y, w, h) the way the graphics layer does.
    void DrawQuad(IDirect3DTexture9* texture, float texW, float texH, float x, float y, float w, float h, float sx,
                  float sy, float sw, float sh, D3DCOLOR diffuse = 0xFFFFFFFF) {
        const D3DTLVERTEX_TEX1 quad[4] = {
            {x - 0.5f, y - 0.5f, 0, 1, diffuse, sx / texW, sy / texH},
            {x - 0.5f, y + h - 0.5f, 0, 1, diffuse, sx / texW, (sy + sh) / texH},
            {x + w - 0.5f, y - 0.5f, 0, 1, diffuse, (sx + sw) / texW, sy / texH},
            {x + w - 0.5f, y + h - 0.5f, 0, 1, diffuse, (sx + sw) / texW, (sy + sh) / texH}};
        void* data = nullptr;
        ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
        std::memcpy(data, quad, sizeof(quad));
        vb->Unlock();
        device->SetTexture(0, texture);
        device->SetStreamSource(0, vb, 0, sizeof(D3DTLVERTEX_TEX1));
        device->SetFVF(0x144);
        ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    }

    uint32_t Back(int x, int y) { return backBuffer->Pixels()->ReadRaw(x, y) & 0xFFFFFF; }

    void ClearBack(D3DCOLOR colour) { device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1.0f, 0); }

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DSurface9* backBuffer = nullptr;
    D3DPRESENT_PARAMETERS pp{};
};

std::vector<uint32_t> Ramp(UINT w, UINT h) {
    std::vector<uint32_t> t(w * h);
    for (UINT i = 0; i < w * h; ++i) t[i] = 0xFF000000u | (i * 0x010203u + 0x102030u);
    return t;
}

TEST_F(Direct3DTest, WindowedDeviceHasTheClientSizedLockableBackBuffer) {
    D3DSURFACE_DESC desc{};
    backBuffer->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 640u);
    EXPECT_EQ(desc.Height, 480u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(pp.BackBufferWidth, 640u);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(backBuffer->LockRect(&locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 640 * 4);
    EXPECT_EQ(backBuffer->UnlockRect(), D3D_OK);
}

TEST_F(Direct3DTest, OneToOneQuadCopiesTexelsExactly) {
    const std::vector<uint32_t> texels = Ramp(8, 8);
    IDirect3DTexture9* texture = MakeTexture(8, 8, texels);
    ClearBack(0xFF000000);
    DrawQuad(texture, 8, 8, 100, 50, 4, 3, 2, 1, 4, 3);
    for (int y = 49; y <= 53; ++y)
        for (int x = 99; x <= 104; ++x) {
            const bool inside = x >= 100 && x < 104 && y >= 50 && y < 53;
            EXPECT_EQ(Back(x, y), inside ? texels[(y - 50 + 1) * 8 + (x - 100 + 2)] & 0xFFFFFF : 0u) << x << "," << y;
        }
    texture->Release();
}

TEST_F(Direct3DTest, TopLeftRuleDrawsEveryPixelOfAdjacentQuadsExactlyOnce) {
    // Additive blending: a pixel drawn twice would show 2 x 40, a pixel missed 0.
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    IDirect3DTexture9* texture = MakeTexture(1, 1, {0xFF282828});
    ClearBack(0xFF000000);
    DrawQuad(texture, 1, 1, 10, 10, 7, 7, 0, 0, 1, 1);
    DrawQuad(texture, 1, 1, 17, 10, 5, 7, 0, 0, 1, 1);
    DrawQuad(texture, 1, 1, 10, 17, 12, 3, 0, 0, 1, 1);
    for (int y = 8; y < 23; ++y)
        for (int x = 8; x < 24; ++x) {
            const bool inside = x >= 10 && x < 22 && y >= 10 && y < 20;
            EXPECT_EQ(Back(x, y), inside ? 0x282828u : 0u) << x << "," << y;
        }
    texture->Release();
}

TEST_F(Direct3DTest, NegativeSourceWidthMirrorsAndStretchRepeatsTexels) {
    const std::vector<uint32_t> texels = Ramp(8, 1);
    IDirect3DTexture9* texture = MakeTexture(8, 1, texels);
    ClearBack(0xFF000000);
    // Frame 1 of a strip of 4-pixel frames, read right to left.
    DrawQuad(texture, 8, 1, 0, 0, 4, 1, 8, 0, -4, 1);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Back(x, 0), texels[7 - x] & 0xFFFFFF) << x;
    // Twice as wide: each texel covers two pixels.
    DrawQuad(texture, 8, 1, 0, 2, 16, 1, 0, 0, 8, 1);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(Back(x, 2), texels[x / 2] & 0xFFFFFF) << x;
    // Wrapping: u past 1 starts over.
    DrawQuad(texture, 8, 1, 0, 4, 4, 1, 6, 0, 4, 1);
    const int expected[] = {6, 7, 0, 1};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Back(x, 4), texels[expected[x]] & 0xFFFFFF) << x;
    texture->Release();
}

TEST_F(Direct3DTest, TextureStageOperationsCombineTexelDiffuseAndFactor) {
    const uint32_t texel = 0xC8B47850;   // a 200, r 180, g 120, b 80
    const uint32_t diffuse = 0x80406090;
    const uint32_t factor = 0x50FF2010;
    const uint32_t dst = 0xFF203040;
    IDirect3DTexture9* texture = MakeTexture(1, 1, {texel});
    device->SetRenderState(D3DRS_TEXTUREFACTOR, factor);
    struct Case {
        const char* name;
        DWORD colorOp, alphaOp, arg2;
        uint32_t (*colour)(uint32_t t, uint32_t d, uint32_t f);
        uint32_t (*alpha)(uint32_t t, uint32_t d, uint32_t f);
    };
    const Case cases[] = {
        {"select texture", D3DTOP_SELECTARG1, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, [](uint32_t t, uint32_t, uint32_t) { return t; },
         [](uint32_t t, uint32_t, uint32_t) { return t; }},
        {"select diffuse", D3DTOP_SELECTARG2, D3DTOP_SELECTARG2, D3DTA_DIFFUSE, [](uint32_t, uint32_t d, uint32_t) { return d; },
         [](uint32_t, uint32_t d, uint32_t) { return d; }},
        {"modulate", D3DTOP_MODULATE, D3DTOP_MODULATE, D3DTA_DIFFUSE, [](uint32_t t, uint32_t d, uint32_t) { return Mul255(t, d); },
         [](uint32_t t, uint32_t d, uint32_t) { return Mul255(t, d); }},
        {"add", D3DTOP_ADD, D3DTOP_SELECTARG1, D3DTA_DIFFUSE,
         [](uint32_t t, uint32_t d, uint32_t) { return t + d > 255 ? 255u : t + d; }, [](uint32_t t, uint32_t, uint32_t) { return t; }},
        {"subtract", D3DTOP_SUBTRACT, D3DTOP_SELECTARG1, D3DTA_DIFFUSE,
         [](uint32_t t, uint32_t d, uint32_t) { return t > d ? t - d : 0u; }, [](uint32_t t, uint32_t, uint32_t) { return t; }},
        {"blend factor alpha", D3DTOP_BLENDFACTORALPHA, D3DTOP_SELECTARG1, D3DTA_TFACTOR,
         [](uint32_t t, uint32_t, uint32_t f) { return (t * 0x50 + f * (255 - 0x50) + 127) / 255; },
         [](uint32_t t, uint32_t, uint32_t) { return t; }},
        {"alpha disabled passes diffuse", D3DTOP_SELECTARG1, D3DTOP_DISABLE, D3DTA_DIFFUSE,
         [](uint32_t t, uint32_t, uint32_t) { return t; }, [](uint32_t, uint32_t d, uint32_t) { return d; }},
    };
    for (const Case& c : cases) {
        SetStage(c.colorOp, c.alphaOp, D3DTA_TEXTURE, c.arg2);
        ClearBack(dst);
        DrawQuad(texture, 1, 1, 5, 5, 1, 1, 0, 0, 1, 1, diffuse);
        const uint32_t arg2 = c.arg2 == D3DTA_TFACTOR ? factor : diffuse;
        const uint32_t a = c.alpha(Ch(texel, 24), Ch(arg2, 24), Ch(factor, 24));
        uint32_t expected = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const uint32_t s = c.colour(Ch(texel, shift), Ch(diffuse, shift), Ch(factor, shift));
            expected |= ((s * a + Ch(dst, shift) * (255 - a) + 127) / 255) << shift;
        }
        EXPECT_EQ(Back(5, 5), expected) << c.name;
    }
    texture->Release();
}

TEST_F(Direct3DTest, TransparentTexelsLeaveTheDestinationAndOpaqueOnesReplaceIt) {
    IDirect3DTexture9* texture = MakeTexture(2, 1, {0x00FF00FF, 0xFF00FF00});
    ClearBack(0xFF123456);
    DrawQuad(texture, 2, 1, 0, 0, 2, 1, 0, 0, 2, 1);
    EXPECT_EQ(Back(0, 0), 0x123456u);
    EXPECT_EQ(Back(1, 0), 0x00FF00u);
    texture->Release();
}

TEST_F(Direct3DTest, SixteenBitTexturesKeepTheirAlphaBit) {
    // A1R5G5B5: red opaque, and a transparent texel.
    IDirect3DTexture9* texture = MakeTexture(2, 1, {0xFC00, 0x7C00}, D3DFMT_A1R5G5B5);
    ClearBack(0xFF000080);
    DrawQuad(texture, 2, 1, 0, 0, 2, 1, 0, 0, 2, 1);
    EXPECT_EQ(Back(0, 0), 0xFF0000u);
    EXPECT_EQ(Back(1, 0), 0x000080u);
    texture->Release();
}

TEST_F(Direct3DTest, RenderTargetTexturesAreReadBackAndUpdated) {
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr),
              D3D_OK);
    IDirect3DSurface9* level = nullptr;
    target->GetSurfaceLevel(0, &level);
    D3DLOCKED_RECT locked{};
    EXPECT_NE(level->LockRect(&locked, nullptr, 0), D3D_OK) << "render targets are not lockable";
    IDirect3DSurface9* twin = nullptr;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(4, 4, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &twin, nullptr), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, level), D3D_OK);
    const RECT rect{1, 1, 3, 2};
    device->Clear(1, &rect, D3DCLEAR_TARGET, 0x80FF0000, 1.0f, 0);
    ASSERT_EQ(device->GetRenderTargetData(level, twin), D3D_OK);
    ASSERT_EQ(twin->LockRect(&locked, nullptr, 0), D3D_OK);
    auto at = [&](int x, int y) {
        uint32_t v;
        std::memcpy(&v, static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
        return v;
    };
    EXPECT_EQ(at(1, 1), 0x80FF0000u);
    EXPECT_EQ(at(2, 1), 0x80FF0000u);
    EXPECT_EQ(at(0, 1), 0u);
    EXPECT_EQ(at(1, 2), 0u);
    const uint32_t green = 0xFF00FF00;
    std::memcpy(static_cast<uint8_t*>(locked.pBits) + 3 * locked.Pitch, &green, 4);
    twin->UnlockRect();
    ASSERT_EQ(device->UpdateSurface(twin, nullptr, level, nullptr), D3D_OK);
    EXPECT_EQ(level->Pixels()->ReadRaw(0, 3), green);
    // Drawing into the texture target, then showing it on the back buffer.
    device->SetRenderTarget(0, backBuffer);
    ClearBack(0xFF000000);
    DrawQuad(target, 4, 4, 0, 0, 4, 4, 0, 0, 4, 4);
    EXPECT_EQ(Back(0, 3), 0x00FF00u);
    EXPECT_EQ(Back(1, 1), (0xFFu * 0x80 + 127) / 255 << 16);
    twin->Release();
    level->Release();
    target->Release();
}

TEST_F(Direct3DTest, IndexedStripsDrawLikeThePlainOnes) {
    IDirect3DTexture9* texture = MakeTexture(1, 1, {0xFF446688});
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(8, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    void* data = nullptr;
    ib->Lock(0, 0, &data, 0);
    const uint16_t indices[4] = {0, 1, 2, 3};
    std::memcpy(data, indices, sizeof(indices));
    ib->Unlock();
    ClearBack(0xFF000000);
    DrawQuad(texture, 1, 1, 20, 20, 3, 2, 0, 0, 1, 1);   // fills the vertex buffer; drawn again indexed
    ClearBack(0xFF000000);
    device->SetIndices(ib);
    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, 0, 4, 0, 2), D3D_OK);
    int count = 0;
    for (int y = 18; y < 25; ++y)
        for (int x = 18; x < 26; ++x) count += Back(x, y) == 0x446688u;
    EXPECT_EQ(count, 6);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, 0, 4, 2, 2), D3DERR_INVALIDCALL)
        << "indices beyond the buffer are refused";
    ib->Release();
    texture->Release();
}

TEST_F(Direct3DTest, PresentHandsTheBackBufferToTheHost) {
    ClearBack(0xFF0000FF);
    const RECT r{639, 479, 640, 480};
    device->Clear(1, &r, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    const PresentedFrame frame = LastPresentedFrame();
    ASSERT_EQ(frame.nWidth, 640);
    ASSERT_EQ(frame.nHeight, 480);
    EXPECT_EQ(frame.vPixels[0], 0xFF0000FFu);
    EXPECT_EQ(frame.vPixels[640 * 480 - 1], 0xFFFF0000u);
    EXPECT_EQ(PresentedFrameCount(), 1u);
}

TEST_F(Direct3DTest, LostDeviceResetsOnlyWhenRegainedAndDefaultPoolIsReleased) {
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr),
              D3D_OK);
    IDirect3DTexture9* managed = MakeTexture(1, 1, {0xFFFFFFFF});
    LoseDirect3DDevice();
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Reset(&pp), D3DERR_DEVICELOST);
    RegainDirect3DDevice();
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    backBuffer->Release();
    backBuffer = nullptr;
    EXPECT_EQ(device->Reset(&pp), D3DERR_INVALIDCALL) << "a default-pool texture is still held";
    target->Release();
    ArmGraphicsFault(GraphicsFault::Reset);
    EXPECT_NE(device->Reset(&pp), D3D_OK);
    EXPECT_EQ(device->Reset(&pp), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    managed->Release();
}

TEST_F(Direct3DTest, CapabilityProfileShapesTexturesAndVideoMemory) {
    GraphicsProfile profile;
    profile.bPow2 = true;
    profile.nVideoMemoryBytes = 3u << 20;
    SetGraphicsProfile(profile);
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(640, 480, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
              D3DERR_INVALIDCALL);
    ASSERT_EQ(D3DXCreateTexture(device, 640, 480, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture),
              D3D_OK);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 1024u);
    EXPECT_EQ(desc.Height, 512u);
    EXPECT_EQ(device->GetAvailableTextureMem(), (3u << 20) - 1024u * 512u * 4u);
    IDirect3DTexture9* second = nullptr;
    EXPECT_EQ(D3DXCreateTexture(device, 640, 480, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &second),
              D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(D3DXCreateTexture(device, 640, 480, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &second),
              D3D_OK)
        << "system memory is not counted";
    second->Release();
    texture->Release();
    profile.bSquareOnly = true;
    SetGraphicsProfile(profile);
    ASSERT_EQ(D3DXCreateTexture(device, 640, 480, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &texture), D3D_OK);
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 1024u);
    EXPECT_EQ(desc.Height, 1024u);
    texture->Release();
}

TEST(Direct3DCreation, FailuresComeOnDemand) {
    HostSelect(HostKind::Headless);
    ResetGraphicsProfile();
    ArmGraphicsFault(GraphicsFault::Direct3DCreate);
    EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
    EXPECT_EQ(Direct3DCreate9(31), nullptr);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = 1;
    pp.BackBufferFormat = D3DFMT_A1R5G5B5;
    IDirect3DDevice9* device = nullptr;
    ArmGraphicsFault(GraphicsFault::CreateDeviceHardware);
    EXPECT_NE(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device), D3D_OK);
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device), D3D_OK);
    device->Release();
    pp.Windowed = 0;
    pp.BackBufferWidth = 640;
    pp.BackBufferHeight = 480;
    pp.BackBufferFormat = D3DFMT_R5G6B5;
    pp.FullScreen_RefreshRateInHz = 75;
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device),
              D3DERR_INVALIDCALL)
        << "the display offers 60 Hz only";
    d3d->Release();
    DisarmGraphicsFaults();
}

}  // namespace

namespace {

TEST(VerticalSync, PresentationWaitsForTheNextBlankOfTheVirtualClock) {
    HostSelect(HostKind::Headless);
    ResetGraphicsProfile();
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = 1;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device), D3D_OK);
    HostSetVirtualTime(1000000);   // a whole number of 60 Hz periods (blank 60000)
    const uint32_t expected[] = {1000017, 1000034, 1000050, 1000067};
    for (uint32_t at : expected) {
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        EXPECT_EQ(HostVirtualTime(), at);
    }
    HostAdvanceVirtualTime(40);   // late: the next blank after 1000107 is at 1000117
    device->Present(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(HostVirtualTime(), 1000117u);
    device->Release();
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device), D3D_OK);
    device->Present(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(HostVirtualTime(), 1000117u) << "an immediate presentation does not wait";
    device->Release();
    d3d->Release();
}

}  // namespace
