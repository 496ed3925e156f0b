#pragma once
// Flows built by hand on a plain character. The "アニメの実行" command serves as a trace: each
// step of it puts a request at the front of the character's animation requests whose pattern's
// first frame is the command's parameter, so the requests tell which commands ran, in order.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "data/AnimePattern.h"
#include "data/CommandParamTable.h"
#include "data/EdCommand.h"
#include "data/EdDatabase.h"
#include "data/EdFlow.h"
#include "data/EdSystem.h"
#include "flows/FlowBuild.h"
#include "flows/FlowInstance.h"
#include "flows/FlowRuntime.h"
#include "frontend/SaveData.h"
#include "media/input/KeyInput.h"
#include "objects/Chara.h"
#include "tests/play/PlayTestSupport.h"

constexpr int32_t kTraceKind = 28;

inline cEdCommand FlowCmd(int32_t nKind, int32_t nTime, int32_t nSameFrame,
                          std::vector<int32_t> vParams = {})
{
    cEdCommand cmd = cEdCommand::Default();
    cmd.m_nFamily = 0;
    cmd.m_nKind = static_cast<int8_t>(nKind);
    cmd.m_nTime = static_cast<int16_t>(nTime);
    cmd.m_bSameFrame = static_cast<int8_t>(nSameFrame);
    cmd.m_vParam = std::move(vParams);
    return cmd;
}

// A trace command: id 1..9 names it in the trace.
inline cEdCommand TraceCmd(int32_t nId, int32_t nTime, int32_t nSameFrame)
{
    return FlowCmd(kTraceKind, nTime, nSameFrame, {nId});
}

inline cEdFlow MakeFlow(int32_t nTrigger, int32_t nFlowId, std::vector<cEdCommand> vCommands)
{
    cEdFlow flow = cEdFlow::Default();
    flow.m_nTrigger = static_cast<int8_t>(nTrigger);
    flow.m_nFlowId = static_cast<int8_t>(nFlowId);
    flow.m_vCommand = std::move(vCommands);
    return flow;
}

class cFlowFixture : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        m_SavedPatterns = g_AnimePatternTable;
        m_SavedAnime = g_Database.m_vAnime;
        m_SavedSystem = {g_System.m_bLegacy525, g_System.m_bLegacy669, g_System.m_bLegacy695,
                         g_System.m_bLegacy744};
        m_SavedInput = InputStates;
        m_SavedCommonVars = g_SaveData.CommonVars;
        g_System.m_bLegacy525 = g_System.m_bLegacy669 = g_System.m_bLegacy695 = g_System.m_bLegacy744 = 0;
        BuildCommandParamTable();
        g_AnimePatternTable.clear();
        for (int32_t i = 0; i < 10; ++i) g_AnimePatternTable.push_back({{i, 1, 0}, {AnimeStay, 0, 1}});
        PrepareChara(m_Chara);
    }
    void TearDown() override
    {
        g_AnimePatternTable = m_SavedPatterns;
        g_Database.m_vAnime = m_SavedAnime;
        g_System.m_bLegacy525 = m_SavedSystem[0];
        g_System.m_bLegacy669 = m_SavedSystem[1];
        g_System.m_bLegacy695 = m_SavedSystem[2];
        g_System.m_bLegacy744 = m_SavedSystem[3];
        InputStates = m_SavedInput;
        g_SaveData.CommonVars = m_SavedCommonVars;
        cPlayFixture::TearDown();
    }

    static void PrepareChara(cCharaBase& chara)
    {
        chara.m_vFlowIdRunning.assign(27, 0);
        chara.m_vFlowIdStopped.assign(27, 0);
        chara.m_vFlowIdStarted.assign(27, 0);
        chara.m_vVar.assign(9, 0);
    }

    // Gives the character these flows and builds their instances.
    void SetFlows(std::vector<cEdFlow> vFlows, cCharaBase* lpChara = nullptr)
    {
        cCharaBase& chara = lpChara != nullptr ? *lpChara : m_Chara;
        chara.m_Def.m_vFlow = std::move(vFlows);
        BuildFlowInstances(&chara, chara.m_Def.m_vFlow, 0, -1);
    }

    // Steps flow i once as the owner's flow run does; the ids the trace commands left in this
    // sub-step, oldest first.
    std::vector<int32_t> StepOnce(size_t i, int32_t* lpFinished = nullptr)
    {
        const size_t nBefore = m_Chara.m_lAnimeRequests.size();
        m_State.m_lpCurObj = &m_Chara;
        const int32_t r = StepFlow(&m_Chara.m_vFlow[i]);
        if (r == 1) StopFlow(&m_Chara.m_vFlow[i], &m_Chara);
        m_State.m_lpCurObj = nullptr;
        m_State.m_lpCurFlow = nullptr;
        m_State.m_lpCurCmd = nullptr;
        if (lpFinished != nullptr) *lpFinished = r;
        std::vector<int32_t> vIds;
        size_t n = m_Chara.m_lAnimeRequests.size() - nBefore;
        for (auto it = m_Chara.m_lAnimeRequests.begin(); n > 0; ++it, --n)
            vIds.insert(vIds.begin(), it->m_Player.m_vPatterns[0][0].m_nFrame);
        return vIds;
    }

    void Start(size_t i)
    {
        m_State.m_lpCurObj = &m_Chara;
        StartFlow(&m_Chara.m_vFlow[i]);
        m_State.m_lpCurObj = nullptr;
    }

    cChara m_Chara;

private:
    std::vector<AnimePattern> m_SavedPatterns;
    std::vector<cEdAnime> m_SavedAnime;
    std::vector<int32_t> m_SavedSystem;
    std::vector<cKeyInput> m_SavedInput;
    std::vector<int32_t> m_SavedCommonVars;
};
