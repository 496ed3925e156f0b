#include "GraphicsTestSupport.h"

#include "core/MainWindow.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDPalette.h"
#include "platform/graphics/GraphicsControl.h"

std::vector<ModeCase> AllModes()
{
    return {{"D3D16Window", 1, 16, 1}, {"D3D16FullScreen", 1, 16, 0}, {"D3D32", 1, 32, 1},
            {"DD8", 0, 8, 0},          {"DD16", 0, 16, 0},              {"DD32", 0, 32, 0}};
}

std::vector<ModeCase> ModesWhere(bool (*applies)(const ModeCase&))
{
    std::vector<ModeCase> v;
    for (const ModeCase& m : AllModes())
        if (applies(m)) v.push_back(m);
    return v;
}

std::vector<ModeCase> TrueColourModes()
{
    return ModesWhere([](const ModeCase& m) { return m.nDepth != 8; });
}

std::vector<ModeCase> Direct3DModes()
{
    return ModesWhere([](const ModeCase& m) { return m.nBackEnd != 0; });
}

std::string ModeName(const ::testing::TestParamInfo<ModeCase>& info) { return info.param.name; }

void PrintTo(const ModeCase& mode, std::ostream* os) { *os << mode.name; }

void GraphicsTest::SetUp()
{
    ResetGraphicsProfile();
    DisarmGraphicsFaults();
    GraphicsProfile p = GetGraphicsProfile();
    p.nDesktopBpp = static_cast<uint32_t>(GetParam().nDepth == 8 ? 32 : GetParam().nDepth);
    SetGraphicsProfile(p);
    const ModeCase& m = GetParam();
    ASSERT_TRUE(DDInit(m.nBackEnd, hMainWnd.load(), 640, 480, m.nDepth, 0, m.nWindowMode, 1, 60, 0, nullptr,
                       nullptr, 0, 0));
    ASSERT_EQ(IsD3D(), lpDTCon != nullptr);
    // Transparent colour: magenta, as a project's palette image usually has it.
    if (IsD3D()) {
        const PIXELMASKS& sm = SurfaceMasks;
        if (Depth() == 16)
            DDSetTransmit(static_cast<uint8_t>(sm.nRMask), 0, static_cast<uint8_t>(sm.nBMask));
        else
            DDSetTransmit(255, 0, 255);
    } else if (Depth() == 8) {
        dwTransmit = 0;
    } else {
        DDSetTransmit(255, 0, 255);
    }
    LoadTestPalette();
}

void GraphicsTest::TearDown()
{
    for (DDSURFACEDATA& sd : m_Surfaces) DDReleaseSurface(&sd);
    m_Surfaces.clear();
    DDUnInit();
    ResetGraphicsProfile();
}

DDSURFACEDATA* GraphicsTest::NewSurface(int32_t w, int32_t h, int32_t bColorKey, int32_t nMemoryType)
{
    DDSURFACEDATA& sd = m_Surfaces.emplace_back();
    EXPECT_TRUE(DDCreateSurface(&sd, w, h, bColorKey, nMemoryType, nMemoryType, 0, 0));
    return &sd;
}

uint32_t GraphicsTest::Opaque(int32_t r, int32_t g, int32_t b) const
{
    const PIXELMASKS& m = SurfaceMasks;
    if (Depth() == 8) return static_cast<uint32_t>(r);
    if (Depth() == 16) {
        uint32_t v = (static_cast<uint32_t>(r * m.nRMask / 255) << m.nRShift) |
                     (static_cast<uint32_t>(g * m.nGMask / 255) << m.nGShift) |
                     (static_cast<uint32_t>(b * m.nBMask / 255) << m.nBShift);
        if (IsD3D()) v |= 1u << m.nAShift;
        return v;
    }
    return (IsD3D() ? 0xFF000000u : 0u) | (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
           static_cast<uint32_t>(b);
}

uint32_t GraphicsTest::Transparent() const { return IsD3D() ? 0u : dwTransmit; }

void GraphicsTest::Channels(uint32_t raw, int32_t* r, int32_t* g, int32_t* b) const
{
    const PIXELMASKS& m = SurfaceMasks;
    if (Depth() == 16) {
        *r = static_cast<int32_t>((raw >> m.nRShift) & m.nRMask) * 255 / m.nRMask;
        *g = static_cast<int32_t>((raw >> m.nGShift) & m.nGMask) * 255 / m.nGMask;
        *b = static_cast<int32_t>((raw >> m.nBShift) & m.nBMask) * 255 / m.nBMask;
    } else {
        *r = static_cast<int32_t>((raw >> 16) & 255);
        *g = static_cast<int32_t>((raw >> 8) & 255);
        *b = static_cast<int32_t>(raw & 255);
    }
}

cPixelBuffer* GraphicsTest::Pixels(DDSURFACEDATA* sd)
{
    if (lpDTCon) {
        DDRedirectToBaseSurface(&sd);
        DDRedirectToVirtualBackBuffer(&sd);
        return sd->lpDT && sd->lpDT->lpSurface ? sd->lpDT->lpSurface->Pixels() : nullptr;
    }
    return sd->lpDDraw && sd->lpDDraw->lpDDSurface ? sd->lpDDraw->lpDDSurface->Pixels() : nullptr;
}

uint32_t GraphicsTest::Get(DDSURFACEDATA* sd, int32_t x, int32_t y)
{
    cPixelBuffer* p = Pixels(sd);
    return p ? p->ReadRaw(x, y) : 0xDEADBEEFu;
}

void GraphicsTest::Put(DDSURFACEDATA* sd, int32_t x, int32_t y, uint32_t raw)
{
    if (cPixelBuffer* p = Pixels(sd)) p->WriteRaw(x, y, raw);
}

void GraphicsTest::FillRaw(DDSURFACEDATA* sd, uint32_t raw)
{
    if (cPixelBuffer* p = Pixels(sd)) p->FillRaw(0, 0, p->Width(), p->Height(), raw);
}

void GraphicsTest::LoadTestPalette()
{
    const PIXELMASKS& m = SurfaceMasks;
    const bool units = !IsD3D() && Depth() == 16;
    for (int i = 0; i < 256; ++i) {
        int32_t r = i, g = 255 - i, b = (i * 7) & 255;
        if (units) {
            r = r * m.nRMask / 255;
            g = g * m.nGMask / 255;
            b = b * m.nBMask / 255;
        }
        if (i == 0) {
            // Entry 0 holds the transparent colour, magenta, as in a project's palette image.
            r = units ? m.nRMask : 255;
            g = 0;
            b = units ? m.nBMask : 255;
        }
        ColorPalette[i] = {static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b), 0};
        ColorPaletteWork[i] = ColorPalette[i];
    }
}
