#include "frontend/ChallengeSelectScene.h"

#include <algorithm>
#include <climits>

#include "core/CheckedAccess.h"
#include "core/Text.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "data/ProjectPaths.h"
#include "frontend/MenuCursor.h"
#include "frontend/NumberFormat.h"
#include "frontend/RankingDraw.h"
#include "frontend/RankingFile.h"
#include "frontend/SaveData.h"
#include "frontend/StageStart.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/GraphicsState.h"
#include "media/text/Font.h"
#include "shell/ShellGlobals.h"

namespace {

constexpr int32_t kChallengeSurfaces[] = {49, 45};
constexpr int32_t kChallengeMode = 1;
constexpr int32_t kListX = 32;
constexpr int32_t kListY = 160;
constexpr int32_t kLinePitch = 32;
constexpr int32_t kRankingX = 292;
constexpr int32_t kRankingY = 108;

// The ranking switch of challenge play.
int32_t ChallengeKeepsRankings()
{
    return CheckedAt(g_System.m_vRanking, kChallengeMode).m_bEnabled;
}

const char* UiText(int32_t nIndex)
{
    return CheckedAt(g_System.m_vText, nIndex).c_str();
}

cScene* MakeChallengeSelectScene()
{
    return new cChallengeSelectScene();
}

}  // namespace

int32_t ChallengeStageCount()
{
    // The records follow the project's stage count after every load; a save that has not been
    // through that yet offers no stage it cannot record.
    const int32_t nRecords = static_cast<int32_t>(std::min<size_t>(g_SaveData.ChallengeRecords.size(), INT32_MAX));
    const int32_t nOpen = g_System.m_bChallengeAllOpen ? g_System.m_nChallengeStages : g_SaveData.nOpenChallenge;
    return std::clamp(nOpen, 0, nRecords);
}

int32_t ChallengeVisibleRows(int32_t nCount, int32_t nTop)
{
    return static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(nCount) - nTop, 0, kChallengeListRows));
}

void ClampChallengeCursor(int32_t& nRow, int32_t& nTop, int32_t nCount)
{
    nTop = std::clamp(nTop, 0, std::max(nCount - kChallengeListRows, 0));
    nRow = std::clamp(nRow, 0, std::max(nCount - 1, 0));
    if (nRow < nTop) nTop = nRow;
    else if (nRow >= nTop + kChallengeListRows) nTop = nRow - kChallengeListRows + 1;
}

void BuildChallengeStageName(std::string& out, int32_t nStage)
{
    FormatString(out, "%s%02d-1.%s", ProjectPathTable[37], nStage, ProjectExtTable[1]);
}

void SelectChallengeStage(int32_t nStage)
{
    std::string name;
    BuildChallengeStageName(name, nStage);
    g_SaveData.SetCurrentStageName(name);
    if (SceneManager.ModeHasRanking)
        LoadRankingFile(g_RankingFile, SceneManager.GameMode, g_SaveData.CurrentStageName);
}

int StartChallengeStage(int32_t nRow, int32_t nTop)
{
    // An empty list has no stage under the cursor: starting "stage 1" there would play a stage
    // the save has no record for.
    if (nRow < 0 || nRow >= ChallengeStageCount()) {
        PlayMenuSound(3);
        return 0;
    }
    std::string name;
    BuildChallengeStageName(name, nRow + 1);
    if (!LoadStageForStart(name.c_str())) {
        PlayMenuSound(3);
        return 0;
    }
    PlayMenuSound(1);
    g_SaveData.SetCurrentStageName(g_Stage.m_strFilePath);
    g_SaveData.nPart = 1;
    g_SaveData.nStage = nRow + 1;
    if (CheckedAt(g_System.m_vInfiniteLives, kChallengeMode) != 0) {
        g_SaveData.nStageStartLives = g_SaveData.nLives = kInfiniteLives;
    } else {
        // A project value of the smallest int must not wrap to the largest.
        const int32_t nStart = CheckedAt(g_System.m_vStartLives, kChallengeMode);
        g_SaveData.nStageStartLives = nStart;
        g_SaveData.nLives = nStart == INT32_MIN ? nStart : nStart - 1;
    }
    g_SaveData.bPartChain = 1;
    SceneManager.ChallengeRow = nRow;
    SceneManager.ChallengeTop = nTop;
    SceneManager.RequestedScene = kSceneStagePlay;
    SceneManager.PreviousScene = kSceneChallengeSelect;
    return 1;
}

cChallengeSelectScene::cChallengeSelectScene() : cMenuScene(15)
{
    m_vPhases = {static_cast<PhaseHandler>(&cChallengeSelectScene::RunFadeInPhase),
                 static_cast<PhaseHandler>(&cChallengeSelectScene::StageSelectPhase),
                 static_cast<PhaseHandler>(&cChallengeSelectScene::RunFadeOutPhase)};
}

cChallengeSelectScene::~cChallengeSelectScene()
{
    ReleaseSceneSurfaces(kChallengeSurfaces, 2);
}

void cChallengeSelectScene::RecountStages()
{
    m_nStageCount = ChallengeStageCount();
    m_nRows = ChallengeVisibleRows(m_nStageCount, m_nTop);
}

void cChallengeSelectScene::Enter()
{
    RequestSceneMusic(2);
    LoadSceneSurfaces(kChallengeSurfaces, 2);
    MenuCursor.ResetMenuCursor();
    // The list reopens on the stage last started; the save may offer fewer stages now than then.
    int32_t nRow = SceneManager.ChallengeRow;
    m_nTop = SceneManager.ChallengeTop;
    ClampChallengeCursor(nRow, m_nTop, ChallengeStageCount());
    MENUCURSOR& cursor = MenuCursor.Current();
    cursor.row = nRow;
    cursor.x = kListX;
    cursor.y = kListY + (nRow - m_nTop) * kLinePitch;
    RecountStages();
    SelectChallengeStage(nRow + 1);
    if (MakeScenePicture(640, 480, 0)) DrawScreen();
    m_nPhaseStep = 0;
}

void cChallengeSelectScene::DrawScreen()
{
    if (ScenePictures.empty()) return;
    DDSURFACEDATA* lpScreen = &ScenePictures[0];
    FontDrawWindow(&FontTable[2], lpScreen, 1, 1, 638, 478);
    const std::string& heading = CheckedAt(g_System.m_vTitleMenu, 2).m_strText;
    FontDraw(&FontTable[2], lpScreen, 320 - 16 * CountChars(heading.c_str()), 32, heading.c_str());
    if (g_System.m_bChallengeShowTotalScore && g_SaveData.nHighScoreTotal > 0) {
        const char* lpLabel = UiText(4);
        const int32_t nChars = CountChars(lpLabel) + CountDigits(g_SaveData.nHighScoreTotal);
        FontPrintf(&FontTable[1], lpScreen, 320 - 16 * nChars / 2, 88, "%s%d", lpLabel, g_SaveData.nHighScoreTotal);
    }
    if (!g_SaveData.bRankingPanel && g_System.m_bChallengeShowHighScore)
        FontPrintf(&FontTable[2], lpScreen, 32, 128, "         %s", UiText(3));
    RecountStages();
    const char* lpStageLabel = UiText(0);
    const int32_t g = CountChars(lpStageLabel);
    for (int32_t i = 0; i < m_nRows; ++i) {
        const int32_t f = m_nTop + i;
        const int32_t y = kListY + kLinePitch * i;
        const cChallengeRecord& record = CheckedAt(g_SaveData.ChallengeRecords, f);
        FontPrintf(&FontTable[2], lpScreen, 64, y, "%s%d", lpStageLabel, f + 1);
        if (record.bCleared) DDBlt(lpScreen, 32 * (g + 4), y, 32, 32, &SystemSurfaces[49], 96, 0, 1);
        if (g_System.m_bChallengeShowHighScore) FontPrintf(&FontTable[2], lpScreen, 32 * g + 192, y, "%d", record.nBest);
    }
    if (ChallengeKeepsRankings() && g_SaveData.bRankingPanel)
        DrawRankingOfKind(g_RankingFile, lpScreen, kRankingX, kRankingY, g_SaveData.nRankingKind, -1);
}

void cChallengeSelectScene::ShowScreen()
{
    if (ScenePictures.empty()) return;
    if (ScenePictures[0].bLost) {
        DrawScreen();
        ScenePictures[0].bLost = 0;
    }
    DDBlt(&BackBuffer, 0, 0, 640, 480, &ScenePictures[0], 0, 0, 0);
    CyclePalette();
}

void cChallengeSelectScene::StageSelectPhase()
{
    cKeyInput& input = CheckedAt(InputStates, 0);
    RecountStages();
    MENUCURSOR& cursor = MenuCursor.Current();
    MenuCursor.MoveListCursor(input, 1, m_nTop, kListY, kLinePitch, kListX, m_nRows, m_nStageCount, 1);
    PlayCursorSound(input, 3, SoundTable, 0);
    if (input.m_wDirection != 0) {
        SelectChallengeStage(cursor.row + 1);
        DrawScreen();
    }
    if (input.m_wButton & 1) {
        if (StartChallengeStage(cursor.row, m_nTop)) m_nPhase = 2;
        return;
    }
    if (input.m_wButton & 2) {
        PlayMenuSound(2);
        SceneManager.RequestedScene = kSceneTitle;
        SceneManager.PreviousScene = kSceneChallengeSelect;
        m_nPhase = 2;
        return;
    }
    if (input.m_wButton & 4) {
        if (ChallengeKeepsRankings()) {
            PlayMenuSound(6);
            g_SaveData.bRankingPanel = g_SaveData.bRankingPanel ? 0 : 1;
            DrawScreen();
        } else {
            g_SaveData.bRankingPanel = 0;
        }
    } else if ((input.m_wButton & 8) && ChallengeKeepsRankings()) {
        if (g_System.CountRankingKinds(SceneManager.GameMode) >= 2) {
            PlayMenuSound(6);
            g_SaveData.StepEnabledMenuItem(SceneManager.GameMode, 1);
        }
        DrawScreen();
    }
    ShowScreen();
    DDBlt(&BackBuffer, cursor.x, cursor.y, 32, 32, &SystemSurfaces[49], 0, 0, 1);
}

void cChallengeSelectScene::FadeIn()
{
    if (nBpp == 8) DrawScreen();
    ShowScreen();
    if (SceneFadeInStep()) m_nPhase = 1;
}

void cChallengeSelectScene::FadeOut()
{
    if (!SceneFadeOutStep()) return;
    DDFillSurface(&BackBuffer, 16);
    MenuCursor.ResetMenuCursor();
    SceneManager.PreviousScene = kSceneChallengeSelect;
    SceneManager.CurrentScene = SceneManager.RequestedScene;
}

void RegisterChallengeSelectScene()
{
    RegisterSceneFactory(kSceneChallengeSelect, MakeChallengeSelectScene);
}
