#pragma once
// The static lists that describe a shot record's formation and movement kind: their names and,
// per formation or movement kind, the three value descriptors whose ranges bound the values that
// a parameter binding writes.
#include <cstdint>

// One parameter of an effect or shot option table. An empty name marks an unused row (0..0).
struct EffectParamDesc {
    const char* m_lpName;
    int16_t m_nMin;
    int16_t m_nMax;
    int32_t m_nDefault;
};

constexpr int32_t kShotFormationCount = 6;
constexpr int32_t kShotMoveKindCount = 10;

// Names by formation (0..5) and by movement kind (0..9), each list ended by an empty entry.
extern const char* const ShotFormationNames[kShotFormationCount + 1];
extern const char* const ShotMoveKindNames[kShotMoveKindCount + 1];

// Rows formation × 3 + i and movement kind × 3 + i.
extern const EffectParamDesc ShotFormationParamTable[kShotFormationCount * 3];
extern const EffectParamDesc ShotMoveParamTable[kShotMoveKindCount * 3];

// Value descriptor i (0..2) of a formation or movement kind. A kind or an i outside the table,
// as a damaged record may hold, gives an unused row, so a bound value becomes 0.
const EffectParamDesc& ShotFormationParam(int32_t nFormation, int32_t i);
const EffectParamDesc& ShotMoveParam(int32_t nMoveKind, int32_t i);
