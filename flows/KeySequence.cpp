// Key-sequence matching. The match walks back in time through player 1's key event lists
// (direction lists 0..9, then button lists 0..8, each 32 runs, newest first): the last step must
// hold now, and each earlier step just before the frames the later steps used, or up to the
// flow's tolerance in frames earlier.
#include "flows/KeySequence.h"

#include "data/EdKeyList.h"
#include "data/EdSystem.h"
#include "media/input/KeyInput.h"
#include "objects/GameObject.h"
#include "stage/PlayState.h"

namespace {

constexpr int32_t kListCount = 19;
constexpr int32_t kRunCount = KEY_EVENT_RUNS;

// The 19 event lists of player 1, every sequence of every object being matched against them.
struct KeyLists {
    const std::vector<KeyEventRun>* m_lpList[kListCount] = {};
};

const KeyEventRun kUnusedRun = {0, 0};

KeyLists PlayerOneLists()
{
    KeyLists lists;
    if (InputStates.empty()) return lists;
    const cKeyInput& input = InputStates[0];
    for (int32_t k = 0; k < kListCount; ++k) {
        const size_t n = static_cast<size_t>(k);
        if (k < 10) {
            if (n < input.m_vDirEvents.size()) lists.m_lpList[k] = &input.m_vDirEvents[n];
        } else if (n - 10 < input.m_vButtonEvents.size()) {
            lists.m_lpList[k] = &input.m_vButtonEvents[n - 10];
        }
    }
    return lists;
}

// A run of a list; runs the input layer never kept read as unused released runs.
const KeyEventRun& RunAt(const KeyLists& lists, int32_t k, int32_t p)
{
    const std::vector<KeyEventRun>* lpList = lists.m_lpList[k];
    if (lpList == nullptr || p < 0 || static_cast<size_t>(p) >= lpList->size()) return kUnusedRun;
    return (*lpList)[static_cast<size_t>(p)];
}

void StartCursor(const KeyLists& lists, KeyCursor& cursor)
{
    for (int32_t k = 0; k < kListCount; ++k) {
        cursor.m_nRun[k] = 0;
        cursor.m_nRemainder[k] = RunAt(lists, k, 0).nCount;
    }
}

void MoveCursor(const KeyLists& lists, KeyCursor& cursor, int32_t d)
{
    for (int32_t k = 0; k < kListCount; ++k) {
        int32_t& p = cursor.m_nRun[k];
        int32_t& r = cursor.m_nRemainder[k];
        if (d <= 0) {
            r += d;
            // Past the oldest run the cursor stays on it with a negative remainder, where no
            // step can match.
            while (r < 0 && p + 1 < kRunCount) {
                ++p;
                r += RunAt(lists, k, p).nCount;
            }
            if (r == 0 && p + 1 < kRunCount) {
                ++p;
                r = RunAt(lists, k, p).nCount;
            }
        } else {
            r += d;
            while (p > 0 && r > RunAt(lists, k, p).nCount) {
                r -= RunAt(lists, k, p).nCount;
                --p;
            }
        }
    }
}

// The list a key of a step reads: left and right swap for a facing-relative step while the object
// being run faces left.
int32_t ListOfKey(int32_t k, bool bMirror)
{
    if (!bMirror) return k;
    switch (k) {
    case 1: return 2;
    case 2: return 1;
    case 5: return 7;
    case 7: return 5;
    case 6: return 8;
    case 8: return 6;
    default: return k;
    }
}

bool CurrentObjectFacesLeft()
{
    const cPlayState* lpState = PlayState();
    return lpState != nullptr && lpState->m_lpCurObj != nullptr && lpState->m_lpCurObj->m_nDir == 0;
}

int32_t MatchStep(const KeyLists& lists, const cEdKeyList& step, const KeyCursor& cursor,
                  int32_t& nLength, bool bFacesLeft)
{
    const bool bMirror = step.m_bFacingRelative == 1 && bFacesLeft;
    const size_t nKeys = step.m_vKeyState.size() < static_cast<size_t>(kListCount)
                             ? step.m_vKeyState.size()
                             : static_cast<size_t>(kListCount);
    int32_t m = 0, f = 0;
    nLength = 0;
    for (size_t i = 0; i < nKeys; ++i) {
        const int32_t nState = step.m_vKeyState[i];
        if (nState == 0) continue;
        const int32_t k = ListOfKey(static_cast<int32_t>(i), bMirror);
        const int32_t r = cursor.m_nRemainder[k];
        if (MatchKeyRun(RunAt(lists, k, cursor.m_nRun[k]), r, step, nState) == 0) {
            ++f;
            continue;
        }
        ++m;
        switch (step.m_nCombine) {
        case 0:
            if (nLength == 0 || r < nLength) nLength = r;
            break;
        case 1:
            if (nLength == 0 || r > nLength) nLength = r;
            break;
        default:
            nLength = r;
            break;
        }
    }
    switch (step.m_nCombine) {
    case 0: return f == 0 ? 1 : 0;
    case 1: return m >= 1 ? 1 : 0;
    case 2: return m == 1 ? 1 : 0;
    default: return 1;
    }
}

}   // namespace

int32_t MatchKeyRun(const KeyEventRun& run, int32_t nRemainder, const cEdKeyList& step,
                    int32_t nState)
{
    if (nState == 1) {
        if (run.nState != 1) return 0;
        if (step.m_bAnyLength != 0) return nRemainder >= 1 ? 1 : 0;
        return step.m_nMinHold <= nRemainder && nRemainder <= step.m_nMaxHold ? 1 : 0;
    }
    if (nState == 2) return run.nState == 0 && nRemainder >= 1 ? 1 : 0;
    return 0;
}

int32_t MatchKeyStep(const cEdKeyList& step, KeyCursor& cursor, int32_t& nLength)
{
    return MatchStep(PlayerOneLists(), step, cursor, nLength, CurrentObjectFacesLeft());
}

void MoveKeyCursor(KeyCursor& cursor, int32_t d)
{
    MoveCursor(PlayerOneLists(), cursor, d);
}

int32_t MatchKeySequence(const std::vector<cEdKeyList*>& vSteps, int32_t nTolerance)
{
    if (vSteps.empty()) return 0;
    const KeyLists lists = PlayerOneLists();
    const bool bFacesLeft = CurrentObjectFacesLeft();
    KeyCursor cursor;
    StartCursor(lists, cursor);

    const int32_t n = static_cast<int32_t>(vSteps.size());
    for (int32_t i = n - 1; i >= 0; --i) {
        const cEdKeyList* lpStep = vSteps[static_cast<size_t>(i)];
        if (lpStep == nullptr) return 0;
        int32_t nLength = 0;
        bool bAccepted = MatchStep(lists, *lpStep, cursor, nLength, bFacesLeft) != 0;
        if (!bAccepted && i == n - 1) return 0;
        if (!bAccepted) {
            if (nTolerance <= 0) return 0;
            int32_t nMoved = 0;
            while (nMoved < nTolerance && !bAccepted) {
                MoveCursor(lists, cursor, -1);
                ++nMoved;
                bAccepted = MatchStep(lists, *lpStep, cursor, nLength, bFacesLeft) != 0;
            }
            if (!bAccepted) {
                // One frame after the cursor: the step may overlap the first frame of the
                // later step only when the project allows it or that step does not hold there.
                MoveCursor(lists, cursor, nMoved);
                MoveCursor(lists, cursor, 1);
                if (MatchStep(lists, *lpStep, cursor, nLength, bFacesLeft) == 0) return 0;
                int32_t nLaterLength = 0;
                const cEdKeyList* lpLater = vSteps[static_cast<size_t>(i + 1)];
                if (g_System.KeyStepOverlap() == 0 && lpLater != nullptr &&
                    MatchStep(lists, *lpLater, cursor, nLaterLength, bFacesLeft) != 0)
                    return 0;
            }
        }
        if (i == 0) return 1;
        MoveCursor(lists, cursor, -nLength);
    }
    return 0;
}
