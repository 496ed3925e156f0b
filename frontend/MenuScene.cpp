#include "frontend/MenuScene.h"

#include <algorithm>

#include "frontend/ChallengeSelectScene.h"
#include "frontend/MapMenuScene.h"
#include "frontend/OptionsScene.h"
#include "frontend/Replay.h"
#include "frontend/StageStart.h"
#include "frontend/TitleScene.h"
#include "frontend/WorldMapScene.h"

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "data/EdSystem.h"
#include "media/graphics/BitmapTable.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DDBlitEffects.h"
#include "media/graphics/Surface.h"
#include "media/input/KeyInput.h"
#include "platform/win/WinMessage.h"
#include "shell/MainWindowProc.h"
#include "shell/ShellGlobals.h"

int cMenuScene::RunFrame()
{
    cKeyInput& input = CheckedAt(InputStates, 0);
    input.ApplyAutoRepeat();
    input.LatchButtons(m_wLatchMask);
    if (m_nPhase == -1) {
        try {
            Enter();
        } catch (const char* lpText) {
            TraceAndClose(hMainWnd.load(), "%s", lpText);
        }
        m_nPhase = 0;
    }
    if (m_nPhase >= 0 && m_nPhase < static_cast<int32_t>(m_vPhases.size()))
        (this->*m_vPhases[static_cast<size_t>(m_nPhase)])();
    return 1;
}

void PlayMenuSound(int32_t nSound)
{
    SendMessage(hMainWnd.load(), UM_PLAYSE, static_cast<WPARAM>(nSound), 0);
}

void RequestSceneMusic(int32_t nSlot)
{
    const int32_t nBgm = CheckedAt(g_System.m_vSystemBgm, nSlot);
    if (nBgm == 0 || nBgm != SceneManager.LastBgm) {
        SceneManager.LastBgm = nBgm;
        SendMessage(hMainWnd.load(), UM_PLAYBGM, static_cast<WPARAM>(nSlot), 0);
    }
}

int32_t SceneFadeInStep()
{
    return DDFadeIn(ColorPaletteWork, 0, 255, 0, 0, 0, SceneManager.FadeSpeed, ColorPalette, 0);
}

int32_t SceneFadeOutStep()
{
    return DDFadeOut(ColorPaletteWork, 0, 255, 0, 0, 0, SceneManager.FadeSpeed, ColorPalette, 0);
}

void LoadSceneSurfaces(const int32_t* lpIndices, int32_t nCount)
{
    if (!DDLoadBitmapTable(SystemSurfaces, lpIndices, nCount)) PostMessage(hMainWnd.load(), WM_CLOSE, 0, 0);
}

void ReleaseSceneSurfaces(const int32_t* lpIndices, int32_t nCount)
{
    for (int32_t i = 0; i < nCount; ++i) DDReleaseSurface(&SystemSurfaces[lpIndices[i]]);
    DDReleaseSurfaceVector(ScenePictures);
    ScenePictures.clear();
    ScenePictureDescs.clear();
}

bool MakeScenePicture(int32_t nWidth, int32_t nHeight, int32_t bColorKey)
{
    DDReleaseSurfaceVector(ScenePictures);
    ScenePictures.clear();
    ScenePictureDescs.clear();
    if (!DDAddSurfaceToVector(ScenePictures, ScenePictureDescs, nWidth, nHeight, bColorKey, 0, 0, 0)) {
        PostMessage(hMainWnd.load(), WM_CLOSE, 0, 0);
        return false;
    }
    return true;
}

std::vector<int32_t> BuildTitleItems()
{
    std::vector<int32_t> items;
    const int32_t nCount = std::min<int32_t>(static_cast<int32_t>(g_System.m_vTitleMenu.size()), 7);
    for (int32_t j = 0; j < nCount; ++j) {
        if (g_System.m_vTitleMenu[static_cast<size_t>(j)].m_bEnabled) items.push_back(j);
    }
    if (items.empty()) items.push_back(0);
    return items;
}

int32_t TitleStartRow(const std::vector<int32_t>& items, int32_t nTitleChoice)
{
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == nTitleChoice) return static_cast<int32_t>(i);
    }
    return nTitleChoice;
}

std::vector<int32_t> BuildOptionItems()
{
    std::vector<int32_t> items;
    const int32_t nCount = std::min<int32_t>(static_cast<int32_t>(g_System.m_vOptionMenu.size()), 6);
    for (int32_t j = 0; j < nCount; ++j) {
        if (g_System.m_vOptionMenu[static_cast<size_t>(j)].m_bEnabled) items.push_back(j);
    }
    if (items.empty()) items.push_back(0);
    return items;
}

namespace {

cScene* MakeTitleScene() { return new cTitleScene(); }
cScene* MakeOptionsScene() { return new cOptionsScene(); }
cScene* MakeWorldMapScene() { return new cWorldMapScene(); }
cScene* MakeMapMenuScene() { return new cMapMenuScene(); }

}  // namespace

void RegisterFrontendScenes()
{
    RegisterSceneFactory(kSceneTitle, MakeTitleScene);
    RegisterSceneFactory(kSceneWorldMap, MakeWorldMapScene);
    RegisterSceneFactory(kSceneMapMenu, MakeMapMenuScene);
    RegisterSceneFactory(kSceneOptions, MakeOptionsScene);
    RegisterChallengeSelectScene();
    SetStageFileStarter(StartFromStageFile);
    RegisterReplayRequests();
}
