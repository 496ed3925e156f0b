// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/ParamBinding.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void ApplyFlowParamBindings(cEdCommand* lpCmd, cGameObject* lpObject, cFlowInstance* lpFlow)
{}

void ApplyHeroParamBindings(cEdCommand* lpCmd, cHero* lpHero)
{}

void ApplyParamBinding(cEdCommand* lpCmd, const ParamBinding& binding, cGameObject* lpObject)
{}

const ParamGetter ParamGetterTable[40] = {};
const ParamSetter ParamSetterTable[40] = {};
