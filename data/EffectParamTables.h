#pragma once
// The parameters of each character-effect and screen-effect kind: five rows per kind, kind 0
// included (five unused rows), row 5 × kind + parameter. Loading old effect lists takes the
// defaults of parameters that later versions added from here.
#include <cstdint>

#include "data/ShotOptionTables.h"

constexpr int32_t kCharaEffectKindCount = 17;   // 0 (none) to 16
constexpr int32_t kScrEffectKindCount = 14;     // 0 (none) to 13

extern const EffectParamDesc CharaEffectParamTable[kCharaEffectKindCount * 5];
extern const EffectParamDesc ScrEffectParamTable[kScrEffectKindCount * 5];

// Parameter i (0..4) of a kind; a kind or an i outside the table gives an unused row.
const EffectParamDesc& CharaEffectParam(int32_t nKind, int32_t i);
const EffectParamDesc& ScrEffectParam(int32_t nKind, int32_t i);
