#pragma once
// Block characters (movable solid bodies), riding, and item pick-up.
#include <cstdint>

class cCharaBase;
class cChara;
class cItem;
class cHero;
template <class T>
class cStageList;

// Defined in BlockCharaRules.cpp.
int32_t PushByBlockCharacters(cCharaBase* lpChara, cStageList<cChara>& list);
void ResolveAlongOtherAxis(cCharaBase* lpChara, cStageList<cChara>& list, int32_t nAxis);
int32_t StillOnRidden(cCharaBase* lpChara);
cChara* FindBlockCharacterBelow(cCharaBase* lpChara);
int32_t CrushedByBlockCharacters(cCharaBase* lpChara, const double* lpStartBox);
int32_t FollowRiddenCharacter(cCharaBase* lpChara, cStageList<cChara>& list);
int32_t CollectItems(cHero* lpHero);
int32_t TakeItem(cItem* lpItem, cCharaBase* lpTaker);
