// Block characters: side pushes, squeezing and crushing, landing and riding, head bumps, the
// flying modes, and the hero collecting items by touch.
#include <gtest/gtest.h>

#include <algorithm>

#include "objects/Chara.h"
#include "objects/Hero.h"
#include "objects/Item.h"
#include "stage/BlockCharaRules.h"
#include "stage/CharaList.h"
#include "stage/ItemList.h"
#include "tests/play/ObjectCoreSupport.h"

namespace {

class RuleBlockCharaTest : public cObjectCoreFixture {
public:
    void SetUp() override
    {
        cObjectCoreFixture::SetUp();
        BlockMap.ClearCells();
        m_Chara.m_nKey = 100;
        m_Chara.m_nSide = 1;
    }
    // A block character at rest whose previous box is its box.
    static cChara& AddBlock(int32_t nKey, double x, double y, int32_t w = 32, int32_t h = 32)
    {
        cChara b;
        b.m_Def.m_bCellBox = 1;
        b.m_nKey = nKey;
        b.m_bAppeared = 1;
        b.m_dX = b.m_dPrevX = x;
        b.m_dY = b.m_dPrevY = y;
        b.m_dRight = b.m_dPrevRight = x + w - 1;
        b.m_dBottom = b.m_dPrevBottom = y + h - 1;
        return CharaList.Append(b);
    }
    void Place(double x, double y)
    {
        m_Chara.SetBox(x, y);
        m_Chara.OnMovedX();
        m_Chara.OnMovedY();
        m_Chara.SavePreviousPosition();
    }
    int32_t Push() { return PushByBlockCharacters(&m_Chara, CharaList); }
    cCoreTestChara m_Chara;
};

TEST_F(RuleBlockCharaTest, WalkingIntoABlockCharacterStopsHalfAPixelShort)
{
    struct Case {
        double dBlockX, dSpeedX, dExpectedX;
        int32_t bLeft, bRight;
    };
    const Case cases[] = {{420, 1.0, 420 - 32 - 0.5, 0, 1}, {380, -1.0, 380 + 31 + 1.5, 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dBlockX);
        ClearStageObjects(m_State);
        AddBlock(1, c.dBlockX, 400);
        Place(400, 400);
        m_Chara.ClearContactFlags();
        m_Chara.m_bBumped = 0;
        m_Chara.m_dSpeedX = c.dSpeedX;
        EXPECT_EQ(Push(), 0);
        EXPECT_EQ(m_Chara.m_dX, c.dExpectedX);
        EXPECT_EQ(m_Chara.m_bContactLeft, c.bLeft);
        EXPECT_EQ(m_Chara.m_bContactRight, c.bRight);
        EXPECT_EQ(m_Chara.m_bBumped, 1);
    }
}

TEST_F(RuleBlockCharaTest, CaughtBetweenTwoBlockCharactersIsDeath)
{
    AddBlock(1, 380, 400);
    AddBlock(2, 420, 400);
    Place(400, 400);
    EXPECT_EQ(Push(), 2);
}

TEST_F(RuleBlockCharaTest, UpperHalfCaughtFromBothSidesGoesUnderTheFirst)
{
    AddBlock(1, 380, 400, 32, 10);
    AddBlock(2, 420, 400, 32, 10);
    Place(400, 400);
    EXPECT_EQ(Push(), 0);
    EXPECT_EQ(m_Chara.m_dX, 400.0);
    EXPECT_EQ(m_Chara.m_dY, 410.0);
    EXPECT_EQ(m_Chara.m_bContactLeft + m_Chara.m_bContactRight, 0);
    EXPECT_EQ(m_Chara.m_bJumping, 1);
}

TEST_F(RuleBlockCharaTest, FallingOntoABlockCharacterLandsAndRides)
{
    struct Case {
        double dY, dPrevY;   // a shallow landing (feet only) and a fast one (upper half)
    };
    for (const Case& c : {Case{380, 370}, Case{395, 380}}) {
        SCOPED_TRACE(c.dY);
        ClearStageObjects(m_State);
        cChara& b = AddBlock(7, 400, 400);
        Place(400, c.dY);
        m_Chara.m_dPrevY = c.dPrevY;
        m_Chara.m_dPrevBottom = c.dPrevY + 31;
        m_Chara.m_bRiding = 0;
        m_Chara.m_dSpeedY = 3.0;
        EXPECT_EQ(Push(), 0);
        EXPECT_EQ(m_Chara.m_dY, 368.0);
        EXPECT_EQ(m_Chara.m_dSpeedY, 0.0);
        EXPECT_EQ(m_Chara.m_bRiding, 1);
        EXPECT_EQ(m_Chara.m_nRiddenKey, 7);

        // Standing on it, the ride goes on; the rider follows its displacement.
        m_Chara.SavePreviousPosition();
        EXPECT_EQ(Push(), 0);
        EXPECT_EQ(m_Chara.m_bRiding, 1);
        b.m_dX += 3.0;
        b.m_dRight += 3.0;
        m_Chara.m_dSpeedX = 0.0;
        EXPECT_EQ(FollowRiddenCharacter(&m_Chara, CharaList), 0);
        EXPECT_EQ(m_Chara.m_dSpeedX, 3.0);

        // When it has gone from under the feet, the ride ends.
        b.m_dX += 100.0;
        b.m_dRight += 100.0;
        EXPECT_EQ(StillOnRidden(&m_Chara), 0);
        EXPECT_EQ(Push(), 0);
        EXPECT_EQ(m_Chara.m_bRiding, 0);
    }
}

TEST_F(RuleBlockCharaTest, OfTwoBlockCharactersUnderneathTheHigherTopWins)
{
    AddBlock(1, 400, 400);
    AddBlock(2, 410, 390);
    Place(400, 370);
    m_Chara.m_dPrevY = 360;
    m_Chara.m_dSpeedY = 1.0;
    EXPECT_EQ(Push(), 0);
    EXPECT_EQ(m_Chara.m_dY, 390.0 - 32);
    EXPECT_EQ(m_Chara.m_nRiddenKey, 2);
}

TEST_F(RuleBlockCharaTest, HeadBumpByARisingBlockCharacterUnlessBlocked)
{
    for (int8_t nHit : {int8_t(0), int8_t(1)}) {
        SCOPED_TRACE(int(nHit));
        ClearStageObjects(m_State);
        BlockMap[BlockMap.IndexOf(13, 13)].m_Block.m_nHit = nHit;
        cChara& b = AddBlock(1, 400, 380);
        b.m_dSpeedY = -2.0;
        Place(400, 405);
        m_Chara.m_dSpeedY = -3.0;
        EXPECT_EQ(Push(), 0);
        EXPECT_EQ(m_Chara.m_dY, nHit == 0 ? 412.0 : 405.0);
        EXPECT_EQ(m_Chara.m_dSpeedY, nHit == 0 ? -2.0 : -3.0);
    }
}

TEST_F(RuleBlockCharaTest, FlyingModes)
{
    struct Case {
        int8_t nMode;
        int32_t nResult;
        double dExpectedX;
    };
    const Case cases[] = {{0, 0, 400}, {1, 0, 420 - 32}, {2, 2, 400}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.nMode));
        ClearStageObjects(m_State);
        AddBlock(1, 420, 400);
        Place(400, 400);
        m_Chara.ClearContactFlags();
        m_Chara.m_bFlying = 1;
        m_Chara.m_nBlockMode = c.nMode;
        EXPECT_EQ(Push(), c.nResult);
        EXPECT_EQ(m_Chara.m_dX, c.dExpectedX);
        const double aBox[4] = {400, 400, 431, 431};
        EXPECT_EQ(CrushedByBlockCharacters(&m_Chara, aBox), 0);
    }
}

TEST_F(RuleBlockCharaTest, CrushedWhenEveryCornerIsInsideABlockCharacter)
{
    AddBlock(1, 380, 380, 40, 80);   // covers the left corners
    Place(400, 400);
    const double aStart[4] = {400, 400, 431, 431};
    EXPECT_EQ(CrushedByBlockCharacters(&m_Chara, aStart), 0);
    AddBlock(2, 425, 380, 40, 80);   // and the right ones
    EXPECT_EQ(CrushedByBlockCharacters(&m_Chara, aStart), 1);
    // A corner counts when it is inside at the start or now.
    const double aElsewhere[4] = {0, 0, 31, 31};
    EXPECT_EQ(CrushedByBlockCharacters(&m_Chara, aElsewhere), 1);
    EXPECT_EQ(FindBlockCharacterBelow(&m_Chara)->m_nKey, 1);
}

class RuleItemPickupTest : public cObjectCoreFixture {
public:
    void SetUp() override
    {
        cObjectCoreFixture::SetUp();
        Player[0].m_nHP = 10;   // item commands end in a death for a hero without HP
    }
    static cItem& AddItem(int32_t nKey, int8_t nTakeMode, double x)
    {
        cItem item;
        item.m_nKey = nKey;
        item.m_bAppeared = 1;
        item.m_Rec.m_nGraphicIndex = 3;
        item.m_Rec.m_nTakeMode = nTakeMode;
        item.m_dX = x;
        item.m_dY = 400;
        item.m_dRight = x + 27;
        item.m_dBottom = 427;
        return ItemList.Append(item);
    }
    static void SetItemBox(cHero& hero, double x)
    {
        hero.m_ItemBox.m_dLeft = x;
        hero.m_ItemBox.m_dTop = 400;
        hero.m_ItemBox.m_dRight = x + 15;
        hero.m_ItemBox.m_dBottom = 415;
    }
};

TEST_F(RuleItemPickupTest, TouchTakesItemsByTheirTakeMode)
{
    cHero& hero = Player[0];
    cItem& once = AddItem(1, 0, 400);
    cItem& again = AddItem(2, 1, 400);
    cItem& never = AddItem(3, 2, 400);
    cItem& hidden = AddItem(4, 0, 400);
    hidden.m_bAppeared = 0;
    cItem& carried = AddItem(5, 0, 400);
    carried.m_bCarried = 1;
    SetItemBox(hero, 410);
    auto touching = [&](int32_t nKey) {
        return std::count(hero.m_lTouchedItems.begin(), hero.m_lTouchedItems.end(), nKey);
    };

    EXPECT_EQ(CollectItems(&hero), 0);
    EXPECT_EQ(once.m_bGone, 1);
    EXPECT_EQ(again.m_bGone + never.m_bGone + hidden.m_bGone + carried.m_bGone, 0);
    EXPECT_EQ(touching(2), 1);
    EXPECT_EQ(touching(3) + touching(4) + touching(5), 0);

    // Standing on an item that can be taken again does not take it again...
    EXPECT_EQ(CollectItems(&hero), 0);
    EXPECT_EQ(touching(2), 1);
    // ...until the hero has left it.
    SetItemBox(hero, 500);
    EXPECT_EQ(CollectItems(&hero), 0);
    EXPECT_EQ(touching(2), 0);
    EXPECT_EQ(ItemList.Count(), 4);
}

TEST_F(RuleItemPickupTest, NothingIsTakenFromAnEmptySlot)
{
    cItem item;
    item.m_bAppeared = 1;
    EXPECT_EQ(TakeItem(&item, &Player[0]), 0);
    EXPECT_EQ(TakeItem(nullptr, &Player[0]), 0);
    EXPECT_EQ(TakeItem(&item, nullptr), 0);
}

}  // namespace
