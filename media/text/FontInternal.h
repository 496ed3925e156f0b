#pragma once
// What the font files share among themselves.
#include "media/text/Font.h"

bool SurfaceExists(const DDSURFACEDATA* lpSD);
// The glyph cache is on and both sheets exist.
bool GlyphCacheReady(const cFont* lpFont);
void RenderHalfSheet(cFont* lpFont);
void RenderFullSheet(cFont* lpFont, bool bRedraw);
// Proportional measure with the Direct3D font: the widest line, lines x line height.
SIZE MeasureTextD3D(const cFont* lpFont, const char* lpText);
