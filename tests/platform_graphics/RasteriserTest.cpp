// The rasteriser's quad path against its general path: many random quads drawn both ways from the
// same starting picture must leave the same pixels.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/graphics/D3DX9.h"
#include "platform/graphics/GraphicsControl.h"
#include "platform/graphics/RasterRows.h"
#include "platform/graphics/Rasteriser.h"
#include "platform/host/Host.h"

namespace {

// A small deterministic generator for the test data.
class Dice {
public:
    explicit Dice(uint64_t seed) : m_nState(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t Next() {
        m_nState ^= m_nState << 13;
        m_nState ^= m_nState >> 7;
        m_nState ^= m_nState << 17;
        return static_cast<uint32_t>(m_nState >> 16);
    }
    int32_t Between(int32_t lo, int32_t hi) { return lo + static_cast<int32_t>(Next() % static_cast<uint32_t>(hi - lo + 1)); }
    bool Chance(int32_t percent) { return Between(0, 99) < percent; }
    template <class T, size_t N>
    T Pick(const T (&items)[N]) { return items[Next() % N]; }

private:
    uint64_t m_nState;
};

struct TargetCase {
    D3DFORMAT format;
    bool bTexture;   // a render-target texture instead of the back buffer
};

// X8R8G8B8BackBuffer, R5G6B5Texture, ...
std::string TargetName(const TargetCase& c) {
    const char* format = "Unknown";
    switch (c.format) {
    case D3DFMT_X8R8G8B8: format = "X8R8G8B8"; break;
    case D3DFMT_A8R8G8B8: format = "A8R8G8B8"; break;
    case D3DFMT_R5G6B5: format = "R5G6B5"; break;
    case D3DFMT_A1R5G5B5: format = "A1R5G5B5"; break;
    case D3DFMT_X1R5G5B5: format = "X1R5G5B5"; break;
    default: break;
    }
    return std::string(format) + (c.bTexture ? "Texture" : "BackBuffer");
}
void PrintTo(const TargetCase& c, std::ostream* os) { *os << TargetName(c); }

class RasteriserTest : public ::testing::TestWithParam<TargetCase> {
protected:
    void SetUp() override {
        HostSelect(HostKind::Headless);
        ResetGraphicsProfile();
        DisarmGraphicsFaults();
        gfx::raster::ForceGeneralPath(false);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        D3DPRESENT_PARAMETERS pp{};
        pp.Windowed = 1;
        pp.BackBufferWidth = 160;
        pp.BackBufferHeight = 120;
        pp.BackBufferFormat = GetParam().bTexture ? D3DFMT_X8R8G8B8 : GetParam().format;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
        ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device),
                  D3D_OK);
        ASSERT_EQ(device->CreateVertexBuffer(6 * sizeof(D3DTLVERTEX_TEX1), D3DUSAGE_WRITEONLY, 0x144,
                                             D3DPOOL_MANAGED, &vb, nullptr),
                  D3D_OK);
        ASSERT_EQ(device->CreateIndexBuffer(4 * sizeof(uint16_t), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                            D3DPOOL_MANAGED, &ib, nullptr),
                  D3D_OK);
        void* idx = nullptr;
        ASSERT_EQ(ib->Lock(0, 0, &idx, 0), D3D_OK);
        const uint16_t order[4] = {0, 1, 2, 3};
        std::memcpy(idx, order, sizeof(order));
        ib->Unlock();
        if (GetParam().bTexture) {
            ASSERT_EQ(device->CreateTexture(96, 80, 1, D3DUSAGE_RENDERTARGET, GetParam().format, D3DPOOL_DEFAULT,
                                            &targetTexture, nullptr),
                      D3D_OK);
            ASSERT_EQ(targetTexture->GetSurfaceLevel(0, &target), D3D_OK);
            ASSERT_EQ(device->SetRenderTarget(0, target), D3D_OK);
        } else {
            device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &target);
        }
        device->SetFVF(0x144);
        device->SetStreamSource(0, vb, 0, sizeof(D3DTLVERTEX_TEX1));
        device->SetIndices(ib);
    }
    void TearDown() override {
        gfx::raster::ForceGeneralPath(false);
        gfx::raster::rows::UseNarrowRows(false);
        for (IDirect3DTexture9* t : textures) t->Release();
        if (target) target->Release();
        if (targetTexture) targetTexture->Release();
        if (ib) ib->Release();
        if (vb) vb->Release();
        if (device) device->Release();
        if (d3d) d3d->Release();
    }

    // A texture of random texels: a quarter fully transparent (the colour key's pixels), some
    // half transparent, the rest opaque; or, as a game's bitmaps are, only transparent and opaque
    // texels in runs.
    IDirect3DTexture9* RandomTexture(Dice& dice, D3DFORMAT format, UINT w, UINT h) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(w, h, 1, 0, format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        if (!texture) return nullptr;
        textures.push_back(texture);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        const int bytes = format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 ? 4 : 2;
        const bool keyed = dice.Chance(40);
        int32_t run = 0, kind = 0;
        for (UINT y = 0; y < h; ++y)
            for (UINT x = 0; x < w; ++x) {
                uint32_t v = dice.Next();
                if (!keyed) {
                    kind = dice.Between(0, 3);
                } else if (run-- <= 0) {
                    kind = dice.Chance(40) ? 0 : 2;
                    run = dice.Between(0, 9);
                }
                if (bytes == 4) v = kind == 0 ? (v & 0x00FFFFFF) : kind == 1 ? v : (v | 0xFF000000u);
                else v = kind == 0 ? (v & 0x7FFF) : (v | 0x8000);
                std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch + x * bytes, &v,
                            static_cast<size_t>(bytes));
            }
        texture->UnlockRect(0);
        return texture;
    }

    void RandomTarget(Dice& dice) {
        cPixelBuffer& pixels = *target->Pixels();
        for (int32_t y = 0; y < pixels.Height(); ++y)
            for (int32_t x = 0; x < pixels.Width(); ++x) pixels.WriteRaw(x, y, dice.Next());
    }

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    IDirect3DTexture9* targetTexture = nullptr;
    IDirect3DSurface9* target = nullptr;
    std::vector<IDirect3DTexture9*> textures;
};

enum class Submit { Strip, List, IndexedStrip };

TEST_P(RasteriserTest, QuadPathLeavesTheSamePixelsAsTheGeneralPath) {
    Dice dice(static_cast<uint64_t>(GetParam().format) * 2 + (GetParam().bTexture ? 1 : 0));
    const D3DFORMAT textureFormats[] = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_A1R5G5B5, D3DFMT_R5G6B5,
                                        D3DFMT_X1R5G5B5};
    const DWORD ops[] = {D3DTOP_MODULATE, D3DTOP_SELECTARG1, D3DTOP_SELECTARG2, D3DTOP_ADD,
                         D3DTOP_SUBTRACT, D3DTOP_ADDSIGNED, D3DTOP_MODULATE2X, D3DTOP_BLENDDIFFUSEALPHA,
                         D3DTOP_BLENDTEXTUREALPHA, D3DTOP_BLENDFACTORALPHA};
    const DWORD args[] = {D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_TFACTOR, D3DTA_TEXTURE | 0x10,
                          D3DTA_DIFFUSE | 0x20};
    const DWORD blends[] = {D3DBLEND_ZERO, D3DBLEND_ONE, D3DBLEND_SRCCOLOR, D3DBLEND_INVSRCCOLOR,
                            D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA};
    const float fractions[] = {0.0f, 0.0f, 0.0f, 0.25f, 0.5f, 0.375f, 0.8125f};

    const uint64_t quadsBefore = gfx::raster::QuadPathCount();
    cPixelBuffer& pixels = *target->Pixels();
    const int kCases = 400;
    int nRowsChanged = 0;
    for (int n = 0; n < kCases; ++n) {
        SCOPED_TRACE(n);
        const D3DFORMAT texFormat = dice.Pick(textureFormats);
        const UINT tw = static_cast<UINT>(dice.Chance(50) ? 1 << dice.Between(0, 6) : dice.Between(1, 45));
        const UINT th = static_cast<UINT>(dice.Chance(50) ? 1 << dice.Between(0, 6) : dice.Between(1, 45));
        IDirect3DTexture9* texture = dice.Chance(95) ? RandomTexture(dice, texFormat, tw, th) : nullptr;

        // The quad: on, across or off the target's edges; mirrored through a reversed source.
        const float x = static_cast<float>(dice.Between(-30, pixels.Width())) + dice.Pick(fractions);
        const float y = static_cast<float>(dice.Between(-30, pixels.Height())) + dice.Pick(fractions);
        const float w = static_cast<float>(dice.Between(1, 90)) + dice.Pick(fractions);
        const float h = static_cast<float>(dice.Between(1, 90)) + dice.Pick(fractions);
        float sx = static_cast<float>(dice.Between(-20, static_cast<int32_t>(tw) + 20)) + dice.Pick(fractions);
        float sy = static_cast<float>(dice.Between(-20, static_cast<int32_t>(th) + 20)) + dice.Pick(fractions);
        float sw = dice.Chance(40) ? w : static_cast<float>(dice.Between(1, 70)) + dice.Pick(fractions);
        float sh = dice.Chance(40) ? h : static_cast<float>(dice.Between(1, 70)) + dice.Pick(fractions);
        if (dice.Chance(30)) sw = -sw;
        if (dice.Chance(30)) sh = -sh;
        // White, the half-translucent weights with white or a colour, or anything.
        const uint32_t halves[] = {0x7F000000u, 0x80000000u};
        D3DCOLOR diffuse = dice.Next();
        if (dice.Chance(35)) diffuse = 0xFFFFFFFF;
        else if (dice.Chance(35)) diffuse = dice.Pick(halves) | (dice.Chance(50) ? 0xFFFFFFu : diffuse & 0xFFFFFFu);
        else if (dice.Chance(20)) diffuse |= 0xFFFFFFu;
        const float l = x - 0.5f, t = y - 0.5f, r = x + w - 0.5f, b = y + h - 0.5f;
        const float u0 = sx / static_cast<float>(tw), v0 = sy / static_cast<float>(th);
        const float u1 = (sx + sw) / static_cast<float>(tw), v1 = (sy + sh) / static_cast<float>(th);
        const D3DTLVERTEX_TEX1 tl{l, t, 0, 1, diffuse, u0, v0}, bl{l, b, 0, 1, diffuse, u0, v1},
            tr{r, t, 0, 1, diffuse, u1, v0}, br{r, b, 0, 1, diffuse, u1, v1};
        const Submit submit = dice.Chance(60) ? Submit::Strip : dice.Chance(50) ? Submit::List : Submit::IndexedStrip;
        std::vector<D3DTLVERTEX_TEX1> vertices;
        if (submit == Submit::List) {
            // Either diagonal, either winding.
            if (dice.Chance(50)) vertices = {tl, tr, bl, bl, tr, br};
            else vertices = {tl, br, bl, tl, tr, br};
        } else {
            vertices = {tl, bl, tr, br};
        }

        if (dice.Chance(70)) {
            device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
            device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
            device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
            device->SetTextureStageState(0, D3DTSS_ALPHAOP, dice.Chance(50) ? D3DTOP_MODULATE : D3DTOP_SELECTARG1);
            device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
            device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        } else {
            device->SetTextureStageState(0, D3DTSS_COLOROP, dice.Pick(ops));
            device->SetTextureStageState(0, D3DTSS_COLORARG1, dice.Pick(args));
            device->SetTextureStageState(0, D3DTSS_COLORARG2, dice.Pick(args));
            device->SetTextureStageState(0, D3DTSS_ALPHAOP, dice.Pick(ops));
            device->SetTextureStageState(0, D3DTSS_ALPHAARG1, dice.Pick(args));
            device->SetTextureStageState(0, D3DTSS_ALPHAARG2, dice.Pick(args));
        }
        device->SetRenderState(D3DRS_TEXTUREFACTOR, dice.Next());
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, dice.Chance(75) ? 1 : 0);
        const bool standard = dice.Chance(70);
        device->SetRenderState(D3DRS_SRCBLEND, standard ? DWORD{D3DBLEND_SRCALPHA} : dice.Pick(blends));
        device->SetRenderState(D3DRS_DESTBLEND, standard ? DWORD{D3DBLEND_INVSRCALPHA} : dice.Pick(blends));
        // 3: counter-clockwise triangles are culled.
        device->SetRenderState(D3DRS_CULLMODE, dice.Chance(80) ? D3DCULL_NONE : DWORD{3});
        device->SetSamplerState(0, D3DSAMP_ADDRESSU, dice.Chance(70) ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP);
        device->SetSamplerState(0, D3DSAMP_ADDRESSV, dice.Chance(70) ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP);
        device->SetTexture(0, texture);

        void* data = nullptr;
        ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
        std::memcpy(data, vertices.data(), vertices.size() * sizeof(D3DTLVERTEX_TEX1));
        vb->Unlock();

        RandomTarget(dice);
        cPixelBuffer start = pixels;
        auto draw = [&] {
            if (submit == Submit::List) return device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
            if (submit == Submit::IndexedStrip) return device->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, 0, 4, 0, 2);
            return device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
        };
        gfx::raster::ForceGeneralPath(false);
        ASSERT_EQ(draw(), D3D_OK);
        const cPixelBuffer quadPath = pixels;
        // The quad path again with the 16-byte rows, where the processor has wider ones.
        pixels = start;
        gfx::raster::rows::UseNarrowRows(true);
        ASSERT_EQ(draw(), D3D_OK);
        gfx::raster::rows::UseNarrowRows(false);
        for (int32_t py = 0; py < pixels.Height(); ++py)
            ASSERT_EQ(std::memcmp(quadPath.Row(py), pixels.Row(py), static_cast<size_t>(pixels.Width() * pixels.BytesPerPixel())), 0)
                << "narrow rows, row " << py;
        pixels = start;
        gfx::raster::ForceGeneralPath(true);
        ASSERT_EQ(draw(), D3D_OK);
        gfx::raster::ForceGeneralPath(false);

        for (int32_t py = 0; py < pixels.Height(); ++py)
            ASSERT_EQ(std::memcmp(quadPath.Row(py), pixels.Row(py), static_cast<size_t>(pixels.Width() * pixels.BytesPerPixel())), 0)
                << "row " << py << " quad (" << x << "," << y << ") " << w << "x" << h << " from (" << sx << ","
                << sy << ") " << sw << "x" << sh << " of " << tw << "x" << th;
        for (int32_t py = 0; py < pixels.Height(); ++py)
            nRowsChanged += std::memcmp(start.Row(py), pixels.Row(py),
                                           static_cast<size_t>(pixels.Width() * pixels.BytesPerPixel())) != 0;
    }
    // Most quads must have gone through the quad path (the others were culled, or were lists
    // cut along a diagonal the quad path also takes), and they must have drawn something.
    EXPECT_GT(gfx::raster::QuadPathCount() - quadsBefore, static_cast<uint64_t>(kCases / 2));
    EXPECT_GT(nRowsChanged, kCases * 5) << "rows changed by the draws";
}

INSTANTIATE_TEST_SUITE_P(Targets, RasteriserTest,
                         ::testing::Values(TargetCase{D3DFMT_X8R8G8B8, false}, TargetCase{D3DFMT_R5G6B5, false},
                                           TargetCase{D3DFMT_A1R5G5B5, false}, TargetCase{D3DFMT_X1R5G5B5, false},
                                           TargetCase{D3DFMT_A8R8G8B8, true}, TargetCase{D3DFMT_R5G6B5, true}),
                         [](const ::testing::TestParamInfo<TargetCase>& info) { return TargetName(info.param); });

// A quad whose triangles are not the halves of one rectangle, or whose colours vary, goes
// through the general path and still draws.
TEST(RasteriserQuadPath, DeclinesTrianglesThatAreNotOneRectangle) {
    cPixelBuffer target(PixelFormat::X8R8G8B8, 16, 16);
    gfx::raster::DrawState state;
    state.target = &target;
    state.stage = gfx::raster::Stage{D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE,
                                     D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE};
    auto v = [](float x, float y, uint32_t colour) { return gfx::raster::MakeVertex(x, y, 0, 0, colour, 1, 1); };
    gfx::raster::cRasteriser raster;
    // Clockwise halves of (0,0)-(8,8) cut along one diagonal: taken.
    const gfx::raster::Vertex a[3] = {v(0, 0, 0xFF112233), v(8, 0, 0xFF112233), v(0, 8, 0xFF112233)};
    const gfx::raster::Vertex b[3] = {v(8, 0, 0xFF112233), v(8, 8, 0xFF112233), v(0, 8, 0xFF112233)};
    EXPECT_TRUE(raster.Quad(state, a, b));
    EXPECT_EQ(target.ReadRaw(0, 0) & 0xFFFFFF, 0x112233u);
    EXPECT_EQ(target.ReadRaw(7, 7) & 0xFFFFFF, 0x112233u);
    EXPECT_EQ(target.ReadRaw(8, 8) & 0xFFFFFF, 0u) << "right and bottom edges keep their pixel centres out";
    // Overlapping halves (both keep the same corner), a colour per corner, a sheared shape.
    const gfx::raster::Vertex c[3] = {v(0, 0, 0xFF112233), v(8, 0, 0xFF112233), v(8, 8, 0xFF112233)};
    EXPECT_FALSE(raster.Quad(state, a, c));
    const gfx::raster::Vertex d[3] = {v(8, 0, 0xFF112233), v(8, 8, 0xFF445566), v(0, 8, 0xFF112233)};
    EXPECT_FALSE(raster.Quad(state, a, d));
    const gfx::raster::Vertex e[3] = {v(8, 0, 0xFF112233), v(9, 8, 0xFF112233), v(0, 8, 0xFF112233)};
    EXPECT_FALSE(raster.Quad(state, a, e));
}

// The rounding division every product and mix of channels goes through.
TEST(RasteriserRounding, DivRound255IsTheRoundedQuotientOfEveryProductOfChannels) {
    for (uint32_t x = 0; x <= 255 * 255; ++x) ASSERT_EQ(gfx::raster::DivRound255(x), (x + 127) / 255) << x;
}

// One quad over (0, 0)-(w, h) with a flat diffuse colour, texel column x on pixel column x,
// drawn by the quad path and by the general path (its two triangles) onto copies of one picture:
// the two must be the same.
void ExpectBothPathsAgree(const gfx::raster::DrawState& state, const cPixelBuffer& start, int32_t w, int32_t h,
                          uint32_t diffuse) {
    const int32_t tw = state.texture ? state.texture->Width() : 1, th = state.texture ? state.texture->Height() : 1;
    auto v = [&](int32_t x, int32_t y) {
        return gfx::raster::MakeVertex(static_cast<float>(x), static_cast<float>(y),
                                       static_cast<float>(x) / static_cast<float>(tw), static_cast<float>(y) / static_cast<float>(h),
                                       diffuse, tw, th);
    };
    const gfx::raster::Vertex a[3] = {v(0, 0), v(w, 0), v(0, h)};
    const gfx::raster::Vertex b[3] = {v(w, 0), v(w, h), v(0, h)};
    gfx::raster::cRasteriser raster;
    cPixelBuffer quad = start, general = start;
    gfx::raster::DrawState s = state;
    s.target = &quad;
    ASSERT_TRUE(raster.Quad(s, a, b));
    s.target = &general;
    raster.Triangle(s, a[0], a[1], a[2]);
    raster.Triangle(s, b[0], b[1], b[2]);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            ASSERT_EQ(quad.ReadRaw(x, y), general.ReadRaw(x, y)) << "pixel " << x << "," << y;
}

struct MixCase {
    const char* name;
    PixelFormat target, texture;   // texture Unknown: none, the diffuse colour drawn as a fill
    uint32_t diffuse;
};

void PrintTo(const MixCase& c, std::ostream* os) { *os << c.name; }

class RasteriserMixTest : public ::testing::TestWithParam<MixCase> {};

// A row of texels with every channel value: texel x carries x in each channel (its low five
// bits in a 16-bit texture). Opaque, or with transparent and half-transparent texels among the
// opaque ones, so that the groups of pixels a row takes together are all of one kind or mixed.
cPixelBuffer MixTexture(PixelFormat format, int32_t size, bool mixed) {
    cPixelBuffer texture;
    if (format == PixelFormat::Unknown) return texture;
    texture.Allocate(format, size, 1);
    for (int32_t x = 0; x < size; ++x) {
        const bool clear = mixed && x % 4 == 3;
        const uint32_t alpha = clear ? 0u : mixed && x % 8 == 5 ? static_cast<uint32_t>(x) : 255u;
        const uint32_t level = static_cast<uint32_t>(x), t5 = level & 31;
        if (format == PixelFormat::A1R5G5B5) texture.WriteRaw(x, 0, (clear ? 0u : 0x8000u) | t5 << 10 | t5 << 5 | t5);
        else texture.WriteArgb(x, 0, alpha << 24 | level << 16 | level << 8 | level);
    }
    return texture;
}

// Every pair of a source and a destination channel value meets: texel column x carries x, target
// row y carries y, under the weights of keyed, half-translucent, translucent and tinted blits and
// of translucent fills.
TEST_P(RasteriserMixTest, EveryPairOfChannelValuesMixesAsInTheGeneralPath) {
    const MixCase& c = GetParam();
    const bool wide = c.target == PixelFormat::X8R8G8B8 || c.target == PixelFormat::A8R8G8B8;
    const int32_t size = wide ? 256 : 64;
    cPixelBuffer start(c.target, size, size);
    for (int32_t y = 0; y < size; ++y)
        for (int32_t x = 0; x < size; ++x) {
            const uint32_t d = static_cast<uint32_t>(y), d5 = d & 31;
            uint32_t raw = d * 0x01010101u;
            if (c.target == PixelFormat::R5G6B5) raw = d5 << 11 | d << 5 | d5;
            if (c.target == PixelFormat::A1R5G5B5) raw = static_cast<uint32_t>(x & 1) << 15 | d5 << 10 | d5 << 5 | d5;
            start.WriteRaw(x, y, raw);
        }
    gfx::raster::ForceGeneralPath(false);
    for (const bool mixed : {false, true}) {
        SCOPED_TRACE(mixed ? "mixed texels" : "opaque texels");
        const cPixelBuffer texture = MixTexture(c.texture, size, mixed);
        gfx::raster::DrawState state;
        state.texture = texture.Empty() ? nullptr : &texture;
        state.stage = gfx::raster::Stage{D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE,
                                         D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE};
        if (texture.Empty()) state.stage.colorOp = state.stage.alphaOp = D3DTOP_SELECTARG2;
        state.blend = true;
        state.srcBlend = D3DBLEND_SRCALPHA;
        state.dstBlend = D3DBLEND_INVSRCALPHA;
        ExpectBothPathsAgree(state, start, size, size, c.diffuse);
        // Alpha from the texture alone, colour modulated.
        state.stage.alphaOp = D3DTOP_SELECTARG1;
        ExpectBothPathsAgree(state, start, size, size, c.diffuse);
    }
}

// Weights: 255 (keyed sprites), 127 and 128 (the half-translucent blit), others (translucency,
// fades), 0; colours: white (untinted) and others (tints).
INSTANTIATE_TEST_SUITE_P(
    Weights, RasteriserMixTest,
    ::testing::Values(MixCase{"X8R8G8B8Keyed", PixelFormat::X8R8G8B8, PixelFormat::A8R8G8B8, 0xFFFFFFFFu},
                      MixCase{"X8R8G8B8Half", PixelFormat::X8R8G8B8, PixelFormat::A8R8G8B8, 0x7FFFFFFFu},
                      MixCase{"X8R8G8B8HalfOther", PixelFormat::X8R8G8B8, PixelFormat::A8R8G8B8, 0x80FFFFFFu},
                      MixCase{"X8R8G8B8Translucent", PixelFormat::X8R8G8B8, PixelFormat::A8R8G8B8, 0xC8FFFFFFu},
                      MixCase{"X8R8G8B8Tinted", PixelFormat::X8R8G8B8, PixelFormat::A8R8G8B8, 0xFF4080C0u},
                      MixCase{"X8R8G8B8TintedHalf", PixelFormat::X8R8G8B8, PixelFormat::A8R8G8B8, 0x7F4080C0u},
                      MixCase{"X8R8G8B8Invisible", PixelFormat::X8R8G8B8, PixelFormat::A8R8G8B8, 0x00FFFFFFu},
                      MixCase{"X8R8G8B8FromX8Texture", PixelFormat::X8R8G8B8, PixelFormat::X8R8G8B8, 0x7FFFFFFFu},
                      MixCase{"X8R8G8B8From16BitTexture", PixelFormat::X8R8G8B8, PixelFormat::A1R5G5B5, 0x50FFFFFFu},
                      MixCase{"A8R8G8B8Half", PixelFormat::A8R8G8B8, PixelFormat::A8R8G8B8, 0x7FFFFFFFu},
                      MixCase{"A8R8G8B8Translucent", PixelFormat::A8R8G8B8, PixelFormat::A8R8G8B8, 0x31FFFFFFu},
                      MixCase{"A8R8G8B8Keyed", PixelFormat::A8R8G8B8, PixelFormat::A8R8G8B8, 0xFFFFFFFFu},
                      MixCase{"X8R8G8B8Fill", PixelFormat::X8R8G8B8, PixelFormat::Unknown, 0x7F123456u},
                      MixCase{"A8R8G8B8Fill", PixelFormat::A8R8G8B8, PixelFormat::Unknown, 0xB0654321u},
                      MixCase{"R5G6B5Keyed", PixelFormat::R5G6B5, PixelFormat::A1R5G5B5, 0xFFFFFFFFu},
                      MixCase{"R5G6B5Half", PixelFormat::R5G6B5, PixelFormat::A1R5G5B5, 0x7FFFFFFFu},
                      MixCase{"R5G6B5HalfOther", PixelFormat::R5G6B5, PixelFormat::A1R5G5B5, 0x80FFFFFFu},
                      MixCase{"R5G6B5Translucent", PixelFormat::R5G6B5, PixelFormat::A1R5G5B5, 0x64FFFFFFu},
                      MixCase{"R5G6B5Tinted", PixelFormat::R5G6B5, PixelFormat::A1R5G5B5, 0xFF4080C0u},
                      MixCase{"R5G6B5Fill", PixelFormat::R5G6B5, PixelFormat::Unknown, 0x7F123456u},
                      MixCase{"R5G6B5FillOpaque", PixelFormat::R5G6B5, PixelFormat::Unknown, 0xFF123456u},
                      MixCase{"A1R5G5B5Keyed", PixelFormat::A1R5G5B5, PixelFormat::A1R5G5B5, 0xFFFFFFFFu},
                      MixCase{"A1R5G5B5Half", PixelFormat::A1R5G5B5, PixelFormat::A1R5G5B5, 0x7FFFFFFFu},
                      MixCase{"A1R5G5B5Translucent", PixelFormat::A1R5G5B5, PixelFormat::A1R5G5B5, 0xB5FFFFFFu},
                      MixCase{"A1R5G5B5TintedHalf", PixelFormat::A1R5G5B5, PixelFormat::A1R5G5B5, 0x80C08040u},
                      MixCase{"A1R5G5B5Fill", PixelFormat::A1R5G5B5, PixelFormat::Unknown, 0xC0123456u}),
    [](const ::testing::TestParamInfo<MixCase>& info) { return std::string(info.param.name); });

}  // namespace

