// Items: scale 0 read as 1 (and mended in the definition), carried items at scale 1, and an item
// of scale 2 standing on the bottom of its block's cell, centred on it.
#include <gtest/gtest.h>

#include "data/EdItem.h"
#include "data/EdStage.h"
#include "objects/Item.h"
#include "tests/play/ObjectCoreSupport.h"

namespace {

class ItemTest : public cObjectCoreFixture {
protected:
    void SetUp() override
    {
        cObjectCoreFixture::SetUp();
        g_Stage.m_nItemBoxWidth = 28;
        g_Stage.m_nItemBoxHeight = 28;
    }
    void TearDown() override
    {
        g_Stage.m_nItemBoxWidth = g_Stage.m_nItemBoxHeight = 0;
        cObjectCoreFixture::TearDown();
    }
};

TEST_F(ItemTest, ScaleZeroIsOneAndTheDefinitionIsMended)
{
    cEdItem def;
    def.m_nGiant = 0;
    cItem item;
    item.Init(7, def, 0);
    EXPECT_EQ(def.m_nGiant, 1);
    EXPECT_EQ(item.m_Rec.m_nGiant, 1);
    EXPECT_EQ(item.m_nWidth, 32);
    EXPECT_EQ(item.m_nHitWidth, 28);
    EXPECT_EQ(item.m_nOffsetX, 2);
    EXPECT_EQ(item.m_nKey, 7);
    EXPECT_EQ(item.m_bFlying, 1);
}

TEST_F(ItemTest, CarriedItemKeepsTheSizesOfScaleOne)
{
    cEdItem def;
    def.m_nGiant = 3;
    cItem item;
    item.Init(1, def, 1);
    EXPECT_EQ(item.m_bCarried, 1);
    EXPECT_EQ(item.m_bAppeared, 1);
    EXPECT_EQ(item.m_nWidth, 32);
    EXPECT_EQ(item.m_nHitHeight, 28);
}

TEST_F(ItemTest, ScaleTwoStandsOnTheBottomOfItsCellAndIsCentred)
{
    cEdItem def;
    def.m_nGiant = 2;
    cItem item;
    item.Init(1, def, 0);
    item.SetBlockPosition(3, 4);
    const double dCellLeft = (3 + 10) * 32, dCellTop = (4 + 10) * 32;
    EXPECT_EQ(item.m_nWidth, 64);
    // The 64-pixel graphic: its bottom row is the cell's bottom row.
    EXPECT_EQ(item.m_dY - item.m_nOffsetY + 64 - 1, dCellTop + 31);
    // Its centre lies on the cell's centre (the half pixel of every placement aside).
    EXPECT_EQ(item.m_dX - item.m_nOffsetX + 32, dCellLeft + 16 + 0.5);
}

TEST_F(ItemTest, KeepBottomGrowsUpward)
{
    cItem item;
    item.m_nBaseHitHeight = 28;
    item.m_nBaseOffsetY = 2;
    item.m_nHitHeight = 28;
    item.m_dY = 600;
    EXPECT_EQ(item.KeepBottomOnRescale(2, 2), 2);
    EXPECT_EQ(item.m_dY, 600);
    item.KeepBottomOnRescale(3, 1);
    EXPECT_EQ(item.m_dY, 600 - 2 * 30);
}

TEST(ItemAnimeListTest, TwoFramesOfFifteenTicksThenAgain)
{
    cAnimePlayer player;
    player.Build(ItemAnimeList);
    player.SetPattern(0, 1);
    std::vector<int32_t> frames;
    for (int32_t i = 0; i < 61; ++i) frames.push_back(player.Advance());
    // Fifteen ticks of each frame, in one unbroken run each, repeating every thirty ticks.
    int32_t nZeros = 0, nChanges = 0;
    for (int32_t i = 0; i < 30; ++i) {
        nZeros += frames[static_cast<size_t>(i)] == 0 ? 1 : 0;
        nChanges += frames[static_cast<size_t>(i)] != frames[static_cast<size_t>(i + 1)] ? 1 : 0;
        EXPECT_EQ(frames[static_cast<size_t>(i)], frames[static_cast<size_t>(i + 30)]) << i;
        EXPECT_TRUE(frames[static_cast<size_t>(i)] == 0 || frames[static_cast<size_t>(i)] == 1);
    }
    EXPECT_EQ(nZeros, 15);
    EXPECT_EQ(nChanges, 2);
}

}  // namespace
