#pragma once
// Device loss and restore: a lost Direct3D device is reset with every surface re-created, lost
// DirectDraw surfaces are restored and their bitmaps reloaded; then the fonts redraw their
// glyph sheets through the hooks the text layer registers.
#include <cstdint>

#include "media/graphics/GraphicsState.h"

struct FontRestoreHooks {
    void (*lostDevice)() = nullptr;    // every font's Direct3D font and sprite: OnLostDevice
    void (*resetDevice)() = nullptr;   // every font's Direct3D font and sprite: OnResetDevice
    void (*restoreFonts)() = nullptr;  // every font: RestoreFont
};
void SetFontRestoreHooks(const FontRestoreHooks& hooks);

// 1: the device was reset and the surfaces re-created (or not under Direct3D); 0: not yet.
int32_t DDRestoreSurface();
bool DDRestore();
void DDGetPixelFormatMasks(PIXELMASKS* lpMasks);
