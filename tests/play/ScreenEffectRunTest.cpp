// Screen effects as the stage runs them, frame by frame: how long each lasts, the move's path,
// the shake's swing, the wave's phase, the blink's rhythm, draw-only frames and the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "data/EdDatabase.h"
#include "flows/ScreenEffect.h"
#include "stage/ScreenEffectDraw.h"
#include "tests/play/PlayTestSupport.h"

namespace {

class ScreenEffectRunTest : public cPlayFixture {
public:
    void TearDown() override
    {
        g_Database.m_vScrEffect.clear();
        g_ScrEffectWork.clear();
        g_ScreenEffectTable.clear();
        g_ScreenEffectTableReversed.clear();
        cPlayFixture::TearDown();
    }
    // Effect 1 of the database is of kind nKind with the parameters given; it is started.
    cScreenEffect& Start(int32_t nKind, std::vector<int32_t> vParams, int32_t nRunMode = 0, int32_t bRepeat = 0)
    {
        g_Database.m_vScrEffect.assign(2, cEdScrEffect());
        cEdScrEffect& rec = g_Database.m_vScrEffect[1];
        rec.m_nKind = nKind;
        for (size_t i = 0; i < 5; ++i) rec.m_anParam[i] = i < vParams.size() ? vParams[i] : 0;
        g_ScrEffectWork = g_Database.m_vScrEffect;
        BuildScreenEffectTables(g_ScreenEffectTable, g_ScreenEffectTableReversed);
        m_State.m_ScreenEffect.Start(1, nRunMode, bRepeat);
        return m_State.m_ScreenEffect;
    }
    // Frames drawn until the effect ended (cap when it did not).
    int32_t FramesToEnd(int32_t nCap = 100000)
    {
        int32_t n = 0;
        while (m_State.m_ScreenEffect.m_nScrEffect != 0 && n < nCap) {
            DrawScreenEffect(0);
            ++n;
        }
        return n;
    }
};

TEST_F(ScreenEffectRunTest, NoEffectDrawsNothing)
{
    m_State.m_ScreenEffect = cScreenEffect();
    DrawScreenEffect(0);
    DrawScreenEffect(1);
    EXPECT_EQ(m_State.m_ScreenEffect.m_nScrEffect, 0);
}

// Every kind with the editor's default parameters lasts about its time of ten tenths of a
// second: sixty frames and the few the value needs to pass its end.
TEST_F(ScreenEffectRunTest, EachKindEndsAfterItsTime)
{
    const std::vector<std::vector<int32_t>> defaults = {
        {},
        {10, 0, 0, 640, 0},   {10, 4, 4},      {10, 4, 4},        {10, 0, 640, 15},  {10, 0, 480, 20},
        {10, 0, 640, 4, 8},   {10, 0, 480, 4, 10}, {10, 10},       {10, 0, 1440},     {10, 640, 0, 8},
        {10, 640, 1280},      {10, 1500, 5, 0, 0}, {10, 1, 60},
    };
    for (int32_t nKind = 1; nKind < 14; ++nKind) {
        SCOPED_TRACE(nKind);
        Start(nKind, defaults[static_cast<size_t>(nKind)]);
        const int32_t nFrames = FramesToEnd();
        EXPECT_GE(nFrames, 60);
        EXPECT_LE(nFrames, 67);
    }
    // Kind 0 stays until another effect replaces it.
    Start(0, {10});
    EXPECT_EQ(FramesToEnd(500), 500);
}

TEST_F(ScreenEffectRunTest, AStartEqualToTheEndRunsAsATimer)
{
    Start(9, {5, 90, 90});
    const int32_t nFrames = FramesToEnd();
    EXPECT_GE(nFrames, 30);
    EXPECT_LE(nFrames, 31);
}

TEST_F(ScreenEffectRunTest, TheMoveSlidesThePictureAcrossTheScreen)
{
    cScreenEffect& e = Start(1, {10, 0, 0, 640, 0});
    int32_t nPrevX = -1;
    for (int32_t f = 0; f < 60; ++f) {
        DrawScreenEffect(0);
        EXPECT_GE(e.m_nInt1, nPrevX);
        EXPECT_EQ(e.m_nInt2, 0);
        nPrevX = e.m_nInt1;
    }
    EXPECT_NEAR(e.m_nInt1, 640 * 59 / 60, 2);
}

// Width 4 and count 4 over ten tenths: 4 x 4 x 4 = 64 pixels of travel in 60 frames, turning
// at -4 and 4.
TEST_F(ScreenEffectRunTest, TheShakeSwingsBetweenItsWidths)
{
    cScreenEffect& e = Start(2, {10, 4, 4});
    double dMin = 0.0, dMax = 0.0;
    int32_t nTurns = 0, nDir = e.m_nInt1;
    DrawScreenEffect(0);
    EXPECT_NEAR(e.m_dValue2, 64.0 / 60, 1e-12);
    for (int32_t f = 1; f < 60; ++f) {
        DrawScreenEffect(0);
        dMin = std::min(dMin, e.m_dValue2);
        dMax = std::max(dMax, e.m_dValue2);
        if (e.m_nInt1 != nDir) ++nTurns;
        nDir = e.m_nInt1;
    }
    EXPECT_EQ(dMax, 4.0);
    EXPECT_EQ(dMin, -4.0);
    EXPECT_GE(nTurns, 7);
    EXPECT_LE(nTurns, 8);
}

TEST_F(ScreenEffectRunTest, TheWavePhaseWraps)
{
    cScreenEffect& e = Start(6, {10, 0, 640, 4, 8});
    e.m_nInt1 = 359;
    DrawScreenEffect(0);
    EXPECT_EQ(e.m_nInt1, 0);
}

TEST_F(ScreenEffectRunTest, TheBlinkHidesAndShowsEveryInterval)
{
    cScreenEffect& e = Start(8, {10, 10});
    std::vector<int32_t> vStates;
    for (int32_t f = 0; f < 40; ++f) {
        DrawScreenEffect(0);
        vStates.push_back(e.m_nInt2);
    }
    // Hidden (0) for the first ten frames, then shown for ten, then hidden again.
    for (int32_t f = 0; f < 40; ++f) EXPECT_EQ(vStates[static_cast<size_t>(f)], (f / 10) % 2) << f;
}

TEST_F(ScreenEffectRunTest, DrawOnlyFramesNeitherAdvanceNorEnd)
{
    for (int32_t nKind = 1; nKind < 14; ++nKind) {
        SCOPED_TRACE(nKind);
        cScreenEffect& e = Start(nKind, {1, 0, 640, 4, 8});
        const double dValue = e.m_dValue, dValue2 = e.m_dValue2;
        const int32_t n1 = e.m_nInt1, n2 = e.m_nInt2;
        for (int32_t f = 0; f < 20; ++f) DrawScreenEffect(1);
        EXPECT_EQ(e.m_nScrEffect, 1);
        EXPECT_EQ(e.m_dValue, dValue);
        EXPECT_EQ(e.m_dValue2, dValue2);
        EXPECT_EQ(e.m_nInt1, n1);
        EXPECT_EQ(e.m_nInt2, n2);
    }
}

TEST_F(ScreenEffectRunTest, BackAndForthTurnsOnceAndRepeatNeverEnds)
{
    cScreenEffect& e = Start(4, {5, 0, 640, 15}, 2);
    const int32_t nFrames = FramesToEnd();
    EXPECT_GE(nFrames, 60);
    EXPECT_LE(nFrames, 64);

    Start(4, {5, 0, 640, 15}, 0, 1);
    EXPECT_EQ(FramesToEnd(1000), 1000);

    // A reversed run starts at the record's end value.
    Start(4, {5, 0, 640, 15}, 1);
    EXPECT_EQ(e.m_dValue, 640.0);
    EXPECT_GE(FramesToEnd(), 30);
}

TEST_F(ScreenEffectRunTest, AnUnknownKindEndsTheEffect)
{
    Start(20, {10});
    DrawScreenEffect(0);
    EXPECT_EQ(m_State.m_ScreenEffect.m_nScrEffect, 0);
}

}  // namespace
