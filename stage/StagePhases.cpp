// The stage-play scene's states around play: entry, fade-in, the start banners, the pause menu,
// the results, the retry prompt after a lost life, the game-over banner and the fade-out.
#include <cstring>

#include "core/CheckedAccess.h"
#include "core/MainWindow.h"
#include "core/Text.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "frontend/MenuCursor.h"
#include "frontend/MenuScene.h"
#include "frontend/RankingDraw.h"
#include "frontend/Replay.h"
#include "frontend/SaveData.h"
#include "frontend/StageStart.h"
#include "media/graphics/BitmapTable.h"
#include "media/graphics/DDBlitEffects.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/GraphicsState.h"
#include "media/input/KeyInput.h"
#include "media/text/Font.h"
#include "objects/GraphicSource.h"
#include "platform/win/WinKeyboard.h"
#include "platform/win/WinMessage.h"
#include "shell/SceneManager.h"
#include "shell/SettingsRecords.h"
#include "shell/ShellGlobals.h"
#include "stage/PlayState.h"
#include "stage/Player.h"
#include "stage/StageBitmaps.h"
#include "stage/StageResources.h"
#include "stage/StageSounds.h"

namespace {

constexpr int32_t kWordSurface = 51;        // "bmp\Word.bmp": the banners
constexpr int32_t kAccessorySurface = 49;   // "bmp\Accessory.bmp": the menu cursor
constexpr int32_t kBannerFrames = 79;
constexpr int32_t kResultsKeyFrame = 200;
constexpr int VK_F3_KEY = VK_F1 + 2;

bool KeyDown(int nKey)
{
    return (GetAsyncKeyState(nKey) & 0x8000) != 0;
}

void PostClose()
{
    PostMessage(hMainWnd.load(), WM_CLOSE, 0, 0);
}

cKeyInput& PlayerOneInput()
{
    return CheckedAt(InputStates, 0);
}

// Menus of the stage take a button on the frame it is pressed and let held directions repeat.
void PrepareMenuInput(cKeyInput& input)
{
    input.LatchButtons(0);
    input.ApplyAutoRepeat();
}

void DrawMenuCursor()
{
    DDBlt(&BackBuffer, MenuCursor.Current().x, MenuCursor.Current().y, 16, 16,
          &SystemSurfaces[kAccessorySurface], 64, 0, 1);
}

// Whether the pause menu offers a retry in this game mode.
bool PauseOffersRetry()
{
    switch (SceneManager.GameMode) {
    case 0:
        return g_System.m_bStoryPauseRetry != 0 &&
               CheckedAt(g_SaveData.ClearFlags, g_SaveData.nStage) != 0;
    case 1:
        return g_System.m_bChallengePauseRetry != 0 &&
               CheckedAt(g_SaveData.ChallengeRecords, g_SaveData.nStage - 1).bCleared != 0;
    case 2:
        return true;
    default:
        return false;
    }
}

}  // namespace

void cPlayState::Enter()
{
    m_vRankPlace.assign(5, 0);
    m_vRankValue.assign(5, 0);
    SelectGraphicTables();
    // The eight background layers take the stage's own pictures; a colour-filled or missing layer
    // loads nothing.
    for (int32_t i = 0; i < 8; ++i) {
        BITMAPFILEENTRY& entry = BitmapFileTable[StageBackgroundBitmapFirst + i];
        entry.szFileName[0] = 0;
        if (static_cast<size_t>(i) >= g_Stage.m_vBackground.size()) continue;
        const cEdStageBackground& background = g_Stage.m_vBackground[static_cast<size_t>(i)];
        if (background.m_bColorFill != 0) continue;
        std::strncpy(entry.szFileName, background.m_strFile.c_str(), sizeof(entry.szFileName) - 1);
        entry.szFileName[sizeof(entry.szFileName) - 1] = 0;
        // DirectDraw keeps a picture larger than the screen in system memory (Direct3D leaves
        // the entry as it is).
        if (entry.szFileName[0] != 0)
            DDBitmapExceedsSize(&entry.nDDMemoryType, entry.szFileName, 640, 480);
    }
    const bool bRestart = SceneManager.PreviousScene == kSceneStagePlay;
    if (!bRestart) {
        if (!DDLoadBitmapTable(SystemSurfaces, StageFullBitmapIds, 65)) {
            m_bSetupFailed = 1;
            PostClose();
            return;
        }
        BuildShotSheets();
        LoadStageCharaBitmaps();
        LoadStageSwords();
        LoadStageEffects();
        ResetPlayCounters();
        UseLife(g_SaveData);
    } else if (!DDLoadBitmapTable(SystemSurfaces, StageRestartBitmapIds, 8)) {
        m_bSetupFailed = 1;
        PostClose();
        return;
    }
    SetStage(bRestart ? 1 : 0, 1);
    MenuCursor.ResetMenuCursor();
    m_nPhaseStep = 0;
}

void cPlayState::FadeIn()
{
    DrawStageFrame(0, 1, 0, 1);
    if (SceneFadeInStep()) m_nPhase = 1;
}

void cPlayState::ShowStartBanner()
{
    DrawStageFrame(0, 1, 0, 1);
    // The editor's test play of a stage goes straight into play.
    if (!(bTestPlay.load() != 0 && bDirectStage.load() != 0)) {
        if (ReplayPlaybackOn()) {
            if (m_nBannerCount++ < kBannerFrames) {
                DDBlt(&BackBuffer, 256, 224, 128, 32, &SystemSurfaces[kWordSurface], 0, 32, 1);
                return;
            }
        } else {
            if (g_Stage.m_bStageNoBanner != 0 && m_nBannerCount++ < kBannerFrames) {
                DDBlt(&BackBuffer, 256, 224, 128, 32, &SystemSurfaces[kWordSurface], 0, 0, 1);
                DDDrawNumber(&BackBuffer, 384, 224, 32, 32, &SystemSurfaces[kWordSurface], 0, 128, 1,
                             g_SaveData.nPart, 1, 0);
                return;
            }
            if (g_Stage.m_bStartBanner != 0 && m_nBannerCount2++ < kBannerFrames) {
                DDBlt(&BackBuffer, 280, 224, 80, 32, &SystemSurfaces[kWordSurface], 160, 0, 1);
                return;
            }
        }
    }
    if (!Player.empty()) Player[0].m_Anime.SetPattern(Player[0].m_bFlying != 0 ? 2 : 0, 1);
    m_nBannerCount = 0;
    m_nPhase = 2;
}

int32_t cPlayState::CheckPauseKey()
{
    if (!KeyDown(VK_SPACE)) return 0;
    PlaySystemSound(4);
    m_nSavedPhase = m_nPhase;
    m_nSavedPhaseStep = m_nPhaseStep;
    return 1;
}

void cPlayState::PauseMenu()
{
    if (PollReplayHotkeys()) return;
    const bool bRetry = PauseOffersRetry();
    if (m_nPhaseStep == 0) {
        MenuCursor.ResetMenuCursor();
        MenuCursor.Current().row = 1;
        m_nPhaseStep = 1;
    } else if (m_nPhaseStep != 1) {
        return;
    }
    cKeyInput& input = PlayerOneInput();
    PrepareMenuInput(input);
    const int32_t nRows = bRetry ? 3 : 2;
    // Measured over three texts whatever is shown, so the menu does not jump between forms.
    const int32_t x = g_System.CenterTextColumn(320, 19, 3, 1);
    MenuCursor.MoveGridCursor(input, x, 272, 0, 16, 1, nRows);
    PlayCursorSound(input, 2, SoundTable, 0);
    const int32_t nItem = MenuCursor.Current().row;
    if ((input.m_wButton & 1) != 0) {
        PlaySystemSound(1);
        if (nItem == 0) {
            m_nPhase = 7;
            if (bRetry && bDirectStage.load() != 0) {
                PostClose();
            } else {
                SceneManager.RequestedScene = kSceneTitle;
                MenuCursor.Current().row = SceneManager.TitleChoice;
                m_nPhaseStep = 0;
            }
        } else if (nItem == 1) {
            m_bHoldButtons = 1;
            m_nPhase = m_nSavedPhase;
            m_nPhaseStep = m_nSavedPhaseStep;
        } else {
            m_bHoldButtons = 1;
            g_SaveData.RestoreRetryPoint(1, SceneManager.GameMode, bDirectStage.load());
            SetStage(1, 0);
            m_nPhaseStep = 0;
            m_nPhase = 1;
        }
        return;
    }
    if ((input.m_wButton & 2) != 0) {
        PlaySystemSound(2);
        m_bHoldButtons = 1;
        m_nPhase = m_nSavedPhase;
        m_nPhaseStep = bRetry ? m_nSavedPhaseStep : 0;
        return;
    }
    DrawStageFrame(0, 1, 0, 1);
    DrawTextList(g_System.m_vText, &BackBuffer, x, 272, 19, nRows, 1);
    DrawMenuCursor();
}

void cPlayState::StageEndResults()
{
    const bool bAutomatic = g_Stage.m_bSkipResults != 0;
    const int32_t nEntryMode = OptionData.nRankingEntryMode;
    if (!bAutomatic) {
        if (CheckPauseKey()) {
            m_nPhaseStep = 0;
            m_nPhase = 3;
            return;
        }
        PollReplayHotkeys();
        if ((nEntryMode == 0 || nEntryMode == 1) && KeyDown(VK_F3_KEY)) EnterRanking();
    }
    if (m_nPhaseStep == 0) {
        m_nBannerCount = 0;
        m_nPhaseStep = 1;
    } else if (m_nPhaseStep != 1) {
        return;
    }
    cKeyInput& input = PlayerOneInput();
    PrepareMenuInput(input);
    bool bLeave = bAutomatic && m_nBannerCount >= kResultsKeyFrame;
    if (!bAutomatic && (input.m_wButton & 1) != 0 && m_nBannerCount >= kResultsKeyFrame) {
        if (m_bNewRanking != 0 && (nEntryMode == 2 || nEntryMode == 3))
            EnterRanking();
        else
            PlaySystemSound(1);
        bLeave = true;
    }
    if (bLeave) {
        SceneManager.RequestedScene = CarryOverPlayer();
        m_nBannerCount = 0;
        m_nPhaseStep = 0;
        m_nPhase = 7;
        return;
    }
    bool bRanked = false;
    for (int32_t nPlace : m_vRankPlace)
        if (nPlace != -1) bRanked = true;
    if (bAutomatic || m_bRankingEntered != 0) {
        DrawStageFrame(0, 1, 0, 1);
    } else if (bRanked && (nEntryMode == 0 || nEntryMode == 1)) {
        DrawStageFrame(0, 1, 0, 0);
        const char* lpHint = CheckedAt(g_System.m_vText, 27).c_str();
        FontDraw(&FontTable[1], &BackBuffer, 320 - 8 * CountChars(lpHint), 456, lpHint);
    } else {
        DrawStageFrame(0, 1, 0, 1);
    }
    if (g_Stage.m_bClearBanner != 0) {
        const int32_t nOld = m_nBannerCount;
        m_nBannerCount += 4;
        if (nOld < 96)
            DDBltStripe(&BackBuffer, 256, 192, 128, 32, 4, 96 - m_nBannerCount,
                        &SystemSurfaces[kWordSurface], 0, 64, 1, 0);
        else
            DDBlt(&BackBuffer, 256, 192, 128, 32, &SystemSurfaces[kWordSurface], 0, 64, 1);
    } else {
        m_nBannerCount = kResultsKeyFrame;
    }
    if (m_nBannerCount >= kResultsKeyFrame && SceneManager.ModeHasRanking != 0 && !bAutomatic)
        DrawResultPanel(&BackBuffer, 336, 224, m_vRankPlace);
}

void cPlayState::RetryPrompt()
{
    if (PollReplayHotkeys()) return;
    if (m_nPhaseStep == 0) {
        MenuCursor.Current().row = 0;
        m_nPhaseStep = 1;
    } else if (m_nPhaseStep != 1) {
        return;
    }
    cKeyInput& input = PlayerOneInput();
    PrepareMenuInput(input);
    const int32_t x = g_System.CenterTextColumn(320, 22, 2, 1);
    MenuCursor.MoveGridCursor(input, x, 272, 0, 16, 1, 2);
    PlayCursorSound(input, 2, SoundTable, 0);
    if ((input.m_wButton & 1) != 0) {
        PlaySystemSound(1);
        if (MenuCursor.Current().row == 0) {
            SetStage(1, 0);
            m_nPhase = 1;
        } else {
            g_SaveData.bGaveUp = 1;
            SceneManager.RequestedScene = kSceneWorldMap;
            MenuCursor.Current().row = SceneManager.TitleChoice;
            m_nPhaseStep = 0;
            m_nPhase = 7;
        }
        return;
    }
    DrawStageFrame(0, 1, 0, 1);
    DrawTextList(g_System.m_vText, &BackBuffer, x, 272, 22, 2, 1);
    DrawMenuCursor();
}

void cPlayState::WaitKeyBanner()
{
    if (CheckPauseKey()) {
        m_nPhaseStep = 0;
        m_nPhase = 3;
        return;
    }
    if (PollReplayHotkeys()) return;
    cKeyInput& input = PlayerOneInput();
    PrepareMenuInput(input);
    if ((input.m_wButton & 1) != 0) {
        PlaySystemSound(1);
        m_nPhase = 7;
        SceneManager.RequestedScene = kSceneTitle;
        return;
    }
    DrawStageFrame(0, 1, 0, 1);
    if (g_Stage.m_bWaitBanner != 0)
        DDBlt(&BackBuffer, 248, 224, 144, 32, &SystemSurfaces[kWordSurface], 0, 96, 1);
}

void cPlayState::FadeOut()
{
    DrawStageFrame(0, 1, 0, 1);
    if (!SceneFadeOutStep()) return;
    DDFillSurface(&BackBuffer, 16);
    // Free play without a chain of parts plays the stage file again from its start.
    if (SceneManager.TitleChoice == 3 && g_SaveData.bPartChain == 0) {
        const std::string strPath = g_Stage.m_strFilePath;
        if (!StartFromStageFile(strPath.c_str(), 0)) PostClose();
    }
    SceneManager.FrameRate = 60;
    SceneManager.CurrentScene = SceneManager.RequestedScene;
    SceneManager.PreviousScene = kSceneStagePlay;
    m_nPhase = -1;
}
