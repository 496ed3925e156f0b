#pragma once
// Appearance conditions of blocks, characters and items, and the conditions of flows.
#include <cstdint>
#include <vector>

class cCharaBase;
class cChara;
class cItem;
class cEdCondition;
class cFlowInstance;
struct BLOCKCELL;

// Defined in Conditions.cpp (with BLOCKCELL::IsActive).
int32_t CheckAppearanceConditions(BLOCKCELL& cell);
int32_t CheckCharaAppearance(cChara& chara);
int32_t CheckItemAppearance(cItem& item);
int32_t CheckFlowConditions(cFlowInstance* lpInst, cCharaBase* lpObject);
int32_t EvaluateConditionList(const std::vector<cEdCondition>& vConditions, int32_t nCombine,
                              cCharaBase* lpSubject);
int32_t EvaluateCondition(const cEdCondition& condition, cCharaBase* lpSubject);
