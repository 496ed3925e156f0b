// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "objects/CharaSearch.h"
#include "objects/GameObject.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

cCharaBase* FindChara(cLinkList<cCharaBase>& list, const CharaFilter& filter)
{ return {}; }

cCharaBase* FindNearestChara(double x, double y, cLinkList<cCharaBase>& list, int32_t nScope, const CharaFilter& filter)
{ return {}; }

cCharaBase* FindNearestFromPoint(double x, double y, cLinkList<cCharaBase>& list)
{ return {}; }

class cCharaBase* cGameObject::FindNearestToMe(int32_t nFaction) const
{ return {}; }
