// Contact, damage and death rules: the contact actions of blocks, items hidden in blocks, the
// three faction passes, deaths turned into outcomes and the pending deaths of a frame.
#include <gtest/gtest.h>

#include <algorithm>

#include "data/EdSystem.h"
#include "objects/Chara.h"
#include "objects/Motion.h"
#include "objects/Shot.h"
#include "stage/CharaList.h"
#include "stage/ContactRules.h"
#include "tests/play/ObjectCoreSupport.h"

namespace {

class RuleContactTest : public cObjectCoreFixture {
public:
    void SetUp() override
    {
        cObjectCoreFixture::SetUp();
        BlockMap.ClearCells();
        Player[0].m_nHP = 10;
        Player[0].m_Def.m_nMaxHP = 10;
        Player[0].m_nKey = 1;
        m_State.m_vShotTestMask.assign(1, 1);
        m_State.m_nSubStep = 1;
        m_nOnScreenOnly = g_Stage.m_bPlayOption93;
        g_Stage.m_bPlayOption93 = 0;
    }
    void TearDown() override
    {
        g_System.m_bSwitch272 = 0;
        g_Stage.m_nCollisionLevel = 0;
        g_Stage.m_vPaletteItem.clear();
        g_Stage.m_bPlayOption93 = m_nOnScreenOnly;
        cObjectCoreFixture::TearDown();
    }
    int32_t m_nOnScreenOnly = 0;

    static cChara& AddChara(int32_t nKey, int32_t nFaction, int32_t nHP, int32_t nPower, double x)
    {
        cChara c;
        c.m_nKey = nKey;
        c.m_nFaction = nFaction;
        c.m_nSide = 1;
        c.m_bAppeared = 1;
        c.m_nHP = nHP;
        c.m_Def.m_nMaxHP = 100;
        c.m_Def.m_nPower = nPower;
        c.m_dX = x;
        c.m_dY = 400;
        c.m_dRight = x + 31;
        c.m_dBottom = 431;
        c.m_CharaBox.m_dLeft = c.m_ShotBox.m_dLeft = x;
        c.m_CharaBox.m_dTop = c.m_ShotBox.m_dTop = 400;
        c.m_CharaBox.m_dRight = c.m_ShotBox.m_dRight = x + 31;
        c.m_CharaBox.m_dBottom = c.m_ShotBox.m_dBottom = 431;
        cChara& stored = CharaList.Append(c);
        AddCharaToFaction(&stored, 0);
        return stored;
    }

    cShot* AddShot(int32_t nKey, int8_t nFaction, int32_t nPower, double x)
    {
        cShot s;
        s.m_nKey = nKey;
        s.m_nFaction = nFaction;
        s.m_Rec.m_nSide = nFaction;
        s.m_Rec.m_nPower = nPower;
        s.m_bIsShot = 1;
        s.m_dX = x;
        s.m_dY = 410;
        s.m_dRight = x + 7;
        s.m_dBottom = 417;
        cShot* lpShot = AddShotToStage(m_State.m_ShotList, s);
        lpShot->m_lpTargetChara = nullptr;
        return lpShot;
    }
};

TEST_F(RuleContactTest, TouchingCharactersDamageEachOtherAndBothDeathsAreHandled)
{
    cChara& g = AddChara(10, 0, 3, 5, 400);
    cChara& i = AddChara(11, 1, 3, 5, 420);
    EXPECT_EQ(ResolveFactionContacts(CharaList), 0);
    EXPECT_EQ(g.m_bDefeated, 1);
    EXPECT_EQ(i.m_bDefeated, 1);
}

TEST_F(RuleContactTest, ASurvivorBecomesInvincibleToItsAttacker)
{
    cChara& g = AddChara(10, 0, 10, 0, 400);
    cChara& i = AddChara(11, 1, 10, 4, 420);
    EXPECT_EQ(ResolveFactionContacts(CharaList), 0);
    EXPECT_EQ(g.m_nHP, 6);
    EXPECT_EQ(i.m_nHP, 10);
    EXPECT_EQ(g.IsInvincibleTo(11), 1);
    EXPECT_EQ(ResolveFactionContacts(CharaList), 0);   // not again while invincible to it
    EXPECT_EQ(g.m_nHP, 6);
}

TEST_F(RuleContactTest, DefeatedAndBlockCharactersTakeNoPartInCharacterContact)
{
    for (int32_t nCase = 0; nCase < 2; ++nCase) {
        SCOPED_TRACE(nCase);
        ClearStageObjects(m_State);
        cChara& g = AddChara(10, 0, 10, 0, 400);
        cChara& i = AddChara(11, 1, 10, 4, 420);
        if (nCase == 0)
            i.m_bDefeated = 1;
        else
            g.m_Def.m_bCellBox = 1;
        EXPECT_EQ(ResolveFactionContacts(CharaList), 0);
        EXPECT_EQ(g.m_nHP, 10);
    }
}

TEST_F(RuleContactTest, ShotsHitCharactersOfOtherFactions)
{
    struct Case {
        int32_t bIsShot;
        int8_t nPierce, nPierceBlock;
        int8_t bBlockChara;
        int8_t nShotPass;
        int32_t nPower;
        int32_t nHPAfter;
        bool bShotGone;
        bool bInHitList;
    };
    const Case cases[] = {
        {1, 0, 0, 0, 0, 3, 7, true, false},    // an ordinary shot vanishes on its hit
        {1, 1, 0, 0, 0, 3, 7, false, true},    // piercing
        {1, 1, 0, 1, 0, 3, 7, true, false},    // pierces characters, not block characters
        {1, 0, 1, 1, 0, 3, 7, false, true},
        {0, 0, 0, 0, 0, 3, 7, false, true},    // a sword passes through and remembers
        {1, 0, 0, 0, 0, 0, 10, false, false},  // no power, impact or item: no damage, no vanish
        {1, 0, 0, 0, 2, 3, 10, false, false},  // shots pass through this character
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bIsShot << int(c.nPierce) << int(c.nPierceBlock)
                                        << int(c.bBlockChara) << int(c.nShotPass) << c.nPower);
        ClearStageObjects(m_State);
        cChara& k = AddChara(10, 1, 10, 0, 400);
        k.m_Def.m_bCellBox = c.bBlockChara;
        k.m_Def.m_nInvincible = c.nShotPass;
        cShot* s = AddShot(20, 0, c.nPower, 404);
        s->m_bIsShot = c.bIsShot;
        s->m_Rec.m_nSetting52 = c.nPierce;
        s->m_Rec.m_nSetting53 = c.nPierceBlock;
        EXPECT_EQ(ResolveFactionContacts(CharaList), 0);
        EXPECT_EQ(k.m_nHP, c.nHPAfter);
        EXPECT_EQ(s->m_bGone != 0, c.bShotGone);
        EXPECT_EQ(std::count(s->m_lHitKeys.begin(), s->m_lHitKeys.end(), 10), c.bInHitList ? 1 : 0);
    }
}

TEST_F(RuleContactTest, SwordsHitEachCharacterOnce)
{
    cChara& k = AddChara(10, 1, 10, 0, 400);
    cShot* sword = AddShot(20, 0, 1, 404);
    sword->m_bIsShot = 0;
    for (int32_t n = 0; n < 3; ++n) {
        k.m_nInvincible = 0;
        EXPECT_EQ(ResolveFactionContacts(CharaList), 0);
    }
    EXPECT_EQ(k.m_nHP, 9);
}

TEST_F(RuleContactTest, OnScreenOnlyContactLeavesOutObjectsOffScreen)
{
    g_Stage.m_bPlayOption93 = 1;
    cChara& g = AddChara(10, 0, 10, 0, 400);
    cChara& i = AddChara(11, 1, 10, 4, 420);
    cShot* s = AddShot(20, 2, 1, 404);
    g.m_bOnScreen = 1;
    EXPECT_EQ(ResolveFactionContacts(CharaList), 0);
    EXPECT_EQ(g.m_nHP, 10);
    i.m_bOnScreen = 1;
    EXPECT_EQ(ResolveFactionContacts(CharaList), 0);
    EXPECT_EQ(g.m_nHP, 6);
    EXPECT_EQ(s->m_bGone, 0);   // the shot is off screen
    s->m_bOnScreen = 1;
    g.m_nInvincible = 0;
    i.m_nInvincible = 0;
    EXPECT_EQ(ResolveFactionContacts(CharaList), 0);
    EXPECT_EQ(s->m_bGone, 1);
}

TEST_F(RuleContactTest, ShotsAreTestedOnlyOnTheSubStepsOfTheirMask)
{
    g_Stage.m_nCollisionLevel = 1;
    m_State.m_vShotTestMask = {1, 0};
    cChara& k = AddChara(10, 1, 10, 0, 400);
    AddShot(20, 0, 1, 404);
    m_State.m_nSubStep = 2;
    EXPECT_EQ(ResolveFactionContacts(CharaList), 0);
    EXPECT_EQ(k.m_nHP, 10);
    m_State.m_nSubStep = 3;   // past the mask: no test rather than a read outside it
    EXPECT_EQ(ResolveFactionContacts(CharaList), 0);
    EXPECT_EQ(k.m_nHP, 10);
    m_State.m_nSubStep = 1;
    EXPECT_EQ(ResolveFactionContacts(CharaList), 0);
    EXPECT_EQ(k.m_nHP, 9);
}

TEST_F(RuleContactTest, BreakableShotsCancelByTheirVanishValues)
{
    struct Case {
        int8_t bBreakA, bBreakB, nVanishA, nVanishB;
        bool bGoneA, bGoneB;
    };
    const Case cases[] = {
        {1, 1, 3, 3, true, true},   // equal values destroy each other
        {1, 1, 2, 5, true, false},
        {1, 1, 5, 2, false, true},
        {1, 0, 9, 1, true, false},  // only the breakable one is destroyed
        {0, 1, 1, 9, false, true},
        {0, 0, 1, 1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.bBreakA) << int(c.bBreakB) << int(c.nVanishA)
                                        << int(c.nVanishB));
        ClearStageObjects(m_State);
        cShot* a = AddShot(20, 0, 1, 404);
        cShot* b = AddShot(21, 1, 1, 406);
        a->m_Rec.m_nSetting54 = c.bBreakA;
        b->m_Rec.m_nSetting54 = c.bBreakB;
        a->m_Rec.m_nVanish = c.nVanishA;
        b->m_Rec.m_nVanish = c.nVanishB;
        EXPECT_EQ(ResolveFactionContacts(CharaList), 0);
        EXPECT_EQ(a->m_bGone != 0, c.bGoneA);
        EXPECT_EQ(b->m_bGone != 0, c.bGoneB);
    }
}

TEST_F(RuleContactTest, KillCharacterOutcomes)
{
    EXPECT_EQ(KillCharacter(&Player[0]), 2);
    EXPECT_EQ(Player[0].m_bDefeated, 0);
    cChara& c = AddChara(10, 1, 0, 0, 400);
    EXPECT_EQ(KillCharacter(&c), 0);
    EXPECT_EQ(c.m_bDefeated, 1);
    EXPECT_EQ(KillCharacter(&c), 0);
    EXPECT_EQ(KillCharacter(nullptr), 0);
}

TEST_F(RuleContactTest, PendingDeathsRemoveTheDeadUnlessKept)
{
    for (int32_t bKeep : {0, 1}) {
        SCOPED_TRACE(bKeep);
        ClearStageObjects(m_State);
        g_System.m_bSwitch272 = bKeep;
        cChara& dead = AddChara(10, 1, 0, 5, 400);
        cChara& removed = AddChara(11, 1, 10, 0, 600);
        removed.m_bRemoved = 1;
        cChara& alive = AddChara(12, 2, 10, 0, 800);
        alive.SetTarget(&dead);
        m_State.m_bDeathPending = 1;
        EXPECT_EQ(ProcessPendingDeaths(), 0);
        EXPECT_EQ(m_State.m_bDeathPending, 0);
        EXPECT_EQ(dead.m_bDefeated, 1);
        EXPECT_EQ(dead.m_bGone, bKeep ? 0 : 1);
        EXPECT_EQ(removed.m_bGone, 1);
        EXPECT_EQ(removed.m_bDefeated, 0);
        EXPECT_EQ(alive.m_lpTarget, nullptr);
        EXPECT_EQ(CharaList.Count(), bKeep ? 2 : 1);
        // A kept defeated character stays for its display and takes no part in contacts.
        EXPECT_EQ(ProcessPendingDeaths(), 0);
        EXPECT_EQ(CharaList.Count(), bKeep ? 2 : 1);
        EXPECT_EQ(ResolveFactionContacts(CharaList), 0);
        EXPECT_EQ(alive.m_nHP, 10);
        SweepStageObjects(m_State);
    }
}

TEST_F(RuleContactTest, PendingDeathOfPlayerOneEndsTheFrame)
{
    Player[0].m_nHP = 0;
    EXPECT_EQ(ProcessPendingDeaths(), 1);
    EXPECT_EQ(Player[0].m_bDefeated, 1);
}

TEST_F(RuleContactTest, MoveBlocksKeepPushingForOneFrameAfterLeaving)
{
    g_Stage.SetSpeedLevel(3);
    const int32_t N = g_Stage.m_nSubSteps;
    ASSERT_GT(N, 1);
    cHero& hero = Player[0];
    BLOCKCELL& cell = BlockMap[BlockMap.IndexOf(12, 13)];
    cell.m_Block.m_nHit = 1;
    cell.m_Block.m_nEffect = 5;
    cell.m_Block.m_nEffectValue = 6;
    const double v = 6 * 0.1 / N;
    hero.m_lpStandBlock = &cell;
    hero.m_dAccelX = -1.0;
    EXPECT_EQ(ApplyContactAction(&hero), 0);
    EXPECT_DOUBLE_EQ(hero.m_dSpeedX, v);
    EXPECT_EQ(hero.m_dAccelX, 0.0);
    EXPECT_EQ(hero.m_nFloorTime, N - 1);
    hero.m_lpStandBlock = nullptr;
    for (int32_t i = 1; i < N; ++i) ApplyContactAction(&hero);
    EXPECT_DOUBLE_EQ(hero.m_dSpeedX, v * N);
    EXPECT_EQ(hero.m_nFloorTime, 0);
    EXPECT_EQ(hero.m_dSpeedY, 1.0);   // pressed back so that the block acts again
    ApplyContactAction(&hero);
    EXPECT_DOUBLE_EQ(hero.m_dSpeedX, v * N);
}

TEST_F(RuleContactTest, ContactActionsOfTheStandingBlock)
{
    cHero& hero = Player[0];
    BLOCKCELL& cell = BlockMap[BlockMap.IndexOf(12, 13)];
    cell.m_Block.m_nHit = 1;
    hero.m_lpStandBlock = &cell;

    cell.m_Block.m_nEffect = 1;   // jump of 4 half blocks
    cell.m_Block.m_nEffectValue = 4;
    hero.m_bJumpReady = 1;
    ApplyContactAction(&hero);
    EXPECT_EQ(hero.m_dSpeedY, JumpSpeedForHalfBlocks(4, &hero));
    EXPECT_EQ(hero.m_nJumpHeld, FramesToApex(hero.m_dSpeedY));
    EXPECT_EQ(hero.m_bJumping + hero.m_bJumpEnded, 2);
    EXPECT_EQ(hero.m_bJumpReady, 0);

    cell.m_Block.m_nEffect = 2;   // no jumping
    ApplyContactAction(&hero);
    EXPECT_EQ(hero.m_bNoJump, 1);
    cell.m_Block.m_nEffect = 0;
    ApplyContactAction(&hero);
    EXPECT_EQ(hero.m_bNoJump, 0);

    cell.m_Block.m_nEffect = 3;   // speed 50 %
    cell.m_Block.m_nEffectValue = 50;
    hero.m_dSpeedX = 2.0;
    ApplyContactAction(&hero);
    EXPECT_EQ(hero.m_dSpeedX, 1.0);

    // A block that does not hit the hero's faction does nothing; neither does a flying hero.
    hero.m_nFloorTime = 0;
    cell.m_Block.m_nHitExcept = static_cast<int8_t>(hero.m_nFaction);
    ApplyContactAction(&hero);
    EXPECT_EQ(hero.m_dSpeedX, 1.0);
    cell.m_Block.m_nHitExcept = -1;
    hero.m_bFlying = 1;
    ApplyContactAction(&hero);
    EXPECT_EQ(hero.m_dSpeedX, 1.0);
}

TEST_F(RuleContactTest, BlockItemsWaitASecondUnlessAnotherBlockIsLandedOn)
{
    g_Stage.m_vPaletteItem.assign(2, cEdItem());
    g_Stage.m_vPaletteItem[1].m_nGraphicIndex = 5;
    cHero& hero = Player[0];
    BLOCKCELL& first = BlockMap[BlockMap.IndexOf(12, 13)];
    BLOCKCELL& second = BlockMap[BlockMap.IndexOf(13, 13)];
    for (BLOCKCELL* lpCell : {&first, &second}) {
        lpCell->m_Block.m_nHit = 1;
        lpCell->m_Block.m_nItemFrom = 2;
        lpCell->m_Block.m_nItem = 1;
    }
    const int32_t N = g_Stage.m_nSubSteps;
    hero.m_lpStandBlock = hero.m_lpLandBlock = hero.m_lpPrevStandBlock = &first;
    EXPECT_EQ(TakeBlockItem(&hero), 0);
    EXPECT_EQ(hero.m_bBlockItemTaken, N * 60 - 1);
    EXPECT_EQ(TakeBlockItem(&hero), 0);
    EXPECT_EQ(hero.m_bBlockItemTaken, N * 60 - 2);
    hero.m_lpStandBlock = hero.m_lpLandBlock = &second;
    hero.m_dSpeedY = 0.0;
    EXPECT_EQ(TakeBlockItem(&hero), 0);
    EXPECT_EQ(hero.m_bBlockItemTaken, 0);
    EXPECT_EQ(hero.m_dSpeedY, 1.0);
    hero.m_lpPrevStandBlock = &second;
    EXPECT_EQ(TakeBlockItem(&hero), 0);   // taken at once from the new block
    EXPECT_EQ(hero.m_bBlockItemTaken, N * 60 - 1);
    hero.m_bAirborne = 1;
    EXPECT_EQ(TakeBlockItem(&hero), 0);
    EXPECT_EQ(hero.m_bBlockItemTaken, 0);
    // An item index outside the palette names nothing.
    hero.m_bAirborne = 0;
    first.m_Block.m_nItem = 9;
    hero.m_lpStandBlock = hero.m_lpPrevStandBlock = hero.m_lpLandBlock = &first;
    EXPECT_EQ(TakeBlockItem(&hero), 0);
    EXPECT_EQ(hero.m_bBlockItemTaken, 0);
}

}  // namespace
