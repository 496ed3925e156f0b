#pragma once
// Status conditions and the status operation, with the arithmetic they share.
#include <cstdint>

class cCharaBase;
class cEdCommand;
class cEdCondition;
class cCommandInstance;

// Defined in StatusOps.cpp.
int32_t CompareByOp(int32_t a, int32_t b, int32_t nOp);
int32_t CompareByOp8(int8_t a, int8_t b, int32_t nOp);
int32_t CompareByOp16(int16_t a, int16_t b, int32_t nOp);
int32_t PercentOf(int32_t a, int32_t b);
void ClampInPlace(int32_t& nValue, int32_t nMin, int32_t nMax);
// The seven operations (0 set, 1 add, 2 subtract, 3 multiply, 4 divide, 5 remainder, 6 percent)
// on a value of each width, which then keeps to min..max; an unknown operation only clamps.
void OperateValue32(int32_t& nValue, int32_t nOperand, int32_t nOp, int32_t nMin, int32_t nMax);
void OperateValue16(int16_t& nValue, int32_t nOperand, int32_t nOp, int32_t nMin, int32_t nMax);
void OperateValue8(int8_t& nValue, int32_t nOperand, int32_t nOp, int32_t nMin, int32_t nMax);
int32_t CheckStatusCondition(const cEdCondition& condition, cCharaBase* lpObject);
// The worker of "ステータスの操作" (flow kind 22, item kind 7).
int32_t StatusOperation(cCharaBase* lpObject, cEdCommand* lpCmd);
void CmdStatusOperation(cCharaBase* lpObject, cCommandInstance* lpInst);
