// The stage-play scene's states: its life as the current play state, the pause menu's forms and
// keys, the automatic results, the retry prompt, an idle scene after a failed set-up, and the play
// step's time-up and held buttons.
#include "core/FrameTiming.h"
#include "data/EdSystem.h"
#include "frontend/MenuCursor.h"
#include "frontend/SaveData.h"
#include "media/input/KeyInput.h"
#include "platform/win/WinMessage.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "stage/StagePlayScene.h"
#include "tests/play/PlayTestSupport.h"

namespace {

TEST(StageScene, SceneIsThePlayStateWhileItLives)
{
    ASSERT_EQ(PlayState(), nullptr);
    g_SaveData.nBgm = 7;
    {
        cStagePlayScene scene;
        EXPECT_EQ(PlayState(), static_cast<cPlayState*>(&scene));
        EXPECT_EQ(scene.m_nPhase, -1);
        EXPECT_EQ(g_SaveData.nBgm, 0);   // the stage music is asked for anew
        for (const auto& handler : scene.m_StateHandlers) EXPECT_NE(handler, nullptr);
        EXPECT_EQ(scene.RankingName(), &scene.m_RankName);
        scene.SetClosing();
        EXPECT_EQ(scene.m_bClosing.load(), 1);
    }
    EXPECT_EQ(PlayState(), nullptr);
}

TEST(StageScene, SceneThatCouldNotBeSetUpRunsNoState)
{
    cStagePlayScene scene;
    scene.m_nPhase = 3;
    scene.m_nPhaseStep = 5;
    scene.m_bSetupFailed = 1;
    EXPECT_EQ(scene.RunFrame(), 1);
    EXPECT_EQ(scene.m_nPhase, 3);
    EXPECT_EQ(scene.m_nPhaseStep, 5);
}

TEST(StageScene, CloseThatCameDuringAWaitIsAskedForAgainInAnyState)
{
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    // The results of a stage cleared right after the wait that the close came in.
    cStagePlayScene scene;
    scene.m_nPhase = 4;
    scene.m_nPhaseStep = 1;
    scene.m_nBannerCount = 12;
    scene.SetClosing();
    EXPECT_EQ(scene.RunFrame(), 1);
    EXPECT_EQ(scene.m_nPhase, 4);
    EXPECT_EQ(scene.m_nBannerCount, 12);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
}

class StagePhaseTest : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        InputStates.resize(1);
        InputStates[0].m_wButton = 0;
        InputStates[0].m_wDirection = 0;
        MenuCursor.ResetMenuCursor();
        SceneManager.RequestedScene = 5;
        bDirectStage = 0;
    }
    void TearDown() override
    {
        bDirectStage = 0;
        SceneManager.GameMode = 0;
        SceneManager.TitleChoice = 0;
        g_Stage.m_bSkipResults = 0;
        cPlayFixture::TearDown();
    }
    // The pause menu opened from a state that had reached step nSavedStep.
    void OpenPause(int32_t nGameMode, int32_t nSavedPhase, int32_t nSavedStep)
    {
        SceneManager.GameMode = nGameMode;
        m_State.m_nSavedPhase = nSavedPhase;
        m_State.m_nSavedPhaseStep = nSavedStep;
        m_State.m_nPhase = 3;
        m_State.m_nPhaseStep = 0;
    }
    // A button pressed anew on this frame.
    void Press(uint16_t wButton)
    {
        InputStates[0].m_bLatch = 0;
        InputStates[0].m_wButton = wButton;
    }
};

TEST_F(StagePhaseTest, PauseCancelReturnsToTheSavedStateAndHoldsTheButtons)
{
    struct Case {
        int32_t nGameMode;
        int32_t nStepAfter;   // three items: the saved step; two items: 0
    };
    const Case cases[] = {{2, 1}, {3, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nGameMode);
        OpenPause(c.nGameMode, 4, 1);
        m_State.m_bHoldButtons = 0;
        Press(2);
        m_State.PauseMenu();
        EXPECT_EQ(m_State.m_nPhase, 4);
        EXPECT_EQ(m_State.m_nPhaseStep, c.nStepAfter);
        EXPECT_EQ(m_State.m_bHoldButtons, 1);
    }
}

TEST_F(StagePhaseTest, PauseResumeAndQuit)
{
    // The menu opens on "resume".
    OpenPause(2, 6, 1);
    Press(1);
    m_State.PauseMenu();
    EXPECT_EQ(m_State.m_nPhase, 6);
    EXPECT_EQ(m_State.m_nPhaseStep, 1);
    EXPECT_EQ(m_State.m_bHoldButtons, 1);

    // Quit goes to the title through the fade-out.
    struct Case {
        int32_t nGameMode;
        int32_t bDirect;
        int32_t nRequested;
    };
    const Case cases[] = {{2, 0, 0}, {3, 0, 0}, {2, 1, 5}};   // a direct stage closes instead
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nGameMode << " " << c.bDirect);
        SceneManager.RequestedScene = 5;
        bDirectStage = c.bDirect;
        OpenPause(c.nGameMode, 2, 1);
        m_State.m_nPhaseStep = 1;
        MenuCursor.Current().row = 0;
        Press(1);
        m_State.PauseMenu();
        EXPECT_EQ(m_State.m_nPhase, 7);
        EXPECT_EQ(SceneManager.RequestedScene, c.nRequested);
    }
}

TEST_F(StagePhaseTest, AutomaticResultsLeaveAtFrame200WithTheCarryOverScene)
{
    g_Stage.m_bSkipResults = 1;
    g_Stage.m_bClearBanner = 1;
    SceneManager.TitleChoice = 3;   // free play without parts: the stage again
    m_State.m_nPhase = 4;
    m_State.m_nPhaseStep = 0;
    int32_t nFrames = 0;
    while (m_State.m_nPhase == 4 && nFrames < 100) {
        m_State.StageEndResults();
        ++nFrames;
    }
    // The clear banner counts 4 a frame: 50 frames reach 200, the 51st leaves.
    EXPECT_EQ(nFrames, 51);
    EXPECT_EQ(m_State.m_nPhase, 7);
    EXPECT_EQ(SceneManager.RequestedScene, kSceneStagePlay);
}

TEST_F(StagePhaseTest, TimeUpDefeatsTheHeroAndRunsNoSubStep)
{
    m_State.m_bNoTimeLimit = 0;
    m_State.m_nTimeLeft = 1;
    m_State.m_nPhase = 2;
    Player[0].m_nHP = 5;
    FrameCountGate(0, 60);
    for (int32_t i = 0; i < 59; ++i) FrameCountGate(1, 60);
    m_State.PlayStep();
    EXPECT_EQ(m_State.m_nTimeLeft, 0);
    EXPECT_EQ(m_State.m_nSubStepTotal, 0);
    EXPECT_EQ(m_State.m_nFrameCount, 1);
    EXPECT_EQ(Player[0].m_bDefeated, 1);
}

TEST_F(StagePhaseTest, ButtonThatClosedAMenuDoesNothingUntilReleased)
{
    m_State.m_bNoTimeLimit = 1;
    m_State.m_nPhase = 2;
    m_State.m_bHoldButtons = 1;
    InputStates[0].m_wButton = 1;
    m_State.PlayStep();
    EXPECT_EQ(InputStates[0].m_wButton, 0);
    EXPECT_EQ(m_State.m_bHoldButtons, 1);
    InputStates[0].m_wButton = 0;
    m_State.PlayStep();
    EXPECT_EQ(m_State.m_bHoldButtons, 0);
    InputStates[0].m_wButton = 1;
    m_State.PlayStep();
    EXPECT_EQ(InputStates[0].m_wButton, 1);
    // Every frame ran its sub-steps.
    EXPECT_EQ(m_State.m_nSubStepTotal, 3 * g_Stage.m_nSubSteps);
}

TEST_F(StagePhaseTest, RetryPromptRestartsTheStageOrGivesUpToTheWorldMap)
{
    g_StageStart = g_Stage;
    SceneManager.TitleChoice = 1;
    SceneManager.GameMode = 0;
    struct Case {
        int32_t nRow;
        int32_t nPhase;
        int32_t bGaveUp;
    };
    const Case cases[] = {{0, 1, 0}, {1, 7, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nRow);
        g_SaveData.bGaveUp = 0;
        SceneManager.RequestedScene = kSceneStagePlay;
        m_State.m_nPhase = 6;
        m_State.m_nPhaseStep = 1;
        MenuCursor.Current().row = c.nRow;
        m_State.m_nFrameCount = 9;
        Press(1);
        m_State.RetryPrompt();
        EXPECT_EQ(m_State.m_nPhase, c.nPhase);
        EXPECT_EQ(g_SaveData.bGaveUp, c.bGaveUp);
        if (c.nRow == 0) {
            // The stage starts again from its beginning.
            EXPECT_EQ(m_State.m_nFrameCount, 0);
        } else {
            EXPECT_EQ(SceneManager.RequestedScene, kSceneWorldMap);
            EXPECT_EQ(MenuCursor.Current().row, 1);   // the title's cursor stays on the story item
        }
    }
    g_StageStart = cEdStage();
}

}  // namespace
