// The flow run-time: firing a character's flows by trigger, starting them, stepping their
// commands once per sub-step and stopping them.
//
// Stepping works with a frontier: commands up to the frontier run side by side. A command whose
// same-frame field is 1 releases the next command in the same sub-step and keeps running; any
// other command holds the frontier until it finishes, and the command after it starts in the
// next sub-step.
#include "flows/FlowRuntime.h"

#include "core/CheckedAccess.h"
#include "core/MessageBox.h"
#include "data/EdCommand.h"
#include "data/EdFlow.h"
#include "data/EdSystem.h"
#include "flows/CommandDispatch.h"
#include "flows/FlowContext.h"
#include "flows/FlowInstance.h"
#include "flows/KeySequence.h"
#include "flows/ParamBinding.h"
#include "media/input/KeyInput.h"
#include "objects/CharaBase.h"
#include "stage/Conditions.h"
#include "stage/PlayState.h"

namespace {

constexpr int32_t kKindStageStart = 18;   // trigger "ステージ開始前"
constexpr int32_t kKindMessage = 19;
constexpr int32_t kKindArrange = 38;

int32_t ParamOrZero(const cEdCommand& cmd, size_t i)
{
    return i < cmd.m_vParam.size() ? cmd.m_vParam[i] : 0;
}

// A message that waits for the player: the next message knows one was just shown.
bool IsWaitingMessage(const cEdCommand& cmd)
{
    return cmd.m_nFamily == 0 && cmd.m_nKind == kKindMessage && ParamOrZero(cmd, 15) == 0 &&
           ParamOrZero(cmd, 6) == 0;
}

void MarkFlowIdStopped(cCharaBase* lpObject, int32_t nId)
{
    if (lpObject == nullptr || nId == 0) return;
    CheckedAt(lpObject->m_vFlowIdStopped, nId) = 1;
    lpObject->m_bFlowIdStopped = 1;
}

// Index 0..9 of the first direction event list whose newest run is pressed, 0 when none is.
int32_t StartDirection(const cCharaBase* lpObject)
{
    size_t nPlayer = 0;
    if (lpObject->m_nSide == 0) {
        const int32_t n = lpObject->m_Def.m_nPlayerNo;
        // A player number from a damaged file that names no input state reads no direction.
        if (n < 0 || static_cast<size_t>(n) >= InputStates.size()) return 0;
        nPlayer = static_cast<size_t>(n);
    }
    if (nPlayer >= InputStates.size()) return 0;
    const cKeyInput& input = InputStates[nPlayer];
    const size_t nLists = input.m_vDirEvents.size() < 10 ? input.m_vDirEvents.size() : 10;
    for (size_t i = 0; i < nLists; ++i) {
        const std::vector<KeyEventRun>& list = input.m_vDirEvents[i];
        if (!list.empty() && list[0].nState == 1) return static_cast<int32_t>(i);
    }
    return 0;
}

}   // namespace

void FireFlows(cCharaBase* lpObject, int32_t nTrigger)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpObject == nullptr) return;
    cFlowContextSave save(*lpState);
    lpState->m_lpCurObj = lpObject;

    const int32_t bEverySubStep = g_System.FlowsEverySubStep();
    const int32_t bCheckOnTrigger = g_System.FlowCheckOnTrigger();
    // StartFlow never changes the list, but a trigger-18 flow runs commands at once; walk by
    // index so that nothing here holds an element across them.
    for (size_t i = 0; i < lpObject->m_vFlow.size(); ++i) {
        cFlowInstance* lpInst = &lpObject->m_vFlow[i];
        const cEdFlow* lpFlow = lpInst->m_lpFlow;
        if (lpFlow == nullptr || lpFlow->m_nTrigger != nTrigger) continue;
        if (bCheckOnTrigger != 0 && bEverySubStep == 0) {
            if (lpInst->m_bTriedThisFrame != 0) continue;
            lpInst->m_bTriedThisFrame = 1;
        }
        if (lpInst->m_bRunning != 0 || lpInst->m_bPaused != 0 || lpInst->m_bStoppedForever != 0 ||
            lpInst->m_bStartedThisFrame != 0)
            continue;
        const int32_t nId = lpFlow->m_nFlowId;
        if (nTrigger == 0 && nId != 0 &&
            (CheckedAt(lpObject->m_vFlowIdRunning, nId) != 0 ||
             CheckedAt(lpObject->m_vFlowIdStarted, nId) != 0))
            continue;
        if (bCheckOnTrigger == 0 && bEverySubStep == 0) {
            if (lpInst->m_bTriedThisFrame != 0) continue;
            lpInst->m_bTriedThisFrame = 1;
        }
        if (CheckFlowConditions(lpInst, lpObject) == 0) continue;
        if (CheckFlowKeys(lpObject, lpInst) == 0) continue;
        lpInst->m_nStartDir = StartDirection(lpObject);
        StartFlow(lpInst);
    }
}

int32_t CheckFlowKeys(cCharaBase* lpObject, cFlowInstance* lpInst)
{
    if (lpInst->m_vKeySteps.empty() || lpInst->m_lpFlow == nullptr) return 1;
    const cEdFlow& flow = *lpInst->m_lpFlow;
    const int32_t r = MatchKeySequence(lpInst->m_vKeySteps, flow.m_nKeyTolerance);
    if (flow.m_nKeyMode != 0) return r;
    if (r == 0) {
        lpInst->m_bKeyLatch = 0;
        return 0;
    }
    if (lpInst->m_bKeyLatch == 0) {
        lpInst->m_bKeyLatch = 1;
        return 1;
    }
    // Still held since it fired: a trigger-0 flow with an ID keeps its ID taken as if it had
    // stopped, so that another flow of the ID does not fire on the same held keys either.
    if (flow.m_nTrigger == 0 && flow.m_nFlowId != 0 && lpObject != nullptr) {
        CheckedAt(lpObject->m_vFlowIdRunning, flow.m_nFlowId) = 1;
        MarkFlowIdStopped(lpObject, flow.m_nFlowId);
    }
    return 0;
}

void StartFlow(cFlowInstance* lpInst)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpInst == nullptr) return;
    cFlowContextSave save(*lpState);
    cCharaBase* lpObject = static_cast<cCharaBase*>(lpState->m_lpCurObj);

    lpInst->m_bRunning = 1;
    lpInst->m_nFrontier = 0;
    lpInst->m_nSteps = 0;
    lpInst->m_bMessageWait = 0;
    for (cCommandInstance& cmd : lpInst->m_vCmd) cmd.m_bDone = 0;
    lpInst->m_bStartedThisFrame = 1;

    const cEdFlow* lpFlow = lpInst->m_lpFlow;
    if (lpFlow == nullptr) return;
    if (lpFlow->m_nTrigger == 0 && lpFlow->m_nFlowId != 0 && lpObject != nullptr) {
        CheckedAt(lpObject->m_vFlowIdRunning, lpFlow->m_nFlowId) = 1;
        CheckedAt(lpObject->m_vFlowIdStarted, lpFlow->m_nFlowId) = 1;
    }

    if (lpInst->m_vCmd.empty() || lpFlow->m_nTrigger != kKindStageStart) return;
    // A flow run before the stage starts: its same-frame commands of the non-movement kinds run
    // once each, at once; the rest is skipped.
    lpState->m_lpCurFlow = lpInst;
    lpInst->m_bAbort = 0;
    for (size_t i = 0; i < lpInst->m_vCmd.size(); ++i) {
        lpInst->m_nFrontier = static_cast<int32_t>(i);
        cCommandInstance* lpCmd = &lpInst->m_vCmd[i];
        if (lpCmd->m_lpCmd == nullptr || lpCmd->m_lpCmd->m_nKind < 16 || lpCmd->m_lpCmd->m_bSameFrame == 0)
            continue;
        ResetCommandInstance(lpCmd);
        if (StepCommand(lpCmd) == 0)
            DebugErrorBoxF("使用時間0なので、ここにくることはあり得ないはず！");
        if (lpInst->m_bAbort != 0) break;
        lpCmd->m_bDone = 1;
    }
    StopFlow(lpInst, lpObject);
}

int32_t StepFlow(cFlowInstance* lpInst)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpInst == nullptr) return 1;
    lpState->m_lpCurFlow = lpInst;
    lpInst->m_bAbort = 0;

    const int32_t nCount = static_cast<int32_t>(lpInst->m_vCmd.size());
    const int32_t nLast = nCount - 1;
    for (int32_t i = 0; i <= lpInst->m_nFrontier && i < nCount; ++i) {
        cCommandInstance* lpCmd = &lpInst->m_vCmd[static_cast<size_t>(i)];
        if (lpCmd->m_bDone != 0) continue;
        const cEdCommand* lpDef = lpCmd->m_lpCmd;
        const bool bWaitingMessage = lpDef != nullptr && IsWaitingMessage(*lpDef);
        const int32_t nSameFrame = lpDef != nullptr ? lpDef->m_bSameFrame : 0;
        if (lpCmd->m_nRemaining == 0) {
            ResetCommandInstance(lpCmd);
            if (!bWaitingMessage && nSameFrame == 0) lpInst->m_bMessageWait = 0;
        }
        if (nSameFrame == 1) {
            if (StepCommand(lpCmd) == 1) {
                lpCmd->m_bDone = 1;
                if (i == nLast) return 1;
            }
            if (i == lpInst->m_nFrontier) ++lpInst->m_nFrontier;
            if (lpInst->m_bAbort != 0) return 0;
            continue;
        }
        if (StepCommand(lpCmd) == 0) {
            if (lpInst->m_bAbort != 0) return 0;
            continue;
        }
        lpCmd->m_bDone = 1;
        if (bWaitingMessage) lpInst->m_bMessageWait = 1;
        if (i == nLast) return 1;
        ++lpInst->m_nFrontier;
        break;
    }
    if (nCount == 0 || lpInst->m_vCmd[static_cast<size_t>(nLast)].m_bDone != 0) return 1;
    ++lpInst->m_nSteps;
    return 0;
}

int32_t StepCommand(cCommandInstance* lpInst)
{
    cPlayState* lpState = PlayState();
    if (lpState != nullptr) {
        lpState->m_lpCurCmd = lpInst;
        DispatchCommand(static_cast<cCharaBase*>(lpState->m_lpCurObj), lpInst);
    }
    lpInst->m_nRemaining -= 1;
    if (lpInst->m_nRemaining > 0) return 0;
    lpInst->m_nRemaining = 0;
    return 1;
}

void ResetCommandInstance(cCommandInstance* lpInst)
{
    lpInst->m_nRemaining = lpInst->m_nInitialCount;
    lpInst->m_bDone = 0;
    lpInst->m_bStarted = 0;
    lpInst->m_nCalls = 0;
    for (int32_t& n : lpInst->m_nMoveWord) n = 0;
    cEdCommand* lpCmd = lpInst->m_lpCmd;
    if (lpCmd == nullptr || lpCmd->FlowKind() == kKindArrange) return;
    // The bindings made by "アレンジ" go to the next command that starts, whatever its kind.
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpState->m_lpCurFlow == nullptr) return;
    ApplyFlowParamBindings(lpCmd, lpState->m_lpCurObj, lpState->m_lpCurFlow);
    lpState->m_lpCurFlow->m_lBindings.clear();
}

void StopFlow(cFlowInstance* lpInst, cCharaBase* lpObject)
{
    if (lpInst == nullptr || lpInst->m_bRunning == 0) return;
    lpInst->m_bRunning = 0;
    lpInst->m_lBindings.clear();
    for (cCommandInstance& cmd : lpInst->m_vCmd) cmd.m_nRemaining = 0;
    if (lpInst->m_lpFlow != nullptr) MarkFlowIdStopped(lpObject, lpInst->m_lpFlow->m_nFlowId);
}

void PauseFlow(cFlowInstance* lpInst)
{
    if (lpInst != nullptr) lpInst->m_bPaused = 1;
}

void ResumeFlow(cFlowInstance* lpInst)
{
    if (lpInst != nullptr) lpInst->m_bPaused = 0;
}

void StopFlowForever(cFlowInstance* lpInst, cCharaBase* lpObject)
{
    if (lpInst == nullptr) return;
    lpInst->m_bStoppedForever = 1;
    if (lpInst->m_bRunning == 0) return;
    for (cCommandInstance& cmd : lpInst->m_vCmd) cmd.m_nRemaining = 0;
    if (lpInst->m_lpFlow != nullptr) MarkFlowIdStopped(lpObject, lpInst->m_lpFlow->m_nFlowId);
}
