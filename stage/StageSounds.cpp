// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "stage/StageSounds.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void PlaySystemSound(int32_t n)
{}

void PlayProjectSound(int16_t n)
{}

void RequestStageBgm(int32_t nNumber, int32_t nOption)
{}
