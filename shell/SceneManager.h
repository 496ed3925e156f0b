#pragma once
// The scene manager: one frame of the game per call of GameFrame on the game thread, and the
// palette helpers that run with the frames.
#include <atomic>
#include <cstdint>
#include <string>

#include "media/graphics/DDBlitEffects.h"
#include "media/input/KeyInput.h"

// A scene of the game (title, world map, world-map menu, challenge select, stage play,
// options). The scenes live with the front end and the stage play, which register how each is
// made; an id whose scene is not registered runs no scene (the frame still presents).
class cScene {
public:
    virtual ~cScene() = default;
    virtual int RunFrame() = 0;
    // The stage-play scene's closing flag, set by a close request while the pause loop runs.
    virtual void SetClosing() {}
    // The stage-play scene's ranking name, which the name-entry dialog edits after a stage.
    virtual std::string* RankingName() { return nullptr; }
};

using SceneFactory = cScene* (*)();
enum SceneId : int32_t {
    kSceneTitle = 0,
    kSceneWorldMap = 1,
    kSceneMapMenu = 2,
    kSceneChallengeSelect = 3,
    kSceneStagePlay = 4,
    kSceneOptions = 5,
};
constexpr int32_t SceneCount = 6;
void RegisterSceneFactory(int32_t nId, SceneFactory lpfnMake);
// True when the scene with this id can be made, so that a menu never hands over to a scene that
// would leave the screen black.
bool HasSceneFactory(int32_t nId);

class cSceneManager {
public:
    cSceneManager() = default;
    ~cSceneManager();
    cSceneManager(const cSceneManager&) = delete;
    cSceneManager& operator=(const cSceneManager&) = delete;

    // One frame: 1, or 0 when restoring the DirectDraw surfaces failed.
    int GameFrame();
    // Deletes every scene but the one with this id, then makes that one when it is missing.
    void UpdateScene(int32_t nId);
    void DeleteAllScenes();
    cScene* Scene(int32_t nId) const;

    // Scene pointers by id.
    cScene* m_lpScenes[SceneCount] = {};
    std::atomic<int32_t> CurrentScene{0};
    int32_t RequestedScene = 0;
    int32_t PreviousScene = 0;
    int32_t TitleChoice = 0;
    int32_t GameMode = 0;
    int32_t ChallengeRow = 0;
    int32_t ChallengeTop = 0;
    int32_t ModeHasRanking = 0;
    std::atomic<int32_t> FrameRate{0};
    int32_t FadeSpeed = 0;
    int32_t LastBgm = 0;
};

extern cSceneManager SceneManager;
// The stage-play scene while it exists; null otherwise.
extern std::atomic<cScene*> lpStagePlayScene;

// The steps of a frame, also run by the reduced display loops of the pause and ranking threads.
void WaitFrame();
void PresentFrame();
int RestoreLostSurfaces();
void PollFrameInput(std::vector<cKeyInput>& states);

// The 8-bit palette pattern 0..23 (DirectDraw at 8 bits only): 1 done or nothing to do, 0 failed.
int LoadHbtPalette(int32_t nPattern);
void CyclePalette();
int PingPong(int32_t& nValue, int32_t& nDirection, int32_t nStep, int32_t nLow, int32_t nHigh);

struct BLINKCOLOUR {
    uint32_t dwDiffuse;
    int32_t nColorOp;
};
extern BLINKCOLOUR BlinkColours[10];   // entries 1..9

// The frame-rate text's ring of update times and its mean.
struct FPSRING {
    uint32_t dwTimes[16];
    int32_t nIndex;
    uint32_t dwMean;
};
extern FPSRING FpsRing;
