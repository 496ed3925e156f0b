#pragma once
// The 256-entry palette of the graphics layer and its working copy: every drawing colour is an
// index into it, and index 0 is the transparent colour.
#include "platform/graphics/GraphicsTypes.h"

extern PALETTEENTRY ColorPalette[256];
extern PALETTEENTRY ColorPaletteWork[256];
