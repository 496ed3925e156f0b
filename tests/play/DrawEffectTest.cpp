// The state side of character drawing: an effect's step, repeat and back-and-forth run; blink
// frames frozen and running; a transparent character that steps but draws nothing; the defeat
// display's end; gauges that count down, and none for a maximum of 0.
#include <gtest/gtest.h>

#include "data/EdDatabase.h"
#include "flows/CharaEffect.h"
#include "objects/Chara.h"
#include "objects/CharaDraw.h"
#include "shell/SceneManager.h"
#include "tests/play/ObjectCoreSupport.h"

namespace {

class DrawEffectTest : public cObjectCoreFixture {
protected:
    void SetUp() override
    {
        cObjectCoreFixture::SetUp();
        m_SavedList = g_Database.m_vCharaEffect;
        m_SavedWork = g_CharaEffectWork;
        // Effect 1: blink, 1 tenth of a second, interval 2. Effect 2: burst 0 -> 12 in a tenth.
        g_Database.m_vCharaEffect.assign(3, cEdCharaEffect{});
        g_Database.m_vCharaEffect[1].m_nKind = 6;
        g_Database.m_vCharaEffect[1].m_anParam[0] = 1;
        g_Database.m_vCharaEffect[1].m_anParam[1] = 2;
        g_Database.m_vCharaEffect[2].m_nKind = 1;
        g_Database.m_vCharaEffect[2].m_anParam[0] = 1;
        g_Database.m_vCharaEffect[2].m_anParam[2] = 12;
        g_CharaEffectWork = g_Database.m_vCharaEffect;
        BuildCharaEffectTables(g_CharaEffectTable, g_CharaEffectTableReversed);
    }
    void TearDown() override
    {
        g_Database.m_vCharaEffect = m_SavedList;
        g_CharaEffectWork = m_SavedWork;
        BuildCharaEffectTables(g_CharaEffectTable, g_CharaEffectTableReversed);
        cObjectCoreFixture::TearDown();
    }
    std::vector<cEdCharaEffect> m_SavedList, m_SavedWork;
};

TEST_F(DrawEffectTest, EffectRunsItsTimeThenFinishesRepeatsOrTurnsBack)
{
    cCharaEffect e;
    e.Start(2, 0, 0);
    int32_t nSteps = 1;
    while (e.Step() == 0 && nSteps < 100) ++nSteps;
    EXPECT_EQ(nSteps, 7);   // 2 a frame: running while 12 is not passed
    EXPECT_EQ(e.m_dValue, 12.0 + 2.0);

    cCharaEffect back;
    back.Start(2, 2, 0);
    nSteps = 1;
    while (back.Step() == 0 && nSteps < 100) ++nSteps;
    EXPECT_EQ(nSteps, 14);   // forward, then backward, then done
    EXPECT_EQ(back.m_bReversedNow, 1);

    cCharaEffect again;
    again.Start(2, 0, 1);
    for (int32_t i = 0; i < 50; ++i) ASSERT_EQ(again.Step(), 0);
}

TEST_F(DrawEffectTest, BlinkIsHiddenFirstAndAFrozenFrameDoesNotAdvance)
{
    cChara c;
    c.m_CharaEffect.Start(1, 0, 0);
    std::vector<int32_t> vToggle;
    for (int32_t i = 0; i < 8; ++i) {
        CharaEffectDrawTable[6](&c, nullptr, nullptr, 0, 0);
        vToggle.push_back(c.m_CharaEffect.m_nToggle);
    }
    // P1 = 2: hidden for 3 frames, then shown and hidden by turns for 2 each.
    EXPECT_EQ(vToggle, (std::vector<int32_t>{0, 0, 1, 1, 0, 0, 1, 1}));

    cChara f;
    f.m_CharaEffect.Start(1, 0, 0);
    f.m_CharaEffect.m_nPhase = 2;
    EXPECT_EQ(CharaEffectDrawTable[6](&f, nullptr, nullptr, 1, 0), 0);
    EXPECT_EQ(f.m_CharaEffect.m_nToggle, 1);   // at its interval the toggle still flips once
    EXPECT_EQ(f.m_CharaEffect.m_nPhase, 0);
    EXPECT_EQ(CharaEffectDrawTable[6](&f, nullptr, nullptr, 1, 0), 0);
    EXPECT_EQ(f.m_CharaEffect.m_nPhase, 0);
    EXPECT_EQ(f.m_CharaEffect.m_dValue, 0.0);
}

TEST_F(DrawEffectTest, FinishedEffectIsClearedForThePlainDrawingOfTheNextFrame)
{
    cChara c;
    c.m_CharaEffect.Start(2, 0, 0);
    int32_t nFrames = 0;
    while (c.m_CharaEffect.m_nCharaEffect != 0 && nFrames < 100) {
        c.StepCharaEffectDraw(0);
        ++nFrames;
    }
    EXPECT_EQ(nFrames, 7);
    // Frozen frames never finish it.
    c.m_CharaEffect.Start(2, 0, 0);
    for (int32_t i = 0; i < 20; ++i) EXPECT_EQ(c.StepCharaEffectDraw(1), 0);
    EXPECT_EQ(c.m_CharaEffect.m_nCharaEffect, 2);
}

TEST_F(DrawEffectTest, DefeatDisplayEndsAtOnceForAComputerAndAfterTheFrameRateForTheHero)
{
    cChara c;
    c.m_nSide = 1;
    EXPECT_EQ(c.DrawObject(nullptr, 0), 1);

    cChara hero;
    hero.m_nSide = 0;
    SceneManager.FrameRate = 3;
    std::vector<int32_t> v;
    for (int32_t i = 0; i < 5; ++i) v.push_back(hero.DrawObject(nullptr, 0));
    EXPECT_EQ(v, (std::vector<int32_t>{0, 0, 0, 1, 1}));
    const int32_t nFrames = hero.m_nDefeatFrames;
    EXPECT_EQ(hero.DrawObject(nullptr, 1), 0);   // frozen: waits
    EXPECT_EQ(hero.m_nDefeatFrames, nFrames);
    SceneManager.FrameRate = 0;
}

TEST_F(DrawEffectTest, GaugesCountDownAndNoMaximumDrawsNone)
{
    cChara c;
    c.m_Def.m_nMaxHP = 10;
    c.m_HPGauge.m_nFramesLeft = 61;
    c.m_HPGauge.m_dChange = -10.0;
    c.m_HPGauge.m_dStep = 0.5;
    c.DrawHPGauge(nullptr);
    EXPECT_EQ(c.m_HPGauge.m_nFramesLeft, 60);
    EXPECT_EQ(c.m_HPGauge.m_dChange, -10.5);
    c.DrawHPGauge(nullptr);
    EXPECT_EQ(c.m_HPGauge.m_nFramesLeft, 59);
    EXPECT_EQ(c.m_HPGauge.m_dChange, 0.0);   // the last 60 frames show the bar alone

    cChara none;
    none.m_Def.m_nMaxSP = 0;
    none.m_SPGauge.m_nFramesLeft = 100;
    none.DrawSPGauge(nullptr);
    EXPECT_EQ(none.m_SPGauge.m_nFramesLeft, 100);

    cChara defeated;
    defeated.m_Def.m_nMaxHP = 10;
    defeated.m_bDefeated = 1;
    defeated.m_HPGauge.m_nFramesLeft = 100;
    defeated.DrawHPGauge(nullptr);
    EXPECT_EQ(defeated.m_HPGauge.m_nFramesLeft, 100);
}

TEST_F(DrawEffectTest, ChooseSheetVariantKeepsTheSheetOutsideDirectDraw)
{
    EXPECT_EQ(ChooseSheetVariant(4, 0), 4);
    EXPECT_EQ(ChooseSheetVariant(4, 1), 4);
}

}  // namespace
