#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/graphics/BitmapFile.h"
#include "platform/graphics/GraphicsControl.h"
#include "platform/host/Host.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path.string().c_str(), "rb");
    if (!f) return bytes;
    int c;
    while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
    return bytes;
}

uint32_t BE32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

PresentedFrame TestFrame() {
    PresentedFrame frame;
    frame.nWidth = 3;
    frame.nHeight = 2;
    frame.vPixels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF123456, 0xFFFFFFFF, 0xFF000000};
    return frame;
}

TEST(Presentation, HeadlessHostKeepsFramesOnRequest) {
    HostSelect(HostKind::Headless);
    ClearPresentedFrames();
    KeepPresentedFrames(2);
    const uint32_t pixels[4] = {1, 2, 3, 4};
    PresentFrameToHost(pixels, 2, 1, 4);   // pitch wider than the frame
    PresentFrameToHost(pixels + 2, 2, 1, 2);
    PresentFrameToHost(pixels, 1, 1, 1);
    EXPECT_EQ(PresentedFrameCount(), 3u);
    const std::vector<PresentedFrame> kept = TakeKeptFrames();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].vPixels, (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(kept[1].vPixels, (std::vector<uint32_t>{3, 4}));
    EXPECT_EQ(LastPresentedFrame().nWidth, 1);
    KeepPresentedFrames(0);
}

TEST(Presentation, BmpFileHoldsTheFrame) {
    const fs::path path = fs::temp_directory_path() / ("frame_" + std::to_string(::getpid()) + ".bmp");
    const PresentedFrame frame = TestFrame();
    ASSERT_TRUE(WriteFrameBmp(frame, path.string()));
    const std::vector<uint8_t> bytes = ReadAll(path);
    DECODEDBITMAP bitmap;
    ASSERT_TRUE(DecodeBitmap(bytes.data(), bytes.size(), &bitmap, nullptr));
    EXPECT_EQ(bitmap.nBitCount, 24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(DecodedBitmapPixel(bitmap, x, y), frame.vPixels[y * 3 + x]);
    fs::remove(path);
    EXPECT_FALSE(WriteFrameBmp(PresentedFrame{}, path.string()));
}

TEST(Presentation, PngFileHoldsTheFrameInStoredBlocks) {
    const fs::path path = fs::temp_directory_path() / ("frame_" + std::to_string(::getpid()) + ".png");
    const PresentedFrame frame = TestFrame();
    ASSERT_TRUE(WriteFramePng(frame, path.string()));
    const std::vector<uint8_t> b = ReadAll(path);
    ASSERT_GT(b.size(), 8u + 25u);
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    EXPECT_TRUE(std::equal(signature, signature + 8, b.begin()));
    EXPECT_EQ(BE32(&b[8]), 13u);
    EXPECT_EQ(std::string(b.begin() + 12, b.begin() + 16), "IHDR");
    EXPECT_EQ(BE32(&b[16]), 3u);
    EXPECT_EQ(BE32(&b[20]), 2u);
    EXPECT_EQ(b[24], 8);
    EXPECT_EQ(b[25], 2);
    // IDAT: zlib header, one stored block, the filter byte and RGB of each row.
    const size_t idat = 8 + 25;
    ASSERT_EQ(std::string(b.begin() + idat + 4, b.begin() + idat + 8), "IDAT");
    const uint8_t* z = &b[idat + 8];
    EXPECT_EQ(z[0], 0x78);
    EXPECT_EQ(z[2], 1) << "final stored block";
    const uint16_t length = static_cast<uint16_t>(z[3] | z[4] << 8);
    ASSERT_EQ(length, 2 * (1 + 3 * 3));
    const uint8_t* raw = z + 7;
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(raw[y * 10], 0);
        for (int x = 0; x < 3; ++x) {
            const uint32_t p = frame.vPixels[y * 3 + x];
            EXPECT_EQ(raw[y * 10 + 1 + x * 3], static_cast<uint8_t>(p >> 16));
            EXPECT_EQ(raw[y * 10 + 2 + x * 3], static_cast<uint8_t>(p >> 8));
            EXPECT_EQ(raw[y * 10 + 3 + x * 3], static_cast<uint8_t>(p));
        }
    }
    EXPECT_EQ(std::string(b.end() - 8, b.end() - 4), "IEND");
    fs::remove(path);
}

}  // namespace
