// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "stage/ContactRules.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

int32_t ApplyContactAction(cHero* lpHero)
{ return {}; }

int32_t TakeBlockItem(cHero* lpHero)
{ return {}; }

int32_t ResolveFactionContacts(cStageList<cChara>& list)
{ return {}; }

int32_t KillCharacter(cCharaBase* lpChara)
{ return {}; }

int32_t KillAndResolve(cCharaBase* lpChara, cStageList<cChara>& list)
{ return {}; }

int32_t ProcessPendingDeaths()
{ return {}; }
