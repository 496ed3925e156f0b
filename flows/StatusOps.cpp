// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/StatusOps.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

int32_t CompareByOp(int32_t a, int32_t b, int32_t nOp)
{ return {}; }

int32_t CompareByOp8(int8_t a, int8_t b, int32_t nOp)
{ return {}; }

int32_t CompareByOp16(int16_t a, int16_t b, int32_t nOp)
{ return {}; }

int32_t PercentOf(int32_t a, int32_t b)
{ return {}; }

void ClampInPlace(int32_t& nValue, int32_t nMin, int32_t nMax)
{}

int32_t CheckStatusCondition(const cEdCondition& condition, cCharaBase* lpObject)
{ return {}; }

int32_t StatusOperation(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

void CmdStatusOperation(cCharaBase* lpObject, cCommandInstance* lpInst)
{}
