#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "RecordTestUtil.h"
#include "StageFixtures.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "data/EdDatabase.h"
#include "data/EdPalette.h"
#include "data/EdStage.h"
#include "data/StageLoader.h"
#include "platform/host/Host.h"
#include "platform/win/WinFile.h"
#include "platform/win/WinMessage.h"
#include "tests/platform/TestWindow.h"

namespace {

// The window procedure of the test's main window answers a close request the way the program
// does while a stage loads: it stops the loader thread.
LRESULT LoaderTestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        thLoad.Exit();
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

class StageLoaderTest : public ScratchFolderTest {
protected:
    void SetUp() override
    {
        ScratchFolderTest::SetUp();
        HostSelect(HostKind::Headless);
        HostClearRecordedMessageBoxes();
        g_Database.SetDefaults();
        g_CommonPalette = cEdPalette();
        g_Stage = cEdStage();
        g_StageStart = cEdStage();
        m_hWindow = CreateTestWindow("StageLoaderTestWindow", LoaderTestWindowProc);
        hMainWnd = m_hWindow;
        std::filesystem::create_directories("data/stg4");
        ASSERT_TRUE(CreateReportLog("Report_Game.txt"));
    }
    void TearDown() override
    {
        // A loader stopped while the machine is busy may still be on its way out of its last read.
        for (int i = 0; i < 30000 && StageLoadersRunning() > 0; ++i)
            ::usleep(1000);
        EXPECT_EQ(StageLoadersRunning(), 0);
        hMainWnd = nullptr;
        if (m_hWindow != nullptr) DestroyWindow(m_hWindow);
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        ScratchFolderTest::TearDown();
    }

    // Takes the calling thread's messages: close requests to the main window and quit messages.
    void TakeMessages(int& nCloses, int& nQuits)
    {
        nCloses = nQuits = 0;
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_CLOSE) ++nCloses;
            if (msg.message == WM_QUIT) ++nQuits;
        }
    }

    static std::vector<std::string> BoxTexts()
    {
        std::vector<std::string> texts;
        for (const RecordedMessageBox& box : HostRecordedMessageBoxes()) texts.push_back(box.text);
        return texts;
    }

    // The working stage as a test leaves it before a load.
    static void MarkWorkingStage()
    {
        g_Stage.m_nWidth = 4321;
        g_Stage.m_vBlock.resize(2);
        g_Stage.m_vPaletteItem.resize(6);
    }
    static void ExpectWorkingStageUntouched()
    {
        EXPECT_EQ(g_Stage.m_nWidth, 4321);
        EXPECT_EQ(g_Stage.m_vBlock.size(), 2u);
        EXPECT_EQ(g_Stage.m_vPaletteItem.size(), 6u);
        EXPECT_EQ(g_Stage.m_bLoaded.load(), 0);
    }

    HWND m_hWindow = nullptr;
};

StageFixture PlayableStage(int32_t nWidth)
{
    StageFixture fixture;
    fixture.vScalars[0].dValue = nWidth;
    fixture.vChara = {HeroFixture()};
    BlockFixture block;
    block.nGraphicIndex = 3;
    block.nX = 2;
    fixture.vBlock = {BlockBody(block)};
    fixture.vPaletteItem.push_back(ItemBody({}));
    fixture.vText = {"opening"};
    return fixture;
}

// A stage with so many placed blocks that reading it takes a long while.
constexpr size_t kLongStageBlocks = 60000;
Bytes LongStageFile()
{
    StageFixture fixture = PlayableStage(50);
    BlockFixture block;
    block.nGraphicIndex = 1;
    fixture.vBlock.assign(kLongStageBlocks, BlockBody(block));
    return StageFile(fixture);
}

}  // namespace

TEST_F(StageLoaderTest, LoadsTheLatestNumberedFileAndFillsTheStartStage)
{
    WriteWholeFile("data/stg4/a.stg4_003", StageFile(PlayableStage(30)));
    WriteWholeFile("data/stg4/a.stg4_010", StageFile(PlayableStage(40)));
    for (const char* name : {"data\\stg4\\a.stg4", "data\\stg4\\a.dat"}) {
        g_Stage = cEdStage();
        g_StageStart.m_vBlock.resize(3);
        ASSERT_EQ(LoadStageFile(name, 1, &g_StageStart), 1) << name;
        EXPECT_EQ(g_Stage.m_strFilePath, "data\\stg4\\a.stg4_010");
        EXPECT_EQ(g_Stage.m_bUseLatest, 1);
        EXPECT_EQ(g_Stage.m_bLoaded.load(), 1);
        EXPECT_EQ(g_Stage.m_nWidth, 40);
        EXPECT_EQ(g_Stage.m_vChara.size(), 1u);
        EXPECT_EQ(g_Stage.m_vBlock.size(), 1u);
        EXPECT_EQ(g_Stage.m_vPaletteItem.size(), 3u);
        // The start-of-stage stage: scalars, backgrounds, texts, ranges, result kinds only.
        EXPECT_EQ(g_StageStart.m_nWidth, 40);
        EXPECT_EQ(g_StageStart.m_vText.size(), 1u);
        EXPECT_EQ(g_StageStart.m_vText[0].m_strText, "opening");
        EXPECT_EQ(g_StageStart.m_vResultKind, g_Stage.m_vResultKind);
        EXPECT_EQ(g_StageStart.m_Setting[4].m_nMarginLeft, 10);
        EXPECT_TRUE(g_StageStart.m_vBlock.empty());
        EXPECT_TRUE(g_StageStart.m_vChara.empty());
        EXPECT_TRUE(g_StageStart.m_vItem.empty());
        EXPECT_TRUE(g_StageStart.m_vPaletteBlock.empty());
        EXPECT_TRUE(g_StageStart.m_vPaletteChara.empty());
        EXPECT_TRUE(g_StageStart.m_vPaletteItem.empty());
    }
    EXPECT_TRUE(HostRecordedMessageBoxes().empty());
    EXPECT_EQ(thLoad.m_hThread.load(), nullptr);
}

TEST_F(StageLoaderTest, LoadsANamedFileWithoutAStartStage)
{
    WriteWholeFile("data/stg4/b.stg4_000", StageFile(PlayableStage(22)));
    g_StageStart.m_nWidth = 5;
    ASSERT_EQ(LoadStageFile("data\\stg4\\b.stg4_000", 0, nullptr), 1);
    EXPECT_EQ(g_Stage.m_nWidth, 22);
    EXPECT_EQ(g_Stage.m_bUseLatest, 0);
    EXPECT_EQ(g_StageStart.m_nWidth, 5);
}

TEST_F(StageLoaderTest, NoNumberedFileFailsWithoutAMessage)
{
    MarkWorkingStage();
    EXPECT_EQ(LoadStageFile("data\\stg4\\none.stg4", 1, &g_StageStart), 0);
    EXPECT_TRUE(HostRecordedMessageBoxes().empty());
    ExpectWorkingStageUntouched();
}

TEST_F(StageLoaderTest, NameWithoutNumberedFilesThatIsNotAStageFailsAsADamagedFile)
{
    // The name is there, but no numbered stage file of it: it is read as named and its failure
    // is reported like a damaged stage file's.
    std::filesystem::create_directories("data/stg4/sub.stg4");
    const std::string text = "a text file, not a stage\r\n";
    WriteWholeFile("data/stg4/notes.txt", Bytes(text.begin(), text.end()));
    struct Case {
        const char* lpName;
        const char* lpBox;
        const char* lpReport;
        int nCloses;
    };
    const Case cases[] = {
        {"data\\stg4\\sub.stg4", "ステージファイル data\\stg4\\sub.stg4 の読み込みに失敗しました！",
         "data\\stg4\\sub.stg4 : not loaded, the file cannot be opened", 0},
        {"data\\stg4\\notes.txt", "ステージファイル data\\stg4\\notes.txt が破損しています！",
         "data\\stg4\\notes.txt : not loaded, the file is damaged", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lpName);
        HostClearRecordedMessageBoxes();
        MarkWorkingStage();
        EXPECT_EQ(LoadStageFile(c.lpName, 1, &g_StageStart), 0);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.lpBox});
        const Bytes log = ReadWholeFile("Report_Game.txt");
        EXPECT_NE(std::string(log.begin(), log.end()).find(c.lpReport), std::string::npos);
        int nCloses = 0, nQuits = 0;
        TakeMessages(nCloses, nQuits);
        EXPECT_EQ(nCloses, c.nCloses);
        ExpectWorkingStageUntouched();
    }
}

TEST_F(StageLoaderTest, StageWithoutAHeroIsRefusedAndTheProgramAskedToClose)
{
    StageFixture fixture = PlayableStage(30);
    CharaFixture computer;
    computer.nGraphicIndex = 9;   // a computer character with a graphic is no hero
    fixture.vChara = {computer};
    WriteWholeFile("data/stg4/c.stg4_000", StageFile(fixture));
    MarkWorkingStage();
    EXPECT_EQ(LoadStageFile("data\\stg4\\c.stg4_000", 0, &g_StageStart), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"主人公が配置されていないのでプレイできません！"});
    int nCloses = 0, nQuits = 0;
    TakeMessages(nCloses, nQuits);
    EXPECT_EQ(nCloses, 1);
    ExpectWorkingStageUntouched();
}

TEST_F(StageLoaderTest, TruncatedFilesFailAndLeaveTheWorkingStage)
{
    // From version 174 the missing trailer is found before loading; earlier files fail to read.
    struct Case {
        uint32_t nVersion;
        const char* lpBox;
        int nCloses;
    };
    const Case cases[] = {
        {751, "ステージファイル data\\stg4\\d.stg4_000 が破損しています！", 1},
        {172, "ステージファイル data\\stg4\\d.stg4_000 の読み込みに失敗しました！", 0},
    };
    for (const Case& c : cases) {
        HostClearRecordedMessageBoxes();
        StageFixture fixture = PlayableStage(30);
        fixture.nVersion = c.nVersion;
        const Bytes full = StageFile(fixture);
        WriteWholeFile("data/stg4/d.stg4_000", Bytes(full.begin(), full.end() - 40));
        MarkWorkingStage();
        g_StageStart.m_nWidth = 8;
        EXPECT_EQ(LoadStageFile("data\\stg4\\d.stg4_000", 0, &g_StageStart), 0) << c.nVersion;
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.lpBox}) << c.nVersion;
        int nCloses = 0, nQuits = 0;
        TakeMessages(nCloses, nQuits);
        EXPECT_EQ(nCloses, c.nCloses);
        ExpectWorkingStageUntouched();
        EXPECT_EQ(g_StageStart.m_nWidth, 8);
        EXPECT_EQ(g_Stage.m_strFilePath, "data\\stg4\\d.stg4_000");
    }
}

TEST_F(StageLoaderTest, MissingFilePassesTheCheckAndFailsToLoad)
{
    MarkWorkingStage();
    EXPECT_EQ(CheckStageFile("data\\stg4\\missing.stg4_000"), 1);
    EXPECT_EQ(LoadStageFile("data\\stg4\\missing.stg4_000", 0, nullptr), 0);
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>{"ステージファイル data\\stg4\\missing.stg4_000 の読み込みに失敗しました！"});
    ExpectWorkingStageUntouched();
}

TEST_F(StageLoaderTest, CheckStageFileTestsTheTrailerFromVersion174)
{
    struct Case {
        uint32_t nVersion;
        bool bTrailer;
        int nResult;
    };
    for (const Case& c : {Case{173, false, 1}, Case{174, true, 1}, Case{174, false, 0}, Case{751, false, 0}}) {
        HostClearRecordedMessageBoxes();
        Bytes file;
        AppendU32(file, c.nVersion);
        AppendU32(file, 0);
        AppendU32(file, c.bTrailer ? 123456789u : 123456788u);
        WriteWholeFile("data/stg4/e.stg4_000", file);
        EXPECT_EQ(CheckStageFile("data\\stg4\\e.stg4_000"), c.nResult) << c.nVersion;
        EXPECT_EQ(HostRecordedMessageBoxes().size(), c.nResult ? 0u : 1u);
        int nCloses = 0, nQuits = 0;
        TakeMessages(nCloses, nQuits);
        EXPECT_EQ(nCloses, c.nResult ? 0 : 1);
    }
    // A file holding nothing but its version has no trailer either.
    Bytes versionOnly;
    AppendU32(versionOnly, 751);
    WriteWholeFile("data/stg4/e.stg4_000", versionOnly);
    EXPECT_EQ(CheckStageFile("data\\stg4\\e.stg4_000"), 0);
}

TEST_F(StageLoaderTest, QuitWhileLoadingStopsTheLoaderAndIsPassedOn)
{
    WriteWholeFile("data/stg4/long.stg4_000", LongStageFile());
    MarkWorkingStage();
    // The calling thread's loop takes the quit while the loader is still reading.
    PostQuitMessage(3);
    EXPECT_EQ(LoadStageFile("data\\stg4\\long.stg4_000", 0, &g_StageStart), 0);
    EXPECT_EQ(thLoad.m_hThread.load(), nullptr);
    ExpectWorkingStageUntouched();
    EXPECT_TRUE(HostRecordedMessageBoxes().empty());
    // The quit is back in the calling thread's queue for its own loop.
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(StageLoaderTest, CloseWhileLoadingStopsTheLoaderWithoutAnErrorBox)
{
    WriteWholeFile("data/stg4/long.stg4_000", LongStageFile());
    MarkWorkingStage();
    // Dispatched by the waiting loop, the close request stops the loader thread.
    PostMessage(m_hWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(LoadStageFile("data\\stg4\\long.stg4_000", 0, &g_StageStart), 0);
    EXPECT_EQ(thLoad.m_hThread.load(), nullptr);
    EXPECT_TRUE(HostRecordedMessageBoxes().empty());
    ExpectWorkingStageUntouched();
    const Bytes log = ReadWholeFile("Report_Game.txt");
    EXPECT_NE(std::string(log.begin(), log.end()).find("stage loading stopped"), std::string::npos);

    // The loader thread object is free for the next load.
    WriteWholeFile("data/stg4/short.stg4_000", StageFile(PlayableStage(50)));
    ASSERT_EQ(LoadStageFile("data\\stg4\\short.stg4_000", 0, &g_StageStart), 1);
    EXPECT_EQ(g_Stage.m_nWidth, 50);
}
