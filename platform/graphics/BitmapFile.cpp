#include "platform/graphics/BitmapFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/win/WinFile.h"

namespace {

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

bool Fail(std::string* error, const char* text) {
    if (error) *error = text;
    return false;
}

// A channel of a bit-field pixel scaled to 0..255.
uint32_t MaskChannel(uint32_t pixel, uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    const uint32_t top = mask >> shift;
    const uint64_t value = (pixel & mask) >> shift;
    return static_cast<uint32_t>(value * 255 / top);
}

bool ContiguousMask(uint32_t mask) {
    if (mask == 0) return true;
    while ((mask & 1) == 0) mask >>= 1;
    return (mask & (mask + 1)) == 0;
}

constexpr int32_t kMaxSide = 32768;

}  // namespace

bool DecodeBitmap(const uint8_t* data, size_t size, DECODEDBITMAP* out, std::string* error) {
    if (data == nullptr || size < 14 + 12) return Fail(error, "file too short for a bitmap header");
    if (data[0] != 'B' || data[1] != 'M') return Fail(error, "not a bitmap file (no BM signature)");
    const uint32_t offBits = Read32(data + 10);
    const uint32_t headerSize = Read32(data + 14);
    if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 64 &&
        headerSize != 108 && headerSize != 124)
        return Fail(error, "unknown bitmap header size");
    if (size < 14ull + headerSize) return Fail(error, "file too short for its bitmap header");

    const uint8_t* h = data + 14;
    int64_t width, height;
    uint32_t bitCount, compression = 0, clrUsed = 0;
    size_t tableOffset = 14 + headerSize;
    size_t tableEntrySize = 4;
    uint32_t masks[3] = {0, 0, 0};
    if (headerSize == 12) {
        width = Read16(h + 4);
        height = static_cast<int16_t>(Read16(h + 6));
        bitCount = Read16(h + 10);
        tableEntrySize = 3;
    } else {
        width = static_cast<int32_t>(Read32(h + 4));
        height = static_cast<int32_t>(Read32(h + 8));
        bitCount = Read16(h + 14);
        compression = Read32(h + 16);
        clrUsed = Read32(h + 32);
        if (compression == 3) {
            if (headerSize >= 52) {
                masks[0] = Read32(h + 40);
                masks[1] = Read32(h + 44);
                masks[2] = Read32(h + 48);
            } else {
                if (size < tableOffset + 12) return Fail(error, "file too short for its bit-field masks");
                masks[0] = Read32(data + tableOffset);
                masks[1] = Read32(data + tableOffset + 4);
                masks[2] = Read32(data + tableOffset + 8);
                tableOffset += 12;
            }
        }
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return Fail(error, "unsupported bits per pixel");
    if (compression != 0 && compression != 3) return Fail(error, "compressed bitmaps are not supported");
    if (compression == 3 && bitCount != 16 && bitCount != 32)
        return Fail(error, "bit-field masks need 16 or 32 bits per pixel");
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return Fail(error, "bitmap size out of range");
    if (compression == 3) {
        for (uint32_t m : masks)
            if (!ContiguousMask(m)) return Fail(error, "bit-field mask is not contiguous");
    } else if (bitCount == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (bitCount == 32) {
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
    }

    DECODEDBITMAP result;
    result.nWidth = static_cast<int32_t>(width);
    result.nHeight = static_cast<int32_t>(height);
    result.nBitCount = static_cast<int32_t>(bitCount);
    result.nStride = static_cast<int32_t>(((width * bitCount + 31) / 32) * 4);
    std::memcpy(result.dwMasks, masks, sizeof(masks));

    if (bitCount <= 8) {
        const uint32_t maxEntries = 1u << bitCount;
        uint32_t entries = clrUsed == 0 ? maxEntries : std::min(clrUsed, maxEntries);
        // The table may not reach into the pixels or past the end of the file.
        const size_t tableLimit = std::min<size_t>(size, std::max<size_t>(offBits, tableOffset));
        if (tableOffset > tableLimit) return Fail(error, "colour table outside the file");
        const size_t available = (tableLimit - tableOffset) / tableEntrySize;
        if (available < entries) entries = static_cast<uint32_t>(available);
        if (entries == 0) return Fail(error, "palettised bitmap without a colour table");
        result.vColourTable.assign(maxEntries, RGBQUAD{0, 0, 0, 0});
        for (uint32_t i = 0; i < entries; ++i) {
            const uint8_t* e = data + tableOffset + i * tableEntrySize;
            result.vColourTable[i] = RGBQUAD{e[0], e[1], e[2], 0};
        }
    }

    const uint64_t imageBytes = static_cast<uint64_t>(result.nStride) * static_cast<uint64_t>(height);
    if (offBits < 14 + headerSize || offBits > size || size - offBits < imageBytes)
        return Fail(error, "pixel data missing or cut short");
    result.vBits.resize(static_cast<size_t>(imageBytes));
    const uint8_t* pixels = data + offBits;
    for (int64_t row = 0; row < height; ++row) {
        // Stored bottom row first whatever the file's order.
        const int64_t sourceRow = topDown ? height - 1 - row : row;
        std::memcpy(result.vBits.data() + row * result.nStride, pixels + sourceRow * result.nStride,
                    static_cast<size_t>(result.nStride));
    }
    *out = std::move(result);
    return true;
}

bool LoadBitmapFile(const char* projectPath, DECODEDBITMAP* out, std::string* error) {
    if (projectPath == nullptr || projectPath[0] == '\0') return Fail(error, "no file name");
    FILE* file = PlatformFopen(projectPath, "rb");
    if (file == nullptr) return Fail(error, "file not found");
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got;
    constexpr size_t kMaxFile = 256u << 20;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > kMaxFile) {
            std::fclose(file);
            return Fail(error, "file too large");
        }
    }
    std::fclose(file);
    return DecodeBitmap(bytes.data(), bytes.size(), out, error);
}

uint32_t DecodedBitmapRaw(const DECODEDBITMAP& bitmap, int32_t x, int32_t y) {
    const uint8_t* row = bitmap.vBits.data() + static_cast<size_t>(bitmap.nHeight - 1 - y) * bitmap.nStride;
    switch (bitmap.nBitCount) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    case 8: return row[x];
    case 16: return Read16(row + x * 2);
    case 24: return static_cast<uint32_t>(row[x * 3] | row[x * 3 + 1] << 8 | row[x * 3 + 2] << 16);
    case 32: return Read32(row + x * 4);
    default: return 0;
    }
}

uint32_t DecodedBitmapPixel(const DECODEDBITMAP& bitmap, int32_t x, int32_t y) {
    const uint32_t raw = DecodedBitmapRaw(bitmap, x, y);
    if (bitmap.nBitCount <= 8) {
        if (raw >= bitmap.vColourTable.size()) return 0xFF000000u;
        const RGBQUAD& c = bitmap.vColourTable[raw];
        return 0xFF000000u | static_cast<uint32_t>(c.rgbRed) << 16 | static_cast<uint32_t>(c.rgbGreen) << 8 |
               c.rgbBlue;
    }
    if (bitmap.nBitCount == 24) return 0xFF000000u | raw;
    return 0xFF000000u | MaskChannel(raw, bitmap.dwMasks[0]) << 16 | MaskChannel(raw, bitmap.dwMasks[1]) << 8 |
           MaskChannel(raw, bitmap.dwMasks[2]);
}
