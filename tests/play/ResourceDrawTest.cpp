// The shot sheets, effect cells and the extra-life icon as they land in pixels, on every back end
// and depth.
#include <gtest/gtest.h>

#include <vector>

#include "data/AnimePattern.h"
#include "data/EdDatabase.h"
#include "data/EdEffect.h"
#include "flows/EffectObject.h"
#include "flows/MessageObject.h"
#include "shell/ShellGlobals.h"
#include "shell/SystemIni.h"
#include "stage/PlayState.h"
#include "stage/StageResources.h"
#include "tests/media_graphics/GraphicsTestSupport.h"

namespace {

class ResourceDrawTest : public GraphicsTest {
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        lpPlayState = &m_State;
        m_nSavedStretch = SystemIni.DD_VideoStretch;
        SystemIni.DD_VideoStretch = 0;
    }
    void TearDown() override
    {
        for (int32_t n : {20, 21, 49, 63, 64}) DDReleaseSurface(&SystemSurfaces[n]);
        DDReleaseSurfaceVector(StageEffectSurfaces);
        StageEffectSurfaces.clear();
        SystemIni.DD_VideoStretch = m_nSavedStretch;
        lpPlayState = nullptr;
        GraphicsTest::TearDown();
    }

    // A keyed surface of the given size, filled with one colour.
    DDSURFACEDATA* Filled(DDSURFACEDATA& sd, int32_t w, int32_t h, uint32_t raw, int32_t nMemory = 0)
    {
        EXPECT_TRUE(DDCreateSurface(&sd, w, h, 1, nMemory, nMemory, 0, 0));
        FillRaw(&sd, raw);
        return &sd;
    }

    cPlayState m_State;
    int32_t m_nSavedStretch = 0;
};

TEST_P(ResourceDrawTest, ShotFramesSitCentredInTheirCells)
{
    DDSURFACEDATA* lpSources[2] = {Filled(SystemSurfaces[20], 128, 480, Opaque(40, 40, 40)),
                                   Filled(SystemSurfaces[21], 128, 480, Opaque(90, 90, 90))};
    Filled(SystemSurfaces[63], 256, 960, Opaque(200, 200, 200));
    Filled(SystemSurfaces[64], 256, 960, Opaque(200, 200, 200));
    // A marker in a few cells, different in each of the two frames of a shot.
    for (DDSURFACEDATA* lpSource : lpSources)
        for (int32_t r : {0, 17, 29})
            for (int32_t d : {0, 3}) {
                Put(lpSource, 32 * d, 16 * r, Opaque(100 + r, 10, 10));
                Put(lpSource, 32 * d + 16 + 15, 16 * r + 15, Opaque(150 + d, 10, 10));
            }
    BuildShotSheets();
    for (int32_t i = 0; i < 2; ++i) {
        DDSURFACEDATA* lpSheet = &SystemSurfaces[63 + i];
        DDSURFACEDATA* lpSource = lpSources[i];
        const uint32_t nEmpty = Get(lpSheet, 0, 0);
        EXPECT_NE(nEmpty, Get(lpSource, 1, 1)) << "the sheet is cleared first";
        for (int32_t r : {0, 17, 29})
            for (int32_t d : {0, 3}) {
                EXPECT_EQ(Get(lpSheet, 64 * d + 8, 32 * r + 8), Get(lpSource, 32 * d, 16 * r)) << r << " " << d;
                EXPECT_EQ(Get(lpSheet, 64 * d + 40 + 15, 32 * r + 8 + 15), Get(lpSource, 32 * d + 31, 16 * r + 15));
                EXPECT_EQ(Get(lpSheet, 64 * d + 8 + 5, 32 * r + 8 + 5), Get(lpSource, 32 * d + 5, 16 * r + 5));
                // The margins of each 32-pixel cell stay empty.
                EXPECT_EQ(Get(lpSheet, 64 * d + 7, 32 * r + 8), nEmpty);
                EXPECT_EQ(Get(lpSheet, 64 * d + 8, 32 * r + 24), nEmpty);
                EXPECT_EQ(Get(lpSheet, 64 * d + 24, 32 * r + 8), nEmpty);
            }
    }
}

TEST_P(ResourceDrawTest, EffectCellsFromTheirSurface)
{
    const std::vector<cEdEffect> savedEffects = g_Database.m_vEffect;
    const std::vector<AnimePattern> savedPatterns = g_EffectPatternTable;
    g_Database.m_vEffect.assign(2, cEdEffect());
    g_Database.m_vEffect[1].m_nCellWidth = 8;
    g_Database.m_vEffect[1].m_nCellHeight = 4;
    g_Database.m_vEffect[1].m_vFrames.assign(1, cEdEffectEntry());
    g_EffectPatternTable.assign(2, AnimePattern{{1, 5, 0}, {AnimeStay, 0, 0}});
    m_State.m_ScrollX.m_dPosition = 100.0;
    m_State.m_ScrollY.m_dPosition = 20.0;

    // Plain surface: cell 1 in colour A; its copy: cell 1 in colour B.
    const uint32_t a = Opaque(120, 30, 30), b = Opaque(30, 120, 30), other = Opaque(30, 30, 120);
    DDSURFACEDATA& plain = StageEffectSurfaces.emplace_back();
    DDSURFACEDATA& copy = StageEffectSurfaces.emplace_back();
    Filled(plain, 16, 4, other);
    Filled(copy, 16, 4, other, 1);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 8; x < 16; ++x) {
            Put(&plain, x, y, a);
            Put(&copy, x, y, b);
        }
    DDSURFACEDATA* lpTarget = NewSurface(640, 480);
    FillRaw(lpTarget, other);

    cEffectObject unscaled(1, 150.0, 60.0, 8, 4, 0);
    EXPECT_EQ(unscaled.Draw(lpTarget, 0), 0);
    EXPECT_EQ(Get(lpTarget, 50, 40), a);
    EXPECT_EQ(Get(lpTarget, 57, 43), a);
    EXPECT_EQ(Get(lpTarget, 58, 40), other);

    // Scaled: stretched from the plain surface only where stretching may use video memory.
    cEffectObject scaled(1, 300.0, 60.0, 16, 8, 0);
    EXPECT_EQ(scaled.m_bScaled, 1);
    EXPECT_EQ(scaled.Draw(lpTarget, 0), 0);
    const uint32_t expected = IsD3D() ? a : b;
    EXPECT_EQ(Get(lpTarget, 200, 40), expected);
    EXPECT_EQ(Get(lpTarget, 215, 47), expected);
    EXPECT_EQ(Get(lpTarget, 216, 40), other);

    g_Database.m_vEffect = savedEffects;
    g_EffectPatternTable = savedPatterns;
}

TEST_P(ResourceDrawTest, ExtraLifeIconRisesFromItsPlace)
{
    const uint32_t icon = Opaque(140, 60, 20), other = Opaque(20, 20, 20);
    DDSURFACEDATA* lpSheet = Filled(SystemSurfaces[49], 80, 64, other);
    for (int32_t y = 48; y < 64; ++y)
        for (int32_t x = 0; x < 16; ++x) Put(lpSheet, x, y, icon);
    DDSURFACEDATA* lpTarget = NewSurface(640, 480);
    FillRaw(lpTarget, other);

    cMessageObject message;
    MessageSetup setup;
    setup.nKind = 3;
    setup.nPositionMode = 7;
    setup.nX = 2;
    setup.nY = 3;
    setup.bFixedOnScreen = 1;
    setup.nTimeMode = 2;
    setup.nFrames = 30;
    message.Setup(setup, 0);
    // Frames left 29 after this update: (30 - 29) >> 2 = 0 pixels up.
    EXPECT_EQ(message.Update(lpTarget, 0), 0);
    EXPECT_EQ(Get(lpTarget, 64, 96), icon);
    EXPECT_EQ(Get(lpTarget, 79, 111), icon);
    EXPECT_EQ(Get(lpTarget, 64, 112), other);
    // Eight frames on: (30 - 21) >> 2 = 2 pixels up.
    for (int i = 0; i < 7; ++i) message.Update(lpTarget, 0);
    FillRaw(lpTarget, other);
    message.Update(lpTarget, 0);
    EXPECT_EQ(Get(lpTarget, 64, 94), icon);
    EXPECT_EQ(Get(lpTarget, 64, 110), other);
}

INSTANTIATE_TEST_SUITE_P(Modes, ResourceDrawTest, testing::ValuesIn(AllModes()), ModeName);

}  // namespace
