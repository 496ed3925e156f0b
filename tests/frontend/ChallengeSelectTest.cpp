// The challenge stage select: which stages the list offers, where a cursor kept from an earlier
// visit lands when the list is shorter now, the stage file a line names, what starting a stage
// prepares and what a refused start leaves alone; then the scene itself, frame by frame on the
// headless graphics layer: paging, cancel, a missing stage file, a stage started, and the lines
// it draws.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TextTestSupport.h"
#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "data/EdChara.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "data/StageLoader.h"
#include "frontend/ChallengeSelectScene.h"
#include "frontend/MenuCursor.h"
#include "frontend/SaveData.h"
#include "media/graphics/DDFill.h"
#include "media/input/KeyInput.h"
#include "platform/host/Host.h"
#include "platform/win/WinMessage.h"
#include "shell/MainWindowProc.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "tests/platform_graphics/BmpFixture.h"

namespace {

// System sounds the main window was asked to play.
std::vector<WPARAM> g_Sounds;

LRESULT ChallengeTestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_PLAYSE) {
        g_Sounds.push_back(wParam);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

HWND MakeTestWindow()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSEX windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ChallengeTestWindowProc;
        windowClass.lpszClassName = "ChallengeSelectTestWindow";
        RegisterClassEx(&windowClass);
        registered = true;
    }
    return CreateWindowEx(0, "ChallengeSelectTestWindow", "test", 0, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                          nullptr);
}

// A stage file that loads: one hero in an empty stage.
void WriteChallengeStage(const char* lpPath, int16_t nWidth)
{
    cEdStage stage;
    stage.m_nWidth = nWidth;
    cEdChara hero;
    hero.m_nController = 0;
    hero.m_nGraphicIndex = 4;
    stage.m_vChara.push_back(hero);
    ASSERT_TRUE(stage.SaveToFile(lpPath)) << lpPath;
}

// The game-wide state these tests change, put back after each.
struct SavedGameState {
    SavedGameState()
        : system(g_System), save(g_SaveData), row(SceneManager.ChallengeRow), top(SceneManager.ChallengeTop),
          requested(SceneManager.RequestedScene), previous(SceneManager.PreviousScene),
          current(SceneManager.CurrentScene.load()), mode(SceneManager.GameMode),
          ranking(SceneManager.ModeHasRanking), fade(SceneManager.FadeSpeed), input(InputStates),
          sounds(SoundTable)
    {
    }
    ~SavedGameState()
    {
        g_System = system;
        g_SaveData = save;
        SceneManager.ChallengeRow = row;
        SceneManager.ChallengeTop = top;
        SceneManager.RequestedScene = requested;
        SceneManager.PreviousScene = previous;
        SceneManager.CurrentScene = current;
        SceneManager.GameMode = mode;
        SceneManager.ModeHasRanking = ranking;
        SceneManager.FadeSpeed = fade;
        InputStates = input;
        SoundTable = sounds;
        MenuCursor.ResetMenuCursor();
    }
    cEdSystem system;
    cSaveData save;
    int32_t row, top, requested, previous, current, mode, ranking, fade;
    std::vector<cKeyInput> input;
    std::vector<DSSOUNDDATA> sounds;
};

// A fresh challenge game of a project with the given stages, all open or nOpen of them.
void SetChallengeProject(int32_t nStages, int32_t bAllOpen, int32_t nOpen)
{
    g_System.SetDefaults();
    g_System.m_nChallengeStages = nStages;
    g_System.m_bChallengeAllOpen = bAllOpen;
    g_SaveData.Reset();
    g_SaveData.nOpenChallenge = nOpen;
    g_SaveData.ValidateSaveData();
    SceneManager.GameMode = 1;
    SceneManager.TitleChoice = 2;
    SceneManager.ModeHasRanking = 0;
}

// A scratch folder as the current directory, the headless host and a main window that records
// the sounds asked of it.
class ChallengeFolder {
public:
    ChallengeFolder()
    {
        char pattern[] = "/tmp/challenge_test_XXXXXX";
        EXPECT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder);
        std::filesystem::create_directories("data/stg4");
        std::filesystem::create_directories("bmp");
        HostSelect(HostKind::Headless);
        HostClearRecordedMessageBoxes();
        CreateReportLog("Report_Game.txt");
        m_hWindow = MakeTestWindow();
        hMainWnd = m_hWindow;
        g_Sounds.clear();
    }
    ~ChallengeFolder()
    {
        for (int i = 0; i < 30000 && StageLoadersRunning() > 0; ++i) ::usleep(1000);
        hMainWnd = nullptr;
        if (m_hWindow != nullptr) DestroyWindow(m_hWindow);
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        std::filesystem::current_path(m_previous);
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_previous;
    HWND m_hWindow = nullptr;
};

std::vector<std::string> BoxTexts()
{
    std::vector<std::string> texts;
    for (const RecordedMessageBox& box : HostRecordedMessageBoxes()) texts.push_back(box.text);
    return texts;
}

TEST(ChallengeSelect, StageCountFollowsTheOpenStagesAndTheRecords)
{
    const SavedGameState saved;
    const struct {
        const char* name;
        int32_t nStages, bAllOpen, nOpen;
        int32_t nRecords;   // -1: as the save's validation leaves them
        int32_t want;
    } cases[] = {
        {"a fresh save offers one stage", 40, 0, 1, -1, 1},
        {"stages opened by clears", 40, 0, 7, -1, 7},
        {"all open offers the project's stages", 40, 1, 1, -1, 40},
        {"no more than the project has", 5, 0, 9, -1, 5},
        {"a project without challenge stages offers none", 0, 1, 1, -1, 0},
        {"a negative project count offers none", -3, 1, 1, -1, 0},
        {"never more than the save has records for", 40, 1, 1, 12, 12},
        {"an open count the save was not checked for", 40, 0, INT_MAX, 30, 30},
        {"a negative open count", 40, 0, -4, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetChallengeProject(c.nStages, c.bAllOpen, c.nOpen);
        g_SaveData.nOpenChallenge = c.nOpen;
        if (c.nRecords >= 0) g_SaveData.ChallengeRecords.resize(static_cast<size_t>(c.nRecords));
        EXPECT_EQ(ChallengeStageCount(), c.want);
    }
}

TEST(ChallengeSelect, VisibleRowsAreAtMostTenAndNonePastTheEnd)
{
    const struct {
        int32_t nCount, nTop, want;
    } cases[] = {
        {0, 0, 0}, {1, 0, 1}, {10, 0, 10}, {40, 0, 10}, {40, 30, 10}, {40, 35, 5}, {3, 7, 0}, {5, -2, 7},
        {INT_MAX, INT_MIN + 1, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nCount << " from " << c.nTop);
        EXPECT_EQ(ChallengeVisibleRows(c.nCount, c.nTop), c.want);
    }
}

TEST(ChallengeSelect, AKeptCursorIsBroughtBackIntoTheList)
{
    const struct {
        const char* name;
        int32_t nRow, nTop, nCount;
        int32_t wantRow, wantTop;
    } cases[] = {
        {"in range stays", 12, 5, 40, 12, 5},
        {"the last page", 39, 30, 40, 39, 30},
        {"the save offers fewer stages now", 7, 5, 3, 2, 0},
        {"an empty list", 4, 2, 0, 0, 0},
        {"a top line past the last page", 35, 34, 40, 35, 30},
        {"a row above the top line", 3, 8, 40, 3, 3},
        {"a row below the visible lines", 25, 2, 40, 25, 16},
        {"negative values", -5, -9, 40, 0, 0},
        {"extreme values", INT_MAX, INT_MIN, 40, 39, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int32_t nRow = c.nRow;
        int32_t nTop = c.nTop;
        ClampChallengeCursor(nRow, nTop, c.nCount);
        EXPECT_EQ(nRow, c.wantRow);
        EXPECT_EQ(nTop, c.wantTop);
        // The row is a line of the list as shown.
        if (c.nCount > 0) {
            EXPECT_GE(nRow, nTop);
            EXPECT_LT(nRow, nTop + ChallengeVisibleRows(c.nCount, nTop));
        }
    }
}

TEST(ChallengeSelect, StageNamesAndTheirRankingKeys)
{
    const SavedGameState saved;
    SetChallengeProject(40, 1, 1);
    const struct {
        int32_t nStage;
        const char* wantName;
        const char* wantKey;
    } cases[] = {
        {1, "data\\stg4\\c01-1.stg4", "data\\stg4\\c01."},
        {12, "data\\stg4\\c12-1.stg4", "data\\stg4\\c12."},
        {123, "data\\stg4\\c123-1.stg4", "data\\stg4\\c123."},
    };
    for (const auto& c : cases) {
        std::string name;
        BuildChallengeStageName(name, c.nStage);
        EXPECT_EQ(name, c.wantName);
        SelectChallengeStage(c.nStage);
        EXPECT_EQ(g_SaveData.CurrentStageName, c.wantKey);
        EXPECT_EQ(g_SaveData.bPartChain, 1);
    }
}

TEST(ChallengeSelect, StartingAStagePreparesTheGameInIt)
{
    const SavedGameState saved;
    const ChallengeFolder folder;
    WriteChallengeStage("data\\stg4\\c02-1.stg4_000", 20);
    WriteChallengeStage("data\\stg4\\c02-1.stg4_004", 24);
    const struct {
        const char* name;
        int32_t bInfinite, nStartLives;
        int32_t wantStartLives, wantLives;
    } cases[] = {
        {"counted lives", 0, 3, 3, 2},
        {"infinite lives", 1, 3, kInfiniteLives, kInfiniteLives},
        {"the smallest starting lives do not wrap", 0, INT_MIN, INT_MIN, INT_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetChallengeProject(40, 0, 5);
        CheckedAt(g_System.m_vInfiniteLives, 1) = c.bInfinite;
        CheckedAt(g_System.m_vStartLives, 1) = c.nStartLives;
        g_SaveData.nPart = 3;
        SceneManager.RequestedScene = 0;
        g_Sounds.clear();
        ASSERT_EQ(StartChallengeStage(1, 0), 1);
        EXPECT_EQ(g_Stage.m_nWidth, 24);   // the newest numbered file
        EXPECT_EQ(g_StageStart.m_nWidth, 24);
        EXPECT_EQ(g_SaveData.CurrentStageName, "data\\stg4\\c02.");
        EXPECT_EQ(g_SaveData.bPartChain, 1);
        EXPECT_EQ(g_SaveData.nStage, 2);
        EXPECT_EQ(g_SaveData.nPart, 1);
        EXPECT_EQ(g_SaveData.nStageStartLives, c.wantStartLives);
        EXPECT_EQ(g_SaveData.nLives, c.wantLives);
        EXPECT_EQ(SceneManager.ChallengeRow, 1);
        EXPECT_EQ(SceneManager.ChallengeTop, 0);
        EXPECT_EQ(SceneManager.RequestedScene, kSceneStagePlay);
        EXPECT_EQ(SceneManager.PreviousScene, kSceneChallengeSelect);
        EXPECT_EQ(g_Sounds, std::vector<WPARAM>{1});
    }
    EXPECT_TRUE(BoxTexts().empty());
}

TEST(ChallengeSelect, ARefusedStartLeavesTheSaveAndTheKeptCursor)
{
    const SavedGameState saved;
    const ChallengeFolder folder;
    const struct {
        const char* name;
        int32_t nOpen, nRow;
        std::vector<std::string> wantBoxes;
    } cases[] = {
        {"no stage file of that number", 5, 2, {"ステージファイル data\\stg4\\c03-1.stg4 が読み込めません！"}},
        {"an empty list", 0, 0, {}},
        {"a row past the stages offered", 2, 4, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetChallengeProject(40, 0, c.nOpen);
        g_SaveData.nStage = 9;
        g_SaveData.nLives = 4;
        g_SaveData.nPart = 3;
        SceneManager.ChallengeRow = 6;
        SceneManager.ChallengeTop = 1;
        SceneManager.RequestedScene = kSceneChallengeSelect;
        HostClearRecordedMessageBoxes();
        g_Sounds.clear();
        EXPECT_EQ(StartChallengeStage(c.nRow, 0), 0);
        EXPECT_EQ(BoxTexts(), c.wantBoxes);
        EXPECT_EQ(g_Sounds, std::vector<WPARAM>{3});
        EXPECT_EQ(g_SaveData.nStage, 9);
        EXPECT_EQ(g_SaveData.nLives, 4);
        EXPECT_EQ(g_SaveData.nPart, 3);
        EXPECT_EQ(SceneManager.ChallengeRow, 6);
        EXPECT_EQ(SceneManager.ChallengeTop, 1);
        EXPECT_EQ(SceneManager.RequestedScene, kSceneChallengeSelect);
    }
}

}  // namespace
