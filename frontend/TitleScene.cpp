#include "frontend/TitleScene.h"

#include <algorithm>

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/Text.h"
#include "data/EdSystem.h"
#include "frontend/MenuCursor.h"
#include "frontend/SaveData.h"
#include "media/graphics/DDBlitEffects.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/GraphicsState.h"
#include "media/text/Font.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinThread.h"
#include "shell/MainWindowProc.h"
#include "shell/ShellGlobals.h"

int32_t TitleMenuX = 192;
int32_t TitleMenuY = 240;

namespace {

constexpr int32_t kTitleSurfaces[] = {47, 48, 49, 45};
constexpr int32_t kSlotX = 152;
constexpr int32_t kSlotY = 160;

enum TitleChoiceValue : int32_t {
    kNewStory = 0,
    kContinue = 1,
    kChallenge = 2,
    kFreePlay = 3,
    kReplay = 4,
    kOptions = 5,
    kExit = 6,
};

int32_t RankingSwitchOf(int32_t nMode)
{
    return CheckedAt(g_System.m_vRanking, nMode).m_bEnabled;
}

// Sends a file request to the main window and waits for its dialog to end.
int RequestFileViaUi(UINT message)
{
    FileDialogDone = 0;
    SendMessage(hMainWnd.load(), message, 0, 0);
    while (FileDialogDone.load() == 0) Sleep(1);
    return FileDialogResult.load() != 0 ? 1 : 0;
}

// A choice whose scene cannot be made: the refusal sound, a report line, and the title stays.
void RefuseTitleChoice(int32_t nChoice, int32_t nScene)
{
    PlayMenuSound(3);
    WriteReportLog("title choice %d refused: scene %d cannot be made", nChoice, nScene);
}

}  // namespace

int32_t TitleChoiceScene(int32_t nTitleChoice)
{
    switch (nTitleChoice) {
    case kNewStory:
    case kContinue: return kSceneWorldMap;
    case kChallenge: return kSceneChallengeSelect;
    case kOptions: return kSceneOptions;
    default: return -1;
    }
}

bool TitleChoiceAvailable(int32_t nTitleChoice)
{
    const int32_t nScene = TitleChoiceScene(nTitleChoice);
    return nScene < 0 || HasSceneFactory(nScene);
}

int OpenStageFileViaUi()
{
    return RequestFileViaUi(UM_OPENSTAGE);
}

int LoadReplayViaUi()
{
    return RequestFileViaUi(UM_OPENREPLAY);
}

cTitleScene::cTitleScene() : cMenuScene(3)
{
    m_vPhases = {static_cast<PhaseHandler>(&cTitleScene::RunFadeInPhase),
                 static_cast<PhaseHandler>(&cTitleScene::TitleMenuPhase),
                 static_cast<PhaseHandler>(&cTitleScene::ContinueSlotPhase),
                 static_cast<PhaseHandler>(&cTitleScene::RunFadeOutPhase)};
}

cTitleScene::~cTitleScene()
{
    ReleaseSceneSurfaces(kTitleSurfaces, 4);
}

void cTitleScene::Enter()
{
    RequestSceneMusic(0);
    LoadSceneSurfaces(kTitleSurfaces, 4);
    MenuCursor.ResetMenuCursor();
    m_vItems = BuildTitleItems();
    MenuCursor.Current().row = TitleStartRow(m_vItems, SceneManager.TitleChoice);
    if (g_System.m_bTitleMenuPicture) TitleMenuX = 288 - SystemSurfaces[48].nWidth / 2;
    DrawMenuPanel();
    m_nPhaseStep = 0;
}

void cTitleScene::DrawMenuPanel()
{
    const int32_t nItems = static_cast<int32_t>(m_vItems.size());
    int32_t nWidth = 0;
    if (g_System.m_bTitleMenuPicture) {
        nWidth = SystemSurfaces[48].nWidth + 32;
    } else {
        int32_t nChars = 0;
        for (int32_t item : m_vItems)
            nChars = std::max(nChars, CountChars(CheckedAt(g_System.m_vTitleMenu, item).m_strText.c_str()));
        nWidth = 32 * nChars + 34;
    }
    const int32_t nHeight = 32 * nItems + 2;
    if (!MakeScenePicture(nWidth, nHeight, 1)) return;
    DDSURFACEDATA* lpPanel = &ScenePictures[0];
    if (g_System.m_bTitleMenuPicture) {
        DDFillSurface(lpPanel, 0);
        for (int32_t i = 0; i < nItems; ++i)
            DDBlt(lpPanel, 32, 32 * i, SystemSurfaces[48].nWidth, 32, &SystemSurfaces[48], 0,
                  32 * m_vItems[static_cast<size_t>(i)], 0);
    } else {
        DDBltFramed(lpPanel, 1, 1, nWidth - 2, nHeight - 2, &SystemSurfaces[45], 1, 240);
        for (int32_t i = 0; i < nItems; ++i)
            FontDraw(&FontTable[2], lpPanel, 32, 32 * i,
                     CheckedAt(g_System.m_vTitleMenu, m_vItems[static_cast<size_t>(i)]).m_strText.c_str());
    }
}

void cTitleScene::DrawTitleFrame()
{
    DDBlt(&BackBuffer, 0, 0, 640, 480, &SystemSurfaces[47], 0, 0, 0);
    if (!ScenePictures.empty()) {
        DDSURFACEDATA& panel = ScenePictures[0];
        if (panel.bLost) {
            DrawMenuPanel();
        }
        if (!ScenePictures.empty()) {
            ScenePictures[0].bLost = 0;
            DDBlt(&BackBuffer, TitleMenuX, TitleMenuY, ScenePictures[0].nWidth, ScenePictures[0].nHeight,
                  &ScenePictures[0], 0, 0, 1);
        }
    }
    CyclePalette();
}

void cTitleScene::TitleMenuPhase()
{
    cKeyInput& input = CheckedAt(InputStates, 0);
    const int32_t nItems = static_cast<int32_t>(m_vItems.size());
    MenuCursor.MoveGridCursor(input, TitleMenuX, TitleMenuY, 0, 32, 1, nItems);
    PlayCursorSound(input, 2, SoundTable, 0);
    const bool bConfirm = (input.m_wButton & 1) != 0;
    const int32_t nChoice = bConfirm ? CheckedAt(m_vItems, MenuCursor.Current().row) : 0;
    // A choice whose scene cannot be made is refused, and the title stays.
    const bool bRefused = bConfirm && !TitleChoiceAvailable(nChoice);
    if (bRefused) RefuseTitleChoice(nChoice, TitleChoiceScene(nChoice));
    if (!bConfirm || bRefused) {
        DrawTitleFrame();
        DDBlt(&BackBuffer, MenuCursor.Current().x, MenuCursor.Current().y, 32, 32, &SystemSurfaces[49], 0, 0, 1);
        return;
    }
    PlayMenuSound(1);
    SceneManager.TitleChoice = nChoice;
    switch (SceneManager.TitleChoice) {
    case kNewStory:
        SceneManager.GameMode = 0;
        SceneManager.ModeHasRanking = RankingSwitchOf(0);
        g_SaveData.ResetProgress();
        SceneManager.RequestedScene = kSceneWorldMap;
        m_nPhase = 3;
        break;
    case kContinue:
        SceneManager.GameMode = 0;
        SceneManager.ModeHasRanking = RankingSwitchOf(0);
        MenuCursor.PushMenuCursor(0);
        m_nPhase = 2;
        m_nPhaseStep = 0;
        break;
    case kChallenge:
        SceneManager.GameMode = 1;
        SceneManager.ModeHasRanking = RankingSwitchOf(1);
        if (!LoadChallengeSave()) {
            g_SaveData.Reset();
            g_SaveData.ValidateSaveData();
        }
        SceneManager.RequestedScene = kSceneChallengeSelect;
        m_nPhase = 3;
        break;
    case kFreePlay:
        SceneManager.GameMode = 2;
        SceneManager.ModeHasRanking = RankingSwitchOf(2);
        if (OpenStageFileViaUi()) {
            if (!HasSceneFactory(kSceneStagePlay)) {
                // The stage is loaded, but no stage-play scene is registered to play it.
                RefuseTitleChoice(nChoice, kSceneStagePlay);
                break;
            }
            SceneManager.RequestedScene = kSceneStagePlay;
            m_nPhase = 3;
        }
        break;
    case kReplay:
        SceneManager.GameMode = 3;
        SceneManager.ModeHasRanking = CheckedAt(g_System.m_vRanking, 3).m_bEnabled;
        if (LoadReplayViaUi()) {
            SceneManager.RequestedScene = kSceneStagePlay;
            m_nPhase = 3;
        }
        break;
    case kOptions:
        SceneManager.RequestedScene = kSceneOptions;
        m_nPhase = 3;
        break;
    case kExit:
        PostMessage(hMainWnd.load(), WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void cTitleScene::ContinueSlotPhase()
{
    cKeyInput& input = CheckedAt(InputStates, 0);
    if (m_nPhaseStep == 0) {
        MenuCursor.Current() = MENUCURSOR{};
        m_nSlotTop = 0;
        m_nPhaseStep = 1;
        SaveSlots.resize(kStorySlotCount);
        LoadSaveSlotList(SaveSlots);
    }
    const int32_t nSlots = static_cast<int32_t>(SaveSlots.size());
    m_nSlotRows = std::min(nSlots, 10);
    MenuCursor.MoveListCursor(input, 1, m_nSlotTop, kSlotY, 16, kSlotX, m_nSlotRows, nSlots, 1);
    PlayCursorSound(input, 3, SoundTable, 0);
    if (input.m_wButton & 1) {
        const int32_t nRow = MenuCursor.Current().row;
        // A slot that is empty, or whose file can no longer be read, is refused.
        if (!CheckedAt(SaveSlots, nRow).bValid || !LoadStorySlot(nRow)) {
            CheckedAt(SaveSlots, nRow).bValid = 0;
            PlayMenuSound(3);
            return;
        }
        PlayMenuSound(1);
        SceneManager.RequestedScene = kSceneWorldMap;
        m_nPhase = 3;
    } else if (input.m_wButton & 2) {
        PlayMenuSound(2);
        MenuCursor.PopMenuCursor(1);
        m_nPhase = 1;
        m_nPhaseStep = 0;
    } else {
        DDBlt(&BackBuffer, 0, 0, 640, 480, &SystemSurfaces[47], 0, 0, 0);
        CyclePalette();
        DrawSaveSlotList(&BackBuffer, kSlotX, kSlotY, SaveSlots, m_nSlotTop, m_nSlotRows);
        DDBlt(&BackBuffer, MenuCursor.Current().x, MenuCursor.Current().y, 16, 16, &SystemSurfaces[49], 64, 0, 1);
    }
}

void cTitleScene::FadeIn()
{
    if (nBpp == 8) DrawMenuPanel();
    DrawTitleFrame();
    if (SceneFadeInStep()) m_nPhase = 1;
}

void cTitleScene::FadeOut()
{
    if (!SceneFadeOutStep()) return;
    DDFillSurface(&BackBuffer, 16);
    MenuCursor.ResetMenuCursor();
    SceneManager.PreviousScene = kSceneTitle;
    SceneManager.CurrentScene = SceneManager.RequestedScene;
}
