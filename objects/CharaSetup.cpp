// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "objects/CharaBase.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void cCharaBase::SetupFromDefinition(const cEdChara* lpDef, double dStartX, double dStartY, int32_t nFormationIndex)
{}

void cCharaBase::SetBasicAnimeSet(int16_t nSet, int32_t bForced)
{}

void cCharaBase::AddFlowInstance(const cFlowInstance& instance)
{}

void cCharaBase::RemoveFlowInstance(int32_t nIndex)
{}

void cCharaBase::ResetFlowFlags()
{}
