#pragma once
// Parameters bound to variables: an "アレンジ" command makes the next command of a kind take one of
// its numeric settings from a common, stage or character variable.
#include <cstdint>
#include <list>

class cEdCommand;
class cGameObject;
class cFlowInstance;
class cHero;

// The five parameters of the "アレンジ" command that made the binding.
struct ParamBinding {
    int32_t m_nKind = 0;        // command kind (flow numbering)
    int32_t m_nParam = 0;       // row of the kind's CommandParamTable list
    int32_t m_nOperation = 0;   // 0 assign, 1 add, 2 subtract, 3 multiply, 4 divide, 5 remainder, 6 percent
    int32_t m_nScope = 0;       // 0 common, 1 stage, 2 character variable
    int32_t m_nVariable = 0;
};

// Defined in ParamBinding.cpp.
void ApplyFlowParamBindings(cEdCommand* lpCmd, cGameObject* lpObject, cFlowInstance* lpFlow);
void ApplyHeroParamBindings(cEdCommand* lpCmd, cHero* lpHero);
void ApplyParamBinding(cEdCommand* lpCmd, const ParamBinding& binding, cGameObject* lpObject);

// Read and write row n of a command of kind k by the binding maps; null entries have no rows.
using ParamGetter = void (*)(int32_t& nValue, int32_t nRow, const cEdCommand* lpCmd);
using ParamSetter = void (*)(int32_t nValue, int32_t nRow, cEdCommand* lpCmd);
extern const ParamGetter ParamGetterTable[40];
extern const ParamSetter ParamSetterTable[40];
