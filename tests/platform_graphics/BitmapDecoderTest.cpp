#include <gtest/gtest.h>

#include <cstring>

#include "platform/graphics/BitmapFile.h"
#include "tests/platform_graphics/BmpFixture.h"

using bmpfixture::Encode;
using bmpfixture::Image;
using bmpfixture::Options;

namespace {

// The colour a channel comes back as after packing into a mask of its width.
uint32_t Quantised(uint32_t rgb, const uint32_t masks[3]) {
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        uint32_t m = masks[c];
        int shift = 0;
        while (((m >> shift) & 1) == 0) ++shift;
        const uint32_t top = m >> shift;
        const uint32_t v = (rgb >> (16 - 8 * c)) & 0xFF;
        const uint32_t q = (v * top + 127) / 255;
        out |= (q * 255 / top) << (16 - 8 * c);
    }
    return out;
}

Image TrueColourImage() {
    Image image{5, 3, {}};
    const uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x123456, 0x808080, 0xFF00FF,
                                0x10E0A0, 0x7F7F00, 0x01FE02, 0xC0FFEE, 0xABCDEF, 0x00007F, 0x400000};
    image.pixels.assign(std::begin(colours), std::end(colours));
    return image;
}

struct DepthCase {
    const char* name;
    int32_t bits;
    bool topDown;
    bool bitFields;
    uint32_t masks[3];
    bool coreHeader;
};

void PrintTo(const DepthCase& c, std::ostream* os) { *os << c.name; }

class BitmapDecoderDepths : public ::testing::TestWithParam<DepthCase> {};

TEST_P(BitmapDecoderDepths, DecodesEveryPixelOfTheImage) {
    const DepthCase& c = GetParam();
    Options o;
    o.bits = c.bits;
    o.topDown = c.topDown;
    o.bitFields = c.bitFields;
    std::memcpy(o.masks, c.masks, sizeof(o.masks));
    o.coreHeader = c.coreHeader;
    Image image = TrueColourImage();
    std::vector<uint32_t> expected = image.pixels;
    if (c.bits <= 8) {
        // Indices into a palette of (i * 37 mod 256, 255 - i, i * 3) colours.
        const uint32_t count = 1u << c.bits;
        for (uint32_t i = 0; i < count; ++i) o.palette.push_back((i * 37 % 256) << 16 | (255 - i) << 8 | (i * 3 % 256));
        for (size_t i = 0; i < image.pixels.size(); ++i) {
            image.pixels[i] = static_cast<uint32_t>(i * 7 % count);
            expected[i] = o.palette[image.pixels[i]];
        }
    } else if (c.bits == 16 || c.bits == 32) {
        uint32_t masks[3] = {c.masks[0], c.masks[1], c.masks[2]};
        if (!c.bitFields) {
            masks[0] = c.bits == 16 ? 0x7C00 : 0xFF0000;
            masks[1] = c.bits == 16 ? 0x03E0 : 0x00FF00;
            masks[2] = c.bits == 16 ? 0x001F : 0x0000FF;
        }
        for (uint32_t& e : expected) e = Quantised(e, masks);
    }
    const std::vector<uint8_t> file = Encode(image, o);
    DECODEDBITMAP bitmap;
    std::string error;
    ASSERT_TRUE(DecodeBitmap(file.data(), file.size(), &bitmap, &error)) << error;
    EXPECT_EQ(bitmap.nWidth, 5);
    EXPECT_EQ(bitmap.nHeight, 3);
    EXPECT_EQ(bitmap.nBitCount, c.bits);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(DecodedBitmapPixel(bitmap, x, y), 0xFF000000u | expected[y * 5 + x]) << "pixel " << x << "," << y;
    if (c.bits <= 8) {
        EXPECT_EQ(DecodedBitmapRaw(bitmap, 3, 1), image.At(3, 1));
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllDepths, BitmapDecoderDepths,
    ::testing::Values(DepthCase{"bits1", 1, false, false, {}, false}, DepthCase{"bits4", 4, false, false, {}, false},
                      DepthCase{"bits8", 8, false, false, {}, false}, DepthCase{"bits8TopDown", 8, true, false, {}, false},
                      DepthCase{"bits8Core", 8, false, false, {}, true},
                      DepthCase{"bits16Plain", 16, false, false, {}, false},
                      DepthCase{"bits16Fields565", 16, false, true, {0xF800, 0x07E0, 0x001F}, false},
                      DepthCase{"bits24", 24, false, false, {}, false}, DepthCase{"bits24TopDown", 24, true, false, {}, false},
                      DepthCase{"bits24Core", 24, false, false, {}, true},
                      DepthCase{"bits32Plain", 32, false, false, {}, false},
                      DepthCase{"bits32FieldsBGR", 32, true, true, {0x000000FF, 0x0000FF00, 0x00FF0000}, false}),
    [](const ::testing::TestParamInfo<DepthCase>& info) { return std::string(info.param.name); });

TEST(BitmapDecoder, StoresRowsBottomUpWhateverTheFileOrder) {
    Image image{1, 2, {0x112233, 0x445566}};
    Options o;
    o.topDown = true;
    const std::vector<uint8_t> file = Encode(image, o);
    DECODEDBITMAP bitmap;
    ASSERT_TRUE(DecodeBitmap(file.data(), file.size(), &bitmap, nullptr));
    // Bits row 0 is the image's bottom row.
    EXPECT_EQ(bitmap.vBits[0], 0x66);
    EXPECT_EQ(bitmap.vBits[static_cast<size_t>(bitmap.nStride)], 0x33);
}

TEST(BitmapDecoder, RefusesMalformedFiles) {
    Image image{4, 4, std::vector<uint32_t>(16, 0xABCDEF)};
    const std::vector<uint8_t> good = Encode(image, Options{});
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"header only", std::vector<uint8_t>(good.begin(), good.begin() + 20)});
    cases.push_back({"pixels cut short", std::vector<uint8_t>(good.begin(), good.end() - 1)});
    auto patched = [&](size_t at, std::vector<uint8_t> value) {
        std::vector<uint8_t> b = good;
        for (size_t i = 0; i < value.size(); ++i) b[at + i] = value[i];
        return b;
    };
    cases.push_back({"no signature", patched(0, {'X', 'M'})});
    cases.push_back({"unknown header size", patched(14, {41, 0, 0, 0})});
    cases.push_back({"zero width", patched(18, {0, 0, 0, 0})});
    cases.push_back({"huge width", patched(18, {0xFF, 0xFF, 0xFF, 0x7F})});
    cases.push_back({"huge height", patched(22, {0x00, 0x00, 0x00, 0x80})});
    cases.push_back({"bad bit count", patched(28, {7, 0})});
    cases.push_back({"run-length compression", patched(30, {1, 0, 0, 0})});
    cases.push_back({"pixel offset past the end", patched(10, {0xFF, 0xFF, 0, 0})});
    Image indexed{2, 2, {0, 1, 1, 0}};
    Options o8;
    o8.bits = 8;
    o8.palette = {0, 0xFFFFFF};
    std::vector<uint8_t> noTable = Encode(indexed, o8);
    // Claim the pixels start right after the header: no room for a colour table.
    noTable[10] = 54;
    noTable.resize(54 + 8);
    cases.push_back({"palettised without a table", noTable});
    for (const Case& c : cases) {
        DECODEDBITMAP bitmap;
        bitmap.nWidth = 77;
        std::string error;
        EXPECT_FALSE(DecodeBitmap(c.bytes.data(), c.bytes.size(), &bitmap, &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
        EXPECT_EQ(bitmap.nWidth, 77) << c.name << ": the output must stay as it was";
    }
}

TEST(BitmapDecoder, ShortColourTableLeavesMissingEntriesBlack) {
    Image indexed{2, 1, {0, 3}};
    Options o;
    o.bits = 8;
    o.palette = {0x102030, 0x405060};   // clrUsed 2: index 3 has no colour
    const std::vector<uint8_t> file = Encode(indexed, o);
    DECODEDBITMAP bitmap;
    ASSERT_TRUE(DecodeBitmap(file.data(), file.size(), &bitmap, nullptr));
    EXPECT_EQ(DecodedBitmapPixel(bitmap, 0, 0), 0xFF102030u);
    EXPECT_EQ(DecodedBitmapPixel(bitmap, 1, 0), 0xFF000000u);
}

}  // namespace
