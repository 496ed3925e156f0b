#include <gtest/gtest.h>

#include "RecordTestUtil.h"
#include "StageFixtures.h"
#include "data/EdDatabase.h"
#include "data/EdPalette.h"
#include "data/EdStage.h"
#include "data/PaletteInheritance.h"

namespace {

class BlockDefinitionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_Database.SetDefaults();
        g_CommonPalette = cEdPalette();
        g_Stage = cEdStage();
    }
};

}  // namespace

TEST_F(BlockDefinitionTest, DefaultBlockIsWrittenByteForByte)
{
    cEdBlock block;
    EXPECT_EQ(block.m_nHit, 1);
    EXPECT_EQ(block.m_nHitExcept, -1);
    EXPECT_EQ(block.m_vInherit.size(), 11u);
    const Bytes body = SaveBody(block);
    // The graphic index is 0, so validation before saving turns hit kind 1 into 0.
    // 00, 00 00, 00, 00, 00 00, 00, 00 00, 00, 00, 00, 00 00, 00, FF, 00, 00 00 00 00, 00, 00 00, 00
    Bytes expected;
    AppendU32(expected, 18);
    const Bytes fields = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                          0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    ASSERT_EQ(fields.size(), 26u);
    expected.insert(expected.end(), fields.begin(), fields.end());
    AppendU32(expected, 1);
    AppendString(expected, "");
    AppendU32(expected, 0);   // x, y
    AppendFlags(expected, std::vector<int8_t>(11, 0));
    AppendU32(expected, 0);   // conditions
    EXPECT_EQ(body, expected);
    EXPECT_EQ(body, BlockBody(SavedDefaultBlock()));
}

TEST_F(BlockDefinitionTest, ShotSheetCellsMoveUpByOneBeforeVersion219)
{
    struct Case {
        uint32_t nVersion;
        int8_t nKind;
        int16_t nIndex, nExpected;
    };
    for (const Case& c : {Case{218, 3, 5, 6}, Case{218, 3, 119, 119}, Case{219, 3, 5, 5}, Case{218, 0, 5, 5}}) {
        BlockFixture fixture;
        fixture.nGraphicKind = c.nKind;
        fixture.nGraphicIndex = c.nIndex;
        cEdBlock block;
        ASSERT_TRUE(LoadBody(block, BlockBody(fixture), c.nVersion));
        EXPECT_EQ(block.m_nGraphicIndex, c.nExpected) << c.nVersion << " " << int(c.nKind) << " " << c.nIndex;
    }
}

TEST_F(BlockDefinitionTest, EmptyCellIsNeverSolid)
{
    cEdBlock block;
    block.m_nHit = 2;
    block.m_bNoReplace = 1;
    block.Validate();
    EXPECT_EQ(block.m_nHit, 0);
    EXPECT_EQ(block.m_bNoReplace, 0);
    block.m_nGraphicIndex = 4;
    block.m_nHit = 2;
    block.Validate();
    EXPECT_EQ(block.m_nHit, 2);
}

TEST_F(BlockDefinitionTest, InheritsFlaggedGroupsFromItsParent)
{
    g_CommonPalette.m_vBlock.resize(5);
    cEdBlock& parent = g_CommonPalette.m_vBlock[3];
    parent.m_nGraphicKind = 4;
    parent.m_nGraphicIndex = 21;
    parent.m_nGraphicSub = 2;
    parent.m_nLayer = 1;
    parent.m_strName = "parent";

    struct Case {
        int8_t nKind;
        int16_t nParent;
        int16_t nExpectedIndex;
        int8_t nKindAfter;
    };
    // Parent 0 means none; 7 and -1 lie outside a palette of five.
    for (const Case& c : {Case{1, 3, 21, 1}, Case{1, 0, 9, 1}, Case{1, 7, 9, 0}, Case{1, -1, 9, 0}, Case{0, 3, 9, 0},
                          Case{5, 3, 9, 5}}) {
        BlockFixture fixture;
        fixture.nInheritFrom = c.nKind;
        fixture.nParent = c.nParent;
        fixture.nGraphicIndex = 9;
        fixture.vFlags[2] = 1;
        fixture.strName = "own";
        cEdBlock block;
        ASSERT_TRUE(LoadBody(block, BlockBody(fixture)));
        EXPECT_EQ(block.m_nGraphicIndex, c.nExpectedIndex) << int(c.nKind) << " " << c.nParent;
        EXPECT_EQ(block.m_nInheritFrom, c.nKindAfter) << int(c.nKind) << " " << c.nParent;
        EXPECT_EQ(block.m_nParent, c.nParent);
        EXPECT_EQ(block.m_strName, "own");
        EXPECT_EQ(block.m_nLayer, 0);
        if (c.nExpectedIndex == 21) {
            EXPECT_EQ(block.m_nGraphicKind, 4);
        }
        // Validated again (as before saving): kind 0 leaves the index alone.
        block.Validate();
        EXPECT_EQ(block.m_nParent, c.nParent);
    }
}

TEST_F(BlockDefinitionTest, EveryGroupCopiesItsMembersAndExtraFlagsAreIgnored)
{
    g_CommonPalette.m_vBlock.resize(2);
    cEdBlock& parent = g_CommonPalette.m_vBlock[1];
    parent.m_strName = "p";
    parent.m_vCondition.resize(2);
    parent.m_nCondMode = 1;
    parent.m_bCondOnce = 1;
    parent.m_nGraphicIndex = 8;
    parent.m_nLayer = 1;
    parent.m_bHidden = 1;
    parent.m_nBadgeShow = 2;
    parent.m_nBadge = 14;
    parent.m_nHit = 2;
    parent.m_nHitExcept = 5;
    parent.m_nEffect = 3;
    parent.m_nEffectValue = 150;
    parent.m_nItemFrom = 1;
    parent.m_nItem = 1;
    parent.m_bNoReplace = 1;

    BlockFixture fixture;
    fixture.nInheritFrom = 1;
    fixture.nParent = 1;
    fixture.vFlags.assign(15, 1);   // four flags past the table
    cEdBlock block;
    ASSERT_TRUE(LoadBody(block, BlockBody(fixture)));
    EXPECT_EQ(block.m_strName, "p");
    EXPECT_EQ(block.m_vCondition.size(), 2u);
    EXPECT_EQ(block.m_nCondMode, 1);
    EXPECT_EQ(block.m_bCondOnce, 1);
    EXPECT_EQ(block.m_nGraphicIndex, 8);
    EXPECT_EQ(block.m_nLayer, 1);
    EXPECT_EQ(block.m_bHidden, 1);
    EXPECT_EQ(block.m_nBadgeShow, 2);
    EXPECT_EQ(block.m_nBadge, 14);
    EXPECT_EQ(block.m_nHit, 2);
    EXPECT_EQ(block.m_nHitExcept, 5);
    EXPECT_EQ(block.m_nEffect, 3);
    EXPECT_EQ(block.m_nEffectValue, 150);
    EXPECT_EQ(block.m_nItemFrom, 1);
    EXPECT_EQ(block.m_bNoReplace, 1);
    EXPECT_EQ(block.m_vInherit.size(), 15u);
}

TEST_F(BlockDefinitionTest, ItemReferenceOutsideItsPaletteIsCleared)
{
    g_CommonPalette.m_vItem.resize(3);
    g_Stage.m_vPaletteItem.resize(2);
    struct Case {
        int8_t nFrom;
        int16_t nItem;
        int8_t nFromAfter;
        int16_t nItemAfter;
    };
    for (const Case& c : {Case{1, 2, 1, 2}, Case{1, 3, 0, 0}, Case{1, -1, 0, 0}, Case{2, 1, 2, 1}, Case{2, 2, 0, 0},
                          Case{0, 9, 0, 9}, Case{4, 9, 4, 9}}) {
        cEdBlock block;
        block.m_nItemFrom = c.nFrom;
        block.m_nItem = c.nItem;
        block.ValidateItemRef();
        EXPECT_EQ(block.m_nItemFrom, c.nFromAfter) << int(c.nFrom) << " " << c.nItem;
        EXPECT_EQ(block.m_nItem, c.nItemAfter) << int(c.nFrom) << " " << c.nItem;
    }
}

TEST_F(BlockDefinitionTest, RoundTripWithConditions)
{
    cEdBlock source;
    source.m_nX = -3;
    source.m_nY = 700;
    source.m_strName = "ブロック";
    source.m_nGraphicIndex = 12;
    source.m_nEffect = 1;
    source.m_nEffectValue = -5;
    source.m_nHitExcept = 7;
    source.m_vCondition.resize(2);
    source.m_vInherit[10] = 1;
    const Bytes body = SaveBody(source);
    cEdBlock loaded;
    ASSERT_TRUE(LoadBody(loaded, body));
    EXPECT_EQ(loaded.m_nX, -3);
    EXPECT_EQ(loaded.m_nY, 700);
    EXPECT_EQ(loaded.m_strName, "ブロック");
    EXPECT_EQ(loaded.m_nGraphicIndex, 12);
    EXPECT_EQ(loaded.m_nEffectValue, -5);
    EXPECT_EQ(loaded.m_nHitExcept, 7);
    EXPECT_EQ(loaded.m_vCondition.size(), 2u);
    EXPECT_EQ(loaded.m_vInherit[10], 1);
    EXPECT_EQ(SaveBody(loaded), body);

    cEdBlock copy;
    copy = loaded;
    EXPECT_EQ(SaveBody(copy), body);
    copy = copy;
    EXPECT_EQ(SaveBody(copy), body);
}

TEST_F(BlockDefinitionTest, ShortBodiesFail)
{
    BlockFixture fixture;
    fixture.strName = "abc";
    const Bytes body = BlockBody(fixture);
    for (size_t nKeep = 0; nKeep < body.size(); ++nKeep) {
        cEdBlock block;
        EXPECT_FALSE(LoadBody(block, Bytes(body.begin(), body.begin() + static_cast<long>(nKeep)))) << nKeep;
    }
}

TEST_F(BlockDefinitionTest, GetPaletteItemByKindAndIndex)
{
    g_Stage.m_vPaletteItem.resize(3);
    g_Stage.m_vPaletteItem[1].m_strName = "stage item";
    EXPECT_EQ(GetPaletteItem(2, 1), &g_Stage.m_vPaletteItem[1]);
    EXPECT_EQ(GetPaletteItem(2, 0), &g_Stage.m_vPaletteItem[0]);
    EXPECT_EQ(GetPaletteItem(1, 0), &g_CommonPalette.m_vItem[0]);
    EXPECT_EQ(GetPaletteItem(2, 3), nullptr);
    EXPECT_EQ(GetPaletteItem(2, -1), nullptr);
    EXPECT_EQ(GetPaletteItem(0, 1), nullptr);
    EXPECT_EQ(GetPaletteItem(3, 1), nullptr);
}
