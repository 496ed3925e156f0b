#pragma once
// What the whole-program runs of the demo project share: a fixture that makes the project in a
// folder of its own and shows it through Direct3D in a 32-bit window, the stages those runs write,
// and pixel counts of the frames the player dumps.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/PlayerRun.h"
#include "tests/e2e/TestProject.h"
#include "tools/demo/DemoProject.h"

// Pixels inside the rectangle from (x0, y0) to (x1, y1) that pass the test.
template <class Test>
int CountPixels(const Frame& f, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Test test)
{
    int n = 0;
    for (int32_t y = y0; y < y1 && y < f.height; ++y)
        for (int32_t x = x0; x < x1 && x < f.width; ++x)
            if (test(f.pixels[size_t(y) * f.width + x])) ++n;
    return n;
}

// Pixels of the captions' near-white text inside the rectangle.
inline int WhitePixels(const Frame& f, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    return CountPixels(f, x0, y0, x1, y1, [](uint32_t p) { return (p & 0xF0F0F0u) == 0xF0F0F0u; });
}

// Pixels of the demo's banner lettering (its light green, which neither the map nor the stages
// have) inside the rectangle.
inline int BannerPixels(const Frame& f, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    return CountPixels(f, x0, y0, x1, y1, [](uint32_t p) { return p == 0xC3E691u; });
}

// A one-screen stage in the demo's letters: open sky, the row given (the hero, enemies, items)
// standing on a line of ground, and earth below.
inline std::vector<const char*> GroundStage(const char* lpRow)
{
    std::vector<const char*> rows(12, "                    ");
    rows.push_back(lpRow);
    rows.push_back("####################");
    rows.push_back("EEEEEEEEEEEEEEEEEEEE");
    return rows;
}

class DemoProjectRun : public ::testing::Test {
protected:
    explicit DemoProjectRun(std::string name) : m_Name(std::move(name)) {}
    void SetUp() override
    {
        m_Folder = MakeTempFolder(m_Name);
        std::string error;
        ASSERT_TRUE(GenerateDemoProject(m_Folder, &error)) << error;
        SetDisplay(1, 32);
    }
    // The back end and depth of the next runs; a window takes the desktop's 32 bits, the other
    // depths are full-screen modes.
    void SetDisplay(int direct3d, int bpp)
    {
        WriteWholeFile(m_Folder + "/System.ini", "Direct3D=" + std::to_string(direct3d) +
                                                     "\nWindowMode=" + (bpp == 32 ? "1" : "0") + "\nBpp=" +
                                                     std::to_string(bpp) + "\nVSync=0\nShowFps=0\nExit\n");
    }
    // A frame the player dumped into the project folder.
    Frame Dump(const std::string& name) const { return ReadBmp24(m_Folder + "/" + name); }

    std::string m_Folder;

private:
    std::string m_Name;
};
