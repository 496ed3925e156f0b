#pragma once
// Matching a flow's key sequence against player 1's key event history, walking back in time from
// the current frame.
#include <cstdint>
#include <vector>

class cEdKeyList;
struct KeyEventRun;

// Position in the 19 event lists: run index (0 newest) and the frames of that run at or before
// the cursor.
struct KeyCursor {
    int32_t m_nRun[19] = {};
    int32_t m_nRemainder[19] = {};
};

// Defined in KeySequence.cpp.
int32_t MatchKeySequence(const std::vector<cEdKeyList*>& vSteps, int32_t nTolerance);
int32_t MatchKeyStep(const cEdKeyList& step, KeyCursor& cursor, int32_t& nLength);
int32_t MatchKeyRun(const KeyEventRun& run, int32_t nRemainder, const cEdKeyList& step,
                    int32_t nState);
void MoveKeyCursor(KeyCursor& cursor, int32_t d);
