// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "objects/GraphicSource.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void SetGraphicSource(GraphicSource* lpSource, int32_t nOwner, int32_t nKind, int32_t n, int32_t nColumn, const cGameObject* lpObject, int32_t nFrame)
{}

void DrawGraphicIcon(DDSURFACEDATA* lpTarget, int32_t x, int32_t y, int32_t nKind, int32_t n, int32_t nColumn)
{}

void SelectGraphicTables()
{}

int32_t EffectWorkSurface = 0;
int32_t SecondWorkSurface = 0;
int32_t MarkStretchSurface = 0;
