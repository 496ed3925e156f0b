#include <gtest/gtest.h>

#include <array>

#include "data/EdDatabase.h"
#include "flows/ScreenEffect.h"

namespace {

cEdScrEffect Record(int32_t kind, std::array<int32_t, 5> params)
{
    cEdScrEffect record;
    record.m_nKind = kind;
    for (int i = 0; i < 5; ++i) record.m_anParam[i] = params[i];
    return record;
}

class ScreenEffectTest : public ::testing::Test {
protected:
    void Build(std::vector<cEdScrEffect> list)
    {
        g_Database.m_vScrEffect = std::move(list);
        CopyEffectWorkLists();
        BuildScreenEffectTables(g_ScreenEffectTable, g_ScreenEffectTableReversed);
    }
    void TearDown() override
    {
        g_Database.SetDefaults();
        g_ScrEffectWork.clear();
        g_ScreenEffectTable.clear();
        g_ScreenEffectTableReversed.clear();
    }
};

}  // namespace

TEST_F(ScreenEffectTest, MoveSwapsBothCoordinatePairsWhenReversed)
{
    Build({Record(0, {}), Record(1, {10, 1, 2, 640, 4})});
    const cScreenEffect& normal = g_ScreenEffectTable[1];
    EXPECT_EQ(normal.m_nInt1, 1);
    EXPECT_EQ(normal.m_nInt2, 2);
    EXPECT_DOUBLE_EQ(normal.m_dSpeed, 1.0 / 6.0);
    EXPECT_EQ(normal.m_bTimerMode, 0);
    const cScreenEffect& reversed = g_ScreenEffectTableReversed[1];
    EXPECT_EQ(reversed.m_nInt1, 640);
    EXPECT_EQ(reversed.m_nInt2, 4);
    EXPECT_EQ(g_ScrEffectWork[1].m_anParam[3], 1);
    EXPECT_EQ(g_ScrEffectWork[1].m_anParam[4], 2);
    EXPECT_EQ(g_Database.m_vScrEffect[1].m_anParam[3], 640);
}

TEST_F(ScreenEffectTest, ValueKindsRunFromStartToEnd)
{
    Build({Record(0, {}), Record(9, {10, 0, 1440, 0, 0}), Record(6, {5, 0, 640, 4, 8}), Record(13, {10, 7, 7, 0, 0})});
    EXPECT_DOUBLE_EQ(g_ScreenEffectTable[1].m_dValue, 0.0);
    EXPECT_DOUBLE_EQ(g_ScreenEffectTable[1].m_dSpeed, 1440.0 / 60.0);
    EXPECT_DOUBLE_EQ(g_ScreenEffectTableReversed[1].m_dValue, 1440.0);
    EXPECT_EQ(g_ScreenEffectTable[2].m_nInt1, 0);
    EXPECT_DOUBLE_EQ(g_ScreenEffectTable[2].m_dSpeed, 640.0 / 30.0);
    // Equal ends: a timer of parameter 0 tenths.
    const cScreenEffect& still = g_ScreenEffectTable[3];
    EXPECT_EQ(still.m_bTimerMode, 1);
    EXPECT_DOUBLE_EQ(still.m_dSpeed, 1.0 / 6.0);
    EXPECT_EQ(still.m_nTime, 10);
}

TEST_F(ScreenEffectTest, ShakeAndBlinkAreNeverSwapped)
{
    Build({Record(0, {}), Record(2, {10, 4, 6, 0, 0}), Record(8, {10, 10, 3, 0, 0})});
    EXPECT_EQ(g_ScrEffectWork[1].m_anParam[1], 4);
    EXPECT_EQ(g_ScrEffectWork[2].m_anParam[1], 10);
    EXPECT_DOUBLE_EQ(g_ScreenEffectTableReversed[1].m_dSpeed, 1.0 / 6.0);
    EXPECT_EQ(g_ScreenEffectTableReversed[2].m_bTimerMode, 0);
}

TEST_F(ScreenEffectTest, StartTakesTheReversedEntryOnlyForReversedRunning)
{
    Build({Record(0, {}), Record(4, {0, 0, 640, 15, 0})});
    // A stored time of 0 still gives a finite step.
    EXPECT_DOUBLE_EQ(g_ScreenEffectTable[1].m_dSpeed, 640.0);
    cScreenEffect effect;
    effect.Start(1, 1, 0);
    EXPECT_EQ(effect.m_nScrEffect, 1);
    EXPECT_DOUBLE_EQ(effect.m_dValue, 640.0);
    EXPECT_EQ(effect.m_bReversedNow, 1);
    effect.Start(1, 2, 1);
    EXPECT_DOUBLE_EQ(effect.m_dValue, 0.0);
    EXPECT_EQ(effect.m_bRepeat, 1);
    EXPECT_EQ(effect.m_bReversedNow, 0);
}
