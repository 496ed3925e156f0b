#pragma once
// The reduced display loops of the pause thread (a command holds the screen) and of the ranking
// thread, which draw the stage while the game thread waits for them.
#include <cstdint>

// Defined in DisplayLoops.cpp.
// Thread procedures; the argument is the play state.
unsigned NestedDisplayLoop(void* lpState);
unsigned RankingDisplayLoop(void* lpState);

struct PauseWaitRecord;
class cKeyInput;
// One frame of a pause-wait against the wait's input (its key history already pushed):
// 0 the wait goes on, 1 a fresh press of the decision button ended it, 2 its frames ran out.
int32_t StepPauseWait(PauseWaitRecord& wait, const cKeyInput& input);
