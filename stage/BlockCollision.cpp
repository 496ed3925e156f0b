// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "stage/BlockCollision.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

int32_t ProbeEdge(cCharaBase* lpObject, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{ return {}; }

int32_t ProbeFloor(cCharaBase* lpObject, int32_t x1, int32_t y, int32_t x2)
{ return {}; }

int32_t ProbeCorners(cCharaBase* lpObject, int32_t nCellLeft, int32_t nCellTop, int32_t nCellRight, int32_t nCellBottom)
{ return {}; }

int32_t CollideLeft(cCharaBase* lpObject)
{ return {}; }

int32_t CollideRight(cCharaBase* lpObject)
{ return {}; }

int32_t CollideTop(cCharaBase* lpObject)
{ return {}; }

int32_t CollideBottom(cCharaBase* lpObject)
{ return {}; }

int32_t CollideHorizontal(cCharaBase* lpObject)
{ return {}; }

int32_t RecheckHorizontal(cCharaBase* lpObject)
{ return {}; }

int32_t CollideVertical(cCharaBase* lpObject)
{ return {}; }

int32_t RecheckVertical(cCharaBase* lpObject)
{ return {}; }

void KeepInViewX(cCharaBase* lpObject)
{}

int32_t KeepInViewY(cCharaBase* lpObject)
{ return {}; }

int32_t HitsBlockOrCharacter(cCharaBase* lpObject)
{ return {}; }

int32_t OverlapsBlockCharacter(cCharaBase* lpObject, int32_t bExceptKey, int32_t nExceptKey)
{ return {}; }
