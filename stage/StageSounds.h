#pragma once
// How game threads make sound and music: a request to the main window, which plays it; each
// returns once the sound or music has started.
#include <cstdint>

// Defined in StageSounds.cpp.
void PlaySystemSound(int32_t n);
// Nothing for 0; project sound n is entry n + 16 of the sound table.
void PlayProjectSound(int16_t n);
void RequestStageBgm(int32_t nNumber, int32_t nOption);
