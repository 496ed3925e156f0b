// The object base and the character core: set-up, scale changes, HP and SP with their gauges,
// invincibility, damage, defeat and its links, the conditions judged on a character and the
// choice among animation requests.
#include <gtest/gtest.h>

#include <climits>

#include "data/EdAnime.h"
#include "data/EdCondition.h"
#include "data/EdDatabase.h"
#include "data/EdSystem.h"
#include "frontend/SaveData.h"
#include "objects/Chara.h"
#include "objects/Item.h"
#include "objects/Motion.h"
#include "objects/Shot.h"
#include "stage/CharaList.h"
#include "tests/play/ObjectCoreSupport.h"

namespace {

using ObjectCoreCharaTest = cObjectCoreFixture;

TEST_F(ObjectCoreCharaTest, SetupGraphicsStoresSizesTwiceAndTheFlyKind)
{
    struct Case {
        int32_t nFlyKind;
        int32_t bFlying;
        int8_t nBlockMode;
    };
    // Kinds 4 and more leave what was there (here: flying, mode 2).
    const Case cases[] = {{0, 0, 1}, {1, 1, 0}, {2, 1, 1}, {3, 1, 2}, {4, 1, 2}, {-1, 1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nFlyKind);
        cCoreTestChara o;
        o.m_bFlying = 1;
        o.m_nBlockMode = 2;
        o.m_dSpeedX = o.m_dAccelY = 3.0;
        o.m_bAppeared = o.m_bOnScreen = 1;
        o.m_bAppearLatch = 1;
        o.SetupGraphics(7, 1, 2, 3, 44, nullptr, 0, 4, 6, 24, 26, 32, 32, 1, c.nFlyKind, 5, nullptr);
        EXPECT_EQ(o.m_bFlying, c.bFlying);
        EXPECT_EQ(o.m_nBlockMode, c.nBlockMode);
        EXPECT_EQ(o.m_nKey, 7);
        EXPECT_EQ(o.m_nLifeTime, INT32_MAX);
        EXPECT_EQ(o.m_nSide + o.m_nSubKind + o.m_nFaction, 6);
        EXPECT_EQ(o.m_nGraphic, 44);
        EXPECT_EQ(o.m_nOffsetX + o.m_nBaseOffsetX, 8);
        EXPECT_EQ(o.m_nHitHeight + o.m_nBaseHitHeight, 52);
        EXPECT_EQ(o.m_nDir, 1);
        EXPECT_EQ(o.m_nFormationIndex, 5);
        EXPECT_EQ(o.m_dSpeedX + o.m_dAccelY, 0.0);
        EXPECT_EQ(o.m_bAppeared + o.m_bOnScreen + o.m_bAppearLatch, 0);
    }
}

TEST_F(ObjectCoreCharaTest, SetupGraphicsBuildsTheAnimationAtItsFirstPattern)
{
    static const int32_t a[] = {3, 4, 1, -2, 0, 1};
    static const int32_t b[] = {8, 2, 1, -2, 0, 1};
    const int32_t* const list[] = {a, b, nullptr};
    cCoreTestChara o;
    o.SetupGraphics(1, 0, 0, 0, 0, list, 1, 0, 0, 16, 16, 16, 16, 0, 1, 0, nullptr);
    EXPECT_EQ(o.m_Anime.m_vPatterns.size(), 2u);
    EXPECT_EQ(o.m_Anime.m_nPattern, 1);
    EXPECT_EQ(o.m_Anime.GetFrame(), 8);
}

TEST_F(ObjectCoreCharaTest, SetScaleScalesFromTheTemplatesAndKeepsTheFeet)
{
    for (int32_t bKeepsBox : {0, 1}) {
        SCOPED_TRACE(bKeepsBox);
        g_System.m_bLegacy261 = bKeepsBox;
        cCoreTestChara c;
        c.SetupGraphics(1, 1, 0, 1, 0, nullptr, 0, 4, 6, 24, 20, 32, 32, 0, 0, 0, nullptr);
        c.m_dX = 500.0;
        c.m_dY = 500.0;
        c.ClampX(2);
        c.ClampY(2);
        const double dFeet = c.m_dY - c.m_nOffsetY + c.m_nHeight;   // the graphic cell's bottom
        const double dBoxBottom = c.m_dBottom;
        const double dCentre = c.m_dX + c.m_nHitWidth / 2;

        c.SetScale(1, 1);
        EXPECT_EQ(c.m_dX, 500.0);
        EXPECT_EQ(c.m_nHitWidth, 24);

        c.SetScale(2, 1);
        EXPECT_EQ(c.m_nHitWidth, 48);
        EXPECT_EQ(c.m_nHitHeight, 40);
        EXPECT_EQ(c.m_nOffsetX, 8);
        EXPECT_EQ(c.m_nOffsetY, 12);
        EXPECT_EQ(c.m_nWidth, 64);
        EXPECT_EQ(c.m_nHeight, 64);
        EXPECT_EQ(c.m_dX, 488.0);
        EXPECT_EQ(c.m_dX + c.m_nHitWidth / 2, dCentre);
        if (bKeepsBox != 0)
            EXPECT_EQ(c.m_dBottom, dBoxBottom);
        else
            EXPECT_EQ(c.m_dY - c.m_nOffsetY + c.m_nHeight, dFeet);
        EXPECT_EQ(c.m_dBottom, c.m_dY + c.m_nHitHeight - 1);
    }
    g_System.m_bLegacy261 = 0;
}

TEST_F(ObjectCoreCharaTest, MovingToACentreUsesTheGraphicRectangle)
{
    cCoreTestChara c;
    c.SetBox(500.0, 500.0);
    c.m_nLeft = 100;
    c.m_nTop = 50;
    c.MoveCenterXTo(130);   // centre 116: 14 to the right
    EXPECT_EQ(c.m_dX, 514.0);
    c.MoveCenterYTo(60);    // centre 66: 6 up
    EXPECT_EQ(c.m_dY, 494.0);
    EXPECT_EQ(c.m_dBottom, 525.0);   // the character's own move handler ran

    cCommandInstance inst;
    inst.m_nMoveWord[0] = inst.m_nMoveWord[3] = 9;
    c.MoveCenterToResetMove(116, 66, &inst);
    EXPECT_EQ(inst.m_nMoveWord[0] + inst.m_nMoveWord[3], 0);

    // Items and shots have no centre move.
    cItem item;
    item.m_dX = 10.0;
    item.m_nWidth = 32;
    item.MoveCenterXTo(300);
    EXPECT_EQ(item.m_dX, 10.0);
    cShot shot;
    shot.m_dY = 10.0;
    shot.m_nHeight = 16;
    shot.MoveCenterYTo(300);
    EXPECT_EQ(shot.m_dY, 10.0);
}

TEST_F(ObjectCoreCharaTest, AddHPRespectsInvincibilityAndTheMaximum)
{
    struct Case {
        int32_t nHP, nMax;
        int8_t nInvincible;
        int32_t nDelta, bForced;
        int32_t nExpectedHP, nResult;
    };
    const Case cases[] = {
        {20, 30, 1, -5, 0, 20, 0},        // "無敵": no loss
        {20, 30, 1, -5, 1, 15, 0},        // forced: lost anyway
        {20, 30, 1, 5, 0, 25, 0},         // healing is not blocked
        {20, 30, 0, 100, 0, 30, 0},       // cut to the maximum
        {5, 30, 0, -5, 0, 0, 1},          // reaching 0 is death
        {5, 30, 0, -50, 0, 0, 1},
        {5, 30, 0, INT_MIN, 0, 0, 1},
        {30, 30, 0, INT_MAX, 0, 30, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nHP << " " << c.nDelta);
        cCoreTestChara chara;
        chara.m_nHP = c.nHP;
        chara.m_Def.m_nMaxHP = c.nMax;
        chara.m_Def.m_nInvincible = c.nInvincible;
        EXPECT_EQ(chara.AddHP(c.nDelta, c.bForced, 1), c.nResult);
        EXPECT_EQ(chara.m_nHP, c.nExpectedHP);
    }
}

TEST_F(ObjectCoreCharaTest, GaugesShowTheChangeInBarPixels)
{
    cCoreTestChara c;
    c.m_Def.m_nMaxHP = 30;
    c.m_nHP = 20;
    c.AddHP(100, 0, 1);   // 10 missing: adds 10
    EXPECT_EQ(c.m_HPGauge.m_nFramesLeft, 120);
    EXPECT_EQ(c.m_HPGauge.m_nBarLength, 50);
    EXPECT_DOUBLE_EQ(c.m_HPGauge.m_dChange, 10.0 * 50 / 30);
    EXPECT_DOUBLE_EQ(c.m_HPGauge.m_dStep, 10.0 * 50 / 30 * 0.016666666666666666);

    cCoreTestChara hurt;
    hurt.m_Def.m_nMaxHP = 40;
    hurt.m_nHP = 40;
    hurt.AddHP(-3, 0, 1);
    EXPECT_EQ(hurt.m_HPGauge.m_nBarLength, 37 * 50 / 40);
    EXPECT_DOUBLE_EQ(hurt.m_HPGauge.m_dChange, -3.0 * 50 / 40);

    // Death shows no gauge; a gauge without its switch, a change of 0 or a maximum of 0 neither.
    cCoreTestChara dead;
    dead.m_Def.m_nMaxHP = 10;
    dead.m_nHP = 2;
    EXPECT_EQ(dead.AddHP(-9, 0, 1), 1);
    EXPECT_EQ(dead.m_HPGauge.m_nFramesLeft, 0);
    cCoreTestChara quiet;
    quiet.m_Def.m_nMaxHP = 10;
    quiet.m_nHP = 5;
    quiet.AddHP(-1, 0, 0);
    quiet.ShowHPGauge(0);
    EXPECT_EQ(quiet.m_HPGauge.m_nFramesLeft, 0);
    cCoreTestChara none;
    none.m_Def.m_nMaxSP = 0;
    none.m_Def.m_nMaxHP = 0;
    none.ShowSPGauge(5);
    none.ShowHPGauge(5);
    EXPECT_EQ(none.m_SPGauge.m_nFramesLeft + none.m_HPGauge.m_nFramesLeft, 0);
}

TEST_F(ObjectCoreCharaTest, AddSPStaysWithinItsRangeAndIsNoDeath)
{
    cCoreTestChara c;
    c.m_Def.m_nMaxSP = 20;
    c.m_nSP = 15;
    EXPECT_EQ(c.AddSP(10, 1), 0);
    EXPECT_EQ(c.m_nSP, 20);
    EXPECT_DOUBLE_EQ(c.m_SPGauge.m_dChange, 5.0 * 50 / 20);
    EXPECT_EQ(c.AddSP(-50, 0), 0);
    EXPECT_EQ(c.m_nSP, 0);
}

TEST_F(ObjectCoreCharaTest, InvincibilityCountsDownPerSubStep)
{
    g_Stage.SetSpeedLevel(2);
    g_Stage.m_nHitRepeat1 = 1;   // player side: attacker kept b x 1
    g_Stage.m_nInvincible1 = 3;
    g_Stage.m_nHitRepeat2 = 4;
    g_Stage.m_nInvincible2 = 0;
    cCoreTestChara hero, enemy;
    hero.m_nSide = 0;
    enemy.m_nSide = 1;
    hero.StartInvincibility(77);
    enemy.StartInvincibility(77);
    EXPECT_EQ(hero.m_nInvincible, 6);
    EXPECT_EQ(enemy.m_nInvincible, 0);
    EXPECT_EQ(enemy.IsInvincible(), 0);
    EXPECT_EQ(enemy.IsInvincibleTo(77), 1);
    EXPECT_EQ(enemy.IsInvincibleTo(78), 0);

    // An entry with 1 sub-step left still protects, and is gone after the next count-down.
    for (int32_t i = 0; i < 7; ++i) enemy.CountDownInvincibility();
    ASSERT_EQ(enemy.m_lHitAttackers.size(), 1u);
    EXPECT_EQ(enemy.m_lHitAttackers.front().m_nStepsLeft, 1);
    EXPECT_EQ(enemy.IsInvincibleTo(77), 1);
    enemy.CountDownInvincibility();
    EXPECT_EQ(enemy.IsInvincibleTo(77), 0);
    EXPECT_TRUE(enemy.m_lHitAttackers.empty());

    for (int32_t i = 0; i < 10; ++i) hero.CountDownInvincibility();
    EXPECT_EQ(hero.m_nInvincible, 0);
}

TEST_F(ObjectCoreCharaTest, ContactDamageIsPowerLessDefence)
{
    struct Case {
        int32_t nPower, nDefence, nHP;
        int32_t nExpectedHP;
    };
    const Case cases[] = {
        {10, 3, 50, 43}, {3, 10, 50, 50}, {0, 0, 50, 50}, {-7, 3, 40, 47},
        {INT_MAX, -5, 50, 0}, {INT_MIN, 0, 50, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nPower << " " << c.nDefence);
        cCoreTestChara attacker, victim;
        attacker.m_Def.m_nPower = c.nPower;
        victim.m_Def.m_nDef = c.nDefence;
        victim.m_Def.m_nMaxHP = 100;
        victim.m_nHP = c.nHP;
        const int32_t r = victim.TakeContactDamage(&attacker);
        EXPECT_EQ(victim.m_nHP, c.nExpectedHP);
        EXPECT_EQ(r, c.nExpectedHP == 0 ? 1 : 0);
    }
}

TEST_F(ObjectCoreCharaTest, ContactWithoutPowerStillPushesAndShowsTheHitEffect)
{
    cCoreTestChara attacker, victim;
    attacker.m_Def.m_nPower = 0;
    attacker.m_Def.m_nImp = 3;
    attacker.m_Def.m_nFlying = 1;
    attacker.m_Def.m_nHitEffect = 2;
    attacker.m_dSpeedX = 2.0;
    victim.m_Def.m_nMaxHP = 10;
    victim.m_nHP = 10;
    EXPECT_EQ(victim.TakeContactDamage(&attacker), 0);
    EXPECT_EQ(victim.m_nHP, 10);
    EXPECT_GT(victim.m_dForceX, 0.0);
    EXPECT_EQ(victim.m_bKnocked, 1);
    EXPECT_EQ(m_State.m_EffectList.Count(), 1);

    // A walker's fall below 8b gravity steps does not push down.
    cCoreTestChara walker, target;
    walker.m_Def.m_nImp = 3;
    walker.m_dSpeedY = 7.0;
    target.m_Def.m_nMaxHP = 10;
    target.m_nHP = 10;
    target.TakeContactDamage(&walker);
    EXPECT_EQ(target.m_dForceX, 0.0);
    EXPECT_EQ(target.m_dForceY, 0.0);
}

TEST_F(ObjectCoreCharaTest, ShotDamageUsesTheShotsRecordAndASwordPushesByItsFacing)
{
    cShot sword;
    sword.m_bIsShot = 0;
    sword.m_nDir = 0;
    sword.m_Rec.m_nPower = 6;
    sword.m_Rec.m_nImpact = 2;
    cCoreTestChara victim;
    victim.m_Def.m_nMaxHP = 10;
    victim.m_nHP = 10;
    victim.m_Def.m_nDef = 1;
    EXPECT_EQ(victim.TakeShotDamage(&sword), 0);
    EXPECT_EQ(victim.m_nHP, 5);
    EXPECT_LT(victim.m_dForceX, 0.0);
    EXPECT_EQ(victim.m_dForceY, 0.0);
    EXPECT_EQ(m_State.m_EffectList.Count(), 0);
}

TEST_F(ObjectCoreCharaTest, DefeatUnlinksScoresAndStartsTheDefeatEffect)
{
    g_SaveData.nScore = 999990;
    cChara victimTemp;
    victimTemp.m_nKey = 1;
    victimTemp.m_Def.m_nScore = 50;
    victimTemp.m_lpTarget = &Player[0];
    cChara& victim = CharaList.Append(victimTemp);
    victim.RegisterLinks();
    cChara hunterTemp;
    hunterTemp.m_nKey = 2;
    hunterTemp.m_lpTarget = &victim;
    cChara& hunter = CharaList.Append(hunterTemp);
    hunter.RegisterLinks();
    cShot shotTemp;
    shotTemp.m_lpTargetChara = &victim;
    cShot* lpShot = AddShotToStage(m_State.m_ShotList, shotTemp);
    lpShot->RegisterLinks();

    EXPECT_EQ(victim.Defeat(), 0);
    EXPECT_EQ(victim.m_bDefeated, 1);
    EXPECT_EQ(g_SaveData.nScore, 999999);
    EXPECT_EQ(victim.m_lpTarget, nullptr);
    EXPECT_FALSE(Player[0].m_vTargetedBy.Contains(&victim));
    EXPECT_EQ(hunter.m_lpTarget, nullptr);
    EXPECT_EQ(lpShot->m_lpTargetChara, nullptr);
    EXPECT_TRUE(victim.m_vTargetedBy.empty());
    EXPECT_TRUE(victim.m_vShots.empty());
    // It stays in its list for its defeat display.
    EXPECT_TRUE(CharaList.Holds(&victim));
    g_SaveData.nScore = 0;
}

TEST_F(ObjectCoreCharaTest, DefeatThatEndsTheStageLeavesTheLinksForTheTeardown)
{
    cChara victimTemp;
    victimTemp.m_lpTarget = &Player[0];
    cChara& victim = CharaList.Append(victimTemp);
    victim.RegisterLinks();
    m_State.m_nResult = 1;
    EXPECT_EQ(victim.Defeat(), 1);
    EXPECT_EQ(victim.m_bDefeated, 0);
    EXPECT_EQ(victim.m_lpTarget, &Player[0]);
    EXPECT_TRUE(Player[0].m_vTargetedBy.Contains(&victim));
    g_SaveData.nScore = 0;
}

TEST_F(ObjectCoreCharaTest, StateConditionsOnItselfOrItsTarget)
{
    cCoreTestChara target;
    target.m_nDir = 1;
    target.m_nSide = 1;
    target.m_bOnScreen = 1;
    struct Case {
        int8_t nOwner, nStatus, nCompare;
        int32_t bTarget;
        int32_t nExpected;
    };
    const Case cases[] = {
        {0, 0, 0, 1, 1},   // itself faces left
        {0, 1, 0, 1, 0},
        {0, 0, 1, 1, 0},   // inverted
        {1, 1, 0, 1, 1},   // the target faces right
        {1, 3, 0, 1, 1},   // a computer character's kept on-screen flag
        {1, 1, 0, 0, 0},   // no target: false
        {1, 1, 1, 0, 0},   // not even inverted
        {0, 2, 0, 1, 1},   // standing: neither jumping nor airborne
        {0, 9, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.nOwner) << " " << int(c.nStatus) << " " << int(c.nCompare));
        cCoreTestChara self;
        self.m_nDir = 0;
        self.m_lpTarget = c.bTarget != 0 ? &target : nullptr;
        cEdCondition cond;
        cond.m_nLeftOwner = c.nOwner;
        cond.m_nLeftStatus = c.nStatus;
        cond.m_nCompare = c.nCompare;
        EXPECT_EQ(self.CheckStateCondition(cond), c.nExpected);
    }

    cCoreTestChara flier;
    flier.m_Def.m_nFlying = 1;
    cEdCondition standing;
    standing.m_nLeftStatus = 2;
    EXPECT_EQ(flier.CheckStateCondition(standing), 0);
    cCoreTestChara rider;
    rider.m_bAirborne = 1;
    rider.m_bRiding = 1;
    EXPECT_EQ(rider.CheckStateCondition(standing), 1);
}

TEST_F(ObjectCoreCharaTest, ValueConditionsWithoutASubjectOrStatusAreFalse)
{
    cCoreTestChara self;
    cEdCondition cond;
    cond.m_nLeftOwner = 1;   // the target, and there is none
    cond.m_nLeftStatus = 1;
    EXPECT_EQ(self.CheckValueCondition(cond), 0);
    cond.m_nLeftOwner = 0;
    cond.m_nLeftStatus = 0;
    EXPECT_EQ(self.CheckValueCondition(cond), 0);
    cond.m_nLeftOwner = 2;
    cond.m_nLeftStatus = 2;
    EXPECT_EQ(self.CheckValueCondition(cond), 0);
}

TEST_F(ObjectCoreCharaTest, DistanceConditionRangesAlongEachAxis)
{
    // The character's graphic at screen x 100..131, y 200..231; the subject (player 1) is a
    // 32-pixel graphic with its hit box filling it.
    auto judge = [this](int8_t nAxis, int32_t nDir, int32_t nSubjectX, int32_t nSubjectY, int32_t nCompare) {
        cCoreTestChara self;
        self.SetBox(420.0, 520.0);
        self.m_nDir = nDir;
        cHero& subject = Player[0];
        subject.m_nLeft = nSubjectX;
        subject.m_dX = nSubjectX + 320;
        subject.m_dY = nSubjectY + 320;
        subject.m_nRight = nSubjectX + 31;
        subject.m_nTop = nSubjectY;
        subject.m_nBottom = nSubjectY + 31;
        subject.m_nWidth = subject.m_nHeight = 32;
        subject.m_nHitWidth = subject.m_nHitHeight = 32;
        subject.m_nOffsetX = subject.m_nOffsetY = 0;
        cEdCondition cond;
        cond.m_nLeftOwner = 0;
        cond.m_nValue = 4;   // 64 pixels
        cond.m_nRightVarIndex = 0;
        cond.m_nExtra = nAxis;
        cond.m_nCompare = static_cast<int8_t>(nCompare);
        m_State.m_ScrollX.m_dPosition = 320.0;
        m_State.m_ScrollY.m_dPosition = 320.0;
        return self.CheckDistanceCondition(cond);
    };
    struct Case {
        int8_t nAxis;
        int32_t nDir, x, y;
        int32_t nExpected;
    };
    const Case cases[] = {
        // "前" facing right: from the centre (116) to 64 beyond the right edge (116 + 16 + 64).
        {1, 1, 196, 200, 1}, {1, 1, 197, 200, 0}, {1, 1, 85, 200, 1}, {1, 1, 84, 200, 0},
        // facing left the range lies on the left: from 100 - 64 to the centre.
        {1, 0, 5, 200, 1}, {1, 0, 4, 200, 0}, {1, 0, 117, 200, 0},
        // "後" is "前" turned round.
        {2, 1, 5, 200, 1}, {2, 1, 117, 200, 0},
        // "横": both sides.
        {0, 1, 5, 200, 1}, {0, 0, 196, 200, 1}, {0, 0, 197, 200, 0},
        // "縦": 64 above the top to 64 below the bottom; the hit box reaching the cell's bottom
        // is tested by its bottom edge.
        {3, 1, 100, 105, 1}, {3, 1, 100, 104, 0}, {3, 1, 100, 296, 1}, {3, 1, 100, 297, 0},
        // "円": centre distance.
        {6, 1, 160, 200, 1}, {6, 0, 36, 200, 1}, {6, 1, 164, 200, 1}, {6, 1, 165, 200, 0}, {6, 1, 160, 250, 0},
        {7, 1, 100, 200, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "axis " << int(c.nAxis) << " dir " << c.nDir << " at " << c.x << ","
                                        << c.y);
        EXPECT_EQ(judge(c.nAxis, c.nDir, c.x, c.y, 0), c.nExpected);
        if (c.nAxis <= 6) {
            EXPECT_EQ(judge(c.nAxis, c.nDir, c.x, c.y, 1), 1 - c.nExpected);
        }
    }
}

TEST_F(ObjectCoreCharaTest, AnimationRequestsPlayOverTheOwnAnimation)
{
    static const int32_t own[] = {1, 100, 0, -2, 0, 0};
    static const int32_t a[] = {20, 100, 0, -2, 0, 0};
    static const int32_t b[] = {30, 100, 0, -2, 0, 0};
    static const int32_t fin[] = {40, 1, 0, -4, 0, 0};
    const int32_t* const lOwn[] = {own, nullptr};
    const int32_t* const lA[] = {a, nullptr};
    const int32_t* const lB[] = {b, nullptr};
    const int32_t* const lFin[] = {fin, nullptr};
    auto request = [](const int32_t* const* lpList, int32_t bTimed, int32_t nRemaining, int32_t nKey) {
        cAnimeRequest r;
        r.m_Player.Build(lpList);
        r.m_bTimed = bTimed;
        r.m_nRemaining = nRemaining;
        r.m_nKey = nKey;
        return r;
    };
    cCoreTestChara c;
    c.m_Anime.Build(lOwn);
    EXPECT_EQ(c.UpdateAnimation(0), 1);

    // The timed request closest to its end wins over an untimed one met first.
    c.m_lAnimeRequests.push_back(request(lA, 0, 0, 1));
    c.m_lAnimeRequests.push_back(request(lB, 1, 10, 2));
    EXPECT_EQ(c.UpdateAnimation(0), 30);
    EXPECT_EQ(c.m_lAnimeRequests.back().m_nRemaining, 9);
    // Frozen: nothing advances.
    EXPECT_EQ(c.UpdateAnimation(1), 30);
    EXPECT_EQ(c.m_lAnimeRequests.back().m_nRemaining, 9);
    // A held request is passed over and does not count down.
    c.m_lAnimeRequests.back().m_bHold = 1;
    EXPECT_EQ(c.UpdateAnimation(0), 20);
    EXPECT_EQ(c.m_lAnimeRequests.back().m_nRemaining, 9);

    // Once timed requests have run out, the one that ran out last holds its frame.
    cCoreTestChara d;
    d.m_Anime.Build(lOwn);
    d.m_lAnimeRequests.push_back(request(lA, 1, -3, 1));
    d.m_lAnimeRequests.push_back(request(lB, 1, 0, 2));
    EXPECT_EQ(d.UpdateAnimation(1), 30);

    // A finished request is removed.
    cCoreTestChara e;
    e.m_Anime.Build(lOwn);
    e.m_lAnimeRequests.push_back(request(lFin, 1, 5, 1));
    EXPECT_EQ(e.UpdateAnimation(0), 1);
    EXPECT_TRUE(e.m_lAnimeRequests.empty());
}

TEST_F(ObjectCoreCharaTest, AnimationRequestsStopAndHoldByKey)
{
    cCoreTestChara c;
    auto add = [&c](int32_t nKey, int32_t nRemaining, int32_t nFrames) {
        cAnimeRequest r;
        r.m_nKey = nKey;
        r.m_nRemaining = nRemaining;
        r.m_nCommandFrames = nFrames;
        c.m_lAnimeRequests.push_back(r);
    };
    add(1, -5, 3);   // remaining + frames - 1 < 0: removed
    add(1, 0, 2);    // held
    add(2, -9, 0);
    c.StopFinishedAnimeByKey(1);
    ASSERT_EQ(c.m_lAnimeRequests.size(), 2u);
    EXPECT_EQ(c.m_lAnimeRequests.front().m_bHold, 1);
    EXPECT_EQ(c.m_lAnimeRequests.back().m_bHold, 0);
    c.ReleaseAnimeKey(1);
    EXPECT_EQ(c.m_lAnimeRequests.front().m_bHold, 0);
    c.StopAnimeByKey(2);
    EXPECT_EQ(c.m_lAnimeRequests.size(), 1u);
}

class ObjectCoreSetupTest : public cObjectCoreFixture {
public:
    void SetUp() override
    {
        cObjectCoreFixture::SetUp();
        m_vSavedSets = g_Database.m_vAnimeSet;
        g_Database.m_vAnimeSet.resize(2);
        cEdAnimeSet& set = g_Database.m_vAnimeSet[1];
        set.m_vAnimes.resize(2);
        set.m_vAnimes[0].m_vFrames.resize(2);
        set.m_vAnimes[0].m_vFrames[0].m_nFrame = 3;
        set.m_vAnimes[0].m_vFrames[0].m_nTime = 2;
        set.m_vAnimes[0].m_vFrames[1].m_nFrame = 4;
        set.m_vAnimes[0].m_vFrames[1].m_nTime = INT_MAX;
        set.m_vAnimes[1].m_vFrames.clear();
    }
    void TearDown() override
    {
        g_Database.m_vAnimeSet = m_vSavedSets;
        cObjectCoreFixture::TearDown();
    }
    std::vector<cEdAnimeSet> m_vSavedSets;
};

TEST_F(ObjectCoreSetupTest, BasicAnimationSetBecomesLockedLoopingPatterns)
{
    cCoreTestChara c;
    c.m_Anime.m_nPattern = 1;
    c.m_Anime.m_nStep = 1;
    c.SetBasicAnimeSet(1, 1);
    EXPECT_EQ(c.m_Def.m_nAnimeSet, 1);
    ASSERT_EQ(c.m_Anime.m_vPatterns.size(), 2u);
    EXPECT_EQ(c.m_Anime.m_vPatterns[0], (AnimePattern{{3, 12, 1}, {4, INT_MAX, 1}, {-2, 0, 1}}));
    EXPECT_EQ(c.m_Anime.m_vPatterns[1], (AnimePattern{{-2, 0, 1}}));
    EXPECT_EQ(c.m_Anime.m_nPattern, 1);   // the pattern number stays
    EXPECT_EQ(c.m_Anime.m_nStep, 0);

    // Unforced with the same set: nothing is rebuilt.
    c.m_Anime.m_vPatterns.clear();
    c.SetBasicAnimeSet(1, 0);
    EXPECT_TRUE(c.m_Anime.m_vPatterns.empty());
    // A set the database does not have uses set 0.
    c.SetBasicAnimeSet(9, 0);
    EXPECT_EQ(c.m_Def.m_nAnimeSet, 9);
    EXPECT_EQ(c.m_Anime.m_vPatterns.size(), g_Database.m_vAnimeSet[0].m_vAnimes.size());
}

TEST_F(ObjectCoreSetupTest, SetupFromDefinitionStartsFromTheDefinition)
{
    cEdChara def;
    def.m_nMaxHP = 12;
    def.m_nMaxSP = 7;
    def.m_nSight = 3;
    def.m_nStop = 100;
    def.m_bScrollSync = 1;
    def.m_nAnimeSet = 1;
    def.m_vFlow.resize(2);
    cChara c;
    c.m_vTargetedBy.push_back(&Player[0]);
    c.m_nInvincible = 5;
    c.m_lHitAttackers.push_back({3, 3});
    c.m_lAnimeRequests.emplace_back();
    c.m_bRemoved = c.m_bDefeated = 1;
    c.SetupFromDefinition(&def, 40.0, 50.0, 3);
    EXPECT_EQ(c.m_nFormationIndex, 3);
    EXPECT_TRUE(c.m_vTargetedBy.empty());
    // Only the outgoing side: the spawner registers the stored character.
    EXPECT_EQ(c.m_lpTarget, &Player[0]);
    EXPECT_FALSE(Player[0].m_vTargetedBy.Contains(&c));
    EXPECT_EQ(c.m_vFlowIdRunning.size(), 27u);
    EXPECT_EQ(c.m_vFlowIdStarted.size(), 27u);
    EXPECT_EQ(c.m_vVar.size(), 9u);
    EXPECT_EQ(c.m_dStartX + c.m_dStartY, 90.0);
    EXPECT_EQ(c.m_bAirborne, 1);
    EXPECT_EQ(c.m_nLastWallSide, -1);
    EXPECT_EQ(c.m_nHP, 12);
    EXPECT_EQ(c.m_nSP, 7);
    EXPECT_EQ(c.m_Def.m_vFlow.size(), 2u);
    EXPECT_EQ(c.m_bScreenFixed, 1);
    EXPECT_EQ(c.m_nSightRadius, 48);
    EXPECT_DOUBLE_EQ(c.m_dStop, 1.0);
    EXPECT_EQ(c.m_bRemoved + c.m_bDefeated + c.m_nInvincible, 0);
    EXPECT_TRUE(c.m_lHitAttackers.empty());
    EXPECT_TRUE(c.m_lAnimeRequests.empty());
    EXPECT_EQ(c.m_Anime.m_vPatterns.size(), 2u);
}

TEST_F(ObjectCoreSetupTest, FlowInstancesFollowTheirDefinitions)
{
    cCoreTestChara c;
    c.m_Def.m_vFlow.resize(3);
    for (int32_t i = 0; i < 3; ++i) {
        cFlowInstance inst;
        inst.m_nSerial = 10 + i;
        inst.m_bTriedThisFrame = inst.m_bStartedThisFrame = 1;
        c.AddFlowInstance(inst);
    }
    EXPECT_EQ(c.m_vFlow[2].m_nIndex, 2);
    EXPECT_EQ(c.m_vFlow[2].m_lpFlow, &c.m_Def.m_vFlow[2]);

    cAnimeRequest r;
    r.m_nKey = 11;
    c.m_lAnimeRequests.push_back(r);
    c.RemoveFlowInstance(1);
    ASSERT_EQ(c.m_vFlow.size(), 2u);
    EXPECT_EQ(c.m_Def.m_vFlow.size(), 2u);
    EXPECT_EQ(c.m_vFlow[1].m_nSerial, 12);
    EXPECT_EQ(c.m_vFlow[1].m_nIndex, 1);
    EXPECT_EQ(c.m_vFlow[1].m_lpFlow, &c.m_Def.m_vFlow[1]);
    EXPECT_TRUE(c.m_lAnimeRequests.empty());
    c.RemoveFlowInstance(7);   // nothing to remove
    EXPECT_EQ(c.m_vFlow.size(), 2u);

    c.m_vFlowIdStarted.assign(27, 1);
    c.ResetFlowFlags();
    for (const cFlowInstance& inst : c.m_vFlow) EXPECT_EQ(inst.m_bTriedThisFrame + inst.m_bStartedThisFrame, 0);
    for (int8_t n : c.m_vFlowIdStarted) EXPECT_EQ(n, 0);
}

}  // namespace
