// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "objects/GameObject.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void cGameObject::SetScale(int32_t nNew, int32_t nOld)
{}

void cGameObject::SetupGraphics(int32_t nKey, int32_t nSide, int32_t nSubKind, int32_t nFaction, int32_t nGraphic, const int32_t* const* lpAnimeList, int32_t nFirstPattern, int32_t nOffsetX, int32_t nOffsetY, int32_t nHitWidth, int32_t nHitHeight, int32_t nWidth, int32_t nHeight, int32_t nDir, int32_t nFlyKind, int32_t nFormationIndex, const void* lpDefinition)
{}

void cGameObject::RescaleKeepBottom(int32_t nNew, int32_t nOld)
{}
