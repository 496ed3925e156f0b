#pragma once
// A running graphics layer on the headless host for each back end and depth, and pixel access
// that goes around the graphics layer (straight to the stand-ins' pixel buffers), so that the
// tests compare what the layer drew with values they compute themselves.
#include <gtest/gtest.h>

#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "media/graphics/ColorPalette.h"
#include "media/graphics/GraphicsState.h"
#include "media/graphics/Surface.h"

struct ModeCase {
    const char* name;
    int32_t nBackEnd;   // 1 Direct3D, 0 DirectDraw
    int32_t nDepth;
    int32_t nWindowMode;
};

// Every back end and depth: Direct3D 16 (window and full screen) and 32, DirectDraw 8, 16, 32.
std::vector<ModeCase> AllModes();
// The modes a behaviour exists in, so that a suite is instantiated only where its tests apply.
std::vector<ModeCase> ModesWhere(bool (*applies)(const ModeCase&));
// The modes with true-colour pixels (no 8-bit DirectDraw).
std::vector<ModeCase> TrueColourModes();
std::vector<ModeCase> Direct3DModes();
// The instantiation's name (D3D32, DD8, ...), and the same text in failure messages.
std::string ModeName(const ::testing::TestParamInfo<ModeCase>& info);
void PrintTo(const ModeCase& mode, std::ostream* os);

class GraphicsTest : public ::testing::TestWithParam<ModeCase> {
protected:
    void SetUp() override;
    void TearDown() override;

    bool IsD3D() const { return GetParam().nBackEnd != 0; }
    int32_t Depth() const { return GetParam().nDepth; }

    // A blank surface owned by the test. Direct3D memory type 0 is a render-target texture, 1 a
    // system-memory texture; DirectDraw memory type 0 video, 1 system.
    DDSURFACEDATA* NewSurface(int32_t w, int32_t h, int32_t bColorKey = 0, int32_t nMemoryType = 0);

    // The raw pixel of an opaque colour given in 8-bit channels (at depth 8: the palette index
    // given as red), in the format of ordinary surfaces.
    uint32_t Opaque(int32_t r, int32_t g, int32_t b) const;
    // The raw transparent pixel of keyed surfaces (Direct3D: the transparent texel 0;
    // DirectDraw: dwTransmit).
    uint32_t Transparent() const;
    // The 8-bit channels of a raw pixel of ordinary surfaces.
    void Channels(uint32_t raw, int32_t* r, int32_t* g, int32_t* b) const;

    static uint32_t Get(DDSURFACEDATA* sd, int32_t x, int32_t y);
    static void Put(DDSURFACEDATA* sd, int32_t x, int32_t y, uint32_t raw);
    static void FillRaw(DDSURFACEDATA* sd, uint32_t raw);
    static cPixelBuffer* Pixels(DDSURFACEDATA* sd);

    // A palette with distinct colours: entry i = (i, 255 - i, (i * 7) & 255) in 8-bit units,
    // stored in the units the mode's palette holds (display channel units at 16-bit DirectDraw).
    void LoadTestPalette();

    std::list<DDSURFACEDATA> m_Surfaces;
};
