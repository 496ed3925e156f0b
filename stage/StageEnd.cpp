// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "stage/PlayState.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void cPlayState::CheckRankings()
{}

void cPlayState::AwardExtraLives()
{}

int32_t cPlayState::NextStageFileName(std::string& strOut, int32_t nPart)
{ return {}; }

int32_t cPlayState::NoNextStage(int32_t nPart)
{ return {}; }

int32_t cPlayState::CarryOverPlayer()
{ return {}; }

void cPlayState::EnterRanking()
{}

void cPlayState::SetPauseWait(int32_t nKind, int32_t bWaitForKey, int32_t nFrames, int32_t bNoDelay)
{}
