#include "tools/demo/DemoPreview.h"

#include <cstdio>

#include "data/EdStage.h"
#include "data/EdWorldMap.h"
#include "platform/graphics/BitmapFile.h"

namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int32_t k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBE32(std::vector<uint8_t>& v, uint32_t n)
{
    for (int32_t s = 24; s >= 0; s -= 8) v.push_back(static_cast<uint8_t>(n >> s));
}

void Chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data)
{
    PutBE32(png, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    PutBE32(png, Crc32(body.data(), body.size()));
}

// A zlib stream of stored (uncompressed) blocks: previews only need to be readable.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw)
{
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t pos = 0;
    do {
        const size_t n = std::min<size_t>(65535, raw.size() - pos);
        z.push_back(pos + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos), raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(z, (b << 16) | a);
    return z;
}

}   // namespace

bool WritePng(const std::string& pngHostPath, uint32_t w, uint32_t h, const std::vector<uint32_t>& pixels);

bool WriteBitmapPreview(const char* bitmapPath, const std::string& pngHostPath, int32_t nScale)
{
    DECODEDBITMAP bitmap;
    std::string error;
    if (!LoadBitmapFile(bitmapPath, &bitmap, &error)) return false;
    const uint32_t w = static_cast<uint32_t>(bitmap.nWidth * nScale), h = static_cast<uint32_t>(bitmap.nHeight * nScale);
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            pixels[static_cast<size_t>(y) * w + x] = DecodedBitmapPixel(bitmap, static_cast<int32_t>(x) / nScale, static_cast<int32_t>(y) / nScale);
        }
    }
    return WritePng(pngHostPath, w, h, pixels);
}

bool WritePng(const std::string& pngHostPath, uint32_t w, uint32_t h, const std::vector<uint32_t>& pixels)
{
    std::vector<uint8_t> raw;
    raw.reserve((w * 3 + 1) * h);
    for (uint32_t y = 0; y < h; ++y) {
        raw.push_back(0);
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t c = pixels[static_cast<size_t>(y) * w + x];
            raw.push_back(static_cast<uint8_t>(c >> 16));
            raw.push_back(static_cast<uint8_t>(c >> 8));
            raw.push_back(static_cast<uint8_t>(c));
        }
    }
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBE32(header, w);
    PutBE32(header, h);
    header.insert(header.end(), {8, 2, 0, 0, 0});   // 8-bit RGB
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", StoredZlib(raw));
    Chunk(png, "IEND", {});
    FILE* fp = std::fopen(pngHostPath.c_str(), "wb");
    if (!fp) return false;
    const bool bOk = std::fwrite(png.data(), 1, png.size(), fp) == png.size();
    return std::fclose(fp) == 0 && bOk;
}

bool WriteWorldMapPreview(const std::string& pngHostPath)
{
    cEdWorldMap map;
    DECODEDBITMAP chips, events, accessory, palette;
    std::string error;
    if (!map.LoadFromFile("data\\WorldMap.dat") || !LoadBitmapFile("bmp\\WorldMapChip.bmp", &chips, &error) ||
        !LoadBitmapFile("bmp\\WorldEvent.bmp", &events, &error) || !LoadBitmapFile("bmp\\Accessory.bmp", &accessory, &error) ||
        !LoadBitmapFile("bmp\\plt\\Palette.bmp", &palette, &error)) {
        return false;
    }
    const RGBQUAD back = palette.vColourTable[static_cast<size_t>(map.m_nBackColor & 255)];
    std::vector<uint32_t> pixels(640 * 480, 0xFF000000u | back.rgbRed << 16 | back.rgbGreen << 8 | back.rgbBlue);
    const auto draw = [&](const DECODEDBITMAP& sheet, int32_t sx, int32_t sy, int32_t dx, int32_t dy) {
        for (int32_t j = 0; j < 32; ++j) {
            for (int32_t i = 0; i < 32; ++i) {
                if (dx + i < 0 || dy + j < 0 || dx + i >= 640 || dy + j >= 480) continue;
                if (DecodedBitmapRaw(sheet, sx + i, sy + j) == 0) continue;
                pixels[static_cast<size_t>(dy + j) * 640 + static_cast<size_t>(dx + i)] = DecodedBitmapPixel(sheet, sx + i, sy + j);
            }
        }
    };
    // The view puts the start cell at the cursor's place (288, 224).
    const int32_t left = map.m_nStartX - 9, top = map.m_nStartY - 7;
    for (int32_t row = 0; row < 15; ++row) {
        for (int32_t col = 0; col < 20; ++col) {
            const int32_t x = left + col, y = top + row;
            if (x < 0 || y < 0 || x >= map.m_nWidth || y >= map.m_nHeight) continue;
            const int32_t chip = map.CellAt(x, y);
            const int32_t g = map.m_vChip[static_cast<size_t>(chip)].m_nCell;
            draw(chips, (g % 5) * 32, (g / 5) * 32, col * 32, row * 32);
        }
    }
    for (const cEdWorldEntry& e : map.m_vEntry) {
        draw(events, 0, 32 * e.m_vEntryItem[0].m_nIcon, (e.m_nX - left) * 32, (e.m_nY - top) * 32);
    }
    draw(accessory, 0, 64, 288, 224);
    return WritePng(pngHostPath, 640, 480, pixels);
}

bool WriteStagePreview(const char* stagePath, int32_t nFirstColumn, const std::string& pngHostPath)
{
    cEdStage stage;
    DECODEDBITMAP blocks, charas, items, back;
    std::string error;
    if (!stage.LoadFromFile(stagePath) || stage.m_vBackground.empty() ||
        !LoadBitmapFile("bmp\\Block.bmp", &blocks, &error) || !LoadBitmapFile("bmp\\Character1.bmp", &charas, &error) ||
        !LoadBitmapFile("bmp\\Item.bmp", &items, &error) ||
        !LoadBitmapFile(stage.m_vBackground[0].m_strFile.c_str(), &back, &error)) {
        return false;
    }
    std::vector<uint32_t> pixels(640 * 480);
    for (int32_t y = 0; y < 480; ++y) {
        for (int32_t x = 0; x < 640; ++x) pixels[static_cast<size_t>(y) * 640 + x] = DecodedBitmapPixel(back, x % back.nWidth, y % back.nHeight);
    }
    const auto draw = [&](const DECODEDBITMAP& sheet, int32_t sx, int32_t sy, int32_t dx, int32_t dy, bool mirrored) {
        for (int32_t j = 0; j < 32; ++j) {
            for (int32_t i = 0; i < 32; ++i) {
                const int32_t u = sx + (mirrored ? 31 - i : i);
                if (dx + i < 0 || dy + j < 0 || dx + i >= 640 || dy + j >= 480) continue;
                if (DecodedBitmapRaw(sheet, u, sy + j) == 0) continue;
                pixels[static_cast<size_t>(dy + j) * 640 + static_cast<size_t>(dx + i)] = DecodedBitmapPixel(sheet, u, sy + j);
            }
        }
    };
    const int32_t left = nFirstColumn * 32;
    for (const cEdBlock& b : stage.m_vBlock) {
        draw(blocks, (b.m_nGraphicIndex / 15) * 32, (b.m_nGraphicIndex % 15) * 32, b.m_nX * 32 - left, b.m_nY * 32, false);
    }
    for (const cEdItem& i : stage.m_vItem) {
        draw(items, (i.m_nGraphicIndex / 15) * 64, (i.m_nGraphicIndex % 15) * 32, i.m_nX * 32 - left, i.m_nY * 32, false);
    }
    for (const cEdChara& c : stage.m_vChara) {
        draw(charas, 0, (c.m_nGraphicIndex % 15) * 32, c.m_nX * 32 - left, c.m_nY * 32, c.m_nStartDir == 1);
    }
    return WritePng(pngHostPath, 640, 480, pixels);
}
