// The character searches of the target command and of aiming and homing shots: the first
// character of a faction list that passes a filter, and the nearest one to a point on screen.
#include <cstdint>
#include <cstdlib>

#include "data/EdStage.h"
#include "objects/CharaBase.h"
#include "objects/CharaSearch.h"
#include "objects/GameObject.h"
#include "stage/PlayState.h"

namespace {

// The comparisons of the character-variable filter; 64 bits, so |INT_MIN| and INT_MIN % -1 are
// plain numbers.
bool CompareVariable(int32_t nVar, int32_t nValue, int32_t nOperator)
{
    const int64_t v = nVar, c = nValue;
    switch (nOperator) {
    case 0: return v == c;
    case 1: return v != c;
    case 2: return v >= c;
    case 3: return v <= c;
    case 4: return v > c;
    case 5: return v < c;
    case 6: return c == 0 || std::llabs(v) % c == 0;
    case 7: return c != 0 && std::llabs(v) % c != 0;
    default: return false;
    }
}

bool Passes(const cCharaBase& chara, const CharaFilter& filter)
{
    if (chara.m_bDefeated != 0) return false;
    if (filter.bById != 0 && chara.m_Def.m_nCid != static_cast<int8_t>(filter.nId)) return false;
    if (filter.bExcludeKey != 0 && chara.m_nKey == filter.nKey) return false;
    if (filter.bExcludeShotHit != 0 && chara.m_Def.m_nInvincible == 1) return false;
    if (filter.bExcludeShotPass != 0 && chara.m_Def.m_nInvincible == 2) return false;
    if (filter.bExcludeSolid != 0 && chara.m_Def.m_bCellBox != 0) return false;
    if (filter.bByVariable != 0) {
        // A variable number the character does not have matches nothing.
        if (filter.nVariable < 0 || static_cast<size_t>(filter.nVariable) >= chara.m_vVar.size()) return false;
        if (!CompareVariable(chara.m_vVar[static_cast<size_t>(filter.nVariable)], filter.nValue, filter.nOperator))
            return false;
    }
    return true;
}

double DistanceTo(const cCharaBase& chara, double x, double y)
{
    const double cx = chara.m_nLeft + chara.m_nWidth / 2;
    const double cy = chara.m_nTop + chara.m_nHeight / 2;
    return std::abs(cx - x) + std::abs(cy - y);
}

// The nearest passing character of the list; bOnScreen: only those on screen, else only those off.
cCharaBase* NearestOf(double x, double y, cLinkList<cCharaBase>& list, int32_t nOnScreen, const CharaFilter& filter)
{
    cCharaBase* lpBest = nullptr;
    double dBest = 0.0;
    for (cCharaBase* lpChara : list) {
        if (lpChara->m_bAppeared == 0 || lpChara->m_bDefeated != 0) continue;
        if (nOnScreen == 1 && lpChara->m_bOnScreen == 0) continue;
        if (nOnScreen == 0 && lpChara->m_bOnScreen != 0) continue;
        if (!Passes(*lpChara, filter)) continue;
        const double d = DistanceTo(*lpChara, x, y);
        if (lpBest == nullptr || d < dBest) {
            lpBest = lpChara;
            dBest = d;
        }
    }
    return lpBest;
}

}  // namespace

cCharaBase* FindChara(cLinkList<cCharaBase>& list, const CharaFilter& filter)
{
    for (cCharaBase* lpChara : list)
        if (Passes(*lpChara, filter)) return lpChara;
    return nullptr;
}

cCharaBase* FindNearestChara(double x, double y, cLinkList<cCharaBase>& list, int32_t nScope,
                             const CharaFilter& filter)
{
    switch (nScope) {
    case 1: return NearestOf(x, y, list, -1, filter);
    case 2: return NearestOf(x, y, list, 1, filter);
    default: {
        cCharaBase* lpChara = NearestOf(x, y, list, 1, filter);
        return lpChara != nullptr ? lpChara : NearestOf(x, y, list, 0, filter);
    }
    }
}

cCharaBase* FindNearestFromPoint(double x, double y, cLinkList<cCharaBase>& list)
{
    CharaFilter filter;
    filter.bExcludeShotPass = 1;
    return FindNearestChara(x, y, list, g_Stage.m_bPlayOption93 != 0 ? 2 : 0, filter);
}

class cCharaBase* cGameObject::FindNearestToMe(int32_t nFaction) const
{
    cPlayState* lpState = PlayState();
    // The faction comes from a shot's record: one that names no list finds nobody.
    if (lpState == nullptr || nFaction < 0 || nFaction >= static_cast<int32_t>(lpState->m_vFactionCharas.size()))
        return nullptr;
    return FindNearestFromPoint(m_nLeft + m_nWidth / 2, m_nTop + m_nHeight / 2,
                                lpState->m_vFactionCharas[static_cast<size_t>(nFaction)]);
}
