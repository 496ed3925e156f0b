// The layers drawn on the headless host: tiled and scrolled backgrounds, the dark frame without
// backgrounds, and the sight mask's holes, on both back ends.
#include <gtest/gtest.h>

#include "data/EdStage.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/GraphicsState.h"
#include "platform/graphics/GraphicsControl.h"
#include "platform/host/Host.h"
#include "shell/ShellGlobals.h"
#include "stage/StageLayers.h"
#include "tests/play/PlayTestSupport.h"

namespace {

// Backgrounds draw from surface 55 on; the target and a reference surface are the test's own.
class LayerDrawTest : public cPlayFixture, public ::testing::WithParamInterface<int32_t> {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        HostSelect(HostKind::Headless);
        ResetGraphicsProfile();
        DisarmGraphicsFaults();
        for (int32_t i = 0; i < 256; ++i)
            ColorPalette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0};
        ASSERT_TRUE(DDInit(GetParam(), nullptr, 640, 480, 32, 0, 1, 1, 60, 1, SystemSurfaces, BitmapFileTable,
                           SystemSurfaceCount, 0));
        ASSERT_TRUE(DDCreateSurface(&m_Target, 640, 480, 0, 0, 0, 0, 0));
        ASSERT_TRUE(DDCreateSurface(&m_Reference, 4, 1, 0, 0, 0, 0, 0));
        ASSERT_TRUE(DDCreateSurface(&m_KeyedReference, 4, 1, 1, 0, 0, 0, 0));
        m_State.m_ScrollX.m_nBlockOrigin = 10;
        m_State.m_ScrollY.m_nBlockOrigin = 10;
    }
    void TearDown() override
    {
        DDReleaseSurface(&m_Target);
        DDReleaseSurface(&m_Reference);
        DDReleaseSurface(&m_KeyedReference);
        for (DDSURFACEDATA* lpSD : {&SystemSurfaces[55], &SystemSurfaces[56], &m_Mask, &m_Disc})
            DDReleaseSurface(lpSD);
        DDUnInit();
        ResetGraphicsProfile();
        g_Stage.m_vBackground.clear();
        cPlayFixture::TearDown();
    }
    static uint32_t Raw(DDSURFACEDATA& sd, int32_t x, int32_t y)
    {
        if (sd.lpDT) return sd.lpDT->lpSurface->Pixels()->ReadRaw(x, y);
        return sd.lpDDraw->lpDDSurface->Pixels()->ReadRaw(x, y);
    }
    // The pixel value the back end stores for a palette index, in a plain surface or in one
    // drawn with the colour key (where index 0 is the transparent colour).
    uint32_t Colour(uint32_t nIndex, bool bKeyed = false)
    {
        DDSURFACEDATA& sd = bKeyed ? m_KeyedReference : m_Reference;
        DDFillRect(&sd, 0, 0, 1, 1, nIndex);
        return Raw(sd, 0, 0);
    }
    // A 100 x 50 picture for background i: index 1 in its left half, index 2 in its right.
    void MakePicture(int32_t i)
    {
        DDSURFACEDATA& sd = SystemSurfaces[55 + i];
        ASSERT_TRUE(DDCreateSurface(&sd, 100, 50, 0, 0, 0, 0, 0));
        DDFillRect(&sd, 0, 0, 50, 50, 1);
        DDFillRect(&sd, 50, 0, 50, 50, 2);
    }
    DDSURFACEDATA m_Target, m_Reference, m_KeyedReference, m_Mask, m_Disc;
};

TEST_P(LayerDrawTest, WithoutVisibleBackgroundsTheFrameStartsDark)
{
    DDFillRect(&m_Target, 0, 0, 640, 480, 5);
    DrawBackgroundLayer(&m_Target, 0);
    EXPECT_EQ(Raw(m_Target, 0, 0), Colour(16));
    EXPECT_EQ(Raw(m_Target, 639, 479), Colour(16));
}

TEST_P(LayerDrawTest, BackgroundsTileFromTheScrolledPosition)
{
    MakePicture(0);
    g_Stage.m_vBackground.assign(1, cEdStageBackground());
    cEdStageBackground& bg = g_Stage.m_vBackground[0];
    bg.m_bShown = 1;
    bg.m_dFactorX = 1.0;
    bg.m_dFactorY = 1.0;
    // The view 30 pixels right of the stage's origin and 10 below it.
    m_State.m_ScrollX.m_dPosition = 320 + 30;
    m_State.m_ScrollY.m_dPosition = 320 + 10;
    DrawBackgroundLayer(&m_Target, 0);
    const uint32_t c1 = Colour(1), c2 = Colour(2);
    EXPECT_EQ(Raw(m_Target, 0, 0), c1);      // picture (30, 10)
    EXPECT_EQ(Raw(m_Target, 19, 0), c1);     // picture (49, 10)
    EXPECT_EQ(Raw(m_Target, 20, 0), c2);     // picture (50, 10)
    EXPECT_EQ(Raw(m_Target, 69, 39), c2);    // picture (99, 49)
    EXPECT_EQ(Raw(m_Target, 70, 40), c1);    // wrapped to picture (0, 0)
    EXPECT_EQ(Raw(m_Target, 639, 479), (639 + 30) % 100 < 50 ? c1 : c2);

    // Scrolled by itself: the offset counts instead of the factor.
    bg.m_bAutoScrollX = 1;
    bg.m_dFactorX = 5.0;
    bg.m_dOffsetX = 60.0;
    DrawBackgroundLayer(&m_Target, 0);
    EXPECT_EQ(Raw(m_Target, 0, 0), c2);      // picture (90, 10)
    EXPECT_EQ(Raw(m_Target, 10, 0), c1);     // picture (0, 10)
}

TEST_P(LayerDrawTest, FillBackgroundsCoverTheirLayerOnly)
{
    g_Stage.m_vBackground.assign(2, cEdStageBackground());
    g_Stage.m_vBackground[0].m_bShown = 1;
    g_Stage.m_vBackground[0].m_nLayer = 1;
    g_Stage.m_vBackground[0].m_bColorFill = 1;
    g_Stage.m_vBackground[0].m_nFillColor = 7;
    DDFillRect(&m_Target, 0, 0, 640, 480, 5);
    DrawBackgroundLayer(&m_Target, 0);   // nothing of layer 0 was drawn: dark
    EXPECT_EQ(Raw(m_Target, 100, 100), Colour(16));
    DrawBackgroundLayer(&m_Target, 1);
    EXPECT_EQ(Raw(m_Target, 100, 100), Colour(7));
}

TEST_P(LayerDrawTest, SightMaskHoles)
{
    struct Case {
        int32_t nRadius;
        int8_t nShape;
        bool bCentreOpen, bSquareCornerOpen;
    };
    const Case cases[] = {
        {0, 1, false, false},    // no sight: all dark
        {40, 3, true, true},     // a square hole
        {40, 4, true, true},
        {40, 1, true, false},    // a round hole
        {40, 2, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nRadius << " shape " << int(c.nShape));
        Player[0].m_nSightRadius = c.nRadius;
        Player[0].m_Def.m_nSightMode = c.nShape;
        BuildSightMask(&m_Mask, &m_Disc);
        const int32_t w = 1280 + 2 * c.nRadius, h = 960 + 2 * c.nRadius;
        ASSERT_EQ(m_Mask.nWidth, w);
        ASSERT_EQ(m_Mask.nHeight, h);
        const uint32_t dark = Colour(16, true), open = Colour(0, true);
        EXPECT_EQ(Raw(m_Mask, 0, 0), dark);
        EXPECT_EQ(Raw(m_Mask, w / 2, h / 2), c.bCentreOpen ? open : dark);
        EXPECT_EQ(Raw(m_Mask, w / 2 - c.nRadius + 1, h / 2 - c.nRadius + 1), c.bSquareCornerOpen ? open : dark);
        EXPECT_EQ(Raw(m_Mask, w / 2 + c.nRadius + 2, h / 2), dark);
    }
}

INSTANTIATE_TEST_SUITE_P(BackEnds, LayerDrawTest, ::testing::Values(0, 1),
                         [](const testing::TestParamInfo<int32_t>& info) {
                             return info.param == 0 ? std::string("DirectDraw") : std::string("Direct3D");
                         });

}  // namespace
