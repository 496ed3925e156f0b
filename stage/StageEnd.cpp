// The end of a stage: results into the totals, extra lives for the score, the places in the
// rankings, the ranking entry, and on leaving the results the carry-over of the player and the
// scene to go to (the next part of a stage, the world map, the challenge list, the title).
#include <algorithm>
#include <limits>

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/Path.h"
#include "core/Text.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "data/StageLoader.h"
#include "flows/MessageObject.h"
#include "frontend/MenuCursor.h"
#include "frontend/RankingFile.h"
#include "frontend/Replay.h"
#include "frontend/SaveData.h"
#include "frontend/WorldMapScene.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinThread.h"
#include "shell/MainWindowProc.h"
#include "shell/SceneManager.h"
#include "shell/SettingsRecords.h"
#include "shell/ShellGlobals.h"
#include "stage/DisplayLoops.h"
#include "stage/PlayState.h"
#include "stage/Player.h"
#include "stage/StageEnd.h"
#include "stage/StageSounds.h"

namespace {

constexpr const char* kStageExtension = "stg4";
constexpr int32_t kMaxLives = 99;

int32_t ClampToInt(int64_t v)
{
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v);
}

// Runs a display loop on its thread and waits for it; the thread has its message queue from its
// start, so no handshake is needed before the wait.
void RunDisplayThread(cThread& thread, unsigned (*lpfnLoop)(void*), cPlayState* lpState)
{
    if (!thread.Start(lpfnLoop, lpState)) return;
    thread.Join();
}

}  // namespace

int32_t ExtraLivesEarned(int32_t nOldTotal, int32_t nNewTotal, int32_t nPointsPerLife)
{
    if (nPointsPerLife <= 0) return 0;
    const int64_t g = static_cast<int64_t>(nNewTotal) / nPointsPerLife - static_cast<int64_t>(nOldTotal) / nPointsPerLife;
    return g > 0 ? ClampToInt(g) : 0;
}

void cPlayState::SetPauseWait(int32_t nKind, int32_t bWaitForKey, int32_t nFrames, int32_t bNoDelay)
{
    m_PauseWait.m_nKind = nKind;
    m_PauseWait.m_bWaitForKey = bWaitForKey;
    m_PauseWait.m_nFrames = nFrames;
    m_PauseWait.m_nCounter = 0;
    m_PauseWait.m_nDelay = (bWaitForKey != 0 && nKind == 1 && bNoDelay == 0) ? 10 : 0;
}

void cPlayState::CheckRankings()
{
    PlaySystemSound(14);
    AwardExtraLives();
    m_bRankingEntered = 0;
    m_bNewRanking = 0;
    m_vRankPlace.assign(5, -1);
    if (bDirectStage.load() == 0) {
        if (SceneManager.ModeHasRanking == 0) return;
        // Rankings count only at the last part of a stage.
        if (NoNextStage(m_nNextStage) == 0) return;
    }
    m_vRankValue = {g_SaveData.nTotalScore, g_SaveData.nTimeBonusTotal, g_SaveData.nPlayTimeTotal,
                    g_SaveData.nHpTotal, g_SaveData.nSpTotal};
    if (bTestPlay.load() != 0) return;
    const cEdRankingSetting& setting = CheckedAt(g_System.m_vRanking, SceneManager.GameMode);
    for (int32_t k = 0; k < 5; ++k) {
        const bool bMode = static_cast<size_t>(k) < setting.m_vKind.size() && setting.m_vKind[static_cast<size_t>(k)] != 0;
        const bool bStage = static_cast<size_t>(k) < g_Stage.m_vResultKind.size() &&
                            g_Stage.m_vResultKind[static_cast<size_t>(k)] != 0;
        if (!bMode || !bStage) continue;
        const int32_t nPlace =
            FindRankingInsertPos(CheckedAt(g_RankingFile.m_vTables, k), m_vRankValue[static_cast<size_t>(k)]);
        m_vRankPlace[static_cast<size_t>(k)] = nPlace;
        if (nPlace != -1) m_bNewRanking = 1;
    }
}

void cPlayState::AwardExtraLives()
{
    const int32_t nOld = g_SaveData.nTotalScore;
    g_SaveData.nTotalScore = ClampToInt(static_cast<int64_t>(g_SaveData.nTotalScore) + g_SaveData.nScore);
    if (m_bNoTimeLimit == 0)
        g_SaveData.nTimeBonusTotal = ClampToInt(static_cast<int64_t>(g_SaveData.nTimeBonusTotal) + m_nTimeLeft);
    g_SaveData.nPlayTimeTotal = ClampToInt(static_cast<int64_t>(g_SaveData.nPlayTimeTotal) + m_nPlayTime);
    if (!Player.empty()) {
        g_SaveData.nHpTotal = ClampToInt(static_cast<int64_t>(g_SaveData.nHpTotal) + Player[0].m_nHP);
        g_SaveData.nSpTotal = ClampToInt(static_cast<int64_t>(g_SaveData.nSpTotal) + Player[0].m_nSP);
    }
    if (g_SaveData.nLives == kInfiniteLives || g_System.m_bExtraLifeByScore == 0) return;
    const int32_t nLives = ExtraLivesEarned(nOld, g_SaveData.nTotalScore, g_System.m_nExtraLifeScore);
    for (int32_t i = 0; i < nLives; ++i) {
        // At the most lives there is nothing to show: a score that earns thousands of lives must
        // not hold the game for thousands of displays.
        if (g_SaveData.nLives >= kMaxLives) break;
        ++g_SaveData.nLives;
        PlaySystemSound(15);
        cMessageObject& message = m_MessageList.AppendNew();
        MessageSetup setup;
        setup.nKind = 3;
        // Over the hero, where it appeared, like the icon of a taken item.
        setup.nPositionMode = 4;
        setup.bFixedOnScreen = 1;
        setup.nTimeMode = 2;
        setup.nFrames = 30;
        setup.bStopsGame = 1;
        setup.nFollowKey = Player.empty() ? 0 : Player[0].m_nKey;
        message.Setup(setup, 0);
        SetPauseWait(4, 0, 30, 0);
        RunDisplayThread(thPause, NestedDisplayLoop, this);
        // This display's own message goes; its storage is freed by the next sweep.
        m_MessageList.Remove(message);
        if (m_bClosing.load() != 0) {
            PostMessage(hMainWnd.load(), WM_CLOSE, 0, 0);
            break;
        }
        while (bAppActive.load() == 0 && m_bClosing.load() == 0) Sleep(1);
    }
}

int32_t cPlayState::NextStageFileName(std::string& strOut, int32_t nPart)
{
    strOut.clear();
    if (g_SaveData.bPartChain == 0 || m_nNextStage == 0) return 0;
    std::string strName;
    if (!m_NextStagePath.empty()) {
        strName = m_NextStagePath.substr(0, m_NextStagePath.size() - 1);
        strName += '.';
        strName += kStageExtension;
    } else {
        // The key form ends in "."; a name without it names no stage.
        const std::string& strCurrent = g_SaveData.CurrentStageName;
        if (strCurrent.empty() || strCurrent.back() != '.') return 0;
        FormatString(strName, "%s-%d.%s", strCurrent.substr(0, strCurrent.size() - 1).c_str(), nPart,
                     kStageExtension);
    }
    std::string strFound;
    if (!FindLatestNumberedFile(strFound, strName, kStageExtension)) return 0;
    strOut = strFound;
    return 1;
}

int32_t cPlayState::NoNextStage(int32_t nPart)
{
    std::string strName;
    return NextStageFileName(strName, nPart) == 0 ? 1 : 0;
}

// The next part of a chained stage loaded into the stage and its start copy; 1 when it loaded.
static int32_t LoadNextPart(cPlayState& state)
{
    std::string strFile;
    if (state.NextStageFileName(strFile, state.m_nNextStage) == 0) return 0;
    if (LoadStageFile(strFile.c_str(), 0, &g_StageStart) == 0) return 0;
    // The replays belong to the part that was played.
    ReplayCurrent.Clear();
    ReplayPrevious.Clear();
    return 1;
}

int32_t cPlayState::CarryOverPlayer()
{
    if (g_Stage.m_bCarryOverPlayers != 0) {
        for (int32_t j = 0; j < static_cast<int32_t>(Player.size()); ++j) {
            cHero& hero = Player[static_cast<size_t>(j)];
            g_SaveData.StoreCharaStatus(j, hero.m_Def, hero.m_nHP, hero.m_nSP, hero.m_CharaEffect.m_nCharaEffect,
                                        hero.m_CharaEffect.m_nVariant, hero.m_CharaEffect.m_nRunMode, m_nTimeLeft,
                                        g_SaveData.nLives, g_SaveData.nBgm);
        }
    }
    const int32_t nSaved = g_SaveData.nPart;
    switch (SceneManager.TitleChoice) {
    case 2: {
        if (g_SaveData.bPartChain != 0 && m_nNextStage != 0) {
            g_SaveData.nPart = m_nNextStage;
            if (LoadNextPart(*this)) return kSceneStagePlay;
        }
        cChallengeRecord& record = CheckedAt(g_SaveData.ChallengeRecords, g_SaveData.nStage - 1);
        record.bCleared = 1;
        if (record.nBest < g_SaveData.nTotalScore) {
            g_SaveData.nHighScoreTotal =
                ClampToInt(static_cast<int64_t>(g_SaveData.nHighScoreTotal) + g_SaveData.nTotalScore - record.nBest);
            record.nBest = g_SaveData.nTotalScore;
        }
        if (g_SaveData.nStage >= g_SaveData.nOpenChallenge)
            g_SaveData.nOpenChallenge = std::min(g_SaveData.nStage + 1, g_System.m_nChallengeStages);
        if (!SaveChallengeSave()) WriteReportLog("the challenge save could not be written");
        g_SaveData.nPart = nSaved;
        return kSceneChallengeSelect;
    }
    case 3:
        if (g_SaveData.bPartChain == 0 || bDirectStage.load() != 0) {
            g_SaveData.bStartPos = 0;
            return kSceneStagePlay;
        }
        if (m_nNextStage != 0) {
            g_SaveData.nPart = m_nNextStage;
            if (LoadNextPart(*this)) return kSceneStagePlay;
        }
        g_SaveData.nPart = nSaved;
        return kSceneTitle;
    case 4:
        g_SaveData.RestoreRetryPoint(1, SceneManager.GameMode, bDirectStage.load());
        return kSceneStagePlay;
    case 0:
    case 1:
        if (g_SaveData.bPartChain != 0 && m_nNextStage != 0) {
            g_SaveData.nPart = m_nNextStage;
            if (LoadNextPart(*this)) return kSceneStagePlay;
        }
        CheckedAt(g_SaveData.ClearFlags, g_SaveData.nStage) = 1;
        g_SaveData.RecordStageHighScore(g_SaveData.CurrentStageName, g_SaveData.nTotalScore);
        // The map's stage place says what its clear leads to: a new play-through, or the end of
        // the game with the title's cursor on the story item.
        switch (PlayingWorldItemEndAction()) {
        case 1: g_SaveData.BeginNewPlaythrough(); break;
        case 2: MenuCursor.Current().row = SceneManager.TitleChoice; return kSceneTitle;
        default: break;
        }
        g_SaveData.nPart = nSaved;
        return kSceneWorldMap;
    default:
        return kSceneChallengeSelect;
    }
}

void cPlayState::EnterRanking()
{
    if (SceneManager.ModeHasRanking == 0 || m_bNewRanking == 0 || m_bRankingEntered != 0) return;
    const int32_t nMode = OptionData.nRankingEntryMode;
    if (nMode == 1 || nMode == 3) {
        m_RankName = OptionData.strPlayerName;
    } else {
        m_RankName = g_SaveData.strPlayerName;
        NameEntryDone = 0;
        SendMessage(hMainWnd.load(), UM_NAMEENTRY, 0, 0);
        while (NameEntryDone.load() == 0) Sleep(1);
        g_SaveData.strPlayerName = m_RankName;
    }
    PlaySystemSound(16);
    for (int32_t k = 0; k < 5; ++k) {
        if (CheckedAt(m_vRankPlace, k) == -1) continue;
        InsertRankingEntry(CheckedAt(g_RankingFile.m_vTables, k), m_RankName, CheckedAt(m_vRankValue, k));
    }
    if (!SaveRankingFile(g_RankingFile, SceneManager.GameMode, g_SaveData.CurrentStageName))
        WriteReportLog("the ranking file could not be written");
    m_bRankingEntered = 1;
    RunDisplayThread(thRanking, RankingDisplayLoop, this);
}
