// The flow run-time per sub-step on a crowded stage: 200 characters with 8 running flows each
// stepped once, and the same characters' key sequences matched against player 1's history.
#include <benchmark/benchmark.h>

#include <vector>

#include "data/EdCommand.h"
#include "data/EdFlow.h"
#include "data/EdKeyList.h"
#include "data/EdStage.h"
#include "flows/FlowBuild.h"
#include "flows/FlowInstance.h"
#include "flows/FlowRuntime.h"
#include "flows/KeySequence.h"
#include "media/input/KeyInput.h"
#include "objects/Chara.h"
#include "stage/PlayState.h"

namespace {

constexpr int32_t kCharas = 200;
constexpr int32_t kFlowsEach = 8;

cEdCommand Wait(int32_t nTime, int32_t nSameFrame)
{
    cEdCommand cmd = cEdCommand::Default();
    cmd.m_nKind = 1;
    cmd.m_nTime = static_cast<int16_t>(nTime);
    cmd.m_bSameFrame = static_cast<int8_t>(nSameFrame);
    return cmd;
}

cEdFlow BusyFlow()
{
    cEdFlow flow = cEdFlow::Default();
    flow.m_vCommand = {Wait(2, 1), Wait(1, 1), Wait(3, 0), Wait(1, 0), Wait(2, 1), Wait(4, 0)};
    // A quarter circle and a button.
    for (int32_t k : {4, 8, 2, 11}) {
        cEdKeyList step = cEdKeyList::Default();
        step.m_vKeyState[static_cast<size_t>(k)] = 1;
        step.m_bAnyLength = 1;
        step.m_bFacingRelative = 1;
        flow.m_vKeyList.push_back(step);
    }
    flow.m_nKeyTolerance = 3;
    return flow;
}

struct FlowStage {
    FlowStage()
    {
        lpPlayState = &m_State;
        g_Stage.SetSpeedLevel(1);
        m_vCharas.resize(kCharas);
        for (cChara& chara : m_vCharas) {
            chara.m_vFlowIdRunning.assign(27, 0);
            chara.m_vFlowIdStopped.assign(27, 0);
            chara.m_vFlowIdStarted.assign(27, 0);
            chara.m_Def.m_vFlow.assign(kFlowsEach, BusyFlow());
            BuildFlowInstances(&chara, chara.m_Def.m_vFlow, 0, -1);
        }
        cKeyInput& input = InputStates[0];
        input.m_vDirEvents.assign(10, std::vector<KeyEventRun>(32, KeyEventRun{0, 7}));
        input.m_vButtonEvents.assign(9, std::vector<KeyEventRun>(32, KeyEventRun{0, 7}));
        input.m_vDirEvents[2][0] = {1, 2};
        input.m_vDirEvents[8][0] = {0, 2};
        input.m_vDirEvents[8][1] = {1, 3};
        input.m_vDirEvents[4][0] = {0, 5};
        input.m_vDirEvents[4][1] = {1, 4};
    }
    ~FlowStage() { lpPlayState = nullptr; }

    cPlayState m_State;
    std::vector<cChara> m_vCharas;
};

void BM_StepFlowsOfACrowd(benchmark::State& state)
{
    FlowStage stage;
    for (auto _ : state) {
        for (cChara& chara : stage.m_vCharas) {
            stage.m_State.m_lpCurObj = &chara;
            for (cFlowInstance& inst : chara.m_vFlow) {
                if (inst.m_bRunning == 0) StartFlow(&inst);
                if (StepFlow(&inst) != 0) StopFlow(&inst, &chara);
            }
        }
        stage.m_State.m_lpCurObj = nullptr;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCharas * kFlowsEach);
}
BENCHMARK(BM_StepFlowsOfACrowd);

void BM_MatchKeySequencesOfACrowd(benchmark::State& state)
{
    FlowStage stage;
    int32_t nMatched = 0;
    for (auto _ : state) {
        for (cChara& chara : stage.m_vCharas) {
            stage.m_State.m_lpCurObj = &chara;
            nMatched += MatchKeySequence(chara.m_vFlow[0].m_vKeySteps, 3);
        }
        benchmark::DoNotOptimize(nMatched);
    }
    state.SetItemsProcessed(state.iterations() * kCharas);
}
BENCHMARK(BM_MatchKeySequencesOfACrowd);

}   // namespace

BENCHMARK_MAIN();
