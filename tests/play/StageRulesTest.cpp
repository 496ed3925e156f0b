// The pure rules of the stage scene: which sub-steps test shots, when set-up asks for music, the
// lives a score earns, the two time counters, taking a life, the cells a placed block takes, and
// where the clear of a story stage leads.
#include <limits>
#include <vector>

#include "core/FrameTiming.h"
#include "data/EdShot.h"
#include "data/EdSystem.h"
#include "data/EdWorldMap.h"
#include "frontend/MenuCursor.h"
#include "frontend/WorldMapScene.h"
#include "frontend/SaveData.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "stage/StageEnd.h"
#include "stage/StageSetup.h"
#include "tests/play/PlayTestSupport.h"

namespace {

TEST(StageRules, ShotTestMaskSpreadsTheTestedSubSteps)
{
    struct Case {
        int32_t nSubSteps, nLevel;
        std::vector<int32_t> expected;
    };
    const Case cases[] = {
        {1, 0, {1}},
        {4, 0, {1, 1, 1, 1}},
        {4, 1, {1, 0, 0, 0}},
        {4, 2, {1, 0, 1, 0}},
        {3, 2, {1, 1, 0}},
        {5, 3, {1, 1, 0, 1, 0}},
        {3, 4, {1, 1, 1}},             // more tests than sub-steps: every one
        {2, 5, {1, 1}},
        {9, 5, {1, 1, 0, 1, 0, 1, 0, 1, 0}},
        {0, 3, {1}},                   // no sub-steps never leaves an empty mask
        {-2, 0, {1}},
        {4, -1, {1, 1, 1, 1}},         // a damaged level counts as "every sub-step"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "N=" << c.nSubSteps << " K=" << c.nLevel);
        std::vector<int32_t> mask{7, 7};
        BuildShotTestMask(mask, c.nSubSteps, c.nLevel);
        EXPECT_EQ(mask, c.expected);
    }
}

TEST(StageRules, StageMusicIsAskedForOnlyWhenItChanges)
{
    struct Case {
        int32_t bNew, bKeep, nNumber, nCurrent, expected;
    };
    const Case cases[] = {
        {1, 0, 3, 3, 1},   // a new start asks again
        {1, 1, 3, 3, 0},   // unless the stage keeps the music playing
        {1, 1, 3, 2, 1},
        {1, 1, 0, 0, 1},   // "none" is asked for anyway: it stops the music
        {0, 0, 3, 3, 0},   // a restart asks only for another music
        {0, 0, 3, 4, 1},
        {0, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bNew << c.bKeep << " " << c.nNumber << "/" << c.nCurrent);
        EXPECT_EQ(StageMusicRequested(c.bNew, c.bKeep, c.nNumber, c.nCurrent), c.expected);
    }
}

TEST(StageRules, ExtraLivesCountTheMultiplesCrossed)
{
    struct Case {
        int32_t nOld, nNew, nPoints, expected;
    };
    const int32_t nMax = std::numeric_limits<int32_t>::max();
    const Case cases[] = {
        {0, 999, 1000, 0},
        {999, 1000, 1000, 1},
        {900, 3100, 1000, 3},
        {2500, 2600, 1000, 0},
        {0, 5000, 0, 0},            // no points per life: no lives
        {0, 5000, -100, 0},
        {0, nMax, 1, nMax},         // no overflow
        {-1000, 1000, 1000, 2},     // from a negative total: -1 to 1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nOld << " -> " << c.nNew << " per " << c.nPoints);
        EXPECT_EQ(ExtraLivesEarned(c.nOld, c.nNew, c.nPoints), c.expected);
    }
}

using StageCounterTest = cPlayFixture;

TEST_F(StageCounterTest, TimeLimitDropsOncePerSixtyCallsAndRunsOutAtZero)
{
    m_State.m_bNoTimeLimit = 0;
    m_State.m_nTimeLeft = 2;
    FrameCountGate(0, 60);
    int32_t nOut = 0;
    for (int32_t i = 1; i <= 59; ++i) nOut += m_State.CountDownTime(-1);
    EXPECT_EQ(m_State.m_nTimeLeft, 2);
    EXPECT_EQ(m_State.CountDownTime(-1), 0);
    EXPECT_EQ(m_State.m_nTimeLeft, 1);
    for (int32_t i = 1; i <= 59; ++i) nOut += m_State.CountDownTime(-1);
    EXPECT_EQ(nOut, 0);
    EXPECT_EQ(m_State.CountDownTime(-1), 1);
    EXPECT_EQ(m_State.m_nTimeLeft, 0);

    // Without a time limit nothing counts.
    m_State.m_bNoTimeLimit = 1;
    m_State.m_nTimeLeft = 5;
    for (int32_t i = 0; i < 120; ++i) EXPECT_EQ(m_State.CountDownTime(-1), 0);
    EXPECT_EQ(m_State.m_nTimeLeft, 5);

    // A gain past 999 stops at 999.
    m_State.m_bNoTimeLimit = 0;
    m_State.m_nTimeLeft = 990;
    FrameCountGate(0, 60);
    for (int32_t i = 0; i < 60; ++i) m_State.CountDownTime(50);
    EXPECT_EQ(m_State.m_nTimeLeft, 999);
}

TEST_F(StageCounterTest, PlayTimeCountsHundredthsAndStopsAtTheLastOne)
{
    for (int32_t i = 0; i < 60; ++i) m_State.CountPlayTime();
    EXPECT_EQ(m_State.m_nPlayFrames, 60);
    EXPECT_EQ(m_State.m_nPlayTime, 100);
    m_State.CountPlayTime();
    EXPECT_EQ(m_State.m_nPlayTime, 101);   // 61 * 100 / 60
    m_State.m_nPlayFrames = 359998;
    m_State.m_nPlayTime = 599996;
    m_State.CountPlayTime();
    EXPECT_EQ(m_State.m_nPlayTime, 599998);
    m_State.CountPlayTime();
    EXPECT_EQ(m_State.m_nPlayTime, 599999);
    m_State.CountPlayTime();
    EXPECT_EQ(m_State.m_nPlayFrames, 360000);   // 99:59.99 reached: nothing counts any more
    EXPECT_EQ(m_State.m_nPlayTime, 599999);
}

TEST_F(StageCounterTest, UseLifeTakesOneUnlessNoneIsNeededOrLeft)
{
    struct Case {
        int32_t bDirect, nLives, expected, nLivesAfter;
    };
    const Case cases[] = {
        {0, 3, 1, 2},
        {0, 1, 1, 0},
        {0, 0, 0, 0},
        {0, -4, 0, -4},
        {0, kInfiniteLives, 1, kInfiniteLives},
        {1, 0, 1, 0},   // a stage started directly needs no life
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bDirect << " " << c.nLives);
        bDirectStage = c.bDirect;
        cSaveData save;
        save.nLives = c.nLives;
        EXPECT_EQ(m_State.UseLife(save), c.expected);
        EXPECT_EQ(save.nLives, c.nLivesAfter);
    }
    bDirectStage = 0;
}

class StageBlockTest : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        BlockMap.ClearCells();
        m_Block.m_nGraphicIndex = 5;
        m_Block.m_nHit = 1;
    }
    void TearDown() override
    {
        g_System.m_bLegacy637 = 0;
        cPlayFixture::TearDown();
    }
    // The cell of stage column c, row r.
    int32_t Cell(int32_t c, int32_t r) const { return BlockMap.IndexOf(c + 10, r + 10); }
    double Px(int32_t c) const { return (c + 10) * 32.0; }

    cEdBlock m_Block;
    cEdShot m_Params;
};

TEST_F(StageBlockTest, PlacementTakesTheCellOfTheBlocksCentre)
{
    struct Case {
        double x, y;
        int32_t c, r;
    };
    const Case cases[] = {
        {Px(3), Px(4), 3, 4},
        {Px(3) + 15.4, Px(4), 3, 4},    // the centre is still in column 3
        {Px(3) + 15.5, Px(4), 4, 4},    // ... and now in column 4
        {Px(3) - 16.5, Px(4), 3, 4},
        {Px(3) - 16.6, Px(4), 2, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        BlockMap.ClearCells();
        EXPECT_EQ(m_State.PlaceBlockAt(c.x, c.y, m_Params, m_Block), Cell(c.c, c.r));
        EXPECT_EQ(BlockMap[Cell(c.c, c.r)].m_Block.m_nGraphicIndex, 5);
    }
}

TEST_F(StageBlockTest, PositionsOutsideTheMapPlaceNothing)
{
    const double dRight = (BlockMap.Pitch()) * 32.0;
    const double dBottom = BlockMap.Rows() * 32.0;
    for (double x : {-40.0, -17.0, dRight, 1e300, -1e300}) {
        for (double y : {Px(2), -40.0, dBottom}) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            EXPECT_EQ(m_State.PlaceBlockAt(x, y, m_Params, m_Block), 0);
        }
    }
    for (const BLOCKCELL& cell : BlockMap.m_vCells) EXPECT_EQ(cell.m_Block.m_nGraphicIndex, 0);
}

TEST_F(StageBlockTest, ProtectedBlocksStayWithStrictProtection)
{
    BLOCKCELL& cell = BlockMap[Cell(2, 2)];
    cell.m_Block.m_nGraphicIndex = 9;
    cell.m_Block.m_bNoReplace = 1;
    g_System.m_bLegacy637 = 1;
    EXPECT_EQ(m_State.PlaceBlockAt(Px(2), Px(2), m_Params, m_Block), Cell(2, 2));
    EXPECT_EQ(cell.m_Block.m_nGraphicIndex, 9);
    // An unprotected neighbour is replaced.
    EXPECT_EQ(m_State.PlaceBlockAt(Px(3), Px(2), m_Params, m_Block), Cell(3, 2));
    EXPECT_EQ(BlockMap[Cell(3, 2)].m_Block.m_nGraphicIndex, 5);
}

TEST_F(StageBlockTest, RemovalEmptiesTheCellAndToggleActsOncePerFiring)
{
    m_Params.m_nBlockMode = 0;
    m_State.PlaceBlockAt(Px(1), Px(1), m_Params, m_Block);
    BlockMap[Cell(1, 1)].m_nLatch = 1;
    m_Params.m_nBlockMode = 1;
    EXPECT_EQ(m_State.PlaceBlockAt(Px(1), Px(1), m_Params, m_Block), Cell(1, 1));
    EXPECT_EQ(BlockMap[Cell(1, 1)].m_Block.m_nGraphicIndex, 0);
    EXPECT_EQ(BlockMap[Cell(1, 1)].m_nLatch, 0);

    // Toggle on an empty cell places the block and remembers the cell; a second toggle in the
    // same firing leaves it.
    m_Params.m_nBlockMode = 2;
    m_State.m_vToggledBlocks.clear();
    EXPECT_EQ(m_State.PlaceBlockAt(Px(1), Px(1), m_Params, m_Block), Cell(1, 1));
    EXPECT_EQ(BlockMap[Cell(1, 1)].m_Block.m_nGraphicIndex, 5);
    ASSERT_EQ(m_State.m_vToggledBlocks, std::vector<int32_t>{Cell(1, 1)});
    cEdBlock other = m_Block;
    other.m_nGraphicIndex = 6;
    EXPECT_EQ(m_State.PlaceBlockAt(Px(1), Px(1), m_Params, other), Cell(1, 1));
    EXPECT_EQ(BlockMap[Cell(1, 1)].m_Block.m_nGraphicIndex, 5);
    EXPECT_EQ(m_State.m_vToggledBlocks.size(), 1u);
}


// A cleared story stage: the map's stage place being played says where its clear leads.
class StoryClearTest : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        g_System.SetDefaults();
        g_WorldMap = cEdWorldMap();
        g_WorldMap.m_nStartX = 4;
        g_WorldMap.m_nStartY = 6;
        cEdWorldEntry entry;
        entry.m_vEntryItem.assign(1, cEdWorldEntryItem());
        entry.m_vEntryItem[0].m_nStageNo = 3;
        g_WorldMap.m_vEntry.push_back(entry);
        g_SaveData.Reset();
        g_SaveData.nStage = 3;
        g_SaveData.nPart = 1;
        g_SaveData.nMapX = 9;
        g_SaveData.nMapY = 9;
        g_SaveData.bPartChain = 0;
        SceneManager.TitleChoice = 1;
        MenuCursor.ResetMenuCursor();
    }
    void TearDown() override
    {
        SetPlayingWorldItem(nullptr);
        g_WorldMap = cEdWorldMap();
        SceneManager.TitleChoice = 0;
        cPlayFixture::TearDown();
    }
};

TEST_F(StoryClearTest, EndActionOfThePlayedPlaceDecidesWhatFollows)
{
    struct Case {
        int32_t nAction, nScene;
        bool bNewPlaythrough;
    };
    const Case cases[] = {{0, kSceneWorldMap, false}, {1, kSceneWorldMap, true}, {2, kSceneTitle, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nAction);
        g_WorldMap.m_vEntry[0].m_vEntryItem[0].m_nSpare = c.nAction;
        SetPlayingWorldItem(&g_WorldMap.m_vEntry[0].m_vEntryItem[0]);
        g_SaveData.ClearFlags.assign(g_SaveData.ClearFlags.size(), 0);
        const int32_t nPlaythrough = g_SaveData.nPlaythrough;
        MenuCursor.Current().row = -1;
        EXPECT_EQ(m_State.CarryOverPlayer(), c.nScene);
        if (c.bNewPlaythrough) {
            // Cleared flags start again, the cursor goes back to the map's start.
            EXPECT_EQ(g_SaveData.nPlaythrough, nPlaythrough + 1);
            EXPECT_EQ(g_SaveData.ClearFlags[3], 0);
            EXPECT_EQ(g_SaveData.nMapX, 4);
            EXPECT_EQ(g_SaveData.nMapY, 6);
        } else {
            EXPECT_EQ(g_SaveData.nPlaythrough, nPlaythrough);
            EXPECT_EQ(g_SaveData.ClearFlags[3], 1);
        }
        // The title opens with its cursor on the story item that was played.
        EXPECT_EQ(MenuCursor.Current().row, c.nScene == kSceneTitle ? 1 : -1);
    }
}

}  // namespace
