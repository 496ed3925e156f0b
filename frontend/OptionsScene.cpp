#include "frontend/OptionsScene.h"

#include "core/CheckedAccess.h"
#include "core/MainWindow.h"
#include "core/Text.h"
#include "data/EdSystem.h"
#include "frontend/MenuCursor.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/GraphicsState.h"
#include "media/text/Font.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinThread.h"
#include "shell/MainWindowProc.h"
#include "shell/SettingsRecords.h"
#include "shell/ShellGlobals.h"

namespace {

constexpr int32_t kOptionSurfaces[] = {49, 45};

}  // namespace

void ApplyOptionVolume(int32_t nLevel)
{
    const int32_t nVolume = VolumeOfLevel(nLevel);
    for (DSSOUNDDATA& sound : SoundTable) DS_SetVolume(sound, 0, nVolume, 0);
}

cOptionsScene::cOptionsScene() : cMenuScene(3)
{
    m_vPhases = {static_cast<PhaseHandler>(&cOptionsScene::RunFadeInPhase),
                 static_cast<PhaseHandler>(&cOptionsScene::OptionsPhase),
                 static_cast<PhaseHandler>(&cOptionsScene::RunFadeOutPhase)};
}

cOptionsScene::~cOptionsScene()
{
    ReleaseSceneSurfaces(kOptionSurfaces, 2);
}

void cOptionsScene::Enter()
{
    RequestSceneMusic(3);
    LoadSceneSurfaces(kOptionSurfaces, 2);
    MenuCursor.ResetMenuCursor();
    m_vItems = BuildOptionItems();
    if (MakeScenePicture(640, 480, 0)) DrawScreen();
    m_nPhaseStep = 0;
}

void cOptionsScene::DrawScreen()
{
    if (ScenePictures.empty()) return;
    DDSURFACEDATA* lpScreen = &ScenePictures[0];
    FontDrawWindow(&FontTable[2], lpScreen, 1, 1, 638, 478);
    const std::string& heading = CheckedAt(g_System.m_vTitleMenu, 5).m_strText;
    FontDraw(&FontTable[2], lpScreen, 320 - 16 * CountChars(heading.c_str()), 32, heading.c_str());
    for (size_t i = 0; i < m_vItems.size(); ++i) {
        const int32_t y = 96 + 16 * static_cast<int32_t>(i);
        const int32_t nKind = m_vItems[i];
        FontDraw(&FontTable[1], lpScreen, 64, y, CheckedAt(g_System.m_vOptionMenu, nKind).m_strText.c_str());
        switch (nKind) {
        case 0: FontPrintf(&FontTable[1], lpScreen, 208, y, "%d", OptionData.nPalettePattern); break;
        case 1: FontDraw(&FontTable[1], lpScreen, 208, y, OptionData.bBgm ? "ON" : "OFF"); break;
        case 2: FontPrintf(&FontTable[1], lpScreen, 208, y, "%d", OptionData.nVolume); break;
        case 3:
            FontDraw(&FontTable[1], lpScreen, 208, y,
                     CheckedAt(g_System.m_vRankingModeName, OptionData.nRankingEntryMode).c_str());
            break;
        case 4: FontDraw(&FontTable[1], lpScreen, 208, y, OptionData.strPlayerName.c_str()); break;
        default: break;
        }
    }
}

void cOptionsScene::ShowScreen()
{
    if (ScenePictures.empty()) return;
    if (ScenePictures[0].bLost) {
        DrawScreen();
        ScenePictures[0].bLost = 0;
    }
    DDBlt(&BackBuffer, 0, 0, 640, 480, &ScenePictures[0], 0, 0, 0);
    CyclePalette();
}

void cOptionsScene::ApplyValue()
{
    if (m_nKind == 0) LoadHbtPalette(OptionData.nPalettePattern);
    else if (m_nKind == 2) ApplyOptionVolume(OptionData.nVolume);
}

void cOptionsScene::OptionsPhase()
{
    cKeyInput& input = CheckedAt(InputStates, 0);
    if (m_nPhaseStep == 0) {
        MenuCursor.Current() = MENUCURSOR{};
        m_nPhaseStep = 1;
    }
    if (m_nPhaseStep == 1) {
        MenuCursor.MoveGridCursor(input, 48, 96, 0, 16, 1, static_cast<int32_t>(m_vItems.size()));
        PlayCursorSound(input, 2, SoundTable, 0);
        if (input.m_wButton & 1) {
            PlayMenuSound(1);
            m_nKind = CheckedAt(m_vItems, MenuCursor.Current().row);
            if (m_nKind >= 0 && m_nKind <= 3) {
                static const int32_t kMax[4] = {23, 1, 10, 3};
                int32_t* lpValues[4] = {&OptionData.nPalettePattern, &OptionData.bBgm, &OptionData.nVolume,
                                        &OptionData.nRankingEntryMode};
                m_lpValue = lpValues[m_nKind];
                m_nMin = 0;
                m_nMax = kMax[m_nKind];
                m_nValueBefore = *m_lpValue;
                MenuCursor.PushMenuCursor(0);
                m_nPhaseStep = 2;
            } else if (m_nKind == 4) {
                NameEntryDone = 0;
                SendMessage(hMainWnd.load(), UM_NAMEENTRY, 0, 0);
                while (NameEntryDone.load() == 0) Sleep(1);
                DrawScreen();
                ShowScreen();
                DDBlt(&BackBuffer, MenuCursor.Current().x, MenuCursor.Current().y, 16, 16, &SystemSurfaces[49], 64,
                      0, 1);
            } else if (m_nKind == 5) {
                SceneManager.RequestedScene = kSceneTitle;
                m_nPhaseStep = 0;
                m_nPhase = 2;
            }
        } else if (input.m_wButton & 2) {
            PlayMenuSound(2);
            SceneManager.RequestedScene = kSceneTitle;
            m_nPhaseStep = 0;
            m_nPhase = 2;
        } else {
            ShowScreen();
            DDBlt(&BackBuffer, MenuCursor.Current().x, MenuCursor.Current().y, 16, 16, &SystemSurfaces[49], 64, 0,
                  1);
        }
        return;
    }
    if (m_nPhaseStep != 2 || m_lpValue == nullptr) return;
    if (input.m_wDirection & kDirUp) {
        if (++*m_lpValue > m_nMax) *m_lpValue = m_nMin;
        ApplyValue();
        DrawScreen();
    } else if (input.m_wDirection & kDirDown) {
        if (--*m_lpValue < m_nMin) *m_lpValue = m_nMax;
        ApplyValue();
        DrawScreen();
    }
    PlayCursorSound(input, 2, SoundTable, 0);
    if (input.m_wButton & 1) {
        PlayMenuSound(1);
        MenuCursor.PopMenuCursor(1);
        m_nPhaseStep = 1;
    } else if (input.m_wButton & 2) {
        PlayMenuSound(2);
        *m_lpValue = m_nValueBefore;
        ApplyValue();
        MenuCursor.PopMenuCursor(1);
        m_nPhaseStep = 1;
        DrawScreen();
    } else {
        ShowScreen();
        const MENUCURSOR* lpItem = MenuCursor.Previous();
        if (lpItem != nullptr) {
            DDBlt(&BackBuffer, lpItem->x, lpItem->y, 16, 16, &SystemSurfaces[49], 80, 0, 1);
            DDBlt(&BackBuffer, 192, lpItem->y, 16, 16, &SystemSurfaces[49], 64, 0, 1);
        }
    }
}

void cOptionsScene::FadeIn()
{
    if (nBpp == 8) DrawScreen();
    ShowScreen();
    if (SceneFadeInStep()) m_nPhase = 1;
}

void cOptionsScene::FadeOut()
{
    if (!SceneFadeOutStep()) return;
    DDFillSurface(&BackBuffer, 16);
    // The music player follows the switch: released when switched off, set up again when
    // switched on; either change makes the next scene ask for its music again.
    if (BgmManager.m_bInitialized) {
        if (!OptionData.bBgm) {
            BgmManager.ReleaseBgm();
            SceneManager.LastBgm = 0;
        }
    } else if (OptionData.bBgm) {
        BgmManager.ReleaseBgm();
        BgmManager.InitBgm(1, BgmOggFiles, BgmMidFiles, 5);
        SceneManager.LastBgm = 0;
    }
    OptionData.SaveToFile("user_data\\Option.dat");
    MenuCursor.ResetMenuCursor();
    SceneManager.PreviousScene = kSceneOptions;
    SceneManager.CurrentScene = SceneManager.RequestedScene;
}
