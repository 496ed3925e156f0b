// The message command: shows, replaces or closes a message, and when it stops the game waits on
// the pause thread until the message's time or the advance key ends the wait.
#include "flows/MessageCommand.h"

#include "core/CheckedAccess.h"
#include "data/EdCommand.h"
#include "flows/FlowInstance.h"
#include "flows/MessageObject.h"
#include "objects/CharaBase.h"
#include "platform/win/WinMessage.h"
#include "shell/ShellGlobals.h"
#include "stage/DisplayLoops.h"
#include "stage/PlayState.h"
#include "stage/Player.h"
#include "stage/StageSounds.h"

namespace {

constexpr UINT kThreadHello = 0x8000;

int32_t Param(const cEdCommand& cmd, size_t i)
{
    return i < cmd.m_vParam.size() ? cmd.m_vParam[i] : 0;
}

}  // namespace

int32_t WorkMessage(cCharaBase* lpObject, cEdCommand* lpCmd, int32_t bMessageWait)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpCmd == nullptr || lpState->m_bClosing.load() != 0) return 0;
    const cEdCommand& cmd = *lpCmd;
    auto p = [&cmd](size_t i) { return Param(cmd, i); };

    // A message managed by ID is replaced where it stands in the list, or closed.
    cMessageObject* lpFound = nullptr;
    bool bSameSize = false;
    if (p(12) != 0) {
        for (cMessageObject& message : lpState->m_MessageList)
            if (message.m_Setup.bUsesId != 0 && message.m_Setup.nId == p(13)) {
                lpFound = &message;
                break;
            }
        if (lpFound != nullptr && p(15) != 0) {
            lpFound->ReleaseSurface();
            lpState->m_MessageList.Remove(*lpFound);
            return 0;
        }
        if (lpFound != nullptr) {
            std::string strText = cmd.m_strText;
            if (p(9) != 0) lpFound->ExpandMessageCodes(strText);
            int32_t w = 0, h = 0;
            lpFound->MeasureText(strText, w, h);
            bSameSize = w == lpFound->m_nWidth && h == lpFound->m_nHeight && lpFound->m_lpSurface != nullptr;
        } else if (p(15) != 0) {
            return 0;
        }
    } else if (p(15) != 0) {
        return 0;
    }

    const int32_t nFrames = p(17) != 0 ? 1 : p(7) * 6;
    const int32_t nMode = p(0);
    int32_t nFollowKey = 0;
    if (nMode >= 1 && nMode <= 3 && lpObject != nullptr) nFollowKey = lpObject->m_nKey;
    if (nMode >= 4 && nMode <= 6) nFollowKey = CheckedAt(Player, 0).m_nKey;

    MessageSetup setup;
    setup.nKind = 1;
    setup.strText = cmd.m_strText;
    setup.nPositionMode = nMode;
    setup.nX = p(1);
    setup.nY = p(2);
    setup.nOffsetX = p(3);
    setup.nOffsetY = p(4);
    setup.bKeepInside = p(5);
    setup.nTimeMode = p(6);
    setup.bFixedOnScreen = p(10);
    setup.nFrames = nFrames;
    setup.bStopsGame = p(8);
    setup.nFollowKey = nFollowKey;
    setup.bFlowWait = bMessageWait;
    setup.bExpandCodes = p(9);
    setup.bRefresh = p(11);
    setup.nRefreshInterval = p(16);
    setup.bWindow = p(14);
    setup.bUsesId = p(12);
    setup.nId = p(13);

    // The replacement keeps the found message's place: same size in its surface, another size in
    // a new one.
    cMessageObject* lpMessage = lpFound;
    if (lpFound != nullptr && bSameSize) {
        lpFound->Setup(setup, 1);
    } else if (lpFound != nullptr) {
        lpFound->ReleaseSurface();
        lpFound->Setup(setup, 0);
    } else {
        lpMessage = &lpState->m_MessageList.AppendNew();
        lpMessage->Setup(setup, 0);
    }

    if (p(8) == 0) return 0;
    switch (setup.nTimeMode) {
    case 0:
        lpState->SetPauseWait(1, 1, 0, bMessageWait);
        if (bMessageWait == 0) PlaySystemSound(11);
        break;
    case 2: lpState->SetPauseWait(1, 0, nFrames, bMessageWait); break;
    default:
        // Until the stage ends cannot be waited for here: the advance key ends the wait instead
        // of whatever wait was set last.
        lpState->SetPauseWait(1, 1, 0, 1);
        break;
    }
    // The pause thread has its message queue from its start, so one greeting is enough.
    if (thPause.Start(NestedDisplayLoop, lpState)) {
        PostThreadMessage(thPause.m_dwThreadId, kThreadHello, 0, 0);
        thPause.Join();
    }
    // This command's own message goes, wherever it stands in the list by now.
    lpMessage->ReleaseSurface();
    lpState->m_MessageList.Remove(*lpMessage);
    return 0;
}

void CmdMessage(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpInst == nullptr || lpInst->m_lpCmd == nullptr) return;
    cPlayState* lpState = PlayState();
    const int32_t bWait = lpState != nullptr && lpState->m_lpCurFlow != nullptr ? lpState->m_lpCurFlow->m_bMessageWait : 0;
    WorkMessage(lpObject, lpInst->m_lpCmd, bWait);
}
