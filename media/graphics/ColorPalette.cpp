#include "media/graphics/ColorPalette.h"

PALETTEENTRY ColorPalette[256];
PALETTEENTRY ColorPaletteWork[256];
