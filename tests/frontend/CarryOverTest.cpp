#include <gtest/gtest.h>

#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "frontend/SaveData.h"

namespace {

class CarryOverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = g_System;
        g_System.m_vCarryOver.assign(25, 1);
        g_System.m_vCarryReset.assign(25, 0);
    }
    void TearDown() override { g_System = m_saved; }
    cEdSystem m_saved;
};

TEST_F(CarryOverTest, NothingComesBackBeforeTheFirstStore)
{
    cSaveData save;
    save.StoredGroups.assign(25, 1);
    cEdChara hero;
    hero.m_nMaxHP = 17;
    save.CharaStatus[0].m_Chara.m_nMaxHP = 99;
    save.RestoreCharaStatus(0, hero);
    int32_t hp = 4, sp = 5;
    save.RestoreCarriedExtras(0, hp, sp);
    EXPECT_EQ(hero.m_nMaxHP, 17);
    EXPECT_EQ(hp, 4);
    EXPECT_EQ(sp, 5);
}

TEST_F(CarryOverTest, SwitchedOnGroupsAreStoredAndGivenBack)
{
    g_System.m_vCarryOver[14] = 0;   // msp stays with the stage
    cSaveData save;
    cEdChara end;
    end.m_nMaxHP = 40;
    end.m_nMaxSP = 30;
    end.m_nPower = 12;
    end.m_nGraphicIndex = 0;
    end.m_nSight = 9;
    end.m_vFlow.resize(2);
    save.StoreCharaStatus(0, end, 35, 20, 1, 2, 3, 600, 999999, 4);
    EXPECT_EQ(save.bStatusStored, 1);
    EXPECT_EQ(save.StoredGroups[13], 1);
    EXPECT_EQ(save.StoredGroups[14], 0);

    cEdChara start;
    start.m_nMaxHP = 10;
    start.m_nMaxSP = 5;
    save.nLives = 3;
    save.RestoreCharaStatus(0, start);
    EXPECT_EQ(start.m_nMaxHP, 40);
    EXPECT_EQ(start.m_nMaxSP, 5);
    EXPECT_EQ(start.m_nPower, 12);
    EXPECT_EQ(start.m_nSight, 9);
    EXPECT_EQ(start.m_vFlow.size(), 2u);
    EXPECT_EQ(start.m_nGraphicIndex, 1);   // a stored 0 comes back as 1
    EXPECT_EQ(start.m_nStartEffect, 1);
    EXPECT_EQ(save.nLives, 999999);        // infinite lives stay infinite
    EXPECT_EQ(g_Stage.m_nTimeLimit, 600);
    EXPECT_EQ(g_Stage.m_nBgm, 4);

    int32_t hp = 0, sp = 0;
    save.RestoreCarriedExtras(0, hp, sp);
    EXPECT_EQ(hp, 35);
    EXPECT_EQ(sp, 20);
}

TEST_F(CarryOverTest, GroupSwitchedOffIsNotGivenBackEvenWhenStoredByAnOlderSave)
{
    cSaveData save;
    save.bStatusStored = 1;
    save.StoredGroups.assign(25, 1);   // as a file of version 500 or older loads
    save.CharaStatus[0].m_Chara.m_nPower = 77;
    save.CharaStatus[0].m_Chara.m_nDef = 66;
    g_System.m_vCarryOver[16] = 0;
    cEdChara hero;
    hero.m_nPower = 1;
    hero.m_nDef = 2;
    save.RestoreCharaStatus(0, hero);
    EXPECT_EQ(hero.m_nPower, 1);
    EXPECT_EQ(hero.m_nDef, 66);
}

TEST_F(CarryOverTest, ClearRowForgetsItsGroups)
{
    cSaveData save;
    save.StoredGroups.assign(25, 1);
    g_System.m_vCarryReset[3] = 1;
    g_System.m_vCarryReset[21] = 1;
    save.ClearCarryOverFlags();
    EXPECT_EQ(save.StoredGroups[3], 0);
    EXPECT_EQ(save.StoredGroups[21], 0);
    EXPECT_EQ(save.StoredGroups[4], 1);
}

TEST_F(CarryOverTest, RetryPointByModeSwitch)
{
    const struct {
        const char* name;
        int32_t all, mode, direct, storySwitch, directSwitch;
        int32_t wantVar, wantLives;
    } cases[] = {
        {"all restores everything", 1, 0, 0, 0, 0, 1, 3},
        {"story with the switch on resets the values", 0, 0, 0, 1, 0, 1, 1},
        {"story with the switch off keeps the values", 0, 0, 0, 0, 0, 50, 1},
        {"direct stage uses its own switch", 0, 0, 1, 1, 0, 50, 1},
        {"replay mode counts as on", 0, 3, 0, 0, 0, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_System.m_bStoryRetryRestore = c.storySwitch;
        g_System.m_bDirectStageRetryRestore = c.directSwitch;
        cSaveData save;
        save.CommonVars[0] = 1;
        save.nLives = 3;
        save.nTotalScore = 100;
        save.SaveRetryPoint();
        save.CommonVars[0] = 50;
        save.nLives = 1;
        save.nTotalScore = 900;
        EXPECT_EQ(save.RestoreRetryPoint(c.all, c.mode, c.direct), 100);
        EXPECT_EQ(save.nTotalScore, 100);
        EXPECT_EQ(save.CommonVars[0], c.wantVar);
        EXPECT_EQ(save.nLives, c.wantLives);
    }
}

}  // namespace
