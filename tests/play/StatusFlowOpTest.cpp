// Flow operation, stage clear and game wait (command kinds 16 to 18).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/EdWorldMap.h"
#include "flows/FlowOpCommands.h"
#include "frontend/SaveData.h"
#include "platform/host/Host.h"
#include "shell/ShellGlobals.h"
#include "stage/Player.h"
#include "tests/play/FlowTestSupport.h"

namespace {

constexpr int32_t kFlowOp = 16;

class FlowOpFixture : public cFlowFixture {
public:
    void SetUp() override
    {
        cFlowFixture::SetUp();
        HostSelect(HostKind::Headless);
        HostClearRecordedMessageBoxes();
        m_bSavedActive = bAppActive.load();
        bAppActive = 1;
    }
    void TearDown() override
    {
        bAppActive = m_bSavedActive;
        HostClearRecordedMessageBoxes();
        cFlowFixture::TearDown();
    }

    static cEdFlow GroupFlow(int32_t nGroup, std::vector<cEdCommand> vCommands)
    {
        cEdFlow flow = MakeFlow(1, 0, std::move(vCommands));
        flow.m_nGroup = static_cast<int8_t>(nGroup);
        return flow;
    }

    int32_t m_bSavedActive = 0;
};

TEST_F(FlowOpFixture, RestartingTheRunningFlowAbortsItsStep)
{
    SetFlows({MakeFlow(1, 0, {FlowCmd(kFlowOp, 0, 1, {0, 0, 0}), TraceCmd(1, 0, 1), TraceCmd(2, 0, 0)})});
    Start(0);
    EXPECT_TRUE(StepOnce(0).empty());
    EXPECT_EQ(m_Chara.m_vFlow[0].m_bRunning, 1);
    EXPECT_EQ(m_Chara.m_vFlow[0].m_bAbort, 1);
}

TEST_F(FlowOpFixture, ScopesSelectTheirFlows)
{
    const struct {
        int32_t nScope, nGroup;
        std::vector<int32_t> vStillRunning;   // of flows 1..3 (groups 0, 3, 3)
    } cases[] = {
        {2, 0, {1, 1, 1}},   // group 0 selects nothing
        {2, 3, {1, 0, 0}},
        {2, 4, {1, 1, 1}},
        {1, 0, {0, 0, 0}},   // every flow but the running one
        {0, 0, {1, 1, 1}},   // only the running one
        {7, 0, {1, 1, 1}},   // no such scope
    };
    for (const auto& c : cases) {
        SetFlows({GroupFlow(0, {FlowCmd(kFlowOp, 0, 0, {1, c.nScope, c.nGroup}), TraceCmd(1, 5, 0)}),
                  GroupFlow(0, {TraceCmd(2, 5, 0)}), GroupFlow(3, {TraceCmd(3, 5, 0)}),
                  GroupFlow(3, {TraceCmd(4, 5, 0)})});
        for (size_t i = 0; i < 4; ++i) Start(i);
        StepOnce(0);
        std::vector<int32_t> vRunning;
        for (size_t i = 1; i < 4; ++i) vRunning.push_back(m_Chara.m_vFlow[i].m_bRunning);
        EXPECT_EQ(vRunning, c.vStillRunning) << c.nScope << " " << c.nGroup;
        EXPECT_EQ(m_Chara.m_vFlow[0].m_bRunning, c.nScope == 0 ? 0 : 1) << c.nScope;
    }
}

TEST_F(FlowOpFixture, PauseResumeDeleteAndStopForever)
{
    const struct {
        int32_t nOperation;
        int32_t bPaused, bDeleted, bForever, bFlowDeleted;
    } cases[] = {
        {2, 1, 0, 0, 0}, {4, 0, 1, 0, 1}, {5, 0, 0, 1, 0}, {9, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        m_Chara.m_bFlowDeleted = 0;
        SetFlows({MakeFlow(1, 0, {FlowCmd(kFlowOp, 0, 0, {c.nOperation, 1, 0}), TraceCmd(1, 5, 0)}),
                  MakeFlow(1, 0, {TraceCmd(2, 5, 0)})});
        Start(0);
        Start(1);
        StepOnce(0);
        const cFlowInstance& other = m_Chara.m_vFlow[1];
        EXPECT_EQ(other.m_bPaused, c.bPaused) << c.nOperation;
        EXPECT_EQ(other.m_bDeleted, c.bDeleted) << c.nOperation;
        EXPECT_EQ(other.m_bStoppedForever, c.bForever) << c.nOperation;
        EXPECT_EQ(m_Chara.m_bFlowDeleted, c.bFlowDeleted) << c.nOperation;
    }
    // Resume undoes a pause.
    SetFlows({MakeFlow(1, 0, {FlowCmd(kFlowOp, 0, 0, {3, 1, 0}), TraceCmd(1, 5, 0)}),
              MakeFlow(1, 0, {TraceCmd(2, 5, 0)})});
    m_Chara.m_vFlow[1].m_bPaused = 1;
    Start(0);
    StepOnce(0);
    EXPECT_EQ(m_Chara.m_vFlow[1].m_bPaused, 0);
}

class StageClearFixture : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        HostSelect(HostKind::Headless);
        HostClearRecordedMessageBoxes();
        m_Saved = {g_SaveData.nPart, g_SaveData.nMapX, g_SaveData.nMapY, g_SaveData.nFacing, g_SaveData.bStartPos,
                   g_SaveData.nStartX, g_SaveData.nStartY, g_SaveData.nStartFacing, g_WorldMap.m_nWidth,
                   g_WorldMap.m_nHeight};
        g_SaveData.nPart = 4;
        g_WorldMap.m_nWidth = 20;
        g_WorldMap.m_nHeight = 10;
    }
    void TearDown() override
    {
        g_SaveData.nPart = m_Saved[0];
        g_SaveData.nMapX = m_Saved[1];
        g_SaveData.nMapY = m_Saved[2];
        g_SaveData.nFacing = m_Saved[3];
        g_SaveData.bStartPos = m_Saved[4];
        g_SaveData.nStartX = m_Saved[5];
        g_SaveData.nStartY = m_Saved[6];
        g_SaveData.nStartFacing = m_Saved[7];
        g_WorldMap.m_nWidth = m_Saved[8];
        g_WorldMap.m_nHeight = m_Saved[9];
        HostClearRecordedMessageBoxes();
        cPlayFixture::TearDown();
    }

    static cEdCommand ClearCmd(std::vector<int32_t> vParams, const std::string& text = "")
    {
        cEdCommand cmd = cEdCommand::Default();
        cmd.m_nKind = 17;
        vParams.resize(9, 0);
        cmd.m_vParam = vParams;
        cmd.m_strText = text;
        return cmd;
    }

    std::vector<int32_t> m_Saved;
};

TEST_F(StageClearFixture, WhatComesNext)
{
    const struct {
        std::vector<int32_t> vParams;
        const char* text;
        int32_t nNext;
        const char* path;
        size_t nBoxes;
    } cases[] = {
        {{0}, "", 5, "", 0},
        {{1, 12}, "", 12, "", 0},
        {{2}, "stage\\next.stg4_001", 4, "stage\\next.", 0},
        {{2}, "", 4, "", 1},
        {{3}, "", 0, "", 0},
    };
    for (const auto& c : cases) {
        HostClearRecordedMessageBoxes();
        m_State.m_NextStagePath = "old";
        cEdCommand cmd = ClearCmd(c.vParams, c.text);
        EXPECT_EQ(WorkStageClear(&Player[0], &cmd), 1);
        EXPECT_EQ(m_State.m_nNextStage, c.nNext) << c.vParams[0];
        EXPECT_EQ(m_State.m_NextStagePath, c.path) << c.vParams[0];
        const std::vector<RecordedMessageBox> boxes = HostRecordedMessageBoxes();
        ASSERT_EQ(boxes.size(), c.nBoxes) << c.vParams[0];
        if (!boxes.empty()) {
            EXPECT_EQ(boxes[0].text, "ステージファイル  が不正です。\nステージファイルとして認識できません。");
        }
    }
}

TEST_F(StageClearFixture, MapPositionIsKeptOnTheMapAndStartOverride)
{
    g_SaveData.nFacing = 3;
    cEdCommand far = ClearCmd({0, 0, 1, 50, 99});
    WorkStageClear(&Player[0], &far);
    EXPECT_EQ(g_SaveData.nMapX, 19);
    EXPECT_EQ(g_SaveData.nMapY, 9);
    EXPECT_EQ(g_SaveData.nFacing, 0);
    cEdCommand negative = ClearCmd({0, 0, 1, -3, -1});
    WorkStageClear(&Player[0], &negative);
    EXPECT_EQ(g_SaveData.nMapX, 0);
    EXPECT_EQ(g_SaveData.nMapY, 0);

    Player[0].m_nDir = 1;
    cEdCommand start = ClearCmd({0, 0, 0, 0, 0, 1, 7, 8, 2});
    WorkStageClear(&Player[0], &start);
    EXPECT_EQ(g_SaveData.bStartPos, 1);
    EXPECT_EQ(g_SaveData.nStartX, 7);
    EXPECT_EQ(g_SaveData.nStartY, 8);
    EXPECT_EQ(g_SaveData.nStartFacing, 1);
    cEdCommand off = ClearCmd({0});
    WorkStageClear(&Player[0], &off);
    EXPECT_EQ(g_SaveData.bStartPos, 0);
}

TEST_F(FlowOpFixture, StageClearCommandSetsTheResult)
{
    SetFlows({MakeFlow(1, 0, {FlowCmd(17, 0, 0, {3, 0, 0, 0, 0, 0, 0, 0, 0})})});
    Start(0);
    StepOnce(0);
    EXPECT_EQ(m_State.m_nResult, 1);
}

TEST_F(FlowOpFixture, GameWaitRunsThePauseThreadAndTakesItsPlaceholderAway)
{
    for (int32_t nTime : {0, 1}) {
        cEdCommand cmd = FlowCmd(18, 0, 0, {nTime});
        WorkGameWait(&m_Chara, &cmd);
        // The wait counted its frames down to the end on the pause thread.
        EXPECT_EQ(m_State.m_PauseWait.m_nFrames, -1) << nTime;
        EXPECT_EQ(m_State.m_PauseWait.m_nKind, 0);
        EXPECT_EQ(m_State.m_MessageList.Count(), 0);
        EXPECT_EQ(m_State.m_MessageList.StoredCount(), static_cast<size_t>(nTime + 1));
    }
}

}  // namespace
