#include <gtest/gtest.h>

#include "data/EdMove.h"
#include "data/EdShot.h"
#include "data/RecordReferences.h"
#include "data/ShotOptionTables.h"
#include "tests/data/RecordTestUtil.h"

namespace {

// The stored layout, block by block: element size, element count, first version.
struct Block {
    int nSize;
    int nCount;
    uint32_t nFrom;
};

const std::vector<Block> kMoveLayout = {
    {1, 1, 0}, {1, 1, 0}, {2, 1, 0}, {2, 1, 0}, {1, 1, 158}, {1, 1, 0}, {1, 1, 0}, {2, 1, 0},
    {2, 1, 0}, {2, 1, 0}, {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0},
    {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 162}, {1, 1, 0}, {2, 1, 0}, {2, 1, 0}, {2, 1, 0},
    {2, 1, 0}, {1, 1, 159}, {2, 1, 0}, {2, 1, 0}, {1, 1, 0}, {2, 1, 0}, {8, 1, 0}, {1, 1, 162},
};

const std::vector<Block> kShotLayout = {
    {1, 1, 0}, {1, 1, 0}, {2, 3, 0}, {1, 1, 671}, {1, 1, 0}, {1, 1, 0}, {2, 1, 0}, {2, 1, 0},
    {1, 1, 158}, {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {2, 1, 0}, {2, 1, 0}, {2, 1, 0}, {2, 1, 0},
    {1, 1, 0}, {1, 1, 0}, {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0},
    {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {2, 3, 0}, {1, 1, 211}, {2, 1, 0}, {2, 1, 0}, {1, 1, 213},
    {2, 1, 213}, {2, 1, 213}, {2, 1, 0}, {1, 1, 0}, {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {2, 1, 0},
    {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 636}, {1, 1, 0}, {1, 1, 0}, {4, 1, 0}, {2, 1, 0},
    {1, 1, 0}, {2, 1, 0}, {1, 1, 0}, {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 197}, {1, 1, 0},
    {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0},
};

// A body of the given version: block i holds value(i) in each element (doubles: value(i) + 0.5);
// blocks the version lacks are left out.
Bytes LayoutBody(const std::vector<Block>& layout, uint32_t nVersion, int64_t (*value)(size_t))
{
    Bytes fields;
    uint32_t nBlocks = 0;
    for (size_t i = 0; i < layout.size(); ++i) {
        if (nVersion < layout[i].nFrom) continue;
        ++nBlocks;
        for (int e = 0; e < layout[i].nCount; ++e) {
            const int64_t v = value(i);
            switch (layout[i].nSize) {
            case 1: AppendU8(fields, static_cast<uint8_t>(v)); break;
            case 2: AppendU16(fields, static_cast<uint16_t>(v)); break;
            case 4: AppendU32(fields, static_cast<uint32_t>(v)); break;
            default: AppendDouble(fields, static_cast<double>(v) + 0.5); break;
            }
        }
    }
    Bytes body;
    AppendU32(body, nBlocks);
    body.insert(body.end(), fields.begin(), fields.end());
    AppendU32(body, 0);
    return body;
}

// Byte offset of block n in a body of the given version.
size_t BlockOffset(const std::vector<Block>& layout, uint32_t nVersion, size_t n)
{
    size_t nAt = 4;
    for (size_t i = 0; i < n; ++i)
        if (nVersion >= layout[i].nFrom) nAt += static_cast<size_t>(layout[i].nSize * layout[i].nCount);
    return nAt;
}

int64_t BlockNumberPlusOne(size_t i) { return static_cast<int64_t>(i) + 1; }
int64_t MoveDefaults(size_t i)
{
    switch (i) {
    case 4: case 5: case 6: case 12: case 15: case 17: return 1;
    case 21: return 10;
    default: return 0;
    }
}
int64_t ShotDefaults(size_t i) { return (i == 8 || i == 16 || i == 21 || i == 24) ? 1 : 0; }

}  // namespace

TEST(MoveRecordTest, NewRecordIsStoredWithItsDefaults)
{
    cEdMove move;
    Bytes expected = LayoutBody(kMoveLayout, 751, MoveDefaults);
    // The inertia factor of a new record is 1.0, not the fixture's 0.5.
    Bytes factor;
    AppendDouble(factor, 1.0);
    std::copy(factor.begin(), factor.end(), expected.begin() + static_cast<long>(BlockOffset(kMoveLayout, 751, 30)));
    EXPECT_EQ(SaveBody(move), expected);
}

TEST(MoveRecordTest, EveryBlockRoundTripsInItsPlace)
{
    cEdMove move;
    ASSERT_TRUE(LoadBody(move, LayoutBody(kMoveLayout, 751, BlockNumberPlusOne)));
    EXPECT_EQ(move.m_nMode, 1);
    EXPECT_EQ(move.m_nTargetXBlocks, 8);
    EXPECT_EQ(move.m_bKeepFacing, 20);
    EXPECT_EQ(move.m_nSpeed, 22);
    EXPECT_EQ(move.m_nDistanceUnit, 26);
    EXPECT_EQ(move.m_nMaxSpeed, 30);
    EXPECT_EQ(move.m_dInertiaFactor, 31.5);
    EXPECT_EQ(move.m_bNoWalkAnime, 32);
    EXPECT_EQ(SaveBody(move), LayoutBody(kMoveLayout, 751, BlockNumberPlusOne));
}

TEST(MoveRecordTest, OldFilesGetTheOptionsTheirVersionLacked)
{
    // Each boundary: the version, and which of blocks 4, 19, 25, 31 hold the stored value.
    struct Case {
        uint32_t nVersion;
        bool bMirror, bKeepFacing, bUnit, bNoWalk;
    };
    for (const Case& c : {Case{157, false, false, false, false}, Case{158, true, false, false, false},
                          Case{159, true, false, true, false}, Case{162, true, true, true, true},
                          Case{751, true, true, true, true}}) {
        cEdMove move;
        ASSERT_TRUE(LoadBody(move, LayoutBody(kMoveLayout, c.nVersion, BlockNumberPlusOne), c.nVersion))
            << c.nVersion;
        EXPECT_EQ(move.m_bMirrorAngle, c.bMirror ? 5 : 0) << c.nVersion;
        EXPECT_EQ(move.m_bKeepFacing, c.bKeepFacing ? 20 : 0) << c.nVersion;
        EXPECT_EQ(move.m_nDistanceUnit, c.bUnit ? 26 : 0) << c.nVersion;
        EXPECT_EQ(move.m_bNoWalkAnime, c.bNoWalk ? 32 : 0) << c.nVersion;
        // The blocks after a missing one are still read into their own members.
        EXPECT_EQ(move.m_nRadius, 27) << c.nVersion;
        EXPECT_EQ(move.m_dInertiaFactor, 31.5) << c.nVersion;
    }
}

class ShotRecordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_RecordReferences.lpfnDatabaseCount = [](DatabaseList list) {
            return list == DatabaseList::Effect ? 60 : 100;
        };
    }
    void TearDown() override { g_RecordReferences = RecordReferenceHooks(); }
};

TEST_F(ShotRecordTest, NewRecordIsStoredWithItsDefaults)
{
    cEdShot shot;
    EXPECT_EQ(SaveBody(shot), LayoutBody(kShotLayout, 751, ShotDefaults));
}

TEST_F(ShotRecordTest, EveryBlockRoundTripsInItsPlace)
{
    cEdShot shot;
    ASSERT_TRUE(LoadBody(shot, LayoutBody(kShotLayout, 751, BlockNumberPlusOne)));
    EXPECT_EQ(shot.m_nFormationValue[2], 3);
    EXPECT_EQ(shot.m_nTargetChoice, 4);
    EXPECT_EQ(shot.m_nSize, 25);
    EXPECT_EQ(shot.m_nMoveValue[0], 28);
    EXPECT_EQ(shot.m_nRange, 35);
    EXPECT_EQ(shot.m_bRange, 36);
    EXPECT_EQ(shot.m_nPower, 47);
    EXPECT_EQ(shot.m_nEffect, 50);
    EXPECT_EQ(shot.m_nSummonIndex, 57);
    EXPECT_EQ(shot.m_nSetting59, 60);
    EXPECT_EQ(SaveBody(shot), LayoutBody(kShotLayout, 751, BlockNumberPlusOne));
}

TEST_F(ShotRecordTest, OldFilesAreMigratedAtEachBoundary)
{
    // Stored values: block i holds i + 1, so the movement kind (block 26) is 27, not a homing kind.
    struct Case {
        uint32_t nVersion;
        int8_t nMirrorAngle, nSetting54, nHoming, nAccel, nSetting43, nTargetChoice;
    };
    for (const Case& c : {Case{157, 0, 54, 0, 0, 43, 0}, Case{158, 9, 54, 0, 0, 43, 0},
                          Case{197, 9, 55, 0, 0, 43, 0}, Case{211, 9, 55, 0, 0, 43, 0},
                          Case{212, 9, 55, 29, 0, 43, 0}, Case{213, 9, 55, 29, 32, 43, 0},
                          Case{636, 9, 55, 29, 32, 44, 0}, Case{671, 9, 55, 29, 32, 44, 4}}) {
        cEdShot shot;
        ASSERT_TRUE(LoadBody(shot, LayoutBody(kShotLayout, c.nVersion, BlockNumberPlusOne), c.nVersion))
            << c.nVersion;
        EXPECT_EQ(shot.m_bMirrorAngle, c.nMirrorAngle) << c.nVersion;
        EXPECT_EQ(shot.m_nSetting54, c.nSetting54) << c.nVersion;
        EXPECT_EQ(shot.m_bHoming, c.nHoming) << c.nVersion;
        EXPECT_EQ(shot.m_bAccel, c.nAccel) << c.nVersion;
        EXPECT_EQ(shot.m_nSetting43, c.nSetting43) << c.nVersion;
        EXPECT_EQ(shot.m_nTargetChoice, c.nTargetChoice) << c.nVersion;
        EXPECT_EQ(shot.m_nSummonIndex, 57) << c.nVersion;
    }
}

TEST_F(ShotRecordTest, HomingFlagFollowsTheMovementKindBefore212)
{
    for (int8_t nKind = 0; nKind < 10; ++nKind) {
        for (uint32_t nVersion : {200u, 211u, 212u}) {
            cEdShot source;
            source.m_nMoveKind = nKind;
            source.m_bHoming = 0;
            g_nDataVersion = nVersion;   // written as that version stores it
            const Bytes body = SaveBody(source);
            g_nDataVersion = 751;
            cEdShot shot;
            ASSERT_TRUE(LoadBody(shot, body, nVersion));
            const int8_t nExpected = (nVersion < 212 && nKind >= 4 && nKind <= 7) ? 1 : 0;
            EXPECT_EQ(shot.m_bHoming, nExpected) << int(nKind) << " " << nVersion;
        }
    }
}

TEST_F(ShotRecordTest, SizeAndEffectIndexAreCorrected)
{
    struct Case {
        int8_t nSize;
        int16_t nEffect;
        int8_t nSizeAfter;
        int16_t nEffectAfter;
    };
    for (const Case& c : {Case{-3, 59, 1, 59}, Case{0, 60, 1, 0}, Case{2, -1, 2, 0}, Case{1, 0, 1, 0}}) {
        cEdShot shot;
        shot.m_nSize = c.nSize;
        shot.m_nEffect = c.nEffect;
        const Bytes saved = SaveBody(shot);
        EXPECT_EQ(shot.m_nSize, c.nSizeAfter);
        EXPECT_EQ(shot.m_nEffect, c.nEffectAfter);

        // The same values stored raw are corrected by loading.
        Bytes raw = LayoutBody(kShotLayout, 751, ShotDefaults);
        raw[BlockOffset(kShotLayout, 751, 24)] = static_cast<uint8_t>(c.nSize);
        const size_t nEffectAt = BlockOffset(kShotLayout, 751, 49);
        raw[nEffectAt] = static_cast<uint8_t>(c.nEffect);
        raw[nEffectAt + 1] = static_cast<uint8_t>(static_cast<uint16_t>(c.nEffect) >> 8);
        cEdShot loaded;
        ASSERT_TRUE(LoadBody(loaded, raw));
        EXPECT_EQ(loaded.m_nSize, c.nSizeAfter);
        EXPECT_EQ(loaded.m_nEffect, c.nEffectAfter);
    }
}

TEST(ShotStepValueTest, ClonesAreOffsetAndMirrored)
{
    cEdShot shot;
    shot.m_nOffsetX = 10;
    shot.m_nOffsetXStep = 4;
    shot.m_nOffsetY = -3;
    shot.m_nOffsetYStep = 2;
    shot.m_bMirrorX = 1;
    shot.m_bMirrorY = 0;
    EXPECT_EQ(shot.StepValue1(2, 0), 18);
    EXPECT_EQ(shot.StepValue1(2, 1), -18);
    EXPECT_EQ(shot.StepValue2(2, 1), 1);
    shot.m_bMirrorY = 1;
    EXPECT_EQ(shot.StepValue2(2, 1), -1);
}

TEST(ShotOptionTablesTest, DescriptorsBoundEveryKindAndRefuseOthers)
{
    EXPECT_STREQ(ShotFormationParam(3, 1).m_lpName, "列の数");
    EXPECT_EQ(ShotFormationParam(3, 1).m_nMin, 1);
    EXPECT_EQ(ShotFormationParam(5, 0).m_nDefault, 6);
    EXPECT_EQ(ShotMoveParam(4, 1).m_nMax, 999);
    EXPECT_EQ(ShotMoveParam(8, 2).m_nMax, 359);
    for (int32_t nBad : {-1, 6, 127}) {
        EXPECT_EQ(ShotFormationParam(nBad, 0).m_nMax, 0) << nBad;
        EXPECT_STREQ(ShotFormationParam(nBad, 0).m_lpName, "") << nBad;
    }
    for (int32_t nBad : {-128, 10}) EXPECT_EQ(ShotMoveParam(nBad, 0).m_nMax, 0) << nBad;
    EXPECT_EQ(ShotMoveParam(1, 3).m_nMax, 0);
}
