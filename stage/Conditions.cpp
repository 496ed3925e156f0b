// Appearance conditions of placed blocks, computer characters and items, and the conditions of
// running flows. All four owners follow one rule: an empty list holds; with the once-true setting a
// list that held once keeps holding; otherwise the list is judged afresh and its latch is set each
// time it holds.
#include "stage/Conditions.h"

#include <cstdint>

#include "core/CheckedAccess.h"
#include "data/EdCondition.h"
#include "data/EdFlow.h"
#include "flows/FlowInstance.h"
#include "flows/StatusOps.h"
#include "frontend/SaveData.h"
#include "objects/Chara.h"
#include "objects/CharaBase.h"
#include "objects/Item.h"
#include "stage/BlockMap.h"
#include "stage/PlayState.h"
#include "stage/Player.h"

namespace {

// The owner rule shared by the four checks. The latch is written whatever the once-true setting
// says, and read only when it is on.
template <class Latch>
int32_t CheckOwnerConditions(const std::vector<cEdCondition>& vConditions, int8_t nCombine,
                             int8_t bOnceTrue, Latch& latch, cCharaBase* lpSubject)
{
    if (vConditions.empty()) return 1;
    if (bOnceTrue != 0 && latch != 0) return 1;
    if (EvaluateConditionList(vConditions, nCombine, lpSubject) == 0) return 0;
    latch = 1;
    return 1;
}

// Blocks and items are judged for player 1; before the heroes exist there is nobody to judge for.
cCharaBase* PlayerOne()
{
    return Player.empty() ? nullptr : &Player[0];
}

// Comparisons of the variable kinds. The multiple tests take |v| in 64 bits, so INT_MIN and a
// constant of -1 never trap.
int32_t CompareVariable(int32_t v, int32_t c, int8_t nCompare)
{
    switch (nCompare) {
    case 0: return v == c ? 1 : 0;
    case 1: return v != c ? 1 : 0;
    case 2: return v >= c ? 1 : 0;
    case 3: return v <= c ? 1 : 0;
    case 4: return v > c ? 1 : 0;
    case 5: return v < c ? 1 : 0;
    case 6:
    case 7: {
        const int64_t a = v < 0 ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
        const bool bMultiple = c == 0 || a % static_cast<int64_t>(c) == 0;
        return (nCompare == 6) == bMultiple ? 1 : 0;
    }
    default: return 0;
    }
}

}  // namespace

int8_t BLOCKCELL::IsActive(int32_t nFaction)
{
    if (!m_Block.m_vCondition.empty() && CheckAppearanceConditions(*this) == 0) return 0;
    if (static_cast<int32_t>(m_Block.m_nHitExcept) == nFaction) return 0;
    return m_Block.m_nHit;
}

int32_t CheckAppearanceConditions(BLOCKCELL& cell)
{
    return CheckOwnerConditions(cell.m_Block.m_vCondition, cell.m_Block.m_nCondMode,
                                cell.m_Block.m_bCondOnce, cell.m_nLatch, PlayerOne());
}

int32_t CheckCharaAppearance(cChara& chara)
{
    return CheckOwnerConditions(chara.m_Def.m_vCondition, chara.m_Def.m_nCondMode,
                                chara.m_Def.m_bCondOnce, chara.m_bAppearLatch, &chara);
}

int32_t CheckItemAppearance(cItem& item)
{
    return CheckOwnerConditions(item.m_Rec.m_vCondition, item.m_Rec.m_nCondMode,
                                item.m_Rec.m_bCondOnce, item.m_bAppearLatch, PlayerOne());
}

int32_t CheckFlowConditions(cFlowInstance* lpInst, cCharaBase* lpObject)
{
    if (lpInst == nullptr || lpInst->m_lpFlow == nullptr) return 0;
    const cEdFlow& flow = *lpInst->m_lpFlow;
    return CheckOwnerConditions(flow.m_vCondition, flow.m_nCombine, flow.m_bOnceTrue,
                                lpInst->m_bCondLatch, lpObject);
}

int32_t EvaluateConditionList(const std::vector<cEdCondition>& vConditions, int32_t nCombine,
                              cCharaBase* lpSubject)
{
    if (nCombine == 0) {
        for (const cEdCondition& condition : vConditions)
            if (EvaluateCondition(condition, lpSubject) == 0) return 0;
        return 1;
    }
    if (nCombine == 1) {
        for (const cEdCondition& condition : vConditions)
            if (EvaluateCondition(condition, lpSubject) != 0) return 1;
        return 0;
    }
    return 0;
}

int32_t EvaluateCondition(const cEdCondition& condition, cCharaBase* lpSubject)
{
    const int32_t nIndex = condition.m_nVarIndex;
    switch (condition.m_nKind) {
    case 1:
        return CompareVariable(CheckedAt(g_SaveData.CommonVars, nIndex), condition.m_nValue,
                               condition.m_nCompare);
    case 2: {
        cPlayState* lpState = PlayState();
        if (lpState == nullptr) return 0;
        return CompareVariable(CheckedAt(lpState->m_vStageVar, nIndex), condition.m_nValue,
                               condition.m_nCompare);
    }
    case 3:
        if (lpSubject == nullptr) return 0;
        return CompareVariable(CheckedAt(lpSubject->m_vVar, nIndex), condition.m_nValue,
                               condition.m_nCompare);
    case 4:
        return CheckStatusCondition(condition, lpSubject) != 0 ? 1 : 0;
    case 5:
        if (lpSubject == nullptr) return 0;
        return lpSubject->CheckValueCondition(condition) != 0 ? 1 : 0;
    case 6:
        if (lpSubject == nullptr) return 0;
        return lpSubject->CheckStateCondition(condition) != 0 ? 1 : 0;
    case 7:
        if (lpSubject == nullptr) return 0;
        return lpSubject->CheckDistanceCondition(condition) != 0 ? 1 : 0;
    default:
        return 0;
    }
}
