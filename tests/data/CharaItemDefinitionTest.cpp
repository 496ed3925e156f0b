#include <gtest/gtest.h>

#include "RecordTestUtil.h"
#include "StageFixtures.h"
#include "data/EdDatabase.h"
#include "data/EdPalette.h"
#include "data/EdStage.h"
#include "data/RecordReferences.h"

namespace {

class DefinitionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_Database.SetDefaults();
        g_CommonPalette = cEdPalette();
        g_Stage = cEdStage();
    }
};

}  // namespace

// ---- characters ----

TEST_F(DefinitionTest, CharacterBodyHas53FieldsOf82Bytes)
{
    cEdChara chara;
    const Bytes body = SaveBody(chara);
    EXPECT_EQ(body, CharaBody({}));
    ASSERT_GE(body.size(), 4u);
    EXPECT_EQ(body[0], 53);
    // 4 bytes of count, 82 of fields, then the string count.
    EXPECT_EQ(body[4 + 82], 1);
}

TEST_F(DefinitionTest, CharacterFromVersion167GainsThreeFlagsAndItsNewMembers)
{
    CharaFixture fixture;
    fixture.nHitRange = 2;   // not stored before 201
    fixture.vFlags.clear();
    for (int i = 0; i < 34; ++i) fixture.vFlags.push_back(static_cast<int8_t>(i % 2 == 0 ? 0 : 1) * 2);
    cEdChara chara;
    chara.m_nDef = 5;
    chara.m_nHitRange = 3;
    chara.m_bScrollSync = 1;
    ASSERT_TRUE(LoadBody(chara, CharaBody(fixture, 167), 167));
    ASSERT_EQ(chara.m_vInherit.size(), 37u);
    std::vector<int8_t> expected;
    for (size_t i = 0, j = 0; i < 37; ++i) {
        if (i == 21 || i == 25 || i == 29) expected.push_back(1);
        else expected.push_back(fixture.vFlags[j++]);
    }
    EXPECT_EQ(chara.m_vInherit, expected);
    EXPECT_EQ(chara.m_nDef, 0);
    EXPECT_EQ(chara.m_nHitRange, 0);
    EXPECT_EQ(chara.m_bScrollSync, 0);
    EXPECT_EQ(chara.m_nInvincibleSub, 1);
    EXPECT_EQ(chara.m_nStartEffectA, 0);
}

TEST_F(DefinitionTest, CharacterMigrationBoundaries)
{
    struct Case {
        uint32_t nVersion;
        int8_t nHitRange, nHitRangeAfter;
        int8_t nInvincibleSub, nInvincibleSubAfter;
        int8_t bScrollSync, bScrollSyncAfter;
    };
    const Case cases[] = {
        {205, 2, 3, 0, 1, 1, 0},   // hit-range kinds 2 and 3 moved up by one before 206
        {205, 1, 1, 0, 1, 1, 0},
        {206, 2, 2, 0, 1, 1, 0},
        {209, 3, 3, 0, 1, 1, 0},   // scroll sync before 210: 0
        {284, 3, 3, 4, 1, 1, 1},   // invincible display before 285: 1
        {285, 3, 3, 4, 4, 1, 1},
    };
    for (const Case& c : cases) {
        CharaFixture fixture;
        fixture.nHitRange = c.nHitRange;
        fixture.nInvincibleSub = c.nInvincibleSub;
        fixture.bScrollSync = c.bScrollSync;
        cEdChara chara;
        ASSERT_TRUE(LoadBody(chara, CharaBody(fixture, c.nVersion), c.nVersion)) << c.nVersion;
        EXPECT_EQ(chara.m_nHitRange, c.nHitRangeAfter) << c.nVersion;
        EXPECT_EQ(chara.m_nInvincibleSub, c.nInvincibleSubAfter) << c.nVersion;
        EXPECT_EQ(chara.m_bScrollSync, c.bScrollSyncAfter) << c.nVersion;
        EXPECT_EQ(chara.m_vInherit.size(), 37u);
    }
}

TEST_F(DefinitionTest, CharacterMigrationsStopAtTheTopOfTheStoredType)
{
    // Moving a stored number up never wraps it round to the bottom of its type.
    struct Case {
        uint32_t nVersion;
        int8_t nHitRange, nHitRangeAfter;
        int16_t nGraphicIndex, nGraphicIndexAfter;   // of a graphic kind 3 character
    };
    const Case cases[] = {
        {205, 127, 127, 0, 1},
        {218, 3, 3, 5, 6},
        {218, 3, 3, 32767, 119},
        {218, 3, 3, 118, 119},
    };
    for (const Case& c : cases) {
        CharaFixture fixture;
        fixture.nHitRange = c.nHitRange;
        fixture.nGraphicKind = 3;
        fixture.nGraphicIndex = c.nGraphicIndex;
        cEdChara chara;
        ASSERT_TRUE(LoadBody(chara, CharaBody(fixture, c.nVersion), c.nVersion)) << c.nVersion;
        EXPECT_EQ(chara.m_nHitRange, c.nHitRangeAfter) << c.nVersion;
        EXPECT_EQ(chara.m_nGraphicIndex, c.nGraphicIndexAfter) << c.nVersion << " " << c.nGraphicIndex;
    }
}

TEST_F(DefinitionTest, CharacterValidationResetsReferences)
{
    cEdChara chara;
    chara.m_nGraphicKind = 4;
    chara.m_nGraphicIndex = 2;   // two dedicated bitmaps: 0 and 1
    chara.m_nGiant = -2;
    chara.m_nAnimeSet = 1;       // one animation set
    chara.m_nStartEffect = -1;
    chara.m_nDefeatEffect = 1;   // two character effects
    chara.m_nHitEffect = 2;      // two effects
    chara.m_nController = 0;
    chara.m_nRepeat = 3;
    chara.m_bCellBox = 1;
    chara.Validate();
    EXPECT_EQ(chara.m_nGraphicIndex, 1);
    EXPECT_EQ(chara.m_nGiant, 1);
    EXPECT_EQ(chara.m_nAnimeSet, 0);
    EXPECT_EQ(chara.m_nStartEffect, 0);
    EXPECT_EQ(chara.m_nDefeatEffect, 1);
    EXPECT_EQ(chara.m_nHitEffect, 0);
    EXPECT_EQ(chara.m_nRepeat, 0);
    EXPECT_EQ(chara.m_bCellBox, 0);

    cEdChara computer;
    computer.m_nRepeat = 3;
    computer.m_nGraphicKind = 1;
    computer.m_nGraphicIndex = 200;
    computer.Validate();
    EXPECT_EQ(computer.m_nRepeat, 3);
    EXPECT_EQ(computer.m_nGraphicIndex, 200);
}

TEST_F(DefinitionTest, CopyOffsetsMirrorForARightFacingCharacter)
{
    cEdChara chara;
    chara.m_nRepeatX0 = 32;
    chara.m_nRepeatDX = 64;
    chara.m_bRepeatMirrorX = 1;
    chara.m_nRepeatY0 = -8;
    chara.m_nRepeatDY = 4;
    EXPECT_EQ(chara.StepValue1(0, 1), -32.0);
    EXPECT_EQ(chara.StepValue1(1, 1), -96.0);
    EXPECT_EQ(chara.StepValue1(2, 1), -160.0);
    EXPECT_EQ(chara.StepValue1(2, 0), 160.0);
    EXPECT_EQ(chara.StepValue2(2, 1), 0.0);
    EXPECT_EQ(chara.StepValue2(3, 1), 4.0);
}

TEST_F(DefinitionTest, CharacterInheritsFromTheCommonPalette)
{
    g_CommonPalette.m_vChara.resize(3);
    cEdChara& parent = g_CommonPalette.m_vChara[2];
    parent.m_nMaxHP = 99;
    parent.m_nPower = 7;
    parent.m_nDef = 4;
    parent.m_strName = "parent";
    CharaFixture fixture;
    fixture.nInheritFrom = 1;
    fixture.nParent = 2;
    fixture.vFlags[23] = 1;   // max HP
    fixture.vFlags[29] = 1;   // defence
    cEdChara chara;
    ASSERT_TRUE(LoadBody(chara, CharaBody(fixture)));
    EXPECT_EQ(chara.m_nMaxHP, 99);
    EXPECT_EQ(chara.m_nDef, 4);
    EXPECT_EQ(chara.m_nPower, 0);
    EXPECT_EQ(chara.m_strName, "");
}

TEST_F(DefinitionTest, CharacterRoundTripAndCopies)
{
    cEdChara source;
    source.m_nX = 5;
    source.m_nY = -2;
    source.m_nCarriedItem = -1;
    source.m_strName = "キャラ";
    source.m_nMaxHP = 1000000;
    source.m_nStartEffectB = 200;
    source.m_nInvincibleSub = 3;
    source.m_vInherit[36] = 1;
    source.m_vCondition.resize(1);
    const Bytes body = SaveBody(source);
    cEdChara loaded;
    ASSERT_TRUE(LoadBody(loaded, body));
    EXPECT_EQ(loaded.m_nCarriedItem, -1);
    EXPECT_EQ(loaded.m_strName, "キャラ");
    EXPECT_EQ(loaded.m_nMaxHP, 1000000);
    EXPECT_EQ(loaded.m_nStartEffectB, 200);
    EXPECT_EQ(loaded.m_nInvincibleSub, 3);
    EXPECT_EQ(loaded.m_vCondition.size(), 1u);
    EXPECT_EQ(SaveBody(loaded), body);
    cEdChara copy(loaded);
    copy = copy;
    EXPECT_EQ(SaveBody(copy), body);
}

// ---- items ----

TEST_F(DefinitionTest, DefaultItemIsWrittenByteForByte)
{
    cEdItem item;
    const Bytes body = SaveBody(item);
    // 00, 00 00, 00, 00, 00 00, 00 00, 00 00, 02, 00 00, 06, 00, 00, 00 00, 01, 00, 01, 00 00
    Bytes expected;
    AppendU32(expected, 17);
    const Bytes fields = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02,
                          0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00};
    ASSERT_EQ(fields.size(), 24u);
    expected.insert(expected.end(), fields.begin(), fields.end());
    AppendU32(expected, 1);
    AppendString(expected, "");
    AppendU32(expected, 0);
    AppendFlags(expected, std::vector<int8_t>(13, 0));
    AppendU32(expected, 0);
    AppendU32(expected, 0);
    EXPECT_EQ(body, expected);
}

TEST_F(DefinitionTest, ItemStoresShowOnTakeBeforeTakeMode)
{
    ItemFixture fixture;
    fixture.bShowOnTake = 0;
    fixture.nTakeMode = 2;
    cEdItem item;
    ASSERT_TRUE(LoadBody(item, ItemBody(fixture)));
    EXPECT_EQ(item.m_bShowOnTake, 0);
    EXPECT_EQ(item.m_nTakeMode, 2);
}

TEST_F(DefinitionTest, ItemMigrationAndValidation)
{
    struct Case {
        uint32_t nVersion;
        int16_t nIndex, nExpected;
    };
    for (const Case& c : {Case{218, 119, 119}, Case{218, 4, 5}, Case{219, 4, 4}}) {
        ItemFixture fixture;
        fixture.nGraphicKind = 3;
        fixture.nGraphicIndex = c.nIndex;
        cEdItem item;
        ASSERT_TRUE(LoadBody(item, ItemBody(fixture), c.nVersion));
        EXPECT_EQ(item.m_nGraphicIndex, c.nExpected) << c.nVersion << " " << c.nIndex;
    }
    for (int16_t nSound : {int16_t{-1}, int16_t{2}, int16_t{1}}) {
        cEdItem item;
        item.m_nSound = nSound;
        item.m_nGiant = 0;
        item.Validate();
        EXPECT_EQ(item.m_nSound, nSound == 1 ? 1 : 0);
        EXPECT_EQ(item.m_nGiant, 1);
    }
}

TEST_F(DefinitionTest, ItemRoundTripAndInheritance)
{
    g_CommonPalette.m_vItem.resize(2);
    g_CommonPalette.m_vItem[1].m_nSound = 1;
    g_CommonPalette.m_vItem[1].m_nOffsetX = 12;
    ItemFixture fixture;
    fixture.nInheritFrom = 1;
    fixture.nParent = 1;
    fixture.vFlags[11] = 1;   // sound
    fixture.strName = "coin";
    cEdItem item;
    ASSERT_TRUE(LoadBody(item, ItemBody(fixture)));
    EXPECT_EQ(item.m_nSound, 1);
    EXPECT_EQ(item.m_nOffsetX, 0);
    const Bytes body = SaveBody(item);
    cEdItem loaded;
    ASSERT_TRUE(LoadBody(loaded, body));
    EXPECT_EQ(loaded.m_strName, "coin");
    EXPECT_EQ(loaded.m_nSound, 1);
    EXPECT_EQ(SaveBody(loaded), body);
}

// ---- palettes ----

namespace {

class PaletteFileTest : public ScratchFolderTest {
protected:
    void SetUp() override
    {
        ScratchFolderTest::SetUp();
        g_Database.SetDefaults();
        g_CommonPalette = cEdPalette();
        g_Stage = cEdStage();
    }
};

Bytes PaletteFile(const std::vector<Bytes>& blocks, const std::vector<CharaFixture>& charas,
                  const std::vector<Bytes>& items, uint32_t nVersion = 751)
{
    Bytes b;
    AppendU32(b, nVersion);
    AppendU32(b, 0);
    AppendU32(b, 0);
    AppendU32(b, static_cast<uint32_t>(blocks.size()));
    for (const Bytes& e : blocks) b.insert(b.end(), e.begin(), e.end());
    AppendU32(b, static_cast<uint32_t>(charas.size()));
    for (const CharaFixture& c : charas) {
        const Bytes e = CharaBody(c, nVersion);
        b.insert(b.end(), e.begin(), e.end());
    }
    AppendU32(b, static_cast<uint32_t>(items.size()));
    for (const Bytes& e : items) b.insert(b.end(), e.begin(), e.end());
    return b;
}

}  // namespace

TEST_F(PaletteFileTest, VectorsAreFilledToTwoAndEntryZeroIsNone)
{
    BlockFixture zero;
    zero.nGraphicIndex = 7;
    zero.strName = "a";
    WriteWholeFile("CommonPalette.cplt4", PaletteFile({BlockBody(zero)}, {CharaFixture{}}, {}));
    cEdPalette palette;
    ASSERT_EQ(palette.LoadFromFile("CommonPalette.cplt4"), 1);
    ASSERT_EQ(palette.m_vBlock.size(), 2u);
    ASSERT_EQ(palette.m_vChara.size(), 2u);
    ASSERT_EQ(palette.m_vItem.size(), 2u);
    EXPECT_EQ(palette.m_vBlock[0].m_nGraphicIndex, 0);
    EXPECT_EQ(palette.m_vBlock[0].m_strName, "");
    EXPECT_EQ(palette.m_vItem[1].m_nGraphicKind, 2);
}

TEST_F(PaletteFileTest, EntriesInheritFromEarlierEntriesAndLoseTheirFlags)
{
    BlockFixture source;
    source.nGraphicIndex = 40;
    source.nGraphicKind = 1;
    BlockFixture inheriting;
    inheriting.nInheritFrom = 1;
    inheriting.nParent = 1;
    inheriting.vFlags[2] = 1;
    inheriting.nGraphicIndex = 2;
    inheriting.nLayer = 1;
    WriteWholeFile("CommonPalette.cplt4",
                   PaletteFile({BlockBody({}), BlockBody(source), BlockBody({}), BlockBody(inheriting)},
                               {CharaFixture{}, CharaFixture{}}, {ItemBody({}), ItemBody({})}));
    ASSERT_EQ(g_CommonPalette.LoadFromFile("CommonPalette.cplt4"), 1);
    const cEdBlock& block = g_CommonPalette.m_vBlock[3];
    EXPECT_EQ(block.m_nGraphicIndex, 40);
    EXPECT_EQ(block.m_nGraphicKind, 1);
    EXPECT_EQ(block.m_nLayer, 1);
    EXPECT_EQ(block.m_nInheritFrom, 1);
    EXPECT_EQ(block.m_nParent, 1);
    EXPECT_EQ(block.m_vInherit, std::vector<int8_t>(11, 0));
}

TEST_F(PaletteFileTest, RoundTripAndDamagedFiles)
{
    cEdPalette source;
    source.m_vBlock.resize(3);
    source.m_vBlock[2].m_nGraphicIndex = 5;
    source.m_vBlock[2].m_nItemFrom = 1;
    source.m_vBlock[2].m_nItem = 2;   // past the two items: cleared by validation
    source.m_vChara.resize(2);
    source.m_vChara[1].m_strName = "c";
    source.m_vItem.resize(2);
    source.m_vItem[1].m_nTakeMode = 1;
    ASSERT_EQ(source.SaveToFile("CommonPalette.cplt4"), 1);
    const Bytes file = ReadWholeFile("CommonPalette.cplt4");
    ASSERT_GE(file.size(), 16u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 16), (Bytes{0xEF, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0}));
    EXPECT_EQ(source.m_vBlock[2].m_nItemFrom, 0);

    cEdPalette loaded;
    ASSERT_EQ(loaded.LoadFromFile("CommonPalette.cplt4"), 1);
    EXPECT_EQ(loaded.m_vBlock.size(), 3u);
    EXPECT_EQ(loaded.m_vBlock[2].m_nGraphicIndex, 5);
    EXPECT_EQ(loaded.m_vChara[1].m_strName, "c");
    EXPECT_EQ(loaded.m_vItem[1].m_nTakeMode, 1);

    for (size_t nKeep = 4; nKeep < file.size(); nKeep += 5) {
        WriteWholeFile("cut.cplt4", Bytes(file.begin(), file.begin() + static_cast<long>(nKeep)));
        cEdPalette palette;
        palette.m_vBlock.resize(4);
        EXPECT_EQ(palette.LoadFromFile("cut.cplt4"), 0) << nKeep;
        EXPECT_EQ(palette.m_vBlock.size(), 4u) << nKeep;
    }
}

TEST_F(DefinitionTest, CharacterFlowsDeletedOrEmptyAreDropped)
{
    cEdChara source;
    source.m_vFlow.resize(3, cEdFlow::Default());
    source.m_vFlow[0].m_vCommand.resize(1);
    source.m_vFlow[0].m_strName = "";
    source.m_vFlow[1].m_vCommand.resize(1);
    source.m_vFlow[1].m_bDelete = 1;
    // Flow 2 has no conditions, key steps or commands: validation drops it.
    const Bytes body = SaveBody(source);
    EXPECT_EQ(source.m_vFlow.size(), 2u);

    cEdChara loaded;
    ASSERT_TRUE(LoadBody(loaded, body));
    ASSERT_EQ(loaded.m_vFlow.size(), 1u);
    EXPECT_EQ(loaded.m_vFlow[0].m_bDelete, 0);

    // Test play or the project setting keep flows marked as deleted.
    const RecordReferenceHooks saved = g_RecordReferences;
    g_RecordReferences.lpfnKeepDeletedFlows = [] { return true; };
    cEdChara kept;
    ASSERT_TRUE(LoadBody(kept, body));
    g_RecordReferences = saved;
    EXPECT_EQ(kept.m_vFlow.size(), 2u);
}

TEST_F(DefinitionTest, InheritedFlowsOfAParentWithoutFlowsAreOneDefaultFlow)
{
    g_CommonPalette.m_vChara.resize(3);
    g_CommonPalette.m_vChara[1].m_vFlow.resize(2, cEdFlow::Default());
    g_CommonPalette.m_vChara[1].m_vFlow[1].m_nTrigger = 5;
    for (int16_t nParent : {int16_t{1}, int16_t{2}}) {
        CharaFixture fixture;
        fixture.nInheritFrom = 1;
        fixture.nParent = nParent;
        fixture.vFlags[36] = 1;
        cEdChara chara;
        // Inheritance runs before validation, so the copied flows are seen as they were copied.
        g_nFileVersion = 751;
        FILE* fp = std::tmpfile();
        const Bytes body = CharaBody(fixture);
        std::fwrite(body.data(), 1, body.size(), fp);
        std::rewind(fp);
        ASSERT_TRUE(chara.LoadRecordFields(fp));
        std::fclose(fp);
        chara.m_vInherit = fixture.vFlags;
        chara.ApplyInheritance();
        if (nParent == 1) {
            ASSERT_EQ(chara.m_vFlow.size(), 2u);
            EXPECT_EQ(chara.m_vFlow[1].m_nTrigger, 5);
        } else {
            ASSERT_EQ(chara.m_vFlow.size(), 1u);
            EXPECT_EQ(chara.m_vFlow[0].m_nKeyTolerance, 3);
        }
    }
}

TEST_F(PaletteFileTest, ParentLaterInThePaletteGivesDefaultValues)
{
    // Entry 1 names entry 3 as its parent; entry 3 is not read yet when entry 1 inherits.
    BlockFixture early;
    early.nInheritFrom = 1;
    early.nParent = 3;
    early.vFlags[2] = 1;
    early.nGraphicIndex = 6;
    early.nGraphicKind = 1;
    BlockFixture late;
    late.nGraphicIndex = 50;
    WriteWholeFile("CommonPalette.cplt4", PaletteFile({BlockBody({}), BlockBody(early), BlockBody({}), BlockBody(late)},
                                                      {CharaFixture{}, CharaFixture{}}, {ItemBody({}), ItemBody({})}));
    ASSERT_EQ(g_CommonPalette.LoadFromFile("CommonPalette.cplt4"), 1);
    const cEdBlock& block = g_CommonPalette.m_vBlock[1];
    EXPECT_EQ(block.m_nGraphicIndex, 0);
    EXPECT_EQ(block.m_nGraphicKind, 0);
    EXPECT_EQ(block.m_nInheritFrom, 1);
    EXPECT_EQ(block.m_nParent, 3);
    EXPECT_EQ(g_CommonPalette.m_vBlock[3].m_nGraphicIndex, 50);
}
