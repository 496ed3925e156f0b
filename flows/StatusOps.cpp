// Status conditions and "ステータスの操作": one numbering of a character's statuses and of the
// game's system values, the eight comparisons, the percent rule and the seven operations.
//
// Arithmetic is done in 64 bits and clamped before a value is stored back in its own width, so a
// product that overflows 32 bits saturates at the status's range instead of wrapping to a small
// or negative number, and INT_MIN / -1 cannot trap.
#include "flows/StatusOps.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/CheckedAccess.h"
#include "core/Random.h"
#include "data/EdCommand.h"
#include "data/EdCondition.h"
#include "data/EdStage.h"
#include "flows/FlowInstance.h"
#include "frontend/SaveData.h"
#include "objects/CharaBase.h"
#include "objects/Motion.h"
#include "shell/ShellGlobals.h"
#include "stage/PlayState.h"
#include "stage/StageLayers.h"

namespace {

constexpr int32_t kSightMaskSurface = 65;   // the sight mask and its disc (system surfaces)
constexpr int32_t kSightDiscSurface = 66;

int64_t Abs64(int64_t n) { return n < 0 ? -n : n; }

int32_t CompareWide(int64_t a, int64_t b, int32_t nOp)
{
    switch (nOp) {
    case 0: return a == b;
    case 1: return a != b;
    case 2: return a >= b;
    case 3: return a <= b;
    case 4: return a > b;
    case 5: return a < b;
    case 6: return b == 0 || Abs64(a) % b == 0;
    case 7: return b != 0 && Abs64(a) % b != 0;
    default: return 0;
    }
}

int32_t Saturate32(int64_t n)
{
    if (n > INT32_MAX) return INT32_MAX;
    if (n < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(n);
}

// The operation on wide values; the caller clamps to the status's range.
int64_t Operate(int64_t nValue, int64_t nOperand, int32_t nOp)
{
    switch (nOp) {
    case 0: return nOperand;
    case 1: return nValue + nOperand;
    case 2: return nValue - nOperand;
    case 3: return nValue * nOperand;   // both within 32 bits: exact in 64
    case 4: return nOperand == 0 ? nValue : nValue / nOperand;
    case 5: return nOperand == 0 ? nValue : nValue % nOperand;
    case 6: return PercentOf(Saturate32(nOperand), Saturate32(nValue));
    default: return nValue;
    }
}

int64_t ClampWide(int64_t n, int32_t nMin, int32_t nMax)
{
    if (n < nMin) return nMin;
    if (n > nMax) return nMax;
    return n;
}

std::vector<int32_t>* VariablesOfScope(int32_t nScope)
{
    if (nScope == 0) return &g_SaveData.CommonVars;
    cPlayState* lpState = PlayState();
    if (nScope == 1 && lpState != nullptr) return &lpState->m_vStageVar;
    return nullptr;
}

// A common or stage variable; false for any other scope.
bool ReadVariable(int32_t nScope, int32_t nIndex, int64_t& nOut)
{
    std::vector<int32_t>* lpVars = VariablesOfScope(nScope);
    if (lpVars == nullptr) return false;
    nOut = CheckedAt(*lpVars, nIndex);
    return true;
}

// System value n as a condition or operand reads it: time left reads 0 without a time limit,
// lives read 0 while infinite; a number outside the table reads 0.
int64_t ReadSystemOperand(int32_t n)
{
    cPlayState* lpState = PlayState();
    switch (n) {
    case 0: return lpState == nullptr || lpState->m_bNoTimeLimit != 0 ? 0 : lpState->m_nTimeLeft;
    case 1: return g_Stage.m_nAutoScrollSpeedX;
    case 2: return g_Stage.m_nAutoScrollSpeedY;
    case 3: return g_SaveData.nScore;
    case 4: return g_SaveData.nLives == kInfiniteLives ? 0 : g_SaveData.nLives;
    default: return 0;
    }
}

enum class eRead { kValue, kFalse };

// Status n of an object as the right side of a condition or an operand reads it.
eRead ReadObjectOperand(cCharaBase& o, int32_t n, int32_t nVarIndex, int64_t& nOut)
{
    const cEdChara& d = o.m_Def;
    switch (n) {
    case 0: nOut = CheckedAt(o.m_vVar, nVarIndex); break;
    case 1: nOut = o.m_nHP; break;
    case 2: nOut = o.m_nSP; break;
    case 3: nOut = d.m_nMaxHP; break;
    case 4: nOut = d.m_nMaxSP; break;
    case 5: nOut = d.m_nCid; break;
    case 6: nOut = d.m_nZ; break;
    case 7: nOut = d.m_nBadge; break;
    case 8:
        // A computer-side object has no sight.
        if (o.m_nSide != 0) return eRead::kFalse;
        nOut = d.m_nSight;
        break;
    case 9: nOut = d.m_nPower; break;
    case 10: nOut = d.m_nImp; break;
    case 11: nOut = d.m_nDef; break;
    case 12: nOut = d.m_nImpDef; break;
    case 13:
        nOut = d.m_nStop;
        o.m_dStop = PercentToSpeed(d.m_nStop);
        break;
    case 14: nOut = d.m_nScore; break;
    default: nOut = 0; break;
    }
    return eRead::kValue;
}

// The object an owner number names: 0 the object itself, 1 its target (may be none).
cCharaBase* OwnerObject(cCharaBase* lpObject, int32_t nOwner)
{
    if (lpObject == nullptr) return nullptr;
    return nOwner == 1 ? lpObject->m_lpTarget : lpObject;
}

int32_t Param(const cEdCommand& cmd, size_t i)
{
    return i < cmd.m_vParam.size() ? cmd.m_vParam[i] : 0;
}

void RebuildSightOf(cCharaBase& o)
{
    o.m_nSightRadius = o.m_Def.m_nSight * 16;
    BuildSightMask(&SystemSurfaces[kSightMaskSurface], &SystemSurfaces[kSightDiscSurface]);
}

// HP after a change: a death of another object than the one running the command is left to the
// death rules of this sub-step.
void NoteDeathOfOther(cCharaBase& changed, cCharaBase* lpRunning)
{
    cPlayState* lpState = PlayState();
    if (&changed != lpRunning && changed.m_nHP <= 0 && lpState != nullptr) lpState->m_bDeathPending = 1;
}

}  // namespace

int32_t CompareByOp(int32_t a, int32_t b, int32_t nOp)
{
    return CompareWide(a, b, nOp);
}

int32_t CompareByOp8(int8_t a, int8_t b, int32_t nOp)
{
    return CompareWide(a, b, nOp);
}

int32_t CompareByOp16(int16_t a, int16_t b, int32_t nOp)
{
    return CompareWide(a, b, nOp);
}

int32_t PercentOf(int32_t a, int32_t b)
{
    // The product in 64 bits: a large status times a percentage never wraps.
    const double d = static_cast<double>(static_cast<int64_t>(a) * b) * 0.01;
    const double r = d < 0.0 ? -std::floor(-d + 0.5) : std::floor(d + 0.5);
    if (r >= 2147483647.0) return INT32_MAX;
    if (r <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(r);
}

void ClampInPlace(int32_t& nValue, int32_t nMin, int32_t nMax)
{
    if (nValue < nMin)
        nValue = nMin;
    else if (nValue > nMax)
        nValue = nMax;
}

void OperateValue32(int32_t& nValue, int32_t nOperand, int32_t nOp, int32_t nMin, int32_t nMax)
{
    nValue = static_cast<int32_t>(ClampWide(Operate(nValue, nOperand, nOp), nMin, nMax));
}

void OperateValue16(int16_t& nValue, int32_t nOperand, int32_t nOp, int32_t nMin, int32_t nMax)
{
    const int64_t n = ClampWide(ClampWide(Operate(nValue, nOperand, nOp), nMin, nMax), INT16_MIN, INT16_MAX);
    nValue = static_cast<int16_t>(n);
}

void OperateValue8(int8_t& nValue, int32_t nOperand, int32_t nOp, int32_t nMin, int32_t nMax)
{
    const int64_t n = ClampWide(ClampWide(Operate(nValue, nOperand, nOp), nMin, nMax), INT8_MIN, INT8_MAX);
    nValue = static_cast<int8_t>(n);
}

int32_t CheckStatusCondition(const cEdCondition& c, cCharaBase* lpObject)
{
    if (lpObject == nullptr) return 0;
    cPlayState* lpState = PlayState();

    // The right side. Owners outside self, target and system are damaged records: false.
    int64_t r = 0;
    switch (c.m_nRightKind) {
    case 0: r = c.m_nValue; break;
    case 1: r = RandomBetween(c.m_nRandMin, c.m_nRandMax); break;
    case 2:
        if (c.m_nRightOwner == 2) {
            r = ReadSystemOperand(c.m_nRightStatus);
        } else if (c.m_nRightOwner == 0 || c.m_nRightOwner == 1) {
            cCharaBase* lpOwner = OwnerObject(lpObject, c.m_nRightOwner);
            if (lpOwner == nullptr) return 0;
            if (ReadObjectOperand(*lpOwner, c.m_nRightStatus, c.m_nRightVarIndex, r) == eRead::kFalse) return 0;
        } else {
            return 0;
        }
        break;
    case 3:
        if (!ReadVariable(c.m_nRightScope, c.m_nRightVarIndex, r)) r = 0;
        break;
    default: r = 0; break;
    }
    // The record keeps its own constant: the comparisons below take r as it stands.
    const int32_t nRight = static_cast<int32_t>(r);
    const int32_t nCmp = c.m_nCompare;

    if (c.m_nLeftKind == 1) {
        int64_t l = 0;
        if (!ReadVariable(c.m_nLeftScope, c.m_nVarIndex, l)) return 0;
        return CompareByOp(static_cast<int32_t>(l), c.m_bPercent != 0 ? 0 : nRight, nCmp);
    }
    if (c.m_nLeftKind != 0) return 0;

    if (c.m_nLeftOwner == 2) {
        int32_t l = 0;
        switch (c.m_nLeftStatus) {
        case 0: l = lpState != nullptr ? lpState->m_nTimeLeft : 0; break;
        case 1: l = g_Stage.m_nAutoScrollSpeedX; break;
        case 2: l = g_Stage.m_nAutoScrollSpeedY; break;
        case 3: l = g_SaveData.nScore; break;
        case 4:
            if (g_SaveData.nLives == kInfiniteLives) return 0;
            l = g_SaveData.nLives;
            break;
        default: return 0;
        }
        // A percentage only means something of a maximum: 0 clamped to the value's range is 0.
        return CompareByOp(l, c.m_bPercent != 0 ? 0 : nRight, nCmp);
    }
    if (c.m_nLeftOwner != 0 && c.m_nLeftOwner != 1) return 0;
    cCharaBase* lpOwner = OwnerObject(lpObject, c.m_nLeftOwner);
    if (lpOwner == nullptr) return 0;
    cCharaBase& o = *lpOwner;
    const cEdChara& d = o.m_Def;
    const bool bPercent = c.m_bPercent != 0;

    switch (c.m_nLeftStatus) {
    case 0: return CompareByOp(CheckedAt(o.m_vVar, c.m_nVarIndex), bPercent ? 0 : nRight, nCmp);
    case 1:
    case 2: {
        int32_t nR = nRight;
        if (bPercent) {
            nR = PercentOf(c.m_nLeftStatus == 1 ? d.m_nMaxHP : d.m_nMaxSP, nRight);
            ClampInPlace(nR, 0, 999999);
        }
        return CompareByOp(c.m_nLeftStatus == 1 ? o.m_nHP : o.m_nSP, nR, nCmp);
    }
    case 3: return CompareByOp(d.m_nMaxHP, bPercent ? 0 : nRight, nCmp);
    case 4: return CompareByOp(d.m_nMaxSP, bPercent ? 0 : nRight, nCmp);
    case 9: return CompareByOp(d.m_nPower, bPercent ? 0 : nRight, nCmp);
    case 11: return CompareByOp(d.m_nDef, bPercent ? 0 : nRight, nCmp);
    case 14: return CompareByOp(d.m_nScore, bPercent ? 0 : nRight, nCmp);
    case 5:
    case 6:
    case 8:
    case 10:
    case 12: {
        int8_t l = 0;
        switch (c.m_nLeftStatus) {
        case 5: l = d.m_nCid; break;
        case 6: l = d.m_nZ; break;
        case 8:
            if (o.m_nSide != 0) return 0;
            l = d.m_nSight;
            break;
        case 10: l = d.m_nImp; break;
        default: l = d.m_nImpDef; break;
        }
        return CompareByOp8(l, static_cast<int8_t>(bPercent ? 0 : nRight), nCmp);
    }
    case 7:
    case 13: {
        const int16_t l = c.m_nLeftStatus == 7 ? d.m_nBadge : d.m_nStop;
        return CompareByOp16(l, static_cast<int16_t>(bPercent ? 0 : nRight), nCmp);
    }
    default: return 1;
    }
}

int32_t StatusOperation(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    if (lpObject == nullptr || lpCmd == nullptr) return 0;
    const cEdCommand& cmd = *lpCmd;
    cPlayState* lpState = PlayState();
    auto p = [&cmd](size_t i) { return Param(cmd, i); };

    // The operand.
    int64_t v = 0;
    switch (p(6)) {
    case 0: v = p(7); break;
    case 1: {
        const int32_t a = p(8), b = p(9);
        v = RandomBetween(a < b ? a : b, a < b ? b : a);
        break;
    }
    case 2: {
        const int32_t nOwner = p(12);
        if (nOwner == 2) {
            v = ReadSystemOperand(p(13));
        } else {
            cCharaBase* lpOwner = OwnerObject(lpObject, nOwner == 1 ? 1 : 0);
            if (lpOwner == nullptr) return 0;
            if (ReadObjectOperand(*lpOwner, p(13), p(11), v) == eRead::kFalse) return 0;
        }
        break;
    }
    case 3:
        if (!ReadVariable(p(10), p(11), v)) v = 0;
        break;
    default: v = 0; break;
    }
    int32_t nOperand = static_cast<int32_t>(v);
    const int32_t nOp = p(5);
    const bool bPercent = p(14) != 0;

    if (p(0) == 1) {
        std::vector<int32_t>* lpVars = VariablesOfScope(p(1));
        if (lpVars == nullptr) return 0;
        int32_t& t = CheckedAt(*lpVars, p(2));
        if (bPercent) nOperand = PercentOf(nOperand, t);
        OperateValue32(t, nOperand, nOp, -999999, 999999);
        return 0;
    }
    if (p(0) != 0) return 0;

    if (p(3) == 2) {
        auto apply = [&](int32_t& n, int32_t nMin, int32_t nMax) {
            if (bPercent) nOperand = PercentOf(nOperand, n);
            OperateValue32(n, nOperand, nOp, nMin, nMax);
        };
        switch (p(4)) {
        case 0:
            if (lpState != nullptr) apply(lpState->m_nTimeLeft, 0, 999);
            break;
        case 1:
            apply(g_Stage.m_nAutoScrollSpeedX, -480, 480);
            if (lpState != nullptr) lpState->m_ScrollX.SetSpeed(g_Stage.m_bAutoScrollX, g_Stage.m_nAutoScrollSpeedX);
            break;
        case 2:
            apply(g_Stage.m_nAutoScrollSpeedY, -480, 480);
            if (lpState != nullptr) lpState->m_ScrollY.SetSpeed(g_Stage.m_bAutoScrollY, g_Stage.m_nAutoScrollSpeedY);
            break;
        case 3: apply(g_SaveData.nScore, 0, 999999); break;
        case 4:
            // Infinite lives stay infinite.
            if (g_SaveData.nLives != kInfiniteLives) apply(g_SaveData.nLives, 0, 99);
            break;
        default: break;
        }
        return 0;
    }

    // A status of the running object or its target; any other owner acts on the object itself.
    cCharaBase* lpChanged = OwnerObject(lpObject, p(3) == 1 ? 1 : 0);
    if (lpChanged == nullptr) return 0;
    cCharaBase& o = *lpChanged;
    cEdChara& d = o.m_Def;
    if (p(17) != 0 && d.m_nInvincible != 0) return 0;

    auto percent = [&](int32_t nCurrent) {
        if (bPercent) nOperand = PercentOf(nOperand, nCurrent);
    };
    switch (p(4)) {
    case 0: {
        int32_t& n = CheckedAt(o.m_vVar, p(2));
        percent(n);
        OperateValue32(n, nOperand, nOp, -999999, 999999);
        break;
    }
    case 1:
    case 2: {
        const bool bHP = p(4) == 1;
        const int32_t nMax = bHP ? d.m_nMaxHP : d.m_nMaxSP;
        const int32_t nOld = bHP ? o.m_nHP : o.m_nSP;
        switch (p(15)) {
        case 0: break;
        case 1: nOperand = PercentOf(nOperand, nMax); break;
        case 2: nOperand = PercentOf(nOperand, nOld); break;
        default: return 0;
        }
        int32_t nNew = nOld;
        OperateValue32(nNew, nOperand, nOp, 0, 999999);
        const int32_t nDelta = Saturate32(static_cast<int64_t>(nNew) - nOld);
        if (bHP) {
            o.AddHP(nDelta, 1, p(16));
            NoteDeathOfOther(o, lpObject);
        } else {
            o.AddSP(nDelta, p(16));
        }
        break;
    }
    case 3:
        percent(d.m_nMaxHP);
        OperateValue32(d.m_nMaxHP, nOperand, nOp, 0, 999999);
        if (o.m_nHP > d.m_nMaxHP) o.m_nHP = d.m_nMaxHP;
        NoteDeathOfOther(o, lpObject);
        break;
    case 4:
        percent(d.m_nMaxSP);
        OperateValue32(d.m_nMaxSP, nOperand, nOp, 0, 999999);
        if (o.m_nSP > d.m_nMaxSP) o.m_nSP = d.m_nMaxSP;
        break;
    case 5:
        percent(d.m_nCid);
        OperateValue8(d.m_nCid, nOperand, nOp, 0, 99);
        break;
    case 6:
        percent(d.m_nZ);
        OperateValue8(d.m_nZ, nOperand, nOp, 0, 7);
        break;
    case 7:
        percent(d.m_nBadge);
        OperateValue16(d.m_nBadge, nOperand, nOp, 0, 119);
        break;
    case 8:
        if (o.m_nSide != 0) break;
        percent(d.m_nSight);
        OperateValue8(d.m_nSight, nOperand, nOp, 0, 40);
        RebuildSightOf(o);
        break;
    case 9:
        percent(d.m_nPower);
        OperateValue32(d.m_nPower, nOperand, nOp, -999999, 999999);
        break;
    case 10:
        percent(d.m_nImp);
        OperateValue8(d.m_nImp, nOperand, nOp, -20, 20);
        break;
    case 11:
        percent(d.m_nDef);
        OperateValue32(d.m_nDef, nOperand, nOp, 0, 999999);
        break;
    case 12:
        percent(d.m_nImpDef);
        OperateValue8(d.m_nImpDef, nOperand, nOp, 0, 20);
        break;
    case 13:
        percent(d.m_nStop);
        OperateValue16(d.m_nStop, nOperand, nOp, 0, 200);
        o.m_dStop = PercentToSpeed(d.m_nStop);
        break;
    case 14:
        percent(d.m_nScore);
        OperateValue32(d.m_nScore, nOperand, nOp, -999999, 999999);
        break;
    default: break;
    }
    return 0;
}

void CmdStatusOperation(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpInst != nullptr && lpInst->m_lpCmd != nullptr) StatusOperation(lpObject, lpInst->m_lpCmd);
}
