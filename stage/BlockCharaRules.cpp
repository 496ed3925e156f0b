// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "stage/BlockCharaRules.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

int32_t PushByBlockCharacters(cCharaBase* lpChara, cStageList<cChara>& list)
{ return {}; }

void ResolveAlongOtherAxis(cCharaBase* lpChara, cStageList<cChara>& list, int32_t nAxis)
{}

int32_t StillOnRidden(cCharaBase* lpChara)
{ return {}; }

cChara* FindBlockCharacterBelow(cCharaBase* lpChara)
{ return {}; }

int32_t CrushedByBlockCharacters(cCharaBase* lpChara, const double* lpStartBox)
{ return {}; }

int32_t FollowRiddenCharacter(cCharaBase* lpChara, cStageList<cChara>& list)
{ return {}; }

int32_t CollectItems(cHero* lpHero)
{ return {}; }

int32_t TakeItem(cItem* lpItem, cCharaBase* lpTaker)
{ return {}; }
