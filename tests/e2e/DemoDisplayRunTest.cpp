// The demo project's title on every drawing back end, depth and presentation: frames are shown,
// and no sprite shows its transparent colour.
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/e2e/PlayerRun.h"
#include "tests/e2e/TestProject.h"
#include "tools/demo/DemoProject.h"

namespace fs = std::filesystem;

namespace {

// Pixels of a 24- or 32-bit bottom-up frame dump that hold the colour (r, g, b).
size_t CountColour(const std::string& bmp, uint8_t r, uint8_t g, uint8_t b)
{
    auto u32 = [&](size_t at) {
        return uint32_t(uint8_t(bmp[at])) | uint32_t(uint8_t(bmp[at + 1])) << 8 | uint32_t(uint8_t(bmp[at + 2])) << 16 |
               uint32_t(uint8_t(bmp[at + 3])) << 24;
    };
    if (bmp.size() < 54) return 0;
    const uint32_t offset = u32(10), width = u32(18), height = u32(22);
    const uint32_t bytes = uint32_t(uint8_t(bmp[28])) / 8;
    const uint32_t stride = (width * bytes + 3) & ~3u;
    size_t count = 0;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const size_t at = offset + size_t(y) * stride + size_t(x) * bytes;
            if (at + 2 >= bmp.size()) return count;
            if (uint8_t(bmp[at]) == b && uint8_t(bmp[at + 1]) == g && uint8_t(bmp[at + 2]) == r) ++count;
        }
    return count;
}

TEST(DemoDisplayRun, TitleShowsWithoutTheTransparentColourOnEveryBackEnd)
{
    const std::string folder = MakeTempFolder("demo");
    std::string error;
    ASSERT_TRUE(GenerateDemoProject(folder, &error)) << error;
    struct Case {
        const char* name;
        const char* systemIni;
    };
    const Case cases[] = {
        {"Direct3D 32, window", "Direct3D=1\nWindowMode=1\nBpp=32\nVSync=0\n"},
        {"Direct3D 16, full screen", "Direct3D=1\nWindowMode=0\nBpp=16\nVSync=1\n"},
        {"DirectDraw 32, window", "Direct3D=0\nWindowMode=1\nBpp=32\nVSync=0\n"},
        {"DirectDraw 16, full screen, flipped", "Direct3D=0\nWindowMode=0\nBpp=16\nVSync=1\n"},
        {"DirectDraw 32, full screen, paced by the timer", "Direct3D=0\nWindowMode=0\nBpp=32\nVSync=0\n"},
        {"DirectDraw 8, full screen", "Direct3D=0\nWindowMode=0\nBpp=8\nVSync=1\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteWholeFile(folder + "/System.ini", std::string(c.systemIni) + "ShowFps=0\nExit\n");
        fs::remove(folder + "/title.bmp");
        const PlayerResult result =
            RunPlayer(folder, {"--frames=90", "--dump-frame=title.bmp"}, MakeTempFolder("runtime"));
        ASSERT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, 0) << result.errorText;
        ASSERT_TRUE(fs::exists(folder + "/title.bmp"));
        const std::string frame = ReadWholeFile(folder + "/title.bmp");
        // The demo's transparent colour is magenta.
        EXPECT_EQ(CountColour(frame, 255, 0, 255), 0u);
        // The title picture is up: the sky is not one black field.
        EXPECT_LT(CountColour(frame, 0, 0, 0), 640u * 480u / 2);
    }
}

}  // namespace
