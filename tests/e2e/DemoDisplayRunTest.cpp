// The demo project's title on every drawing back end, depth and presentation: frames are shown,
// and no sprite shows its transparent colour.
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/e2e/PlayerRun.h"
#include "tests/e2e/TestProject.h"
#include "tools/demo/DemoProject.h"

namespace fs = std::filesystem;

namespace {

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
        const Frame frame = ReadBmp24(folder + "/title.bmp");
        ASSERT_EQ(frame.pixels.size(), 640u * 480u);
        // The demo's transparent colour is magenta.
        EXPECT_EQ(CountColour(frame, 0xFF00FF, 0, 0).first, 0);
        // The title picture is up: the sky is not one black field.
        EXPECT_LT(CountColour(frame, 0x000000, 0, 0).first, 640 * 480 / 2);
    }
}

}  // namespace
