// The world map: the rules of cells, items and cursor steps, and the scene walked frame by frame
// with its prompt, its automatic stage start after the fade-in, the return from a given-up stage
// and the auto-save on the return from a stage.
#include <climits>

#include "frontend/WorldMapScene.h"
#include "tests/frontend/WorldMapSceneFixture.h"

namespace {

constexpr uint16_t kConfirm = 1;
constexpr uint16_t kCancel = 2;

TEST(WorldMapRules, CellIndexClampsTheColumnAndTheRowBelowTheMap)
{
    cEdWorldMap map;
    map.SetDefaults();   // 20 x 15, rows of 32 cells
    ASSERT_EQ(map.m_nPitchShift, 5);
    const struct {
        int32_t col, row, want;
    } cases[] = {
        {3, 4, 3 + 4 * 32},  {-2, 4, 4 * 32},      {25, 4, 19 + 4 * 32},
        {3, -1, 3},          {-7, -7, 0},          {3, 20, 3 + 14 * 32},
        {19, 14, 19 + 14 * 32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.col << "," << c.row);
        EXPECT_EQ(WorldMapCellIndex(map, c.col, c.row), c.want);
    }
}

class WorldMapItemTest : public WorldMapSceneTest {};

TEST_F(WorldMapItemTest, FirstItemWhoseRequirementsHoldIsShown)
{
    cEdWorldEntry entry;
    entry.m_vEntryItem.resize(3);
    for (int32_t i = 0; i < 3; ++i) entry.m_vEntryItem[static_cast<size_t>(i)].m_nIcon = i;
    entry.m_vEntryItem[0].m_nNeedFlag = 7;      // stage 7 cleared
    entry.m_vEntryItem[1].m_nNeedTotal = 500;   // a total of 500
    entry.m_vEntryItem[2].m_nNeedVar = 3;       // variable 3 above 0
    entry.m_vEntryItem[2].m_nNeedOp = 4;
    struct Case {
        const char* name;
        int32_t flag7, total, var3;
        int32_t wantIcon;   // -1: none shown
    };
    const Case cases[] = {
        {"nothing holds", 0, 499, 0, -1},
        {"the last one holds", 0, 0, 1, 2},
        {"the total holds", 0, 500, 1, 1},
        {"the first holds", 1, 500, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_SaveData.ClearFlags[7] = c.flag7;
        g_SaveData.nHighScoreTotal = c.total;
        g_SaveData.CommonVars[3] = c.var3;
        const cEdWorldEntryItem* lpItem = VisibleWorldItem(&entry);
        EXPECT_EQ(lpItem == nullptr ? -1 : lpItem->m_nIcon, c.wantIcon);
    }
    EXPECT_EQ(VisibleWorldItem(nullptr), nullptr);
    EXPECT_EQ(TakeCloseRequests(), 0);
}

TEST_F(WorldMapItemTest, VariableOperatorsCompareInSixtyFourBits)
{
    cEdWorldEntry entry;
    cEdWorldEntryItem& item = entry.m_vEntryItem[0];
    item.m_nNeedVar = 9;
    struct Case {
        int32_t op, v, a;
        bool shown;
    };
    const Case cases[] = {
        {0, 5, 5, true},         {0, 5, 6, false},       {1, 5, 6, true},        {1, 5, 5, false},
        {2, 5, 5, true},         {2, 4, 5, false},       {3, 5, 5, true},        {3, 6, 5, false},
        {4, 6, 5, true},         {4, 5, 5, false},       {5, 4, 5, true},        {5, 5, 5, false},
        {6, -9, 3, true},        {6, 10, 3, false},      {6, 7, 0, true},        {7, 10, 3, true},
        {7, -9, 3, false},       {7, 7, 0, false},       {6, INT_MIN, -1, true}, {7, INT_MIN, -1, false},
        {6, INT_MIN, 2, true},   {7, INT_MIN, INT_MIN, false},                   {8, 0, 0, false},
        {-1, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "op " << c.op << " v " << c.v << " a " << c.a);
        item.m_nNeedOp = c.op;
        item.m_nNeedValue = c.a;
        g_SaveData.CommonVars[9] = c.v;
        EXPECT_EQ(VisibleWorldItem(&entry) != nullptr, c.shown);
    }
}

TEST_F(WorldMapItemTest, BlockedCellsFollowTheVisibleItemBeforeTheChip)
{
    SetChip(3, 3, kSea);
    SetChip(4, 3, kSea);
    SetChip(6, 3, kSea);
    cEdWorldEntry road;   // a road item over the sea: crossable
    road.m_nX = 4;
    road.m_nY = 3;
    road.m_vEntryItem[0].m_nKind = 1;
    cEdWorldEntry wall;   // a wall on grass
    wall.m_nX = 5;
    wall.m_nY = 3;
    wall.m_vEntryItem[0].m_nKind = 2;
    cEdWorldEntry hidden;   // an item not shown leaves the sea as it is
    hidden.m_nX = 6;
    hidden.m_nY = 3;
    hidden.m_vEntryItem[0].m_nKind = 1;
    hidden.m_vEntryItem[0].m_nNeedFlag = 5;
    g_WorldMap.m_vEntry = {road, wall, hidden};
    EXPECT_FALSE(IsWorldCellBlocked(2, 3));
    EXPECT_TRUE(IsWorldCellBlocked(3, 3));
    EXPECT_FALSE(IsWorldCellBlocked(4, 3));
    EXPECT_TRUE(IsWorldCellBlocked(5, 3));
    EXPECT_TRUE(IsWorldCellBlocked(6, 3));
    g_SaveData.ClearFlags[5] = 1;
    EXPECT_FALSE(IsWorldCellBlocked(6, 3));
}

TEST_F(WorldMapItemTest, OneStepAFrameLeftRightUpDownInThatOrderInsideTheMap)
{
    const struct {
        uint16_t dirs;
        int32_t col, row;
        int32_t wantFacing, wantCol, wantRow;
    } cases[] = {
        {0, 5, 5, -1, 5, 5},
        {kDirLeft, 5, 5, 2, 4, 5},
        {kDirRight, 5, 5, 3, 6, 5},
        {kDirUp, 5, 5, 1, 5, 4},
        {kDirDown, 5, 5, 0, 5, 6},
        {kDirLeft | kDirRight | kDirUp | kDirDown, 5, 5, 2, 4, 5},
        {kDirRight | kDirUp, 5, 5, 3, 6, 5},
        {kDirUp | kDirDown, 5, 5, 1, 5, 4},
        {kDirLeft, 0, 5, 2, 0, 5},
        {kDirRight, 19, 5, 3, 19, 5},
        {kDirUp, 5, 0, 1, 5, 0},
        {kDirDown, 5, 14, 0, 5, 14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "dirs " << c.dirs << " at " << c.col << "," << c.row);
        int32_t col = c.col;
        int32_t row = c.row;
        EXPECT_EQ(StepWorldCursor(c.dirs, col, row), c.wantFacing);
        EXPECT_EQ(col, c.wantCol);
        EXPECT_EQ(row, c.wantRow);
    }
}

TEST(WorldMapRules, LivesBoxGrowsWithTheDigitsAndInfiniteLivesTakeOne)
{
    const struct {
        int32_t lives, wantX, wantWidth;
    } cases[] = {
        {0, 589, 32},      {3, 589, 32},       {12, 573, 48},        {999998, 509, 112},
        {999999, 589, 32}, {INT_MAX, 445, 176}, {-5, 589, 32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lives);
        int32_t x = 0;
        int32_t w = 0;
        WorldLivesBox(c.lives, x, w);
        EXPECT_EQ(x, c.wantX);
        EXPECT_EQ(w, c.wantWidth);
    }
}

TEST_F(WorldMapItemTest, StageStartLivesKeepInfiniteLivesWithOrWithoutCarryOver)
{
    cEdWorldEntryItem& item = AddStage(4, 4, 12, "data\\stg4\\Forest.stg4");
    g_Stage.m_strFilePath = "data\\stg4\\Forest.stg4_003";
    struct Case {
        const char* name;
        int32_t bCarry, bInfinite, nLives;
        int32_t wantStartLives;
    };
    const Case cases[] = {
        {"no carry-over: the starting lives", 0, 0, 1, 3},
        {"no carry-over, infinite lives", 0, 1, kInfiniteLives, kInfiniteLives},
        {"carry-over: the lives left and the one in play", 1, 0, 1, 2},
        {"carry-over, infinite lives", 1, 1, kInfiniteLives, kInfiniteLives},
        {"carry-over never runs past infinite", 1, 0, INT_MAX, kInfiniteLives},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_System.m_bStoryCarryLives = c.bCarry;
        g_System.m_vInfiniteLives[0] = c.bInfinite;
        g_SaveData.nLives = c.nLives;
        g_SaveData.nPart = 4;
        SetPlayingWorldItem(nullptr);
        PrepareWorldStageStart(item);
        EXPECT_EQ(g_SaveData.nStageStartLives, c.wantStartLives);
        EXPECT_EQ(g_SaveData.nStage, 12);
        EXPECT_EQ(g_SaveData.nPart, 1);
        EXPECT_EQ(g_SaveData.CurrentStageName, "data\\stg4\\Forest.");
        EXPECT_EQ(PlayingWorldItem(), &item);
    }
    // The end action is the played item's.
    item.m_nSpare = 2;
    EXPECT_EQ(PlayingWorldItemEndAction(), 2);
    // The reference follows the map's lists: once the map no longer holds it, nothing is played.
    g_WorldMap.m_vEntry.clear();
    EXPECT_EQ(PlayingWorldItem(), nullptr);
    EXPECT_EQ(PlayingWorldItemEndAction(), 0);
}

// ---- the scene ----

class WorldMapSceneRun : public WorldMapSceneTest {
protected:
    // Enters the scene and finishes its fade-in. No graphics run here, so the entry's bitmaps
    // fail to load and ask for a close; that request is dropped.
    void Start(cWorldMapScene& scene)
    {
        Frame(scene);
        TakeCloseRequests();
        Frame(scene);
    }
};

TEST_F(WorldMapSceneRun, CursorWalksAroundWallsAndTheViewFollows)
{
    SetChip(10, 7, kSea);
    cWorldMapScene scene;
    Start(scene);
    ASSERT_EQ(scene.Phase(), 1);
    EXPECT_EQ(MenuCursor.Current().col, 9);
    EXPECT_EQ(scene.ViewLeft(), 0);
    EXPECT_EQ(scene.ViewTop(), 0);
    // The sea to the right stops the cursor; the cell before the move is remembered.
    Press(scene, kDirRight);
    EXPECT_EQ(MenuCursor.Current().col, 9);
    EXPECT_EQ(scene.ViewLeft(), 0);
    EXPECT_EQ(g_SaveData.nPrevMapX, 9);
    // Down, then right: the view moves with the cursor, which stays at the screen's cell (9, 7).
    Press(scene, kDirDown);
    Press(scene, kDirRight | kDirUp);   // right wins over up
    EXPECT_EQ(MenuCursor.Current().col, 10);
    EXPECT_EQ(MenuCursor.Current().row, 8);
    EXPECT_EQ(scene.Facing(), 3);
    EXPECT_EQ(scene.ViewLeft(), 1);
    EXPECT_EQ(scene.ViewTop(), 1);
    EXPECT_EQ(MenuCursor.Current().x, 288);
    EXPECT_EQ(MenuCursor.Current().y, 224);
    // Cancel leaves for the menu and keeps the cell in the save data.
    Frame(scene, 0, kCancel);
    EXPECT_EQ(scene.Phase(), 3);
    EXPECT_EQ(SceneManager.RequestedScene, kSceneMapMenu);
    EXPECT_EQ(g_SaveData.nMapX, 10);
    EXPECT_EQ(g_SaveData.nMapY, 8);
    FinishFadeOut(scene);
    EXPECT_EQ(SceneManager.CurrentScene.load(), kSceneMapMenu);
    EXPECT_EQ(SceneManager.PreviousScene, kSceneWorldMap);
}

TEST_F(WorldMapSceneRun, AStageThatMustBePlayedOpensThePromptAndDecliningStepsBack)
{
    AddStage(10, 7, 1, "data\\stg4\\Missing.stg4");
    cWorldMapScene scene;
    Start(scene);
    Press(scene, kDirRight);
    // The prompt opened at once; the stage file is missing, so its box was shown.
    ASSERT_EQ(scene.Phase(), 2);
    EXPECT_EQ(g_SaveData.nMapX, 10);
    EXPECT_EQ(scene.StageLoaded(), 0);
    EXPECT_EQ(BoxesWith("Missing.stg4"), 1u);
    EXPECT_EQ(MenuCursor.Current().row, 1) << "the prompt starts on its second answer";
    // Answering the first choice without a loaded stage only leaves the prompt.
    Press(scene, kDirUp);
    EXPECT_EQ(MenuCursor.Current().row, 0);
    Frame(scene, 0, kConfirm);
    EXPECT_EQ(scene.Phase(), 1);
    EXPECT_EQ(MenuCursor.Depth(), 1);
    EXPECT_EQ(MenuCursor.Current().col, 9) << "back on the cell it came from";
    EXPECT_EQ(scene.ViewLeft(), 0);
    EXPECT_EQ(scene.CurrentItem(), nullptr);
    // Declining again and again leaves one cursor record.
    for (int i = 0; i < 3; ++i) {
        Press(scene, kDirRight);
        ASSERT_EQ(scene.Phase(), 2);
        Frame(scene, 0, kCancel);
        EXPECT_EQ(scene.Phase(), 1);
    }
    EXPECT_EQ(MenuCursor.Depth(), 1);
    EXPECT_EQ(TakeCloseRequests(), 0) << ReadText("Report_Game.txt");
}

TEST_F(WorldMapSceneRun, ConfirmingThePromptStartsTheStage)
{
    WriteStage("data/stg4/Forest.stg4_002");
    cEdWorldEntryItem& item = AddStage(9, 8, 4, "data\\stg4\\Forest.stg4", 1);
    g_System.m_bStoryCarryLives = 0;
    g_System.m_vInfiniteLives[0] = 1;
    cWorldMapScene scene;
    Start(scene);
    Press(scene, kDirDown);
    // A passable stage waits for confirm.
    EXPECT_EQ(scene.Phase(), 1);
    EXPECT_EQ(g_SaveData.CurrentStageName, "data\\stg4\\Forest.");
    Frame(scene, 0, kConfirm);
    ASSERT_EQ(scene.Phase(), 2);
    Frame(scene);
    EXPECT_EQ(scene.StageLoaded(), 1);
    Press(scene, kDirDown);   // wraps to the first answer
    Frame(scene, 0, kConfirm);
    EXPECT_EQ(scene.Phase(), 3);
    EXPECT_EQ(SceneManager.RequestedScene, kSceneStagePlay);
    EXPECT_EQ(g_SaveData.nFacing, 0);
    EXPECT_EQ(g_SaveData.nStage, 4);
    EXPECT_EQ(g_SaveData.nStageStartLives, kInfiniteLives);
    EXPECT_EQ(g_Stage.m_strFilePath, "data\\stg4\\Forest.stg4_002");
    EXPECT_EQ(PlayingWorldItem(), &item);
}

TEST_F(WorldMapSceneRun, AClearedStageThatCannotBeReplayedIgnoresConfirm)
{
    AddStage(9, 7, 2, "data\\stg4\\Forest.stg4");
    g_SaveData.ClearFlags[2] = 1;
    cWorldMapScene scene;
    Start(scene);
    ASSERT_EQ(scene.Phase(), 1);
    Press(scene, 0, kConfirm);
    EXPECT_EQ(scene.Phase(), 1);
    g_WorldMap.m_vEntry[0].m_vEntryItem[0].m_bReplayable = 1;
    Frame(scene, 0, kConfirm);
    EXPECT_EQ(scene.Phase(), 2);
}

TEST_F(WorldMapSceneRun, NewGameOnAStageThatMustBePlayedStartsItAfterTheFadeIn)
{
    WriteStage("data/stg4/Forest.stg4_000");
    AddStage(9, 7, 1, "data\\stg4\\Forest.stg4");
    cWorldMapScene scene;
    Start(scene);
    EXPECT_EQ(scene.Phase(), 3);
    EXPECT_EQ(SceneManager.RequestedScene, kSceneStagePlay);
    EXPECT_EQ(g_SaveData.nStageStartLives, 3);
    EXPECT_EQ(g_SaveData.nPrevMapX, 9);
    EXPECT_EQ(g_SaveData.nPrevMapY, 7);
}

TEST_F(WorldMapSceneRun, AnAutomaticStartThatFailsShowsItsBoxOnceAndCloses)
{
    AddStage(9, 7, 1, "data\\stg4\\Missing.stg4");
    cWorldMapScene scene;
    Frame(scene);
    TakeCloseRequests();
    for (int i = 0; i < 10; ++i) Frame(scene);
    EXPECT_EQ(BoxesWith("Missing.stg4"), 1u);
    EXPECT_EQ(TakeCloseRequests(), 1);
    EXPECT_EQ(scene.Phase(), 0);
}

TEST_F(WorldMapSceneRun, BackFromTheMenuTheStageWaitsForThePlayer)
{
    AddStage(9, 7, 1, "data\\stg4\\Missing.stg4");
    SceneManager.PreviousScene = kSceneMapMenu;
    cWorldMapScene scene;
    Start(scene);
    EXPECT_EQ(HostRecordedMessageBoxes().size(), 0u);
    // The first map frame opens the prompt, as walking onto the stage does.
    EXPECT_EQ(scene.Phase(), 1);
    Frame(scene);
    EXPECT_EQ(scene.Phase(), 2);
}

TEST_F(WorldMapSceneRun, GivingUpReturnsToTheCellBeforeTheStageWithTheViewThere)
{
    AddStage(15, 12, 1, "data\\stg4\\Missing.stg4");
    g_SaveData.nMapX = 15;
    g_SaveData.nMapY = 12;
    g_SaveData.nPrevMapX = 14;
    g_SaveData.nPrevMapY = 12;
    g_SaveData.bGaveUp = 1;
    SceneManager.PreviousScene = kSceneStagePlay;
    cWorldMapScene scene;
    Start(scene);
    EXPECT_EQ(scene.Phase(), 1);
    EXPECT_EQ(g_SaveData.bGaveUp, 0);
    EXPECT_EQ(MenuCursor.Current().col, 14);
    EXPECT_EQ(MenuCursor.Current().row, 12);
    EXPECT_EQ(scene.ViewLeft(), 5);
    EXPECT_EQ(scene.ViewTop(), 5);
    EXPECT_EQ(scene.CurrentItem(), nullptr);
    // The map goes on from there: no prompt, no box.
    Frame(scene);
    EXPECT_EQ(scene.Phase(), 1);
    EXPECT_EQ(HostRecordedMessageBoxes().size(), 0u);
}

TEST_F(WorldMapSceneRun, AutoSaveWritesTheCurrentSlotOnTheReturnFromAStage)
{
    g_SaveData.bAutoSave = 1;
    g_SaveData.nCurrentSlot = 2;
    g_SaveData.nScore = 4321;
    SceneManager.PreviousScene = kSceneStagePlay;
    {
        cWorldMapScene scene;
        Frame(scene);
    }
    cSaveData stored;
    ASSERT_TRUE(stored.LoadFromFile("user_data\\story\\Story03.dat"));
    EXPECT_EQ(stored.nScore, 4321);
    EXPECT_EQ(stored.bAutoSave, 1);
    // A switch without a slot (only a damaged file holds that) writes nothing.
    g_SaveData.nCurrentSlot = -1;
    {
        cWorldMapScene scene;
        Frame(scene);
    }
    EXPECT_FALSE(std::filesystem::exists("user_data/story/Story00.dat"));
}

}  // namespace
