#pragma once
// A scratch player folder for the world-map and world-map menu scenes: a 20 x 15 map of open
// grass, the project settings of a new project, a fresh story game, a window that receives the
// close requests, and one frame of input at a time.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "data/EdDatabase.h"
#include "data/EdPalette.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "data/EdWorldMap.h"
#include "data/StageLoader.h"
#include "frontend/MenuCursor.h"
#include "frontend/MenuScene.h"
#include "frontend/SaveData.h"
#include "media/input/KeyInput.h"
#include "platform/host/Host.h"
#include "platform/win/WinFile.h"
#include "platform/win/WinMessage.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "tests/data/RecordTestUtil.h"
#include "tests/data/StageFixtures.h"
#include "tests/platform/TestWindow.h"

class WorldMapSceneTest : public ScratchFolderTest {
protected:
    static constexpr int32_t kGrass = 5;   // a chip the cursor may cross
    static constexpr int32_t kSea = 0;     // an impassable chip

    void SetUp() override
    {
        ScratchFolderTest::SetUp();
        HostSelect(HostKind::Headless);
        HostClearRecordedMessageBoxes();
        m_SavedSystem = g_System;
        m_SavedMap = g_WorldMap;
        m_SavedFadeSpeed = SceneManager.FadeSpeed;
        g_Database.SetDefaults();
        g_CommonPalette = cEdPalette();
        g_Stage = cEdStage();
        g_StageStart = cEdStage();
        g_System.SetDefaults();
        g_System.m_vStartLives = {3, 3, 3, 3};
        g_System.m_vInfiniteLives.assign(4, 0);
        g_WorldMap.SetDefaults();
        for (int32_t y = 0; y < 15; ++y)
            for (int32_t x = 0; x < 20; ++x) g_WorldMap.m_vCell[static_cast<size_t>(x + (y << g_WorldMap.m_nPitchShift))] = kGrass;
        g_WorldMap.m_vEntry.clear();
        g_SaveData.ResetProgress();
        SceneManager.GameMode = 0;
        SceneManager.TitleChoice = 0;
        SceneManager.ModeHasRanking = 0;
        SceneManager.PreviousScene = kSceneTitle;
        SceneManager.RequestedScene = kSceneWorldMap;
        SceneManager.CurrentScene = kSceneWorldMap;
        // One step of the fade finishes it, so a scene reaches its menu on its second frame.
        SceneManager.FadeSpeed = 90;
        InputStates.resize(1);
        // The cursor sound's entry; no sound device runs, so it plays nothing.
        if (SoundTable.empty()) SoundTable.resize(1);
        InputStates[0].m_wDirection = 0;
        InputStates[0].m_wButton = 0;
        MenuCursor.ResetMenuCursor();
        m_hWindow = CreateTestWindow("WorldMapTestWindow");
        hMainWnd = m_hWindow;
        std::filesystem::create_directories("data/stg4");
        std::filesystem::create_directories("user_data/story");
        ASSERT_TRUE(CreateReportLog("Report_Game.txt"));
    }

    void TearDown() override
    {
        for (int i = 0; i < 30000 && StageLoadersRunning() > 0; ++i) ::usleep(1000);
        hMainWnd = nullptr;
        DestroyWindow(m_hWindow);
        TakeCloseRequests();
        g_System = m_SavedSystem;
        g_WorldMap = m_SavedMap;
        g_SaveData.Reset();
        SceneManager.FadeSpeed = m_SavedFadeSpeed;
        SceneManager.CurrentScene = 0;
        SceneManager.PreviousScene = 0;
        MenuCursor.ResetMenuCursor();
        SaveSlots.clear();
        ScratchFolderTest::TearDown();
    }

    // One frame of the scene with these directions and buttons held; the next frame releases
    // them unless it holds them again.
    static void Frame(cScene& scene, uint16_t wDirections = 0, uint16_t wButtons = 0)
    {
        InputStates[0].m_wDirection = wDirections;
        InputStates[0].m_wButton = wButtons;
        scene.RunFrame();
        InputStates[0].m_wDirection = 0;
        InputStates[0].m_wButton = 0;
    }
    // Frames until the scene has handed over to another (at most a few).
    static void FinishFadeOut(cScene& scene)
    {
        const int32_t nFrom = SceneManager.CurrentScene.load();
        for (int i = 0; i < 5 && SceneManager.CurrentScene.load() == nFrom; ++i) Frame(scene);
    }
    // A press: the frame that takes it and a frame with everything released.
    static void Press(cScene& scene, uint16_t wDirections, uint16_t wButtons = 0)
    {
        Frame(scene, wDirections, wButtons);
        Frame(scene);
    }

    // Close requests posted to the window since the last call.
    int32_t TakeCloseRequests()
    {
        int32_t n = 0;
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_CLOSE) ++n;
        }
        return n;
    }

    static void SetChip(int32_t x, int32_t y, int32_t nChip)
    {
        g_WorldMap.m_vCell[static_cast<size_t>(x + (y << g_WorldMap.m_nPitchShift))] = nChip;
    }
    // An entry with one stage item at the cell.
    static cEdWorldEntryItem& AddStage(int32_t x, int32_t y, int32_t nStageNo, const char* lpFile,
                                       int32_t bPassable = 0)
    {
        cEdWorldEntry entry;
        entry.m_nX = x;
        entry.m_nY = y;
        cEdWorldEntryItem& item = entry.m_vEntryItem[0];
        item.m_nKind = 0;
        item.m_nStageNo = nStageNo;
        item.m_bStopOnPlace = bPassable;
        item.m_strTitle = "Forest";
        item.m_strStageFile = lpFile;
        g_WorldMap.m_vEntry.push_back(entry);
        return g_WorldMap.m_vEntry.back().m_vEntryItem[0];
    }
    static void WriteStage(const char* lpHostPath)
    {
        StageFixture stage;
        stage.vChara = {HeroFixture()};
        WriteWholeFile(lpHostPath, StageFile(stage));
    }
    static size_t BoxesWith(const std::string& text)
    {
        size_t n = 0;
        for (const RecordedMessageBox& box : HostRecordedMessageBoxes())
            if (box.text.find(text) != std::string::npos) ++n;
        return n;
    }

    static std::string ReadText(const std::string& hostPath)
    {
        const Bytes bytes = ReadWholeFile(hostPath);
        return std::string(bytes.begin(), bytes.end());
    }

    cEdSystem m_SavedSystem;
    cEdWorldMap m_SavedMap;
    int32_t m_SavedFadeSpeed = 0;
    HWND m_hWindow = nullptr;
};
