// The world map in whole-program runs of the demo project: new story leads to the map, a place
// that must be played opens its prompt when the cursor steps onto it, its first answer starts the
// stage and its second steps back; the world-map menu saves the cell the cursor stood on.
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/e2e/DemoRun.h"

namespace {

uint32_t U32At(const std::string& bytes, size_t offset)
{
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v |= uint32_t(uint8_t(bytes.at(offset + i))) << (8 * i);
    return v;
}

class WorldMapRun : public DemoProjectRun {
public:
    WorldMapRun() : DemoProjectRun("worldmap") {}
    PlayerResult Run(int frames, const std::string& input)
    {
        WriteWholeFile(m_Folder + "/input.txt", input);
        return RunPlayer(m_Folder, {"--frames=" + std::to_string(frames), "--dump-frame=frame.bmp", "--input=input.txt"},
                         MakeTempFolder("runtime"));
    }
    // New story, then nine steps right from the meadow to the riverside place, whose prompt
    // opens on its second answer.
    static std::string WalkToTheRiverside()
    {
        std::string script = Press(60, "Z");
        for (int i = 0; i < 9; ++i) script += Press(100 + 8 * i, "RIGHT");
        return script;
    }
};

TEST_F(WorldMapRun, AnsweringThePromptStartsThePlaceThatMustBePlayed)
{
    const PlayerResult run = Run(240, WalkToTheRiverside() + Press(180, "UP") + Press(190, "Z"));
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.errorText;
    const Frame f = Dump("frame.bmp");
    ASSERT_EQ(f.width, 640);
    EXPECT_GT(BannerPixels(f, 200, 200, 440, 280), 50) << "the stage's start banner";
}

TEST_F(WorldMapRun, DecliningThePromptStaysOnTheMap)
{
    const PlayerResult run = Run(240, WalkToTheRiverside() + Press(190, "Z"));
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.errorText;
    const Frame f = Dump("frame.bmp");
    ASSERT_EQ(f.width, 640);
    EXPECT_EQ(BannerPixels(f, 0, 0, 640, 480), 0);
}

TEST_F(WorldMapRun, TheMenuSavesTheCellTheCursorStoodOn)
{
    // Two steps right from the start (5, 7), cancel to the menu, save into slot 1 and answer yes.
    const std::string script = Press(60, "Z") + Press(100, "RIGHT") + Press(108, "RIGHT") + Press(130, "X") +
                               Press(180, "Z") + Press(195, "Z") + Press(205, "UP") + Press(215, "Z") +
                               Press(240, "ESCAPE");
    const PlayerResult run = Run(400, script);
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.errorText;
    const std::string slot = ReadWholeFile(m_Folder + "/user_data/story/Story01.dat");
    ASSERT_GE(slot.size(), 20u) << "slot 1 written";
    EXPECT_EQ(U32At(slot, 0), 751u);
    EXPECT_EQ(U32At(slot, 4), 32u);    // registered fields
    EXPECT_EQ(U32At(slot, 12), 7u);    // nMapX
    EXPECT_EQ(U32At(slot, 16), 7u);    // nMapY
    EXPECT_FALSE(std::filesystem::exists(m_Folder + "/user_data/story/Story02.dat"));
}

}  // namespace
