#pragma once
// Collision of characters with the block grid and the push-out from blocks. Results: 0 go on,
// 2 dies.
#include <cstdint>

class cCharaBase;

// Defined in BlockCollision.cpp.
int32_t ProbeEdge(cCharaBase* lpObject, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
int32_t ProbeFloor(cCharaBase* lpObject, int32_t x1, int32_t y, int32_t x2);
int32_t ProbeCorners(cCharaBase* lpObject, int32_t nCellLeft, int32_t nCellTop,
                     int32_t nCellRight, int32_t nCellBottom);
int32_t CollideLeft(cCharaBase* lpObject);
int32_t CollideRight(cCharaBase* lpObject);
int32_t CollideTop(cCharaBase* lpObject);
int32_t CollideBottom(cCharaBase* lpObject);
int32_t CollideHorizontal(cCharaBase* lpObject);
int32_t RecheckHorizontal(cCharaBase* lpObject);
int32_t CollideVertical(cCharaBase* lpObject);
int32_t RecheckVertical(cCharaBase* lpObject);
void KeepInViewX(cCharaBase* lpObject);
int32_t KeepInViewY(cCharaBase* lpObject);
int32_t HitsBlockOrCharacter(cCharaBase* lpObject);
int32_t OverlapsBlockCharacter(cCharaBase* lpObject, int32_t bExceptKey, int32_t nExceptKey);
