#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "data/EdDatabase.h"
#include "data/EdPalette.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "data/StageLoader.h"
#include "frontend/SaveData.h"
#include "frontend/StageStart.h"
#include "platform/host/Host.h"
#include "platform/win/WinFile.h"
#include "platform/win/WinMessage.h"
#include "shell/ShellGlobals.h"
#include "tests/data/StageFixtures.h"
#include "tests/platform/TestWindow.h"

namespace {

class StageStartTest : public ScratchFolderTest {
protected:
    void SetUp() override
    {
        ScratchFolderTest::SetUp();
        HostSelect(HostKind::Headless);
        HostClearRecordedMessageBoxes();
        m_savedSystem = g_System;
        g_Database.SetDefaults();
        g_CommonPalette = cEdPalette();
        g_Stage = cEdStage();
        g_StageStart = cEdStage();
        g_System.m_vStartLives = {3, 3, 5, 3};
        g_System.m_vInfiniteLives.assign(4, 0);
        bDirectStage = 0;
        m_hWindow = CreateTestWindow("StageStartTestWindow");
        hMainWnd = m_hWindow;
        std::filesystem::create_directories("data/stg4");
        ASSERT_TRUE(CreateReportLog("Report_Game.txt"));
        StageFixture stage;
        stage.vChara = {HeroFixture()};
        WriteWholeFile("data/stg4/Cave.stg4_002", StageFile(stage));
        WriteWholeFile("data/stg4/Cave.stg4_007", StageFile(stage));
    }
    void TearDown() override
    {
        for (int i = 0; i < 30000 && StageLoadersRunning() > 0; ++i) ::usleep(1000);
        hMainWnd = nullptr;
        DestroyWindow(m_hWindow);
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        bDirectStage = 0;
        g_System = m_savedSystem;
        g_SaveData.Reset();
        ScratchFolderTest::TearDown();
    }

    cEdSystem m_savedSystem;
    HWND m_hWindow = nullptr;
};

TEST_F(StageStartTest, MakesAFreePlayGameInTheLoadedStage)
{
    struct Case {
        const char* name;
        int32_t bDirect;
        int32_t bInfinite;   // free play's infinite-lives switch
        int32_t nStartLives, nLives;
    };
    const Case cases[] = {
        {"free play lives", 0, 0, 5, 4},
        {"free play with infinite lives", 0, 1, kInfiniteLives, kInfiniteLives},
        {"stage given at start-up", 1, 0, kInfiniteLives, kInfiniteLives},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bDirectStage = c.bDirect;
        g_System.m_vInfiniteLives[2] = c.bInfinite;
        g_SaveData.nStage = 9;
        g_SaveData.nScore = 1234;
        ASSERT_EQ(StartFromStageFile("data\\stg4\\Cave.stg4_002", 0), 1);
        EXPECT_EQ(g_Stage.m_strFilePath, "data\\stg4\\Cave.stg4_002");
        EXPECT_EQ(g_SaveData.nStage, 1);
        EXPECT_EQ(g_SaveData.nPart, 1);
        EXPECT_EQ(g_SaveData.nScore, 0);
        EXPECT_EQ(g_SaveData.nStageStartLives, c.nStartLives);
        EXPECT_EQ(g_SaveData.nLives, c.nLives);
    }
}

TEST_F(StageStartTest, StageNameIsRelativeAndNewestVersionIsFound)
{
    char szCurrent[1024];
    ASSERT_NE(GetCurrentDirectory(sizeof szCurrent, szCurrent), 0u);
    const std::string absolute = std::string(szCurrent) + "\\data\\stg4\\Cave.stg4_002";
    ASSERT_EQ(StartFromStageFile(absolute.c_str(), 0), 1);
    // The stage name is kept relative to the player's folder (a chooser gives whole paths).
    EXPECT_EQ(g_SaveData.CurrentStageName, ".\\data\\stg4\\Cave.");
    ASSERT_EQ(StartFromStageFile("data\\stg4\\Cave.stg4", 1), 1);
    EXPECT_EQ(g_Stage.m_strFilePath, "data\\stg4\\Cave.stg4_007");
    EXPECT_EQ(g_SaveData.CurrentStageName, "data\\stg4\\Cave.");
}

TEST_F(StageStartTest, AStageThatCannotBeLoadedIsRefused)
{
    WriteWholeFile("data/stg4/Broken.stg4_000", Bytes{0x02, 0x00, 0x00});
    g_Stage.m_nWidth = 4321;
    EXPECT_EQ(StartFromStageFile("data\\stg4\\Broken.stg4_000", 0), 0);
    EXPECT_EQ(StartFromStageFile("data\\stg4\\Missing.stg4_000", 0), 0);
    EXPECT_EQ(g_Stage.m_nWidth, 4321);
}

}  // namespace
