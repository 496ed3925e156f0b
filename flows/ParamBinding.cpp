// Parameters bound to variables. Each bindable row of a command kind lives in a field of the
// command's movement record, of its shot record, or in a slot of its parameter vector; a value
// is read with sign extension from the field's width and written back truncated to it.
#include "flows/ParamBinding.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "core/CheckedAccess.h"
#include "data/CommandParamTable.h"
#include "data/EdCommand.h"
#include "data/ShotOptionTables.h"
#include "flows/FlowInstance.h"
#include "frontend/SaveData.h"
#include "objects/CharaBase.h"
#include "objects/Hero.h"
#include "stage/PlayState.h"

namespace {

// Where a row lives: a field of width 1, 2 or 4 bytes, or nowhere.
struct FieldRef {
    void* m_lpField = nullptr;
    int32_t m_nWidth = 0;
};

FieldRef Ref(int8_t& n) { return {&n, 1}; }
FieldRef Ref(int16_t& n) { return {&n, 2}; }
FieldRef Ref(int32_t& n) { return {&n, 4}; }

FieldRef MoveRow(cEdCommand& cmd, int16_t cEdMove::*lpMember)
{
    if (!cmd.m_lpMove) return {};
    return Ref((*cmd.m_lpMove).*lpMember);
}

FieldRef ParamSlot(cEdCommand& cmd, int32_t nSlot)
{
    if (nSlot < 0 || static_cast<size_t>(nSlot) >= cmd.m_vParam.size()) return {};
    return Ref(cmd.m_vParam[static_cast<size_t>(nSlot)]);
}

// The rows of "ショット"; the sword and summon kinds reuse them.
FieldRef ShotRow(cEdCommand& cmd, int32_t nRow)
{
    if (!cmd.m_lpShot) return {};
    cEdShot& s = *cmd.m_lpShot;
    switch (nRow) {
    case 0: return Ref(s.m_nGraphic);
    case 1: return Ref(s.m_nZ);
    case 2: return Ref(s.m_nFormationValue[0]);
    case 3: return Ref(s.m_nFormationValue[1]);
    case 4: return Ref(s.m_nFormationValue[2]);
    case 5: return Ref(s.m_nCount);
    case 6: return Ref(s.m_nClones);
    case 7: return Ref(s.m_nAngle);
    case 8: return Ref(s.m_nAngleStep);
    case 9: return Ref(s.m_nSpread);
    case 10: return Ref(s.m_nOffsetX);
    case 11: return Ref(s.m_nOffsetXStep);
    case 12: return Ref(s.m_nOffsetY);
    case 13: return Ref(s.m_nOffsetYStep);
    case 14: return Ref(s.m_nSide);
    case 15: return Ref(s.m_nMoveValue[0]);
    case 16: return Ref(s.m_nMoveValue[1]);
    case 17: return Ref(s.m_nMoveValue[2]);
    case 18: return Ref(s.m_nSpeed);
    case 19: return Ref(s.m_nSpeedStep);
    case 20: return Ref(s.m_nAccel);
    case 21: return Ref(s.m_nAccelStep);
    case 22: return Ref(s.m_nRange);
    case 23: return Ref(s.m_nRangeStep);
    case 24: return Ref(s.m_nLife);
    case 25: return Ref(s.m_nLifeStep);
    case 26: return Ref(s.m_nVanish);
    case 27: return Ref(s.m_nPower);
    case 28: return Ref(s.m_nImpact);
    default: return {};
    }
}

template <size_t N>
FieldRef MappedShotRow(cEdCommand& cmd, int32_t nRow, const int32_t (&map)[N])
{
    if (nRow < 0 || static_cast<size_t>(nRow) >= N) return {};
    return ShotRow(cmd, map[nRow]);
}

template <size_t N>
FieldRef MappedParamRow(cEdCommand& cmd, int32_t nRow, const int32_t (&map)[N])
{
    if (nRow < 0 || static_cast<size_t>(nRow) >= N) return {};
    return ParamSlot(cmd, map[nRow]);
}

FieldRef LocateRow(int32_t nKind, int32_t nRow, cEdCommand& cmd)
{
    switch (nKind) {
    case 2:
    case 5: {
        static int16_t cEdMove::* const rows[] = {&cEdMove::m_nTargetXBlocks, &cEdMove::m_nTargetXDots,
                                                  &cEdMove::m_nTargetYBlocks, &cEdMove::m_nTargetYDots,
                                                  &cEdMove::m_nAngle,         &cEdMove::m_nAngleStep};
        return nRow >= 0 && nRow < 6 ? MoveRow(cmd, rows[nRow]) : FieldRef{};
    }
    case 6: {
        static int16_t cEdMove::* const rows[] = {&cEdMove::m_nRadius,        &cEdMove::m_nRadiusStep,
                                                  &cEdMove::m_nTargetXBlocks, &cEdMove::m_nTargetXDots,
                                                  &cEdMove::m_nTargetYBlocks, &cEdMove::m_nTargetYDots};
        return nRow >= 0 && nRow < 6 ? MoveRow(cmd, rows[nRow]) : FieldRef{};
    }
    case 11: return ShotRow(cmd, nRow);
    case 12: {
        static const int32_t map[] = {14, 1, 27, 28};
        return MappedShotRow(cmd, nRow, map);
    }
    case 13: {
        static const int32_t map[] = {2, 3, 4, 5, 10, 12};
        return MappedShotRow(cmd, nRow, map);
    }
    case 14: {
        static const int32_t map[] = {22, 14, 2, 3, 4, 5, 10, 12};
        return MappedShotRow(cmd, nRow, map);
    }
    case 15: {
        static const int32_t map[] = {22, 2, 3, 4, 5, 10, 12};
        return MappedShotRow(cmd, nRow, map);
    }
    case 20: {
        static int16_t cEdMove::* const rows[] = {&cEdMove::m_nDistance,      &cEdMove::m_nDistanceStep,
                                                  &cEdMove::m_nTargetXBlocks, &cEdMove::m_nTargetYBlocks,
                                                  &cEdMove::m_nTargetXDots,   &cEdMove::m_nTargetYDots};
        return nRow >= 0 && nRow < 6 ? MoveRow(cmd, rows[nRow]) : FieldRef{};
    }
    case 17: {
        static const int32_t map[] = {1, 6, 7, 3, 4};
        return MappedParamRow(cmd, nRow, map);
    }
    case 19: {
        static const int32_t map[] = {13, 1, 2, 3, 4};
        return MappedParamRow(cmd, nRow, map);
    }
    case 21: {
        static const int32_t map[] = {1, 9, 12};
        return MappedParamRow(cmd, nRow, map);
    }
    case 22: {
        static const int32_t map[] = {8, 9};
        return MappedParamRow(cmd, nRow, map);
    }
    case 24: {
        static const int32_t map[] = {1};
        return MappedParamRow(cmd, nRow, map);
    }
    case 26: {
        static const int32_t map[] = {1, 2};
        return MappedParamRow(cmd, nRow, map);
    }
    case 29: {
        static const int32_t map[] = {2, 3, 4, 5, 6};
        return MappedParamRow(cmd, nRow, map);
    }
    case 32: {
        // Row 0 "ピクチャーID" has a range but no place: a binding to it changes nothing.
        static const int32_t map[] = {-1, 2, 3, 4, 5, 7};
        return MappedParamRow(cmd, nRow, map);
    }
    case 33: {
        static const int32_t map[] = {0, 1, 2, 3};
        return MappedParamRow(cmd, nRow, map);
    }
    case 34: {
        static const int32_t map[] = {0};
        return MappedParamRow(cmd, nRow, map);
    }
    default: return {};
    }
}

int32_t ReadField(const FieldRef& ref)
{
    switch (ref.m_nWidth) {
    case 1: return *static_cast<const int8_t*>(ref.m_lpField);
    case 2: return *static_cast<const int16_t*>(ref.m_lpField);
    case 4: return *static_cast<const int32_t*>(ref.m_lpField);
    default: return 0;
    }
}

void WriteField(const FieldRef& ref, int32_t nValue)
{
    switch (ref.m_nWidth) {
    case 1: *static_cast<int8_t*>(ref.m_lpField) = static_cast<int8_t>(nValue); break;
    case 2: *static_cast<int16_t*>(ref.m_lpField) = static_cast<int16_t>(nValue); break;
    case 4: *static_cast<int32_t*>(ref.m_lpField) = nValue; break;
    default: break;
    }
}

template <int32_t Kind>
void GetRow(int32_t& nValue, int32_t nRow, const cEdCommand* lpCmd)
{
    nValue = 0;
    if (lpCmd != nullptr) nValue = ReadField(LocateRow(Kind, nRow, const_cast<cEdCommand&>(*lpCmd)));
}

template <int32_t Kind>
void SetRow(int32_t nValue, int32_t nRow, cEdCommand* lpCmd)
{
    if (lpCmd != nullptr) WriteField(LocateRow(Kind, nRow, *lpCmd), nValue);
}

// Kinds 3, 4 and 7 have entries that do nothing: a binding to them ends at its range check.
void GetNothing(int32_t& nValue, int32_t, const cEdCommand*)
{
    nValue = 0;
}

void SetNothing(int32_t, int32_t, cEdCommand*) {}

// The variable a binding reads; false when the scope or number names none.
bool ReadOperand(const ParamBinding& binding, cGameObject* lpObject, int32_t& nOperand)
{
    const int32_t n = binding.m_nVariable;
    const std::vector<int32_t>* lpVars = nullptr;
    int32_t nLowest = 1;
    switch (binding.m_nScope) {
    case 0:
        lpVars = &g_SaveData.CommonVars;
        break;
    case 1: {
        const cPlayState* lpState = PlayState();
        if (lpState == nullptr) return false;
        lpVars = &lpState->m_vStageVar;
        break;
    }
    case 2: {
        const cCharaBase* lpChara = dynamic_cast<const cCharaBase*>(lpObject);
        if (lpChara == nullptr) return false;
        lpVars = &lpChara->m_vVar;
        nLowest = 0;
        break;
    }
    default:
        return false;
    }
    if (n < nLowest || static_cast<size_t>(n) >= lpVars->size()) return false;
    nOperand = (*lpVars)[static_cast<size_t>(n)];
    return true;
}

// The value a binding leaves, computed wide: sums, products and quotients never wrap or trap,
// and the percentage is rounded half away from zero. Division and remainder by 0 keep the value.
int64_t Combine(int32_t nOperation, int32_t nValue, int32_t nOperand)
{
    const int64_t v = nValue;
    const int64_t o = nOperand;
    switch (nOperation) {
    case 0: return o;
    case 1: return v + o;
    case 2: return v - o;
    case 3: return v * o;
    case 4: return o != 0 ? v / o : v;
    case 5: return o != 0 ? v % o : v;
    case 6: {
        const double x = static_cast<double>(v * o) * 0.01;
        return static_cast<int64_t>(x >= 0.0 ? x + 0.5 : x - 0.5);
    }
    default: return v;
    }
}

}   // namespace

const ParamGetter ParamGetterTable[40] = {
    nullptr,     nullptr,     GetRow<2>,   GetNothing,  GetNothing,  GetRow<5>,   GetRow<6>,   GetNothing,
    nullptr,     nullptr,     nullptr,     GetRow<11>,  GetRow<12>,  GetRow<13>,  GetRow<14>,  GetRow<15>,
    nullptr,     GetRow<17>,  nullptr,     GetRow<19>,  GetRow<20>,  GetRow<21>,  GetRow<22>,  nullptr,
    GetRow<24>,  nullptr,     GetRow<26>,  nullptr,     nullptr,     GetRow<29>,  nullptr,     nullptr,
    GetRow<32>,  GetRow<33>,  GetRow<34>,  nullptr,     nullptr,     nullptr,     nullptr,     nullptr,
};

const ParamSetter ParamSetterTable[40] = {
    nullptr,     nullptr,     SetRow<2>,   SetNothing,  SetNothing,  SetRow<5>,   SetRow<6>,   SetNothing,
    nullptr,     nullptr,     nullptr,     SetRow<11>,  SetRow<12>,  SetRow<13>,  SetRow<14>,  SetRow<15>,
    nullptr,     SetRow<17>,  nullptr,     SetRow<19>,  SetRow<20>,  SetRow<21>,  SetRow<22>,  nullptr,
    SetRow<24>,  nullptr,     SetRow<26>,  nullptr,     nullptr,     SetRow<29>,  nullptr,     nullptr,
    SetRow<32>,  SetRow<33>,  SetRow<34>,  nullptr,     nullptr,     nullptr,     nullptr,     nullptr,
};

void ApplyParamBinding(cEdCommand* lpCmd, const ParamBinding& binding, cGameObject* lpObject)
{
    if (lpCmd == nullptr) return;
    const int32_t nKind = lpCmd->FlowKind();
    if (binding.m_nKind != nKind || nKind < 0 || nKind >= 40) return;
    const ParamSetter lpSetter = ParamSetterTable[nKind];
    const ParamGetter lpGetter = ParamGetterTable[nKind];
    if (lpSetter == nullptr || lpGetter == nullptr) return;

    const int32_t nRow = binding.m_nParam;
    int32_t nValue = 0;
    lpGetter(nValue, nRow, lpCmd);
    int32_t nOperand = 0;
    if (!ReadOperand(binding, lpObject, nOperand)) return;

    std::vector<CommandParamDesc>& vRows = CheckedAt(CommandParamTable, nKind);
    // A kind without rows has no range to clamp into: after the report nothing is written.
    if (vRows.empty()) {
        CheckedAt(vRows, nRow);
        return;
    }
    const CommandParamDesc& desc = CheckedAt(vRows, nRow);
    int64_t nMin = desc.m_nMin;
    int64_t nMax = desc.m_nMax;
    if (lpCmd->m_lpShot) {
        const cEdShot& shot = *lpCmd->m_lpShot;
        int32_t nFormationValue = -1;
        if ((nKind == 11 || nKind == 14) && nRow >= 2 && nRow <= 4) nFormationValue = nRow - 2;
        else if (nKind == 13 && nRow >= 0 && nRow <= 2) nFormationValue = nRow;
        else if (nKind == 15 && nRow >= 1 && nRow <= 3) nFormationValue = nRow - 1;
        if (nFormationValue >= 0) {
            const EffectParamDesc& option = ShotFormationParam(shot.m_nFormation, nFormationValue);
            nMin = option.m_nMin;
            nMax = option.m_nMax;
        } else if (nKind == 11 && nRow >= 15 && nRow <= 17) {
            const EffectParamDesc& option = ShotMoveParam(shot.m_nMoveKind, nRow - 15);
            nMin = option.m_nMin;
            nMax = option.m_nMax;
        }
    }

    int64_t nResult = Combine(binding.m_nOperation, nValue, nOperand);
    if (nResult < nMin) nResult = nMin;
    if (nResult > nMax) nResult = nMax;
    lpSetter(static_cast<int32_t>(nResult), nRow, lpCmd);
}

void ApplyFlowParamBindings(cEdCommand* lpCmd, cGameObject* lpObject, cFlowInstance* lpFlow)
{
    if (lpFlow == nullptr) return;
    for (const ParamBinding& binding : lpFlow->m_lBindings) ApplyParamBinding(lpCmd, binding, lpObject);
}

void ApplyHeroParamBindings(cEdCommand* lpCmd, cHero* lpHero)
{
    if (lpHero == nullptr) return;
    for (const ParamBinding& binding : lpHero->m_lBindings) ApplyParamBinding(lpCmd, binding, lpHero);
}
