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
#include "core/Text.h"
#include "core/MainWindow.h"
#include "data/EdChara.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "data/StageLoader.h"
#include "frontend/ChallengeSelectScene.h"
#include "frontend/MenuCursor.h"
#include "frontend/SaveData.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/GraphicsState.h"
#include "media/input/KeyInput.h"
#include "platform/host/Host.h"
#include "platform/win/WinMessage.h"
#include "shell/MainWindowProc.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "tests/platform_graphics/BmpFixture.h"
#include "tests/platform/TestWindow.h"

namespace {

// System sounds the main window was asked to play, and the close requests it was sent.
std::vector<WPARAM> g_Sounds;
int g_nCloses = 0;

LRESULT ChallengeTestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_PLAYSE) {
        g_Sounds.push_back(wParam);
        return 0;
    }
    if (message == WM_CLOSE) {
        ++g_nCloses;
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

HWND MakeTestWindow()
{
    return CreateTestWindow("ChallengeSelectTestWindow", ChallengeTestWindowProc);
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
        g_nCloses = 0;
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

// ---- the scene, frame by frame ----

constexpr uint32_t kSymbolRgb = 0x30C050;   // the cleared symbol of "bmp\Accessory.bmp"
constexpr uint32_t kCursorRgb = 0xC03048;
constexpr uint32_t kKeyRgb = 0xFF00FF;

bool SceneModes(const ModeCase& m)
{
    return m.nDepth == 32;
}

class ChallengeSelectSceneTest : public TextTest {
protected:
    void SetUp() override
    {
        m_lpFolder = std::make_unique<ChallengeFolder>();
        m_lpSaved = std::make_unique<SavedGameState>();
        TextTest::SetUp();
        if (HasFatalFailure()) return;
        // The scenes load their system surfaces from the program's bitmap table.
        lpSurfaceArray = SystemSurfaces;
        lpBitmapTable = BitmapFileTable;
        nSurfaceCount = SystemSurfaceCount;
        // The cursor at (0, 0) and the cleared symbol at (96, 0), 32 x 32 each, on the key colour.
        bmpfixture::Image accessory;
        accessory.width = 128;
        accessory.height = 32;
        accessory.pixels.assign(128 * 32, kKeyRgb);
        for (int32_t y = 0; y < 32; ++y)
            for (int32_t x = 0; x < 32; ++x) {
                accessory.pixels[static_cast<size_t>(y * 128 + x)] = kCursorRgb;
                accessory.pixels[static_cast<size_t>(y * 128 + 96 + x)] = kSymbolRgb;
            }
        bmpfixture::Image window;
        window.width = window.height = 16;
        window.pixels.assign(16 * 16, 0x405060);
        ASSERT_TRUE(bmpfixture::WriteFile("bmp/Accessory.bmp", bmpfixture::Encode(accessory, {})));
        ASSERT_TRUE(bmpfixture::WriteFile("bmp/Window.bmp", bmpfixture::Encode(window, {})));

        m_lpWindowPicture = NewSurface(640, 480);
        DDFillSurface(m_lpWindowPicture, 77);
        InitFont(&FontTable[1], "ＭＳ ゴシック", 0, 16, 16, 16, kTextColour, m_lpWindowPicture, 1, 240, nullptr, 0);
        InitFont(&FontTable[2], "ＭＳ ゴシック", 0, 32, 32, 32, kTextColour, m_lpWindowPicture, 1, 240, nullptr, 0);
        for (int32_t i : {1, 2}) FontTable[static_cast<size_t>(i)].m_bLetterPictures = 0;
        InputStates.assign(1, cKeyInput());
        SoundTable.assign(1, DSSOUNDDATA{});
        SceneManager.FadeSpeed = 10;
        SceneManager.CurrentScene = kSceneChallengeSelect;
    }
    void TearDown() override
    {
        // Every surface loaded, every picture made: nothing asked the program to close.
        EXPECT_EQ(g_nCloses, 0);
        m_lpScene.reset();
        ReleaseFont(&FontTable[1]);
        ReleaseFont(&FontTable[2]);
        TextTest::TearDown();
        lpSurfaceArray = nullptr;
        lpBitmapTable = nullptr;
        nSurfaceCount = 0;
        m_lpSaved.reset();
        m_lpFolder.reset();
    }

    // A challenge project whose UI texts the screen shows; the scene is made afresh.
    void MakeScene(int32_t nStages, int32_t bAllOpen, int32_t nOpen)
    {
        SetChallengeProject(nStages, bAllOpen, nOpen);
        g_System.m_vText[0] = "Stage";
        g_System.m_vText[3] = "Best";
        g_System.m_vText[4] = "Total";
        m_lpScene = std::make_unique<cChallengeSelectScene>();
    }

    // One frame with these directions and buttons held (a press is reported on its first frame).
    void Frame(uint16_t wDirection = 0, uint16_t wButton = 0)
    {
        cKeyInput& input = InputStates[0];
        input.m_wDirection = wDirection;
        input.m_wButton = wButton;
        m_lpScene->RunFrame();
    }
    void Press(uint16_t wDirection, uint16_t wButton = 0)
    {
        Frame(wDirection, wButton);
        Frame();
    }
    void RunUntilPhase(int32_t nPhase)
    {
        for (int i = 0; i < 200 && m_lpScene->Phase() != nPhase; ++i) Frame();
        ASSERT_EQ(m_lpScene->Phase(), nPhase);
    }
    void RunUntilHandedOver()
    {
        for (int i = 0; i < 200 && SceneManager.CurrentScene == kSceneChallengeSelect; ++i) Frame();
    }
    // Whether the pixel of the screen picture has the colour (0xRRGGBB).
    bool ScreenHas(int32_t x, int32_t y, uint32_t rgb)
    {
        int32_t r = 0, g = 0, b = 0;
        Channels(Get(&ScenePictures[0], x, y), &r, &g, &b);
        return static_cast<uint32_t>((r << 16) | (g << 8) | b) == rgb;
    }

    std::unique_ptr<ChallengeFolder> m_lpFolder;
    std::unique_ptr<SavedGameState> m_lpSaved;
    std::unique_ptr<cChallengeSelectScene> m_lpScene;
    DDSURFACEDATA* m_lpWindowPicture = nullptr;
};

TEST_P(ChallengeSelectSceneTest, ReopensOnTheStageLastStartedBroughtIntoTheListAsItIsNow)
{
    const struct {
        const char* name;
        int32_t nStages, bAllOpen, nOpen, nKeptRow, nKeptTop;
        int32_t wantRow, wantTop, wantRows;
        const char* wantKey;
    } cases[] = {
        {"the stage last started", 40, 1, 1, 17, 12, 17, 12, 10, "data\\stg4\\c18."},
        {"a save that offers fewer stages now", 40, 0, 3, 7, 5, 2, 0, 3, "data\\stg4\\c03."},
        {"a save that offers none", 0, 1, 1, 4, 1, 0, 0, 0, "data\\stg4\\c01."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MakeScene(c.nStages, c.bAllOpen, c.nOpen);
        SceneManager.ChallengeRow = c.nKeptRow;
        SceneManager.ChallengeTop = c.nKeptTop;
        Frame();
        EXPECT_EQ(MenuCursor.Current().row, c.wantRow);
        EXPECT_EQ(m_lpScene->TopLine(), c.wantTop);
        EXPECT_EQ(m_lpScene->VisibleRows(), c.wantRows);
        EXPECT_EQ(g_SaveData.CurrentStageName, c.wantKey);
    }
}

TEST_P(ChallengeSelectSceneTest, TenLinesAtMostAndAPageJumpMovesByOneLineLess)
{
    MakeScene(15, 1, 1);
    RunUntilPhase(1);
    EXPECT_EQ(m_lpScene->StageCount(), 15);
    EXPECT_EQ(m_lpScene->VisibleRows(), 10);
    const struct {
        const char* name;
        uint16_t wDirection;
        int32_t wantRow, wantTop;
    } steps[] = {
        {"down in the page", kDirDown, 1, 0},
        {"page right stops at the last page", kDirRight, 10, 5},
        {"page right on the last page goes to the last stage", kDirRight, 14, 5},
        {"down on the last stage stays", kDirDown, 14, 5},
        {"page left", kDirLeft, 5, 0},
        {"up to the top line's stage", kDirUp, 4, 0},
        {"page left on the first page goes to the first stage", kDirLeft, 0, 0},
        {"up on the first stage stays", kDirUp, 0, 0},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        Press(step.wDirection);
        EXPECT_EQ(MenuCursor.Current().row, step.wantRow);
        EXPECT_EQ(m_lpScene->TopLine(), step.wantTop);
        EXPECT_EQ(m_lpScene->VisibleRows(), 10);
        EXPECT_EQ(MenuCursor.Current().y, 160 + 32 * (step.wantRow - step.wantTop));
        std::string key;
        FormatString(key, "data\\stg4\\c%02d.", step.wantRow + 1);
        EXPECT_EQ(g_SaveData.CurrentStageName, key);
    }
    EXPECT_TRUE(g_Sounds.empty());   // the cursor's own sound is played on the sound layer
}

TEST_P(ChallengeSelectSceneTest, CancelReturnsToTheTitle)
{
    MakeScene(40, 1, 1);
    RunUntilPhase(1);
    Press(0, 2);
    EXPECT_EQ(m_lpScene->Phase(), 2);
    EXPECT_EQ(g_Sounds, std::vector<WPARAM>{2});
    RunUntilHandedOver();
    EXPECT_EQ(SceneManager.CurrentScene.load(), kSceneTitle);
    EXPECT_EQ(SceneManager.PreviousScene, kSceneChallengeSelect);
}

TEST_P(ChallengeSelectSceneTest, AMissingStageIsReportedOncePerPressAndAFoundOneStarts)
{
    MakeScene(40, 0, 3);
    SceneManager.ChallengeRow = 2;
    RunUntilPhase(1);
    // Confirm held for several frames: one refusal, one box.
    Frame(0, 1);
    Frame(0, 1);
    Frame(0, 1);
    Frame();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"ステージファイル data\\stg4\\c03-1.stg4 が読み込めません！"});
    EXPECT_EQ(g_Sounds, std::vector<WPARAM>{3});
    EXPECT_EQ(m_lpScene->Phase(), 1);

    WriteChallengeStage("data\\stg4\\c02-1.stg4_000", 21);
    g_Sounds.clear();
    Press(kDirUp);
    Press(0, 1);
    EXPECT_EQ(m_lpScene->Phase(), 2);
    EXPECT_EQ(g_Sounds, std::vector<WPARAM>{1});
    EXPECT_EQ(g_Stage.m_nWidth, 21);
    EXPECT_EQ(g_SaveData.nStage, 2);
    EXPECT_EQ(SceneManager.ChallengeRow, 1);
    EXPECT_EQ(SceneManager.ChallengeTop, 0);
    RunUntilHandedOver();
    EXPECT_EQ(SceneManager.CurrentScene.load(), kSceneStagePlay);
    EXPECT_EQ(SceneManager.PreviousScene, kSceneChallengeSelect);
    EXPECT_EQ(BoxTexts().size(), 1u);
}

TEST_P(ChallengeSelectSceneTest, ClearedStagesCarryTheSymbolAndBestScoresShowWhenSwitchedOn)
{
    // "Stage" is 5 characters: the symbol stands at x 288, the best score at x 352.
    for (const int32_t bShowBest : {1, 0}) {
        SCOPED_TRACE(bShowBest);
        MakeScene(40, 0, 4);
        g_System.m_bChallengeShowHighScore = bShowBest;
        g_SaveData.ChallengeRecords[1].bCleared = 1;
        g_SaveData.ChallengeRecords[1].nBest = 4321;
        g_SaveData.ChallengeRecords[3].bCleared = 1;
        RunUntilPhase(1);
        ASSERT_FALSE(ScenePictures.empty());
        for (int32_t line = 0; line < 4; ++line) {
            SCOPED_TRACE(line);
            const int32_t y = 160 + 32 * line;
            EXPECT_EQ(ScreenHas(288 + 16, y + 16, kSymbolRgb), line == 1 || line == 3);
            const int32_t nScoreInk = CountRaw(&ScenePictures[0], 352, y, 32 * 4, 32,
                                               PaletteRaw(&ScenePictures[0], kTextColour));
            if (bShowBest) EXPECT_GT(nScoreInk, 0);
            else EXPECT_EQ(nScoreInk, 0);
        }
        // Lines past the open stages stay empty.
        EXPECT_EQ(CountRaw(&ScenePictures[0], 32, 160 + 32 * 4, 576, 32 * 6, PaletteRaw(&ScenePictures[0], kTextColour)),
                  0);
        // The cursor stands on the first line.
        Frame();
        int32_t r = 0, g = 0, b = 0;
        Channels(Get(&BackBuffer, 32 + 16, 160 + 16), &r, &g, &b);
        EXPECT_EQ(static_cast<uint32_t>((r << 16) | (g << 8) | b), kCursorRgb);
        m_lpScene.reset();
    }
}

TEST_P(ChallengeSelectSceneTest, TheTotalLineNeedsTheSwitchAndAScore)
{
    const struct {
        int32_t bShow, nTotal;
        bool wantLine;
    } cases[] = {{1, 500, true}, {1, 0, false}, {0, 500, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bShow << " " << c.nTotal);
        MakeScene(40, 1, 1);
        g_System.m_bChallengeShowTotalScore = c.bShow;
        g_SaveData.nHighScoreTotal = c.nTotal;
        Frame();
        ASSERT_FALSE(ScenePictures.empty());
        // "Total500" is 8 characters of font 1, centred on x 320 at y 88.
        const uint32_t ink = PaletteRaw(&ScenePictures[0], kTextColour);
        EXPECT_EQ(CountRaw(&ScenePictures[0], 256, 88, 128, 16, ink) > 0, c.wantLine);
        EXPECT_EQ(CountRaw(&ScenePictures[0], 0, 88, 255, 16, ink), 0);
        EXPECT_EQ(CountRaw(&ScenePictures[0], 385, 88, 255, 16, ink), 0);
        m_lpScene.reset();
    }
}

TEST_P(ChallengeSelectSceneTest, TheRankingButtonsNeedTheModesRankings)
{
    for (const int32_t bRankings : {1, 0}) {
        SCOPED_TRACE(bRankings);
        MakeScene(40, 1, 1);
        CheckedAt(g_System.m_vRanking, 1).m_bEnabled = bRankings;
        CheckedAt(g_System.m_vRanking, 1).m_vKind = {1, 0, 1, 0, 0};
        g_SaveData.nRankingKind = 0;
        g_SaveData.bRankingPanel = 1;
        RunUntilPhase(1);
        g_Sounds.clear();
        Press(0, 4);
        EXPECT_EQ(g_SaveData.bRankingPanel, 0);
        Press(0, 4);
        EXPECT_EQ(g_SaveData.bRankingPanel, bRankings);
        Press(0, 8);
        EXPECT_EQ(g_SaveData.nRankingKind, bRankings ? 2 : 0);
        const std::vector<WPARAM> wantSounds = bRankings ? std::vector<WPARAM>{6, 6, 6} : std::vector<WPARAM>{};
        EXPECT_EQ(g_Sounds, wantSounds);
        m_lpScene.reset();
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, ChallengeSelectSceneTest, ::testing::ValuesIn(ModesWhere(SceneModes)), ModeName);

}  // namespace
