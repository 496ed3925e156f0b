// Scene 4: its life, its frame, and the two requests the main window makes of it.
#include "stage/StagePlayScene.h"

#include "core/Log.h"
#include "core/MainWindow.h"
#include "frontend/SaveData.h"
#include "media/graphics/Surface.h"
#include "platform/win/WinMessage.h"
#include "shell/ShellGlobals.h"
#include "stage/StageBitmaps.h"

cStagePlayScene::cStagePlayScene()
{
    m_StateHandlers[0] = &cPlayState::FadeIn;
    m_StateHandlers[1] = &cPlayState::ShowStartBanner;
    m_StateHandlers[2] = &cPlayState::PlayStep;
    m_StateHandlers[3] = &cPlayState::PauseMenu;
    m_StateHandlers[4] = &cPlayState::StageEndResults;
    m_StateHandlers[5] = &cPlayState::RetryPrompt;
    m_StateHandlers[6] = &cPlayState::WaitKeyBanner;
    m_StateHandlers[7] = &cPlayState::FadeOut;
    m_PauseWait.m_nCounter = 0;
    m_lpCurFlow = nullptr;
    m_bItemMessageShown = 0;
    m_bClosing = 0;
    g_SaveData.nBgm = 0;
    m_nPhase = -1;
    lpPlayState = this;
}

cStagePlayScene::~cStagePlayScene()
{
    // The presentation objects give their surfaces back as they go, so they go before the
    // surface containers are emptied under them.
    m_MessageList.Clear();
    m_EffectList.Clear();
    m_PictureList.Clear();
    for (int32_t nId : StageFullBitmapIds) DDReleaseSurface(&SystemSurfaces[nId]);
    DDReleaseSurfaceVector(StageCharaSurfaces);
    StageCharaSurfaces.clear();
    StageCharaSurfaceDescs.clear();
    DDReleaseSurfaceVector(StageSwordSurfaces);
    StageSwordSurfaces.clear();
    StageSwordSurfaceDescs.clear();
    DDReleaseSurfaceVector(StageEffectSurfaces);
    StageEffectSurfaces.clear();
    StageEffectSurfaceDescs.clear();
    DDReleaseSurfaceList(PictureSurfaces);
    PictureSurfaces.clear();
    PictureSurfaceDescs.clear();
    DDReleaseSurfaceVector(ScenePictures);
    ScenePictures.clear();
    ScenePictureDescs.clear();
    DDReleaseSurfaceList(Off_Msg);
    Off_Msg.clear();
    MessageSurfaceDescs.clear();
}

int cStagePlayScene::RunFrame()
{
    if (m_nPhase == -1) {
        try {
            Enter();
        } catch (const char* lpText) {
            TraceAndClose(hMainWnd.load(), "%s", lpText);
        }
        m_nPhase = 0;
    }
    // A stage that could not be set up is never drawn; the close it asked for ends the program.
    if (m_bSetupFailed != 0) return 1;
    if (m_nPhase < 0 || m_nPhase >= 8) return 1;
    // A close that came during a wait is asked for again until it is done, whatever state the
    // game went on to (an item that showed a message may have cleared the stage after it): only
    // the play step would ask again, and the results would otherwise run on for ever.
    if (m_bClosing.load() != 0) {
        PostMessage(hMainWnd.load(), WM_CLOSE, 0, 0);
        return 1;
    }
    cPlayState& state = *this;
    const StateHandler lpfnHandler = m_StateHandlers[m_nPhase];
    if (lpfnHandler != nullptr) (state.*lpfnHandler)();
    return 1;
}

void cStagePlayScene::SetClosing()
{
    m_bClosing = 1;
}

std::string* cStagePlayScene::RankingName()
{
    return &m_RankName;
}

cScene* MakeStagePlayScene()
{
    return new cStagePlayScene();
}
