// The state behind the stage's layers: the status bar's layout, automatic background scroll, the
// screen tone's alpha, its restore rule and its flashes.
#include <gtest/gtest.h>

#include <cstring>

#include "data/EdCommand.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "flows/FlowInstance.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/GraphicsState.h"
#include "shell/ShellGlobals.h"
#include "stage/StageLayers.h"
#include "tests/play/PlayTestSupport.h"

namespace {

class LayerStateTest : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        m_vStatus = g_System.m_vStatus;
        g_System.m_vStatus.assign(SystemStatusEntries, cEdSystemStatus());
        std::memcpy(m_aPalette, ColorPaletteWork, sizeof(m_aPalette));
        m_nBpp = nBpp;
    }
    void TearDown() override
    {
        g_System.m_vStatus = m_vStatus;
        g_Stage.m_vBackground.clear();
        SystemSurfaces[55].nWidth = SystemSurfaces[55].nHeight = 0;
        std::memcpy(ColorPaletteWork, m_aPalette, sizeof(m_aPalette));
        nBpp = m_nBpp;
        cPlayFixture::TearDown();
    }
    void ShowStatus(int32_t i, int32_t bIcon, const char* lpName, int32_t nDigits)
    {
        cEdSystemStatus& s = g_System.m_vStatus[static_cast<size_t>(i)];
        s.m_bShow = 1;
        s.m_bIcon = bIcon;
        s.m_strName = lpName;
        s.m_nDigits = nDigits;
    }
    void Tone(std::vector<int32_t> vParams)
    {
        cEdCommand cmd;
        cmd.m_vParam = vParams;
        cCommandInstance inst;
        inst.m_lpCmd = &cmd;
        SetScreenTone(&inst);
    }
    std::vector<cEdSystemStatus> m_vStatus;
    PALETTEENTRY m_aPalette[256];
    int32_t m_nBpp = 0;
};

TEST_F(LayerStateTest, StatusBarCentresItsItems)
{
    int32_t aX[5];
    EXPECT_EQ(StatusBarLayout(aX), 0);
    for (int32_t x : aX) EXPECT_EQ(x, -1);

    // Only the HP gauge, with its icon: centred.
    ShowStatus(2, 1, "HP", 0);
    EXPECT_EQ(StatusItemWidth(2), 16 + 50);
    EXPECT_EQ(StatusBarLayout(aX), (638 - 16 - 50) / 2);
    EXPECT_EQ(aX[2], (638 - 16 - 50) / 2);

    // Named numbers: 16 per character and 16 per digit; the gaps share what is left.
    ShowStatus(0, 0, "SCORE", 6);
    ShowStatus(4, 1, "", 2);
    EXPECT_EQ(StatusItemWidth(0), 16 * 5 + 16 * 6);
    EXPECT_EQ(StatusItemWidth(4), 16 + 32);
    const int32_t nGap = (638 - 176 - 66 - 48) / 4;
    EXPECT_EQ(StatusBarLayout(aX), nGap);
    EXPECT_EQ(aX[0], nGap);
    EXPECT_EQ(aX[1], -1);
    EXPECT_EQ(aX[2], nGap + 176 + nGap);
    EXPECT_EQ(aX[3], -1);
    EXPECT_EQ(aX[4], nGap + 176 + nGap + 66 + nGap);
}

TEST_F(LayerStateTest, AutomaticBackgroundsWrapInsideTheirImage)
{
    SystemSurfaces[55].nWidth = 100;
    SystemSurfaces[55].nHeight = 50;
    struct Case {
        double dSpeed, dStart, dExpected;
    };
    const Case cases[] = {
        {30.0, 10.0, 80.0}, {-30.0, 90.0, 20.0}, {250.0, 10.0, 60.0}, {-1e9, 0.0, 0.0}, {0.5, 0.0, 99.5},
    };
    g_Stage.m_vBackground.assign(2, cEdStageBackground());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dSpeed);
        cEdStageBackground& bg = g_Stage.m_vBackground[0];
        bg.m_bAutoScrollX = bg.m_bAutoScrollY = 1;
        bg.m_dFactorX = bg.m_dFactorY = c.dSpeed;
        bg.m_dOffsetX = bg.m_dOffsetY = c.dStart;
        ScrollBackgrounds();
        EXPECT_DOUBLE_EQ(bg.m_dOffsetX, c.dExpected);
        EXPECT_GE(bg.m_dOffsetY, 0.0);
        EXPECT_LT(bg.m_dOffsetY, 50.0);
    }
    // A background without a picture has nothing to wrap into: no division by its size.
    cEdStageBackground& empty = g_Stage.m_vBackground[1];
    empty.m_bAutoScrollX = 1;
    empty.m_dFactorX = 7.0;
    ScrollBackgrounds();
    EXPECT_EQ(empty.m_dOffsetX, 0.0);
}

TEST_F(LayerStateTest, ToneAlpha)
{
    struct Case {
        int32_t bRestore, nTime, nFrame, nStrength, nPrevAlpha;
        int32_t nExpected;
    };
    const Case cases[] = {
        {0, 60, 0, 100, 0, 255},   {0, 60, 30, 100, 0, 127}, {0, 60, 60, 100, 0, 0},
        // A tone of no time is reached at once, as a timed one ends (100 x 2.55 is just below 255).
        {0, 60, 60, 50, 0, 127},   {0, 0, 0, 100, 0, 0},      {0, 0, 0, 40, 0, 153},   {0, 0, 0, 0, 0, 255},
        {1, 60, 30, 0, 55, 155},   {1, 0, 0, 0, 55, 255},     {0, 60, 60, 250, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bRestore << " " << c.nTime << " " << c.nFrame << " " << c.nStrength);
        ScreenTone tone;
        tone.m_bRestore = c.bRestore;
        tone.m_nTime = c.nTime;
        tone.m_nFrame = c.nFrame;
        tone.m_nStrength = c.nStrength;
        tone.m_nPrevAlpha = c.nPrevAlpha;
        EXPECT_EQ(ScreenToneAlpha(tone), c.nExpected);
    }
}

TEST_F(LayerStateTest, ToneRestoreNeedsAToneToGoBackFrom)
{
    nBpp = 8;   // the palette display of DirectDraw
    m_State.m_Tone = ScreenTone();
    m_State.m_Tone.m_nPrevAlpha = 255;
    Tone({0, 0, 0, 0, 1, 10, 0, 0});
    EXPECT_EQ(m_State.m_Tone.m_bActive, 0);

    Tone({100, 20, 30, 80, 0, 10, 0, 0});
    EXPECT_EQ(m_State.m_Tone.m_bActive, 1);
    EXPECT_EQ(m_State.m_Tone.m_bSet, 1);
    EXPECT_EQ(m_State.m_Tone.m_nAlpha, 0);
    EXPECT_EQ(m_State.m_Tone.m_nTime, 60);

    Tone({0, 0, 0, 0, 1, 5, 0, 0});
    EXPECT_EQ(m_State.m_Tone.m_bActive, 1);
    EXPECT_EQ(m_State.m_Tone.m_nRed, 100);       // fades back from the tone set before
    EXPECT_EQ(m_State.m_Tone.m_nStrength, 80);
    EXPECT_EQ(m_State.m_Tone.m_nPrevAlpha, 0);
}

TEST_F(LayerStateTest, ToneFlashesItsCountThenEnds)
{
    nBpp = 8;
    m_State.m_Tone = ScreenTone();
    Tone({100, 0, 0, 100, 0, 1, 1, 3});   // six frames of tint and a clear frame, three times
    int32_t nFrames = 0;
    while (m_State.m_Tone.m_bActive != 0 && nFrames < 1000) {
        ApplyScreenTone(0);
        ++nFrames;
    }
    EXPECT_EQ(nFrames, 21);
    EXPECT_EQ(m_State.m_Tone.m_nFlashesDone, 3);

    // Draw-only frames of a DirectDraw tone neither draw nor advance it.
    Tone({100, 0, 0, 100, 0, 1, 0, 0});
    for (int32_t i = 0; i < 20; ++i) ApplyScreenTone(1);
    EXPECT_EQ(m_State.m_Tone.m_nFrame, 0);
    EXPECT_EQ(m_State.m_Tone.m_bActive, 1);
    // Without flash, the palette display ends the tone at its time, leaving its blend.
    for (int32_t i = 0; i < 6; ++i) ApplyScreenTone(0);
    EXPECT_EQ(m_State.m_Tone.m_bActive, 0);

    // DirectDraw without a palette display cannot tint: the tone ends at once.
    nBpp = 32;
    Tone({100, 0, 0, 100, 0, 1, 0, 0});
    ApplyScreenTone(0);
    EXPECT_EQ(m_State.m_Tone.m_bActive, 0);
}

}  // namespace
