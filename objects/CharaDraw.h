#pragma once
// The drawing handlers of the character effects and the range display of distance conditions.
// The per-character drawing operations are members of cCharaBase.
#include <cstdint>

class cCharaBase;
class cEdCondition;
struct DDSURFACEDATA;
struct GraphicSource;

// (character, target, descriptor, frozen, draw) -> 1 when the effect has finished.
using CharaEffectDraw = int32_t (*)(cCharaBase* lpChara, DDSURFACEDATA* lpTarget,
                                    GraphicSource* lpSource, int32_t bFrozen, int32_t bDraw);
// Indexed by the kind of the effect record: 0 plain drawing, 1..16 the character effects.
extern const CharaEffectDraw CharaEffectDrawTable[17];

// Defined in CharaDraw.cpp.
void DrawConditionRanges(DDSURFACEDATA* lpTarget);
int32_t DrawConditionRange(cCharaBase* lpChara, DDSURFACEDATA* lpTarget,
                           const cEdCondition& condition, int32_t nCounter);
int32_t ChooseSheetVariant(int32_t nSheet, int32_t bStretched);
void ClearSheetRecord(DDSURFACEDATA* lpSurface);
