// Commands that act on the script and the game: flow operation (16), stage clear (17) and game
// wait (18). Stage clear and game wait are also item commands.
#include "flows/FlowOpCommands.h"

#include <string>

#include "core/CheckedAccess.h"
#include "core/MessageBox.h"
#include "core/Path.h"
#include "data/EdCommand.h"
#include "data/EdFlow.h"
#include "data/EdWorldMap.h"
#include "flows/FlowInstance.h"
#include "flows/FlowRuntime.h"
#include "flows/MessageObject.h"
#include "frontend/SaveData.h"
#include "objects/CharaBase.h"
#include "shell/ShellGlobals.h"
#include "stage/DisplayLoops.h"
#include "stage/PlayState.h"
#include "stage/Player.h"

namespace {

int32_t Param(const cEdCommand& cmd, size_t i)
{
    return i < cmd.m_vParam.size() ? cmd.m_vParam[i] : 0;
}

// A world-map coordinate inside 0 .. size - 1 (0 for a map of no size).
int32_t ClampToMap(int32_t n, int32_t nSize)
{
    if (n >= nSize) n = nSize - 1;
    return n < 0 ? 0 : n;
}

void OperateOnFlow(cCharaBase* lpObject, cFlowInstance& inst, int32_t nOperation)
{
    switch (nOperation) {
    case 0:
        StopFlow(&inst, lpObject);
        lpObject->StopAnimeByKey(inst.m_nSerial);
        StartFlow(&inst);
        inst.m_bAbort = 1;
        break;
    case 1:
        StopFlow(&inst, lpObject);
        lpObject->StopAnimeByKey(inst.m_nSerial);
        inst.m_bAbort = 1;
        break;
    case 2:
        PauseFlow(&inst);
        lpObject->StopFinishedAnimeByKey(inst.m_nSerial);
        inst.m_bAbort = 1;
        break;
    case 3:
        ResumeFlow(&inst);
        lpObject->ReleaseAnimeKey(inst.m_nSerial);
        break;
    case 4:
        // The run-time takes deleted instances out after the object's flow run.
        inst.m_bDeleted = 1;
        inst.m_bAbort = 1;
        lpObject->m_bFlowDeleted = 1;
        break;
    case 5:
        StopFlowForever(&inst, lpObject);
        lpObject->StopAnimeByKey(inst.m_nSerial);
        inst.m_bAbort = 1;
        break;
    default: break;
    }
}

}  // namespace

void CmdFlowOperation(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    cPlayState* lpState = PlayState();
    if (lpObject == nullptr || lpInst == nullptr || lpInst->m_lpCmd == nullptr || lpState == nullptr) return;
    const cEdCommand& cmd = *lpInst->m_lpCmd;
    const int32_t nOperation = Param(cmd, 0), nScope = Param(cmd, 1), nGroup = Param(cmd, 2);
    cFlowInstance* lpCurrent = lpState->m_lpCurFlow;
    // By index: starting a flow may run commands at once, but never changes the vector.
    for (size_t i = 0; i < lpObject->m_vFlow.size(); ++i) {
        cFlowInstance& inst = lpObject->m_vFlow[i];
        bool bSelected = false;
        switch (nScope) {
        case 0: bSelected = &inst == lpCurrent; break;
        case 1: bSelected = &inst != lpCurrent; break;
        case 2: bSelected = nGroup != 0 && inst.m_lpFlow != nullptr && inst.m_lpFlow->m_nGroup == nGroup; break;
        default: break;
        }
        if (bSelected) OperateOnFlow(lpObject, inst, nOperation);
    }
}

int32_t WorkStageClear(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    (void)lpObject;
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpCmd == nullptr) return 1;
    const cEdCommand& cmd = *lpCmd;
    const int32_t nCurrent = g_SaveData.nPart;
    switch (Param(cmd, 0)) {
    case 0:
        lpState->m_nNextStage = nCurrent + 1;
        lpState->m_NextStagePath.clear();
        break;
    case 1:
        lpState->m_nNextStage = Param(cmd, 1);
        lpState->m_NextStagePath.clear();
        break;
    case 2:
        lpState->m_nNextStage = nCurrent;
        if (cmd.m_strText.empty()) {
            ErrorBoxF("ステージファイル %s が不正です。\nステージファイルとして認識できません。", "");
            lpState->m_NextStagePath.clear();
        } else {
            std::string strPath = cmd.m_strText;
            RemoveExtension(strPath);
            lpState->m_NextStagePath = strPath + ".";
        }
        break;
    case 3:
        lpState->m_nNextStage = 0;
        lpState->m_NextStagePath.clear();
        break;
    default: break;
    }
    if (Param(cmd, 2) != 0) {
        g_SaveData.nMapX = ClampToMap(Param(cmd, 3), g_WorldMap.m_nWidth);
        g_SaveData.nMapY = ClampToMap(Param(cmd, 4), g_WorldMap.m_nHeight);
        g_SaveData.nFacing = 0;
    }
    if (Param(cmd, 5) != 0) {
        g_SaveData.bStartPos = 1;
        g_SaveData.nStartX = Param(cmd, 6);
        g_SaveData.nStartY = Param(cmd, 7);
        g_SaveData.nStartFacing = Param(cmd, 8) == 2 ? CheckedAt(Player, 0).m_nDir : Param(cmd, 8);
    } else {
        g_SaveData.bStartPos = 0;
    }
    return 1;
}

void CmdStageClear(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpInst == nullptr || lpInst->m_lpCmd == nullptr) return;
    const int32_t nResult = WorkStageClear(lpObject, lpInst->m_lpCmd);
    if (cPlayState* lpState = PlayState()) lpState->m_nResult = nResult;
}

int32_t WorkGameWait(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    (void)lpObject;
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpCmd == nullptr) return 0;
    const int32_t nFrames = Param(*lpCmd, 0) * 6;

    // An invisible game-stopping message stands for the wait in the message list.
    MessageSetup setup;
    setup.nKind = 0;
    setup.bFixedOnScreen = 1;
    setup.nTimeMode = 2;
    setup.nFrames = nFrames;
    setup.bStopsGame = 1;
    cMessageObject& placeholder = lpState->m_MessageList.AppendNew();
    placeholder.Setup(setup, 0);

    lpState->m_PauseWait.m_nKind = 0;
    lpState->m_PauseWait.m_nDelay = 0;
    lpState->m_PauseWait.m_bWaitForKey = 0;
    lpState->m_PauseWait.m_nFrames = nFrames;
    lpState->m_PauseWait.m_nCounter = 0;
    if (thPause.Start(NestedDisplayLoop, lpState)) thPause.Join();

    // The wait's own placeholder goes, by identity.
    lpState->m_MessageList.Remove(placeholder);
    return 0;
}

void CmdGameWait(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpInst != nullptr && lpInst->m_lpCmd != nullptr) WorkGameWait(lpObject, lpInst->m_lpCmd);
}
