#pragma once
// Contact, damage and death rules. Results: 0 go on, 1 the stage has ended, 2 player 1 dies;
// other non-zero values of item or flow code are handed up unchanged.
#include <cstdint>

class cCharaBase;
class cChara;
class cHero;
template <class T>
class cStageList;

// Defined in ContactRules.cpp.
int32_t ApplyContactAction(cHero* lpHero);
int32_t TakeBlockItem(cHero* lpHero);
int32_t ResolveFactionContacts(cStageList<cChara>& list);
int32_t KillCharacter(cCharaBase* lpChara);
int32_t KillAndResolve(cCharaBase* lpChara, cStageList<cChara>& list);
int32_t ProcessPendingDeaths();
