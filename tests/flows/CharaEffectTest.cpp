#include <gtest/gtest.h>

#include <array>

#include "data/EdDatabase.h"
#include "flows/CharaEffect.h"

namespace {

cEdCharaEffect Record(int32_t kind, std::array<int32_t, 5> params)
{
    cEdCharaEffect record;
    record.m_nKind = kind;
    for (int i = 0; i < 5; ++i) record.m_anParam[i] = params[i];
    return record;
}

class CharaEffectTest : public ::testing::Test {
protected:
    void Build(std::vector<cEdCharaEffect> list)
    {
        g_Database.m_vCharaEffect = std::move(list);
        CopyEffectWorkLists();
        BuildCharaEffectTables(g_CharaEffectTable, g_CharaEffectTableReversed);
    }
    void TearDown() override
    {
        g_Database.SetDefaults();
        g_CharaEffectWork.clear();
        g_CharaEffectTable.clear();
        g_CharaEffectTableReversed.clear();
    }
};

}  // namespace

TEST_F(CharaEffectTest, NormalAndReversedSetUpOfAMovingKind)
{
    Build({Record(0, {}), Record(1, {5, 0, 32, 0, 0}), Record(4, {10, 40, 10, 3, 2})});
    ASSERT_EQ(g_CharaEffectTable.size(), 3u);
    ASSERT_EQ(g_CharaEffectTableReversed.size(), 3u);

    const cCharaEffect& normal = g_CharaEffectTable[1];
    EXPECT_EQ(normal.m_nStart, 0);
    EXPECT_EQ(normal.m_nEnd, 32);
    EXPECT_DOUBLE_EQ(normal.m_dValue, 0.0);
    EXPECT_DOUBLE_EQ(normal.m_dSpeed, 32.0 / 30.0);
    EXPECT_EQ(normal.m_nTime, 5);
    EXPECT_EQ(&normal.GetRecord(), &g_Database.m_vCharaEffect[1]);

    const cCharaEffect& reversed = g_CharaEffectTableReversed[1];
    EXPECT_EQ(reversed.m_nStart, 32);
    EXPECT_EQ(reversed.m_nEnd, 0);
    EXPECT_DOUBLE_EQ(reversed.m_dValue, 32.0);
    EXPECT_DOUBLE_EQ(reversed.m_dSpeed, 32.0 / 30.0);
    EXPECT_EQ(&reversed.GetRecord(), &g_CharaEffectWork[1]);

    // The reversed set-up rewrote the work copy; the database list stays as loaded.
    EXPECT_EQ(g_CharaEffectWork[1].m_anParam[1], 32);
    EXPECT_EQ(g_CharaEffectWork[1].m_anParam[2], 0);
    EXPECT_EQ(g_Database.m_vCharaEffect[1].m_anParam[1], 0);
    EXPECT_EQ(g_Database.m_vCharaEffect[1].m_anParam[2], 32);

    EXPECT_EQ(g_CharaEffectTableReversed[2].m_nStart, 10);
    EXPECT_DOUBLE_EQ(g_CharaEffectTableReversed[2].m_dSpeed, 30.0 / 60.0);
}

TEST_F(CharaEffectTest, BlinkTranslucencyAndEqualEndsRunAsTimers)
{
    Build({Record(0, {}), Record(6, {10, 2, 0, 0, 0}), Record(14, {7, 9999, 0, 0, 0}), Record(15, {10, 4, 4, 0, 0})});
    for (const std::vector<cCharaEffect>* table : {&g_CharaEffectTable, &g_CharaEffectTableReversed}) {
        const cCharaEffect& blink = (*table)[1];
        EXPECT_EQ(blink.m_nStart, 0);
        EXPECT_EQ(blink.m_nEnd, 10);
        EXPECT_DOUBLE_EQ(blink.m_dSpeed, 1.0 / 6.0);
        EXPECT_EQ((*table)[2].m_nEnd, 7);
        const cCharaEffect& still = (*table)[3];
        EXPECT_EQ(still.m_nStart, 4);
        EXPECT_EQ(still.m_nEnd, 4);
        EXPECT_DOUBLE_EQ(still.m_dSpeed, 1.0 / 6.0);
        EXPECT_DOUBLE_EQ(still.m_dTimer, 0.0);
    }
    // Blink and translucency keep their parameters in the work copy.
    EXPECT_EQ(g_CharaEffectWork[1].m_anParam[1], 2);
}

TEST_F(CharaEffectTest, ZeroOrNegativeTimeAndUnknownKindsStaySafe)
{
    Build({Record(0, {}), Record(1, {0, 0, 32, 0, 0}), Record(7, {-3, 0, 90, 0, 0}), Record(40, {5, 1, 2, 0, 0})});
    EXPECT_DOUBLE_EQ(g_CharaEffectTable[1].m_dSpeed, 32.0);
    EXPECT_DOUBLE_EQ(g_CharaEffectTable[2].m_dSpeed, 90.0);
    // An unknown kind sets nothing up and leaves its record alone.
    EXPECT_EQ(g_CharaEffectTableReversed[3].m_nEnd, 0);
    EXPECT_EQ(g_CharaEffectWork[3].m_anParam[1], 1);
}

TEST_F(CharaEffectTest, StartCopiesTheEntryOfItsRunMode)
{
    Build({Record(0, {}), Record(1, {5, 0, 32, 0, 0})});
    cCharaEffect effect;
    effect.m_nDrawCount = 12;
    effect.Start(1, 1, 1);
    EXPECT_EQ(effect.m_nCharaEffect, 1);
    EXPECT_EQ(effect.m_nRunMode, 1);
    EXPECT_EQ(effect.m_bRepeat, 1);
    EXPECT_EQ(effect.m_bReversedNow, 1);
    EXPECT_EQ(effect.m_nDrawCount, 0);
    EXPECT_EQ(effect.m_nStart, 32);

    for (int32_t mode : {0, 2}) {
        effect.Start(1, mode, 0);
        EXPECT_EQ(effect.m_nStart, 0) << mode;
        EXPECT_EQ(effect.m_bReversedNow, 0) << mode;
        EXPECT_EQ(effect.m_nRunMode, mode);
    }
}
