// The thin commands and the item-command table: what each leaves on the object or the stage.
#include <gtest/gtest.h>

#include "data/EdStageRecords.h"
#include "flows/ItemCommands.h"
#include "flows/MiscCommands.h"
#include "stage/Player.h"
#include "tests/play/FlowTestSupport.h"

namespace {

class FlowCommandsTest : public cFlowFixture {
public:
    void SetUp() override
    {
        cFlowFixture::SetUp();
        m_SavedBackgrounds = g_Stage.m_vBackground;
        cFlowFixture::PrepareChara(Player[0]);
    }
    void TearDown() override
    {
        g_Stage.m_vBackground = m_SavedBackgrounds;
        cFlowFixture::TearDown();
    }

    static cEdCommand ItemCmd(int32_t nItemKind, std::vector<int32_t> vParams)
    {
        cEdCommand cmd = FlowCmd(0, 0, 0, std::move(vParams));
        cmd.m_nFamily = 1;
        cmd.m_nKind = static_cast<int8_t>(nItemKind);
        return cmd;
    }

private:
    std::vector<cEdStageBackground> m_SavedBackgrounds;
};

TEST_F(FlowCommandsTest, BackgroundChangeShowsHidesAndTogglesValidNumbersOnly)
{
    struct Case {
        int32_t nNumber, nMode;
        int32_t nExpectedFirst, nExpectedThird;
    };
    const Case cases[] = {
        {1, 0, 1, 0}, {3, 0, 0, 1}, {1, 1, 0, 0}, {1, 2, 1, 0}, {3, 2, 0, 1},
        {0, 0, 0, 0}, {4, 0, 0, 0}, {-1, 0, 0, 0}, {1, 3, 0, 0},
    };
    for (const Case& c : cases) {
        g_Stage.m_vBackground.assign(3, cEdStageBackground());
        for (cEdStageBackground& b : g_Stage.m_vBackground) b.m_bShown = 0;
        cEdCommand cmd = FlowCmd(34, 0, 0, {c.nNumber, c.nMode});
        WorkBackground(&m_Chara, &cmd);
        EXPECT_EQ(g_Stage.m_vBackground[0].m_bShown, c.nExpectedFirst) << c.nNumber << " " << c.nMode;
        EXPECT_EQ(g_Stage.m_vBackground[2].m_bShown, c.nExpectedThird) << c.nNumber << " " << c.nMode;
    }
}

TEST_F(FlowCommandsTest, GraphicChangeStoresTheSourceInTheDefinitionCopy)
{
    cEdCommand cmd = FlowCmd(26, 0, 0, {0x105, 0x12345, -70000});
    WorkGraphicChange(&m_Chara, &cmd);
    EXPECT_EQ(m_Chara.m_Def.m_nGraphicKind, 5);
    EXPECT_EQ(m_Chara.m_Def.m_nGraphicIndex, 0x2345);
    EXPECT_EQ(m_Chara.m_nGraphic, 0x2345);
    EXPECT_EQ(m_Chara.m_Def.m_nGraphicSub, static_cast<int16_t>(-70000));
}

TEST_F(FlowCommandsTest, PlayAnimeIsKeyedByTheRunningFlowAndGoesInFront)
{
    cEdCommand first = FlowCmd(28, 0, 0, {3});
    WorkPlayAnime(&m_Chara, &first);
    ASSERT_EQ(m_Chara.m_lAnimeRequests.size(), 1u);
    EXPECT_EQ(m_Chara.m_lAnimeRequests.front().m_nKey, -1);

    cFlowInstance flow;
    flow.m_nSerial = 42;
    m_State.m_lpCurFlow = &flow;
    cEdCommand second = FlowCmd(28, 0, 0, {4});
    WorkPlayAnime(&m_Chara, &second);
    m_State.m_lpCurFlow = nullptr;
    ASSERT_EQ(m_Chara.m_lAnimeRequests.size(), 2u);
    const cAnimeRequest& request = m_Chara.m_lAnimeRequests.front();
    EXPECT_EQ(request.m_nKey, 42);
    EXPECT_EQ(request.m_bTimed, 0);
    EXPECT_EQ(request.m_nRemaining, 0);
    EXPECT_EQ(request.m_bHold, 0);
    EXPECT_EQ(request.m_Player.m_vPatterns.size(), 1u);
    EXPECT_EQ(request.m_Player.m_vPatterns[0], g_AnimePatternTable[4]);
    EXPECT_EQ(request.m_Player.m_nPattern, 0);
}

TEST_F(FlowCommandsTest, ArrangeBindsTheRunningFlowOrThePlayersHero)
{
    cEdCommand flowArrange = FlowCmd(38, 0, 0, {11, 5, 1, 2, 3});
    WorkArrange(&m_Chara, &flowArrange);   // no running flow: nothing
    EXPECT_TRUE(Player[0].m_lBindings.empty());

    cFlowInstance flow;
    m_State.m_lpCurFlow = &flow;
    WorkArrange(&m_Chara, &flowArrange);
    m_State.m_lpCurFlow = nullptr;
    ASSERT_EQ(flow.m_lBindings.size(), 1u);
    const ParamBinding& b = flow.m_lBindings.front();
    EXPECT_EQ(b.m_nKind, 11);
    EXPECT_EQ(b.m_nParam, 5);
    EXPECT_EQ(b.m_nOperation, 1);
    EXPECT_EQ(b.m_nScope, 2);
    EXPECT_EQ(b.m_nVariable, 3);

    // As an item command it binds the hero's next item commands, twice in a row adding up.
    cEdCommand itemArrange = ItemCmd(23, {11, 5, 1, 2, 3});
    EXPECT_EQ(ItemCommandHandlerTable[23](&m_Chara, &itemArrange), 0);
    EXPECT_EQ(ItemCommandHandlerTable[23](&m_Chara, &itemArrange), 0);
    EXPECT_EQ(Player[0].m_lBindings.size(), 2u);
    EXPECT_TRUE(m_Chara.m_vFlow.empty());
}

TEST_F(FlowCommandsTest, ItemKindsReachTheirWorkersAndOnlyAStageClearStopsTheList)
{
    for (int32_t nKind = 0; nKind < 25; ++nKind) EXPECT_NE(ItemCommandHandlerTable[nKind], nullptr) << nKind;

    // Workers that would show something do nothing while the window closes.
    m_State.m_bClosing = 1;
    cEdCommand clear = ItemCmd(2, std::vector<int32_t>(9, 0));
    EXPECT_EQ(ItemCommandHandlerTable[2](&Player[0], &clear), 1);

    // Only the first message of a list is told that no item message was shown.
    m_State.m_bItemMessageShown = 0;
    cEdCommand message = ItemCmd(4, std::vector<int32_t>(18, 0));
    EXPECT_EQ(ItemCommandHandlerTable[4](&Player[0], &message), 0);
    EXPECT_EQ(m_State.m_bItemMessageShown, 1);

    g_Stage.m_vBackground.assign(2, cEdStageBackground());
    g_Stage.m_vBackground[1].m_bShown = 0;
    cEdCommand background = ItemCmd(19, {2, 0});
    EXPECT_EQ(RunItemCommand(&Player[0], &background), 0);
    EXPECT_EQ(g_Stage.m_vBackground[1].m_bShown, 1);

    cEdCommand loop = ItemCmd(24, {2, 1});
    EXPECT_EQ(RunItemCommand(&Player[0], &loop), 0);

    // A kind from a damaged record is reported and runs nothing.
    cEdCommand damaged = ItemCmd(25, {2, 0});
    EXPECT_EQ(RunItemCommand(&Player[0], &damaged), 0);
    damaged.m_nKind = -3;
    EXPECT_EQ(RunItemCommand(&Player[0], &damaged), 0);
}

TEST_F(FlowCommandsTest, ItemFlowChangeActsOnTheCharacterGiven)
{
    cHero& hero = Player[0];
    SetFlows({MakeFlow(0, 0, {TraceCmd(1, 0, 0)})}, &hero);
    cEdCommand change = ItemCmd(1, {0, 0});
    change.m_vFlow = {MakeFlow(4, 0, {TraceCmd(2, 0, 0)})};
    EXPECT_EQ(ItemCommandHandlerTable[1](&hero, &change), 0);
    ASSERT_EQ(hero.m_vFlow.size(), 2u);
    EXPECT_EQ(hero.m_vFlow[1].m_lpFlow->m_nTrigger, 4);
}

TEST_F(FlowCommandsTest, FlowEntriesRunTheirWorkers)
{
    g_Stage.m_vBackground.assign(1, cEdStageBackground());
    g_Stage.m_vBackground[0].m_bShown = 0;
    cEdCommand cmd = FlowCmd(34, 0, 0, {1, 2});
    cCommandInstance inst;
    inst.m_lpCmd = &cmd;
    CmdBackground(&m_Chara, &inst);
    EXPECT_EQ(g_Stage.m_vBackground[0].m_bShown, 1);
    CmdBackground(&m_Chara, &inst);
    EXPECT_EQ(g_Stage.m_vBackground[0].m_bShown, 0);
    cCommandInstance empty;
    CmdBackground(&m_Chara, &empty);
    CmdLoop(&m_Chara, &inst);
    EXPECT_EQ(g_Stage.m_vBackground[0].m_bShown, 0);
}

}   // namespace
