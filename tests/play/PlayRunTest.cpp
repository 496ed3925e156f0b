// Whole frames of play over a set-up stage: the hero's flows answer held and pressed keys, its shots
// defeat a character for its score, and the goal item clears the stage.
#include <vector>

#include "data/EdSystem.h"
#include "frontend/SaveData.h"
#include "media/input/KeyInput.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "stage/CharaList.h"
#include "stage/ItemList.h"
#include "stage/Player.h"
#include "tests/play/PlayTestSupport.h"

namespace {

cEdFlow HeldKeyFlow(int32_t nKeyState, cEdCommand command, int8_t bEveryFrame = 1)
{
    cEdFlow flow = cEdFlow::Default();
    flow.m_nTrigger = 0;
    flow.m_nKeyMode = bEveryFrame;
    cEdKeyList step = cEdKeyList::Default();
    step.m_vKeyState[static_cast<size_t>(nKeyState)] = 1;
    step.m_bAnyLength = 1;
    flow.m_vKeyList.push_back(step);
    flow.m_vCommand.push_back(command);
    return flow;
}

cEdCommand WalkCommand(int8_t nDirection)
{
    cEdCommand cmd = cEdCommand::Default();
    cmd.m_nKind = 2;
    cmd.m_nTime = 1;
    cmd.NewMove();
    cmd.m_lpMove->m_nDirection = nDirection;
    cmd.m_lpMove->m_nSpeed = 30;
    return cmd;
}

// One shot straight ahead per press, flying ten blocks.
cEdCommand ShootCommand()
{
    cEdCommand cmd = cEdCommand::Default();
    cmd.m_nKind = 11;
    cmd.m_nTime = 1;
    cmd.NewShot();
    cEdShot& s = *cmd.m_lpShot;
    s.m_nCount = 1;
    s.m_nGraphic = 1;
    s.m_nSpeed = 80;
    s.m_bRange = 1;
    s.m_nRange = 20;
    s.m_nPower = 1;
    return cmd;
}

class PlayRunTest : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        PrepareGroundStage(40, 13);
        cEdChara hero;
        hero.SetDefaults();
        hero.m_nController = 0;
        hero.m_nHitGroup = 0;
        hero.m_nGraphicIndex = 1;
        hero.m_nX = 5;
        hero.m_nY = 12;
        hero.m_nStartDir = 1;   // facing into the stage
        hero.m_vFlow.push_back(HeldKeyFlow(2, WalkCommand(3)));   // right
        hero.m_vFlow.push_back(HeldKeyFlow(1, WalkCommand(2)));   // left
        hero.m_vFlow.push_back(HeldKeyFlow(12, ShootCommand(), 0));   // button 2
        g_Stage.m_vChara.push_back(hero);
    }
    void Start()
    {
        g_StageStart = g_Stage;
        m_State.SetStage(0, 0);
        m_State.m_nPhase = 2;
    }
    // A computer character standing on the ground at column c.
    void AddEnemy(int16_t c, int32_t nHP, int32_t nScore)
    {
        cEdChara enemy;
        enemy.SetDefaults();
        enemy.m_nController = 1;
        enemy.m_nHitGroup = 1;
        enemy.m_nGraphicIndex = 2;
        enemy.m_nCarriedItem = -1;
        enemy.m_nMaxHP = nHP;
        enemy.m_nScore = nScore;
        enemy.m_nX = c;
        enemy.m_nY = 12;
        g_Stage.m_vChara.push_back(enemy);
    }
    // An item at column c whose taking clears the stage.
    void AddGoal(int16_t c)
    {
        cEdItem goal;
        goal.SetDefaults();
        goal.m_nGraphicIndex = 1;
        goal.m_nX = c;
        goal.m_nY = 12;
        cEdCommand clear = cEdCommand::Default();
        clear.m_nFamily = 1;
        clear.m_nKind = 2;   // "ステージクリア"
        clear.m_vParam = std::vector<int32_t>(9, 0);
        goal.m_vCommand.push_back(clear);
        g_Stage.m_vItem.push_back(goal);
    }
    void TearDown() override
    {
        g_Stage = cEdStage();
        g_StageStart = cEdStage();
        InputStates.clear();
        cPlayFixture::TearDown();
    }
    void Frames(int32_t n, uint16_t wDirection, uint16_t wButton)
    {
        for (int32_t i = 0; i < n; ++i) {
            InputStates[0].m_wDirection = wDirection;
            InputStates[0].m_wButton = wButton;
            m_State.PlayStep();
        }
    }
};

TEST_F(PlayRunTest, HeldDirectionWalksTheHeroAndReleaseStopsIt)
{
    Start();
    ASSERT_EQ(Player.size(), 1u);
    Frames(10, 0, 0);
    const double x0 = Player[0].m_dX;
    const double y0 = Player[0].m_dY;
    Frames(30, 2, 0);
    const double x1 = Player[0].m_dX;
    EXPECT_GT(x1, x0 + 30.0);
    EXPECT_EQ(Player[0].m_dY, y0);   // on the ground all the while
    Frames(30, 0, 0);
    const double x2 = Player[0].m_dX;
    Frames(10, 0, 0);
    EXPECT_EQ(Player[0].m_dX, x2);
    Frames(30, 1, 0);
    EXPECT_LT(Player[0].m_dX, x2 - 30.0);
}

TEST_F(PlayRunTest, ShotsDefeatACharacterForItsScoreAndTheGoalClearsTheStage)
{
    AddEnemy(12, 2, 100);
    AddGoal(20);
    Start();
    ASSERT_EQ(CharaList.Count(), 1);
    ASSERT_EQ(ItemList.Count(), 1);
    // Two presses of button 2: two shots, one hit point each.
    for (int32_t press = 0; press < 2; ++press) {
        Frames(1, 0, 2);
        Frames(20, 0, 0);
    }
    Frames(60, 0, 0);
    EXPECT_EQ(CharaList.Count(), 0);
    EXPECT_EQ(g_SaveData.nScore, 100);
    EXPECT_EQ(m_State.m_nResult, 0);
    // Walking right reaches the goal: the stage is cleared and the play step hands over to the
    // stage end.
    for (int32_t i = 0; i < 600 && m_State.m_nPhase == 2; ++i) Frames(1, 2, 0);
    EXPECT_EQ(m_State.m_nPhase, 4);
    EXPECT_EQ(Player[0].m_bDefeated, 0);
    EXPECT_EQ(ItemList.Count(), 0);
    EXPECT_EQ(Player[0].m_nHP, 10);   // nothing touched the hero on the way
}

}   // namespace
