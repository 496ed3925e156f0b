// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/KeySequence.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

int32_t MatchKeySequence(const std::vector<cEdKeyList*>& vSteps, int32_t nTolerance)
{ return {}; }

int32_t MatchKeyStep(const cEdKeyList& step, KeyCursor& cursor, int32_t& nLength)
{ return {}; }

int32_t MatchKeyRun(const KeyEventRun& run, int32_t nRemainder, const cEdKeyList& step, int32_t nState)
{ return {}; }

void MoveKeyCursor(KeyCursor& cursor, int32_t d)
{}
