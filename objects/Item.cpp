// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "objects/Item.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void cItem::ScaleBoxes(int32_t nScale)
{}

int32_t cItem::KeepBottomOnRescale(int32_t nNew, int32_t nOld)
{ return {}; }

int32_t cItem::Init(int32_t nKey, const cEdItem& definition, int32_t bCarried)
{ return {}; }

int32_t cItem::SetBlockPosition(int32_t bx, int32_t by)
{ return {}; }

void cItem::Draw(DDSURFACEDATA* lpTarget, int32_t bFrozen)
{}

const int32_t* const ItemAnimeList[] = {nullptr};
