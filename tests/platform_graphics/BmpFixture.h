#pragma once
// Writes bitmap files byte by byte for the tests: every depth, plain and bit-field, bottom-up
// and top-down, from an image given as 0xRRGGBB colours or palette indices.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace bmpfixture {

struct Image {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;   // row-major, top row first: 0xRRGGBB, or an index for <= 8 bits
    uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

struct Options {
    int32_t bits = 24;
    bool topDown = false;
    bool bitFields = false;        // 16 and 32 bits: BI_BITFIELDS with the masks below
    uint32_t masks[3] = {0, 0, 0}; // red, green, blue
    std::vector<uint32_t> palette; // 0xRRGGBB entries for <= 8 bits
    bool coreHeader = false;       // the 12-byte header (palettised and 24-bit only)
};

inline void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// Packs 0xRRGGBB into a masked pixel word.
inline uint32_t PackMasked(uint32_t rgb, const uint32_t masks[3]) {
    uint32_t out = 0;
    const uint32_t channel[3] = {(rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF};
    for (int c = 0; c < 3; ++c) {
        uint32_t m = masks[c];
        if (m == 0) continue;
        int shift = 0;
        while (((m >> shift) & 1) == 0) ++shift;
        const uint32_t top = m >> shift;
        out |= ((channel[c] * top + 127) / 255) << shift;
    }
    return out;
}

inline std::vector<uint8_t> Encode(const Image& image, const Options& o) {
    const int32_t bits = o.bits;
    uint32_t masks[3] = {o.masks[0], o.masks[1], o.masks[2]};
    if (!o.bitFields && bits == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    if (!o.bitFields && bits == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    const uint32_t stride = ((static_cast<uint32_t>(image.width) * bits + 31) / 32) * 4;
    std::vector<uint8_t> pixels(stride * image.height, 0);
    for (int32_t y = 0; y < image.height; ++y) {
        const int32_t fileRow = o.topDown ? y : image.height - 1 - y;
        uint8_t* row = pixels.data() + fileRow * stride;
        for (int32_t x = 0; x < image.width; ++x) {
            const uint32_t v = image.At(x, y);
            switch (bits) {
            case 1: row[x >> 3] |= static_cast<uint8_t>((v & 1) << (7 - (x & 7))); break;
            case 4: row[x >> 1] |= static_cast<uint8_t>((v & 15) << ((x & 1) ? 0 : 4)); break;
            case 8: row[x] = static_cast<uint8_t>(v); break;
            case 16: {
                const uint32_t p = PackMasked(v, masks);
                row[x * 2] = static_cast<uint8_t>(p);
                row[x * 2 + 1] = static_cast<uint8_t>(p >> 8);
                break;
            }
            case 24:
                row[x * 3] = static_cast<uint8_t>(v);
                row[x * 3 + 1] = static_cast<uint8_t>(v >> 8);
                row[x * 3 + 2] = static_cast<uint8_t>(v >> 16);
                break;
            case 32: {
                const uint32_t p = PackMasked(v, masks);
                for (int k = 0; k < 4; ++k) row[x * 4 + k] = static_cast<uint8_t>(p >> (8 * k));
                break;
            }
            }
        }
    }
    const uint32_t headerSize = o.coreHeader ? 12 : 40;
    const uint32_t maskBytes = (o.bitFields && !o.coreHeader) ? 12 : 0;
    const uint32_t entryBytes = o.coreHeader ? 3 : 4;
    const uint32_t tableBytes = static_cast<uint32_t>(o.palette.size()) * entryBytes;
    const uint32_t offBits = 14 + headerSize + maskBytes + tableBytes;
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, offBits + static_cast<uint32_t>(pixels.size()));
    Put32(b, 0);
    Put32(b, offBits);
    Put32(b, headerSize);
    if (o.coreHeader) {
        Put16(b, static_cast<uint32_t>(image.width));
        Put16(b, static_cast<uint32_t>(image.height));
        Put16(b, 1);
        Put16(b, static_cast<uint32_t>(bits));
    } else {
        Put32(b, static_cast<uint32_t>(image.width));
        Put32(b, static_cast<uint32_t>(o.topDown ? -image.height : image.height));
        Put16(b, 1);
        Put16(b, static_cast<uint32_t>(bits));
        Put32(b, o.bitFields ? 3u : 0u);
        Put32(b, static_cast<uint32_t>(pixels.size()));
        Put32(b, 2835);
        Put32(b, 2835);
        Put32(b, static_cast<uint32_t>(o.palette.size()));
        Put32(b, 0);
        if (o.bitFields)
            for (uint32_t m : o.masks) Put32(b, m);
    }
    for (uint32_t c : o.palette) {
        b.push_back(static_cast<uint8_t>(c));
        b.push_back(static_cast<uint8_t>(c >> 8));
        b.push_back(static_cast<uint8_t>(c >> 16));
        if (!o.coreHeader) b.push_back(0);
    }
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

inline bool WriteFile(const std::string& hostPath, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(hostPath.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    std::fclose(f);
    return ok;
}

// A host path written as a project path (backslashes, absolute).
inline std::string ProjectPath(const std::string& hostPath) {
    std::string p = hostPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

}  // namespace bmpfixture
