// The world-map menu walked frame by frame: the items offered, saving into a story slot with its
// overwrite question, switching auto-save, closing and returning to the title.
#include <filesystem>

#include "frontend/MapMenuScene.h"
#include "tests/frontend/WorldMapSceneFixture.h"

namespace {

constexpr uint16_t kConfirm = 1;
constexpr uint16_t kCancel = 2;

class MapMenuTest : public WorldMapSceneTest {
protected:
    void SetUp() override
    {
        WorldMapSceneTest::SetUp();
        SceneManager.CurrentScene = kSceneMapMenu;
        SceneManager.PreviousScene = kSceneWorldMap;
        for (cEdSystemText& entry : g_System.m_vMapMenu) entry.m_bEnabled = 1;
    }
    // Enters the menu and finishes its fade-in (the entry's bitmaps fail here: that close
    // request is dropped).
    void Start(cMapMenuScene& scene)
    {
        Frame(scene);
        TakeCloseRequests();
        Frame(scene);
        ASSERT_EQ(scene.Phase(), 1);
    }
    // Moves the menu cursor to the item and confirms it.
    void Choose(cMapMenuScene& scene, int32_t nRow)
    {
        for (int32_t i = 0; i < nRow; ++i) Press(scene, kDirDown);
        Press(scene, 0, kConfirm);
    }
};

TEST_F(MapMenuTest, OfferedItemsFollowTheEnableFlags)
{
    const struct {
        std::vector<int32_t> enabled;
        std::vector<int32_t> want;
    } cases[] = {
        {{1, 1, 1, 1}, {0, 1, 2, 3}},
        {{0, 1, 0, 1}, {1, 3}},
        {{0, 0, 0, 0}, {0}},
    };
    for (const auto& c : cases) {
        for (size_t i = 0; i < 4; ++i) g_System.m_vMapMenu[i].m_bEnabled = c.enabled[i];
        EXPECT_EQ(BuildMapMenuItems(), c.want);
    }
}

TEST_F(MapMenuTest, SavingAsksFirstAndTheListShowsOnlyWrittenSlots)
{
    g_SaveData.nScore = 777;
    cMapMenuScene scene;
    Start(scene);
    Choose(scene, 0);
    ASSERT_EQ(scene.Phase(), 2);
    Frame(scene);
    // No current slot: the list opens on its first slot.
    EXPECT_EQ(MenuCursor.Current().row, 0);
    EXPECT_EQ(scene.SlotTop(), 0);
    Press(scene, kDirDown);
    Press(scene, kDirDown);
    Press(scene, 0, kConfirm);
    ASSERT_EQ(scene.PhaseStep(), 2);
    EXPECT_EQ(MenuCursor.Current().row, 1) << "the question starts on its second answer";
    // Confirming at once goes back to the list without writing.
    Press(scene, 0, kConfirm);
    EXPECT_EQ(scene.PhaseStep(), 1);
    EXPECT_EQ(MenuCursor.Current().row, 2) << "the list cursor is where it was";
    EXPECT_FALSE(std::filesystem::exists("user_data/story/Story03.dat"));
    EXPECT_EQ(g_SaveData.nCurrentSlot, -1);
    // Now the first answer: the slot is written, listed and current.
    Press(scene, 0, kConfirm);
    Press(scene, kDirUp);
    Press(scene, 0, kConfirm);
    EXPECT_EQ(scene.PhaseStep(), 1);
    EXPECT_EQ(g_SaveData.nCurrentSlot, 2);
    ASSERT_EQ(SaveSlots.size(), 99u);
    EXPECT_EQ(SaveSlots[2].bValid, 1);
    cSaveData stored;
    ASSERT_TRUE(stored.LoadFromFile("user_data\\story\\Story03.dat"));
    EXPECT_EQ(stored.nScore, 777);
    EXPECT_EQ(stored.nCurrentSlot, 2);
    // Cancel goes back to the menu with its cursor on the save item.
    Press(scene, 0, kCancel);
    EXPECT_EQ(scene.Phase(), 1);
    EXPECT_EQ(MenuCursor.Depth(), 1);
    EXPECT_EQ(MenuCursor.Current().row, 0);
    EXPECT_EQ(TakeCloseRequests(), 0);
}

TEST_F(MapMenuTest, ASlotThatCannotBeWrittenIsNotShownAsSaved)
{
    // A folder where the slot file belongs: the write fails.
    std::filesystem::create_directories("user_data/story/Story01.dat");
    g_SaveData.nCurrentSlot = 4;
    cMapMenuScene scene;
    Start(scene);
    Choose(scene, 0);
    Frame(scene);
    EXPECT_EQ(MenuCursor.Current().row, 4) << "the list opens on the current slot";
    for (int i = 0; i < 4; ++i) Press(scene, kDirUp);
    Press(scene, 0, kConfirm);
    Press(scene, kDirUp);
    Press(scene, 0, kConfirm);
    EXPECT_EQ(SaveSlots[0].bValid, 0);
    EXPECT_EQ(g_SaveData.nCurrentSlot, 4);
    EXPECT_NE(ReadText("Report_Game.txt").find("story slot 1 could not be written"), std::string::npos);
}

TEST_F(MapMenuTest, SwitchingAutoSaveOnWritesTheSwitchIntoTheSlot)
{
    g_SaveData.nCurrentSlot = 6;
    cMapMenuScene scene;
    Start(scene);
    Choose(scene, 1);
    ASSERT_EQ(scene.Phase(), 3);
    Frame(scene);
    EXPECT_EQ(MenuCursor.Current().row, 1) << "auto-save is off";
    Press(scene, kDirUp);
    Press(scene, 0, kConfirm);
    EXPECT_EQ(scene.Phase(), 1);
    EXPECT_EQ(g_SaveData.bAutoSave, 1);
    cSaveData stored;
    ASSERT_TRUE(stored.LoadFromFile("user_data\\story\\Story07.dat"));
    EXPECT_EQ(stored.bAutoSave, 1);
    EXPECT_EQ(SaveSlots.size() > 6 ? SaveSlots[6].bValid : 0, 1);
    // Switching it off again changes the record only.
    Choose(scene, 0);
    Frame(scene);
    EXPECT_EQ(MenuCursor.Current().row, 0) << "auto-save is on";
    Press(scene, kDirDown);
    Press(scene, 0, kConfirm);
    EXPECT_EQ(g_SaveData.bAutoSave, 0);
}

TEST_F(MapMenuTest, WithoutASlotAutoSaveShowsTheNoticeAndChangesNothing)
{
    cMapMenuScene scene;
    Start(scene);
    Choose(scene, 1);
    Frame(scene);
    EXPECT_EQ(scene.PhaseStep(), 2);
    Press(scene, kDirUp);
    Press(scene, 0, kConfirm);
    EXPECT_EQ(scene.Phase(), 1);
    EXPECT_EQ(g_SaveData.bAutoSave, 0);
    EXPECT_EQ(MenuCursor.Current().row, 1) << "back on the auto-save item";
}

TEST_F(MapMenuTest, CloseAndCancelGoBackToTheMap)
{
    for (int32_t bByCancel = 0; bByCancel < 2; ++bByCancel) {
        SCOPED_TRACE(bByCancel ? "cancel" : "close item");
        SceneManager.CurrentScene = kSceneMapMenu;
        cMapMenuScene scene;
        Start(scene);
        if (bByCancel) Press(scene, 0, kCancel);
        else Choose(scene, 2);
        FinishFadeOut(scene);
        EXPECT_EQ(SceneManager.CurrentScene.load(), kSceneWorldMap);
        EXPECT_EQ(SceneManager.PreviousScene, kSceneMapMenu);
    }
}

TEST_F(MapMenuTest, ReturningToTheTitleAsksFirst)
{
    cMapMenuScene scene;
    Start(scene);
    Choose(scene, 3);
    ASSERT_EQ(scene.Phase(), 5);
    Frame(scene);
    EXPECT_EQ(MenuCursor.Current().row, 1) << "the question starts on its second answer";
    Press(scene, 0, kConfirm);
    EXPECT_EQ(scene.Phase(), 1);
    EXPECT_EQ(MenuCursor.Current().row, 3);
    Press(scene, 0, kConfirm);
    Frame(scene);
    Press(scene, kDirUp);
    Press(scene, 0, kConfirm);
    EXPECT_EQ(SceneManager.RequestedScene, kSceneTitle);
    FinishFadeOut(scene);
    EXPECT_EQ(SceneManager.CurrentScene.load(), kSceneTitle);
}

}  // namespace
