// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "stage/PlayState.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void cPlayState::DrawStageFrame(int32_t bLive, int32_t bFrozen, int32_t bEffectStep, int32_t bCaption)
{}

void cPlayState::DrawPlayer(int32_t bFrozen)
{}

int32_t cPlayState::DrawCharacter(cChara& chara, int32_t bFrozen)
{ return {}; }
