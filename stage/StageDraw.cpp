// One picture of the stage: layers, blocks, objects in their drawing priorities, pictures,
// effects, messages, the screen effect, the status window and the caption. Drawing also ends two
// life spans: a character's defeat display (the character then goes) and the hero's (the stage
// then restarts, asks for a retry or ends the game).
#include "core/CheckedAccess.h"
#include "core/Text.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "frontend/Replay.h"
#include "frontend/SaveData.h"
#include "media/graphics/DDBatch.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/GraphicsState.h"
#include "media/text/Font.h"
#include "objects/CharaDraw.h"
#include "objects/ObjectLinks.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "stage/CharaList.h"
#include "stage/ItemList.h"
#include "stage/PlayState.h"
#include "stage/Player.h"
#include "stage/ScreenEffectDraw.h"
#include "stage/StageDraw.h"
#include "stage/StageLayers.h"
#include "stage/StageResources.h"

namespace {

constexpr int32_t kShotSheetA = 63;
constexpr int32_t kShotSheetB = 64;
constexpr int32_t kMarkSheet = 43;

// The end of the hero's defeat display: the replay starts again, the game is over, the story asks
// whether to retry, or the stage starts again.
void FinishHeroDefeat(cPlayState& state)
{
    if (ReplayPlaybackOn()) {
        state.RestartPlayback();
        return;
    }
    if (state.UseLife(g_SaveData) == 0) {
        state.m_nPhase = 6;
        return;
    }
    if (g_Stage.m_bStatusCarryOver != 0) g_SaveData.ClearCarryOverFlags();
    g_SaveData.RestoreRetryPoint(0, SceneManager.GameMode, bDirectStage.load());
    if (SceneManager.GameMode == 0 && g_System.m_bStoryRetryPrompt != 0) {
        state.m_nPhaseStep = 0;
        state.m_nPhase = 5;
        return;
    }
    state.SetStage(1, 0);
    state.m_nPhase = 1;
}

}  // namespace

bool StageHiddenInPause()
{
    // The project's settings carry no switch that hides the stage behind the pause menu.
    return false;
}

int32_t DrawPriorityOf(const cCharaBase& chara) { return chara.m_Def.m_nZ; }
int32_t DrawPriorityOf(const cShot& shot) { return shot.m_Rec.m_nZ; }
// An item's record holds no priority of its own: items are drawn with the furthest back.
int32_t DrawPriorityOf(const cItem&) { return 0; }

void cPlayState::DrawStageFrame(int32_t bLive, int32_t bFrozen, int32_t bEffectStep, int32_t bCaption)
{
    DDSURFACEDATA* lpTarget = &BackBuffer;
    if (SystemSurfaces[kShotSheetA].bLost != 0 || SystemSurfaces[kShotSheetB].bLost != 0) {
        BuildShotSheets();
        SystemSurfaces[kShotSheetA].bLost = 0;
        SystemSurfaces[kShotSheetB].bLost = 0;
    }
    if (m_ScreenEffect.m_nScrEffect != 0) DDSetVirtualBackBuffer(1);
    ScrollBackgrounds();
    DrawBackgroundLayer(lpTarget, 0);
    if (bLive == 0 && m_nPhase == 3 && StageHiddenInPause()) {
        DrawBackgroundLayer(lpTarget, 1);
        ApplyScreenTone(bFrozen);
        return;
    }
    DrawPicturesOfLayer(lpTarget, 0, bFrozen);
    DrawBlockLayer(lpTarget, 0);

    const bool bByPriority = g_Stage.m_bDrawByZ != 0;
    const int32_t nPasses = bByPriority ? 8 : 1;
    for (int32_t p = 0; p < nPasses; ++p) {
        if (!Player.empty() && (!bByPriority || DrawPriorityOf(Player[0]) == p)) DrawPlayer(bFrozen);
        // The hero's end of a defeat may have set the stage up again: the lists are new.
        DDBeginDrawBatch(1);
        DDRegisterBatchSource(&SystemSurfaces[kMarkSheet]);
        for (cItem& item : ItemList) {
            if (bByPriority && DrawPriorityOf(item) != p) continue;
            if (item.m_bOnScreen == 0 || item.m_bCarried != 0) continue;
            item.GetScreenRect();
            item.Draw(lpTarget, bFrozen);
        }
        DDEndDrawBatch();
        for (cChara& chara : CharaList) {
            if (bByPriority && DrawPriorityOf(chara) != p) continue;
            if (DrawCharacter(chara, bFrozen) == 1) RemoveEnemy(chara);
        }
        DDBeginDrawBatch(0);
        for (cShot& shot : m_ShotList) {
            if (bByPriority && DrawPriorityOf(shot) != p) continue;
            if (shot.IsOnScreen() == 0) continue;
            shot.GetScreenRect();
            shot.Draw(lpTarget, bFrozen);
        }
        DDEndDrawBatch();
    }

    DrawBlockLayer(lpTarget, 1);
    DrawBackgroundLayer(lpTarget, 1);
    DrawConditionRanges(lpTarget);
    if (!Player.empty()) Player[0].DrawSightMask(lpTarget);
    DrawPicturesOfLayer(lpTarget, 1, bFrozen);

    // A finished effect or message is only marked here: a display thread may be drawing, and the
    // game thread sweeps the lists at the start of its next frame.
    DDBeginDrawBatch(0);
    for (cEffectObject& effect : m_EffectList)
        if (effect.Draw(lpTarget, bFrozen) != 0) m_EffectList.Remove(effect);
    DDEndDrawBatch();
    for (cMessageObject& message : m_MessageList)
        if (message.Update(lpTarget, bFrozen) != 0) m_MessageList.Remove(message);

    DrawScreenEffect(bFrozen);
    DrawStatusBar(lpTarget);
    DrawTimeLimit(lpTarget, bEffectStep);

    if (bCaption != 0) {
        const char* lpCaption = nullptr;
        if (bDirectStage.load() != 0)
            lpCaption = CheckedAt(g_System.m_vText, 26).c_str();
        else if (bTestPlay.load() != 0)
            lpCaption = CheckedAt(g_System.m_vText, 25).c_str();
        if (lpCaption != nullptr)
            FontDraw(&FontTable[1], lpTarget, 320 - 8 * CountChars(lpCaption), 456, lpCaption);
    }
    CyclePalette();
    ApplyScreenTone(bFrozen);
}

void cPlayState::DrawPlayer(int32_t bFrozen)
{
    cHero& hero = Player[0];
    hero.GetScreenRect();
    if (hero.m_bDefeated == 0) {
        hero.Draw(&BackBuffer, bFrozen);
        hero.DrawHPGauge(&BackBuffer);
        hero.DrawSPGauge(&BackBuffer);
        return;
    }
    if (hero.DrawObject(&BackBuffer, bFrozen) == 0) return;
    // Only the game thread ends a death: a display thread draws frozen frames and leaves it.
    if (bFrozen != 0) return;
    FinishHeroDefeat(*this);
}

int32_t cPlayState::DrawCharacter(cChara& chara, int32_t bFrozen)
{
    if (chara.m_bDefeated != 0) {
        chara.GetScreenRect();
        return chara.DrawObject(&BackBuffer, bFrozen) != 0 ? 1 : 0;
    }
    if (chara.m_bOnScreen != 0) {
        chara.GetScreenRect();
        if (chara.m_Def.m_bTransparent != 0) {
            chara.UpdateAnimation(bFrozen);
            chara.StepCharaEffectDraw(bFrozen);
            chara.DrawHPGauge(&BackBuffer);
            chara.DrawSPGauge(&BackBuffer);
        } else {
            chara.DrawObjectSprite(&BackBuffer, bFrozen);
            chara.DrawHPGauge(&BackBuffer);
            chara.DrawSPGauge(&BackBuffer);
            chara.DrawCarriedIcon(&BackBuffer);
        }
        return 0;
    }
    if (chara.m_bActive != 0) {
        chara.GetScreenRect();
        chara.UpdateAnimation(bFrozen);
        chara.StepCharaEffectDraw(bFrozen);
    }
    return 0;
}
