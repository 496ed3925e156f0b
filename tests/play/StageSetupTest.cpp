// Stage set-up from the working stage: the characters and items its placements make, the blocks
// it places, the counters it resets and the random seed of a restart.
#include <vector>

#include "core/Random.h"
#include "data/EdSystem.h"
#include "frontend/SaveData.h"
#include "media/input/KeyInput.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "stage/CharaList.h"
#include "stage/ItemList.h"
#include "tests/play/PlayTestSupport.h"

namespace {

class StageSetupTest : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        g_Stage = cEdStage();
        g_Stage.SetDefaults();
        g_Stage.m_nWidth = 20;
        g_Stage.m_nHeight = 15;
        g_Stage.m_nSpeedLevel = 2;
        g_System.m_bReplay = 0;
        SceneManager.TitleChoice = 3;
        SceneManager.GameMode = 2;
        g_SaveData.Reset();
        cEdChara hero;
        hero.m_nController = 0;
        hero.m_nGraphicIndex = 1;
        hero.m_nX = 2;
        hero.m_nY = 3;
        g_Stage.m_vChara.push_back(hero);
    }
    void TearDown() override
    {
        g_Stage = cEdStage();
        g_StageStart = cEdStage();
        cPlayFixture::TearDown();
    }
    cEdChara& AddChara(int16_t c, int16_t r)
    {
        cEdChara chara;
        chara.m_nController = 1;
        chara.m_nGraphicIndex = 2;
        chara.m_nCarriedItem = -1;
        chara.m_nX = c;
        chara.m_nY = r;
        g_Stage.m_vChara.push_back(chara);
        return g_Stage.m_vChara.back();
    }
    cEdItem& AddItem(int16_t c, int16_t r)
    {
        cEdItem item;
        item.m_nGraphicIndex = 1;
        item.m_nX = c;
        item.m_nY = r;
        g_Stage.m_vItem.push_back(item);
        return g_Stage.m_vItem.back();
    }
};

TEST_F(StageSetupTest, FormationCopiesEachTakeARunningNumberAndLeaveTheStageWhenOutside)
{
    // Three copies 32 pixels apart; the stage pixels start at 0 in the left margin.
    cEdChara& row = AddChara(4, 5);
    row.m_nRepeat = 2;
    row.m_nRepeatX0 = 0;
    row.m_nRepeatDX = 32;
    // Two copies stepping left past the stage's left edge: the second is dropped.
    cEdChara& left = AddChara(0, 5);
    left.m_nRepeat = 1;
    left.m_nRepeatX0 = 0;
    left.m_nRepeatDX = -400;
    m_State.SetStage(0, 0);
    EXPECT_EQ(CharaList.Count(), 4);
    // The hero took number 0; the four characters 1 to 4; the dropped copy none.
    EXPECT_EQ(m_State.m_nNextCharaId, 5);
    std::vector<double> xs;
    for (cChara& c : CharaList) xs.push_back(c.m_dX);
    ASSERT_EQ(xs.size(), 4u);
    EXPECT_EQ(xs[1] - xs[0], 32.0);
    EXPECT_EQ(xs[2] - xs[1], 32.0);
    // The hero and every character are in the faction lists, each once.
    int32_t nListed = 0;
    for (auto& list : m_State.m_vFactionCharas) nListed += list.Count();
    EXPECT_EQ(nListed, 5);
    EXPECT_TRUE(m_State.m_vFactionCharas[static_cast<size_t>(Player[0].m_nFaction)].Contains(&Player[0]));
}

TEST_F(StageSetupTest, CarriedItemIsTakenFromTheItemPlacements)
{
    AddItem(6, 6);
    AddItem(7, 6);
    AddChara(5, 5).m_nCarriedItem = 1;
    AddChara(5, 7).m_nCarriedItem = 9;   // names no placement: carries nothing, no close
    m_State.SetStage(0, 0);
    EXPECT_EQ(CharaList.Count(), 2);
    EXPECT_EQ(ItemList.Count(), 1);          // item 1 went with its carrier
    EXPECT_EQ(m_State.m_nNextItemId, 2);     // the carried one and the one on the stage
}

TEST_F(StageSetupTest, BlocksOutsideTheMapAreIgnoredAndEmptyCellsAreNotSolid)
{
    cEdBlock block;
    block.m_nGraphicIndex = 3;
    block.m_nX = 1;
    block.m_nY = 1;
    g_Stage.m_vBlock.push_back(block);
    block.m_nX = 200;   // beyond the row pitch: it must not wrap into the next row
    g_Stage.m_vBlock.push_back(block);
    block.m_nX = -30;
    g_Stage.m_vBlock.push_back(block);
    m_State.SetStage(0, 0);
    int32_t nPlaced = 0;
    for (const BLOCKCELL& cell : BlockMap.m_vCells) {
        if (cell.m_Block.m_nGraphicIndex != 0) {
            ++nPlaced;
        } else {
            EXPECT_EQ(cell.m_Block.m_nHit, 0);
        }
    }
    EXPECT_EQ(nPlaced, 1);
    EXPECT_EQ(BlockMap[BlockMap.IndexOf(11, 11)].m_Block.m_nGraphicIndex, 3);
}

TEST_F(StageSetupTest, SetUpResetsTheCountersOfAPlay)
{
    g_Stage.m_bTimeLimit = 1;
    g_Stage.m_nTimeLimit = 120;
    g_Stage.m_nCollisionLevel = 1;
    m_State.m_nResult = 2;
    m_State.m_nPlayFrames = 50;
    m_State.m_nSubStepTotal = 9;
    m_State.m_bDeathPending = 1;
    m_State.m_vStageVar.assign(3, 7);
    m_State.m_vToggledBlocks = {5};
    g_SaveData.nScore = 300;
    m_State.SetStage(0, 0);
    EXPECT_EQ(m_State.m_nResult, 0);
    EXPECT_EQ(m_State.m_nTimeLeft, 120);
    EXPECT_EQ(m_State.m_bNoTimeLimit, 0);
    EXPECT_EQ(m_State.m_nPlayFrames, 0);
    EXPECT_EQ(m_State.m_nSubStepTotal, 0);
    EXPECT_EQ(m_State.m_bDeathPending, 0);
    EXPECT_EQ(m_State.m_vStageVar, std::vector<int32_t>(256, 0));
    EXPECT_TRUE(m_State.m_vToggledBlocks.empty());
    EXPECT_EQ(m_State.m_vShotTestMask, (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(g_SaveData.nScore, 0);
    EXPECT_EQ(m_State.m_bSetupFailed, 0);

    g_Stage.m_bTimeLimit = 0;
    m_State.SetStage(0, 0);
    EXPECT_EQ(m_State.m_nTimeLeft, 999);
    EXPECT_EQ(m_State.m_bNoTimeLimit, 1);
}

TEST_F(StageSetupTest, RestartKeepsTheSeedSoTheRandomSequenceRepeats)
{
    g_StageStart = g_Stage;
    m_State.m_nSeed = 4242;
    m_State.SetStage(0, 0);
    const int first = GameRand();
    const int second = GameRand();
    m_State.SetStage(1, 0);
    EXPECT_EQ(m_State.m_nSeed, 4242u);
    EXPECT_EQ(GameRand(), first);
    EXPECT_EQ(GameRand(), second);
}

TEST_F(StageSetupTest, RestartCopiesTheStartOfStageSettingsBack)
{
    g_StageStart = g_Stage;
    g_StageStart.m_nTimeLimit = 77;
    g_StageStart.m_bTimeLimit = 1;
    g_Stage.m_bTimeLimit = 0;
    m_State.SetStage(1, 0);
    EXPECT_EQ(g_Stage.m_nTimeLimit, 77);
    EXPECT_EQ(m_State.m_nTimeLeft, 77);
    // The placements stay those of the working stage.
    EXPECT_EQ(g_Stage.m_vChara.size(), 1u);
}

}  // namespace
