#pragma once
// The bitmap-file decoder behind the bitmap loaders: 1, 4, 8, 16, 24 and 32-bit files, plain
// and bit-field, bottom-up and top-down. Every size and offset in the file is checked against
// the bytes present and the format before it is used.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/graphics/GraphicsTypes.h"

struct DECODEDBITMAP {
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    int32_t nBitCount = 0;                  // of the file
    int32_t nStride = 0;                    // bytes per row, padded to four
    uint32_t dwMasks[3] = {0, 0, 0};        // red, green, blue masks of 16- and 32-bit pixels
    std::vector<RGBQUAD> vColourTable;      // 2^bits entries for depths up to 8 (missing ones zero)
    std::vector<uint8_t> vBits;             // the file's pixels, bottom row first
};

// Decodes a whole file image; false with a reason in error when it is malformed.
bool DecodeBitmap(const uint8_t* data, size_t size, DECODEDBITMAP* out, std::string* error);
// Reads and decodes a file by project path.
bool LoadBitmapFile(const char* projectPath, DECODEDBITMAP* out, std::string* error);
// The colour of image pixel (x, y), y counted from the top, as 0xFFRRGGBB.
uint32_t DecodedBitmapPixel(const DECODEDBITMAP& bitmap, int32_t x, int32_t y);
// The raw value of image pixel (x, y): a palette index up to 8 bits, else the file's pixel word.
uint32_t DecodedBitmapRaw(const DECODEDBITMAP& bitmap, int32_t x, int32_t y);
