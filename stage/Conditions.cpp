// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "stage/BlockMap.h"
#include "stage/Conditions.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

int8_t BLOCKCELL::IsActive(int32_t nFaction)
{ return {}; }

int32_t CheckAppearanceConditions(BLOCKCELL& cell)
{ return {}; }

int32_t CheckCharaAppearance(cChara& chara)
{ return {}; }

int32_t CheckItemAppearance(cItem& item)
{ return {}; }

int32_t CheckFlowConditions(cFlowInstance* lpInst, cCharaBase* lpObject)
{ return {}; }

int32_t EvaluateConditionList(const std::vector<cEdCondition>& vConditions, int32_t nCombine, cCharaBase* lpSubject)
{ return {}; }

int32_t EvaluateCondition(const cEdCondition& condition, cCharaBase* lpSubject)
{ return {}; }
