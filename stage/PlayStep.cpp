// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "stage/PlayState.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void cPlayState::PlayStep()
{}

void cPlayState::RefreshAppearance()
{}

int32_t cPlayState::CountDownTime(int32_t nDelta)
{ return {}; }

void cPlayState::CountPlayTime()
{}
