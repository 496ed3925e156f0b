// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "objects/CharaBase.h"
#include "objects/CharaDraw.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

int32_t cCharaBase::GetGraphicColumn(GraphicSource* lpSource)
{ return {}; }

void cCharaBase::DrawObjectSprite(DDSURFACEDATA* lpTarget, int32_t bFrozen)
{}

int32_t cCharaBase::DrawObject(DDSURFACEDATA* lpTarget, int32_t bFrozen)
{ return {}; }

int32_t cCharaBase::StepCharaEffectDraw(int32_t bFrozen)
{ return {}; }

void cCharaBase::BlitCellToWork(DDSURFACEDATA* lpWork, const GraphicSource* lpSource)
{}

void cCharaBase::BlitCellBlend(DDSURFACEDATA* lpWork, const GraphicSource* lpSource)
{}

void cCharaBase::DrawHPGauge(DDSURFACEDATA* lpTarget)
{}

void cCharaBase::DrawSPGauge(DDSURFACEDATA* lpTarget)
{}

void cCharaBase::DrawGauge(DDSURFACEDATA* lpTarget, GaugeDisplay& gauge, int32_t bSP)
{}

void DrawConditionRanges(DDSURFACEDATA* lpTarget)
{}

int32_t DrawConditionRange(cCharaBase* lpChara, DDSURFACEDATA* lpTarget, const cEdCondition& condition, int32_t nCounter)
{ return {}; }

int32_t ChooseSheetVariant(int32_t nSheet, int32_t bStretched)
{ return {}; }

void ClearSheetRecord(DDSURFACEDATA* lpSurface)
{}

const CharaEffectDraw CharaEffectDrawTable[17] = {};
