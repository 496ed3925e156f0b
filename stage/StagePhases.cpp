// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "stage/PlayState.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void cPlayState::Enter()
{}

void cPlayState::FadeIn()
{}

void cPlayState::FadeOut()
{}

void cPlayState::ShowStartBanner()
{}

void cPlayState::PauseMenu()
{}

void cPlayState::StageEndResults()
{}

void cPlayState::RetryPrompt()
{}

void cPlayState::WaitKeyBanner()
{}

int32_t cPlayState::CheckPauseKey()
{ return {}; }
