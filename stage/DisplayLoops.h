#pragma once
// The reduced display loops of the pause thread (a command holds the screen) and of the ranking
// thread, which draw the stage while the game thread waits for them.
#include <cstdint>

// Defined in DisplayLoops.cpp.
// Thread procedures; the argument is the play state.
unsigned NestedDisplayLoop(void* lpState);
unsigned RankingDisplayLoop(void* lpState);
