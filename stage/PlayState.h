#pragma once
// The play state of the stage being played: what flows, commands, conditions, rules and objects
// read and write while a stage runs. The stage-play scene is built on it (stage/StagePlayScene.h);
// everything else reaches it through PlayState().
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "flows/EffectObject.h"
#include "flows/MessageObject.h"
#include "flows/PictureObject.h"
#include "flows/ScreenEffect.h"
#include "objects/ObjectList.h"
#include "objects/Shot.h"
#include "stage/PauseWait.h"
#include "stage/ScreenTone.h"
#include "stage/ScrollAxis.h"

class cCharaBase;
class cChara;
class cItem;
class cGameObject;
class cFlowInstance;
class cCommandInstance;
class cEdChara;
class cEdItem;
class cEdBlock;
class cEdShot;
class cSaveData;
struct ShotLaunch;

constexpr int32_t kFactionCount = 8;
constexpr int32_t kStageVarCount = 256;   // message codes reach variable 255
constexpr int32_t kFlowSwitchCount = 60;

class cPlayState {
public:
    using StateHandler = void (cPlayState::*)();

    cPlayState();
    ~cPlayState();
    cPlayState(const cPlayState&) = delete;
    cPlayState& operator=(const cPlayState&) = delete;

    // The scene protocol: the state handlers, fade-in and fade-out, the pause key.
    // Defined in StagePhases.cpp.
    void Enter();
    void FadeIn();
    void FadeOut();
    void ShowStartBanner();
    void PauseMenu();
    void StageEndResults();
    void RetryPrompt();
    void WaitKeyBanner();
    int32_t CheckPauseKey();

    // Stage set-up and spawning. Defined in StageSetup.cpp.
    void SetStage(int32_t bRestart, int32_t bNewMusic);
    // Playback starts again from its file: the progress at the replay's start, the stage anew.
    void RestartPlayback();
    void ResetPlayCounters();
    int32_t UseLife(cSaveData& save);
    void SpawnEnemy(cStageList<cChara>& list, int32_t c, int32_t r, int32_t* lpId,
                    const cEdChara& placement, const cItem* lpCarried);
    void SpawnItem(cStageList<cItem>& list, int32_t c, int32_t r, int32_t* lpId,
                   const cEdItem& placement);
    void SummonCharacter(cStageList<cChara>& list, double x, double y, int8_t nFaction,
                         int8_t nFacing, const cEdShot& params, const cEdChara& definition,
                         int32_t* lpId);
    void SummonItemObject(cStageList<cItem>& list, double x, double y, const cEdShot& params,
                          const cEdItem& definition, int32_t* lpId);
    int32_t PlaceBlockAt(double x, double y, const cEdShot& params, const cEdBlock& block);
    int32_t CrushAtCell(int32_t nCell, int32_t nCol, int32_t nRow, const cEdShot& params);

    // One frame of play and its sub-steps. Defined in PlayStep.cpp.
    void PlayStep();
    void RefreshAppearance();
    int32_t CountDownTime(int32_t nDelta);
    void CountPlayTime();

    // Stage end, extra lives and the next stage. Defined in StageEnd.cpp.
    void CheckRankings();
    void AwardExtraLives();
    int32_t NextStageFileName(std::string& strOut, int32_t nPart);
    int32_t NoNextStage(int32_t nPart);
    int32_t CarryOverPlayer();
    void EnterRanking();
    void SetPauseWait(int32_t nKind, int32_t bWaitForKey, int32_t nFrames, int32_t bNoDelay);

    // One frame of the stage picture. Defined in StageDraw.cpp.
    void DrawStageFrame(int32_t bLive, int32_t bFrozen, int32_t bEffectStep, int32_t bCaption);
    void DrawPlayer(int32_t bFrozen);
    int32_t DrawCharacter(cChara& chara, int32_t bFrozen);

    // The scene's state and the table of state handlers (filled by the stage-play scene).
    int32_t m_nPhase = -1;
    int32_t m_nPhaseStep = 0;
    StateHandler m_StateHandlers[8] = {};
    int32_t m_nSavedPhase = 0, m_nSavedPhaseStep = 0;

    int32_t m_nResult = 0;          // 0 playing, 1 cleared, 2 failed
    cScrollAxis m_ScrollX;
    cScrollAxis m_ScrollY;
    cStageList<cShot> m_ShotList;
    std::vector<cLinkList<cCharaBase>> m_vFactionCharas;   // kFactionCount lists
    std::vector<cLinkList<cShot>> m_vFactionShots;
    cStageList<cMessageObject> m_MessageList;
    cStageList<cEffectObject> m_EffectList;
    cStageList<cPictureObject> m_PictureList;
    cScreenEffect m_ScreenEffect;
    ScreenTone m_Tone;
    PauseWaitRecord m_PauseWait;
    std::atomic<int32_t> m_bClosing{0};
    // The object, flow and command being run; null outside flow processing. Saved and restored
    // around every nested firing (flows/FlowContext.h).
    cGameObject* m_lpCurObj = nullptr;
    cFlowInstance* m_lpCurFlow = nullptr;
    cCommandInstance* m_lpCurCmd = nullptr;
    int32_t m_bItemMessageShown = 0;
    int32_t m_nPlayers = 1;
    int32_t m_nSubStep = 0;
    int32_t m_nSubStepTotal = 0;
    std::vector<int32_t> m_vShotTestMask;
    int32_t m_nTimeLeft = 0;
    int32_t m_bNoTimeLimit = 0;
    int32_t m_nPlayFrames = 0;
    int32_t m_nPlayTime = 0;        // hundredths of a second
    int32_t m_nBannerCount = 0, m_nBannerCount2 = 0;
    uint32_t m_nSeed = 0;
    int32_t m_bHoldButtons = 0;
    int32_t m_bDeathPending = 0;
    std::vector<int32_t> m_vStageVar;
    std::vector<int8_t> m_vFlowSwitch;
    std::vector<int8_t> m_vGroupSwitch;   // activation group switches of the characters
    int32_t m_nNextCharaId = 0, m_nNextItemId = 0, m_nNextSummonId = 0;
    int32_t m_bEraseEnemies = 0, m_bEraseBlockCharas = 0, m_bEraseItems = 0;
    std::vector<int32_t> m_vToggledBlocks;
    int32_t m_nFrameCount = 0;
    int32_t m_nNextStage = 0;
    std::string m_NextStagePath;
    int32_t m_bNewRanking = 0;
    std::vector<int32_t> m_vRankPlace;
    std::vector<int32_t> m_vRankValue;
    std::string m_RankName;
    int32_t m_bRankingEntered = 0;
    int32_t m_bStatusWindow = 0;
    // Set when Enter could not load its bitmaps or set-up ran out of memory: the scene then runs
    // no state until the close it asked for arrives, and never draws a stage it did not set up.
    int32_t m_bSetupFailed = 0;
};

// The play state while a stage-play scene exists (or a test has set one); null otherwise.
extern std::atomic<cPlayState*> lpPlayState;
inline cPlayState* PlayState() { return lpPlayState.load(std::memory_order_relaxed); }

// Defined in PlayState.cpp.
// The faction list of an index, reported like a bad vector index (list 0 used) when outside.
cLinkList<cCharaBase>& FactionCharas(cPlayState& state, int32_t nFaction);
cLinkList<cShot>& FactionShots(cPlayState& state, int32_t nFaction);
