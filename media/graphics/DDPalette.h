#pragma once
// Loading the palette, the transparent colour in every form the back ends need, and the
// conversion of palette indexes to pixel values.
#include <cstdint>

#include "platform/graphics/GraphicsTypes.h"

// False when the image cannot be read; the palette is then left as it was.
bool DDLoadPaletteFromFile(PALETTEENTRY* lpPalette, const char* lpFileName, int32_t nWindowMode);
// The transparent colour from the top-left pixel of an image: 1 success, 0 failure.
int32_t SetTrans(const char* lpFileName);
void DDSetTransmit(uint8_t byRed, uint8_t byGreen, uint8_t byBlue);
// The pixel value of a palette index for the active mode; 0 for an index above 255.
uint32_t PalNumToRGB(uint32_t dwPalNum);
