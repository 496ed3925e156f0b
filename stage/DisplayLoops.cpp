// The reduced frame loops that keep the stage on screen while the game thread waits inside a
// command or the stage end: the pause thread counts a pause-wait down (or waits for a fresh press
// of the decision button), the ranking thread shows the ranking tables until the decision button.
// Both draw a frozen stage frame only: nothing moves, no flow runs, nothing is swept.
#include "stage/DisplayLoops.h"

#include <vector>

#include "core/CheckedAccess.h"
#include "core/MainWindow.h"
#include "data/EdSystem.h"
#include "frontend/RankingDraw.h"
#include "frontend/RankingFile.h"
#include "frontend/Replay.h"
#include "frontend/SaveData.h"
#include "media/graphics/GraphicsState.h"
#include "media/input/KeyInput.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinThread.h"
#include "platform/win/WinTime.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "stage/PlayState.h"
#include "stage/StageSounds.h"

namespace {

constexpr DWORD kClosingGraceMs = 2000;

// 1 when a message was taken from the thread's queue; WM_QUIT sets bQuit.
bool TakeMessage(bool& bQuit)
{
    MSG msg{};
    if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) bQuit = true;
    return true;
}

}  // namespace

int32_t StepPauseWait(PauseWaitRecord& wait, const cKeyInput& input)
{
    if (wait.m_nDelay > 0) {
        --wait.m_nDelay;
        return 0;
    }
    if (wait.m_bWaitForKey != 0) {
        // A press that began before this frame does not count: the button must come down anew.
        return (input.m_wButton & 1) != 0 && (input.GetKeyHistory(1, 1) & 1) == 0 ? 1 : 0;
    }
    return --wait.m_nFrames < 0 ? 2 : 0;
}

unsigned NestedDisplayLoop(void* lpArgument)
{
    cPlayState* lpState = static_cast<cPlayState*>(lpArgument);
    if (lpState == nullptr || lpState->m_bClosing.load() != 0) return 0;
    PauseWaitRecord& wait = lpState->m_PauseWait;

    // The wait reads its own copy of the input, so the play step's key history stays as it was.
    std::vector<cKeyInput> inputs = InputStates;
    if (inputs.empty()) inputs.resize(1);
    cKeyInput& input = inputs[0];
    input.ClearKeyHistory();
    input.TrimKeyEvents();
    input.ClearDirectionInput();
    input.ClearButtonInput();

    bool bClosingSeen = false;
    DWORD dwClosingSince = 0;
    for (;;) {
        bool bQuit = false;
        if (TakeMessage(bQuit)) {
            if (bQuit) break;
            continue;
        }
        if (bAppActive.load() == 0) {
            Sleep(1);
            continue;
        }
        if (lpState->m_bClosing.load() != 0) {
            // Nothing more is drawn; the thread ends itself if nobody stops it within the grace.
            if (!bClosingSeen) {
                bClosingSeen = true;
                dwClosingSince = timeGetTime();
            } else if (timeGetTime() - dwClosingSince >= kClosingGraceMs) {
                PostThreadMessage(GetCurrentThreadId(), WM_QUIT, 0, 0);
            }
            Sleep(1);
            continue;
        }
        WaitFrame();
        if (RestoreLostSurfaces() == 0) PostCloseRequest();
        PollFrameInput(inputs);
        input.PushKeyHistory();
        input.LatchButtons(0);
        if (PollReplayHotkeys()) continue;

        const int32_t nEnd = StepPauseWait(wait, input);
        if (nEnd == 1) {
            PlaySystemSound(wait.m_nKind == 1 ? 12 : 1);
            // The button that ended the wait does not act in the play step until released.
            lpState->m_bHoldButtons = 1;
            break;
        }
        if (nEnd == 2) break;
        lpState->DrawStageFrame(0, 1, 0, 1);
        PresentFrame();
    }
    return 1;
}

unsigned RankingDisplayLoop(void* lpArgument)
{
    cPlayState* lpState = static_cast<cPlayState*>(lpArgument);
    const int32_t nMode = SceneManager.GameMode;
    g_SaveData.StepEnabledMenuItem(nMode, 0);
    for (;;) {
        bool bQuit = false;
        if (TakeMessage(bQuit)) {
            if (bQuit) return 1;
            continue;
        }
        if (bAppActive.load() == 0) {
            Sleep(1);
            continue;
        }
        WaitFrame();
        if (RestoreLostSurfaces() == 0) PostCloseRequest();
        PollFrameInput(InputStates);
        cKeyInput& input = CheckedAt(InputStates, 0);
        input.LatchButtons(0);
        input.ApplyAutoRepeat();
        if ((input.m_wButton & 1) != 0) break;
        if ((input.m_wButton & 8) != 0 && g_System.CountRankingKinds(nMode) > 1) {
            PlaySystemSound(6);
            g_SaveData.StepEnabledMenuItem(nMode, 1);
        }
        if (lpState != nullptr) {
            lpState->DrawStageFrame(0, 1, 0, 1);
            const int32_t nKind = g_SaveData.nRankingKind;
            const int32_t nPlace = lpState->m_vRankPlace.empty() ? -1 : CheckedAt(lpState->m_vRankPlace, nKind);
            DrawRankingOfKind(g_RankingFile, &BackBuffer, 184, 64, nKind, nPlace);
        }
        PresentFrame();
    }
    PlaySystemSound(1);
    return 1;
}
